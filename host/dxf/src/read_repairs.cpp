// Repairs made once a file is read, so that what is saved holds together: owners of kept entities, names they use, R12 arrow blocks.
//
// Contents: what kept tags say; owners of attributes, vertices and the rest; names of
// layers, linetypes, text and dimension styles; arrow blocks of R12 dimension styles;
// owners of objects kept as read.
#include <optional>
#include <string>
#include <cctype>
#include <climits>
#include <cstdint>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "read_context.h"

namespace orv::dxf {

namespace {

using db::forEachDataTag;

// The owner the writer takes from kept tags: a 330 first after the application data.
std::optional<db::Handle> keptOwner(const db::RawTags& tags) {
  bool inGroup = false;
  for (db::RawTag t : tags) {
    if (t.code == 102) {
      inGroup = !t.value.empty() && t.value.front() == '{';
      continue;
    }
    if (inGroup) continue;
    std::uint64_t h = 0;
    if (t.code == 330 && parseHandle(t.value, h)) return h;
    return std::nullopt;
  }
  return std::nullopt;
}

// The tags with the owner set: the kept one replaced, or one put where it belongs; with
// `owner` 0 the kept one is taken out (the writer then writes the block's).
db::RawTags withOwner(const db::RawTags& tags, db::Handle owner) {
  db::RawTags out;
  bool inGroup = false, done = false;
  const std::string value = owner ? formatHandle(owner) : std::string();
  for (db::RawTag t : tags) {
    if (!done && !inGroup && t.code != 102) {
      done = true;
      const bool isOwner = t.code == 330;
      if (owner) out.add(330, value, t.slot);
      if (isOwner) continue;
    }
    if (t.code == 102) inGroup = !t.value.empty() && t.value.front() == '{';
    out.add(t.code, t.value, t.slot);
  }
  if (!done && owner) out.add(330, value);
  return out;
}

enum class Part { none, attribute, vertex, end, parentWithAttributes, polyline };

Part partOf(std::string_view type) {
  if (type == "ATTRIB") return Part::attribute;
  if (type == "VERTEX") return Part::vertex;
  if (type == "SEQEND") return Part::end;
  if (type == "POLYLINE") return Part::polyline;
  if (type == "INSERT") return Part::parentWithAttributes;
  return Part::none;
}

std::string handleText(db::Handle h) { return formatHandle(h); }

// Attributes and their SEQEND are owned by the reference before them; vertices and their
// SEQEND by the POLYLINE; everything else by its block. Kept tags that say otherwise
// (a writer's mistake, or a handle renamed because it was taken) are set right.
void repairOwners(ReadContext& ctx) {
  db::Database& d = ctx.db;
  std::size_t repaired = 0;
  for (std::uint32_t b = 0; b < d.blockCount(); ++b) {
    const db::BlockDefinition& block = d.block(db::BlockId{b});
    if (block.removed) continue;
    db::Handle parent = 0;
    Part parentKind = Part::none;
    const std::vector<db::ObjectId> ids = block.entities;
    for (db::ObjectId id : ids) {
      const db::Entity* e = d.entity(id);
      if (!e) continue;
      const auto* kept = e->as<db::UnknownEntity>();
      if (!kept) {
        // Text is written owned by the reference before it (an attribute) or by its block:
        // an owner read that says otherwise is said so.
        if (const auto* text = e->as<db::Text>()) {
          const bool attribute = text->type == db::Text::Type::attrib;
          const db::Handle expected = attribute && parentKind == Part::parentWithAttributes ? parent : block.recordHandle;
          db::Handle read = 0;
          if (const db::RawTags* x = d.entityExtras(id); x && x->hasSlot(slot::readOwner))
            for (db::RawTag t : *x)
              if (t.slot == slot::readOwner && parseHandle(t.value, read) && read != expected && expected != 0 &&
                  ++repaired <= 5)
                ctx.note(0, std::string(attribute ? "ATTRIB" : text->type == db::Text::Type::attdef ? "ATTDEF" : "TEXT") +
                                "（句柄 " + handleText(e->handle()) + "）的所有者句柄 " + handleText(read) + " 不对，已改为 " +
                                (attribute && expected == parent ? handleText(expected) : "所在块的 " + handleText(expected)));
          if (attribute) continue;
          parent = 0;
          parentKind = Part::none;
          continue;
        }
        const bool reference = e->kind() == db::EntityKind::blockReference;
        parent = reference ? e->handle() : 0;
        parentKind = reference ? Part::parentWithAttributes : Part::none;
        continue;
      }
      const std::string_view typeName = d.name(kept->type);
      const Part part = partOf(typeName);
      db::Handle expected = 0;  // 0: the block's record, written anew
      if (part == Part::attribute && parentKind == Part::parentWithAttributes) expected = parent;
      else if (part == Part::vertex && parentKind == Part::polyline) expected = parent;
      else if (part == Part::end && parentKind != Part::none) expected = parent;
      const std::optional<db::Handle> owner = keptOwner(kept->tags);
      const db::Handle recordHandle = block.recordHandle;
      const bool right = expected ? owner == expected : (!owner || *owner == recordHandle);
      if (!right) {
        db::RawTags tags = withOwner(kept->tags, expected);
        // Without the kept owner, another 330 after it (past a stray 102) would come
        // forward as the owner: the block's is then put in its place.
        if (!expected && recordHandle && keptOwner(tags)) tags = withOwner(kept->tags, recordHandle);
        db::UnknownEntity fixed{kept->type, std::move(tags)};
        const std::string was = owner ? handleText(*owner) : std::string("无");
        const db::Handle own = e->handle();
        // A file without owners (R12) is no damage: their owners are written as they
        // must be, without a word.
        if (d.replace(id, db::Entity(std::move(fixed))) == db::Status::ok && owner && ++repaired <= 5)
          ctx.note(0, std::string(typeName) + "（句柄 " + handleText(own) +
                          "）的所有者句柄 " + was + " 不对，已改为 " +
                          (expected ? handleText(expected) : "所在块的 " + handleText(recordHandle)));
      }
      if (part == Part::polyline || part == Part::parentWithAttributes) {
        parent = d.entity(id)->handle();
        parentKind = part;
      } else if (part == Part::end || (part == Part::none)) {
        parent = 0;
        parentKind = Part::none;
      }
    }
  }
  if (repaired > 5) ctx.note(0, "另有 " + std::to_string(repaired - 5) + " 个实体的所有者句柄已改正");
}

bool isTextType(std::string_view t) { return t == "TEXT" || t == "MTEXT" || t == "ATTRIB" || t == "ATTDEF"; }
bool usesDimensionStyle(std::string_view t) { return t == "DIMENSION" || t == "LEADER" || t == "TOLERANCE"; }

// Layers, linetypes, text styles and dimension styles that kept entities name and the
// tables lack are added, so that every reader finds them.
void addNamesKeptEntitiesUse(ReadContext& ctx) {
  db::Database& d = ctx.db;
  std::unordered_set<std::string> seen;
  for (std::uint32_t i = 0; i < d.entitySlotCount(); ++i) {
    const db::Entity& e = *d.entity(db::ObjectId{i});
    const auto* dim = e.as<db::Dimension>();
    const auto* leader = e.as<db::Leader>();
    const std::string* dimensionStyle = dim ? &dim->style : leader ? &leader->style : nullptr;
    if (dimensionStyle && !e.isErased() && !dimensionStyle->empty() &&
        !d.keptTable(db::KeptTable::dimstyle).find(*dimensionStyle) &&
        seen.insert("D" + db::foldName(*dimensionStyle)).second) {
      ctx.note(0, "标注样式“" + *dimensionStyle + "”被使用但未定义，已添加");
      db::SymbolRecord style;
      style.name = *dimensionStyle;
      style.handle = d.newHandle();
      d.keptTable(db::KeptTable::dimstyle).add(std::move(style));
    }
    const auto* oneLine = e.as<db::Text>();
    const auto* mtext = e.as<db::MText>();
    const std::optional<std::string_view> styleName = oneLine ? std::optional(oneLine->style.view())
                                                      : mtext ? std::optional<std::string_view>(mtext->style)
                                                              : std::nullopt;
    if (styleName && !e.isErased() && !styleName->empty() && !d.textStyles().find(*styleName) &&
        seen.insert("S" + db::foldName(*styleName)).second) {
      ctx.note(0, "文字样式“" + std::string(*styleName) + "”被使用但未定义，已按 txt 字体添加");
      db::TextStyle style;
      style.name = *styleName;
      style.handle = d.newHandle();
      d.textStyles().add(std::move(style));
    }
    const auto* kept = e.as<db::UnknownEntity>();
    if (!kept || e.isErased()) continue;
    const std::string_view type = d.name(kept->type);
    const bool text = isTextType(type), dimension = usesDimensionStyle(type);
    forEachDataTag(kept->tags, [&](int code, std::string_view value) {
      if (value.empty()) return;
      char table = 0;
      if (code == 8) table = 'L';
      else if (code == 6) table = 'T';
      else if (code == 7 && text) table = 'S';
      else if (code == 3 && dimension) table = 'D';
      if (!table || !seen.insert(std::string(1, table) + db::foldName(value)).second) return;
      const std::string name(value);
      if (table == 'L' && !d.layers().find(name)) {
        ctx.note(0, "图层“" + name + "”被使用但未定义，已添加");
        db::Layer layer;
        layer.name = name;
        d.addLayer(std::move(layer));
      } else if (table == 'T' && !d.hasLinetype(name)) {
        ctx.note(0, "线型“" + name + "”被使用但未定义，已添加为实线");
        db::Linetype lt;
        lt.name = name;
        d.addLinetype(std::move(lt));
      } else if (table == 'S' && !d.textStyles().find(name)) {
        ctx.note(0, "文字样式“" + name + "”被使用但未定义，已按 txt 字体添加");
        db::TextStyle style;
        style.name = name;
        style.handle = d.newHandle();
        d.textStyles().add(std::move(style));
      } else if (table == 'D' && !d.keptTable(db::KeptTable::dimstyle).find(name)) {
        ctx.note(0, "标注样式“" + name + "”被使用但未定义，已添加");
        db::SymbolRecord style;
        style.name = name;
        style.handle = d.newHandle();
        d.keptTable(db::KeptTable::dimstyle).add(std::move(style));
      }
    });
  }
}

// R12 dimension styles name their arrow blocks (5, 6, 7); later releases point at the
// blocks' records (342, 343, 344), and read the names no more. Names of blocks the
// drawing holds become pointers; names of no block are left out, with a finding.
void linkArrowBlocks(ReadContext& ctx) {
  db::Database& d = ctx.db;
  auto& table = d.keptTable(db::KeptTable::dimstyle);
  for (std::size_t i = 0; i < table.size(); ++i) {
    db::SymbolRecord& r = table[i];
    bool hasPointers = false, hasNames = false;
    for (db::RawTag t : r.extras) {
      if (t.slot != slot::common) continue;
      hasPointers = hasPointers || (t.code >= 342 && t.code <= 344);
      hasNames = hasNames || ((t.code == 5 || t.code == 6 || t.code == 7) && !t.value.empty());
    }
    if (!hasNames || hasPointers) continue;
    db::RawTags out, pointers;
    for (db::RawTag t : r.extras) {
      if (t.slot == slot::common && (t.code == 5 || t.code == 6 || t.code == 7) && !t.value.empty()) {
        std::optional<db::BlockId> block = d.findBlock(t.value);
        if (!block && t.value.front() != '_') block = d.findBlock("_" + std::string(t.value));
        if (block && d.block(*block).recordHandle != 0) {
          pointers.add(t.code == 5 ? 342 : t.code == 6 ? 343 : 344, formatHandle(d.block(*block).recordHandle),
                       slot::common);
          continue;
        }
        // A name of nothing: the default arrowhead is drawn, and saving leaves it out.
        ctx.note(0, "标注样式“" + r.name + "”的箭头块“" + std::string(t.value) + "”在图形中没有定义，已改用默认箭头");
        continue;
      }
      out.add(t.code, t.value, t.slot);
    }
    // The pointers go with the entry's other tags, before its extended data.
    db::RawTags merged;
    bool placed = false;
    for (db::RawTag t : out) {
      if (!placed && t.slot == slot::xdata) {
        merged.append(pointers);
        placed = true;
      }
      merged.add(t.code, t.value, t.slot);
    }
    if (!placed) merged.append(pointers);
    r.extras = std::move(merged);
  }
}

// Of the handles asked about, those the saved file will hold outside OBJECTS. A drawing
// may hold a million entities and its objects name a few dozen of them: the walk over
// everything keeps only the few, rather than a set of every handle.
std::unordered_set<db::Handle> handlesInUse(const db::Database& d, const std::unordered_set<db::Handle>& asked) {
  std::unordered_set<db::Handle> in;
  if (asked.empty()) return in;
  auto see = [&](db::Handle h) {
    if (asked.count(h)) in.insert(h);
  };
  for (std::uint32_t i = 0; i < d.entitySlotCount(); ++i) {
    const db::Entity& e = *d.entity(db::ObjectId{i});
    if (e.isErased()) continue;
    see(e.handle());
    if (const auto* p = e.as<db::HeavyPolyline>()) {
      for (const db::HeavyVertex& v : p->vertices) see(v.common.handle);
      see(p->seqend.handle);
    }
  }
  for (std::uint32_t b = 0; b < d.blockCount(); ++b) {
    const db::BlockDefinition& block = d.block(db::BlockId{b});
    if (block.removed) continue;
    see(block.recordHandle), see(block.beginHandle), see(block.endHandle);
  }
  auto table = [&](const auto& t) {
    see(t.handle);
    for (const auto& r : t) see(r.handle);
  };
  table(d.layers());
  table(d.linetypes());
  table(d.textStyles());
  for (int k = 0; k < db::kKeptTableCount; ++k) table(d.keptTable(static_cast<db::KeptTable>(k)));
  see(d.blockRecordTableHandle);
  return in;
}

// One object of the OBJECTS section as kept: where its tags are, and what they say.
struct KeptObject {
  std::string type;
  db::Handle handle = 0;
  std::size_t begin = 0, end = 0;      // its tags
  std::size_t owner = SIZE_MAX;        // its owner tag (330 before any subclass marker)
  std::size_t firstSubclass = SIZE_MAX;  // its first 100
  // Where an owner it lacks goes: after its handle and the application groups that
  // follow it (readers look for the owner there, not in a group left open).
  std::size_t ownerPlace = SIZE_MAX;
  // A dictionary's entries: the key tag (3) and the handle tag (350 or 360) after it.
  std::vector<std::pair<std::size_t, std::size_t>> entries;
};

std::vector<KeptObject> keptObjects(const std::vector<db::RawTag>& tags) {
  std::vector<KeptObject> out;
  bool inGroup = false;
  std::size_t key = SIZE_MAX;
  bool placeFollows = false;  // only application groups since the handle
  std::size_t i = 0;
  for (db::RawTag t : tags) {
    if (t.code == 0) {
      if (!out.empty()) out.back().end = i;
      out.emplace_back();
      out.back().type = std::string(t.value);
      out.back().begin = i;
      inGroup = placeFollows = false;
      key = SIZE_MAX;
    } else if (!out.empty()) {
      KeptObject& o = out.back();
      std::uint64_t h = 0;
      if (t.code == 102) {
        inGroup = !t.value.empty() && t.value.front() == '{';
        if (!inGroup && placeFollows) o.ownerPlace = i + 1;
      } else if (inGroup) {
      } else if (t.code == 5 && o.handle == 0 && parseHandle(t.value, h)) {
        o.handle = h;
        o.ownerPlace = i + 1;
        placeFollows = true;
        ++i;
        continue;
      } else if (t.code == 100 && o.firstSubclass == SIZE_MAX) {
        o.firstSubclass = i;
      } else if (t.code == 330 && o.owner == SIZE_MAX && o.firstSubclass == SIZE_MAX) {
        o.owner = i;
      } else if ((o.type == "DICTIONARY" || o.type == "ACDBDICTIONARYWDFLT") && t.code == 3) {
        key = i;
      } else if ((o.type == "DICTIONARY" || o.type == "ACDBDICTIONARYWDFLT") && (t.code == 350 || t.code == 360) &&
                 key != SIZE_MAX) {
        o.entries.emplace_back(key, i);
        key = SIZE_MAX;
      }
      if (t.code != 102 && !inGroup) placeFollows = false;
    }
    ++i;
  }
  if (!out.empty()) out.back().end = i;
  return out;
}

// Objects of the OBJECTS section kept as read get the owners readers check: the root
// dictionary none ("0"); an entry of a dictionary that dictionary; any other object an
// owner the file holds (else the root dictionary). Dictionary entries that point at
// nothing the file holds are taken out.
void repairObjectOwners(ReadContext& ctx) {
  db::Database& d = ctx.db;
  if (d.objects.empty()) return;
  const std::vector<db::RawTag> tags(d.objects.begin(), d.objects.end());
  const std::vector<KeptObject> objects = keptObjects(tags);
  if (objects.empty() || objects.front().handle == 0) return;
  const db::Handle root = objects.front().handle;  // the first object is the root dictionary
  auto tagAt = [&](std::size_t i) { return tags[i]; };
  // The handles the objects name (dictionary entries and owners), and whether each is there.
  std::unordered_set<db::Handle> named;
  for (const KeptObject& o : objects) {
    std::uint64_t h = 0;
    for (auto [key, value] : o.entries)
      if (parseHandle(tagAt(value).value, h)) named.insert(h);
    if (o.owner != SIZE_MAX && parseHandle(tagAt(o.owner).value, h)) named.insert(h);
  }
  // Mostly objects name objects (and the root dictionary no owner, 0): only the others are
  // looked for among the entities and tables.
  named.erase(0);
  for (const KeptObject& o : objects) named.erase(o.handle);
  std::unordered_set<db::Handle> known = handlesInUse(d, named);
  for (const KeptObject& o : objects) known.insert(o.handle);

  std::unordered_map<db::Handle, db::Handle> dictionaryOf;  // the first dictionary naming an object
  std::vector<bool> dropped(tags.size(), false);
  std::size_t droppedEntries = 0, repaired = 0;
  for (const KeptObject& o : objects) {
    for (auto [key, value] : o.entries) {
      std::uint64_t h = 0;
      if (parseHandle(tagAt(value).value, h) && known.count(h)) {
        dictionaryOf.emplace(h, o.handle);
        continue;
      }
      dropped[key] = dropped[value] = true;
      if (++droppedEntries <= 5)
        ctx.note(0, "字典（句柄 " + formatHandle(o.handle) + "）的条目“" + std::string(tagAt(key).value) +
                        "”指向不存在的对象 " + std::string(tagAt(value).value) + "，已删除");
    }
  }
  if (droppedEntries > 5) ctx.note(0, "另有 " + std::to_string(droppedEntries - 5) + " 个字典条目指向不存在的对象，已删除");

  // The owner each object gets, where it must change: by the index of its owner tag, or
  // of the tag before which one is put.
  std::unordered_map<std::size_t, std::string> ownerAt, ownerBefore;
  for (const KeptObject& o : objects) {
    std::string expected, said;
    if (o.handle == root) {
      expected = "0";
    } else if (auto it = dictionaryOf.find(o.handle); it != dictionaryOf.end()) {
      expected = formatHandle(it->second);
    } else {
      std::uint64_t h = 0;
      const bool valid = o.owner != SIZE_MAX && parseHandle(tagAt(o.owner).value, h) && h != 0 && known.count(h);
      if (valid || o.owner == SIZE_MAX) continue;  // without an owner: as before
      expected = formatHandle(root);
      said = " 不存在，已改为根字典 " + expected;
    }
    std::uint64_t now = 0;
    const bool same = o.owner != SIZE_MAX && (tagAt(o.owner).value == expected ||
                                              (parseHandle(tagAt(o.owner).value, now) && formatHandle(now) == expected));
    if (same) continue;
    if (++repaired <= 5)
      ctx.note(0, "对象 " + o.type + "（句柄 " + formatHandle(o.handle) + "）的所有者句柄 " +
                      (o.owner != SIZE_MAX ? std::string(tagAt(o.owner).value) : std::string("无")) +
                      (said.empty() ? " 不对，已改为 " + expected : said));
    if (o.owner != SIZE_MAX) {
      ownerAt[o.owner] = expected;
    } else {
      const std::size_t before = o.firstSubclass != SIZE_MAX ? o.firstSubclass
                                 : o.ownerPlace != SIZE_MAX  ? o.ownerPlace
                                                             : o.end;
      ownerBefore[before] = expected;
    }
  }
  if (repaired > 5) ctx.note(0, "另有 " + std::to_string(repaired - 5) + " 个对象的所有者句柄已改正");
  if (!repaired && !droppedEntries) return;

  db::RawTags out;
  std::size_t i = 0;
  for (db::RawTag t : tags) {
    if (auto it = ownerBefore.find(i); it != ownerBefore.end()) out.add(330, it->second, t.slot);
    if (auto it = ownerAt.find(i); it != ownerAt.end())
      out.add(330, it->second, t.slot);
    else if (!dropped[i])
      out.add(t.code, t.value, t.slot);
    ++i;
  }
  if (auto it = ownerBefore.find(i); it != ownerBefore.end()) out.add(330, it->second);
  d.objects = std::move(out);
}

}  // namespace

void repairReadDrawing(ReadContext& ctx) {
  // Only entities kept as tags and text carry owners and names of their own.
  if (ctx.keptEntities > 0 || ctx.textEntities > 0) {
    repairOwners(ctx);
    addNamesKeptEntitiesUse(ctx);
  }
  linkArrowBlocks(ctx);
  repairObjectOwners(ctx);
}

}  // namespace orv::dxf
