#include "ui/PngEncoder_win.h"

#include <objidl.h>

#include "errors/Exceptions.h"
#include "platform/Handles.h"
#include "resources/Texts.h"
#include "ui/DIBitmap.h"

namespace {

// The few entries of the library's flat interface that an encoding takes, as it exports
// them; a status of 0 is success.
struct TStartupInput {
  UINT32 Version;
  void* DebugCallback;
  BOOL SuppressBackgroundThread;
  BOOL SuppressExternalCodecs;
};
using TStartup = int(WINAPI*)(ULONG_PTR*, const TStartupInput*, void*);
using TShutdown = void(WINAPI*)(ULONG_PTR);
using TCreateBitmap = int(WINAPI*)(INT, INT, INT, INT, BYTE*, void**);
using TSetResolution = int(WINAPI*)(void*, float, float);
using TSaveToStream = int(WINAPI*)(void*, IStream*, const CLSID*, const void*);
using TDisposeImage = int(WINAPI*)(void*);
using TCreateStream = HRESULT(WINAPI*)(HGLOBAL, BOOL, IStream**);

constexpr INT PixelFormat24Bits = 0x00021808;
constexpr CLSID PngEncoder = {0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};

[[noreturn]] void Fail(const std::string& reason) { throw Exception(FormatText(S_PNG_ERROR, reason.c_str())); }

void Check(int status) {
  if (status != 0) Fail(FormatText(S_GDIPLUS_STATUS, status));
}

template <class TEntry>
TEntry EntryOf(HMODULE library, const char* name) {
  const auto entry = reinterpret_cast<TEntry>(reinterpret_cast<void*>(GetProcAddress(library, name)));
  if (!entry) Fail(S_GDIPLUS_MISSING);
  return entry;
}

// One session of the library, from its start-up to its shutdown.
class TGdiPlusSession {
 public:
  TGdiPlusSession() : FLibrary(LoadLibraryA("gdiplus.dll")) {
    if (!FLibrary) Fail(S_GDIPLUS_MISSING);
    FShutdown = EntryOf<TShutdown>(Library(), "GdiplusShutdown");
    const TStartupInput input{1, nullptr, FALSE, FALSE};
    Check(EntryOf<TStartup>(Library(), "GdiplusStartup")(&FToken, &input, nullptr));
  }
  ~TGdiPlusSession() { FShutdown(FToken); }
  TGdiPlusSession(const TGdiPlusSession&) = delete;
  TGdiPlusSession& operator=(const TGdiPlusSession&) = delete;

  HMODULE Library() const noexcept { return FLibrary.Get(); }

 private:
  TLibraryHandle FLibrary;
  TShutdown FShutdown = nullptr;
  ULONG_PTR FToken = 0;
};

// The library's bitmap over the pixels of ours, which it reads in place from the top row,
// stepping as our rows lie in memory (bottom-up: a negative step).
class TGdiPlusBitmap {
 public:
  TGdiPlusBitmap(const TGdiPlusSession& session, const TDIBitmap& bitmap)
      : FDispose(EntryOf<TDisposeImage>(session.Library(), "GdipDisposeImage")) {
    const INT step = bitmap.Height() > 1 ? static_cast<INT>(bitmap.ScanLine(1) - bitmap.ScanLine(0)) : bitmap.BytesPerLine();
    Check(EntryOf<TCreateBitmap>(session.Library(), "GdipCreateBitmapFromScan0")(
        bitmap.Width(), bitmap.Height(), step, PixelFormat24Bits, bitmap.ScanLine(0), &FImage));
  }
  ~TGdiPlusBitmap() {
    if (FImage) FDispose(FImage);
  }
  TGdiPlusBitmap(const TGdiPlusBitmap&) = delete;
  TGdiPlusBitmap& operator=(const TGdiPlusBitmap&) = delete;

  void* Image() const noexcept { return FImage; }

 private:
  TDisposeImage FDispose;
  void* FImage = nullptr;
};

// A stream over memory that grows as the encoder writes.
class TMemoryStream {
 public:
  TMemoryStream() : FLibrary(LoadLibraryA("ole32.dll")) {
    if (!FLibrary) Fail(SystemErrorText(GetLastError()));
    const HRESULT result = EntryOf<TCreateStream>(FLibrary.Get(), "CreateStreamOnHGlobal")(nullptr, TRUE, &FStream);
    if (FAILED(result)) Fail(SystemErrorText(static_cast<DWORD>(result)));
  }
  ~TMemoryStream() {
    if (FStream) FStream->Release();
  }
  TMemoryStream(const TMemoryStream&) = delete;
  TMemoryStream& operator=(const TMemoryStream&) = delete;

  IStream* Get() const noexcept { return FStream; }

  std::string Bytes() const {
    STATSTG status{};
    LARGE_INTEGER start{};
    if (FAILED(FStream->Stat(&status, STATFLAG_NONAME)) || FAILED(FStream->Seek(start, STREAM_SEEK_SET, nullptr)))
      Fail(SystemErrorText(ERROR_READ_FAULT));
    std::string bytes(static_cast<size_t>(status.cbSize.QuadPart), '\0');
    ULONG read = 0;
    if (FAILED(FStream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read)) || read != bytes.size())
      Fail(SystemErrorText(ERROR_READ_FAULT));
    return bytes;
  }

 private:
  TLibraryHandle FLibrary;
  IStream* FStream = nullptr;
};

}  // namespace

std::string PngBytes(const TDIBitmap& bitmap, int pixelsPerInch) {
  GdiFlush();
  const TGdiPlusSession session;
  const TGdiPlusBitmap image(session, bitmap);
  Check(EntryOf<TSetResolution>(session.Library(), "GdipBitmapSetResolution")(
      image.Image(), static_cast<float>(pixelsPerInch), static_cast<float>(pixelsPerInch)));
  const TMemoryStream stream;
  Check(EntryOf<TSaveToStream>(session.Library(), "GdipSaveImageToStream")(image.Image(), stream.Get(), &PngEncoder,
                                                                           nullptr));
  return stream.Bytes();
}
