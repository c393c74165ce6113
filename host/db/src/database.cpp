// Entities, blocks and tables of the drawing database, with every change recorded for undo.
#include "orv/db/database.h"

#include <algorithm>

namespace orv::db {

NamePool::NamePool() {
  for (const char* n : {"0", "ByLayer", "ByBlock", "Continuous"}) intern(n);
}

NameId NamePool::intern(std::string_view name) {
  if (auto it = index_.find(name); it != index_.end()) return NameId{it->second};
  const auto id = static_cast<std::uint32_t>(names_.size());
  names_.emplace_back(name);
  index_.emplace(names_.back(), id);
  return NameId{id};
}

std::optional<NameId> NamePool::find(std::string_view name) const {
  if (auto it = index_.find(name); it != index_.end()) return NameId{it->second};
  return std::nullopt;
}

Database::Database() {
  for (const char* n : {"*Model_Space", "*Paper_Space"}) {
    BlockDefinition b;
    b.name = n;
    blockIndex_.emplace(foldName(n), static_cast<std::uint32_t>(blocks_.size()));
    blocks_.push_back(std::move(b));
  }
}

Database Database::newDrawing() {
  Database db;
  db.ensureRequiredContent();
  for (const StandardLinetype& s : metricLinetypes()) {
    Linetype lt;
    lt.name = s.name;
    lt.description = s.description;
    for (double len : s.elements) {
      lt.elements.push_back(DashElement{len, {}});
      lt.totalLength += len < 0 ? -len : len;
    }
    db.addLinetype(std::move(lt));
  }
  return db;
}

// ---- entities

Status Database::checkEntity(const Entity& e, BlockId owner, bool checkTables) const {
  if (owner.index >= blocks_.size() || blocks_[owner.index].removed) return Status::notFound;
  if (Status s = validate(e.geometry); s != Status::ok) return s;
  if (e.color < 0 || e.color > 256) return Status::invalidInput;
  if (e.layer.index >= names_.size() || e.linetype.index >= names_.size())
    return Status::notFound;
  if (checkTables) {
    if (!layers_.find(names_[e.layer])) return Status::notFound;
    if (!hasLinetype(names_[e.linetype])) return Status::notFound;
  }
  if (const auto* ref = e.as<BlockReference>()) {
    const BlockId target = ref->block;
    if (target.index >= blocks_.size() || blocks_[target.index].removed) return Status::notFound;
    if (target == modelSpace() || target == paperSpace() || target == owner)
      return Status::selfReference;
    if (owner != modelSpace() && owner != paperSpace() && blockReaches(target, owner))
      return Status::selfReference;
  }
  if (const auto* unknown = e.as<UnknownEntity>(); unknown && unknown->type.index >= names_.size())
    return Status::notFound;
  return Status::ok;
}

// True when block `from` holds, directly or through nested references, a reference to `target`.
bool Database::blockReaches(BlockId from, BlockId target) const {
  std::vector<std::uint32_t> stack{from.index};
  std::vector<bool> seen(blocks_.size(), false);
  seen[from.index] = true;
  while (!stack.empty()) {
    const BlockDefinition& b = blocks_[stack.back()];
    stack.pop_back();
    for (ObjectId id : b.entities) {
      const Entity& e = entities_[id.index];
      const auto* ref = e.as<BlockReference>();
      if (!ref || e.isErased()) continue;
      if (ref->block == target) return true;
      if (!seen[ref->block.index]) {
        seen[ref->block.index] = true;
        stack.push_back(ref->block.index);
      }
    }
  }
  return false;
}

Result<ObjectId> Database::store(Entity&& e, BlockId owner, Handle handle, RawTags&& extras) {
  if (handle == 0) {
    handle = newHandle();
  } else {
    noteHandle(handle);
  }
  e.handle_ = handle;
  e.owner_ = owner;
  e.erased_ = false;
  e.hasExtras_ = false;
  const ObjectId id{static_cast<std::uint32_t>(entities_.size())};
  if (!extras.empty()) {
    e.hasExtras_ = true;
    extras_.push_back(std::move(extras));
    extrasOwner_.push_back(id.index);
  }
  entities_.push_back(std::move(e));
  blocks_[owner.index].entities.push_back(id);
  journal_.add(UndoJournal::Kind::append, id.index);
  return id;
}

Result<ObjectId> Database::append(Entity entity, BlockId owner) {
  if (Status s = checkEntity(entity, owner, true); s != Status::ok)
    return Error{s, std::string("cannot add the entity: ") + describe(s)};
  return store(std::move(entity), owner, 0, RawTags{});
}

Result<ObjectId> Database::appendRead(Entity entity, BlockId owner, Handle handle,
                                      RawTags extras) {
  if (Status s = checkEntity(entity, owner, false); s != Status::ok)
    return Error{s, std::string("cannot add the entity: ") + describe(s)};
  return store(std::move(entity), owner, handle, std::move(extras));
}

Status Database::erase(ObjectId id) {
  if (id.index >= entities_.size()) return Status::notFound;
  Entity& e = entities_[id.index];
  if (e.erased_) return Status::wasErased;
  e.erased_ = true;
  journal_.add(UndoJournal::Kind::erase, id.index);
  return Status::ok;
}

Status Database::replace(ObjectId id, Entity entity) {
  if (id.index >= entities_.size()) return Status::notFound;
  Entity& current = entities_[id.index];
  if (current.erased_) return Status::wasErased;
  if (Status s = checkEntity(entity, current.owner_, true); s != Status::ok) return s;
  entity.handle_ = current.handle_;
  entity.owner_ = current.owner_;
  entity.hasExtras_ = current.hasExtras_;
  entity.erased_ = false;
  if (journal_.recording()) journal_.addModify(id.index, current);
  current = std::move(entity);
  return Status::ok;
}

const Entity* Database::entity(ObjectId id) const {
  return id.index < entities_.size() ? &entities_[id.index] : nullptr;
}

const RawTags* Database::entityExtras(ObjectId id) const {
  const Entity* e = entity(id);
  if (!e || !e->hasExtras_) return nullptr;
  const auto it = std::lower_bound(extrasOwner_.begin(), extrasOwner_.end(), id.index);
  return &extras_[static_cast<std::size_t>(it - extrasOwner_.begin())];
}

ObjectId Database::lastEntity() const {
  const auto& list = blocks_[modelSpace().index].entities;
  for (auto it = list.rbegin(); it != list.rend(); ++it)
    if (!entities_[it->index].isErased()) return *it;
  return ObjectId{};
}

// ---- blocks and tables

std::optional<BlockId> Database::findBlock(std::string_view name) const {
  auto it = blockIndex_.find(foldName(name));
  if (it == blockIndex_.end()) return std::nullopt;
  return BlockId{it->second};
}

Result<BlockId> Database::addBlock(std::string name, Point3 base) {
  if (name.empty() || !isFinite(base)) return Error{Status::invalidInput, "invalid block name or base point"};
  std::string key = foldName(name);
  if (blockIndex_.count(key)) return Error{Status::duplicateName, "block \"" + name + "\" exists"};
  BlockDefinition b;
  b.name = std::move(name);
  b.base = base;
  b.recordHandle = newHandle();
  b.beginHandle = newHandle();
  b.endHandle = newHandle();
  const BlockId id{static_cast<std::uint32_t>(blocks_.size())};
  blocks_.push_back(std::move(b));
  blockIndex_.emplace(std::move(key), id.index);
  journal_.add(UndoJournal::Kind::addBlock, id.index);
  return id;
}

bool Database::hasLinetype(std::string_view name) const {
  const std::string key = foldName(name);
  return key == "BYLAYER" || key == "BYBLOCK" || linetypes_.find(name).has_value();
}

Result<std::size_t> Database::addLayer(Layer layer) {
  if (layer.name.empty()) return Error{Status::invalidInput, "a layer needs a name"};
  if (!hasLinetype(layer.linetype))
    return Error{Status::notFound, "linetype \"" + layer.linetype + "\" is not loaded"};
  if (layer.handle == 0) layer.handle = newHandle();
  std::string name = layer.name;
  auto index = layers_.add(std::move(layer));
  if (!index) return Error{Status::duplicateName, "layer \"" + name + "\" exists"};
  journal_.add(UndoJournal::Kind::addLayer, static_cast<std::uint32_t>(*index));
  return *index;
}

Result<std::size_t> Database::addLinetype(Linetype linetype) {
  if (linetype.name.empty()) return Error{Status::invalidInput, "a linetype needs a name"};
  for (const DashElement& d : linetype.elements)
    if (!isFinite(d.length)) return Error{Status::invalidInput, "a dash length is not finite"};
  if (!isFinite(linetype.totalLength)) return Error{Status::invalidInput, "pattern length is not finite"};
  if (linetype.handle == 0) linetype.handle = newHandle();
  std::string name = linetype.name;
  auto index = linetypes_.add(std::move(linetype));
  if (!index) return Error{Status::duplicateName, "linetype \"" + name + "\" exists"};
  journal_.add(UndoJournal::Kind::addLinetype, static_cast<std::uint32_t>(*index));
  return *index;
}

// ---- handles

void Database::setHandseed(Handle next) {
  Handle highest = std::max({layers_.handle, linetypes_.handle, styles_.handle,
                             blockRecordTableHandle, rootDictionary, groupDictionary});
  auto consider = [&highest](const auto& table) {
    highest = std::max(highest, table.handle);
    for (const auto& r : table) highest = std::max(highest, r.handle);
  };
  consider(layers_);
  consider(linetypes_);
  consider(styles_);
  for (const auto& t : kept_) consider(t);
  for (const BlockDefinition& b : blocks_)
    highest = std::max({highest, b.recordHandle, b.beginHandle, b.endHandle});
  for (std::size_t i = 0; i < entities_.size(); ++i)
    highest = std::max(highest, entities_[i].handle_);
  handseed_ = std::max(next, highest + 1);
}

// ---- undo

Status Database::undo() {
  if (journal_.groupCount() == 0) return Status::nothingToUndo;
  for (const UndoJournal::Record& r : journal_.lastGroup()) {
    switch (r.kind) {
      case UndoJournal::Kind::append: {
        Entity& e = entities_[r.index];
        e.erased_ = true;
        auto& list = blocks_[e.owner_.index].entities;
        auto it = std::find(list.rbegin(), list.rend(), ObjectId{r.index});
        if (it != list.rend()) list.erase(std::next(it).base());
        break;
      }
      case UndoJournal::Kind::erase:
        entities_[r.index].erased_ = false;
        break;
      case UndoJournal::Kind::modify: {
        Entity& e = entities_[r.index];
        Entity& before = journal_.saved(r.aux);
        e.geometry = std::move(before.geometry);
        e.layer = before.layer;
        e.linetype = before.linetype;
        e.color = before.color;
        break;
      }
      case UndoJournal::Kind::addLayer:
        layers_.removeLast();
        break;
      case UndoJournal::Kind::addLinetype:
        linetypes_.removeLast();
        break;
      case UndoJournal::Kind::addBlock:
        blocks_[r.index].removed = true;
        blockIndex_.erase(foldName(blocks_[r.index].name));
        break;
    }
  }
  journal_.dropLastGroup();
  return Status::ok;
}

}  // namespace orv::db
