// What picks, windows and snaps ask of a piece: the nearest point, whether it meets a
// rectangle, where two pieces meet, perpendicular feet.
#include <algorithm>
#include <array>

#include "orv/core/geometry.h"

namespace orv::core {

namespace {

// Angles and parameters a rounding error off an arc's end still count as on it.
constexpr double kAngleSlack = 1e-9;
constexpr int kEllipseSteps = 128;

bool onArc(const CircularArc& c, double angle) {
  if (c.full()) return true;
  const double off = normalizeRadians(angle - c.start);
  return off <= c.sweep + kAngleSlack || off >= kTwoPi - kAngleSlack;
}

bool onElliptic(const EllipticArc& e, double t) {
  if (e.full()) return true;
  const double off = normalizeRadians(t - e.t0);
  return off <= e.sweep + kAngleSlack || off >= kTwoPi - kAngleSlack;
}

Vec2 nearestOnSegment(const Segment& s, Vec2 p) {
  const Vec2 d = s.b - s.a;
  const double len2 = dot(d, d);
  if (len2 == 0) return s.a;
  const double t = std::clamp(dot(p - s.a, d) / len2, 0.0, 1.0);
  return s.a + t * d;
}

// The parameter of an elliptic arc nearest to p: the best of a dense run of samples,
// then narrowed between its neighbours.
double nearestParameter(const EllipticArc& e, Vec2 p) {
  const double sweep = e.full() ? kTwoPi : e.sweep;
  auto d2 = [&](double t) {
    const Vec2 q = e.at(t) - p;
    return dot(q, q);
  };
  const double step = sweep / kEllipseSteps;
  double bestT = e.t0, best = d2(e.t0);
  for (int i = 1; i <= kEllipseSteps; ++i) {
    const double t = e.t0 + i * step;
    if (const double v = d2(t); v < best) best = v, bestT = t;
  }
  double lo = bestT - step, hi = bestT + step;
  if (!e.full()) lo = std::max(lo, e.t0), hi = std::min(hi, e.t0 + sweep);
  for (int i = 0; i < 60; ++i) {
    const double m1 = lo + (hi - lo) / 3, m2 = hi - (hi - lo) / 3;
    if (d2(m1) < d2(m2))
      hi = m2;
    else
      lo = m1;
  }
  return (lo + hi) / 2;
}

std::vector<Segment> flatten(const EllipticArc& e) {
  std::vector<Segment> out;
  const double sweep = e.full() ? kTwoPi : e.sweep;
  Vec2 prev = e.at(e.t0);
  for (int i = 1; i <= kEllipseSteps; ++i) {
    const Vec2 next = e.at(e.t0 + sweep * i / kEllipseSteps);
    out.push_back({prev, next});
    prev = next;
  }
  return out;
}

// ---- intersections

void segmentSegment(const Segment& s, const Segment& t, std::vector<Vec2>& out) {
  const Vec2 r = s.b - s.a, q = t.b - t.a;
  const double denom = cross(r, q);
  const Vec2 w = t.a - s.a;
  const double scale = std::max({std::abs(r.x), std::abs(r.y), std::abs(q.x), std::abs(q.y), 1e-300});
  if (std::abs(denom) <= 1e-14 * scale * scale) {
    // Parallel: where collinear ones overlap, the ends of the overlap.
    if (std::abs(cross(w, r)) > 1e-12 * scale * std::max(length(w), scale)) return;
    const double len2 = dot(r, r);
    if (len2 == 0) return;
    for (Vec2 p : {t.a, t.b}) {
      const double u = dot(p - s.a, r) / len2;
      if (u >= 0 && u <= 1) out.push_back(p);
    }
    for (Vec2 p : {s.a, s.b}) {
      const double q2 = dot(q, q);
      if (q2 == 0) continue;
      const double u = dot(p - t.a, q) / q2;
      if (u > 0 && u < 1) out.push_back(p);
    }
    return;
  }
  const double u = cross(w, q) / denom, v = cross(w, r) / denom;
  constexpr double slack = 1e-12;
  if (u < -slack || u > 1 + slack || v < -slack || v > 1 + slack) return;
  // Ends that meet exactly give their stored coordinates.
  for (Vec2 p : {s.a, s.b})
    if (p == t.a || p == t.b) {
      out.push_back(p);
      return;
    }
  out.push_back(s.a + u * r);
}

// The points of a segment's line on a circle, as parameters along the segment.
int lineCircle(Vec2 a, Vec2 b, Vec2 center, double r, double (&ts)[2]) {
  const Vec2 d = b - a, f = a - center;
  const double A = dot(d, d);
  if (A == 0) return 0;
  const double B = dot(f, d), C = dot(f, f) - r * r;
  const double disc = B * B - A * C;
  if (disc < -1e-12 * std::max(B * B, A * r * r)) return 0;
  if (disc <= 0) {
    ts[0] = -B / A;
    return 1;
  }
  const double root = std::sqrt(disc);
  ts[0] = (-B - root) / A;
  ts[1] = (-B + root) / A;
  return 2;
}

void segmentArc(const Segment& s, const CircularArc& c, std::vector<Vec2>& out) {
  double ts[2];
  const int n = lineCircle(s.a, s.b, c.center, c.radius, ts);
  for (int i = 0; i < n; ++i) {
    if (ts[i] < -1e-12 || ts[i] > 1 + 1e-12) continue;
    const Vec2 p = s.a + ts[i] * (s.b - s.a);
    if (onArc(c, std::atan2(p.y - c.center.y, p.x - c.center.x))) out.push_back(p);
  }
}

void arcArc(const CircularArc& c1, const CircularArc& c2, std::vector<Vec2>& out) {
  const Vec2 d = c2.center - c1.center;
  const double dist = length(d);
  if (dist == 0) return;  // concentric: no points, or the same circle
  const double r1 = c1.radius, r2 = c2.radius;
  const double slack = 1e-12 * std::max({dist, r1, r2});
  if (dist > r1 + r2 + slack || dist < std::abs(r1 - r2) - slack) return;
  const double a = (dist * dist + r1 * r1 - r2 * r2) / (2 * dist);
  const double h2 = r1 * r1 - a * a;
  const double h = h2 > 0 ? std::sqrt(h2) : 0;
  const Vec2 along = (1 / dist) * d;
  const Vec2 base = c1.center + a * along;
  const Vec2 candidates[2] = {base + h * perp(along), base - h * perp(along)};
  for (int i = 0; i < (h > 0 ? 2 : 1); ++i) {
    const Vec2 p = candidates[i];
    if (onArc(c1, std::atan2(p.y - c1.center.y, p.x - c1.center.x)) &&
        onArc(c2, std::atan2(p.y - c2.center.y, p.x - c2.center.x)))
      out.push_back(p);
  }
}

// A segment and an elliptic arc, exactly: in the coordinates where the ellipse is the
// unit circle the segment stays a segment.
void segmentElliptic(const Segment& s, const EllipticArc& e, std::vector<Vec2>& out) {
  const double det = cross(e.u, e.v);
  if (det == 0) return;
  auto toUnit = [&](Vec2 p) {
    const Vec2 q = p - e.center;
    return Vec2{cross(q, e.v) / det, cross(e.u, q) / det};
  };
  double ts[2];
  const int n = lineCircle(toUnit(s.a), toUnit(s.b), {0, 0}, 1, ts);
  for (int i = 0; i < n; ++i) {
    if (ts[i] < -1e-12 || ts[i] > 1 + 1e-12) continue;
    const Vec2 p = s.a + ts[i] * (s.b - s.a);
    const Vec2 q = toUnit(p);
    if (onElliptic(e, std::atan2(q.y, q.x))) out.push_back(p);
  }
}

void viaSegments(const std::vector<Segment>& segments, const Piece& other, std::vector<Vec2>& out) {
  for (const Segment& s : segments) intersections(s, other, out);
}

}  // namespace

Vec2 nearestOn(const Piece& piece, Vec2 p) {
  if (const auto* s = std::get_if<Segment>(&piece)) return nearestOnSegment(*s, p);
  if (const auto* c = std::get_if<CircularArc>(&piece)) {
    if (p == c->center) return c->startPoint();
    const double angle = std::atan2(p.y - c->center.y, p.x - c->center.x);
    if (c->spans(angle)) return c->at(angle);
    const Vec2 s = c->startPoint(), e = c->endPoint();
    return distance(p, s) <= distance(p, e) ? s : e;
  }
  const auto& e = std::get<EllipticArc>(piece);
  return e.at(nearestParameter(e, p));
}

bool meets(const Piece& piece, const Box2& rect) {
  if (rect.empty()) return false;
  if (const auto* s = std::get_if<Segment>(&piece)) {
    // Liang-Barsky: clip the segment's parameter range to the rectangle.
    double t0 = 0, t1 = 1;
    const Vec2 d = s->b - s->a;
    const double p[4] = {-d.x, d.x, -d.y, d.y};
    const double q[4] = {s->a.x - rect.minX, rect.maxX - s->a.x, s->a.y - rect.minY, rect.maxY - s->a.y};
    for (int i = 0; i < 4; ++i) {
      if (p[i] == 0) {
        if (q[i] < 0) return false;
        continue;
      }
      const double r = q[i] / p[i];
      if (p[i] < 0)
        t0 = std::max(t0, r);
      else
        t1 = std::min(t1, r);
      if (t0 > t1) return false;
    }
    return true;
  }
  if (const auto* c = std::get_if<CircularArc>(&piece)) {
    if (rect.contains(c->startPoint()) || rect.contains(c->endPoint())) return true;
    if (!boxOf(piece).meets(rect)) return false;
    const Vec2 corners[4] = {{rect.minX, rect.minY}, {rect.maxX, rect.minY}, {rect.maxX, rect.maxY},
                             {rect.minX, rect.maxY}};
    std::vector<Vec2> hits;
    for (int i = 0; i < 4; ++i) {
      segmentArc(Segment{corners[i], corners[(i + 1) % 4]}, *c, hits);
      if (!hits.empty()) return true;
    }
    return false;
  }
  const auto& e = std::get<EllipticArc>(piece);
  if (!boxOf(piece).meets(rect)) return false;
  for (const Segment& s : flatten(e))
    if (meets(s, rect)) return true;
  return false;
}

void intersections(const Piece& p, const Piece& q, std::vector<Vec2>& out) {
  const auto* ps = std::get_if<Segment>(&p);
  const auto* qs = std::get_if<Segment>(&q);
  const auto* pc = std::get_if<CircularArc>(&p);
  const auto* qc = std::get_if<CircularArc>(&q);
  const auto* pe = std::get_if<EllipticArc>(&p);
  const auto* qe = std::get_if<EllipticArc>(&q);
  if (ps && qs) return segmentSegment(*ps, *qs, out);
  if (ps && qc) return segmentArc(*ps, *qc, out);
  if (pc && qs) return segmentArc(*qs, *pc, out);
  if (pc && qc) return arcArc(*pc, *qc, out);
  if (ps && qe) return segmentElliptic(*ps, *qe, out);
  if (pe && qs) return segmentElliptic(*qs, *pe, out);
  if (!boxOf(p).meets(boxOf(q))) return;
  if (pe) return viaSegments(flatten(*pe), q, out);
  return viaSegments(flatten(*qe), p, out);
}

void perpendicularFeet(const Piece& piece, Vec2 p, std::vector<Vec2>& out) {
  if (const auto* s = std::get_if<Segment>(&piece)) {
    const Vec2 d = s->b - s->a;
    const double len2 = dot(d, d);
    out.push_back(len2 == 0 ? s->a : s->a + (dot(p - s->a, d) / len2) * d);
    return;
  }
  if (const auto* c = std::get_if<CircularArc>(&piece)) {
    if (p == c->center) return;
    const double angle = std::atan2(p.y - c->center.y, p.x - c->center.x);
    for (double a : {angle, angle + kPi})
      if (onArc(*c, a)) out.push_back(c->at(a));
    return;
  }
  out.push_back(nearestOn(piece, p));
}

}  // namespace orv::core
