// Reading the tags of entities kept as read: numbers, points and text by group code,
// the object coordinate system they use, and the layout of a HATCH's boundary.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "orv/core/geometry.h"
#include "orv/db/database.h"

namespace orv::core::kept {

struct Tag {
  int code = 0;
  std::uint8_t slot = 0;
  std::string_view value;
};

// The tags of a kept entity in order, with the application data groups (102 { ... })
// marked so that lookups skip them.
class Tags {
 public:
  explicit Tags(const db::RawTags& raw);
  std::size_t size() const { return tags_.size(); }
  const Tag& operator[](std::size_t i) const { return tags_[i]; }
  bool inGroup(std::size_t i) const { return grouped_[i] != 0; }
  // The first tag of a code outside application data and extended data, or none.
  std::optional<std::size_t> find(int code) const;
  std::optional<double> number(int code) const;
  double number(int code, double fallback) const { return number(code).value_or(fallback); }
  // The point whose x is given by `code` (y by code + 10, z by code + 20).
  std::optional<Vec2> point(int code) const;
  std::string_view text(int code) const;
  // The value of tag i and of the y tag after it, when the next tag is code + 10.
  std::optional<Vec2> pointAt(std::size_t i) const;

 private:
  std::vector<Tag> tags_;
  std::vector<std::uint8_t> grouped_;  // in a 102 group or in extended data
};

std::optional<double> parseNumber(std::string_view text);
std::string formatNumber(double v);

// The layer an entity is on, by name (a kept entity names it in its tags).
std::string_view layerName(const db::Database& d, const db::Entity& e);

// How a kept entity's 2D coordinates lie in the world: its extrusion (210). Points of
// an entity whose extrusion is -Z have x mirrored; any other tilt is not handled.
enum class Plane { world, flipped, tilted };
Plane planeOf(const Tags& tags);
Plane planeOf(db::Point3 extrusion);
// World from object coordinates for that plane (identity or x -> -x).
Affine2 objectToWorld(Plane plane);

}  // namespace orv::core::kept
