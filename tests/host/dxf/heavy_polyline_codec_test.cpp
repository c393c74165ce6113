// Old-style POLYLINE runs (the POLYLINE, its VERTEX entities and SEQEND): read into one
// entity, written back tag for tag with every handle, and kept as read where the model
// cannot hold their values.
#include <gtest/gtest.h>

#include "dxf_test_util.h"
#include "orv/dxf/reader.h"
#include "orv/dxf/tags.h"
#include "orv/dxf/writer.h"

namespace orv::dxf {
namespace {

using namespace testing;

Pairs operator+(Pairs a, const Pairs& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// The run of the POLYLINE of handle A0 in a file's tags, from `0 POLYLINE` to the end of
// its SEQEND, owners (330) left out: the writer names them anew.
Pairs polylineRun(const Pairs& all) {
  Pairs out;
  for (std::size_t i = 0; i + 1 < all.size(); ++i) {
    if (all[i] != std::pair<int, std::string>{0, "POLYLINE"} || all[i + 1].second != "A0") continue;
    for (std::size_t k = i; k < all.size(); ++k) {
      if (k > i && all[k].first == 0 && all[k].second != "VERTEX" && all[k].second != "SEQEND") break;
      if (all[k].first != 330) out.push_back(all[k]);
    }
    break;
  }
  return out;
}

Pairs head(const std::string& marker, const Pairs& own) {
  return Pairs{{0, "POLYLINE"}, {5, "A0"}, {100, "AcDbEntity"}, {8, "0"}, {100, marker}, {66, "1"}} + own;
}

Pairs vertex(const std::string& handle, const Pairs& markers, const Pairs& own, const std::string& layer = "0") {
  return Pairs{{0, "VERTEX"}, {5, handle}, {100, "AcDbEntity"}, {8, layer}} + markers + own;
}

Pairs seqend(const std::string& handle) { return Pairs{{0, "SEQEND"}, {5, handle}, {100, "AcDbEntity"}, {8, "0"}}; }

const Pairs k3d{{100, "AcDbVertex"}, {100, "AcDb3dPolylineVertex"}};
const Pairs kFaceVertex{{100, "AcDbVertex"}, {100, "AcDbPolyFaceMeshVertex"}};
const Pairs kFace{{100, "AcDbFaceRecord"}};
const Pairs kMeshVertex{{100, "AcDbVertex"}, {100, "AcDbPolygonMeshVertex"}};
const Pairs k2d{{100, "AcDbVertex"}, {100, "AcDb2dVertex"}};

Pairs at(const std::string& x, const std::string& y, const std::string& z) { return {{10, x}, {20, y}, {30, z}}; }

TEST(HeavyPolylineCodec, eachKindReadAsOneEntityAndWrittenBackTagForTag) {
  const Pairs polyline3d =
      head("AcDb3dPolyline", at("0.0", "0.0", "0.0") + Pairs{{70, "9"}}) +
      vertex("A1", k3d, at("1.0", "2.0", "3.0") + Pairs{{70, "32"}}) +
      vertex("A2", k3d, at("4.5", "2.0", "-1.0") + Pairs{{70, "32"}}) +
      vertex("A3", k3d, at("4.5", "7.25", "0.0") + Pairs{{70, "32"}}) + seqend("A4");
  // A polyface square of two triangles; the diagonal hidden in both. The third vertex
  // lies on a layer of its own with an application group and extended data.
  const Pairs polyface =
      head("AcDbPolyFaceMesh", at("0.0", "0.0", "0.0") + Pairs{{70, "64"}, {71, "4"}, {72, "2"}}) +
      vertex("A1", kFaceVertex, at("0.0", "0.0", "0.0") + Pairs{{70, "192"}}) +
      vertex("A2", kFaceVertex, at("10.0", "0.0", "0.0") + Pairs{{70, "192"}}) +
      Pairs{{0, "VERTEX"}, {5, "A3"}, {102, "{ORV"}, {40, "1.5"}, {102, "}"}, {100, "AcDbEntity"},
            {8, "MESH"}, {62, "3"}} +
      kFaceVertex + at("10.0", "10.0", "2.0") + Pairs{{70, "192"}, {1001, "ORV"}, {1000, "kept"}} +
      vertex("A4", kFaceVertex, at("0.0", "10.0", "0.0") + Pairs{{70, "192"}}) +
      vertex("A5", kFace, at("0.0", "0.0", "0.0") + Pairs{{70, "128"}, {71, "1"}, {72, "2"}, {73, "-3"}}) +
      vertex("A6", kFace, at("0.0", "0.0", "0.0") + Pairs{{70, "128"}, {71, "3"}, {72, "4"}, {73, "-1"}}) +
      seqend("A7");
  const Pairs mesh = head("AcDbPolygonMesh", at("0.0", "0.0", "0.0") + Pairs{{70, "16"}, {71, "2"}, {72, "3"}}) +
                     vertex("A1", kMeshVertex, at("0.0", "0.0", "0.0") + Pairs{{70, "64"}}) +
                     vertex("A2", kMeshVertex, at("1.0", "0.0", "0.5") + Pairs{{70, "64"}}) +
                     vertex("A3", kMeshVertex, at("2.0", "0.0", "0.0") + Pairs{{70, "64"}}) +
                     vertex("A4", kMeshVertex, at("0.0", "1.0", "0.0") + Pairs{{70, "64"}}) +
                     vertex("A5", kMeshVertex, at("1.0", "1.0", "0.5") + Pairs{{70, "64"}}) +
                     vertex("A6", kMeshVertex, at("2.0", "1.0", "0.0") + Pairs{{70, "64"}}) + seqend("A7");
  // Curve-fit, at elevation 5, seen from below: the added vertex (1) and a tangent (2).
  const Pairs curveFit =
      head("AcDb2dPolyline", at("0.0", "0.0", "5.0") + Pairs{{70, "2"}, {40, "0.5"}, {41, "0.5"}, {210, "0.0"},
                                                             {220, "0.0"}, {230, "-1.0"}}) +
      vertex("A1", k2d, at("0.0", "0.0", "0.0") + Pairs{{42, "0.25"}, {70, "2"}, {50, "90.0"}}) +
      vertex("A2", k2d, at("3.0", "1.0", "0.0") + Pairs{{40, "0.0"}, {41, "1.0"}, {70, "3"}, {50, "0.0"}}) +
      vertex("A3", k2d, at("6.0", "0.0", "0.0") + Pairs{{70, "2"}, {50, "270.0"}}) + seqend("A4");
  struct Case {
    const char* what;
    Pairs tags;
    std::int16_t flags;
    std::size_t vertices;
    db::Point3 second;  // the second vertex's point
    std::size_t findings = 0;
  } cases[] = {
      {"a closed 3D polyline", polyline3d, 9, 3, {4.5, 2, -1}},
      {"a polyface mesh with hidden edges", polyface, 64, 6, {10, 0, 0}, 1},
      {"a polygon mesh of 2 by 3", mesh, 16, 6, {1, 0, 0.5}},
      {"a curve-fit 2D polyline below its plane", curveFit, 2, 3, {3, 1, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const ReadResult r = readDxf(fileWith(joined(c.tags)));
    ASSERT_TRUE(r.ok()) << describe(r);
    // The layer only a vertex names is added to the table.
    EXPECT_EQ(r.findings.size(), c.findings) << describe(r);
    if (c.findings) EXPECT_TRUE(hasFindingOf(r, "图层“MESH”被使用但未定义")) << describe(r);
    const auto model = entitiesOf(*r.drawing, r.drawing->modelSpace());
    ASSERT_EQ(model.size(), 1u) << "the POLYLINE, its vertices and SEQEND are one entity";
    const db::HeavyPolyline* p = model.front()->as<db::HeavyPolyline>();
    ASSERT_TRUE(p);
    EXPECT_EQ(p->flags, c.flags);
    ASSERT_EQ(p->vertices.size(), c.vertices);
    EXPECT_EQ(p->vertices[1].point, c.second);
    EXPECT_EQ(p->vertices[0].common.handle, 0xA1u);
    EXPECT_EQ(p->seqend.handle, 0xA1u + c.vertices);
    const std::string written = writeDxfToString(*r.drawing);
    EXPECT_EQ(polylineRun(tagsOfFile(written)), c.tags);
    const ReadResult again = readDxf(written);
    ASSERT_TRUE(again.ok()) << describe(again);
    EXPECT_EQ(entitiesOf(*again.drawing, again.drawing->modelSpace()).front()->geometry, model.front()->geometry);
  }
  // What the polyface holds: the faces' vertex numbers, a hidden edge negative; the third
  // vertex's own layer, colour and kept tags.
  const ReadResult r = readDxf(fileWith(joined(polyface)));
  const db::HeavyPolyline& p = *entitiesOf(*r.drawing, r.drawing->modelSpace()).front()->as<db::HeavyPolyline>();
  EXPECT_TRUE(p.vertices[4].isFaceRecord());
  EXPECT_FALSE(p.vertices[3].isFaceRecord());
  EXPECT_EQ(p.vertices[5].face, (std::array<std::int16_t, 4>{3, 4, -1, 0}));
  EXPECT_EQ(r.drawing->name(p.vertices[2].common.layer), "MESH");
  EXPECT_EQ(p.vertices[2].common.color, 3);
  EXPECT_EQ(db::polyfacePoints(p).size(), 4u);
  EXPECT_EQ(db::meshEdges(p).size(), 4u) << "the square's sides, not its diagonal";
}

TEST(HeavyPolylineCodec, whatCannotBeHeldIsKeptAsReadAndSaidSo) {
  const Pairs two = vertex("A1", k3d, at("0.0", "0.0", "0.0") + Pairs{{70, "32"}}) +
                    vertex("A2", k3d, at("1.0", "0.0", "0.0") + Pairs{{70, "32"}});
  struct Case {
    const char* what;
    Pairs tags;
    const char* finding;
  } cases[] = {
      {"a coordinate that is no number",
       head("AcDb3dPolyline", Pairs{{70, "8"}}) + vertex("A1", k3d, at("x", "0.0", "0.0")) + seqend("A3"),
       "有数值无法读出"},
      {"a coordinate beyond a double",
       head("AcDb3dPolyline", Pairs{{70, "8"}}) + vertex("A1", k3d, at("1e999", "0.0", "0.0")) + seqend("A3"),
       "不是有限数值"},
      {"flags beyond 16 bits", head("AcDb3dPolyline", Pairs{{70, "70008"}}) + two + seqend("A3"), "有数值无法读出"},
      {"a mesh of fewer vertices than M by N",
       head("AcDbPolygonMesh", Pairs{{70, "16"}, {71, "2"}, {72, "2"}}) + two + seqend("A3"), "M×N"},
      {"a face naming a vertex that is not there",
       head("AcDbPolyFaceMesh", Pairs{{70, "64"}, {71, "2"}, {72, "1"}}) + two +
           vertex("A5", kFace, at("0.0", "0.0", "0.0") + Pairs{{70, "128"}, {71, "1"}, {72, "2"}, {73, "-9"}}) +
           seqend("A3"),
       "不存在的顶点"},
      {"an extrusion of no length",
       head("AcDb2dPolyline", Pairs{{70, "2"}, {210, "0"}, {220, "0"}, {230, "0"}}) + two + seqend("A3"), "长度为零"},
      {"no vertices", head("AcDb3dPolyline", Pairs{{70, "8"}}) + seqend("A3"), "没有顶点"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const ReadResult r = readDxf(fileWith(joined(c.tags)));
    ASSERT_TRUE(r.ok()) << describe(r);
    const auto model = entitiesOf(*r.drawing, r.drawing->modelSpace());
    ASSERT_GE(model.size(), 2u);
    for (const db::Entity* e : model) EXPECT_EQ(e->kind(), db::EntityKind::unknown);
    EXPECT_TRUE(hasFindingOf(r, c.finding)) << describe(r);
    EXPECT_EQ(polylineRun(tagsOfFile(writeDxfToString(*r.drawing))), c.tags) << "written back as it was read";
  }
}

TEST(HeavyPolylineCodec, handlesStayUniqueAndFollowTheEntity) {
  // A vertex whose handle another entity has: one of them gets a new handle, said so.
  const Pairs tags = Pairs{{0, "LINE"}, {5, "A2"}, {100, "AcDbEntity"}, {8, "0"}, {100, "AcDbLine"}} +
                     at("0.0", "0.0", "0.0") + Pairs{{11, "1.0"}, {21, "0.0"}, {31, "0.0"}} +
                     head("AcDb3dPolyline", Pairs{{70, "8"}}) +
                     vertex("A1", k3d, at("0.0", "0.0", "0.0") + Pairs{{70, "32"}}) +
                     vertex("A2", k3d, at("1.0", "1.0", "1.0") + Pairs{{70, "32"}}) + seqend("A3");
  ReadResult r = readDxf(fileWith(joined(tags)));
  ASSERT_TRUE(r.ok()) << describe(r);
  EXPECT_TRUE(hasFindingOf(r, "句柄与其他对象重复")) << describe(r);
  db::Database& d = *r.drawing;
  const auto model = entitiesOf(d, d.modelSpace());
  ASSERT_EQ(model.size(), 2u);
  const db::HeavyPolyline& p = *model[1]->as<db::HeavyPolyline>();
  EXPECT_NE(p.vertices[1].common.handle, model[0]->handle());
  EXPECT_GT(d.handseed(), p.seqend.handle);

  // A copy is a new entity with new vertices; an edit keeps the vertices' handles.
  const db::ObjectId original = d.lastEntity();
  const db::ObjectId copy = *d.append(*model[1]);
  const auto& copied = *d.entity(copy)->as<db::HeavyPolyline>();
  EXPECT_NE(copied.vertices[0].common.handle, p.vertices[0].common.handle);
  EXPECT_NE(copied.seqend.handle, p.seqend.handle);
  db::Entity moved = *d.entity(original);
  moved.as<db::HeavyPolyline>()->vertices[0].point.x = 7;
  const db::Handle first = p.vertices[0].common.handle;
  ASSERT_EQ(d.replace(original, std::move(moved)), db::Status::ok);
  EXPECT_EQ(d.entity(original)->as<db::HeavyPolyline>()->vertices[0].common.handle, first);
  // Saved and read again, no handle is taken twice.
  const ReadResult again = readDxf(writeDxfToString(d));
  ASSERT_TRUE(again.ok()) << describe(again);
  EXPECT_FALSE(hasFindingOf(again, "句柄与其他对象重复")) << describe(again);
}

}  // namespace
}  // namespace orv::dxf
