// TEXT, ATTRIB, ATTDEF and MTEXT as decoded from their tags, and the special codes of one-line text.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "orv/db/raw_tags.h"
#include "orv/db/types.h"
#include "orv/geom/affine.h"
#include "orv/geom/kept.h"

namespace orv::geom {

// Horizontal alignment of one-line text (group 72).
enum class TextHAlign : std::uint8_t { left = 0, center = 1, right = 2, aligned = 3, middle = 4, fit = 5 };
// Vertical alignment (group 73 of TEXT, 74 of ATTRIB and ATTDEF).
enum class TextVAlign : std::uint8_t { baseline = 0, bottom = 1, middle = 2, top = 3 };

// One line of text: TEXT, ATTRIB or ATTDEF. Points are in the entity's object coordinate
// system (see planOfOcs); angles in degrees.
//
// Where it stands: left/baseline text at `position`. Any other alignment places it by
// `alignPoint` instead (centre, right, middle: that point; aligned and fit: the text runs
// from `position` to `alignPoint`, aligned keeping its proportions, fit keeping its
// height). The height is that of capital letters.
struct TextData {
  Point3 position;                 // 10
  Point3 alignPoint;               // 11
  bool hasAlignPoint = false;
  double height = 0.0;             // 40
  double rotation = 0.0;           // 50
  double widthFactor = 1.0;        // 41
  double oblique = 0.0;            // 51, slant of the letters from upright
  std::string_view style = "Standard";  // 7
  std::int16_t generation = 0;     // 71: 2 mirrored in x (backward), 4 upside down
  TextHAlign hAlign = TextHAlign::left;
  TextVAlign vAlign = TextVAlign::baseline;
  std::string_view value;          // 1: what TEXT and ATTRIB show, ATTDEF's default
  std::string_view tag;            // 2: ATTRIB's and ATTDEF's tag (what ATTDEF shows)
  std::int16_t attributeFlags = 0; // 70 of ATTRIB and ATTDEF: 1 invisible
  Point3 extrusion{0.0, 0.0, 1.0}; // 210

  bool invisibleAttribute() const { return (attributeFlags & 1) != 0; }
  // What a picture shows of it: ATTDEF its tag, the others their value.
  std::string_view shown(KeptKind kind) const { return kind == KeptKind::attdef ? tag : value; }
};

// kind: text, attrib or attdef. nullopt for another kind or a point that is not finite.
// A missing height is 0 (the caller may take the style's).
std::optional<TextData> decodeText(KeptKind kind, const db::RawTags& tags);

// One-line text with its special codes turned into the characters they stand for:
// %%c ⌀, %%d °, %%p ±, %%% %, %%nnn the character of that code; %%u and %%o (underline
// and overline switches) are left out.
std::string expandTextCodes(std::string_view text);

// Where MTEXT's box hangs from its insertion point (group 71).
enum class MTextAttachment : std::uint8_t {
  topLeft = 1, topCenter, topRight, middleLeft, middleCenter, middleRight,
  bottomLeft, bottomCenter, bottomRight,
};

// MTEXT: paragraphs of formatted text in a box. `position` and `xDirection` are world
// coordinates (not OCS); the text's x axis is `xDirection` when given, else `rotation`
// degrees from the OCS x axis. Its content still holds the inline codes (see
// parseMText in mtext.h).
struct MTextData {
  Point3 position;                 // 10
  Point3 xDirection;               // 11
  bool hasXDirection = false;
  double rotation = 0.0;           // 50, degrees
  double height = 0.0;             // 40: initial height of capital letters
  double width = 0.0;              // 41: width of the box; 0 or less: lines are not wrapped
  MTextAttachment attachment = MTextAttachment::topLeft;  // 71
  std::int16_t direction = 1;      // 72: 1 left to right, 3 top to bottom, 5 by style
  std::int16_t lineSpacingStyle = 1;  // 73: 1 at least, 2 exactly
  double lineSpacing = 1.0;        // 44: factor of the usual 5/3 of the height
  std::string_view style = "Standard";  // 7
  std::string content;             // the 3 chunks and the 1 joined
  Point3 extrusion{0.0, 0.0, 1.0}; // 210
};

std::optional<MTextData> decodeMText(const db::RawTags& tags);

// The rotation in radians of MTEXT's x axis seen from above.
double mtextAngle(const MTextData& m);

}  // namespace orv::geom
