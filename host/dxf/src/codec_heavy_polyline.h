// The old-style POLYLINE, its VERTEX entities and SEQEND: their own group codes, read and
// written in one place.
#pragma once

#include <string_view>

#include "entity_codecs.h"

namespace orv::dxf {

// One tag of the POLYLINE's own part (10/20/30, 40, 41, 66, 70, 71..75, 210/220/230).
Take takeHeavyHeadTag(db::HeavyPolyline& p, int code, std::string_view value);
// One tag of a VERTEX's own part (10/20/30, 40, 41, 42, 50, 70, 71..74).
Take takeHeavyVertexTag(db::HeavyVertex& v, int code, std::string_view value);

// The POLYLINE's own part and extended data (the common part is written), then its
// vertices and SEQEND, each an entity owned by the polyline (`handle`).
void writeHeavyPolyline(Emitter& out, const db::Database& drawing, const db::HeavyPolyline& p, const db::RawTags* x,
                        db::Handle handle, bool paperSpace);

}  // namespace orv::dxf
