// Part-library drawings for the tests, written by the host's DXF writer, and the block references a command placed.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "db_impl.h"
#include "dbents.h"
#include "dbsymtb.h"
#include "orv/db/database.h"
#include "orv/dxf/writer.h"
#include "orv/text/encoding.h"

namespace parts_test {

namespace fs = std::filesystem;

// A device-independent bitmap without file header, as a block's preview
// icon holds it: width x height pixels of `bits` bits, a full colour table
// below 16 bits, rows padded to 4 bytes.
inline std::vector<std::uint8_t> dibIcon(int width, int height, int bits) {
  std::vector<std::uint8_t> dib;
  auto put = [&](std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i) dib.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  };
  const std::uint32_t colours = bits <= 8 ? 1u << bits : 0u;
  const std::uint32_t row = static_cast<std::uint32_t>((width * bits + 31) / 32 * 4);
  const std::uint32_t rows = static_cast<std::uint32_t>(height < 0 ? -height : height);
  put(40, 4);
  put(static_cast<std::uint32_t>(width), 4);
  put(static_cast<std::uint32_t>(height), 4);
  put(1, 2);
  put(static_cast<std::uint32_t>(bits), 2);
  put(0, 4);
  put(row * rows, 4);
  put(0, 4);
  put(0, 4);
  put(0, 4);
  put(0, 4);
  for (std::uint32_t i = 0; i < colours; ++i) put(i * 0x010101u, 4);
  for (std::uint32_t i = 0; i < row * rows; ++i) dib.push_back(static_cast<std::uint8_t>(i * 7));
  return dib;
}

// What a library drawing holds.
struct LibraryDrawingContent {
  std::string block;              // the block's name
  int references = 1;             // references to it in model space
  std::vector<std::uint8_t> icon; // its preview icon; empty: none
};

// A valve-shaped block: the outline of a box 300 long and 219 across from its
// base point along +x, and its two diagonals.
inline void addValveBlock(orv::db::Database& drawing, const std::string& name) {
  namespace db = orv::db;
  auto block = drawing.addBlock(name, db::Point3{});
  ASSERT_TRUE(block.ok()) << name;
  const db::Point3 corners[] = {{0, -109.5, 0}, {300, -109.5, 0}, {300, 109.5, 0}, {0, 109.5, 0}};
  for (int i = 0; i < 4; ++i) {
    ASSERT_TRUE(drawing.append(db::Entity(db::Line{corners[i], corners[(i + 1) % 4]}), *block).ok());
  }
  ASSERT_TRUE(drawing.append(db::Entity(db::Line{corners[0], corners[2]}), *block).ok());
  ASSERT_TRUE(drawing.append(db::Entity(db::Line{corners[1], corners[3]}), *block).ok());
}

// Writes a library drawing as a DXF file.
inline void writeLibraryDrawing(const fs::path& file, const LibraryDrawingContent& content) {
  namespace db = orv::db;
  db::Database drawing = db::Database::newDrawing();
  addValveBlock(drawing, content.block);
  auto block = drawing.findBlock(content.block);
  ASSERT_TRUE(block.has_value());
  drawing.editBlock(*block).preview = content.icon;
  for (int i = 0; i < content.references; ++i) {
    db::BlockReference reference;
    reference.block = *block;
    reference.position = db::Point3{1000.0 * i, 50, 0};
    reference.xScale = 3;
    reference.rotation = 30;
    ASSERT_TRUE(drawing.append(db::Entity(reference)).ok());
  }
  // Something else in model space besides the references.
  ASSERT_TRUE(drawing.append(db::Entity(db::Line{{0, 0, 0}, {-50, -50, 0}})).ok());
  fs::create_directories(file.parent_path());
  auto written = orv::dxf::saveDxfFile(drawing, file);
  ASSERT_TRUE(written.ok) << written.message;
}

// A library drawing NAME.dxf holding block NAME with one reference.
inline void writeValve(const fs::path& folder, const std::string& name, std::vector<std::uint8_t> icon = {}) {
  writeLibraryDrawing(folder / (name + ".dxf"), {name, 1, std::move(icon)});
}

inline void writeText(const fs::path& file, const std::string& text) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << text;
}

// A block reference as the drawing holds it.
struct Placed {
  std::string block;
  AcGePoint3d position;
  AcGeScale3d scale;
  double rotation = 0;
};

// The block references of model space that are not erased, oldest first.
inline std::vector<Placed> placedReferences(AcDbDatabase* drawing) {
  std::vector<Placed> placed;
  std::vector<AcDbObjectId> ids;
  const orv::db::Database& model = orv::sdk::databaseOf(drawing);
  model.forEachEntity(model.modelSpace(), [&](orv::db::ObjectId id, const orv::db::Entity& e) {
    if (e.kind() == orv::db::EntityKind::blockReference) ids.push_back(orv::sdk::entityId(drawing, id));
  });
  for (const AcDbObjectId& id : ids) {
    AcDbEntity* entity = nullptr;
    EXPECT_EQ(acdbOpenAcDbEntity(entity, id, AcDb::kForRead), Acad::eOk);
    auto* reference = entity ? AcDbBlockReference::cast(entity) : nullptr;
    if (reference == nullptr) {
      if (entity) entity->close();
      continue;
    }
    Placed p;
    p.position = reference->position();
    p.scale = reference->scaleFactors();
    p.rotation = reference->rotation();
    AcDbObject* object = nullptr;
    if (acdbOpenAcDbObject(object, reference->blockTableRecord(), AcDb::kForRead) == Acad::eOk) {
      if (auto* record = dynamic_cast<AcDbBlockTableRecord*>(object)) p.block = orv::text::narrow(record->getName());
      object->close();
    }
    reference->close();
    placed.push_back(p);
  }
  return placed;
}

// How many entities of model space are not erased.
inline std::size_t modelSpaceCount(AcDbDatabase* drawing) {
  std::size_t n = 0;
  const orv::db::Database& model = orv::sdk::databaseOf(drawing);
  model.forEachEntity(model.modelSpace(), [&](orv::db::ObjectId, const orv::db::Entity&) { ++n; });
  return n;
}

// How many block definitions of a name (case aside) the drawing holds.
inline int definitionsNamed(AcDbDatabase* drawing, const std::string& name) {
  const orv::db::Database& model = orv::sdk::databaseOf(drawing);
  int n = 0;
  for (std::uint32_t i = 0; i < model.blockCount(); ++i) {
    const orv::db::BlockDefinition& b = model.block(orv::db::BlockId{i});
    if (b.removed || b.name.size() != name.size()) continue;
    bool same = true;
    for (std::size_t k = 0; k < name.size(); ++k) {
      if (std::tolower(static_cast<unsigned char>(b.name[k])) != std::tolower(static_cast<unsigned char>(name[k])))
        same = false;
    }
    if (same) ++n;
  }
  return n;
}

}  // namespace parts_test
