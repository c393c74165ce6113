// Painting model space onto a cairo context: measuring, fitting, and painting in batches.
//
// Contents: the measuring pass; the device path buffer; the painter (stroke batching,
// dashes, widths, fills); fitting the extents to the page; modelExtents and drawPage.
#include "orv/render/draw.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "cairo_ptr.h"
#include "geometry.h"
#include "orv/render/colors.h"
#include "style.h"
#include "walker.h"

namespace orv::render {

namespace {

// Device coordinates beyond this are never handed to cairo (its fixed-point numbers end
// near 8 million); after fitting, only geometry gone wrong gets there.
constexpr double kDeviceLimit = 1e6;
// Patterns shorter than this many thin-line widths on the page are drawn solid.
constexpr double kMinPatternInLineWidths = 4.0;
// Strokes sharing a style are sent to cairo together, up to this many entities a time.
constexpr std::size_t kBatchSize = 2048;

// Grows a box by each visible entity in world coordinates.
class ExtentsPass {
 public:
  Box box;

  void operator()(const Placed& placed) {
    const Affine& m = placed.transform;
    const db::Entity& e = placed.entity;
    if (const auto* line = e.as<db::Line>()) {
      box.add(m.apply({line->start.x, line->start.y}));
      box.add(m.apply({line->end.x, line->end.y}));
    } else if (const auto* arc = e.as<db::Arc>()) {
      if (auto path = arcPath(*arc)) addArcBounds(box, m, *path);
    } else if (const auto* circle = e.as<db::Circle>()) {
      if (auto path = circlePath(*circle)) addArcBounds(box, m, *path);
    } else if (const auto* pl = e.as<db::Polyline>()) {
      addPolyline(*pl, m);
    }
  }

 private:
  void addPolyline(const db::Polyline& pl, const Affine& m) {
    Box own;
    double widest = 0.0;
    const std::size_t n = pl.size();
    for (std::size_t i = 0; i < n; ++i) own.add(m.apply(pl.point(i)));
    const std::size_t segments = segmentCount(pl);
    for (std::size_t i = 0; i < segments; ++i) {
      if (pl.hasVertexExtras()) {
        if (auto arc = bulgeArc(pl.point(i), pl.point((i + 1) % n), pl.bulge(i)))
          addArcBounds(own, m, *arc);
      }
      const SegmentWidths w = segmentWidths(pl, i);
      widest = std::max({widest, w.start, w.end});
    }
    own.inflate(widest / 2.0 * m.lengthScale());
    box.add(own);
  }
};

Box measureModelSpace(const db::Database& db, StyleTable& styles, std::uint64_t entityLimit) {
  ExtentsPass pass;
  SceneWalker<ExtentsPass> walker(db, styles, pass, entityLimit);
  walker.walk(Affine{});
  return pass.box;
}

// One entity's outline in device coordinates, checked before it reaches cairo.
class DevicePath {
 public:
  void clear() {
    ops_.clear();
    points_.clear();
    ok_ = true;
  }
  void moveTo(Point2 p) { add(Op::move, p); }
  void lineTo(Point2 p) { add(Op::line, p); }
  void curveTo(Point2 c1, Point2 c2, Point2 end) {
    add(Op::curve, c1);
    check(c2);
    check(end);
    points_.push_back(c2);
    points_.push_back(end);
  }
  void close() { ops_.push_back(Op::close); }
  // True when every point is finite and within the device limit.
  bool ok() const { return ok_ && !ops_.empty(); }

  void emit(cairo_t* cr) const {
    const Point2* p = points_.data();
    for (Op op : ops_) {
      switch (op) {
        case Op::move: cairo_move_to(cr, p->x, p->y), p += 1; break;
        case Op::line: cairo_line_to(cr, p->x, p->y), p += 1; break;
        case Op::curve: cairo_curve_to(cr, p[0].x, p[0].y, p[1].x, p[1].y, p[2].x, p[2].y), p += 3; break;
        case Op::close: cairo_close_path(cr); break;
      }
    }
  }

 private:
  enum class Op : std::uint8_t { move, line, curve, close };
  void check(Point2 p) {
    if (!(std::abs(p.x) <= kDeviceLimit && std::abs(p.y) <= kDeviceLimit)) ok_ = false;
  }
  void add(Op op, Point2 p) {
    check(p);
    ops_.push_back(op);
    points_.push_back(p);
  }

  std::vector<Op> ops_;
  std::vector<Point2> points_;
  bool ok_ = true;
};

// What a stroke looks like; consecutive entities that share it are stroked as one path.
struct StrokeStyle {
  std::int16_t color = -1;
  std::int32_t pattern = kContinuous;
  double dashScale = 0.0;  // drawing units to device units along the pattern
  double width = 0.0;
  bool operator==(const StrokeStyle&) const = default;
};

// The painting pass: turns each placed entity into device paths and strokes or fills.
class Painter {
 public:
  Painter(cairo_t* cr, StyleTable& styles, double thinWidth)
      : cr_(cr), styles_(styles), thin_(thinWidth) {}

  std::size_t painted = 0;
  std::size_t skipped = 0;

  void operator()(const Placed& placed) {
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
      return;  // entities the model keeps without drawing them
    }
    if (!path_.ok()) {
      ++skipped;
      return;
    }
    stroke(placed, std::clamp(width * m.lengthScale(), thin_, kDeviceLimit));
    ++painted;
  }

  void finish() { flush(); }

 private:
  void addArc(const ArcPath& arc, const Affine& m, bool closed) {
    path_.moveTo(m.apply(arc.at(arc.start)));
    forEachArcPiece(arc, m, [&](Point2 c1, Point2 c2, Point2 end) { path_.curveTo(c1, c2, end); });
    if (closed) path_.close();
  }

  void addSegment(const db::Polyline& pl, std::size_t i, const Affine& m) {
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
  void addPolyline(const db::Polyline& pl, const Affine& m) {
    if (pl.size() < 2) return;
    path_.moveTo(m.apply(pl.point(0)));
    const std::size_t segments = segmentCount(pl);
    for (std::size_t i = 0; i < segments; ++i) addSegment(pl, i, m);
    if (pl.closed()) path_.close();
  }

  // True when every segment has one width (given back in `width`, 0 for thin).
  static bool uniformWidth(const db::Polyline& pl, double& width) {
    const std::size_t segments = segmentCount(pl);
    width = segments > 0 ? segmentWidths(pl, 0).start : 0.0;
    for (std::size_t i = 0; i < segments; ++i) {
      const SegmentWidths w = segmentWidths(pl, i);
      if (w.start != width || w.end != width) return false;
    }
    return true;
  }

  // Widths that change along the polyline: each wide segment filled as a band whose
  // width goes linearly from its start width to its end width; thin ones stroked.
  void paintTaperedPolyline(const db::Polyline& pl, const Placed& placed) {
    const Affine& m = placed.transform;
    const std::size_t segments = segmentCount(pl);
    for (std::size_t i = 0; i < segments; ++i) {
      const SegmentWidths w = segmentWidths(pl, i);
      const Point2 p = pl.point(i), q = pl.point((i + 1) % pl.size());
      path_.clear();
      if (std::max(w.start, w.end) * m.lengthScale() <= thin_) {
        path_.moveTo(m.apply(p));
        addSegment(pl, i, m);
        if (path_.ok()) stroke(placed, thin_);
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

  void addStraightBand(Point2 p, Point2 q, SegmentWidths w, const Affine& m) {
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

  void addArcBand(const ArcPath& arc, SegmentWidths w, const Affine& m) {
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

  void stroke(const Placed& placed, double width) {
    StrokeStyle style{placed.color, kContinuous, 0.0, width};
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
    path_.emit(cr_);
    if (++pending_ >= kBatchSize) flush();
  }

  void fill(std::int16_t color) {
    flush();
    if (color != current_.color) setColor(color);
    path_.emit(cr_);
    cairo_fill(cr_);
  }

  void flush() {
    if (pending_ == 0) return;
    cairo_stroke(cr_);
    pending_ = 0;
  }

  void setColor(std::int16_t color) {
    const Rgb c = aciColor(color);
    cairo_set_source_rgb(cr_, c.r / 255.0, c.g / 255.0, c.b / 255.0);
    current_.color = color;
  }

  void apply(const StrokeStyle& style) {
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

  cairo_t* cr_;
  StyleTable& styles_;
  double thin_;
  DevicePath path_;
  StrokeStyle current_;
  std::vector<double> dashes_;
  std::size_t pending_ = 0;
};

// Drawing units to device units: the box centred in the page inside the margin, its
// aspect ratio kept, y up. A box with no width or height is fitted by the other side; a
// single point is drawn at scale 1. The scale stays small enough that the coordinates'
// rounding never shows.
Affine fitToPage(const Box& box, const PageSetup& page) {
  const double margin = std::clamp(page.margin, 0.0, std::min(page.width, page.height) * 0.45);
  const double availW = page.width - 2.0 * margin, availH = page.height - 2.0 * margin;
  // Half sizes and centres are taken from halves so that they stay finite.
  const double halfW = box.maxX * 0.5 - box.minX * 0.5;
  const double halfH = box.maxY * 0.5 - box.minY * 0.5;
  const double cx = box.minX * 0.5 + box.maxX * 0.5, cy = box.minY * 0.5 + box.maxY * 0.5;
  double scale = std::numeric_limits<double>::infinity();
  if (halfW > 0.0) scale = std::min(scale, availW * 0.5 / halfW);
  if (halfH > 0.0) scale = std::min(scale, availH * 0.5 / halfH);
  const double farthest = std::max({1.0, std::abs(box.minX), std::abs(box.maxX),
                                    std::abs(box.minY), std::abs(box.maxY)});
  const double maxScale = 1e12 / farthest;
  if (!std::isfinite(scale)) scale = std::min(1.0, maxScale);
  scale = std::min(scale, maxScale);
  Affine m;
  m.xx = scale;
  m.yy = -scale;
  m.x0 = page.width / 2.0 - cx * scale;
  m.y0 = page.height / 2.0 + cy * scale;
  return m;
}

}  // namespace

std::optional<Extents> modelExtents(const db::Database& db) {
  StyleTable styles(db);
  const Box box = measureModelSpace(db, styles, PageSetup{}.entityLimit);
  if (box.empty()) return std::nullopt;
  return Extents{box.minX, box.minY, box.maxX, box.maxY};
}

DrawReport drawPage(cairo_t* cr, const db::Database& db, const PageSetup& page) {
  DrawReport report;
  if (!(page.width > 0.0 && page.height > 0.0 && page.width <= kDeviceLimit &&
        page.height <= kDeviceLimit))
    return report;
  SavedState saved(cr);
  cairo_new_path(cr);
  cairo_set_source_rgb(cr, 1.0, 1.0, 1.0);
  cairo_rectangle(cr, 0.0, 0.0, page.width, page.height);
  cairo_fill(cr);

  StyleTable styles(db);
  const Box box = measureModelSpace(db, styles, page.entityLimit);
  if (box.empty()) return report;

  const double thin = std::isfinite(page.thinLineWidth) && page.thinLineWidth > 0.0
                          ? std::min(page.thinLineWidth, page.height)
                          : 1.0;
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
  cairo_set_dash(cr, nullptr, 0, 0.0);
  Painter painter(cr, styles, thin);
  SceneWalker<Painter> walker(db, styles, painter, page.entityLimit);
  walker.walk(fitToPage(box, page));
  painter.finish();
  report.painted = painter.painted;
  report.skipped = painter.skipped + walker.leftOut();
  report.truncated = walker.truncated();
  return report;
}

}  // namespace orv::render
