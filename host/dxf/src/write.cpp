// Writing a drawing: the sections in the order R2000 readers expect, from header to EOF.
#include "orv/dxf/writer.h"

#include "emitter.h"
#include "entity_codecs.h"
#include "write_tables.h"

namespace orv::dxf {

namespace {

bool isPaperLayout(const db::BlockDefinition& b) {
  return db::foldName(b.name).rfind("*PAPER_SPACE", 0) == 0;
}

void writeHeader(Emitter& out, const db::Database& drawing) {
  const db::HeaderVariables& h = drawing.header;
  out.raw(0, "SECTION");
  out.raw(2, "HEADER");
  out.raw(9, "$ACADVER");
  out.raw(1, "AC1015");
  out.raw(9, "$DWGCODEPAGE");
  out.raw(3, "ANSI_936");
  out.raw(9, "$INSBASE");
  out.point(10, h.insertionBase);
  out.raw(9, "$EXTMIN");
  out.point(10, h.extentsMin);
  out.raw(9, "$EXTMAX");
  out.point(10, h.extentsMax);
  out.raw(9, "$LTSCALE");
  out.real(40, h.linetypeScale);
  out.raw(9, "$INSUNITS");
  out.integer(70, h.insertionUnits);
  out.raw(9, "$MEASUREMENT");
  out.integer(70, h.measurement);
  out.raw(9, "$CLAYER");
  out.text(8, h.currentLayer);
  for (db::RawTag t : h.others) out.text(t.code, t.value);
  out.raw(9, "$HANDSEED");
  out.handle(5, drawing.handseed());
  out.raw(0, "ENDSEC");
}

void writeKeptSection(Emitter& out, const char* name, const db::RawTags& tags) {
  out.raw(0, "SECTION");
  out.raw(2, name);
  for (db::RawTag t : tags) out.text(t.code, t.value);
  out.raw(0, "ENDSEC");
}

void writeBlockEntities(Emitter& out, const db::Database& drawing, db::BlockId id) {
  const db::BlockDefinition& b = drawing.block(id);
  const bool paper = id == drawing.paperSpace() || isPaperLayout(b);
  // An attribute is owned by the reference it follows (until a SEQEND closes them).
  db::Handle reference = 0;
  drawing.forEachEntity(id, [&](db::ObjectId eid, const db::Entity& e) {
    const db::Text* text = e.as<db::Text>();
    const bool attribute = text && text->type == db::Text::Type::attrib;
    writeEntity(out, drawing, eid, e, attribute && reference ? reference : b.recordHandle, paper);
    const auto* kept = e.as<db::UnknownEntity>();
    const std::string_view keptType = kept ? drawing.name(kept->type) : std::string_view();
    // A reference kept as read (its block missing, say) owns the attributes after it too,
    // as the reader takes them.
    if (e.kind() == db::EntityKind::blockReference || keptType == "INSERT") reference = e.handle();
    else if (!attribute && keptType != "ATTRIB") reference = 0;
  });
}

void writeBlocks(Emitter& out, const db::Database& drawing, const std::vector<bool>& saved) {
  out.raw(0, "SECTION");
  out.raw(2, "BLOCKS");
  for (std::uint32_t i = 0; i < drawing.blockCount(); ++i) {
    const db::BlockId id{i};
    const db::BlockDefinition& b = drawing.block(id);
    if (!saved[i]) continue;
    const bool paper = isPaperLayout(b);
    out.raw(0, "BLOCK");
    out.handle(5, b.beginHandle);
    out.kept(&b.beginExtras, slot::appData);
    out.handle(330, b.recordHandle);
    out.raw(100, "AcDbEntity");
    if (paper) out.raw(67, "1");
    out.text(8, b.layer);
    out.kept(&b.beginExtras, slot::common);
    out.raw(100, "AcDbBlockBegin");
    out.text(2, b.name);
    out.integer(70, b.flags);
    out.point(10, b.base);
    out.text(3, b.name);
    out.text(1, b.xrefPath);
    if (!b.description.empty()) out.text(4, b.description);
    out.kept(&b.beginExtras, slot::subclass);
    out.kept(&b.beginExtras, slot::xdata);
    if (id != drawing.modelSpace() && id != drawing.paperSpace()) writeBlockEntities(out, drawing, id);
    out.raw(0, "ENDBLK");
    out.handle(5, b.endHandle);
    out.kept(&b.endExtras, slot::appData);
    out.handle(330, b.recordHandle);
    out.raw(100, "AcDbEntity");
    if (paper) out.raw(67, "1");
    out.text(8, b.layer);
    out.kept(&b.endExtras, slot::common);
    out.raw(100, "AcDbBlockEnd");
    out.kept(&b.endExtras, slot::xdata);
  }
  out.raw(0, "ENDSEC");
}

void writeObjects(Emitter& out, const db::Database& drawing) {
  if (!drawing.objects.empty()) {
    writeKeptSection(out, "OBJECTS", drawing.objects);
    return;
  }
  out.raw(0, "SECTION");
  out.raw(2, "OBJECTS");
  out.raw(0, "DICTIONARY");
  out.handle(5, drawing.rootDictionary);
  out.raw(330, "0");
  out.raw(100, "AcDbDictionary");
  out.raw(281, "1");
  out.raw(3, "ACAD_GROUP");
  out.handle(350, drawing.groupDictionary);
  out.raw(0, "DICTIONARY");
  out.handle(5, drawing.groupDictionary);
  out.handle(330, drawing.rootDictionary);
  out.raw(100, "AcDbDictionary");
  out.raw(281, "1");
  out.raw(0, "ENDSEC");
}

}  // namespace

WriteResult writeDxf(const db::Database& drawing, TagSink& sink) {
  if (drawing.rootDictionary == 0 && drawing.objects.empty())
    return WriteResult{false, "图形缺少根对象（内部错误）"};
  Emitter out(sink);
  writeHeader(out, drawing);
  writeKeptSection(out, "CLASSES", drawing.classes);
  // The blocks the file holds, chosen once for the block records and the definitions.
  const std::vector<bool> saved = drawing.savedBlocks();
  writeTablesSection(out, drawing, saved);
  writeBlocks(out, drawing, saved);
  out.raw(0, "SECTION");
  out.raw(2, "ENTITIES");
  writeBlockEntities(out, drawing, drawing.modelSpace());
  writeBlockEntities(out, drawing, drawing.paperSpace());
  out.raw(0, "ENDSEC");
  writeObjects(out, drawing);
  if (!drawing.thumbnail.empty()) {
    out.raw(0, "SECTION");
    out.raw(2, "THUMBNAILIMAGE");
    out.integer(90, static_cast<long long>(drawing.thumbnail.size()));
    out.hexLines(310, drawing.thumbnail);
    out.raw(0, "ENDSEC");
  }
  out.raw(0, "EOF");
  if (!sink.good()) return WriteResult{false, sink.failure()};
  return {};
}

std::string writeDxfToString(const db::Database& drawing) {
  StringSink sink;
  writeDxf(drawing, sink);
  sink.finish();
  return std::move(sink.text);
}

}  // namespace orv::dxf
