// The painting pass: lines, arcs, circles and polylines as device paths, styles batched.
//
// Contents: inks; the entity dispatch; polylines with bulges and widths; strokes, fills
// and the cairo state they need.
#include "painter.h"

#include <algorithm>
#include <cmath>

#include "orv/render/colors.h"

namespace orv::render {

namespace {

// Patterns shorter than this many thin-line widths on the page are drawn solid.
constexpr double kMinPatternInLineWidths = 4.0;
// Strokes sharing a style are sent to cairo together, up to this many entities a time.
constexpr std::size_t kBatchSize = 2048;
// Marks a speck's pixel as listed for the next painting of specks.
constexpr Ink kSpeckListed = 0x80000000u;

// True when every segment has one width (given back in `width`, 0 for thin).
bool uniformWidth(const db::Polyline& pl, double& width) {
  const std::size_t segments = segmentCount(pl);
  width = segments > 0 ? segmentWidths(pl, 0).start : 0.0;
  for (std::size_t i = 0; i < segments; ++i) {
    const SegmentWidths w = segmentWidths(pl, i);
    if (w.start != width || w.end != width) return false;
  }
  return true;
}

}  // namespace

std::uint32_t inkRgb(Ink ink, Background background) {
  if (ink & kTrueColor) return ink & 0xFFFFFFu;
  if (ink == 7 && background == Background::dark) return 0xFFFFFFu;
  const Rgb c = aciColor(static_cast<int>(ink));
  return (std::uint32_t{c.r} << 16) | (std::uint32_t{c.g} << 8) | c.b;
}

Painter::Painter(cairo_t* cr, const db::Database& db, StyleTable& styles, const PaintSettings& settings)
    : cr_(cr), db_(db), styles_(styles), text_(db, TextEngine::forThisThread()), settings_(settings),
      thin_(settings.highlight ? 2.0 * settings.thin : settings.thin) {
  path_.setView(settings.view);
  // A selection's highlight of a dense drawing seen from afar stays quick as well.
  if (settings_.pixelsForSpecks && (!settings_.highlight || settings_.dashedHighlight) && !settings_.view.empty())
    setUpSpecks();
}

// The pixel grid specks go to: the view's pixels, written straight into the image when
// the target is an image in memory seen through a whole-pixel shift with a rectangular
// clip (the window's), else through cairo as pixel squares.
void Painter::setUpSpecks() {
  const Box& v = settings_.view;
  const double w = std::ceil(v.maxX) - std::floor(v.minX), h = std::ceil(v.maxY) - std::floor(v.minY);
  if (!(w > 0.0 && h > 0.0 && w * h <= 64.0 * 1024 * 1024)) return;
  speckX0_ = static_cast<int>(std::floor(v.minX));
  speckY0_ = static_cast<int>(std::floor(v.minY));
  speckW_ = static_cast<int>(w);
  speckH_ = static_cast<int>(h);
  // One map per thread, kept between passes: no fresh pages for every frame.
  thread_local std::vector<Ink> map;
  map.assign(static_cast<std::size_t>(speckW_) * speckH_, 0);
  speckInk_ = &map;

  cairo_surface_t* target = cairo_get_target(cr_);
  if (cairo_surface_get_type(target) != CAIRO_SURFACE_TYPE_IMAGE) return;
  const cairo_format_t format = cairo_image_surface_get_format(target);
  if (format != CAIRO_FORMAT_RGB24 && format != CAIRO_FORMAT_ARGB32) return;
  cairo_matrix_t ctm;
  cairo_get_matrix(cr_, &ctm);
  if (ctm.xx != 1.0 || ctm.yy != 1.0 || ctm.xy != 0.0 || ctm.yx != 0.0 || ctm.x0 != std::floor(ctm.x0) ||
      ctm.y0 != std::floor(ctm.y0))
    return;
  cairo_rectangle_list_t* clip = cairo_copy_clip_rectangle_list(cr_);
  const bool oneBox = clip->status == CAIRO_STATUS_SUCCESS && clip->num_rectangles == 1;
  Box box;
  if (oneBox) {
    const cairo_rectangle_t& r = clip->rectangles[0];
    box = Box{r.x + ctm.x0, r.y + ctm.y0, r.x + r.width + ctm.x0, r.y + r.height + ctm.y0};
  }
  cairo_rectangle_list_destroy(clip);
  if (!oneBox) return;
  const int iw = cairo_image_surface_get_width(target), ih = cairo_image_surface_get_height(target);
  pixels_.data = cairo_image_surface_get_data(target);
  pixels_.stride = cairo_image_surface_get_stride(target);
  pixels_.dx = static_cast<int>(ctm.x0);
  pixels_.dy = static_cast<int>(ctm.y0);
  // Whole pixels inside both the clip and the image.
  pixels_.x0 = std::max(0, static_cast<int>(std::ceil(box.minX)));
  pixels_.y0 = std::max(0, static_cast<int>(std::ceil(box.minY)));
  pixels_.x1 = std::min(iw, static_cast<int>(std::floor(box.maxX)));
  pixels_.y1 = std::min(ih, static_cast<int>(std::floor(box.maxY)));
  if (!pixels_.data || pixels_.x0 >= pixels_.x1 || pixels_.y0 >= pixels_.y1) pixels_.data = nullptr;
}

Box Painter::quickBounds(const db::Entity& e, const Affine& m) const {
  Box b;
  bool finite = true;
  auto add = [&](Point2 p) {
    finite = finite && std::isfinite(p.x) && std::isfinite(p.y);
    b.add(p);
  };
  // An arc lies within its circle, and the circle's image within this box.
  auto round = [&](const db::Point3& centre, double radius) {
    const Point2 c = m.apply({centre.x, centre.y});
    const double rx = radius * std::sqrt(m.xx * m.xx + m.xy * m.xy), ry = radius * std::sqrt(m.yx * m.yx + m.yy * m.yy);
    add({c.x - rx, c.y - ry});
    add({c.x + rx, c.y + ry});
  };
  if (const auto* line = e.as<db::Line>()) {
    add(m.apply({line->start.x, line->start.y}));
    add(m.apply({line->end.x, line->end.y}));
  } else if (const auto* arc = e.as<db::Arc>()) {
    round(arc->center, arc->radius);
  } else if (const auto* circle = e.as<db::Circle>()) {
    round(circle->center, circle->radius);
  } else if (const auto* pl = e.as<db::Polyline>()) {
    if (pl->hasVertexExtras()) return Box{};
    for (std::size_t i = 0; i < pl->size(); ++i) add(m.apply(pl->point(i)));
  }
  return finite ? b : Box{};
}

void Painter::operator()(const Placed& placed) {
  const Affine& m = placed.transform;
  const db::Entity& e = placed.entity;
  path_.clear();
  double width = 0.0;
  // On a screen or a plotted sheet, what lies off the view needs no path, nor on a
  // screen what lies within a pixel or two (an exported picture is fitted to the
  // drawing: everything shows, and is drawn in full). Shapes
  // that would draw nothing (no radius, no sweep, one vertex) go the usual way, to be
  // counted.
  const auto* polyline = e.as<db::Polyline>();
  const bool simple = settings_.cullOffView && (e.as<db::Line>() || (e.as<db::Arc>() && arcPath(*e.as<db::Arc>())) ||
                      (e.as<db::Circle>() && circlePath(*e.as<db::Circle>())) ||
                      (polyline && polyline->size() >= 2 && uniformWidth(*polyline, width)));
  if (simple) {
    const Box b = quickBounds(e, m);
    if (!b.empty() && b.maxX - b.minX < 1e6 && b.maxY - b.minY < 1e6) {
      const double w = lineWidth(placed, width * m.lengthScale());
      Box reach = b;
      // Miter joins reach out to the miter limit's worth of half widths, and edges are
      // smoothed over a pixel.
      reach.inflate(w * 5.0 + 2.0);
      if (!reach.intersects(settings_.view)) {
        ++painted;  // as it would have been, off the view
        return;
      }
      if (speckW_ > 0 && w <= 1.5) {
        const double bw = b.maxX - b.minX, bh = b.maxY - b.minY;
        if (bw < 1.0 && bh < 1.0) {
          const Point2 centre{(b.minX + b.maxX) / 2.0, (b.minY + b.maxY) / 2.0};
          strokeSpeck(placed, {&centre, 1});
          return;
        }
        // A straight piece under two pixels long: the pixels of its ends and middle.
        const db::Line* line = e.as<db::Line>();
        if (bw < 2.0 && bh < 2.0 && (line || (polyline && polyline->size() == 2))) {
          const Point2 p = line ? m.apply({line->start.x, line->start.y}) : m.apply(polyline->point(0));
          const Point2 q = line ? m.apply({line->end.x, line->end.y}) : m.apply(polyline->point(1));
          const Point2 along[3] = {p, {(p.x + q.x) / 2.0, (p.y + q.y) / 2.0}, q};
          strokeSpeck(placed, along);
          return;
        }
      }
    }
    width = 0.0;
  }
  if (const auto* line = e.as<db::Line>()) {
    path_.moveTo(m.apply({line->start.x, line->start.y}));
    path_.lineTo(m.apply({line->end.x, line->end.y}));
  } else if (const auto* arc = e.as<db::Arc>()) {
    if (auto a = arcPath(*arc)) addArc(*a, m, false);
  } else if (const auto* circle = e.as<db::Circle>()) {
    if (auto a = circlePath(*circle)) addArc(*a, m, true);
  } else if (const auto* pl = e.as<db::Polyline>()) {
    if (!uniformWidth(*pl, width)) {
      paintTaperedPolyline(*pl, placed);
      return;
    }
    addPolyline(*pl, m);
  } else {
    paintKept(placed);
    return;
  }
  if (!path_.ok()) {
    ++skipped;
    return;
  }
  stroke(placed, lineWidth(placed, width * m.lengthScale()));
  ++painted;
}

double Painter::lineWidth(const Placed& placed, double ownWidth) const {
  double w = std::max(ownWidth, thin_);
  if (placed.lineweightMm > 0.0) w = std::max(w, placed.lineweightMm * settings_.deviceUnitsPerMm);
  return std::min(w, kDeviceLimit);
}

void Painter::addArc(const ArcPath& arc, const Affine& m, bool closed) {
  path_.moveTo(m.apply(arc.at(arc.start)));
  forEachArcPiece(arc, m, [&](Point2 c1, Point2 c2, Point2 end) { path_.curveTo(c1, c2, end); });
  if (closed) path_.close();
}

void Painter::addSegment(const db::Polyline& pl, std::size_t i, const Affine& m) {
  const Point2 p = pl.point(i), q = pl.point((i + 1) % pl.size());
  if (pl.hasVertexExtras()) {
    if (auto arc = bulgeArc(p, q, pl.bulge(i))) {
      forEachArcPiece(*arc, m, [&](Point2 c1, Point2 c2, Point2 end) { path_.curveTo(c1, c2, end); });
      return;
    }
  }
  path_.lineTo(m.apply(q));
}

// One sub-path, so that the linetype pattern runs on along the whole polyline.
void Painter::addPolyline(const db::Polyline& pl, const Affine& m) {
  if (pl.size() < 2) return;
  path_.moveTo(m.apply(pl.point(0)));
  const std::size_t segments = segmentCount(pl);
  for (std::size_t i = 0; i < segments; ++i) addSegment(pl, i, m);
  if (pl.closed()) path_.close();
}

// Widths that change along the polyline: each wide segment filled as a band whose
// width goes linearly from its start width to its end width; thin ones stroked.
void Painter::paintTaperedPolyline(const db::Polyline& pl, const Placed& placed) {
  const Affine& m = placed.transform;
  const std::size_t segments = segmentCount(pl);
  for (std::size_t i = 0; i < segments; ++i) {
    const SegmentWidths w = segmentWidths(pl, i);
    const Point2 p = pl.point(i), q = pl.point((i + 1) % pl.size());
    path_.clear();
    if (std::max(w.start, w.end) * m.lengthScale() <= thin_) {
      path_.moveTo(m.apply(p));
      addSegment(pl, i, m);
      if (path_.ok()) stroke(placed, lineWidth(placed, 0.0));
      continue;
    }
    if (auto arc = bulgeArc(p, q, pl.hasVertexExtras() ? pl.bulge(i) : 0.0)) {
      addArcBand(*arc, w, m);
    } else {
      addStraightBand(p, q, w, m);
    }
    if (path_.ok()) fill(placed.color);
  }
  ++painted;
}

void Painter::addStraightBand(Point2 p, Point2 q, SegmentWidths w, const Affine& m) {
  const double dx = q.x - p.x, dy = q.y - p.y, d = std::hypot(dx, dy);
  if (!(d > 0.0) || !std::isfinite(d)) return;
  const double nx = -dy / d, ny = dx / d;
  const double s = w.start / 2.0, e = w.end / 2.0;
  path_.moveTo(m.apply({p.x + nx * s, p.y + ny * s}));
  path_.lineTo(m.apply({q.x + nx * e, q.y + ny * e}));
  path_.lineTo(m.apply({q.x - nx * e, q.y - ny * e}));
  path_.lineTo(m.apply({p.x - nx * s, p.y - ny * s}));
  path_.close();
}

void Painter::addArcBand(const ArcPath& arc, SegmentWidths w, const Affine& m) {
  const int steps = std::clamp(static_cast<int>(std::abs(arc.sweep) / 0.1) + 1, 4, 64);
  auto edge = [&](int j, double side) {
    const double t = static_cast<double>(j) / steps;
    const double half = (w.start + (w.end - w.start) * t) / 2.0;
    const double r = std::max(0.0, arc.radius + side * half);
    const double a = arc.start + arc.sweep * t;
    return m.apply({arc.center.x + r * std::cos(a), arc.center.y + r * std::sin(a)});
  };
  path_.moveTo(edge(0, 1.0));
  for (int j = 1; j <= steps; ++j) path_.lineTo(edge(j, 1.0));
  for (int j = steps; j >= 0; --j) path_.lineTo(edge(j, -1.0));
  path_.close();
}

void Painter::strokeSpeck(const Placed& placed, std::span<const Point2> points) {
  ++painted;
  std::vector<Ink>& map = *speckInk_;
  const Ink ink = placed.color + 1;
  for (Point2 p : points) {
    const int px = static_cast<int>(std::floor(p.x)) - speckX0_, py = static_cast<int>(std::floor(p.y)) - speckY0_;
    if (px < 0 || py < 0 || px >= speckW_ || py >= speckH_) continue;
    Ink& there = map[static_cast<std::size_t>(py) * speckW_ + px];
    if (there == ink) continue;
    // The pixel is listed the first time since the last painting; the colour it takes
    // is the last one given.
    if (there == 0 || !(there & kSpeckListed)) specks_.push_back({px, py});
    there = ink | kSpeckListed;
  }
  if (specks_.size() >= 4 * kBatchSize) paintSpecks();
}

void Painter::paintSpecks() {
  if (specks_.empty()) return;
  std::vector<Ink>& map = *speckInk_;
  cairo_surface_t* target = pixels_.data ? cairo_get_target(cr_) : nullptr;
  flush();  // what was stroked before them
  if (target) cairo_surface_flush(target);
  Ink last = 0;
  std::uint32_t rgb = 0;
  for (const auto& [mx, my] : specks_) {
    Ink& there = map[static_cast<std::size_t>(my) * speckW_ + mx];
    there &= ~kSpeckListed;
    const Ink ink = there - 1;
    if (ink != last || rgb == 0) {
      if (!target && rgb != 0) cairo_fill(cr_);
      last = ink;
      rgb = 0xFF000000u | (settings_.highlight    ? highlightColor(settings_.background)
                           : settings_.monochrome ? 0u
                                                  : inkRgb(ink, settings_.background));
      if (!target) setColor(ink);
    }
    const int ux = mx + speckX0_, uy = my + speckY0_;
    if (target) {
      const int x = ux + pixels_.dx, y = uy + pixels_.dy;
      if (x < pixels_.x0 || y < pixels_.y0 || x >= pixels_.x1 || y >= pixels_.y1) continue;
      reinterpret_cast<std::uint32_t*>(pixels_.data + static_cast<std::ptrdiff_t>(y) * pixels_.stride)[x] = rgb;
    } else {
      cairo_rectangle(cr_, ux, uy, 1.0, 1.0);
    }
  }
  if (target) {
    cairo_surface_mark_dirty(target);
  } else {
    cairo_fill(cr_);
  }
  specks_.clear();
}

// ---- cairo

void Painter::stroke(const Placed& placed, double width) {
  StrokeStyle style{placed.color, kContinuous, 0.0, settings_.highlight ? std::max(width, thin_) : width};
  if (settings_.dashedHighlight) {
    style.pattern = kSelectionDashes;
  } else if (placed.linetype >= 0) {
    const DashPattern& p = styles_.pattern(placed.linetype);
    const double scale = styles_.linetypeScale() * placed.linetypeScale * placed.transform.lengthScale();
    const double onPage = p.total * scale + p.dots * thin_;
    if (std::isfinite(onPage) && onPage >= kMinPatternInLineWidths * thin_) {
      style.pattern = placed.linetype;
      style.dashScale = scale;
    }
  }
  if (!(style == current_)) {
    flush();
    apply(style);
  }
  path_.emitStroke(cr_, style.width);
  if (++pending_ >= kBatchSize) flush();
}

void Painter::fill(Ink color) {
  flush();
  if (color != current_.color) setColor(color);
  path_.emitFill(cr_);
  cairo_fill(cr_);
}

void Painter::flush() {
  if (pending_ == 0) return;
  cairo_stroke(cr_);
  pending_ = 0;
}

void Painter::setColor(Ink color) {
  const std::uint32_t rgb = settings_.highlight  ? highlightColor(settings_.background)
                            : settings_.monochrome ? 0u
                                                   : inkRgb(color, settings_.background);
  cairo_set_source_rgb(cr_, (rgb >> 16 & 0xFF) / 255.0, (rgb >> 8 & 0xFF) / 255.0,
                       (rgb & 0xFF) / 255.0);
  current_.color = color;
}

void Painter::apply(const StrokeStyle& style) {
  if (style.color != current_.color) setColor(style.color);
  if (style.width != current_.width) cairo_set_line_width(cr_, style.width);
  if (style.pattern != current_.pattern || style.dashScale != current_.dashScale) {
    if (style.pattern == kSelectionDashes) {
      const double dashes[2] = {6.0 * settings_.thin, 4.0 * settings_.thin};
      cairo_set_dash(cr_, dashes, 2, 0.0);
    } else if (style.pattern < 0) {
      cairo_set_dash(cr_, nullptr, 0, 0.0);
    } else {
      const DashPattern& p = styles_.pattern(style.pattern);
      dashes_.resize(p.lengths.size());
      for (std::size_t i = 0; i < dashes_.size(); ++i) {
        const double len = p.lengths[i] * style.dashScale;
        dashes_[i] = i % 2 == 0 && p.lengths[i] == 0.0 ? thin_ : len;  // a dot: a short dash
      }
      cairo_set_dash(cr_, dashes_.data(), static_cast<int>(dashes_.size()),
                     p.offset * style.dashScale);
    }
  }
  current_ = style;
}

}  // namespace orv::render
