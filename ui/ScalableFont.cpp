#include "ui/ScalableFont.h"

#include <cstdlib>

#include "platform/Handles.h"

namespace {

// The TrueType face of the bitmap face's design, in every Windows since 2000; a system
// without it (Wine) makes the TrueType face it substitutes for it.
constexpr char ScalableFace[] = "Microsoft Sans Serif";

// The metrics of the font the system makes of `font`.
bool Make(const LOGFONTA& font, TEXTMETRICA& made) noexcept {
  const TFontHandle handle(CreateFontIndirectA(&font));
  if (!handle) return false;
  const TWindowDc screen(nullptr);
  const TSelectObject selection(screen.Get(), handle.Get());
  return GetTextMetricsA(screen.Get(), &made);
}

// A negative height asks for the characters' height, a positive one for the cell's.
bool DrawsAtHeight(const LOGFONTA& font, const TEXTMETRICA& metrics) noexcept {
  if (metrics.tmPitchAndFamily & (TMPF_TRUETYPE | TMPF_VECTOR)) return true;
  const int height = font.lfHeight < 0 ? metrics.tmHeight - metrics.tmInternalLeading : metrics.tmHeight;
  return font.lfHeight == 0 || std::abs(height - std::abs(font.lfHeight)) <= 1;
}

}  // namespace

LOGFONTA ScalableFont(const LOGFONTA& font) noexcept {
  TEXTMETRICA made{};
  if (!Make(font, made) || DrawsAtHeight(font, made)) return font;
  LOGFONTA scalable = font;
  lstrcpynA(scalable.lfFaceName, ScalableFace, LF_FACESIZE);
  scalable.lfOutPrecision = OUT_TT_ONLY_PRECIS;
  return Make(scalable, made) && (made.tmPitchAndFamily & TMPF_TRUETYPE) ? scalable : font;
}
