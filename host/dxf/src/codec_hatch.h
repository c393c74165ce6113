// HATCH's own group codes (AcDbHatch): boundary paths, pattern lines and seeds are
// repeated groups no table can describe, so one hand-written codec reads and writes them.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "emitter.h"
#include "orv/db/hatch.h"

namespace orv::dxf {

// A tag of a hatch's own part as read (text values already UTF-8).
using HatchTag = std::pair<int, std::string>;

// The hatch of its own tags (after its 100 AcDbHatch, up to the extended data), or why
// it cannot be held: a value that is no number, or tags in an order the writer would not
// give back as they are (the reader then keeps the entity as read).
std::optional<db::Hatch> decodeHatch(std::span<const HatchTag> tags, std::string& why);

// Writes the 100 AcDbHatch marker and the hatch's own tags.
void writeHatch(Emitter& out, const db::Hatch& h);

}  // namespace orv::dxf
