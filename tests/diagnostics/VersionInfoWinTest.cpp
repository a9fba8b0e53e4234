// Version resources read through the platform's version library: the plug-in's own, the
// test program's (the running executable, read at load) and files without one.

#include "diagnostics/VersionInfo.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "Version.h"

#include "errors/Exceptions.h"
#include "tests/TestSupport.h"
#include "platform/WinApi.h"

namespace {

using TWords = std::array<uint32_t, 2>;

std::string ProgramFolder() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, length);
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

std::string PluginPath() { return ProgramFolder() + "Ostravine.dll"; }

TEST(VersionInfoWin, ReadsThePluginsVersionResource) {
  TVersionInfo info;
  info.LegalCopyright = "absent, so kept";
  ReadVersionInfo(PluginPath(), info);
  EXPECT_EQ(info.CompanyName, "Orvalis");
  EXPECT_EQ(info.ProductName, "Ostravine");
  EXPECT_EQ(info.InternalName, "Ostravine");
  EXPECT_EQ(info.OriginalFilename, "Ostravine.dll");
  EXPECT_EQ(info.FileDescription.rfind("Ostravine: ", 0), 0u) << info.FileDescription;
  EXPECT_EQ(info.LegalCopyright, "absent, so kept");
  const TWords version{OSTRAVINE_VERSION_MAJOR << 16 | OSTRAVINE_VERSION_MINOR, uint32_t{OSTRAVINE_VERSION_PATCH} << 16};
  EXPECT_EQ(info.ProductVersion, version);
  EXPECT_EQ(info.FileVersion, version);
  // The low half's low word (the build, 0) before its high word (the patch).
  EXPECT_EQ(VersionString(info), std::to_string(OSTRAVINE_VERSION_MAJOR) + "." + std::to_string(OSTRAVINE_VERSION_MINOR) +
                                     ".0 " + std::to_string(OSTRAVINE_VERSION_PATCH));
}

TEST(VersionInfoWin, TheRunningExecutablesVersionIsReadAtLoad) {
  EXPECT_EQ(ApplicationVersion, "2.3.4 5");
  EXPECT_EQ(ApplicationVersionInfo.ProductVersion, (TWords{0x00020003, 0x00050004}));
  EXPECT_EQ(ApplicationVersionInfo.FileVersion, (TWords{0x00070006, 0x00050004}));
  EXPECT_EQ(ApplicationVersionInfo.CompanyName, "Testmacher");
  EXPECT_EQ(ApplicationVersionInfo.ProductName, "Diagnostics");
  EXPECT_EQ(ApplicationVersionInfo.LegalCopyright, "");
  EXPECT_EQ(ApplicationVersionInfo.InternalName, "");
}

TEST(VersionInfoWin, FilesWithoutAVersionResourceRaiseWithTheQuotedPath) {
  char folder[MAX_PATH];
  ASSERT_GT(GetTempPathA(MAX_PATH, folder), 0u);
  const std::string text = std::string(folder) + "ostravine version test.txt";
  std::ofstream(text) << "no resources here";
  const std::string missing = ProgramFolder() + "Missing.dll";
  for (const std::string& path : {text, missing}) {
    TVersionInfo info;
    EXPECT_EQ(MessageOf<Exception>([&] { ReadVersionInfo(path, info); }),
              "No version-info was associated with the requested file \"" + path + "\"");
  }
  DeleteFileA(text.c_str());
}

// The reader passes every separator doubled; the version library skips the empty path
// components, so the doubled paths find the same values as the single ones.
TEST(VersionInfoWin, TheVersionLibraryTakesDoubledSeparators) {
  const std::string path = PluginPath();
  std::vector<char> block(GetFileVersionInfoSizeA(path.c_str(), nullptr));
  ASSERT_FALSE(block.empty());
  ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
  const std::pair<const char*, const char*> paths[] = {
      {"\\", "\\\\"},
      {"\\VarFileInfo\\Translation", "\\\\VarFileInfo\\\\Translation"},
      {"\\StringFileInfo\\040904E4\\CompanyName", "\\\\StringFileInfo\\\\040904E4\\\\CompanyName"}};
  for (const auto& [single, doubled] : paths) {
    void* singleValue = nullptr;
    void* doubledValue = nullptr;
    UINT singleLength = 0, doubledLength = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), single, &singleValue, &singleLength)) << single;
    ASSERT_TRUE(VerQueryValueA(block.data(), doubled, &doubledValue, &doubledLength)) << doubled;
    EXPECT_EQ(doubledValue, singleValue) << doubled;
    EXPECT_EQ(doubledLength, singleLength) << doubled;
  }
}

}  // namespace
