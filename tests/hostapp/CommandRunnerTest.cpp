#include "host/CommandRunner.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "host/BmpFile.h"
#include "host/CommandLine.h"
#include "host/ImageFile.h"

namespace {

std::string TempPath(const char* name) {
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  return std::string(folder) + name;
}

// Pumps this thread's messages until the run says it is finished, or a time limit passes.
bool WaitUntil(const bool& finished, DWORD limit) {
  const DWORD start = GetTickCount();
  MSG message;
  while (!finished && GetTickCount() - start < limit) {
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    Sleep(10);
  }
  return finished;
}

class ShotRunTest : public ::testing::Test {
 protected:
  ShotRunTest() : FPath(TempPath("ostravine-host-shot.bmp")) { std::remove(FPath.c_str()); }
  ~ShotRunTest() override { std::remove(FPath.c_str()); }

  void ExpectScreenSizedShot() {
    const std::vector<uint8_t> bytes = ReadFileBytes(FPath);
    const THostBitmap shot = DecodeBmp(bytes.data(), bytes.size());
    EXPECT_EQ(shot.Width(), GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(shot.Height(), GetSystemMetrics(SM_CYSCREEN));
  }

  std::string FPath;
  bool FFinished = false;
  std::string FError = "not called";
};

// The host's own delay before the shot.
const DWORD DefaultDelay = THostOptions().ShotDelay;

}  // namespace

// A modal window stands for the plug-in's dialog: the shot is taken while it is open, and
// closing it is what lets the command return.
TEST_F(ShotRunTest, ShootsWhileTheModalWindowIsOpenAndClosesIt) {
  TShotRun run(nullptr, FPath, DefaultDelay, [this](const std::string& error) {
    FFinished = true;
    FError = error;
  });
  bool shotWhileOpen = false;
  const DWORD start = GetTickCount();
  run.Run([&] {
    MessageBoxA(nullptr, "A modal window", "Modal", MB_OK);
    shotWhileOpen = GetFileAttributesA(FPath.c_str()) != INVALID_FILE_ATTRIBUTES;
  });
  EXPECT_TRUE(shotWhileOpen);
  EXPECT_LT(GetTickCount() - start, 10000u);
  ASSERT_TRUE(WaitUntil(FFinished, 5000));
  EXPECT_EQ(FError, "");
  ExpectScreenSizedShot();
}

TEST_F(ShotRunTest, ShootsAfterACommandWithoutWindow) {
  TShotRun run(nullptr, FPath, DefaultDelay, [this](const std::string& error) {
    FFinished = true;
    FError = error;
  });
  run.Run([] {});
  EXPECT_EQ(GetFileAttributesA(FPath.c_str()), INVALID_FILE_ATTRIBUTES);
  ASSERT_TRUE(WaitUntil(FFinished, 5000));
  EXPECT_EQ(FError, "");
  ExpectScreenSizedShot();
}

TEST_F(ShotRunTest, TellsWhyTheShotWasNotSaved) {
  TShotRun run(nullptr, TempPath("no-such-folder\\shot.bmp"), DefaultDelay, [this](const std::string& error) {
    FFinished = true;
    FError = error;
  });
  run.Run([] {});
  ASSERT_TRUE(WaitUntil(FFinished, 5000));
  EXPECT_NE(FError.find("no-such-folder"), std::string::npos);
}
