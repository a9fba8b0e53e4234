#pragma once
// The records and the callback shared with a host built separately. Their byte layout is
// fixed: little-endian, 32-bit integers and 32-bit pointers, no padding but what is shown.

#include <cstddef>
#include <cstdint>

#if defined(__i386__)
#define OSTRAVINE_STDCALL __attribute__((stdcall))
#else
#define OSTRAVINE_STDCALL
#endif

// Host pixel formats. For the integer formats the code is also the bytes per pixel.
enum THostPixelFormat : int32_t {
  hf8Bit = 1,
  hf24Bit = 3,
  hf32Bit = 4,
  hfFloat = 24,
  hfComplex = 40,
};

// The only requests the plug-in ever sends.
enum THostRequest : int32_t {
  hrRegister = 1,
  hrImageInfo = 3,
  hrMainWindow = 4,
  hrImageChanged = 9,
};

using THostCallback = int32_t(OSTRAVINE_STDCALL*)(int32_t request, void* data);

// Read-only description of the image the command runs on. Integer formats address row y at
// Pixels + y * BytesPerLine; float and complex pixels are packed, Width * Height elements.
struct THostImage {
  int32_t Width;
  int32_t Height;
  int32_t BytesPerLine;
  int32_t PixelFormat;
  void* Pixels;
  // hf8Bit only: 256 entries of (blue, green, red), or null for gray.
  void* Palette;
};

// Inclusive pixel coordinates; a negative Left means "no selection".
struct TRect {
  int32_t Left;
  int32_t Top;
  int32_t Right;
  int32_t Bottom;
  friend bool operator==(const TRect&, const TRect&) = default;
};

// Filled by the host for request hrImageInfo; the plug-in writes only Index.
struct THostImageInfo {
  int32_t Index;
  uint8_t HostData1[24];
  void* Pixels;
  uint8_t HostData2[8];
  TRect Selection;
};

// Handed to the host with hrRegister; valid during that call only.
struct TPluginInfo {
  const char* Menu;
  const char* Name;
  const char* Description;
  int32_t Flags;
};

#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(THostImage) == 24);
static_assert(offsetof(THostImage, Width) == 0 && offsetof(THostImage, Height) == 4);
static_assert(offsetof(THostImage, BytesPerLine) == 8 && offsetof(THostImage, PixelFormat) == 12);
static_assert(offsetof(THostImage, Pixels) == 16 && offsetof(THostImage, Palette) == 20);
static_assert(sizeof(THostImageInfo) == 56);
static_assert(offsetof(THostImageInfo, Index) == 0 && offsetof(THostImageInfo, Pixels) == 28);
static_assert(offsetof(THostImageInfo, Selection) == 40);
static_assert(offsetof(THostImageInfo, Selection) + offsetof(TRect, Bottom) == 52);
static_assert(sizeof(TPluginInfo) == 16);
static_assert(offsetof(TPluginInfo, Menu) == 0 && offsetof(TPluginInfo, Name) == 4);
static_assert(offsetof(TPluginInfo, Description) == 8 && offsetof(TPluginInfo, Flags) == 12);
#endif

constexpr TRect NoSelection{-1, -1, -1, -1};

// More open images than any host has; a host that never answers 0 is taken to list none
// of ours rather than to hang the command.
constexpr int32_t MaxHostImages = 1 << 16;

// The selection of the open image whose pixel memory is the image's, or NoSelection.
TRect FindSelection(const THostImage& image, THostCallback callback);

// Usable unless Left < 0, or it is a single pixel or inverted in both directions.
bool IsUsableSelection(const TRect& selection);
