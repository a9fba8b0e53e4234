#include "diagnostics/MapFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

#include "tests/streams/StreamFiles.h"

namespace {

constexpr uint32_t Dummy = 0x10001100;  // loaded so that the code starts at 10001000
constexpr uint32_t Base = 0x10001000;

std::string Hex(uint32_t value) {
  char text[9];
  std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(value));
  return text;
}

// A detailed map in the linker's layout, with only what the lookup reads.
struct TMapText {
  std::vector<std::pair<uint32_t, std::string>> Segments = {{0x000, "Alpha"}, {0x200, "Beta"}, {0x500, "Gamma"}};
  std::vector<std::pair<uint32_t, std::string>> Symbols = {
      {0x010, "Alpha::Start"}, {0x100, "__CodeSegmentTestDummy__"}, {0x210, "Beta::Run(int)"}, {0x520, "Gamma::Tail"}};
  std::vector<std::pair<std::string, std::vector<std::pair<int, uint32_t>>>> Lines = {
      {"Alpha", {{12, 0x010}, {13, 0x018}, {15, 0x030}}},
      {"Beta", {{40, 0x210}, {0, 0x240}, {41, 0x220}}},
      {"Gamma", {{7, 0x520}}}};
  bool Header = true;
  const char* LineEnd = "\n";

  std::string Text() const {
    std::string text = " Start         Length     Name                   Class" + End();
    text += " 0001:00401000 000A4C28H .text                   CODE" + End() + End();
    if (Header) text += "Detailed map of segments" + End();
    text += End();
    for (const auto& [offset, name] : Segments)
      text += " 0001:" + Hex(offset) + " 00000100 C=CODE     S=.text    G=(none)   M=" + name + " ACBP=A9" + End();
    text += " 0002:00000000 00000040 C=DATA     S=.data    G=DGROUP   M=Alpha    ACBP=A9" + End() + End();
    auto byName = Symbols;
    std::sort(byName.begin(), byName.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
    text += PublicSection("Name", byName);
    auto byValue = Symbols;
    std::sort(byValue.begin(), byValue.end());
    text += PublicSection("Value", byValue) + End();
    for (const auto& [unit, groups] : Lines) text += LineBlock(unit, groups);
    return text;
  }

  std::string End() const { return LineEnd; }

  std::string PublicSection(const char* order, const std::vector<std::pair<uint32_t, std::string>>& symbols) const {
    std::string text = std::string("  Address         Publics by ") + order + End() + End();
    text += " 0002:00000004       Alpha::Data" + End();
    for (const auto& [offset, name] : symbols) text += " 0001:" + Hex(offset) + "       " + name + End();
    return text + End();
  }

  std::string LineBlock(const std::string& unit, const std::vector<std::pair<int, uint32_t>>& groups) const {
    std::string text = "Line numbers for " + unit + "(" + unit + ".cpp) segment .text" + End() + End();
    for (const auto& [line, offset] : groups) {
      char group[21];
      std::snprintf(group, sizeof group, "%6d 0001:%s", line, Hex(offset).c_str());
      text += group;
    }
    return text + End() + End();
  }
};

class MapFileTest : public ::testing::Test {
 protected:
  std::string Lookup(uint32_t offset, const std::string& text) { return Lookup(offset, text, Dummy); }
  std::string Lookup(uint32_t offset, const std::string& text, uint32_t dummy) {
    PutFile(FFileName, std::vector<uint8_t>(text.begin(), text.end()));
    return MapAddressToText(Base + offset, FFileName, dummy);
  }

  TTempFolder FFolder;
  std::string FFileName = FFolder.File("Ostravine.map");
};

TEST_F(MapFileTest, ResolvesUnitSymbolAndLine) {
  const std::string text = TMapText().Text();
  EXPECT_EQ(Lookup(0x214, text), "10001214, Beta, Beta::Run(int), Beta line 40");
  EXPECT_EQ(Lookup(0x01C, text), "1000101C, Alpha, Alpha::Start, Alpha line 13");
  // Loaded elsewhere, the same offsets resolve the same way.
  EXPECT_EQ(MapAddressToText(0x20000214, FFileName, 0x20000100), "20000214, Beta, Beta::Run(int), Beta line 40");
  TMapText crlf;
  crlf.LineEnd = "\r\n";
  EXPECT_EQ(Lookup(0x214, crlf.Text()), "10001214, Beta, Beta::Run(int), Beta line 40");
}

TEST_F(MapFileTest, WithoutUsableMapOnlyTheHexDigitsRemain) {
  EXPECT_EQ(MapAddressToText(0xABC, FFolder.File("missing.map"), Dummy), "00000ABC");
  TMapText noHeader;
  noHeader.Header = false;
  EXPECT_EQ(Lookup(0x214, noHeader.Text()), "10001214");
  TMapText noDummy;
  noDummy.Symbols.erase(noDummy.Symbols.begin() + 1);
  EXPECT_EQ(Lookup(0x214, noDummy.Text()), "10001214");
  EXPECT_EQ(Lookup(0x214, ""), "10001214");
  // Below the code base the offset wraps around and matches nothing.
  EXPECT_EQ(Lookup(0, TMapText().Text(), Base + 0x200), "10001000");
}

TEST_F(MapFileTest, LastSegmentOnlyEndsThePreviousOne) {
  const std::string text = TMapText().Text();
  EXPECT_EQ(Lookup(0x524, text), "10001524, Gamma::Tail, Gamma line 7");
  EXPECT_EQ(Lookup(0x4FF, text), "100014FF, Beta, Beta::Run(int)");
}

TEST_F(MapFileTest, FarSymbolsAndLinesAreLeftOut) {
  const std::string text = TMapText().Text();
  EXPECT_EQ(Lookup(0x520 + 16777215, text), "1100151F, Gamma::Tail");
  EXPECT_EQ(Lookup(0x520 + 16777216, text), "11001520");
  EXPECT_EQ(Lookup(0x520 + 1023, text), "1000191F, Gamma::Tail, Gamma line 7");
  EXPECT_EQ(Lookup(0x520 + 1024, text), "10001920, Gamma::Tail");
  // The nearest entry carries line 0: no line, even though an entry further off has one.
  EXPECT_EQ(Lookup(0x244, text), "10001244, Beta, Beta::Run(int)");
}

TEST_F(MapFileTest, TextBuiltBeforeAFailureStays) {
  const std::string text = TMapText().Text();
  const size_t byValue = text.find("  Address         Publics by Value");
  EXPECT_EQ(Lookup(0x214, text.substr(0, byValue)), "10001214, Beta");
  std::string badLine = text;
  badLine.replace(badLine.find("    41 0001:00000220"), 20, "    41 0001:0000022G");
  EXPECT_EQ(Lookup(0x214, badLine), "10001214, Beta, Beta::Run(int)");
  std::string badSymbol = text;
  badSymbol.replace(badSymbol.find(" 0001:00000520", badSymbol.find("Publics by Value")), 14, " 0001:0000052x");
  EXPECT_EQ(Lookup(0x214, badSymbol), "10001214, Beta");
}

TEST_F(MapFileTest, UnitNameNeedsABlankAfterIt) {
  std::string text = TMapText().Text();
  const std::string segment = "M=Beta ACBP=A9";
  text.replace(text.find(segment), segment.size(), "M=Beta");
  EXPECT_EQ(Lookup(0x214, text), "10001214, , Beta::Run(int), Beta line 40");
}

TEST(MapFileName, ReplacesTheExtensionOfTheFileOnly) {
  EXPECT_EQ(MapFileNameFor("C:\\Plug-ins\\Ostravine.dll"), "C:\\Plug-ins\\Ostravine.map");
  EXPECT_EQ(MapFileNameFor("C:\\My.Plug-ins\\Ostravine"), "C:\\My.Plug-ins\\Ostravine.map");
  EXPECT_EQ(MapFileNameFor("Ostravine.tar.dll"), "Ostravine.tar.map");
  EXPECT_EQ(MapFileNameFor("Ostravine"), "Ostravine.map");
}

TEST_F(MapFileTest, StackTraceTextStartsEachEntryWithTheSeparator) {
  PutFile(FFileName, [] {
    const std::string text = TMapText().Text();
    return std::vector<uint8_t>(text.begin(), text.end());
  }());
  const uint32_t trace[] = {Base + 0x214, 0x00000ABC, 0, Base + 0x01C};
  EXPECT_EQ(StackTraceToText(trace, "\n\r", {FFileName, Dummy}),
            "\n\r10001214, Beta, Beta::Run(int), Beta line 40\n\r00000ABC");
  const uint32_t empty[] = {0};
  EXPECT_EQ(StackTraceToText(empty, "\n\r", {FFileName, Dummy}), "");
  EXPECT_EQ(StackTraceToText(nullptr, "\n\r", {FFileName, Dummy}), "");
  // A test program ships no map file: its own addresses stay hex.
  EXPECT_EQ(StackTraceToText(trace, "|"), "|10001214|00000ABC");
}

}  // namespace
