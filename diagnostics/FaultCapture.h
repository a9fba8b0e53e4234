#pragma once
// Catches the processor's faults where they happen, before anything unwinds: records the
// faulting call chain into FaultTrace, turns a fault in this module's own code into the
// system's error (EAccessViolation, EDivByZero, EPrivilege) thrown from the faulting
// instruction, and ends the process with a notice on a stack overflow there. Faults in
// other modules' code stay with whoever handles them there (the host).

#include <cstdint>
#include <exception>

// Return addresses of the most recent fault's call chain, innermost first, zero-terminated;
// a zero first entry means there is no trace.
constexpr int FaultTraceSize = 21;
constexpr int FaultTraceFrames = 18;
extern uint32_t FaultTrace[FaultTraceSize];

// Once per process; the handler is removed again when the module is unloaded.
void InstallFaultCapture() noexcept;

// The return addresses of the frame chain that starts at framePointer (each frame holds the
// caller's frame pointer and then the return address), at most maxFrames, zero-terminated.
// Frames are read only inside the calling thread's stack, so a broken chain ends the walk.
void CaptureFrameChain(uint32_t framePointer, uint32_t* trace, int maxFrames) noexcept;

// What a captured fault's error carries besides its class and text.
class TFaultOrigin {
 public:
  explicit TFaultOrigin(uint32_t address) noexcept : FAddress(address) {}
  virtual ~TFaultOrigin() = default;
  // The address of the faulting instruction (0 for a call through a null address).
  uint32_t Address() const noexcept { return FAddress; }

 private:
  uint32_t FAddress;
};

// Where the error was raised, when a captured fault raised it; 0 otherwise.
uint32_t FaultAddressOf(const std::exception& error) noexcept;
