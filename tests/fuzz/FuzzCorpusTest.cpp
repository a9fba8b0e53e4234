// Every input kept in the corpus, above all the ones that once found a fault, replayed
// through its entry on every test run: a fault found once stays found.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "tests/fuzz/FuzzEntries.h"

namespace {

TEST(FuzzCorpus, EveryKeptInputPassesThroughItsEntry) {
  const std::filesystem::path corpus = OSTRAVINE_FUZZ_CORPUS;
  for (const TFuzzEntry& entry : FuzzEntries) {
    const std::filesystem::path folder = corpus / entry.Name;
    ASSERT_TRUE(std::filesystem::is_directory(folder)) << folder;
    int inputs = 0;
    for (const auto& file : std::filesystem::directory_iterator(folder)) {
      std::ifstream stream(file.path(), std::ios::binary);
      const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
      EXPECT_EQ(entry.Run(bytes.data(), bytes.size()), 0) << file.path();
      ++inputs;
    }
    EXPECT_GT(inputs, 0) << entry.Name << " has no corpus";
  }
}

}  // namespace
