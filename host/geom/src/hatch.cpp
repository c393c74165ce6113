// HATCH: decoding its boundary paths and pattern lines, and building the loops it fills.
//
// Contents: the decoder (head, paths, edges, pattern, gradient); flattening edges;
// chaining edges into loops; depths and the hatch style.
#include "orv/geom/hatch.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "orv/geom/kept.h"

namespace orv::geom {

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;
constexpr std::size_t kMaxItems = 1'000'000;  // paths, edges, vertices, lines: a bound for damage

struct Item {
  int code;
  std::string_view value;
};

// Walks the tags of a hatch with look-ahead.
class Reader {
 public:
  explicit Reader(std::vector<Item> items) : items_(std::move(items)) {}
  bool done() const { return at_ >= items_.size(); }
  int code() const { return done() ? -1 : items_[at_].code; }
  int codeAfter() const { return at_ + 1 < items_.size() ? items_[at_ + 1].code : -1; }
  std::string_view value() const { return items_[at_].value; }
  void next() { ++at_; }
  double real() {
    double d = 0.0;
    if (!parseReal(value(), d)) bad = true;
    next();
    return d;
  }
  std::int64_t integer() {
    std::int64_t n = 0;
    if (!parseInteger(value(), n)) bad = true;
    next();
    return n;
  }
  // The count of a group: held to what a damaged file could mean.
  std::size_t count() {
    const std::int64_t n = integer();
    return static_cast<std::size_t>(std::clamp<std::int64_t>(n, 0, static_cast<std::int64_t>(kMaxItems)));
  }
  bool bad = false;

 private:
  std::vector<Item> items_;
  std::size_t at_ = 0;
};

// An edge's angles stored for a clockwise edge are mirrored; held counter-clockwise.
void holdCounterClockwise(HatchEdge& e) {
  if (e.counterClockwise) return;
  const double s = e.startAngle;
  e.startAngle = 360.0 - e.endAngle;
  e.endAngle = 360.0 - s;
}

// Codes that end an edge: the next edge, the path's source objects, the next path, or
// what follows the paths.
bool endsEdge(int code) { return code == 72 || code == 97 || code == 92 || code == 75 || code == 330 || code == -1; }

void readSplineEdge(Reader& r, HatchEdge& e) {
  SplineData& s = e.spline;
  bool rational = false;
  while (!r.done() && !endsEdge(r.code())) {
    switch (r.code()) {
      case 94: s.degree = static_cast<int>(std::clamp<std::int64_t>(r.integer(), 1, 11)); break;
      case 73: rational = r.integer() != 0; break;
      case 74: if (r.integer() != 0) s.flags |= 2; break;
      case 95: case 96: r.next(); break;
      case 40: s.knots.push_back(r.real()); break;
      case 10: s.controlPoints.push_back({r.real(), 0.0, 0.0}); break;
      case 20:
        if (s.controlPoints.empty()) r.bad = true, r.next();
        else s.controlPoints.back().y = r.real();
        break;
      case 42: s.weights.push_back(r.real()); break;
      case 11: s.fitPoints.push_back({r.real(), 0.0, 0.0}); break;
      case 21:
        if (s.fitPoints.empty()) r.bad = true, r.next();
        else s.fitPoints.back().y = r.real();
        break;
      case 12: s.startTangent = Point3{r.real(), 0.0, 0.0}; break;
      case 22: if (s.startTangent) s.startTangent->y = r.real(); else r.next(); break;
      case 13: s.endTangent = Point3{r.real(), 0.0, 0.0}; break;
      case 23: if (s.endTangent) s.endTangent->y = r.real(); else r.next(); break;
      default: r.next(); break;
    }
    if (s.knots.size() > kMaxItems || s.controlPoints.size() > kMaxItems || s.fitPoints.size() > kMaxItems) {
      r.bad = true;
      return;
    }
    // Newer files count the fit points with a 97; the path's own 97 (its source objects)
    // comes after the last edge and is followed by handles, another path or the rest.
    if (r.code() == 97 && (r.codeAfter() == 11 || r.codeAfter() == 97)) r.next();
  }
  if (!rational) s.weights.clear();
  // A zero tangent is no tangent.
  if (s.startTangent && !(std::hypot(s.startTangent->x, s.startTangent->y) > 0.0)) s.startTangent.reset();
  if (s.endTangent && !(std::hypot(s.endTangent->x, s.endTangent->y) > 0.0)) s.endTangent.reset();
}

void readEdge(Reader& r, HatchEdge& e) {
  const std::int64_t type = r.integer();
  e.type = type >= 1 && type <= 4 ? static_cast<HatchEdge::Type>(type) : HatchEdge::Type::line;
  if (e.type == HatchEdge::Type::spline) {
    readSplineEdge(r, e);
    return;
  }
  while (!r.done() && !endsEdge(r.code())) {
    switch (r.code()) {
      case 10: (e.type == HatchEdge::Type::line ? e.start.x : e.center.x) = r.real(); break;
      case 20: (e.type == HatchEdge::Type::line ? e.start.y : e.center.y) = r.real(); break;
      case 11: (e.type == HatchEdge::Type::line ? e.end.x : e.majorAxis.x) = r.real(); break;
      case 21: (e.type == HatchEdge::Type::line ? e.end.y : e.majorAxis.y) = r.real(); break;
      case 40: (e.type == HatchEdge::Type::arc ? e.radius : e.ratio) = r.real(); break;
      case 50: e.startAngle = r.real(); break;
      case 51: e.endAngle = r.real(); break;
      case 73: e.counterClockwise = r.integer() != 0; break;
      default: r.next(); break;
    }
  }
  if (e.type == HatchEdge::Type::arc || e.type == HatchEdge::Type::ellipse) holdCounterClockwise(e);
}

void readPath(Reader& r, HatchPath& p) {
  p.flags = static_cast<std::uint32_t>(r.integer()) & 0xFFFFu;
  if (p.flags & HatchPath::polyline) {
    while (r.code() == 72 || r.code() == 73 || r.code() == 93) {
      if (r.code() == 73) p.closed = r.integer() != 0;
      else r.next();
    }
    while (r.code() == 10 || r.code() == 20 || r.code() == 42) {
      if (p.vertices.size() > kMaxItems) {
        r.bad = true;
        return;
      }
      if (r.code() == 10) {
        p.vertices.push_back({r.real(), 0.0});
      } else if (p.vertices.empty()) {
        r.next();
      } else if (r.code() == 20) {
        p.vertices.back().y = r.real();
      } else {
        p.bulges.resize(p.vertices.size(), 0.0);
        p.bulges.back() = r.real();
      }
    }
    if (!p.bulges.empty()) p.bulges.resize(p.vertices.size(), 0.0);
  } else {
    std::size_t edges = 0;
    if (r.code() == 93) edges = r.count();
    while (p.edges.size() < edges && r.code() == 72) readEdge(r, p.edges.emplace_back());
  }
  // Source objects: 97 count, 330 handles.
  if (r.code() == 97) r.next();
  while (r.code() == 330) r.next();
}

bool finite(Point2 p) { return std::isfinite(p.x) && std::isfinite(p.y); }

}  // namespace

std::optional<HatchData> decodeHatch(const db::RawTags& tags) {
  std::vector<Item> items;
  forEachDataTag(tags, [&](int code, std::string_view v) {
    items.push_back({code, v});
    return true;
  });
  Reader r(std::move(items));
  HatchData h;
  std::size_t pathCount = 0;
  // The head, up to the path count.
  while (!r.done() && r.code() != 91) {
    switch (r.code()) {
      case 30: h.elevation = r.real(); break;
      case 210: h.extrusion.x = r.real(); break;
      case 220: h.extrusion.y = r.real(); break;
      case 230: h.extrusion.z = r.real(); break;
      case 2: h.pattern = r.value(), r.next(); break;
      case 70: h.solid = r.integer() == 1; break;
      default: r.next(); break;
    }
  }
  if (!r.done()) pathCount = r.count();
  while (!r.done() && h.paths.size() < pathCount && !r.bad) {
    if (r.code() == 92) {
      readPath(r, h.paths.emplace_back());
      continue;
    }
    if (r.code() == 75 || r.code() == 76 || r.code() == 52 || r.code() == 78) break;
    r.next();
  }
  // Style, pattern lines, seeds, gradient.
  PatternLine* line = nullptr;
  while (!r.done() && !r.bad) {
    switch (r.code()) {
      case 75: h.style = static_cast<std::int16_t>(std::clamp<std::int64_t>(r.integer(), 0, 2)); break;
      case 53:
        if (h.lines.size() >= kMaxItems) return std::nullopt;
        line = &h.lines.emplace_back();
        line->angle = r.real();
        break;
      case 43: if (line) line->base.x = r.real(); else r.next(); break;
      case 44: if (line) line->base.y = r.real(); else r.next(); break;
      case 45: if (line) line->offset.x = r.real(); else r.next(); break;
      case 46: if (line) line->offset.y = r.real(); else r.next(); break;
      case 49:
        if (line && line->dashes.size() < 1024) line->dashes.push_back(r.real());
        else r.next();
        break;
      case 98: line = nullptr, r.next(); break;  // seed points follow: no pattern data
      case 450: h.gradient = r.integer() != 0; break;
      case 421: {
        const std::int64_t c = r.integer();
        if (!h.gradientColor) h.gradientColor = static_cast<std::uint32_t>(c) & 0xFFFFFFu;
        break;
      }
      default: r.next(); break;
    }
  }
  if (r.bad || h.paths.empty()) return std::nullopt;
  if (!std::isfinite(h.extrusion.x) || !std::isfinite(h.extrusion.y) || !std::isfinite(h.extrusion.z))
    return std::nullopt;
  return h;
}

// ---- the boundary builder

namespace {

// Segments that keep an arc of radius r within `tolerance` of its chords.
int arcSegments(double radius, double sweepRadians, double tolerance, int most) {
  if (!(radius > 0.0) || !std::isfinite(radius)) return 1;
  const double ratio = std::clamp(1.0 - tolerance / radius, -1.0, 1.0);
  const double step = 2.0 * std::acos(ratio);
  if (!(step > 1e-9)) return most;
  return std::clamp(static_cast<int>(std::ceil(std::abs(sweepRadians) / step)), 1, most);
}

class LoopBuilder {
 public:
  LoopBuilder(double tolerance, std::size_t budget) : tol_(tolerance), budget_(budget) {}

  // The most segments one curve may have, so that the budget holds.
  int most() const { return budget_ > 64 ? static_cast<int>(std::min<std::size_t>(budget_ / 8, 4096)) : 1; }
  // Segments for one curve: as many as it wants, within the budget, which they use up.
  int take(int wanted) {
    const int n = std::clamp(wanted, 1, most());
    spend(static_cast<std::size_t>(n));
    return n;
  }

  std::vector<Point2> polylinePath(const HatchPath& p) {
    std::vector<Point2> out;
    const std::size_t n = p.vertices.size();
    for (std::size_t i = 0; i < n; ++i) {
      const Point2 a = p.vertices[i];
      out.push_back(a);
      if (!p.closed && i + 1 == n) break;
      const Point2 b = p.vertices[(i + 1) % n];
      const double bulge = p.bulges.empty() ? 0.0 : p.bulges[i];
      if (bulge != 0.0) bulgeArc(out, a, b, bulge);
    }
    return out;
  }

  std::vector<Point2> edgePath(const HatchPath& p) {
    std::vector<Point2> out;
    std::vector<Point2> piece;
    for (const HatchEdge& e : p.edges) {
      piece.clear();
      edgePoints(e, piece);
      if (piece.empty()) continue;
      if (!out.empty()) {
        // Edges join end to start; an edge stored the other way round is turned.
        const Point2 end = out.back();
        const double dFront = std::hypot(piece.front().x - end.x, piece.front().y - end.y);
        const double dBack = std::hypot(piece.back().x - end.x, piece.back().y - end.y);
        if (dBack < dFront) std::reverse(piece.begin(), piece.end());
        if (std::hypot(piece.front().x - end.x, piece.front().y - end.y) <= tol_) out.pop_back();
      }
      out.insert(out.end(), piece.begin(), piece.end());
    }
    if (out.size() > 1 && std::hypot(out.front().x - out.back().x, out.front().y - out.back().y) <= tol_)
      out.pop_back();
    return out;
  }

 private:
  void spend(std::size_t n) { budget_ = n >= budget_ ? 0 : budget_ - n; }

  // Points after a (excluded) up to b (excluded) of the arc a polyline segment bulges by.
  void bulgeArc(std::vector<Point2>& out, Point2 a, Point2 b, double bulge) {
    const double dx = b.x - a.x, dy = b.y - a.y, d = std::hypot(dx, dy);
    if (!(d > 0.0) || !std::isfinite(bulge)) return;
    const double sweep = 4.0 * std::atan(bulge);
    const double radius = d * (1.0 + bulge * bulge) / (4.0 * std::abs(bulge));
    const double off = d * (1.0 - bulge * bulge) / (4.0 * bulge);
    const Point2 c{(a.x + b.x) / 2.0 - dy / d * off, (a.y + b.y) / 2.0 + dx / d * off};
    const double start = std::atan2(a.y - c.y, a.x - c.x);
    const int n = take(arcSegments(radius, sweep, tol_, 1 << 20));
    for (int k = 1; k < n; ++k) {
      const double t = start + sweep * k / n;
      out.push_back({c.x + radius * std::cos(t), c.y + radius * std::sin(t)});
    }
  }

  void edgePoints(const HatchEdge& e, std::vector<Point2>& out) {
    switch (e.type) {
      case HatchEdge::Type::line:
        out.push_back(e.start);
        out.push_back(e.end);
        return;
      case HatchEdge::Type::arc:
      case HatchEdge::Type::ellipse: {
        double sweep = std::fmod(e.endAngle - e.startAngle, 360.0);
        if (sweep < 0.0) sweep += 360.0;
        if (sweep <= 1e-9) sweep = 360.0;
        const bool arc = e.type == HatchEdge::Type::arc;
        const double major = arc ? e.radius : std::hypot(e.majorAxis.x, e.majorAxis.y);
        const Point2 u = arc ? Point2{e.radius, 0.0} : e.majorAxis;
        const double ratio = arc ? 1.0 : e.ratio;
        const Point2 v{-u.y * ratio, u.x * ratio};
        const int n = take(arcSegments(major, sweep * kDegree, tol_, 1 << 20));
        std::vector<Point2> pts;
        for (int k = 0; k <= n; ++k) {
          const double t = (e.startAngle + sweep * k / n) * kDegree;
          pts.push_back({e.center.x + u.x * std::cos(t) + v.x * std::sin(t),
                         e.center.y + u.y * std::cos(t) + v.y * std::sin(t)});
        }
        // The path runs clockwise along a clockwise edge.
        if (!e.counterClockwise) std::reverse(pts.begin(), pts.end());
        out.insert(out.end(), pts.begin(), pts.end());
        return;
      }
      case HatchEdge::Type::spline: {
        const int spans = std::max<int>(1, static_cast<int>(std::max(e.spline.controlPoints.size(),
                                                                      e.spline.fitPoints.size())));
        const int points = take(spans * 16);
        for (Point3 q : splinePoints(e.spline, std::max(1, points / spans), static_cast<std::size_t>(points) + 1))
          out.push_back({q.x, q.y});
        return;
      }
    }
  }

  double tol_;
  std::size_t budget_;
};

double signedArea(const std::vector<Point2>& pts) {
  double a = 0.0;
  for (std::size_t i = 0, n = pts.size(); i < n; ++i) {
    const Point2 p = pts[i], q = pts[(i + 1) % n];
    a += p.x * q.y - q.x * p.y;
  }
  return a / 2.0;
}

Box boxOf(const std::vector<Point2>& pts) {
  Box b;
  for (Point2 p : pts) b.add(p);
  return b;
}

// Odd-even test of a point against a polygon.
bool contains(const std::vector<Point2>& poly, Point2 p) {
  bool in = false;
  for (std::size_t i = 0, n = poly.size(), j = n - 1; i < n; j = i++) {
    const Point2 a = poly[i], b = poly[j];
    if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x) in = !in;
  }
  return in;
}

bool within(const Box& inner, const Box& outer) {
  return inner.minX >= outer.minX && inner.maxX <= outer.maxX && inner.minY >= outer.minY &&
         inner.maxY <= outer.maxY;
}

// How many other loops hold each loop: judged by the point midway along its first edge,
// where loops that share corners still tell apart.
void findDepths(std::vector<HatchLoop>& loops) {
  std::vector<Box> boxes;
  boxes.reserve(loops.size());
  for (const HatchLoop& l : loops) boxes.push_back(boxOf(l.points));
  for (std::size_t i = 0; i < loops.size(); ++i) {
    const auto& pts = loops[i].points;
    const Point2 probe{(pts[0].x + pts[1].x) / 2.0, (pts[0].y + pts[1].y) / 2.0};
    int depth = 0;
    for (std::size_t j = 0; j < loops.size(); ++j)
      if (j != i && within(boxes[i], boxes[j]) && contains(loops[j].points, probe)) ++depth;
    loops[i].depth = depth;
  }
}

}  // namespace

std::vector<HatchLoop> hatchBoundary(const HatchData& hatch, double tolerance, std::size_t maxPoints) {
  if (!(tolerance > 0.0) || !std::isfinite(tolerance)) tolerance = 1e-3;
  LoopBuilder builder(tolerance, std::max<std::size_t>(maxPoints, 64));
  std::vector<HatchLoop> loops;
  for (const HatchPath& p : hatch.paths) {
    HatchLoop loop;
    loop.flags = p.flags;
    loop.points = (p.flags & HatchPath::polyline) ? builder.polylinePath(p) : builder.edgePath(p);
    bool usable = loop.points.size() >= 3;
    for (Point2 q : loop.points) usable = usable && finite(q);
    if (!usable) continue;
    const double area = signedArea(loop.points);
    if (!(std::abs(area) > 0.0) || !std::isfinite(area)) continue;
    loops.push_back(std::move(loop));
  }
  if (hatch.style == 0) return loops;  // odd parity needs no depths
  // Depths cost a test of every loop against every other: beyond this many, every loop
  // is kept and odd parity decides.
  constexpr std::size_t kMostLoopsForDepths = 4000;
  if (loops.size() > kMostLoopsForDepths) return loops;
  findDepths(loops);
  const int deepest = hatch.style == 1 ? 1 : 0;
  std::erase_if(loops, [&](const HatchLoop& l) { return l.depth > deepest; });
  return loops;
}

Box boundsOf(const std::vector<HatchLoop>& loops) {
  Box b;
  for (const HatchLoop& l : loops)
    for (Point2 p : l.points) b.add(p);
  return b;
}

}  // namespace orv::geom
