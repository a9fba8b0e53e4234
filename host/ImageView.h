#pragma once
// The image view: shows a document's pixels as they are in memory, scrolls when the image
// is larger than the window, and lets the user drag a rectangular selection.

#include <functional>

#include "host/HostServices.h"
#include "host/HostWindow.h"

class TImageView : public THostWindow<TImageView> {
 public:
  explicit TImageView(HWND parent);
  ~TImageView() { DestroyHandle(); }

  // The view borrows the document; null shows an empty view.
  void SetDocument(TDocument* document);
  // Redraws at once from the document's current pixels.
  void Refresh();

  std::function<void()> OnSelectionChanged;

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  void Paint(HDC dc);
  void PaintSelection(HDC dc);
  void UpdateScrollBars();
  void Scroll(int bar, WORD code);
  POINT ImagePoint(LPARAM lParam) const;
  void DragTo(POINT point);
  void EndDrag(bool moved);

  TDocument* FDocument = nullptr;
  POINT FOrigin{0, 0};
  bool FDragging = false;
  bool FMoved = false;
  POINT FAnchor{0, 0};
};
