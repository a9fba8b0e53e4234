#pragma once
// The exchange of pixels between TLinearBitmap and the window system's device-independent
// bitmap, and the palette objects that travel with 8-bit pixels. TDIBitmap's side of the
// assign protocol calls it, so the linear bitmap knows nothing of the window layer.

#include <cstdint>

#include "platform/Handles.h"

class TDIBitmap;
class TLinearBitmap;

// A palette object of the first count (1..256) entries of the table, each flagged as a
// reserved entry.
TPaletteHandle MakePaletteHandle(const uint8_t* table, int count);

// Fills the 256-entry table from the first count entries of the palette; entries the
// palette does not have become black. A null palette gives the gray palette.
void ReadPaletteHandle(HPALETTE palette, int count, uint8_t* table) noexcept;

// The linear bitmap becomes a copy of the device-independent one: its format, size,
// pixels and (8 bits) palette. An empty source empties the target.
void CopyBitmap(const TDIBitmap& source, TLinearBitmap& target);

// The device-independent bitmap takes the linear one's format (16-bit gray becomes 8-bit
// with the gray palette), size and pixels; a bitmap that is not present changes nothing.
void CopyBitmap(const TLinearBitmap& source, TDIBitmap& target);

// Copies the pixels into a device-independent bitmap of the source's size.
void CopyPixelsTo(const TLinearBitmap& source, TDIBitmap& bitmap);
