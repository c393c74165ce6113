// The described entity kinds: each DXF type's fields, group codes, defaults and roles.
#include "orv/db/kinds.h"

#include <cmath>

namespace orv::db {

namespace {

constexpr Point3 kZero{0.0, 0.0, 0.0};
constexpr Point3 kUp{0.0, 0.0, 1.0};

// A number written only when it is not its default.
constexpr FieldDescription real(int code, Role role, Frame frame, std::size_t offset, double fallback = 0.0) {
  return {code, FieldType::real, role, frame, static_cast<std::uint16_t>(offset), {fallback, 0.0, 0.0}, false};
}
// A number every entity of the kind writes.
constexpr FieldDescription realAlways(int code, Role role, Frame frame, std::size_t offset) {
  return {code, FieldType::real, role, frame, static_cast<std::uint16_t>(offset), kZero, true};
}
// A point every entity of the kind writes.
constexpr FieldDescription point(int code, Role role, Frame frame, std::size_t offset) {
  return {code, FieldType::point, role, frame, static_cast<std::uint16_t>(offset), kZero, true};
}
// A point written only when it is not its default.
constexpr FieldDescription optionalPoint(int code, Role role, Frame frame, std::size_t offset, Point3 fallback) {
  return {code, FieldType::point, role, frame, static_cast<std::uint16_t>(offset), fallback, false};
}
constexpr FieldDescription int16(int code, std::size_t offset) {
  return {code, FieldType::int16, Role::none, Frame::world, static_cast<std::uint16_t>(offset), kZero, false};
}

constexpr Frame W = Frame::world;
constexpr Frame O = Frame::object;

const FieldDescription kPointFields[] = {
    point(10, Role::point, W, offsetof(Point, position)),
    real(39, Role::length, W, offsetof(Point, thickness)),
    optionalPoint(210, Role::extrusion, W, offsetof(Point, extrusion), kUp),
    real(50, Role::degrees, W, offsetof(Point, angle)),
};

const FieldDescription kSolidFields[] = {
    point(10, Role::point, O, offsetof(Solid, corners) + 0 * sizeof(Point3)),
    point(11, Role::point, O, offsetof(Solid, corners) + 1 * sizeof(Point3)),
    point(12, Role::point, O, offsetof(Solid, corners) + 2 * sizeof(Point3)),
    point(13, Role::point, O, offsetof(Solid, corners) + 3 * sizeof(Point3)),
    real(39, Role::length, W, offsetof(Solid, thickness)),
    optionalPoint(210, Role::extrusion, W, offsetof(Solid, extrusion), kUp),
};

const FieldDescription kFaceFields[] = {
    point(10, Role::point, W, offsetof(Solid, corners) + 0 * sizeof(Point3)),
    point(11, Role::point, W, offsetof(Solid, corners) + 1 * sizeof(Point3)),
    point(12, Role::point, W, offsetof(Solid, corners) + 2 * sizeof(Point3)),
    point(13, Role::point, W, offsetof(Solid, corners) + 3 * sizeof(Point3)),
    int16(70, offsetof(Solid, hiddenEdges)),
};

// The parameters are no angles of the drawing (a map leaves them, but for a mirror: see
// Ellipse::mirrorParameters).
const FieldDescription kEllipseFields[] = {
    point(10, Role::point, W, offsetof(Ellipse, center)),
    point(11, Role::vector, W, offsetof(Ellipse, majorAxis)),
    optionalPoint(210, Role::extrusion, W, offsetof(Ellipse, extrusion), kUp),
    realAlways(40, Role::none, W, offsetof(Ellipse, ratio)),
    realAlways(41, Role::none, W, offsetof(Ellipse, startParam)),
    realAlways(42, Role::none, W, offsetof(Ellipse, endParam)),
};

const KindDescription kKinds[] = {
    {"POINT", "AcDbPoint", TableKind::point, 0, kPointFields},
    {"SOLID", "AcDbTrace", TableKind::solid, static_cast<std::uint8_t>(Solid::Type::solid), kSolidFields},
    {"TRACE", "AcDbTrace", TableKind::solid, static_cast<std::uint8_t>(Solid::Type::trace), kSolidFields},
    {"3DFACE", "AcDbFace", TableKind::solid, static_cast<std::uint8_t>(Solid::Type::face), kFaceFields},
    {"ELLIPSE", "AcDbEllipse", TableKind::ellipse, 0, kEllipseFields},
};

}  // namespace

std::span<const KindDescription> kindDescriptions() { return kKinds; }

const KindDescription* descriptionOf(std::string_view type) {
  for (const KindDescription& k : kKinds)
    if (k.type == type) return &k;
  return nullptr;
}

const KindDescription& descriptionOf(const Point&) { return kKinds[0]; }

const KindDescription& descriptionOf(const Solid& s) {
  switch (s.type) {
    case Solid::Type::solid: return kKinds[1];
    case Solid::Type::trace: return kKinds[2];
    case Solid::Type::face: break;
  }
  return kKinds[3];
}

const KindDescription& descriptionOf(const Ellipse&) { return kKinds[4]; }

namespace {
constexpr double kTwoPi = 6.283185307179586;
double normalizeRadians(double a) {
  a = std::fmod(a, kTwoPi);
  return a < 0.0 ? a + kTwoPi : a;
}
}  // namespace

Point3 Ellipse::minorAxis() const {
  // The unit extrusion × the major axis, times the ratio.
  Point3 n = extrusion;
  const double len = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
  n = len > 0.0 && std::isfinite(len) ? Point3{n.x / len, n.y / len, n.z / len} : Point3{0.0, 0.0, 1.0};
  const Point3 a = majorAxis;
  return {(n.y * a.z - n.z * a.y) * ratio, (n.z * a.x - n.x * a.z) * ratio, (n.x * a.y - n.y * a.x) * ratio};
}

double Ellipse::sweep() const {
  double d = std::fmod(endParam - startParam, kTwoPi);
  if (d < 0.0) d += kTwoPi;
  return d <= 1e-12 ? kTwoPi : d;
}

void Ellipse::mirrorParameters() {
  if (std::abs(endParam - startParam) >= kTwoPi - 1e-12) return;
  const double s = normalizeRadians(endParam - startParam);
  const double start = normalizeRadians(-endParam);
  startParam = start;
  endParam = start + s;
}

std::array<Point3, 4> Solid::outline() const {
  if (!filled()) return corners;
  if (cornerCount() == 3) return {corners[0], corners[1], corners[2], corners[2]};
  return {corners[0], corners[1], corners[3], corners[2]};
}

Point3 extrusionOf(const KindDescription& description, const void* object) {
  for (const FieldDescription& f : description.fields)
    if (f.role == Role::extrusion) return pointField(object, f);
  return kUp;
}

bool fieldsFinite(const KindDescription& description, const void* object) {
  for (const FieldDescription& f : description.fields) {
    if (f.type == FieldType::real && !isFinite(realField(object, f))) return false;
    if (f.type == FieldType::point && !isFinite(pointField(object, f))) return false;
  }
  return true;
}

}  // namespace orv::db
