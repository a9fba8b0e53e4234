#include "diagnostics/MapFile.h"

// Native programs are built without a map file, so their addresses stay hex digits.
TMapLocation ModuleMapLocation() { return TMapLocation(); }
