// The inline codes of MTEXT content: paragraphs of runs of text that share one format.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orv::geom {

// A colour an inline code sets: none (the entity's), an index (\C) or a true colour (\c).
struct RunColor {
  enum class Kind : std::uint8_t { entity, index, rgb };
  Kind kind = Kind::entity;
  std::uint32_t value = 0;  // index 0-256 (0 BYBLOCK, 256 BYLAYER), or 0xRRGGBB
  bool operator==(const RunColor&) const = default;
};

// How a run looks. Heights are in drawing units (capital letters), angles in degrees.
struct RunFormat {
  std::string font;        // \f family or \F font file; empty: the style's font
  bool bold = false;       // \f...|b1
  bool italic = false;     // \f...|i1
  double height = 0.0;     // \H
  double widthFactor = 1.0;   // \W
  double oblique = 0.0;    // \Q
  double tracking = 1.0;   // \T: spacing between letters, as a factor
  RunColor color;          // \C, \c
  bool underline = false;  // \L ... \l
  bool overline = false;   // \O ... \o
  bool strike = false;     // \K ... \k
  bool operator==(const RunFormat&) const = default;
};

struct MTextRun {
  std::string text;  // UTF-8, every code resolved; a stacked fraction (\S) reads "a/b"
  RunFormat format;
};

enum class ParagraphAlign : std::uint8_t { left, center, right, justified, distributed };

struct MTextParagraph {
  std::vector<MTextRun> runs;
  ParagraphAlign align = ParagraphAlign::left;  // \pxqc; and the like
  double indentFirst = 0.0;  // \pi: of the first line, in units of the base height
  double indentLeft = 0.0;   // \pl: of every line
};

// MTEXT content split into paragraphs (\P, \N, \X and ^J end one) of formatted runs.
// Codes: \P \N \X paragraph ends; \~ a space that does not break; \\ \{ \} literal
// characters; { } a group whose format changes end with it; \f \F fonts; \H heights
// (absolute, or relative with "x"); \W width factor; \Q oblique angle; \T tracking; \A
// alignment (read, not used); \C colour index; \c true colour; \L \l \O \o \K \k
// lines; \S stacked fractions, shown as "upper/lower"; \p paragraph alignment and
// indents; \U+XXXX characters (also those the reader could not expand, split across two
// chunks); %%c %%d %%p %%% as in one-line text; ^I a tab, ^J a line end, ^ and a space
// a caret. An unknown code loses its backslash and letter, and a code without its end
// (";") runs to the end of the text; nothing else is lost. `baseHeight` is the entity's
// height, for relative heights.
std::vector<MTextParagraph> parseMText(std::string_view content, double baseHeight);

// The content as plain text: paragraphs joined by "\n", every code resolved.
std::string plainMText(std::string_view content);

}  // namespace orv::geom
