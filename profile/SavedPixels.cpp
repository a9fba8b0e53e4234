#include "profile/SavedPixels.h"

#include <cassert>
#include <cstring>
#include <new>
#include <stdexcept>

#include "errors/Exceptions.h"
#include "resources/Texts.h"

void TSavedPixels::Start() {
  Restore();
  FSaved = true;
}

void TSavedPixels::Reserve(size_t marks) {
  if (marks > FEntries.capacity() - FEntries.size()) Grow(FEntries.size() + marks);
}

void TSavedPixels::Keep(uint8_t* pixel, int size) {
  assert(FSaved && "a record is open");
  assert(size >= 1 && size <= 3 && "one pixel of at most three bytes");
  if (FEntries.size() == FEntries.capacity()) Grow(2 * FEntries.size() + 64);
  TEntry entry{pixel, {}, static_cast<uint8_t>(size)};
  std::memcpy(entry.Bytes, pixel, static_cast<size_t>(size));
  FEntries.push_back(entry);
}

bool TSavedPixels::Restore() noexcept {
  if (!FSaved) return false;
  for (size_t i = FEntries.size(); i-- > 0;) std::memcpy(FEntries[i].Pixel, FEntries[i].Bytes, FEntries[i].Size);
  FEntries.clear();
  FSaved = false;
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
