// The painting pass: each placed entity turned into device paths, stroked or filled in batches.
#pragma once

#include <cairo.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "device_path.h"
#include "orv/render/view.h"
#include "style.h"
#include "walker.h"

namespace orv::render {

// How a pass paints, fixed for the whole pass.
struct PaintSettings {
  double thin = 1.0;  // device width of thin lines
  Background background = Background::light;
  bool highlight = false;
  Box view;  // the device area that shows
};

// What a stroke looks like; consecutive entities that share it are stroked as one path.
struct StrokeStyle {
  Ink color = 0xFFFFFFFFu;  // none yet
  std::int32_t pattern = kContinuous;
  double dashScale = 0.0;  // drawing units to device units along the pattern
  double width = 0.0;
  bool operator==(const StrokeStyle&) const = default;
};

class Painter {
 public:
  Painter(cairo_t* cr, StyleTable& styles, const PaintSettings& settings);

  std::size_t painted = 0;
  std::size_t skipped = 0;

  void operator()(const Placed& placed);
  void finish() { flush(); }

 private:
  void addArc(const ArcPath& arc, const Affine& m, bool closed);
  void addSegment(const db::Polyline& pl, std::size_t i, const Affine& m);
  void addPolyline(const db::Polyline& pl, const Affine& m);
  void paintTaperedPolyline(const db::Polyline& pl, const Placed& placed);
  void addStraightBand(Point2 p, Point2 q, SegmentWidths w, const Affine& m);
  void addArcBand(const ArcPath& arc, SegmentWidths w, const Affine& m);

  void stroke(const Placed& placed, double width);
  void fill(Ink color);
  void flush();
  void setColor(Ink color);
  void apply(const StrokeStyle& style);

  cairo_t* cr_;
  StyleTable& styles_;
  PaintSettings settings_;
  double thin_;
  DevicePath path_;
  StrokeStyle current_;
  std::vector<double> dashes_;
  std::size_t pending_ = 0;
};

// The RGB colour an ink shows on a background.
std::uint32_t inkRgb(Ink ink, Background background);

}  // namespace orv::render
