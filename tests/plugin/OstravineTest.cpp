// The plug-in as a host sees it: Ostravine.dll loaded by name, called through its exports,
// with host images against guard pages and every modal window answered by a watcher.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "Version.h"
#include "tests/host/DialogWatcher.h"
#include "tests/host/HostDouble.h"
#include "tests/host/HostImages.h"

namespace {

const IMAGE_NT_HEADERS* NtHeaders(HMODULE module) {
  const auto* base = reinterpret_cast<const uint8_t*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  return reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
}

template <class T>
const T* AtRva(HMODULE module, DWORD rva) {
  return reinterpret_cast<const T*>(reinterpret_cast<const uint8_t*>(module) + rva);
}

std::vector<std::string> ExportedNames(HMODULE module) {
  const auto& entry = NtHeaders(module)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  const auto* exports = AtRva<IMAGE_EXPORT_DIRECTORY>(module, entry.VirtualAddress);
  const auto* names = AtRva<DWORD>(module, exports->AddressOfNames);
  std::vector<std::string> result;
  for (DWORD i = 0; i < exports->NumberOfNames; ++i) result.push_back(AtRva<char>(module, names[i]));
  return result;
}

std::vector<std::string> ImportedLibraries(HMODULE module) {
  const auto& entry = NtHeaders(module)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  std::vector<std::string> result;
  for (const auto* import = AtRva<IMAGE_IMPORT_DESCRIPTOR>(module, entry.VirtualAddress); import->Name; ++import) {
    std::string name = AtRva<char>(module, import->Name);
    std::transform(name.begin(), name.end(), name.begin(), ::tolower);
    result.push_back(name);
  }
  return result;
}

std::string VersionValue(const std::vector<char>& block, const char* name) {
  char* value = nullptr;
  UINT length = 0;
  const std::string path = std::string("\\StringFileInfo\\040904E4\\") + name;
  if (!VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length)) return "";
  return std::string(value);
}

class PluginBoundary : public ::testing::Test {
 protected:
  void SetUp() override { FHost.MainWindow = FMainWindow.Handle(); }

  // Registers and opens one image with a selection, as a host has it before the command.
  void OpenWithSelection(const THostImageBuffer& image, TRect selection) {
    ASSERT_EQ(FPlugin.RegisterPlugin(THostDouble::Callback), 1);
    FHost.OpenImages.push_back({image.Record().Pixels, selection});
    FHost.Requests.clear();
  }

  TPluginLibrary FPlugin;
  THostMainWindow FMainWindow;
  THostDouble FHost;
};

TEST_F(PluginBoundary, IsA32BitDllWithExactlyTheTwoExportsAndSystemImports) {
  const auto* headers = NtHeaders(FPlugin.Module());
  EXPECT_EQ(headers->FileHeader.Machine, IMAGE_FILE_MACHINE_I386);
  EXPECT_TRUE(headers->FileHeader.Characteristics & IMAGE_FILE_DLL);
  EXPECT_EQ(ExportedNames(FPlugin.Module()), (std::vector<std::string>{"ProcessImage", "RegisterPlugin"}));

  const std::set<std::string> system = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll",
                                        "msvcrt.dll", "uxtheme.dll", "version.dll", "comctl32.dll",
                                        "shell32.dll", "ole32.dll", "comdlg32.dll"};
  for (const auto& library : ImportedLibraries(FPlugin.Module()))
    EXPECT_TRUE(system.count(library)) << library << " is not a Windows system library";
}

TEST_F(PluginBoundary, CarriesVersionStringsAndIcon) {
  char path[MAX_PATH];
  GetModuleFileNameA(FPlugin.Module(), path, MAX_PATH);
  std::vector<char> block(GetFileVersionInfoSizeA(path, nullptr));
  ASSERT_FALSE(block.empty());
  ASSERT_TRUE(GetFileVersionInfoA(path, 0, static_cast<DWORD>(block.size()), block.data()));
  EXPECT_EQ(VersionValue(block, "CompanyName"), "Orvalis");
  EXPECT_EQ(VersionValue(block, "ProductName"), "Ostravine");
  // The project's version, written once in the build.
  EXPECT_EQ(VersionValue(block, "ProductVersion"), OSTRAVINE_VERSION_TEXT);
  EXPECT_EQ(VersionValue(block, "FileVersion"), OSTRAVINE_VERSION_TEXT);
  EXPECT_FALSE(VersionValue(block, "FileDescription").empty());

  char text[256];
  ASSERT_GT(LoadStringA(FPlugin.Module(), 65367, text, sizeof text), 0);
  EXPECT_STREQ(text, "Information");
  ASSERT_GT(LoadStringA(FPlugin.Module(), 65371, text, sizeof text), 0);
  EXPECT_STREQ(text, "OK");
  EXPECT_NE(FindResourceA(FPlugin.Module(), "MAINICON", MAKEINTRESOURCEA(14)), nullptr);
}

TEST_F(PluginBoundary, RegisterPluginAnnouncesTheCommandOnce) {
  EXPECT_EQ(FPlugin.RegisterPlugin(nullptr), 0);
  EXPECT_TRUE(FHost.Requests.empty());

  for (int32_t answer : {1, 0, -7, 12345}) {
    FHost.RegisterResult = answer;
    FHost.Requests.clear();
    FHost.Registrations.clear();
    EXPECT_EQ(FPlugin.RegisterPlugin(THostDouble::Callback), answer);
    ASSERT_EQ(FHost.Requests, std::vector<int32_t>{hrRegister});
    EXPECT_EQ(FHost.Registrations[0].Menu, "Plugins");
    EXPECT_EQ(FHost.Registrations[0].Name, "Ostravine");
    EXPECT_EQ(FHost.Registrations[0].Description, "Show profile of selection diagonal");
    EXPECT_EQ(FHost.Registrations[0].Flags, 1);
  }
}

TEST_F(PluginBoundary, WithoutARegisteredHostOrARecordTheCommandDoesNothing) {
  auto image = THostImageBuffer::Make24Bit(4, 4);
  const auto before = image.Snapshot();
  TDialogWatcher watcher;
  EXPECT_EQ(FPlugin.ProcessImage(1, &image.Record()), 1);
  ASSERT_EQ(FPlugin.RegisterPlugin(nullptr), 0);
  EXPECT_EQ(FPlugin.ProcessImage(1, &image.Record()), 1);
  EXPECT_TRUE(FHost.Requests.empty());

  ASSERT_EQ(FPlugin.RegisterPlugin(THostDouble::Callback), 1);
  FHost.Requests.clear();
  EXPECT_EQ(FPlugin.ProcessImage(1, nullptr), 1);
  EXPECT_EQ(FHost.Requests, std::vector<int32_t>{hrMainWindow});
  EXPECT_TRUE(watcher.Seen.empty());
  EXPECT_EQ(image.Snapshot(), before);
}

TEST_F(PluginBoundary, OtherOperationsOnlyFetchTheMainWindow) {
  auto image = THostImageBuffer::Make24Bit(6, 5, 20);
  OpenWithSelection(image, {0, 0, 5, 4});
  const auto before = image.Snapshot();
  TDialogWatcher watcher;
  for (int32_t operation : {0, 2, -1}) {
    FHost.Requests.clear();
    EXPECT_EQ(FPlugin.ProcessImage(operation, &image.Record()), 1);
    EXPECT_EQ(FHost.Requests, std::vector<int32_t>{hrMainWindow});
  }
  EXPECT_TRUE(watcher.Seen.empty());
  EXPECT_EQ(image.Snapshot(), before);
}

TEST_F(PluginBoundary, RefusesOtherPixelFormatsBeforeLookingForASelection) {
  std::vector<THostImageBuffer> images;
  images.push_back(THostImageBuffer::Make32Bit(4, 3));
  images.push_back(THostImageBuffer::Make8Bit(4, 3));
  images.back().Record().PixelFormat = 2;
  for (auto& image : images) {
    ASSERT_EQ(FPlugin.RegisterPlugin(THostDouble::Callback), 1);
    FHost.Requests.clear();
    const auto before = image.Snapshot();
    TDialogWatcher watcher;
    EXPECT_EQ(FPlugin.ProcessImage(1, &image.Record()), 1);
    ASSERT_EQ(watcher.Seen.size(), 1u);
    EXPECT_EQ(watcher.Seen[0].Caption, "Information");
    EXPECT_EQ(watcher.Seen[0].Owner, FMainWindow.Handle());
    EXPECT_NE(watcher.Seen[0].Find("Static", "Only 8 or 24 bit images supported"), nullptr);
    EXPECT_EQ(FHost.Requests, std::vector<int32_t>{hrMainWindow});
    EXPECT_EQ(image.Snapshot(), before);
  }
}

TEST_F(PluginBoundary, RefusesImagesWithoutAUsableSelection) {
  auto image = THostImageBuffer::Make24Bit(6, 5);
  const auto before = image.Snapshot();
  for (TRect selection : {NoSelection, TRect{-1, 0, 5, 4}, TRect{2, 2, 2, 2}, TRect{4, 4, 1, 1}}) {
    FHost.OpenImages.clear();
    OpenWithSelection(image, selection);
    TDialogWatcher watcher(TDialogAnswer::Escape);
    EXPECT_EQ(FPlugin.ProcessImage(1, &image.Record()), 1);
    ASSERT_EQ(watcher.Seen.size(), 1u);
    EXPECT_EQ(watcher.Seen[0].Caption, "Information");
    EXPECT_NE(watcher.Seen[0].Find("Static", "No rectangular selection"), nullptr);
    EXPECT_EQ(FHost.Requests, (std::vector<int32_t>{hrMainWindow, hrImageInfo}));
  }
  EXPECT_EQ(image.Snapshot(), before);
}

TEST_F(PluginBoundary, AnImageTheHostDoesNotListHasNoSelection) {
  auto image = THostImageBuffer::Make8Bit(5, 5);
  auto other = THostImageBuffer::Make8Bit(5, 5);
  OpenWithSelection(other, {0, 0, 4, 4});
  TDialogWatcher watcher;
  EXPECT_EQ(FPlugin.ProcessImage(1, &image.Record()), 1);
  ASSERT_EQ(watcher.Seen.size(), 1u);
  EXPECT_NE(watcher.Seen[0].Find("Static", "No rectangular selection"), nullptr);
  EXPECT_EQ(FHost.ImageInfoRequests(), 2);
}

TEST_F(PluginBoundary, AHostThatListsImagesForEverStillGetsAnAnswer) {
  auto image = THostImageBuffer::Make24Bit(3, 3);
  ASSERT_EQ(FPlugin.RegisterPlugin(THostDouble::Callback), 1);
  FHost.AnswersEveryIndex = true;
  TDialogWatcher watcher;
  EXPECT_EQ(FPlugin.ProcessImage(1, &image.Record()), 1);
  ASSERT_EQ(watcher.Seen.size(), 1u);
  EXPECT_NE(watcher.Seen[0].Find("Static", "No rectangular selection"), nullptr);
  EXPECT_EQ(FHost.ImageInfoRequests(), 1 << 16);
}

TEST_F(PluginBoundary, AcceptedImagesLeaveTheHostsPixelsAsTheyWere) {
  std::vector<THostImageBuffer> images;
  images.push_back(THostImageBuffer::Make8Bit(7, 5, 8, true));
  images.push_back(THostImageBuffer::Make8Bit(7, 5));
  images.push_back(THostImageBuffer::Make24Bit(6, 5, 20));
  images.push_back(THostImageBuffer::MakeFloat(3, 2));
  images.push_back(THostImageBuffer::MakeComplex(3, 2));
  for (const auto& image : images) {
    FHost.OpenImages.clear();
    OpenWithSelection(image, {0, 0, image.Record().Width - 1, image.Record().Height - 1});
    const auto before = image.Snapshot();
    TDialogWatcher watcher(TDialogAnswer::Escape);
    EXPECT_EQ(FPlugin.ProcessImage(1, &image.Record()), 1);
    ASSERT_EQ(watcher.Seen.size(), 1u);
    EXPECT_EQ(watcher.Seen[0].Caption, "Ostravine");
    EXPECT_EQ(image.Snapshot(), before) << "format " << image.Record().PixelFormat;
  }
}

TEST_F(PluginBoundary, FloatAndComplexImagesAreCopiedAndNeverWritten) {
  std::vector<THostImageBuffer> images;
  images.push_back(THostImageBuffer::MakeFloat(3, 2));
  images.push_back(THostImageBuffer::MakeComplex(5, 4));
  for (const auto& image : images) {
    FHost.OpenImages.clear();
    OpenWithSelection(image, {1, 0, 2, 1});
    const auto before = image.Snapshot();
    TDialogWatcher watcher(TDialogAnswer::Close);
    EXPECT_EQ(FPlugin.ProcessImage(1, &image.Record()), 1);
    ASSERT_EQ(watcher.Seen.size(), 1u);
    EXPECT_NE(watcher.Seen[0].Find("Button", "Real"), nullptr);
    EXPECT_EQ(image.Snapshot(), before) << "format " << image.Record().PixelFormat;
  }
}

TEST_F(PluginBoundary, AnOversizedFloatImageIsRefusedBeforeItsMemoryIsRead) {
  auto image = THostImageBuffer::MakeFloat(3, 2);
  image.Record().Width = image.Record().Height = 50'000;
  OpenWithSelection(image, {0, 0, 2, 1});
  const auto before = image.Snapshot();
  TDialogWatcher watcher;
  EXPECT_EQ(FPlugin.ProcessImage(1, &image.Record()), 1);
  ASSERT_EQ(watcher.Seen.size(), 1u);
  EXPECT_EQ(watcher.Seen[0].Caption, "Error");
  EXPECT_NE(watcher.Seen[0].Find("Static", "Out of memory"), nullptr);
  EXPECT_EQ(image.Snapshot(), before);
}

TEST_F(PluginBoundary, AnErrorInsideTheCommandIsShownAndNeverReachesTheHost) {
  auto image = THostImageBuffer::Make24Bit(6, 5);
  image.Record().BytesPerLine = 17;  // rows shorter than their pixels
  OpenWithSelection(image, {0, 0, 5, 4});
  const auto before = image.Snapshot();
  TDialogWatcher watcher;
  EXPECT_EQ(FPlugin.ProcessImage(1, &image.Record()), 1);
  ASSERT_EQ(watcher.Seen.size(), 1u);
  EXPECT_EQ(watcher.Seen[0].Caption, "Error");
  EXPECT_EQ(watcher.Seen[0].Owner, FMainWindow.Handle());
  EXPECT_NE(watcher.Seen[0].Find("Static", "Invalid bitmap size"), nullptr);
  EXPECT_EQ(image.Snapshot(), before);
}

}  // namespace
