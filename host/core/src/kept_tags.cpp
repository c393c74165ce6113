// Tags of kept entities: lookups by code, numbers, layer names, the object coordinate
// system, and the structure of a HATCH.
#include "kept_tags.h"

#include <charconv>

namespace orv::core::kept {

Tags::Tags(const db::RawTags& raw) {
  tags_.reserve(raw.size());
  grouped_.reserve(raw.size());
  db::DataTagWalk walk;
  for (db::RawTag t : raw) {
    const bool grouped = walk.next(t) != db::DataTagWalk::Place::data;
    tags_.push_back({t.code, t.slot, t.value});
    grouped_.push_back(grouped ? 1 : 0);
  }
}

std::optional<std::size_t> Tags::find(int code) const {
  for (std::size_t i = 0; i < tags_.size(); ++i)
    if (tags_[i].code == code && !grouped_[i]) return i;
  return std::nullopt;
}

std::optional<double> Tags::number(int code) const {
  const auto i = find(code);
  return i ? parseNumber(tags_[*i].value) : std::nullopt;
}

std::optional<Vec2> Tags::point(int code) const {
  const auto i = find(code);
  return i ? pointAt(*i) : std::nullopt;
}

std::optional<Vec2> Tags::pointAt(std::size_t i) const {
  if (i + 1 >= tags_.size() || tags_[i + 1].code != tags_[i].code + 10) return std::nullopt;
  const auto x = parseNumber(tags_[i].value), y = parseNumber(tags_[i + 1].value);
  if (!x || !y) return std::nullopt;
  return Vec2{*x, *y};
}

std::string_view Tags::text(int code) const {
  const auto i = find(code);
  return i ? tags_[*i].value : std::string_view{};
}

std::optional<double> parseNumber(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc{} || end != text.data() + text.size() || !std::isfinite(v)) return std::nullopt;
  return v;
}

std::string formatNumber(double v) {
  if (v == 0) v = 0;  // no "-0"
  char buffer[32];
  const auto r = std::to_chars(buffer, buffer + sizeof buffer, v);
  std::string s(buffer, r.ptr);
  if (s.find_first_of(".e") == std::string::npos) s += ".0";
  return s;
}

std::string_view layerName(const db::Database& d, const db::Entity& e) {
  if (const auto* u = e.as<db::UnknownEntity>()) {
    std::string_view layer = "0";
    db::forEachDataTag(u->tags, [&](int code, std::string_view v) {
      if (code == 8) layer = v;
      return code != 8;
    });
    return layer;
  }
  return d.name(e.layer);
}

Plane planeOf(const Tags& tags) {
  const auto i = tags.find(210);
  if (!i) return Plane::world;
  const double x = parseNumber(tags[*i].value).value_or(0);
  double y = 0, z = 1;
  if (*i + 1 < tags.size() && tags[*i + 1].code == 220) y = parseNumber(tags[*i + 1].value).value_or(0);
  if (*i + 2 < tags.size() && tags[*i + 2].code == 230) z = parseNumber(tags[*i + 2].value).value_or(1);
  return planeOf(db::Point3{x, y, z});
}

Plane planeOf(db::Point3 n) {
  const double x = n.x, y = n.y, z = n.z;
  const double len = std::sqrt(x * x + y * y + z * z);
  if (len == 0) return Plane::world;
  // The arbitrary axis algorithm keeps world axes for normals within 1/64 of Z.
  if (std::abs(x / len) < 1e-12 && std::abs(y / len) < 1e-12) return z > 0 ? Plane::world : Plane::flipped;
  return Plane::tilted;
}

Affine2 objectToWorld(Plane plane) {
  Affine2 m;
  if (plane == Plane::flipped) m.a = -1, m.turn = 180;
  return m;
}

}  // namespace orv::core::kept
