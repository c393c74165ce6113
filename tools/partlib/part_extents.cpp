// Exact extents of a block's drawing: arcs by their extreme points under any affine map.
#include "part_extents.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace orv::partlib {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kTwoPi = 2.0 * std::numbers::pi;
// Block references nested deeper than this are left out (a database refuses cycles;
// this only bounds the work).
constexpr int kMaxDepth = 64;

double radians(double degrees) { return degrees * kPi / 180.0; }

// (cos t, sin t), exact at quarter turns, so that a circle's extreme points and a
// quarter-turned reference keep exact coordinates.
db::Point2 unitVector(double t) {
  const double quarters = t / (kPi / 2.0);
  const double nearest = std::round(quarters);
  if (std::abs(quarters - nearest) < 1e-12) {
    static constexpr double kCos[4] = {1.0, 0.0, -1.0, 0.0}, kSin[4] = {0.0, 1.0, 0.0, -1.0};
    const long long q = static_cast<long long>(std::fmod(nearest, 4.0) + 4.0) % 4;
    return {kCos[q], kSin[q]};
  }
  return {std::cos(t), std::sin(t)};
}

// Where angle t lies past `start`, in [0, 2π).
double past(double t, double start) {
  double d = std::fmod(t - start, kTwoPi);
  if (d < 0.0) d += kTwoPi;
  return d;
}

// The arc a polyline segment with a bulge draws: centre, radius, start angle and the
// counter-clockwise sweep that covers it.
struct BulgeArc {
  db::Point2 center;
  double radius = 0.0;
  double start = 0.0;
  double sweep = 0.0;
};

std::optional<BulgeArc> bulgeArc(db::Point2 p1, db::Point2 p2, double bulge) {
  const double vx = p2.x - p1.x, vy = p2.y - p1.y;
  const double chord = std::hypot(vx, vy);
  if (bulge == 0.0 || chord == 0.0) return std::nullopt;
  const double offset = (1.0 - bulge * bulge) / (4.0 * bulge);  // times the chord, to the left
  BulgeArc a;
  a.center = {(p1.x + p2.x) / 2.0 - vy * offset, (p1.y + p2.y) / 2.0 + vx * offset};
  a.radius = chord * (1.0 + bulge * bulge) / (4.0 * std::abs(bulge));
  const double sweep = 4.0 * std::atan(bulge);  // negative: clockwise from p1
  const db::Point2 from = sweep > 0.0 ? p1 : p2;
  a.start = std::atan2(from.y - a.center.y, from.x - a.center.x);
  a.sweep = std::abs(sweep);
  return a;
}

void addPolyline(BoxBuilder& out, const db::Polyline& pl, const Transform& m) {
  const std::size_t n = pl.size();
  for (std::size_t i = 0; i < n; ++i) out.add(m.apply(pl.point(i)));
  const std::size_t segments = pl.closed() ? n : (n == 0 ? 0 : n - 1);
  for (std::size_t i = 0; i < segments; ++i) {
    const db::Point2 p1 = pl.point(i), p2 = pl.point((i + 1) % n);
    // A vertex width of 0 means the polyline's own width.
    const double ws = pl.startWidth(i) > 0.0 ? pl.startWidth(i) : pl.constantWidth();
    const double we = pl.endWidth(i) > 0.0 ? pl.endWidth(i) : pl.constantWidth();
    if (auto arc = bulgeArc(p1, p2, pl.bulge(i))) {
      out.addArc(m, arc->center, arc->radius, arc->start, arc->sweep);
      const double half = std::max(ws, we) / 2.0;
      if (half > 0.0) {
        out.addArc(m, arc->center, arc->radius + half, arc->start, arc->sweep);
        out.addArc(m, arc->center, arc->radius - half, arc->start, arc->sweep);
      }
    } else if ((ws > 0.0 || we > 0.0) && p1 != p2) {
      // A wide straight segment is the trapezoid across its two ends.
      const double len = std::hypot(p2.x - p1.x, p2.y - p1.y);
      const double nx = -(p2.y - p1.y) / len, ny = (p2.x - p1.x) / len;
      out.add(m.apply({p1.x + nx * ws / 2.0, p1.y + ny * ws / 2.0}));
      out.add(m.apply({p1.x - nx * ws / 2.0, p1.y - ny * ws / 2.0}));
      out.add(m.apply({p2.x + nx * we / 2.0, p2.y + ny * we / 2.0}));
      out.add(m.apply({p2.x - nx * we / 2.0, p2.y - ny * we / 2.0}));
    }
  }
}

}  // namespace

Transform Transform::operator*(const Transform& in) const {
  Transform r;
  r.xx = xx * in.xx + xy * in.yx;
  r.xy = xx * in.xy + xy * in.yy;
  r.yx = yx * in.xx + yy * in.yx;
  r.yy = yx * in.xy + yy * in.yy;
  r.x0 = xx * in.x0 + xy * in.y0 + x0;
  r.y0 = yx * in.x0 + yy * in.y0 + y0;
  return r;
}

Transform Transform::of(const db::BlockReference& ref, db::Point3 base) {
  const db::Point2 u = unitVector(radians(ref.rotation));
  const double c = u.x, s = u.y;
  Transform t;
  t.xx = c * ref.xScale;
  t.xy = -s * ref.yScale;
  t.yx = s * ref.xScale;
  t.yy = c * ref.yScale;
  t.x0 = ref.position.x - (t.xx * base.x + t.xy * base.y);
  t.y0 = ref.position.y - (t.yx * base.x + t.yy * base.y);
  return t;
}

void BoxBuilder::add(db::Point2 p) {
  if (empty_) {
    box_ = {p.x, p.y, p.x, p.y};
    empty_ = false;
    return;
  }
  box_.minX = std::min(box_.minX, p.x);
  box_.minY = std::min(box_.minY, p.y);
  box_.maxX = std::max(box_.maxX, p.x);
  box_.maxY = std::max(box_.maxY, p.y);
}

void BoxBuilder::addArc(const Transform& m, db::Point2 c, double r, double start, double sweep) {
  // x'(t) = m.xx (cx + r cos t) + m.xy (cy + r sin t) + x0 is extreme where
  // tan t = m.xy / m.xx, and likewise y'; those angles and their opposites, where the
  // arc reaches them, and its two ends bound the mapped arc.
  const auto at = [&](double t) {
    const db::Point2 u = unitVector(t);
    return m.apply({c.x + r * u.x, c.y + r * u.y});
  };
  add(at(start));
  add(at(start + sweep));
  const double candidates[4] = {std::atan2(m.xy, m.xx), std::atan2(m.xy, m.xx) + kPi,
                                std::atan2(m.yy, m.yx), std::atan2(m.yy, m.yx) + kPi};
  for (double t : candidates)
    if (past(t, start) <= sweep) add(at(t));
}

std::optional<Box> BoxBuilder::box() const {
  if (empty_) return std::nullopt;
  return box_;
}

void addEntity(BoxBuilder& out, const db::Database& d, const db::Entity& e, const Transform& m, int depth) {
  if (const auto* line = e.as<db::Line>()) {
    out.add(m.apply({line->start.x, line->start.y}));
    out.add(m.apply({line->end.x, line->end.y}));
  } else if (const auto* arc = e.as<db::Arc>()) {
    const double start = radians(arc->startAngle);
    double sweep = past(radians(arc->endAngle), start);
    if (sweep == 0.0) sweep = kTwoPi;
    out.addArc(m, {arc->center.x, arc->center.y}, arc->radius, start, sweep);
  } else if (const auto* circle = e.as<db::Circle>()) {
    out.addArc(m, {circle->center.x, circle->center.y}, circle->radius, 0.0, kTwoPi);
  } else if (const auto* pl = e.as<db::Polyline>()) {
    addPolyline(out, *pl, m);
  } else if (const auto* ref = e.as<db::BlockReference>()) {
    if (depth >= kMaxDepth || ref->block.index >= d.blockCount()) return;
    const db::BlockDefinition& def = d.block(ref->block);
    const Transform inner = m * Transform::of(*ref, def.base);
    d.forEachEntity(ref->block, [&](db::ObjectId, const db::Entity& child) {
      addEntity(out, d, child, inner, depth + 1);
    });
  }
}

std::optional<Box> blockExtents(const db::Database& d, db::BlockId block) {
  if (block.index >= d.blockCount()) return std::nullopt;
  BoxBuilder out;
  d.forEachEntity(block, [&](db::ObjectId, const db::Entity& e) { addEntity(out, d, e, Transform{}); });
  return out.box();
}

}  // namespace orv::partlib
