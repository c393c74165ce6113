// Object coordinate systems: the arbitrary axis algorithm and the plan view of OCS points.
#include "orv/geom/affine.h"

namespace orv::geom {

namespace {

Point3 cross(Point3 a, Point3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

bool normalize(Point3& v) {
  const double len = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
  if (!(len > 0.0) || !std::isfinite(len)) return false;
  v = {v.x / len, v.y / len, v.z / len};
  return true;
}

}  // namespace

OcsAxes ocsAxes(Point3 n) {
  OcsAxes axes;
  if (!normalize(n)) return axes;
  constexpr double kNearZ = 1.0 / 64.0;
  Point3 ax = std::abs(n.x) < kNearZ && std::abs(n.y) < kNearZ ? cross({0.0, 1.0, 0.0}, n)
                                                               : cross({0.0, 0.0, 1.0}, n);
  if (!normalize(ax)) return axes;
  Point3 ay = cross(n, ax);
  if (!normalize(ay)) return axes;
  return OcsAxes{ax, ay, n};
}

Point3 ocsToWorld(const OcsAxes& a, Point3 p) {
  return {a.x.x * p.x + a.y.x * p.y + a.z.x * p.z, a.x.y * p.x + a.y.y * p.y + a.z.y * p.z,
          a.x.z * p.x + a.y.z * p.y + a.z.z * p.z};
}

bool isWorldZ(Point3 n) {
  return n.x == 0.0 && n.y == 0.0 && n.z > 0.0 && std::isfinite(n.z);
}

Affine planOfOcs(Point3 extrusion, double elevation) {
  if (isWorldZ(extrusion)) return Affine{};
  const OcsAxes a = ocsAxes(extrusion);
  const double z = std::isfinite(elevation) ? elevation : 0.0;
  return {a.x.x, a.x.y, a.y.x, a.y.y, a.z.x * z, a.z.y * z};
}

}  // namespace orv::geom
