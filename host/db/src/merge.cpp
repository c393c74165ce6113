// Bringing a block definition and everything it depends on from another database.
#include <unordered_map>

#include "orv/db/database.h"

namespace orv::db {

namespace {

// Tags that point at other objects of the source drawing (application data groups such
// as reactors and extension dictionaries, slot 0 of kept extras) mean nothing here.
RawTags withoutForeignPointers(const RawTags& tags, bool bySlot) {
  RawTags out;
  bool inGroup = false;
  for (RawTag t : tags) {
    if (bySlot && t.slot == 0) continue;
    if (t.code == 102) {
      inGroup = !t.value.empty() && t.value.front() == '{';
      continue;
    }
    if (inGroup) continue;
    out.add(t.code, t.value, t.slot);
  }
  return out;
}

}  // namespace

class BlockMerger {
 public:
  BlockMerger(Database& dst, const Database& src) : dst_(dst), src_(src) {}

  Result<BlockId> merge(BlockId s) {
    if (auto it = mapped_.find(s.index); it != mapped_.end()) return it->second;
    const BlockDefinition& from = src_.block(s);
    if (auto existing = dst_.findBlock(from.name)) {
      mapped_.emplace(s.index, *existing);
      return *existing;
    }
    if (s == src_.modelSpace() || s == src_.paperSpace())
      return Error{Status::selfReference, "a layout cannot be merged as a block"};
    if (!inProgress_.emplace(s.index, true).second)
      return Error{Status::selfReference, "block \"" + from.name + "\" contains itself"};

    // Dependencies first: nested blocks, layers, linetypes.
    if (Status st = ensureLayer(from.layer); st != Status::ok) return fail(st, from.layer);
    for (ObjectId id : from.entities) {
      const Entity& e = *src_.entity(id);
      if (e.isErased()) continue;
      if (const auto* ref = e.as<BlockReference>()) {
        auto nested = merge(ref->block);
        if (!nested) return nested.error();
      }
      Status st = Status::ok;
      std::string_view failed;
      forEachNameId(e, [&](const NameId& n, NameUse use) {
        if (st != Status::ok || use == NameUse::type) return;
        st = use == NameUse::layer ? ensureLayer(src_.name(n)) : ensureLinetype(src_.name(n));
        if (st != Status::ok) failed = src_.name(n);
      });
      if (st != Status::ok) return fail(st, failed);
    }

    auto added = dst_.addBlock(from.name, from.base);
    if (!added) return added.error();
    BlockDefinition& to = dst_.editBlock(*added);
    to.flags = from.flags;
    to.layer = from.layer;
    to.description = from.description;
    to.preview = from.preview;
    for (ObjectId id : from.entities) {
      const Entity& e = *src_.entity(id);
      if (e.isErased()) continue;
      Entity copy = e;
      forEachNameId(copy, [&](NameId& n, NameUse) { n = dst_.intern(src_.name(n)); });
      if (auto* ref = copy.as<BlockReference>()) ref->block = mapped_.at(ref->block.index);
      if (auto* unknown = copy.as<UnknownEntity>()) unknown->tags = withoutForeignPointers(unknown->tags, false);
      const RawTags* extras = src_.entityExtras(id);
      auto appended = dst_.appendRead(std::move(copy), *added, 0,
                                      extras ? withoutForeignPointers(*extras, true) : RawTags{});
      if (!appended) return appended.error();
    }
    inProgress_.erase(s.index);
    mapped_.emplace(s.index, *added);
    return *added;
  }

 private:
  Error fail(Status st, std::string_view what) {
    return Error{st, "cannot bring over \"" + std::string(what) + "\": " + describe(st)};
  }

  Status ensureLinetype(std::string_view name) {
    if (dst_.hasLinetype(name)) return Status::ok;
    Linetype lt;
    if (const Linetype* found = src_.linetypes().get(name)) lt = *found;
    lt.name = std::string(name);
    lt.handle = 0;
    lt.extras.clear();
    return dst_.addLinetype(std::move(lt)).status();
  }

  Status ensureLayer(std::string_view name) {
    if (dst_.layers().find(name)) return Status::ok;
    Layer layer;
    if (const Layer* found = src_.layers().get(name)) layer = *found;
    layer.name = std::string(name);
    layer.handle = 0;
    layer.extras.clear();
    if (Status st = ensureLinetype(layer.linetype); st != Status::ok) return st;
    return dst_.addLayer(std::move(layer)).status();
  }

  Database& dst_;
  const Database& src_;
  std::unordered_map<std::uint32_t, BlockId> mapped_;
  std::unordered_map<std::uint32_t, bool> inProgress_;
};

Result<BlockId> Database::mergeBlock(const Database& source, std::string_view name) {
  auto s = source.findBlock(name);
  if (!s) return Error{Status::notFound, "no block \"" + std::string(name) + "\" in the drawing"};
  if (auto mine = findBlock(name)) return *mine;
  const CopyScope copies(*this);  // a handle of the source names the copy of that object here
  return BlockMerger(*this, source).merge(*s);
}

}  // namespace orv::db
