// What the core does with a leader: its map under a transform, its shape, its grips.
#include "leader_kind.h"

#include "orv/core/dimension_geometry.h"
#include "orv/core/drafting_styles.h"
#include "orv/geom/curves.h"

namespace orv::core::detail {

namespace {

Vec2 flat(const db::Point3& p) { return {p.x, p.y}; }

}  // namespace

void transformLeader(db::Leader& l, const Affine2& m) {
  for (db::Point3& p : l.vertices) {
    const Vec2 q = m.apply(flat(p));
    p = {q.x, q.y, m.applyZ(p.z)};
  }
  for (db::Point3* v : {&l.blockOffset, &l.annotationOffset}) {
    const Vec2 w = m.applyLinear(flat(*v));
    v->x = w.x;
    v->y = w.y;
  }
  const double scale = m.scale();
  if (scale > 0.0) {
    const Vec2 h = m.applyLinear(flat(l.horizontal));
    l.horizontal.x = h.x / scale;
    l.horizontal.y = h.y / scale;
  }
  l.textHeight *= scale;
  l.textWidth *= scale;
}

void describeLeader(const DescribeContext& ctx, const db::Leader& l, const Affine2& m) {
  std::vector<Vec2> points;
  for (const db::Point3& p : l.vertices) points.push_back(m.apply(flat(p)));
  if (l.spline() && points.size() > 2) {
    // The curve through the vertices, as a spline is described: its ends snap.
    const std::vector<db::Point3> along = geom::leaderPathPoints(l, 8, 4096);
    for (std::size_t i = 1; i < along.size(); ++i)
      ctx.sink.piece(Segment{m.apply(flat(along[i - 1])), m.apply(flat(along[i]))}, false);
    ctx.sink.snapPoint(prompt::SnapKind::endpoint, points.front());
    ctx.sink.snapPoint(prompt::SnapKind::endpoint, points.back());
  } else {
    for (std::size_t i = 1; i < points.size(); ++i) ctx.sink.piece(Segment{points[i - 1], points[i]}, true);
  }
  const DimensionParts parts = leaderParts(points, l.hasArrow(), dimensionStyleNamed(ctx.d, l.style), m.scale());
  for (const auto& t : parts.filled) ctx.sink.region({t[0], t[1], t[2], t[2]});
}

void leaderGrips(const db::Leader& l, std::vector<Grip>& out) {
  for (std::size_t i = 0; i < l.vertices.size(); ++i) out.push_back({flat(l.vertices[i]), GripRole::vertex, i});
}

bool moveLeaderGrip(db::Leader& l, const Grip& g, Vec2 to) {
  if (g.role != GripRole::vertex || g.index >= l.vertices.size()) return false;
  l.vertices[g.index].x = to.x;
  l.vertices[g.index].y = to.y;
  return true;
}

}  // namespace orv::core::detail
