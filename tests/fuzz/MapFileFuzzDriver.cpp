// Drives the map-file fuzz entry where libFuzzer is not available: a valid map, cut,
// spliced and sprinkled with the characters its fields are made of.

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "tests/fuzz/FuzzEntries.h"

namespace {

const char SeedMap[] =
    "Detailed map of segments\n"
    "\n"
    " 0001:00000000 00000200 C=CODE     S=.text    G=(none)   M=Alpha ACBP=A9\n"
    " 0001:00000200 00000300 C=CODE     S=.text    G=(none)   M=Beta ACBP=A9\n"
    " 0001:00000500 00000000 C=CODE     S=.text    G=(none)   M=etext ACBP=A9\n"
    "\n"
    "  Address         Publics by Name\n"
    "\n"
    " 0001:00000010       Alpha::Start\n"
    " 0001:00000100       __CodeSegmentTestDummy__\n"
    "\n"
    "  Address         Publics by Value\n"
    "\n"
    " 0001:00000010       Alpha::Start\n"
    " 0001:00000100       __CodeSegmentTestDummy__\n"
    " 0001:00000210       Beta::Run\n"
    "\n"
    "Line numbers for Alpha(Alpha.cpp) segment .text\n"
    "\n"
    "    12 0001:00000010    13 0001:00000018\n"
    "\n"
    "Line numbers for Beta(Beta.cpp) segment .text\n"
    "\n"
    "    40 0001:00000210\r\n";

std::vector<uint8_t> Mutate(const std::string& seed, std::mt19937& random) {
  static const char alphabet[] = " 0123456789ABCDEFabcdefg:(\n\r\t.-_ L\xFF";
  std::string text = seed;
  const int edits = 1 + static_cast<int>(random() % 8);
  for (int i = 0; i < edits && !text.empty(); ++i) {
    const size_t at = random() % text.size();
    const size_t length = 1 + random() % 40;
    switch (random() % 4) {
      case 0: text[at] = alphabet[random() % (sizeof alphabet - 1)]; break;
      case 1: text.erase(at, length); break;
      case 2: text.insert(at, text.substr(random() % text.size(), length)); break;
      default: text.resize(at); break;
    }
  }
  // The lookup resolves near the map's code, sometimes anywhere.
  const uint32_t dummy = 0x10001100;
  const uint32_t address = random() % 4 == 0 ? static_cast<uint32_t>(random()) : 0x10001000 + random() % 0x800;
  std::vector<uint8_t> input(8);
  for (int b = 0; b < 4; ++b) {
    input[b] = static_cast<uint8_t>(address >> (8 * b));
    input[4 + b] = static_cast<uint8_t>(dummy >> (8 * b));
  }
  input.insert(input.end(), text.begin(), text.end());
  return input;
}

TEST(MapFileFuzz, MutatedMapsKeepTheAddress) {
  std::mt19937 random(20261207);
  for (int i = 0; i < 3000; ++i) {
    const std::vector<uint8_t> input = Mutate(SeedMap, random);
    ASSERT_EQ(FuzzMapFile(input.data(), input.size()), 0);
  }
}

}  // namespace
