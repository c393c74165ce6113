// Reading DXF: the example drawings, text encodings, mirrored entities and old-style polylines.
#include <gtest/gtest.h>

#include "dxf_test_util.h"
#include "orv/dxf/reader.h"

namespace orv::dxf {
namespace {

using namespace testing;

TEST(ReadExamples, referenceDrawingWithChineseNamesReadsCleanly) {
  ReadResult r = readDxf(example("reference_r2000_cn.dxf"));
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_TRUE(r.findings.empty()) << describe(r);
  const db::Database& d = *r.drawing;
  const db::Layer* pipe = d.layers().get("管道");
  ASSERT_NE(pipe, nullptr);
  EXPECT_EQ(pipe->color, 1);
  EXPECT_EQ(pipe->linetype, "CENTER");
  EXPECT_EQ(d.linetypes().get("BORDER")->elements.size(), 6u);
  auto valve = d.findBlock("阀门");
  ASSERT_TRUE(valve);
  EXPECT_EQ(d.block(*valve).preview.size(), 2088u);
  EXPECT_EQ(d.block(*valve).preview[0], 0x28);
  EXPECT_EQ(d.thumbnail.size(), 2088u);
  EXPECT_EQ(entitiesOf(d, *valve).size(), 2u);

  auto model = entitiesOf(d, d.modelSpace());
  ASSERT_EQ(model.size(), 5u);
  EXPECT_EQ(model[0]->kind(), db::EntityKind::line);
  EXPECT_EQ(d.name(model[0]->layer), "管道");
  EXPECT_EQ(d.name(model[0]->linetype), "DASHED");
  const auto& arc = std::get<db::Arc>(model[2]->geometry);
  EXPECT_EQ(arc.startAngle, 270.0);
  EXPECT_EQ(arc.endAngle, 90.0);
  const auto& ref = std::get<db::BlockReference>(model[4]->geometry);
  EXPECT_EQ(ref.block, *valve);
  EXPECT_EQ(ref.xScale, 2.0);
  EXPECT_EQ(ref.rotation, 45.0);
  EXPECT_EQ(model[4]->handle(), 0x31u);
  EXPECT_GE(d.handseed(), 0x32u);
}

TEST(ReadExamples, minimalDrawingReadsCleanly) {
  ReadResult r = readDxf(example("minimal_r2000.dxf"));
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_TRUE(r.findings.empty()) << describe(r);
  EXPECT_NE(r.drawing->layers().get("PIPE"), nullptr);
  EXPECT_FALSE(entitiesOf(*r.drawing, r.drawing->modelSpace()).empty());
}

TEST(ReadText, decodesByCodePageAndExpandsEscapes) {
  const std::string gbkLayer = "\xB9\xDC\xB5\xC0";  // 管道 in GBK
  auto layerOf = [](const std::string& file) {
    ReadResult r = readDxf(file);
    EXPECT_TRUE(r.ok()) << r.error;
    return r.ok() ? std::string(r.drawing->name(entitiesOf(*r.drawing, r.drawing->modelSpace())[0]->layer))
                  : std::string();
  };
  auto line = [](const std::string& layer) {
    return tags({{0, "LINE"}, {8, layer}, {10, "0"}, {20, "0"}, {11, "1"}, {21, "1"}});
  };
  EXPECT_EQ(layerOf(fileWith(line(gbkLayer))), "管道");
  EXPECT_EQ(layerOf(fileWith(line("A\\U+7BA1\\U+9053"))), "A管道");
  EXPECT_EQ(layerOf(fileWith(line("\\M+5B9DC"))), "管");
  EXPECT_EQ(layerOf(fileWith(line("\\U+D83D\\U+DE00"))), "\xF0\x9F\x98\x80");
  // R2007 and later are UTF-8 whatever the code page says.
  EXPECT_EQ(layerOf(fileWith(line("管道"), "", header("AC1021", "ANSI_1252"))), "管道");
  // UTF-8 bytes in a GBK file that are not GBK are read as UTF-8.
  EXPECT_EQ(layerOf(fileWith(line("\xED\x95\x9C"))), "한");
  // Windows-1252 when declared.
  EXPECT_EQ(layerOf(fileWith(line("Caf\xE9"), "", header("AC1015", "ANSI_1252"))), "Café");
}

TEST(ReadGeometry, mirroredExtrusionBecomesWorldCoordinates) {
  const std::string mirrored = tags({{210, "0"}, {220, "0"}, {230, "-1.0"}});
  ReadResult r = readDxf(fileWith(
      tags({{0, "ARC"}, {10, "10"}, {20, "5"}, {30, "0"}, {40, "2"}, {50, "30"}, {51, "90"}}) +
      mirrored +
      tags({{0, "LWPOLYLINE"}, {90, "2"}, {70, "0"}, {10, "1"}, {20, "2"}, {42, "0.5"},
            {10, "3"}, {20, "4"}}) + mirrored +
      tags({{0, "CIRCLE"}, {10, "1"}, {20, "1"}, {30, "0"}, {40, "1"}, {210, "0.6"}, {220, "0"},
            {230, "0.8"}})));
  ASSERT_TRUE(r.ok()) << r.error;
  auto model = entitiesOf(*r.drawing, r.drawing->modelSpace());
  ASSERT_EQ(model.size(), 3u);
  const auto& arc = std::get<db::Arc>(model[0]->geometry);
  EXPECT_EQ(arc.center.x, -10.0);
  EXPECT_EQ(arc.center.y, 5.0);
  EXPECT_DOUBLE_EQ(arc.startAngle, 90.0);  // 180 - 90
  EXPECT_DOUBLE_EQ(arc.endAngle, 150.0);   // 180 - 30
  const auto& pl = std::get<db::Polyline>(model[1]->geometry);
  EXPECT_EQ(pl.point(0), (db::Point2{-1, 2}));
  EXPECT_EQ(pl.bulge(0), -0.5);
  // Tilted out of the drawing plane: kept exactly as read.
  EXPECT_EQ(model[2]->kind(), db::EntityKind::unknown);
  EXPECT_EQ(r.findings.size(), 1u) << describe(r);
}

TEST(ReadGeometry, oldStylePolylinesBecomeLightweightWhenFlat) {
  auto polyline = [](const std::string& flags, const std::string& h) {
    return tags({{0, "POLYLINE"}, {5, h + "0"}, {8, "0"}, {66, "1"}, {10, "0"}, {20, "0"},
                 {30, "2.5"}, {70, flags}, {0, "VERTEX"}, {5, h + "1"}, {8, "0"}, {10, "1"},
                 {20, "2"}, {42, "1"}, {0, "VERTEX"}, {5, h + "2"}, {8, "0"}, {10, "3"},
                 {20, "4"}, {0, "SEQEND"}, {5, h + "3"}, {8, "0"}});
  };
  ReadResult r = readDxf(fileWith(polyline("1", "A") + polyline("8", "B")));
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_TRUE(r.findings.empty()) << describe(r);
  auto model = entitiesOf(*r.drawing, r.drawing->modelSpace());
  ASSERT_EQ(model.size(), 2u);  // one converted, then the 3D one with its vertices
  const auto& pl = std::get<db::Polyline>(model[0]->geometry);
  ASSERT_EQ(pl.size(), 2u);
  EXPECT_TRUE(pl.closed());
  EXPECT_EQ(pl.elevation(), 2.5);
  EXPECT_EQ(pl.bulge(0), 1.0);
  EXPECT_EQ(model[0]->handle(), 0xA0u);
  EXPECT_EQ(model[1]->kind(), db::EntityKind::heavyPolyline);
}

TEST(ReadGeometry, blockReferencesMayPointForwardWithinBlocks) {
  const std::string blocks =
      tags({{0, "BLOCK"}, {8, "0"}, {2, "OUTER"}, {70, "0"}, {10, "0"}, {20, "0"}, {30, "0"},
            {0, "INSERT"}, {8, "0"}, {2, "INNER"}, {10, "1"}, {20, "1"}, {30, "0"},
            {0, "ENDBLK"}, {8, "0"},
            {0, "BLOCK"}, {8, "0"}, {2, "INNER"}, {70, "0"}, {10, "0"}, {20, "0"}, {30, "0"},
            {0, "CIRCLE"}, {8, "0"}, {10, "0"}, {20, "0"}, {30, "0"}, {40, "1"},
            {0, "ENDBLK"}, {8, "0"}});
  ReadResult r = readDxf(fileWith(tags({{0, "INSERT"}, {8, "0"}, {2, "OUTER"}, {10, "0"}, {20, "0"}, {30, "0"}}), blocks, ""));
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_TRUE(r.findings.empty()) << describe(r);
  const db::Database& d = *r.drawing;
  auto outer = entitiesOf(d, *d.findBlock("OUTER"));
  ASSERT_EQ(outer.size(), 1u);
  EXPECT_EQ(std::get<db::BlockReference>(outer[0]->geometry).block, *d.findBlock("INNER"));
}

}  // namespace
}  // namespace orv::dxf
