// Entities under a move, rotation, uniform scale or reflection: the modeled kinds by
// their geometry, the kinds kept as read by what their group codes mean. Text stays
// readable under a reflection (as CAD programs do with MIRRTEXT 0): it lands where its
// mirror image would, reading the same way as before.
#pragma once

#include <string>
#include <variant>

#include "orv/core/geometry.h"
#include "orv/db/database.h"

namespace orv::core {

// The entity as it is after the map, or why it cannot be changed (Chinese, without
// the kind's name: "其边界数据无法识别"). The map must be a similarity.
//
// `owner` is the entity that owns it (an attribute's reference); an entity maps alone.
std::variant<db::Entity, std::string> transformEntity(const db::Database& d, db::ObjectId id,
                                                      const Affine2& map, db::ObjectId owner = {});

// Tags of a copy: what points at other objects of the drawing (reactors, extension
// dictionaries in 102 groups) is left out.
db::RawTags tagsForCopy(const db::RawTags& tags);
// The tags with the first owner handle (a 330 before any subclass marker) set to
// `owner`: an attribute, vertex or SEQEND copied with the entity that owns it.
db::RawTags withOwner(const db::RawTags& tags, db::Handle owner);
// The tags with every group `code` outside application data set to `value`.
db::RawTags withText(const db::RawTags& tags, int code, std::string_view value);

}  // namespace orv::core
