#pragma once
// The profile computed the plain way, one pixel at a time through the raster's accessors,
// summing doubles in the order the behaviour is described: the reference that the fast
// sampling is compared with. Reads outside a complex map clamp like the bitmap's reads,
// and a rectangle inverted in either direction integrates to nothing.

#include <vector>

#include "profile/ProfileSampling.h"
#include "tests/host/HostImages.h"

TProfile OracleSampleLine(const TProfileRaster& raster, const TRect& selection, bool direction);
TProfile OracleSampleIntegrated(const TProfileRaster& raster, const TRect& selection, bool direction);

// The image coordinates of every sample of the line walk, copies included.
std::vector<TSamplePoint> OracleLinePoints(const TRect& selection, bool direction);

// The host's bytes after the oracle has sampled a copy of the clean 8-bit or 24-bit image:
// what the marks of one profile look like.
std::vector<uint8_t> OracleMarkedBytes(const THostImageBuffer& clean, TProfileMode mode, const TRect& selection);
