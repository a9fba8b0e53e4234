#include "profile/SumKernels.h"

#include <cpuid.h>

#include "profile/SumKernelTiming.h"

namespace {

// The register states that the system saves on a switch (XCR0). Read by its opcode: the
// xgetbv intrinsic wants the whole file built for XSAVE.
uint64_t SavedRegisterStates() noexcept {
  uint32_t low, high;
  __asm__ volatile(".byte 0x0f, 0x01, 0xd0" : "=a"(low), "=d"(high) : "c"(0));
  return low | uint64_t{high} << 32;
}

// AVX2 needs the processor's instructions and a system that saves the 256-bit registers on
// a thread switch: Windows XP knows nothing of them, and says so by leaving OSXSAVE clear or
// the YMM state out of XCR0.
bool Avx2Usable() noexcept {
  unsigned a, b, c, d;
  if (!__get_cpuid(1, &a, &b, &c, &d) || !(c & bit_OSXSAVE) || !(c & bit_AVX)) return false;
  constexpr uint64_t XmmAndYmm = 0x6;
  if ((SavedRegisterStates() & XmmAndYmm) != XmmAndYmm) return false;
  if (__get_cpuid_max(0, nullptr) < 7) return false;
  __cpuid_count(7, 0, a, b, c, d);
  return (b & bit_AVX2) != 0;
}

const bool Avx2 = Avx2Usable();
TSumKernelSet InUse = TSumKernelSet::Measured;

}  // namespace

const TSumKernels& SumKernelsOf(TSumKernelSet set) noexcept {
  switch (set) {
    case TSumKernelSet::Sse2: return Sse2SumKernels;
    case TSumKernelSet::Sse2Plain: return Sse2PlainSumKernels;
    case TSumKernelSet::Avx2: return Avx2 ? Avx2SumKernels : Sse2SumKernels;
    case TSumKernelSet::Avx2Plain: return Avx2 ? Avx2PlainSumKernels : Sse2PlainSumKernels;
    default: return Sse2SumKernels;
  }
}

TSumKernels SumKernelsFor(TKernelGroup group, const TTimingRows& rows) {
  return InUse == TSumKernelSet::Measured ? MeasuredSumKernels(group, rows) : SumKernelsOf(InUse);
}

bool SumKernelSetUsable(TSumKernelSet set) noexcept {
  return (set != TSumKernelSet::Avx2 && set != TSumKernelSet::Avx2Plain) || Avx2;
}

TSumKernelSet UseSumKernelSet(TSumKernelSet set) noexcept {
  const TSumKernelSet before = InUse;
  if (SumKernelSetUsable(set)) InUse = set;
  return before;
}
