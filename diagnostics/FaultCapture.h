#pragma once
// Catches the processor's faults where they happen, before anything unwinds: records the
// faulting call chain into FaultTrace, turns a fault of this module into the system's
// error (EAccessViolation, EDivByZero, EPrivilege) and ends the process with a notice on a
// stack overflow in this module's code.
//
// Which faults are this module's (the one place that states the rule):
// - a fault of an instruction in this module's own code. Every access to the host's memory
//   is made by such code: pixel reads and writes, and every block copy of host memory
//   (CopyHostBytes, never the C runtime's memcpy). The error is thrown from the faulting
//   instruction and unwinds the module's frames, which carry unwind data.
// - a call from this module's code through a bad address (null, or a wild pointer such as
//   a broken host callback): the fault is the fetch of the called address itself, and the
//   word on top of the stack is a return address right behind a call instruction in this
//   module. Nothing of the callee has run, so the call itself appears to throw.
// Every other fault is left alone, for the handlers of the code that faulted (the host's),
// and so is a fault in the middle of another module's routine even when this module called
// it: that routine's frames carry no unwind data, the registers it changed cannot be put
// back for the caller, and the compiler takes the C runtime's memory routines for calls
// that never throw, so their callers keep no clean-up for them.

#include <cstdint>

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
