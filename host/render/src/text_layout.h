// Laying out TEXT, ATTRIB, ATTDEF and MTEXT: text styles as fonts, alignment, MTEXT's lines and paragraphs.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "geometry.h"
#include "orv/db/database.h"
#include "orv/geom/kept.h"
#include "orv/geom/mtext.h"
#include "orv/geom/text.h"
#include "text_engine.h"

namespace orv::render {

// What fonts a text style names: SHX fonts and big fonts (and a style the drawing lacks)
// a font with Chinese glyphs; TrueType fonts by their family (from the style's extended
// data, or from the file name), with the same Chinese font behind them.
FontRequest fontRequestForStyle(std::string_view fontFile, std::string_view bigFont,
                                std::string_view family);
// A font an MTEXT code names: \f by family, \F by file.
FontRequest fontRequestForRun(std::string_view name, bool isFile, bool bold, bool italic);
// True for the name of an SHX font (or none, as AutoCAD's own "txt"): its Chinese
// characters (from a big font) stand as high as its capital letters.
bool namesShxFont(std::string_view fontFile);

// A text style as a pass uses it.
struct StyleFace {
  const Font* font = nullptr;
  double widthFactor = 1.0;
  double oblique = 0.0;
  double fixedHeight = 0.0;  // the style's height, 0 for none
  double wideScale = 1.0;    // of wide characters: see Font::wideScale
};

// A run of glyphs placed in the coordinates of the entity's block.
struct PlacedRun {
  ShapedText shaped;  // no glyphs when only measured: `shaped.advance` alone
  Affine toEntity;    // glyph space (see text_engine.h) to block coordinates
  const Font* font = nullptr;
  geom::RunColor color;
  bool underline = false;
  bool overline = false;
  bool strike = false;
};

class TextLayout {
 public:
  TextLayout(const db::Database& db, TextEngine& engine) : db_(db), engine_(engine) {}

  // The runs of one-line text (TEXT, ATTRIB or ATTDEF); nothing for an invisible
  // attribute or text of no height. `measureOnly` leaves the glyphs out.
  void layoutText(const db::Text& t, bool measureOnly, std::vector<PlacedRun>& out);
  // The runs of MTEXT: its paragraphs in lines (wrapped at its width, if any), the box
  // hung from its insertion point by its attachment.
  void layoutMText(const db::MText& m, bool measureOnly, std::vector<PlacedRun>& out);

  // The height text of this style and entity height shows at (0: nothing).
  double heightOf(std::string_view style, double entityHeight);
  const StyleFace& style(std::string_view name);

 private:
  struct Token;
  struct Line;
  void shapeOrMeasure(const Font& font, std::string_view text, bool measureOnly, double tracking,
                      double wideScale, ShapedText& out);

  struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  const db::Database& db_;
  TextEngine& engine_;
  std::unordered_map<std::string, StyleFace, Hash, std::equal_to<>> styles_;
};

}  // namespace orv::render
