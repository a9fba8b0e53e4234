#pragma once
// TSystemFile: the operating system's file handle as the stream family needs it, and
// nothing more. Every call reports failure by its result and keeps the system's error so
// that ErrorText() can describe it afterwards, before anything else can overwrite it.
// The Win32 half stands on kernel32, the native half on POSIX descriptors.

#include <cstdint>
#include <memory>
#include <string>

// Open mode bits of a file.
enum TFileMode : int32_t {
  fmRead = 1,
  fmWrite = 2,
  fmCreate = 4,  // create the file, replacing an existing one; otherwise it must exist
  fmShareRead = 8,
  fmShareWrite = 16,
  fmCreateNew = 32,  // create the file; fails when it exists
};

class TSystemFile {
 public:
  TSystemFile();
  ~TSystemFile();  // closes the file, if open, without looking at the result
  TSystemFile(const TSystemFile&) = delete;
  TSystemFile& operator=(const TSystemFile&) = delete;

  bool Open(const std::string& fileName, int32_t mode);
  bool IsOpen() const noexcept;
  // Moves up to count bytes; done receives how many moved, fewer only at the end of the
  // file (reads) or when the device takes no more (writes).
  bool Read(void* buffer, int32_t count, int32_t& done);
  bool Write(const void* buffer, int32_t count, int32_t& done);
  // Both return -1 on failure.
  int32_t Position();
  int32_t Size();
  bool Seek(int32_t offset);
  // Ends the file at the current position.
  bool Truncate();
  bool FlushBuffers();
  // The handle is given up even when closing fails: it is never closed twice.
  bool Close();
  bool Remove(const std::string& fileName);
  // Gives a closed file a new name, replacing a file of that name.
  bool Rename(const std::string& fromName, const std::string& toName);

  // The system's own text for the error of the last failed call.
  std::string ErrorText() const;
  // Whether the last failed Open found its name taken: a file or folder of that name, or a
  // file another program holds. Another name may still do.
  bool NameTaken() const noexcept;

 private:
  struct TImpl;
  std::unique_ptr<TImpl> FImpl;
};
