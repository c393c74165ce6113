// Points, solids, traces, faces and ellipses: read into their kinds, written back tag for tag, and
// kept as read where the values cannot be held.
#include <gtest/gtest.h>

#include "dxf_test_util.h"
#include "orv/dxf/reader.h"
#include "orv/dxf/tags.h"
#include "orv/dxf/writer.h"

namespace orv::dxf {
namespace {

using namespace testing;

// The tags of a written file.
// The tags without the owner (the writer names the block's record, which this file lacks).
Pairs withoutOwner(Pairs tags) {
  bool inGroup = false;
  for (auto it = tags.begin(); it != tags.end(); ++it) {
    if (it->first == 102) inGroup = it->second.starts_with("{");
    if (it->first == 330 && !inGroup) {
      tags.erase(it);
      break;
    }
  }
  return tags;
}

const db::Entity& onlyEntity(const db::Database& d) {
  const auto list = entitiesOf(d, d.modelSpace());
  EXPECT_EQ(list.size(), 1u);
  return *list.front();
}

const Pairs kHead = {{5, "ABC"}, {330, "1F"}, {100, "AcDbEntity"}, {8, "0"}};

Pairs entity(const char* type, Pairs own, Pairs before = {}) {
  Pairs out{{0, type}, {5, "ABC"}};
  out.insert(out.end(), before.begin(), before.end());
  out.insert(out.end(), kHead.begin() + 1, kHead.end());
  out.insert(out.end(), own.begin(), own.end());
  return out;
}

db::Geometry solid(db::Solid s, double thickness = 0, db::Point3 extrusion = {0, 0, 1}, std::int16_t hidden = 0) {
  s.thickness = thickness;
  s.extrusion = extrusion;
  s.hiddenEdges = hidden;
  return db::Geometry(db::Boxed<db::Solid>(s));
}

TEST(DescribedKinds, readIntoTheirKindAndWrittenBackTagForTag) {
  using T = db::Solid::Type;
  struct Case {
    const char* what;
    Pairs tags;
    db::Geometry expected;
  } cases[] = {
      {"point with thickness, extrusion and angle, reactors and extended data",
       entity("POINT",
              {{100, "AcDbPoint"}, {10, "0.0"}, {20, "0.0"}, {30, "0.0"}, {39, "2.5"}, {210, "0.0"}, {220, "0.0"},
               {230, "-1.0"}, {50, "30.0"}, {1001, "ORV"}, {1000, "note"}},
              {{102, "{ACAD_REACTORS"}, {330, "3B"}, {102, "}"}}),
       db::Point{{0, 0, 0}, 2.5, {0, 0, -1}, 30}},
      {"point that gives its defaults: they stay where they were",
       entity("POINT", {{100, "AcDbPoint"}, {10, "1.0"}, {20, "1.0"}, {30, "0.0"}, {210, "0.0"}, {220, "0.0"},
                        {230, "1.0"}, {50, "0"}}),
       db::Point{{1, 1, 0}}},
      {"solid: four corners, the last two in their own order",
       entity("SOLID", {{100, "AcDbTrace"}, {10, "0.0"}, {20, "0.0"}, {30, "0.0"}, {11, "4.0"}, {21, "0.0"},
                        {31, "0.0"}, {12, "0.0"}, {22, "4.0"}, {32, "0.0"}, {13, "4.0"}, {23, "4.0"}, {33, "0.0"}}),
       solid(db::Solid::through(T::solid, {0, 0, 0}, {4, 0, 0}, {0, 4, 0}, db::Point3{4, 4, 0}))},
      {"solid as some writers give it: an elevation first, corners without z",
       entity("SOLID", {{100, "AcDbTrace"}, {38, "0.0"}, {10, "7.5"}, {20, "8.0"}, {11, "7.0"}, {21, "8.5"},
                        {12, "7.0"}, {22, "9.0"}, {13, "7.0"}, {23, "9.0"}}),
       solid(db::Solid::through(T::solid, {7.5, 8, 0}, {7, 8.5, 0}, {7, 9, 0}))},
      {"trace in a mirrored plane with a thickness",
       entity("TRACE", {{100, "AcDbTrace"}, {10, "0.0"}, {20, "0.0"}, {30, "0.0"}, {11, "1.0"}, {21, "0.0"},
                        {31, "0.0"}, {12, "0.0"}, {22, "1.0"}, {32, "0.0"}, {13, "1.0"}, {23, "1.0"}, {33, "0.0"},
                        {39, "1.0"}, {210, "0.0"}, {220, "0.0"}, {230, "-1.0"}}),
       solid(db::Solid::through(T::trace, {0, 0, 0}, {1, 0, 0}, {0, 1, 0}, db::Point3{1, 1, 0}), 1, {0, 0, -1})},
      {"3D face with hidden edges and an unusual code kept in its place",
       entity("3DFACE", {{100, "AcDbFace"}, {10, "0.0"}, {20, "0.0"}, {30, "1.0"}, {11, "1.0"}, {21, "0.0"},
                         {31, "1.0"}, {12, "1.0"}, {22, "1.0"}, {32, "2.0"}, {13, "0.0"}, {23, "1.0"}, {33, "2.0"},
                         {70, "5"}, {71, "3"}}),
       solid(db::Solid::through(T::face, {0, 0, 1}, {1, 0, 1}, {1, 1, 2}, db::Point3{0, 1, 2}), 0, {0, 0, 1}, 5)},
      {"half an ellipse in a mirrored plane",
       entity("ELLIPSE", {{100, "AcDbEllipse"}, {10, "1.0"}, {20, "2.0"}, {30, "0.0"}, {11, "10.0"}, {21, "0.0"},
                          {31, "0.0"}, {210, "0.0"}, {220, "0.0"}, {230, "-1.0"}, {40, "0.5"}, {41, "0.0"},
                          {42, "3.141592653589793"}}),
       db::Ellipse{{1, 2, 0}, {10, 0, 0}, {0, 0, -1}, 0.5, 0.0, 3.141592653589793}},
      {"a triangle without its fourth corner repeats its third",
       entity("SOLID", {{100, "AcDbTrace"}, {10, "0.0"}, {20, "0.0"}, {11, "2.0"}, {21, "0.0"}, {12, "0.0"},
                        {22, "2.0"}}),
       solid(db::Solid::through(T::solid, {0, 0, 0}, {2, 0, 0}, {0, 2, 0}))},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Pairs& input = c.tags;
    const ReadResult r = readDxf(fileWith(joined(input)));
    ASSERT_TRUE(r.ok()) << describe(r);
    const db::Entity& e = onlyEntity(*r.drawing);
    EXPECT_TRUE(e.geometry == c.expected);
    const std::string written = writeDxfToString(*r.drawing);
    if (!std::string_view(c.what).starts_with("a triangle")) {  // written back with its fourth corner
      EXPECT_EQ(withoutOwner(entityTags(written, "ABC")), withoutOwner(input));
    }
    const ReadResult again = readDxf(written);
    ASSERT_TRUE(again.ok()) << describe(again);
    EXPECT_EQ(onlyEntity(*again.drawing).geometry, e.geometry);
  }
}

TEST(DescribedKinds, whatCannotBeHeldIsKeptAsReadAndSaidSo) {
  struct Case {
    const char* what;
    Pairs tags;
    const char* finding;
  } cases[] = {
      {"a coordinate that is no number",
       entity("POINT", {{100, "AcDbPoint"}, {10, "abc"}, {20, "0.0"}, {30, "0.0"}}), "有数值无法读出"},
      {"a coordinate out of range", entity("POINT", {{100, "AcDbPoint"}, {10, "1e999"}, {20, "0.0"}, {30, "0.0"}}),
       "不是有限数值"},
      {"an extrusion of no length",
       entity("SOLID", {{100, "AcDbTrace"}, {10, "0.0"}, {20, "0.0"}, {30, "0.0"}, {11, "1.0"}, {21, "0.0"},
                        {31, "0.0"}, {12, "0.0"}, {22, "1.0"}, {32, "0.0"}, {13, "1.0"}, {23, "1.0"}, {33, "0.0"},
                        {210, "0.0"}, {220, "0.0"}, {230, "0.0"}}),
       "不是有限数值"},
      {"an ellipse whose minor axis is the longer",
       entity("ELLIPSE", {{100, "AcDbEllipse"}, {10, "0.0"}, {20, "0.0"}, {30, "0.0"}, {11, "1.0"}, {21, "0.0"},
                          {31, "0.0"}, {40, "2.0"}, {41, "0.0"}, {42, "1.0"}}),
       "超出范围"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const ReadResult r = readDxf(fileWith(joined(c.tags)));
    ASSERT_TRUE(r.ok()) << describe(r);
    const db::Entity& e = onlyEntity(*r.drawing);
    ASSERT_EQ(e.kind(), db::EntityKind::unknown);
    EXPECT_TRUE(hasFindingOf(r, c.finding)) << describe(r);
    EXPECT_EQ(withoutOwner(entityTags(writeDxfToString(*r.drawing), "ABC")), withoutOwner(c.tags))
        << "written back as it was read";
  }
}

}  // namespace
}  // namespace orv::dxf
