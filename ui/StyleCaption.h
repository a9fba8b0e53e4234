#pragma once
// The caption bar that a styled form paints itself while styling is on: its colours and
// font, the non-client painting, a classic painter for systems without visual themes and
// a themed one that sets squares of the real caption into a gray copy of it, and the
// messages after which the caption is painted again.

#include "ui/CaptionGeometry.h"
#include "ui/CaptionTheme.h"
#include "ui/Controls.h"
#include "ui/DIBitmap.h"

class TStyleForm;

// The gray sheet is shared by every themed caption of the process and built on first need.
bool LightTheme() noexcept;
void DiscardGraySheet() noexcept;

// The caption font as the system's metrics describe it, reduced to what a font object
// keeps: charset, name, height, pitch, bold, italic, underline and strike-out.
LOGFONTA CaptionFontFrom(const LOGFONTA& metrics) noexcept;

// A square with a light edge at its top and left, a dark one at its right and bottom.
void DrawBevelBlock(TCanvas& canvas, const RECT& rect, COLORREF light, COLORREF dark, COLORREF fill);

class TStyleCaption {
 public:
  explicit TStyleCaption(TStyleForm& form);

  void UpdateCaptionColors() noexcept;
  void UpdateCaptionFont() noexcept;
  // The caption bar in window coordinates, and the frame around it.
  RECT CaptionRect() const noexcept;
  SIZE FrameSize() const noexcept;
  // Each paints into the window's DC and returns what it painted, in window coordinates.
  RECT PaintClassicCaption(HDC dc, bool active);
  RECT PaintThemedCaption(HDC dc, bool active);
  void RepaintCaption(bool active);
  // True when the message is answered.
  bool HandleMessage(TMessage& message);

  const TCaptionColors& ActiveColors() const noexcept { return FActive; }
  const TCaptionColors& InactiveColors() const noexcept { return FInactive; }
  COLORREF FaceColor() const noexcept { return FFaceColor; }
  COLORREF FaceShadowColor() const noexcept { return FFaceShadowColor; }
  const LOGFONTA& CaptionFont() const noexcept { return FCaptionFont; }

 private:
  RECT PaintCaption(HDC dc, bool active);
  void NonClientPaint(TMessage& message);
  void SetText(TMessage& message);
  bool HasIcon() const noexcept;
  bool ToolWindow() const noexcept;
  void PaintClassicSteps(TDIBitmap& bitmap, const TCaptionColors& colors, int split);
  void DrawIcon(HDC dc, RECT& rect) const;
  void DrawCaptionText(TCanvas& canvas, RECT rect, const std::string& text, bool active) const;
  RECT ThemedRect(const TDIBitmap& sheet, const RECT& bar, int height) const;
  void DrawClassicButtons(HDC dc, RECT& rect) const;
  void DrawThemedBlocks(TDIBitmap& composite, const TDIBitmap& strip, const TCaptionColors& colors, int size) const;
  void DrawThemedButtons(TDIBitmap& composite, int button, bool active) const;
  HWND Window() const noexcept;

  TStyleForm& FForm;
  TCaptionColors FActive{};
  TCaptionColors FInactive{};
  COLORREF FFaceColor = 0;
  COLORREF FFaceShadowColor = 0;
  LOGFONTA FCaptionFont{};
};
