// Fuzz entry for the map-file lookup: the first 8 bytes are the address and the dummy
// routine's address, the rest is the map file. Whatever the file holds, the lookup must
// neither fail nor lose the address's own hex digits.

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "diagnostics/MapFile.h"
#include "tests/fuzz/FuzzEntries.h"

namespace {

// One file per process, rewritten for each input and removed at exit.
struct TFuzzFile {
  std::string Name = (std::filesystem::temp_directory_path() /
                      ("ostravine_mapfuzz_" +
                       std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + ".map"))
                         .string();
  ~TFuzzFile() {
    std::error_code ignored;
    std::filesystem::remove(Name, ignored);
  }
};

const std::string& FuzzFileName() {
  static const TFuzzFile file;
  return file.Name;
}

uint32_t Word(const uint8_t* data) {
  uint32_t value;
  std::memcpy(&value, data, sizeof value);
  return value;
}

}  // namespace

int FuzzMapFile(const uint8_t* data, size_t size) {
  if (size < 8) return 0;
  const std::string& fileName = FuzzFileName();
  {
    std::ofstream file(fileName, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data + 8), static_cast<std::streamsize>(size - 8));
  }
  const uint32_t address = Word(data);
  const std::string text = MapAddressToText(address, fileName, Word(data + 4));
  char hex[9];
  std::snprintf(hex, sizeof hex, "%08X", static_cast<unsigned>(address));
  if (text.compare(0, 8, hex) != 0 || (text.size() > 8 && text.compare(8, 2, ", ") != 0)) std::abort();
  return 0;
}
