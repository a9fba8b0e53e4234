#pragma once
// The version resource of an executable or library file, read into a plain record, and the
// version of the running executable (the host), read once when the library is loaded.

#include <array>
#include <cstdint>
#include <string>

// Version numbers come from the resource's fixed part only, as two 32-bit words with the
// most significant word first; the string values "FileVersion" and "ProductVersion" are
// not read. Values the resource lacks stay as they were.
struct TVersionInfo {
  std::string CompanyName;
  std::string FileDescription;
  std::array<uint32_t, 2> FileVersion{};
  std::string InternalName;
  std::string LegalCopyright;
  std::string OriginalFilename;
  std::string ProductName;
  std::array<uint32_t, 2> ProductVersion{};
};

// The running executable's version record and its VersionString; both stay empty when the
// executable has no readable version information.
extern TVersionInfo ApplicationVersionInfo;
extern std::string ApplicationVersion;

// Fills info from the file's version resource. Raises Exception when the file has none (a
// missing file included), when its fixed part is malformed, or when it has no translation
// table; the version numbers are already set in the last case.
void ReadVersionInfo(const std::string& path, TVersionInfo& info);

// "major.minor.c d" of ProductVersion, where c is the LOW and d the HIGH half of the least
// significant word: 0x00010002 / 0x00040003 reads "1.2.3 4". Reports and stored texts
// carry this order, so it is kept although the usual dotted notation is the other way.
std::string VersionString(const TVersionInfo& info);

// A loaded version block as the platform's sub-block query answers it: the value at a
// sub-block path and its reported length (for texts: characters with the terminating zero).
// Not const: the platform's ANSI query converts texts into the block's spare half.
class TVersionBlock {
 public:
  virtual ~TVersionBlock() = default;
  virtual bool Query(const char* subBlock, const void*& data, uint32_t& length) = 0;
  // Whether the length bytes at data lie inside the block: the lengths the platform reports
  // come from the file and are not trusted.
  virtual bool Holds(const void* data, uint32_t length) const = 0;
};

// The record from a loaded block: fixed part, first translation, then the six texts.
void ReadVersionBlock(TVersionBlock& block, TVersionInfo& info);

// The head of one translation's string-table paths, every separator two backslashes:
// \\StringFileInfo\\040904E4\\ for language 0x0409 with code page 1252 (0x04E4).
std::string StringTablePrefix(uint16_t language, uint16_t codePage);
