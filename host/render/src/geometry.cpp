// Plane geometry of pictures: block transforms, arc sweeps, bulges and arc bounds.
#include "geometry.h"

#include <algorithm>

namespace orv::render {

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;
constexpr double kAngleTolerance = 1e-12;  // degrees

// An angle in degrees reduced to [0, 360).
double normalizedDegrees(double a) {
  if (a >= 0.0 && a < 360.0) return a;  // what fmod gives, without its cost
  double r = std::fmod(a, 360.0);
  if (r < 0.0) r += 360.0;
  return r >= 360.0 ? 0.0 : r;
}

// True when `angle` lies on the arc (both in radians).
bool onArc(const ArcPath& arc, double angle) {
  constexpr double kTurn = 2.0 * std::numbers::pi;
  double from = arc.sweep >= 0.0 ? arc.start : arc.start + arc.sweep;
  double d = std::fmod(angle - from, kTurn);
  if (d < 0.0) d += kTurn;
  return d <= std::abs(arc.sweep);
}

}  // namespace

Affine blockTransform(const db::BlockReference& ref, db::Point3 base) {
  const double a = normalizedDegrees(ref.rotation) * kDegree;
  const double c = std::cos(a), s = std::sin(a);
  Affine m;
  m.xx = c * ref.xScale;
  m.yx = s * ref.xScale;
  m.xy = -s * ref.yScale;
  m.yy = c * ref.yScale;
  // position + R·S·(p - base)
  m.x0 = ref.position.x - (m.xx * base.x + m.xy * base.y);
  m.y0 = ref.position.y - (m.yx * base.x + m.yy * base.y);
  return m;
}

double arcSweepDegrees(double start, double end) {
  if (std::abs(start - end) <= kAngleTolerance) return 0.0;
  const double s = normalizedDegrees(start);
  const double e = normalizedDegrees(end);
  if (std::abs(s - e) <= kAngleTolerance) return 360.0;
  return e > s ? e - s : e + 360.0 - s;
}

std::optional<ArcPath> arcPath(const db::Arc& arc) {
  if (!(arc.radius > 0.0) || !std::isfinite(arc.radius)) return std::nullopt;
  const double sweep = arcSweepDegrees(arc.startAngle, arc.endAngle);
  if (!(sweep > 0.0)) return std::nullopt;
  return ArcPath{{arc.center.x, arc.center.y}, arc.radius,
                 normalizedDegrees(arc.startAngle) * kDegree, sweep * kDegree};
}

std::optional<ArcPath> circlePath(const db::Circle& circle) {
  if (!(circle.radius > 0.0) || !std::isfinite(circle.radius)) return std::nullopt;
  return ArcPath{{circle.center.x, circle.center.y}, circle.radius, 0.0, 2.0 * std::numbers::pi};
}

std::optional<ArcPath> bulgeArc(Point2 p, Point2 q, double bulge) {
  if (!(std::abs(bulge) > 1e-12) || !std::isfinite(bulge)) return std::nullopt;
  const double dx = q.x - p.x, dy = q.y - p.y;
  const double d = std::hypot(dx, dy);
  if (!(d > 0.0) || !std::isfinite(d)) return std::nullopt;
  // With b = tan(θ/4): sin(θ/2) = 2b/(1+b²), cos(θ/2) = (1-b²)/(1+b²), so the radius is
  // d(1+b²)/4|b| and the centre lies d(1-b²)/4b to the left of the chord's midpoint.
  const double b2 = bulge * bulge;
  const double radius = d * (1.0 + b2) / (4.0 * std::abs(bulge));
  const double offset = d * (1.0 - b2) / (4.0 * bulge);
  const Point2 center{(p.x + q.x) / 2.0 - dy / d * offset, (p.y + q.y) / 2.0 + dx / d * offset};
  if (!std::isfinite(radius) || !std::isfinite(center.x) || !std::isfinite(center.y))
    return std::nullopt;
  return ArcPath{center, radius, std::atan2(p.y - center.y, p.x - center.x),
                 4.0 * std::atan(bulge)};
}

void addArcBounds(Box& box, const Affine& m, const ArcPath& arc) {
  box.add(m.apply(arc.at(arc.start)));
  box.add(m.apply(arc.at(arc.start + arc.sweep)));
  if (m.xy == 0.0 && m.yx == 0.0) {
    // Axes kept (model space, most references): x and y are extreme at the quadrant
    // points, which lie exactly a radius from the centre along the axes.
    constexpr double kQuarter = std::numbers::pi / 2.0;
    const Point2 c = arc.center;
    const double r = arc.radius;
    const Point2 quadrants[] = {{c.x + r, c.y}, {c.x, c.y + r}, {c.x - r, c.y}, {c.x, c.y - r}};
    const bool whole = std::abs(arc.sweep) >= 2.0 * std::numbers::pi;
    for (int i = 0; i < 4; ++i)
      if (whole || onArc(arc, i * kQuarter)) box.add(m.apply(quadrants[i]));
    return;
  }
  // x'(t) = m.xx·r·cos t + m.xy·r·sin t + const is extreme where tan t = m.xy / m.xx;
  // likewise y' where tan t = m.yy / m.yx. Each gives two opposite angles.
  const double candidates[] = {std::atan2(m.xy, m.xx), std::atan2(m.yy, m.yx)};
  for (double t : candidates) {
    for (double a : {t, t + std::numbers::pi})
      if (onArc(arc, a)) box.add(m.apply(arc.at(a)));
  }
}

}  // namespace orv::render
