// HATCH: building the loops a typed hatch fills.
//
// Contents: flattening edges; chaining edges into loops; depths and the hatch style.
#include "orv/geom/hatch.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace orv::geom {

namespace {
constexpr double kDegree = std::numbers::pi / 180.0;
bool finite(Point2 p) { return std::isfinite(p.x) && std::isfinite(p.y); }
}  // namespace

SplineData splineOf(const HatchEdge& e) {
  SplineData s;
  s.degree = std::clamp(e.degree, 1, 11);
  if (e.periodic) s.flags |= 2;
  s.knots = e.knots;
  for (Point2 p : e.controlPoints) s.controlPoints.push_back({p.x, p.y, 0.0});
  if (e.rational && e.weights.size() == e.controlPoints.size()) s.weights = e.weights;
  for (Point2 p : e.fitPoints) s.fitPoints.push_back({p.x, p.y, 0.0});
  // A zero tangent is no tangent.
  if (e.startTangent && std::hypot(e.startTangent->x, e.startTangent->y) > 0.0)
    s.startTangent = Point3{e.startTangent->x, e.startTangent->y, 0.0};
  if (e.endTangent && std::hypot(e.endTangent->x, e.endTangent->y) > 0.0)
    s.endTangent = Point3{e.endTangent->x, e.endTangent->y, 0.0};
  return s;
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
        const double a0 = e.ccwStart(), a1 = e.ccwEnd();
        double sweep = std::fmod(a1 - a0, 360.0);
        if (sweep < 0.0) sweep += 360.0;
        if (sweep <= 1e-9 || std::abs(a1 - a0) >= 360.0) sweep = 360.0;
        const bool arc = e.type == HatchEdge::Type::arc;
        const double major = arc ? e.radius : std::hypot(e.majorAxis.x, e.majorAxis.y);
        const Point2 u = arc ? Point2{e.radius, 0.0} : e.majorAxis;
        const double ratio = arc ? 1.0 : e.ratio;
        const Point2 v{-u.y * ratio, u.x * ratio};
        const int n = take(arcSegments(major, sweep * kDegree, tol_, 1 << 20));
        std::vector<Point2> pts;
        for (int k = 0; k <= n; ++k) {
          const double t = (a0 + sweep * k / n) * kDegree;
          pts.push_back({e.center.x + u.x * std::cos(t) + v.x * std::sin(t),
                         e.center.y + u.y * std::cos(t) + v.y * std::sin(t)});
        }
        // The path runs clockwise along a clockwise edge.
        if (!e.counterClockwise) std::reverse(pts.begin(), pts.end());
        out.insert(out.end(), pts.begin(), pts.end());
        return;
      }
      case HatchEdge::Type::spline: {
        const SplineData spline = splineOf(e);
        const int spans = std::max<int>(1, static_cast<int>(std::max(spline.controlPoints.size(),
                                                                      spline.fitPoints.size())));
        const int points = take(spans * 16);
        for (Point3 q : splinePoints(spline, std::max(1, points / spans), static_cast<std::size_t>(points) + 1))
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

std::vector<HatchLoop> hatchBoundary(const db::Hatch& hatch, double tolerance, std::size_t maxPoints) {
  if (!(tolerance > 0.0) || !std::isfinite(tolerance)) tolerance = 1e-3;
  LoopBuilder builder(tolerance, std::max<std::size_t>(maxPoints, 64));
  std::vector<HatchLoop> loops;
  for (const HatchPath& p : hatch.paths) {
    HatchLoop loop;
    loop.flags = p.flags;
    loop.points = p.isPolyline() ? builder.polylinePath(p) : builder.edgePath(p);
    bool usable = loop.points.size() >= 3;
    for (Point2 q : loop.points) usable = usable && finite(q);
    if (!usable) continue;
    const double area = signedArea(loop.points);
    if (!(std::abs(area) > 0.0) || !std::isfinite(area)) continue;
    loops.push_back(std::move(loop));
  }
  if (hatch.style == db::Hatch::Style::odd) return loops;  // odd parity needs no depths
  // Depths cost a test of every loop against every other: beyond this many, every loop
  // is kept and odd parity decides.
  constexpr std::size_t kMostLoopsForDepths = 4000;
  if (loops.size() > kMostLoopsForDepths) return loops;
  findDepths(loops);
  const int deepest = hatch.style == db::Hatch::Style::outermost ? 1 : 0;
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
