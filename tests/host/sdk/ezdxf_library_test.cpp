// Library drawings made by another program (ezdxf): read into a side
// database, their block carried into the drawing with its nested block, layer
// and linetype, Chinese names intact.
#include <gtest/gtest.h>

#include <cstdlib>

#include "orv/text/encoding.h"
#include "side_db_fixture.h"

namespace {

namespace db = orv::db;
using orv::sdk::databaseOf;

// Writes 截止阀.dxf: block 截止阀 (two triangles and a nested 手轮 on layer
// 阀门 with linetype DASHED, layer colour 3) and two references to it.
constexpr const char* kScript = R"(
import sys, ezdxf
doc = ezdxf.new('R2000', setup=True)
doc.encoding = 'gbk'
doc.layers.add('阀门', color=3, linetype='DASHED')
wheel = doc.blocks.new('手轮')
wheel.add_circle((150, 160), 20, dxfattribs={'layer': '阀门'})
wheel.add_line((150, 109.5), (150, 140), dxfattribs={'linetype': 'DASHED'})
valve = doc.blocks.new('截止阀')
valve.add_lwpolyline([(0, 0), (150, 109.5), (0, 219)], close=True)
valve.add_lwpolyline([(300, 0), (150, 109.5), (300, 219)], close=True)
valve.add_blockref('手轮', (0, 0))
msp = doc.modelspace()
msp.add_line((0, -50), (300, -50))
msp.add_blockref('截止阀', (1000, 0), dxfattribs={'xscale': 2})
msp.add_blockref('截止阀', (2000, 0))
doc.saveas(sys.argv[1])
)";

TEST(EzdxfLibrary, aBlockDrawnByAnotherProgramIsCarriedWithWhatItNeeds) {
  orv::test::TempDir dir;
  const auto script = dir / "make.py";
  const auto drawing = dir / "截止阀.dxf";
  orv::test::writeText(script, kScript);
  const std::string command = std::string(ORV_PYTHON) + " '" + script.string() + "' '" + drawing.string() + "'";
  ASSERT_EQ(std::system(command.c_str()), 0) << "python3 with ezdxf is needed: " << command;

  AcDbDatabase side(false, true);
  ASSERT_EQ(side.readDwgFile(orv::text::widen(drawing.string()).c_str()), Acad::eOk);
  AcDbObjectIdArray ids;
  ids.append(orv::test::firstReference(side, L"截止阀"));
  ASSERT_FALSE(ids[0].isNull());
  AcDbDatabase* out = nullptr;
  ASSERT_EQ(side.wblock(out, ids, AcGePoint3d::kOrigin), Acad::eOk);
  std::unique_ptr<AcDbDatabase> owned(out);

  AcDbDatabase current(true);
  ASSERT_EQ(current.insert(AcGeMatrix3d::kIdentity, out), Acad::eOk);
  const db::Database& d = databaseOf(&current);
  const auto valve = d.findBlock("截止阀");
  const auto wheel = d.findBlock("手轮");
  ASSERT_TRUE(valve && wheel);
  EXPECT_EQ(d.block(*valve).entities.size(), 3u);
  const auto* ref = d.entity(d.lastEntity())->as<db::BlockReference>();
  ASSERT_NE(ref, nullptr);
  EXPECT_EQ(ref->block, *valve);
  EXPECT_EQ(ref->position, (db::Point3{1000, 0, 0}));
  EXPECT_EQ(ref->xScale, 2.0);
  const db::Layer* layer = d.layers().get("阀门");
  ASSERT_NE(layer, nullptr);
  EXPECT_EQ(layer->color, 3);
  EXPECT_EQ(layer->linetype, "DASHED");
  const db::Entity& line = *d.entity(d.block(*wheel).entities.at(1));
  EXPECT_EQ(d.name(line.linetype), "DASHED");
  std::size_t inModel = 0;
  d.forEachEntity(d.modelSpace(), [&](db::ObjectId, const db::Entity&) { ++inModel; });
  EXPECT_EQ(inModel, 1u) << "only the carried reference, not the library's line";
}

}  // namespace
