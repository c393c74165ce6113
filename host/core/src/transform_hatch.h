// A hatch under a similarity of the drawing plane.
#pragma once

#include <optional>
#include <string>

#include "orv/core/geometry.h"
#include "orv/db/hatch.h"

namespace orv::core {

// Maps the hatch's paths, seeds and pattern (its lines' base, offset and dashes, its
// angle and scale); a copy no longer follows the entities it was made from. Returns why
// it cannot be mapped.
std::optional<std::string> transformHatch(db::Hatch& h, const Affine2& m);

}  // namespace orv::core
