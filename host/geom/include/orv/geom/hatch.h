// HATCH's boundary builder: the closed loops of a typed hatch (db::Hatch) and the islands its style fills.
#pragma once

#include <cstdint>
#include <vector>

#include "orv/db/hatch.h"
#include "orv/db/types.h"
#include "orv/geom/affine.h"
#include "orv/geom/curves.h"

namespace orv::geom {

using db::HatchEdge;
using db::HatchPath;
using db::PatternLine;

// The spline of a spline edge, as the curve code takes it.
SplineData splineOf(const HatchEdge& e);

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
std::vector<HatchLoop> hatchBoundary(const db::Hatch& hatch, double tolerance,
                                     std::size_t maxPoints = 2'000'000);

// The box of a hatch's loops (OCS).
Box boundsOf(const std::vector<HatchLoop>& loops);

}  // namespace orv::geom
