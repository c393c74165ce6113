// The parts of a dimension: lines, arrowheads and text laid out from its points and style.
//
// Sections: text; arrowheads; along a straight dimension line; the kinds.
#include "orv/core/dimension_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

namespace orv::core {

namespace {

// The sizes of a style times its overall scale.
struct Sizes {
  double arrow, offset, beyond, gap, height;
  explicit Sizes(const DimensionStyle& s)
      : arrow(s.arrowSize * s.scale),
        offset(s.extensionOffset * s.scale),
        beyond(s.extensionBeyond * s.scale),
        gap(s.textGap * s.scale),
        height(s.textHeight * s.scale) {}
};

Vec2 unitOf(Vec2 v, Vec2 otherwise) {
  const double l = length(v);
  return l > 0 ? (1 / l) * v : otherwise;
}

// ---- text

// The direction of u or its opposite that reads left to right (or upwards).
Vec2 readable(Vec2 u) {
  const double a = degreesOf(u);
  return a > 90 + 1e-9 && a <= 270 + 1e-9 ? -1.0 * u : u;
}

// The text centred at `along` on a line running in direction u: turned to read, moved
// above the line by the gap and half its height when the style puts it above.
void placeText(DimensionParts& parts, Vec2 along, Vec2 u, const Sizes& z, bool above) {
  const Vec2 r = readable(u);
  parts.text.angle = degreesOf(r);
  parts.text.height = z.height;
  parts.text.position = above ? along + (z.gap + z.height / 2) * perp(r) : along;
}

std::size_t codePoints(std::string_view s, std::size_t& wide) {
  std::size_t n = 0;
  wide = 0;
  for (std::size_t i = 0; i < s.size();) {
    if (s.compare(i, 2, "%%") == 0 && i + 2 < s.size()) {  // %%c, %%d, %%p: one sign
      ++n;
      i += 3;
      continue;
    }
    const unsigned char c = static_cast<unsigned char>(s[i]);
    const std::size_t len = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    if (len >= 3) ++wide;  // CJK and the like
    ++n;
    i += len;
  }
  return n;
}

// ---- arrowheads

void addArrow(DimensionParts& parts, ArrowKind kind, Vec2 tip, Vec2 direction, double size) {
  parts.arrows.push_back({kind, tip, direction, size});
  if (size <= 0) return;
  const Vec2 side = perp(direction);
  switch (kind) {
    case ArrowKind::closedFilled: {
      const Vec2 back = tip - size * direction;
      parts.filled.push_back({tip, back + (size / 6) * side, back - (size / 6) * side});
      break;
    }
    case ArrowKind::tick:
      parts.ticks.push_back({{tip - (size / 2) * (direction + side), tip + (size / 2) * (direction + side)}, 0.15 * size});
      break;
    case ArrowKind::dot:
      parts.dots.push_back({tip, size / 4});
      break;
  }
}

// An extension line from an origin at distance `from` along `dir` from `base` towards
// the dimension line at distance `to`, gapped by the offset and passing by `beyond`.
void extensionLine(DimensionParts& parts, Vec2 origin, Vec2 target, const Sizes& z) {
  const double l = distance(origin, target);
  if (l <= z.offset) return;
  const Vec2 e = (1 / l) * (target - origin);
  parts.lines.push_back({origin + z.offset * e, target + z.beyond * e});
}

// ---- along a straight dimension line

// The dimension line from q1 to q2 with its arrows and text, inside when they fit, else
// the arrows outside (tails beyond the ends) and the text past q2.
void layoutStraight(DimensionParts& parts, Vec2 q1, Vec2 q2, Vec2 fallback, const DimensionStyle& style,
                    const DimensionOptions& o, const std::string& measured) {
  const Sizes z(style);
  const double l = distance(q1, q2);
  const Vec2 u = unitOf(q2 - q1, fallback);
  parts.text.content = dimensionContent(o.text, measured);
  const double w = parts.text.content.empty() ? 0 : o.textWidth(parts.text.content, z.height);
  parts.text.width = w;
  const double textRoom = w + 2 * z.gap;
  const bool arrowsFit = l >= 2 * z.arrow;
  const bool textFits = textRoom <= l;
  const bool bothFit = o.textAbove ? arrowsFit && textFits : textRoom + 2 * z.arrow <= l;
  parts.arrowsOutside = !bothFit && (textFits || !arrowsFit);
  parts.textOutside = !bothFit && !textFits;
  const Vec2 mid = 0.5 * (q1 + q2);
  // The line between the extension lines (broken around a centred text inside).
  if (!o.textAbove && !parts.textOutside && w > 0) {
    parts.lines.push_back({q1, mid - (w / 2 + z.gap) * u});
    parts.lines.push_back({mid + (w / 2 + z.gap) * u, q2});
  } else {
    parts.lines.push_back({q1, q2});
  }
  const double tail = 2 * z.arrow;
  if (parts.arrowsOutside) {
    addArrow(parts, style.arrow, q1, u, z.arrow);
    addArrow(parts, style.arrow, q2, -1.0 * u, z.arrow);
    parts.lines.push_back({q1 - tail * u, q1});
  } else {
    addArrow(parts, style.arrow, q1, -1.0 * u, z.arrow);
    addArrow(parts, style.arrow, q2, u, z.arrow);
  }
  if (!parts.textOutside) {
    placeText(parts, mid, u, z, o.textAbove);
    if (parts.arrowsOutside) parts.lines.push_back({q2, q2 + tail * u});
    return;
  }
  // Past the second end: beyond the arrow's tail, the line carried on under the text.
  const double start = (parts.arrowsOutside ? tail : 0) + z.gap;
  placeText(parts, q2 + (start + w / 2) * u, u, z, o.textAbove);
  const double reach = o.textAbove ? start + w + z.gap : std::max(start - z.gap, parts.arrowsOutside ? tail : 0.0);
  if (reach > 0) parts.lines.push_back({q2, q2 + reach * u});
}

// The rays of an angle's sides from its vertex: an extension line from the nearest part of
// the side (between distances t0 and t1 along the ray) to the arc at radius r.
void angularExtension(DimensionParts& parts, Vec2 vertex, Vec2 ray, double t0, double t1, double r, const Sizes& z) {
  if (r >= t0 - 1e-12 && r <= t1 + 1e-12) return;  // the arc meets the side itself
  const double from = r > t1 ? t1 : t0;
  extensionLine(parts, vertex + from * ray, vertex + r * ray, z);
}

DimensionParts layoutAngular(Vec2 vertex, double start, double sweep, double r, std::array<double, 2> range1,
                             std::array<double, 2> range2, const DimensionStyle& style, const DimensionOptions& o) {
  DimensionParts parts;
  const Sizes z(style);
  parts.measurement = sweep / kDegree;
  const Vec2 r1 = unitAtRadians(start), r2 = unitAtRadians(start + sweep);
  angularExtension(parts, vertex, r1, range1[0], range1[1], r, z);
  angularExtension(parts, vertex, r2, range2[0], range2[1], r, z);
  parts.arcs.push_back(CircularArc{vertex, r, normalizeRadians(start), sweep});
  parts.text.content = dimensionContent(o.text, formatMeasurement(parts.measurement, o.angularDecimals) + "%%d");
  const double w = parts.text.content.empty() ? 0 : o.textWidth(parts.text.content, z.height);
  parts.text.width = w;
  const double arcLength = r * sweep;
  const bool arrowsFit = arcLength >= 2 * z.arrow;
  const bool textFits = w + 2 * z.gap <= arcLength;
  parts.arrowsOutside = !arrowsFit;
  parts.textOutside = !textFits;
  const Vec2 e1 = vertex + r * r1, e2 = vertex + r * r2;
  const Vec2 t1 = perp(r1), t2 = perp(r2);  // counter-clockwise tangents at the ends
  if (parts.arrowsOutside) {
    addArrow(parts, style.arrow, e1, t1, z.arrow);
    addArrow(parts, style.arrow, e2, -1.0 * t2, z.arrow);
    parts.lines.push_back({e1 - 2 * z.arrow * t1, e1});
    parts.lines.push_back({e2, e2 + 2 * z.arrow * t2});
  } else {
    addArrow(parts, style.arrow, e1, -1.0 * t1, z.arrow);
    addArrow(parts, style.arrow, e2, t2, z.arrow);
  }
  const Vec2 middle = unitAtRadians(start + sweep / 2);
  if (!parts.textOutside) {
    placeText(parts, vertex + r * middle, perp(middle), z, o.textAbove);
  } else {
    // Outside the arc, beyond its middle, reading along the tangent there.
    placeText(parts, vertex + (r + z.gap + z.height / 2) * middle, perp(middle), z, false);
  }
  return parts;
}

}  // namespace

Vec2 DimensionParts::definitionPoint(int code) const {
  for (const auto& [c, p] : definitionPoints)
    if (c == code) return p;
  return {};
}

// ---- text

double estimatedTextWidth(std::string_view text, double height) {
  std::size_t wide = 0;
  const std::size_t n = codePoints(text, wide);
  return height * (0.7 * static_cast<double>(n - wide) + 1.0 * static_cast<double>(wide));
}

std::string formatMeasurement(double value, int decimals) {
  decimals = std::clamp(decimals, 0, 8);
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  std::string s = buffer;
  if (s.front() == '-' && s.find_first_of("123456789") == std::string::npos) s.erase(0, 1);
  return s;
}

std::string dimensionContent(const std::string& written, const std::string& measured) {
  if (written.empty()) return measured;
  if (written == " ") return {};
  std::string out;
  for (std::size_t i = 0; i < written.size();) {
    if (written.compare(i, 2, "<>") == 0) {
      out += measured;
      i += 2;
    } else {
      out += written[i++];
    }
  }
  return out;
}

// ---- the kinds

namespace {

// A linear or aligned dimension: extension lines from p1 and p2 to q1 and q2 on the
// dimension line, which runs along `along`.
DimensionParts straightDimension(Vec2 p1, Vec2 p2, Vec2 q1, Vec2 q2, Vec2 along, double measurement,
                                 const DimensionStyle& style, const DimensionOptions& options) {
  DimensionParts parts;
  const Sizes z(style);
  parts.measurement = measurement;
  extensionLine(parts, p1, q1, z);
  extensionLine(parts, p2, q2, z);
  layoutStraight(parts, q1, q2, along, style, options, formatMeasurement(measurement, style.decimals));
  parts.definitionPoints = {{10, q2}, {13, p1}, {14, p2}};
  return parts;
}

}  // namespace

DimensionParts linearDimension(Vec2 p1, Vec2 p2, Vec2 line, double rotationDegrees, const DimensionStyle& style,
                               const DimensionOptions& options) {
  const Vec2 d = unitAtDegrees(rotationDegrees);
  const Vec2 q1 = line + dot(p1 - line, d) * d, q2 = line + dot(p2 - line, d) * d;
  return straightDimension(p1, p2, q1, q2, d, std::abs(dot(p2 - p1, d)), style, options);
}

DimensionParts alignedDimension(Vec2 p1, Vec2 p2, Vec2 line, const DimensionStyle& style,
                                const DimensionOptions& options) {
  const Vec2 u = unitOf(p2 - p1, {1, 0});
  const Vec2 n = perp(u);
  const double across = dot(line - p1, n);
  return straightDimension(p1, p2, p1 + across * n, p2 + across * n, u, distance(p1, p2), style, options);
}

DimensionParts radiusDimension(Vec2 center, double radius, Vec2 at, const DimensionStyle& style,
                               const DimensionOptions& options) {
  DimensionParts parts;
  const Sizes z(style);
  const Vec2 u = unitOf(at - center, {1, 0});
  const Vec2 p = center + radius * u;
  const double reach = distance(at, center);
  parts.measurement = radius;
  parts.definitionPoints = {{10, center}, {15, p}};
  parts.text.content = dimensionContent(options.text, "R" + formatMeasurement(radius, style.decimals));
  const double w = parts.text.content.empty() ? 0 : options.textWidth(parts.text.content, z.height);
  parts.text.width = w;
  if (reach < radius) {  // inside: from the centre to the arrow on the curve, text where asked
    parts.lines.push_back({center, p});
    addArrow(parts, style.arrow, p, u, z.arrow);
    placeText(parts, center + reach * u, u, z, options.textAbove);
    return parts;
  }
  // Outside: the arrow points at the curve from outside, the line runs on under the text.
  parts.arrowsOutside = parts.textOutside = true;
  addArrow(parts, style.arrow, p, -1.0 * u, z.arrow);
  const double textStart = std::max(reach, radius + z.arrow) + z.gap;
  parts.lines.push_back({p, center + (textStart + (options.textAbove ? w + z.gap : -z.gap)) * u});
  placeText(parts, center + (textStart + w / 2) * u, u, z, options.textAbove);
  return parts;
}

DimensionParts diameterDimension(Vec2 center, double radius, Vec2 at, const DimensionStyle& style,
                                 const DimensionOptions& options) {
  DimensionParts parts;
  const Sizes z(style);
  const Vec2 u = unitOf(at - center, {1, 0});
  const Vec2 near = center + radius * u, far = center - radius * u;
  const double reach = distance(at, center);
  parts.measurement = 2 * radius;
  parts.definitionPoints = {{10, far}, {15, near}};
  parts.text.content = dimensionContent(options.text, "%%c" + formatMeasurement(2 * radius, style.decimals));
  const double w = parts.text.content.empty() ? 0 : options.textWidth(parts.text.content, z.height);
  parts.text.width = w;
  addArrow(parts, style.arrow, near, u, z.arrow);
  addArrow(parts, style.arrow, far, -1.0 * u, z.arrow);
  if (reach < radius) {  // across the circle, the text at its centre
    parts.lines.push_back({far, near});
    placeText(parts, center, u, z, options.textAbove);
    return parts;
  }
  parts.textOutside = true;
  const double textStart = std::max(reach, radius + z.arrow) + z.gap;
  parts.lines.push_back({far, center + (textStart + (options.textAbove ? w + z.gap : -z.gap)) * u});
  placeText(parts, center + (textStart + w / 2) * u, u, z, options.textAbove);
  return parts;
}

DimensionParts angularDimension(Vec2 vertex, Vec2 p1, Vec2 p2, Vec2 at, const DimensionStyle& style,
                                const DimensionOptions& options) {
  const double a1 = std::atan2(p1.y - vertex.y, p1.x - vertex.x);
  const double a2 = std::atan2(p2.y - vertex.y, p2.x - vertex.x);
  const double aq = std::atan2(at.y - vertex.y, at.x - vertex.x);
  const double r = distance(at, vertex);
  const double s12 = normalizeRadians(a2 - a1);
  const double t1 = distance(p1, vertex), t2 = distance(p2, vertex);
  DimensionParts parts = normalizeRadians(aq - a1) <= s12
                             ? layoutAngular(vertex, a1, s12, r, {t1, t1}, {t2, t2}, style, options)
                             : layoutAngular(vertex, a2, kTwoPi - s12, r, {t2, t2}, {t1, t1}, style, options);
  parts.definitionPoints = {{13, p1}, {14, p2}, {15, vertex}, {10, at}};
  return parts;
}

std::optional<DimensionParts> angularDimension(Segment first, Segment second, Vec2 at, const DimensionStyle& style,
                                               const DimensionOptions& options) {
  const Vec2 d1 = first.b - first.a, d2 = second.b - second.a;
  const double denom = cross(d1, d2);
  if (length(d1) == 0 || length(d2) == 0 || std::abs(denom) <= 1e-12 * length(d1) * length(d2)) return std::nullopt;
  const Vec2 vertex = first.a + (cross(second.a - first.a, d2) / denom) * d1;
  const double r = distance(at, vertex);
  // The four rays of the two lines around the vertex; the arc lies between the two that
  // hold `at` between them.
  struct Ray {
    double angle;
    const Segment* side;
  };
  std::array<Ray, 4> rays{{{normalizeRadians(std::atan2(d1.y, d1.x)), &first},
                           {normalizeRadians(std::atan2(d1.y, d1.x) + kPi), &first},
                           {normalizeRadians(std::atan2(d2.y, d2.x)), &second},
                           {normalizeRadians(std::atan2(d2.y, d2.x) + kPi), &second}}};
  std::sort(rays.begin(), rays.end(), [](const Ray& a, const Ray& b) { return a.angle < b.angle; });
  const double aq = normalizeRadians(std::atan2(at.y - vertex.y, at.x - vertex.x));
  std::size_t k = 3;  // the sector from rays[k] counter-clockwise to rays[k + 1]
  for (std::size_t i = 0; i < 3; ++i)
    if (aq >= rays[i].angle && aq < rays[i + 1].angle) k = i;
  const Ray& from = rays[k];
  const Ray& to = rays[(k + 1) % 4];
  const double sweep = normalizeRadians(to.angle - from.angle);
  // Where each side lies along its ray (distances from the vertex, negative behind it).
  auto range = [&](const Ray& ray) {
    const Vec2 u = unitAtRadians(ray.angle);
    const double ta = dot(ray.side->a - vertex, u), tb = dot(ray.side->b - vertex, u);
    return std::array<double, 2>{std::max(0.0, std::min(ta, tb)), std::max(0.0, std::max(ta, tb))};
  };
  DimensionParts parts = layoutAngular(vertex, from.angle, sweep, r, range(from), range(to), style, options);
  parts.definitionPoints = {{13, first.a}, {14, first.b}, {15, second.a}, {10, second.b}, {16, at}};
  return parts;
}

DimensionParts leaderParts(std::span<const Vec2> vertices, bool arrow, const DimensionStyle& style, double scale) {
  DimensionParts parts;
  if (vertices.size() < 2) return parts;
  for (std::size_t i = 1; i < vertices.size(); ++i) parts.lines.push_back({vertices[i - 1], vertices[i]});
  // The arrow points at the first vertex, from the first vertex that differs from it.
  std::size_t from = 1;
  while (from + 1 < vertices.size() && distance(vertices[from], vertices[0]) == 0) ++from;
  const double size = style.arrowSize * style.scale * scale;
  if (arrow && distance(vertices[from], vertices[0]) > 0 && std::isfinite(size))
    addArrow(parts, style.arrow, vertices[0], unitOf(vertices[0] - vertices[from], {1, 0}), size);
  return parts;
}

}  // namespace orv::core
