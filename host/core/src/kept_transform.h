// Rewriting the tags of a kept entity under a map, by what each group code means.
#pragma once

#include <string>
#include <variant>

#include "orv/core/geometry.h"
#include "orv/db/database.h"

namespace orv::core::kept {

// The tags after the map, or why the entity cannot be changed.
std::variant<db::RawTags, std::string> transformKept(std::string_view type, const db::RawTags& tags,
                                                     const Affine2& map);

}  // namespace orv::core::kept
