// The dialog on a 16,000 x 16,000 24-bit image (768 MB) held by a host that is
// large-address-aware, as editors with the largest images are: it opens, marks, rebuilds
// and puts every byte back without a second block of the image's size. The image ends
// right before a guard page; it is too large to copy for the comparison, so a checksum of
// every byte stands for it.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/host/DialogWatcher.h"
#include "tests/host/HostDouble.h"
#include "tests/host/HostImages.h"

namespace {

constexpr int Side = 16'000;

uint64_t Checksum(const THostImageBuffer& image) {
  uint64_t hash = 1469598103934665603u;
  for (size_t i = 0; i < image.ByteCount(); i += 8) {
    uint64_t word = 0;
    for (size_t k = i; k < std::min(i + 8, image.ByteCount()); ++k) word = word << 8 | image.Pixels()[k];
    hash = (hash ^ word) * 1099511628211u;
  }
  return hash;
}

// Address space the process could still take, region by region: a copy of the image would
// take 768 MB of it. (The memory status's free virtual figure does not follow allocations
// under every system.)
uint64_t FreeAddressSpace() {
  uint64_t free = 0;
  MEMORY_BASIC_INFORMATION region;
  for (const uint8_t* address = nullptr; VirtualQuery(address, &region, sizeof region) == sizeof region;) {
    if (region.State == MEM_FREE) free += region.RegionSize;
    const uint8_t* next = static_cast<const uint8_t*>(region.BaseAddress) + region.RegionSize;
    if (next <= address) break;
    address = next;
  }
  return free;
}

int Count(const std::vector<int32_t>& requests, int32_t request) {
  return static_cast<int>(std::count(requests.begin(), requests.end(), request));
}

const uint8_t* PixelAt(const THostImageBuffer& image, int x, int y) {
  return image.Pixels() + static_cast<size_t>(y) * image.Record().BytesPerLine + 3 * static_cast<size_t>(x);
}

bool IsGray(const uint8_t* pixel, int level) {
  return pixel[0] == level && pixel[1] == level && pixel[2] == level;
}

TEST(LargeImage, TheDialogMarksAndPutsBackA768MegabyteImageWithoutCopyingIt) {
  THostImageBuffer image = THostImageBuffer::Make24Bit(Side, Side);
  const uint64_t before = Checksum(image);
  THostMainWindow mainWindow;
  THostDouble host;
  host.MainWindow = mainWindow.Handle();
  host.OpenImages = {{image.Record().Pixels, {0, 0, Side - 1, Side - 1}}};
  TPluginLibrary plugin;
  ASSERT_EQ(plugin.RegisterPlugin(THostDouble::Callback), 1);
  const uint64_t freeBefore = FreeAddressSpace();
  int profiles = 1;
  const std::vector<TDialogWatcher::TInspect> steps = {
      [&](HWND dialog) {
        // Line mode along the diagonal: the first sample is black, the last one's gray
        // level is its index, and the label gives the number of samples.
        EXPECT_LT(freeBefore - FreeAddressSpace(), 64u << 20);
        EXPECT_TRUE(IsGray(PixelAt(image, 0, 0), 0));
        const HWND label = FindWindowExA(dialog, nullptr, "Static", nullptr);
        int samples = 0;
        ASSERT_EQ(std::sscanf(WindowText(label).c_str(), "Length: %d pixels", &samples), 1);
        EXPECT_TRUE(IsGray(PixelAt(image, Side - 1, Side - 1), (samples - 1) % 256));
        ++profiles;
        ClickChild(dialog, "Button", "&Integrate values");
      },
      [&](HWND) {
        // Integrate mode, columns: each column marks its two top and two bottom pixels.
        EXPECT_TRUE(IsGray(PixelAt(image, 0, 0), 0));
        EXPECT_TRUE(IsGray(PixelAt(image, 300, 1), 300 % 256));
        EXPECT_TRUE(IsGray(PixelAt(image, Side - 1, Side - 2), (Side - 1) % 256));
        EXPECT_TRUE(IsGray(PixelAt(image, 5, Side - 1), 5));
        EXPECT_LT(freeBefore - FreeAddressSpace(), 64u << 20);
      },
  };
  TDialogWatcher watcher("Ostravine", steps, TDialogAnswer::Close);
  watcher.Ready = [&] { return Count(host.Requests, hrImageChanged) >= profiles; };
  EXPECT_EQ(plugin.ProcessImage(1, &image.Record()), 1);
  EXPECT_EQ(Count(host.Requests, hrImageChanged), 3);
  EXPECT_EQ(Checksum(image), before);
}

}  // namespace
