#include "host/Screenshot.h"

#include "errors/Exceptions.h"
#include "host/BmpFile.h"
#include "host/ImageFile.h"
#include "resources/Texts.h"
#include "platform/Handles.h"

namespace {

BITMAPINFOHEADER TopDownHeader(int32_t width, int32_t height) {
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = -height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  return header;
}

}  // namespace

// GetDIBits writes rows padded to 4 bytes, the stride the host bitmap has.
THostBitmap CaptureScreen() {
  const int32_t width = GetSystemMetrics(SM_CXSCREEN);
  const int32_t height = GetSystemMetrics(SM_CYSCREEN);
  THostBitmap shot(width, height, hf24Bit);
  const TWindowDc screen(nullptr);
  const TMemoryDc memory(CreateCompatibleDC(screen.Get()));
  const TBitmapHandle copy(CreateCompatibleBitmap(screen.Get(), width, height));
  if (!memory || !copy) throw EOutOfMemory(S_OUT_OF_MEMORY);
  {
    const TSelectObject selected(memory.Get(), copy.Get());
    BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), 0, 0, SRCCOPY | CAPTUREBLT);
  }
  BITMAPINFOHEADER header = TopDownHeader(width, height);
  if (!GetDIBits(screen.Get(), copy.Get(), 0, height, shot.Row(0), reinterpret_cast<BITMAPINFO*>(&header),
                 DIB_RGB_COLORS))
    throw EOutOfMemory(S_OUT_OF_MEMORY);
  return shot;
}

void SaveScreenshot(const std::string& path) { WriteFileBytes(path, EncodeBmp(CaptureScreen())); }
