// Old-style polylines (2D and 3D polylines, polygon and polyface meshes) under maps and
// taken apart.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "orv/core/geometry.h"
#include "orv/db/entity.h"

namespace orv::core {

// Maps a polyline: a 2D one's vertices in its plane (widths scale, bulges turn with a
// reflection, tangents turn), a 3D one's and a mesh's vertices in the world (a face
// record's point means nothing and stays). A map that is not a similarity maps the points
// only: a 2D one with arcs or widths cannot follow it. The reason when it cannot be mapped.
std::optional<std::string> transformHeavyPolyline(db::HeavyPolyline& p, const Affine2& m);

// A 2D polyline in a plane parallel to the drawing plane as the lightweight polyline of
// the same outline in world coordinates (a spline's frame points left out); nullopt for
// the others.
std::optional<db::Polyline> heavyPolylineOutline(const db::HeavyPolyline& p);

// The pieces EXPLODE makes of a 3D polyline (a LINE per segment) or of a mesh (a 3DFACE
// per face: a polygon mesh's quadrilaterals, a polyface's faces with their hidden edges),
// each with the entity's properties. Empty for a 2D polyline.
std::vector<db::Entity> heavyPolylineParts(const db::Entity& e, const db::HeavyPolyline& p);

}  // namespace orv::core
