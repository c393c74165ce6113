// A shape on the device that a drawing is clipped to besides its rectangle: a viewport clipped by an entity.
#pragma once

#include <cstdint>
#include <vector>

#include "orv/db/database.h"
#include "orv/render/view.h"

namespace orv::render {

// Device-unit pieces: moves, lines and cubic Béziers (three points each: two controls
// and the end), every figure closed. What lies outside the figures is not drawn.
struct ClipShape {
  enum class Op : std::uint8_t { move, line, curve, close };
  std::vector<Op> ops;
  std::vector<db::Point2> points;
  bool empty() const { return ops.empty(); }
};

// The outline of a viewport's clip boundary (clipBoundaryOf, an entity of paper space)
// on the device where `paper` draws paper space. Empty when the entity draws no outline
// or a point of it is not finite or lies beyond what a device can hold.
ClipShape clipShapeOf(const db::Database& db, db::ObjectId boundary, const ViewTransform& paper);

}  // namespace orv::render
