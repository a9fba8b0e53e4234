#include "profile/SavedPixels.h"

#include <exception>
#include <new>
#include <stdexcept>

#include "errors/Exceptions.h"
#include "resources/Texts.h"

namespace {

// The number of the memory page a pixel starts on, counted from 1 so that 0 names none.
uintptr_t PageOf(const uint8_t* pixel) { return reinterpret_cast<uintptr_t>(pixel) / 4096 + 1; }

}  // namespace

TSavedPixels::~TSavedPixels() {
  try {
    Restore();
  } catch (...) {
    // The host took its memory away; nothing is left to put back.
  }
}

// A restore that faults still ends the old record: what it could not put back is gone.
void TSavedPixels::Start() {
  Restore();
  FSaved = true;
}

void TSavedPixels::Reserve(size_t marks) {
  if (marks > FEntries.capacity() - FEntries.size()) Grow(FEntries.size() + marks);
}

bool TSavedPixels::Restore() {
  if (!FSaved) return false;
  FSaved = false;
  std::exception_ptr fault;
  uintptr_t faultedPage = 0;
  for (size_t end = FEntries.size(); end > 0;) {
    try {
      PutBackBelow(end, faultedPage);
      end = 0;
    } catch (...) {
      if (!fault) fault = std::current_exception();
      end = FFaulted;
      faultedPage = PageOf(FEntries[end].Pixel);
    }
  }
  FEntries.clear();
  if (fault) std::rethrow_exception(fault);
  return true;
}

// The marks of rows lie one or two lines apart in a large image, long gone from the cache
// when they are put back: fetching the pixels some entries ahead lets the misses overlap. A
// fetch never faults, whatever the address. Entries on the page that faulted last are
// skipped: a page the host took away would otherwise fault once for each of its marks.
void TSavedPixels::PutBackBelow(size_t end, uintptr_t skippedPage) {
  constexpr size_t Ahead = 16;
  for (size_t i = end; i-- > 0;) {
    if (i >= Ahead) __builtin_prefetch(FEntries[i - Ahead].Pixel, 1);
    if (skippedPage && PageOf(FEntries[i].Pixel) == skippedPage) continue;
    FFaulted = i;
    FEntries[i].PutBack();
  }
}

void TSavedPixels::PutBackAbove(size_t count) {
  while (FEntries.size() > count) {
    const TEntry entry = FEntries.back();
    FEntries.pop_back();
    entry.PutBack();
  }
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
