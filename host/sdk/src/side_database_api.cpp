// Side databases: reading a drawing file into one, and the two operations
// that carry entities between databases, wblock and insert, with the copying
// of entities, blocks, layers and linetypes they share.
#include "dbmain.h"

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <system_error>

#include "db_impl.h"
#include "host_bindings.h"
#include "orv/io/drawing_file.h"
#include "orv/text/encoding.h"

namespace db = orv::db;
namespace fs = std::filesystem;
using orv::sdk::databaseOf;

namespace {

// Tags that point at objects of the source (application groups such as
// reactors, object handles, and the extras kept in slot 0) mean nothing in
// another database.
db::RawTags withoutForeignPointers(const db::RawTags& tags, bool dropSlot0) {
  db::RawTags out;
  bool inGroup = false;
  for (db::RawTag t : tags) {
    if (dropSlot0 && t.slot == 0) continue;
    if (t.code == 102) {
      inGroup = !t.value.empty() && t.value.front() == '{';
      continue;
    }
    if (inGroup || t.code == 5 || (t.code >= 320 && t.code <= 369)) continue;
    out.add(t.code, t.value, t.slot);
  }
  return out;
}

bool isLayout(const db::Database& d, db::BlockId b) { return b == d.modelSpace() || b == d.paperSpace(); }

// Makes sure `dst` has the linetype, or the layer (and its linetype), of that
// name, copying the definition from `src` where `dst` lacks it. A name `src`
// does not define either is added with default values.
db::Status ensureLinetype(const db::Database& src, std::string_view name, db::Database& dst) {
  if (dst.hasLinetype(name)) return db::Status::ok;
  db::Linetype lt;
  if (const db::Linetype* found = src.linetypes().get(name)) lt = *found;
  lt.name = std::string(name);
  lt.handle = 0;
  lt.extras.clear();
  return dst.addLinetype(std::move(lt)).status();
}

db::Status ensureLayer(const db::Database& src, std::string_view name, db::Database& dst) {
  if (dst.layers().find(name)) return db::Status::ok;
  db::Layer layer;
  if (const db::Layer* found = src.layers().get(name)) layer = *found;
  layer.name = std::string(name);
  layer.handle = 0;
  layer.extras.clear();
  if (db::Status st = ensureLinetype(src, layer.linetype, dst); st != db::Status::ok) return st;
  return dst.addLayer(std::move(layer)).status();
}

// Copies entity `id` of `src` into block `owner` of `dst` with what it
// depends on: its layer and linetype and, for a block reference, the block
// with its nested blocks. A block name `dst` already holds keeps the
// definition of `dst`, and the copy refers to it.
db::Result<db::ObjectId> copyEntity(const db::Database& src, db::ObjectId id, db::Database& dst,
                                    db::BlockId owner) {
  const db::Entity* e = src.entity(id);
  if (!e) return db::Error{db::Status::notFound, "no such entity"};
  db::Entity copy = *e;
  if (auto* ref = copy.as<db::BlockReference>()) {
    if (ref->block.index >= src.blockCount() || isLayout(src, ref->block))
      return db::Error{db::Status::notFound, "a reference to no block"};
    auto block = dst.mergeBlock(src, src.block(ref->block).name);
    if (!block) return block.error();
    ref->block = *block;
  }
  const std::string_view layer = src.name(e->layer), linetype = src.name(e->linetype);
  if (db::Status st = ensureLayer(src, layer, dst); st != db::Status::ok)
    return db::Error{st, "cannot bring over layer \"" + std::string(layer) + "\""};
  if (db::Status st = ensureLinetype(src, linetype, dst); st != db::Status::ok)
    return db::Error{st, "cannot bring over linetype \"" + std::string(linetype) + "\""};
  copy.layer = dst.intern(layer);
  copy.linetype = dst.intern(linetype);
  if (auto* unknown = copy.as<db::UnknownEntity>()) {
    unknown->type = dst.intern(src.name(unknown->type));
    unknown->tags = withoutForeignPointers(unknown->tags, false);
  }
  const db::RawTags* extras = src.entityExtras(id);
  return dst.appendRead(std::move(copy), owner, 0, extras ? withoutForeignPointers(*extras, true) : db::RawTags{});
}

// Brings every block definition and every model-space entity of `src` into
// `dst`, after what `dst` holds.
db::Status mergeDrawing(const db::Database& src, db::Database& dst, std::string& why) {
  for (std::size_t i = 0; i < src.blockCount(); ++i) {
    const db::BlockId b{static_cast<std::uint32_t>(i)};
    const db::BlockDefinition& def = src.block(b);
    if (isLayout(src, b) || def.removed) continue;
    auto merged = dst.mergeBlock(src, def.name);
    if (!merged) {
      why = merged.error().message;
      return merged.status();
    }
  }
  db::Status status = db::Status::ok;
  src.forEachEntity(src.modelSpace(), [&](db::ObjectId id, const db::Entity&) {
    if (status != db::Status::ok) return;
    auto copied = copyEntity(src, id, dst, dst.modelSpace());
    if (!copied) {
      why = copied.error().message;
      status = copied.status();
    }
  });
  return status;
}

}  // namespace

const AcGeMatrix3d AcGeMatrix3d::kIdentity;

Acad::ErrorStatus AcDbDatabase::readDwgFile(const ACHAR* fileName, int, bool, const wchar_t*) {
  if (!fileName || !*fileName) return Acad::eFileNotFound;
  const fs::path path(orv::text::narrow(fileName));
  std::error_code ec;
  const fs::file_status st = fs::status(path, ec);
  if (st.type() == fs::file_type::not_found) return Acad::eFileNotFound;
  if (ec || !fs::is_regular_file(st) || ::access(path.c_str(), R_OK) != 0) return Acad::eFileAccessErr;
  // A DWG's neighbours are converted with it: a library folder is read part by part.
  orv::io::OpenOptions options;
  options.convertFolder = true;
  orv::io::OpenedDrawing read = orv::io::openDrawingFile(path, options);
  if (!read.ok()) {
    // The module says only that it failed: of a DWG, whose conversion may fail in many
    // ways, the user also learns which file and why.
    if (read.kind == orv::io::FileKind::dwg) {
      const auto& describe = orv::sdk::bound().unreadableDrawing;
      orv::sdk::reportProblem(describe ? describe(path, read.error) : "无法打开图形“" + path.string() + "”");
    }
    // The file was there and readable a moment ago: what fails now is its content.
    return read.error.kind == orv::io::OpenError::Kind::system ? Acad::eFileAccessErr : Acad::eBadDxfFile;
  }
  *m_impl->db = std::move(*read.drawing);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbDatabase::wblock(AcDbDatabase*& output, const AcDbObjectIdArray& ids,
                                       const AcGePoint3d& basePoint) {
  output = nullptr;
  if (!std::isfinite(basePoint.x) || !std::isfinite(basePoint.y) || !std::isfinite(basePoint.z))
    return Acad::eInvalidInput;
  const db::Database& src = databaseOf(this);
  for (int i = 0; i < ids.length(); ++i) {
    const AcDbObjectId& id = ids[i];
    if (id.isNull()) return Acad::eNullObjectId;
    if (id.database() != this) return Acad::eWrongDatabase;
    if (id.kind() != AcDbObjectId::Kind::kEntity) return Acad::eNotAnEntity;
    const db::Entity* e = src.entity(orv::sdk::modelEntity(id));
    if (!e) return Acad::eKeyNotFound;
    if (e->isErased()) return Acad::eWasErased;
    if (e->owner() != src.modelSpace()) return Acad::eInvalidInput;
  }
  auto out = std::make_unique<db::Database>();
  out->ensureRequiredContent();
  for (int i = 0; i < ids.length(); ++i) {
    auto copied = copyEntity(src, orv::sdk::modelEntity(ids[i]), *out, out->modelSpace());
    if (!copied) return orv::sdk::toErrorStatus(copied.status());
  }
  // The base point is the drawing's insertion base; the entities keep their coordinates.
  out->header.insertionBase = {basePoint.x, basePoint.y, basePoint.z};
  output = new AcDbDatabase(std::make_unique<Impl>(std::move(out)));
  return Acad::eOk;
}

Acad::ErrorStatus AcDbDatabase::insert(const AcGeMatrix3d& xform, AcDbDatabase* source, bool) {
  if (!xform.isIdentity() || !source || source == this) return Acad::eInvalidInput;
  // Whatever in the source cannot be merged fails while it is brought into a
  // scratch database, so that this drawing is left as it was. From the scratch
  // copy everything merges: its blocks, layers and linetypes have passed the
  // same checks. Each change to this drawing goes through its undo journal.
  db::Database staged;
  staged.ensureRequiredContent();
  std::string why;
  if (mergeDrawing(databaseOf(source), staged, why) != db::Status::ok) return Acad::eInvalidInput;
  if (mergeDrawing(staged, databaseOf(this), why) != db::Status::ok) return Acad::eInvalidInput;
  return Acad::eOk;
}
