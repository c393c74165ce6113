// Runs of entities read apart from their drawing, and how the drawing takes them.
#include <algorithm>

#include "orv/db/database.h"

namespace orv::db {

EntityRun::EntityRun() : entities_(StableVector<Entity>::run()) {}

void EntityRun::add(Entity&& e, BlockId owner, Handle handle, RawTags&& extras) {
  e.handle_ = handle;
  e.owner_ = owner;
  highest_ = std::max(highest_, handle);
  plain_ = plain_ && handle != 0 && owner == BlockId{0} && !e.as<HeavyPolyline>();
  if (!extras.empty()) {
    extras_.push_back(std::move(extras));
    extrasOwner_.push_back(static_cast<std::uint32_t>(size()));
  }
  entities_.push_back(std::move(e));
}

std::size_t Database::appendRun(EntityRun&& run) {
  const std::size_t count = run.size();
  if (count == 0) return 0;
  // The run's chunks are taken as they are, its entities numbered on from the last. (Were
  // a second run taken, the slots before it would hold erased entities no block lists,
  // each repeating the handle before it, so that the handles of the slots keep rising
  // where the entities' do.)
  const Handle before = entities_.size() > 0 ? entities_[entities_.size() - 1].handle_ : 0;
  const std::size_t first = entities_.takeOver(std::move(run.entities_), [&](std::size_t) {
    Entity filler;
    filler.handle_ = before;
    filler.erased_ = true;
    return filler;
  });
  if (run.plain_) {
    // Nothing to give or check entity by entity: the block's list, the handles and the
    // tags kept beside the model follow from what the run noted as it was made.
    noteHandleInUse(run.highest_);
    for (std::size_t k = 0; k < run.extrasOwner_.size(); ++k) {
      const auto index = static_cast<std::uint32_t>(first + run.extrasOwner_[k]);
      entities_[index].hasExtras_ = true;
      extras_.push_back(std::move(run.extras_[k]));
      extrasOwner_.push_back(index);
    }
    std::vector<ObjectId>& list = blocks_[modelSpace().index].entities;
    list.reserve(list.size() + count);
    for (std::size_t i = 0; i < count; ++i) {
      const ObjectId id{static_cast<std::uint32_t>(first + i)};
      list.push_back(id);
      journal_.add(UndoJournal::Kind::append, id.index);
      changed(id);
    }
    run = EntityRun();
    return 0;
  }
  std::size_t leftOut = 0, nextExtras = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const ObjectId id{static_cast<std::uint32_t>(first + i)};
    Entity& e = entities_[id.index];
    RawTags extras;
    if (nextExtras < run.extrasOwner_.size() && run.extrasOwner_[nextExtras] == i)
      extras = std::move(run.extras_[nextExtras++]);
    if (checkEntity(e, e.owner_, false, false) != Status::ok) {
      e.erased_ = true;  // in no block: left out, its slot as those before the run's
      e.handle_ = entities_[id.index - 1].handle_;
      ++leftOut;
      continue;
    }
    settle(id, e.owner_, e.handle_, std::move(extras));
  }
  run = EntityRun();
  return leftOut;
}

void Database::trimStorage() { entities_.trim(); }

}  // namespace orv::db
