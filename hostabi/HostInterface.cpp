#include "hostabi/HostInterface.h"

TRect FindSelection(const THostImage& image, THostCallback callback) {
  THostImageInfo info{};
  for (int32_t index = 0; index < MaxHostImages; ++index) {
    info.Index = index;
    if (callback(hrImageInfo, &info) == 0) break;
    if (info.Pixels == image.Pixels) return info.Selection;
  }
  return NoSelection;
}

bool IsUsableSelection(const TRect& selection) {
  if (selection.Left < 0) return false;
  return !(selection.Left >= selection.Right && selection.Top >= selection.Bottom);
}
