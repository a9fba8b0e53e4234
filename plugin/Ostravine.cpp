// The plug-in's two exports. A host written in any language calls them, so nothing thrown
// inside may cross them: each export is one guarded call that reports what escaped.

#include <exception>
#include <memory>

#include "diagnostics/ExceptionReportHandler.h"
#include "image/PluginFloatMap.h"
#include "image/PluginLinearBitmap.h"
#include "hostabi/HostInterface.h"
#include "dialog/OstravineMain.h"
#include "resources/Texts.h"
#include "ui/Application.h"
#include "ui/MessageDialog.h"
#include "ui/StdCtrls.h"

namespace {

THostCallback HostCallback = nullptr;

constexpr int32_t CommandResult = 1;

void ShowBoundaryError(const char* text) noexcept {
  try {
    ShowMessageBox(text, mkError, ButtonBit(bnOK), 0);
  } catch (...) {
    // Nothing is left that could tell the user; the host must not see the error.
  }
}

// Runs one host call; an error that escapes is shown and the call gets its fallback result.
// A fault (a bad host record read while the command prepares its raster, a broken
// callback) gets the exception report, as it would inside the dialog.
template <class Body>
int32_t GuardHostCall(int32_t fallback, Body body) noexcept {
  try {
    return body();
  } catch (const std::exception& error) {
    if (OffersBugReport(error))
      ExceptionReportHandler(nullptr, std::current_exception());
    else
      ShowBoundaryError(error.what());
  } catch (...) {
    ShowBoundaryError(S_UNKNOWN_ERROR);
  }
  return fallback;
}

void Refuse(const char* text) { ShowMessageBox(text, mkInformation, ButtonBit(bnOK), 0); }

bool IsAcceptedFormat(int32_t format) {
  return format == hf8Bit || format == hf24Bit || format == hfFloat || format == hfComplex;
}

// The host's main window owns every window of the plug-in.
void AdoptHostMainWindow() {
  HWND mainWindow = nullptr;
  HostCallback(hrMainWindow, &mainWindow);
  Application.SetHandle(mainWindow);
}

// The host's 8-bit and 24-bit pixels are worked on in place; real and complex images are
// profiled from a private copy of the host's doubles. The dialog goes before its raster.
void ShowProfile(const THostImage& image, const TRect& selection) {
  std::unique_ptr<TPluginLinearBitmap> bitmap;
  std::unique_ptr<TComplexMap> map;
  if (image.PixelFormat == hf8Bit || image.PixelFormat == hf24Bit)
    bitmap = std::make_unique<TPluginLinearBitmap>(image);
  else
    map = HostImageToProfileMap(image);
  auto dialog = CreateForm<TProfilePluginForm>(nullptr, HostCallback);
  dialog->SetSelection(selection);
  if (bitmap) {
    dialog->SetBitmap(bitmap.get());
    if (bitmap->PixelFormat() == TPixelFormat::Bgr24) dialog->PlaneGroup->SetItemIndex(piAll);
  } else {
    dialog->SetMap(map.get());
    dialog->UseMapPlanes(image.PixelFormat == hfComplex);
  }
  dialog->ShowModal();
}

void RunCommand(const THostImage& image) {
  if (!IsAcceptedFormat(image.PixelFormat)) return Refuse(S_ONLY_8_OR_24_BIT);
  const TRect selection = FindSelection(image, HostCallback);
  if (!IsUsableSelection(selection)) return Refuse(S_NO_SELECTION);
  ShowProfile(image, selection);
}

}  // namespace

extern "C" int32_t OSTRAVINE_STDCALL RegisterPlugin(THostCallback callback) noexcept {
  return GuardHostCall(0, [callback] {
    HostCallback = callback;
    if (!callback) return 0;
    TPluginInfo info{};
    info.Menu = "Plugins";
    info.Name = "Ostravine";
    info.Description = "Show profile of selection diagonal";
    info.Flags = 1;
    return callback(hrRegister, &info);
  });
}

// Without a registered callback there is no host to talk to, and without a record no
// image: both calls end at once instead of faulting.
extern "C" int32_t OSTRAVINE_STDCALL ProcessImage(int32_t operation, const THostImage* image) noexcept {
  return GuardHostCall(CommandResult, [operation, image] {
    if (!HostCallback) return CommandResult;
    AdoptHostMainWindow();
    if (operation == 1 && image) RunCommand(*image);
    return CommandResult;
  });
}
