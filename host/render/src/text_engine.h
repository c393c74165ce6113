// Fonts and shaping for pictures: installed fonts found through fontconfig, text shaped by HarfBuzz through Pango, glyphs for cairo.
//
// Every thread has its own engine (Pango font maps are not for sharing between threads):
// TextEngine::forThisThread(). Text is laid out at a reference size: one unit of its
// glyph space is a pixel of a font kRefSize pixels high, x to the right, y down, the
// baseline at y = 0; callers scale it to the text height they want.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

typedef struct _PangoFontMap PangoFontMap;
typedef struct _PangoContext PangoContext;
typedef struct _PangoFont PangoFont;
typedef struct _PangoFontDescription PangoFontDescription;
typedef struct hb_font_t hb_font_t;
typedef struct hb_buffer_t hb_buffer_t;

namespace orv::render {

inline constexpr double kRefSize = 100.0;

// What a font is asked for by: families in order of preference (comma-separated, as
// fontconfig takes them), bold, italic.
struct FontRequest {
  std::string families;
  bool bold = false;
  bool italic = false;
  bool operator==(const FontRequest&) const = default;
};

// A font at the reference size, with what layouts need of it.
class Font {
 public:
  ~Font();
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;

  double capHeight() const { return capHeight_; }  // height of "H" above the baseline
  double ascent() const { return ascent_; }
  double descent() const { return descent_; }      // below the baseline, positive
  // What wide (Chinese) characters are scaled by so that they stand as high as capital
  // letters, as an SHX big font draws them: the cap height over the height of 中.
  double wideScale() const { return wideScale_; }
  const PangoFontDescription* description() const { return description_; }
  hb_font_t* harfbuzz() const { return hb_; }
  cairo_scaled_font_t* scaledFont() const { return scaled_; }
  // True when the font itself has a glyph for every character of the text.
  bool covers(std::string_view utf8) const;

 private:
  friend class TextEngine;
  Font() = default;
  PangoFontDescription* description_ = nullptr;
  PangoFont* pango_ = nullptr;
  hb_font_t* hb_ = nullptr;
  cairo_scaled_font_t* scaled_ = nullptr;
  double capHeight_ = 70.0;
  double ascent_ = 90.0;
  double descent_ = 20.0;
  double wideScale_ = 1.0;
};

// Glyphs of one font along a line, positions in glyph space.
struct GlyphRun {
  cairo_scaled_font_t* font = nullptr;  // owned by the engine's fonts
  // The run is drawn scaled by this about the origin; its glyph positions are in the
  // scaled space (glyph space divided by it).
  double scale = 1.0;
  std::vector<cairo_glyph_t> glyphs;
};

// A line of text shaped: its runs (one unless some characters came from fallback fonts)
// and its advance width.
struct ShapedText {
  std::vector<GlyphRun> runs;
  double advance = 0.0;
  bool empty() const { return runs.empty(); }
};

class TextEngine {
 public:
  // The engine of the calling thread, made on first use.
  static TextEngine& forThisThread();

  TextEngine();
  ~TextEngine();
  TextEngine(const TextEngine&) = delete;
  TextEngine& operator=(const TextEngine&) = delete;

  // The font fontconfig finds for a request (loaded once per thread); never null.
  const Font& font(const FontRequest& request);

  // Shapes one line (tabs become spaces, line breaks are not expected). Characters the
  // font lacks come from the fonts fontconfig falls back to, so that Chinese text shows
  // in a font that has it whatever the style names; `tracking` spreads the letters; wide
  // characters are scaled by `wideScale` (see Font::wideScale).
  void shape(const Font& font, std::string_view utf8, ShapedText& out, double tracking = 1.0,
             double wideScale = 1.0);
  // The advance of a line without its glyphs: for small text and for measuring.
  double measure(const Font& font, std::string_view utf8, double wideScale = 1.0);

 private:
  Font* load(const FontRequest& request);
  void shapeWithFallback(const Font& font, std::string_view utf8, ShapedText& out);

  struct RequestHash {
    std::size_t operator()(const FontRequest& r) const {
      return std::hash<std::string>{}(r.families) ^ (r.bold ? 0x9e37 : 0) ^ (r.italic ? 0x79b9 : 0);
    }
  };
  PangoFontMap* map_ = nullptr;
  PangoContext* context_ = nullptr;
  hb_buffer_t* buffer_ = nullptr;
  std::unordered_map<FontRequest, std::unique_ptr<Font>, RequestHash> fonts_;
  std::unordered_set<PangoFont*> fallbackFonts_;  // fonts of fallback runs, kept alive
  std::string scratch_;
};

}  // namespace orv::render
