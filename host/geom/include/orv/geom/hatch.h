// HATCH as decoded from its tags, and the boundary builder: closed loops and the islands the hatch style fills.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "orv/db/raw_tags.h"
#include "orv/db/types.h"
#include "orv/geom/affine.h"
#include "orv/geom/curves.h"

namespace orv::geom {

// One edge of an edge-defined boundary path, in the hatch's OCS. Arcs and ellipses are
// held counter-clockwise: the edge is the counter-clockwise arc from startAngle to
// endAngle (degrees; an ellipse's are parameters), whichever way the path runs along it
// (`counterClockwise`; the file stores a clockwise edge's angles mirrored, 360 − a).
struct HatchEdge {
  enum class Type : std::uint8_t { line = 1, arc = 2, ellipse = 3, spline = 4 };
  Type type = Type::line;
  Point2 start, end;         // line: 10, 11
  Point2 center;             // arc and ellipse: 10
  double radius = 0.0;       // arc: 40
  Point2 majorAxis;          // ellipse: 11, from the centre
  double ratio = 1.0;        // ellipse: 40, minor to major
  double startAngle = 0.0;   // 50
  double endAngle = 0.0;     // 51
  bool counterClockwise = true;  // 73
  SplineData spline;         // spline: 94 degree, 95/96 counts, 40 knots, 10 control points,
                             // 42 weights, 97 fit points (11), 12/13 end tangents
};

// A boundary path (group 92 and what follows it).
struct HatchPath {
  enum Flag : std::uint32_t { external = 1, polyline = 2, derived = 4, textbox = 8, outermost = 16 };
  std::uint32_t flags = 0;
  bool closed = true;                      // polyline: 73
  std::vector<Point2> vertices;            // polyline: 10
  std::vector<double> bulges;              // polyline: 42, one per vertex or none
  std::vector<HatchEdge> edges;            // edge path: 93 edges, 72 each
};

// One line family of a pattern, as the HATCH stores it (already turned and scaled):
// lines through `base` at `angle` degrees, each next one shifted by `offset`, drawn with
// `dashes` (> 0 dash, < 0 gap, 0 dot; none: solid).
struct PatternLine {
  double angle = 0.0;        // 53
  Point2 base;               // 43, 44
  Point2 offset;             // 45, 46
  std::vector<double> dashes;  // 49
};

struct HatchData {
  std::string_view pattern;  // 2
  bool solid = false;        // 70 1
  std::int16_t style = 0;    // 75: 0 odd parity (islands alternate), 1 outermost, 2 ignore
  double elevation = 0.0;    // 30
  Point3 extrusion{0.0, 0.0, 1.0};  // 210
  std::vector<HatchPath> paths;
  std::vector<PatternLine> lines;
  bool gradient = false;     // 450 1: drawn as a fill of its first colour
  std::optional<std::uint32_t> gradientColor;  // the first 421, 0xRRGGBB
};

// nullopt when it holds no boundary path or a value that is not finite.
std::optional<HatchData> decodeHatch(const db::RawTags& tags);

// A boundary path as a closed polygon in the hatch's OCS, and how deep it lies among the
// others: 0 outside all, 1 inside one, ...
struct HatchLoop {
  std::vector<Point2> points;
  std::uint32_t flags = 0;
  int depth = 0;
};

// The loops a hatch fills, curves flattened to within `tolerance` (drawing units,
// > 0): an edge path's edges are chained into one polygon whatever their directions;
// a loop of fewer than three points or no area is left out. The hatch style chooses:
// 0 keeps every loop (filled by odd parity: islands alternate), 1 the loops of depth 0
// and 1 (the outer area and the holes in it), 2 those of depth 0. Curves take at most
// `maxPoints` points in all, coarser once they are used up; the paths' own vertices and
// edge ends are always kept.
std::vector<HatchLoop> hatchBoundary(const HatchData& hatch, double tolerance,
                                     std::size_t maxPoints = 2'000'000);

// The box of a hatch's loops (OCS).
Box boundsOf(const std::vector<HatchLoop>& loops);

}  // namespace orv::geom
