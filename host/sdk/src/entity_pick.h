// Finding the entity a user points at: the distance from a point to each
// kind of entity, and the nearest entity of model space.
#pragma once

#include "orv/db/database.h"

namespace orv::sdk {

// The distance from p to what the entity draws (in the x-y plane); infinity
// for entities that draw nothing the host can measure.
double distanceTo(const db::Database& database, const db::Entity& entity, db::Point2 p);

// The model-space entity nearest to p within maxDistance, the newest on a tie;
// a null id when none is that near.
db::ObjectId pickEntity(const db::Database& database, db::Point2 p, double maxDistance);

}  // namespace orv::sdk
