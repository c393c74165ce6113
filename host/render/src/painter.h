// The painting pass: each placed entity turned into device paths, stroked or filled in batches.
#pragma once

#include <cairo.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "device_path.h"
#include "orv/geom/hatch.h"
#include "orv/render/view.h"
#include "style.h"
#include "text_layout.h"
#include "walker.h"

namespace orv::render {

// How a pass paints, fixed for the whole pass.
struct PaintSettings {
  double thin = 1.0;  // device width of thin lines
  Background background = Background::light;
  bool highlight = false;
  bool dashedHighlight = false;  // a selection: every line dashed
  Box view;  // the device area that shows
  double deviceUnitsPerMm = 96.0 / 25.4;
  // A screen's pass (ViewOptions::pixelsForSpecks): shapes off the view are passed
  // over, and thin ones within a pixel or two drawn as their pixels.
  bool pixelsForSpecks = false;
  bool monochrome = false;  // every colour drawn black (a plotted sheet's monochrome pens)
  // Lines, arcs, circles and straight polylines wholly off the view are passed over
  // after a look at their bounds: a screen's pass, and a sheet that shows a part.
  bool cullOffView = false;
};

// The pattern of a selection's highlight (StrokeStyle::pattern): even dashes on the device.
inline constexpr std::int32_t kSelectionDashes = -4;

// What a stroke looks like; consecutive entities that share it are stroked as one path.
struct StrokeStyle {
  Ink color = 0xFFFFFFFFu;  // none yet
  std::int32_t pattern = kContinuous;
  double dashScale = 0.0;  // drawing units to device units along the pattern
  double width = 0.0;
  bool operator==(const StrokeStyle&) const = default;
};

struct HatchPattern;  // paint_kept.cpp

class Painter {
 public:
  Painter(cairo_t* cr, const db::Database& db, StyleTable& styles, const PaintSettings& settings);

  std::size_t painted = 0;
  std::size_t skipped = 0;

  void operator()(const Placed& placed);
  void finish() {
    flush();
    paintSpecks();
  }

 private:
  // Where a line, arc, circle or polyline without bulges lies on the device, found
  // before its path is made; empty for the others.
  Box quickBounds(const db::Entity& e, const Affine& m) const;
  // A shape within a pixel or two: the pixels of these points in its colour (each pixel
  // takes the last colour given), painted when enough have gathered or the pass ends.
  void strokeSpeck(const Placed& placed, std::span<const Point2> points);
  void setUpSpecks();
  void paintSpecks();
  void addArc(const ArcPath& arc, const Affine& m, bool closed);
  void addSegment(const db::Polyline& pl, std::size_t i, const Affine& m);
  void addPolyline(const db::Polyline& pl, const Affine& m);
  void paintTaperedPolyline(const db::Polyline& pl, const Placed& placed);
  void addStraightBand(Point2 p, Point2 q, SegmentWidths w, const Affine& m);
  void addArcBand(const ArcPath& arc, SegmentWidths w, const Affine& m);

  // Kinds kept as tags (paint_kept.cpp).
  void paintKept(const Placed& placed);
  void paintText(const Placed& placed);
  void paintHatch(const Placed& placed);
  void paintPoint(const Placed& placed);
  void paintPatternLines(const Placed& placed, const HatchPattern& pattern);
  Ink runInk(const Placed& placed, const geom::RunColor& color) const;
  bool drawGlyphs(const PlacedRun& run, const Affine& toDevice, double capOnDevice);

  // The width of a line: its own (polyline widths), its lineweight or thin.
  double lineWidth(const Placed& placed, double ownWidth) const;
  void stroke(const Placed& placed, double width);
  void fill(Ink color);
  void flush();
  void setColor(Ink color);
  void apply(const StrokeStyle& style);

  cairo_t* cr_;
  const db::Database& db_;
  StyleTable& styles_;
  TextLayout text_;
  std::vector<PlacedRun> runs_;
  PaintSettings settings_;
  double thin_;
  DevicePath path_;
  StrokeStyle current_;
  std::vector<double> dashes_;
  std::size_t pending_ = 0;
  // Specks to paint (pixels of the map) and, per pixel of the view, the colour of the
  // last speck there plus one (0: none), with kSpeckListed while it waits to be painted.
  std::vector<std::pair<int, int>> specks_;
  std::vector<Ink>* speckInk_ = nullptr;
  int speckX0_ = 0, speckY0_ = 0, speckW_ = 0, speckH_ = 0;  // the map's pixels, in user space
  // The image specks are written into directly, when they may be: its rows, the shift
  // from user space to its pixels, and the whole pixels of the clip within it.
  struct Pixels {
    unsigned char* data = nullptr;
    int stride = 0, dx = 0, dy = 0;
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  } pixels_;
};

// A hatch's loops, curves followed within `tolerance` (0: a thousandth of its size).
std::vector<geom::HatchLoop> hatchLoopsFor(const db::Hatch& h, double tolerance);

// The RGB colour an ink shows on a background.
std::uint32_t inkRgb(Ink ink, Background background);

}  // namespace orv::render
