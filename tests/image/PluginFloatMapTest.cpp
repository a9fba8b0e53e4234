#include "image/PluginFloatMap.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "errors/Exceptions.h"
#include "tests/host/HostImages.h"

namespace {

std::string MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Exception& error) {
    return std::string(error.ClassName()) + ": " + error.what();
  }
  return "<nothing raised>";
}

TEST(PluginFloatMap, FloatImageBecomesComplexMapWithZeroImaginaryParts) {
  auto host = THostImageBuffer::MakeFloat(3, 2);
  const auto before = host.Snapshot();
  const auto map = HostImageToProfileMap(host.Record());
  ASSERT_EQ(map->Width(), 3);
  ASSERT_EQ(map->Height(), 2);
  const auto* values = reinterpret_cast<const double*>(host.Pixels());
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(map->Element(i % 3, i / 3)[0], values[i]) << i;
    EXPECT_EQ(map->Element(i % 3, i / 3)[1], 0.0) << i;
  }
  EXPECT_EQ(host.Snapshot(), before);
}

TEST(PluginFloatMap, ComplexImageIsCopiedAsItIs) {
  auto host = THostImageBuffer::MakeComplex(5, 3);
  const auto before = host.Snapshot();
  const auto map = HostImageToProfileMap(host.Record());
  ASSERT_EQ(map->Count(), 15);
  ASSERT_EQ(static_cast<size_t>(map->Size()), host.ByteCount());
  EXPECT_EQ(std::memcmp(map->Map(), host.Pixels(), host.ByteCount()), 0);
  map->Clear();
  EXPECT_EQ(host.Snapshot(), before);
}

TEST(PluginFloatMap, RefusesRecordsItCannotCopy) {
  auto host = THostImageBuffer::MakeFloat(3, 2);
  THostImage record = host.Record();
  record.Width = 0;
  EXPECT_EQ(MessageOf([&] { HostImageToProfileMap(record); }), "Exception: Invalid bitmap size");
  record = host.Record();
  record.Pixels = nullptr;
  EXPECT_EQ(MessageOf([&] { HostImageToProfileMap(record); }), "Exception: Invalid bitmap size");
  // Far more than the small buffer: refused before a byte is read.
  record = host.Record();
  record.Width = record.Height = 50'000;
  EXPECT_EQ(MessageOf([&] { HostImageToProfileMap(record); }), "EOutOfMemory: Out of memory");
  record = host.Record();
  record.PixelFormat = hf24Bit;
  EXPECT_EQ(MessageOf([&] { HostImageToProfileMap(record); }), "Exception: Unsupported pixel format");
}

}  // namespace
