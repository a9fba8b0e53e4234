#pragma once
// Ownership of Win32 handles: one small template, one traits struct per kind of handle.
// Copying is deleted, moving hands the handle over; the destructor frees it.

#include <utility>

#include "platform/WinApi.h"

template <class Traits>
class TScopedHandle {
 public:
  using THandle = typename Traits::THandle;

  TScopedHandle() noexcept = default;
  explicit TScopedHandle(THandle handle) noexcept : FHandle(handle) {}
  ~TScopedHandle() { Reset(); }
  TScopedHandle(const TScopedHandle&) = delete;
  TScopedHandle& operator=(const TScopedHandle&) = delete;
  TScopedHandle(TScopedHandle&& other) noexcept : FHandle(other.Release()) {}
  TScopedHandle& operator=(TScopedHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }

  THandle Get() const noexcept { return FHandle; }
  explicit operator bool() const noexcept { return FHandle != Traits::Invalid(); }
  THandle Release() noexcept { return std::exchange(FHandle, Traits::Invalid()); }
  void Reset(THandle handle = Traits::Invalid()) noexcept {
    const THandle old = std::exchange(FHandle, handle);
    if (old != Traits::Invalid()) Traits::Close(old);
  }

 private:
  THandle FHandle = Traits::Invalid();
};

// A handle whose invalid value is null and that one function frees.
template <class H, auto Free>
struct TNullHandleTraits {
  using THandle = H;
  static THandle Invalid() noexcept { return nullptr; }
  static void Close(THandle handle) noexcept { Free(handle); }
};

// Files and searches: their invalid value is INVALID_HANDLE_VALUE, not null.
template <auto Free>
struct TInvalidHandleTraits {
  using THandle = HANDLE;
  static THandle Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(THandle handle) noexcept { Free(handle); }
};

using TBrushHandle = TScopedHandle<TNullHandleTraits<HBRUSH, DeleteObject>>;
using TPenHandle = TScopedHandle<TNullHandleTraits<HPEN, DeleteObject>>;
using TFontHandle = TScopedHandle<TNullHandleTraits<HFONT, DeleteObject>>;
using TBitmapHandle = TScopedHandle<TNullHandleTraits<HBITMAP, DeleteObject>>;
using TPaletteHandle = TScopedHandle<TNullHandleTraits<HPALETTE, DeleteObject>>;
using TRegionHandle = TScopedHandle<TNullHandleTraits<HRGN, DeleteObject>>;
using TFileHandle = TScopedHandle<TInvalidHandleTraits<CloseHandle>>;
using TWindowHandle = TScopedHandle<TNullHandleTraits<HWND, DestroyWindow>>;
using TRegKeyHandle = TScopedHandle<TNullHandleTraits<HKEY, RegCloseKey>>;
using TLibraryHandle = TScopedHandle<TNullHandleTraits<HMODULE, FreeLibrary>>;
using TMemoryDc = TScopedHandle<TNullHandleTraits<HDC, DeleteDC>>;
using TIconHandle = TScopedHandle<TNullHandleTraits<HICON, DestroyIcon>>;
using TMenuHandle = TScopedHandle<TNullHandleTraits<HMENU, DestroyMenu>>;
using TEnhMetaFileHandle = TScopedHandle<TNullHandleTraits<HENHMETAFILE, DeleteEnhMetaFile>>;
// Global memory: handed over to the clipboard, which then owns it, or freed.
using TGlobalHandle = TScopedHandle<TNullHandleTraits<HGLOBAL, GlobalFree>>;

// Selects a GDI object into a device context for one scope and puts the old one back.
class TSelectObject {
 public:
  TSelectObject(HDC dc, HGDIOBJ object) noexcept : FDc(dc), FOld(SelectObject(dc, object)) {}
  ~TSelectObject() { SelectObject(FDc, FOld); }
  TSelectObject(const TSelectObject&) = delete;
  TSelectObject& operator=(const TSelectObject&) = delete;

 private:
  HDC FDc;
  HGDIOBJ FOld;
};

// A window's device context for one scope: its client area (GetDC) or the whole window,
// frame and caption included (GetWindowDC); ReleaseDC gives either back.
template <HDC(WINAPI* Acquire)(HWND)>
class TScopedWindowDc {
 public:
  explicit TScopedWindowDc(HWND window) noexcept : FWindow(window), FDc(Acquire(window)) {}
  ~TScopedWindowDc() { ReleaseDC(FWindow, FDc); }
  TScopedWindowDc(const TScopedWindowDc&) = delete;
  TScopedWindowDc& operator=(const TScopedWindowDc&) = delete;
  HDC Get() const noexcept { return FDc; }

 private:
  HWND FWindow;
  HDC FDc;
};

using TWindowDc = TScopedWindowDc<GetDC>;
using TWindowFrameDc = TScopedWindowDc<GetWindowDC>;
