// Writing the symbol tables: head, entries with owners and subclass markers, block records with previews.
#include "write_tables.h"

#include "entity_codecs.h"

namespace orv::dxf {

namespace {

// Table head: 0 TABLE / 2 NAME / 5 h / 330 0 / 100 AcDbSymbolTable / 70 n.
void tableHead(Emitter& out, const char* name, db::Handle handle, const db::RawTags& extras,
               std::size_t count) {
  out.raw(0, "TABLE");
  out.raw(2, name);
  out.handle(5, handle);
  out.kept(&extras, slot::appData);
  out.raw(330, "0");
  out.raw(100, "AcDbSymbolTable");
  out.integer(70, static_cast<long long>(count));
  if (std::string_view(name) == "DIMSTYLE") out.raw(100, "AcDbDimStyleTable");
  out.kept(&extras, slot::common);
}

void entryHead(Emitter& out, const char* type, const char* marker, const db::SymbolRecord& r,
               db::Handle table, bool dimstyle = false) {
  out.raw(0, type);
  out.handle(dimstyle ? 105 : 5, r.handle);
  out.kept(&r.extras, slot::appData);
  out.handle(330, table);
  out.raw(100, "AcDbSymbolTableRecord");
  out.raw(100, marker);
  out.text(2, r.name);
  out.integer(70, r.flags);
}

// The viewport of a new drawing, as CAD programs expect to find it.
void defaultViewport(Emitter& out) {
  const std::pair<int, const char*> tags[] = {
      {10, "0.0"}, {20, "0.0"}, {11, "1.0"}, {21, "1.0"}, {12, "0.0"}, {22, "0.0"},
      {13, "0.0"}, {23, "0.0"}, {14, "10.0"}, {24, "10.0"}, {15, "10.0"}, {25, "10.0"},
      {16, "0.0"}, {26, "0.0"}, {36, "1.0"}, {17, "0.0"}, {27, "0.0"}, {37, "0.0"},
      {40, "100.0"}, {41, "1.6"}, {42, "50.0"}, {43, "0.0"}, {44, "0.0"}, {50, "0.0"},
      {51, "0.0"}, {71, "0"}, {72, "1000"}, {73, "1"}, {74, "3"}, {75, "0"}, {76, "0"},
      {77, "0"}, {78, "0"}, {281, "0"}, {65, "1"}, {146, "0.0"}};
  for (const auto& [code, value] : tags) out.raw(code, value);
}

void keptTable(Emitter& out, const db::Database& drawing, db::KeptTable which, const char* name,
               const char* marker) {
  const auto& table = drawing.keptTable(which);
  tableHead(out, name, table.handle, table.headExtras, table.size());
  const bool dimstyle = which == db::KeptTable::dimstyle;
  for (const db::SymbolRecord& r : table) {
    entryHead(out, name, marker, r, table.handle, dimstyle);
    if (which == db::KeptTable::vport && !r.extras.hasSlot(slot::common)) defaultViewport(out);
    out.kept(&r.extras, slot::common);
    out.kept(&r.extras, slot::xdata);
  }
  out.raw(0, "ENDTAB");
}

void linetypeTable(Emitter& out, const db::Database& drawing) {
  const auto& table = drawing.linetypes();
  tableHead(out, "LTYPE", table.handle, table.headExtras, table.size());
  for (const db::Linetype& lt : table) {
    entryHead(out, "LTYPE", "AcDbLinetypeTableRecord", lt, table.handle);
    out.text(3, lt.description);
    out.raw(72, "65");
    out.integer(73, static_cast<long long>(lt.elements.size()));
    out.real(40, lt.totalLength);
    for (const db::DashElement& d : lt.elements) {
      out.real(49, d.length);
      if (d.extras.empty()) {
        out.raw(74, "0");
      } else {
        for (db::RawTag t : d.extras) out.text(t.code, t.value);
      }
    }
    out.kept(&lt.extras, slot::common);
    out.kept(&lt.extras, slot::xdata);
  }
  out.raw(0, "ENDTAB");
}

void layerTable(Emitter& out, const db::Database& drawing) {
  const auto& table = drawing.layers();
  tableHead(out, "LAYER", table.handle, table.headExtras, table.size());
  for (const db::Layer& layer : table) {
    entryHead(out, "LAYER", "AcDbLayerTableRecord", layer, table.handle);
    out.integer(62, layer.color);
    out.text(6, layer.linetype);
    out.integer(370, layer.lineweight);
    out.kept(&layer.extras, slot::common);
    out.kept(&layer.extras, slot::xdata);
  }
  out.raw(0, "ENDTAB");
}

void styleTable(Emitter& out, const db::Database& drawing) {
  const auto& table = drawing.textStyles();
  tableHead(out, "STYLE", table.handle, table.headExtras, table.size());
  for (const db::TextStyle& s : table) {
    entryHead(out, "STYLE", "AcDbTextStyleTableRecord", s, table.handle);
    out.real(40, s.height);
    out.real(41, s.widthFactor);
    out.real(50, s.obliqueAngle);
    out.integer(71, s.generationFlags);
    out.real(42, s.lastHeight);
    out.text(3, s.font);
    out.text(4, s.bigFont);
    out.kept(&s.extras, slot::common);
    out.kept(&s.extras, slot::xdata);
  }
  out.raw(0, "ENDTAB");
}

void blockRecordTable(Emitter& out, const db::Database& drawing, const std::vector<bool>& saved) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < drawing.blockCount(); ++i)
    if (saved[i]) ++count;
  tableHead(out, "BLOCK_RECORD", drawing.blockRecordTableHandle, drawing.blockRecordTableExtras,
            count);
  for (std::size_t i = 0; i < drawing.blockCount(); ++i) {
    const db::BlockDefinition& b = drawing.block(db::BlockId{static_cast<std::uint32_t>(i)});
    if (!saved[i]) continue;
    // R2000 block records carry no 70 flags.
    out.raw(0, "BLOCK_RECORD");
    out.handle(5, b.recordHandle);
    out.kept(&b.recordExtras, slot::appData);
    out.handle(330, drawing.blockRecordTableHandle);
    out.raw(100, "AcDbSymbolTableRecord");
    out.raw(100, "AcDbBlockTableRecord");
    out.text(2, b.name);
    out.kept(&b.recordExtras, slot::common);
    out.hexLines(310, b.preview);
    out.kept(&b.recordExtras, slot::xdata);
  }
  out.raw(0, "ENDTAB");
}

}  // namespace

void writeTablesSection(Emitter& out, const db::Database& drawing, const std::vector<bool>& saved) {
  out.raw(0, "SECTION");
  out.raw(2, "TABLES");
  keptTable(out, drawing, db::KeptTable::vport, "VPORT", "AcDbViewportTableRecord");
  linetypeTable(out, drawing);
  layerTable(out, drawing);
  styleTable(out, drawing);
  keptTable(out, drawing, db::KeptTable::view, "VIEW", "AcDbViewTableRecord");
  keptTable(out, drawing, db::KeptTable::ucs, "UCS", "AcDbUCSTableRecord");
  keptTable(out, drawing, db::KeptTable::appid, "APPID", "AcDbRegAppTableRecord");
  keptTable(out, drawing, db::KeptTable::dimstyle, "DIMSTYLE", "AcDbDimStyleTableRecord");
  blockRecordTable(out, drawing, saved);
  out.raw(0, "ENDSEC");
}

}  // namespace orv::dxf
