// Blocks leaving a drawing: one taken out with its contents (undoable), and the
// anonymous dimension pictures that nothing draws, which a drawing file leaves out.
#include <unordered_set>

#include "orv/db/database.h"

namespace orv::db {

namespace {

bool isDimensionPicture(const BlockDefinition& b) {
  return b.name.size() > 2 && b.name[0] == '*' && (b.name[1] == 'D' || b.name[1] == 'd');
}

// The folded names of the blocks that an entity not erased draws by name: a dimension's
// picture, or (for an entity kept as read) the name its own group 2 gives.
template <class F>
void forEachNameDrawn(const Entity& e, F&& f) {
  if (const auto* dim = e.as<Dimension>()) {
    if (!dim->block.empty()) f(foldName(dim->block));
  } else if (const auto* k = e.as<UnknownEntity>()) {
    bool inGroup = false;
    for (RawTag t : k->tags) {
      if (t.code >= 1000) break;
      if (t.code == 102) inGroup = !t.value.empty() && t.value.front() == '{';
      else if (!inGroup && t.code == 2) f(foldName(t.value));
    }
  }
}

}  // namespace

Status Database::removeBlock(BlockId id) {
  if (id.index >= blocks_.size() || blocks_[id.index].removed) return Status::notFound;
  if (id == modelSpace() || id == paperSpace()) return Status::invalidInput;
  const std::string key = foldName(blocks_[id.index].name);
  for (const BlockDefinition& b : blocks_) {
    if (b.removed) continue;
    for (ObjectId eid : b.entities) {
      const Entity& e = entities_[eid.index];
      if (e.isErased()) continue;
      if (const auto* r = e.as<BlockReference>(); r && r->block == id) return Status::invalidInput;
      if (const auto* dim = e.as<Dimension>(); dim && foldName(dim->block) == key) return Status::invalidInput;
    }
  }
  for (ObjectId eid : blocks_[id.index].entities)
    if (!entities_[eid.index].isErased()) erase(eid);
  blocks_[id.index].removed = true;
  blockIndex_.erase(key);
  journal_.add(UndoJournal::Kind::removeBlock, id.index);
  tablesChanged();
  return Status::ok;
}

std::vector<bool> Database::savedBlocks() const {
  std::vector<bool> saved(blocks_.size());
  bool anyPicture = false;
  for (std::size_t i = 0; i < blocks_.size(); ++i) {
    saved[i] = !blocks_[i].removed;
    anyPicture = anyPicture || (saved[i] && isDimensionPicture(blocks_[i]));
  }
  if (!anyPicture) return saved;
  // The pictures drawn: by a reference or by name, from any block the file holds.
  std::vector<bool> drawn(blocks_.size());
  std::unordered_set<std::string> names;
  for (std::size_t i = 0; i < blocks_.size(); ++i) {
    if (!saved[i]) continue;
    for (ObjectId eid : blocks_[i].entities) {
      const Entity& e = entities_[eid.index];
      if (e.isErased()) continue;
      if (const auto* r = e.as<BlockReference>()) drawn[r->block.index] = true;
      else forEachNameDrawn(e, [&](std::string name) { names.insert(std::move(name)); });
    }
  }
  for (std::size_t i = 0; i < blocks_.size(); ++i)
    if (saved[i] && isDimensionPicture(blocks_[i]) && (blocks_[i].flags & 1) != 0 && !drawn[i] &&
        !names.count(foldName(blocks_[i].name)))
      saved[i] = false;
  return saved;
}

}  // namespace orv::db
