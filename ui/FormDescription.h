#pragma once
// What a form is built from: a plain table of its controls and the form's own properties,
// the counterpart of a form resource. Each entry names the kind of its control by the
// function that makes one; the kinds read the properties that concern them.

#include <span>

#include "ui/Controls.h"

struct TControlDescription {
  const char* Name = "";
  TWinControl* (*Make)(TComponent* owner) = nullptr;
  TBounds Bounds{};
  const char* Caption = "";
  // Position in the keyboard's tab order; controls without a tab stop ignore it.
  int TabOrder = 0;
  TAlign Align = alNone;
  TAnchors Anchors = akLeft | akTop;
  // Push buttons.
  int ModalResult = 0;
  bool Default = false;
  bool Cancel = false;
  // Radio groups: items separated by '\n'.
  const char* Items = "";
  int Columns = 1;
  int ItemIndex = -1;
  // Labels.
  bool WordWrap = false;
  bool ShowAccelChar = true;
};

template <class T>
TWinControl* MakeControl(TComponent* owner) {
  return new T(owner);
}

enum TBorderStyle : uint8_t { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TBorderIcon : uint8_t { biSystemMenu = 1, biMinimize = 2, biMaximize = 4 };
using TBorderIcons = uint8_t;
enum TPosition : uint8_t { poDesigned, poDefault, poScreenCenter };
enum TWindowState : uint8_t { wsNormal, wsMaximized };

struct TFontDescription {
  const char* Name = "MS Sans Serif";
  int Height = -11;
  BYTE Charset = DEFAULT_CHARSET;
};

struct TFormDescription {
  const char* Caption = "";
  TBounds Bounds{0, 0, 320, 240};
  TBorderStyle BorderStyle = bsSizeable;
  TBorderIcons BorderIcons = biSystemMenu | biMinimize | biMaximize;
  // A resource name in this module's icons, or null for the system's.
  const char* Icon = nullptr;
  TColor Color = clBtnFace;
  TFontDescription Font{};
  SIZE MinSize{0, 0};
  TPosition Position = poDesigned;
  TWindowState WindowState = wsNormal;
  bool Scaled = true;
  // The resolution its sizes are given in: forms are designed at 96 pixels per inch.
  int PixelsPerInch = 96;
  std::span<const TControlDescription> Controls{};
};
