// An ellipse seen from above, and the points along ellipses and splines.
#pragma once

#include <optional>
#include <vector>

#include "orv/db/kinds.h"
#include "orv/db/leader.h"
#include "orv/db/spline.h"
#include "orv/db/types.h"
#include "orv/geom/affine.h"

namespace orv::geom {

// The ellipse seen from above as the image of the unit circle: the arc of angles
// [start, start + sweep] of the unit circle under `plan` is the ellipse's arc.
struct EllipseInPlan {
  Affine plan;
  double start = 0.0;
  double sweep = 0.0;
};
EllipseInPlan ellipseInPlan(const db::Ellipse& e);

// A B-spline: by control points, knots and weights; or, without control points, through
// fit points (see db::Spline).
using SplineData = db::Spline;

// Points along the curve, first and last included: `perSpan` for each knot span of the
// control-point curve (knots that do not fit its control points and degree are replaced
// by a clamped uniform vector; weights that do not fit are ignored), or for each gap
// between fit points of the cubic curve through them (chord-length parameters, the end
// tangents where given and of some length). At most `maxPoints` points (at least 2).
std::vector<Point3> splinePoints(const SplineData& s, int perSpan, std::size_t maxPoints = 100000);

// The curve a spline-path leader draws: through its vertices as fit points, leaving the
// first vertex along the first segment, where its arrowhead points.
SplineData leaderSpline(const db::Leader& l);
// Points along the path a leader draws: its vertices for a straight one, else `perSpan`
// along the curve between each two vertices (at most `maxPoints`).
std::vector<Point3> leaderPathPoints(const db::Leader& l, int perSpan, std::size_t maxPoints = 100000);

}  // namespace orv::geom
