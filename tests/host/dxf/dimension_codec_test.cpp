// DIMENSION: read into its kind by the subclass parts of each type, written back tag for
// tag, written anew in its parts when made here, and kept as read when a number is bad.
#include <gtest/gtest.h>

#include "dxf_test_util.h"
#include "orv/dxf/reader.h"
#include "orv/dxf/tags.h"
#include "orv/dxf/writer.h"

namespace orv::dxf {
namespace {

using namespace testing;

Pairs dimension(Pairs own) {
  Pairs out{{0, "DIMENSION"}, {5, "ABC"}, {100, "AcDbEntity"}, {8, "0"}};
  out.insert(out.end(), own.begin(), own.end());
  return out;
}

const db::Dimension& onlyDimension(const db::Database& d) {
  const auto list = entitiesOf(d, d.modelSpace());
  EXPECT_EQ(list.size(), 1u);
  const auto* dim = list.front()->as<db::Dimension>();
  EXPECT_NE(dim, nullptr);
  static const db::Dimension none;
  return dim ? *dim : none;
}

TEST(DimensionCodec, eachTypeReadByItsPartsAndWrittenBackTagForTag) {
  using T = db::Dimension::Type;
  struct Case {
    const char* what;
    Pairs tags;
    T type;
    db::Point3 point13, point15;
    double measured;
    Pairs written = {};  // when not as read
  } cases[] = {
      {"rotated, with a version code and a user text, 50 before the second marker",
       dimension({{100, "AcDbDimension"}, {280, "0"}, {2, "*D1"}, {10, "40.0"}, {20, "20.0"}, {30, "0.0"},
                  {11, "20.0"}, {21, "22.0"}, {31, "0.0"}, {70, "32"}, {71, "5"}, {42, "40.0"}, {1, "<> mm"},
                  {3, "Standard"}, {100, "AcDbAlignedDimension"}, {13, "0.0"}, {23, "0.0"}, {33, "0.0"},
                  {14, "40.0"}, {24, "10.0"}, {34, "0.0"}, {50, "0.0"}, {100, "AcDbRotatedDimension"}}),
       T::rotated, {0, 0, 0}, {}, 40.0},
      {"aligned, points written without z",
       dimension({{100, "AcDbDimension"}, {2, "*D2"}, {10, "3.0"}, {20, "4.0"}, {11, "1.5"}, {21, "2.0"},
                  {70, "33"}, {3, "Standard"}, {100, "AcDbAlignedDimension"}, {13, "0.0"}, {23, "0.0"},
                  {14, "3.0"}, {24, "4.0"}}),
       T::aligned, {0, 0, 0}, {}, 5.0},
      {"radius with its leader length",
       dimension({{100, "AcDbDimension"}, {2, "*D3"}, {10, "0.0"}, {20, "0.0"}, {30, "0.0"}, {11, "8.0"},
                  {21, "0.0"}, {31, "0.0"}, {70, "36"}, {3, "Standard"}, {100, "AcDbRadialDimension"},
                  {15, "5.0"}, {25, "0.0"}, {35, "0.0"}, {40, "0.0"}}),
       T::radius, {}, {5, 0, 0}, 5.0},
      {"two lines at a right angle",
       dimension({{100, "AcDbDimension"}, {2, "*D4"}, {10, "0.0"}, {20, "10.0"}, {30, "0.0"}, {11, "5.0"},
                  {21, "5.0"}, {31, "0.0"}, {70, "34"}, {3, "Standard"}, {100, "AcDb2LineAngularDimension"},
                  {13, "0.0"}, {23, "0.0"}, {33, "0.0"}, {14, "10.0"}, {24, "0.0"}, {34, "0.0"}, {15, "0.0"},
                  {25, "0.0"}, {35, "0.0"}, {16, "3.0"}, {26, "3.0"}, {36, "0.0"}}),
       T::angular, {0, 0, 0}, {0, 0, 0}, 90.0},
      {"three points, an R12 file without markers: written with them",
       {{0, "DIMENSION"}, {5, "ABC"}, {8, "0"}, {2, "*D5"}, {10, "0.0"}, {20, "5.0"}, {11, "3.0"}, {21, "3.0"},
        {70, "5"}, {13, "5.0"}, {23, "0.0"}, {14, "0.0"}, {24, "5.0"}, {15, "0.0"}, {25, "0.0"}}},
      // (the last case's values are filled in below)
  };
  cases[4].type = T::angular3Point;
  cases[4].point13 = {5, 0, 0};
  cases[4].point15 = {0, 0, 0};
  cases[4].measured = 90.0;
  cases[4].written = dimension({{100, "AcDbDimension"}, {2, "*D5"}, {10, "0.0"}, {20, "5.0"}, {30, "0.0"},
                                {11, "3.0"}, {21, "3.0"}, {31, "0.0"}, {70, "5"},
                                {100, "AcDb3PointAngularDimension"}, {13, "5.0"}, {23, "0.0"}, {33, "0.0"},
                                {14, "0.0"}, {24, "5.0"}, {34, "0.0"}, {15, "0.0"}, {25, "0.0"}, {35, "0.0"}});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const ReadResult r = readDxf(fileWith(joined(c.tags)));
    ASSERT_TRUE(r.ok()) << describe(r);
    const db::Dimension& dim = onlyDimension(*r.drawing);
    EXPECT_EQ(dim.type(), c.type);
    EXPECT_EQ(dim.point13, c.point13);
    EXPECT_EQ(dim.point15, c.point15);
    EXPECT_NEAR(dim.measured(), c.measured, 1e-9);
    const std::string written = writeDxfToString(*r.drawing);
    EXPECT_EQ(entityTags(written, "ABC", false), c.written.empty() ? c.tags : c.written);
    const ReadResult again = readDxf(written);
    ASSERT_TRUE(again.ok()) << describe(again);
    EXPECT_EQ(onlyDimension(*again.drawing), dim);
    EXPECT_EQ(writeDxfToString(*again.drawing), written);
  }
}

TEST(DimensionCodec, changedValuesGoWhereTheyWereAndNewOnesAtTheEndOfTheirPart) {
  const Pairs input =
      dimension({{100, "AcDbDimension"}, {2, "*D1"}, {10, "40.0"}, {20, "20.0"}, {30, "0.0"}, {11, "20.0"},
                 {21, "22.0"}, {31, "0.0"}, {70, "32"}, {3, "Standard"}, {100, "AcDbAlignedDimension"},
                 {13, "0.0"}, {23, "0.0"}, {33, "0.0"}, {14, "40.0"}, {24, "10.0"}, {34, "0.0"},
                 {100, "AcDbRotatedDimension"}});
  ReadResult r = readDxf(fileWith(joined(input)));
  ASSERT_TRUE(r.ok()) << describe(r);
  db::Database& d = *r.drawing;
  const db::ObjectId id = d.block(d.modelSpace()).entities.front();
  db::Entity e = *d.entity(id);
  db::Dimension& dim = *e.as<db::Dimension>();
  dim.point14.x = 50;
  dim.rotation = 30;
  dim.measurement = 50;
  dim.block = "*D9";
  ASSERT_EQ(d.replace(id, std::move(e)), db::Status::ok);
  const Pairs written = entityTags(writeDxfToString(d), "ABC", false);
  const Pairs expected =
      dimension({{100, "AcDbDimension"}, {2, "*D9"}, {10, "40.0"}, {20, "20.0"}, {30, "0.0"}, {11, "20.0"},
                 {21, "22.0"}, {31, "0.0"}, {70, "32"}, {3, "Standard"}, {42, "50.0"},
                 {100, "AcDbAlignedDimension"}, {13, "0.0"}, {23, "0.0"}, {33, "0.0"}, {14, "50.0"}, {24, "10.0"},
                 {34, "0.0"}, {50, "30.0"}, {100, "AcDbRotatedDimension"}});
  EXPECT_EQ(written, expected);
}

TEST(DimensionCodec, aDimensionMadeHereIsWrittenInThePartsOfItsType) {
  db::Database d = db::Database::newDrawing();
  db::Dimension dim;
  dim.block = "*D1";
  dim.style = "Standard";
  dim.flags = 32;  // rotated
  dim.point14 = {10, 0, 0};
  dim.definitionPoint = {10, 5, 0};
  dim.textMidpoint = {5, 6, 0};
  ASSERT_TRUE(d.append(db::Entity(dim)));
  const std::string written = writeDxfToString(d);
  const ReadResult r = readDxf(written);
  ASSERT_TRUE(r.ok()) << describe(r);
  EXPECT_EQ(onlyDimension(*r.drawing), dim);
  const std::size_t base = written.find("AcDbDimension"), aligned = written.find("AcDbAlignedDimension"),
                    rotated = written.find("AcDbRotatedDimension");
  EXPECT_LT(base, aligned);
  EXPECT_LT(aligned, rotated);
  EXPECT_LT(written.find(" 14\r\n10.0", aligned), rotated) << "the origins in the aligned part";
  EXPECT_LT(written.find(" 50\r\n0.0", aligned), rotated) << "the rotation before the rotated part's marker";
}

TEST(DimensionCodec, aBadNumberKeepsTheDimensionAsReadAndSaysSo) {
  const Pairs input = dimension({{100, "AcDbDimension"}, {2, "*D1"}, {10, "x"}, {20, "0.0"}, {70, "32"},
                                 {100, "AcDbAlignedDimension"}, {13, "0.0"}, {23, "0.0"}, {14, "1e999"},
                                 {24, "0.0"}});
  const ReadResult r = readDxf(fileWith(joined(input)));
  ASSERT_TRUE(r.ok()) << describe(r);
  const auto list = entitiesOf(*r.drawing, r.drawing->modelSpace());
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list.front()->kind(), db::EntityKind::unknown);
  EXPECT_TRUE(hasFindingOf(r, "有数值无法读出")) << describe(r);
  EXPECT_EQ(entityTags(writeDxfToString(*r.drawing), "ABC", false), input);
}

}  // namespace
}  // namespace orv::dxf
