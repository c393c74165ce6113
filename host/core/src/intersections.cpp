// Paths of spans for lines, arcs, circles and light polylines; carrier intersections;
// positions, parts, trimming and extending.
#include "orv/core/intersections.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace orv::core {

namespace {

constexpr double kSame = 1e-9;  // fractions this close are one position

Vec2 unit(Vec2 v) {
  const double l = length(v);
  return l == 0 ? Vec2{} : (1 / l) * v;
}

double angleOf(Vec2 v) { return std::atan2(v.y, v.x); }

Vec2 xy(const db::Point3& p) { return {p.x, p.y}; }

// The signed sweep from `from` to the angle `to`, turning the way `sign` says (0 excluded).
double sweepTo(double from, double to, double sign) {
  const double d = sign > 0 ? normalizeRadians(to - from) : normalizeRadians(from - to);
  return sign > 0 ? d : -d;
}

}  // namespace

// ---- spans

Span Span::line(Vec2 a, Vec2 b) {
  Span s;
  s.a = a;
  s.b = b;
  return s;
}

Span Span::arcOf(Vec2 center, double radius, double start, double sweep) {
  Span s;
  s.arc = true;
  s.center = center;
  s.radius = radius;
  s.start = start;
  s.sweep = sweep;
  s.a = center + radius * unitAtRadians(start);
  s.b = center + radius * unitAtRadians(start + sweep);
  return s;
}

Span Span::bulged(Vec2 a, Vec2 b, double bulge) {
  const double chord = distance(a, b);
  if (bulge == 0 || chord == 0 || !std::isfinite(bulge)) return line(a, b);
  const double sweep = 4 * std::atan(bulge);
  const Vec2 mid = 0.5 * (a + b);
  const double h = (chord / 2) * (1 - bulge * bulge) / (2 * bulge);  // mid to centre, left of a->b
  const Vec2 center = mid + h * perp((1 / chord) * (b - a));
  Span s;
  s.arc = true;
  s.center = center;
  s.radius = distance(center, a);
  s.start = angleOf(a - center);
  s.sweep = sweep;
  s.a = a;
  s.b = b;  // the vertices exactly, not recomputed
  return s;
}

Vec2 Span::at(double f) const {
  if (!arc) return a + f * (b - a);
  if (f == 0) return a;
  if (f == 1) return b;
  return center + radius * unitAtRadians(start + f * sweep);
}

double Span::fractionOf(Vec2 p) const {
  if (!arc) {
    const Vec2 d = b - a;
    const double dd = dot(d, d);
    return dd == 0 ? 0 : dot(p - a, d) / dd;
  }
  double d = sweep > 0 ? normalizeRadians(angleOf(p - center) - start)
                       : normalizeRadians(start - angleOf(p - center));
  if (d > kTwoPi - 1e-12) d = 0;
  return d / std::abs(sweep);
}

Vec2 Span::tangentAt(double f) const {
  if (!arc) return unit(b - a);
  const Vec2 radial = unit(at(f) - center);
  return sweep > 0 ? perp(radial) : -1.0 * perp(radial);
}

double Span::bulge() const { return arc ? std::tan(sweep / 4) : 0.0; }

Piece Span::piece() const {
  if (!arc) return Segment{a, b};
  if (std::abs(sweep) >= kTwoPi) return CircularArc{center, radius, normalizeRadians(start), kTwoPi};
  return CircularArc{center, radius, normalizeRadians(sweep > 0 ? start : start + sweep), std::abs(sweep)};
}

Span Span::part(double f0, double f1) const {
  Span s = arc ? arcOf(center, radius, start + f0 * sweep, (f1 - f0) * sweep) : line(at(f0), at(f1));
  if (arc) {  // ends that are the span's own stay exact
    if (f0 == 0) s.a = a;
    if (f1 == 1) s.b = b;
  }
  s.startWidth = startWidth + (endWidth - startWidth) * f0;
  s.endWidth = startWidth + (endWidth - startWidth) * f1;
  return s;
}

// ---- paths

std::optional<Path> pathOf(const db::Geometry& g) {
  Path path;
  if (const auto* line = std::get_if<db::Line>(&g)) {
    path.spans.push_back(Span::line(xy(line->start), xy(line->end)));
  } else if (const auto* arc = std::get_if<db::Arc>(&g)) {
    double sweep = normalizeDegrees(arc->endAngle - arc->startAngle);
    if (sweep == 0) sweep = 360;
    path.spans.push_back(Span::arcOf(xy(arc->center), arc->radius, arc->startAngle * kDegree, sweep * kDegree));
    path.spans.back().a = xy(arc->center) + arc->radius * unitAtDegrees(arc->startAngle);
    path.spans.back().b = xy(arc->center) + arc->radius * unitAtDegrees(arc->endAngle);
  } else if (const auto* circle = std::get_if<db::Circle>(&g)) {
    path.spans.push_back(Span::arcOf(xy(circle->center), circle->radius, 0, kTwoPi));
    path.closed = true;
  } else if (const auto* poly = std::get_if<db::Polyline>(&g)) {
    const std::size_t n = poly->size();
    if (n < 2) return std::nullopt;
    const std::size_t count = poly->closed() ? n : n - 1;
    path.spans.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
      const db::Point2 p = poly->point(i), q = poly->point((i + 1) % n);
      Span s = Span::bulged({p.x, p.y}, {q.x, q.y}, poly->bulge(i));
      s.startWidth = poly->startWidth(i);
      s.endWidth = poly->endWidth(i);
      path.spans.push_back(s);
    }
    path.closed = poly->closed();
  } else {
    return std::nullopt;
  }
  return path;
}

db::Geometry geometryOf(const Path& path, const db::Geometry& original) {
  if (const auto* line = std::get_if<db::Line>(&original)) {
    const Span& s = path.spans.front();
    return db::Line{{s.a.x, s.a.y, line->start.z}, {s.b.x, s.b.y, line->end.z}};
  }
  if (const auto* poly = std::get_if<db::Polyline>(&original)) {
    db::Polyline out;
    out.reserve(path.spans.size() + 1);
    for (const Span& s : path.spans) out.addVertex({s.a.x, s.a.y}, s.bulge(), s.startWidth, s.endWidth);
    if (!path.closed && !path.spans.empty()) out.addVertex({path.spans.back().b.x, path.spans.back().b.y});
    out.setClosed(path.closed);
    out.setConstantWidth(poly->constantWidth());
    out.setElevation(poly->elevation());
    return out;
  }
  const double z = std::holds_alternative<db::Arc>(original) ? std::get<db::Arc>(original).center.z
                                                              : std::get<db::Circle>(original).center.z;
  const Span& s = path.spans.front();
  if (std::abs(s.sweep) >= kTwoPi) return db::Circle{{s.center.x, s.center.y, z}, s.radius};
  const double from = s.sweep > 0 ? s.start : s.start + s.sweep;
  const double to = s.sweep > 0 ? s.start + s.sweep : s.start;
  return db::Arc{{s.center.x, s.center.y, z}, s.radius, normalizeDegrees(from / kDegree),
                 normalizeDegrees(to / kDegree)};
}

// ---- carriers

std::vector<Vec2> carrierIntersections(const Span& s, const Span& t) {
  std::vector<Vec2> out;
  if (!s.arc && !t.arc) {
    const Vec2 d1 = s.b - s.a, d2 = t.b - t.a;
    const double den = cross(d1, d2);
    if (std::abs(den) <= 1e-12 * length(d1) * length(d2)) return out;
    out.push_back(s.a + (cross(t.a - s.a, d2) / den) * d1);
    return out;
  }
  if (s.arc != t.arc) {
    const Span& l = s.arc ? t : s;
    const Span& c = s.arc ? s : t;
    const Vec2 d = l.b - l.a;
    const double dd = dot(d, d);
    if (dd == 0) return out;
    const Vec2 foot = l.a + (dot(c.center - l.a, d) / dd) * d;
    const double h = distance(c.center, foot);
    if (h > c.radius * (1 + 1e-12)) return out;
    if (std::abs(h - c.radius) <= 1e-12 * c.radius) {
      out.push_back(foot);
      return out;
    }
    const double off = std::sqrt(c.radius * c.radius - h * h) / std::sqrt(dd);
    out.push_back(foot - off * d);
    out.push_back(foot + off * d);
    return out;
  }
  const Vec2 d = t.center - s.center;
  const double dist = length(d);
  const double r1 = s.radius, r2 = t.radius;
  if (dist == 0 || dist > (r1 + r2) * (1 + 1e-12) || dist < std::abs(r1 - r2) * (1 - 1e-12)) return out;
  const double along = (dist * dist + r1 * r1 - r2 * r2) / (2 * dist);
  const double h2 = r1 * r1 - along * along;
  const Vec2 u = (1 / dist) * d;
  const Vec2 base = s.center + along * u;
  if (h2 <= 1e-24 * r1 * r1) {
    out.push_back(base);
    return out;
  }
  const double h = std::sqrt(h2);
  out.push_back(base + h * perp(u));
  out.push_back(base - h * perp(u));
  return out;
}

Vec2 footOn(const Span& s, Vec2 p) {
  if (!s.arc) return s.at(s.fractionOf(p));
  const Vec2 d = p - s.center;
  return length(d) == 0 ? s.a : s.center + s.radius * unit(d);
}

// ---- positions

double positionOf(const Path& path, Vec2 p) {
  double best = std::numeric_limits<double>::infinity(), position = 0;
  for (std::size_t i = 0; i < path.spans.size(); ++i) {
    const Span& s = path.spans[i];
    const Vec2 near = nearestOn(s.piece(), p);
    const double d = distance(near, p);
    if (d < best) {
      best = d;
      position = static_cast<double>(i) + std::clamp(s.fractionOf(near), 0.0, 1.0);
    }
  }
  return position;
}

Vec2 pointAt(const Path& path, double position) {
  const std::size_t n = path.spans.size();
  std::size_t i = std::min(static_cast<std::size_t>(std::max(position, 0.0)), n - 1);
  return path.spans[i].at(std::clamp(position - static_cast<double>(i), 0.0, 1.0));
}

std::vector<double> cutPositions(const Path& path, const std::vector<Piece>& cutters) {
  std::vector<double> cuts;
  std::vector<Vec2> points;
  const double n = static_cast<double>(path.spans.size());
  for (std::size_t i = 0; i < path.spans.size(); ++i) {
    const Span& s = path.spans[i];
    const Piece mine = s.piece();
    points.clear();
    for (const Piece& cutter : cutters) intersections(mine, cutter, points);
    for (Vec2 p : points) {
      double f = s.fractionOf(p);
      if (f < -kSame || f > 1 + kSame) continue;
      f = std::clamp(f, 0.0, 1.0);
      double position = static_cast<double>(i) + f;
      if (path.closed && position >= n - kSame) position = 0;
      if (!path.closed && (position <= kSame || position >= n - kSame)) continue;
      cuts.push_back(position);
    }
  }
  std::sort(cuts.begin(), cuts.end());
  cuts.erase(std::unique(cuts.begin(), cuts.end(), [](double x, double y) { return y - x <= kSame; }),
             cuts.end());
  return cuts;
}

namespace {

// Index and fraction of a position; a whole position other than 0 is the end of the
// span before it when `asEnd`.
std::pair<std::size_t, double> locate(const Path& path, double position, bool asEnd) {
  const std::size_t n = path.spans.size();
  double whole = std::floor(position);
  double f = position - whole;
  if (asEnd && f == 0 && whole > 0) {
    whole -= 1;
    f = 1;
  }
  std::size_t i = static_cast<std::size_t>(std::max(whole, 0.0));
  if (i >= n) return {n - 1, 1.0};
  return {i, f};
}

void appendPart(const Path& path, double from, double to, std::vector<Span>& out) {
  if (to - from <= 0) return;
  const auto [i0, f0] = locate(path, from, false);
  const auto [i1, f1] = locate(path, to, true);
  for (std::size_t i = i0; i <= i1; ++i) {
    const double a = i == i0 ? f0 : 0.0, b = i == i1 ? f1 : 1.0;
    if (b - a <= 0) continue;
    out.push_back(a == 0 && b == 1 ? path.spans[i] : path.spans[i].part(a, b));
  }
}

}  // namespace

Path subPath(const Path& path, double from, double to) {
  Path out;
  const double n = static_cast<double>(path.spans.size());
  if (!path.closed || to > from) {
    appendPart(path, from, to, out.spans);
    return out;
  }
  if (path.spans.size() == 1 && path.spans.front().arc) {  // a circle: one arc across its start
    const Span& s = path.spans.front();
    out.spans.push_back(Span::arcOf(s.center, s.radius, s.start + from * s.sweep, (n - from + to) * s.sweep));
    return out;
  }
  appendPart(path, from, n, out.spans);
  appendPart(path, 0, to, out.spans);
  return out;
}

// ---- trimming and extending

TrimResult trim(const Path& path, Vec2 pick, const std::vector<Piece>& cutters) {
  TrimResult result;
  const std::vector<double> cuts = cutPositions(path, cutters);
  const double p = positionOf(path, pick);
  const double n = static_cast<double>(path.spans.size());
  auto below = std::find_if(cuts.rbegin(), cuts.rend(), [&](double c) { return c < p; });
  auto above = std::find_if(cuts.begin(), cuts.end(), [&](double c) { return c > p; });
  if (path.closed) {
    if (cuts.size() < 2) {
      result.refusal = cuts.empty() ? "对象未与剪切边相交" : "闭合对象至少要与剪切边有两个交点";
      return result;
    }
    const double lower = below != cuts.rend() ? *below : cuts.back();
    const double upper = above != cuts.end() ? *above : cuts.front();
    result.kept.push_back(subPath(path, upper, lower));
    return result;
  }
  if (below == cuts.rend() && above == cuts.end()) {
    result.refusal = "对象未与剪切边相交";
    return result;
  }
  if (below != cuts.rend()) result.kept.push_back(subPath(path, 0, *below));
  if (above != cuts.end()) result.kept.push_back(subPath(path, *above, n));
  return result;
}

bool pickedNearEnd(const Path& path, Vec2 pick) {
  return distance(pick, path.spans.back().b) < distance(pick, path.spans.front().a);
}

std::optional<Piece> extensionOf(const Path& path, bool atEnd, double reach) {
  if (path.closed || path.spans.empty()) return std::nullopt;
  const Span& s = atEnd ? path.spans.back() : path.spans.front();
  if (!s.arc) {
    const Vec2 d = unit(s.b - s.a);
    if (d == Vec2{}) return std::nullopt;
    return atEnd ? Segment{s.b, s.b + reach * d} : Segment{s.a, s.a - reach * d};
  }
  const double rest = kTwoPi - std::abs(s.sweep);
  if (rest <= 1e-12) return std::nullopt;
  const double from = s.sweep > 0 ? s.start + s.sweep : s.start;
  return CircularArc{s.center, s.radius, normalizeRadians(from), rest};
}

std::optional<Path> extend(const Path& path, Vec2 pick, double reach, const std::vector<Piece>& boundaries) {
  const bool atEnd = pickedNearEnd(path, pick);
  const auto beyond = extensionOf(path, atEnd, reach);
  if (!beyond) return std::nullopt;
  std::vector<Vec2> points;
  for (const Piece& b : boundaries) intersections(*beyond, b, points);
  const Span& s = atEnd ? path.spans.back() : path.spans.front();
  const Vec2 from = atEnd ? s.b : s.a;
  const double scale = std::max({std::abs(from.x), std::abs(from.y), s.radius, length(s.b - s.a)});
  double best = std::numeric_limits<double>::infinity();
  std::optional<Vec2> nearest;
  for (Vec2 p : points) {
    double d;
    if (!s.arc) {
      d = distance(from, p);
      if (d <= 1e-12 * scale) continue;
    } else {
      const double way = (atEnd ? 1 : -1) * (s.sweep > 0 ? 1 : -1);
      d = normalizeRadians(way * (angleOf(p - s.center) - angleOf(from - s.center)));
      if (d <= 1e-12 || d >= kTwoPi - std::abs(s.sweep) - 1e-12) continue;
    }
    if (d < best) {
      best = d;
      nearest = p;
    }
  }
  if (!nearest) return std::nullopt;
  return withEndAt(path, atEnd, *nearest);
}

Span withEndAt(const Span& s, bool atEnd, Vec2 p) {
  if (!s.arc) {
    Span moved = s;
    (atEnd ? moved.b : moved.a) = p;
    return moved;
  }
  const double sign = s.sweep > 0 ? 1 : -1;
  const double angle = angleOf(p - s.center);
  Span moved;
  if (atEnd) {
    moved = Span::arcOf(s.center, s.radius, s.start, sweepTo(s.start, angle, sign));
    moved.a = s.a;
  } else {
    moved = Span::arcOf(s.center, s.radius, angle, sweepTo(angle, s.start + s.sweep, sign));
    moved.b = s.b;
  }
  (atEnd ? moved.b : moved.a) = p;
  moved.startWidth = s.startWidth;
  moved.endWidth = s.endWidth;
  return moved;
}

Path withEndAt(const Path& path, bool atEnd, Vec2 p) {
  Path out = path;
  Span& s = atEnd ? out.spans.back() : out.spans.front();
  s = withEndAt(s, atEnd, p);
  return out;
}

}  // namespace orv::core
