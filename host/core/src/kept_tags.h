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

// ---- HATCH boundaries

// What one tag of a HATCH means for its geometry.
enum class HatchRole : std::uint8_t {
  other,
  elevation,      // the elevation point (x and y mean nothing)
  vertex,         // x of a polyline path vertex (y follows)
  bulge,          // the bulge of the vertex before
  lineStart,      // x of a line edge's start
  lineEnd,        // x of a line edge's end
  arcCenter,      // x of an arc or ellipse edge's centre
  radius,         // an arc edge's radius
  startAngle,     // an arc edge's start angle, an ellipse edge's start parameter (degrees)
  endAngle,
  ccw,            // 1: the edge runs counter-clockwise
  majorAxis,      // x of an ellipse edge's major axis (relative to its centre)
  ratio,          // an ellipse edge's minor to major ratio
  control,        // x of a spline edge's control point
  fit,            // x of a spline edge's fit point
  tangent,        // x of a spline edge's start or end tangent
  associative,    // 71: 1 when the boundary follows other objects
  sourceCount,    // 97: how many boundary objects follow
  sourceHandle,   // 330 after 97: a boundary object
  patternAngle,   // 52, 53: degrees
  patternScale,   // 41 after the boundary: the pattern's scale
  patternBase,    // 43 (44 follows): a pattern line's base point
  patternOffset,  // 45 (46 follows): a pattern line's offset
  dash,           // 49: a dash length
  seed,           // x of a seed point
};

struct HatchTag {
  HatchRole role = HatchRole::other;
  std::uint16_t edge = 0;  // which edge (or path, for polyline paths) it belongs to, from 1
  std::uint8_t edgeType = 0;  // 0 polyline path vertex, 1 line, 2 arc, 3 ellipse, 4 spline
};

// The role of every tag of a HATCH, by the structure its counts announce. Empty when
// the counts do not fit the tags.
std::vector<HatchTag> classifyHatch(const Tags& tags);

}  // namespace orv::core::kept
