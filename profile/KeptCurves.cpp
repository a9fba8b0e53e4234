#include "profile/KeptCurves.h"

#include <cstdint>
#include <limits>
#include <utility>

#include "errors/Exceptions.h"
#include "resources/Texts.h"

void TKeptCurves::Keep(TKeptCurve curve) {
  if (FCurves.size() == Most) FCurves.pop_front();
  FCurves.push_back(std::move(curve));
}

std::string KeptCurveName(const char* curve, int imageWidth, int imageHeight, const TRect& selection,
                          TProfileMode mode) {
  if (!mode.Integrate) {
    const bool up = mode.Direction;
    return FormatText(S_KEPT_LINE, curve, imageWidth, imageHeight, selection.Left,
                      up ? selection.Bottom : selection.Top, selection.Right, up ? selection.Top : selection.Bottom);
  }
  if (mode.Direction) return FormatText(S_KEPT_ROWS, curve, imageWidth, imageHeight, selection.Top, selection.Bottom);
  return FormatText(S_KEPT_COLUMNS, curve, imageWidth, imageHeight, selection.Left, selection.Right);
}

std::vector<double> AlignedToProfile(const std::vector<double>& values, size_t count, bool atCentre) {
  std::vector<double> aligned(count, std::numeric_limits<double>::quiet_NaN());
  // Where the kept curve's sample 0 lies among the profile's samples.
  const int64_t offset = atCentre ? (static_cast<int64_t>(count) - static_cast<int64_t>(values.size())) / 2 : 0;
  for (size_t i = 0; i < count; ++i) {
    const int64_t kept = static_cast<int64_t>(i) - offset;
    if (kept >= 0 && kept < static_cast<int64_t>(values.size())) aligned[i] = values[static_cast<size_t>(kept)];
  }
  return aligned;
}
