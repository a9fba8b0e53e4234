// Fuzz entry for the reader of version information: a block whose every answer, offset and
// reported length comes from the input, as from a damaged or crafted file. Whatever it says,
// the reader reads only inside the block and fails with its own error.

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "diagnostics/VersionInfo.h"
#include "errors/Exceptions.h"
#include "tests/fuzz/FuzzEntries.h"
#include "tests/fuzz/FuzzInput.h"

namespace {

// The block's bytes live in a block of their own size, so that a read past them is caught.
class TFuzzBlock : public TVersionBlock {
 public:
  TFuzzBlock(TFuzzInput& input, const uint8_t* bytes, size_t size)
      : FInput(input), FBytes(std::make_unique<uint8_t[]>(size + 1)), FSize(size) {
    std::memcpy(FBytes.get(), bytes, size);
  }
  bool Query(const char*, const void*& data, uint32_t& length) override {
    if (!FInput.Flag()) return false;
    data = FSize == 0 ? nullptr : FBytes.get() + FInput.Word() % FSize;
    length = FInput.Flag() ? FInput.Word() : FInput.Byte();
    return true;
  }
  bool Holds(const void* data, uint32_t length) const override {
    const auto* start = static_cast<const uint8_t*>(data);
    return start >= FBytes.get() && start <= FBytes.get() + FSize &&
           length <= static_cast<size_t>(FBytes.get() + FSize - start);
  }

 private:
  TFuzzInput& FInput;
  std::unique_ptr<uint8_t[]> FBytes;
  size_t FSize;
};

}  // namespace

int FuzzVersionBlock(const uint8_t* data, size_t size) {
  TFuzzInput input(data, size);
  const size_t blockSize = input.Range(0, 512);
  size_t rest = 0;
  const uint8_t* bytes = input.Rest(rest);
  const size_t taken = blockSize < rest ? blockSize : rest;
  // The answers come from the input's start again: the block and the answers overlap, as
  // the fields of a real block and its contents do.
  TFuzzInput answers(data, size);
  TFuzzBlock block(answers, bytes, taken);
  TVersionInfo info;
  try {
    ReadVersionBlock(block, info);
  } catch (const Exception&) {
  }
  if (info.CompanyName.size() > taken || info.ProductName.size() > taken) std::abort();
  return 0;
}
