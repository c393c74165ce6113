// Painting the kinds the database keeps as tags: text through the fonts, hatches filled and patterned, points, and the outlines of the rest.
//
// Contents: the dispatch; inks of text runs; text (glyphs, small text, underlines);
// hatches (boundary, fill, pattern lines); points.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "orv/geom/hatch.h"
#include "orv/geom/shapes.h"
#include "outline.h"
#include "painter.h"

namespace orv::render {

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;
// Text whose capital letters are lower than this many thin lines on the device is shown
// as a bar where it stands: its letters could not be told apart.
constexpr double kSmallTextInLines = 1.5;
// Glyphs taller than this on the device are filled as paths (and beyond the last, left
// out: nobody reads a letter that size, and cairo's numbers would overflow).
constexpr double kGlyphsAsPathsFrom = 256.0;
constexpr double kLargestGlyph = 1e5;
// Pattern lines closer than this many thin lines on the device fill their area instead.
constexpr double kDensePatternInLines = 2.0;
constexpr std::size_t kMostPatternLines = 20000;

bool invertible(const Affine& m) {
  const double d = m.determinant();
  return m.isFinite() && std::abs(d) > 1e-300 && std::isfinite(1.0 / d);
}

cairo_matrix_t cairoMatrix(const Affine& m) {
  cairo_matrix_t c;
  cairo_matrix_init(&c, m.xx, m.yx, m.xy, m.yy, m.x0, m.y0);
  return c;
}

}  // namespace

// A hatch being painted: its data, its OCS to the device, its loops' box in the OCS.
struct HatchPattern {
  const db::Hatch& data;
  Affine toDevice;
  Box box;
};

void Painter::paintKept(const Placed& placed) {
  using K = geom::KeptKind;
  switch (placed.kind) {
    case K::text: case K::attrib: case K::attdef: case K::mtext: paintText(placed); return;
    case K::hatch: paintHatch(placed); return;
    case K::point: paintPoint(placed); return;
    default: break;
  }
  path_.clear();
  const OutlineMode mode = writeKeptOutline(placed, db_, path_, placed.transform.lengthScale(),
                                            styles_.display().fill);
  if (mode == OutlineMode::none) return;
  if (!path_.ok()) {
    ++skipped;
    return;
  }
  if (mode == OutlineMode::fill) fill(placed.color);
  else stroke(placed, lineWidth(placed, 0.0));
  if (const auto* leader = placed.entity.as<db::Leader>()) {
    path_.clear();
    if (writeLeaderArrow(*leader, db_, placed.transform, path_) && path_.ok()) fill(placed.color);
  }
  ++painted;
}

// ---- text

Ink Painter::runInk(const Placed& placed, const geom::RunColor& c) const {
  switch (c.kind) {
    case geom::RunColor::Kind::rgb: return trueInk(c.value);
    case geom::RunColor::Kind::index: return c.value >= 1 && c.value <= 255 ? indexInk(static_cast<int>(c.value)) : placed.color;
    case geom::RunColor::Kind::entity: break;
  }
  return placed.color;
}

void Painter::paintText(const Placed& placed) {
  const Affine& m = placed.transform;
  runs_.clear();
  double height = 0.0;
  if (placed.kind == geom::KeptKind::mtext) {
    const db::MText* mt = placed.entity.as<db::MText>();
    if (!mt) return;  // kept as read: values the model cannot hold
    height = text_.heightOf(mt->style, mt->height);
    const bool small = height * m.lengthScale() < kSmallTextInLines * thin_;
    text_.layoutMText(*mt, small, runs_);
  } else {
    // An attribute definition shows its tag where it is drawn, not in references.
    if (placed.kind == geom::KeptKind::attdef && placed.depth > 0) return;
    const db::Text* t = placed.entity.as<db::Text>();
    if (!t) return;  // kept as read: values the model cannot hold
    height = text_.heightOf(t->style, t->height);
    const bool small = height * m.lengthScale() < kSmallTextInLines * thin_;
    text_.layoutText(*t, small, runs_);
  }
  if (runs_.empty()) return;
  flush();
  bool shown = false;
  for (const PlacedRun& run : runs_) {
    const Affine toDevice = m * run.toEntity;
    if (!invertible(toDevice)) continue;
    const Font& font = *run.font;
    // Cull what lies outside the view.
    Box box;
    for (Point2 corner : {Point2{0.0, -font.ascent()}, Point2{run.shaped.advance, -font.ascent()},
                          Point2{0.0, font.descent()}, Point2{run.shaped.advance, font.descent()}})
      box.add(toDevice.apply(corner));
    if (!box.intersects(settings_.view)) {
      shown = true;
      continue;
    }
    const Ink ink = runInk(placed, run.color);
    if (ink != current_.color) setColor(ink);
    const double cap = font.capHeight() * toDevice.lengthScale();
    if (run.shaped.empty() || cap < kSmallTextInLines * thin_) {
      // A bar along the letters, about as dark as they would be.
      path_.clear();
      const double top = -font.capHeight() * 0.8, bottom = -font.capHeight() * 0.2;
      path_.moveTo(toDevice.apply({0.0, top}));
      path_.lineTo(toDevice.apply({run.shaped.advance, top}));
      path_.lineTo(toDevice.apply({run.shaped.advance, bottom}));
      path_.lineTo(toDevice.apply({0.0, bottom}));
      path_.close();
      if (path_.ok()) {
        path_.emitFill(cr_);
        cairo_fill(cr_);
        shown = true;
      }
      continue;
    }
    shown = drawGlyphs(run, toDevice, cap) || shown;
    if (run.underline || run.overline || run.strike) {
      path_.clear();
      for (auto [on, y] : {std::pair{run.underline, font.descent() * 0.5},
                           std::pair{run.overline, -font.capHeight() * 1.2},
                           std::pair{run.strike, -font.capHeight() * 0.5}}) {
        if (!on) continue;
        path_.moveTo(toDevice.apply({0.0, y}));
        path_.lineTo(toDevice.apply({run.shaped.advance, y}));
      }
      if (path_.ok()) {
        cairo_set_line_width(cr_, thin_);
        cairo_set_dash(cr_, nullptr, 0, 0.0);
        path_.emitStroke(cr_, thin_);
        cairo_stroke(cr_);
        current_.width = thin_;
        current_.pattern = kContinuous;
        current_.dashScale = 0.0;
      }
    }
  }
  if (shown) ++painted;
}

bool Painter::drawGlyphs(const PlacedRun& run, const Affine& toDevice, double cap) {
  if (cap > kLargestGlyph) return false;
  const cairo_matrix_t matrix = cairoMatrix(toDevice);
  cairo_save(cr_);
  cairo_transform(cr_, &matrix);
  const bool asPaths = cap > kGlyphsAsPathsFrom;
  for (const GlyphRun& g : run.shaped.runs) {
    if (!g.font || g.glyphs.empty()) continue;
    if (g.scale != 1.0) {
      cairo_save(cr_);
      cairo_scale(cr_, g.scale, g.scale);
    }
    cairo_set_scaled_font(cr_, g.font);
    if (asPaths) cairo_glyph_path(cr_, g.glyphs.data(), static_cast<int>(g.glyphs.size()));
    else cairo_show_glyphs(cr_, g.glyphs.data(), static_cast<int>(g.glyphs.size()));
    if (g.scale != 1.0) cairo_restore(cr_);
  }
  cairo_restore(cr_);
  if (asPaths) cairo_fill(cr_);  // the path stays in device space across the restore
  return true;
}

// ---- hatches

namespace {

// The size of a hatch from its paths' points, to choose how finely to follow curves.
double roughSize(const db::Hatch& h) {
  Box b;
  for (const geom::HatchPath& p : h.paths) {
    for (Point2 v : p.vertices) b.add(v);
    for (const geom::HatchEdge& e : p.edges) {
      b.add(e.start), b.add(e.end);
      const double r = std::max(e.radius, std::hypot(e.majorAxis.x, e.majorAxis.y));
      if (e.type == geom::HatchEdge::Type::arc || e.type == geom::HatchEdge::Type::ellipse) {
        b.add(Point2{e.center.x - r, e.center.y - r});
        b.add(Point2{e.center.x + r, e.center.y + r});
      }
      for (Point2 q : e.controlPoints) b.add(q);
      for (Point2 q : e.fitPoints) b.add(q);
    }
  }
  return b.empty() ? 0.0 : std::max(b.maxX - b.minX, b.maxY - b.minY);
}

}  // namespace

std::vector<geom::HatchLoop> hatchLoopsFor(const db::Hatch& h, double tolerance) {
  if (!(tolerance > 0.0) || !std::isfinite(tolerance)) tolerance = std::max(roughSize(h) * 1e-3, 1e-9);
  return geom::hatchBoundary(h, tolerance, 400000);
}

void Painter::paintHatch(const Placed& placed) {
  const db::Hatch* h = placed.entity.as<db::Hatch>();
  if (!h) return;
  const Affine toDevice = placed.transform * geom::planOfOcs(h->extrusion, h->elevation.z);
  const double scale = toDevice.lengthScale();
  if (!(scale > 0.0) || !std::isfinite(scale)) return;
  // Curves within a quarter of a device unit, but never finer than the hatch needs.
  const double tolerance = std::max(0.25 / scale, roughSize(*h) * 1e-6);
  const std::vector<geom::HatchLoop> loops = hatchLoopsFor(*h, tolerance);
  if (loops.empty()) return;
  path_.clear();
  for (const geom::HatchLoop& loop : loops) {
    path_.moveTo(toDevice.apply(loop.points[0]));
    for (std::size_t i = 1; i < loop.points.size(); ++i) path_.lineTo(toDevice.apply(loop.points[i]));
    path_.close();
  }
  if (!path_.ok()) {
    ++skipped;
    return;
  }
  if (!path_.bounds().intersects(settings_.view)) {
    ++painted;
    return;
  }
  flush();
  const bool gradient = h->gradient();
  const bool solid = h->solid || gradient;
  if (!styles_.display().fill && solid) {
    stroke(placed, lineWidth(placed, 0.0));
    ++painted;
    return;
  }
  Ink ink = placed.color;
  if (const auto first = h->gradientColor(); gradient && first) ink = trueInk(*first);
  if (ink != current_.color) setColor(ink);
  cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_EVEN_ODD);
  if (solid || h->lines.empty()) {
    path_.emitFill(cr_);
    cairo_fill(cr_);
  } else {
    cairo_save(cr_);
    path_.emitFill(cr_);
    cairo_clip(cr_);
    paintPatternLines(placed, HatchPattern{*h, toDevice, geom::boundsOf(loops)});
    cairo_restore(cr_);
  }
  cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_WINDING);
  ++painted;
}

void Painter::paintPatternLines(const Placed& placed, const HatchPattern& hp) {
  const double scale = hp.toDevice.lengthScale();
  const Box& b = hp.box;
  const Point2 corners[4] = {{b.minX, b.minY}, {b.maxX, b.minY}, {b.maxX, b.maxY}, {b.minX, b.maxY}};
  const double width = lineWidth(placed, 0.0);
  cairo_set_line_width(cr_, width);
  for (const geom::PatternLine& line : hp.data.lines) {
    const double a = line.angle * kDegree;
    const Point2 d{std::cos(a), std::sin(a)};
    const double spacing = d.x * line.offset.y - d.y * line.offset.x;  // across the lines
    if (!std::isfinite(spacing)) continue;
    // Where the box's corners lie across and along the lines.
    double across0 = HUGE_VAL, across1 = -HUGE_VAL, along0 = HUGE_VAL, along1 = -HUGE_VAL;
    for (Point2 c : corners) {
      const double rx = c.x - line.base.x, ry = c.y - line.base.y;
      across0 = std::min(across0, d.x * ry - d.y * rx), across1 = std::max(across1, d.x * ry - d.y * rx);
      along0 = std::min(along0, d.x * rx + d.y * ry), along1 = std::max(along1, d.x * rx + d.y * ry);
    }
    const double lines = std::abs(spacing) > 0.0 ? (across1 - across0) / std::abs(spacing) : HUGE_VAL;
    if (std::abs(spacing) * scale < kDensePatternInLines * thin_ || !(lines <= kMostPatternLines)) {
      cairo_paint_with_alpha(cr_, 0.5);  // too dense to tell apart: an even tone
      return;
    }
    std::vector<db::DashElement> elements;
    for (double dash : line.dashes) elements.push_back(db::DashElement{dash, {}});
    DashPattern pattern;
    const bool dashed = makeDashPattern(elements, pattern) && pattern.total * scale >= 2.0 * thin_;
    if (dashed) {
      std::vector<double> dashes(pattern.lengths.size());
      for (std::size_t i = 0; i < dashes.size(); ++i)
        dashes[i] = i % 2 == 0 && pattern.lengths[i] == 0.0 ? thin_ : pattern.lengths[i] * scale;
      cairo_set_dash(cr_, dashes.data(), static_cast<int>(dashes.size()), pattern.offset * scale);
    } else {
      cairo_set_dash(cr_, nullptr, 0, 0.0);
    }
    // Line k runs through base + k·offset; its place across the lines is k·spacing.
    const double v0 = across0 / spacing, v1 = across1 / spacing;
    const double first = std::ceil(std::min(v0, v1) - 1e-9), last = std::floor(std::max(v0, v1) + 1e-9);
    const double step = d.x * line.offset.x + d.y * line.offset.y;  // along, per line
    path_.clear();
    for (double k = first; k <= last; k += 1.0) {
      const Point2 origin{line.base.x + k * line.offset.x, line.base.y + k * line.offset.y};
      double s0 = along0 - k * step;
      const double s1 = along1 - k * step;
      // Each line starts a whole number of patterns from its origin, so that one dash
      // setting serves all of them.
      if (dashed) s0 = std::floor(s0 / pattern.total) * pattern.total;
      path_.moveTo(hp.toDevice.apply({origin.x + d.x * s0, origin.y + d.y * s0}));
      path_.lineTo(hp.toDevice.apply({origin.x + d.x * s1, origin.y + d.y * s1}));
    }
    if (path_.ok()) {
      path_.emitStroke(cr_, width);
      cairo_stroke(cr_);
    }
  }
}

// ---- points

void Painter::paintPoint(const Placed& placed) {
  const db::Point* p = placed.entity.as<db::Point>();
  if (!p) return;
  const Point2 at = placed.transform.apply({p->position.x, p->position.y});
  const double r = std::max(thin_, lineWidth(placed, 0.0)) * 0.75;
  path_.clear();
  path_.moveTo({at.x - r, at.y - r});
  path_.lineTo({at.x + r, at.y - r});
  path_.lineTo({at.x + r, at.y + r});
  path_.lineTo({at.x - r, at.y + r});
  path_.close();
  if (!path_.ok()) {
    ++skipped;
    return;
  }
  fill(placed.color);
  ++painted;
}

}  // namespace orv::render
