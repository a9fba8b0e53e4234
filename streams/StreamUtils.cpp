#include "streams/StreamUtils.h"

#include <algorithm>
#include <memory>

#include "resources/Texts.h"
#include "streams/BufStream.h"

namespace {

// Names that are tried for the temporary file, one after the other, while the name is
// taken: leftovers of a save that was cut short, a folder, a file another program holds.
constexpr int TemporaryNames = 1000;

std::string TemporaryName(const std::string& fileName, int attempt) {
  return fileName + ".~" + std::to_string(attempt);
}

// A new file, never one that was there. The file is made first and only then opened as a
// stream, so that a taken name is told apart from a real failure, whose error names the
// user's file.
std::unique_ptr<TFileStream> CreateTemporary(const std::string& fileName, std::string& temporary) {
  TSystemFile probe;
  for (int attempt = 0; attempt < TemporaryNames; ++attempt) {
    temporary = TemporaryName(fileName, attempt);
    if (probe.Open(temporary, fmWrite | fmCreateNew)) {
      probe.Close();
      return std::make_unique<TFileStream>(temporary, fmWrite);
    }
    if (!probe.NameTaken()) break;
  }
  throw EInOutError(FormatText(S_ERROR_OPENING, fileName.c_str(), probe.ErrorText().c_str()));
}

// The bytes reach the disk before the caller renames the file: a crash after the rename
// must not leave an empty or partial file under the user's name.
void WriteAll(std::unique_ptr<TFileStream> file, std::string_view bytes) {
  TFileStream* disk = file.get();
  auto* chain = new TBufferedStream(0, TBufferedStream::DefaultBufferSize, file.get());
  file.release();
  try {
    for (size_t done = 0; done < bytes.size();) {
      const int32_t piece = static_cast<int32_t>(std::min<size_t>(bytes.size() - done, 1 << 30));
      chain->Write(bytes.data() + done, piece);
      done += static_cast<size_t>(piece);
    }
    chain->Flush();
    disk->Flush();
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
