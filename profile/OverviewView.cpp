#include "profile/OverviewView.h"

#include <algorithm>
#include <cmath>

namespace {

double FitScale(TImageSize image, TViewSize size) noexcept {
  if (image.Width <= 0 || image.Height <= 0 || size.Width <= 0 || size.Height <= 0) return 1;
  return std::min(double(size.Width) / image.Width, double(size.Height) / image.Height);
}

// The first image coordinate shown along one direction: centred when the image is shorter
// than the view, else inside the image.
double Placed(double first, double extent, double shown) noexcept {
  if (extent <= shown) return (extent - shown) / 2;
  return std::clamp(first, 0.0, extent - shown);
}

TOverviewView Kept(TOverviewView view, TImageSize image, TViewSize size) noexcept {
  view.Left = Placed(view.Left, image.Width, size.Width / view.Scale);
  view.Top = Placed(view.Top, image.Height, size.Height / view.Scale);
  return view;
}

}  // namespace

TOverviewView FitView(TImageSize image, TViewSize size) noexcept {
  return Kept({0, 0, FitScale(image, size)}, image, size);
}

TOverviewView ZoomView(const TOverviewView& view, TImageSize image, TViewSize size, double x, double y,
                       double factor) noexcept {
  const double fit = FitScale(image, size);
  const double scale = std::clamp(view.Scale * factor, fit, std::max(fit, MaxOverviewScale));
  const double imageX = ImageX(view, x), imageY = ImageY(view, y);
  return Kept({imageX - x / scale, imageY - y / scale, scale}, image, size);
}

TOverviewView PanView(const TOverviewView& view, TImageSize image, TViewSize size, double dx, double dy) noexcept {
  return Kept({view.Left - dx / view.Scale, view.Top - dy / view.Scale, view.Scale}, image, size);
}

TPixelPoint ImagePixelAt(const TOverviewView& view, int x, int y) noexcept {
  return {static_cast<int>(std::floor(ImageX(view, x + 0.5))), static_cast<int>(std::floor(ImageY(view, y + 0.5)))};
}
