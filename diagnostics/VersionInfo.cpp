#include "diagnostics/VersionInfo.h"

#include <cstring>

#include "errors/Exceptions.h"
#include "resources/Texts.h"

namespace {

// The platform's VS_FIXEDFILEINFO: thirteen 32-bit words, read by offset so that this half
// needs no platform header.
constexpr uint32_t FixedInfoSize = 52;
constexpr uint32_t FixedInfoSignature = 0xFEEF04BD;
constexpr size_t FileVersionOffset = 8;
constexpr size_t ProductVersionOffset = 16;

// Every separator, the leading one included, is two backslashes; the platform's parser
// skips the empty path components between them.
constexpr char RootPath[] = "\\\\";
constexpr char TranslationPath[] = "\\\\VarFileInfo\\\\Translation";
constexpr char StringTableHead[] = "\\\\StringFileInfo\\\\";
constexpr char KeySeparator[] = "\\\\";

uint32_t WordAt(const void* data, size_t offset) {
  uint32_t word;
  std::memcpy(&word, static_cast<const char*>(data) + offset, sizeof word);
  return word;
}

std::array<uint32_t, 2> VersionAt(const void* fixedInfo, size_t offset) {
  return {WordAt(fixedInfo, offset), WordAt(fixedInfo, offset + 4)};
}

// A value that reaches outside the block counts as absent.
bool QueryInside(TVersionBlock& block, const char* subBlock, const void*& data, uint32_t& length) {
  return block.Query(subBlock, data, length) && data && block.Holds(data, length);
}

void ReadFixedInfo(TVersionBlock& block, TVersionInfo& info) {
  const void* data = nullptr;
  uint32_t length = 0;
  if (!QueryInside(block, RootPath, data, length) || length != FixedInfoSize || WordAt(data, 0) != FixedInfoSignature)
    throw Exception(S_FIXED_FILE_INFO);
  info.FileVersion = VersionAt(data, FileVersionOffset);
  info.ProductVersion = VersionAt(data, ProductVersionOffset);
}

// Only the first entry of the translation table counts: language, then code page.
std::string FirstTranslationPrefix(TVersionBlock& block) {
  const void* data = nullptr;
  uint32_t length = 0;
  if (!QueryInside(block, TranslationPath, data, length) || length < 4) throw Exception(S_TRANSLATION_INFO);
  uint16_t translation[2];
  std::memcpy(translation, data, sizeof translation);
  return StringTablePrefix(translation[0], translation[1]);
}

// The reported length counts the terminating zero; an absent value keeps the field.
void ReadText(TVersionBlock& block, const std::string& prefix, const char* key, std::string& field) {
  const void* data = nullptr;
  uint32_t length = 0;
  if (QueryInside(block, (prefix + key).c_str(), data, length) && length > 0)
    field.assign(static_cast<const char*>(data), length - 1);
}

void AppendHex4(std::string& text, uint16_t value) {
  static const char digits[] = "0123456789ABCDEF";
  for (int shift = 12; shift >= 0; shift -= 4) text += digits[(value >> shift) & 0xF];
}

}  // namespace

std::string StringTablePrefix(uint16_t language, uint16_t codePage) {
  std::string prefix = StringTableHead;
  AppendHex4(prefix, language);
  AppendHex4(prefix, codePage);
  return prefix + KeySeparator;
}

void ReadVersionBlock(TVersionBlock& block, TVersionInfo& info) {
  ReadFixedInfo(block, info);
  const std::string prefix = FirstTranslationPrefix(block);
  ReadText(block, prefix, "CompanyName", info.CompanyName);
  ReadText(block, prefix, "InternalName", info.InternalName);
  ReadText(block, prefix, "FileDescription", info.FileDescription);
  ReadText(block, prefix, "LegalCopyright", info.LegalCopyright);
  ReadText(block, prefix, "OriginalFilename", info.OriginalFilename);
  ReadText(block, prefix, "ProductName", info.ProductName);
}

std::string VersionString(const TVersionInfo& info) {
  const uint32_t high = info.ProductVersion[0];
  const uint32_t low = info.ProductVersion[1];
  return FormatText("%d.%d.%d %d", static_cast<int>(high >> 16), static_cast<int>(high & 0xFFFF),
                    static_cast<int>(low & 0xFFFF), static_cast<int>(low >> 16));
}
