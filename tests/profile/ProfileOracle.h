#pragma once
// The profile computed the plain way, one pixel at a time through the raster's accessors,
// summing doubles in the order the behaviour is described: the reference that the fast
// sampling is compared with. Reads outside a complex map clamp like the bitmap's reads,
// and a rectangle inverted in either direction integrates to nothing.

#include "profile/ProfileSampling.h"

TProfile OracleSampleLine(const TProfileRaster& raster, const TRect& selection, bool direction);
TProfile OracleSampleIntegrated(const TProfileRaster& raster, const TRect& selection, bool direction);
