// The sample part libraries as built: every library drawing read back and held to the conventions.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "orv/dialogs/dib.h"
#include "orv/dxf/reader.h"
#include "part_extents.h"

namespace orv::partlib {
namespace {

namespace fs = std::filesystem;

const fs::path kBuilt = fs::path(reinterpret_cast<const char8_t*>(ORV_PART_LIBRARY_DIR));
const fs::path kSources = fs::path(reinterpret_cast<const char8_t*>(ORV_PART_SOURCE_DIR));

std::string utf8(const fs::path& p) {
  const std::u8string s = p.u8string();
  return std::string(s.begin(), s.end());
}

// The part names of a library: its sources' file names without ".part".
std::vector<std::string> partNames(const char* library) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(kSources / library))
    if (entry.path().extension() == ".part") names.push_back(utf8(entry.path().stem()));
  std::sort(names.begin(), names.end());
  return names;
}

struct LibraryDrawing {
  std::string name;
  db::Database drawing;
  db::BlockId block;
};

// Reads every built drawing of a library and checks what FM and ZDY rely on: the file
// reads, holds block NAME at base point (0,0) with a preview icon, and model space holds
// exactly one reference, to that block.
std::vector<LibraryDrawing> readLibrary(const char* library) {
  std::vector<LibraryDrawing> out;
  for (const std::string& name : partNames(library)) {
    SCOPED_TRACE(std::string(library) + "/" + name);
    const fs::path file = kBuilt / library / fs::path(reinterpret_cast<const char8_t*>((name + ".dxf").c_str()));
    dxf::ReadResult read = dxf::readDxfFile(file);
    if (!read.ok()) {
      ADD_FAILURE() << "cannot read " << utf8(file) << ": " << read.error;
      continue;
    }
    EXPECT_TRUE(read.findings.empty()) << read.findings.front().message;
    const db::Database& d = *read.drawing;
    const auto block = d.findBlock(name);
    if (!block) {
      ADD_FAILURE() << "no block " << name;
      continue;
    }
    EXPECT_EQ(d.block(*block).name, name);
    EXPECT_EQ(d.block(*block).base, (db::Point3{}));

    const dialogs::DibResult icon = dialogs::decodePackedDib(d.block(*block).preview);
    EXPECT_TRUE(icon.bitmap) << "preview icon: " << icon.error;
    if (icon.bitmap) {
      EXPECT_EQ(icon.bitmap->width, 48);
      EXPECT_EQ(icon.bitmap->height, 48);
      EXPECT_FALSE(icon.bitmap->isBlank());
    }

    std::vector<const db::BlockReference*> refs;
    std::size_t others = 0;
    d.forEachEntity(d.modelSpace(), [&](db::ObjectId, const db::Entity& e) {
      if (const auto* r = e.as<db::BlockReference>()) {
        refs.push_back(r);
      } else {
        ++others;
      }
    });
    EXPECT_EQ(others, 0u);
    EXPECT_EQ(refs.size(), 1u);
    if (!refs.empty()) {
      EXPECT_EQ(refs[0]->block, *block);
    }
    out.push_back({name, std::move(*read.drawing), *block});
  }
  return out;
}

TEST(SampleLibraries, holdTheValvesAndPartsADraughtsmanNeeds) {
  const std::vector<std::string> valves = partNames("FM");
  for (const char* name : {"闸阀", "截止阀", "止回阀", "球阀", "蝶阀", "旋塞阀", "针形阀", "隔膜阀"})
    EXPECT_THAT(valves, ::testing::Contains(std::string(name)));
  const std::vector<std::string> parts = partNames("ZDY");
  for (const char* name : {"法兰", "盲板", "过滤器", "泵", "仪表", "8字盲板"})
    EXPECT_THAT(parts, ::testing::Contains(std::string(name)));
  // The valve dialog offers 24 slots; more would be dropped unseen.
  EXPECT_LE(valves.size(), 24u);
  EXPECT_LE(parts.size(), 24u);
}

TEST(SampleLibraries, everyValveSpansThreeHundredBy219FromItsBasePoint) {
  const auto valves = readLibrary("FM");
  EXPECT_EQ(valves.size(), partNames("FM").size());
  for (const LibraryDrawing& v : valves) {
    SCOPED_TRACE("FM/" + v.name);
    const auto box = blockExtents(v.drawing, v.block);
    ASSERT_TRUE(box);
    EXPECT_NEAR(box->minX, 0.0, 1e-9);
    EXPECT_NEAR(box->maxX, 300.0, 1e-9);
    EXPECT_NEAR(box->minY, -109.5, 1e-9);
    EXPECT_NEAR(box->maxY, 109.5, 1e-9);
  }
}

TEST(SampleLibraries, everyCustomPartIsDrawnAroundItsBasePoint) {
  const auto parts = readLibrary("ZDY");
  EXPECT_EQ(parts.size(), partNames("ZDY").size());
  for (const LibraryDrawing& p : parts) {
    SCOPED_TRACE("ZDY/" + p.name);
    const auto box = blockExtents(p.drawing, p.block);
    ASSERT_TRUE(box);
    // The base point is on or inside the part, and the part is of a size a scale
    // near 1 fits a pipe of diameter 100 or so.
    EXPECT_LE(box->minX, 0.0);
    EXPECT_GE(box->maxX, 0.0);
    EXPECT_LE(box->minY, 0.0);
    EXPECT_GE(box->maxY, 0.0);
    const double size = std::max(box->maxX - box->minX, box->maxY - box->minY);
    EXPECT_GE(size, 100.0);
    EXPECT_LE(size, 600.0);
  }
}

TEST(SampleLibraries, noTwoPartsShareANestedBlockName) {
  // Inserting a part keeps a block the drawing already holds: two parts with nested
  // blocks of one name would draw each other's pieces.
  std::map<std::string, std::string> owner;
  for (const char* library : {"FM", "ZDY"}) {
    for (const LibraryDrawing& p : readLibrary(library)) {
      for (std::size_t i = 0; i < p.drawing.blockCount(); ++i) {
        const db::BlockId b{static_cast<std::uint32_t>(i)};
        if (b == p.drawing.modelSpace() || b == p.drawing.paperSpace()) continue;
        const std::string name = db::foldName(p.drawing.block(b).name);
        auto [it, fresh] = owner.emplace(name, p.name);
        EXPECT_TRUE(fresh) << "block " << name << " is in both " << it->second << " and " << p.name;
      }
    }
  }
}

}  // namespace
}  // namespace orv::partlib
