#include "ui/CaptionTheme.h"

namespace {

template <class F>
F Procedure(HMODULE library, const char* name) noexcept {
  return library ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(library, name))) : nullptr;
}

// Windows before XP has no visual-styles library, so it is looked up at run time, in the
// system folder only. It is never freed: this object goes with the plug-in's unload, and
// freeing a library from inside an unload, under the loader's lock, is not safe.
class TUxTheme final : public TCaptionTheme {
 public:
  TUxTheme() noexcept
      : FLibrary(LoadSystemLibrary("uxtheme.dll")),
        FOpen(Procedure<HANDLE(WINAPI*)(HWND, LPCWSTR)>(FLibrary, "OpenThemeData")),
        FClose(Procedure<HRESULT(WINAPI*)(HANDLE)>(FLibrary, "CloseThemeData")),
        FDraw(Procedure<HRESULT(WINAPI*)(HANDLE, HDC, int, int, const RECT*, const RECT*)>(FLibrary,
                                                                                         "DrawThemeBackground")),
        FIsThemeActive(Procedure<BOOL(WINAPI*)()>(FLibrary, "IsThemeActive")),
        FIsAppThemed(Procedure<BOOL(WINAPI*)()>(FLibrary, "IsAppThemed")) {}

  bool Enabled() noexcept override {
    return FOpen && FClose && FDraw && FIsThemeActive && FIsAppThemed && FIsThemeActive() && FIsAppThemed();
  }

  void DrawPart(HWND window, HDC dc, int part, int state, const RECT& rect) noexcept override {
    if (!FOpen || !FClose || !FDraw) return;
    const HANDLE theme = FOpen(window, L"WINDOW");
    if (!theme) return;
    FDraw(theme, dc, part, state, &rect, nullptr);
    FClose(theme);
  }

 private:
  HMODULE FLibrary;
  HANDLE(WINAPI* FOpen)(HWND, LPCWSTR);
  HRESULT(WINAPI* FClose)(HANDLE);
  HRESULT(WINAPI* FDraw)(HANDLE, HDC, int, int, const RECT*, const RECT*);
  BOOL(WINAPI* FIsThemeActive)();
  BOOL(WINAPI* FIsAppThemed)();
};

TCaptionTheme* ThemeInUse = nullptr;

}  // namespace

TCaptionTheme& CaptionTheme() noexcept {
  static TUxTheme platform;
  return ThemeInUse ? *ThemeInUse : platform;
}

void SetCaptionTheme(TCaptionTheme* theme) noexcept { ThemeInUse = theme; }
