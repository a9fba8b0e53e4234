#include "ui/Clipboard.h"

#include <cassert>
#include <cstring>
#include <new>

#include "errors/Exceptions.h"
#include "resources/Texts.h"
#include "ui/DIBitmap.h"
#include "platform/Handles.h"

namespace {

// Another program may hold the clipboard for a moment (a clipboard viewer reading it).
constexpr int OpenAttempts = 10;
constexpr DWORD OpenRetryMilliseconds = 20;

[[noreturn]] void RaiseClipboardError(DWORD code) {
  throw Exception(FormatText(S_CLIPBOARD_ERROR, SystemErrorText(code).c_str()));
}

// Open and emptied for one scope; whatever was set is the clipboard's once it closes.
class TClipboardScope {
 public:
  explicit TClipboardScope(HWND owner) {
    for (int attempt = 1; !OpenClipboard(owner); ++attempt) {
      if (attempt == OpenAttempts) RaiseClipboardError(GetLastError());
      Sleep(OpenRetryMilliseconds);
    }
    if (!EmptyClipboard()) {
      const DWORD error = GetLastError();
      CloseClipboard();
      RaiseClipboardError(error);
    }
  }
  ~TClipboardScope() { CloseClipboard(); }
  TClipboardScope(const TClipboardScope&) = delete;
  TClipboardScope& operator=(const TClipboardScope&) = delete;

  // The clipboard takes the memory over only when it accepts it.
  void Set(UINT format, TGlobalHandle memory) {
    if (!SetClipboardData(format, memory.Get())) RaiseClipboardError(GetLastError());
    memory.Release();
  }
  void Set(TEnhMetaFileHandle drawing) {
    if (!SetClipboardData(CF_ENHMETAFILE, drawing.Get())) RaiseClipboardError(GetLastError());
    drawing.Release();
  }
};

TGlobalHandle GlobalBlock(size_t size) {
  TGlobalHandle memory(GlobalAlloc(GMEM_MOVEABLE, size > 0 ? size : 1));
  if (!memory) throw EOutOfMemory(S_OUT_OF_MEMORY);
  return memory;
}

// Fills a global block through its locked address.
template <class Fill>
TGlobalHandle GlobalCopy(size_t size, Fill fill) {
  TGlobalHandle memory = GlobalBlock(size);
  void* target = GlobalLock(memory.Get());
  if (!target) throw EOutOfMemory(S_OUT_OF_MEMORY);
  fill(static_cast<uint8_t*>(target));
  GlobalUnlock(memory.Get());
  return memory;
}

template <class T>
TGlobalHandle GlobalCopyOf(const T* items, size_t count) {
  const size_t size = count * sizeof(T);
  return GlobalCopy(size, [&](uint8_t* target) { std::memcpy(target, items, size); });
}

}  // namespace

// Both blocks are made before the clipboard is opened, so that it is never left empty; each
// ends with a NUL, as the text formats require.
void CopyTextToClipboard(HWND owner, std::string_view text) {
  TGlobalHandle unicode, ansi;
  try {
    const std::wstring wide = WideText(text, CP_UTF8);
    unicode = GlobalCopyOf(wide.c_str(), wide.size() + 1);
    const std::string narrow = NarrowText(wide, CP_ACP);
    ansi = GlobalCopyOf(narrow.c_str(), narrow.size() + 1);
  } catch (const std::bad_alloc&) {
    throw EOutOfMemory(S_OUT_OF_MEMORY);
  }
  TClipboardScope clipboard(owner);
  clipboard.Set(CF_UNICODETEXT, std::move(unicode));
  clipboard.Set(CF_TEXT, std::move(ansi));
}

// A packed 24-bit DIB: the header, then the rows bottom-up, each padded to 32 bits; a
// 32-bit bitmap gives up its fourth byte.
void CopyBitmapToClipboard(HWND owner, const TDIBitmap& bitmap, HENHMETAFILE drawing) {
  const int pixelSize = PixelSizeOf(bitmap.PixelFormat());
  assert((pixelSize == 3 || pixelSize == 4) && "a bitmap without a colour table");
  GdiFlush();
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = bitmap.Width();
  header.biHeight = bitmap.Height();
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  const size_t stride = (static_cast<size_t>(bitmap.Width()) * 3 + 3) / 4 * 4;
  header.biSizeImage = static_cast<DWORD>(stride * static_cast<size_t>(bitmap.Height()));
  TGlobalHandle dib = GlobalCopy(sizeof header + header.biSizeImage, [&](uint8_t* target) {
    std::memcpy(target, &header, sizeof header);
    uint8_t* row = target + sizeof header;
    for (int y = bitmap.Height() - 1; y >= 0; --y, row += stride) {
      std::memset(row, 0, stride);
      const uint8_t* source = bitmap.ScanLine(y);
      for (int x = 0; x < bitmap.Width(); ++x, source += pixelSize) std::memcpy(row + 3 * x, source, 3);
    }
  });
  TEnhMetaFileHandle copy(drawing ? CopyEnhMetaFileW(drawing, nullptr) : nullptr);
  if (drawing && !copy) throw EOutOfMemory(S_OUT_OF_MEMORY);
  TClipboardScope clipboard(owner);
  clipboard.Set(CF_DIB, std::move(dib));
  if (copy) clipboard.Set(std::move(copy));
}
