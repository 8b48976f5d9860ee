#pragma once

// Still capture works in the shared global point space and its conversions.

#include "geometry/Coordinates.h"
#include "geometry/Geometry.h"
#include "geometry/MonitorLayout.h"
#include "geometry/OverlayGeometry.h"

namespace velloq::capture {
using namespace velloq::geometry;
} // namespace velloq::capture
