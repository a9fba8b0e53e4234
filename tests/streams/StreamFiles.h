#pragma once
// Real files for the stream tests: a private temporary folder per test, an independent way
// to put bytes into a file and read them back, and the message of the error an action
// raises.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>
#include "tests/TestSupport.h"

class TTempFolder {
 public:
  TTempFolder();
  ~TTempFolder();
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;

  const std::filesystem::path& Path() const noexcept { return FPath; }
  std::string File(const std::string& name) const { return (FPath / name).string(); }

 private:
  std::filesystem::path FPath;
};

void PutFile(const std::string& fileName, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> FileBytes(const std::string& fileName);
// Bytes that differ from their neighbours, so a shifted or repeated block shows.
std::vector<uint8_t> PatternBytes(size_t count, uint8_t seed = 0);

