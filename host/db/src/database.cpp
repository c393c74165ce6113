// Entities, blocks and tables of the drawing database, with every change recorded for undo.
#include "orv/db/database.h"

#include <algorithm>

#include "orv/db/copied_handles.h"

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

Status Database::checkEntity(const Entity& e, BlockId owner, bool checkTables, bool checkGeometry) const {
  if (owner.index >= blocks_.size() || blocks_[owner.index].removed) return Status::notFound;
  if (checkGeometry)
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
  const ObjectId id{static_cast<std::uint32_t>(entities_.size())};
  entities_.push_back(std::move(e));
  settle(id, owner, handle, std::move(extras));
  return id;
}

void Database::settle(ObjectId id, BlockId owner, Handle handle, RawTags&& extras) {
  Entity& e = entities_[id.index];
  if (handle == 0) {
    // A new entity (a copy among them): its vertices are new entities too.
    for (Handle* h : subHandles(e)) *h = 0;
    const Handle came = e.handle_;
    handle = newHandle();
    if (copyDepth_ > 0 && came != 0) {
      copiedHandles_[came] = handle;
      copies_.push_back(id.index);
    }
  }
  noteHandleInUse(handle);
  e.handle_ = handle;
  e.owner_ = owner;
  e.erased_ = false;
  e.hasExtras_ = false;
  giveSubHandles(e);
  if (!extras.empty()) {
    e.hasExtras_ = true;
    extras_.push_back(std::move(extras));
    extrasOwner_.push_back(id.index);
  }
  blocks_[owner.index].entities.push_back(id);
  journal_.add(UndoJournal::Kind::append, id.index);
  changed(id);
}

std::vector<Handle*> Database::subHandles(Entity& e) {
  std::vector<Handle*> out;
  if (auto* p = e.as<HeavyPolyline>()) {
    out.reserve(p->vertices.size() + 1);
    for (HeavyVertex& v : p->vertices) out.push_back(&v.common.handle);
    out.push_back(&p->seqend.handle);
  }
  return out;
}

void Database::giveSubHandles(Entity& e) {
  if (!e.as<HeavyPolyline>()) return;  // the only kind with entities of its own
  for (Handle* h : subHandles(e)) {
    if (*h == 0) *h = newHandle();
    noteHandleInUse(*h);
  }
}

void Database::endCopies() {
  if (copyDepth_ == 0 || --copyDepth_ > 0) return;
  const auto copyOf = [this](Handle original) -> Handle {
    const auto it = copiedHandles_.find(original);
    return it == copiedHandles_.end() ? 0 : it->second;
  };
  // The copies were appended in this scope: changing them in place leaves undo and redo
  // (which take back and bring back the append) with their final state.
  for (std::uint32_t index : copies_)
    if (remapCopiedHandles(entities_[index].geometry, copyOf)) changed(ObjectId{index});
  copiedHandles_.clear();
  copies_.clear();
}

Result<ObjectId> Database::append(Entity entity, BlockId owner) {
  if (Status s = checkEntity(entity, owner, true); s != Status::ok)
    return Error{s, std::string("cannot add the entity: ") + describe(s)};
  return store(std::move(entity), owner, 0, RawTags{});
}

Result<ObjectId> Database::appendRead(Entity entity, BlockId owner, Handle handle, RawTags extras,
                                      bool geometryValid) {
  if (Status s = checkEntity(entity, owner, false, !geometryValid); s != Status::ok)
    return Error{s, std::string("cannot add the entity: ") + describe(s)};
  return store(std::move(entity), owner, handle, std::move(extras));
}

Status Database::erase(ObjectId id) {
  if (id.index >= entities_.size()) return Status::notFound;
  Entity& e = entities_[id.index];
  if (e.erased_) return Status::wasErased;
  e.erased_ = true;
  journal_.add(UndoJournal::Kind::erase, id.index);
  changed(id);
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
  giveSubHandles(entity);
  // The vertices and SEQEND of an old-style polyline that share its layer, linetype or
  // colour follow a change of it.
  if (auto* p = entity.as<HeavyPolyline>(); p && current.as<HeavyPolyline>()) {
    auto follow = [&](SubEntity& s) {
      if (s.layer == current.layer) s.layer = entity.layer;
      if (s.linetype == current.linetype) s.linetype = entity.linetype;
      if (s.color == current.color) s.color = entity.color;
    };
    for (HeavyVertex& v : p->vertices) follow(v.common);
    follow(p->seqend);
  }
  if (journal_.recording()) journal_.addModify(id.index, current);
  current = std::move(entity);
  changed(id);
  return Status::ok;
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

Status Database::renameBlock(BlockId id, std::string name) {
  if (name.empty() || id.index >= blocks_.size() || blocks_[id.index].removed) return Status::invalidInput;
  std::string key = foldName(name);
  auto taken = blockIndex_.find(key);
  if (taken != blockIndex_.end() && taken->second != id.index) return Status::duplicateName;
  blockIndex_.erase(foldName(blocks_[id.index].name));
  blockIndex_[std::move(key)] = id.index;
  blocks_[id.index].name = std::move(name);
  tablesChanged();
  return Status::ok;
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
  tablesChanged();
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
  tablesChanged();
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
  tablesChanged();
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
  // The entities' (their vertices' among them) were noted as they were given.
  highest = std::max(highest, highestInUse_);
  handseed_ = std::max(next, highest + 1);
}

Status Database::changeLayer(std::size_t index, Layer layer) {
  if (index >= layers_.size()) return Status::notFound;
  Layer& current = layers_[index];
  if (foldName(layer.name) != foldName(current.name)) return Status::invalidInput;
  if (!hasLinetype(layer.linetype)) return Status::invalidInput;
  layer.handle = current.handle;
  if (layer == current) return Status::ok;
  journal_.addModifyLayer(static_cast<std::uint32_t>(index), current);
  current = std::move(layer);
  tablesChanged();
  return Status::ok;
}

Status Database::setCurrentLayer(std::string_view name) {
  const Layer* layer = layers_.get(name);
  if (!layer) return Status::notFound;
  if (layer->name == header.currentLayer) return Status::ok;
  journal_.addModifyHeader(UndoJournal::HeaderState{header.currentLayer});
  header.currentLayer = layer->name;
  tablesChanged();
  return Status::ok;
}

// ---- renaming and removing layers

namespace {
// Which interned names spell `name` (ASCII letters in either case): by name id.
std::vector<bool> spellings(const NamePool& names, std::string_view name) {
  const std::string key = foldName(name);
  std::vector<bool> out(names.size());
  for (std::size_t i = 0; i < names.size(); ++i)
    out[i] = foldName(names[NameId{static_cast<std::uint32_t>(i)}]) == key;
  return out;
}
}  // namespace

Status Database::renameLayer(std::size_t index, std::string_view name) {
  if (index >= layers_.size()) return Status::notFound;
  const std::string before = layers_[index].name;
  if (name.empty() || before == "0" || foldName(before) == "DEFPOINTS") return Status::invalidInput;
  if (name == before) return Status::ok;
  if (const auto other = layers_.find(name); other && *other != index) return Status::duplicateName;
  const std::vector<bool> on = spellings(names_, before);
  UndoJournal::LayerRename r{before, std::string(name), names_.intern(name), {}, {}};
  for (std::size_t i = 0; i < entities_.size(); ++i) {
    Entity& e = entities_[i];
    if (e.layer.index < on.size() && on[e.layer.index]) {
      if (journal_.recording()) r.entities.emplace_back(static_cast<std::uint32_t>(i), e.layer);
      e.layer = r.afterId;
    }
  }
  for (std::size_t b = 0; b < blocks_.size(); ++b) {
    if (foldName(blocks_[b].layer) != foldName(before)) continue;
    if (journal_.recording()) r.blocks.emplace_back(static_cast<std::uint32_t>(b), blocks_[b].layer);
    blocks_[b].layer = r.after;
  }
  layers_.rename(index, r.after);
  if (foldName(header.currentLayer) == foldName(before)) {
    journal_.addModifyHeader(UndoJournal::HeaderState{header.currentLayer});
    header.currentLayer = r.after;
  }
  journal_.addRenameLayer(static_cast<std::uint32_t>(index), std::move(r));
  tablesChanged();
  return Status::ok;
}

Database::LayerUse Database::layerUse(std::size_t index) const {
  if (index >= layers_.size()) return LayerUse::unused;
  const std::string key = foldName(layers_[index].name);
  if (key == "0" || key == "DEFPOINTS") return LayerUse::fixed;
  if (foldName(header.currentLayer) == key) return LayerUse::current;
  const std::vector<bool> on = spellings(names_, key);
  for (const BlockDefinition& b : blocks_) {
    if (b.removed) continue;
    for (ObjectId id : b.entities) {
      const Entity& e = entities_[id.index];
      if (!e.isErased() && e.layer.index < on.size() && on[e.layer.index]) return LayerUse::entities;
    }
  }
  for (const BlockDefinition& b : blocks_)
    if (!b.removed && foldName(b.layer) == key) return LayerUse::blocks;
  return LayerUse::unused;
}

Status Database::removeLayer(std::size_t index) {
  if (index >= layers_.size()) return Status::notFound;
  if (layerUse(index) != LayerUse::unused) return Status::invalidInput;
  journal_.addRemoveLayer(static_cast<std::uint32_t>(index), layers_.removeAt(index));
  tablesChanged();
  return Status::ok;
}

// ---- undo and redo

namespace {

// An entry added at the end of a table: undo takes it out and keeps it in the group
// (record.aux is its slot there plus one), redo puts it back.
template <class Record>
void keepAdded(SymbolTable<Record>& table, std::vector<Record>& kept, UndoJournal::Record& r,
               bool forward) {
  if (forward) {
    if (r.aux != 0) table.add(std::move(kept[r.aux - 1]));
    return;
  }
  if (table.size() == 0) return;
  if (r.aux == 0) {
    kept.push_back(table[table.size() - 1]);
    r.aux = static_cast<std::uint32_t>(kept.size());
  } else {
    kept[r.aux - 1] = table[table.size() - 1];
  }
  table.removeLast();
}

}  // namespace

void Database::revert(UndoJournal::Group& g, UndoJournal::Record& r, bool forward) {
  using Kind = UndoJournal::Kind;
  switch (r.kind) {
    case Kind::append: {
      Entity& e = entities_[r.index];
      auto& list = blocks_[e.owner_.index].entities;
      if (forward) {
        // What was undone after this append was undone first: the entity goes back to
        // the end of its block, where it stood.
        e.erased_ = false;
        list.push_back(ObjectId{r.index});
      } else {
        e.erased_ = true;
        auto it = std::find(list.rbegin(), list.rend(), ObjectId{r.index});
        if (it != list.rend()) list.erase(std::next(it).base());
      }
      changed(ObjectId{r.index});
      break;
    }
    case Kind::erase:
      entities_[r.index].erased_ = forward;
      changed(ObjectId{r.index});
      break;
    case Kind::modify: {
      Entity& e = entities_[r.index];
      Entity& other = g.entities[r.aux];
      std::swap(e.geometry, other.geometry);
      std::swap(e.layer, other.layer);
      std::swap(e.linetype, other.linetype);
      std::swap(e.color, other.color);
      changed(ObjectId{r.index});
      break;
    }
    case Kind::addLayer:
      keepAdded(layers_, g.layers, r, forward);
      tablesChanged();
      break;
    case Kind::addLinetype:
      keepAdded(linetypes_, g.linetypes, r, forward);
      tablesChanged();
      break;
    case Kind::removeBlock:
    case Kind::addBlock:
      blocks_[r.index].removed = (r.kind == Kind::addBlock) != forward;
      if (!blocks_[r.index].removed)
        blockIndex_.emplace(foldName(blocks_[r.index].name), r.index);
      else
        blockIndex_.erase(foldName(blocks_[r.index].name));
      tablesChanged();
      break;
    case Kind::modifyLayer:
      std::swap(layers_[r.index], g.layers[r.aux]);
      tablesChanged();
      break;
    case Kind::modifyHeader:
      std::swap(header.currentLayer, g.headers[r.aux].currentLayer);
      tablesChanged();
      break;
    case Kind::modifyExtras:
      std::swap(extrasFor(ObjectId{r.index}), g.extras[r.aux]);
      changed(ObjectId{r.index});
      break;
    case Kind::renameLayer: {
      UndoJournal::LayerRename& n = g.layerRenames[r.aux];
      for (const auto& [i, before] : n.entities) entities_[i].layer = forward ? n.afterId : before;
      for (const auto& [b, before] : n.blocks) blocks_[b].layer = forward ? n.after : before;
      layers_.rename(r.index, forward ? n.after : n.before);
      tablesChanged();
      break;
    }
    case Kind::removeLayer:
      if (forward)
        g.layers[r.aux] = layers_.removeAt(r.index);
      else
        layers_.insertAt(r.index, g.layers[r.aux]);
      tablesChanged();
      break;
  }
}

Status Database::undo() {
  UndoJournal::Group* g = journal_.lastGroup();
  if (!g) return Status::nothingToUndo;
  for (auto it = g->records.rbegin(); it != g->records.rend(); ++it) revert(*g, *it, false);
  journal_.moveLastToRedo();
  return Status::ok;
}

Status Database::redo() {
  UndoJournal::Group* g = journal_.lastUndone();
  if (!g) return Status::nothingToUndo;
  for (UndoJournal::Record& r : g->records) revert(*g, r, true);
  journal_.moveLastUndoneBack();
  return Status::ok;
}

}  // namespace orv::db
