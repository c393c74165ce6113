// Ellipses and splines: the plan view of an ellipse, B-spline and fit-point curves.
#include "orv/geom/curves.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace orv::geom {

namespace {

constexpr double kTurn = 2.0 * std::numbers::pi;
constexpr int kMaxDegree = 11;
double length(Point3 a) { return std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z); }

}  // namespace

// ---- ellipses

EllipseInPlan ellipseInPlan(const db::Ellipse& e) {
  const Point3 minor = e.minorAxis();
  EllipseInPlan out;
  out.plan = Affine{e.majorAxis.x, e.majorAxis.y, minor.x, minor.y, e.center.x, e.center.y};
  out.start = e.startParam;
  out.sweep = e.sweep();
  return out;
}

// ---- splines

namespace {

// Knots that fit n control points of degree p: the given ones when they are as many as
// they must be and never fall, else a clamped uniform vector.
std::vector<double> fittingKnots(const std::vector<double>& given, std::size_t n, int p) {
  const std::size_t count = n + static_cast<std::size_t>(p) + 1;
  bool usable = given.size() == count;
  for (std::size_t i = 1; usable && i < given.size(); ++i) usable = given[i] >= given[i - 1];
  if (usable && given[static_cast<std::size_t>(p)] < given[n]) return given;
  std::vector<double> k(count);
  for (std::size_t i = 0; i < count; ++i) {
    const double v = static_cast<double>(i) - p;
    k[i] = std::clamp(v, 0.0, static_cast<double>(n - static_cast<std::size_t>(p)));
  }
  return k;
}

// de Boor's algorithm in homogeneous coordinates, at u in span [k[span], k[span + 1]).
Point3 deBoor(const std::vector<double>& k, const std::vector<Point3>& c, const std::vector<double>& w,
              int p, std::size_t span, double u, std::vector<double>& scratch) {
  scratch.resize(4 * static_cast<std::size_t>(p + 1));
  double* d = scratch.data();
  for (int j = 0; j <= p; ++j) {
    const std::size_t i = span - static_cast<std::size_t>(p) + static_cast<std::size_t>(j);
    const double wi = w.empty() ? 1.0 : w[i];
    d[4 * j] = c[i].x * wi, d[4 * j + 1] = c[i].y * wi, d[4 * j + 2] = c[i].z * wi, d[4 * j + 3] = wi;
  }
  for (int r = 1; r <= p; ++r) {
    for (int j = p; j >= r; --j) {
      const std::size_t i = span - static_cast<std::size_t>(p) + static_cast<std::size_t>(j);
      const double den = k[i + static_cast<std::size_t>(p - r) + 1] - k[i];
      const double a = den > 0.0 ? (u - k[i]) / den : 0.0;
      for (int q = 0; q < 4; ++q) d[4 * j + q] = (1.0 - a) * d[4 * (j - 1) + q] + a * d[4 * j + q];
    }
  }
  const double* r = d + 4 * p;
  const double wr = r[3] != 0.0 ? r[3] : 1.0;
  return {r[0] / wr, r[1] / wr, r[2] / wr};
}

std::vector<Point3> controlCurve(const SplineData& s, int perSpan, std::size_t maxPoints) {
  const std::vector<Point3>& c = s.controlPoints;
  const std::size_t n = c.size();
  int p = std::clamp(s.degree, 1, kMaxDegree);
  if (n < static_cast<std::size_t>(p) + 1) p = static_cast<int>(n) - 1;
  const std::vector<double> k = fittingKnots(s.knots, n, p);
  std::vector<double> w;
  if (s.weights.size() == n) {
    bool positive = true;
    for (double x : s.weights) positive = positive && x > 0.0;
    if (positive) w = s.weights;
  }
  std::size_t spans = 0;
  for (std::size_t i = static_cast<std::size_t>(p); i < n; ++i) spans += k[i] < k[i + 1];
  if (spans == 0) return {c.front(), c.back()};
  const std::size_t budget = std::max<std::size_t>(maxPoints, 2) - 1;
  const int steps = static_cast<int>(std::clamp<std::size_t>(budget / spans, 1, static_cast<std::size_t>(std::max(perSpan, 1))));
  std::vector<Point3> out;
  out.reserve(std::min(budget + 1, spans * static_cast<std::size_t>(steps) + 1));
  std::vector<double> scratch;
  std::size_t last = static_cast<std::size_t>(p);
  for (std::size_t i = static_cast<std::size_t>(p); i < n; ++i) {
    if (!(k[i] < k[i + 1])) continue;
    last = i;
    for (int j = 0; j < steps; ++j) {
      const double u = k[i] + (k[i + 1] - k[i]) * j / steps;
      out.push_back(deBoor(k, c, w, p, i, u, scratch));
    }
  }
  out.push_back(deBoor(k, c, w, p, last, k[last + 1], scratch));
  return out;
}

// The cubic through the fit points, chord-length parameters; each coordinate a cubic
// spline whose ends have the given tangents (unit length: the parameter runs along the
// curve) or no curvature.
std::vector<Point3> fitCurve(const SplineData& s, int perSpan, std::size_t maxPoints) {
  std::vector<Point3> pts;
  for (Point3 q : s.fitPoints)
    if (pts.empty() || length({q.x - pts.back().x, q.y - pts.back().y, q.z - pts.back().z}) > 0.0)
      pts.push_back(q);
  if (s.closed() && pts.size() > 2 &&
      length({pts.front().x - pts.back().x, pts.front().y - pts.back().y, pts.front().z - pts.back().z}) > 0.0)
    pts.push_back(pts.front());
  const std::size_t n = pts.size();
  if (n < 3 && !(n == 2 && ((s.startTangent && length(*s.startTangent) > 0.0) || (s.endTangent && length(*s.endTangent) > 0.0)))) return pts;
  std::vector<double> t(n, 0.0), h(n - 1);
  for (std::size_t i = 1; i < n; ++i) {
    h[i - 1] = length({pts[i].x - pts[i - 1].x, pts[i].y - pts[i - 1].y, pts[i].z - pts[i - 1].z});
    t[i] = t[i - 1] + h[i - 1];
  }
  auto unit = [](Point3 v) {
    const double l = length(v);
    return Point3{v.x / l, v.y / l, v.z / l};
  };
  // A tangent of no length (or none) leaves that end without curvature.
  const bool hasD0 = s.startTangent && length(*s.startTangent) > 0.0;
  const bool hasD1 = s.endTangent && length(*s.endTangent) > 0.0;
  const Point3 d0 = hasD0 ? unit(*s.startTangent) : Point3{};
  const Point3 d1 = hasD1 ? unit(*s.endTangent) : Point3{};
  // Second derivatives M per coordinate, by the tridiagonal system (Thomas algorithm).
  std::vector<Point3> m(n);
  for (int axis = 0; axis < 3; ++axis) {
    auto y = [&](std::size_t i) { return axis == 0 ? pts[i].x : axis == 1 ? pts[i].y : pts[i].z; };
    auto dv = [&](const Point3& v) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; };
    std::vector<double> a(n, 0.0), b(n, 1.0), c(n, 0.0), r(n, 0.0);
    if (hasD0) {
      b[0] = 2.0 * h[0], c[0] = h[0];
      r[0] = 6.0 * ((y(1) - y(0)) / h[0] - dv(d0));
    }
    for (std::size_t i = 1; i + 1 < n; ++i) {
      a[i] = h[i - 1], b[i] = 2.0 * (h[i - 1] + h[i]), c[i] = h[i];
      r[i] = 6.0 * ((y(i + 1) - y(i)) / h[i] - (y(i) - y(i - 1)) / h[i - 1]);
    }
    if (hasD1) {
      a[n - 1] = h[n - 2], b[n - 1] = 2.0 * h[n - 2];
      r[n - 1] = 6.0 * (dv(d1) - (y(n - 1) - y(n - 2)) / h[n - 2]);
    }
    for (std::size_t i = 1; i < n; ++i) {
      const double f = a[i] / b[i - 1];
      b[i] -= f * c[i - 1];
      r[i] -= f * r[i - 1];
    }
    std::vector<double> x(n);
    x[n - 1] = r[n - 1] / b[n - 1];
    for (std::size_t i = n - 1; i-- > 0;) x[i] = (r[i] - c[i] * x[i + 1]) / b[i];
    for (std::size_t i = 0; i < n; ++i) (axis == 0 ? m[i].x : axis == 1 ? m[i].y : m[i].z) = x[i];
  }
  const std::size_t budget = std::max<std::size_t>(maxPoints, 2) - 1;
  const int steps = static_cast<int>(std::clamp<std::size_t>(budget / (n - 1), 1, static_cast<std::size_t>(std::max(perSpan, 1))));
  std::vector<Point3> out;
  out.reserve((n - 1) * static_cast<std::size_t>(steps) + 1);
  for (std::size_t i = 0; i + 1 < n; ++i) {
    const double hi = h[i];
    for (int j = 0; j < steps; ++j) {
      const double u = hi * j / steps, v = hi - u;
      auto at = [&](double yi, double yj, double mi, double mj) {
        return mi * v * v * v / (6 * hi) + mj * u * u * u / (6 * hi) + (yi / hi - mi * hi / 6) * v +
               (yj / hi - mj * hi / 6) * u;
      };
      out.push_back({at(pts[i].x, pts[i + 1].x, m[i].x, m[i + 1].x), at(pts[i].y, pts[i + 1].y, m[i].y, m[i + 1].y),
                     at(pts[i].z, pts[i + 1].z, m[i].z, m[i + 1].z)});
    }
  }
  out.push_back(pts.back());
  return out;
}

}  // namespace

std::vector<Point3> splinePoints(const SplineData& s, int perSpan, std::size_t maxPoints) {
  if (s.controlPoints.size() >= 2) return controlCurve(s, perSpan, maxPoints);
  if (s.fitPoints.size() >= 2) return fitCurve(s, perSpan, maxPoints);
  return {};
}

// ---- leaders

SplineData leaderSpline(const db::Leader& l) {
  SplineData s;
  s.fitPoints = l.vertices;
  for (std::size_t i = 1; i < l.vertices.size(); ++i) {
    const Point3 a = l.vertices[0], b = l.vertices[i];
    const Point3 d{b.x - a.x, b.y - a.y, b.z - a.z};
    if (length(d) > 0.0) {
      s.startTangent = d;
      break;
    }
  }
  s.extrusion = l.normal;
  return s;
}

std::vector<Point3> leaderPathPoints(const db::Leader& l, int perSpan, std::size_t maxPoints) {
  if (!l.spline() || l.vertices.size() < 3) return l.vertices;
  return splinePoints(leaderSpline(l), perSpan, maxPoints);
}

}  // namespace orv::geom
