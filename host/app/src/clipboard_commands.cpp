// COPYCLIP, CUTCLIP and PASTECLIP: the selection put on the clipboard as a whole small
// DXF drawing (its entities, with the blocks, layers, linetypes and styles they use, the
// lower left corner of their extents as its $INSBASE), and such a drawing pasted at a
// point, following the cursor until then. The same copying brings entities into the
// clipboard's drawing and out of it into this one.
//
// Sections: the clipboard; groups and names brought over; the commands.
#include "clipboard_commands.h"

#include <algorithm>
#include <string>
#include <vector>

#include "orv/core/editor.h"
#include "orv/core/shapes.h"
#include "orv/core/transform.h"
#include "orv/dxf/reader.h"
#include "orv/dxf/writer.h"
#include "window_commands.h"

namespace orv::app {

// ---- the clipboard

namespace {

// Where COPYCLIP puts its drawing when no presentation offers a clipboard (a script):
// the process's own.
class ProcessClipboard final : public Clipboard {
 public:
  void put(const std::string& dxf) override { text_ = dxf; }
  std::optional<std::string> text() override {
    if (text_.empty()) return std::nullopt;
    return text_;
  }

 private:
  std::string text_;
};

ProcessClipboard& processClipboard() {
  static ProcessClipboard c;
  return c;
}

Clipboard* bound = nullptr;

Clipboard& clipboard() { return bound ? *bound : processClipboard(); }

}  // namespace

void setClipboard(Clipboard* c) { bound = c; }
Clipboard* currentClipboard() { return bound; }

// ---- groups and names brought over

namespace {

using Group = std::vector<db::ObjectId>;  // an owner, then what it owns

bool isAnonymous(std::string_view name) { return !name.empty() && name.front() == '*'; }

// What a kept entity names in its own tags (neither application data nor extended
// data): its linetype (6), text style (7) or dimension style (3).
std::optional<std::string> keptTagValue(const db::UnknownEntity& k, int code) {
  bool inGroup = false;
  for (db::RawTag t : k.tags) {
    if (t.code >= 1000) break;
    if (t.code == 102) inGroup = !t.value.empty() && t.value.front() == '{';
    else if (!inGroup && t.code == code) return std::string(t.value);
  }
  return std::nullopt;
}

class Bringer {
 public:
  Bringer(db::Database& to, const db::Database& from) : to_(to), from_(from) {}

  // The entity of `from` as `to` holds it: names interned there, the block it references
  // mapped by name (nullopt when `to` has no such block yet and `merge` is false).
  std::optional<db::Entity> translated(db::Entity e, bool merge) {
    const std::string layer(core::layerOf(from_, e));
    const std::string linetype(from_.name(e.linetype));
    if (merge && (!ensureLayer(layer) || !ensureLinetype(linetype))) return std::nullopt;
    e.layer = to_.intern(layer);
    e.linetype = to_.intern(linetype);
    if (auto* ref = e.as<db::BlockReference>()) {
      const auto block = blockHere(from_.block(ref->block).name, merge);
      if (!block) return std::nullopt;
      ref->block = *block;
    }
    if (const auto* dim = e.as<db::Dimension>(); dim && merge) {
      if (!dim->style.empty()) ensureKept(db::KeptTable::dimstyle, dim->style);
      if (const auto picture = core::drawnBlock(from_, e); picture && !blockHere(from_.block(*picture).name, true))
        return std::nullopt;
    }
    if (const auto* t = e.as<db::Text>(); t && merge) ensureStyle(t->style.str());
    if (const auto* mt = e.as<db::MText>(); mt && merge) ensureStyle(mt->style);
    if (const auto* leader = e.as<db::Leader>(); leader && merge && !leader->style.empty())
      ensureKept(db::KeptTable::dimstyle, leader->style);
    if (auto* k = e.as<db::UnknownEntity>()) {
      const std::string type(from_.name(k->type));
      if (merge) {
        if (const auto lt = keptTagValue(*k, 6); lt && !ensureLinetype(*lt)) return std::nullopt;
        if (type == "DIMENSION") {
          if (const auto style = keptTagValue(*k, 3)) ensureKept(db::KeptTable::dimstyle, *style);
        } else if (const auto style = keptTagValue(*k, 7)) {
          ensureStyle(*style);
        }
        if (const auto picture = core::drawnBlock(from_, e); picture && !blockHere(from_.block(*picture).name, true))
          return std::nullopt;
      }
      k->type = to_.intern(type);
      k->tags = core::tagsForCopy(k->tags);
    }
    return e;
  }

  // Each group moved by `map` into model space of `to`; what was made goes to `made`.
  // Groups that cannot be brought are counted and why said once in `why`.
  std::size_t bring(const std::vector<Group>& groups, const core::Affine2& map, std::vector<db::ObjectId>& made,
                    std::string& why) {
    // A handle of the other drawing names the copy of that object here, or nothing.
    const db::CopyScope copies(to_);
    std::size_t refused = 0;
    for (const Group& g : groups) {
      std::vector<std::pair<db::Entity, db::RawTags>> planned;
      bool ok = true;
      for (std::size_t i = 0; i < g.size() && ok; ++i) {
        auto moved = core::transformEntity(from_, g[i], map, i == 0 ? db::ObjectId{} : g[0]);
        if (auto* reason = std::get_if<std::string>(&moved)) {
          why = core::kindName(from_, *from_.entity(g[i])) + "：" + *reason;
          ok = false;
          break;
        }
        auto here = translated(std::get<db::Entity>(std::move(moved)), true);
        if (!here) {
          why = "无法带入它所用的图层、线型或块";
          ok = false;
          break;
        }
        const db::RawTags* extras = from_.entityExtras(g[i]);
        planned.emplace_back(std::move(*here), extras ? core::tagsForCopy(*extras) : db::RawTags{});
      }
      if (!ok) {
        ++refused;
        continue;
      }
      db::Handle owner = 0;
      for (std::size_t i = 0; i < planned.size(); ++i) {
        auto& [e, extras] = planned[i];
        if (i > 0 && owner != 0) {
          if (auto* k = e.as<db::UnknownEntity>()) k->tags = core::withOwner(k->tags, owner);
          extras = core::withOwner(extras, owner);
        }
        auto added = to_.appendRead(std::move(e), to_.modelSpace(), 0, std::move(extras));
        if (!added) {
          why = "新值无效";
          ++refused;
          break;
        }
        if (i == 0) owner = to_.entity(*added)->handle();
        made.push_back(*added);
      }
    }
    return refused;
  }

 private:
  std::optional<db::BlockId> blockHere(const std::string& name, bool merge) {
    if (const auto here = to_.findBlock(name)) return here;
    if (!merge) return std::nullopt;
    auto merged = to_.mergeBlock(from_, name);
    if (!merged) return std::nullopt;
    return *merged;
  }

  bool ensureLinetype(const std::string& name) {
    if (name.empty() || to_.hasLinetype(name)) return true;
    const db::Linetype* there = from_.linetypes().get(name);
    if (!there) return true;  // named but not defined where it comes from: left as it was
    db::Linetype lt = *there;
    lt.handle = 0;
    lt.extras.clear();
    return to_.addLinetype(std::move(lt)).status() == db::Status::ok;
  }

  bool ensureLayer(const std::string& name) {
    if (to_.layers().find(name)) return true;
    db::Layer layer;
    if (const db::Layer* there = from_.layers().get(name)) layer = *there;
    layer.name = name;
    layer.handle = 0;
    layer.extras.clear();
    if (!to_.hasLinetype(layer.linetype) && !ensureLinetype(layer.linetype)) return false;
    if (!to_.hasLinetype(layer.linetype)) layer.linetype = "Continuous";
    return to_.addLayer(std::move(layer)).status() == db::Status::ok;
  }

  // Text and dimension styles have no step of UNDO of their own: one added stays after an
  // UNDO, unused, as a purgeable style does.
  void ensureStyle(const std::string& name) {
    if (name.empty() || to_.textStyles().find(name)) return;
    const db::TextStyle* there = from_.textStyles().get(name);
    if (!there) return;
    db::TextStyle style = *there;
    style.handle = to_.newHandle();
    style.extras = core::tagsForCopy(style.extras);
    to_.textStyles().add(std::move(style));
  }
  void ensureKept(db::KeptTable table, const std::string& name) {
    if (name.empty() || to_.keptTable(table).find(name)) return;
    const db::SymbolRecord* there = from_.keptTable(table).get(name);
    if (!there) return;
    db::SymbolRecord record = *there;
    record.handle = to_.newHandle();
    record.extras = core::tagsForCopy(record.extras);
    to_.keptTable(table).add(std::move(record));
  }

  db::Database& to_;
  const db::Database& from_;
};

// The groups of model space of a drawing, in creation order.
std::vector<Group> groupsOf(core::SpatialIndex& index, const std::vector<db::ObjectId>& owners) {
  std::vector<Group> groups;
  for (db::ObjectId id : owners) groups.push_back(index.group(index.ownerOf(id)));
  return groups;
}

// Anonymous blocks that model space references by a name `here` holds too (a dimension's
// picture "*D3", say) get a copy under a fresh name, so that they do not take `here`'s.
bool freshAnonymousBlocks(const db::Database& here, db::Database& source) {
  std::vector<db::ObjectId> refs;
  source.forEachEntity(source.modelSpace(), [&](db::ObjectId id, const db::Entity& e) {
    const db::BlockReference* r = e.as<db::BlockReference>();
    const std::optional<db::BlockId> drawn = r ? std::optional(r->block) : core::drawnBlock(source, e);
    if (drawn && isAnonymous(source.block(*drawn).name) && here.findBlock(source.block(*drawn).name)) refs.push_back(id);
  });
  std::size_t n = 0;
  for (db::ObjectId id : refs) {
    db::Entity e = *source.entity(id);
    auto* r = e.as<db::BlockReference>();
    const db::BlockId old = r ? r->block : *core::drawnBlock(source, e);
    const std::string prefix = source.block(old).name.substr(0, 2);
    std::string name;
    do name = prefix + "C" + std::to_string(n++);
    while (here.findBlock(name) || source.findBlock(name));
    auto copy = source.addBlock(name, source.block(old).base);
    if (!copy) return false;
    source.editBlock(*copy).flags = source.block(old).flags;
    source.editBlock(*copy).layer = source.block(old).layer;
    std::vector<std::pair<db::Entity, db::RawTags>> contents;
    source.forEachEntity(old, [&](db::ObjectId inner, const db::Entity& x) {
      const db::RawTags* extras = source.entityExtras(inner);
      db::Entity c = x;
      if (auto* k = c.as<db::UnknownEntity>()) k->tags = core::tagsForCopy(k->tags);
      contents.emplace_back(std::move(c), extras ? core::tagsForCopy(*extras) : db::RawTags{});
    });
    for (auto& [c, extras] : contents)
      if (!source.appendRead(std::move(c), *copy, 0, std::move(extras))) return false;
    if (r) {
      r->block = *copy;
    } else {
      e.as<db::Dimension>()->block = name;
    }
    if (source.replace(id, std::move(e)) != db::Status::ok) return false;
  }
  return true;
}

}  // namespace

std::optional<std::string> clipboardDrawing(const db::Database& d, core::SpatialIndex& index,
                                            const core::SelectionSet& set, std::string& why) {
  db::Database clip = db::Database::newDrawing();
  core::Box2 box;
  std::vector<db::ObjectId> owners;
  for (db::ObjectId id : set.ids()) {
    const db::Entity* e = d.entity(id);
    if (!e || e->isErased() || e->owner() != d.modelSpace()) continue;
    owners.push_back(id);
    box.add(index.groupBox(index.ownerOf(id)));
  }
  if (owners.empty()) {
    why = "没有可复制的对象";
    return std::nullopt;
  }
  // The clipboard's drawing keeps the units and linetype scale of this one.
  clip.header.linetypeScale = d.header.linetypeScale;
  clip.header.insertionUnits = d.header.insertionUnits;
  clip.header.measurement = d.header.measurement;
  if (!box.empty()) {
    clip.header.insertionBase = {box.minX, box.minY, 0.0};
    clip.header.extentsMin = {box.minX, box.minY, 0.0};
    clip.header.extentsMax = {box.maxX, box.maxY, 0.0};
  }
  std::vector<db::ObjectId> made;
  Bringer(clip, d).bring(groupsOf(index, owners), core::Affine2{}, made, why);
  if (made.empty()) return std::nullopt;
  return dxf::writeDxfToString(clip);
}

// ---- the commands

namespace {

using prompt::Status;

// COPYCLIP and CUTCLIP: true when the selection went to the clipboard.
bool toClipboard(Session& s, bool cut) {
  const bool chosenBefore = !s.selector().current().empty();
  auto set = s.selectObjects();
  if (!set || set->empty()) return false;
  std::string why;
  const auto text = clipboardDrawing(s.database(), s.index(), *set, why);
  if (!text) {
    s.console().print("\n无法复制到剪贴板：" + why + "。");
    return false;
  }
  clipboard().put(*text);
  if (cut) {
    const core::EditReport erased = core::Editor(s.database(), s.index()).erase(*set);
    s.console().print("\n已剪切 " + std::to_string(erased.done) + " 个对象到剪贴板。" + erased.refusalMessage("删除"));
  } else {
    s.console().print("\n已复制 " + std::to_string(set->size()) + " 个对象到剪贴板。");
    if (chosenBefore) s.selector().setCurrent(*set);  // still chosen, as before the copy
  }
  return true;
}

void pasteclip(Session& s) {
  const std::optional<std::string> text = clipboard().text();
  if (!text || text->empty()) {
    s.console().print("\n剪贴板中没有可粘贴的图形。");
    return;
  }
  dxf::ReadResult read = dxf::readDxf(*text);
  if (!read.ok()) {
    s.console().print("\n剪贴板中的内容不是可读的 DXF 图形：" + read.error);
    return;
  }
  db::Database& d = s.database();
  if (!freshAnonymousBlocks(d, *read.drawing)) {
    s.console().print("\n无法粘贴：剪贴板中图形的块无法带入。");
    return;
  }
  core::Document source(std::move(*read.drawing));
  core::SpatialIndex sourceIndex(source);
  const db::Database& from = source.database();
  std::vector<db::ObjectId> owners;
  from.forEachEntity(from.modelSpace(), [&](db::ObjectId id, const db::Entity&) {
    if (sourceIndex.ownerOf(id) == id) owners.push_back(id);
  });
  if (owners.empty()) {
    s.console().print("\n剪贴板中的图形没有对象。");
    return;
  }
  const std::vector<Group> groups = groupsOf(sourceIndex, owners);
  const db::Point3 base = from.header.insertionBase;
  auto shift = [base](const prompt::Point3& at) { return core::Affine2::translation({at.x - base.x, at.y - base.y}, at.z - base.z); };
  // The names the pasted entities use, interned here now: the preview below asks again
  // while the view may be drawing, and then finds them without adding to the drawing.
  {
    Bringer names(d, from);
    for (const Group& g : groups)
      for (db::ObjectId id : g) names.translated(*from.entity(id), false);
  }
  // What follows the cursor: the entities moved there, named as this drawing names them;
  // references to blocks it does not hold yet show once pasted.
  const Session::PreviewScope preview(s, [&](const prompt::Point3& at) {
    std::vector<db::Entity> shown;
    Bringer names(d, from);
    const core::Affine2 map = shift(at);
    for (const Group& g : groups) {
      for (std::size_t i = 0; i < g.size() && shown.size() < 2000; ++i) {
        auto moved = core::transformEntity(from, g[i], map, i == 0 ? db::ObjectId{} : g[0]);
        if (auto* e = std::get_if<db::Entity>(&moved))
          if (auto here = names.translated(std::move(*e), false)) shown.push_back(std::move(*here));
      }
    }
    return shown;
  });
  prompt::Point3 at;
  if (s.prompts().getPoint("\n指定插入点: ", std::nullopt, at) != Status::Normal) return;
  std::vector<db::ObjectId> made;
  std::string why;
  const std::size_t refused = Bringer(d, from).bring(groups, shift(at), made, why);
  s.console().print("\n已粘贴 " + std::to_string(groups.size() - refused) + " 个对象。");
  if (refused > 0) s.console().print("\n有 " + std::to_string(refused) + " 个对象无法粘贴：" + why + "。");
}

}  // namespace

std::vector<Session::HostCommand> clipboardCommands() {
  return {
      {.name = "COPYCLIP", .description = "把选中的对象复制到剪贴板",
       .run = [](Session& s) { toClipboard(s, false); },
       .help = "选择对象后回车（已选中的对象不再询问）：它们连同所用的块、图层、线型作为一个 DXF 图形放到剪贴板，"
               "基点是它们范围的左下角。窗口中按 Ctrl+C；另一个 orvcad 窗口或读取剪贴板 DXF 的程序可以粘贴它们。",
       .menu = {"编辑", "复制", false, "Ctrl+C"}},
      {.name = "CUTCLIP", .description = "把选中的对象剪切到剪贴板", .run = [](Session& s) { toClipboard(s, true); },
       .undoable = true,
       .help = "与 COPYCLIP 相同，然后删除这些对象（可以放弃）。窗口中按 Ctrl+X。",
       .menu = {"编辑", "剪切", false, "Ctrl+X"}},
      {.name = "PASTECLIP", .description = "把剪贴板中的图形粘贴到指定点", .run = pasteclip, .undoable = true,
       .help = "剪贴板中的 DXF 图形（COPYCLIP 放入的，或别的程序放入的）粘贴进来：指定插入点，它的基点（$INSBASE）"
               "落在这一点上；窗口中对象随光标移动直到点击。图形中没有的块、图层、线型一起带入，同名的用本图形的定义。"
               "窗口中按 Ctrl+V。",
       .menu = {"编辑", "粘贴", false, "Ctrl+V"}},
  };
}

}  // namespace orv::app
