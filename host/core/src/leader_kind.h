// What the core does with a leader: its map under a transform, its shape, its grips.
#pragma once

#include <vector>

#include "orv/core/grips.h"
#include "shapes_internal.h"

namespace orv::core::detail {

// The vertices move; the offsets of the last vertex from the annotation turn and scale;
// the horizontal direction turns; the annotation's height and width scale.
void transformLeader(db::Leader& l, const Affine2& m);
// Its segments (their ends snap as endpoints), or for a spline path the curve through
// its vertices (its two ends snap), and its arrowhead as a region.
void describeLeader(const DescribeContext& ctx, const db::Leader& l, const Affine2& m);
// A grip on each vertex.
void leaderGrips(const db::Leader& l, std::vector<Grip>& out);
// Moves the vertex of a grip; false when the grip is none of the leader's.
bool moveLeaderGrip(db::Leader& l, const Grip& g, Vec2 to);

}  // namespace orv::core::detail
