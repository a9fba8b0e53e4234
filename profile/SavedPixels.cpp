#include "profile/SavedPixels.h"

#include <new>
#include <stdexcept>

#include "errors/Exceptions.h"
#include "resources/Texts.h"

TSavedPixels::~TSavedPixels() {
  try {
    Restore();
  } catch (...) {
    // The host took its memory away; nothing is left to put back.
  }
}

// A restore that faulted part way leaves its entries behind; they are never put back.
void TSavedPixels::Start() {
  Restore();
  FEntries.clear();
  FSaved = true;
}

void TSavedPixels::Reserve(size_t marks) {
  if (marks > FEntries.capacity() - FEntries.size()) Grow(FEntries.size() + marks);
}

// The marks of rows lie one or two lines apart in a large image, long gone from the cache
// when they are put back: fetching the pixels some entries ahead lets the misses overlap. A
// fetch never faults, whatever the address.
bool TSavedPixels::Restore() {
  if (!FSaved) return false;
  FSaved = false;
  constexpr size_t Ahead = 16;
  for (size_t i = FEntries.size(); i-- > 0;) {
    if (i >= Ahead) __builtin_prefetch(FEntries[i - Ahead].Pixel, 1);
    FEntries[i].PutBack();
  }
  FEntries.clear();
  return true;
}

// Growing before the mark is written: when memory runs out, the pixel is still clean.
void TSavedPixels::Grow(size_t count) {
  try {
    FEntries.reserve(count);
  } catch (const std::bad_alloc&) {
    throw EOutOfMemory(S_OUT_OF_MEMORY);
  } catch (const std::length_error&) {
    throw EOutOfMemory(S_OUT_OF_MEMORY);
  }
}
