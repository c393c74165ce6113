// Reading the BLOCKS section, and the checks that make a read drawing whole (handles, tables, names).
#include <algorithm>
#include <unordered_set>
#include <utility>

#include "read_context.h"

namespace orv::dxf {

namespace {

struct PendingEntity {
  ReadEntity entity;
  db::BlockId owner;
};

// The tags of BLOCK or ENDBLK; the name, base and flags go to the block.
bool readBlockTags(ReadContext& ctx, std::string& name, db::Point3& base, std::int16_t& flags,
                   std::string& layer, std::string& xref, std::string& description,
                   db::Handle& handle, db::RawTags& extras) {
  bool inGroup = false, inXdata = false;
  std::string name3;
  Tag t;
  while (ctx.next(t, "块")) {
    if (t.code == 0) {
      ctx.tok.pushBack();
      break;
    }
    if (t.code >= 1000) inXdata = true;
    if (inXdata) {
      extras.add(t.code, ctx.kept(t), slot::xdata);
      continue;
    }
    if (t.code == 102) inGroup = !t.value.empty() && t.value.front() == '{';
    if (t.code == 102 || inGroup) {
      extras.add(t.code, ctx.kept(t), slot::appData);
      continue;
    }
    double v;
    std::int64_t n;
    switch (t.code) {
      case 5: handle = ctx.handle(t); break;
      case 330: case 100: case 67: break;
      case 8: layer = ctx.text(t.value); break;
      case 2: name = ctx.text(t.value); break;
      case 3: name3 = ctx.text(t.value); break;
      case 1: xref = ctx.text(t.value); break;
      case 4: description = ctx.text(t.value); break;
      case 70: if (ctx.integer(t, n, "BLOCK")) flags = static_cast<std::int16_t>(n); break;
      case 10: if (ctx.real(t, v, "BLOCK")) base.x = v; break;
      case 20: if (ctx.real(t, v, "BLOCK")) base.y = v; break;
      case 30: if (ctx.real(t, v, "BLOCK")) base.z = v; break;
      default:
        extras.add(t.code, ctx.kept(t),
                   isCommonEntityCode(t.code) ? slot::common : slot::subclass);
    }
  }
  ctx.closeGroup(inGroup, ctx.tok.line(), "块", extras);
  if (name.empty()) name = name3;
  return !ctx.failed();
}

}  // namespace

bool readBlocksSection(ReadContext& ctx) {
  std::vector<PendingEntity> pending;  // placed once every block name is known
  std::vector<ReadEntity> read;
  std::unordered_set<std::uint32_t> defined;
  int unnamed = 0;
  Tag t;
  bool done = false;
  while (!done && ctx.next(t, "BLOCKS 段")) {
    if (t.code == 999) continue;
    if (t.code != 0) return ctx.fail(t.line, "此处应为 BLOCK，却是组码 " + std::to_string(t.code));
    if (t.value == "ENDSEC") break;
    if (t.value == "SECTION" || t.value == "EOF") {
      ctx.note(t.line, "BLOCKS 段没有 ENDSEC");
      ctx.tok.pushBack();
      break;
    }
    if (t.value == "ENDBLK") {
      // An ENDBLK of no block (LibreDWG writes the paper space block's twice): left out.
      ctx.note(t.line, "多余的 ENDBLK（前面没有 BLOCK），已略去");
      while (ctx.next(t, "BLOCKS 段") && t.code != 0) {
      }
      if (ctx.failed()) return false;
      ctx.tok.pushBack();
      continue;
    }
    if (t.value != "BLOCK") return ctx.fail(t.line, "此处应为 BLOCK，却是“" + ctx.shown(t.value, 40) + "”");
    const std::size_t blockLine = t.line;
    std::string name, layer = "0", xref, description, ignoredName, ignoredLayer, ignoredText;
    db::Point3 base;
    std::int16_t flags = 0, ignoredFlags = 0;
    db::Handle beginHandle = 0, endHandle = 0;
    db::RawTags beginExtras, endExtras;
    if (!readBlockTags(ctx, name, base, flags, layer, xref, description, beginHandle, beginExtras))
      return false;
    // R12 names its layouts $MODEL_SPACE and $PAPER_SPACE.
    if (db::foldName(name) == "$MODEL_SPACE") name = ctx.db.block(ctx.db.modelSpace()).name;
    if (db::foldName(name) == "$PAPER_SPACE") name = ctx.db.block(ctx.db.paperSpace()).name;
    if (name.empty()) {
      name = "*X_UNNAMED" + std::to_string(++unnamed);
      ctx.note(blockLine, "一个没有名称的块保存为“" + name + "”");
    }
    if (!db::isFinite(base)) {
      ctx.note(blockLine, "块“" + name + "”的基点不是有限数值，改用 0,0,0");
      base = {};
    }
    std::optional<db::BlockId> id = ctx.db.findBlock(name);
    bool duplicate = id && defined.count(id->index);
    if (!id) {
      auto added = ctx.db.addBlock(name, base);
      if (!added) return ctx.fail(blockLine, added.error().message);
      id = *added;
      ctx.db.editBlock(*id).recordHandle = 0;
    }
    if (duplicate) ctx.note(blockLine, "块“" + name + "”定义了两次，第二个定义未读入");
    defined.insert(id->index);
    db::BlockDefinition* b = duplicate ? nullptr : &ctx.db.editBlock(*id);
    if (b) {
      b->base = base;
      b->flags = flags;
      b->layer = layer;
      b->xrefPath = xref;
      b->description = description;
      b->beginHandle = beginHandle;
      b->beginExtras = std::move(beginExtras);
    }
    const db::Handle record = ctx.db.block(*id).recordHandle;
    // The entities up to ENDBLK.
    while (true) {
      const Tokenizer::Mark start = ctx.tok.mark();
      if (!ctx.next(t, "块“" + name + "”")) return false;
      if (t.code != 0) return ctx.fail(t.line, "块“" + name + "”中此处应为实体");
      if (t.value == "ENDBLK") break;
      // A new section or the end of the file ends the block, and the section.
      if (t.value == "BLOCK" || t.value == "ENDSEC" || t.value == "SECTION" || t.value == "EOF") {
        ctx.note(t.line, "块“" + name + "”没有 ENDBLK");
        ctx.tok.pushBack();
        break;
      }
      read.clear();
      if (!readEntity(ctx, t, start, record, read)) return false;
      if (b)
        for (ReadEntity& e : read) pending.push_back(PendingEntity{std::move(e), *id});
    }
    if (t.value == "ENDBLK") {
      if (!readBlockTags(ctx, ignoredName, base, ignoredFlags, ignoredLayer, ignoredText,
                         ignoredText, endHandle, endExtras))
        return false;
      if (b) {
        ctx.db.editBlock(*id).endHandle = endHandle;
        ctx.db.editBlock(*id).endExtras = std::move(endExtras);
      }
    }
  }
  if (ctx.failed()) return false;
  for (PendingEntity& p : pending) placeEntity(ctx, std::move(p.entity), p.owner);
  return true;
}

// ---- making the drawing whole

namespace {

// The common case, checked without sorting every handle: entity handles rise in the
// order the entities were read (as every writer gives them; the caller has seen that they
// do, the last being `previous`; an erased slot repeats the handle before it) and no
// table handle is zero, repeated or an entity's. Then no handle changes; only the next
// handle is raised above them all. False when some handle may need a change.
bool allHandlesUnique(db::Database& d, const std::vector<db::Handle*>& tableHandles, db::Handle previous) {
  const std::size_t n = d.entitySlotCount();
  std::vector<db::Handle> tables;
  tables.reserve(tableHandles.size());
  for (const db::Handle* h : tableHandles) tables.push_back(*h);
  std::sort(tables.begin(), tables.end());
  for (std::size_t i = 0; i < tables.size(); ++i) {
    if (tables[i] == 0 || (i > 0 && tables[i] == tables[i - 1])) return false;
    // Is it an entity's handle? Binary search the rising entity handles.
    std::size_t lo = 0, hi = n;
    while (lo < hi) {
      const std::size_t mid = lo + (hi - lo) / 2;
      const db::Handle h = d.entity(db::ObjectId{static_cast<std::uint32_t>(mid)})->handle();
      if (h == tables[i]) return false;
      if (h < tables[i]) lo = mid + 1;
      else hi = mid;
    }
  }
  const db::Handle highest = std::max(previous, tables.empty() ? 0 : tables.back());
  if (highest != 0) d.noteHandle(highest);
  return true;
}

// The layers and linetypes the entities name, each once, in the order first named.
struct NamesUsed {
  std::vector<bool> layerSeen, linetypeSeen;
  std::vector<std::pair<db::NameId, bool>> inOrder;  // (name, is a layer)

  void use(db::NameId layer, db::NameId linetype) {
    add(layer, layerSeen, true);
    add(linetype, linetypeSeen, false);
  }
  void add(db::NameId id, std::vector<bool>& seen, bool isLayer) {
    if (id.index >= seen.size()) seen.resize(id.index + 1, false);
    if (seen[id.index]) return;
    seen[id.index] = true;
    inOrder.emplace_back(id, isLayer);
  }
};

// Gives a new handle to every object whose handle is missing or already taken; notes the
// names the entities use on the way (one walk over a large drawing's many megabytes).
void makeHandlesUnique(ReadContext& ctx, NamesUsed& names) {
  db::Database& d = ctx.db;
  std::vector<db::Handle*> tableHandles;  // handles held outside the entity store
  for (std::uint32_t i = 0; i < d.blockCount(); ++i) {
    db::BlockDefinition& b = d.editBlock(db::BlockId{i});
    tableHandles.insert(tableHandles.end(), {&b.recordHandle, &b.beginHandle, &b.endHandle});
  }
  auto addTable = [&](auto& table) {
    tableHandles.push_back(&table.handle);
    for (std::size_t i = 0; i < table.size(); ++i) tableHandles.push_back(&table[i].handle);
  };
  addTable(d.layers());
  addTable(d.linetypes());
  addTable(d.textStyles());
  for (int k = 0; k < db::kKeptTableCount; ++k) addTable(d.keptTable(static_cast<db::KeptTable>(k)));
  tableHandles.push_back(&d.blockRecordTableHandle);
  // One walk over the entities: the names they use, whether their handles rise, and the
  // handles of old-style polylines' vertices and SEQENDs, which are entities of the file
  // of their own.
  bool rising = true;
  db::Handle previous = 0;
  for (std::uint32_t i = 0; i < d.entitySlotCount(); ++i) {
    const db::Entity& e = *d.entity(db::ObjectId{i});
    if (e.kind() != db::EntityKind::unknown) {
      names.use(e.layer, e.linetype);
      if (const auto* p = e.as<db::HeavyPolyline>()) {
        for (const db::HeavyVertex& v : p->vertices) names.use(v.common.layer, v.common.linetype);
        names.use(p->seqend.layer, p->seqend.linetype);
      }
    }
    if (e.isErased()) continue;  // an entity read and left out (Database::appendRun)
    rising = rising && e.handle() > previous;
    previous = e.handle();
    if (e.kind() == db::EntityKind::heavyPolyline)
      for (db::Handle* h : d.subHandles(db::ObjectId{i})) tableHandles.push_back(h);
  }

  if (rising && allHandlesUnique(d, tableHandles, previous)) return;

  // (handle, who): who < 0 is an index into tableHandles, else an entity index.
  std::vector<std::pair<db::Handle, std::int64_t>> all;
  all.reserve(d.entitySlotCount() + tableHandles.size());
  for (std::size_t i = 0; i < tableHandles.size(); ++i)
    all.emplace_back(*tableHandles[i], -static_cast<std::int64_t>(i) - 1);
  for (std::uint32_t i = 0; i < d.entitySlotCount(); ++i)
    if (const db::Entity* e = d.entity(db::ObjectId{i}); !e->isErased()) all.emplace_back(e->handle(), i);
  std::sort(all.begin(), all.end());
  // New handles come from above every handle in use: table records do not
  // raise the next handle as they are read, and must not be given theirs twice.
  if (!all.empty()) d.noteHandle(all.back().first);
  std::size_t renamed = 0;
  for (std::size_t i = 0; i < all.size(); ++i) {
    const bool taken = all[i].first != 0 && i > 0 && all[i].first == all[i - 1].first;
    if (all[i].first != 0 && !taken) continue;
    if (taken) ++renamed;
    const db::Handle fresh = d.newHandle();
    if (all[i].second < 0) {
      *tableHandles[static_cast<std::size_t>(-all[i].second - 1)] = fresh;
      d.noteHandleInUse(fresh);  // a vertex's, or a record's
    } else {
      d.assignHandle(db::ObjectId{static_cast<std::uint32_t>(all[i].second)}, fresh);
    }
  }
  if (renamed) ctx.note(0, std::to_string(renamed) + " 个对象的句柄与其他对象重复，已换新句柄");
}

}  // namespace

void finishDrawing(ReadContext& ctx) {
  db::Database& d = ctx.db;
  // Every block is known now: sections may come in any order.
  for (auto& [entity, owner] : std::exchange(ctx.deferred, {}))
    placeEntity(ctx, std::move(entity), owner, true);
  d.trimStorage();
  NamesUsed used;
  makeHandlesUnique(ctx, used);
  d.ensureRequiredContent();
  // Reading gave handles to blocks before their own were read: count only those in use.
  d.setHandseed(std::max(ctx.fileSeed, ctx.highestKept + 1));
  repairReadDrawing(ctx);

  // Every layer and linetype that something names must be in its table.
  auto ensureLinetype = [&](const std::string& name) {
    if (d.hasLinetype(name)) return;
    ctx.note(0, "线型“" + name + "”被使用但未定义，已添加为实线");
    db::Linetype lt;
    lt.name = name;
    d.addLinetype(std::move(lt));
  };
  auto ensureLayer = [&](const std::string& name) {
    if (d.layers().find(name)) return;
    ctx.note(0, "图层“" + name + "”被使用但未定义，已添加");
    db::Layer layer;
    layer.name = name;
    d.addLayer(std::move(layer));
  };
  for (std::size_t i = 0; i < d.layers().size(); ++i) ensureLinetype(d.layers()[i].linetype);
  for (std::uint32_t i = 0; i < d.blockCount(); ++i) ensureLayer(d.block(db::BlockId{i}).layer);
  for (auto [id, isLayer] : used.inOrder) {
    const std::string name(d.name(id));
    if (isLayer) ensureLayer(name);
    else ensureLinetype(name);
  }
  renameUnacceptedNames(ctx);
}

}  // namespace orv::dxf
