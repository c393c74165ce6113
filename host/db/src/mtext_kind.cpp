// MTEXT's angle and its fields by group code.
#include <array>
#include <cmath>
#include <numbers>

#include "orv/db/mtext_kind.h"

namespace orv::db {

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;

Point3 cross(Point3 a, Point3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

Point3 unit(Point3 v) {
  const double l = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
  return l > 0.0 ? Point3{v.x / l, v.y / l, v.z / l} : Point3{1.0, 0.0, 0.0};
}

// The x and y axes of the plane whose normal is n (the arbitrary axis rule of DXF).
std::array<Point3, 2> planeAxes(Point3 n) {
  n = unit(n);
  const Point3 x = unit(std::abs(n.x) < 1.0 / 64 && std::abs(n.y) < 1.0 / 64 ? cross({0, 1, 0}, n)
                                                                              : cross({0, 0, 1}, n));
  return {x, unit(cross(n, x))};
}

bool worldZ(Point3 n) { return n.x == 0.0 && n.y == 0.0 && n.z > 0.0; }

}  // namespace

double MText::angle() const {
  if (hasXDirection && (xDirection.x != 0.0 || xDirection.y != 0.0))
    return std::atan2(xDirection.y, xDirection.x) / kDegree;
  if (worldZ(extrusion)) return rotation;
  const auto a = planeAxes(extrusion);
  const double c = std::cos(rotation * kDegree), s = std::sin(rotation * kDegree);
  return std::atan2(c * a[0].y + s * a[1].y, c * a[0].x + s * a[1].x) / kDegree;
}

void MText::setAngle(double degrees) {
  const double r = degrees * kDegree;
  if (hasXDirection) {
    const double l = std::hypot(xDirection.x, xDirection.y);
    xDirection = {std::cos(r) * (l > 0 ? l : 1.0), std::sin(r) * (l > 0 ? l : 1.0), 0.0};
  }
  if (worldZ(extrusion)) {
    rotation = degrees;
    return;
  }
  // The angle in the text's own plane whose direction, seen from above, is `degrees`.
  const auto a = planeAxes(extrusion);
  const double c = std::cos(r), s = std::sin(r);
  rotation = std::atan2(c * a[1].x + s * a[1].y, c * a[0].x + s * a[0].y) / kDegree;
}

std::string mtextContentOf(std::span<const std::string> paragraphs) {
  std::string out;
  for (std::size_t i = 0; i < paragraphs.size(); ++i) {
    if (i > 0) out += "\\P";
    for (char c : paragraphs[i]) {
      if (c == '\\' || c == '{' || c == '}') out += '\\';
      out += c;
    }
  }
  return out;
}

std::span<const MTextFieldDescription> mtextFields() {
  using T = MTextFieldType;
  static const MTextFieldDescription kFields[] = {
      {10, T::point, nullptr, nullptr, nullptr, &MText::position, nullptr, true},
      {40, T::real, &MText::height, nullptr, nullptr, nullptr, nullptr, true},
      {41, T::real, &MText::width, nullptr, nullptr, nullptr, nullptr, true},
      {46, T::real, &MText::definedHeight},
      {71, T::attachment, nullptr, nullptr, nullptr, nullptr, nullptr, true},
      {72, T::int16, nullptr, &MText::drawingDirection, nullptr, nullptr, nullptr, true},
      {7, T::text, nullptr, nullptr, nullptr, nullptr, &MText::style, true},
      {210, T::point, nullptr, nullptr, nullptr, &MText::extrusion},
      {11, T::point, nullptr, nullptr, nullptr, &MText::xDirection},
      {42, T::real, &MText::actualWidth},
      {43, T::real, &MText::actualHeight},
      {50, T::real, &MText::rotation},
      {73, T::int16, nullptr, &MText::lineSpacingStyle, nullptr, nullptr, nullptr, true},
      {44, T::real, &MText::lineSpacing, nullptr, nullptr, nullptr, nullptr, true},
      {90, T::int16, nullptr, &MText::backgroundFill},
      {63, T::int16, nullptr, &MText::backgroundColor},
      {421, T::int32, nullptr, nullptr, &MText::backgroundTrueColor},
      {431, T::text, nullptr, nullptr, nullptr, nullptr, &MText::backgroundColorName},
      {45, T::real, &MText::backgroundScale},
      {441, T::int32, nullptr, nullptr, &MText::backgroundTransparency},
  };
  return kFields;
}

const MTextFieldDescription* mtextFieldOf(int code) {
  for (const MTextFieldDescription& f : mtextFields()) {
    if (f.code == code) return &f;
    if (f.type == MTextFieldType::point && (code == f.code + 10 || code == f.code + 20)) return &f;
  }
  return nullptr;
}

}  // namespace orv::db
