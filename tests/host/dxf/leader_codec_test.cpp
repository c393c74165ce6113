// LEADER: read into its kind from the tags of its own part, written back tag for tag,
// changed values written where they were, made ones written in the usual order, and
// values the kind cannot hold kept as read with a finding.
#include <gtest/gtest.h>

#include "dxf_test_util.h"
#include "orv/dxf/reader.h"
#include "orv/dxf/writer.h"

namespace orv::dxf {
namespace {

using namespace testing;

Pairs leader(Pairs own) {
  Pairs out{{0, "LEADER"}, {5, "ABC"}, {100, "AcDbEntity"}, {8, "0"}};
  out.insert(out.end(), own.begin(), own.end());
  return out;
}

const db::Leader* onlyLeader(const db::Database& d) {
  const auto list = entitiesOf(d, d.modelSpace());
  EXPECT_EQ(list.size(), 1u);
  return list.empty() ? nullptr : list.front()->as<db::Leader>();
}

TEST(LeaderCodec, readIntoItsKindAndWrittenBackTagForTag) {
  struct Case {
    const char* what;
    Pairs tags;
    std::vector<db::Point3> vertices;
    std::int16_t arrow, creation;
    db::Handle annotation;
    db::Point3 horizontal, offset;
    std::string style;
  } cases[] = {
      {"every field, as a CAD program writes one pointing at a text",
       leader({{100, "AcDbLeader"}, {3, "ISO-25"}, {71, "1"}, {72, "0"}, {73, "0"}, {74, "1"}, {75, "0"},
               {40, "2.5"}, {41, "12.25"}, {76, "3"}, {10, "0.0"}, {20, "0.0"}, {30, "0.0"}, {10, "10.0"},
               {20, "10.0"}, {30, "0.0"}, {10, "15.0"}, {20, "10.0"}, {30, "0.0"}, {77, "256"}, {340, "2F"},
               {210, "0.0"}, {220, "0.0"}, {230, "1.0"}, {211, "0.0"}, {221, "1.0"}, {231, "0.0"},
               {212, "0.0"}, {222, "0.0"}, {232, "0.0"}, {213, "-1.5"}, {223, "0.25"}, {233, "0.0"}}),
       {{0, 0, 0}, {10, 10, 0}, {15, 10, 0}}, 1, 0, 0x2F, {0, 1, 0}, {-1.5, 0.25, 0}, "ISO-25"},
      {"vertices without z, no annotation, a code the kind does not hold, numbers spelled oddly",
       leader({{100, "AcDbLeader"}, {3, "Standard"}, {71, "0"}, {72, "1"}, {73, "3"}, {76, "2"}, {10, "1"},
               {20, "2"}, {10, "3.50"}, {20, "-4"}, {270, "7"}}),
       {{1, 2, 0}, {3.5, -4, 0}}, 0, 3, 0, {1, 0, 0}, {}, "Standard"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const ReadResult r = readDxf(fileWith(joined(c.tags)));
    ASSERT_TRUE(r.ok()) << describe(r);
    const db::Leader* l = onlyLeader(*r.drawing);
    ASSERT_NE(l, nullptr) << describe(r);
    EXPECT_EQ(l->vertices, c.vertices);
    EXPECT_EQ(l->arrow, c.arrow);
    EXPECT_EQ(l->creation, c.creation);
    EXPECT_EQ(l->annotation, c.annotation);
    EXPECT_EQ(l->horizontal, c.horizontal);
    EXPECT_EQ(l->annotationOffset, c.offset);
    EXPECT_EQ(l->style, c.style);
    const std::string written = writeDxfToString(*r.drawing);
    EXPECT_EQ(entityTags(written, "ABC", false), c.tags);
    const ReadResult again = readDxf(written);
    ASSERT_TRUE(again.ok()) << describe(again);
    ASSERT_NE(onlyLeader(*again.drawing), nullptr);
    EXPECT_EQ(*onlyLeader(*again.drawing), *l);
  }
}

TEST(LeaderCodec, changedValuesGoWhereTheyWereAndAddedVerticesAfterTheLast) {
  const Pairs input = leader({{100, "AcDbLeader"}, {3, "Standard"}, {71, "1"}, {76, "2"}, {10, "0.0"}, {20, "0.0"},
                              {10, "5.0"}, {20, "5.0"}, {30, "0.0"}, {211, "1.0"}, {221, "0.0"}, {231, "0.0"}});
  ReadResult r = readDxf(fileWith(joined(input)));
  ASSERT_TRUE(r.ok()) << describe(r);
  db::Database& d = *r.drawing;
  const db::ObjectId id = d.block(d.modelSpace()).entities.front();
  db::Entity e = *d.entity(id);
  db::Leader& l = *e.as<db::Leader>();
  l.vertices[0] = {1, 0, 2};  // z where the file gave none
  l.vertices.push_back({9, 5, 0});
  l.annotation = 0x1A;
  l.horizontal = {0, -1, 0};
  ASSERT_EQ(d.replace(id, std::move(e)), db::Status::ok);
  const Pairs expected =
      leader({{100, "AcDbLeader"}, {3, "Standard"}, {71, "1"}, {76, "3"}, {10, "1.0"}, {20, "0.0"}, {30, "2.0"},
              {10, "5.0"}, {20, "5.0"}, {30, "0.0"}, {10, "9.0"}, {20, "5.0"}, {30, "0.0"}, {211, "0.0"},
              {221, "-1.0"}, {231, "0.0"}, {340, "1A"}});
  EXPECT_EQ(entityTags(writeDxfToString(d), "ABC", false), expected);
}

TEST(LeaderCodec, aLeaderMadeHereIsWrittenInOrderAndReadBackTheSame) {
  db::Database d = db::Database::newDrawing();
  db::Leader l;
  l.style = "Standard";
  l.creation = 0;
  l.textHeight = 2.5;
  l.vertices = {{0, 0, 0}, {4, 3, 0}, {6, 3, 0}};
  l.annotation = 0x7B;
  l.annotationOffset = {-0.5, 0, 0};
  ASSERT_TRUE(d.append(db::Entity(l)));
  const std::string written = writeDxfToString(d);
  const ReadResult r = readDxf(written);
  ASSERT_TRUE(r.ok()) << describe(r);
  ASSERT_NE(onlyLeader(*r.drawing), nullptr);
  EXPECT_EQ(*onlyLeader(*r.drawing), l);
  const std::size_t marker = written.find("AcDbLeader"), count = written.find(" 76\r\n3", marker),
                    vertex = written.find(" 10\r\n4.0", marker), handle = written.find("340\r\n7B", marker),
                    direction = written.find("211\r\n", marker);
  EXPECT_LT(marker, count);
  EXPECT_LT(count, vertex);
  EXPECT_LT(vertex, handle);
  EXPECT_LT(handle, direction);
}

TEST(LeaderCodec, valuesTheKindCannotHoldKeepTheLeaderAsReadWithAFinding) {
  struct Case {
    const char* what;
    Pairs tags;
    const char* finding;
  } cases[] = {
      {"a bad number", leader({{100, "AcDbLeader"}, {76, "2"}, {10, "x"}, {20, "0"}, {10, "1"}, {20, "1"}}),
       "有数值无法读出"},
      {"a count other than the vertices given",
       leader({{100, "AcDbLeader"}, {76, "3"}, {10, "0"}, {20, "0"}, {10, "1"}, {20, "1"}}), "声明了 3 个顶点，实有 2 个"},
      {"a single vertex", leader({{100, "AcDbLeader"}, {76, "1"}, {10, "0"}, {20, "0"}}), "顶点少于两个"},
      {"a y before any x", leader({{100, "AcDbLeader"}, {20, "0"}, {10, "0"}, {10, "1"}}), "缺少 X 值"},
      {"a handle that is none", leader({{100, "AcDbLeader"}, {10, "0"}, {20, "0"}, {10, "1"}, {20, "1"}, {340, "G!"}}),
       "有数值无法读出"},
      {"a vertex beyond any number", leader({{100, "AcDbLeader"}, {10, "0"}, {20, "0"}, {10, "1e999"}, {20, "1"}}),
       "按原样保留"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const ReadResult r = readDxf(fileWith(joined(c.tags)));
    ASSERT_TRUE(r.ok()) << describe(r);
    const auto list = entitiesOf(*r.drawing, r.drawing->modelSpace());
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list.front()->kind(), db::EntityKind::unknown);
    EXPECT_TRUE(hasFindingOf(r, c.finding)) << describe(r);
    EXPECT_EQ(entityTags(writeDxfToString(*r.drawing), "ABC", false), c.tags);
  }
}

}  // namespace
}  // namespace orv::dxf
