// HATCH: making one, its gradient tail, and whether its values can be drawn.
#include "orv/db/hatch.h"

#include <charconv>
#include <cmath>

namespace orv::db {

namespace {

bool finite(double v) { return std::isfinite(v); }
bool finite(Point2 p) { return std::isfinite(p.x) && std::isfinite(p.y); }
bool finite(Point3 p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

template <class T>
bool allFinite(const std::vector<T>& v) {
  for (const T& x : v)
    if (!finite(x)) return false;
  return true;
}

bool parseInt(std::string_view text, long long& out) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
  const auto r = std::from_chars(text.data(), text.data() + text.size(), out);
  return r.ec == std::errc() && r.ptr == text.data() + text.size();
}

bool edgeValid(const HatchEdge& e) {
  switch (e.type) {
    case HatchEdge::Type::line: return finite(e.start) && finite(e.end);
    case HatchEdge::Type::arc:
      return finite(e.center) && finite(e.radius) && e.radius > 0.0 && finite(e.startAngle) && finite(e.endAngle);
    case HatchEdge::Type::ellipse:
      return finite(e.center) && finite(e.majorAxis) && (e.majorAxis.x != 0.0 || e.majorAxis.y != 0.0) &&
             finite(e.ratio) && e.ratio > 0.0 && finite(e.startAngle) && finite(e.endAngle);
    case HatchEdge::Type::spline:
      return e.degree >= 1 && e.degree <= 11 && allFinite(e.knots) && allFinite(e.controlPoints) &&
             allFinite(e.weights) && allFinite(e.fitPoints) && (!e.startTangent || finite(*e.startTangent)) &&
             (!e.endTangent || finite(*e.endTangent));
  }
  return false;
}

}  // namespace

Hatch Hatch::make(std::string pattern, double angle, double scale) {
  Hatch h;
  h.solid = pattern == "SOLID";
  h.pattern = std::move(pattern);
  h.angle = angle;
  h.scale = scale;
  h.hasPatternValues = h.hasPatternLines = !h.solid;
  return h;
}

bool Hatch::gradient() const {
  for (RawTag t : tail) {
    long long n = 0;
    if (t.code == 450) return parseInt(t.value, n) && n != 0;
  }
  return false;
}

std::optional<std::uint32_t> Hatch::gradientColor() const {
  for (RawTag t : tail) {
    long long n = 0;
    if (t.code == 421 && parseInt(t.value, n)) return static_cast<std::uint32_t>(n) & 0xFFFFFFu;
  }
  return std::nullopt;
}

bool Hatch::valid() const {
  if (!finite(elevation) || !finite(extrusion) || !finite(angle) || !finite(scale)) return false;
  if (extrusion.x == 0.0 && extrusion.y == 0.0 && extrusion.z == 0.0) return false;
  if (pixelSize && !finite(*pixelSize)) return false;
  if (!allFinite(seeds)) return false;
  for (const HatchPath& p : paths) {
    if (!allFinite(p.vertices) || !allFinite(p.bulges)) return false;
    if (!p.bulges.empty() && p.bulges.size() != p.vertices.size()) return false;
    for (const HatchEdge& e : p.edges)
      if (!edgeValid(e)) return false;
  }
  for (const PatternLine& l : lines)
    if (!finite(l.angle) || !finite(l.base) || !finite(l.offset) || !allFinite(l.dashes)) return false;
  return true;
}

}  // namespace orv::db
