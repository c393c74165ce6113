// Entities read apart from the drawing they belong to (by a second reader, on a thread of
// its own), kept in the order read and handed to the drawing at once.
#pragma once

#include <cstdint>
#include <vector>

#include "orv/db/entity.h"
#include "orv/db/raw_tags.h"
#include "orv/db/stable_vector.h"
#include "orv/db/types.h"

namespace orv::db {

class EntityRun {
 public:
  EntityRun();
  EntityRun(EntityRun&&) noexcept = default;
  EntityRun& operator=(EntityRun&&) noexcept = default;

  // An entity for block `owner` of the drawing (its model or paper space), with the
  // handle read (0: a new one is given) and the tags read with it that the model does not
  // interpret. The drawing takes it as Database::appendRead does an entity whose values
  // were checked: its geometry valid, the block it references one the drawing has.
  void add(Entity&& e, BlockId owner, Handle handle, RawTags&& extras);
  std::size_t size() const { return entities_.size() - entities_.first(); }
  Entity& operator[](std::size_t i) { return entities_[entities_.first() + i]; }

 private:
  friend class Database;
  StableVector<Entity> entities_;  // a run; each entity with its owner and handle set
  std::vector<RawTags> extras_;    // extras_[i] belongs to entity extrasOwner_[i]
  std::vector<std::uint32_t> extrasOwner_;
  Handle highest_ = 0;
  // Every entity of model space, with a handle of its own and no parts with handles:
  // the drawing takes them without looking at each.
  bool plain_ = true;
};

// What an interned name held by an entity names.
enum class NameUse { layer, linetype, type };

// Calls f(id, use) for every interned name an entity holds (its layer and linetype, a
// kept entity's type, the layers and linetypes of an old-style polyline's parts), so that
// they can be moved to the names of another pool. `E` is Entity or const Entity.
template <class E, class F>
void forEachNameId(E& e, F&& f) {
  f(e.layer, NameUse::layer);
  f(e.linetype, NameUse::linetype);
  if (auto* unknown = e.template as<UnknownEntity>()) f(unknown->type, NameUse::type);
  if (auto* heavy = e.template as<HeavyPolyline>()) {
    for (auto& v : heavy->vertices) f(v.common.layer, NameUse::layer), f(v.common.linetype, NameUse::linetype);
    f(heavy->seqend.layer, NameUse::layer), f(heavy->seqend.linetype, NameUse::linetype);
  }
}

}  // namespace orv::db
