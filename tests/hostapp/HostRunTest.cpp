// The host program run as the main command runs it, unattended.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "host/BmpFile.h"
#include "host/ImageFile.h"
#include "host/PluginRegistry.h"
#include "platform/Handles.h"

namespace {

constexpr DWORD RunLimit = 60000;

std::string TempPath(const char* name) {
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  return std::string(folder) + name;
}

// The host's exit code, or STILL_ACTIVE when it had to be stopped.
DWORD RunHost(const std::string& arguments) {
  std::string commandLine = "\"" + ProgramFolder() + "OstravineHost.exe\" " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return STILL_ACTIVE;
  const TFileHandle processHandle(process.hProcess);
  const TFileHandle threadHandle(process.hThread);
  DWORD code = STILL_ACTIVE;
  if (WaitForSingleObject(process.hProcess, RunLimit) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
  else GetExitCodeProcess(process.hProcess, &code);
  return code;
}

bool Contains(const THostBitmap& shot, uint8_t blue, uint8_t green, uint8_t red) {
  for (int32_t y = 0; y < shot.Height(); ++y) {
    const uint8_t* pixel = shot.Row(y);
    for (int32_t x = 0; x < shot.Width(); ++x, pixel += 3)
      if (pixel[0] == blue && pixel[1] == green && pixel[2] == red) return true;
  }
  return false;
}

class HostRunTest : public ::testing::Test {
 protected:
  HostRunTest() : FShot(TempPath("ostravine-host-run.bmp")), FSample("\"" + ProgramFolder() + "sample.bmp\"") {
    std::remove(FShot.c_str());
  }
  ~HostRunTest() override { std::remove(FShot.c_str()); }

  std::string FShot;
  std::string FSample;
};

}  // namespace

TEST_F(HostRunTest, RunsThePlugInCommandAndSavesTheScreen) {
  const DWORD code = RunHost(FSample + " --select 10,10,229,169 --run Plugins/Ostravine --screenshot \"" + FShot +
                             "\" --exit");
  ASSERT_EQ(code, 0u);
  const std::vector<uint8_t> bytes = ReadFileBytes(FShot);
  const THostBitmap shot = DecodeBmp(bytes.data(), bytes.size());
  EXPECT_EQ(shot.Width(), GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(shot.Height(), GetSystemMetrics(SM_CYSCREEN));
  // The sample's red bar, as the host's view shows it.
  EXPECT_TRUE(Contains(shot, 40, 40, 230));
}

TEST_F(HostRunTest, EndsWithAnErrorForACommandNoPlugInRegistered) {
  EXPECT_EQ(RunHost(FSample + " --run Plugins/Missing --screenshot \"" + FShot + "\" --exit"), 1u);
  EXPECT_EQ(GetFileAttributesA(FShot.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(HostRunTest, EndsWithAnErrorForAnImageItCannotOpen) {
  EXPECT_EQ(RunHost("\"" + ProgramFolder() + "missing.bmp\" --exit"), 1u);
  EXPECT_EQ(RunHost("--select 1,2 --exit"), 1u);
}
