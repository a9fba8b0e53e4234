#pragma once
// The line window's overview: the image as it was before any mark, scaled to fit the panel
// and zoomed or panned by the user, with the line (or integrate mode's rectangle) over it,
// its two ends as handles and a band's edges. The mouse drags an end, the line as a whole,
// or a new line from where it is pressed on neither; the arrow keys move the chosen end a
// pixel (ten with Shift), Tab chooses the other end before it leaves the panel. Every move
// goes to the dialog, which rebuilds the profile and tells the window again.

#include <functional>
#include <optional>

#include "profile/LineEnds.h"
#include "profile/OverviewPicture.h"
#include "ui/Controls.h"
#include "ui/WheelNotches.h"

class TDoubleBufferedPanel;
class TForm;
class TProfileSession;

// What the overview asks of the dialog: the line as the profile has it, its shape and its
// band's width, and the move of it (settled: the mouse was let go, or the keyboard moved it).
struct TLineSite {
  std::function<TLineEnds()> Ends;
  std::function<TLineShape()> Shape;
  std::function<int()> BandWidth;
  std::function<void(const TLineEnds& ends, bool settled)> Move;
};

class TLineOverview {
 public:
  TLineOverview(TForm& form, TDoubleBufferedPanel& panel, const TProfileSession& session, TLineSite site);
  ~TLineOverview();

  // The picture drawn anew: the panel's size, the view or the plane plotted changed.
  void Paint();
  // The line changed: only what lies over the picture is drawn again.
  void LineChanged() noexcept;
  void Wheel(const TMessage& message);
  TImageSize Image() const noexcept { return FImage; }

 private:
  TViewSize ViewSize() const noexcept;
  // An image point (pixel centres at whole numbers) under a point of the panel.
  double ImagePointX(int x) const noexcept;
  double ImagePointY(int y) const noexcept;
  TPixelPoint PixelUnder(int x, int y) const noexcept;
  POINT PanelPoint(TPixelPoint pixel) const noexcept;
  void SetView(const TOverviewView& view);
  void MouseButton(UINT button, int x, int y);
  void MouseMove(int x, int y);
  void StartDrag(int x, int y);
  void EndDrag() noexcept;
  bool Key(WORD key);
  bool WantsKey(WORD key) const noexcept;
  void PaintOver();
  void PaintLine(TLineEnds ends);
  void PaintHandle(TPixelPoint end, bool chosen);

  TForm& FForm;
  TDoubleBufferedPanel& FPanel;
  const TProfileSession& FSession;
  TLineSite FSite;
  TImageSize FImage;
  TOverviewView FView;
  // The view is the fitting one until the user zooms or pans: a resize fits it again.
  bool FFitted = true;
  TValueStretch FStretch;
  int FStretchPlane = -1;
  TLineEnd FChosen = TLineEnd::From;
  // A drag of the left button: of one end (from the other, fixed), or of the whole line
  // from the pixel pressed; and one of the middle button, panning from a point and view.
  struct TLineDrag {
    bool WholeLine;
    TPixelPoint Anchor;
    TLineEnds Start;
  };
  std::optional<TLineDrag> FDrag;
  std::optional<std::pair<POINT, TOverviewView>> FPan;
  TWheelNotches FWheel;
};
