// PNG, JPEG, GIF, TIFF and the rest through the platform's own image codecs (GDI+, part of
// Windows from XP on and of Wine), reached by name at run time so that the host imports
// nothing Windows XP lacks. Its decoders are the system's, kept up to date with it.
#include "host/ImageFile.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <vector>

#include "host/HostTexts.h"
#include "platform/WinApi.h"
#include "resources/Texts.h"

#include <objidl.h>

namespace {

// The flat interface's records and codes, as the platform's headers define them.
struct TStartupInput {
  UINT32 Version = 1;
  void* DebugEventCallback = nullptr;
  BOOL SuppressBackgroundThread = FALSE;
  BOOL SuppressExternalCodecs = FALSE;
};
struct TBitmapData {
  UINT Width;
  UINT Height;
  INT Stride;
  INT PixelFormat;
  void* Scan0;
  UINT_PTR Reserved;
};
struct TLockRect {
  INT X, Y, Width, Height;
};
struct TColorPalette {
  UINT Flags;
  UINT Count;
  UINT32 Entries[256];  // 0xAARRGGBB
};
constexpr INT PixelFormat8bppIndexed = 0x00030803;
constexpr INT PixelFormat24bppRGB = 0x00021808;
constexpr UINT ImageLockModeRead = 1;
constexpr int Ok = 0;

using TImage = void;
struct TFunctions {
  int(WINAPI* Startup)(ULONG_PTR*, const TStartupInput*, void*);
  void(WINAPI* Shutdown)(ULONG_PTR);
  int(WINAPI* CreateFromStream)(IStream*, TImage**);
  int(WINAPI* Dispose)(TImage*);
  int(WINAPI* Width)(TImage*, UINT*);
  int(WINAPI* Height)(TImage*, UINT*);
  int(WINAPI* Format)(TImage*, INT*);
  int(WINAPI* PaletteSize)(TImage*, INT*);
  int(WINAPI* Palette)(TImage*, TColorPalette*, INT);
  int(WINAPI* Lock)(TImage*, const TLockRect*, UINT, INT, TBitmapData*);
  int(WINAPI* Unlock)(TImage*, TBitmapData*);
};

template <class TFunction>
void Bind(HMODULE library, const char* name, TFunction& function) {
  function = reinterpret_cast<TFunction>(reinterpret_cast<void*>(GetProcAddress(library, name)));
  if (!function) throw EInvalidImage(S_HOST_NO_IMAGE_CODECS);
}

// Loaded and started once, on the first image that is not a BMP file, and ended with the
// program. The system folder's copy first; Windows XP keeps the library side by side,
// where only the loader's own search finds it.
class TImageCodecs {
 public:
  TImageCodecs() {
    FLibrary = LoadSystemLibrary("gdiplus.dll");
    if (!FLibrary) FLibrary = LoadLibraryA("gdiplus.dll");
    if (!FLibrary) throw EInvalidImage(S_HOST_NO_IMAGE_CODECS);
    Bind(FLibrary, "GdiplusStartup", F.Startup);
    Bind(FLibrary, "GdiplusShutdown", F.Shutdown);
    Bind(FLibrary, "GdipCreateBitmapFromStream", F.CreateFromStream);
    Bind(FLibrary, "GdipDisposeImage", F.Dispose);
    Bind(FLibrary, "GdipGetImageWidth", F.Width);
    Bind(FLibrary, "GdipGetImageHeight", F.Height);
    Bind(FLibrary, "GdipGetImagePixelFormat", F.Format);
    Bind(FLibrary, "GdipGetImagePaletteSize", F.PaletteSize);
    Bind(FLibrary, "GdipGetImagePalette", F.Palette);
    Bind(FLibrary, "GdipBitmapLockBits", F.Lock);
    Bind(FLibrary, "GdipBitmapUnlockBits", F.Unlock);
    const TStartupInput input;
    if (F.Startup(&FToken, &input, nullptr) != Ok) throw EInvalidImage(S_HOST_NO_IMAGE_CODECS);
  }
  ~TImageCodecs() { F.Shutdown(FToken); }
  TImageCodecs(const TImageCodecs&) = delete;
  TImageCodecs& operator=(const TImageCodecs&) = delete;

  static const TFunctions& Get() {
    static const TImageCodecs codecs;
    return codecs.F;
  }

 private:
  HMODULE FLibrary = nullptr;
  ULONG_PTR FToken = 0;
  TFunctions F{};
};

struct TStreamRelease {
  void operator()(IStream* stream) const noexcept { stream->Release(); }
};

// The bytes in a stream of the platform's own kind, which owns a copy of them.
std::unique_ptr<IStream, TStreamRelease> MemoryStream(const uint8_t* data, size_t size) {
  const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size ? size : 1);
  if (!block) throw EOutOfMemory(S_OUT_OF_MEMORY);
  std::memcpy(GlobalLock(block), data, size);
  GlobalUnlock(block);
  IStream* stream = nullptr;
  if (CreateStreamOnHGlobal(block, TRUE, &stream) != S_OK) {
    GlobalFree(block);
    throw EOutOfMemory(S_OUT_OF_MEMORY);
  }
  ULARGE_INTEGER length{};
  length.QuadPart = size;
  stream->SetSize(length);
  return std::unique_ptr<IStream, TStreamRelease>(stream);
}

class TDecodedImage {
 public:
  // A file whose signature names a format the codecs read is damaged when they refuse it.
  TDecodedImage(const TFunctions& f, IStream* stream, bool knownFormat) : F(f) {
    if (F.CreateFromStream(stream, &FImage) != Ok || !FImage)
      throw EInvalidImage(knownFormat ? S_HOST_DAMAGED_IMAGE : S_HOST_UNSUPPORTED_IMAGE);
  }
  ~TDecodedImage() { F.Dispose(FImage); }
  TDecodedImage(const TDecodedImage&) = delete;
  TDecodedImage& operator=(const TDecodedImage&) = delete;

  // A gray file becomes an 8-bit image without a palette, as the host keeps gray images,
  // whatever format the codec hands its pixels out in.
  THostBitmap ToHostBitmap(bool grayFile) const {
    UINT width = 0, height = 0;
    INT format = 0;
    if (F.Width(FImage, &width) != Ok || F.Height(FImage, &height) != Ok || F.Format(FImage, &format) != Ok ||
        width < 1 || height < 1 || width > INT32_MAX || height > INT32_MAX)
      throw EInvalidImage(S_HOST_DAMAGED_IMAGE);
    const bool indexed = format == PixelFormat8bppIndexed && !grayFile;
    THostBitmap bitmap(static_cast<int32_t>(width), static_cast<int32_t>(height),
                       indexed || grayFile ? hf8Bit : hf24Bit);
    if (indexed) ReadPalette(bitmap);
    CopyRows(bitmap, indexed ? PixelFormat8bppIndexed : PixelFormat24bppRGB);
    return bitmap;
  }

 private:
  // A gray ramp stays without a palette, as the host keeps gray images.
  void ReadPalette(THostBitmap& bitmap) const {
    TColorPalette palette{};
    INT size = 0;
    if (F.PaletteSize(FImage, &size) != Ok || size < 8 || size > static_cast<INT>(sizeof palette) ||
        F.Palette(FImage, &palette, size) != Ok)
      return;
    std::vector<uint8_t> table(PaletteBytes, 0);
    bool gray = palette.Count == 256;
    for (UINT i = 0; i < palette.Count && i < 256; ++i) {
      const UINT32 argb = palette.Entries[i];
      table[3 * i] = static_cast<uint8_t>(argb);
      table[3 * i + 1] = static_cast<uint8_t>(argb >> 8);
      table[3 * i + 2] = static_cast<uint8_t>(argb >> 16);
      gray = gray && (argb & 0xFFFFFF) == i * 0x010101u;
    }
    if (!gray) bitmap.SetPalette(std::move(table));
  }

  // Decoding happens here, row by row into the locked block: damage shows as a failure. A
  // gray image takes one channel of the 24-bit pixels.
  void CopyRows(THostBitmap& bitmap, INT format) const {
    const TLockRect all{0, 0, bitmap.Width(), bitmap.Height()};
    TBitmapData data{};
    if (F.Lock(FImage, &all, ImageLockModeRead, format, &data) != Ok) throw EInvalidImage(S_HOST_DAMAGED_IMAGE);
    const size_t width = static_cast<size_t>(bitmap.Width());
    const bool oneChannel = format == PixelFormat24bppRGB && bitmap.PixelFormat() == hf8Bit;
    for (int32_t y = 0; y < bitmap.Height(); ++y) {
      const auto* source = static_cast<const uint8_t*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride;
      uint8_t* target = bitmap.Row(y);
      if (oneChannel)
        for (size_t x = 0; x < width; ++x) target[x] = source[3 * x];
      else
        std::memcpy(target, source, width * bitmap.PixelFormat());
    }
    F.Unlock(FImage, &data);
  }

  const TFunctions& F;
  TImage* FImage = nullptr;
};

enum class TFileFormat { Unknown, Png, Jpeg, Gif, Tiff };

TFileFormat FormatOf(const uint8_t* data, size_t size) {
  const auto starts = [&](std::initializer_list<uint8_t> signature) {
    return size >= signature.size() && std::equal(signature.begin(), signature.end(), data);
  };
  if (starts({0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'})) return TFileFormat::Png;
  if (starts({0xFF, 0xD8, 0xFF})) return TFileFormat::Jpeg;
  if (starts({'G', 'I', 'F', '8'})) return TFileFormat::Gif;
  if (starts({'I', 'I', 42, 0}) || starts({'M', 'M', 0, 42})) return TFileFormat::Tiff;
  return TFileFormat::Unknown;
}

// Whether the file says its pixels are gray: a PNG's colour type 0 or 4 (with alpha), a
// JPEG frame of one component.
bool IsGrayFile(TFileFormat format, const uint8_t* data, size_t size) {
  if (format == TFileFormat::Png)
    return size > 25 && std::memcmp(data + 12, "IHDR", 4) == 0 && (data[25] & ~4) == 0;
  if (format != TFileFormat::Jpeg) return false;
  for (size_t at = 2; at + 9 < size && data[at] == 0xFF;) {
    const uint8_t marker = data[at + 1];
    const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (frame) return data[at + 9] == 1;
    at += 2 + (size_t{data[at + 2]} << 8 | data[at + 3]);
  }
  return false;
}

bool Contains(const uint8_t* begin, const uint8_t* end, std::initializer_list<uint8_t> bytes) {
  return std::search(begin, end, bytes.begin(), bytes.end()) != end;
}

// The codecs decode what a cut-off file holds and fill the rest without a word: a file is
// whole only with its format's end, a PNG's IEND chunk, a JPEG's end of image after its
// scan, a GIF's trailer (zeros may pad it). A TIFF has no end mark; its codec refuses it.
bool Truncated(TFileFormat format, const uint8_t* data, size_t size) {
  const uint8_t* end = data + size;
  switch (format) {
    case TFileFormat::Png: return !Contains(data + 8, end, {'I', 'E', 'N', 'D'});
    case TFileFormat::Jpeg: {
      const uint8_t scan[] = {0xFF, 0xDA};
      const uint8_t* at = std::search(data, end, std::begin(scan), std::end(scan));
      return at == end || !Contains(at, end, {0xFF, 0xD9});
    }
    case TFileFormat::Gif: {
      while (end > data && end[-1] == 0) --end;
      return end == data || end[-1] != 0x3B;
    }
    default: return false;
  }
}

}  // namespace

THostBitmap DecodeWithPlatform(const uint8_t* data, size_t size) {
  const TFileFormat format = FormatOf(data, size);
  if (Truncated(format, data, size)) throw EInvalidImage(S_HOST_DAMAGED_IMAGE);
  const TFunctions& functions = TImageCodecs::Get();
  const auto stream = MemoryStream(data, size);
  return TDecodedImage(functions, stream.get(), format != TFileFormat::Unknown).ToHostBitmap(IsGrayFile(format, data, size));
}
