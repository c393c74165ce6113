// HATCH: a filled or patterned area bounded by closed paths, as a DXF file holds it.
//
// Coordinates of paths, seeds and pattern lines lie in the hatch's object frame (the
// plane of its extrusion, at its elevation). The DXF codec (host/dxf codec_hatch.cpp)
// reads and writes exactly these fields, in this order.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "orv/db/raw_tags.h"
#include "orv/db/types.h"

namespace orv::db {

// One edge of an edge path (72). Angles as the file stores them: degrees for an arc, an
// ellipse's parameters in degrees; a clockwise edge (73 0) stores 360 − each angle.
struct HatchEdge {
  enum class Type : std::uint8_t { line = 1, arc = 2, ellipse = 3, spline = 4 };
  Type type = Type::line;
  Point2 start, end;             // line: 10, 11
  Point2 center;                 // arc, ellipse: 10
  double radius = 0.0;           // arc: 40
  Point2 majorAxis;              // ellipse: 11, from the centre
  double ratio = 1.0;            // ellipse: 40, minor to major
  double startAngle = 0.0;       // 50
  double endAngle = 360.0;       // 51
  bool counterClockwise = true;  // 73
  // spline: 94 degree, 73 rational, 74 periodic, 95/96 counts, 40 knots, 10 control
  // points (42 weights when rational), 97 fit points (11), 12/13 end tangents.
  int degree = 3;
  bool rational = false;
  bool periodic = false;
  std::vector<double> knots;
  std::vector<Point2> controlPoints;
  std::vector<double> weights;
  bool hasFitData = false;  // the 97 count and what follows it were given
  std::vector<Point2> fitPoints;
  std::optional<Point2> startTangent, endTangent;
  bool operator==(const HatchEdge&) const = default;

  // The angles as a counter-clockwise range (degrees), whichever way the path runs.
  double ccwStart() const { return counterClockwise ? startAngle : 360.0 - endAngle; }
  double ccwEnd() const { return counterClockwise ? endAngle : 360.0 - startAngle; }
};

// A boundary path (92): a polyline path or a chain of edges, and the handles of the
// entities it was made from (97, 330).
struct HatchPath {
  enum Flag : std::uint32_t { external = 1, polyline = 2, derived = 4, textbox = 8, outermost = 16 };
  std::uint32_t flags = external;
  bool isPolyline() const { return (flags & polyline) != 0; }
  // polyline: 72 has bulges, 73 closed, 93 count, 10/20 (42) each vertex
  bool closed = true;
  std::vector<Point2> vertices;
  std::vector<double> bulges;  // one per vertex, or none
  // edge path: 93 count, then the edges
  std::vector<HatchEdge> edges;
  std::vector<Handle> sources;
  bool operator==(const HatchPath&) const = default;
};

// One line family of the pattern as the hatch stores it (already turned and scaled):
// lines through `base` at `angle` degrees, each next one shifted by `offset`, drawn with
// `dashes` (> 0 dash, < 0 gap, 0 dot; none: solid).
struct PatternLine {
  double angle = 0.0;          // 53
  Point2 base;                 // 43, 44
  Point2 offset;               // 45, 46
  std::vector<double> dashes;  // 79 count, 49 each
  bool operator==(const PatternLine&) const = default;
};

struct Hatch {
  enum class Style : std::int16_t { odd = 0, outermost = 1, ignore = 2 };
  enum class PatternType : std::int16_t { userDefined = 0, predefined = 1, custom = 2 };
  Point3 elevation;                 // 10 (x, y 0; z the elevation)
  Point3 extrusion{0.0, 0.0, 1.0};  // 210
  std::string pattern = "SOLID";    // 2
  bool solid = true;                // 70
  bool associative = false;         // 71
  std::vector<HatchPath> paths;     // 91 count
  Style style = Style::odd;         // 75: islands alternate; 1 outermost only; 2 ignore islands
  PatternType patternType = PatternType::predefined;  // 76
  double angle = 0.0;               // 52, degrees
  double scale = 1.0;               // 41
  bool isDouble = false;            // 77
  std::vector<PatternLine> lines;   // 78 count
  // 52/41/77 and 78 are written for pattern hatches; a file may give them for a solid one
  // too (or leave them out): which it did is kept.
  bool hasPatternValues = false;
  bool hasPatternLines = false;
  std::optional<double> pixelSize;  // 47
  std::vector<Point2> seeds;        // 98 count, 10/20 each
  // What follows the seeds (the 450 group of a gradient fill, an offset vector), kept as
  // read and written back after them.
  RawTags tail;
  bool operator==(const Hatch&) const = default;

  // A hatch on `pattern` with the values of a pattern hatch (SOLID: a solid fill).
  static Hatch make(std::string pattern, double angle = 0.0, double scale = 1.0);
  // True when the tail holds a gradient fill (450 1); its first colour (421), 0xRRGGBB.
  bool gradient() const;
  std::optional<std::uint32_t> gradientColor() const;
  // True when every number is finite and every path and edge sound enough to draw.
  bool valid() const;
};

}  // namespace orv::db
