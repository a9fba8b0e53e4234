// The native build has no window system, so no bitmap of its own to exchange pixels with.
#include "image/LinarBitmap.h"

bool TLinearBitmap::AssignFromSystemBitmap(const TObject&) { return false; }

bool TLinearBitmap::AssignToSystemBitmap(TObject&) const { return false; }
