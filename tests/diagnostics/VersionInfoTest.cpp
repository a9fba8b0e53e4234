#include "diagnostics/VersionInfo.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <vector>

#include "errors/Exceptions.h"
#include "resources/Texts.h"
#include "tests/TestSupport.h"

namespace {

using TWords = std::array<uint32_t, 2>;

// Answers only the exact sub-block paths it holds and records every path asked for.
class TFakeVersionBlock final : public TVersionBlock {
 public:
  bool Query(const char* subBlock, const void*& data, uint32_t& length) override {
    Asked.push_back(subBlock);
    const auto value = Values.find(subBlock);
    if (value == Values.end()) return false;
    data = value->second.data();
    const auto stated = Lengths.find(subBlock);
    length = stated == Lengths.end() ? static_cast<uint32_t>(value->second.size()) : stated->second;
    return true;
  }

  bool Holds(const void* data, uint32_t length) const override {
    for (const auto& [path, value] : Values)
      if (data == value.data()) return length <= value.size();
    return false;
  }

  std::map<std::string, std::string> Values;
  // Lengths the block states instead of its values' true sizes.
  std::map<std::string, uint32_t> Lengths;
  std::vector<std::string> Asked;
};

std::string Words(std::initializer_list<uint32_t> words) {
  std::string bytes;
  for (uint32_t word : words) bytes.append(reinterpret_cast<const char*>(&word), 4);
  return bytes;
}

std::string FixedInfo(TWords file, TWords product) {
  return Words({0xFEEF04BD, 0x00010000, file[0], file[1], product[0], product[1], 0x3F, 0, 4, 2, 0, 0, 0});
}

// The first translation is US English / Latin-1, the second German / Unicode.
std::string Translations() { return Words({0x04E40409, 0x04B00407}); }

const std::string Root = "\\\\";
const std::string Translation = "\\\\VarFileInfo\\\\Translation";
const std::string English = "\\\\StringFileInfo\\\\040904E4\\\\";
const std::string German = "\\\\StringFileInfo\\\\040704B0\\\\";

std::string Text(const char* value) { return std::string(value, std::strlen(value) + 1); }

TFakeVersionBlock FullBlock() {
  TFakeVersionBlock block;
  block.Values = {{Root, FixedInfo({0x00010002, 0x00030004}, {0x00050006, 0x00070008})},
                  {Translation, Translations()},
                  {English + "CompanyName", Text("Orvalis")},
                  {English + "InternalName", Text("Inner")},
                  {English + "LegalCopyright", Text("")},
                  {English + "OriginalFilename", Text("Plug.dll")},
                  {English + "ProductName", Text("Ostravine")},
                  {English + "FileVersion", Text("9.9.9.9")},
                  {German + "FileDescription", Text("Beschreibung")}};
  return block;
}

TEST(VersionInfo, ReadsTheFixedPartTheFirstTranslationAndTheTexts) {
  TFakeVersionBlock block = FullBlock();
  TVersionInfo info;
  info.FileDescription = "kept";
  info.LegalCopyright = "replaced";
  ReadVersionBlock(block, info);

  EXPECT_EQ(info.FileVersion, (TWords{0x00010002, 0x00030004}));
  EXPECT_EQ(info.ProductVersion, (TWords{0x00050006, 0x00070008}));
  EXPECT_EQ(info.CompanyName, "Orvalis");
  EXPECT_EQ(info.InternalName, "Inner");
  EXPECT_EQ(info.OriginalFilename, "Plug.dll");
  EXPECT_EQ(info.ProductName, "Ostravine");
  EXPECT_EQ(info.LegalCopyright, "") << "a value of length 1 is present and empty";
  EXPECT_EQ(info.FileDescription, "kept") << "only the first translation is read";

  // Every separator doubled, the keys in this order; the version texts are never asked for.
  const std::vector<std::string> asked = {Root, Translation, English + "CompanyName", English + "InternalName",
                                          English + "FileDescription", English + "LegalCopyright",
                                          English + "OriginalFilename", English + "ProductName"};
  EXPECT_EQ(block.Asked, asked);
}

TEST(VersionInfo, AMalformedFixedPartOrTranslationTableRaises) {
  const std::string fixed = FullBlock().Values[Root];
  const std::string badSignature = Words({0xFEEF04BC}) + fixed.substr(4);
  for (const std::string& root : {std::string(), fixed.substr(0, 48), fixed + Words({0}), badSignature}) {
    TFakeVersionBlock block = FullBlock();
    if (root.empty()) block.Values.erase(Root);
    else block.Values[Root] = root;
    TVersionInfo info;
    EXPECT_EQ(MessageOf<Exception>([&] { ReadVersionBlock(block, info); }), S_FIXED_FILE_INFO) << root.size();
    EXPECT_EQ(block.Asked.size(), 1u);
  }

  for (const std::string& table : {std::string(), std::string("\x09\x04\xE4", 3)}) {
    TFakeVersionBlock block = FullBlock();
    if (table.empty()) block.Values.erase(Translation);
    else block.Values[Translation] = table;
    TVersionInfo info;
    EXPECT_EQ(MessageOf<Exception>([&] { ReadVersionBlock(block, info); }), S_TRANSLATION_INFO);
    EXPECT_EQ(info.ProductVersion, (TWords{0x00050006, 0x00070008})) << "set before the translation is read";
    EXPECT_EQ(info.CompanyName, "");
  }
}

// Lengths beyond the block are not believed: such a value reads as absent.
TEST(VersionInfo, ValuesThatReachOutsideTheBlockCountAsAbsent) {
  TFakeVersionBlock block = FullBlock();
  block.Lengths[English + "CompanyName"] = 4096;
  TVersionInfo info;
  info.CompanyName = "kept";
  ReadVersionBlock(block, info);
  EXPECT_EQ(info.CompanyName, "kept");
  EXPECT_EQ(info.ProductName, "Ostravine");

  block.Lengths[Translation] = 1 << 20;
  EXPECT_EQ(MessageOf<Exception>([&] { ReadVersionBlock(block, info); }), S_TRANSLATION_INFO);
}

TEST(VersionInfo, StringTablePrefixIsUpperCaseHexHighByteFirst) {
  EXPECT_EQ(StringTablePrefix(0x0409, 1252), English);
  EXPECT_EQ(StringTablePrefix(0xABCD, 0x00F0), "\\\\StringFileInfo\\\\ABCD00F0\\\\");
  EXPECT_EQ(StringTablePrefix(0, 0xFFFF).size(), 28u);
}

TEST(VersionInfo, VersionStringPutsTheLowWordOfTheLeastSignificantHalfThird) {
  TVersionInfo info;
  info.ProductVersion = {0x00010002, 0x00040003};
  EXPECT_EQ(VersionString(info), "1.2.3 4");
  info.ProductVersion = {0x00010002, 0x00030004};
  EXPECT_EQ(VersionString(info), "1.2.4 3");
  info.ProductVersion = {0xFFFF8000, 0x7FFF0000};
  EXPECT_EQ(VersionString(info), "65535.32768.0 32767");
  EXPECT_EQ(VersionString(TVersionInfo()), "0.0.0 0");
}

TEST(VersionInfo, AMissingFileHasNoVersionInformation) {
  TVersionInfo info;
  info.ProductName = "kept";
  EXPECT_EQ(MessageOf<Exception>([&] { ReadVersionInfo("no such folder/no such file.dll", info); }),
            "No version-info was associated with the requested file \"no such folder/no such file.dll\"");
  EXPECT_EQ(info.ProductName, "kept");
}

}  // namespace
