#include "host/HostServices.h"

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

namespace {

class HostServicesTest : public ::testing::Test {
 protected:
  HostServicesTest() {
    for (TRect selection : {TRect{1, 2, 3, 4}, NoSelection}) {
      auto document = std::make_unique<TDocument>();
      document->Bitmap = THostBitmap(4, 5, hf24Bit);
      document->Selection = selection;
      FDocuments.push_back(std::move(document));
    }
  }

  // A buffer as a plug-in hands it over: only Index written, the rest whatever it held.
  static THostImageInfo Asking(int32_t index) {
    THostImageInfo info;
    std::memset(&info, 0xCD, sizeof info);
    info.Index = index;
    return info;
  }

  TDocuments FDocuments;
  THostServices FServices{FDocuments};
};

}  // namespace

TEST_F(HostServicesTest, DescribesEachOpenImageUntilThereIsNone) {
  for (int32_t index = 0; index < 2; ++index) {
    THostImageInfo info = Asking(index);
    ASSERT_EQ(THostServices::Callback(hrImageInfo, &info), 1);
    EXPECT_EQ(info.Index, index);
    EXPECT_EQ(info.Pixels, FDocuments[index]->Bitmap.Record().Pixels);
    EXPECT_EQ(info.Selection, FDocuments[index]->Selection);
    EXPECT_EQ(info.HostData1[23], 0);
    EXPECT_EQ(info.HostData2[0], 0);
  }
  for (int32_t index : {2, -1, INT32_MIN}) {
    THostImageInfo info = Asking(index);
    EXPECT_EQ(THostServices::Callback(hrImageInfo, &info), 0) << index;
  }
  EXPECT_EQ(THostServices::Callback(hrImageInfo, nullptr), 0);
}

TEST_F(HostServicesTest, HandsOverTheMainWindow) {
  FServices.MainWindow = reinterpret_cast<HWND>(0x1234);
  HWND window = nullptr;
  EXPECT_EQ(THostServices::Callback(hrMainWindow, &window), 1);
  EXPECT_EQ(window, reinterpret_cast<HWND>(0x1234));
  EXPECT_EQ(THostServices::Callback(hrMainWindow, nullptr), 0);
}

TEST_F(HostServicesTest, RedrawsWhenThePixelsChanged) {
  int redraws = 0;
  EXPECT_EQ(THostServices::Callback(hrImageChanged, nullptr), 1);  // nothing to redraw yet
  FServices.OnImageChanged = [&] { ++redraws; };
  EXPECT_EQ(THostServices::Callback(hrImageChanged, nullptr), 1);
  EXPECT_EQ(redraws, 1);
  // An error in the host never reaches the plug-in.
  FServices.OnImageChanged = [] { throw std::runtime_error("redraw failed"); };
  EXPECT_EQ(THostServices::Callback(hrImageChanged, nullptr), 0);
}

TEST_F(HostServicesTest, RecordsRegistrationsAsCopies) {
  std::vector<TPluginEntry> entries;
  FServices.OnRegister = [&](TPluginEntry entry) { entries.push_back(std::move(entry)); };
  char name[] = "Profile";
  TPluginInfo info{"Plugins", name, nullptr, 1};
  EXPECT_EQ(THostServices::Callback(hrRegister, &info), 1);
  name[0] = 'X';
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].Menu, "Plugins");
  EXPECT_EQ(entries[0].Name, "Profile");
  EXPECT_EQ(entries[0].Description, "");
  EXPECT_EQ(entries[0].Flags, 1);
  EXPECT_EQ(THostServices::Callback(hrRegister, nullptr), 0);
}

TEST_F(HostServicesTest, AnswersUnknownRequestsWithZero) {
  int32_t data = 0;
  for (int32_t request : {0, 2, 5, 10, -1}) EXPECT_EQ(THostServices::Callback(request, &data), 0) << request;
}

TEST_F(HostServicesTest, TheNewestServicesAnswerUntilTheyAreGone) {
  TDocuments none;
  {
    THostServices inner(none);
    THostImageInfo info = Asking(0);
    EXPECT_EQ(THostServices::Callback(hrImageInfo, &info), 0);
  }
  THostImageInfo info = Asking(0);
  EXPECT_EQ(THostServices::Callback(hrImageInfo, &info), 1);
}
