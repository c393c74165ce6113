// HATCH: read into its kind and written back tag for tag; a hatch whose tags the writer
// would not give back as they are is kept as read and said so.
#include <gtest/gtest.h>

#include "dxf_test_util.h"
#include "orv/dxf/reader.h"
#include "orv/dxf/tags.h"
#include "orv/dxf/writer.h"

namespace orv::dxf {
namespace {

using namespace testing;

// The tags of the written entity of handle ABC, without its owner.
Pairs writtenHatch(const std::string& file) {
  Pairs all, out;
  Tokenizer t(file);
  for (Tag tag; t.next(tag) == Tokenizer::Step::tag;) all.emplace_back(tag.code, std::string(tag.value));
  for (std::size_t i = 0; i + 1 < all.size(); ++i) {
    if (all[i].first != 0 || all[i + 1] != std::pair<int, std::string>{5, "ABC"}) continue;
    out.push_back(all[i]);
    for (std::size_t k = i + 1; k < all.size() && all[k].first != 0; ++k)
      if (!(all[k].first == 330 && k == i + 2)) out.push_back(all[k]);
    break;
  }
  return out;
}

Pairs hatch(const Pairs& own) {
  Pairs out = {{0, "HATCH"}, {5, "ABC"}, {100, "AcDbEntity"}, {8, "0"}, {100, "AcDbHatch"}};
  out.insert(out.end(), own.begin(), own.end());
  return out;
}

const Pairs kHead = {{10, "0.0"}, {20, "0.0"}, {30, "2.0"}, {210, "0.0"}, {220, "0.0"}, {230, "1.0"}};

Pairs concat(std::initializer_list<Pairs> parts) {
  Pairs out;
  for (const Pairs& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

// A pattern hatch: a polyline path with bulges, an edge path of every edge kind (a
// spline with fit points and tangents), its source handles, a pattern line, a seed, and
// a gradient's group after the seeds.
const Pairs kFull = concat(
    {kHead,
     {{2, "ANSI31"}, {70, "0"}, {71, "1"}, {91, "2"},
      {92, "7"}, {72, "1"}, {73, "1"}, {93, "3"}, {10, "0.0"}, {20, "0.0"}, {42, "0.0"}, {10, "6.0"}, {20, "0.0"},
      {42, "0.5"}, {10, "6.0"}, {20, "3.0"}, {42, "0.0"}, {97, "1"}, {330, "2F"},
      {92, "1"}, {93, "4"},
      {72, "1"}, {10, "10.0"}, {20, "0.0"}, {11, "0.0"}, {21, "10.0"},
      {72, "2"}, {10, "0.0"}, {20, "0.0"}, {40, "10.0"}, {50, "270.0"}, {51, "360.0"}, {73, "0"},
      {72, "3"}, {10, "1.0"}, {20, "1.0"}, {11, "4.0"}, {21, "0.0"}, {40, "0.5"}, {50, "0.0"}, {51, "180.0"}, {73, "1"},
      {72, "4"}, {94, "3"}, {73, "0"}, {74, "0"}, {95, "8"}, {96, "4"}, {40, "0.0"}, {40, "0.0"}, {40, "0.0"},
      {40, "0.0"}, {40, "1.0"}, {40, "1.0"}, {40, "1.0"}, {40, "1.0"}, {10, "0.0"}, {20, "0.0"}, {10, "0.0"},
      {20, "10.0"}, {10, "10.0"}, {20, "10.0"}, {10, "10.0"}, {20, "0.0"}, {97, "2"}, {11, "0.0"}, {21, "0.0"},
      {11, "10.0"}, {21, "0.0"}, {12, "0.0"}, {22, "1.0"}, {13, "0.0"}, {23, "-1.0"},
      {97, "0"},
      {75, "1"}, {76, "1"}, {52, "0.0"}, {41, "1.0"}, {77, "0"}, {78, "1"}, {53, "45.0"}, {43, "0.0"},
      {44, "0.0"}, {45, "-2.245"}, {46, "2.245"}, {79, "2"}, {49, "3.0"}, {49, "-1.0"}, {47, "0.5"},
      {98, "1"}, {10, "5.0"}, {20, "5.0"}, {450, "1"}, {451, "0"}, {452, "0"}, {453, "2"}, {460, "0.0"},
      {461, "0.0"}, {463, "0.0"}, {63, "5"}, {421, "16711680"}, {463, "1.0"}, {63, "2"}, {421, "255"},
      {470, "LINEAR"}, {1001, "ORV"}, {1000, "note"}}});

TEST(HatchCodec, readIntoItsKindAndWrittenBackTagForTag) {
  struct Case {
    const char* what;
    Pairs tags;
    std::size_t paths;
    bool solid, gradient;
  } cases[] = {
      {"every path and edge kind, pattern, seeds, gradient, extended data", hatch(kFull), 2, false, true},
      {"solid fill as CAD programs write it",
       hatch(concat({kHead, {{2, "SOLID"}, {70, "1"}, {71, "0"}, {91, "1"}, {92, "3"}, {72, "0"}, {73, "1"},
                             {93, "3"}, {10, "0.0"}, {20, "0.0"}, {10, "1.0"}, {20, "0.0"}, {10, "1.0"},
                             {20, "1.0"}, {97, "0"}, {75, "0"}, {76, "1"}, {98, "0"}}})),
       1, true, false},
      {"solid fill that gives its pattern values anyway",
       hatch(concat({kHead, {{2, "USER"}, {70, "1"}, {71, "0"}, {91, "0"}, {75, "0"}, {76, "1"}, {52, "0.0"},
                             {41, "1.0"}, {77, "0"}, {78, "0"}, {98, "0"}}})),
       0, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const ReadResult r = readDxf(fileWith(joined(c.tags)));
    ASSERT_TRUE(r.ok()) << describe(r);
    EXPECT_FALSE(hasFindingOf(r, "HATCH")) << describe(r);
    const auto list = entitiesOf(*r.drawing, r.drawing->modelSpace());
    ASSERT_EQ(list.size(), 1u);
    const db::Hatch* h = list[0]->as<db::Hatch>();
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->paths.size(), c.paths);
    EXPECT_EQ(h->solid, c.solid);
    EXPECT_EQ(h->gradient(), c.gradient);
    const std::string written = writeDxfToString(*r.drawing);
    EXPECT_EQ(writtenHatch(written), c.tags);
    const ReadResult again = readDxf(written);
    ASSERT_TRUE(again.ok()) << describe(again);
    EXPECT_EQ(entitiesOf(*again.drawing, again.drawing->modelSpace())[0]->geometry, list[0]->geometry);
  }
  // What the full one holds, field by field.
  const ReadResult r = readDxf(fileWith(joined(hatch(kFull))));
  const db::Hatch& h = *entitiesOf(*r.drawing, r.drawing->modelSpace())[0]->as<db::Hatch>();
  EXPECT_DOUBLE_EQ(h.elevation.z, 2.0);
  EXPECT_EQ(h.pattern, "ANSI31");
  EXPECT_TRUE(h.associative);
  EXPECT_EQ(h.paths[0].bulges, (std::vector<double>{0, 0.5, 0}));
  EXPECT_EQ(h.paths[0].sources, (std::vector<db::Handle>{0x2F}));
  const db::HatchEdge& arc = h.paths[1].edges[1];
  EXPECT_FALSE(arc.counterClockwise);
  EXPECT_DOUBLE_EQ(arc.ccwStart(), 0.0);
  EXPECT_DOUBLE_EQ(arc.ccwEnd(), 90.0);
  const db::HatchEdge& spline = h.paths[1].edges[3];
  EXPECT_EQ(spline.controlPoints.size(), 4u);
  EXPECT_EQ(spline.fitPoints.size(), 2u);
  ASSERT_TRUE(spline.endTangent);
  EXPECT_EQ(spline.endTangent->y, -1.0);
  EXPECT_EQ(h.style, db::Hatch::Style::outermost);
  ASSERT_EQ(h.lines.size(), 1u);
  EXPECT_EQ(h.lines[0].dashes, (std::vector<double>{3, -1}));
  EXPECT_EQ(h.pixelSize, 0.5);
  EXPECT_EQ(h.seeds, (std::vector<db::Point2>{{5, 5}}));
  EXPECT_EQ(h.gradientColor(), 0xFF0000u);
}

TEST(HatchCodec, tagsTheWriterWouldNotGiveBackAreKeptAsReadAndSaidSo) {
  const Pairs square = {{91, "1"}, {92, "2"}, {72, "0"}, {73, "1"}, {93, "3"}, {10, "0.0"}, {20, "0.0"},
                        {10, "1.0"}, {20, "0.0"}, {10, "1.0"}, {20, "1.0"}, {97, "0"}};
  const Pairs tail = {{75, "0"}, {76, "1"}, {98, "0"}};
  struct Case {
    const char* what;
    Pairs tags;
    const char* finding;
  } cases[] = {
      {"associativity before the solid flag", hatch(concat({kHead, {{2, "SOLID"}, {71, "0"}, {70, "1"}}, square, tail})),
       "组码的顺序"},
      {"a vertex that is no number",
       hatch(concat({kHead, {{2, "SOLID"}, {70, "1"}, {71, "0"}, {91, "1"}, {92, "2"}, {72, "0"}, {73, "1"},
                             {93, "1"}, {10, "x"}, {20, "0.0"}, {97, "0"}}, tail})),
       "有数值无法读出"},
      {"more vertices counted than given", hatch(concat({kHead, {{2, "SOLID"}, {70, "1"}, {71, "0"}, {91, "1"},
                                                                 {92, "2"}, {72, "0"}, {73, "1"}, {93, "9"},
                                                                 {10, "0.0"}, {20, "0.0"}, {97, "0"}}, tail})),
       "组码的顺序"},
      {"a count far too large", hatch(concat({kHead, {{2, "SOLID"}, {70, "1"}, {71, "0"}, {91, "999999999"}}, tail})),
       "有数值无法读出"},
      {"a coordinate too large to hold", hatch(concat({kHead, {{2, "SOLID"}, {70, "1"}, {71, "0"}, {91, "1"},
                                                                {92, "2"}, {72, "0"}, {73, "1"}, {93, "1"},
                                                                {10, "1e999"}, {20, "0.0"}, {97, "0"}}, tail})),
       "坐标或尺寸不是有限数值"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string file = fileWith(joined(c.tags));
    const ReadResult r = readDxf(file);
    ASSERT_TRUE(r.ok()) << describe(r);
    EXPECT_TRUE(hasFindingOf(r, std::string("HATCH：") + c.finding)) << describe(r);
    const auto list = entitiesOf(*r.drawing, r.drawing->modelSpace());
    ASSERT_EQ(list.size(), 1u);
    EXPECT_NE(list[0]->as<db::UnknownEntity>(), nullptr);
    EXPECT_EQ(writtenHatch(writeDxfToString(*r.drawing)), c.tags) << "written back as it was read";
  }
}

}  // namespace
}  // namespace orv::dxf
