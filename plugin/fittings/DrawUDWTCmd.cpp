// DWT: the up/down elbow symbol between two legs, double-line and single-line.
#include "fittings/DrawUDWTCmd.h"

#include <cmath>

#include "app/drawing_primitives.h"
#include "fittings/elbow_support.h"

namespace {

// A point moved by k times a vector.
AcGePoint2d offset(const AcGePoint2d& p, const AcGeVector2d& v, double k) {
  return {p.x + k * v.x, p.y + k * v.y};
}

// The unit normal on the left of the direction from a to b.
AcGeVector2d leftNormal(const AcGePoint2d& a, const AcGePoint2d& b) {
  double length = distance(a, b);
  return {-(b.y - a.y) / length, (b.x - a.x) / length};
}

// One straight leg piece: its end at the elbow radius and its two sides.
struct LegPiece {
  AcGePoint2d end;
  AcGePoint2d leftStart, leftEnd, rightStart, rightEnd;
};

LegPiece legPiece(const AcGePoint2d& corner, double angle, double radius, double halfDiameter) {
  LegPiece piece;
  piece.end = along(corner, angle, radius);
  AcGeVector2d normal = leftNormal(corner, piece.end);
  piece.leftStart = offset(corner, normal, halfDiameter);
  piece.leftEnd = offset(piece.end, normal, halfDiameter);
  piece.rightStart = offset(corner, normal, -halfDiameter);
  piece.rightEnd = offset(piece.end, normal, -halfDiameter);
  return piece;
}

// Where line a-b meets line c-d, both coordinates taken before either is used.
AcGePoint2d meet(const AcGePoint2d& a, const AcGePoint2d& b, const AcGePoint2d& c, const AcGePoint2d& d) {
  return {CDrawUDWTCmd::intersectLines(a, b, c, d, 0), CDrawUDWTCmd::intersectLines(a, b, c, d, 1)};
}

}  // namespace

bool CDrawUDWTCmd::legsOf(const AcGePoint2d& p1, const AcGePoint2d& p2, const AcGePoint2d& p3,
                          const AcGePoint2d& p4, Legs& legs) {
  AcGePoint2d corner;
  if (!elbowCorner(p1, p2, p3, p4, corner)) return false;
  double a1 = angleBetween(corner, fartherEnd(corner, p1, p2));
  double a2 = angleBetween(corner, fartherEnd(corner, p3, p4));
  // Both legs leave the corner the same way: there is no elbow.
  if (a2 == a1) return false;
  double radius = 0;
  double diameter = 0;
  if (!readElbowSizes(m_iniPath, radius, diameter)) return false;
  legs.corner = corner;
  legs.a1 = a1;
  legs.a2 = a2;
  legs.radius = radius;
  legs.diameter = diameter;
  return true;
}

void CDrawUDWTCmd::drawDoubleLineUpDownElbow(const AcGePoint2d& p1, const AcGePoint2d& p2,
                                             const AcGePoint2d& p3, const AcGePoint2d& p4) {
  Legs legs;
  if (!legsOf(p1, p2, p3, p4, legs)) return;
  const AcGePoint2d& corner = legs.corner;
  const double h = legs.diameter / 2;
  const double a1 = legs.a1;
  const double a2 = legs.a2;
  LegPiece leg1 = legPiece(corner, a1, legs.radius, h);
  LegPiece leg2 = legPiece(corner, a2, legs.radius, h);

  // The side of leg 2 that faces leg 1 starts on the side of leg 1 that
  // faces leg 2. Nearly opposite legs continue each other: nothing to join.
  const double halfTurn = pi();
  const double epsilon = 0.001;
  const double diff = std::fabs(a1 - a2);
  if (!(halfTurn - epsilon < diff && diff < halfTurn + epsilon)) {
    bool clockwise = false;
    if (a1 >= halfTurn) {
      clockwise = a1 - halfTurn < a2 && a2 < a1;
    } else {
      clockwise = (0 <= a2 && a2 < a1) || (halfTurn + a1 < a2 && a2 < 2 * halfTurn);
    }
    if (clockwise) {
      leg2.leftStart = meet(leg1.rightStart, leg1.rightEnd, leg2.leftStart, leg2.leftEnd);
    } else {
      leg2.rightStart = meet(leg1.leftStart, leg1.leftEnd, leg2.rightStart, leg2.rightEnd);
    }
  }

  LineStyle side = readLineStyle(kSideLineSection, m_iniPath);
  drawStraightPiece(leg1.leftStart, leg1.leftEnd, side);
  drawStraightPiece(leg1.leftEnd, leg1.rightEnd, side);
  drawStraightPiece(leg1.rightEnd, leg1.rightStart, side);
  drawStraightPiece(leg2.leftStart, leg2.leftEnd, side);
  drawStraightPiece(leg2.rightStart, leg2.rightEnd, side);
  drawStraightPiece(leg2.leftEnd, leg2.rightEnd, side);

  LineStyle centre = readLineStyle(kMidLineSection, m_iniPath);
  drawStraightPiece(corner, leg1.end, centre);
  drawStraightPiece(corner, leg2.end, centre);

  // The half circle closing leg 1 at the corner, bulging away from it.
  addArcCcw(leg1.leftStart, corner, leg1.rightStart, kSideLineStyle);
}

void CDrawUDWTCmd::drawSingleLineUpDownElbow(const AcGePoint2d& p1, const AcGePoint2d& p2,
                                             const AcGePoint2d& p3, const AcGePoint2d& p4) {
  Legs legs;
  if (!legsOf(p1, p2, p3, p4, legs)) return;
  const AcGePoint2d& corner = legs.corner;
  const double h = legs.diameter / 2;
  LegPiece leg1 = legPiece(corner, legs.a1, legs.radius, h);
  AcGePoint2d end2 = along(corner, legs.a2, legs.radius);
  // Leg 2 stops short of the half circle.
  AcGePoint2d start2 = along(corner, legs.a2, h);

  LineStyle side = readLineStyle(kSideLineSection, m_iniPath);
  drawStraightPiece(corner, leg1.end, side);
  drawStraightPiece(start2, end2, side);
  addArcCcw(leg1.leftStart, corner, leg1.rightStart, kSideLineStyle);
}

double CDrawUDWTCmd::intersectLines(const AcGePoint2d& p1, const AcGePoint2d& p2, const AcGePoint2d& p3,
                                    const AcGePoint2d& p4, int selector) {
  return lineIntersection(p1, p2, p3, p4, selector);
}

void CDrawUDWTCmd::addArcCcw(const AcGePoint2d& first, const AcGePoint2d& centre, const AcGePoint2d& second,
                             int style) {
  double radius = distance(centre, first);
  double start = (first - centre).angle();
  double end = (second - centre).angle();
  addStyledArc(AcGePoint3d(centre.x, centre.y, 0), AcGeVector3d(0, 0, 1), radius, start, end, style);
}

AcDbObjectId CDrawUDWTCmd::addStyledArc(const AcGePoint3d& centre, const AcGeVector3d& normal, double radius,
                                        double startAngle, double endAngle, int style) {
  return addStyledArcEntity(m_iniPath, centre, normal, radius, startAngle, endAngle, style);
}

namespace {

// Two picked lines on one straight line that share an end: the legs of an elbow
// whose corner is that end, given (far end of the first, corner, corner, far end of
// the second) as a pipe run gives its corner, so that the legs meet there exactly.
bool collinearLegs(const AcGePoint2d& p1, const AcGePoint2d& p2, const AcGePoint2d& p3, const AcGePoint2d& p4,
                   AcGePoint2d& farFirst, AcGePoint2d& corner, AcGePoint2d& farSecond) {
  AcGePoint2d ignored;
  if (elbowCorner(p1, p2, p3, p4, ignored)) return false;  // they meet somewhere: no special case
  for (const AcGePoint2d* shared : {&p1, &p2}) {
    for (const AcGePoint2d* other : {&p3, &p4}) {
      if (*shared != *other) continue;
      corner = *shared;
      farFirst = shared == &p1 ? p2 : p1;
      farSecond = other == &p3 ? p4 : p3;
      return true;
    }
  }
  return false;
}

}  // namespace

void CDrawUDWTCmd::run() {
  AcGePoint3d firstStart, firstEnd, secondStart, secondEnd;
  if (!pickTwoLines(firstStart, firstEnd, secondStart, secondEnd)) return;
  if (sameLine(firstStart, firstEnd, secondStart, secondEnd)) return;
  const AcGePoint2d p1 = firstStart.convert2d(), p2 = firstEnd.convert2d();
  const AcGePoint2d p3 = secondStart.convert2d(), p4 = secondEnd.convert2d();
  AcGePoint2d farFirst, corner, farSecond;
  if (collinearLegs(p1, p2, p3, p4, farFirst, corner, farSecond)) {
    drawDoubleLineUpDownElbow(farFirst, corner, corner, farSecond);
    return;
  }
  drawDoubleLineUpDownElbow(p1, p2, p3, p4);
}
