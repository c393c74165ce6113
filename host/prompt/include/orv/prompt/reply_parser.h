// Parsing of typed replies: numbers, points and whole numbers, independent of
// any locale. nan, inf and numbers that overflow a double are not numbers.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "orv/prompt/console.h"

namespace orv::prompt {

// A reply as a command name, point, number or keyword is read: the full-width
// forms a Chinese input method gives (U+FF01 to U+FF5E: "１００，２００", "Ｃ") as
// their ASCII forms, the ideographic space as a blank, and the signs its Chinese
// punctuation mode puts on the same keys ("。" for ".", "《" and "》" for "<" and
// ">") as those. Everything else, bytes that are not UTF-8 included, is kept.
std::string asciiForms(std::string_view utf8);

// Blanks are spaces and tabs; they may stand around every part of a reply.
bool isBlank(char c);
std::string_view trimBlanks(std::string_view text);
// ASCII letters in upper case, every other byte kept: how options and keywords on a
// command's line are compared.
std::string upperAscii(std::string_view text);
// The first word of a line (up to a blank) and the rest, both trimmed.
std::pair<std::string, std::string> splitFirstWord(std::string_view text);

// A number in decimal or exponent form ("12", "-1.5", ".5", "2.", "1e-3",
// "+4E2") with optional sign and blanks around it. Hexadecimal, nan, inf and
// numbers too large for a double are refused; a number too small for one
// reads as zero of its sign.
std::optional<double> parseReal(std::string_view text);

enum class IntParse { Ok, NotInteger, OutOfRange };
// A whole number: optional sign and decimal digits, blanks around it.
// OutOfRange for a whole number outside -32768..32767 (out is then untouched);
// NotInteger for anything else that is not one ("1.0", "1e2", "").
IntParse parseInt(std::string_view text, int& out);

// A point, relative to `last` where the reply says so:
//   "x,y"          absolute; z is 0
//   "x,y,z"        absolute
//   "@dx,dy[,dz]"  relative to last (dz defaults to 0)
//   "@d<a"         polar from last: distance d, angle a in degrees
//                  counter-clockwise from +x; z is that of last
//   "d<a"          polar from the origin; z is 0
//   "@"            last itself
// Blanks around the parts are allowed.
std::optional<Point3> parsePoint(std::string_view text, const Point3& last);

}  // namespace orv::prompt
