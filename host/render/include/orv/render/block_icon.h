// Small pictures of a block's contents, as preview icons of block definitions.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "orv/db/database.h"

namespace orv::render {

// Pixels of a picture: 0x00RRGGBB, row by row from the top.
struct Raster {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
};

// Draws the contents of `block` (nested blocks expanded, colours and
// linetypes as in a picture of the drawing) fitted into a white square of
// `size` pixels (8 to 256) with a thin margin. nullopt when the block shows
// nothing or is not a block definition of `db`.
std::optional<Raster> renderBlockIcon(const db::Database& db, db::BlockId block, int size);

}  // namespace orv::render
