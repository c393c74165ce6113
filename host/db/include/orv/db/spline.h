// SPLINE: a B-spline by control points, knots and weights, or a curve through fit points.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "orv/db/types.h"

namespace orv::db {

// World coordinates (a HATCH's spline edge uses the same values in the hatch's plane,
// z = 0). The counts a file gives (72 knots, 73 control points, 74 fit points) are the
// sizes of the lists; the file reader and writer use those. Values are kept as given:
// a degree or knots that do not fit the control points are fitted where the curve is
// followed (orv::geom::splinePoints), not here.
struct Spline {
  std::int16_t flags = 0;                   // 70: 1 closed, 2 periodic, 4 rational, 8 planar, 16 linear
  int degree = 3;                           // 71
  std::optional<double> knotTolerance;      // 42
  std::optional<double> controlTolerance;   // 43
  std::optional<double> fitTolerance;       // 44
  std::optional<Point3> startTangent;       // 12, of the curve through the fit points
  std::optional<Point3> endTangent;         // 13
  std::vector<double> knots;                // 40
  std::vector<double> weights;              // 41, one per control point, or none (all 1)
  std::vector<Point3> controlPoints;        // 10
  std::vector<Point3> fitPoints;            // 11
  Point3 extrusion{0.0, 0.0, 1.0};          // 210: the normal of a planar spline
  bool operator==(const Spline&) const = default;

  bool closed() const { return (flags & 1) != 0; }
  // The points a user edits: the control points, or the fit points when there are none.
  std::vector<Point3>& framePoints() { return controlPoints.empty() ? fitPoints : controlPoints; }
  const std::vector<Point3>& framePoints() const { return controlPoints.empty() ? fitPoints : controlPoints; }

  // An open, clamped B-spline of `degree` (lowered to fit fewer points) with these
  // control points: uniform knots, no weights, planar when every z is the same.
  static Spline byControlPoints(std::vector<Point3> points, int degree = 3);
};

}  // namespace orv::db
