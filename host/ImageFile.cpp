#include "host/ImageFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>

#include "host/HostTexts.h"
#include "resources/Texts.h"

namespace {

struct TFileCloser {
  void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};
using TFile = std::unique_ptr<std::FILE, TFileCloser>;

TFile OpenFile(const std::string& path, const char* mode) {
  TFile file(std::fopen(path.c_str(), mode));
  if (!file) throw EInOutError(FormatText(S_ERROR_OPENING, path.c_str(), std::strerror(errno)));
  return file;
}

// Files past 2 GiB cannot hold an image whose rows int32 offsets reach.
long FileSize(std::FILE* file) {
  if (std::fseek(file, 0, SEEK_END) != 0) return -1;
  const long size = std::ftell(file);
  std::rewind(file);
  return size;
}

}  // namespace

THostBitmap DecodeImage(const std::vector<uint8_t>& bytes) {
  if (IsBmpData(bytes.data(), bytes.size())) return DecodeBmp(bytes.data(), bytes.size());
  return DecodeWithPlatform(bytes.data(), bytes.size());
}

THostBitmap LoadImageFile(const std::string& path) {
  try {
    return DecodeImage(ReadFileBytes(path));
  } catch (const EInvalidImage& error) {
    throw EInvalidImage(FormatText(S_HOST_CANNOT_OPEN_IMAGE, path.c_str(), error.what()));
  }
}

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
  const TFile file = OpenFile(path, "rb");
  const long size = FileSize(file.get());
  if (size < 0 || size == std::numeric_limits<long>::max())
    throw EInOutError(FormatText(S_ERROR_READING, path.c_str()));
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  if (std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size())
    throw EInOutError(FormatText(S_ERROR_READING, path.c_str()));
  return bytes;
}

void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  TFile file = OpenFile(path, "wb");
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
  if (!written || std::fclose(file.release()) != 0)
    throw EInOutError(FormatText(S_ERROR_WRITING, path.c_str()));
}
