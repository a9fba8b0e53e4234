// Faults raised in this program's own code (the test program is the module here, so the
// messages name report_win_tests.exe) become the system's errors with the faulting call
// chain recorded; faults in code outside the module stay with whoever handles them there.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "errors/Exceptions.h"
#include "diagnostics/FaultCapture.h"
#include "tests/host/DialogWatcher.h"
#include "tests/host/HostDouble.h"
#include "tests/TestSupport.h"
#include "platform/Handles.h"
#include "ui/Application.h"
#include "ui/Forms.h"

namespace {

// Opaque to the optimiser, so that the faults happen as written.
const volatile int* volatile NilData = nullptr;
volatile int* volatile LowData = reinterpret_cast<int*>(0x10);
volatile int Zero = 0;
volatile int Quotient = 0;
int (*volatile NilRoutine)() = nullptr;

uint32_t ReaderReturn = 0;
uint32_t CallerReturn = 0;

__attribute__((noinline)) int ReadAt(const volatile int* address) {
  ReaderReturn = reinterpret_cast<uintptr_t>(__builtin_return_address(0));
  return *address;
}

__attribute__((noinline)) int CallReader(const volatile int* address) {
  CallerReturn = reinterpret_cast<uintptr_t>(__builtin_return_address(0));
  return ReadAt(address) + 1;
}

__attribute__((noinline)) void WriteAt(volatile int* address) { *address = 1; }
__attribute__((noinline)) void Divide(int value) { Quotient = value / Zero; }
__attribute__((noinline)) void ClearInterrupts() { asm volatile("cli"); }
__attribute__((noinline)) int CallNilRoutine() { return NilRoutine() + 1; }

std::string Hex(uint32_t value) {
  char text[9];
  std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(value));
  return text;
}

class FaultCapture : public ::testing::Test {
 protected:
  void SetUp() override { InstallFaultCapture(); }
};

TEST_F(FaultCapture, ANilReadBecomesAnAccessViolationWithThePlatformsMessage) {
  uint32_t address = 0;
  try {
    CallReader(NilData);
    FAIL() << "nothing raised";
  } catch (const EAccessViolation& error) {
    address = error.Address();
    EXPECT_EQ(error.Message(), "Access violation at address " + Hex(address) +
                                   " in module 'report_win_tests.exe'. Read of address 00000000");
  }
  // The faulting instruction lies inside the reader, and the address is its first byte: the
  // opcode of the load (8B), not the byte after it.
  EXPECT_GT(address, reinterpret_cast<uintptr_t>(&ReadAt));
  EXPECT_EQ(*reinterpret_cast<const uint8_t*>(address), 0x8B);
}

TEST_F(FaultCapture, AWriteNamesTheWriteAndTheAddressWritten) {
  const std::string message = MessageOf<EAccessViolation>([] { WriteAt(LowData); });
  EXPECT_EQ(message.substr(message.size() - 25), "Write of address 00000010");
}

TEST_F(FaultCapture, TheTraceHoldsTheFaultingRoutinesCallersInnermostFirst) {
  MessageOf<EAccessViolation>([] { CallReader(NilData); });
  EXPECT_EQ(FaultTrace[0], ReaderReturn);
  EXPECT_EQ(FaultTrace[1], CallerReturn);
  int count = 0;
  while (FaultTrace[count] != 0) ++count;
  EXPECT_LE(count, FaultTraceFrames);
}

// Another thread's faults pass through the handler all the time (probes its own handlers
// expect); while one is in there, a fault of ours on this thread must still be caught. The
// window is short, so both sides fault many thousand times.
TEST_F(FaultCapture, AnotherThreadsFaultsNeverHideOurs) {
  struct TProber {
    volatile LONG Stop = 0;
    volatile LONG Probes = 0;
    // Reserved, never committed: every probe really faults (a null one is refused unread).
    void* Unmapped = VirtualAlloc(nullptr, 1 << 16, MEM_RESERVE, PAGE_NOACCESS);
    static DWORD WINAPI Run(void* self) {
      auto& prober = *static_cast<TProber*>(self);
      while (!prober.Stop)
        if (IsBadReadPtr(prober.Unmapped, 4)) InterlockedIncrement(&prober.Probes);
      return 0;
    }
  } prober;
  using TThreadHandle = TScopedHandle<TNullHandleTraits<HANDLE, CloseHandle>>;
  const TThreadHandle thread(CreateThread(nullptr, 0, TProber::Run, &prober, 0, nullptr));
  ASSERT_TRUE(thread);
  constexpr int Faults = 20000;
  int caught = 0;
  for (int i = 0; i < Faults; ++i) {
    try {
      ReadAt(NilData);
    } catch (const EAccessViolation&) {
      ++caught;
    }
  }
  InterlockedExchange(&prober.Stop, 1);
  WaitForSingleObject(thread.Get(), INFINITE);
  EXPECT_EQ(caught, Faults);
  EXPECT_GT(prober.Probes, 1000);
  VirtualFree(prober.Unmapped, 0, MEM_RELEASE);
}

TEST_F(FaultCapture, AnIntegerDivisionByZeroBecomesEDivByZero) {
  EXPECT_EQ(MessageOf<EIntError>([] { Divide(7); }), "Division by zero");
  EXPECT_EQ(MessageOf<EDivByZero>([] { Divide(7); }), "Division by zero");
}

TEST_F(FaultCapture, ACallThroughANilRoutineFaultsAtAddressZeroInTheCaller) {
  uint32_t address = 1;
  const std::string message = MessageOf<EAccessViolation>([&] {
    try {
      CallNilRoutine();
    } catch (const EAccessViolation& error) {
      address = error.Address();
      throw;
    }
  });
  EXPECT_EQ(address, 0u);
  EXPECT_EQ(message.substr(0, 36), "Access violation at address 00000000");
  // The trace starts at the call that went astray, inside its routine.
  EXPECT_GT(FaultTrace[0], reinterpret_cast<uintptr_t>(&CallNilRoutine));
  EXPECT_LT(FaultTrace[0], reinterpret_cast<uintptr_t>(&CallNilRoutine) + 32);
}

TEST_F(FaultCapture, AProtectedInstructionBecomesEPrivilegeOrAnAccessViolation) {
  // Wine reports a privileged instruction as such only when it recognises the opcode.
  try {
    ClearInterrupts();
    FAIL() << "nothing raised";
  } catch (const EPrivilege& error) {
    EXPECT_EQ(error.Message(), "Privileged instruction");
  } catch (const EAccessViolation&) {
  }
}

// Code outside every module: a fault there must reach the handlers after ours untouched.
class TForeignCode {
 public:
  TForeignCode() : FCode(static_cast<BYTE*>(VirtualAlloc(nullptr, 4096, MEM_COMMIT, PAGE_EXECUTE_READWRITE))) {
    const BYTE readNilAndReturn[] = {0x8B, 0x05, 0, 0, 0, 0, 0xC3};  // mov eax, [0]; ret
    std::memcpy(FCode, readNilAndReturn, sizeof readNilAndReturn);
    FHandler = AddVectoredExceptionHandler(0, SkipForeignRead);
  }
  ~TForeignCode() {
    RemoveVectoredExceptionHandler(FHandler);
    VirtualFree(FCode, 0, MEM_RELEASE);
  }
  int Run() const { return reinterpret_cast<int (*)()>(FCode)(); }

 private:
  // Steps over the read and lets it yield 42.
  static LONG CALLBACK SkipForeignRead(EXCEPTION_POINTERS* info) {
    if (info->ExceptionRecord->ExceptionCode != EXCEPTION_ACCESS_VIOLATION ||
        info->ContextRecord->Eip != reinterpret_cast<uintptr_t>(Code))
      return EXCEPTION_CONTINUE_SEARCH;
    info->ContextRecord->Eip += 6;
    info->ContextRecord->Eax = 42;
    return EXCEPTION_CONTINUE_EXECUTION;
  }
  static inline BYTE* Code = nullptr;
  BYTE* FCode;
  void* FHandler;

  friend class FaultCapture_AFaultInForeignCodeIsLeftToTheHandlersAfterOurs_Test;
};

TEST_F(FaultCapture, AFaultInForeignCodeIsLeftToTheHandlersAfterOurs) {
  MessageOf<EAccessViolation>([] { CallReader(NilData); });
  const uint32_t trace = FaultTrace[0];
  TForeignCode foreign;
  TForeignCode::Code = foreign.FCode;
  EXPECT_EQ(foreign.Run(), 42);
  // A probe of the system's that its own handler absorbs passes through as well.
  EXPECT_TRUE(IsBadReadPtr(nullptr, 4));
  EXPECT_EQ(FaultTrace[0], trace);
}

TEST_F(FaultCapture, TheFrameWalkStopsAtFramesOutsideTheStackLoopsAndSmallValues) {
  uint32_t frames[8] = {};
  const auto at = [&](int i) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(&frames[i])); };
  frames[0] = at(2), frames[1] = 0x00401000;
  frames[2] = at(4), frames[3] = 0x00402000;
  frames[4] = 0x7FFE0000, frames[5] = 0x00403000;  // the next frame lies outside the stack
  uint32_t trace[FaultTraceSize];
  CaptureFrameChain(at(0), trace, FaultTraceFrames);
  EXPECT_EQ(std::vector<uint32_t>(trace, trace + 4), (std::vector<uint32_t>{0x00401000, 0x00402000, 0x00403000, 0}));

  frames[4] = at(0);  // back down the stack: a loop
  CaptureFrameChain(at(0), trace, FaultTraceFrames);
  EXPECT_EQ(trace[3], 0u);

  frames[3] = 0xFFFF;  // a return address below 65536
  CaptureFrameChain(at(0), trace, FaultTraceFrames);
  EXPECT_EQ(std::vector<uint32_t>(trace, trace + 2), (std::vector<uint32_t>{0x00401000, 0}));

  CaptureFrameChain(at(0), trace, 1);
  EXPECT_EQ(std::vector<uint32_t>(trace, trace + 2), (std::vector<uint32_t>{0x00401000, 0}));
}

volatile int RecursionLimit = 1 << 30;

__attribute__((noinline)) int Recurse(int depth) {
  volatile char frame[512];
  frame[0] = static_cast<char>(depth);
  return depth < RecursionLimit ? Recurse(depth + 1) + frame[0] : 0;
}

// Run only as the child process of the test below: the overflow ends the process.
TEST_F(FaultCapture, DISABLED_OverflowTheStack) { Recurse(0); }

// The same while the thread holds the loader's lock, as code called from a library's
// start-up does: no thread can start then, so there is no notice, but the process ends.
TEST_F(FaultCapture, DISABLED_OverflowTheStackInsideTheLoader) {
  using TLockLoader = LONG(WINAPI*)(ULONG flags, ULONG* state, ULONG_PTR* cookie);
  const auto lock = reinterpret_cast<TLockLoader>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "LdrLockLoaderLock")));
  ASSERT_NE(lock, nullptr);
  ULONG_PTR cookie = 0;
  ASSERT_EQ(lock(0, nullptr, &cookie), 0);
  Recurse(0);
}

struct TProcessWindowSearch {
  DWORD ProcessId;
  HWND Found = nullptr;
};

BOOL CALLBACK FindProcessWindow(HWND window, LPARAM search) {
  auto& target = *reinterpret_cast<TProcessWindowSearch*>(search);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  if (processId != target.ProcessId || !IsWindowVisible(window)) return TRUE;
  target.Found = window;
  return FALSE;
}

HWND WaitForProcessWindow(DWORD processId) {
  for (int tries = 0; tries < 200; ++tries) {
    TProcessWindowSearch search{processId};
    EnumWindows(FindProcessWindow, reinterpret_cast<LPARAM>(&search));
    if (search.Found) return search.Found;
    Sleep(50);
  }
  return nullptr;
}

// A box becomes visible before the system activates it.
bool BecomesForeground(HWND window) {
  for (int tries = 0; tries < 200 && GetForegroundWindow() != window; ++tries) Sleep(10);
  return GetForegroundWindow() == window;
}

TEST_F(FaultCapture, AStackOverflowShowsItsNoticeAndEndsTheProcess) {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, sizeof path);
  std::string command = std::string("\"") + path +
                        "\" --gtest_also_run_disabled_tests --gtest_filter=FaultCapture.DISABLED_OverflowTheStack";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION child{};
  const BOOL started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                      &startup, &child);
  ASSERT_TRUE(started);
  using TProcessHandle = TScopedHandle<TNullHandleTraits<HANDLE, CloseHandle>>;
  const TProcessHandle process(child.hProcess);
  const TProcessHandle thread(child.hThread);
  const HWND notice = WaitForProcessWindow(child.dwProcessId);
  ASSERT_NE(notice, nullptr);
  EXPECT_NE(FindChild(notice, "Static", "Stack overflow.\rThe application will terminate."), nullptr);
  // Shown in front, as its own thread cannot be the owner's (Wine leaves out the topmost
  // style, but brings the box to the foreground).
  EXPECT_TRUE(BecomesForeground(notice));
  PostMessageA(notice, WM_COMMAND, IDOK, 0);
  ASSERT_EQ(WaitForSingleObject(child.hProcess, 10000), WAIT_OBJECT_0);
  DWORD exitCode = 0;
  GetExitCodeProcess(child.hProcess, &exitCode);
  EXPECT_EQ(exitCode, EXCEPTION_STACK_OVERFLOW);
}

TEST_F(FaultCapture, AStackOverflowInsideTheLoaderEndsTheProcessWithoutItsNotice) {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, sizeof path);
  std::string command = std::string("\"") + path +
                        "\" --gtest_also_run_disabled_tests --gtest_filter=FaultCapture.DISABLED_OverflowTheStackInsideTheLoader";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION child{};
  ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child));
  using TProcessHandle = TScopedHandle<TNullHandleTraits<HANDLE, CloseHandle>>;
  const TProcessHandle process(child.hProcess);
  const TProcessHandle thread(child.hThread);
  const bool ended = WaitForSingleObject(child.hProcess, 30000) == WAIT_OBJECT_0;
  if (!ended) TerminateProcess(child.hProcess, 1);
  ASSERT_TRUE(ended) << "the host hangs";
  DWORD exitCode = 0;
  GetExitCodeProcess(child.hProcess, &exitCode);
  EXPECT_EQ(exitCode, EXCEPTION_STACK_OVERFLOW);
}

const TFormDescription FaultingForm{.Caption = "Faulting form", .Bounds = {100, 100, 300, 200}};

TEST_F(FaultCapture, AFaultInAFormsEventReachesTheExceptionEventAndTheModalLoopGoesOn) {
  THostMainWindow mainWindow;
  Application.SetHandle(mainWindow.Handle());
  std::vector<std::string> caught;
  Application.OnException = [&](TComponent*, std::exception_ptr error) {
    try {
      std::rethrow_exception(error);
    } catch (const Exception& e) {
      caught.push_back(e.ClassName());
    }
  };
  auto form = CreateForm<TForm>(nullptr, FaultingForm);
  form->OnShow = [](TComponent*) { CallReader(NilData); };
  TDialogWatcher watcher(TDialogAnswer::Close);
  EXPECT_EQ(form->ShowModal(), mrCancel);
  EXPECT_EQ(caught, std::vector<std::string>{"EAccessViolation"});
  EXPECT_EQ(FaultTrace[0], ReaderReturn);
  Application.OnException = nullptr;
  Application.SetHandle(nullptr);
}

}  // namespace
