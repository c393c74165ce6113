// A drawing that holds every kind of entity, property and table entry the writer handles.
#pragma once

#include "orv/db/database.h"

namespace orv::dxf::testing {

// Layers "管道" (red, CENTER) and "0"; a block "阀门" with a preview that holds a nested
// block "手轮"; in model space a line, an arc, a circle, a closed polyline with a bulge
// and widths, a two-vertex polyline, and two references (one rotated and scaled).
db::Database sampleDrawing();

}  // namespace orv::dxf::testing
