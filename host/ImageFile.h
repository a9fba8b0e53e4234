#pragma once
// Image files as the host opens and saves them: BMP by its own reader, PNG and JPEG through
// the header-only decoder.

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

// PNG and JPEG; defined beside the decoder.
THostBitmap DecodeWithStb(const uint8_t* data, size_t size);
