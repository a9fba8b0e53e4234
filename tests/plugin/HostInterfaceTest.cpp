#include "hostabi/HostInterface.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The host's open images, and how often it was asked; the callback has no context.
struct TFakeHost {
  std::vector<THostImageInfo> Images;
  bool AnswersEveryIndex = false;
  int Calls = 0;
  std::vector<int32_t> Requests;
};
TFakeHost* Host = nullptr;

int32_t OSTRAVINE_STDCALL FakeCallback(int32_t request, void* data) {
  ++Host->Calls;
  Host->Requests.push_back(request);
  auto& info = *static_cast<THostImageInfo*>(data);
  if (info.Index >= 0 && static_cast<size_t>(info.Index) < Host->Images.size()) {
    const int32_t index = info.Index;
    info = Host->Images[index];
    info.Index = index;
    return 1;
  }
  return Host->AnswersEveryIndex ? 1 : 0;
}

THostImageInfo OpenImage(void* pixels, TRect selection) {
  THostImageInfo info{};
  info.Pixels = pixels;
  info.Selection = selection;
  return info;
}

class FindSelectionTest : public ::testing::Test {
 protected:
  void SetUp() override { Host = &FHost; }
  void TearDown() override { Host = nullptr; }
  TFakeHost FHost;
  uint8_t FFirst[4] = {}, FSecond[4] = {};
};

TEST_F(FindSelectionTest, MatchesByPixelMemoryAndTheFirstListedWins) {
  FHost.Images = {OpenImage(FFirst, {1, 2, 3, 4}), OpenImage(FSecond, {5, 6, 7, 8}),
                  OpenImage(FSecond, {9, 9, 9, 9})};
  THostImage image{4, 1, 4, hf8Bit, FSecond, nullptr};
  EXPECT_EQ(FindSelection(image, FakeCallback), (TRect{5, 6, 7, 8}));
  EXPECT_EQ(FHost.Calls, 2);
  EXPECT_EQ(FHost.Requests, (std::vector<int32_t>{hrImageInfo, hrImageInfo}));
}

TEST_F(FindSelectionTest, NoImageOrNoMatchGivesNoSelection) {
  THostImage image{4, 1, 4, hf8Bit, FFirst, nullptr};
  EXPECT_EQ(FindSelection(image, FakeCallback), NoSelection);
  EXPECT_EQ(FHost.Calls, 1);
  FHost.Images = {OpenImage(FSecond, {0, 0, 3, 3})};
  EXPECT_EQ(FindSelection(image, FakeCallback), NoSelection);
}

TEST_F(FindSelectionTest, EndsAgainstAHostThatNeverSaysNo) {
  FHost.AnswersEveryIndex = true;
  THostImage image{4, 1, 4, hf8Bit, FFirst, nullptr};
  EXPECT_EQ(FindSelection(image, FakeCallback), NoSelection);
  EXPECT_EQ(FHost.Calls, MaxHostImages);
}

TEST(SelectionTest, UsableRectangles) {
  EXPECT_TRUE(IsUsableSelection({0, 0, 2, 2}));
  EXPECT_TRUE(IsUsableSelection({5, 5, 5, 9}));   // one column
  EXPECT_TRUE(IsUsableSelection({0, 5, 4, 5}));   // one row
  EXPECT_TRUE(IsUsableSelection({4, 0, 2, 3}));   // inverted in one direction only
  EXPECT_FALSE(IsUsableSelection({3, 3, 3, 3}));  // a single pixel
  EXPECT_FALSE(IsUsableSelection({4, 4, 2, 2}));  // inverted both ways
  EXPECT_FALSE(IsUsableSelection({-1, 0, 10, 10}));
  EXPECT_FALSE(IsUsableSelection(NoSelection));
}

}  // namespace
