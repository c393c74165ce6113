// The LEADER kind: its fields by group code.
#include "orv/db/leader.h"

#include <cmath>

namespace orv::db {

namespace {

using F = LeaderField;
using R = LeaderRole;
using L = Leader;

constexpr LeaderFieldDescription text(int code, std::string Leader::*m) {
  return {code, F::text, R::none, nullptr, nullptr, nullptr, m, true};
}
constexpr LeaderFieldDescription int16(int code, std::int16_t Leader::*m, bool always) {
  return {code, F::int16, R::none, nullptr, nullptr, m, nullptr, always};
}
constexpr LeaderFieldDescription real(int code, double Leader::*m) {
  return {code, F::real, R::length, m, nullptr, nullptr, nullptr, false};
}
constexpr LeaderFieldDescription point(int code, R role, Point3 Leader::*m, bool always) {
  return {code, F::point, role, nullptr, m, nullptr, nullptr, always};
}

const LeaderFieldDescription kFields[] = {
    text(3, &L::style),
    int16(71, &L::arrow, true),
    int16(72, &L::pathType, true),
    int16(73, &L::creation, true),
    int16(74, &L::hookDirection, true),
    int16(75, &L::hookline, true),
    real(40, &L::textHeight),
    real(41, &L::textWidth),
    int16(77, &L::color, false),
    {340, F::handle, R::none, nullptr, nullptr, nullptr, nullptr, false},
    point(210, R::normal, &L::normal, false),
    point(211, R::direction, &L::horizontal, true),
    point(212, R::offset, &L::blockOffset, true),
    point(213, R::offset, &L::annotationOffset, true),
};

bool finite(Point3 p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

}  // namespace

std::span<const LeaderFieldDescription> leaderFields() { return kFields; }

const LeaderFieldDescription* leaderFieldOf(int code) {
  for (const LeaderFieldDescription& f : kFields) {
    if (f.code == code) return &f;
    if (f.type == F::point && (code == f.code + 10 || code == f.code + 20)) return &f;
  }
  return nullptr;
}

bool leaderSound(const Leader& l) {
  if (!std::isfinite(l.textHeight) || !std::isfinite(l.textWidth)) return false;
  for (const LeaderFieldDescription& f : kFields)
    if (f.point && !finite(l.*f.point)) return false;
  for (Point3 v : l.vertices)
    if (!finite(v)) return false;
  const Point3 n = l.normal;
  return l.vertices.size() >= 2 && (n.x != 0.0 || n.y != 0.0 || n.z != 0.0);
}

}  // namespace orv::db
