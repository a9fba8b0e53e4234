#include "host/ImageView.h"

#include <algorithm>

#include "host/Selection.h"
#include "platform/Handles.h"

namespace {

constexpr char ViewClass[] = "OstravineHostImageView";
constexpr int LineStep = 16;

struct TDibInfo {
  BITMAPINFOHEADER Header;
  RGBQUAD Colors[256];
};

// Top-down, so that row 0 of the memory is the top row on screen, as plug-ins see it.
TDibInfo DibInfoOf(const THostBitmap& bitmap) {
  TDibInfo info{};
  info.Header.biSize = sizeof info.Header;
  info.Header.biWidth = bitmap.Width();
  info.Header.biHeight = -bitmap.Height();
  info.Header.biPlanes = 1;
  info.Header.biBitCount = static_cast<WORD>(8 * bitmap.PixelFormat());
  info.Header.biCompression = BI_RGB;
  if (bitmap.PixelFormat() != hf8Bit) return info;
  info.Header.biClrUsed = 256;
  const auto& palette = bitmap.Palette();
  for (int i = 0; i < 256; ++i) {
    const uint8_t* entry = palette.empty() ? nullptr : &palette[3 * i];
    const BYTE gray = static_cast<BYTE>(i);
    info.Colors[i] = entry ? RGBQUAD{entry[0], entry[1], entry[2], 0} : RGBQUAD{gray, gray, gray, 0};
  }
  return info;
}

int ScrollLimit(int32_t imageSize, LONG clientSize) { return std::max<int>(0, imageSize - clientSize); }

}  // namespace

TImageView::TImageView(HWND parent) {
  RegisterWindowClass(ViewClass, CS_HREDRAW | CS_VREDRAW, nullptr);
  CreateWindowExA(WS_EX_CLIENTEDGE, ViewClass, "", WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL, 0, 0, 0, 0,
                  parent, nullptr, GetModuleHandleA(nullptr), this);
}

void TImageView::SetDocument(TDocument* document) {
  FDocument = document;
  FOrigin = POINT{0, 0};
  FDragging = false;
  UpdateScrollBars();
  InvalidateRect(FHandle, nullptr, FALSE);
}

void TImageView::Refresh() {
  InvalidateRect(FHandle, nullptr, FALSE);
  UpdateWindow(FHandle);
}

LRESULT TImageView::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      Paint(BeginPaint(FHandle, &paint));
      EndPaint(FHandle, &paint);
      return 0;
    }
    case WM_SIZE:
      UpdateScrollBars();
      return 0;
    case WM_HSCROLL:
    case WM_VSCROLL:
      Scroll(message == WM_HSCROLL ? SB_HORZ : SB_VERT, LOWORD(wParam));
      return 0;
    case WM_MOUSEWHEEL:
      Scroll(SB_VERT, static_cast<short>(HIWORD(wParam)) > 0 ? SB_LINEUP : SB_LINEDOWN);
      return 0;
    case WM_LBUTTONDOWN:
      if (!FDocument) return 0;
      SetCapture(FHandle);
      FDragging = true;
      FMoved = false;
      FAnchor = ImagePoint(lParam);
      return 0;
    case WM_MOUSEMOVE:
      if (FDragging) DragTo(ImagePoint(lParam));
      return 0;
    case WM_LBUTTONUP:
      if (FDragging) EndDrag(FMoved);
      ReleaseCapture();
      return 0;
    case WM_CAPTURECHANGED:
      FDragging = false;
      return 0;
    default:
      return Default(message, wParam, lParam);
  }
}

void TImageView::Paint(HDC dc) {
  RECT client;
  GetClientRect(FHandle, &client);
  const TBrushHandle background(CreateSolidBrush(GetSysColor(COLOR_APPWORKSPACE)));
  if (!FDocument) {
    FillRect(dc, &client, background.Get());
    return;
  }
  THostBitmap& bitmap = FDocument->Bitmap;
  const TDibInfo info = DibInfoOf(bitmap);
  StretchDIBits(dc, -FOrigin.x, -FOrigin.y, bitmap.Width(), bitmap.Height(), 0, 0, bitmap.Width(), bitmap.Height(),
                bitmap.Row(0), reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, SRCCOPY);
  const int saved = SaveDC(dc);
  ExcludeClipRect(dc, -FOrigin.x, -FOrigin.y, bitmap.Width() - FOrigin.x, bitmap.Height() - FOrigin.y);
  FillRect(dc, &client, background.Get());
  RestoreDC(dc, saved);
  PaintSelection(dc);
}

// Inclusive pixel coordinates: the frame runs around the outside of the selected pixels'
// cells, a white line under a dotted black one so that it shows on any image.
void TImageView::PaintSelection(HDC dc) {
  const TRect& selection = FDocument->Selection;
  if (selection.Left < 0) return;
  const RECT frame{selection.Left - FOrigin.x, selection.Top - FOrigin.y, selection.Right + 1 - FOrigin.x,
                   selection.Bottom + 1 - FOrigin.y};
  const TPenHandle white(CreatePen(PS_SOLID, 1, RGB(255, 255, 255)));
  const TPenHandle dotted(CreatePen(PS_DOT, 1, RGB(0, 0, 0)));
  const TSelectObject hollow(dc, GetStockObject(NULL_BRUSH));
  SetBkMode(dc, TRANSPARENT);
  for (HPEN pen : {white.Get(), dotted.Get()}) {
    const TSelectObject selected(dc, pen);
    Rectangle(dc, frame.left, frame.top, frame.right, frame.bottom);
  }
}

void TImageView::UpdateScrollBars() {
  RECT client;
  GetClientRect(FHandle, &client);
  const int32_t width = FDocument ? FDocument->Bitmap.Width() : 0;
  const int32_t height = FDocument ? FDocument->Bitmap.Height() : 0;
  FOrigin.x = std::clamp<LONG>(FOrigin.x, 0, ScrollLimit(width, client.right));
  FOrigin.y = std::clamp<LONG>(FOrigin.y, 0, ScrollLimit(height, client.bottom));
  SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, std::max(width - 1, 0),
                  static_cast<UINT>(client.right), FOrigin.x, 0};
  SetScrollInfo(FHandle, SB_HORZ, &info, TRUE);
  info.nMax = std::max(height - 1, 0);
  info.nPage = static_cast<UINT>(client.bottom);
  info.nPos = FOrigin.y;
  SetScrollInfo(FHandle, SB_VERT, &info, TRUE);
}

void TImageView::Scroll(int bar, WORD code) {
  SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
  GetScrollInfo(FHandle, bar, &info);
  LONG& position = bar == SB_HORZ ? FOrigin.x : FOrigin.y;
  const int page = static_cast<int>(info.nPage);
  switch (code) {
    case SB_LINEUP: position -= LineStep; break;
    case SB_LINEDOWN: position += LineStep; break;
    case SB_PAGEUP: position -= page; break;
    case SB_PAGEDOWN: position += page; break;
    case SB_THUMBTRACK: position = info.nTrackPos; break;
    default: return;
  }
  UpdateScrollBars();
  InvalidateRect(FHandle, nullptr, FALSE);
}

POINT TImageView::ImagePoint(LPARAM lParam) const {
  return POINT{static_cast<short>(LOWORD(lParam)) + FOrigin.x, static_cast<short>(HIWORD(lParam)) + FOrigin.y};
}

void TImageView::DragTo(POINT point) {
  FMoved = FMoved || point.x != FAnchor.x || point.y != FAnchor.y;
  const THostBitmap& bitmap = FDocument->Bitmap;
  FDocument->Selection = SelectionBetween(FAnchor.x, FAnchor.y, point.x, point.y, bitmap.Width(), bitmap.Height());
  InvalidateRect(FHandle, nullptr, FALSE);
  if (OnSelectionChanged) OnSelectionChanged();
}

// A click without a drag clears the selection.
void TImageView::EndDrag(bool moved) {
  FDragging = false;
  if (moved) return;
  FDocument->Selection = NoSelection;
  InvalidateRect(FHandle, nullptr, FALSE);
  if (OnSelectionChanged) OnSelectionChanged();
}
