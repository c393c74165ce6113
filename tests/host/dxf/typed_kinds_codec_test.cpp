// The typed kinds (TEXT, ATTDEF, ATTRIB, MTEXT, HATCH, DIMENSION, SPLINE, LEADER and the
// old-style POLYLINE with its VERTEX and SEQEND entities): read into their kind, written
// back tag for tag, changed or made ones written in the order of their parts, and values
// a kind cannot hold kept as read with a finding.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <tuple>

#include "dxf_test_util.h"
#include "orv/dxf/reader.h"
#include "orv/dxf/tags.h"
#include "orv/dxf/writer.h"

namespace orv::dxf {
namespace {

using namespace testing;

// An entity of handle ABC on layer 0, then its own tags.
Pairs entity(const char* type, const Pairs& own) {
  return Pairs{{0, type}, {5, "ABC"}, {100, "AcDbEntity"}, {8, "0"}} + own;
}
Pairs mtext(const Pairs& own) { return entity("MTEXT", Pairs{{100, "AcDbMText"}} + own); }
Pairs hatch(const Pairs& own) { return entity("HATCH", Pairs{{100, "AcDbHatch"}} + own); }
Pairs spline(const Pairs& own) { return entity("SPLINE", Pairs{{100, "AcDbSpline"}} + own); }
Pairs leader(const Pairs& own) { return entity("LEADER", Pairs{{100, "AcDbLeader"}} + own); }

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
Pairs at(const std::string& x, const std::string& y, const std::string& z) { return {{10, x}, {20, y}, {30, z}}; }

// An old-style polyline of handle A0, its vertices and SEQEND.
Pairs polyline(const std::string& marker, const Pairs& own) {
  return Pairs{{0, "POLYLINE"}, {5, "A0"}, {100, "AcDbEntity"}, {8, "0"}, {100, marker}, {66, "1"}} + own;
}
Pairs vertex(const std::string& handle, const Pairs& markers, const Pairs& own) {
  return Pairs{{0, "VERTEX"}, {5, handle}, {100, "AcDbEntity"}, {8, "0"}} + markers + own;
}
Pairs seqend(const std::string& handle) { return Pairs{{0, "SEQEND"}, {5, handle}, {100, "AcDbEntity"}, {8, "0"}}; }
const Pairs k3d{{100, "AcDbVertex"}, {100, "AcDb3dPolylineVertex"}};
const Pairs kFaceVertex{{100, "AcDbVertex"}, {100, "AcDbPolyFaceMeshVertex"}};
const Pairs kFace{{100, "AcDbFaceRecord"}};
const Pairs kMeshVertex{{100, "AcDbVertex"}, {100, "AcDbPolygonMeshVertex"}};
const Pairs k2d{{100, "AcDbVertex"}, {100, "AcDb2dVertex"}};

const db::Entity& onlyEntity(const db::Database& d) {
  const auto list = entitiesOf(d, d.modelSpace());
  EXPECT_EQ(list.size(), 1u);
  return *list.front();
}

// The written tags of the first entity of a drawing, without owners.
Pairs writtenBack(const db::Database& d) {
  const db::Entity& e = *entitiesOf(d, d.modelSpace()).front();
  char hex[20];
  std::snprintf(hex, sizeof hex, "%llX", static_cast<unsigned long long>(e.handle()));
  return entityRun(writeDxfToString(d), hex);
}

db::Text text(db::Text::Type type, db::Point3 at, double height, std::string value) {
  db::Text t = db::makeText(at, height, std::move(value));
  t.type = type;
  t.alignPoint = {};
  return t;
}

const char* const kNoCN = "文字样式“CN”被使用但未定义";

const Pairs kHatchHead = {{10, "0.0"}, {20, "0.0"}, {30, "2.0"}, {210, "0.0"}, {220, "0.0"}, {230, "1.0"}};
// A pattern hatch: a polyline path with bulges and a source handle, an edge path of every
// edge kind (a spline with fit points and tangents), a pattern line, a seed, and a
// gradient's group after the seeds.
const Pairs kFullHatch = hatch(
    kHatchHead +
    Pairs{{2, "ANSI31"}, {70, "0"}, {71, "1"}, {91, "2"},
          {92, "7"}, {72, "1"}, {73, "1"}, {93, "3"}, {10, "0.0"}, {20, "0.0"}, {42, "0.0"}, {10, "6.0"}, {20, "0.0"},
          {42, "0.5"}, {10, "6.0"}, {20, "3.0"}, {42, "0.0"}, {97, "1"}, {330, "2F"},
          {92, "1"}, {93, "4"},
          {72, "1"}, {10, "10.0"}, {20, "0.0"}, {11, "0.0"}, {21, "10.0"},
          {72, "2"}, {10, "0.0"}, {20, "0.0"}, {40, "10.0"}, {50, "270.0"}, {51, "360.0"}, {73, "0"},
          {72, "3"}, {10, "1.0"}, {20, "1.0"}, {11, "4.0"}, {21, "0.0"}, {40, "0.5"}, {50, "0.0"}, {51, "180.0"},
          {73, "1"},
          {72, "4"}, {94, "3"}, {73, "0"}, {74, "0"}, {95, "8"}, {96, "4"}, {40, "0.0"}, {40, "0.0"}, {40, "0.0"},
          {40, "0.0"}, {40, "1.0"}, {40, "1.0"}, {40, "1.0"}, {40, "1.0"}, {10, "0.0"}, {20, "0.0"}, {10, "0.0"},
          {20, "10.0"}, {10, "10.0"}, {20, "10.0"}, {10, "10.0"}, {20, "0.0"}, {97, "2"}, {11, "0.0"}, {21, "0.0"},
          {11, "10.0"}, {21, "0.0"}, {12, "0.0"}, {22, "1.0"}, {13, "0.0"}, {23, "-1.0"},
          {97, "0"},
          {75, "1"}, {76, "1"}, {52, "0.0"}, {41, "1.0"}, {77, "0"}, {78, "1"}, {53, "45.0"}, {43, "0.0"},
          {44, "0.0"}, {45, "-2.245"}, {46, "2.245"}, {79, "2"}, {49, "3.0"}, {49, "-1.0"}, {47, "0.5"},
          {98, "1"}, {10, "5.0"}, {20, "5.0"}, {450, "1"}, {451, "0"}, {452, "0"}, {453, "2"}, {460, "0.0"},
          {461, "0.0"}, {463, "0.0"}, {63, "5"}, {421, "16711680"}, {463, "1.0"}, {63, "2"}, {421, "255"},
          {470, "LINEAR"}, {1001, "ORV"}, {1000, "note"}});

TEST(TypedKindsCodec, readIntoTheirKindAndWrittenBackTagForTag) {
  using T = db::Text::Type;
  db::Text centred = text(T::text, {1, 2, 0}, 2.5, "ABC %%c");
  centred.rotation = 30, centred.widthFactor = 0.8, centred.oblique = 15, centred.style = "CN";
  centred.generation = 2, centred.hAlign = db::TextHAlign::center, centred.vAlign = db::TextVAlign::middle;
  centred.alignPoint = {5, 6, 0}, centred.hasAlignPoint = true;
  db::Text definition = text(T::attdef, {0, 0, 0}, 2, "D");
  definition.prompt = "NO?", definition.tag = "NO", definition.flags = 8, definition.fieldLength = 0;
  definition.vAlign = db::TextVAlign::top, definition.thickness = 1, definition.extrusion = {0, 0, -1};

  db::Spline fitted;  // as a CAD program saves a spline drawn through points
  fitted.flags = 1064;
  fitted.knotTolerance = 1e-9;
  fitted.controlTolerance = fitted.fitTolerance = 1e-10;
  fitted.knots = {0, 0, 0, 0, 3.395125564783143, 13.53033168210706, 13.53033168210706, 13.53033168210706,
                  13.53033168210706};
  fitted.controlPoints = {{25.5, 12.25, 0}, {25.25, 14.125, 0}, {24.75, 17.5, 0}, {29.5, 10.75, 0}, {31.5, 14.5, 0}};
  fitted.fitPoints = {{25.5, 12.25, 0}, {28.75, 13.25, 0}, {31.5, 14.5, 0}};
  db::Spline rational;  // weights, end tangents, a normal downwards
  rational.flags = 4, rational.degree = 2;
  rational.knotTolerance = rational.controlTolerance = 1e-10;
  rational.startTangent = db::Point3{1, 0, 0}, rational.endTangent = db::Point3{0, -1, 0};
  rational.knots = {0, 0, 0, 1, 1, 1};
  rational.weights = {1, 0.7071067811865476, 1};
  rational.controlPoints = {{0, 0, 0}, {10, 10, 0}, {20, 0, 0}};
  rational.extrusion = {0, 0, -1};
  db::Spline throughOnly;  // fit points alone, no tolerances, a zero start tangent kept
  throughOnly.startTangent = db::Point3{0, 0, 0};
  throughOnly.fitPoints = {{0, 0, 0}, {1, 1, 0}, {2, 0, 0}};

  const std::string first(250, 'a');
  using DT = db::Dimension::Type;
  const auto dimensionIs = [](DT type, db::Point3 p13, db::Point3 p15, double measured) {
    return [=](const db::Entity& e) {
      const db::Dimension& d = *e.as<db::Dimension>();
      EXPECT_EQ(d.type(), type);
      EXPECT_EQ(d.point13, p13);
      EXPECT_EQ(d.point15, p15);
      EXPECT_NEAR(d.measured(), measured, 1e-9);
    };
  };
  const auto polylineIs = [](std::int16_t flags, std::size_t vertices, db::Point3 second) {
    return [=](const db::Entity& e) {
      const db::HeavyPolyline& p = *e.as<db::HeavyPolyline>();
      EXPECT_EQ(p.flags, flags);
      ASSERT_EQ(p.vertices.size(), vertices);
      EXPECT_EQ(p.vertices[1].point, second);
      EXPECT_EQ(p.vertices[0].common.handle, 0xA1u);
      EXPECT_EQ(p.seqend.handle, 0xA1u + vertices);
    };
  };
  struct Case {
    const char* what;
    Pairs tags;
    std::function<void(const db::Entity&)> holds;
    Pairs written = {};            // when not as read
    const char* finding = nullptr;  // the one finding of the reading, if any
  } cases[] = {
      {"text with every field, as CAD programs write it",
       entity("TEXT", {{100, "AcDbText"}, {10, "1.0"}, {20, "2.0"}, {30, "0.0"}, {40, "2.5"}, {1, "ABC %%c"},
                       {50, "30.0"}, {41, "0.8"}, {51, "15.0"}, {7, "CN"}, {71, "2"}, {72, "1"}, {11, "5.0"},
                       {21, "6.0"}, {31, "0.0"}, {100, "AcDbText"}, {73, "2"}, {1001, "ORV"}, {1000, "note"}}),
       [&](const db::Entity& e) { EXPECT_TRUE(*e.as<db::Text>() == centred); }, {}, kNoCN},
      {"text that gives its defaults, a point without z and an unknown code",
       entity("TEXT", {{100, "AcDbText"}, {10, "7.5"}, {20, "8.0"}, {40, "3.5"}, {1, "A"}, {50, "0"},
                       {7, "Standard"}, {72, "0"}, {78, "5"}, {100, "AcDbText"}, {73, "0"}}),
       [](const db::Entity& e) {
         db::Text given = text(T::text, {7.5, 8, 0}, 3.5, "A");
         given.styleGiven = true;
         EXPECT_TRUE(*e.as<db::Text>() == given);
       }},
      {"text that gives the default style twice",
       entity("TEXT", {{100, "AcDbText"}, {10, "1.0"}, {20, "2.0"}, {30, "0.0"}, {40, "3.5"}, {1, "A"},
                       {7, "Standard"}, {7, "Standard"}, {100, "AcDbText"}}),
       [](const db::Entity& e) { EXPECT_FALSE(e.as<db::Text>()->styleGiven); }},
      {"text that spells the default style otherwise",
       entity("TEXT", {{100, "AcDbText"}, {10, "1.0"}, {20, "2.0"}, {30, "0.0"}, {40, "3.5"}, {1, "B"},
                       {7, "STANDARD"}, {100, "AcDbText"}}),
       [](const db::Entity& e) { EXPECT_FALSE(e.as<db::Text>()->styleGiven); }},
      {"attribute definition: version before its prompt, lock after its alignment",
       entity("ATTDEF", {{100, "AcDbText"}, {39, "1.0"}, {10, "0.0"}, {20, "0.0"}, {30, "0.0"}, {40, "2.0"},
                         {1, "D"}, {210, "0.0"}, {220, "0.0"}, {230, "-1.0"}, {100, "AcDbAttributeDefinition"},
                         {280, "0"}, {3, "NO?"}, {2, "NO"}, {70, "8"}, {73, "0"}, {74, "3"}, {280, "1"}}),
       [&](const db::Entity& e) { EXPECT_TRUE(*e.as<db::Text>() == definition); }},
      {"MTEXT with every field, content in two chunks, extended data",
       mtext({{10, "1.0"}, {20, "2.0"}, {30, "0.0"}, {40, "2.5"}, {41, "30.0"}, {46, "0.0"}, {71, "5"}, {72, "1"},
              {3, first}, {1, "b\\Pc"}, {7, "CN"}, {210, "0.0"}, {220, "0.0"}, {230, "1.0"}, {11, "0.0"},
              {21, "1.0"}, {31, "0.0"}, {42, "12.5"}, {43, "6.0"}, {50, "90.0"}, {73, "2"}, {44, "1.5"}, {90, "1"},
              {63, "3"}, {45, "1.5"}, {441, "0"}, {1001, "ORV"}, {1000, "note"}}),
       [&](const db::Entity& e) {
         const db::MText& m = *e.as<db::MText>();
         EXPECT_EQ(m.position, (db::Point3{1, 2, 0}));
         EXPECT_EQ(m.height, 2.5);
         EXPECT_EQ(m.width, 30);
         EXPECT_EQ(m.attachment, db::MTextAttachment::middleCenter);
         EXPECT_EQ(m.content, first + "b\\Pc");
         EXPECT_EQ(m.style, "CN");
         EXPECT_TRUE(m.hasXDirection);
         EXPECT_NEAR(m.angle(), 90, 1e-12);
         EXPECT_EQ(m.lineSpacingStyle, 2);
         EXPECT_EQ(m.lineSpacing, 1.5);
         EXPECT_EQ(m.backgroundFill, 1);
         EXPECT_EQ(m.backgroundColor, 3);
       },
       {}, kNoCN},
      {"MTEXT with column data after its fields: their heights (50) are not the rotation",
       mtext({{10, "0.0"}, {20, "0.0"}, {30, "0.0"}, {40, "1.0"}, {41, "10.0"}, {71, "1"}, {72, "5"}, {1, "x"},
              {73, "1"}, {44, "1.0"}, {75, "2"}, {76, "2"}, {78, "0"}, {79, "0"}, {48, "4.0"}, {49, "1.0"},
              {50, "20.0"}, {50, "7.0"}}),
       [](const db::Entity& e) {
         EXPECT_EQ(e.as<db::MText>()->rotation, 0);
         EXPECT_EQ(e.as<db::MText>()->drawingDirection, 5);
       }},
      {"MTEXT with a newer release's embedded object: its codes are not the text's",
       mtext({{10, "5.0"}, {20, "5.0"}, {30, "0.0"}, {40, "2.0"}, {41, "0.0"}, {71, "7"}, {72, "1"},
              {1, "\xB6\xCE\xC2\xE4\xD2\xBB\\P\xB6\xFE"},  // 段落一\P二 in GBK
              {73, "1"}, {44, "1.0"}, {101, "Embedded Object"}, {70, "1"}, {10, "1.0"}, {20, "0.0"}, {30, "0.0"},
              {11, "9.0"}, {21, "9.0"}, {31, "0.0"}, {40, "99.0"}, {41, "0.0"}, {46, "0.0"}, {71, "3"}}),
       [](const db::Entity& e) {
         const db::MText& m = *e.as<db::MText>();
         EXPECT_EQ(m.position, (db::Point3{5, 5, 0}));
         EXPECT_EQ(m.height, 2.0);
         EXPECT_FALSE(m.hasXDirection);
         EXPECT_EQ(m.attachment, db::MTextAttachment::bottomLeft);
         EXPECT_EQ(m.content, "段落一\\P二");
       }},
      {"a short writer's MTEXT: no line spacing, direction or width, a point without z",
       mtext({{10, "3"}, {20, "4"}, {40, "2"}, {1, "{\\H2x;big}"}, {50, "45"}}),
       [](const db::Entity& e) {
         EXPECT_EQ(e.as<db::MText>()->position, (db::Point3{3, 4, 0}));
         EXPECT_EQ(e.as<db::MText>()->rotation, 45);
         EXPECT_EQ(e.as<db::MText>()->content, "{\\H2x;big}");
       }},
      {"hatch of every path and edge kind, pattern, seeds, gradient, extended data", kFullHatch,
       [](const db::Entity& e) {
         const db::Hatch& h = *e.as<db::Hatch>();
         EXPECT_DOUBLE_EQ(h.elevation.z, 2.0);
         EXPECT_EQ(h.pattern, "ANSI31");
         EXPECT_FALSE(h.solid);
         EXPECT_TRUE(h.associative);
         ASSERT_EQ(h.paths.size(), 2u);
         EXPECT_EQ(h.paths[0].bulges, (std::vector<double>{0, 0.5, 0}));
         EXPECT_EQ(h.paths[0].sources, (std::vector<db::Handle>{0x2F}));
         const db::HatchEdge& arc = h.paths[1].edges[1];
         EXPECT_FALSE(arc.counterClockwise);
         EXPECT_DOUBLE_EQ(arc.ccwStart(), 0.0);
         EXPECT_DOUBLE_EQ(arc.ccwEnd(), 90.0);
         const db::HatchEdge& curve = h.paths[1].edges[3];
         EXPECT_EQ(curve.controlPoints.size(), 4u);
         EXPECT_EQ(curve.fitPoints.size(), 2u);
         ASSERT_TRUE(curve.endTangent);
         EXPECT_EQ(curve.endTangent->y, -1.0);
         EXPECT_EQ(h.style, db::Hatch::Style::outermost);
         ASSERT_EQ(h.lines.size(), 1u);
         EXPECT_EQ(h.lines[0].dashes, (std::vector<double>{3, -1}));
         EXPECT_EQ(h.pixelSize, 0.5);
         EXPECT_EQ(h.seeds, (std::vector<db::Point2>{{5, 5}}));
         EXPECT_TRUE(h.gradient());
         EXPECT_EQ(h.gradientColor(), 0xFF0000u);
       }},
      {"solid hatch as CAD programs write it",
       hatch(kHatchHead + Pairs{{2, "SOLID"}, {70, "1"}, {71, "0"}, {91, "1"}, {92, "3"}, {72, "0"}, {73, "1"},
                                {93, "3"}, {10, "0.0"}, {20, "0.0"}, {10, "1.0"}, {20, "0.0"}, {10, "1.0"},
                                {20, "1.0"}, {97, "0"}, {75, "0"}, {76, "1"}, {98, "0"}}),
       [](const db::Entity& e) {
         EXPECT_TRUE(e.as<db::Hatch>()->solid);
         EXPECT_EQ(e.as<db::Hatch>()->paths.size(), 1u);
         EXPECT_FALSE(e.as<db::Hatch>()->gradient());
       }},
      {"solid hatch that gives its pattern values anyway",
       hatch(kHatchHead + Pairs{{2, "USER"}, {70, "1"}, {71, "0"}, {91, "0"}, {75, "0"}, {76, "1"}, {52, "0.0"},
                                {41, "1.0"}, {77, "0"}, {78, "0"}, {98, "0"}}),
       [](const db::Entity& e) { EXPECT_TRUE(e.as<db::Hatch>()->solid); }},
      {"rotated dimension, with a version code and a user text, 50 before the second marker",
       entity("DIMENSION", {{100, "AcDbDimension"}, {280, "0"}, {2, "*D1"}, {10, "40.0"}, {20, "20.0"}, {30, "0.0"},
                            {11, "20.0"}, {21, "22.0"}, {31, "0.0"}, {70, "32"}, {71, "5"}, {42, "40.0"},
                            {1, "<> mm"}, {3, "Standard"}, {100, "AcDbAlignedDimension"}, {13, "0.0"}, {23, "0.0"},
                            {33, "0.0"}, {14, "40.0"}, {24, "10.0"}, {34, "0.0"}, {50, "0.0"},
                            {100, "AcDbRotatedDimension"}}),
       dimensionIs(DT::rotated, {0, 0, 0}, {}, 40.0)},
      {"aligned dimension, points written without z",
       entity("DIMENSION", {{100, "AcDbDimension"}, {2, "*D2"}, {10, "3.0"}, {20, "4.0"}, {11, "1.5"}, {21, "2.0"},
                            {70, "33"}, {3, "Standard"}, {100, "AcDbAlignedDimension"}, {13, "0.0"}, {23, "0.0"},
                            {14, "3.0"}, {24, "4.0"}}),
       dimensionIs(DT::aligned, {0, 0, 0}, {}, 5.0)},
      {"radius dimension with its leader length",
       entity("DIMENSION", {{100, "AcDbDimension"}, {2, "*D3"}, {10, "0.0"}, {20, "0.0"}, {30, "0.0"}, {11, "8.0"},
                            {21, "0.0"}, {31, "0.0"}, {70, "36"}, {3, "Standard"}, {100, "AcDbRadialDimension"},
                            {15, "5.0"}, {25, "0.0"}, {35, "0.0"}, {40, "0.0"}}),
       dimensionIs(DT::radius, {}, {5, 0, 0}, 5.0)},
      {"angle between two lines",
       entity("DIMENSION", {{100, "AcDbDimension"}, {2, "*D4"}, {10, "0.0"}, {20, "10.0"}, {30, "0.0"}, {11, "5.0"},
                            {21, "5.0"}, {31, "0.0"}, {70, "34"}, {3, "Standard"},
                            {100, "AcDb2LineAngularDimension"}, {13, "0.0"}, {23, "0.0"}, {33, "0.0"}, {14, "10.0"},
                            {24, "0.0"}, {34, "0.0"}, {15, "0.0"}, {25, "0.0"}, {35, "0.0"}, {16, "3.0"},
                            {26, "3.0"}, {36, "0.0"}}),
       dimensionIs(DT::angular, {0, 0, 0}, {0, 0, 0}, 90.0)},
      {"angle of three points in an R12 file without markers: written with them",
       {{0, "DIMENSION"}, {5, "ABC"}, {8, "0"}, {2, "*D5"}, {10, "0.0"}, {20, "5.0"}, {11, "3.0"}, {21, "3.0"},
        {70, "5"}, {13, "5.0"}, {23, "0.0"}, {14, "0.0"}, {24, "5.0"}, {15, "0.0"}, {25, "0.0"}},
       dimensionIs(DT::angular3Point, {5, 0, 0}, {0, 0, 0}, 90.0),
       entity("DIMENSION", {{100, "AcDbDimension"}, {2, "*D5"}, {10, "0.0"}, {20, "5.0"}, {30, "0.0"}, {11, "3.0"},
                            {21, "3.0"}, {31, "0.0"}, {70, "5"}, {100, "AcDb3PointAngularDimension"}, {13, "5.0"},
                            {23, "0.0"}, {33, "0.0"}, {14, "0.0"}, {24, "5.0"}, {34, "0.0"}, {15, "0.0"},
                            {25, "0.0"}, {35, "0.0"}})},
      {"spline through fit points, its normal given at the default",
       spline(Pairs{{210, "0.0"}, {220, "0.0"}, {230, "1.0"}, {70, "1064"}, {71, "3"}, {72, "9"}, {73, "5"},
                    {74, "3"}, {42, "1.0e-09"}, {43, "1.0e-10"}, {44, "1.0e-10"}, {40, "0.0"}, {40, "0.0"},
                    {40, "0.0"}, {40, "0.0"}, {40, "3.395125564783143"}, {40, "13.53033168210706"},
                    {40, "13.53033168210706"}, {40, "13.53033168210706"}, {40, "13.53033168210706"}} +
              points(10, fitted.controlPoints) + points(11, fitted.fitPoints)),
       [&](const db::Entity& e) { EXPECT_TRUE(*e.as<db::Spline>() == fitted); }},
      {"rational spline with tangents, a downward normal and a code kept after its lists",
       spline(Pairs{{210, "0.0"}, {220, "0.0"}, {230, "-1.0"}, {70, "4"}, {71, "2"}, {72, "6"}, {73, "3"}, {74, "0"},
                    {42, "1.0e-10"}, {43, "1.0e-10"}, {12, "1.0"}, {22, "0.0"}, {32, "0.0"}, {13, "0.0"},
                    {23, "-1.0"}, {33, "0.0"}, {40, "0.0"}, {40, "0.0"}, {40, "0.0"}, {40, "1.0"}, {40, "1.0"},
                    {40, "1.0"}, {41, "1.0"}, {41, "0.7071067811865476"}, {41, "1.0"}} +
              points(10, rational.controlPoints) + Pairs{{75, "2"}}),
       [&](const db::Entity& e) { EXPECT_TRUE(*e.as<db::Spline>() == rational); }},
      {"spline of fit points alone",
       spline(Pairs{{70, "0"}, {71, "3"}, {72, "0"}, {73, "0"}, {74, "3"}, {12, "0.0"}, {22, "0.0"}, {32, "0.0"}} +
              points(11, throughOnly.fitPoints)),
       [&](const db::Entity& e) { EXPECT_TRUE(*e.as<db::Spline>() == throughOnly); }},
      {"leader with every field, as a CAD program writes one pointing at a text",
       leader({{3, "ISO-25"}, {71, "1"}, {72, "0"}, {73, "0"}, {74, "1"}, {75, "0"}, {40, "2.5"}, {41, "12.25"},
               {76, "3"}, {10, "0.0"}, {20, "0.0"}, {30, "0.0"}, {10, "10.0"}, {20, "10.0"}, {30, "0.0"},
               {10, "15.0"}, {20, "10.0"}, {30, "0.0"}, {77, "256"}, {340, "2F"}, {210, "0.0"}, {220, "0.0"},
               {230, "1.0"}, {211, "0.0"}, {221, "1.0"}, {231, "0.0"}, {212, "0.0"}, {222, "0.0"}, {232, "0.0"},
               {213, "-1.5"}, {223, "0.25"}, {233, "0.0"}}),
       [](const db::Entity& e) {
         const db::Leader& l = *e.as<db::Leader>();
         EXPECT_EQ(l.vertices, (std::vector<db::Point3>{{0, 0, 0}, {10, 10, 0}, {15, 10, 0}}));
         EXPECT_EQ(l.arrow, 1);
         EXPECT_EQ(l.annotation, 0x2Fu);
         EXPECT_EQ(l.horizontal, (db::Point3{0, 1, 0}));
         EXPECT_EQ(l.annotationOffset, (db::Point3{-1.5, 0.25, 0}));
         EXPECT_EQ(l.style, "ISO-25");
       }},
      {"leader: vertices without z, no annotation, a code it does not hold, numbers spelled oddly",
       leader({{3, "Standard"}, {71, "0"}, {72, "1"}, {73, "3"}, {76, "2"}, {10, "1"}, {20, "2"}, {10, "3.50"},
               {20, "-4"}, {270, "7"}}),
       [](const db::Entity& e) {
         const db::Leader& l = *e.as<db::Leader>();
         EXPECT_EQ(l.vertices, (std::vector<db::Point3>{{1, 2, 0}, {3.5, -4, 0}}));
         EXPECT_EQ(l.arrow, 0);
         EXPECT_EQ(l.creation, 3);
         EXPECT_EQ(l.annotation, 0u);
         EXPECT_EQ(l.horizontal, (db::Point3{1, 0, 0}));
       }},
      {"closed 3D polyline",
       polyline("AcDb3dPolyline", at("0.0", "0.0", "0.0") + Pairs{{70, "9"}}) +
           vertex("A1", k3d, at("1.0", "2.0", "3.0") + Pairs{{70, "32"}}) +
           vertex("A2", k3d, at("4.5", "2.0", "-1.0") + Pairs{{70, "32"}}) +
           vertex("A3", k3d, at("4.5", "7.25", "0.0") + Pairs{{70, "32"}}) + seqend("A4"),
       polylineIs(9, 3, {4.5, 2, -1})},
      // A square of two triangles, the diagonal hidden in both; the third vertex on a layer
      // of its own (added to the table) with a colour, an application group, extended data.
      {"polyface mesh with hidden edges",
       polyline("AcDbPolyFaceMesh", at("0.0", "0.0", "0.0") + Pairs{{70, "64"}, {71, "4"}, {72, "2"}}) +
           vertex("A1", kFaceVertex, at("0.0", "0.0", "0.0") + Pairs{{70, "192"}}) +
           vertex("A2", kFaceVertex, at("10.0", "0.0", "0.0") + Pairs{{70, "192"}}) +
           Pairs{{0, "VERTEX"}, {5, "A3"}, {102, "{ORV"}, {40, "1.5"}, {102, "}"}, {100, "AcDbEntity"},
                 {8, "MESH"}, {62, "3"}} +
           kFaceVertex + at("10.0", "10.0", "2.0") + Pairs{{70, "192"}, {1001, "ORV"}, {1000, "kept"}} +
           vertex("A4", kFaceVertex, at("0.0", "10.0", "0.0") + Pairs{{70, "192"}}) +
           vertex("A5", kFace, at("0.0", "0.0", "0.0") + Pairs{{70, "128"}, {71, "1"}, {72, "2"}, {73, "-3"}}) +
           vertex("A6", kFace, at("0.0", "0.0", "0.0") + Pairs{{70, "128"}, {71, "3"}, {72, "4"}, {73, "-1"}}) +
           seqend("A7"),
       [&](const db::Entity& e) {
         polylineIs(64, 6, {10, 0, 0})(e);
         const db::HeavyPolyline& p = *e.as<db::HeavyPolyline>();
         EXPECT_TRUE(p.vertices[4].isFaceRecord());
         EXPECT_FALSE(p.vertices[3].isFaceRecord());
         EXPECT_EQ(p.vertices[5].face, (std::array<std::int16_t, 4>{3, 4, -1, 0}));
         EXPECT_EQ(p.vertices[2].common.color, 3);
         EXPECT_EQ(db::polyfacePoints(p).size(), 4u);
         EXPECT_EQ(db::meshEdges(p).size(), 4u) << "the square's sides, not its diagonal";
       },
       {}, "图层“MESH”被使用但未定义"},
      {"polygon mesh of 2 by 3",
       polyline("AcDbPolygonMesh", at("0.0", "0.0", "0.0") + Pairs{{70, "16"}, {71, "2"}, {72, "3"}}) +
           vertex("A1", kMeshVertex, at("0.0", "0.0", "0.0") + Pairs{{70, "64"}}) +
           vertex("A2", kMeshVertex, at("1.0", "0.0", "0.5") + Pairs{{70, "64"}}) +
           vertex("A3", kMeshVertex, at("2.0", "0.0", "0.0") + Pairs{{70, "64"}}) +
           vertex("A4", kMeshVertex, at("0.0", "1.0", "0.0") + Pairs{{70, "64"}}) +
           vertex("A5", kMeshVertex, at("1.0", "1.0", "0.5") + Pairs{{70, "64"}}) +
           vertex("A6", kMeshVertex, at("2.0", "1.0", "0.0") + Pairs{{70, "64"}}) + seqend("A7"),
       polylineIs(16, 6, {1, 0, 0.5})},
      // At elevation 5, seen from below: the added vertex (1) and a tangent (2).
      {"curve-fit 2D polyline below its plane",
       polyline("AcDb2dPolyline", at("0.0", "0.0", "5.0") + Pairs{{70, "2"}, {40, "0.5"}, {41, "0.5"}, {210, "0.0"},
                                                                  {220, "0.0"}, {230, "-1.0"}}) +
           vertex("A1", k2d, at("0.0", "0.0", "0.0") + Pairs{{42, "0.25"}, {70, "2"}, {50, "90.0"}}) +
           vertex("A2", k2d, at("3.0", "1.0", "0.0") + Pairs{{40, "0.0"}, {41, "1.0"}, {70, "3"}, {50, "0.0"}}) +
           vertex("A3", k2d, at("6.0", "0.0", "0.0") + Pairs{{70, "2"}, {50, "270.0"}}) + seqend("A4"),
       polylineIs(2, 3, {3, 1, 0})},
  };
  for (const Case& c : cases) [&] {  // a failed assertion ends its row alone
    SCOPED_TRACE(c.what);
    const ReadResult r = readDxf(fileWith(joined(c.tags)));
    ASSERT_TRUE(r.ok()) << describe(r);
    EXPECT_EQ(r.findings.size(), c.finding ? 1u : 0u) << describe(r);
    if (c.finding) {
      EXPECT_TRUE(hasFindingOf(r, c.finding)) << describe(r);
    }
    const db::Entity& e = onlyEntity(*r.drawing);
    ASSERT_NE(e.kind(), db::EntityKind::unknown) << describe(r);
    c.holds(e);
    EXPECT_EQ(writtenBack(*r.drawing), c.written.empty() ? c.tags : c.written);
  }();
}

TEST(TypedKindsCodec, whatAKindCannotHoldIsKeptAsReadAndSaidSo) {
  const Pairs twoVertices = vertex("A1", k3d, at("0.0", "0.0", "0.0") + Pairs{{70, "32"}}) +
                            vertex("A2", k3d, at("1.0", "0.0", "0.0") + Pairs{{70, "32"}});
  const Pairs square = {{91, "1"}, {92, "2"}, {72, "0"}, {73, "1"}, {93, "3"}, {10, "0.0"}, {20, "0.0"},
                        {10, "1.0"}, {20, "0.0"}, {10, "1.0"}, {20, "1.0"}, {97, "0"}};
  const Pairs solid = kHatchHead + Pairs{{2, "SOLID"}, {70, "1"}, {71, "0"}};
  const Pairs onePath = {{91, "1"}, {92, "2"}, {72, "0"}, {73, "1"}};
  const Pairs hatchTail = {{75, "0"}, {76, "1"}, {98, "0"}};
  const Pairs twoPoints = points(10, {{0, 0, 0}, {1, 1, 0}});
  struct Case {
    const char* what;
    Pairs tags;
    const char* finding;
  } cases[] = {
      {"text: a height that is no number", entity("TEXT", {{100, "AcDbText"}, {10, "0"}, {20, "0"}, {40, "abc"}, {1, "x"}}),
       "有数值无法读出"},
      {"text: an alignment out of range",
       entity("TEXT", {{100, "AcDbText"}, {10, "0"}, {20, "0"}, {40, "1"}, {1, "x"}, {72, "9"}}), "对齐方式超出范围"},
      {"attribute definition: a negative height",
       entity("ATTDEF", {{100, "AcDbText"}, {10, "0"}, {20, "0"}, {40, "-1"}, {1, "x"},
                         {100, "AcDbAttributeDefinition"}, {3, "p"}, {2, "T"}, {70, "0"}}),
       "超出范围"},
      {"MTEXT: a height that is no number", mtext({{10, "0"}, {20, "0"}, {40, "abc"}, {1, "x"}}), "有数值无法读出"},
      {"MTEXT: an attachment out of range", mtext({{10, "0"}, {20, "0"}, {40, "1"}, {71, "12"}, {1, "x"}}),
       "附着点超出范围"},
      {"MTEXT: a negative height", mtext({{10, "0"}, {20, "0"}, {40, "-1"}, {1, "x"}}), "超出范围"},
      {"MTEXT: a line spacing of nothing", mtext({{10, "0"}, {20, "0"}, {40, "1"}, {1, "x"}, {44, "0"}}), "超出范围"},
      {"hatch: associativity before the solid flag",
       hatch(kHatchHead + Pairs{{2, "SOLID"}, {71, "0"}, {70, "1"}} + square + hatchTail), "HATCH：组码的顺序"},
      {"hatch: a vertex that is no number",
       hatch(solid + onePath + Pairs{{93, "1"}, {10, "x"}, {20, "0.0"}, {97, "0"}} + hatchTail),
       "HATCH：有数值无法读出"},
      {"hatch: more vertices counted than given",
       hatch(solid + onePath + Pairs{{93, "9"}, {10, "0.0"}, {20, "0.0"}, {97, "0"}} + hatchTail),
       "HATCH：组码的顺序"},
      {"hatch: a count far too large", hatch(solid + Pairs{{91, "999999999"}} + hatchTail), "HATCH：有数值无法读出"},
      {"hatch: a coordinate too large to hold",
       hatch(solid + onePath + Pairs{{93, "1"}, {10, "1e999"}, {20, "0.0"}, {97, "0"}} + hatchTail),
       "HATCH：坐标或尺寸不是有限数值"},
      {"dimension: numbers that are none or too large",
       entity("DIMENSION", {{100, "AcDbDimension"}, {2, "*D1"}, {10, "x"}, {20, "0.0"}, {70, "32"},
                            {100, "AcDbAlignedDimension"}, {13, "0.0"}, {23, "0.0"}, {14, "1e999"}, {24, "0.0"}}),
       "有数值无法读出"},
      {"spline: a weight that is no number", spline(Pairs{{71, "1"}, {41, "x"}, {41, "1"}} + twoPoints), "有数值无法读出"},
      {"spline: one control point", spline(Pairs{{71, "1"}} + points(10, {{0, 0, 0}})), "都不足两个"},
      {"spline: more weights than control points", spline(Pairs{{71, "1"}, {41, "1"}, {41, "1"}, {41, "1"}} + twoPoints),
       "权值多于控制点"},
      {"spline: a knot out of range", spline(Pairs{{71, "1"}, {40, "1e999"}} + twoPoints), "不是有限数值"},
      {"spline: a degree of 0", spline(Pairs{{71, "0"}} + twoPoints), "超出范围"},
      {"spline: flags beyond 16 bits", spline(Pairs{{70, "70000"}, {71, "1"}} + twoPoints), "有数值无法读出"},
      {"spline: a normal of no length", spline(Pairs{{210, "0"}, {220, "0"}, {230, "0"}, {71, "1"}} + twoPoints),
       "超出范围"},
      {"leader: a bad number", leader({{76, "2"}, {10, "x"}, {20, "0"}, {10, "1"}, {20, "1"}}), "有数值无法读出"},
      {"leader: a count other than the vertices given", leader({{76, "3"}, {10, "0"}, {20, "0"}, {10, "1"}, {20, "1"}}),
       "声明了 3 个顶点，实有 2 个"},
      {"leader: a single vertex", leader({{76, "1"}, {10, "0"}, {20, "0"}}), "顶点少于两个"},
      {"leader: a y before any x", leader({{20, "0"}, {10, "0"}, {10, "1"}}), "缺少 X 值"},
      {"leader: a handle that is none", leader({{10, "0"}, {20, "0"}, {10, "1"}, {20, "1"}, {340, "G!"}}),
       "有数值无法读出"},
      {"leader: a vertex beyond any number", leader({{10, "0"}, {20, "0"}, {10, "1e999"}, {20, "1"}}), "按原样保留"},
      {"polyline: a coordinate that is no number",
       polyline("AcDb3dPolyline", {{70, "8"}}) + vertex("A1", k3d, at("x", "0.0", "0.0")) + seqend("A3"),
       "有数值无法读出"},
      {"polyline: a coordinate beyond a double",
       polyline("AcDb3dPolyline", {{70, "8"}}) + vertex("A1", k3d, at("1e999", "0.0", "0.0")) + seqend("A3"),
       "不是有限数值"},
      {"polyline: flags beyond 16 bits", polyline("AcDb3dPolyline", {{70, "70008"}}) + twoVertices + seqend("A3"),
       "有数值无法读出"},
      {"polyline: a mesh of fewer vertices than M by N",
       polyline("AcDbPolygonMesh", {{70, "16"}, {71, "2"}, {72, "2"}}) + twoVertices + seqend("A3"), "M×N"},
      {"polyline: a face naming a vertex that is not there",
       polyline("AcDbPolyFaceMesh", {{70, "64"}, {71, "2"}, {72, "1"}}) + twoVertices +
           vertex("A5", kFace, at("0.0", "0.0", "0.0") + Pairs{{70, "128"}, {71, "1"}, {72, "2"}, {73, "-9"}}) +
           seqend("A3"),
       "不存在的顶点"},
      {"polyline: an extrusion of no length",
       polyline("AcDb2dPolyline", {{70, "2"}, {210, "0"}, {220, "0"}, {230, "0"}}) + twoVertices + seqend("A3"),
       "长度为零"},
      {"polyline: no vertices", polyline("AcDb3dPolyline", {{70, "8"}}) + seqend("A3"), "没有顶点"},
  };
  for (const Case& c : cases) [&] {  // a failed assertion ends its row alone
    SCOPED_TRACE(c.what);
    const ReadResult r = readDxf(fileWith(joined(c.tags)));
    ASSERT_TRUE(r.ok()) << describe(r);
    EXPECT_TRUE(hasFindingOf(r, c.finding)) << describe(r);
    for (const db::Entity* e : entitiesOf(*r.drawing, r.drawing->modelSpace()))
      EXPECT_EQ(e->kind(), db::EntityKind::unknown);
    EXPECT_EQ(entityRun(writeDxfToString(*r.drawing), c.tags[1].second), c.tags) << "written back as it was read";
  }();
}

// A value changed goes where the file had it, a new one at the end of its part; an entity
// made here is written in the parts of its kind, in the file's code page.
TEST(TypedKindsCodec, changedAndMadeAreWrittenInTheOrderOfTheirParts) {
  db::Dimension dimension;
  dimension.block = "*D1", dimension.style = "Standard", dimension.flags = 32;  // rotated
  dimension.point14 = {10, 0, 0}, dimension.definitionPoint = {10, 5, 0}, dimension.textMidpoint = {5, 6, 0};
  db::Leader leaderMade;
  leaderMade.style = "Standard", leaderMade.creation = 0, leaderMade.textHeight = 2.5;
  leaderMade.vertices = {{0, 0, 0}, {4, 3, 0}, {6, 3, 0}};
  leaderMade.annotation = 0x7B, leaderMade.annotationOffset = {-0.5, 0, 0};
  db::Text chinese = db::makeText({0, 0, 0}, 3, "管道 DN100");
  chinese.style = "仿宋";
  struct Case {
    const char* what;
    Pairs read;  // none: made here
    std::function<void(db::Entity&)> change;
    Pairs written;
  } cases[] = {
      {"MTEXT: height, content and attachment changed",
       mtext({{10, "0.0"}, {20, "0.0"}, {30, "0.0"}, {40, "2.0"}, {1, "old"}, {7, "Standard"}, {50, "0.0"}}),
       [](db::Entity& e) {
         e.as<db::MText>()->height = 5;
         e.as<db::MText>()->content = "new";
         e.as<db::MText>()->attachment = db::MTextAttachment::bottomRight;
       },
       mtext({{10, "0.0"}, {20, "0.0"}, {30, "0.0"}, {40, "5.0"}, {1, "new"}, {7, "Standard"}, {50, "0.0"},
              {71, "9"}})},
      {"MTEXT with its layer, colour and lineweight after its marker, as some writers put them: the entity's",
       Pairs{{0, "MTEXT"}, {5, "ABC"}, {100, "AcDbEntity"}, {100, "AcDbMText"}, {8, "help-lines"}, {62, "3"},
             {370, "-1"}, {10, "0.0"}, {20, "0.0"}, {30, "0.0"}, {40, "2.0"}, {1, "x"}},
       [](db::Entity& e) { EXPECT_EQ(e.color, 3); },
       Pairs{{0, "MTEXT"}, {5, "ABC"}, {100, "AcDbEntity"}, {8, "help-lines"}, {62, "3"}, {370, "-1"},
             {100, "AcDbMText"}, {10, "0.0"}, {20, "0.0"}, {30, "0.0"}, {40, "2.0"}, {1, "x"}}},
      {"dimension: an origin, its rotation, measurement and block changed",
       entity("DIMENSION", {{100, "AcDbDimension"}, {2, "*D1"}, {10, "40.0"}, {20, "20.0"}, {30, "0.0"},
                            {11, "20.0"}, {21, "22.0"}, {31, "0.0"}, {70, "32"}, {3, "Standard"},
                            {100, "AcDbAlignedDimension"}, {13, "0.0"}, {23, "0.0"}, {33, "0.0"}, {14, "40.0"},
                            {24, "10.0"}, {34, "0.0"}, {100, "AcDbRotatedDimension"}}),
       [](db::Entity& e) {
         db::Dimension& d = *e.as<db::Dimension>();
         d.point14.x = 50, d.rotation = 30, d.measurement = 50, d.block = "*D9";
       },
       entity("DIMENSION", {{100, "AcDbDimension"}, {2, "*D9"}, {10, "40.0"}, {20, "20.0"}, {30, "0.0"},
                            {11, "20.0"}, {21, "22.0"}, {31, "0.0"}, {70, "32"}, {3, "Standard"}, {42, "50.0"},
                            {100, "AcDbAlignedDimension"}, {13, "0.0"}, {23, "0.0"}, {33, "0.0"}, {14, "50.0"},
                            {24, "10.0"}, {34, "0.0"}, {50, "30.0"}, {100, "AcDbRotatedDimension"}})},
      {"leader: a vertex given z, one added, an annotation and a direction",
       leader({{3, "Standard"}, {71, "1"}, {76, "2"}, {10, "0.0"}, {20, "0.0"}, {10, "5.0"}, {20, "5.0"},
               {30, "0.0"}, {211, "1.0"}, {221, "0.0"}, {231, "0.0"}}),
       [](db::Entity& e) {
         db::Leader& l = *e.as<db::Leader>();
         l.vertices[0] = {1, 0, 2};
         l.vertices.push_back({9, 5, 0});
         l.annotation = 0x1A, l.horizontal = {0, -1, 0};
       },
       leader({{3, "Standard"}, {71, "1"}, {76, "3"}, {10, "1.0"}, {20, "0.0"}, {30, "2.0"}, {10, "5.0"},
               {20, "5.0"}, {30, "0.0"}, {10, "9.0"}, {20, "5.0"}, {30, "0.0"}, {211, "0.0"}, {221, "-1.0"},
               {231, "0.0"}, {340, "1A"}})},
      {"dimension made here: the origins and rotation in their parts", {},
       [&](db::Entity& e) { e = db::Entity(dimension); },
       entity("DIMENSION", {{100, "AcDbDimension"}, {2, "*D1"}, {10, "10.0"}, {20, "5.0"}, {30, "0.0"}, {11, "5.0"},
                            {21, "6.0"}, {31, "0.0"}, {70, "32"}, {3, "Standard"}, {100, "AcDbAlignedDimension"},
                            {13, "0.0"}, {23, "0.0"}, {33, "0.0"}, {14, "10.0"}, {24, "0.0"}, {34, "0.0"},
                            {50, "0.0"}, {100, "AcDbRotatedDimension"}})},
      {"leader made here: the count before the vertices, the annotation after them", {},
       [&](db::Entity& e) { e = db::Entity(leaderMade); },
       leader({{3, "Standard"}, {71, "1"}, {72, "0"}, {73, "0"}, {74, "0"}, {75, "0"}, {40, "2.5"}, {76, "3"},
               {10, "0.0"}, {20, "0.0"}, {30, "0.0"}, {10, "4.0"}, {20, "3.0"}, {30, "0.0"}, {10, "6.0"},
               {20, "3.0"}, {30, "0.0"}, {340, "7B"}, {211, "1.0"}, {221, "0.0"}, {231, "0.0"}, {212, "0.0"},
               {222, "0.0"}, {232, "0.0"}, {213, "-0.5"}, {223, "0.0"}, {233, "0.0"}})},
      {"Chinese text made here: in the file's code page", {}, [&](db::Entity& e) { e = db::Entity(chinese); },
       entity("TEXT", {{100, "AcDbText"}, {10, "0.0"}, {20, "0.0"}, {30, "0.0"}, {40, "3.0"},
                       {1, "\xB9\xDC\xB5\xC0 DN100"}, {7, "\xB7\xC2\xCB\xCE"}, {100, "AcDbText"}})},
  };
  for (const Case& c : cases) [&] {  // a failed assertion ends its row alone
    SCOPED_TRACE(c.what);
    ReadResult r;
    if (c.read.empty()) {
      r.drawing = db::Database::newDrawing();
      db::Entity made;
      c.change(made);
      ASSERT_TRUE(r.drawing->append(made));
    } else {
      r = readDxf(fileWith(joined(c.read)));
      ASSERT_TRUE(r.ok()) << describe(r);
      const db::ObjectId id = r.drawing->block(r.drawing->modelSpace()).entities.front();
      db::Entity e = *r.drawing->entity(id);
      c.change(e);
      ASSERT_EQ(r.drawing->replace(id, std::move(e)), db::Status::ok);
    }
    const Pairs written = writtenBack(*r.drawing);
    ASSERT_GT(written.size(), 2u);
    EXPECT_EQ(written[0], c.written[0]);
    EXPECT_EQ(Pairs(written.begin() + 2, written.end()), Pairs(c.written.begin() + 2, c.written.end()))
        << "after the handle, which a made one gets anew";
    // Read back, it is the same entity.
    const ReadResult again = readDxf(writeDxfToString(*r.drawing));
    ASSERT_TRUE(again.ok()) << describe(again);
    EXPECT_EQ(onlyEntity(*again.drawing).geometry, onlyEntity(*r.drawing).geometry);
  }();
}

// MTEXT content cut between chunks: a writer that cut an escape of a character reads
// whole and is written in one piece; long content made here is cut into pieces of at most
// 250 bytes that cut no character.
TEST(TypedKindsCodec, anMTextsContentIsCutOnlyBetweenCharacters) {
  const ReadResult r =
      readDxf(fileWith(joined(mtext({{10, "0"}, {20, "0"}, {40, "2"}, {3, "abc\\U+4E"}, {1, "2Ddef"}}))));
  ASSERT_TRUE(r.ok()) << describe(r);
  ASSERT_NE(onlyEntity(*r.drawing).as<db::MText>(), nullptr);
  EXPECT_EQ(onlyEntity(*r.drawing).as<db::MText>()->content, "abc中def");
  const Pairs back = writtenBack(*r.drawing);
  EXPECT_EQ(std::count_if(back.begin(), back.end(), [](const auto& t) { return t.first == 3; }), 0);
  EXPECT_NE(std::find(back.begin(), back.end(), std::pair<int, std::string>{1, "abc\xD6\xD0" "def"}), back.end())
      << "one piece, in the file's code page";

  std::string chinese;
  for (int i = 0; i < 120; ++i) chinese += "管道";  // 720 bytes in UTF-8, 480 in GBK
  db::Database d = db::Database::newDrawing();
  db::MText made = db::makeMText({1, 2, 0}, 3.5, chinese);
  made.width = 40, made.rotation = 30, made.style = "仿宋";
  ASSERT_TRUE(d.append(db::Entity(made)));
  const std::string file = writeDxfToString(d);
  const ReadResult again = readDxf(file);
  ASSERT_TRUE(again.ok()) << describe(again);
  ASSERT_NE(onlyEntity(*again.drawing).as<db::MText>(), nullptr);
  EXPECT_TRUE(*onlyEntity(*again.drawing).as<db::MText>() == made);
  std::size_t pieces = 0;
  for (const auto& [code, value] : writtenBack(d)) {
    if (code != 3 && code != 1) continue;
    ++pieces;
    EXPECT_LE(value.size(), 250u);
    EXPECT_EQ(value.size() % 2, 0u) << "a character cut: " << value;
  }
  EXPECT_GE(pieces, 2u) << "long content is cut into pieces";
}

// A block with one attribute definition and a reference to it with its attribute (with a
// newer release's embedded object) and SEQEND: the attribute is typed, owned by the
// reference, and written back as read.
TEST(TypedKindsCodec, anAttributeIsOwnedByTheReferenceBeforeIt) {
  const auto owned = [](const char* type, const char* handle, const char* owner, const Pairs& own) {
    return Pairs{{0, type}, {5, handle}, {330, owner}, {100, "AcDbEntity"}, {8, "0"}} + own;
  };
  const std::string blocks =
      joined({{0, "BLOCK"}, {5, "20"}, {100, "AcDbEntity"}, {8, "0"}, {100, "AcDbBlockBegin"}, {2, "B"}, {70, "2"},
              {10, "0.0"}, {20, "0.0"}, {30, "0.0"}, {3, "B"}}) +
      joined(owned("ATTDEF", "21", "1F",
                   {{100, "AcDbText"}, {10, "0.0"}, {20, "0.0"}, {30, "0.0"}, {40, "1.0"}, {1, ""},
                    {100, "AcDbAttributeDefinition"}, {3, "P"}, {2, "T"}, {70, "0"}})) +
      joined({{0, "ENDBLK"}, {5, "22"}, {100, "AcDbEntity"}, {8, "0"}, {100, "AcDbBlockEnd"}});
  const Pairs attrib = owned("ATTRIB", "31", "30",
                             {{100, "AcDbText"}, {10, "5.0"}, {20, "5.0"}, {30, "0.0"}, {40, "1.0"}, {1, "V-101"},
                              {100, "AcDbAttribute"}, {280, "0"}, {2, "T"}, {70, "0"}, {101, "Embedded Object"},
                              {10, "5.0"}, {20, "5.0"}, {30, "0.0"}, {40, "1.0"}, {1, "V-101"}});
  const std::string entities =
      joined(owned("INSERT", "30", "1F",
                   {{100, "AcDbBlockReference"}, {66, "1"}, {2, "B"}, {10, "5.0"}, {20, "5.0"}, {30, "0.0"}})) +
      joined(attrib) + joined(owned("SEQEND", "32", "30", {}));
  const ReadResult r = readDxf(fileWith(entities, blocks));
  ASSERT_TRUE(r.ok()) << describe(r);
  const auto list = entitiesOf(*r.drawing, r.drawing->modelSpace());
  ASSERT_EQ(list.size(), 3u);
  const db::Text* a = list[1]->as<db::Text>();
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->type, db::Text::Type::attrib);
  EXPECT_EQ(a->value, "V-101");
  EXPECT_EQ(a->tag, "T");
  const std::string written = writeDxfToString(*r.drawing);
  EXPECT_EQ(entityTags(written, "31"), attrib);
  EXPECT_EQ(entityTags(written, "32")[2], (std::pair<int, std::string>{330, "30"}));
}

// Texts read with the same style share one copy of its name, as attributes of one tag do;
// a change to one text leaves the others as they were.
TEST(TypedKindsCodec, textsReadAlikeShareTheirStyleAndTagAndChangeAlone) {
  auto text = [](const char* type, const char* style, const Pairs& own) {
    return entity(type, Pairs{{100, "AcDbText"}, {10, "0"}, {20, "0"}, {30, "0"}, {40, "2"}, {1, "V"}, {7, style}} + own);
  };
  const Pairs tagged = {{100, "AcDbAttributeDefinition"}, {3, "NO.?"}, {2, "TAG"}, {70, "0"}};
  const ReadResult r = readDxf(fileWith(joined(text("TEXT", "HZ", {}) + text("TEXT", "HZ", {}) +
                                               text("TEXT", "Other", {}) + text("ATTDEF", "HZ", tagged) +
                                               text("ATTDEF", "HZ", tagged))));
  ASSERT_TRUE(r.ok()) << describe(r);
  std::vector<db::Text> t;  // copies: they share with the drawing's texts until changed
  for (const db::Entity* e : entitiesOf(*r.drawing, r.drawing->modelSpace())) t.push_back(*e->as<db::Text>());
  ASSERT_EQ(t.size(), 5u);
  EXPECT_TRUE(t[0].style.sharesWith(t[1].style) && t[1].style.sharesWith(t[3].style));
  EXPECT_EQ(t[2].style, "Other");
  EXPECT_TRUE(t[3].tag.sharesWith(t[4].tag) && t[3].prompt.sharesWith(t[4].prompt));
  EXPECT_EQ(t[4].prompt, "NO.?");
  t[0].style = "仿宋";
  t[3].tag.clear();
  EXPECT_EQ(std::make_tuple(t[0].style.view(), t[1].style.view(), t[3].tag.view(), t[4].tag.view()),
            std::make_tuple("仿宋", "HZ", "", "TAG"));
  const auto stored = entitiesOf(*r.drawing, r.drawing->modelSpace());
  EXPECT_EQ(stored[0]->as<db::Text>()->style, "HZ");
  EXPECT_EQ(stored[3]->as<db::Text>()->tag, "TAG");
  EXPECT_FALSE(t[0] == *stored[0]->as<db::Text>());
  EXPECT_TRUE(t[1] == *stored[1]->as<db::Text>());
}

// A vertex whose handle another entity has gets a new one, said so; a copy is a new
// entity with new vertices; an edit keeps them; saved and read again, no handle is taken
// twice.
TEST(TypedKindsCodec, anOldStylePolylinesHandlesStayUniqueAndFollowIt) {
  const Pairs tags = Pairs{{0, "LINE"}, {5, "A2"}, {100, "AcDbEntity"}, {8, "0"}, {100, "AcDbLine"}} +
                     at("0.0", "0.0", "0.0") + Pairs{{11, "1.0"}, {21, "0.0"}, {31, "0.0"}} +
                     polyline("AcDb3dPolyline", Pairs{{70, "8"}}) +
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
  const ReadResult again = readDxf(writeDxfToString(d));
  ASSERT_TRUE(again.ok()) << describe(again);
  EXPECT_FALSE(hasFindingOf(again, "句柄与其他对象重复")) << describe(again);
}

}  // namespace
}  // namespace orv::dxf
