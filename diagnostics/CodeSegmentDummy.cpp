#include "diagnostics/CodeSegmentDummy.h"

// "used" and "noinline" keep a routine of its own with its own symbol, which the
// optimiser would otherwise fold away since it does nothing.
extern "C" __attribute__((noinline, used)) void __CodeSegmentTestDummy__() { asm volatile(""); }
