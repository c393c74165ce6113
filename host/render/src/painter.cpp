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
}

void Painter::operator()(const Placed& placed) {
  const Affine& m = placed.transform;
  const db::Entity& e = placed.entity;
  path_.clear();
  double width = 0.0;
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

// ---- cairo

void Painter::stroke(const Placed& placed, double width) {
  StrokeStyle style{placed.color, kContinuous, 0.0, settings_.highlight ? std::max(width, thin_) : width};
  if (placed.linetype >= 0) {
    const DashPattern& p = styles_.pattern(placed.linetype);
    const double scale = styles_.linetypeScale() * placed.transform.lengthScale();
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
  const std::uint32_t rgb = settings_.highlight ? highlightColor(settings_.background)
                                                : inkRgb(color, settings_.background);
  cairo_set_source_rgb(cr_, (rgb >> 16 & 0xFF) / 255.0, (rgb >> 8 & 0xFF) / 255.0,
                       (rgb & 0xFF) / 255.0);
  current_.color = color;
}

void Painter::apply(const StrokeStyle& style) {
  if (style.color != current_.color) setColor(style.color);
  if (style.width != current_.width) cairo_set_line_width(cr_, style.width);
  if (style.pattern != current_.pattern || style.dashScale != current_.dashScale) {
    if (style.pattern < 0) {
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
