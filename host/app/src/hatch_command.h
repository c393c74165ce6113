// HATCH's pattern choices, shared with the properties panel's change of a hatch's
// pattern, scale and angle.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "orv/core/hatch_patterns.h"
#include "orv/db/hatch.h"
#include "session.h"

namespace orv::app {

// The program's pattern file, read once; null (with the reason said) when it cannot be read.
const core::PatternFile* programPatterns(Session& s);

// Gives the hatch the pattern (SOLID: a solid fill) at a scale (> 0) and angle in
// degrees: its name, values and pattern lines as CAD programs store them.
void applyPattern(db::Hatch& h, const core::HatchPattern& pattern, double scale, double angle);

// EXPLODE of a hatch: its boundary as lines, arcs, ellipses and (for a spline edge) a
// polyline along it, with the hatch's layer, colour and linetype; empty when it does not
// lie in the drawing plane.
std::vector<db::Entity> hatchBoundaryParts(const db::Entity& e, const db::Hatch& h);

// HATCH (H, BH).
std::vector<Session::HostCommand> hatchCommands();

}  // namespace orv::app
