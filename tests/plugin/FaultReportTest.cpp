// Bad host records and broken callbacks, end to end: Ostravine.dll loaded by the host double
// faults on the host's memory, the fault becomes the plug-in's error, the exception report
// shows it, the bug report goes to the test prefix's stand-in mail library (which records
// the Simple MAPI calls and shows the mail in a window) and the host goes on.

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "Version.h"
#include "tests/host/DialogWatcher.h"
#include "tests/host/HostDouble.h"
#include "tests/host/HostImages.h"
#include "platform/Handles.h"

namespace {

const std::vector<std::string> ReportOffer{"&Ignore", "Send bug report", "Terminate application"};
const char ReadFault[] = "Invalid access to memory location in module 'Ostravine.dll': Read.";
const char MailSubject[] = "Orvalis Bug report";
// Trace entries outside the DLL stay addresses; inside they name at least unit and routine.
const std::regex PlainAddress("[0-9A-F]{8}");
// The line may lie in a header: the code that reads the pixels is inlined from it.
const std::regex ResolvedAddress("[0-9A-F]{8}, \\w+, .+, \\w+\\.(cpp|h) line [0-9]+");
const std::regex ResolvedEntry("[0-9A-F]{8}(, \\w+, .+)?");

std::vector<std::string> ButtonTexts(const TSeenDialog& dialog) {
  std::vector<std::string> texts;
  for (const auto& control : dialog.Controls)
    if (control.ClassName == "Button") texts.push_back(control.Text);
  return texts;
}

// The longest static text of a window: a message box's message.
std::string MessageOf(const TSeenDialog& dialog) {
  std::string message;
  for (const auto& control : dialog.Controls)
    if (control.ClassName == "Static" && control.Text.size() > message.size()) message = control.Text;
  return message;
}

const TSeenDialog* FindSeen(const TDialogWatcher& watcher, bool (*match)(const TSeenDialog&)) {
  for (const auto& dialog : watcher.Seen)
    if (match(dialog)) return &dialog;
  return nullptr;
}
bool IsReport(const TSeenDialog& dialog) { return ButtonTexts(dialog) == ReportOffer; }
bool IsMail(const TSeenDialog& dialog) { return dialog.Caption == MailSubject; }

// An address that faults on every access, as memory the host took back does. Memory really
// given back could be handed out again at once, so the range stays reserved, uncommitted.
void* InaccessibleMemory() {
  static void* const block = VirtualAlloc(nullptr, 1 << 16, MEM_RESERVE, PAGE_NOACCESS);
  return block;
}

std::string ProgramFolder() {
  const std::string path = ModuleFileName(nullptr);
  return path.substr(0, path.find_last_of('\\') + 1);
}

// Every window the command opens answered as a user would: the report's offer with the
// button of that caption, the mail window with OK or Cancel, anything else closed.
TDialogWatcher::TInspect Answer(const std::string& offerButton, int mailButton) {
  return [offerButton, mailButton](HWND window) {
    if (FindChild(window, "Button", "Send bug report")) return ClickChild(window, "Button", offerButton);
    if (WindowText(window) == MailSubject) PostMessageA(window, WM_COMMAND, mailButton, 0);
    else PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
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
  void TearDown() override { SetEnvironmentVariableA("OSTRAVINE_MAPI_LOG", nullptr); }

  // The command on the image, its whole area selected.
  int32_t Run(THostImage& record) {
    FHost.OpenImages = {{record.Pixels, {0, 0, record.Width - 1, record.Height - 1}}};
    FHost.Requests.clear();
    return FPlugin.ProcessImage(1, &record);
  }

  // Runs the command on a bad record and mails the report: the mail's lines from its
  // window, from the exception address on, and the Simple MAPI calls the stand-in recorded.
  void MailReport(int mailButton, std::vector<std::string>& lines, std::vector<std::string>& calls) {
    auto image = THostImageBuffer::Make24Bit(40, 30);
    image.Record().Pixels = InaccessibleMemory();
    TDialogWatcher watcher(TDialogAnswer::None, Answer("Send bug report", mailButton));
    EXPECT_EQ(Run(image.Record()), 1);
    const TSeenDialog* mail = FindSeen(watcher, IsMail);
    ASSERT_NE(mail, nullptr);
    const std::string body = MessageOf(*mail);
    for (size_t start = 0, end = 0; end != std::string::npos; start = end + 2)
      lines.push_back(body.substr(start, (end = body.find("\n\r", start)) - start));
    ASSERT_GE(lines.size(), 12u);
    EXPECT_EQ(lines[0].rfind("Application: boundary_tests.exe ", 0), 0u) << lines[0];
    // The version resource's third number (the patch) is the high word of the low half, which
    // the report's format writes last.
    EXPECT_EQ(lines[1], "Module: Ostravine.dll " + std::to_string(OSTRAVINE_VERSION_MAJOR) + "." +
                            std::to_string(OSTRAVINE_VERSION_MINOR) + ".0 " + std::to_string(OSTRAVINE_VERSION_PATCH));
    EXPECT_EQ(lines[2], ReadFault);
    while (!lines.empty() && lines.front().rfind("Exception address: ", 0) != 0) lines.erase(lines.begin());
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[1], "Stack trace: ");
    std::ifstream log(FMailLog);
    for (std::string line; std::getline(log, line);) calls.push_back(line);
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
  images.push_back(THostImageBuffer::Make8Bit(40, 30));
  images.back().Record().Palette = static_cast<uint8_t*>(InaccessibleMemory());
  images.push_back(THostImageBuffer::Make24Bit(20, 10));  // and then a good one
  const auto goodBefore = images.back().Snapshot();
  for (auto& image : images) {
    const auto before = image.Snapshot();
    TDialogWatcher watcher(TDialogAnswer::Escape);
    EXPECT_EQ(Run(image.Record()), 1);
    if (&image == &images.back()) break;
    const TSeenDialog* report = FindSeen(watcher, IsReport);
    ASSERT_NE(report, nullptr) << "format " << image.Record().PixelFormat;
    EXPECT_EQ(report->Caption, "Error");
    EXPECT_EQ(report->Owner, FMainWindow.Handle());
    EXPECT_EQ(MessageOf(*report), ReadFault);
    EXPECT_EQ(image.Snapshot(), before) << "format " << image.Record().PixelFormat;
  }
  EXPECT_EQ(images.back().Snapshot(), goodBefore);
  EXPECT_EQ(FHost.Requests.back(), hrImageChanged) << "the marks were put back";
}

// The host's memory goes away while the dialog is open; putting the pixels back at the close
// is the last touch of the host's memory, inside the window layer's close, and it faults.
TEST_F(PluginFaults, AFaultWhileThePixelsGoBackIsReportedAndTheDialogCloses) {
  auto image = THostImageBuffer::Make24Bit(30, 20);
  DWORD old;
  TDialogWatcher watcher("Ostravine",
                         {[&](HWND) { VirtualProtect(image.Pixels(), image.ByteCount(), PAGE_NOACCESS, &old); },
                          [](HWND dialog) { ClickChild(dialog, "Button", "Close"); }},
                         TDialogAnswer::None);
  EXPECT_EQ(Run(image.Record()), 1);
  VirtualProtect(image.Pixels(), image.ByteCount(), PAGE_READWRITE, &old);
  const TSeenDialog* report = FindSeen(watcher, IsReport);
  ASSERT_NE(report, nullptr);
  EXPECT_EQ(MessageOf(*report), "Invalid access to memory location in module 'Ostravine.dll': Write.");
  EXPECT_EQ(FHost.Requests, (std::vector<int32_t>{hrMainWindow, hrImageInfo, hrImageChanged, hrImageChanged}));
}

// Part of the pixel memory goes away while the dialog is open: every mark elsewhere goes back,
// the fault is reported once, and the host is told that its pixels changed.
TEST_F(PluginFaults, AFaultOnSomePagesPutsEveryOtherPixelBackAndTellsTheHost) {
  auto image = THostImageBuffer::Make24Bit(600, 400);
  const auto before = image.Snapshot();
  const uintptr_t start = reinterpret_cast<uintptr_t>(image.Pixels());
  uint8_t* const lost = reinterpret_cast<uint8_t*>((start + 200000) / 4096 * 4096);
  const size_t lostBytes = 40 * 4096;
  DWORD old;
  TDialogWatcher watcher("Ostravine",
                         {[&](HWND) { VirtualProtect(lost, lostBytes, PAGE_NOACCESS, &old); },
                          [](HWND dialog) { ClickChild(dialog, "Button", "Close"); }},
                         TDialogAnswer::None);
  EXPECT_EQ(Run(image.Record()), 1);
  VirtualProtect(lost, lostBytes, PAGE_READWRITE, &old);
  int reports = 0;
  for (const auto& seen : watcher.Seen) reports += IsReport(seen);
  EXPECT_EQ(reports, 1);
  const auto after = image.Snapshot();
  const size_t lostFirst = static_cast<size_t>(lost - image.Pixels());
  size_t differing = 0, differingOutside = 0;
  for (size_t i = 0; i < after.size(); ++i) {
    if (after[i] == before[i]) continue;
    ++differing;
    if (i < lostFirst || i >= lostFirst + lostBytes) ++differingOutside;
  }
  EXPECT_GT(differing, 0u) << "the marks on the lost pages stay";
  EXPECT_EQ(differingOutside, 0u);
  EXPECT_EQ(FHost.Requests, (std::vector<int32_t>{hrMainWindow, hrImageInfo, hrImageChanged, hrImageChanged}));
}

// A mark that cannot be written leaves nothing to put back: one report, not a second one
// at the close for a byte that never changed.
TEST_F(PluginFaults, AReadOnlyImageIsReportedOnce) {
  std::vector<THostImageBuffer> images;
  images.push_back(THostImageBuffer::Make24Bit(30, 20));
  images.push_back(THostImageBuffer::Make8Bit(30, 20));
  for (auto& image : images) {
    const auto before = image.Snapshot();
    DWORD old;
    VirtualProtect(image.Pixels(), image.ByteCount(), PAGE_READONLY, &old);
    TDialogWatcher watcher(TDialogAnswer::Escape);
    EXPECT_EQ(Run(image.Record()), 1);
    VirtualProtect(image.Pixels(), image.ByteCount(), PAGE_READWRITE, &old);
    int reports = 0;
    for (const auto& seen : watcher.Seen) {
      if (!IsReport(seen)) continue;
      ++reports;
      EXPECT_EQ(MessageOf(seen), "Invalid access to memory location in module 'Ostravine.dll': Write.");
    }
    EXPECT_EQ(reports, 1) << "format " << image.Record().PixelFormat;
    EXPECT_EQ(image.Snapshot(), before);
  }
}

// Another thread of the host faults in its own guarded code again and again (a probe its
// own handler expects) while the plug-in faults on the host's memory: every fault of the
// plug-in still ends in its report, none takes the host down.
TEST_F(PluginFaults, FaultsOfAnotherThreadNeverHideThePlugInsOwn) {
  struct TProber {
    std::atomic<bool> Stop = false;
    std::atomic<int> Probes = 0;
    static DWORD WINAPI Run(void* self) {
      auto& prober = *static_cast<TProber*>(self);
      while (!prober.Stop)
        if (IsBadReadPtr(InaccessibleMemory(), 1)) ++prober.Probes;
      return 0;
    }
  } prober;
  const TScopedHandle<TNullHandleTraits<HANDLE, CloseHandle>> thread(
      CreateThread(nullptr, 0, TProber::Run, &prober, 0, nullptr));
  ASSERT_TRUE(thread);
  auto image = THostImageBuffer::Make24Bit(40, 30);
  image.Record().Pixels = InaccessibleMemory();
  constexpr int Runs = 60;
  int reports = 0;
  for (int run = 0; run < Runs; ++run) {
    TDialogWatcher watcher(TDialogAnswer::Escape);
    EXPECT_EQ(Run(image.Record()), 1);
    for (const auto& seen : watcher.Seen) reports += IsReport(seen);
  }
  prober.Stop = true;
  WaitForSingleObject(thread.Get(), INFINITE);
  EXPECT_EQ(reports, Runs);
  EXPECT_GT(prober.Probes, Runs);
}

// A callback pointer into nowhere faults at the call: the host sees the report, not a crash.
TEST_F(PluginFaults, ACallThroughABrokenHostCallbackEndsInTheReport) {
  auto image = THostImageBuffer::Make24Bit(20, 10);
  TDialogWatcher watcher(TDialogAnswer::Escape);
  EXPECT_EQ(FPlugin.RegisterPlugin(reinterpret_cast<THostCallback>(InaccessibleMemory())), 0);
  EXPECT_EQ(FPlugin.ProcessImage(1, &image.Record()), 1);
  ASSERT_EQ(watcher.Seen.size(), 2u);
  for (const auto& report : watcher.Seen) {
    EXPECT_EQ(ButtonTexts(report), ReportOffer);
    EXPECT_EQ(MessageOf(report), ReadFault);
  }
  EXPECT_EQ(FPlugin.RegisterPlugin(THostDouble::Callback), 1);
}

TEST_F(PluginFaults, TheBugReportNamesTheModuleAndResolvesItsAddressesThroughTheMap) {
  std::vector<std::string> lines, calls;
  MailReport(IDOK, lines, calls);
  ASSERT_GE(lines.size(), 3u);
  const std::string address = lines[0].substr(19);
  EXPECT_TRUE(std::regex_match(address, ResolvedAddress)) << address;
  // Sampling reads the host's pixels before any mark is kept.
  EXPECT_NE(address.find(", LineSampling, SampleLine("), std::string::npos) << address;
  EXPECT_TRUE(std::regex_match(lines[2], ResolvedAddress)) << lines[2];
  for (size_t i = 2; i < lines.size() && std::regex_match(lines[i].substr(0, 8), PlainAddress); ++i)
    EXPECT_TRUE(std::regex_match(lines[i], ResolvedEntry)) << lines[i];
  EXPECT_EQ(lines.back().rfind("Windows version: ", 0), 0u);

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
  MSG message;
  for (const DWORD end = GetTickCount() + 10000; GetTickCount() < end; Sleep(10)) {
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) ExitProcess(result == 1 && message.wParam == 0 ? 0x51 : 0x52);
      DispatchMessageA(&message);
    }
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
  const TProcessHandle process(child.hProcess), thread(child.hThread);
  ASSERT_EQ(WaitForSingleObject(child.hProcess, 60000), WAIT_OBJECT_0);
  DWORD exitCode = 0;
  GetExitCodeProcess(child.hProcess, &exitCode);
  EXPECT_EQ(exitCode, 0x51u) << "0x52: the command failed, 0x53: no quit message";
}

// A copy of the DLL in a folder of its own, without the map file beside it; the next run
// copies over it.
std::string CopyWithoutMap() {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + "ostravine-no-map";
  CreateDirectoryA(folder.c_str(), nullptr);
  CopyFileA((ProgramFolder() + "Ostravine.dll").c_str(), (folder + "\\Ostravine.dll").c_str(), FALSE);
  return folder + "\\Ostravine.dll";
}

class PluginFaultsWithoutMap : public PluginFaults {
 protected:
  PluginFaultsWithoutMap() : PluginFaults(CopyWithoutMap()) {}
};

// Also: a cancelled mail is no error, and the logoff follows as after a sent one.
TEST_F(PluginFaultsWithoutMap, TheReportShowsPlainAddresses) {
  std::vector<std::string> lines, calls;
  MailReport(IDCANCEL, lines, calls);
  ASSERT_GE(lines.size(), 3u);
  EXPECT_TRUE(std::regex_match(lines[0].substr(19), PlainAddress)) << lines[0];
  for (size_t i = 2; i < lines.size() && lines[i].find(':') == std::string::npos; ++i)
    EXPECT_TRUE(std::regex_match(lines[i], PlainAddress)) << lines[i];
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[2].rfind("MAPILogoff session=24149 ", 0), 0u);
}

}  // namespace
