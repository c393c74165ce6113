// Fillets and chamfers: the arc tangent to two lines, arcs or polyline segments, the
// corners of a polyline rounded, and the bevel between two lines.
#pragma once

#include <optional>

#include "orv/core/intersections.h"

namespace orv::core {

// A fillet: its arc's centre and radius and where it touches the first and the second
// span's carrier. Radius 0 is the corner where the carriers meet.
struct Fillet {
  Vec2 center;
  double radius = 0;
  Vec2 first, second;
};

// The arc of `radius` tangent to the carriers of two spans on the sides the picks keep:
// its centre lies on the side of each carrier that the other span's pick lies on, the
// nearest such one to the picks. nullopt when there is none (parallel lines, circles
// apart).
std::optional<Fillet> filletBetween(const Span& s, Vec2 pick1, const Span& t, Vec2 pick2, double radius);

// The arc of a fillet (the shorter way from one tangent point to the other).
db::Arc filletArc(const Fillet& f, double z);

// A single span (a line or an arc) trimmed or extended to the point p of its carrier,
// keeping the part the pick lies on.
Span keptTo(const Span& s, Vec2 p, Vec2 pick);

// Rounds the corners of a polyline between two straight segments with arcs of `radius`
// (only `vertex` when given); a corner whose segments are too short is left. How many
// were rounded.
std::size_t filletCorners(db::Polyline& poly, double radius, std::optional<std::size_t> vertex = {});

// The two points of a chamfer `d1` along the first line and `d2` along the second from
// where they meet, on the sides the picks keep; nullopt for parallel lines.
std::optional<std::pair<Vec2, Vec2>> chamferBetween(const Span& s, Vec2 pick1, const Span& t, Vec2 pick2,
                                                    double d1, double d2);

}  // namespace orv::core
