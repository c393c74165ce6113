// Outlines of solids, faces, ellipses and splines, and of kept entities: old-style polylines and meshes, leaders and their arrowheads, kept arcs, circles and light polylines, and viewports' borders and clip shapes.
//
// Contents: Bézier extremes for boxes; ellipses and splines; corner shapes; polylines and
// meshes from their vertices; kept modeled kinds; viewports; the dispatch.
#include "outline.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <span>
#include <vector>

#include "clip_shape.h"

#include "orv/db/header_values.h"
#include "orv/geom/curves.h"
#include "orv/geom/shapes.h"
#include "orv/render/layout.h"

namespace orv::render {

namespace {

using geom::KeptKind;
using geom::Point3;

constexpr double kDegree = std::numbers::pi / 180.0;

// The roots in (0, 1) of the derivative of one coordinate of a cubic Bézier.
int extremeParameters(double p0, double p1, double p2, double p3, double out[2]) {
  const double a = -p0 + 3.0 * p1 - 3.0 * p2 + p3;
  const double b = 2.0 * (p0 - 2.0 * p1 + p2);
  const double c = p1 - p0;
  int n = 0;
  auto keep = [&](double t) {
    if (t > 0.0 && t < 1.0) out[n++] = t;
  };
  if (std::abs(a) < 1e-12) {
    if (std::abs(b) > 1e-12) keep(-c / b);
    return n;
  }
  const double d = b * b - 4.0 * a * c;
  if (d < 0.0) return 0;
  const double r = std::sqrt(d);
  keep((-b + r) / (2.0 * a));
  keep((-b - r) / (2.0 * a));
  return n;
}

Point2 bezierAt(Point2 p0, Point2 p1, Point2 p2, Point2 p3, double t) {
  const double u = 1.0 - t;
  const double a = u * u * u, b = 3.0 * u * u * t, c = 3.0 * u * t * t, d = t * t * t;
  return {a * p0.x + b * p1.x + c * p2.x + d * p3.x, a * p0.y + b * p1.y + c * p2.y + d * p3.y};
}

Point2 plan(Point3 p) { return {p.x, p.y}; }

// A circular or elliptical arc: the unit circle's arc under `toSink`.
void writeArc(PathSink& sink, const Affine& toSink, double start, double sweep, bool startPath) {
  const ArcPath unit{{0.0, 0.0}, 1.0, start, sweep};
  const Point2 first = toSink.apply(unit.at(start));
  if (startPath) sink.moveTo(first);
  else sink.lineTo(first);
  forEachArcPiece(unit, toSink, [&](Point2 c1, Point2 c2, Point2 end) { sink.curveTo(c1, c2, end); });
}

OutlineMode writeEllipse(const db::Ellipse& e, const Affine& m, PathSink& sink) {
  const geom::EllipseInPlan p = geom::ellipseInPlan(e);
  writeArc(sink, m * p.plan, p.start, p.sweep, true);
  if (p.sweep >= 2.0 * std::numbers::pi - 1e-12) sink.close();
  return OutlineMode::stroke;
}

OutlineMode writeSpline(const db::Spline& s, const Affine& m, PathSink& sink, double scale) {
  // Dense enough that chords stay within about a quarter unit of the sink: the control
  // polygon's length on the sink bounds the curve's.
  const std::vector<Point3>& frame = s.controlPoints.size() >= 2 ? s.controlPoints : s.fitPoints;
  double length = 0.0;
  for (std::size_t i = 1; i < frame.size(); ++i)
    length += std::hypot(frame[i].x - frame[i - 1].x, frame[i].y - frame[i - 1].y);
  const double onSink = length * scale;
  const double spans = static_cast<double>(std::max<std::size_t>(1, frame.size() - 1));
  const int perSpan = std::isfinite(onSink) ? static_cast<int>(std::clamp(onSink / spans / 3.0, 4.0, 64.0)) : 4;
  const std::vector<Point3> pts = geom::splinePoints(s, perSpan, 200000);
  if (pts.size() < 2) return OutlineMode::none;
  sink.moveTo(m.apply(plan(pts[0])));
  for (std::size_t i = 1; i < pts.size(); ++i) sink.lineTo(m.apply(plan(pts[i])));
  if (s.closed() && pts.front() == pts.back()) sink.close();
  return OutlineMode::stroke;
}

OutlineMode writeCorners(const db::Solid& c, const Affine& m, PathSink& sink, bool fill) {
  const std::array<db::Point3, 4> outline = c.outline();
  const Affine toSink = c.filled() ? m * geom::planOfOcs(c.extrusion, outline[0].z) : m;
  const int n = c.cornerCount();
  if (c.filled()) {
    sink.moveTo(toSink.apply(plan(outline[0])));
    for (int i = 1; i < n; ++i) sink.lineTo(toSink.apply(plan(outline[static_cast<std::size_t>(i)])));
    sink.close();
    return fill ? OutlineMode::fill : OutlineMode::stroke;
  }
  // 3DFACE: each visible edge.
  bool wrote = false;
  for (int i = 0; i < n; ++i) {
    if (c.hiddenEdges & (1 << i)) continue;
    sink.moveTo(toSink.apply(plan(outline[static_cast<std::size_t>(i)])));
    sink.lineTo(toSink.apply(plan(outline[static_cast<std::size_t>((i + 1) % n)])));
    wrote = true;
  }
  return wrote ? OutlineMode::stroke : OutlineMode::none;
}

// A 2D polyline's segments in its OCS, bulges as arcs.
void writeBulgedPath(PathSink& sink, const Affine& toSink, const std::vector<Point2>& pts,
                     const std::vector<double>& bulges, bool closed) {
  if (pts.size() < 2) return;
  sink.moveTo(toSink.apply(pts[0]));
  const std::size_t segments = closed ? pts.size() : pts.size() - 1;
  for (std::size_t i = 0; i < segments; ++i) {
    const Point2 p = pts[i], q = pts[(i + 1) % pts.size()];
    if (auto arc = bulgeArc(p, q, bulges[i])) {
      forEachArcPiece(*arc, toSink, [&](Point2 c1, Point2 c2, Point2 end) { sink.curveTo(c1, c2, end); });
    } else {
      sink.lineTo(toSink.apply(q));
    }
  }
  if (closed) sink.close();
}

// An old-style polyline: a mesh's visible edges; a 2D one's segments in its plane (arcs
// by their bulges); a 3D one's straight segments; spline frame points are not drawn.
OutlineMode writeHeavyPolyline(const db::HeavyPolyline& p, const Affine& m, PathSink& sink) {
  if (p.isPolyface() || p.isPolygonMesh()) {
    const std::vector<std::array<Point3, 2>> edges = db::meshEdges(p);
    for (const auto& edge : edges) {
      sink.moveTo(m.apply(plan(edge[0])));
      sink.lineTo(m.apply(plan(edge[1])));
    }
    return edges.empty() ? OutlineMode::none : OutlineMode::stroke;
  }
  std::vector<Point2> pts;
  std::vector<double> bulges;
  for (const db::HeavyVertex* v : db::drawnVertices(p)) {
    pts.push_back(plan(v->point));
    bulges.push_back(p.isPlanar() ? v->bulge : 0.0);
  }
  if (pts.size() < 2) return OutlineMode::none;
  const Affine toSink = p.isPlanar() ? m * geom::planOfOcs(p.extrusion, p.origin.z) : m;
  writeBulgedPath(sink, toSink, pts, bulges, p.isClosed());
  return OutlineMode::stroke;
}

// Straight segments through the vertices, or (path type 1) the curve through them,
// dense enough that chords stay within about a quarter unit of the sink.
OutlineMode writeLeader(const db::Leader& l, const Affine& m, PathSink& sink, double scale) {
  if (l.vertices.size() < 2) return OutlineMode::none;
  double length = 0.0;
  for (std::size_t i = 1; i < l.vertices.size(); ++i)
    length += std::hypot(l.vertices[i].x - l.vertices[i - 1].x, l.vertices[i].y - l.vertices[i - 1].y);
  const double onSink = length * scale / static_cast<double>(l.vertices.size() - 1);
  const int perSpan = std::isfinite(onSink) ? static_cast<int>(std::clamp(onSink / 3.0, 4.0, 64.0)) : 4;
  const std::vector<Point3> pts = geom::leaderPathPoints(l, perSpan, 200000);
  if (pts.size() < 2) return OutlineMode::none;
  sink.moveTo(m.apply(plan(pts[0])));
  for (std::size_t i = 1; i < pts.size(); ++i) sink.lineTo(m.apply(plan(pts[i])));
  return OutlineMode::stroke;
}

// A positive number of the leader's dimension style record (its own tags, slot 1), else
// of the header.
double dimensionStyleNumber(const db::Database& db, std::string_view style, int code, const char* header,
                            double fallback) {
  auto positive = [](std::string_view text, double& out) {
    double v = 0.0;
    if (!geom::parseReal(text, v) || !(v > 0.0) || !std::isfinite(v)) return false;
    out = v;
    return true;
  };
  double v = fallback;
  const auto& table = db.keptTable(db::KeptTable::dimstyle);
  const db::SymbolRecord* r = table.get(std::string(style.empty() ? "Standard" : style));
  if (r)
    for (db::RawTag t : r->extras)
      if (t.slot == 1 && t.code == code && positive(t.value, v)) return v;
  if (const auto h = db::headerValue(db.header, header); h && positive(*h, v)) return v;
  return fallback;
}

enum class ArrowShape { closedFilled, tick, dot };

ArrowShape arrowShapeOf(std::string_view name) {
  const std::string n = db::foldName(name);
  if (n == "_ARCHTICK" || n == "ARCHTICK" || n == "_OBLIQUE" || n == "OBLIQUE") return ArrowShape::tick;
  if (n == "_DOT" || n == "DOT" || n == "_DOTSMALL" || n == "_DOTBLANK") return ArrowShape::dot;
  return ArrowShape::closedFilled;
}

// The arrow kind of a leader's style (DIMBLK): the block its record points to (342), the
// block it names (an older file's 5), else the header's; closed filled when none.
ArrowShape leaderArrowKind(const db::Database& db, std::string_view style) {
  const db::SymbolRecord* r = db.keptTable(db::KeptTable::dimstyle).get(std::string(style.empty() ? "Standard" : style));
  if (r) {
    for (db::RawTag t : r->extras) {
      if (t.slot != 1) continue;
      if (t.code == 342) {
        const db::Handle h = std::strtoull(std::string(t.value).c_str(), nullptr, 16);
        for (std::uint32_t i = 0; h != 0 && i < db.blockCount(); ++i)
          if (!db.block(db::BlockId{i}).removed && db.block(db::BlockId{i}).recordHandle == h)
            return arrowShapeOf(db.block(db::BlockId{i}).name);
        return ArrowShape::closedFilled;
      }
    }
    for (db::RawTag t : r->extras)
      if (t.slot == 1 && t.code == 5) return arrowShapeOf(t.value);
  }
  if (const auto name = db::headerValue(db.header, "$DIMBLK")) return arrowShapeOf(*name);
  return ArrowShape::closedFilled;
}

// ARC, CIRCLE and LWPOLYLINE kept for an extrusion out of the plane: seen from above.
OutlineMode writeKeptModeled(KeptKind kind, const db::RawTags& tags, const Affine& m, PathSink& sink) {
  Point3 center, extrusion{0.0, 0.0, 1.0};
  double radius = 0.0, start = 0.0, end = 360.0, elevation = 0.0;
  bool closed = false, bad = false;
  std::vector<Point2> pts;
  std::vector<double> bulges;
  geom::forEachDataTag(tags, [&](int code, std::string_view v) {
    double d = 0.0;
    const bool number = geom::parseReal(v, d);
    switch (code) {
      case 10:
        if (kind == KeptKind::lwpolyline) pts.push_back({d, 0.0}), bulges.push_back(0.0);
        else center.x = d;
        break;
      case 20:
        if (kind == KeptKind::lwpolyline) { if (!pts.empty()) pts.back().y = d; }
        else center.y = d;
        break;
      case 30: center.z = d; break;
      case 38: elevation = d; break;
      case 40: if (kind != KeptKind::lwpolyline) radius = d; break;
      case 42: if (!bulges.empty()) bulges.back() = d; break;
      case 50: start = d; break;
      case 51: end = d; break;
      case 70: closed = (static_cast<long>(d) & 1) != 0; break;
      case 210: extrusion.x = d; break;
      case 220: extrusion.y = d; break;
      case 230: extrusion.z = d; break;
      default: return true;
    }
    if (!number) bad = true;
    return true;
  });
  if (bad) return OutlineMode::none;
  if (kind == KeptKind::lwpolyline) {
    if (pts.size() < 2) return OutlineMode::none;
    writeBulgedPath(sink, m * geom::planOfOcs(extrusion, elevation), pts, bulges, closed);
    return OutlineMode::stroke;
  }
  if (!(radius > 0.0)) return OutlineMode::none;
  const Affine toSink = m * geom::planOfOcs(extrusion, center.z) * Affine::translation(center.x, center.y) *
                        Affine::scaling(radius, radius);
  if (kind == KeptKind::circle) {
    writeArc(sink, toSink, 0.0, 2.0 * std::numbers::pi, true);
    sink.close();
  } else {
    const double sweep = arcSweepDegrees(start, end);
    if (!(sweep > 0.0)) return OutlineMode::none;
    writeArc(sink, toSink, start * kDegree, sweep * kDegree, true);
  }
  return OutlineMode::stroke;
}

// A layout viewport's border: its rectangle, unless it is the sheet's own viewport (id 1)
// or an entity clips it (that entity, drawn as it is, is its border).
OutlineMode writeViewportBorder(const Placed& placed, const db::Database& db, const db::RawTags& tags,
                                const Affine& m, PathSink& sink) {
  double cx = 0.0, cy = 0.0, w = 0.0, h = 0.0, id = 0.0;
  bool bad = false;
  geom::forEachDataTag(tags, [&](int code, std::string_view v) {
    double* to = code == 10 ? &cx : code == 20 ? &cy : code == 40 ? &w : code == 41 ? &h : code == 69 ? &id : nullptr;
    if (to && !geom::parseReal(v, *to)) bad = true;
    return true;
  });
  if (bad || id == 1.0 || !(w > 0.0 && h > 0.0) || !clipBoundaryOf(db, placed.entity).isNull())
    return OutlineMode::none;
  sink.moveTo(m.apply({cx - w / 2.0, cy - h / 2.0}));
  sink.lineTo(m.apply({cx + w / 2.0, cy - h / 2.0}));
  sink.lineTo(m.apply({cx + w / 2.0, cy + h / 2.0}));
  sink.lineTo(m.apply({cx - w / 2.0, cy + h / 2.0}));
  sink.close();
  return OutlineMode::stroke;
}

// Records a clip shape, noting points that are not finite or lie too far.
class ClipShapeSink final : public PathSink {
 public:
  ClipShape shape;
  bool sound = true;
  void moveTo(Point2 p) override { add(ClipShape::Op::move, p); }
  void lineTo(Point2 p) override { add(ClipShape::Op::line, p); }
  void curveTo(Point2 c1, Point2 c2, Point2 end) override {
    add(ClipShape::Op::curve, c1);
    check(c2), check(end);
    shape.points.push_back(c2);
    shape.points.push_back(end);
  }
  void close() override { shape.ops.push_back(ClipShape::Op::close); }

 private:
  void check(Point2 p) {
    if (!(std::abs(p.x) <= kDeviceLimit && std::abs(p.y) <= kDeviceLimit)) sound = false;
  }
  void add(ClipShape::Op op, Point2 p) {
    check(p);
    shape.ops.push_back(op);
    shape.points.push_back(p);
  }
};

}  // namespace

ClipShape clipShapeOf(const db::Database& db, db::ObjectId boundary, const ViewTransform& paper) {
  const db::Entity* e = db.entity(boundary);
  if (!e || e->isErased()) return {};
  const Affine m = affineOf(paper);
  ClipShapeSink sink;
  if (const auto* pl = e->as<db::Polyline>()) {
    std::vector<Point2> pts;
    std::vector<double> bulges;
    for (std::size_t i = 0; i < pl->size(); ++i) {
      pts.push_back(pl->point(i));
      bulges.push_back(pl->bulge(i));
    }
    writeBulgedPath(sink, m, pts, bulges, true);
  } else if (const auto* c = e->as<db::Circle>()) {
    writeArc(sink, m * Affine::translation(c->center.x, c->center.y) * Affine::scaling(c->radius, c->radius), 0.0,
             2.0 * std::numbers::pi, true);
    sink.close();
  } else {
    // Old-style polylines, splines, ellipses and the kinds kept for their extrusion: as
    // they are drawn.
    const auto* kept = e->as<db::UnknownEntity>();
    const KeptKind kind = kept ? geom::keptKindOf(db.name(kept->type)) : drawnKind(*e);
    const Placed placed{*e, boundary, m, 7, kContinuous, -1.0, kind, 0};
    if (writeKeptOutline(placed, db, sink, m.lengthScale(), false) == OutlineMode::none) return {};
    if (!sink.shape.empty() && sink.shape.ops.back() != ClipShape::Op::close) sink.close();
  }
  if (!sink.sound || sink.shape.empty()) return {};
  return std::move(sink.shape);
}

void BoxSink::curveTo(Point2 c1, Point2 c2, Point2 end) {
  box.add(end);
  double ts[2];
  for (int axis = 0; axis < 2; ++axis) {
    const int n = axis == 0 ? extremeParameters(pen_.x, c1.x, c2.x, end.x, ts)
                            : extremeParameters(pen_.y, c1.y, c2.y, end.y, ts);
    for (int i = 0; i < n; ++i) box.add(bezierAt(pen_, c1, c2, end, ts[i]));
  }
  pen_ = end;
}

OutlineMode writeKeptOutline(const Placed& placed, const db::Database& db, PathSink& sink,
                             double unitsPerDrawingUnit, bool fill) {
  const Affine& m = placed.transform;
  if (const auto* solid = placed.entity.as<db::Solid>()) return writeCorners(*solid, m, sink, fill);
  if (const auto* ellipse = placed.entity.as<db::Ellipse>()) return writeEllipse(*ellipse, m, sink);
  if (const auto* spline = placed.entity.as<db::Spline>()) return writeSpline(*spline, m, sink, unitsPerDrawingUnit);
  if (const auto* leader = placed.entity.as<db::Leader>()) return writeLeader(*leader, m, sink, unitsPerDrawingUnit);
  if (const auto* heavy = placed.entity.as<db::HeavyPolyline>()) return writeHeavyPolyline(*heavy, m, sink);
  const db::RawTags* tags = placed.tags();
  if (!tags) return OutlineMode::none;
  switch (placed.kind) {
    case KeptKind::arc:
    case KeptKind::circle:
    case KeptKind::lwpolyline: return writeKeptModeled(placed.kind, *tags, m, sink);
    case KeptKind::other: {
      const auto* kept = placed.entity.as<db::UnknownEntity>();
      if (db.name(kept->type) == "VIEWPORT") return writeViewportBorder(placed, db, *tags, m, sink);
      return OutlineMode::none;
    }
    default: return OutlineMode::none;
  }
}

bool writeLeaderArrow(const db::Leader& leader, const db::Database& db, const Affine& m, PathSink& sink) {
  const auto& v = leader.vertices;
  if (!leader.hasArrow() || v.size() < 2) return false;
  std::size_t from = 1;
  while (from + 1 < v.size() && v[from].x == v[0].x && v[from].y == v[0].y) ++from;
  const double dx = v[0].x - v[from].x, dy = v[0].y - v[from].y, l = std::hypot(dx, dy);
  if (!(l > 0.0)) return false;
  const double size = dimensionStyleNumber(db, leader.style, 41, "$DIMASZ", 2.5) *
                      dimensionStyleNumber(db, leader.style, 40, "$DIMSCALE", 1.0);
  const double ux = dx / l, uy = dy / l, sx = -uy, sy = ux;  // along the leader to its tip, and across
  const Point2 tip = plan(v[0]);
  auto at = [&](double along, double across) {
    return m.apply(Point2{tip.x + along * ux + across * sx, tip.y + along * uy + across * sy});
  };
  switch (leaderArrowKind(db, leader.style)) {
    case ArrowShape::tick: {
      // A thick stroke at 45 degrees through the tip, 0.15 of the size wide.
      const double h = size / 2, w = 0.075 * size;
      sink.moveTo(at(-h - w * 0.7071, -h + w * 0.7071));
      sink.lineTo(at(h - w * 0.7071, h + w * 0.7071));
      sink.lineTo(at(h + w * 0.7071, h - w * 0.7071));
      sink.lineTo(at(-h + w * 0.7071, -h - w * 0.7071));
      break;
    }
    case ArrowShape::dot: {
      const double r = size / 4;
      sink.moveTo(at(r, 0));
      for (int i = 1; i < 24; ++i) {
        const double a = i * std::numbers::pi / 12;
        sink.lineTo(at(r * std::cos(a), r * std::sin(a)));
      }
      break;
    }
    case ArrowShape::closedFilled:
      sink.moveTo(at(0, 0));
      sink.lineTo(at(-size, size / 6));
      sink.lineTo(at(-size, -size / 6));
      break;
  }
  sink.close();
  return true;
}

}  // namespace orv::render
