// DIMENSION: a measurement drawn through its picture block ("*D…"), described once here
// (fields, group codes, defaults, what a map does to each). The DXF codec, the transforms,
// the renderer, snaps, grips, LIST and the SDK all go through this one definition.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "orv/db/types.h"

namespace orv::db {

struct Dimension {
  // The kinds of group 70's low bits.
  enum class Type : std::uint8_t { rotated = 0, aligned = 1, angular = 2, diameter = 3, radius = 4,
                                   angular3Point = 5, ordinate = 6 };
  static constexpr std::int16_t kTypeMask = 7;
  static constexpr std::int16_t kBlockOnlyThisDimension = 32;  // the block is this one's
  static constexpr std::int16_t kOrdinateX = 64;
  static constexpr std::int16_t kUserText = 128;  // the text was placed by hand

  std::string block;                // 2: the picture block
  std::string style;                // 3: the dimension style
  Point3 definitionPoint;           // 10, world
  Point3 textMidpoint;              // 11, object frame
  Point3 insertion;                 // 12, object frame: where the block is drawn
  Point3 point13, point14, point15, point16;  // world
  std::int16_t flags = 0;           // 70
  std::int16_t attachment = 0;      // 71
  std::int16_t lineSpacingStyle = 0;  // 72
  double lineSpacing = 1.0;         // 41
  double measurement = 0.0;         // 42: as the file gave it (0: not given)
  std::string text;                 // 1: "" the measurement, "<>" stands for it
  double textRotation = 0.0;        // 53, degrees
  double horizontalDirection = 0.0;  // 51, degrees
  double oblique = 0.0;             // 52, degrees
  double rotation = 0.0;            // 50, degrees: the dimension line of a rotated one
  double leaderLength = 0.0;        // 40: radius and diameter
  Point3 extrusion{0.0, 0.0, 1.0};  // 210
  bool operator==(const Dimension&) const = default;

  Type type() const { return static_cast<Type>(flags & kTypeMask); }
  bool angular() const { return type() == Type::angular || type() == Type::angular3Point; }
  // The measured value from the definition points: a length, or an angle in degrees.
  double measured() const;
  // The definition points a dimension of this type uses, by group code (10, 13...16).
  int definitionPointCodes(int (&codes)[5]) const;
};

// ---- the description

enum class DimensionField : std::uint8_t { text, real, int16, point };
enum class DimensionRole : std::uint8_t {
  none,    // a flag, a count, a factor or a name
  world,   // a point in world coordinates: moves with a map
  object,  // a point of the object frame: moves with the map seen in that plane
  length,  // scales with a map (the measurement only when it is a length)
  degrees,  // turns with a map (an angle of the object frame)
  extrusion,
};

struct DimensionFieldDescription {
  int code;  // a point's x code
  DimensionField type;
  DimensionRole role;
  std::string_view subclass;  // the marker of the part a file puts the field in
  // The member that holds the value (the one of the field's type).
  double Dimension::*real = nullptr;
  Point3 Dimension::*point = nullptr;
  std::int16_t Dimension::*int16 = nullptr;
  std::string Dimension::*text = nullptr;
};

// Every field, in the order a file made by this program lists them.
std::span<const DimensionFieldDescription> dimensionFields();
// The field a group code belongs to (a point's x, y or z); nullptr: none.
const DimensionFieldDescription* dimensionFieldOf(int code);
// The subclass markers that follow AcDbDimension for a type: one or two (rotated:
// AcDbAlignedDimension then AcDbRotatedDimension).
std::span<const std::string_view> dimensionSubclasses(Dimension::Type type);

}  // namespace orv::db
