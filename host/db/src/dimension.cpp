// The DIMENSION kind: its fields by group code and what it measures.
#include "orv/db/dimension.h"

#include <algorithm>
#include <cmath>

namespace orv::db {

namespace {

using F = DimensionField;
using R = DimensionRole;
using D = Dimension;

constexpr std::string_view kBase = "AcDbDimension";
constexpr std::string_view kOwn = "";  // the part of the dimension's type

constexpr DimensionFieldDescription text(int code, std::string Dimension::*m) {
  return {code, F::text, R::none, kBase, nullptr, nullptr, nullptr, m};
}
constexpr DimensionFieldDescription real(int code, R role, std::string_view part, double Dimension::*m) {
  return {code, F::real, role, part, m, nullptr, nullptr, nullptr};
}
constexpr DimensionFieldDescription int16(int code, std::int16_t Dimension::*m) {
  return {code, F::int16, R::none, kBase, nullptr, nullptr, m, nullptr};
}
constexpr DimensionFieldDescription point(int code, R role, std::string_view part, Point3 Dimension::*m) {
  return {code, F::point, role, part, nullptr, m, nullptr, nullptr};
}

const DimensionFieldDescription kFields[] = {
    text(2, &D::block),
    point(10, R::world, kBase, &D::definitionPoint),
    point(11, R::object, kBase, &D::textMidpoint),
    point(12, R::object, kBase, &D::insertion),
    int16(70, &D::flags),
    int16(71, &D::attachment),
    int16(72, &D::lineSpacingStyle),
    real(41, R::none, kBase, &D::lineSpacing),
    real(42, R::length, kBase, &D::measurement),
    text(1, &D::text),
    real(53, R::degrees, kBase, &D::textRotation),
    real(51, R::degrees, kBase, &D::horizontalDirection),
    point(210, R::extrusion, kBase, &D::extrusion),
    text(3, &D::style),
    point(13, R::world, kOwn, &D::point13),
    point(14, R::world, kOwn, &D::point14),
    point(15, R::world, kOwn, &D::point15),
    point(16, R::world, kOwn, &D::point16),
    real(40, R::length, kOwn, &D::leaderLength),
    real(50, R::degrees, kOwn, &D::rotation),
    real(52, R::degrees, kOwn, &D::oblique),
};

constexpr std::string_view kRotated[] = {"AcDbAlignedDimension", "AcDbRotatedDimension"};
constexpr std::string_view kAligned[] = {"AcDbAlignedDimension"};
constexpr std::string_view kAngular[] = {"AcDb2LineAngularDimension"};
constexpr std::string_view kDiameter[] = {"AcDbDiametricDimension"};
constexpr std::string_view kRadius[] = {"AcDbRadialDimension"};
constexpr std::string_view kAngular3[] = {"AcDb3PointAngularDimension"};
constexpr std::string_view kOrdinate[] = {"AcDbOrdinateDimension"};

double length(Point3 a, Point3 b) { return std::hypot(b.x - a.x, b.y - a.y, b.z - a.z); }

constexpr double kDegrees = 57.29577951308232;

// The angle in degrees (0..180) between rays from `at` through a and b.
double angleBetween(Point3 at, Point3 a, Point3 b) {
  const double ax = a.x - at.x, ay = a.y - at.y, bx = b.x - at.x, by = b.y - at.y;
  const double la = std::hypot(ax, ay), lb = std::hypot(bx, by);
  if (la == 0.0 || lb == 0.0) return 0.0;
  const double c = std::clamp((ax * bx + ay * by) / (la * lb), -1.0, 1.0);
  return std::acos(c) * kDegrees;
}

}  // namespace

std::span<const DimensionFieldDescription> dimensionFields() { return kFields; }

const DimensionFieldDescription* dimensionFieldOf(int code) {
  for (const DimensionFieldDescription& f : kFields) {
    if (f.code == code) return &f;
    if (f.type == F::point && (code == f.code + 10 || code == f.code + 20)) return &f;
  }
  return nullptr;
}

std::span<const std::string_view> dimensionSubclasses(Dimension::Type type) {
  switch (type) {
    case Dimension::Type::rotated: return kRotated;
    case Dimension::Type::aligned: return kAligned;
    case Dimension::Type::angular: return kAngular;
    case Dimension::Type::diameter: return kDiameter;
    case Dimension::Type::radius: return kRadius;
    case Dimension::Type::angular3Point: return kAngular3;
    case Dimension::Type::ordinate: break;
  }
  return kOrdinate;
}

int Dimension::definitionPointCodes(int (&codes)[5]) const {
  switch (type()) {
    case Type::rotated: case Type::aligned: case Type::ordinate:
      codes[0] = 10, codes[1] = 13, codes[2] = 14;
      return 3;
    case Type::radius: case Type::diameter:
      codes[0] = 10, codes[1] = 15;
      return 2;
    case Type::angular3Point:
      codes[0] = 10, codes[1] = 13, codes[2] = 14, codes[3] = 15;
      return 4;
    case Type::angular: break;
  }
  codes[0] = 10, codes[1] = 13, codes[2] = 14, codes[3] = 15, codes[4] = 16;
  return 5;
}

double Dimension::measured() const {
  switch (type()) {
    case Type::rotated: {
      const double a = rotation / kDegrees;
      return std::abs((point14.x - point13.x) * std::cos(a) + (point14.y - point13.y) * std::sin(a));
    }
    case Type::aligned: return length(point13, point14);
    case Type::radius: case Type::diameter: return length(definitionPoint, point15);
    case Type::angular3Point: return angleBetween(point15, point13, point14);
    case Type::ordinate:
      return (flags & kOrdinateX) ? std::abs(point13.x - definitionPoint.x) : std::abs(point13.y - definitionPoint.y);
    case Type::angular: break;
  }
  // Two lines: 13-14 and 15-10, the arc through 16. The angle is the one between the rays
  // from their crossing towards the sides 16 lies on.
  const double d1x = point14.x - point13.x, d1y = point14.y - point13.y;
  const double d2x = definitionPoint.x - point15.x, d2y = definitionPoint.y - point15.y;
  const double cross = d1x * d2y - d1y * d2x;
  if (cross == 0.0) return 0.0;
  const double t = ((point15.x - point13.x) * d2y - (point15.y - point13.y) * d2x) / cross;
  const Point3 vertex{point13.x + t * d1x, point13.y + t * d1y, 0.0};
  auto side = [&](double dx, double dy) {
    const double s = (point16.x - vertex.x) * dx + (point16.y - vertex.y) * dy;
    return s < 0.0 ? Point3{vertex.x - dx, vertex.y - dy, 0.0} : Point3{vertex.x + dx, vertex.y + dy, 0.0};
  };
  return angleBetween(vertex, side(d1x, d1y), side(d2x, d2y));
}

}  // namespace orv::db
