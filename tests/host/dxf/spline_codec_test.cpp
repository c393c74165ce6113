// SPLINE: read into its kind, written back tag for tag, and kept as read where its values
// cannot be held.
#include <gtest/gtest.h>

#include "dxf_test_util.h"
#include "orv/dxf/reader.h"
#include "orv/dxf/tags.h"
#include "orv/dxf/writer.h"

namespace orv::dxf {
namespace {

using namespace testing;

// The tags of the spline of handle ABC in a written file, from its AcDbSpline marker on.
Pairs splinePart(const std::string& text) {
  Pairs all;
  Tokenizer t(text);
  for (Tag tag; t.next(tag) == Tokenizer::Step::tag;) all.emplace_back(tag.code, std::string(tag.value));
  for (std::size_t i = 0; i + 1 < all.size(); ++i) {
    if (all[i] != std::pair<int, std::string>{0, "SPLINE"} || all[i + 1].second != "ABC") continue;
    Pairs out;
    bool in = false;
    for (std::size_t k = i + 1; k < all.size() && all[k].first != 0; ++k) {
      in = in || all[k] == std::pair<int, std::string>{100, "AcDbSpline"};
      if (in) out.push_back(all[k]);
    }
    return out;
  }
  return {};
}

Pairs spline(const Pairs& own) {
  Pairs out{{0, "SPLINE"}, {5, "ABC"}, {100, "AcDbEntity"}, {8, "0"}, {100, "AcDbSpline"}};
  out.insert(out.end(), own.begin(), own.end());
  return out;
}

Pairs points(int code, const std::vector<db::Point3>& list) {
  Pairs out;
  for (const db::Point3& p : list) {
    char x[40], y[40], z[40];
    out.emplace_back(code, std::string(x, formatReal(p.x, x)));
    out.emplace_back(code + 10, std::string(y, formatReal(p.y, y)));
    out.emplace_back(code + 20, std::string(z, formatReal(p.z, z)));
  }
  return out;
}

Pairs operator+(Pairs a, const Pairs& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(SplineCodec, readIntoItsKindAndWrittenBackTagForTag) {
  db::Spline fitted;  // as a CAD program saves a spline drawn through points
  fitted.flags = 1064;
  fitted.knotTolerance = 1e-9;
  fitted.controlTolerance = fitted.fitTolerance = 1e-10;
  fitted.knots = {0, 0, 0, 0, 3.395125564783143, 13.53033168210706, 13.53033168210706, 13.53033168210706,
                  13.53033168210706};
  fitted.controlPoints = {{25.5, 12.25, 0}, {25.25, 14.125, 0}, {24.75, 17.5, 0}, {29.5, 10.75, 0}, {31.5, 14.5, 0}};
  fitted.fitPoints = {{25.5, 12.25, 0}, {28.75, 13.25, 0}, {31.5, 14.5, 0}};
  db::Spline rational;  // weights, end tangents, a normal downwards, and a code kept after its lists
  rational.flags = 4;
  rational.degree = 2;
  rational.knotTolerance = rational.controlTolerance = 1e-10;
  rational.startTangent = db::Point3{1, 0, 0};
  rational.endTangent = db::Point3{0, -1, 0};
  rational.knots = {0, 0, 0, 1, 1, 1};
  rational.weights = {1, 0.7071067811865476, 1};
  rational.controlPoints = {{0, 0, 0}, {10, 10, 0}, {20, 0, 0}};
  rational.extrusion = {0, 0, -1};
  db::Spline throughOnly;  // fit points alone, no tolerances, a zero start tangent kept
  throughOnly.startTangent = db::Point3{0, 0, 0};
  throughOnly.fitPoints = {{0, 0, 0}, {1, 1, 0}, {2, 0, 0}};
  struct Case {
    const char* what;
    Pairs tags;
    db::Spline expected;
  } cases[] = {
      {"through fit points, its normal given at the default",
       spline(Pairs{{210, "0.0"}, {220, "0.0"}, {230, "1.0"}, {70, "1064"}, {71, "3"}, {72, "9"}, {73, "5"}, {74, "3"},
                    {42, "1.0e-09"}, {43, "1.0e-10"}, {44, "1.0e-10"}, {40, "0.0"}, {40, "0.0"}, {40, "0.0"},
                    {40, "0.0"}, {40, "3.395125564783143"}, {40, "13.53033168210706"}, {40, "13.53033168210706"},
                    {40, "13.53033168210706"}, {40, "13.53033168210706"}} +
              points(10, fitted.controlPoints) + points(11, fitted.fitPoints)),
       fitted},
      {"rational, with tangents and a downward normal",
       spline(Pairs{{210, "0.0"}, {220, "0.0"}, {230, "-1.0"}, {70, "4"}, {71, "2"}, {72, "6"}, {73, "3"}, {74, "0"},
                    {42, "1.0e-10"}, {43, "1.0e-10"}, {12, "1.0"}, {22, "0.0"}, {32, "0.0"}, {13, "0.0"}, {23, "-1.0"},
                    {33, "0.0"}, {40, "0.0"}, {40, "0.0"}, {40, "0.0"}, {40, "1.0"}, {40, "1.0"}, {40, "1.0"},
                    {41, "1.0"}, {41, "0.7071067811865476"}, {41, "1.0"}} +
              points(10, rational.controlPoints) + Pairs{{75, "2"}}),
       rational},
      {"fit points alone",
       spline(Pairs{{70, "0"}, {71, "3"}, {72, "0"}, {73, "0"}, {74, "3"}, {12, "0.0"}, {22, "0.0"}, {32, "0.0"}} +
              points(11, throughOnly.fitPoints)),
       throughOnly},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const ReadResult r = readDxf(fileWith(joined(c.tags)));
    ASSERT_TRUE(r.ok()) << describe(r);
    EXPECT_TRUE(r.findings.empty()) << describe(r);
    const auto model = entitiesOf(*r.drawing, r.drawing->modelSpace());
    ASSERT_EQ(model.size(), 1u);
    const db::Spline* s = model.front()->as<db::Spline>();
    ASSERT_TRUE(s);
    EXPECT_TRUE(*s == c.expected);
    const std::string written = writeDxfToString(*r.drawing);
    EXPECT_EQ(splinePart(written), Pairs(c.tags.begin() + 4, c.tags.end()));
    const ReadResult again = readDxf(written);
    ASSERT_TRUE(again.ok()) << describe(again);
    EXPECT_EQ(entitiesOf(*again.drawing, again.drawing->modelSpace()).front()->geometry, model.front()->geometry);
  }
}

TEST(SplineCodec, whatCannotBeHeldIsKeptAsReadAndSaidSo) {
  const Pairs two = points(10, {{0, 0, 0}, {1, 1, 0}});
  struct Case {
    const char* what;
    Pairs tags;
    const char* finding;
  } cases[] = {
      {"a weight that is no number", spline(Pairs{{71, "1"}, {41, "x"}, {41, "1"}} + two), "有数值无法读出"},
      {"one control point", spline(Pairs{{71, "1"}} + points(10, {{0, 0, 0}})), "都不足两个"},
      {"more weights than control points", spline(Pairs{{71, "1"}, {41, "1"}, {41, "1"}, {41, "1"}} + two),
       "权值多于控制点"},
      {"a knot out of range", spline(Pairs{{71, "1"}, {40, "1e999"}} + two), "不是有限数值"},
      {"a degree of 0", spline(Pairs{{71, "0"}} + two), "超出范围"},
      {"flags beyond 16 bits", spline(Pairs{{70, "70000"}, {71, "1"}} + two), "有数值无法读出"},
      {"a normal of no length", spline(Pairs{{210, "0"}, {220, "0"}, {230, "0"}, {71, "1"}} + two), "超出范围"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const ReadResult r = readDxf(fileWith(joined(c.tags)));
    ASSERT_TRUE(r.ok()) << describe(r);
    const auto model = entitiesOf(*r.drawing, r.drawing->modelSpace());
    ASSERT_EQ(model.size(), 1u);
    EXPECT_EQ(model.front()->kind(), db::EntityKind::unknown);
    EXPECT_TRUE(hasFindingOf(r, c.finding)) << describe(r);
    EXPECT_EQ(splinePart(writeDxfToString(*r.drawing)), Pairs(c.tags.begin() + 4, c.tags.end()))
        << "written back as it was read";
  }
}

}  // namespace
}  // namespace orv::dxf
