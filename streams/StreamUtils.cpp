#include "streams/StreamUtils.h"

#include <algorithm>
#include <memory>

#include "resources/Texts.h"
#include "streams/BufStream.h"

namespace {

// Names that are tried for the temporary file, one after the other, while a file of that
// name is there already.
constexpr int TemporaryNames = 16;

std::string TemporaryName(const std::string& fileName, int attempt) {
  return fileName + ".~" + std::to_string(attempt);
}

bool FileExists(const std::string& fileName) {
  TSystemFile probe;
  return probe.Open(fileName, fmRead | fmShareRead | fmShareWrite);
}

// A new file, never one that was there: a temporary name in use stays untouched, and when
// every name is taken the error names the last one tried.
std::unique_ptr<TFileStream> CreateTemporary(const std::string& fileName, std::string& temporary) {
  int attempt = 0;
  do temporary = TemporaryName(fileName, attempt);
  while (++attempt < TemporaryNames && FileExists(temporary));
  return std::make_unique<TFileStream>(temporary, fmWrite | fmCreateNew);
}

void WriteAll(std::unique_ptr<TFileStream> file, std::string_view bytes) {
  auto* chain = new TBufferedStream(0, TBufferedStream::DefaultBufferSize, file.get());
  file.release();
  try {
    for (size_t done = 0; done < bytes.size();) {
      const int32_t piece = static_cast<int32_t>(std::min<size_t>(bytes.size() - done, 1 << 30));
      chain->Write(bytes.data() + done, piece);
      done += static_cast<size_t>(piece);
    }
  } catch (...) {
    ReleaseChain(chain);
    throw;
  }
  FreeChain(chain);
}

}  // namespace

// The file is closed before the rename: a file still open cannot be renamed everywhere.
void SaveFileReplacing(const std::string& fileName, std::string_view bytes) {
  std::string temporary;
  std::unique_ptr<TFileStream> file = CreateTemporary(fileName, temporary);
  TSystemFile system;
  try {
    WriteAll(std::move(file), bytes);
  } catch (...) {
    system.Remove(temporary);
    throw;
  }
  if (system.Rename(temporary, fileName)) return;
  const std::string error = system.ErrorText();
  system.Remove(temporary);
  throw EInOutError(FormatText(S_ERROR_RENAMING, temporary.c_str(), fileName.c_str(), error.c_str()));
}
