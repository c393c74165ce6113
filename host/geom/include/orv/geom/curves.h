// SPLINE as decoded from its tags, an ellipse seen from above, and the points of the curves they describe.
#pragma once

#include <optional>
#include <vector>

#include "orv/db/kinds.h"
#include "orv/db/raw_tags.h"
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
// fit points. World coordinates (for a HATCH edge, the hatch's OCS with z = 0).
struct SplineData {
  std::int16_t flags = 0;   // 70: 1 closed, 2 periodic, 4 rational, 8 planar, 16 linear
  int degree = 3;           // 71
  std::vector<double> knots;           // 40
  std::vector<Point3> controlPoints;   // 10
  std::vector<double> weights;         // 41, one per control point or none
  std::vector<Point3> fitPoints;       // 11
  std::optional<Point3> startTangent;  // 12
  std::optional<Point3> endTangent;    // 13
  Point3 extrusion{0.0, 0.0, 1.0};     // 210

  bool closed() const { return (flags & 1) != 0; }
};

// nullopt when there are neither two control points nor two fit points, or a value is
// not finite.
std::optional<SplineData> decodeSpline(const db::RawTags& tags);

// Points along the curve, first and last included: `perSpan` for each knot span of the
// control-point curve (knots that do not fit its control points and degree are replaced
// by a clamped uniform vector; weights that do not fit are ignored), or for each gap
// between fit points of the cubic curve through them (chord-length parameters, the end
// tangents where given). At most `maxPoints` points (at least 2).
std::vector<Point3> splinePoints(const SplineData& s, int perSpan, std::size_t maxPoints = 100000);

}  // namespace orv::geom
