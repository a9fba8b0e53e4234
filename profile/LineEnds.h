#pragma once
// The line a profile is sampled on, by its two ends in image pixels, and the moves the line
// window makes of it. Line mode walks the diagonal of the rectangle with these corners,
// always from its left end (the walk's rounding runs one way), so the ends are kept in
// that order: From is the left end, or on a vertical line whichever the walk starts at. In
// integrate mode the two ends are the corners of the rectangle summed, From the top left.

#include <cstdint>

#include "hostabi/HostInterface.h"

struct TPixelPoint {
  int X;
  int Y;
  friend bool operator==(const TPixelPoint&, const TPixelPoint&) = default;
};

enum class TLineShape : uint8_t { Line, Rectangle };

struct TLineEnds {
  TPixelPoint From;
  TPixelPoint To;
  friend bool operator==(const TLineEnds&, const TLineEnds&) = default;
};

// Which end a move holds; after the move it names the end now at the held point, which
// changes when the held end passes the other.
enum class TLineEnd : uint8_t { From, To };

// The ends of a selection's diagonal (`direction`: from the bottom left corner), or of the
// rectangle itself.
TLineEnds EndsOf(const TRect& selection, bool direction, TLineShape shape) noexcept;
// Two points as ends of the shape, in its order.
TLineEnds Ordered(TPixelPoint a, TPixelPoint b, TLineShape shape) noexcept;
// The rectangle with the ends as corners, and whether line mode walks it from the bottom
// left corner.
TRect BoundsOf(const TLineEnds& ends) noexcept;
bool DirectionOf(const TLineEnds& ends) noexcept;

// The image the ends must stay inside.
struct TImageSize {
  int Width;
  int Height;
};

TPixelPoint Clamped(TPixelPoint point, TImageSize image) noexcept;

struct TMovedEnds {
  TLineEnds Ends;
  TLineEnd Held;
};

// The keyboard's move: one end put at a point (kept inside the image), the other where it
// was.
TMovedEnds MoveEnd(const TLineEnds& ends, TLineEnd held, TPixelPoint to, TImageSize image, TLineShape shape) noexcept;
// The mouse's: the end held follows the pointer (kept inside the image) from the anchor, the
// other end as the drag began, each corner of a rectangle free to pass it.
TMovedEnds DragEnd(TPixelPoint anchor, TPixelPoint to, TImageSize image, TLineShape shape) noexcept;
// The whole line shifted, as far as the image lets both ends go: its length and direction stay.
TLineEnds MoveLine(const TLineEnds& ends, int dx, int dy, TImageSize image) noexcept;

// What a press at an image point (in pixels, fractions allowed) takes hold of: the nearer
// end within `reach` of it, or else the line (the rectangle's edge) within `reach`, or
// nothing. The points are pixel centres.
enum class TLineGrip : uint8_t { None, From, To, Line };
TLineGrip GripAt(const TLineEnds& ends, double x, double y, double reach, TLineShape shape) noexcept;
