#pragma once
// Which part of the image the line window's overview shows: the image point (in pixels,
// fractions allowed, 0 the first pixel's left edge) at the view's top left corner and the
// view's pixels per image pixel. The whole image fits at first; the wheel zooms in to a
// pixel drawn many pixels wide, about a point that stays under the pointer, and the view
// pans within the image. An image smaller than the view in a direction stays centred in it.

#include "profile/LineEnds.h"

struct TOverviewView {
  double Left = 0;
  double Top = 0;
  double Scale = 1;
  friend bool operator==(const TOverviewView&, const TOverviewView&) = default;
};

// The view's size in its own pixels.
struct TViewSize {
  int Width;
  int Height;
};

// The deepest zoom: an image pixel this many view pixels wide.
constexpr double MaxOverviewScale = 32;

TOverviewView FitView(TImageSize image, TViewSize size) noexcept;
// `factor` times the scale, kept between the fitting one and the deepest, with the image
// point under the view point (x, y) kept there as far as the image's edges allow.
TOverviewView ZoomView(const TOverviewView& view, TImageSize image, TViewSize size, double x, double y,
                       double factor) noexcept;
// The view moved so that the image moves by (dx, dy) view pixels, within the image's edges.
TOverviewView PanView(const TOverviewView& view, TImageSize image, TViewSize size, double dx, double dy) noexcept;

// From a view point to the image's continuous coordinates and back; a view pixel's centre
// is its column plus a half, as is an image pixel's.
inline double ImageX(const TOverviewView& view, double x) noexcept { return view.Left + x / view.Scale; }
inline double ImageY(const TOverviewView& view, double y) noexcept { return view.Top + y / view.Scale; }
inline double ViewX(const TOverviewView& view, double x) noexcept { return (x - view.Left) * view.Scale; }
inline double ViewY(const TOverviewView& view, double y) noexcept { return (y - view.Top) * view.Scale; }
// The image pixel under a view pixel's centre (outside the image when the view shows more).
TPixelPoint ImagePixelAt(const TOverviewView& view, int x, int y) noexcept;
