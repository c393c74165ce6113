// The boundary a hatch fills around a picked point: the smallest closed area the lines,
// arcs, circles, polylines and ellipses around it enclose, crossing curves cut where they
// cross, with the closed shapes wholly inside it left out as islands.
#pragma once

#include <optional>
#include <vector>

#include "orv/core/geometry.h"
#include "orv/core/spatial_index.h"

namespace orv::core {

// A straight edge (bulge 0) or an arc from start to end; the bulge is the tangent of a
// quarter of the arc's signed sweep, as a polyline or a hatch's boundary path holds it.
struct BoundaryEdge {
  Vec2 start, end;
  double bulge = 0;
};

// A closed loop of edges, each starting where the one before it ends.
struct BoundaryLoop {
  std::vector<BoundaryEdge> edges;
};

// The area found: the outer loop (counter-clockwise), then the islands inside it
// (clockwise), each an area the hatch leaves out.
struct HatchBoundary {
  BoundaryLoop outer;
  std::vector<BoundaryLoop> islands;
};

// The signed area a loop encloses (positive counter-clockwise), arcs counted exactly.
double signedArea(const BoundaryLoop& loop);
// True when p lies inside the loop (arcs followed closely).
bool encloses(const BoundaryLoop& loop, Vec2 p);

// The area around `point` among the pieces given (any kind; elliptic arcs are followed
// by short segments); nullopt when no closed area holds the point.
std::optional<HatchBoundary> boundaryAround(const std::vector<Piece>& pieces, Vec2 point);

// The same among the drawing's lines, arcs, circles, polylines, ellipses and the contents
// of block references around the point, on layers that are shown: the entities are taken
// from the index in a square about the point that grows until the area found lies inside
// it, so that the work follows the size of the area and not of the drawing. `within`
// bounds the search (as CAD programs search what the view shows: a window passes its
// visible area); without it the whole drawing may be searched. A point from which some
// ray along an axis meets no curve gets no area at once.
std::optional<HatchBoundary> findHatchBoundary(SpatialIndex& index, Vec2 point,
                                               const std::optional<Box2>& within = std::nullopt);

}  // namespace orv::core
