// Multi-line text of a drawing (MTEXT): paragraphs of formatted text in a box hanging
// from its insertion point. The content keeps its inline codes (\P paragraph ends, \H
// heights, fonts, ...); orv/geom/mtext.h reads them.
#pragma once

#include <cmath>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "orv/db/types.h"

namespace orv::db {

// Where the box hangs from its insertion point (group 71): rows top, middle, bottom, each
// left, centre, right.
enum class MTextAttachment : std::uint8_t {
  topLeft = 1, topCenter, topRight, middleLeft, middleCenter, middleRight,
  bottomLeft, bottomCenter, bottomRight,
};

// MTEXT. Unlike one-line text its insertion point and direction are world coordinates;
// the text's x axis is `xDirection` when `hasXDirection`, else `rotation` degrees from the
// x axis of the plane of `extrusion`. Heights are those of capital letters.
struct MText {
  Point3 position;                  // 10
  Point3 xDirection{1.0, 0.0, 0.0}; // 11
  bool hasXDirection = false;
  MTextAttachment attachment = MTextAttachment::topLeft;  // 71
  std::int16_t drawingDirection = 1;   // 72: 1 left to right, 3 top to bottom, 5 by style
  std::int16_t lineSpacingStyle = 1;   // 73: 1 at least, 2 exactly
  std::int16_t backgroundFill = 0;     // 90: 1 a fill colour, 2 the window's, 16 text frame
  std::int16_t backgroundColor = 0;    // 63 (0: none given)
  std::int32_t backgroundTrueColor = -1;  // 421 (-1: none given)
  double rotation = 0.0;            // 50, degrees
  double height = 0.0;              // 40
  double width = 0.0;               // 41: reference width of the box; 0: lines are not wrapped
  double definedHeight = 0.0;       // 46: height of the box as defined (0: as the text needs)
  double actualWidth = 0.0;         // 42: width of the text as last laid out (kept, scaled)
  double actualHeight = 0.0;        // 43
  double lineSpacing = 1.0;         // 44: factor of the usual 5/3 of the height
  double backgroundScale = 1.5;     // 45: the fill's border, a factor of the height
  std::int32_t backgroundTransparency = 0;  // 441
  Point3 extrusion{0.0, 0.0, 1.0};  // 210
  std::string style = "Standard";   // 7
  std::string backgroundColorName;  // 431
  std::string content;              // the 3 chunks and the 1, joined
  bool operator==(const MText&) const = default;

  // The rotation in degrees of its x axis seen from above (the drawing plane).
  double angle() const;
  // Sets the angle seen from above, through `xDirection` when the text has one.
  void setAngle(double degrees);
};

// An MTEXT with the drawing's defaults: top left at `at`, lines of `height`, no wrapping.
inline MText makeMText(Point3 at, double height, std::string content) {
  MText m;
  m.position = at;
  m.height = height;
  m.content = std::move(content);
  return m;
}

// Paragraphs of plain text joined into MTEXT content (a paragraph end "\P" between them),
// backslashes and braces in them written as the codes that show them.
std::string mtextContentOf(std::span<const std::string> paragraphs);

// A field of MText by its group code, for readers and writers that walk them in the order
// a file gave: its kind and where it is held.
// attachment: 71, held as MText::attachment (1 to 9).
enum class MTextFieldType : std::uint8_t { real, int16, int32, point, text, attachment };
struct MTextFieldDescription {
  int code;
  MTextFieldType type;
  double MText::* real = nullptr;
  std::int16_t MText::* int16 = nullptr;
  std::int32_t MText::* int32 = nullptr;
  Point3 MText::* point = nullptr;
  std::string MText::* text = nullptr;
  bool always = false;  // written by a new MTEXT even at its default
};
std::span<const MTextFieldDescription> mtextFields();
// The field a code belongs to (a point by its x, y and z codes); nullptr: none.
const MTextFieldDescription* mtextFieldOf(int code);

}  // namespace orv::db
