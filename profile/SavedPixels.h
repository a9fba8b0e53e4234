#pragma once
// The host's bytes under the marks of one profile, kept as an undo record: before a mark
// overwrites a pixel, the pixel's address and bytes are kept; putting them back runs from
// the newest entry to the oldest, so a pixel marked twice ends with its original bytes.
// The record grows with the marks, never with the image: opening or rebuilding the profile
// of a huge image copies no more than the few pixels it marks.

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <vector>

class TSavedPixels {
 public:
  TSavedPixels() = default;
  ~TSavedPixels();
  TSavedPixels(const TSavedPixels&) = delete;
  TSavedPixels& operator=(const TSavedPixels&) = delete;

  // Opens a record for the marks of a profile, putting back what an earlier record still
  // holds, so that no mark is ever taken for a clean byte. From here on the pixels count as
  // saved, even should no mark follow: the host is told on restore.
  void Start();
  // Room for `marks` more pixels, taken before the first of them is written.
  void Reserve(size_t marks);
  // Keeps the `size` bytes (1 to 3, one pixel) at `pixel`; call it before the mark is written.
  // Inline, and with plain moves of the few bytes: integrate mode keeps four pixels a line.
  void Keep(uint8_t* pixel, int size) {
    assert(FSaved && "a record is open");
    assert(size >= 1 && size <= 3 && "one pixel of at most three bytes");
    if (FEntries.size() == FEntries.capacity()) Grow(2 * FEntries.size() + 64);
    // The host's bytes are read before the entry is added: a read that faults adds nothing.
    // The entry is then written field by field where it lies: an entry built aside and
    // copied is stored in parts and loaded whole, which stalls the processor on every mark.
    const uint8_t first = pixel[0], second = size > 1 ? pixel[1] : 0, third = size > 2 ? pixel[2] : 0;
    TEntry& entry = FEntries.emplace_back();
    entry.Pixel = pixel;
    entry.Bytes[0] = first;
    entry.Bytes[1] = second;
    entry.Bytes[2] = third;
    entry.Size = static_cast<uint8_t>(size);
  }
  // Takes back the newest entry: its mark could not be written, so its bytes never changed.
  void Forget() noexcept { FEntries.pop_back(); }
  // Puts the kept bytes back; false when no record was open. Where the host's memory
  // faults, the entries on that page are skipped and every other one is put back; then the
  // first fault is raised. A record is put back at most once, so memory the host took away
  // is not written again.
  bool Restore();
  // Puts back the entries kept after the first `count` and forgets them; the record stays
  // open. For marks that come and go over the others (the highlight of one sample).
  void PutBackAbove(size_t count);
  bool Saved() const noexcept { return FSaved; }
  // The pixels kept so far: what the record costs.
  size_t Count() const noexcept { return FEntries.size(); }
  // Calls visit(pixel, bytes) for every entry, newest first: what is written last for a
  // pixel is then the byte it had before its first mark.
  template <class TVisit>
  void VisitNewestFirst(TVisit&& visit) const {
    for (size_t i = FEntries.size(); i-- > 0;) visit(FEntries[i].Pixel, FEntries[i].Bytes);
  }

 private:
  // The bytes are moved one by one, never by a library copy: a fault on the host's memory
  // must happen in the plug-in's own code (image/HostBytes.h).
  struct TEntry {
    uint8_t* Pixel;
    uint8_t Bytes[3];
    uint8_t Size;

    void PutBack() const {
      Pixel[0] = Bytes[0];
      if (Size > 1) Pixel[1] = Bytes[1];
      if (Size > 2) Pixel[2] = Bytes[2];
    }
  };

  void Grow(size_t count);
  // Puts back the entries below `end`, newest first, skipping those whose pixel starts on
  // `skippedPage`; when one faults, FFaulted holds its index.
  void PutBackBelow(size_t end, uintptr_t skippedPage);

  // Kept across records, so that a rebuild allocates nothing once the first one has run.
  std::vector<TEntry> FEntries;
  bool FSaved = false;
  size_t FFaulted = 0;
};
