#include "streams/StreamUtils.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "errors/Exceptions.h"
#include "tests/streams/StreamFiles.h"

namespace {

std::vector<std::string> FolderEntries(const TTempFolder& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string AsText(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

// More than one buffer of bytes; an earlier file is replaced, and a temporary name that is
// taken by someone else's file is passed over and that file left alone.
TEST(SaveFileReplacing, ReplacesTheFileWholeAndLeavesNothingElse) {
  TTempFolder folder;
  const std::string name = folder.File("profile.csv");
  const std::vector<uint8_t> bytes = PatternBytes(200'000);
  PutFile(name, {1, 2, 3});
  PutFile(name + ".~0", {4});
  SaveFileReplacing(name, AsText(bytes));
  EXPECT_EQ(FileBytes(name), bytes);
  EXPECT_EQ(FileBytes(name + ".~0"), std::vector<uint8_t>{4});
  EXPECT_EQ(FolderEntries(folder), (std::vector<std::string>{"profile.csv", "profile.csv.~0"}));
  SaveFileReplacing(name, "");
  EXPECT_TRUE(FileBytes(name).empty());
}

// A missing folder fails on creation; a name taken by a folder fails on the rename, after
// everything was written: either way the error is the stream's and no file is left over.
TEST(SaveFileReplacing, AFailureRaisesTheStreamsErrorAndLeavesNoFile) {
  TTempFolder folder;
  const std::string missing = folder.File("missing/profile.csv");
  const std::string opening = MessageOf<EInOutError>([&] { SaveFileReplacing(missing, "x"); });
  EXPECT_EQ(opening.rfind("Error opening \"" + missing + ".~0\" - ", 0), 0u) << opening;
  std::filesystem::create_directory(folder.File("taken"));
  const std::string renaming = MessageOf<EInOutError>([&] { SaveFileReplacing(folder.File("taken"), "x"); });
  EXPECT_EQ(renaming.rfind("Error renaming \"", 0), 0u) << renaming;
  EXPECT_EQ(FolderEntries(folder), std::vector<std::string>{"taken"});
  EXPECT_TRUE(std::filesystem::is_empty(folder.File("taken")));
}

}  // namespace
