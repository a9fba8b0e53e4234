#pragma once
// The Win32 half of LinarBitmap: palette objects built from and read into palette tables.

#include <cstdint>

#include "platform/Handles.h"

// A palette object of the first count (1..256) entries of the table, each flagged as a
// reserved entry.
TPaletteHandle MakePaletteHandle(const uint8_t* table, int count);

// Fills the 256-entry table from the first count entries of the palette; entries the
// palette does not have become black. A null palette gives the gray palette.
void ReadPaletteHandle(HPALETTE palette, int count, uint8_t* table) noexcept;
