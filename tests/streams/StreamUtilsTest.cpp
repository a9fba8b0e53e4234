#include "streams/StreamUtils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "errors/Exceptions.h"
#include "streams/SystemFile.h"
#include "tests/streams/StreamFiles.h"
#ifdef _WIN32
#include "platform/WinApi.h"
#endif

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

// Leftovers of saves cut short, a folder and (on Windows) a file another program holds take
// the first temporary names: the save passes them by and leaves them as they are.
TEST(SaveFileReplacing, TakenTemporaryNamesNeverBlockASave) {
  TTempFolder folder;
  const std::string name = folder.File("profile.csv");
  std::vector<std::string> taken;
  for (int i = 0; i < 20; ++i) {
    taken.push_back("profile.csv.~" + std::to_string(i));
    PutFile(folder.File(taken.back()), {static_cast<uint8_t>(i)});
  }
  taken.push_back("profile.csv.~20");
  std::filesystem::create_directory(folder.File(taken.back()));
#ifdef _WIN32
  taken.push_back("profile.csv.~21");
  PutFile(folder.File(taken.back()), {21});
  TSystemFile holder;
  ASSERT_TRUE(holder.Open(folder.File(taken.back()), fmRead));
#endif
  SaveFileReplacing(name, "values");
  EXPECT_EQ(AsText(FileBytes(name)), "values");
  taken.push_back("profile.csv");
  std::sort(taken.begin(), taken.end());
  EXPECT_EQ(FolderEntries(folder), taken);
  EXPECT_EQ(FileBytes(folder.File("profile.csv.~7")), std::vector<uint8_t>{7});
}

// A missing folder fails on creation, and the error names the user's file and the folder
// as the reason; a name taken by a folder fails on the rename, after everything was
// written: either way the error is the stream's and no file is left over.
TEST(SaveFileReplacing, AFailureRaisesTheStreamsErrorAndLeavesNoFile) {
  TTempFolder folder;
  const std::string missing = folder.File("missing/profile.csv");
  const std::string opening = MessageOf<EInOutError>([&] { SaveFileReplacing(missing, "x"); });
#ifdef _WIN32
  EXPECT_EQ(opening, "Error opening \"" + missing + "\" - " + SystemErrorText(ERROR_PATH_NOT_FOUND));
#else
  EXPECT_EQ(opening, "Error opening \"" + missing + "\" - No such file or directory");
#endif
  std::filesystem::create_directory(folder.File("taken"));
  const std::string renaming = MessageOf<EInOutError>([&] { SaveFileReplacing(folder.File("taken"), "x"); });
  EXPECT_EQ(renaming.rfind("Error renaming \"", 0), 0u) << renaming;
  EXPECT_EQ(FolderEntries(folder), std::vector<std::string>{"taken"});
  EXPECT_TRUE(std::filesystem::is_empty(folder.File("taken")));
}

}  // namespace
