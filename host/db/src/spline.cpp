// Making splines.
#include "orv/db/spline.h"

#include <algorithm>

namespace orv::db {

Spline Spline::byControlPoints(std::vector<Point3> points, int degree) {
  Spline s;
  const int n = static_cast<int>(points.size());
  s.degree = std::clamp(degree, 1, std::max(1, n - 1));
  s.knotTolerance = 1e-10;
  s.controlTolerance = 1e-10;
  const int p = s.degree;
  for (int i = 0; i < n + p + 1; ++i) s.knots.push_back(static_cast<double>(std::clamp(i - p, 0, std::max(0, n - p))));
  bool planar = true;
  for (const Point3& q : points) planar = planar && q.z == points.front().z;
  s.flags = planar ? 8 : 0;
  s.controlPoints = std::move(points);
  return s;
}

}  // namespace orv::db
