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

// Icons stored in block records are square pictures of this many pixels, 24 bits
// per pixel.
inline constexpr int kBlockIconSize = 48;

// The icon of a block as the bytes a block record stores: a 24-bit
// device-independent bitmap without file header. nullopt when the block shows
// nothing.
std::optional<std::vector<std::uint8_t>> blockIconBytes(const db::Database& d, db::BlockId block);

struct BlockIconCount {
  int made = 0;   // blocks that got an icon
  int kept = 0;   // blocks that had one and keep it
  int empty = 0;  // blocks with nothing to draw: no icon
};

// Stores an icon in every named block that has none; layouts, anonymous blocks
// and external references are left alone.
BlockIconCount storeBlockIcons(db::Database& d);

}  // namespace orv::render
