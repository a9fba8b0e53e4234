// Bad host records and broken callbacks, end to end: Ostravine.dll loaded by the host double
// faults on the host's memory, the fault becomes the plug-in's error, the exception report
// shows it, the bug report goes to the test prefix's stand-in mail library (which records
// the Simple MAPI calls and shows the mail in a window) and the host goes on.

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tests/host/DialogWatcher.h"
#include "tests/host/HostDouble.h"
#include "tests/host/HostImages.h"
#include "ui/Handles.h"

namespace {

const std::vector<std::string> ReportOffer{"&Ignore", "Send bug report", "Terminate application"};
const char ReadFault[] = "Invalid access to memory location in module 'Ostravine.dll': Read.";
const char MailSubject[] = "Orvalis Bug report";
const std::regex PlainAddress("[0-9A-F]{8}");
// Address, unit, routine, source file and line, as the map file beside the DLL resolves them.
const std::regex ResolvedAddress("[0-9A-F]{8}, \\w+, .+, \\w+\\.cpp line [0-9]+");
// A trace entry in the DLL: its unit and routine at least; template code may have no line.
const std::regex ResolvedEntry("[0-9A-F]{8}, \\w+, .+");

std::vector<std::string> ButtonTexts(const TSeenDialog& dialog) {
  std::vector<std::string> texts;
  for (const auto& control : dialog.Controls)
    if (control.ClassName == "Button") texts.push_back(control.Text);
  return texts;
}

const TSeenDialog* SeenWithButtons(const TDialogWatcher& watcher, const std::vector<std::string>& buttons) {
  for (const auto& dialog : watcher.Seen)
    if (ButtonTexts(dialog) == buttons) return &dialog;
  return nullptr;
}

const TSeenDialog* SeenWithCaption(const TDialogWatcher& watcher, const std::string& caption) {
  for (const auto& dialog : watcher.Seen)
    if (dialog.Caption == caption) return &dialog;
  return nullptr;
}

// The longest static text of a window: a message box's message.
std::string MessageOf(const TSeenDialog& dialog) {
  std::string message;
  for (const auto& control : dialog.Controls)
    if (control.ClassName == "Static" && control.Text.size() > message.size()) message = control.Text;
  return message;
}

std::vector<std::string> Split(const std::string& text, const std::string& separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t end; (end = text.find(separator, start)) != std::string::npos; start = end + separator.size())
    parts.push_back(text.substr(start, end - start));
  parts.push_back(text.substr(start));
  return parts;
}

// An address that faults on every access, as memory the host took back does. Memory really
// given back could be handed out again at once, so the range stays reserved, uncommitted.
void* InaccessibleMemory() {
  static void* const block = VirtualAlloc(nullptr, 1 << 16, MEM_RESERVE, PAGE_NOACCESS);
  return block;
}

void Protect(const THostImageBuffer& image, DWORD protection) {
  DWORD old;
  ASSERT_TRUE(VirtualProtect(image.Pixels(), image.ByteCount(), protection, &old));
}

std::string Folder(const std::string& path) { return path.substr(0, path.find_last_of('\\') + 1); }

std::string ProgramFolder() { return Folder(ModuleFileName(nullptr)); }

// Every window the command opens answered as a user would: the report's offer with the
// button of that caption, the mail window with OK or Cancel, anything else closed.
TDialogWatcher::TInspect Answer(const std::string& offerButton, int mailButton) {
  return [offerButton, mailButton](HWND window) {
    if (FindChild(window, "Button", "Send bug report")) return ClickChild(window, "Button", offerButton);
    if (WindowText(window) == MailSubject) {
      PostMessageA(window, WM_COMMAND, mailButton, 0);
      return;
    }
    PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  };
}

class PluginFaults : public ::testing::Test {
 protected:
  explicit PluginFaults(const std::string& library = "Ostravine.dll") : FPlugin(library.c_str()) {}

  void SetUp() override {
    FHost.MainWindow = FMainWindow.Handle();
    ASSERT_EQ(FPlugin.RegisterPlugin(THostDouble::Callback), 1);
    DeleteFileA(FMailLog.c_str());
    SetEnvironmentVariableA("OSTRAVINE_MAPI_LOG", FMailLog.c_str());
  }
  void TearDown() override {
    SetEnvironmentVariableA("OSTRAVINE_MAPI_LOG", nullptr);
    DeleteFileA(FMailLog.c_str());
  }

  // The command on the image, its whole area selected.
  int32_t Run(THostImage& record) {
    FHost.OpenImages = {{record.Pixels, {0, 0, record.Width - 1, record.Height - 1}}};
    FHost.Requests.clear();
    return FPlugin.ProcessImage(1, &record);
  }

  std::vector<std::string> MailCalls() const {
    std::ifstream file(FMailLog);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    return lines;
  }

  const std::string FMailLog = ProgramFolder() + "mapi-calls.log";
  TPluginLibrary FPlugin;
  THostMainWindow FMainWindow;
  THostDouble FHost;
};

TEST_F(PluginFaults, BadHostRecordsEndInTheReportAndTheHostGoesOn) {
  std::vector<THostImageBuffer> images;
  images.push_back(THostImageBuffer::Make24Bit(40, 30));
  images.back().Record().Height = 60;  // the pixel memory ends after 30 rows
  images.push_back(THostImageBuffer::Make8Bit(40, 30, 44));
  images.back().Record().Height = 31;
  images.push_back(THostImageBuffer::MakeFloat(20, 10));
  images.back().Record().Height = 11;
  images.push_back(THostImageBuffer::Make24Bit(40, 30));
  images.back().Record().Pixels = InaccessibleMemory();
  for (auto& image : images) {
    const auto before = image.Snapshot();
    TDialogWatcher watcher(TDialogAnswer::Escape);
    EXPECT_EQ(Run(image.Record()), 1);
    const TSeenDialog* report = SeenWithButtons(watcher, ReportOffer);
    ASSERT_NE(report, nullptr) << "format " << image.Record().PixelFormat;
    EXPECT_EQ(report->Caption, "Error");
    EXPECT_EQ(report->Owner, FMainWindow.Handle());
    EXPECT_EQ(MessageOf(*report), ReadFault);
    EXPECT_EQ(image.Snapshot(), before) << "format " << image.Record().PixelFormat;
  }

  auto image = THostImageBuffer::Make24Bit(20, 10);
  const auto before = image.Snapshot();
  TDialogWatcher watcher(TDialogAnswer::Escape);
  EXPECT_EQ(Run(image.Record()), 1);
  ASSERT_EQ(watcher.Seen.size(), 1u);
  EXPECT_EQ(watcher.Seen[0].Caption, "Ostravine");
  ASSERT_GE(FHost.Requests.size(), 3u);
  EXPECT_EQ(FHost.Requests.back(), hrImageChanged) << "the marks were put back";
  EXPECT_EQ(image.Snapshot(), before);
}

// The host's memory goes away while the dialog is open; putting the pixels back at the close
// is the last touch of the host's memory, inside the window layer's close, and it faults.
TEST_F(PluginFaults, AFaultWhileThePixelsGoBackIsReportedAndTheDialogCloses) {
  auto image = THostImageBuffer::Make24Bit(30, 20);
  TDialogWatcher watcher("Ostravine", {[&](HWND) { Protect(image, PAGE_NOACCESS); },
                                       [](HWND dialog) { ClickChild(dialog, "Button", "Close"); }},
                         TDialogAnswer::None);
  EXPECT_EQ(Run(image.Record()), 1);
  Protect(image, PAGE_READWRITE);
  const TSeenDialog* report = SeenWithButtons(watcher, ReportOffer);
  ASSERT_NE(report, nullptr);
  EXPECT_EQ(MessageOf(*report), "Invalid access to memory location in module 'Ostravine.dll': Write.");
  EXPECT_EQ(FHost.Requests, (std::vector<int32_t>{hrMainWindow, hrImageInfo, hrImageChanged}))
      << "no notice for pixels that could not be put back";
}

// A callback pointer into nowhere faults at the call: the host sees the report, not a crash.
TEST_F(PluginFaults, ACallThroughABrokenHostCallbackEndsInTheReport) {
  const auto broken = reinterpret_cast<THostCallback>(InaccessibleMemory());
  auto image = THostImageBuffer::Make24Bit(20, 10);
  TDialogWatcher watcher(TDialogAnswer::Escape);
  EXPECT_EQ(FPlugin.RegisterPlugin(broken), 0);
  EXPECT_EQ(FPlugin.ProcessImage(1, &image.Record()), 1);
  ASSERT_EQ(watcher.Seen.size(), 2u);
  for (const auto& report : watcher.Seen) {
    EXPECT_EQ(ButtonTexts(report), ReportOffer);
    EXPECT_EQ(MessageOf(report), ReadFault);
  }
  EXPECT_EQ(FPlugin.RegisterPlugin(THostDouble::Callback), 1);
}

// The report mailed through the stand-in: its window shows the body, its log the calls.
TEST_F(PluginFaults, TheBugReportNamesTheModuleAndResolvesItsAddressesThroughTheMap) {
  auto image = THostImageBuffer::Make24Bit(40, 30);
  image.Record().Height = 31;
  TDialogWatcher watcher(TDialogAnswer::None, Answer("Send bug report", IDOK));
  EXPECT_EQ(Run(image.Record()), 1);
  const TSeenDialog* mail = SeenWithCaption(watcher, MailSubject);
  ASSERT_NE(mail, nullptr);
  const std::vector<std::string> lines = Split(MessageOf(*mail), "\n\r");
  ASSERT_GE(lines.size(), 12u);
  EXPECT_EQ(lines[0].rfind("Application: boundary_tests.exe ", 0), 0u) << lines[0];
  EXPECT_EQ(lines[1], "Module: Ostravine.dll 1.0.0 0");
  EXPECT_EQ(lines[2], ReadFault);
  size_t at = 0;
  while (at < lines.size() && lines[at].rfind("Exception address: ", 0) != 0) ++at;
  ASSERT_LT(at + 2, lines.size());
  const std::string address = lines[at].substr(19);
  EXPECT_TRUE(std::regex_match(address, ResolvedAddress)) << address;
  EXPECT_NE(address.find(", HostBytes, CopyHostBytes("), std::string::npos) << address;
  ASSERT_EQ(lines[at + 1], "Stack trace: ");
  EXPECT_TRUE(std::regex_match(lines[at + 2], ResolvedAddress)) << lines[at + 2];
  for (size_t i = at + 2; i < lines.size() && std::regex_match(lines[i].substr(0, 8), PlainAddress); ++i)
    EXPECT_TRUE(lines[i].size() == 8 || std::regex_match(lines[i], ResolvedEntry)) << lines[i];
  EXPECT_EQ(lines.back().rfind("Windows version: ", 0), 0u);

  const std::vector<std::string> calls = MailCalls();
  ASSERT_EQ(calls.size(), 3u);
  const std::string parent = "parent=" + std::to_string(reinterpret_cast<uintptr_t>(FMainWindow.Handle()));
  EXPECT_EQ(calls[0], "MAPILogon " + parent + " profile='' password='' flags=3");
  EXPECT_EQ(calls[1], std::string("MAPISendMail session=24149 flags=8 recipients=1 class=1 name=") +
                          OSTRAVINE_REPORT_ADDRESS + " address=SMTP:" + OSTRAVINE_REPORT_ADDRESS +
                          " subject=Orvalis Bug report files=0");
  EXPECT_EQ(calls[2], "MAPILogoff session=24149 " + parent + " flags=0");
}

// Run only as the child process of the test below: the host's own message loop ends with
// the quit message that the report's "Terminate application" posts.
TEST_F(PluginFaults, DISABLED_TerminateFromTheReport) {
  auto image = THostImageBuffer::Make8Bit(40, 30);
  image.Record().Height = 40;
  TDialogWatcher watcher(TDialogAnswer::None, Answer("Terminate application", IDOK));
  const int32_t result = Run(image.Record());
  const DWORD end = GetTickCount() + 10000;
  MSG message;
  while (GetTickCount() < end) {
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      Sleep(10);
      continue;
    }
    if (message.message == WM_QUIT) ExitProcess(result == 1 && message.wParam == 0 ? 0x51 : 0x52);
    DispatchMessageA(&message);
  }
  ExitProcess(0x53);
}

TEST_F(PluginFaults, TerminateApplicationEndsTheHostsMessageLoop) {
  std::string command = "\"" + ModuleFileName(nullptr) +
                        "\" --gtest_also_run_disabled_tests --gtest_filter=PluginFaults.DISABLED_TerminateFromTheReport";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION child{};
  ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child));
  using TProcessHandle = TScopedHandle<TNullHandleTraits<HANDLE, CloseHandle>>;
  const TProcessHandle process(child.hProcess);
  const TProcessHandle thread(child.hThread);
  ASSERT_EQ(WaitForSingleObject(child.hProcess, 60000), WAIT_OBJECT_0);
  DWORD exitCode = 0;
  GetExitCodeProcess(child.hProcess, &exitCode);
  EXPECT_EQ(exitCode, 0x51u) << "0x52: the command failed, 0x53: no quit message";
}

// A copy of the DLL in a folder of its own, without the map file beside it.
class TLibraryWithoutMap {
 public:
  TLibraryWithoutMap() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    FFolder = std::string(temp) + "ostravine-no-map-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(FFolder.c_str(), nullptr);
    FPath = FFolder + "\\Ostravine.dll";
    CopyFileA((ProgramFolder() + "Ostravine.dll").c_str(), FPath.c_str(), FALSE);
  }
  ~TLibraryWithoutMap() {
    DeleteFileA(FPath.c_str());
    RemoveDirectoryA(FFolder.c_str());
  }
  const std::string& Path() const noexcept { return FPath; }

 private:
  std::string FFolder;
  std::string FPath;
};

TLibraryWithoutMap* LibraryWithoutMap = nullptr;

class PluginFaultsWithoutMap : public PluginFaults {
 protected:
  PluginFaultsWithoutMap() : PluginFaults(LibraryWithoutMap->Path()) {}
  static void SetUpTestSuite() { LibraryWithoutMap = new TLibraryWithoutMap; }
  static void TearDownTestSuite() {
    delete LibraryWithoutMap;
    LibraryWithoutMap = nullptr;
  }
};

// A cancelled mail is no error, and the logoff follows as after a sent one.
TEST_F(PluginFaultsWithoutMap, TheReportShowsPlainAddresses) {
  auto image = THostImageBuffer::Make24Bit(40, 30);
  image.Record().Pixels = InaccessibleMemory();
  TDialogWatcher watcher(TDialogAnswer::None, Answer("Send bug report", IDCANCEL));
  EXPECT_EQ(Run(image.Record()), 1);
  const TSeenDialog* mail = SeenWithCaption(watcher, MailSubject);
  ASSERT_NE(mail, nullptr);
  const std::vector<std::string> lines = Split(MessageOf(*mail), "\n\r");
  size_t at = 0;
  while (at < lines.size() && lines[at].rfind("Exception address: ", 0) != 0) ++at;
  ASSERT_LT(at + 2, lines.size());
  EXPECT_TRUE(std::regex_match(lines[at].substr(19), PlainAddress)) << lines[at];
  EXPECT_EQ(lines[at + 1], "Stack trace: ");
  for (size_t i = at + 2; i < lines.size() && lines[i].rfind("Windows version: ", 0) != 0; ++i)
    EXPECT_TRUE(std::regex_match(lines[i], PlainAddress) || lines[i].rfind("Caught by: ", 0) == 0 ||
                lines[i].rfind("Active form: ", 0) == 0)
        << lines[i];
  const std::vector<std::string> calls = MailCalls();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[2].rfind("MAPILogoff session=24149 ", 0), 0u);
}

}  // namespace
