#pragma once
// The plot as the dialog's painter draws it into a bitmap of its own: what the panel shows
// with the mouse away.

#include <cstdint>
#include <vector>

#include "profile/ProfilePlot.h"

// As 0x00RRGGBB pixels, top row first.
std::vector<uint32_t> PaintedPlot(const TProfilePlotData& data, int width, int height);
