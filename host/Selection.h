#pragma once
// Selections as the host keeps them: inclusive pixel coordinates inside the image, corners
// in order, or NoSelection.

#include <cstdint>

#include "hostabi/HostInterface.h"

// The rectangle put in order and cut to a width x height image; NoSelection when nothing of
// it is left or its Left is negative.
TRect ClampSelection(TRect rect, int32_t width, int32_t height);

// The selection a drag from one pixel to another makes; the points may lie outside.
TRect SelectionBetween(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t width, int32_t height);
