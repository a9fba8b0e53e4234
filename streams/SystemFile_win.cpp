#include "streams/SystemFile.h"

#include "platform/Handles.h"
#include "platform/WinApi.h"

// The handle and the GetLastError code of the last failed call, taken at once: any later
// Win32 call may overwrite it.
struct TSystemFile::TImpl {
  TFileHandle Handle;
  DWORD Error = 0;

  bool Fail() {
    Error = GetLastError();
    return false;
  }
};

namespace {

DWORD DesiredAccess(int32_t mode) {
  return ((mode & fmRead) ? GENERIC_READ : 0) | ((mode & fmWrite) ? GENERIC_WRITE : 0);
}

DWORD ShareMode(int32_t mode) {
  return ((mode & fmShareRead) ? FILE_SHARE_READ : 0) | ((mode & fmShareWrite) ? FILE_SHARE_WRITE : 0);
}

}  // namespace

TSystemFile::TSystemFile() : FImpl(std::make_unique<TImpl>()) {}

TSystemFile::~TSystemFile() = default;

bool TSystemFile::Open(const std::string& fileName, int32_t mode) {
  const DWORD creation = (mode & fmCreateNew) ? CREATE_NEW : (mode & fmCreate) ? CREATE_ALWAYS : OPEN_EXISTING;
  HANDLE handle = CreateFileA(fileName.c_str(), DesiredAccess(mode), ShareMode(mode), nullptr, creation,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    FImpl->Fail();
    // A file being made cannot be missing itself: what is missing is its folder.
    if (creation != OPEN_EXISTING && FImpl->Error == ERROR_FILE_NOT_FOUND) FImpl->Error = ERROR_PATH_NOT_FOUND;
    return false;
  }
  FImpl->Handle.Reset(handle);
  return true;
}

bool TSystemFile::IsOpen() const noexcept { return static_cast<bool>(FImpl->Handle); }

bool TSystemFile::Read(void* buffer, int32_t count, int32_t& done) {
  DWORD moved = 0;
  const BOOL ok = ReadFile(FImpl->Handle.Get(), buffer, static_cast<DWORD>(count), &moved, nullptr);
  done = static_cast<int32_t>(moved);
  return ok || FImpl->Fail();
}

bool TSystemFile::Write(const void* buffer, int32_t count, int32_t& done) {
  DWORD moved = 0;
  const BOOL ok = WriteFile(FImpl->Handle.Get(), buffer, static_cast<DWORD>(count), &moved, nullptr);
  done = static_cast<int32_t>(moved);
  return ok || FImpl->Fail();
}

// Without a high part, SetFilePointer and GetFileSize report failure as all ones.
int32_t TSystemFile::Position() {
  const DWORD position = SetFilePointer(FImpl->Handle.Get(), 0, nullptr, FILE_CURRENT);
  if (position == INVALID_SET_FILE_POINTER) return FImpl->Fail(), -1;
  return static_cast<int32_t>(position);
}

int32_t TSystemFile::Size() {
  const DWORD size = GetFileSize(FImpl->Handle.Get(), nullptr);
  if (size == INVALID_FILE_SIZE) return FImpl->Fail(), -1;
  return static_cast<int32_t>(size);
}

bool TSystemFile::Seek(int32_t offset) {
  return SetFilePointer(FImpl->Handle.Get(), offset, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER ||
         FImpl->Fail();
}

bool TSystemFile::Truncate() { return SetEndOfFile(FImpl->Handle.Get()) || FImpl->Fail(); }

bool TSystemFile::FlushBuffers() { return FlushFileBuffers(FImpl->Handle.Get()) || FImpl->Fail(); }

bool TSystemFile::Close() {
  if (!FImpl->Handle) return true;
  return CloseHandle(FImpl->Handle.Release()) || FImpl->Fail();
}

bool TSystemFile::Remove(const std::string& fileName) { return DeleteFileA(fileName.c_str()) || FImpl->Fail(); }

// Write-through: the rename returns once the new name is on the disk.
bool TSystemFile::Rename(const std::string& fromName, const std::string& toName) {
  return MoveFileExA(fromName.c_str(), toName.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ||
         FImpl->Fail();
}

std::string TSystemFile::ErrorText() const { return SystemErrorText(FImpl->Error); }

// A folder of that name is refused as access denied.
bool TSystemFile::NameTaken() const noexcept {
  const DWORD error = FImpl->Error;
  return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS || error == ERROR_ACCESS_DENIED ||
         error == ERROR_SHARING_VIOLATION;
}
