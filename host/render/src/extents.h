// Measuring what a picture shows: the box of every visible entity in world coordinates.
#pragma once

#include <cstdint>

#include "geometry.h"
#include "orv/db/database.h"
#include "style.h"

namespace orv::render {

// The box of model space as drawn: references expanded, curves by their extremes, text
// by its letters' advance and height, hatches by their boundaries.
Box measureModelSpace(const db::Database& db, StyleTable& styles, std::uint64_t entityLimit);

}  // namespace orv::render
