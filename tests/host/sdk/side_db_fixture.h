// Side databases for tests: a temporary folder for drawing files, a library
// drawing built with the database model, and the calls a module makes to bring
// a block of a library drawing into the current drawing.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "db_impl.h"
#include "dbsymtb.h"
#include "orv/db/database.h"
#include "orv/dxf/writer.h"

namespace orv::test {

// A folder removed with everything in it when the test ends.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "orv-sdk-XXXXXX").string();
    if (mkdtemp(pattern.data())) path_ = pattern;
  }
  ~TempDir() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

inline void writeText(const std::filesystem::path& p, const std::string& text) {
  std::ofstream(p, std::ios::binary) << text;
}

inline db::BlockId mustAddBlock(db::Database& d, const std::string& name) {
  auto b = d.addBlock(name, {});
  EXPECT_TRUE(b.ok()) << name;
  return b.ok() ? *b : db::BlockId{};
}

inline db::ObjectId mustAppend(db::Database& d, db::Entity e, db::BlockId owner) {
  auto id = d.append(std::move(e), owner);
  EXPECT_TRUE(id.ok()) << (id.ok() ? "" : id.error().message);
  return id.ok() ? *id : db::ObjectId{};
}

inline db::Entity referenceTo(db::BlockId block, db::Point3 at = {}) {
  db::BlockReference r;
  r.block = block;
  r.position = at;
  return db::Entity(r);
}

// A valve drawing: block "GATE" (a polyline and a reference to block "BOLT",
// whose circle lies on layer "阀门" with linetype "ORVDASH"; the layer's own
// linetype is "ORVLAYER"), a line in model space, then two references to GATE.
inline db::Database valveLibrary() {
  db::Database d = db::Database::newDrawing();
  for (auto [name, pattern] : {std::pair<const char*, std::vector<double>>{"ORVDASH", {5.0, -2.0}},
                                {"ORVLAYER", {3.0, -1.0, 0.0, -1.0}}}) {
    db::Linetype lt;
    lt.name = name;
    for (double len : pattern) {
      lt.elements.push_back(db::DashElement{len, {}});
      lt.totalLength += len < 0 ? -len : len;
    }
    d.addLinetype(std::move(lt));
  }
  db::Layer layer;
  layer.name = "阀门";
  layer.color = 1;
  layer.linetype = "ORVLAYER";
  d.addLayer(layer);

  const db::BlockId bolt = mustAddBlock(d, "BOLT");
  db::Entity circle(db::Circle{{150, 109.5, 0}, 10});
  circle.layer = d.intern("阀门");
  circle.linetype = d.intern("ORVDASH");
  mustAppend(d, circle, bolt);

  const db::BlockId gate = mustAddBlock(d, "GATE");
  db::Polyline outline;
  for (db::Point2 p : {db::Point2{0, 0}, {300, 219}, {300, 0}, {0, 219}}) outline.addVertex(p);
  outline.setClosed(true);
  mustAppend(d, db::Entity(outline), gate);
  mustAppend(d, referenceTo(bolt), gate);

  mustAppend(d, db::Entity(db::Line{{0, 0, 0}, {10, 0, 0}}), d.modelSpace());
  mustAppend(d, referenceTo(gate, {500, 0, 0}), d.modelSpace());
  mustAppend(d, referenceTo(gate, {900, 0, 0}), d.modelSpace());
  return d;
}

inline void save(const db::Database& d, const std::filesystem::path& p) {
  auto written = dxf::saveDxfFile(d, p);
  ASSERT_TRUE(written.ok) << written.message;
}

// What a command does to add an entity: model space open for write, append, close (which
// frees an entity the drawing did not take). The null id when it was refused.
inline AcDbObjectId appendToModelSpace(AcDbDatabase& d, AcDbEntity* e) {
  AcDbBlockTable* table = nullptr;
  EXPECT_EQ(d.getSymbolTable(table, AcDb::kForRead), Acad::eOk);
  AcDbBlockTableRecord* space = nullptr;
  EXPECT_EQ(table->getAt(ACDB_MODEL_SPACE, space, AcDb::kForWrite), Acad::eOk);
  AcDbObjectId id;
  const Acad::ErrorStatus es = space->appendAcDbEntity(id, e);
  table->close();
  space->close();
  e->close();
  return es == Acad::eOk ? id : AcDbObjectId();
}

// The first reference to `blockName` in `side`, as a module finds it.
inline AcDbObjectId firstReference(AcDbDatabase& side, const wchar_t* blockName) {
  AcDbBlockTable* table = nullptr;
  if (side.getBlockTable(table, AcDb::kForRead) != Acad::eOk) return {};
  AcDbBlockTableRecord* record = nullptr;
  Acad::ErrorStatus es = table->getAt(blockName, record, AcDb::kForRead);
  table->close();
  if (es != Acad::eOk) return {};
  AcDbBlockReferenceIdIterator* it = nullptr;
  AcDbObjectId found;
  if (record->newBlockReferenceIdIterator(it) == Acad::eOk) {
    for (it->start(); !it->done(); it->step())
      if (it->getBlockReferenceId(found) == Acad::eOk) break;
    delete it;
  }
  record->close();
  return found;
}

}  // namespace orv::test
