// One-line text of a drawing: TEXT, and the attributes of blocks (ATTDEF in a block
// definition, ATTRIB after a reference) which are one-line text with a tag.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "orv/db/shared_string.h"
#include "orv/db/types.h"

namespace orv::db {

// Horizontal alignment of one-line text (group 72).
enum class TextHAlign : std::uint8_t { left = 0, center = 1, right = 2, aligned = 3, middle = 4, fit = 5 };
// Vertical alignment (group 73 of TEXT, 74 of ATTRIB and ATTDEF).
enum class TextVAlign : std::uint8_t { baseline = 0, bottom = 1, middle = 2, top = 3 };

// "Standard", the style a text has unless it names another: one string for all of them.
const SharedString& standardStyleName();

// TEXT, ATTRIB or ATTDEF. Points are in the entity's object coordinate system (its
// extrusion); angles in degrees.
//
// Where it stands: left/baseline text at `position`. Any other alignment places it by
// `alignPoint` instead (centre, right, middle: that point; aligned and fit: the text runs
// from `position` to `alignPoint`, aligned keeping its proportions, fit keeping its
// height). The height is that of capital letters; 0 takes the style's.
struct Text {
  enum class Type : std::uint8_t { text, attrib, attdef };
  Type type = Type::text;
  TextHAlign hAlign = TextHAlign::left;   // 72
  TextVAlign vAlign = TextVAlign::baseline;  // 73 (TEXT), 74 (ATTRIB, ATTDEF)
  bool hasAlignPoint = false;             // 11 given
  std::int16_t generation = 0;            // 71: 2 mirrored in x (backward), 4 upside down
  std::int16_t flags = 0;                 // 70, attributes: 1 invisible, 2 constant, 4 verify, 8 preset
  std::int16_t fieldLength = 0;           // 73, attributes
  bool styleGiven = false;                // 7 given though it names the default: written back so
  Point3 position;                        // 10
  Point3 alignPoint;                      // 11
  double height = 0.0;                    // 40
  double rotation = 0.0;                  // 50
  double widthFactor = 1.0;               // 41
  double oblique = 0.0;                   // 51, slant of the letters from upright
  double thickness = 0.0;                 // 39
  Point3 extrusion{0.0, 0.0, 1.0};        // 210
  std::string value;                      // 1: what TEXT and ATTRIB show, ATTDEF's default
  // The names and labels many texts repeat are shared between copies.
  SharedString style = standardStyleName();  // 7
  SharedString tag;                          // 2, attributes
  SharedString prompt;                       // 3, ATTDEF
  bool operator==(const Text&) const = default;

  bool isAttribute() const { return type != Type::text; }
  bool invisible() const { return type == Type::attrib && (flags & 1) != 0; }
  // What a picture shows of it: ATTDEF its tag, the others their value.
  std::string_view shown() const { return type == Type::attdef ? tag.view() : std::string_view(value); }
  // True when it stands by its alignment point rather than by `position`.
  bool placedByAlignPoint() const { return hAlign != TextHAlign::left || vAlign != TextVAlign::baseline; }
  // The point it stands by (see placedByAlignPoint).
  Point3 anchor() const { return placedByAlignPoint() && hasAlignPoint ? alignPoint : position; }
  // Sets where it stands: `position` for left/baseline text, else the alignment point
  // (and `position` with it, by the same move, where the alignment keeps both).
  void moveAnchorTo(Point3 at);
};

// A TEXT with the drawing's defaults: left/baseline at `at`, of `height`, in "Standard".
inline Text makeText(Point3 at, double height, std::string value) {
  Text t;
  t.position = at;
  t.height = height;
  t.value = std::move(value);
  return t;
}

}  // namespace orv::db
