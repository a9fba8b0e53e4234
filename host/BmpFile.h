#pragma once
// The BMP file format: reading 4-bit and 8-bit palette images (plain or run-length coded),
// 24-bit and 32-bit images, bottom-up or top-down, into host bitmaps, and writing host
// bitmaps back.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "errors/Exceptions.h"
#include "host/HostBitmap.h"

bool IsBmpData(const uint8_t* data, size_t size) noexcept;

// 8-bit files keep their palette (missing entries black); 32-bit files become 24-bit.
THostBitmap DecodeBmp(const uint8_t* data, size_t size);

// A bottom-up BMP file; an 8-bit image without a palette is written with a gray one.
std::vector<uint8_t> EncodeBmp(const THostBitmap& bitmap);
