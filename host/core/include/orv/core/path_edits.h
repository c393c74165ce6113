// Further edits of paths (intersections.h): breaking, lengthening, joining end to end and
// stretching the vertices inside a box.
#pragma once

#include <optional>
#include <vector>

#include "orv/core/intersections.h"

namespace orv::core {

double spanLength(const Span& s);
double pathLength(const Path& path);
// The path travelled the other way.
Path reversed(const Path& path);

// What is left of a path broken between two positions: on an open path the parts before
// the first and after the second (one position: both parts, meeting there); on a closed
// path the part from the second on round to the first (the part from the first to the
// second, in the path's direction, goes). Parts of no length are left out.
std::vector<Path> breakPath(const Path& path, double first, double second);

// An open path made `delta` longer (negative: shorter) at its start or end, along its end
// span's carrier; nullopt when the end span would vanish or an arc close on itself.
std::optional<Path> lengthened(const Path& path, bool atEnd, double delta);

// Adds `next` to the end or the start of `chain` where they meet within `tolerance`,
// turning `next` round when needed; false when they do not meet.
bool joinPath(Path& chain, const Path& next, double tolerance);

// The path with its vertices inside `box` moved by `by`: line ends move; an arc span
// with one end moved keeps its bulge, one with both ends moved moves whole.
Path stretched(const Path& path, const Box2& box, Vec2 by);

}  // namespace orv::core
