// Preview icons of the drawing's blocks, made by the BLOCKICON command.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "orv/db/database.h"

namespace orv::app {

// Icons are square pictures of this many pixels, 24 bits per pixel.
inline constexpr int kBlockIconSize = 48;

struct BlockIconCount {
  int made = 0;   // blocks that got an icon
  int kept = 0;   // blocks that had one and keep it
  int empty = 0;  // blocks with nothing to draw: no icon
};

// The icon of a block as the bytes a block record stores: a 24-bit
// device-independent bitmap without file header. nullopt when the block
// shows nothing.
std::optional<std::vector<std::uint8_t>> blockIconBytes(const db::Database& d, db::BlockId block);

// Stores an icon in every named block that has none; layouts, anonymous
// blocks and external references are left alone.
BlockIconCount storeBlockIcons(db::Database& d);

// What BLOCKICON says about it.
std::string describe(const BlockIconCount& count);

}  // namespace orv::app
