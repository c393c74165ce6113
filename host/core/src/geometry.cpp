// Angles, boxes, affine maps, and the pieces' ends, middles, boxes and maps.
#include "orv/core/geometry.h"

#include <algorithm>

namespace orv::core {

double normalizeRadians(double a) {
  if (!std::isfinite(a)) return 0;
  a = std::fmod(a, kTwoPi);
  if (a < 0) a += kTwoPi;
  return a >= kTwoPi ? 0 : a;
}

double normalizeDegrees(double a) {
  if (!std::isfinite(a)) return 0;
  a = std::fmod(a, 360.0);
  if (a < 0) a += 360.0;
  return a >= 360.0 ? 0 : a;
}

Vec2 unitAtDegrees(double degrees) {
  const double a = normalizeDegrees(degrees);
  if (a == 0) return {1, 0};
  if (a == 90) return {0, 1};
  if (a == 180) return {-1, 0};
  if (a == 270) return {0, -1};
  return {std::cos(a * kDegree), std::sin(a * kDegree)};
}

Vec2 unitAtRadians(double radians) {
  const double a = normalizeRadians(radians);
  if (a == 0) return {1, 0};
  if (a == kPi / 2) return {0, 1};
  if (a == kPi) return {-1, 0};
  if (a == 3 * kPi / 2) return {0, -1};
  return {std::cos(a), std::sin(a)};
}

double degreesOf(Vec2 v) {
  if (v.y == 0) return v.x < 0 ? 180 : 0;
  if (v.x == 0) return v.y > 0 ? 90 : 270;
  return normalizeDegrees(std::atan2(v.y, v.x) / kDegree);
}

Box2 Box2::of(Vec2 p, Vec2 q) {
  return {std::min(p.x, q.x), std::min(p.y, q.y), std::max(p.x, q.x), std::max(p.y, q.y)};
}

void Box2::add(Vec2 p) {
  minX = std::min(minX, p.x);
  minY = std::min(minY, p.y);
  maxX = std::max(maxX, p.x);
  maxY = std::max(maxY, p.y);
}

void Box2::add(const Box2& b) {
  if (b.empty()) return;
  add(Vec2{b.minX, b.minY});
  add(Vec2{b.maxX, b.maxY});
}

// ---- affine maps

Affine2 Affine2::translation(Vec2 by, double dz) {
  Affine2 m;
  m.tx = by.x;
  m.ty = by.y;
  m.zt = dz;
  return m;
}

Affine2 Affine2::rotation(Vec2 about, double degrees) {
  const Vec2 u = unitAtDegrees(degrees);
  Affine2 m;
  m.a = u.x, m.b = -u.y, m.c = u.y, m.d = u.x;
  m.turn = normalizeDegrees(degrees);
  m.tx = about.x - (m.a * about.x + m.b * about.y);
  m.ty = about.y - (m.c * about.x + m.d * about.y);
  return m;
}

Affine2 Affine2::scaling(Vec2 about, double f) {
  Affine2 m;
  m.a = f, m.d = f;
  m.tx = about.x - f * about.x;
  m.ty = about.y - f * about.y;
  return m;
}

Affine2 Affine2::mirror(Vec2 p, Vec2 q) {
  // Reflection in a line at angle φ: [[cos 2φ, sin 2φ], [sin 2φ, -cos 2φ]].
  const Vec2 dir = q - p;
  const double len2 = dot(dir, dir);
  Affine2 m;
  if (len2 == 0) return m;
  const double c2 = (dir.x * dir.x - dir.y * dir.y) / len2;
  const double s2 = 2 * dir.x * dir.y / len2;
  m.a = c2, m.b = s2, m.c = s2, m.d = -c2;
  m.turn = normalizeDegrees(2 * degreesOf(dir));
  m.tx = p.x - (m.a * p.x + m.b * p.y);
  m.ty = p.y - (m.c * p.x + m.d * p.y);
  return m;
}

Affine2 Affine2::insert(Vec2 base, Vec2 position, double xScale, double yScale, double rotation) {
  const Vec2 u = unitAtDegrees(rotation);
  Affine2 m;
  m.a = u.x * xScale, m.b = -u.y * yScale;
  m.c = u.y * xScale, m.d = u.x * yScale;
  m.turn = std::numeric_limits<double>::quiet_NaN();
  m.tx = position.x - (m.a * base.x + m.b * base.y);
  m.ty = position.y - (m.c * base.x + m.d * base.y);
  return m;
}

Affine2 Affine2::after(const Affine2& f) const {
  Affine2 m;
  m.a = a * f.a + b * f.c;
  m.b = a * f.b + b * f.d;
  m.c = c * f.a + d * f.c;
  m.d = c * f.b + d * f.d;
  m.tx = a * f.tx + b * f.ty + tx;
  m.ty = c * f.tx + d * f.ty + ty;
  m.zs = zs * f.zs;
  m.zt = zs * f.zt + zt;
  // Angle maps compose: α -> t ± α after α -> s ± α.
  m.turn = std::isfinite(turn) && std::isfinite(f.turn) ? normalizeDegrees(mirrors() ? turn - f.turn : turn + f.turn)
                                                         : std::numeric_limits<double>::quiet_NaN();
  return m;
}

bool Affine2::isSimilarity() const {
  const double c0 = a * a + c * c, c1 = b * b + d * d, o = a * b + c * d;
  const double tol = 1e-12 * std::max(c0, c1);
  return std::abs(c0 - c1) <= tol && std::abs(o) <= tol;
}

// ---- pieces

bool CircularArc::spans(double angle) const {
  if (full()) return true;
  return normalizeRadians(angle - start) <= sweep;
}

Piece bulgePiece(Vec2 a, Vec2 b, double bulge) {
  const double chord = distance(a, b);
  if (bulge == 0 || chord == 0 || !std::isfinite(bulge)) return Segment{a, b};
  const double included = 4 * std::atan(bulge);  // negative: clockwise
  const double r = chord / (2 * std::sin(std::abs(included) / 2));
  const double h = r * std::cos(included / 2);  // chord middle to centre, signed
  const Vec2 mid = 0.5 * (a + b);
  const Vec2 along = (1 / chord) * (b - a);
  const double side = included > 0 ? 1 : -1;
  const Vec2 center = mid + (h * side) * perp(along);
  const double sa = std::atan2(a.y - center.y, a.x - center.x);
  const double sb = std::atan2(b.y - center.y, b.x - center.x);
  CircularArc arc{center, std::abs(r), 0, 0};
  if (included > 0) {
    arc.start = normalizeRadians(sa);
    arc.sweep = normalizeRadians(sb - sa);
  } else {
    arc.start = normalizeRadians(sb);
    arc.sweep = normalizeRadians(sa - sb);
  }
  if (arc.sweep == 0) arc.sweep = std::abs(included);
  return arc;
}

namespace {

// An elliptic arc whose axes came out perpendicular and of one length is a circular arc.
Piece simplified(const EllipticArc& e) {
  const double lu = length(e.u), lv = length(e.v);
  const double tol = 1e-12 * std::max(lu, lv);
  if (std::abs(lu - lv) > tol || std::abs(dot(e.u, e.v)) > tol * std::max(lu, lv) || lu == 0) return e;
  const double alpha = std::atan2(e.u.y, e.u.x);
  CircularArc arc{e.center, lu, 0, e.sweep};
  // Counter-clockwise when v is u turned left; else the parameter runs clockwise.
  arc.start = cross(e.u, e.v) > 0 ? normalizeRadians(alpha + e.t0)
                                  : normalizeRadians(alpha - e.t0 - e.sweep);
  return arc;
}

}  // namespace

Piece transformed(const Piece& piece, const Affine2& m) {
  if (const auto* s = std::get_if<Segment>(&piece)) return Segment{m.apply(s->a), m.apply(s->b)};
  if (const auto* c = std::get_if<CircularArc>(&piece)) {
    if (m.isSimilarity()) {
      const Vec2 center = m.apply(c->center);
      const double r = c->radius * m.scale();
      const Vec2 s = m.applyLinear({std::cos(c->start), std::sin(c->start)});
      const double a0 = std::atan2(s.y, s.x);
      if (!m.mirrors()) return CircularArc{center, r, normalizeRadians(a0), c->sweep};
      return CircularArc{center, r, normalizeRadians(a0 - c->sweep), c->sweep};
    }
    EllipticArc e{m.apply(c->center), m.applyLinear({c->radius, 0}), m.applyLinear({0, c->radius}),
                  c->start, c->sweep};
    return e;
  }
  const auto& e = std::get<EllipticArc>(piece);
  return simplified(EllipticArc{m.apply(e.center), m.applyLinear(e.u), m.applyLinear(e.v), e.t0, e.sweep});
}

Vec2 startOf(const Piece& piece) {
  if (const auto* s = std::get_if<Segment>(&piece)) return s->a;
  if (const auto* c = std::get_if<CircularArc>(&piece)) return c->startPoint();
  const auto& e = std::get<EllipticArc>(piece);
  return e.at(e.t0);
}

Vec2 endOf(const Piece& piece) {
  if (const auto* s = std::get_if<Segment>(&piece)) return s->b;
  if (const auto* c = std::get_if<CircularArc>(&piece)) return c->endPoint();
  const auto& e = std::get<EllipticArc>(piece);
  return e.at(e.t0 + e.sweep);
}

Vec2 middleOf(const Piece& piece) {
  if (const auto* s = std::get_if<Segment>(&piece)) return 0.5 * (s->a + s->b);
  if (const auto* c = std::get_if<CircularArc>(&piece)) return c->at(c->start + c->sweep / 2);
  const auto& e = std::get<EllipticArc>(piece);
  return e.at(e.t0 + e.sweep / 2);
}

bool isClosed(const Piece& piece) {
  if (const auto* c = std::get_if<CircularArc>(&piece)) return c->full();
  if (const auto* e = std::get_if<EllipticArc>(&piece)) return e->full();
  return false;
}

void quadrantPoints(const Piece& piece, std::vector<Vec2>& out) {
  if (const auto* c = std::get_if<CircularArc>(&piece)) {
    for (int k = 0; k < 4; ++k) {
      const double angle = k * kPi / 2;
      if (!c->spans(angle)) continue;
      const Vec2 u = unitAtDegrees(90.0 * k);
      out.push_back(c->center + c->radius * u);
    }
    return;
  }
  if (const auto* e = std::get_if<EllipticArc>(&piece)) {
    // The ends of the conjugate axes u and v (the ellipse's own axes when they are
    // perpendicular, as an ELLIPSE entity's are).
    for (int k = 0; k < 4; ++k) {
      const double t = k * kPi / 2;
      if (!e->full() && normalizeRadians(t - e->t0) > e->sweep) continue;
      out.push_back(e->at(t));
    }
  }
}

Box2 boxOf(const Piece& piece) {
  Box2 box;
  if (const auto* s = std::get_if<Segment>(&piece)) {
    box.add(s->a);
    box.add(s->b);
    return box;
  }
  if (const auto* c = std::get_if<CircularArc>(&piece)) {
    if (c->full()) return {c->center.x - c->radius, c->center.y - c->radius, c->center.x + c->radius,
                           c->center.y + c->radius};
    box.add(c->startPoint());
    box.add(c->endPoint());
    std::vector<Vec2> q;
    quadrantPoints(piece, q);
    for (Vec2 p : q) box.add(p);
    return box;
  }
  const auto& e = std::get<EllipticArc>(piece);
  // x(t) = cx + ux cos t + vx sin t is extreme where tan t = vx / ux; so is y.
  auto consider = [&](double t) {
    if (e.full() || normalizeRadians(t - e.t0) <= e.sweep) box.add(e.at(t));
  };
  const double tx = std::atan2(e.v.x, e.u.x), ty = std::atan2(e.v.y, e.u.y);
  consider(tx), consider(tx + kPi), consider(ty), consider(ty + kPi);
  if (!e.full()) {
    box.add(e.at(e.t0));
    box.add(e.at(e.t0 + e.sweep));
  }
  return box;
}

}  // namespace orv::core
