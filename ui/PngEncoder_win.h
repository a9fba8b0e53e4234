#pragma once
// PNG files through the system's own imaging library (GDI+, gdiplus.dll, part of Windows
// from XP on), reached when a picture is first encoded rather than when the plug-in loads:
// a system without it loses only this.

#include <string>

class TDIBitmap;

// The bitmap's pixels as the bytes of a PNG file that states `pixelsPerInch` as its
// resolution. Raises an error naming the library's trouble when it is missing or fails.
std::string PngBytes(const TDIBitmap& bitmap, int pixelsPerInch);
