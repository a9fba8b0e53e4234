#include "streams/Streams.h"

#include <cassert>

#include "resources/Texts.h"

void TBaseStream::SetExact(bool flag) { FExact = flag; }

// A position beyond the end leaves a negative count: that is the end too, or a copy from
// such a stream would never finish.
bool TBaseStream::EndOfStream() { return Available() <= 0; }

void TBaseStream::Flush() {}

namespace {

// Turns a stream's Exact check off for one scope, if it was on, and back on afterwards.
class TExactOff {
 public:
  explicit TExactOff(TBaseStream& stream) : FStream(stream), FWasExact(stream.Exact()) {
    if (FWasExact) FStream.SetExact(false);
  }
  ~TExactOff() {
    if (FWasExact) FStream.SetExact(true);
  }
  TExactOff(const TExactOff&) = delete;
  TExactOff& operator=(const TExactOff&) = delete;

 private:
  TBaseStream& FStream;
  bool FWasExact;
};

}  // namespace

// The source's Exact check is off during the copy, so that the short last chunk is no
// error. A source that delivers nothing although it claims more ends the copy as well. A
// target that takes fewer bytes than it is given would lose the rest: the copy moves every
// byte or raises, whatever the target's own check.
void TBaseStream::CopyFrom(TBaseStream& source) {
  constexpr int32_t ChunkSize = 4096;
  uint8_t chunk[ChunkSize];
  TExactOff exactOff(source);
  while (!source.EndOfStream()) {
    const int32_t count = source.Read(chunk, ChunkSize);
    if (count <= 0) break;
    if (Write(chunk, count) < count) throw EInOutError(S_READ_LESS);
  }
}

void TFilterStream::SetExact(bool flag) {
  TBaseStream::SetExact(flag);
  FNext->SetExact(flag);
}

int32_t TFilterStream::Write(const void* buffer, int32_t count) { return FNext->Write(buffer, count); }

int32_t TFilterStream::Read(void* buffer, int32_t count) { return FNext->Read(buffer, count); }

int32_t TFilterStream::Available() { return FNext->Available(); }

void ReleaseChain(TBaseStream* front) noexcept {
  while (front) {
    auto* filter = dynamic_cast<TFilterStream*>(front);
    TBaseStream* next = filter ? filter->Next() : nullptr;
    delete front;
    front = next;
  }
}

void FreeChain(TFilterStream* front) {
  while (front) {
    TBaseStream* next = front->Next();
    try {
      front->Flush();
    } catch (...) {
      ReleaseChain(front);
      throw;
    }
    delete front;
    front = dynamic_cast<TFilterStream*>(next);
    if (!front) delete next;
  }
}

TFileStream::TFileStream(const std::string& fileName, int32_t mode) : FFileName(fileName) {
  if (!(mode & (fmRead | fmWrite))) throw EInOutError(S_NEED_ACCESS);
  FCanRead = (mode & fmRead) != 0;
  FCanWrite = (mode & fmWrite) != 0;
  if (!FHandle.Open(fileName, mode)) RaiseFileError(S_ERROR_OPENING);
}

void TFileStream::RaiseSystemError(const char* format) {
  throw EInOutError(FormatText(format, FHandle.ErrorText().c_str()));
}

void TFileStream::RaiseFileError(const char* format) {
  throw EInOutError(FormatText(format, FFileName.c_str(), FHandle.ErrorText().c_str()));
}

int32_t TFileStream::Write(const void* buffer, int32_t count) {
  assert(count >= 0 && "negative byte count");
  int32_t done = 0;
  if (!FHandle.Write(buffer, count, done)) RaiseSystemError(S_ERROR_WRITING);
  if (FExact && done < count) throw EInOutError(S_READ_LESS);
  return done;
}

int32_t TFileStream::Read(void* buffer, int32_t count) {
  assert(count >= 0 && "negative byte count");
  int32_t done = 0;
  if (!FHandle.Read(buffer, count, done)) RaiseSystemError(S_ERROR_READING);
  if (FExact && done < count) throw EInOutError(S_READ_LESS);
  return done;
}

int32_t TFileStream::Available() { return GetSize() - GetPosition(); }

void TFileStream::Flush() {
  if (!FHandle.FlushBuffers()) RaiseSystemError(S_IO_ERROR);
}

int32_t TFileStream::GetPosition() {
  const int32_t position = FHandle.Position();
  if (position == -1) RaiseSystemError(S_IO_ERROR);
  return position;
}

int32_t TFileStream::GetSize() {
  const int32_t size = FHandle.Size();
  if (size == -1) RaiseSystemError(S_IO_ERROR);
  return size;
}

void TFileStream::SetPosition(int32_t offset) {
  if (!FHandle.Seek(offset)) RaiseSystemError(S_ERROR_SEEKING);
}

void TFileStream::Truncate() {
  if (!FHandle.Truncate()) RaiseFileError(S_ERROR_TRUNCATING);
}

void TFileStream::Delete() {
  if (!FHandle.Close()) RaiseFileError(S_ERROR_CLOSING);
  if (!FHandle.Remove(FFileName)) RaiseFileError(S_ERROR_DELETING);
  delete this;
}
