#include "diagnostics/FaultCapture.h"

#include <cstdlib>
#include <string>

#include "errors/Exceptions.h"
#include "resources/Texts.h"
#include "ui/WinApi.h"

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

template <class Error>
class TFault final : public Error, public TFaultOrigin {
 public:
  TFault(uint32_t address, std::string message) : Error(std::move(message)), TFaultOrigin(address) {}
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
// unwinder, which looks up the byte before a return address, finds that very instruction.
extern "C" void OstravineFaultTrampoline();
asm(".text\n"
    ".globl _OstravineFaultTrampoline\n"
    "_OstravineFaultTrampoline:\n"
    "  incl %edx\n"
    "  pushl %edx\n"
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

// The thread whose stack overflowed has no room left to show anything: a fresh thread shows
// the notice and ends the process. The notice has no owner, as the owner's thread is the
// overflowed one and could not answer the messages a modal box sends to its owner.
DWORD WINAPI StackOverflowNotice(void*) {
  MessageBoxA(nullptr, S_STACK_OVERFLOW, nullptr, MB_ICONHAND);
  ExitProcess(EXCEPTION_STACK_OVERFLOW);
}

[[noreturn]] void EndAfterStackOverflow() noexcept {
  const HANDLE notice = CreateThread(nullptr, 0, StackOverflowNotice, nullptr, 0, nullptr);
  if (notice) WaitForSingleObject(notice, INFINITE);
  ExitProcess(EXCEPTION_STACK_OVERFLOW);
}

bool IsCapturedFault(DWORD code) noexcept {
  return code == EXCEPTION_ACCESS_VIOLATION || code == EXCEPTION_INT_DIVIDE_BY_ZERO ||
         code == EXCEPTION_PRIV_INSTRUCTION;
}

TFaultKind FaultKind(DWORD code) noexcept {
  if (code == EXCEPTION_INT_DIVIDE_BY_ZERO) return fkDivByZero;
  return code == EXCEPTION_PRIV_INSTRUCTION ? fkPrivilege : fkAccessViolation;
}

// A call through a null or garbage address faults at that address, outside every module;
// the fault is this module's when the return address on top of the stack lies in its code.
bool IsOwnBadCall(const CONTEXT& context, const TAddressRange& image) noexcept {
  if (IsSignificant(context.Eip)) return false;
  const TAddressRange stack = ThreadStack();
  return stack.Holds(context.Esp) && stack.Holds(context.Esp + 3) &&
         image.Holds(*reinterpret_cast<const uint32_t*>(context.Esp));
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

// Set while a fault is being handled: a fault in the handler itself passes through.
volatile LONG Handling = 0;

LONG HandleFault(EXCEPTION_POINTERS& info) noexcept {
  const EXCEPTION_RECORD& record = *info.ExceptionRecord;
  CONTEXT& context = *info.ContextRecord;
  const TAddressRange image = OwnImage();
  const bool own = image.Holds(context.Eip);
  if (record.ExceptionCode == EXCEPTION_STACK_OVERFLOW && own) EndAfterStackOverflow();
  if (!IsCapturedFault(record.ExceptionCode)) return EXCEPTION_CONTINUE_SEARCH;
  const bool badCall = !own && IsOwnBadCall(context, image);
  // Other code's faults, often probes that their own handlers expect, keep the trace of ours.
  if (!own && !badCall) return EXCEPTION_CONTINUE_SEARCH;
  CaptureFrameChain(context.Ebp, FaultTrace, FaultTraceFrames);
  RedirectToRaise(record, context, badCall);
  return EXCEPTION_CONTINUE_EXECUTION;
}

LONG CALLBACK FaultHandler(EXCEPTION_POINTERS* info) noexcept {
  if (InterlockedExchange(&Handling, 1) != 0) return EXCEPTION_CONTINUE_SEARCH;
  const LONG result = HandleFault(*info);
  InterlockedExchange(&Handling, 0);
  return result;
}

// A guest in the host's process: the handler goes last in the chain, and leaves with the
// module.
class TFaultCapture {
 public:
  TFaultCapture() noexcept : FHandler(AddVectoredExceptionHandler(0, FaultHandler)) {}
  ~TFaultCapture() {
    if (FHandler) RemoveVectoredExceptionHandler(FHandler);
  }
  TFaultCapture(const TFaultCapture&) = delete;
  TFaultCapture& operator=(const TFaultCapture&) = delete;

 private:
  void* FHandler;
};

}  // namespace

void InstallFaultCapture() noexcept { static const TFaultCapture capture; }

uint32_t FaultAddressOf(const std::exception& error) noexcept {
  const auto origin = dynamic_cast<const TFaultOrigin*>(&error);
  return origin ? origin->Address() : 0;
}
