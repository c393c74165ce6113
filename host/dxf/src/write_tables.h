// The TABLES section of a written drawing.
#pragma once

#include "emitter.h"
#include "orv/db/database.h"

namespace orv::dxf {

void writeTablesSection(Emitter& out, const db::Database& drawing);

}  // namespace orv::dxf
