#include "profile/LineEnds.h"

#include <algorithm>
#include <cmath>
#include <utility>

TLineEnds EndsOf(const TRect& selection, bool direction, TLineShape shape) noexcept {
  if (shape == TLineShape::Rectangle) return {{selection.Left, selection.Top}, {selection.Right, selection.Bottom}};
  if (direction) return {{selection.Left, selection.Bottom}, {selection.Right, selection.Top}};
  return {{selection.Left, selection.Top}, {selection.Right, selection.Bottom}};
}

// A vertical line keeps the order it is given: the walk runs down or up it alike.
TLineEnds Ordered(TPixelPoint a, TPixelPoint b, TLineShape shape) noexcept {
  if (shape == TLineShape::Rectangle)
    return {{std::min(a.X, b.X), std::min(a.Y, b.Y)}, {std::max(a.X, b.X), std::max(a.Y, b.Y)}};
  if (a.X > b.X) std::swap(a, b);
  return {a, b};
}

TRect BoundsOf(const TLineEnds& ends) noexcept {
  return {std::min(ends.From.X, ends.To.X), std::min(ends.From.Y, ends.To.Y), std::max(ends.From.X, ends.To.X),
          std::max(ends.From.Y, ends.To.Y)};
}

bool DirectionOf(const TLineEnds& ends) noexcept { return ends.From.Y > ends.To.Y; }

TPixelPoint Clamped(TPixelPoint point, TImageSize image) noexcept {
  return {std::clamp(point.X, 0, std::max(0, image.Width - 1)), std::clamp(point.Y, 0, std::max(0, image.Height - 1))};
}

// A line's end passes the other and the two swap names; a rectangle's corner stops at the
// other's row and column, so that each keeps its name.
TMovedEnds MoveEnd(const TLineEnds& ends, TLineEnd held, TPixelPoint to, TImageSize image, TLineShape shape) noexcept {
  TPixelPoint moved = Clamped(to, image);
  const bool from = held == TLineEnd::From;
  const TPixelPoint fixed = from ? ends.To : ends.From;
  if (shape == TLineShape::Rectangle) {
    moved = from ? TPixelPoint{std::min(moved.X, fixed.X), std::min(moved.Y, fixed.Y)}
                 : TPixelPoint{std::max(moved.X, fixed.X), std::max(moved.Y, fixed.Y)};
    return {from ? TLineEnds{moved, fixed} : TLineEnds{fixed, moved}, held};
  }
  const TLineEnds result = from ? Ordered(moved, fixed, shape) : Ordered(fixed, moved, shape);
  if (moved == fixed) return {result, held};
  return {result, result.From == moved ? TLineEnd::From : TLineEnd::To};
}

TMovedEnds DragEnd(TPixelPoint anchor, TPixelPoint to, TImageSize image, TLineShape shape) noexcept {
  const TPixelPoint moved = Clamped(to, image);
  const TLineEnds result = Ordered(anchor, moved, shape);
  return {result, result.From == moved && !(result.To == moved) ? TLineEnd::From : TLineEnd::To};
}

TLineEnds MoveLine(const TLineEnds& ends, int dx, int dy, TImageSize image) noexcept {
  const TRect bounds = BoundsOf(ends);
  dx = std::clamp(dx, -bounds.Left, std::max(0, image.Width - 1 - bounds.Right));
  dy = std::clamp(dy, -bounds.Top, std::max(0, image.Height - 1 - bounds.Bottom));
  return {{ends.From.X + dx, ends.From.Y + dy}, {ends.To.X + dx, ends.To.Y + dy}};
}

namespace {

double Distance(double x, double y, TPixelPoint point) noexcept { return std::hypot(x - point.X, y - point.Y); }

double DistanceToSegment(double x, double y, TPixelPoint a, TPixelPoint b) noexcept {
  const double dx = b.X - a.X, dy = b.Y - a.Y, length = dx * dx + dy * dy;
  const double t = length == 0 ? 0 : std::clamp(((x - a.X) * dx + (y - a.Y) * dy) / length, 0.0, 1.0);
  return std::hypot(x - (a.X + t * dx), y - (a.Y + t * dy));
}

double DistanceToEdge(double x, double y, const TLineEnds& ends) noexcept {
  const TPixelPoint a = ends.From, b = {ends.To.X, ends.From.Y}, c = ends.To, d = {ends.From.X, ends.To.Y};
  return std::min({DistanceToSegment(x, y, a, b), DistanceToSegment(x, y, b, c), DistanceToSegment(x, y, c, d),
                   DistanceToSegment(x, y, d, a)});
}

}  // namespace

TLineGrip GripAt(const TLineEnds& ends, double x, double y, double reach, TLineShape shape) noexcept {
  const double from = Distance(x, y, ends.From), to = Distance(x, y, ends.To);
  if (std::min(from, to) <= reach) return from <= to ? TLineGrip::From : TLineGrip::To;
  const double line = shape == TLineShape::Rectangle ? DistanceToEdge(x, y, ends)
                                                     : DistanceToSegment(x, y, ends.From, ends.To);
  return line <= reach ? TLineGrip::Line : TLineGrip::None;
}
