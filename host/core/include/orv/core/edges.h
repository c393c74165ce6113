// The cutting and boundary edges of TRIM and EXTEND near a place, found through the
// spatial index.
#pragma once

#include <vector>

#include "orv/core/geometry.h"
#include "orv/core/selection.h"
#include "orv/core/spatial_index.h"

namespace orv::core {

// The pieces of the entities whose boxes meet `area` (those of `edges` only, unless it
// is empty), the entity `self` left out.
std::vector<Piece> edgePieces(SpatialIndex& index, const Box2& area, const SelectionSet& edges,
                              db::ObjectId self);

// The pieces an entity is drawn with, in world coordinates.
std::vector<Piece> piecesOf(const db::Database& d, db::ObjectId id);

}  // namespace orv::core
