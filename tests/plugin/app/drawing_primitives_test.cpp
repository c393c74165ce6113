// The shared drawing primitives: styles from the settings file, the straight
// piece, the model-space append and the small geometry helpers.
#include "app/drawing_primitives.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "command_fixture.h"
#include "dbents.h"
#include "drawn_entities.h"

using ::testing::ElementsAre;
using DrawingPrimitives = CommandFixture;

TEST_F(DrawingPrimitives, aStraightPieceIsOneStyledTwoVertexPolyline) {
  writeIni("[MIDLINE]\nLINECOLOR=1\nLINETYPE=center\n");
  drawStraightPiece({0, 0}, {10, 0}, readLineStyle(kMidLineSection, iniPath()));
  // The drawing's own spelling of the linetype is kept.
  EXPECT_THAT(drawnEntities(drawing()), ElementsAre(PieceIs(AcGePoint2d(0, 0), AcGePoint2d(10, 0), 1, "CENTER")));
}

TEST_F(DrawingPrimitives, stylesTheDrawingCannotHonourLeaveTheDefaults) {
  // Missing keys: colour 0 (BYBLOCK) and no linetype, which leaves ByLayer.
  LineStyle missing = readLineStyle(kSideLineSection, iniPath());
  EXPECT_EQ(missing.colorIndex, 0);
  EXPECT_EQ(missing.linetype, L"");
  drawStraightPiece({0, 0}, {0, 0}, missing);

  // A linetype the drawing lacks and colours out of range change nothing; a
  // stored 65537 must not wrap round into colour 1.
  writeIni("[SIDELINE]\nLINECOLOR=65537\nLINETYPE=NOSUCHTYPE\n[MIDLINE]\nLINECOLOR=-3\n");
  drawStraightPiece({1, 1}, {2, 2}, readLineStyle(kSideLineSection, iniPath()));
  drawStraightPiece({1, 1}, {3, 3}, readLineStyle(kMidLineSection, iniPath()));
  const int byLayer = 256;
  EXPECT_THAT(drawnEntities(drawing()),
              ElementsAre(PieceIs(AcGePoint2d(0, 0), AcGePoint2d(0, 0), 0, "ByLayer"),
                          PieceIs(AcGePoint2d(1, 1), AcGePoint2d(2, 2), byLayer, "ByLayer"),
                          PieceIs(AcGePoint2d(1, 1), AcGePoint2d(3, 3), byLayer, "ByLayer")));
}

TEST_F(DrawingPrimitives, aLinetypeNameIsCutAtNineteenCharacters) {
  writeIni("[SIDELINE]\nLINETYPE=ABCDEFGHIJKLMNOPQRSTUVWXYZ\n");
  EXPECT_EQ(readLineStyle(kSideLineSection, iniPath()).linetype, L"ABCDEFGHIJKLMNOPQRS");
}

TEST_F(DrawingPrimitives, appendingGivesTheIdOfTheEntityInModelSpace) {
  AcDbObjectId id = appendToModelSpace(new AcDbLine(AcGePoint3d(1, 2, 0), AcGePoint3d(3, 4, 0)));
  ASSERT_FALSE(id.isNull());
  ads_name last;
  ASSERT_EQ(acdbEntLast(last), RTNORM);
  AcDbObjectId lastId;
  ASSERT_EQ(acdbGetObjectId(lastId, last), Acad::eOk);
  EXPECT_EQ(lastId, id);
  AcDbEntity* entity = nullptr;
  ASSERT_EQ(acdbOpenAcDbEntity(entity, id, AcDb::kForRead), Acad::eOk);
  ASSERT_NE(AcDbLine::cast(entity), nullptr);
  EXPECT_EQ(AcDbLine::cast(entity)->endPoint(), AcGePoint3d(3, 4, 0));
  entity->close();
}

TEST_F(DrawingPrimitives, whatTheDrawingRefusesIsDiscardedNotHalfStored) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  // A piece with a coordinate that is not finite is not drawn at all.
  drawStraightPiece({0, 0}, {nan, 1}, LineStyle{});
  // An entity the drawing refuses gives a null id, and the drawing stays empty.
  EXPECT_TRUE(appendToModelSpace(new AcDbArc(AcGePoint3d(nan, 0, 0), 5, 0, 1)).isNull());
  EXPECT_TRUE(drawnEntities(drawing()).empty());
  // No current drawing: nothing to append to, and no crash.
  orv::sdk::HostBindings withoutDrawing = orv::sdk::bound();
  withoutDrawing.drawing = nullptr;
  orv::sdk::HostBindings previous = orv::sdk::bind(withoutDrawing);
  EXPECT_TRUE(appendToModelSpace(new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0))).isNull());
  drawStraightPiece({0, 0}, {1, 0}, LineStyle{});
  orv::sdk::bind(previous);
  EXPECT_TRUE(drawnEntities(drawing()).empty());
}

TEST(GeometryHelpers, powerPiAndDistance) {
  EXPECT_EQ(power(3, 2), 9);
  EXPECT_EQ(power(-2, 5), -32);
  EXPECT_EQ(power(2, 10), 1024);
  EXPECT_EQ(power(7.5, 0), 1);
  EXPECT_EQ(power(2, -3), 0.125);
  EXPECT_EQ(power(2, std::numeric_limits<int>::min()), 0);
  EXPECT_DOUBLE_EQ(pi(), 3.14159265358979323846);
  EXPECT_EQ(distance({1, 1}, {4, 5}), 5);
  EXPECT_EQ(distance({-2, 3}, {-2, 3}), 0);
}
