// What a dimension draws, as CAD programs lay it out: extension lines, the dimension line
// or arc, arrowheads (closed filled, ticks or dots) and the text with its measurement,
// for linear (horizontal, vertical, rotated), aligned, radius, diameter and angular
// dimensions, with the text and the arrows moved outside when they do not fit.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "orv/core/drafting_styles.h"
#include "orv/core/geometry.h"

namespace orv::core {

// An arrowhead: its tip, the direction it points in (a unit vector) and its size.
struct Arrowhead {
  ArrowKind kind = ArrowKind::closedFilled;
  Vec2 tip, direction;
  double size = 0;
};

struct Dot {
  Vec2 center;
  double radius = 0;
};

// A tick: a short thick stroke across the dimension line.
struct Tick {
  Segment stroke;
  double width = 0;
};

// The text of a dimension: `position` is the middle of the text (DIMENSION group 11),
// `angle` in degrees, always reading left to right or upwards.
struct DimensionText {
  std::string content;
  Vec2 position;
  double height = 0, angle = 0;
  double width = 0;  // as measured for the fit
};

struct DimensionParts {
  double measurement = 0;  // a length, or an angle in degrees
  std::vector<Segment> lines;     // extension lines, the dimension line, its tails and leaders
  std::vector<CircularArc> arcs;  // an angular dimension's line
  std::vector<Arrowhead> arrows;  // every arrowhead, of whatever kind
  std::vector<std::array<Vec2, 3>> filled;  // closed filled arrowheads
  std::vector<Tick> ticks;
  std::vector<Dot> dots;
  DimensionText text;
  bool arrowsOutside = false, textOutside = false;
  // The definition points a DIMENSION entity stores, by group code: for a linear or
  // aligned one 10 (on the dimension line at the second origin), 13 and 14 (the origins);
  // radius 10 (centre), 15 (on the curve); diameter 10 and 15 (the far and near ends);
  // angular by three points 13, 14 (on the sides), 15 (vertex), 10 (on the arc); angular by
  // two lines 13, 14 (the first), 15, 10 (the second), 16 (on the arc). Group 11 is the
  // text's position.
  std::vector<std::pair<int, Vec2>> definitionPoints;
  // The one of a group code; the origin when there is none.
  Vec2 definitionPoint(int code) const;
};

// How wide a text is drawn at a height; the default counts 0.7 of the height for each
// narrow character and the whole height for each wide (Chinese) one.
using TextWidth = std::function<double(std::string_view text, double height)>;
double estimatedTextWidth(std::string_view text, double height);

struct DimensionOptions {
  // The text as written: "<>" stands for the measurement; empty: the measurement alone; a
  // single space: no text.
  std::string text;
  bool textAbove = true;  // above the dimension line (else centred on it, the line broken)
  TextWidth textWidth = estimatedTextWidth;
  int angularDecimals = 0;
};

// A measurement with `decimals` places ("12.50"; never "-0.00").
std::string formatMeasurement(double value, int decimals);
// The text written: the option's text with "<>" replaced by the measured string.
std::string dimensionContent(const std::string& written, const std::string& measured);

// A linear dimension of the distance between origins p1 and p2 measured along the
// direction `rotationDegrees` (0: horizontal, 90: vertical), its line through `line`.
DimensionParts linearDimension(Vec2 p1, Vec2 p2, Vec2 line, double rotationDegrees, const DimensionStyle& style,
                               const DimensionOptions& options = {});
// The distance p1 to p2 along their own direction, the line through `line`.
DimensionParts alignedDimension(Vec2 p1, Vec2 p2, Vec2 line, const DimensionStyle& style,
                                const DimensionOptions& options = {});
// The radius of a circle or arc, towards the text position `at`: text "R…".
DimensionParts radiusDimension(Vec2 center, double radius, Vec2 at, const DimensionStyle& style,
                               const DimensionOptions& options = {});
// The diameter, across the centre towards `at`: text "%%c…".
DimensionParts diameterDimension(Vec2 center, double radius, Vec2 at, const DimensionStyle& style,
                                 const DimensionOptions& options = {});
// The angle at `vertex` from the ray through p1 to the ray through p2 on the side where
// `at` lies (the arc passes through `at`): text "…%%d".
DimensionParts angularDimension(Vec2 vertex, Vec2 p1, Vec2 p2, Vec2 at, const DimensionStyle& style,
                                const DimensionOptions& options = {});
// The angle between two lines (as infinite lines) in the quarter about their crossing
// where `at` lies; nullopt for parallel lines.
std::optional<DimensionParts> angularDimension(Segment first, Segment second, Vec2 at, const DimensionStyle& style,
                                const DimensionOptions& options = {});

// A leader through `vertices` (world points): its segments and, when `arrow`, the style's
// arrowhead at the first vertex pointing along the first segment; sizes times `scale` (a
// block's scale seen through). Fewer than two vertices draw nothing.
DimensionParts leaderParts(std::span<const Vec2> vertices, bool arrow, const DimensionStyle& style, double scale = 1.0);

}  // namespace orv::core
