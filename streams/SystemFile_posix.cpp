#include "streams/SystemFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

// A descriptor and the errno of the last failed call. POSIX has no share modes: the share
// bits of the mode change nothing here.
struct TSystemFile::TImpl {
  int Descriptor = -1;
  int Error = 0;

  bool Fail() {
    Error = errno;
    return false;
  }
};

namespace {

int OpenFlags(int32_t mode) {
  int flags = O_CLOEXEC;
  if ((mode & fmRead) && (mode & fmWrite))
    flags |= O_RDWR;
  else
    flags |= (mode & fmWrite) ? O_WRONLY : O_RDONLY;
  if (mode & fmCreate) flags |= O_CREAT | O_TRUNC;
  if (mode & fmCreateNew) flags |= O_CREAT | O_EXCL;
  return flags;
}

}  // namespace

TSystemFile::TSystemFile() : FImpl(std::make_unique<TImpl>()) {}

TSystemFile::~TSystemFile() { Close(); }

bool TSystemFile::Open(const std::string& fileName, int32_t mode) {
  const int descriptor = ::open(fileName.c_str(), OpenFlags(mode), 0666);
  if (descriptor < 0) return FImpl->Fail();
  FImpl->Descriptor = descriptor;
  return true;
}

bool TSystemFile::IsOpen() const noexcept { return FImpl->Descriptor >= 0; }

// read() may stop early on a signal or a pipe; a file read stops short only at its end.
bool TSystemFile::Read(void* buffer, int32_t count, int32_t& done) {
  done = 0;
  while (done < count) {
    const ssize_t n = ::read(FImpl->Descriptor, static_cast<char*>(buffer) + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return FImpl->Fail();
    if (n == 0) break;
    done += static_cast<int32_t>(n);
  }
  return true;
}

bool TSystemFile::Write(const void* buffer, int32_t count, int32_t& done) {
  done = 0;
  while (done < count) {
    const ssize_t n = ::write(FImpl->Descriptor, static_cast<const char*>(buffer) + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return FImpl->Fail();
    if (n == 0) break;
    done += static_cast<int32_t>(n);
  }
  return true;
}

int32_t TSystemFile::Position() {
  const off_t position = ::lseek(FImpl->Descriptor, 0, SEEK_CUR);
  if (position < 0) return FImpl->Fail(), -1;
  return static_cast<int32_t>(position);
}

int32_t TSystemFile::Size() {
  struct stat status;
  if (::fstat(FImpl->Descriptor, &status) != 0) return FImpl->Fail(), -1;
  return static_cast<int32_t>(status.st_size);
}

bool TSystemFile::Seek(int32_t offset) {
  return ::lseek(FImpl->Descriptor, offset, SEEK_SET) >= 0 || FImpl->Fail();
}

bool TSystemFile::Truncate() {
  const off_t position = ::lseek(FImpl->Descriptor, 0, SEEK_CUR);
  return (position >= 0 && ::ftruncate(FImpl->Descriptor, position) == 0) || FImpl->Fail();
}

bool TSystemFile::FlushBuffers() { return ::fsync(FImpl->Descriptor) == 0 || FImpl->Fail(); }

// close() releases the descriptor even when it reports an error.
bool TSystemFile::Close() {
  const int descriptor = FImpl->Descriptor;
  if (descriptor < 0) return true;
  FImpl->Descriptor = -1;
  return ::close(descriptor) == 0 || FImpl->Fail();
}

bool TSystemFile::Remove(const std::string& fileName) {
  return ::unlink(fileName.c_str()) == 0 || FImpl->Fail();
}

bool TSystemFile::Rename(const std::string& fromName, const std::string& toName) {
  return ::rename(fromName.c_str(), toName.c_str()) == 0 || FImpl->Fail();
}

std::string TSystemFile::ErrorText() const { return std::strerror(FImpl->Error); }

bool TSystemFile::NameTaken() const noexcept {
  const int error = FImpl->Error;
  return error == EEXIST || error == EISDIR || error == EACCES;
}
