// MTEXT as decoded from its tags, and the special codes of one-line text (db::Text holds TEXT, ATTRIB and ATTDEF).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "orv/db/raw_tags.h"
#include "orv/db/types.h"
#include "orv/geom/affine.h"
#include "orv/geom/kept.h"

namespace orv::geom {

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
