// The per-thread text engine: Pango font maps and fonts, HarfBuzz shaping, Pango's fallback for what a font lacks.
#include "text_engine.h"

#include <hb.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>

namespace orv::render {

namespace {

// Reads the code point at s[i] and moves i past it; a broken sequence is U+FFFD.
std::uint32_t nextCodePoint(std::string_view s, std::size_t& i) {
  const unsigned char c = static_cast<unsigned char>(s[i]);
  std::size_t n = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 0;
  if (n == 0 || i + n > s.size()) {
    ++i;
    return 0xFFFD;
  }
  std::uint32_t cp = n == 1 ? c : n == 2 ? (c & 0x1F) : n == 3 ? (c & 0x0F) : (c & 0x07);
  for (std::size_t k = 1; k < n; ++k) {
    const unsigned char d = static_cast<unsigned char>(s[i + k]);
    if ((d & 0xC0) != 0x80) {
      ++i;
      return 0xFFFD;
    }
    cp = (cp << 6) | (d & 0x3F);
  }
  i += n;
  return cp;
}

// Scripts written right to left: Pango orders them, HarfBuzz alone would not.
bool rightToLeft(std::uint32_t cp) {
  return (cp >= 0x0590 && cp <= 0x08FF) || (cp >= 0xFB1D && cp <= 0xFDFF) ||
         (cp >= 0xFE70 && cp <= 0xFEFF) || (cp >= 0x10800 && cp <= 0x10FFF) ||
         (cp >= 0x1E800 && cp <= 0x1EFFF);
}

// Wide characters take a whole em where a font's advance is not known.
bool wide(std::uint32_t cp) {
  return (cp >= 0x1100 && cp <= 0x115F) || (cp >= 0x2E80 && cp <= 0xA4CF) ||
         (cp >= 0xAC00 && cp <= 0xD7A3) || (cp >= 0xF900 && cp <= 0xFAFF) ||
         (cp >= 0xFE30 && cp <= 0xFE4F) || (cp >= 0xFF00 && cp <= 0xFF60) ||
         (cp >= 0xFFE0 && cp <= 0xFFE6) || (cp >= 0x20000 && cp <= 0x3FFFD);
}

// Glyph units of a HarfBuzz font per glyph-space unit.
double unitsPerPixel(hb_font_t* hb) {
  int xs = 0, ys = 0;
  hb_font_get_scale(hb, &xs, &ys);
  return ys > 0 ? ys / kRefSize : PANGO_SCALE;
}

}  // namespace

// ---- fonts

Font::~Font() {
  if (scaled_) cairo_scaled_font_destroy(scaled_);
  if (pango_) g_object_unref(pango_);
  if (description_) pango_font_description_free(description_);
}

bool Font::covers(std::string_view s) const {
  if (!hb_) return false;
  for (std::size_t i = 0; i < s.size();) {
    const std::uint32_t cp = nextCodePoint(s, i);
    if (cp < 0x20 || rightToLeft(cp)) return false;
    hb_codepoint_t g = 0;
    if (!hb_font_get_nominal_glyph(hb_, cp, &g)) return false;
  }
  return true;
}

TextEngine& TextEngine::forThisThread() {
  thread_local TextEngine engine;
  return engine;
}

TextEngine::TextEngine() {
  map_ = pango_cairo_font_map_new();
  context_ = pango_font_map_create_context(map_);
  // Outlines as designed, at any size and angle: no hinting of shapes or advances.
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  pango_cairo_context_set_font_options(context_, options);
  cairo_font_options_destroy(options);
  pango_context_set_round_glyph_positions(context_, FALSE);
  buffer_ = hb_buffer_create();
}

TextEngine::~TextEngine() {
  fonts_.clear();
  for (PangoFont* f : fallbackFonts_) g_object_unref(f);
  hb_buffer_destroy(buffer_);
  g_object_unref(context_);
  g_object_unref(map_);
}

const Font& TextEngine::font(const FontRequest& request) {
  auto it = fonts_.find(request);
  if (it != fonts_.end()) return *it->second;
  return *load(request);
}

Font* TextEngine::load(const FontRequest& request) {
  std::unique_ptr<Font> f(new Font());
  f->description_ = pango_font_description_new();
  pango_font_description_set_family(f->description_, request.families.c_str());
  pango_font_description_set_weight(f->description_, request.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
  pango_font_description_set_style(f->description_, request.italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
  pango_font_description_set_absolute_size(f->description_, kRefSize * PANGO_SCALE);
  f->pango_ = pango_font_map_load_font(map_, context_, f->description_);
  if (f->pango_) {
    f->hb_ = pango_font_get_hb_font(f->pango_);
    f->scaled_ = pango_cairo_font_get_scaled_font(PANGO_CAIRO_FONT(f->pango_));
    if (f->scaled_) cairo_scaled_font_reference(f->scaled_);
  }
  if (f->hb_) {
    const double u = unitsPerPixel(f->hb_);
    hb_font_extents_t e{};
    if (hb_font_get_h_extents(f->hb_, &e) && e.ascender > 0) {
      f->ascent_ = e.ascender / u;
      f->descent_ = std::abs(e.descender) / u;
    }
    hb_codepoint_t g = 0;
    hb_glyph_extents_t x{};
    f->capHeight_ = f->ascent_ * 0.75;
    if (hb_font_get_nominal_glyph(f->hb_, 'H', &g) && hb_font_get_glyph_extents(f->hb_, g, &x) && x.y_bearing > 0)
      f->capHeight_ = x.y_bearing / u;
    if (hb_font_get_nominal_glyph(f->hb_, 0x4E2D, &g) && hb_font_get_glyph_extents(f->hb_, g, &x) && x.height < 0) {
      const double ink = -x.height / u;
      if (ink > 0.0) f->wideScale_ = std::clamp(f->capHeight_ / ink, 0.5, 1.5);
    }
  }
  Font* raw = f.get();
  fonts_.emplace(request, std::move(f));
  return raw;
}

// ---- shaping

void TextEngine::shape(const Font& font, std::string_view utf8, ShapedText& out, double tracking,
                       double wideScale) {
  out.runs.clear();
  out.advance = 0.0;
  scratch_.assign(utf8);
  for (char& c : scratch_)
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  if (scratch_.empty() || !font.hb_) return;
  if (!std::isfinite(tracking) || tracking <= 0.0) tracking = 1.0;
  if (!font.covers(scratch_)) {
    shapeWithFallback(font, scratch_, out);
  } else {
    hb_buffer_clear_contents(buffer_);
    hb_buffer_add_utf8(buffer_, scratch_.data(), static_cast<int>(scratch_.size()), 0,
                       static_cast<int>(scratch_.size()));
    hb_buffer_guess_segment_properties(buffer_);
    hb_shape(font.hb_, buffer_, nullptr, 0);
    unsigned n = 0;
    const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer_, &n);
    const hb_glyph_position_t* pos = hb_buffer_get_glyph_positions(buffer_, &n);
    const double u = unitsPerPixel(font.hb_);
    const bool scaleWide = std::isfinite(wideScale) && wideScale > 0.0 && wideScale != 1.0;
    double pen = 0.0;
    for (unsigned i = 0; i < n; ++i) {
      // Wide characters go to runs of their own, drawn scaled.
      double k = 1.0;
      if (scaleWide) {
        std::size_t at = info[i].cluster;
        if (at < scratch_.size() && wide(nextCodePoint(scratch_, at))) k = wideScale;
      }
      if (out.runs.empty() || out.runs.back().scale != k) {
        GlyphRun run;
        run.font = font.scaled_;
        run.scale = k;
        out.runs.push_back(std::move(run));
      }
      out.runs.back().glyphs.push_back(
          cairo_glyph_t{info[i].codepoint, (pen + k * pos[i].x_offset / u) / k, -pos[i].y_offset / u});
      pen += k * pos[i].x_advance / u;
    }
    out.advance = pen;
  }
  if (tracking != 1.0) {
    // Letters spread from their own places: each glyph moves by its index's share.
    std::size_t index = 0, total = 0;
    for (const GlyphRun& r : out.runs) total += r.glyphs.size();
    const double extra = total > 0 ? out.advance * (tracking - 1.0) / static_cast<double>(total) : 0.0;
    for (GlyphRun& r : out.runs)
      for (cairo_glyph_t& g : r.glyphs) g.x += extra * static_cast<double>(index++) / r.scale;
    out.advance *= tracking;
  }
}

void TextEngine::shapeWithFallback(const Font& font, std::string_view utf8, ShapedText& out) {
  PangoLayout* layout = pango_layout_new(context_);
  pango_layout_set_font_description(layout, font.description_);
  pango_layout_set_single_paragraph_mode(layout, TRUE);
  pango_layout_set_text(layout, utf8.data(), static_cast<int>(utf8.size()));
  PangoLayoutLine* line = pango_layout_get_line_readonly(layout, 0);
  double pen = 0.0;
  for (GSList* l = line ? line->runs : nullptr; l; l = l->next) {
    auto* item = static_cast<PangoGlyphItem*>(l->data);
    PangoFont* pf = item->item->analysis.font;
    GlyphRun run;
    if (pf && PANGO_IS_CAIRO_FONT(pf)) {
      run.font = pango_cairo_font_get_scaled_font(PANGO_CAIRO_FONT(pf));
      // The run's font lives on with the engine, so that its glyphs can be drawn later.
      if (run.font && fallbackFonts_.insert(pf).second) g_object_ref(pf);
    }
    PangoGlyphString* gs = item->glyphs;
    for (int i = 0; i < gs->num_glyphs; ++i) {
      const PangoGlyphInfo& g = gs->glyphs[i];
      const double x = pen + static_cast<double>(g.geometry.x_offset) / PANGO_SCALE;
      const double y = static_cast<double>(g.geometry.y_offset) / PANGO_SCALE;
      if (run.font && g.glyph != PANGO_GLYPH_EMPTY && !(g.glyph & PANGO_GLYPH_UNKNOWN_FLAG))
        run.glyphs.push_back(cairo_glyph_t{g.glyph, x, y});
      pen += static_cast<double>(g.geometry.width) / PANGO_SCALE;
    }
    if (!run.glyphs.empty()) out.runs.push_back(std::move(run));
  }
  out.advance = pen;
  g_object_unref(layout);
}

double TextEngine::measure(const Font& font, std::string_view s, double wideScale) {
  if (!font.hb_) return 0.0;
  const double u = unitsPerPixel(font.hb_);
  double width = 0.0;
  for (std::size_t i = 0; i < s.size();) {
    const std::uint32_t cp = nextCodePoint(s, i);
    hb_codepoint_t g = 0;
    const double k = wide(cp) && std::isfinite(wideScale) && wideScale > 0.0 ? wideScale : 1.0;
    if (hb_font_get_nominal_glyph(font.hb_, cp == '\t' ? ' ' : cp, &g)) {
      width += k * hb_font_get_glyph_h_advance(font.hb_, g) / u;
    } else {
      width += wide(cp) ? k * kRefSize : kRefSize * 0.6;
    }
  }
  return width;
}

}  // namespace orv::render
