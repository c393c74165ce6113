// The constructions of the drawing commands, worked in closed form.
#include "draw_geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace orv::app::shapes {

namespace {

// v turned counter-clockwise by `degrees` (exact at multiples of 90).
Vec2 turned(Vec2 v, double degrees) {
  const Vec2 u = core::unitAtDegrees(degrees);
  return {v.x * u.x - v.y * u.y, v.x * u.y + v.y * u.x};
}

Vec2 unit(Vec2 v) {
  const double l = core::length(v);
  return l > 0 ? Vec2{v.x / l, v.y / l} : Vec2{};
}

// ---- where a centre may lie: lines and circles, intersected pairwise
struct Through {  // the line p + t d
  Vec2 p, d;
};

void meet(const Through& l, const Through& m, std::vector<Vec2>& out) {
  const double c = core::cross(l.d, m.d);
  if (c == 0) return;
  out.push_back(l.p + core::cross(m.p - l.p, m.d) / c * l.d);
}

void meet(const Through& l, const CircleShape& k, std::vector<Vec2>& out) {
  const double dd = core::dot(l.d, l.d);
  if (dd == 0) return;
  const Vec2 foot = l.p + core::dot(k.center - l.p, l.d) / dd * l.d;
  const double off = core::distance(foot, k.center);
  double h2 = k.radius * k.radius - off * off;
  const double slack = 1e-12 * std::max(k.radius * k.radius, 1.0);
  if (h2 < -slack) return;
  const double h = std::sqrt(std::max(h2, 0.0));
  const Vec2 along = unit(l.d);
  out.push_back(foot + h * along);
  if (h > 0) out.push_back(foot - h * along);
}

void meet(const CircleShape& k, const CircleShape& m, std::vector<Vec2>& out) {
  const double d = core::distance(k.center, m.center);
  if (d == 0) return;
  const double a = (d * d + k.radius * k.radius - m.radius * m.radius) / (2 * d);
  double h2 = k.radius * k.radius - a * a;
  const double slack = 1e-12 * std::max(k.radius * k.radius, 1.0);
  if (h2 < -slack) return;
  const double h = std::sqrt(std::max(h2, 0.0));
  const Vec2 along = unit(m.center - k.center);
  const Vec2 foot = k.center + a * along;
  out.push_back(foot + h * core::perp(along));
  if (h > 0) out.push_back(foot - h * core::perp(along));
}

void meet(const CircleShape& k, const Through& l, std::vector<Vec2>& out) { meet(l, k, out); }

using Locus = std::variant<Through, CircleShape>;

// Where the centre of a circle of radius r tangent to `to` lies.
std::vector<Locus> centresTangentTo(const TangentTo& to, double r) {
  if (const auto* l = std::get_if<TangentLine>(&to)) {
    const Vec2 n = core::perp(unit(l->b - l->a));
    return {Through{l->a + r * n, l->b - l->a}, Through{l->a - r * n, l->b - l->a}};
  }
  const auto& k = std::get<CircleShape>(to);
  return {CircleShape{k.center, k.radius + r}, CircleShape{k.center, std::abs(k.radius - r)}};
}

// Where a circle about `center` touches `to`.
Vec2 touchPoint(const TangentTo& to, Vec2 center, Vec2 pick) {
  if (const auto* l = std::get_if<TangentLine>(&to)) {
    const Vec2 d = l->b - l->a;
    return l->a + core::dot(center - l->a, d) / core::dot(d, d) * d;
  }
  const auto& k = std::get<CircleShape>(to);
  const Vec2 toward = center == k.center ? pick - k.center : center - k.center;
  return k.center + k.radius * unit(toward);
}

}  // namespace

std::optional<CircleShape> circleThrough(Vec2 a, Vec2 b, Vec2 c) {
  const Vec2 ab = b - a, ac = c - a;
  const double d = 2 * core::cross(ab, ac);
  if (d == 0) return std::nullopt;
  const double ab2 = core::dot(ab, ab), ac2 = core::dot(ac, ac);
  const Vec2 offset{(ac.y * ab2 - ab.y * ac2) / d, (ab.x * ac2 - ac.x * ab2) / d};
  return CircleShape{a + offset, core::length(offset)};
}

CircleShape circleOnDiameter(Vec2 a, Vec2 b) {
  return {0.5 * (a + b), core::distance(a, b) / 2};
}

std::optional<CircleShape> tangentCircle(const TangentTo& first, Vec2 firstPick, const TangentTo& second,
                                         Vec2 secondPick, double radius) {
  if (!(radius > 0)) return std::nullopt;
  std::vector<Vec2> centres;
  for (const Locus& p : centresTangentTo(first, radius))
    for (const Locus& q : centresTangentTo(second, radius))
      std::visit([&](const auto& x, const auto& y) { meet(x, y, centres); }, p, q);
  std::optional<CircleShape> best;
  double bestMiss = std::numeric_limits<double>::infinity();
  for (Vec2 c : centres) {
    const double miss = core::distance(touchPoint(first, c, firstPick), firstPick) +
                        core::distance(touchPoint(second, c, secondPick), secondPick);
    if (miss < bestMiss) {
      bestMiss = miss;
      best = CircleShape{c, radius};
    }
  }
  return best;
}

std::optional<ArcShape> arcThrough(Vec2 start, Vec2 on, Vec2 end) {
  const auto circle = circleThrough(start, on, end);
  if (!circle) return std::nullopt;
  double from = core::degreesOf(start - circle->center), to = core::degreesOf(end - circle->center);
  if (core::cross(on - start, end - on) < 0) std::swap(from, to);  // drawn clockwise
  return ArcShape{circle->center, circle->radius, from, to};
}

ArcShape arcFromCentre(Vec2 center, Vec2 start, Vec2 end) {
  return {center, core::distance(center, start), core::degreesOf(start - center), core::degreesOf(end - center)};
}

ArcShape arcFromCentreAngle(Vec2 center, Vec2 start, double includedDegrees) {
  const double from = core::degreesOf(start - center);
  const double to = core::normalizeDegrees(from + includedDegrees);
  const double r = core::distance(center, start);
  return includedDegrees >= 0 ? ArcShape{center, r, from, to} : ArcShape{center, r, to, from};
}

std::optional<double> tangentArcBulge(Vec2 direction, Vec2 from, Vec2 to) {
  // tan(α/2) = sin α / (1 + cos α), α the turn from the direction to the chord: half the
  // included angle, so that the bulge tan(included / 4) is tan(α/2).
  const Vec2 chord = to - from;
  const double lengths = core::length(direction) * core::length(chord);
  const double below = lengths + core::dot(direction, chord);
  if (lengths == 0 || below <= 1e-12 * lengths) return std::nullopt;
  return core::cross(direction, chord) / below;
}

Vec2 endDirection(Vec2 from, Vec2 to, double bulge) {
  // The chord turned by half the included angle: cos and sin of 2 atan(bulge).
  const double b2 = bulge * bulge;
  const double c = (1 - b2) / (1 + b2), s = 2 * bulge / (1 + b2);
  const Vec2 d = to - from;
  return {d.x * c - d.y * s, d.x * s + d.y * c};
}

std::optional<std::vector<BulgeVertex>> rectangleVertices(Vec2 corner, Vec2 opposite, double fillet) {
  const double x0 = std::min(corner.x, opposite.x), x1 = std::max(corner.x, opposite.x);
  const double y0 = std::min(corner.y, opposite.y), y1 = std::max(corner.y, opposite.y);
  if (!(x1 > x0 && y1 > y0) || fillet < 0 || 2 * fillet > std::min(x1 - x0, y1 - y0)) return std::nullopt;
  if (fillet == 0) return std::vector<BulgeVertex>{{{x0, y0}}, {{x1, y0}}, {{x1, y1}}, {{x0, y1}}};
  const double r = fillet, quarter = std::sqrt(2.0) - 1;  // tan(90° / 4)
  const std::vector<BulgeVertex> all = {
      {{x0 + r, y0}}, {{x1 - r, y0}, quarter}, {{x1, y0 + r}}, {{x1, y1 - r}, quarter},
      {{x1 - r, y1}}, {{x0 + r, y1}, quarter}, {{x0, y1 - r}}, {{x0, y0 + r}, quarter},
  };
  // A side exactly twice the radius has no straight part: its two ends are one vertex.
  std::vector<BulgeVertex> out;
  for (std::size_t i = 0; i < all.size(); ++i)
    if (!(all[i].bulge == 0 && all[i].point == all[(i + 1) % all.size()].point)) out.push_back(all[i]);
  return out;
}

std::vector<Vec2> polygonAbout(int sides, Vec2 center, Vec2 first) {
  std::vector<Vec2> out;
  out.reserve(static_cast<std::size_t>(sides));
  out.push_back(first);
  for (int k = 1; k < sides; ++k) out.push_back(center + turned(first - center, 360.0 * k / sides));
  return out;
}

std::vector<Vec2> polygonOnEdge(int sides, Vec2 p, Vec2 q) {
  const double s = core::distance(p, q);
  const Vec2 middle = 0.5 * (p + q);
  const Vec2 inward = core::perp(unit(q - p));
  const Vec2 center = middle + (s / 2 / std::tan(core::kPi / sides)) * inward;
  std::vector<Vec2> out = polygonAbout(sides, center, p);
  out[1] = q;
  return out;
}

Vec2 polygonFirstVertex(int sides, Vec2 center, double radius, bool inscribed, std::optional<Vec2> through) {
  const double half = 180.0 / sides;
  const double reach = inscribed ? radius : radius / std::cos(core::kPi / sides);
  if (through && inscribed) return *through;
  const double at = through ? core::degreesOf(*through - center) - half : -90.0 - half;
  return center + reach * core::unitAtDegrees(at);
}

AreaAndLength closedOutline(const std::vector<BulgeVertex>& vertices) {
  double twiceArea = 0, segments = 0, length = 0;
  const std::size_t n = vertices.size();
  for (std::size_t i = 0; i < n; ++i) {
    const Vec2 a = vertices[i].point, b = vertices[(i + 1) % n].point;
    twiceArea += core::cross(a, b);
    const double chord = core::distance(a, b), bulge = vertices[i].bulge;
    if (bulge == 0 || chord == 0) {
      length += chord;
      continue;
    }
    const double included = 4 * std::atan(std::abs(bulge));
    const double r = chord / (2 * std::sin(included / 2));
    length += r * included;
    const double cut = r * r / 2 * (included - std::sin(included));  // between chord and arc
    segments += bulge > 0 ? cut : -cut;
  }
  return {std::abs(twiceArea / 2 + segments), length};
}

namespace {

// The segments of a path: from, to, bulge.
struct Stretch {
  Vec2 a, b;
  double bulge;
};

std::vector<Stretch> stretchesOf(const std::vector<BulgeVertex>& path, bool closed) {
  std::vector<Stretch> out;
  const std::size_t n = path.size();
  for (std::size_t i = 0; n >= 2 && i < (closed ? n : n - 1); ++i)
    out.push_back({path[i].point, path[(i + 1) % n].point, path[i].bulge});
  return out;
}

double stretchLength(const Stretch& s) {
  const double chord = core::distance(s.a, s.b);
  if (s.bulge == 0 || chord == 0) return chord;
  const double included = 4 * std::atan(std::abs(s.bulge));
  return chord / (2 * std::sin(included / 2)) * included;
}

}  // namespace

double lengthOf(const std::vector<BulgeVertex>& path, bool closed) {
  double total = 0;
  for (const Stretch& s : stretchesOf(path, closed)) total += stretchLength(s);
  return total;
}

PathPoint pointAlong(const std::vector<BulgeVertex>& path, bool closed, double distance) {
  const std::vector<Stretch> stretches = stretchesOf(path, closed);
  if (stretches.empty()) return {path.empty() ? Vec2{} : path.front().point, 0};
  double left = std::max(distance, 0.0);
  for (std::size_t i = 0; i < stretches.size(); ++i) {
    const Stretch& s = stretches[i];
    const double l = stretchLength(s);
    if (left > l && i + 1 < stretches.size()) {
      left -= l;
      continue;
    }
    left = std::min(left, l);
    const core::Piece piece = core::bulgePiece(s.a, s.b, s.bulge);
    if (const auto* arc = std::get_if<core::CircularArc>(&piece)) {
      // The piece runs counter-clockwise: from a for a positive bulge, from b otherwise.
      const bool forward = s.bulge > 0;
      const double angle = forward ? arc->start + left / arc->radius : arc->start + arc->sweep - left / arc->radius;
      const double heading = angle / core::kDegree + (forward ? 90 : -90);
      return {arc->at(angle), core::normalizeDegrees(heading)};
    }
    const double t = l > 0 ? left / l : 0;
    return {s.a + t * (s.b - s.a), core::degreesOf(s.b - s.a)};
  }
  return {stretches.back().b, 0};
}

// ---- ellipses

std::optional<EllipseShape> ellipseOnAxis(Vec2 center, Vec2 axisEnd, double otherHalf) {
  const Vec2 axis = axisEnd - center;
  const double half = core::length(axis);
  if (!std::isfinite(half) || !std::isfinite(otherHalf) || half <= 0 || otherHalf <= 0) return std::nullopt;
  EllipseShape e{center, axis, otherHalf / half};
  if (otherHalf > half) e = {center, otherHalf / half * core::perp(axis), half / otherHalf};
  if (e.ratio < kFlattestEllipse) return std::nullopt;
  return e;
}

std::optional<EllipseShape> ellipseOnAxisEnds(Vec2 first, Vec2 second, double otherHalf) {
  return ellipseOnAxis(halfway(first, second), second, otherHalf);
}

}  // namespace orv::app::shapes
