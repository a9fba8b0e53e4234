#include "streams/Streams.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "resources/Texts.h"
#include "tests/streams/RecordingStream.h"
#include "tests/streams/StreamFiles.h"

namespace {

// "prefix<system text>": the fixed part as the system words it, then a system message.
void ExpectSystemMessage(const std::string& message, const std::string& prefix) {
  EXPECT_EQ(message.substr(0, prefix.size()), prefix) << message;
  EXPECT_GT(message.size(), prefix.size()) << "no system text in: " << message;
  EXPECT_NE(message.back(), '\n');
}

// The part of a two-placeholder message before the system's text.
std::string Quoted(const char* format, const std::string& fileName) {
  return FormatText(format, fileName.c_str(), "");
}

TEST(FileStream, ModeBitsDecideAccessCreationAndOpenFailures) {
  TTempFolder folder;
  const std::string name = folder.File("data.bin");
  PutFile(name, PatternBytes(10));

  {
    TFileStream reader(name, fmRead);
    EXPECT_TRUE(reader.CanRead());
    EXPECT_FALSE(reader.CanWrite());
    EXPECT_TRUE(reader.Exact());
  }

  const std::string other = folder.File("never.bin");
  EXPECT_EQ(MessageOf<EInOutError>([&] { TFileStream stream(other, fmCreate); }), S_NEED_ACCESS);
  EXPECT_FALSE(std::filesystem::exists(other));

  TFileStream writer(name, fmRead | fmWrite | fmCreate | fmShareRead);
  EXPECT_TRUE(writer.CanRead() && writer.CanWrite());
  EXPECT_EQ(writer.GetSize(), 0);

  const std::string missing = folder.File("missing.bin");
  const std::string message = MessageOf<EInOutError>([&] { TFileStream stream(missing, fmRead | fmShareRead); });
  ExpectSystemMessage(message, Quoted(S_ERROR_OPENING, missing));
  EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST(FileStream, AccessNotAskedForIsRefusedByTheSystem) {
  TTempFolder folder;
  const std::string name = folder.File("data.bin");
  PutFile(name, PatternBytes(10));
  uint8_t bytes[4] = {};

  TFileStream reader(name, fmRead | fmShareRead);
  ExpectSystemMessage(MessageOf<EInOutError>([&] { reader.Write(bytes, 4); }), FormatText(S_ERROR_WRITING, ""));
  reader.SetPosition(3);
  ExpectSystemMessage(MessageOf<EInOutError>([&] { reader.Truncate(); }), Quoted(S_ERROR_TRUNCATING, name));

  TFileStream writer(folder.File("out.bin"), fmWrite | fmCreate);
  ExpectSystemMessage(MessageOf<EInOutError>([&] { writer.Read(bytes, 4); }), FormatText(S_ERROR_READING, ""));
  EXPECT_EQ(FileBytes(name), PatternBytes(10));
}

TEST(FileStream, ReadPastTheEndIsShortOrAnError) {
  TTempFolder folder;
  const std::string name = folder.File("forty.bin");
  PutFile(name, PatternBytes(40));
  TFileStream stream(name, fmRead);
  std::vector<uint8_t> bytes(100);

  EXPECT_EQ(MessageOf<EInOutError>([&] { stream.Read(bytes.data(), 100); }), S_READ_LESS);
  stream.SetPosition(0);
  stream.SetExact(false);
  ASSERT_EQ(stream.Read(bytes.data(), 100), 40);
  bytes.resize(40);
  EXPECT_EQ(bytes, PatternBytes(40));
}

TEST(FileStream, PositionSizeAndEnd) {
  TTempFolder folder;
  const std::string name = folder.File("ten.bin");
  PutFile(name, PatternBytes(10));
  TFileStream stream(name, fmRead | fmWrite);
  uint8_t bytes[10];

  EXPECT_EQ(stream.Available(), 10);
  EXPECT_FALSE(stream.EndOfStream());
  stream.Read(bytes, 10);
  EXPECT_EQ(stream.GetPosition(), 10);
  EXPECT_TRUE(stream.EndOfStream());

  // Beyond the end the count is negative; that is the end as well.
  stream.SetPosition(15);
  EXPECT_EQ(stream.Available(), -5);
  EXPECT_TRUE(stream.EndOfStream());

  ExpectSystemMessage(MessageOf<EInOutError>([&] { stream.SetPosition(-1); }), FormatText(S_ERROR_SEEKING, ""));

  stream.SetPosition(4);
  stream.Truncate();
  EXPECT_EQ(stream.GetSize(), 4);
  stream.Flush();
}

// A failed delete: the stream keeps the name it was opened with, and from another working
// folder that name points nowhere. The file is closed by then; the stream stays the
// caller's.
TEST(FileStream, DeleteClosesAndRemovesTheFileOrSaysWhyNot) {
  TTempFolder folder;
  TTempFolder elsewhere;
  auto* doomed = new TFileStream(folder.File("doomed.bin"), fmWrite | fmCreate);
  doomed->Delete();
  EXPECT_FALSE(std::filesystem::exists(folder.File("doomed.bin")));

  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(folder.Path());
  auto stream = std::make_unique<TFileStream>("relative.bin", fmWrite | fmCreate);
  std::filesystem::current_path(elsewhere.Path());
  const std::string message = MessageOf<EInOutError>([&] { stream->Delete(); });
  std::filesystem::current_path(previous);
  ExpectSystemMessage(message, Quoted(S_ERROR_DELETING, "relative.bin"));
  EXPECT_TRUE(std::filesystem::exists(folder.File("relative.bin")));
}

TEST(CopyFrom, CopiesInChunksAndRestoresTheSourceCheck) {
  TTempFolder folder;
  const std::string name = folder.File("source.bin");
  PutFile(name, PatternBytes(10000));
  TFileStream source(name, fmRead);
  TRecordingStream target;

  target.CopyFrom(source);
  EXPECT_EQ(target.WriteRequests, (std::vector<int32_t>{4096, 4096, 1808}));
  EXPECT_EQ(target.Written, PatternBytes(10000));
  EXPECT_TRUE(source.Exact());

  TFileStream copy(folder.File("copy.bin"), fmWrite | fmCreate);
  source.SetPosition(0);
  copy.CopyFrom(source);
  EXPECT_EQ(copy.GetSize(), 10000);

  // A target that takes less than it is given, with its own check off, loses nothing silently.
  TRecordingStream full;
  full.SetExact(false);
  full.WriteLimit = 1000;
  source.SetPosition(0);
  EXPECT_THROW(full.CopyFrom(source), EInOutError);
  EXPECT_EQ(full.WriteRequests.size(), 1u);
}

TEST(CopyFrom, EndsWhenTheSourceIsBeyondItsEnd) {
  TTempFolder folder;
  const std::string name = folder.File("source.bin");
  PutFile(name, PatternBytes(100));
  TFileStream source(name, fmRead);
  source.SetPosition(500);
  TRecordingStream target;

  target.CopyFrom(source);
  EXPECT_TRUE(target.WriteRequests.empty());
  EXPECT_TRUE(source.Exact());
}

TEST(FilterStream, ForwardsEverythingAndExactToTheNextStream) {
  auto* last = new TRecordingStream(PatternBytes(5));
  auto* front = new TFilterStream(new TFilterStream(last));
  EXPECT_FALSE(front->CanRead());
  front->SetExact(false);
  EXPECT_FALSE(last->Exact());
  EXPECT_EQ(front->Write("xyz", 3), 3);
  uint8_t bytes[8];
  EXPECT_EQ(front->Read(bytes, 8), 5);
  EXPECT_EQ(last->Written.size(), 3u);
  FreeChain(front);
  FreeChain(nullptr);
}

}  // namespace
