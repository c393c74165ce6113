// SPLINE's group codes, read and written in one place.
//
// The part AcDbSpline holds, in the order CAD programs write it: 210 normal, 70 flags,
// 71 degree, 72/73/74 the numbers of knots, control points and fit points, 42/43/44
// tolerances, 12/13 end tangents, then the lists: 40 knots, 41 weights, 10 control points,
// 11 fit points. The reader takes the tags in any order; the counts it reads are not
// kept (the lists' sizes are written).
#include "codec_spline.h"

#include "orv/dxf/tags.h"

namespace orv::dxf {

namespace {

Take number(double& field, std::string_view value) { return parseDouble(value, field) ? Take::used : Take::badNumber; }

// x starts a point of the list; y and z belong to its last point.
Take listPoint(std::vector<db::Point3>& list, int base, int code, std::string_view value) {
  if (code == base) {
    list.emplace_back();
    return number(list.back().x, value);
  }
  if (list.empty()) return Take::stray;
  return number(code == base + 10 ? list.back().y : list.back().z, value);
}

Take optionalPoint(std::optional<db::Point3>& p, int base, int code, std::string_view value) {
  if (code == base) {
    p = db::Point3{};
    return number(p->x, value);
  }
  if (!p) return Take::stray;
  return number(code == base + 10 ? p->y : p->z, value);
}

Take optionalNumber(std::optional<double>& field, std::string_view value) {
  field = 0.0;
  return number(*field, value);
}

Take take(EntityBuilder& b, int code, std::string_view value) {
  db::Spline& s = b.spline;
  std::int64_t n = 0;
  switch (code) {
    // A number out of a 16-bit group's range cannot be written back as it was read.
    case 70:
      if (!parseInt(value, n) || n < -32768 || n > 32767) return Take::badNumber;
      s.flags = static_cast<std::int16_t>(n);
      return Take::used;
    case 71:
      if (!parseInt(value, n) || n < -32768 || n > 32767) return Take::badNumber;
      s.degree = static_cast<int>(n);
      return Take::used;
    case 72: case 73: case 74: return parseInt(value, n) ? Take::used : Take::badNumber;
    case 42: return optionalNumber(s.knotTolerance, value);
    case 43: return optionalNumber(s.controlTolerance, value);
    case 44: return optionalNumber(s.fitTolerance, value);
    case 40: s.knots.emplace_back(); return number(s.knots.back(), value);
    case 41: s.weights.emplace_back(); return number(s.weights.back(), value);
    case 10: case 20: case 30: return listPoint(s.controlPoints, 10, code, value);
    case 11: case 21: case 31: return listPoint(s.fitPoints, 11, code, value);
    case 12: case 22: case 32: return optionalPoint(s.startTangent, 12, code, value);
    case 13: case 23: case 33: return optionalPoint(s.endTangent, 13, code, value);
    case 210: case 220: case 230: {
      double& axis = code == 210 ? s.extrusion.x : code == 220 ? s.extrusion.y : s.extrusion.z;
      b.optionalTags.emplace_back(code, value);
      return number(axis, value);
    }
    default: return Take::notMine;
  }
}

constexpr db::Point3 kUp{0.0, 0.0, 1.0};

}  // namespace

Take takeSplineTag(EntityBuilder& b, int code, std::string_view value) {
  const Take t = take(b, code, value);
  if (t != Take::badNumber) return t;
  // Kept as read (see finishSpline) rather than failing the file.
  b.unreadNumber = true;
  return Take::used;
}

std::optional<std::string> finishSpline(EntityBuilder& b, db::Geometry& out) {
  if (b.unreadNumber) return "有数值无法读出，按原样保留";
  db::Spline& s = b.spline;
  if (s.controlPoints.size() < 2 && s.fitPoints.size() < 2) return "控制点和拟合点都不足两个，按原样保留";
  if (s.weights.size() > s.controlPoints.size()) return "权值多于控制点，按原样保留";
  if (s.extrusion != kUp) b.optionalTags.clear();
  out = db::Boxed<db::Spline>(std::move(s));
  s = {};
  if (db::validate(out) != db::Status::ok) return "坐标或次数不是有限数值或超出范围，按原样保留";
  return std::nullopt;
}

void keepSplineGivenDefaults(const EntityBuilder& b, db::RawTags& extras) {
  // finishSpline left here only the tags of a normal at its default.
  for (auto [code, value] : b.optionalTags) {
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t' || value.back() == '\r')) value.remove_suffix(1);
    extras.add(code, value, slot::givenDefault);
  }
}

void writeSpline(Emitter& out, const db::Spline& s, const db::RawTags* x) {
  out.raw(100, "AcDbSpline");
  out.kept(x, slot::subclassHead);
  if (s.extrusion != kUp) out.point(210, s.extrusion);
  else out.kept(x, slot::givenDefault);
  out.integer(70, s.flags);
  out.integer(71, s.degree);
  out.integer(72, static_cast<long long>(s.knots.size()));
  out.integer(73, static_cast<long long>(s.controlPoints.size()));
  out.integer(74, static_cast<long long>(s.fitPoints.size()));
  if (s.knotTolerance) out.real(42, *s.knotTolerance);
  if (s.controlTolerance) out.real(43, *s.controlTolerance);
  if (s.fitTolerance) out.real(44, *s.fitTolerance);
  if (s.startTangent) out.point(12, *s.startTangent);
  if (s.endTangent) out.point(13, *s.endTangent);
  for (double k : s.knots) out.real(40, k);
  for (double w : s.weights) out.real(41, w);
  for (const db::Point3& p : s.controlPoints) out.point(10, p);
  for (const db::Point3& p : s.fitPoints) out.point(11, p);
  out.kept(x, slot::subclass);
}

}  // namespace orv::dxf
