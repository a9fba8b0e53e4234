#pragma once
// The system's byte-stream family: an abstract stream, a filter that forwards to a next
// stream, an abstract seekable stream and the file stream. Streams are chained (a filter
// in front of a file stream) and a chain is released from its front with FreeChain.

#include <cstdint>
#include <string>

#include "errors/Exceptions.h"
#include "streams/SystemFile.h"

class TBaseStream {
 public:
  virtual ~TBaseStream() = default;
  TBaseStream(const TBaseStream&) = delete;
  TBaseStream& operator=(const TBaseStream&) = delete;

  // With Exact set, a read or write that moves fewer bytes than asked is an error.
  virtual void SetExact(bool flag);
  virtual int32_t Write(const void* buffer, int32_t count) = 0;
  virtual int32_t Read(void* buffer, int32_t count) = 0;
  virtual bool EndOfStream();
  virtual int32_t Available() = 0;
  virtual void Flush();
  // Copies everything the source still holds into this stream.
  virtual void CopyFrom(TBaseStream& source);

  bool CanWrite() const noexcept { return FCanWrite; }
  bool CanRead() const noexcept { return FCanRead; }
  bool Exact() const noexcept { return FExact; }

 protected:
  TBaseStream() = default;

  bool FCanWrite = false;
  bool FCanRead = false;
  bool FExact = true;
};

class TFilterStream : public TBaseStream {
 public:
  // Does not take over the next stream's access: a filter decides that itself.
  explicit TFilterStream(TBaseStream* next) noexcept : FNext(next) {}

  void SetExact(bool flag) override;
  int32_t Write(const void* buffer, int32_t count) override;
  int32_t Read(void* buffer, int32_t count) override;
  int32_t Available() override;

  TBaseStream* Next() const noexcept { return FNext; }

 protected:
  TBaseStream* FNext;
};

// Destroys the chain that starts at front, front first, so that a filter can still hand
// its pending bytes to the streams behind it. Each filter is flushed before it is
// destroyed, so an error of that last write reaches the caller; the rest of the chain is
// released all the same. Null does nothing.
void FreeChain(TFilterStream* front);
// Destroys a chain without reporting errors: the clean-up while another error is already
// on its way out.
void ReleaseChain(TBaseStream* front) noexcept;

class TSeekableStream : public TBaseStream {
 public:
  virtual int32_t GetPosition() = 0;
  virtual int32_t GetSize() = 0;
  virtual void SetPosition(int32_t offset) = 0;
  // Ends the stream at the current position.
  virtual void Truncate() = 0;
};

class TFileStream : public TSeekableStream {
 public:
  // mode: TFileMode bits; read or write access is required.
  TFileStream(const std::string& fileName, int32_t mode);

  int32_t Write(const void* buffer, int32_t count) override;
  int32_t Read(void* buffer, int32_t count) override;
  int32_t Available() override;
  // Hands the system's file buffers to the device.
  void Flush() override;
  int32_t GetPosition() override;
  int32_t GetSize() override;
  void SetPosition(int32_t offset) override;
  void Truncate() override;
  // Closes and deletes the file, then destroys this stream, which must have been created
  // with new. On an error the stream stays alive and the caller still owns it.
  virtual void Delete();

  const std::string& FileName() const noexcept { return FFileName; }

 private:
  [[noreturn]] void RaiseSystemError(const char* format);
  [[noreturn]] void RaiseFileError(const char* format);

  TSystemFile FHandle;
  std::string FFileName;
};
