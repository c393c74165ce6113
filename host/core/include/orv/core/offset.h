// Offsetting: a line, arc, circle or light polyline carried sideways by a distance, a
// polyline as one with its bulges kept and its corners joined.
#pragma once

#include <optional>
#include <string>

#include "orv/core/intersections.h"

namespace orv::core {

// The side of a path a point lies on, seen along its travel: +1 left, -1 right, 0 on it.
int sideOf(const Path& path, Vec2 p);

// The path carried `distance` to its left (negative: to its right). Neighbouring spans
// are joined where their carriers meet nearest the corner they shared (a straight link
// where they do not meet). nullopt when an arc would shrink to nothing.
std::optional<Path> offsetPath(const Path& path, double distance);

// The offset of a line, arc, circle or light polyline through the side `towards` lies
// on; nullopt with a reason when it cannot be made.
std::optional<db::Geometry> offsetGeometry(const db::Geometry& g, double distance, Vec2 towards,
                                           std::string& why);

}  // namespace orv::core
