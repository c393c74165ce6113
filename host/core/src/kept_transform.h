// Rewriting the tags of a kept entity under a map, by what each group code means.
#pragma once

#include <string>
#include <variant>

#include "orv/core/geometry.h"
#include "orv/db/database.h"

namespace orv::core::kept {

// The tags after the map, or why the entity cannot be changed. `ownerTags` are those
// of the POLYLINE that owns a VERTEX (its plane and kind decide the vertices').
std::variant<db::RawTags, std::string> transformKept(std::string_view type, const db::RawTags& tags,
                                                     const Affine2& map,
                                                     const db::RawTags* ownerTags);

}  // namespace orv::core::kept
