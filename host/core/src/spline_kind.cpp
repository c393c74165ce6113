// What the core does with a spline: its map under a transform, its shape, its grips.
#include "spline_kind.h"

#include "orv/geom/curves.h"

namespace orv::core::detail {

namespace {

Vec2 flat(const db::Point3& p) { return {p.x, p.y}; }

db::Point3 mappedPoint(const Affine2& m, const db::Point3& p) {
  const Vec2 q = m.apply({p.x, p.y});
  return {q.x, q.y, m.applyZ(p.z)};
}

db::Point3 mappedVector(const Affine2& m, const db::Point3& v) {
  const Vec2 w = m.applyLinear({v.x, v.y});
  return {w.x, w.y, m.applyZ(v.z) - m.applyZ(0.0)};
}

}  // namespace

void transformSpline(db::Spline& s, const Affine2& m) {
  for (db::Point3& p : s.controlPoints) p = mappedPoint(m, p);
  for (db::Point3& p : s.fitPoints) p = mappedPoint(m, p);
  if (s.startTangent) s.startTangent = mappedVector(m, *s.startTangent);
  if (s.endTangent) s.endTangent = mappedVector(m, *s.endTangent);
  // The normal only turns: its length and its z stay.
  const double scale = m.scale();
  if (scale > 0.0 && (s.extrusion.x != 0.0 || s.extrusion.y != 0.0)) {
    const Vec2 n = m.applyLinear({s.extrusion.x, s.extrusion.y});
    s.extrusion.x = n.x / scale;
    s.extrusion.y = n.y / scale;
  }
}

void describeSpline(const DescribeContext& ctx, const db::Spline& s, const Affine2& m) {
  const std::vector<db::Point3> points = geom::splinePoints(s, 8, 4096);
  for (std::size_t i = 1; i < points.size(); ++i)
    ctx.sink.piece(Segment{m.apply(flat(points[i - 1])), m.apply(flat(points[i]))}, false);
  if (!points.empty() && !s.closed()) {
    ctx.sink.snapPoint(prompt::SnapKind::endpoint, m.apply(flat(points.front())));
    ctx.sink.snapPoint(prompt::SnapKind::endpoint, m.apply(flat(points.back())));
  }
}

void splineGrips(const db::Spline& s, std::vector<Grip>& out) {
  const std::vector<db::Point3>& frame = s.framePoints();
  for (std::size_t i = 0; i < frame.size(); ++i) out.push_back({flat(frame[i]), GripRole::vertex, i});
}

bool moveSplineGrip(db::Spline& s, const Grip& g, Vec2 to) {
  std::vector<db::Point3>& frame = s.framePoints();
  if (g.role != GripRole::vertex || g.index >= frame.size()) return false;
  frame[g.index].x = to.x;
  frame[g.index].y = to.y;
  if (&frame == &s.controlPoints && !s.fitPoints.empty()) {
    s.fitPoints.clear();
    s.startTangent.reset();
    s.endTangent.reset();
    s.fitTolerance.reset();
  }
  return true;
}

}  // namespace orv::core::detail
