#include "streams/BufStream.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "resources/Texts.h"
#include "tests/streams/RecordingStream.h"
#include "tests/streams/StreamFiles.h"

namespace {

std::vector<uint8_t> Slice(const std::vector<uint8_t>& bytes, size_t from, size_t count) {
  return std::vector<uint8_t>(bytes.begin() + static_cast<ptrdiff_t>(from),
                              bytes.begin() + static_cast<ptrdiff_t>(from + count));
}

TEST(BufferedStream, RefillReadsOneBufferAhead) {
  TTempFolder folder;
  const std::string name = folder.File("hundred.bin");
  PutFile(name, PatternBytes(100));
  auto* file = new TFileStream(name, fmRead);
  auto* stream = new TBufferedStream(-1, 0, file);
  std::vector<uint8_t> bytes(60);

  EXPECT_EQ(stream->Read(bytes.data(), 10), 10);
  EXPECT_EQ(stream->ReadCount(), 100);
  EXPECT_EQ(stream->ReadPos(), 10);
  EXPECT_EQ(stream->Available(), 90);
  EXPECT_EQ(file->Available(), 0);

  EXPECT_EQ(stream->Read(bytes.data(), 50), 50);
  EXPECT_EQ(Slice(bytes, 0, 50), Slice(PatternBytes(100), 10, 50));
  EXPECT_EQ(MessageOf<EInOutError>([&] { stream->Read(bytes.data(), 50); }), S_READ_LESS);

  stream->SetExact(false);
  file->SetPosition(60);
  EXPECT_EQ(stream->Read(bytes.data(), 50), 40);
  EXPECT_TRUE(stream->EndOfStream());
  FreeChain(stream);
}

TEST(BufferedStream, LargeReadsBypassTheBuffer) {
  TRecordingStream next(PatternBytes(40));
  TBufferedStream stream(8, 0, &next);
  std::vector<uint8_t> bytes(40);

  EXPECT_EQ(stream.Read(bytes.data(), 8), 8);
  EXPECT_EQ(stream.ReadCount(), 0);
  EXPECT_EQ(stream.Read(bytes.data() + 8, 3), 3);
  EXPECT_EQ(next.ReadRequests, (std::vector<int32_t>{8, 8}));
  EXPECT_EQ(stream.Available(), 40 - 11);
  EXPECT_EQ(Slice(bytes, 0, 11), Slice(PatternBytes(40), 0, 11));
}

// Five bytes wait in the buffer; the read needs them plus more than a buffer's worth,
// which the next stream no longer has.
TEST(BufferedStream, ShortDirectReadAfterBufferedBytes) {
  for (const bool exact : {true, false}) {
    TRecordingStream next(PatternBytes(11));
    TBufferedStream stream(8, 0, &next);
    stream.SetExact(exact);
    std::vector<uint8_t> bytes(15);
    stream.Read(bytes.data(), 3);
    ASSERT_EQ(stream.ReadCount() - stream.ReadPos(), 5);

    if (exact) {
      EXPECT_EQ(MessageOf<EInOutError>([&] { stream.Read(bytes.data(), 15); }), S_READ_LESS);
    } else {
      EXPECT_EQ(stream.Read(bytes.data(), 15), 8);
      EXPECT_EQ(Slice(bytes, 0, 8), Slice(PatternBytes(11), 3, 8));
    }
    EXPECT_EQ(next.ReadRequests.back(), 10);
  }
}

TEST(BufferedStream, WriteBufferSpillsWholeAndKeepsTheRest) {
  TRecordingStream next;
  const std::vector<uint8_t> bytes = PatternBytes(6);
  {
    TBufferedStream stream(0, 4, &next);
    EXPECT_EQ(stream.Write(bytes.data(), 3), 3);
    EXPECT_TRUE(next.WriteRequests.empty());
    EXPECT_EQ(stream.Write(bytes.data() + 3, 3), 3);
    EXPECT_EQ(next.WriteRequests, std::vector<int32_t>{4});
    EXPECT_EQ(stream.WriteCount(), 2);
    EXPECT_EQ(stream.Available(), 0);
  }
  EXPECT_EQ(next.WriteRequests, (std::vector<int32_t>{4, 2}));
  EXPECT_EQ(next.Written, bytes);
}

TEST(BufferedStream, BufferSizesAreCheckedOnlyForTheNextStreamsAccess) {
  TRecordingStream next;
  EXPECT_EQ(MessageOf<EStreamCreate>([&] { TBufferedStream stream(1, 0, &next); }), S_INVALID_BUFFER_SIZE);
  EXPECT_EQ(MessageOf<EStreamCreate>([&] { TBufferedStream stream(-2, 0, &next); }), S_INVALID_BUFFER_SIZE);
  // The read buffer is in place when the write size fails: the next stream's check must
  // still come back.
  EXPECT_EQ(MessageOf<EStreamCreate>([&] { TBufferedStream stream(-1, 1, &next); }), S_INVALID_BUFFER_SIZE);
  EXPECT_TRUE(next.Exact());
  TBufferedStream smallest(2, 2, &next);
  EXPECT_EQ(smallest.ReadBufferSize(), 2);
  EXPECT_FALSE(next.Exact());

  TTempFolder folder;
  TFileStream writeOnly(folder.File("out.bin"), fmWrite | fmCreate);
  TBufferedStream stream(1, 0, &writeOnly);
  EXPECT_EQ(stream.ReadBufferSize(), 0);
  EXPECT_TRUE(writeOnly.Exact());
}

// While the buffer checks short reads, a refill may meet the end of the data: the next
// stream's own check must stay off however often the chain's flag changes.
TEST(BufferedStream, ExactStaysWithTheBufferAndReturnsOnDestruction) {
  TTempFolder folder;
  const std::string name = folder.File("hundred.bin");
  PutFile(name, PatternBytes(100));
  TFileStream file(name, fmRead);
  std::vector<uint8_t> bytes(60);
  {
    TBufferedStream stream(64, 0, &file);
    EXPECT_FALSE(file.Exact());
    stream.Read(bytes.data(), 10);
    stream.SetExact(false);
    stream.SetExact(true);
    EXPECT_FALSE(file.Exact());
    EXPECT_EQ(stream.Read(bytes.data(), 60), 60);
    EXPECT_EQ(bytes, Slice(PatternBytes(100), 10, 60));
  }
  EXPECT_TRUE(file.Exact());
}

// The next stream takes at most three bytes per write. Without Exact the caller learns
// that four of six bytes were taken (three written, one still buffered); with Exact the
// shortfall is an error. Either way every byte arrives once, in order: the stream checks
// for the next one, whose own check (which would raise after writing three bytes, which
// the buffer would then write again) is off, with a read buffer or only a write buffer.
TEST(BufferedStream, ShortSpillLosesNothing) {
  for (const int32_t readBuffer : {4, 0})
  for (const bool exact : {false, true}) {
    TRecordingStream next;
    next.WriteLimit = 3;
    const std::vector<uint8_t> bytes = PatternBytes(6);
    TBufferedStream stream(readBuffer, 4, &next);
    stream.SetExact(exact);
    EXPECT_FALSE(next.Exact());

    if (exact)
      EXPECT_EQ(MessageOf<EInOutError>([&] { stream.Write(bytes.data(), 6); }), S_READ_LESS);
    else
      EXPECT_EQ(stream.Write(bytes.data(), 6), 4);
    EXPECT_EQ(stream.WriteCount(), 1);
    next.WriteLimit = 100;
    stream.Write(bytes.data() + 4, 2);
    stream.Flush();
    EXPECT_EQ(next.Written, bytes);
  }
}

// Flush has no count to return, so a shortfall there is an error even without Exact.
TEST(BufferedStream, FlushThatCannotWriteEverythingIsReported) {
  auto* next = new TRecordingStream;
  next->SetExact(false);
  next->WriteLimit = 0;
  auto* stream = new TBufferedStream(0, 8, next);
  stream->Write("abc", 3);

  EXPECT_EQ(MessageOf<EInOutError>([&] { stream->Flush(); }), S_READ_LESS);
  EXPECT_EQ(stream->WriteCount(), 3);
  EXPECT_EQ(MessageOf<EInOutError>([&] { FreeChain(stream); }), S_READ_LESS);
}

TEST(OpenBufferedFile, BuffersOnlyTheDirectionOfUse) {
  TTempFolder folder;
  const std::string name = folder.File("data.bin");
  PutFile(name, PatternBytes(50));

  TBufferedStream* saving = OpenBufferedFile(name, true);
  EXPECT_TRUE(saving->CanRead());
  EXPECT_EQ(saving->ReadBufferSize(), 0);
  EXPECT_EQ(saving->WriteBufferSize(), TBufferedStream::DefaultBufferSize);
  saving->Write("0123456789", 10);
  EXPECT_EQ(FileBytes(name).size(), 0u);
  FreeChain(saving);
  EXPECT_EQ(FileBytes(name).size(), 10u);

  TBufferedStream* loading = OpenBufferedFile(name, false);
  EXPECT_FALSE(loading->CanWrite());
  EXPECT_EQ(loading->ReadBufferSize(), TBufferedStream::DefaultBufferSize);
  EXPECT_EQ(loading->WriteBufferSize(), 0);
  FreeChain(loading);
  EXPECT_THROW(OpenBufferedFile(folder.File("missing.bin"), false), EInOutError);
}

// Saves a fixed byte sequence and reads it back; can be told to fail half-way.
class TBlob : public TStreamClass {
 public:
  const char* ClassName() const noexcept override { return "TBlob"; }
  void SaveToStream(TBaseStream& stream) override {
    stream.Write(Bytes.data(), static_cast<int32_t>(Bytes.size()));
    if (FailSaving) throw Exception("disk on fire");
  }
  void LoadFromStream(TBaseStream& stream) override {
    Bytes.resize(static_cast<size_t>(stream.Available()));
    stream.Read(Bytes.data(), static_cast<int32_t>(Bytes.size()));
  }
  std::vector<uint8_t> Bytes;
  bool FailSaving = false;
};

TEST(StreamClass, SavesAndLoadsThroughBufferedFiles) {
  TTempFolder folder;
  const std::string name = folder.File("blob.bin");
  PutFile(name, PatternBytes(30));

  TStreamClass empty;
  empty.SaveToFile(name);
  EXPECT_TRUE(std::filesystem::exists(name));
  EXPECT_EQ(FileBytes(name).size(), 0u);

  TBlob saved;
  saved.Bytes = PatternBytes(70000, 5);
  saved.SaveToFile(name);
  TBlob loaded;
  loaded.LoadFromFile(name);
  EXPECT_EQ(loaded.Bytes, saved.Bytes);

  saved.FailSaving = true;
  EXPECT_EQ(MessageOf<Exception>([&] { saved.SaveToFile(name); }), "disk on fire");
  EXPECT_EQ(FileBytes(name).size(), 70000u);
}

// The same random requests go through a buffered chain and straight to a file stream;
// every result, every byte read and the files written must agree. Sizes cluster around
// the buffer size, where the paths of the buffered stream meet.
class TRandomRequests {
 public:
  TRandomRequests(uint32_t seed, int32_t bufferSize) : FRandom(seed), FBufferSize(bufferSize) {}

  int32_t NextSize() {
    const int32_t b = FBufferSize;
    const int32_t choices[] = {0, 1, 2, 3, b - 2, b - 1, b, b + 1, 2 * b - 1, 2 * b, 2 * b + 1};
    const int pick = static_cast<int>(FRandom() % 16);
    if (pick < 11) return std::max(0, choices[pick]);
    return static_cast<int32_t>(FRandom() % static_cast<uint32_t>(3 * b + 1));
  }
  bool Chance(int percent) { return static_cast<int>(FRandom() % 100) < percent; }
  uint8_t Byte() { return static_cast<uint8_t>(FRandom()); }

 private:
  std::mt19937 FRandom;
  int32_t FBufferSize;
};

struct TOutcome {
  int32_t Result = 0;
  std::string Error;
  std::vector<uint8_t> Bytes;
  bool operator==(const TOutcome&) const = default;
};

TOutcome ReadOutcome(TBaseStream& stream, int32_t count) {
  TOutcome outcome;
  outcome.Bytes.resize(static_cast<size_t>(count));
  try {
    outcome.Result = stream.Read(outcome.Bytes.data(), count);
    outcome.Bytes.resize(static_cast<size_t>(outcome.Result));
  } catch (const EInOutError& error) {
    outcome.Error = error.what();
    outcome.Bytes.clear();
  }
  return outcome;
}

void CompareWrites(TRandomRequests& random, TBaseStream& buffered, TBaseStream& plain, int steps) {
  for (int step = 0; step < steps; ++step) {
    std::vector<uint8_t> bytes(static_cast<size_t>(random.NextSize()));
    for (uint8_t& byte : bytes) byte = random.Byte();
    const auto count = static_cast<int32_t>(bytes.size());
    ASSERT_EQ(buffered.Write(bytes.data(), count), plain.Write(bytes.data(), count)) << "write " << step;
  }
}

void CompareReads(TRandomRequests& random, TBaseStream& buffered, TBaseStream& plain, int steps) {
  for (int step = 0; step < steps; ++step) {
    if (random.Chance(20)) {
      const bool exact = random.Chance(50);
      buffered.SetExact(exact);
      plain.SetExact(exact);
    }
    const int32_t count = random.NextSize();
    ASSERT_EQ(ReadOutcome(buffered, count), ReadOutcome(plain, count)) << "read " << step;
    ASSERT_EQ(buffered.Available(), plain.Available()) << "read " << step;
  }
}

TEST(BufferedStream, RandomRequestsMatchAnUnbufferedFile) {
  TTempFolder folder;
  const std::string bufferedName = folder.File("buffered.bin");
  const std::string plainName = folder.File("plain.bin");
  for (const int32_t bufferSize : {2, 3, 7, 64, 1000, 65536}) {
    SCOPED_TRACE(bufferSize);
    TRandomRequests random(20261207u + static_cast<uint32_t>(bufferSize), bufferSize);
    const int steps = bufferSize > 1000 ? 40 : 300;
    {
      auto* buffered = new TBufferedStream(0, bufferSize, new TFileStream(bufferedName, fmWrite | fmCreate));
      TFileStream plain(plainName, fmWrite | fmCreate);
      CompareWrites(random, *buffered, plain, steps);
      FreeChain(buffered);
    }
    ASSERT_EQ(FileBytes(bufferedName), FileBytes(plainName));
    auto* buffered = new TBufferedStream(bufferSize, 0, new TFileStream(bufferedName, fmRead));
    TFileStream plain(plainName, fmRead);
    CompareReads(random, *buffered, plain, steps * 2);
    FreeChain(buffered);
  }
}

}  // namespace
