// Offsets of paths: spans carried sideways, corners joined where the carriers meet.
#include "orv/core/offset.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace orv::core {

namespace {

std::optional<Span> offsetSpan(const Span& s, double d) {
  if (!s.arc) {
    const double l = distance(s.a, s.b);
    if (l == 0) return std::nullopt;
    const Vec2 n = (d / l) * perp(s.b - s.a);
    Span out = Span::line(s.a + n, s.b + n);
    out.startWidth = s.startWidth;
    out.endWidth = s.endWidth;
    return out;
  }
  const double r = s.radius - (s.sweep > 0 ? d : -d);  // left of a counter-clockwise arc is inward
  if (!(r > 1e-12 * s.radius)) return std::nullopt;
  Span out = Span::arcOf(s.center, r, s.start, s.sweep);
  out.startWidth = s.startWidth;
  out.endWidth = s.endWidth;
  return out;
}

// Joins `before`'s end to `after`'s start near the corner `corner` they came from; a
// straight link span goes to `links` when their carriers do not meet.
void join(Span& before, Span& after, Vec2 corner, double scale, std::optional<Span>& link) {
  link.reset();
  if (distance(before.b, after.a) <= 1e-9 * scale) {
    after = withEndAt(after, false, before.b);
    return;
  }
  const auto meets = carrierIntersections(before, after);
  if (meets.empty()) {
    link = Span::line(before.b, after.a);
    return;
  }
  Vec2 best = meets.front();
  for (Vec2 p : meets)
    if (distance(p, corner) < distance(best, corner)) best = p;
  before = withEndAt(before, true, best);
  after = withEndAt(after, false, best);
}

}  // namespace

int sideOf(const Path& path, Vec2 p) {
  double best = std::numeric_limits<double>::infinity();
  int side = 0;
  for (const Span& s : path.spans) {
    const Vec2 q = nearestOn(s.piece(), p);
    const double d = distance(q, p);
    if (d < best) {
      best = d;
      const double c = cross(s.tangentAt(std::clamp(s.fractionOf(q), 0.0, 1.0)), p - q);
      side = c > 0 ? 1 : c < 0 ? -1 : 0;
    }
  }
  return side;
}

std::optional<Path> offsetPath(const Path& path, double distance) {
  Path out;
  out.closed = path.closed;
  out.spans.reserve(path.spans.size() + 4);
  double scale = std::abs(distance);
  for (const Span& s : path.spans) {
    const auto moved = offsetSpan(s, distance);
    if (!moved) return std::nullopt;
    scale = std::max({scale, std::abs(s.a.x), std::abs(s.a.y)});
    out.spans.push_back(*moved);
  }
  if (out.spans.size() < 2) return out;
  const std::size_t n = out.spans.size();
  std::vector<Span> joined;
  joined.reserve(n + 4);
  std::optional<Span> link;
  // The first span's start waits for the closing corner of a closed path.
  for (std::size_t i = 0; i + 1 < n; ++i) {
    join(out.spans[i], out.spans[i + 1], path.spans[i].b, scale, link);
    joined.push_back(out.spans[i]);
    if (link) joined.push_back(*link);
  }
  if (path.closed) {
    join(out.spans[n - 1], out.spans[0], path.spans[n - 1].b, scale, link);
    joined.front() = out.spans[0];
    joined.push_back(out.spans[n - 1]);
    if (link) joined.push_back(*link);
  } else {
    joined.push_back(out.spans[n - 1]);
  }
  out.spans = std::move(joined);
  return out;
}

std::optional<db::Geometry> offsetGeometry(const db::Geometry& g, double distance, Vec2 towards,
                                           std::string& why) {
  const auto path = pathOf(g);
  if (!path) {
    why = "只能偏移直线、圆弧、圆和多段线";
    return std::nullopt;
  }
  const int side = sideOf(*path, towards);
  if (side == 0) {
    why = "偏移方向的点不能在对象上";
    return std::nullopt;
  }
  const auto moved = offsetPath(*path, side * distance);
  if (!moved) {
    why = "偏移距离太大，圆弧会缩成一点";
    return std::nullopt;
  }
  return geometryOf(*moved, g);
}

}  // namespace orv::core
