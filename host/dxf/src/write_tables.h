// The TABLES section of a written drawing.
#pragma once

#include <vector>

#include "emitter.h"
#include "orv/db/database.h"

namespace orv::dxf {

// `saved`: Database::savedBlocks(), the blocks the file holds.
void writeTablesSection(Emitter& out, const db::Database& drawing, const std::vector<bool>& saved);

}  // namespace orv::dxf
