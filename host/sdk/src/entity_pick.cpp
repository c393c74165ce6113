// Distances from a point to entities, for picking by point.
#include "entity_pick.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace orv::sdk {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kTwoPi = 2 * std::numbers::pi;
constexpr int kMaxNesting = 16;

double segmentDistance(db::Point2 p, db::Point2 a, db::Point2 b) {
  double dx = b.x - a.x, dy = b.y - a.y;
  double len2 = dx * dx + dy * dy;
  double t = len2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / len2, 0.0, 1.0) : 0.0;
  return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

double normalized(double a) {
  a = std::fmod(a, kTwoPi);
  return a < 0 ? a + kTwoPi : a;
}

// An arc counter-clockwise from start to end (radians).
double arcDistance(db::Point2 p, db::Point2 c, double r, double start, double end) {
  double a = normalized(std::atan2(p.y - c.y, p.x - c.x) - start);
  double sweep = normalized(end - start);
  if (sweep == 0) sweep = kTwoPi;
  if (a <= sweep) return std::abs(std::hypot(p.x - c.x, p.y - c.y) - r);
  db::Point2 s{c.x + r * std::cos(start), c.y + r * std::sin(start)};
  db::Point2 e{c.x + r * std::cos(end), c.y + r * std::sin(end)};
  return std::min(std::hypot(p.x - s.x, p.y - s.y), std::hypot(p.x - e.x, p.y - e.y));
}

// A polyline segment from a to b with a bulge.
double bulgeDistance(db::Point2 p, db::Point2 a, db::Point2 b, double bulge) {
  if (bulge == 0) return segmentDistance(p, a, b);
  double chord = std::hypot(b.x - a.x, b.y - a.y);
  if (chord == 0) return std::hypot(p.x - a.x, p.y - a.y);
  double angle = 4 * std::atan(bulge);  // included angle, negative when clockwise
  double r = chord / (2 * std::sin(std::abs(angle) / 2));
  double h = r * std::cos(angle / 2);  // from the chord's middle to the centre
  double mx = (a.x + b.x) / 2, my = (a.y + b.y) / 2;
  double ux = (b.x - a.x) / chord, uy = (b.y - a.y) / chord;
  // The centre lies to the left of a->b for a counter-clockwise arc.
  double side = angle > 0 ? 1 : -1;
  db::Point2 c{mx - uy * h * side, my + ux * h * side};
  double sa = std::atan2(a.y - c.y, a.x - c.x), sb = std::atan2(b.y - c.y, b.x - c.x);
  return angle > 0 ? arcDistance(p, c, std::abs(r), sa, sb) : arcDistance(p, c, std::abs(r), sb, sa);
}

double distance(const db::Database& d, const db::Entity& e, db::Point2 p, int depth) {
  constexpr double kRad = std::numbers::pi / 180;
  if (const auto* l = e.as<db::Line>()) return segmentDistance(p, {l->start.x, l->start.y}, {l->end.x, l->end.y});
  if (const auto* c = e.as<db::Circle>()) return std::abs(std::hypot(p.x - c->center.x, p.y - c->center.y) - c->radius);
  if (const auto* a = e.as<db::Arc>())
    return arcDistance(p, {a->center.x, a->center.y}, a->radius, a->startAngle * kRad, a->endAngle * kRad);
  if (const auto* pl = e.as<db::Polyline>()) {
    if (pl->empty()) return kInfinity;
    if (pl->size() == 1) return std::hypot(p.x - pl->point(0).x, p.y - pl->point(0).y);
    double best = kInfinity;
    std::size_t n = pl->size(), segments = pl->closed() ? n : n - 1;
    for (std::size_t i = 0; i < segments; ++i)
      best = std::min(best, bulgeDistance(p, pl->point(i), pl->point((i + 1) % n), pl->bulge(i)));
    return best;
  }
  if (const auto* r = e.as<db::BlockReference>()) {
    if (depth >= kMaxNesting || r->xScale == 0 || r->yScale == 0 || r->block.isNull()) return kInfinity;
    if (r->block.index >= d.blockCount()) return kInfinity;
    const db::BlockDefinition& block = d.block(r->block);
    // Into the block's own coordinates: undo the move, the rotation and the scale.
    double dx = p.x - r->position.x, dy = p.y - r->position.y;
    double cs = std::cos(-r->rotation * kRad), sn = std::sin(-r->rotation * kRad);
    db::Point2 q{(dx * cs - dy * sn) / r->xScale + block.base.x, (dx * sn + dy * cs) / r->yScale + block.base.y};
    double scale = std::min(std::abs(r->xScale), std::abs(r->yScale));
    double best = kInfinity;
    d.forEachEntity(r->block, [&](db::ObjectId, const db::Entity& inner) {
      best = std::min(best, distance(d, inner, q, depth + 1));
    });
    return best * scale;
  }
  return kInfinity;
}

}  // namespace

double distanceTo(const db::Database& database, const db::Entity& entity, db::Point2 p) {
  return distance(database, entity, p, 0);
}

db::ObjectId pickEntity(const db::Database& database, db::Point2 p, double maxDistance) {
  db::ObjectId best;
  double bestDistance = kInfinity;
  database.forEachEntity(database.modelSpace(), [&](db::ObjectId id, const db::Entity& e) {
    double d = distance(database, e, p, 0);
    // Later entities win ties: they are drawn on top.
    if (d <= maxDistance && d <= bestDistance) {
      best = id;
      bestDistance = d;
    }
  });
  return best;
}

}  // namespace orv::sdk
