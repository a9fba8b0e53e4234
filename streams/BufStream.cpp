#include "streams/BufStream.h"

#include <algorithm>
#include <cassert>
#include <cstring>

#include "resources/Texts.h"

namespace {

int32_t CheckedBufferSize(int32_t size) {
  if (size == -1) return TBufferedStream::DefaultBufferSize;
  if (size < TBufferedStream::MinBufferSize) throw EStreamCreate(S_INVALID_BUFFER_SIZE);
  return size;
}

// Most requests to a buffered stream are a few bytes: those are copied with a handful of
// overlapping word moves instead of a library call, which would cost more than the copy.
inline void CopyBytes(uint8_t* target, const uint8_t* source, int32_t count) {
  if (count > 16) {
    std::memcpy(target, source, static_cast<size_t>(count));
  } else if (count >= 8) {
    uint64_t head, tail;
    std::memcpy(&head, source, 8);
    std::memcpy(&tail, source + count - 8, 8);
    std::memcpy(target, &head, 8);
    std::memcpy(target + count - 8, &tail, 8);
  } else if (count >= 4) {
    uint32_t head, tail;
    std::memcpy(&head, source, 4);
    std::memcpy(&tail, source + count - 4, 4);
    std::memcpy(target, &head, 4);
    std::memcpy(target + count - 4, &tail, 4);
  } else if (count > 0) {
    target[0] = source[0];
    target[count / 2] = source[count / 2];
    target[count - 1] = source[count - 1];
  }
}

}  // namespace

// The next stream's Exact check is taken over only after everything that can fail, so a
// failed construction leaves that stream's flag as it was. It is taken over by either
// buffer: a refill asks for more than may be left, and a next stream that raised after a
// short write would have its bytes kept in the buffer and written a second time.
TBufferedStream::TBufferedStream(int32_t readBufferSize, int32_t writeBufferSize, TBaseStream* next)
    : TFilterStream(next) {
  FCanRead = next->CanRead();
  FCanWrite = next->CanWrite();
  FExact = next->Exact();
  if (FCanRead && readBufferSize != 0) {
    FReadBufferSize = CheckedBufferSize(readBufferSize);
    FReadBuffer = AllocateBytes(static_cast<size_t>(FReadBufferSize));
  }
  if (FCanWrite && writeBufferSize != 0) {
    FWriteBufferSize = CheckedBufferSize(writeBufferSize);
    FWriteBuffer = AllocateBytes(static_cast<size_t>(FWriteBufferSize));
  }
  FRestoreNextExact = FReadBufferSize != 0 || FWriteBufferSize != 0;
  if (FRestoreNextExact && FExact) FNext->SetExact(false);
}

TBufferedStream::~TBufferedStream() {
  try {
    Flush();
  } catch (...) {
    // A destructor cannot report; FreeChain flushes before it destroys, and only the
    // clean-up after an earlier error ends up here with bytes still waiting.
  }
  if (FRestoreNextExact) FNext->SetExact(FExact);
}

// While this stream buffers, it checks short reads and writes itself and the next stream's
// own check stays off, whatever the caller sets on the chain meanwhile (see the constructor).
void TBufferedStream::SetExact(bool flag) {
  if (FRestoreNextExact)
    FExact = flag;
  else
    TFilterStream::SetExact(flag);
}

void TBufferedStream::CheckExact(int32_t moved, int32_t wanted) const {
  if (FExact && moved < wanted) throw EInOutError(S_READ_LESS);
}

int32_t TBufferedStream::Read(void* buffer, int32_t count) {
  assert(count >= 0 && "negative byte count");
  if (FReadBufferSize == 0) return FNext->Read(buffer, count);
  if (count <= FReadCount - FReadPos) {
    CopyBytes(static_cast<uint8_t*>(buffer), FReadBuffer.get() + FReadPos, count);
    FReadPos += count;
    return count;
  }
  return ReadAcross(static_cast<uint8_t*>(buffer), count);
}

// The buffered bytes go first. What is still missing comes straight from the next stream
// when it is at least a buffer's worth, otherwise through a refill of the whole buffer.
int32_t TBufferedStream::ReadAcross(uint8_t* target, int32_t count) {
  const int32_t buffered = FReadCount - FReadPos;
  std::memcpy(target, FReadBuffer.get() + FReadPos, static_cast<size_t>(buffered));
  const int32_t rest = count - buffered;
  FReadPos = FReadCount = 0;
  if (rest >= FReadBufferSize) {
    const int32_t moved = FNext->Read(target + buffered, rest);
    CheckExact(moved, rest);
    return buffered + moved;
  }
  const int32_t filled = FNext->Read(FReadBuffer.get(), FReadBufferSize);
  std::memcpy(target + buffered, FReadBuffer.get(), static_cast<size_t>(std::min(filled, rest)));
  if (filled < rest) {
    CheckExact(filled, rest);
    return buffered + filled;
  }
  FReadCount = filled;
  FReadPos = rest;
  return count;
}

int32_t TBufferedStream::Write(const void* buffer, int32_t count) {
  assert(count >= 0 && "negative byte count");
  if (FWriteBufferSize == 0) return FNext->Write(buffer, count);
  if (count <= FWriteBufferSize - FWriteCount) {
    CopyBytes(FWriteBuffer.get() + FWriteCount, static_cast<const uint8_t*>(buffer), count);
    FWriteCount += count;
    return count;
  }
  return WriteAcross(static_cast<const uint8_t*>(buffer), count);
}

// Fills the buffer, hands it to the next stream whole, then either buffers the rest or,
// when the rest is a buffer's worth or more, writes it straight through.
// When the next stream takes less than the whole buffer, nothing is dropped: the bytes it
// did not take stay buffered for the next attempt. With Exact set that shortfall raises
// EInOutError; otherwise the result is the count of the caller's bytes actually taken
// (those in the buffer), and the caller still holds the rest.
int32_t TBufferedStream::WriteAcross(const uint8_t* source, int32_t count) {
  const int32_t taken = FWriteBufferSize - FWriteCount;
  std::memcpy(FWriteBuffer.get() + FWriteCount, source, static_cast<size_t>(taken));
  FWriteCount = FWriteBufferSize;
  if (SpillWriteBuffer() > 0) return taken;
  const int32_t rest = count - taken;
  if (rest >= FWriteBufferSize) {
    const int32_t moved = FNext->Write(source + taken, rest);
    CheckExact(moved, rest);
    return taken + moved;
  }
  std::memcpy(FWriteBuffer.get(), source + taken, static_cast<size_t>(rest));
  FWriteCount = rest;
  return count;
}

// Hands every waiting byte to the next stream; what it does not take moves to the front
// of the buffer. Returns the count still waiting; with Exact set, any is an error.
int32_t TBufferedStream::SpillWriteBuffer() {
  const int32_t moved = FNext->Write(FWriteBuffer.get(), FWriteCount);
  assert(moved >= 0 && moved <= FWriteCount && "next stream wrote an impossible count");
  const int32_t waiting = FWriteCount - moved;
  std::memmove(FWriteBuffer.get(), FWriteBuffer.get() + moved, static_cast<size_t>(waiting));
  FWriteCount = waiting;
  CheckExact(moved, moved + waiting);
  return waiting;
}

// Flush has no count to report a shortfall with, so bytes the next stream leaves behind
// raise EInOutError even with Exact cleared; they stay buffered for another attempt.
void TBufferedStream::Flush() {
  if (FWriteCount == 0) return;
  if (SpillWriteBuffer() > 0) throw EInOutError(S_READ_LESS);
}

int32_t TBufferedStream::Available() { return FNext->Available() + FReadCount - FReadPos; }

TBufferedStream* OpenBufferedFile(const std::string& fileName, bool forWriting) {
  constexpr int32_t SaveMode = fmRead | fmWrite | fmCreate | fmShareRead;
  constexpr int32_t LoadMode = fmRead | fmShareRead;
  auto file = std::make_unique<TFileStream>(fileName, forWriting ? SaveMode : LoadMode);
  auto* stream = forWriting ? new TBufferedStream(0, -1, file.get()) : new TBufferedStream(-1, 0, file.get());
  file.release();
  return stream;
}

namespace {

// The chain is released whatever happens; only when the work succeeded can the last
// write's error still be reported.
template <class TAction>
void WithBufferedFile(const std::string& fileName, bool forWriting, TAction action) {
  TBufferedStream* stream = OpenBufferedFile(fileName, forWriting);
  try {
    action(*stream);
  } catch (...) {
    ReleaseChain(stream);
    throw;
  }
  FreeChain(stream);
}

}  // namespace

void TStreamClass::SaveToStream(TBaseStream&) {}

void TStreamClass::LoadFromStream(TBaseStream&) {}

void TStreamClass::ReadFromStream(TBaseStream& stream) { LoadFromStream(stream); }

void TStreamClass::SaveToFile(const std::string& fileName) {
  WithBufferedFile(fileName, true, [this](TBaseStream& stream) { SaveToStream(stream); });
}

void TStreamClass::LoadFromFile(const std::string& fileName) {
  WithBufferedFile(fileName, false, [this](TBaseStream& stream) { LoadFromStream(stream); });
}
