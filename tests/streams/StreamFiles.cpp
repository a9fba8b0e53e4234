#include "tests/streams/StreamFiles.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>

namespace {

std::filesystem::path UniqueFolder() {
  static std::atomic<int> counter{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  return std::filesystem::temp_directory_path() /
         ("ostravine_streams_" + std::to_string(stamp) + "_" + std::to_string(counter++));
}

}  // namespace

TTempFolder::TTempFolder() : FPath(UniqueFolder()) { std::filesystem::create_directories(FPath); }

TTempFolder::~TTempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(FPath, ignored);
}

void PutFile(const std::string& fileName, const std::vector<uint8_t>& bytes) {
  std::ofstream file(fileName, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> FileBytes(const std::string& fileName) {
  std::ifstream file(fileName, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::vector<uint8_t> PatternBytes(size_t count, uint8_t seed) {
  std::vector<uint8_t> bytes(count);
  for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<uint8_t>(i * 31 + i / 251 + seed);
  return bytes;
}
