// The block commands: BLOCK (a selection becomes a block and one reference to it),
// INSERT (a reference to a block of the drawing or to the drawing of a DXF file) and
// EXPLODE (polylines into lines and arcs, meshes into 3D faces, references into their
// contents, dimensions into their pictures, leaders into lines and arrowheads) and ATTEDIT.
//
// Sections: copying entities into a block; BLOCK; INSERT (a file as a block, the
// attributes of a new reference); EXPLODE; the table.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "draw_commands.h"
#include "mtext_lines.h"
#include "drawing_files.h"
#include "hatch_command.h"
#include "lineweights.h"
#include "orv/core/dimension_block.h"
#include "orv/core/drafting_styles.h"
#include "orv/core/editor.h"
#include "orv/core/heavy_polyline.h"
#include "orv/core/shapes.h"
#include "orv/core/transform.h"
#include "orv/db/header_values.h"
#include "orv/geom/curves.h"
#include "orv/prompt/reply_parser.h"

namespace orv::app {

namespace {

using namespace drafting;

// ---- copying entities into a block

// An entity as it is to be added, and the one of `source` it was made from.
struct Planned {
  db::ObjectId from;
  db::Entity entity;
};

bool isFollower(const db::Database& d, const db::Entity& e) {
  if (const auto* t = e.as<db::Text>()) return t->type == db::Text::Type::attrib;
  const auto* u = e.as<db::UnknownEntity>();
  if (!u) return false;
  const std::string_view t = d.name(u->type);
  return t == "ATTRIB" || t == "VERTEX" || t == "SEQEND";
}

// Appends the planned entities to `block` of `d`, in order, with the tags kept beside
// them in `source` (references to other objects left out); attributes, vertices and
// SEQENDs are owned by the entity before them that owns followers. False when the
// drawing refuses one (those before it stay: the command's undo step takes them back).
bool appendCopies(db::Database& d, const db::Database& source, std::vector<Planned>& planned, db::BlockId block,
                  std::vector<db::ObjectId>* made = nullptr) {
  const db::CopyScope copies(d);  // a copy names the copies of what its original named
  db::Handle owner = 0;
  for (Planned& p : planned) {
    const bool follower = isFollower(source, p.entity);
    if (auto* u = p.entity.as<db::UnknownEntity>()) {
      u->tags = core::tagsForCopy(u->tags);
      if (follower && owner != 0) u->tags = core::withOwner(u->tags, owner);
    }
    const db::RawTags* extras = p.from.isNull() ? nullptr : source.entityExtras(p.from);
    auto added = d.appendRead(std::move(p.entity), block, 0, extras ? core::tagsForCopy(*extras) : db::RawTags{});
    if (!added) return false;
    if (!follower) owner = d.entity(*added)->handle();
    if (made) made->push_back(*added);
  }
  return true;
}

// True when block `from` draws `target` (itself or through references in it).
bool reaches(const db::Database& d, db::BlockId from, db::BlockId target, int depth = 0) {
  if (from == target) return true;
  if (depth > 64) return true;  // a loop already in the file: never add to it
  bool found = false;
  d.forEachEntity(from, [&](db::ObjectId, const db::Entity& e) {
    if (const auto* r = e.as<db::BlockReference>(); r && !found) found = reaches(d, r->block, target, depth + 1);
  });
  return found;
}

// ---- BLOCK

bool validBlockName(std::string_view name) {
  if (name.empty() || name.size() > 255 || name.front() == '*') return false;
  return name.find_first_of("<>/\\\":;?*|,=`") == std::string_view::npos;
}

// A new block's name, or an existing one the user chose to redefine; nullopt: cancelled.
std::optional<std::pair<std::string, std::optional<db::BlockId>>> askBlockName(Session& s) {
  auto& prompts = s.prompts();
  for (;;) {
    std::string name;
    if (prompts.getString("\n输入块名: ", true, 255, name) != Status::Normal || name.empty()) return std::nullopt;
    name = std::string(prompt::trimBlanks(name));
    if (!validBlockName(name)) {
      s.console().print("\n块名“" + name + "”无效：不能为空，不能以 * 开头，也不能含有 < > / \\ \" : ; ? * | , = `。");
      continue;
    }
    const auto existing = s.database().findBlock(name);
    if (!existing) return std::pair{name, existing};
    if (*existing == s.database().modelSpace() || *existing == s.database().paperSpace()) {
      s.console().print("\n不能重新定义“" + name + "”。");
      continue;
    }
    prompts.initGet(0, "Yes No");
    const Status st = prompts.getKeyword("\n块“" + std::string(s.database().block(*existing).name) +
                                         "”已存在。是否重新定义？[是(Y)/否(N)] <否>:");
    if (st == Status::Cancel) return std::nullopt;
    if (st == Status::Keyword && prompts.lastKeyword() == "Yes") return std::pair{name, existing};
  }
}

void block(Session& s) {
  const auto named = askBlockName(s);
  if (!named) return;
  const auto& [name, existing] = *named;
  Point3 base;
  if (s.prompts().getPoint("\n指定插入基点: ", std::nullopt, base) != Status::Normal) return;
  const auto set = s.selectObjects();
  if (!set) return;
  if (set->empty()) {
    s.console().print("\n未选择对象，没有定义块。");
    return;
  }
  db::Database& d = s.database();
  // A block redefined keeps its base point, so that its references stay where they are:
  // the selection is moved into the block's coordinates instead.
  const db::Point3 blockBase = existing ? d.block(*existing).base : db::Point3{base.x, base.y, base.z};
  const auto map = core::Affine2::translation({blockBase.x - base.x, blockBase.y - base.y}, blockBase.z - base.z);
  std::vector<Planned> planned;
  core::EditReport refused;
  for (db::ObjectId owner : set->ids()) {
    const db::Entity& head = *d.entity(owner);
    if (const auto* r = head.as<db::BlockReference>(); r && existing && reaches(d, r->block, *existing)) {
      s.console().print("\n块“" + name + "”不能包含对它自身的引用，没有定义块。");
      return;
    }
    if (!map.isIdentity() && !head.as<db::BlockReference>() && core::drawnBlock(d, head)) {
      s.console().print("\n重新定义的块的基点与原来不同时，不能包含标注，没有定义块。");
      return;
    }
    for (db::ObjectId m : s.index().group(owner)) {
      auto r = core::transformEntity(d, m, map, m == owner ? db::ObjectId{} : owner);
      if (auto* why = std::get_if<std::string>(&r)) {
        s.console().print("\n" + core::kindName(d, *d.entity(m)) + "：" + *why + "，没有定义块。");
        return;
      }
      planned.push_back({m, std::get<db::Entity>(std::move(r))});
    }
  }
  db::BlockId target;
  if (existing) {
    target = *existing;
    std::vector<db::ObjectId> old;
    d.forEachEntity(target, [&](db::ObjectId id, const db::Entity&) { old.push_back(id); });
    for (db::ObjectId id : old) d.erase(id);
  } else {
    auto added = d.addBlock(name, blockBase);
    if (!added) {
      s.console().print("\n无法定义块“" + name + "”。");
      return;
    }
    target = *added;
  }
  const std::vector<db::ObjectId> originals = [&] {
    std::vector<db::ObjectId> ids;
    for (const Planned& p : planned) ids.push_back(p.from);
    return ids;
  }();
  if (!appendCopies(d, d, planned, target)) {
    s.console().print("\n无法把选中的对象放进块“" + name + "”。");
    return;
  }
  for (db::ObjectId id : originals) d.erase(id);
  addToDrawing(s, db::BlockReference{target, {base.x, base.y, base.z}});
}

// ---- INSERT

// The dimensions of `source`'s model space draw through picture blocks that must come
// along under names `d` does not hold: each gets a copy of its picture under a fresh
// name. The names given; nullopt when a copy could not be made.
std::optional<std::vector<std::string>> givePicturesFreshNames(const db::Database& d, db::Database& source) {
  std::vector<std::pair<db::ObjectId, db::BlockId>> dimensions;
  source.forEachEntity(source.modelSpace(), [&](db::ObjectId id, const db::Entity& e) {
    if (e.as<db::Dimension>())
      if (const auto picture = core::drawnBlock(source, e)) dimensions.push_back({id, *picture});
  });
  std::vector<std::string> names;
  std::size_t n = 0;
  for (const auto& [id, picture] : dimensions) {
    std::string name;
    do name = "*D" + std::to_string(n++);
    while (d.findBlock(name) || source.findBlock(name));
    auto copy = source.addBlock(name, source.block(picture).base);
    if (!copy) return std::nullopt;
    source.editBlock(*copy).flags = source.block(picture).flags;
    std::vector<Planned> contents;
    source.forEachEntity(picture, [&](db::ObjectId inner, const db::Entity& e) { contents.push_back({inner, e}); });
    if (!appendCopies(source, source, contents, *copy)) return std::nullopt;
    db::Entity renamed = *source.entity(id);
    renamed.as<db::Dimension>()->block = name;
    if (source.replace(id, std::move(renamed)) != db::Status::ok) return std::nullopt;
    names.push_back(name);
  }
  return names;
}

// The drawing of a DXF file made into a block of this drawing named after the file.
// Kept in one function: drawings are read through the session's file layer.
std::optional<db::BlockId> blockFromFile(Session& s, const std::filesystem::path& path) {
  db::Database& d = s.database();
  const std::string name = path.stem().string();
  if (const auto here = d.findBlock(name)) {
    s.console().print("\n图形中已有块“" + name + "”，插入它。");
    return here;
  }
  ReadDrawing read = readDrawing(path, std::nullopt);
  if (!read.document) {
    s.console().print("\n" + read.message);
    return std::nullopt;
  }
  db::Database& source = read.document->database();
  if (source.findBlock(name) || !validBlockName(name)) {
    s.console().print("\n不能把“" + path.string() + "”作为块“" + name + "”插入：块名无效或文件中已有同名的块。");
    return std::nullopt;
  }
  const auto pictures = givePicturesFreshNames(d, source);
  if (!pictures) {
    s.console().print("\n无法把“" + path.string() + "”作为块读入。");
    return std::nullopt;
  }
  auto made = source.addBlock(name, source.header.insertionBase);
  if (!made) return std::nullopt;
  std::vector<Planned> planned;
  source.forEachEntity(source.modelSpace(), [&](db::ObjectId id, const db::Entity& e) { planned.push_back({id, e}); });
  if (!appendCopies(source, source, planned, *made)) {
    s.console().print("\n无法把“" + path.string() + "”作为块读入。");
    return std::nullopt;
  }
  auto merged = d.mergeBlock(source, name);
  for (const std::string& picture : *pictures)
    if (merged && !d.mergeBlock(source, picture)) merged = db::Result<db::BlockId>(db::Error{db::Status::notFound, {}});
  if (!merged) {
    s.console().print("\n无法把“" + path.string() + "”作为块读入。");
    return std::nullopt;
  }
  return *merged;
}

std::optional<db::BlockId> askBlockToInsert(Session& s) {
  for (;;) {
    std::string typed;
    if (s.prompts().getString("\n输入块名或图形文件名: ", true, 4096, typed) != Status::Normal) return std::nullopt;
    typed = std::string(prompt::trimBlanks(typed));
    if (typed.empty()) return std::nullopt;
    db::Database& d = s.database();
    if (const auto b = d.findBlock(typed); b && *b != d.modelSpace() && *b != d.paperSpace()) return b;
    std::filesystem::path path(typed);
    std::error_code ec;
    if (path.extension().empty() && !std::filesystem::exists(path, ec)) {
      // NAME stands for NAME.dxf, or for NAME.dwg when there is no NAME.dxf.
      std::filesystem::path dwg = path;
      path += ".dxf";
      dwg += ".dwg";
      if (!std::filesystem::exists(path, ec) && std::filesystem::exists(dwg, ec)) path = dwg;
    }
    if (std::filesystem::is_regular_file(path, ec)) return blockFromFile(s, path);
    s.console().print("\n找不到块或图形文件“" + typed + "”。");
  }
}

// The X and Y scales: a number, or a corner (also after "C") whose offsets from the
// insertion point give both. False on a cancel.
bool askScales(Session& s, const Point3& at, double& xs, double& ys) {
  auto& prompts = s.prompts();
  for (;;) {
    prompts.initGet(prompt::kOther, "Corner");
    Point3 corner;
    // Asked as a corner from the insertion point: a presentation draws the rectangle whose
    // sides are the scales, and (at a corner prompt) takes a number typed for the scale
    // itself, never for a distance towards its cursor.
    Status st = prompts.getCorner("\n输入 X 比例因子，指定对角点，或 [角点(C)] <1>: ", at, corner);
    if (st == Status::Keyword && prompts.lastKeyword() == "Corner")
      st = prompts.getCorner("\n指定对角点: ", at, corner);
    if (st == Status::Normal) prompts.setLastPoint(corner);
    if (st == Status::None) {
      xs = 1;
    } else if (st == Status::Normal) {
      xs = corner.x - at.x;
      ys = corner.y - at.y;
      if (xs != 0 && ys != 0) return true;
      s.console().print(prompt::refusal::kZero);
      continue;
    } else if (st == Status::Keyword) {
      const auto number = prompt::parseReal(prompt::asciiForms(prompts.lastKeyword().value_or("")));
      if (!number) {
        s.console().print("\n需要数值、点或选项关键字。");
        continue;
      }
      if (*number == 0) {
        s.console().print(prompt::refusal::kZero);
        continue;
      }
      xs = *number;
    } else {
      return false;
    }
    break;
  }
  prompts.initGet(prompt::kNoZero, "");
  ys = xs;
  const Status st = prompts.getReal("\n输入 Y 比例因子或 <使用 X 比例因子>: ", ys);
  if (st == Status::None) ys = xs;
  return st == Status::Normal || st == Status::None;
}

// ---- attributes of a new reference

std::string handleText(db::Handle h) {
  char text[24];
  std::snprintf(text, sizeof text, "%llX", static_cast<unsigned long long>(h));
  return text;
}

// An attribute definition of a block.
const db::Text* attributeDefinition(const db::Entity& e) {
  const auto* t = e.as<db::Text>();
  return t && t->type == db::Text::Type::attdef ? t : nullptr;
}

struct Attribute {
  db::ObjectId definition;
  db::Entity placed;  // the definition where the reference puts it
  std::string value;
};

bool hasAttributeDefinitions(const db::Database& d, db::BlockId block) {
  bool found = false;
  d.forEachEntity(block, [&](db::ObjectId, const db::Entity& e) {
    if (attributeDefinition(e)) found = true;
  });
  return found;
}

// Asks the value of each attribute the block defines (constant ones aside, preset ones
// taking their default), in order; nullopt on a cancel.
std::optional<std::vector<Attribute>> askAttributes(Session& s, db::BlockId block, const core::Affine2& map) {
  const db::Database& d = s.database();
  std::vector<Attribute> out;
  std::optional<std::string> why;
  if (!map.isSimilarity()) why = "X、Y 比例不同";
  d.forEachEntity(block, [&](db::ObjectId id, const db::Entity& e) {
    const db::Text* definition = attributeDefinition(e);
    if (why || !definition) return;
    if (definition->flags & 2) return;  // constant: drawn by the block itself
    auto placed = core::transformEntity(d, id, map);
    if (auto* reason = std::get_if<std::string>(&placed)) {
      why = *reason;
      return;
    }
    out.push_back({id, std::get<db::Entity>(std::move(placed)), definition->value});
  });
  if (why) {
    s.console().print("\n属性不能随块参照放置（" + *why + "），插入的块参照不带属性。");
    return std::vector<Attribute>{};
  }
  if (!out.empty()) s.console().print("\n输入属性值");
  for (Attribute& a : out) {
    const db::Text& definition = *attributeDefinition(*d.entity(a.definition));
    if (definition.flags & 8) continue;  // preset
    std::string prompt = (definition.prompt.empty() ? definition.tag : definition.prompt).str();
    std::string value;
    if (s.prompts().getString("\n" + prompt + " <" + a.value + ">: ", true, 255, value) != Status::Normal)
      return std::nullopt;
    if (!value.empty()) a.value = value;
  }
  return out;
}

// The reference, its attributes and the SEQEND that closes them.
void addReference(Session& s, const db::BlockReference& r, std::vector<Attribute>& attributes) {
  db::Database& d = s.database();
  if (attributes.empty()) {
    addToDrawing(s, r);
    return;
  }
  db::RawTags follows;
  follows.add(66, "1", 2);  // in the reference's own part: attributes follow
  const db::Entity head = onCurrentLayer(d, r);
  auto added = d.appendRead(head, d.modelSpace(), 0, follows);
  if (!added) {
    s.console().print("\n无法插入这个块参照。");
    return;
  }
  db::giveCurrentLineweight(d, *added);
  const db::Handle owner = d.entity(*added)->handle();
  for (Attribute& a : attributes) {
    // The definition where the reference puts it, with its value and without its prompt;
    // owned by the reference it follows.
    db::Entity attribute = a.placed;
    db::Text& text = *attribute.as<db::Text>();
    text.type = db::Text::Type::attrib;
    text.value = a.value;
    text.prompt.clear();
    if (!d.appendRead(std::move(attribute), d.modelSpace(), 0, {})) s.console().print("\n无法添加属性。");
  }
  db::RawTags end;
  end.add(330, handleText(owner));
  end.add(100, "AcDbEntity");
  end.add(8, d.name(head.layer));
  db::Entity seqend(db::UnknownEntity{d.intern("SEQEND"), end});
  seqend.layer = head.layer;
  d.appendRead(std::move(seqend), d.modelSpace(), 0, {});
}

void insert(Session& s) {
  const auto block = askBlockToInsert(s);
  if (!block) return;
  auto& prompts = s.prompts();
  std::optional<double> presetScale, presetRotation;
  Point3 at;
  {
    Session::PreviewScope preview(s, [&](const Point3& cursor) {
      const double k = presetScale.value_or(1);
      return std::vector<db::Entity>{onCurrentLayer(
          s.database(), db::BlockReference{*block, {cursor.x, cursor.y, cursor.z}, k, k, k, presetRotation.value_or(0)})};
    });
    for (;;) {
      prompts.initGet(0, "Scale Rotate");
      const Status st = prompts.getPoint("\n指定插入点或 [比例(S)/旋转(R)]: ", std::nullopt, at);
      if (st == Status::Normal) break;
      if (st != Status::Keyword) return;
      double v = 0;
      if (prompts.lastKeyword() == "Scale") {
        prompts.initGet(prompt::kNoZero | prompt::kNoNull, "");
        if (prompts.getReal("\n指定 XYZ 轴的比例因子: ", v) != Status::Normal) return;
        presetScale = v;
      } else {
        prompts.initGet(prompt::kNoNull, "");
        if (prompts.getReal("\n指定旋转角度: ", v) != Status::Normal) return;
        presetRotation = v + 0.0;
      }
    }
  }
  double xs = presetScale.value_or(1), ys = xs;
  if (!presetScale && !askScales(s, at, xs, ys)) return;
  double rotation = presetRotation.value_or(0);
  if (!presetRotation) {
    const Status st = askAngle(s, "\n指定旋转角度 <0>: ", at, "", 0, rotation);
    if (st == Status::None) rotation = 0;
    else if (st != Status::Normal) return;
  }
  const db::BlockReference reference{*block, {at.x, at.y, at.z}, xs, ys, xs, rotation};
  std::vector<Attribute> attributes;
  if (hasAttributeDefinitions(s.database(), *block)) {
    const db::BlockDefinition& b = s.database().block(*block);
    auto map = core::Affine2::insert({b.base.x, b.base.y}, {at.x, at.y}, xs, ys, rotation);
    if (xs > 0 && ys == xs) map.turn = rotation;  // angles turned exactly
    map.zs = xs;
    map.zt = at.z - xs * b.base.z;
    auto asked = askAttributes(s, *block, map);
    if (!asked) return;
    attributes = std::move(*asked);
  }
  addReference(s, reference, attributes);
}

// ---- EXPLODE

// The lines and arcs of a polyline, with its properties.
std::vector<db::Entity> polylinePieces(const db::Entity& e, const db::Polyline& pl) {
  std::vector<db::Entity> out;
  const std::size_t n = pl.size(), segments = pl.closed() ? n : n - 1;
  const double z = pl.elevation();
  for (std::size_t i = 0; n >= 2 && i < segments; ++i) {
    const db::Point2 a = pl.point(i), b = pl.point((i + 1) % n);
    if (a == b) continue;
    db::Entity piece = e;
    const core::Piece p = core::bulgePiece({a.x, a.y}, {b.x, b.y}, pl.bulge(i));
    if (const auto* arc = std::get_if<core::CircularArc>(&p)) {
      piece.geometry = db::Arc{{arc->center.x, arc->center.y, z}, arc->radius,
                               core::normalizeDegrees(arc->start / core::kDegree),
                               core::normalizeDegrees((arc->start + arc->sweep) / core::kDegree)};
    } else {
      piece.geometry = db::Line{{a.x, a.y, z}, {b.x, b.y, z}};
    }
    out.push_back(std::move(piece));
  }
  return out;
}

bool hasWidths(const db::Polyline& pl) {
  if (pl.constantWidth() != 0) return true;
  for (std::size_t i = 0; i < pl.size(); ++i)
    if (pl.startWidth(i) != 0 || pl.endWidth(i) != 0) return true;
  return false;
}

// A block reference's contents as they lie in the drawing; a reason when some cannot be
// mapped (a scale that differs between x and y turns circles into ellipses).
std::optional<std::string> referenceContents(const db::Database& d, const db::BlockReference& r,
                                             std::vector<Planned>& out) {
  const db::BlockDefinition& b = d.block(r.block);
  auto map = core::Affine2::insert({b.base.x, b.base.y}, {r.position.x, r.position.y}, r.xScale, r.yScale, r.rotation);
  if (r.xScale > 0 && r.yScale == r.xScale) map.turn = r.rotation;  // angles turned exactly
  map.zs = r.zScale;
  map.zt = r.position.z - r.zScale * b.base.z;
  const bool similar = map.isSimilarity();
  std::optional<std::string> why;
  db::ObjectId owner;
  d.forEachEntity(r.block, [&](db::ObjectId id, const db::Entity& e) {
    if (why) return;
    if (!isFollower(d, e)) owner = id;
    if (!e.as<db::BlockReference>() && core::drawnBlock(d, e)) {
      why = "其中的" + core::kindName(d, e) + "还不能分解出来";
      return;
    }
    if (!similar) {
      db::Entity mapped = e;
      if (auto* l = mapped.as<db::Line>()) {
        const core::Vec2 a = map.apply({l->start.x, l->start.y}), c = map.apply({l->end.x, l->end.y});
        l->start = {a.x, a.y, map.applyZ(l->start.z)};
        l->end = {c.x, c.y, map.applyZ(l->end.z)};
      } else if (auto* pl = mapped.as<db::Polyline>(); pl && !pl->hasVertexExtras() && pl->constantWidth() == 0) {
        for (std::size_t i = 0; i < pl->size(); ++i) {
          const core::Vec2 p = map.apply({pl->point(i).x, pl->point(i).y});
          pl->setPoint(i, {p.x, p.y});
        }
        pl->setElevation(map.applyZ(pl->elevation()));
      } else if (auto* hp = mapped.as<db::HeavyPolyline>()) {
        if (auto reason = core::transformHeavyPolyline(*hp, map)) {
          why = "X、Y 比例不同，其中的" + core::kindName(d, e) + *reason;
          return;
        }
      } else {
        why = "X、Y 比例不同，其中的" + core::kindName(d, e) + "不能照样分解";
        return;
      }
      out.push_back({id, std::move(mapped)});
      return;
    }
    auto t = core::transformEntity(d, id, map, id == owner ? db::ObjectId{} : owner);
    if (auto* reason = std::get_if<std::string>(&t)) {
      why = "其中的" + core::kindName(d, e) + "：" + *reason;
      return;
    }
    out.push_back({id, std::get<db::Entity>(std::move(t))});
  });
  return why;
}

// The parts a dimension's picture or a leader draws take the entity's properties where
// they are ByBlock or on layer 0, as the entity showed them.
void takeProperties(const db::Entity& from, std::vector<Planned>& parts) {
  for (Planned& p : parts) {
    db::Entity& e = p.entity;
    if (e.layer == db::names::layer0) e.layer = from.layer;
    if (e.color == db::color::byBlock) e.color = from.color;
    if (e.linetype == db::names::byBlock) e.linetype = from.linetype;
  }
}

// A dimension's picture, moved to where the dimension draws it (its point 12); a reason
// when it has none or lies out of the drawing plane.
std::optional<std::string> dimensionContents(const db::Database& d, const db::Entity& e, const db::Dimension& dim,
                                             std::vector<Planned>& out) {
  const auto picture = core::drawnBlock(d, e);
  if (!picture) return std::string("没有图块");
  const db::Point3 n = dim.extrusion;
  if (n.x != 0 || n.y != 0 || n.z == 0) return std::string("不在 XY 平面上");
  const core::Vec2 at{n.z < 0 ? -dim.insertion.x : dim.insertion.x, dim.insertion.y};
  const auto map = core::Affine2::translation(at, n.z < 0 ? -dim.insertion.z : dim.insertion.z);
  std::optional<std::string> why;
  db::ObjectId owner;
  d.forEachEntity(*picture, [&](db::ObjectId id, const db::Entity& inner) {
    if (why) return;
    if (!isFollower(d, inner)) owner = id;
    auto t = core::transformEntity(d, id, map, id == owner ? db::ObjectId{} : owner);
    if (auto* reason = std::get_if<std::string>(&t)) {
      why = "其中的" + core::kindName(d, inner) + "：" + *reason;
      return;
    }
    out.push_back({id, std::get<db::Entity>(std::move(t))});
  });
  if (!why && out.empty()) why = "的图块是空的";
  return why;
}

// A leader's segments (a SPLINE through its vertices for a spline path) and its
// arrowhead (a filled SOLID, or its style's arrow block).
void leaderContents(db::Database& d, const db::Entity& e, const db::Leader& l, std::vector<Planned>& out) {
  std::vector<core::Vec2> vertices;
  for (const db::Point3& p : l.vertices) vertices.push_back({p.x, p.y});
  const core::DimensionStyle style = core::dimensionStyleNamed(d, l.style);
  core::DimensionParts parts = core::leaderParts(vertices, l.hasArrow(), style);
  if (l.spline() && l.vertices.size() > 2) {
    parts.lines.clear();
    db::Entity curve = e;
    curve.geometry = db::Boxed<db::Spline>(geom::leaderSpline(l));
    out.push_back({db::ObjectId{}, std::move(curve)});
  }
  for (db::Entity& piece : core::pictureEntities(d, parts, style)) {
    if (auto* line = piece.as<db::Line>()) line->start.z = line->end.z = l.vertices.front().z;
    piece.layer = e.layer;
    piece.color = e.color;
    piece.linetype = e.linetype;
    out.push_back({db::ObjectId{}, std::move(piece)});
  }
}

void explode(Session& s) {
  const auto set = s.selectObjects();
  if (!set || set->empty()) return;
  db::Database& d = s.database();
  core::EditReport report;
  bool widthsLost = false;
  auto refuse = [&](const std::string& reason) {
    ++report.refused;
    if (std::find(report.reasons.begin(), report.reasons.end(), reason) == report.reasons.end())
      report.reasons.push_back(reason);
  };
  for (db::ObjectId owner : set->ids()) {
    const db::Entity& e = *d.entity(owner);
    std::vector<Planned> parts;
    if (const auto* pl = e.as<db::Polyline>()) {
      for (db::Entity& piece : polylinePieces(e, *pl)) parts.push_back({owner, std::move(piece)});
      widthsLost = widthsLost || hasWidths(*pl);
    } else if (const auto* r = e.as<db::BlockReference>()) {
      if (const auto why = referenceContents(d, *r, parts)) {
        refuse("块参照“" + d.block(r->block).name + "”" + *why);
        continue;
      }
    } else if (const auto* hp = e.as<db::HeavyPolyline>()) {
      // A 2D one into lines and arcs as a lightweight one; a 3D one into lines, a mesh
      // into 3D faces.
      if (const auto outline = core::heavyPolylineOutline(*hp)) {
        for (db::Entity& piece : polylinePieces(e, *outline)) parts.push_back({owner, std::move(piece)});
        widthsLost = widthsLost || hasWidths(*outline);
      } else {
        for (db::Entity& piece : core::heavyPolylineParts(e, *hp)) parts.push_back({owner, std::move(piece)});
      }
      if (parts.empty()) {
        refuse(core::kindName(d, e) + "不在 XY 平面上或没有线段，不能分解");
        continue;
      }
    } else if (const auto* h = e.as<db::Hatch>()) {
      for (db::Entity& piece : hatchBoundaryParts(e, *h)) parts.push_back({owner, std::move(piece)});
      if (parts.empty()) {
        refuse(core::kindName(d, e) + "不在 XY 平面上或没有边界，不能分解");
        continue;
      }
    } else if (const auto* mt = e.as<db::MText>()) {
      auto lines = mtextLines(*mt);
      if (!lines) {
        refuse(core::kindName(d, e) + "不在 XY 平面上，不能分解");
        continue;
      }
      for (db::Text& t : *lines) {
        db::Entity piece = e;
        piece.geometry = db::Boxed<db::Text>(std::move(t));
        parts.push_back({owner, std::move(piece)});
      }
    } else if (const auto* dim = e.as<db::Dimension>()) {
      if (const auto why = dimensionContents(d, e, *dim, parts)) {
        refuse("标注" + *why + "，不能分解");
        continue;
      }
      takeProperties(e, parts);
    } else if (const auto* leader = e.as<db::Leader>()) {
      leaderContents(d, e, *leader, parts);
    } else {
      refuse(core::kindName(d, e) + "不能分解");
      continue;
    }
    // The pieces of a polyline, hatch or MTEXT carry none of its kept tags.
    if (e.as<db::Polyline>() || e.as<db::Hatch>() || e.as<db::MText>() || e.as<db::HeavyPolyline>())
      for (Planned& p : parts) p.from = db::ObjectId{};
    const std::vector<db::ObjectId> group = s.index().group(owner);
    if (!appendCopies(d, d, parts, d.modelSpace())) {
      refuse(core::kindName(d, e) + "分解后的数值无效");
      continue;
    }
    for (db::ObjectId m : group) d.erase(m);
    ++report.done;
  }
  if (widthsLost) s.console().print("\n多段线的宽度在分解成直线和圆弧后不能保留，已舍去。");
  if (const std::string message = report.refusalMessage("分解"); !message.empty()) s.console().print(message);
}

// ---- ATTEDIT

// The prompt of an attribute: that of the definition with its tag in the reference's
// block, else the tag.
std::string attributePrompt(const db::Database& d, db::BlockId block, const db::Text& attribute) {
  std::string prompt;
  d.forEachEntity(block, [&](db::ObjectId, const db::Entity& e) {
    const db::Text* definition = attributeDefinition(e);
    if (prompt.empty() && definition && db::foldName(definition->tag) == db::foldName(attribute.tag))
      prompt = definition->prompt.str();
  });
  return prompt.empty() ? attribute.tag.str() : prompt;
}

void attedit(Session& s) {
  db::Database& d = s.database();
  db::ObjectId reference;
  std::vector<db::ObjectId> attributes;
  for (;;) {
    Point3 p;
    if (s.prompts().getPickPoint("\n选择块参照: ", p) != Status::Normal) return;
    const db::ObjectId id = s.index().pick(xy(p), s.pickDistance());
    const db::Entity* e = id.isNull() ? nullptr : d.entity(id);
    if (!e) {
      s.console().print("\n未找到对象。");
      continue;
    }
    if (!e->as<db::BlockReference>()) {
      s.console().print("\n需要块参照。");
      continue;
    }
    attributes.clear();
    for (db::ObjectId m : s.index().group(id))
      if (const auto* t = d.entity(m)->as<db::Text>(); t && t->type == db::Text::Type::attrib) attributes.push_back(m);
    if (!attributes.empty()) {
      reference = id;
      break;
    }
    s.console().print("\n块中没有属性。");
  }
  const db::BlockId block = d.entity(reference)->as<db::BlockReference>()->block;
  // Every value asked first: a cancel part way changes nothing.
  std::vector<std::pair<db::ObjectId, std::string>> changes;
  for (db::ObjectId id : attributes) {
    const db::Text& a = *d.entity(id)->as<db::Text>();
    std::string value;
    if (s.prompts().getString("\n" + attributePrompt(d, block, a) + " <" + a.value + ">: ", true, 255, value) !=
        Status::Normal)
      return;
    if (!value.empty() && value != a.value) changes.emplace_back(id, value);
  }
  for (auto& [id, value] : changes) {
    db::Entity changed = *d.entity(id);
    changed.as<db::Text>()->value = value;
    if (d.replace(id, std::move(changed)) != db::Status::ok) s.console().print("\n属性值“" + value + "”无法写入。");
  }
  s.console().print("\n已修改 " + std::to_string(changes.size()) + " 个属性。");
}

}  // namespace

std::vector<Session::HostCommand> blockCommands() {
  return {
      {.name = "BLOCK", .description = "把选中的对象定义成块，原处换成一个块参照", .run = block, .undoable = true,
       .aliases = {"B"},
       .help = "输入块名（已有同名的块时询问是否重新定义），指定插入基点，选择对象：选中的对象成为块的内容，"
               "原处换成一个插入在基点的块参照。重新定义的块保持原来的基点，图中已有的块参照随之更新。",
       .menu = {"绘图", "创建块", true}},
      {.name = "INSERT", .description = "插入图形中的块，或把一个 DXF 或 DWG 图形文件作为块插入", .run = insert,
       .undoable = true, .aliases = {"I"},
       .help = "输入块名，或一个 DXF 或 DWG 图形文件的路径（它的模型空间成为以文件名命名的块；没有扩展名时先试 NAME.dxf，"
               "再试 NAME.dwg），指定插入点"
               "（之前可用 S 指定统一比例、R 指定旋转角度），再指定 X 比例（缺省 1；点取一点或 C 后指定对角点"
               "时取它与插入点的坐标差作为 X、Y 比例）、Y 比例（缺省同 X）和旋转角度；块有属性定义时按其提示"
               "依次输入属性值（回车取缺省值；常量和预置属性不询问）。",
       .menu = {"绘图", "插入块", true}},
      {.name = "EXPLODE", .description = "把多段线分解成直线和圆弧，把图案填充分解成边界，把块参照分解成它的对象，把多行文字分解成单行文字，把标注和引线分解成直线、箭头和文字", .run = explode,
       .undoable = true, .aliases = {"X"},
       .help = "选择对象：多段线分解成直线和圆弧（宽度不能保留），三维多段线分解成直线，网格分解成三维面，图案填充分解成它的边界（直线、圆弧、圆和椭圆），块参照分解成块中的对象，按块参照的位置、"
               "比例和旋转放置（嵌套的块参照只分解一层，属性变回属性定义）。X、Y 比例不同的块参照中有圆、"
               "圆弧等对象时不能分解。多行文字分解成单行文字：每个段落一行，保持位置、高度、旋转角度和样式，"
               "格式代码去掉。标注分解成它的图块中的直线、箭头（二维填充）和文字，放在标注所在的位置；"
               "引线分解成直线和箭头。分解出的对象取原对象的图层、颜色和线型。",
       .menu = {"修改", "分解", true}},
      {.name = "ATTEDIT", .description = "修改块参照的属性值", .run = attedit, .undoable = true, .aliases = {"ATE"},
       .help = "选择一个带属性的块参照，再按各属性的提示（没有提示时用标记）逐个输入新值，回车保留原值。"
               "所有属性问完才一起修改，整个命令是一步放弃；中途取消则不作修改。块参照没有属性时提示“块中没有属性。”并重新选择。",
       .menu = {"绘图", "编辑属性", false}},
  };
}

}  // namespace orv::app
