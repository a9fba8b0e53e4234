#pragma once
// Pictures of the whole screen, for showing a plug-in's window where no one can look.

#include <string>

#include "host/HostBitmap.h"

THostBitmap CaptureScreen();

// A 24-bit BMP file of the screen as it is now.
void SaveScreenshot(const std::string& path);
