// SPLINE's group codes, read and written in one place (its lists repeat: no table says them).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "entity_codecs.h"

namespace orv::dxf {

// One tag of the AcDbSpline part into b.spline.
Take takeSplineTag(EntityBuilder& b, int code, std::string_view value);
// The spline read, or why it is kept as read.
std::optional<std::string> finishSpline(EntityBuilder& b, db::Geometry& out);
// A normal the file gave at its default (0, 0, 1), kept to be written back in its place.
void keepSplineGivenDefaults(const EntityBuilder& b, db::RawTags& extras);
// The AcDbSpline part, with the tags of it the model does not hold.
void writeSpline(Emitter& out, const db::Spline& s, const db::RawTags* extras);

}  // namespace orv::dxf
