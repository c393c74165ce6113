// Fillet arcs tangent to two carriers, polyline corners rounded, chamfers.
#include "orv/core/fillet.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace orv::core {

namespace {

Vec2 unit(Vec2 v) {
  const double l = length(v);
  return l == 0 ? Vec2{} : (1 / l) * v;
}

// Which side of a carrier p lies on: left or right of a line, outside or inside a circle.
int sideOfCarrier(const Span& s, Vec2 p) {
  const double v = s.arc ? distance(p, s.center) - s.radius : cross(s.b - s.a, p - s.a);
  const double tol = 1e-12 * std::max({1.0, std::abs(p.x), std::abs(p.y), s.radius});
  return v > tol ? 1 : v < -tol ? -1 : 0;
}

// The carriers at `r` from a span's: two parallel lines, or the circles r wider and narrower.
std::vector<Span> carriersAt(const Span& s, double r) {
  std::vector<Span> out;
  if (!s.arc) {
    const Vec2 n = r * unit(perp(s.b - s.a));
    out.push_back(Span::line(s.a + n, s.b + n));
    out.push_back(Span::line(s.a - n, s.b - n));
  } else {
    out.push_back(Span::arcOf(s.center, s.radius + r, 0, kTwoPi));
    if (s.radius - r > 0) out.push_back(Span::arcOf(s.center, s.radius - r, 0, kTwoPi));
    if (r - s.radius > 0) out.push_back(Span::arcOf(s.center, r - s.radius, 0, kTwoPi));
  }
  return out;
}

double signedAngleBetween(Vec2 u, Vec2 v) { return std::atan2(cross(u, v), dot(u, v)); }

}  // namespace

std::optional<Fillet> filletBetween(const Span& s, Vec2 pick1, const Span& t, Vec2 pick2, double radius) {
  std::vector<Vec2> centers;
  if (radius == 0) {
    centers = carrierIntersections(s, t);
  } else {
    for (const Span& a : carriersAt(s, radius))
      for (const Span& b : carriersAt(t, radius))
        for (Vec2 c : carrierIntersections(a, b)) centers.push_back(c);
  }
  std::optional<Fillet> best;
  bool bestKeeps = false;
  double bestDistance = std::numeric_limits<double>::infinity();
  for (Vec2 c : centers) {
    Fillet f{c, radius, footOn(s, c), footOn(t, c)};
    if (radius == 0) f.first = f.second = c;
    const bool keeps = radius == 0 || (sideOfCarrier(t, c) == sideOfCarrier(t, pick1) &&
                                       sideOfCarrier(s, c) == sideOfCarrier(s, pick2));
    const double d = distance(f.first, pick1) + distance(f.second, pick2);
    if ((keeps && !bestKeeps) || (keeps == bestKeeps && d < bestDistance)) {
      best = f;
      bestKeeps = keeps;
      bestDistance = d;
    }
  }
  return best;
}

db::Arc filletArc(const Fillet& f, double z) {
  double a1 = std::atan2(f.first.y - f.center.y, f.first.x - f.center.x) / kDegree;
  double a2 = std::atan2(f.second.y - f.center.y, f.second.x - f.center.x) / kDegree;
  if (normalizeDegrees(a2 - a1) > 180) std::swap(a1, a2);
  return db::Arc{{f.center.x, f.center.y, z}, f.radius, normalizeDegrees(a1), normalizeDegrees(a2)};
}

Span keptTo(const Span& s, Vec2 p, Vec2 pick) {
  if (!s.arc) return withEndAt(s, s.fractionOf(pick) < s.fractionOf(p), p);
  // Of the arc from p on to the end and the arc from the start on to p, the one that
  // holds the pick; of two that do, the one nearer the span as it was.
  const Span after = withEndAt(s, false, p), before = withEndAt(s, true, p);
  const bool inAfter = after.fractionOf(pick) <= 1 + 1e-12;
  const bool inBefore = before.fractionOf(pick) <= 1 + 1e-12;
  if (inAfter != inBefore) return inAfter ? after : before;
  return std::abs(after.sweep - s.sweep) <= std::abs(before.sweep - s.sweep) ? after : before;
}

std::size_t filletCorners(db::Polyline& poly, double radius, std::optional<std::size_t> vertex) {
  const std::size_t n = poly.size();
  if (n < 3 || radius <= 0) return 0;
  auto at = [&](std::size_t i) {
    const db::Point2 p = poly.point(i % n);
    return Vec2{p.x, p.y};
  };
  const std::size_t segments = poly.closed() ? n : n - 1;
  std::vector<double> room(segments);  // what is left of each segment for the fillets at its ends
  for (std::size_t i = 0; i < segments; ++i) room[i] = distance(at(i), at(i + 1));
  struct Corner {
    Vec2 first, second;
    double bulge = 0;
  };
  std::vector<std::optional<Corner>> corners(n);
  std::size_t count = 0;
  for (std::size_t i = 0; i < n; ++i) {
    if (vertex && *vertex != i) continue;
    if (!poly.closed() && (i == 0 || i == n - 1)) continue;
    const std::size_t prev = (i + n - 1) % n, inSeg = prev, outSeg = i;
    if (poly.bulge(prev) != 0 || poly.bulge(i) != 0) continue;
    const Vec2 v = at(i), u1 = unit(at(prev) - v), u2 = unit(at(i + 1) - v);
    const double turn = signedAngleBetween(v - at(prev), at(i + 1) - v);  // left turn positive
    if (u1 == Vec2{} || u2 == Vec2{} || std::abs(turn) < 1e-12 || std::abs(turn) > kPi - 1e-12) continue;
    const double included = kPi - std::abs(turn);
    const double along = radius / std::tan(included / 2);
    const double tol = 1e-12 * std::max(1.0, along);
    if (along > room[inSeg] + tol || along > room[outSeg] + tol) continue;
    room[inSeg] -= along;
    room[outSeg] -= along;
    corners[i] = Corner{v + along * u1, v + along * u2, std::tan(turn / 4)};
    ++count;
  }
  if (count == 0) return 0;
  db::Polyline out;
  out.reserve(n + count);
  for (std::size_t i = 0; i < n; ++i) {
    const db::Vertex vx = poly.vertex(i);
    if (!corners[i]) {
      out.addVertex(vx.point, vx.bulge, vx.startWidth, vx.endWidth);
      continue;
    }
    out.addVertex({corners[i]->first.x, corners[i]->first.y}, corners[i]->bulge, vx.startWidth, vx.startWidth);
    out.addVertex({corners[i]->second.x, corners[i]->second.y}, vx.bulge, vx.startWidth, vx.endWidth);
  }
  out.setClosed(poly.closed());
  out.setConstantWidth(poly.constantWidth());
  out.setElevation(poly.elevation());
  poly = std::move(out);
  return count;
}

std::optional<std::pair<Vec2, Vec2>> chamferBetween(const Span& s, Vec2 pick1, const Span& t, Vec2 pick2,
                                                    double d1, double d2) {
  if (s.arc || t.arc) return std::nullopt;
  const auto meet = carrierIntersections(s, t);
  if (meet.empty()) return std::nullopt;
  const Vec2 x = meet.front();
  auto toward = [&](const Span& span, Vec2 pick) {
    const Vec2 d = unit(span.b - span.a);
    return dot(pick - x, d) >= 0 ? d : -1.0 * d;
  };
  return std::pair{x + d1 * toward(s, pick1), x + d2 * toward(t, pick2)};
}

}  // namespace orv::core
