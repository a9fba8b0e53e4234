#pragma once
// Image files as the host opens and saves them: BMP by its own reader, which keeps 8-bit
// palettes exactly, every other format through the platform's image codecs.

#include <cstdint>
#include <string>
#include <vector>

#include "host/BmpFile.h"
#include "host/HostBitmap.h"

// Gray files become 8-bit images without a palette, colour files 24-bit images.
THostBitmap DecodeImage(const std::vector<uint8_t>& bytes);

// Errors name the file: EInvalidImage for its content, EInOutError for reading it.
THostBitmap LoadImageFile(const std::string& path);

std::vector<uint8_t> ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);

// PNG, JPEG, GIF, TIFF and the rest the platform decodes (PlatformImage_win.cpp).
THostBitmap DecodeWithPlatform(const uint8_t* data, size_t size);
