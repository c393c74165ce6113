// What a copied entity names by handle (a leader's annotation, a hatch's boundary
// sources), pointed at the copies of those objects; a name of an object not copied
// along is cleared where the kind says what "none" is.
#pragma once

#include <functional>

#include "orv/db/entity.h"

namespace orv::db {

// `copyOf` gives the handle of the copy of an original (0: it was not copied along).
// A leader whose annotation was not copied gets none (340 cleared, 73 "no annotation");
// a hatch whose boundary entities were not all copied loses them and its associativity.
// True when something changed.
bool remapCopiedHandles(Geometry& g, const std::function<Handle(Handle)>& copyOf);

}  // namespace orv::db
