// What the core does with a spline: its map under a transform, its shape, its grips.
#pragma once

#include <vector>

#include "orv/core/grips.h"
#include "shapes_internal.h"

namespace orv::core::detail {

// Points and fit points move; end tangents turn and scale as vectors; knots, weights
// and tolerances stay; the normal turns with the drawing plane.
void transformSpline(db::Spline& s, const Affine2& m);
// Its curve (followed closely enough to pick and to snap to its nearest point) and, when
// open, its ends.
void describeSpline(const DescribeContext& ctx, const db::Spline& s, const Affine2& m);
// A grip on each control point, or on each fit point when there are none.
void splineGrips(const db::Spline& s, std::vector<Grip>& out);
// Moves the point of a grip; false when the grip is none of the spline's. Moving a
// control point leaves a curve no longer through the fit points: they are dropped.
bool moveSplineGrip(db::Spline& s, const Grip& g, Vec2 to);

}  // namespace orv::core::detail
