#pragma once
// A font that grows with the resolution. A bitmap face ("MS Sans Serif") comes in a handful
// of sizes and, asked for another, gives the nearest: at a high resolution its text stops
// growing while the controls around it do. Where the face has no bitmap of the height
// asked for, the TrueType face of the same design takes its place.

#include <windows.h>

// The font as given where it draws at its height (or is scalable), else the same font in
// "Microsoft Sans Serif" (or the TrueType face the system puts in its place); as given if
// the system makes no TrueType font of it.
LOGFONTA ScalableFont(const LOGFONTA& font) noexcept;
