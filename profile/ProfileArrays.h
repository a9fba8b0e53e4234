#pragma once
// Sizing the profile's arrays for a rebuild. Counts are signed 32-bit like every size of the
// system; a selection that asks for more samples could not be held anyway. An allocation
// that fails is the system's out-of-memory error.

#include <climits>
#include <cstddef>
#include <cstdint>
#include <new>
#include <stdexcept>

#include "errors/Exceptions.h"
#include "profile/ProfileSampling.h"
#include "resources/Texts.h"

// Calls resize(count) with the failures of a count too large as the out-of-memory error.
template <class TResize>
void SizeFor(int64_t count, TResize resize) {
  if (count > INT_MAX) throw EOutOfMemory(S_OUT_OF_MEMORY);
  try {
    resize(static_cast<size_t>(count));
  } catch (const std::bad_alloc&) {
    throw EOutOfMemory(S_OUT_OF_MEMORY);
  } catch (const std::length_error&) {
    throw EOutOfMemory(S_OUT_OF_MEMORY);
  }
}

// The values, and the channels of a colour raster (none for other rasters).
void SizeArrays(TProfile& profile, int64_t count, bool color);
// The band's arrays, as the profile's.
void SizeBand(TProfile::TBandWork& band, int64_t count, bool color);
// A line of one pixel and integrate mode have no spread.
void ClearSpread(TProfile& profile);
// The gray values of a colour profile from its channels.
void FillGrayFromColor(TProfile& profile);
