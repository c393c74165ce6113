// Grips: the points that define an entity (ends, midpoints, vertices, centres,
// quadrants, insertion points, text positions), and what moving one of them does.
#pragma once

#include <cstddef>
#include <optional>
#include <variant>
#include <vector>

#include "orv/core/geometry.h"
#include "orv/db/database.h"

namespace orv::core {

// What a grip stands for, and so what dragging it does.
enum class GripRole {
  end,        // an end of a line or an arc: moves that end
  vertex,     // a polyline's vertex: moves that vertex
  quadrant,   // a circle's quadrant: changes its radius
  arcMiddle,  // an arc's middle: changes its radius
  center,     // a circle's or an arc's centre: moves the whole entity
  middle,     // a line's middle: moves the whole entity
  insertion,  // a block reference's insertion point: moves it with its attributes
  position,   // a text's (or another kept entity's) position: moves the whole entity
};

struct Grip {
  Vec2 point;
  GripRole role = GripRole::end;
  std::size_t index = 0;  // which end, vertex or quadrant
};

// The grips of an entity, each kind in one place; none for an entity without points
// to hold (a hatch, an entity kept as read without a position).
std::vector<Grip> gripPoints(const db::Database& d, const db::Entity& e);

// Moving a whole entity (with what it owns) by a distance.
struct MoveWhole {
  Vec2 by;
};
// What moving grip `g` of the entity to `to` makes: the entity changed, a move of the
// whole, or nothing (a radius of zero, an end put on its other end).
std::variant<std::monostate, db::Entity, MoveWhole> moveGrip(const db::Entity& e, const Grip& g, Vec2 to);

}  // namespace orv::core
