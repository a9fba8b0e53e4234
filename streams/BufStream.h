#pragma once
// TBufferedStream: a filter with an optional read buffer and an optional write buffer in
// front of its next stream, so that many small reads and writes become few calls of the
// operating system. TStreamClass: the base of every object that saves and loads itself.

#include <cstdint>
#include <memory>
#include <string>

#include "errors/Exceptions.h"
#include "errors/AssignObject.h"
#include "streams/Streams.h"

OSTRAVINE_ERROR_CLASS(EStreamCreate, Exception);

class TBufferedStream : public TFilterStream {
 public:
  static constexpr int32_t DefaultBufferSize = 65536;
  static constexpr int32_t MinBufferSize = 2;

  // Each size: -1 for the default, 0 for no buffer, otherwise at least MinBufferSize. A
  // size is only examined when the next stream has the matching access.
  TBufferedStream(int32_t readBufferSize, int32_t writeBufferSize, TBaseStream* next);
  // Writes what is still buffered (errors can no longer be reported here; FreeChain
  // flushes first so that they are), and gives the next stream back its Exact check.
  // The next stream is not destroyed.
  ~TBufferedStream() override;

  void SetExact(bool flag) override;
  int32_t Write(const void* buffer, int32_t count) override;
  int32_t Read(void* buffer, int32_t count) override;
  int32_t Available() override;
  void Flush() override;

  int32_t ReadPos() const noexcept { return FReadPos; }
  int32_t ReadCount() const noexcept { return FReadCount; }
  int32_t ReadBufferSize() const noexcept { return FReadBufferSize; }
  int32_t WriteCount() const noexcept { return FWriteCount; }
  int32_t WriteBufferSize() const noexcept { return FWriteBufferSize; }

 private:
  int32_t ReadAcross(uint8_t* target, int32_t count);
  int32_t WriteAcross(const uint8_t* source, int32_t count);
  int32_t SpillWriteBuffer();
  void CheckExact(int32_t moved, int32_t wanted) const;

  // Set while this stream checks short transfers in place of the next stream, whose own
  // Exact check is off meanwhile; the next stream gets this stream's flag back on
  // destruction.
  bool FRestoreNextExact = false;
  std::unique_ptr<uint8_t[]> FReadBuffer;
  int32_t FReadPos = 0;
  int32_t FReadCount = 0;
  int32_t FReadBufferSize = 0;
  std::unique_ptr<uint8_t[]> FWriteBuffer;
  int32_t FWriteCount = 0;
  int32_t FWriteBufferSize = 0;
};

// A file opened behind a buffered stream: for writing, created (or emptied) with a write
// buffer; for reading, with a read buffer. Release the pair with FreeChain.
TBufferedStream* OpenBufferedFile(const std::string& fileName, bool forWriting);

class TStreamClass : public TAssignObject {
 public:
  const char* ClassName() const noexcept override { return "TStreamClass"; }

  // Nothing in the base: descendants that have data override them.
  virtual void SaveToStream(TBaseStream& stream);
  virtual void LoadFromStream(TBaseStream& stream);
  virtual void ReadFromStream(TBaseStream& stream);
  virtual void SaveToFile(const std::string& fileName);
  virtual void LoadFromFile(const std::string& fileName);
};
