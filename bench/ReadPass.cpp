#include "bench/ReadPass.h"

#include <emmintrin.h>

namespace {

__m128i LoadBytes(const uint8_t* bytes) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes)); }

// The address is reckoned as an integer, since it may lie past the end; a fetch never faults.
void FetchAhead(const void* address) {
  _mm_prefetch(reinterpret_cast<const char*>(reinterpret_cast<uintptr_t>(address) + ReadAheadBytes), _MM_HINT_T1);
}

// The byte sums use the sum of absolute differences against zero. The four sums are named
// variables, not an array: the 32-bit build keeps an array on the stack.
template <bool Fetch>
uint64_t SumBytes(const uint8_t* bytes, size_t count) {
  const __m128i zero = _mm_setzero_si128();
  __m128i a = zero, b = zero, c = zero, d = zero;
  size_t i = 0;
  for (; i + 64 <= count; i += 64) {
    if (Fetch) FetchAhead(bytes + i);
    a = _mm_add_epi64(a, _mm_sad_epu8(LoadBytes(bytes + i), zero));
    b = _mm_add_epi64(b, _mm_sad_epu8(LoadBytes(bytes + i + 16), zero));
    c = _mm_add_epi64(c, _mm_sad_epu8(LoadBytes(bytes + i + 32), zero));
    d = _mm_add_epi64(d, _mm_sad_epu8(LoadBytes(bytes + i + 48), zero));
  }
  alignas(16) uint64_t lanes[2];
  _mm_store_si128(reinterpret_cast<__m128i*>(lanes), _mm_add_epi64(_mm_add_epi64(a, b), _mm_add_epi64(c, d)));
  uint64_t total = lanes[0] + lanes[1];
  for (; i < count; ++i) total += bytes[i];
  return total;
}

template <bool Fetch>
double SumDoubles(const double* values, size_t count) {
  __m128d a = _mm_setzero_pd(), b = a, c = a, d = a;
  size_t i = 0;
  for (; i + 8 <= count; i += 8) {
    if (Fetch) FetchAhead(values + i);
    a = _mm_add_pd(a, _mm_loadu_pd(values + i));
    b = _mm_add_pd(b, _mm_loadu_pd(values + i + 2));
    c = _mm_add_pd(c, _mm_loadu_pd(values + i + 4));
    d = _mm_add_pd(d, _mm_loadu_pd(values + i + 6));
  }
  alignas(16) double lanes[2];
  _mm_store_pd(lanes, _mm_add_pd(_mm_add_pd(a, b), _mm_add_pd(c, d)));
  double total = lanes[0] + lanes[1];
  for (; i < count; ++i) total += values[i];
  return total;
}

}  // namespace

uint64_t ReadBytes(const uint8_t* bytes, size_t count) { return SumBytes<false>(bytes, count); }
double ReadDoubles(const double* values, size_t count) { return SumDoubles<false>(values, count); }
uint64_t ReadBytesAhead(const uint8_t* bytes, size_t count) { return SumBytes<true>(bytes, count); }
double ReadDoublesAhead(const double* values, size_t count) { return SumDoubles<true>(values, count); }
