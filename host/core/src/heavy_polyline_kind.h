// What the core does with an old-style polyline: its map under a transform, its shape,
// its grips.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "orv/core/grips.h"
#include "shapes_internal.h"

namespace orv::core::detail {

// Its segments (a 2D one's arcs in its plane), or a mesh's visible edges; each vertex it
// passes through and each segment's middle are snap points.
void describeHeavyPolyline(const DescribeContext& ctx, const db::HeavyPolyline& p, const Affine2& m);
// A grip on each vertex but a polyface's face records and a spline's frame points.
void heavyPolylineGrips(const db::HeavyPolyline& p, std::vector<Grip>& out);
// Moves the vertex of a grip in the drawing plane; false when the grip is none of its own.
bool moveHeavyPolylineGrip(db::HeavyPolyline& p, const Grip& g, Vec2 to);

}  // namespace orv::core::detail
