// A hatch's shapes: its boundary paths as pieces for picking and its vertices for snapping.
#include <cmath>

#include "orv/geom/hatch.h"
#include "shapes_internal.h"

namespace orv::core::detail {

namespace {
Vec2 xy(db::Point2 p) { return {p.x, p.y}; }
Vec2 xy(const geom::Point3& p) { return {p.x, p.y}; }
}  // namespace

void describeHatch(const DescribeContext& ctx, const db::Hatch& h, const Affine2& m) {
  const Affine2 w = m.after(planOf(h.extrusion, h.elevation.z));
  auto emit = [&](const Piece& p) { ctx.sink.piece(transformed(p, w), false); };
  // CAD programs snap to a hatch's boundary vertices (its edges' ends), nothing else.
  auto vertex = [&](db::Point2 p) { ctx.sink.snapPoint(prompt::SnapKind::endpoint, w.apply(xy(p))); };
  for (const db::HatchPath& path : h.paths) {
    const std::size_t n = path.vertices.size();
    for (std::size_t i = 0; i < n; ++i) vertex(path.vertices[i]);
    for (std::size_t i = 0; i + 1 < n || (path.closed && n > 1 && i < n); ++i) {
      const double bulge = i < path.bulges.size() ? path.bulges[i] : 0;
      emit(bulgePiece(xy(path.vertices[i]), xy(path.vertices[(i + 1) % n]), bulge));
    }
    for (const db::HatchEdge& e : path.edges) {
      using T = db::HatchEdge::Type;
      const double a0 = e.ccwStart(), a1 = e.ccwEnd();
      double sweep = normalizeDegrees(a1 - a0) * kDegree;
      if (sweep == 0 || std::abs(a1 - a0) >= 360) sweep = kTwoPi;
      switch (e.type) {
        case T::line:
          emit(Segment{xy(e.start), xy(e.end)});
          vertex(e.start);
          vertex(e.end);
          break;
        case T::arc: {
          const CircularArc arc{xy(e.center), e.radius, normalizeDegrees(a0) * kDegree, sweep};
          emit(arc);
          if (!arc.full()) {
            vertex({e.center.x + e.radius * std::cos(arc.start), e.center.y + e.radius * std::sin(arc.start)});
            const double end = arc.start + sweep;
            vertex({e.center.x + e.radius * std::cos(end), e.center.y + e.radius * std::sin(end)});
          }
          break;
        }
        case T::ellipse: {
          const Vec2 major = xy(e.majorAxis);
          emit(EllipticArc{xy(e.center), major, e.ratio * perp(major), a0 * kDegree, sweep});
          break;
        }
        case T::spline: {
          const auto points = geom::splinePoints(geom::splineOf(e), 8, 4096);
          for (std::size_t i = 1; i < points.size(); ++i) emit(Segment{xy(points[i - 1]), xy(points[i])});
          if (!points.empty()) {
            vertex({points.front().x, points.front().y});
            vertex({points.back().x, points.back().y});
          }
          break;
        }
      }
    }
  }
}

}  // namespace orv::core::detail
