#pragma once
// The platform's visual-styles library as the styled caption's themed painter uses it,
// reached at run time: Windows before XP has none.

#include "platform/WinApi.h"

// The visual-styles library of the platform, as the themed painter uses it.
class TCaptionTheme {
 public:
  virtual ~TCaptionTheme() = default;
  // Themes are on for the system and for this application.
  virtual bool Enabled() noexcept = 0;
  // Draws a part of the "WINDOW" class's theme in a state; nothing without a theme.
  virtual void DrawPart(HWND window, HDC dc, int part, int state, const RECT& rect) noexcept = 0;
};

// The theme that every styled caption asks; a test puts its own in place, null puts the
// platform's back.
TCaptionTheme& CaptionTheme() noexcept;
void SetCaptionTheme(TCaptionTheme* theme) noexcept;
