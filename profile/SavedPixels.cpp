#include "profile/SavedPixels.h"

#include <cassert>
#include <new>
#include <stdexcept>

#include "errors/Exceptions.h"
#include "image/HostBytes.h"
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

void TSavedPixels::Keep(uint8_t* pixel, int size) {
  assert(FSaved && "a record is open");
  assert(size >= 1 && size <= 3 && "one pixel of at most three bytes");
  if (FEntries.size() == FEntries.capacity()) Grow(2 * FEntries.size() + 64);
  TEntry entry{pixel, {}, static_cast<uint8_t>(size)};
  CopyHostBytes(entry.Bytes, pixel, static_cast<size_t>(size));
  FEntries.push_back(entry);
}

bool TSavedPixels::Restore() {
  if (!FSaved) return false;
  FSaved = false;
  for (size_t i = FEntries.size(); i-- > 0;) CopyHostBytes(FEntries[i].Pixel, FEntries[i].Bytes, FEntries[i].Size);
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
