#include "diagnostics/FaultCapture.h"

#include <cstdlib>
#include <string>

#include "errors/Exceptions.h"
#include "resources/Texts.h"
#include "platform/WinApi.h"

uint32_t FaultTrace[FaultTraceSize] = {};

namespace {

// Small values are neither stack positions nor code addresses: the chain ends there.
bool IsSignificant(uint32_t value) noexcept {
  return std::abs(static_cast<int64_t>(static_cast<int32_t>(value))) >= 65536;
}

struct TAddressRange {
  uintptr_t Start;
  uintptr_t End;
  bool Holds(uintptr_t address) const noexcept { return address >= Start && address < End; }
};

TAddressRange OwnImage() noexcept {
  const auto base = reinterpret_cast<const BYTE*>(ModuleInstance());
  const auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  return {reinterpret_cast<uintptr_t>(base), reinterpret_cast<uintptr_t>(base) + headers->OptionalHeader.SizeOfImage};
}

// The committed part of the calling thread's stack, from its thread information block.
TAddressRange ThreadStack() noexcept {
  uintptr_t base;
  uintptr_t limit;
  asm("movl %%fs:4, %0\n\tmovl %%fs:8, %1" : "=r"(base), "=r"(limit));
  return {limit, base};
}

// The fault's kind travels to the throwing routine in a register together with the access
// kind, so that nothing in the handler writes memory or allocates.
enum TFaultKind : uint32_t { fkAccessViolation, fkDivByZero, fkPrivilege };

uint32_t PackFault(TFaultKind kind, uint32_t access) noexcept { return kind << 4 | (access & 0xF); }

// The error of a fault is raised at the faulting instruction, not where it is made.
template <class Error>
class TFault final : public Error {
 public:
  TFault(uint32_t address, std::string message) : Error(std::move(message)) { this->SetAddress(address); }
};

}  // namespace

// Entered instead of the faulting instruction, as if that instruction had called it: the
// error is thrown from there and unwinds the faulting code's frames. fault: the packed kind,
// address: where the fault happened, data: the address that was accessed.
extern "C" __attribute__((noreturn, used, regparm(3), force_align_arg_pointer)) void OstravineRaiseFault(
    uint32_t fault, uint32_t address, uint32_t data) {
  switch (static_cast<TFaultKind>(fault >> 4)) {
    case fkDivByZero: throw TFault<EDivByZero>(address, S_DIV_BY_ZERO);
    case fkPrivilege: throw TFault<EPrivilege>(address, S_PRIVILEGE);
    default: {
      const char* access = (fault & 0xF) == 1 ? S_WRITE_ACCESS : S_READ_ACCESS;
      throw TFault<EAccessViolation>(address, FormatText(S_ACCESS_VIOLATION, static_cast<unsigned>(address),
                                                         FileNameOf(ModuleFileName(ModuleInstance())).c_str(), access, static_cast<unsigned>(data)));
    }
  }
}

// The faulting instruction's address plus one becomes the return address, so that the
// unwinder, which looks up the byte before a return address, finds that very instruction;
// the error itself gets the instruction's own address.
extern "C" void OstravineFaultTrampoline();
asm(".text\n"
    ".globl _OstravineFaultTrampoline\n"
    "_OstravineFaultTrampoline:\n"
    "  pushl %edx\n"
    "  incl (%esp)\n"
    "  jmp _OstravineRaiseFault\n");

void CaptureFrameChain(uint32_t framePointer, uint32_t* trace, int maxFrames) noexcept {
  const TAddressRange stack = ThreadStack();
  int stored = 0;
  while (stored < maxFrames && IsSignificant(framePointer) && framePointer % 4 == 0 &&
         stack.Holds(framePointer) && stack.Holds(framePointer + 7)) {
    const auto frame = reinterpret_cast<const uint32_t*>(framePointer);
    if (!IsSignificant(frame[1])) break;
    trace[stored++] = frame[1];
    // Callers' frames lie further up the stack; anything else is not a chain.
    if (frame[0] <= framePointer) break;
    framePointer = frame[0];
  }
  trace[stored] = 0;
}

namespace {

// After a stack overflow the thread runs the handler on the last page or so of its stack,
// too little for the calls that show a window. So the thread goes on, in place of the
// overflowed code, on a stack of its own (EndStack, a static block: the thread's stack is
// never used again), and from there a fresh thread shows the notice while this one waits.
// The notice cannot be owned by the host's window: that window's thread is the overflowed
// one, which could not answer the messages a modal box sends to its owner. It is shown
// topmost and brought to the foreground instead, in front of the host's window.
// Set by the notice's thread as soon as it runs. A thread starts only once the loader lets
// it: when the overflowed thread holds the loader's lock, the notice never comes, and the
// process ends without it after a few seconds. Ending it goes around the loader too.
HANDLE NoticeRunning = nullptr;
constexpr DWORD NoticeStartTimeout = 5000;

DWORD WINAPI StackOverflowNotice(void*) {
  SetEvent(NoticeRunning);
  MessageBoxA(nullptr, S_STACK_OVERFLOW, nullptr, MB_ICONHAND | MB_TOPMOST | MB_SETFOREGROUND);
  ExitProcess(EXCEPTION_STACK_OVERFLOW);
}

extern "C" __attribute__((noreturn, used, force_align_arg_pointer)) void OstravineEndAfterStackOverflow() {
  NoticeRunning = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  const HANDLE notice = NoticeRunning ? CreateThread(nullptr, 0, StackOverflowNotice, nullptr, 0, nullptr) : nullptr;
  if (notice && WaitForSingleObject(NoticeRunning, NoticeStartTimeout) == WAIT_OBJECT_0)
    WaitForSingleObject(notice, INFINITE);
  TerminateProcess(GetCurrentProcess(), EXCEPTION_STACK_OVERFLOW);
  // Reached only should the system refuse to end the process from inside.
  ExitProcess(EXCEPTION_STACK_OVERFLOW);
}

// A second thread that overflows meanwhile waits for the end where it is: sleeping takes
// next to no stack.
extern "C" __attribute__((noreturn, used)) void OstravineAwaitEnd() {
  for (;;) Sleep(INFINITE);
}

constexpr size_t EndStackSize = 64 * 1024;
alignas(16) uint8_t EndStack[EndStackSize];
volatile LONG EndStackTaken = 0;

// The thread information block names the stack's bounds; the system's routines check
// stack addresses against them, so they follow the switch.
void SwitchToEndStack(CONTEXT& context) noexcept {
  if (InterlockedExchange(&EndStackTaken, 1) != 0) {
    context.Eip = reinterpret_cast<uintptr_t>(OstravineAwaitEnd);
    return;
  }
  const uintptr_t base = reinterpret_cast<uintptr_t>(EndStack + EndStackSize);
  const uintptr_t limit = reinterpret_cast<uintptr_t>(EndStack);
  asm volatile("movl %0, %%fs:4\n\tmovl %1, %%fs:8" : : "r"(base), "r"(limit) : "memory");
  context.Esp = base - 16;
  context.Ebp = 0;
  context.Eip = reinterpret_cast<uintptr_t>(OstravineEndAfterStackOverflow);
}

bool IsCapturedFault(DWORD code) noexcept {
  return code == EXCEPTION_ACCESS_VIOLATION || code == EXCEPTION_INT_DIVIDE_BY_ZERO ||
         code == EXCEPTION_PRIV_INSTRUCTION;
}

TFaultKind FaultKind(DWORD code) noexcept {
  if (code == EXCEPTION_INT_DIVIDE_BY_ZERO) return fkDivByZero;
  return code == EXCEPTION_PRIV_INSTRUCTION ? fkPrivilege : fkAccessViolation;
}

// The length of an indirect near call (opcode FF, ModR/M reg field 2) starting at code.
int IndirectCallLength(const uint8_t* code) noexcept {
  const uint8_t modrm = code[1];
  const int mod = modrm >> 6, rm = modrm & 7;
  if (code[0] != 0xFF || ((modrm >> 3) & 7) != 2) return 0;
  if (mod == 3) return 2;
  const bool sib = rm == 4;
  int displacement = mod == 1 ? 1 : mod == 2 ? 4 : 0;
  if (mod == 0 && (rm == 5 || (sib && (code[2] & 7) == 5))) displacement = 4;
  return 2 + (sib ? 1 : 0) + displacement;
}

// Whether the address follows a call instruction of the module: a direct call (E8 and a
// 32-bit offset) or an indirect one of 2 to 7 bytes.
bool FollowsOwnCall(uint32_t address, const TAddressRange& image) noexcept {
  if (!image.Holds(address - 7) || !image.Holds(address - 1)) return false;
  const auto code = reinterpret_cast<const uint8_t*>(address);
  if (code[-5] == 0xE8) return true;
  for (int length = 2; length <= 7; ++length)
    if (IndirectCallLength(code - length) == length) return true;
  return false;
}

// A call through a null or wild address faults when the processor fetches the called
// address itself (an access violation there names the fetched address, and near zero the
// system may report a read of anything). The fault is this module's when the word on top of
// the stack is a return address behind one of its calls.
bool IsOwnBadCall(const EXCEPTION_RECORD& record, const CONTEXT& context, const TAddressRange& image) noexcept {
  if (record.ExceptionCode != EXCEPTION_ACCESS_VIOLATION) return false;
  const bool fetch = record.NumberParameters >= 2 && record.ExceptionInformation[1] == context.Eip;
  if (!fetch && IsSignificant(context.Eip)) return false;
  const TAddressRange stack = ThreadStack();
  return stack.Holds(context.Esp) && stack.Holds(context.Esp + 3) &&
         FollowsOwnCall(*reinterpret_cast<const uint32_t*>(context.Esp), image);
}

// The faulting thread goes on in the throwing routine instead of retrying the instruction.
void RedirectToRaise(const EXCEPTION_RECORD& record, CONTEXT& context, bool badCall) noexcept {
  const bool access = record.ExceptionCode == EXCEPTION_ACCESS_VIOLATION && record.NumberParameters >= 2;
  context.Eax = PackFault(FaultKind(record.ExceptionCode), access ? record.ExceptionInformation[0] : 0);
  context.Edx = context.Eip;
  context.Ecx = access ? record.ExceptionInformation[1] : 0;
  // A bad call has pushed its return address already: the call itself appears to throw.
  context.Eip = reinterpret_cast<uintptr_t>(badCall ? reinterpret_cast<void*>(OstravineRaiseFault)
                                                    : reinterpret_cast<void*>(OstravineFaultTrampoline));
}

// A thread-local slot, set while the thread's own fault is being handled: a fault in the
// handler itself passes through. It is the thread's own, since other threads of the host
// go through the handler with faults of their own (often probes their handlers expect) at
// any moment, and a fault of the plug-in meanwhile must still be caught.
DWORD HandlingSlot = TLS_OUT_OF_INDEXES;

LONG HandleFault(EXCEPTION_POINTERS& info) noexcept {
  const EXCEPTION_RECORD& record = *info.ExceptionRecord;
  CONTEXT& context = *info.ContextRecord;
  const TAddressRange image = OwnImage();
  const bool own = image.Holds(context.Eip);
  if (record.ExceptionCode == EXCEPTION_STACK_OVERFLOW && own) {
    SwitchToEndStack(context);
    return EXCEPTION_CONTINUE_EXECUTION;
  }
  if (!IsCapturedFault(record.ExceptionCode)) return EXCEPTION_CONTINUE_SEARCH;
  const bool badCall = !own && IsOwnBadCall(record, context, image);
  // Other code's faults, often probes that their own handlers expect, keep the trace of ours.
  if (!own && !badCall) return EXCEPTION_CONTINUE_SEARCH;
  // A bad call's own return address leads the trace: it names the call that went astray.
  int first = 0;
  if (badCall) FaultTrace[first++] = *reinterpret_cast<const uint32_t*>(context.Esp);
  CaptureFrameChain(context.Ebp, FaultTrace + first, FaultTraceFrames - first);
  RedirectToRaise(record, context, badCall);
  return EXCEPTION_CONTINUE_EXECUTION;
}

// The slot's calls set the thread's last error, which the code that faulted may still need.
LONG CALLBACK FaultHandler(EXCEPTION_POINTERS* info) noexcept {
  const DWORD lastError = GetLastError();
  LONG result = EXCEPTION_CONTINUE_SEARCH;
  if (!TlsGetValue(HandlingSlot)) {
    TlsSetValue(HandlingSlot, info);
    result = HandleFault(*info);
    TlsSetValue(HandlingSlot, nullptr);
  }
  SetLastError(lastError);
  return result;
}

// A guest in the host's process: the handler goes last in the chain, and leaves with the
// module. Without a thread-local slot there is no safe guard, and no capture.
class TFaultCapture {
 public:
  TFaultCapture() noexcept {
    HandlingSlot = TlsAlloc();
    if (HandlingSlot != TLS_OUT_OF_INDEXES) FHandler = AddVectoredExceptionHandler(0, FaultHandler);
  }
  ~TFaultCapture() {
    if (FHandler) RemoveVectoredExceptionHandler(FHandler);
    if (HandlingSlot != TLS_OUT_OF_INDEXES) TlsFree(HandlingSlot);
  }
  TFaultCapture(const TFaultCapture&) = delete;
  TFaultCapture& operator=(const TFaultCapture&) = delete;

 private:
  void* FHandler = nullptr;
};

}  // namespace

void InstallFaultCapture() noexcept { static const TFaultCapture capture; }
