// Fuzz entry for the stream family: a buffered stream of sizes the input chooses, in front of
// a memory stream that may take fewer bytes per write than asked, as a full device does.
// Reads in pieces of any size return the source's bytes in order; writes in pieces arrive
// whole and in order, or raise the stream's error, never losing bytes silently.

#include <cstdlib>
#include <vector>

#include "errors/Exceptions.h"
#include "streams/BufStream.h"
#include "tests/fuzz/FuzzEntries.h"
#include "tests/fuzz/FuzzInput.h"
#include "tests/streams/RecordingStream.h"

namespace {

void Check(bool holds) {
  if (!holds) std::abort();
}

int32_t BufferSize(TFuzzInput& input) {
  const int choice = input.Byte() % 4;
  return choice == 0 ? 0 : choice == 1 ? -1 : input.Range(2, 300);
}

void ReadAll(TFuzzInput& input, const std::vector<uint8_t>& source) {
  TRecordingStream device(source);
  TBufferedStream stream(BufferSize(input), 0, &device);
  stream.SetExact(false);
  std::vector<uint8_t> read;
  while (read.size() < source.size() && !input.Empty()) {
    std::vector<uint8_t> piece(static_cast<size_t>(input.Range(0, 100)));
    const int32_t got = stream.Read(piece.data(), static_cast<int32_t>(piece.size()));
    Check(got >= 0 && static_cast<size_t>(got) <= piece.size());
    read.insert(read.end(), piece.begin(), piece.begin() + got);
  }
  Check(std::equal(read.begin(), read.end(), source.begin()));
}

void WriteAll(TFuzzInput& input, const std::vector<uint8_t>& source) {
  TRecordingStream device;
  device.WriteLimit = input.Flag() ? input.Range(0, 64) : INT32_MAX;
  const bool exact = input.Flag();
  auto* stream = new TBufferedStream(0, BufferSize(input), &device);
  stream->SetExact(exact);
  size_t taken = 0;
  try {
    while (taken < source.size() && !input.Empty()) {
      const int32_t count = std::min<int32_t>(input.Range(0, 100), static_cast<int32_t>(source.size() - taken));
      const int32_t got = stream->Write(source.data() + taken, count);
      Check(got >= 0 && got <= count && (!exact || got == count));
      taken += static_cast<size_t>(got);
    }
    stream->Flush();
  } catch (const Exception&) {
  }
  delete stream;
  // What reached the device is the start of what was taken, in order.
  Check(device.Written.size() <= source.size());
  Check(std::equal(device.Written.begin(), device.Written.end(), source.begin()));
}

}  // namespace

int FuzzBufferedStream(const uint8_t* data, size_t size) {
  TFuzzInput input(data, size);
  const bool writing = input.Flag();
  const size_t length = static_cast<size_t>(input.Range(0, 2000));
  std::vector<uint8_t> source(length);
  for (size_t i = 0; i < length; ++i) source[i] = static_cast<uint8_t>(i * 7 + 3);
  try {
    if (writing)
      WriteAll(input, source);
    else
      ReadAll(input, source);
  } catch (const Exception&) {
  }
  return 0;
}
