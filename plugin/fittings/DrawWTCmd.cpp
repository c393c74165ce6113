// WT: the horizontal elbow between two legs, double-line and single-line.
#include "fittings/DrawWTCmd.h"

#include <algorithm>
#include <cmath>

#include "app/drawing_primitives.h"
#include "fittings/elbow_support.h"

namespace {

// The point of the line from the centre through p at k times p's distance,
// on the far side of the centre for a negative k.
AcGePoint2d scaledFromCentre(const AcGePoint2d& centre, const AcGePoint2d& p, double k) {
  return {centre.x - k * (centre.x - p.x), centre.y - k * (centre.y - p.y)};
}

}  // namespace

bool CDrawWTCmd::bendBetween(const AcGePoint2d& p1, const AcGePoint2d& p2, const AcGePoint2d& p3,
                             const AcGePoint2d& p4, Bend& bend) {
  AcGePoint2d corner;
  if (!elbowCorner(p1, p2, p3, p4, corner)) return false;
  const AcGePoint2d& far1 = fartherEnd(corner, p1, p2);
  const AcGePoint2d& far2 = fartherEnd(corner, p3, p4);
  double a1 = angleBetween(corner, far1);
  double a2 = angleBetween(corner, far2);
  // Both legs leave the corner the same way: there is no bend.
  if (a2 == a1) return false;

  // Bring the two directions within half a turn of each other, so that their
  // mean points into the smaller angle between the legs.
  const double halfTurn = pi();
  if (std::fabs(a1 - a2) > halfTurn) {
    if (a1 > halfTurn) {
      a1 -= 2 * halfTurn;
    } else if (a2 > halfTurn) {
      a2 -= 2 * halfTurn;
    }
  }
  double half = std::fabs(a1 - a2) / 2;

  double radius = 0;
  double diameter = 0;
  if (!readElbowSizes(m_iniPath, radius, diameter)) return false;

  // The centre lies on the bisector, at R / sin(half) from the corner; the
  // tangent points lie on the legs at the foot of the radius.
  AcGePoint2d centre = along(corner, (a1 + a2) / 2, radius / std::sin(half));
  // With legs in one straight line the root's argument is 0 in theory and
  // may come out a hair below it; the tangent points are then the corner.
  double tangent = std::sqrt(std::max(0.0, power(distance(centre, corner), 2) - power(radius, 2)));
  bend.corner = corner;
  bend.centre = centre;
  bend.tangent1 = along(corner, a1, tangent);
  bend.tangent2 = along(corner, a2, tangent);
  bend.radius = radius;
  bend.diameter = diameter;
  return true;
}

void CDrawWTCmd::drawDoubleLineElbow(const AcGePoint2d& p1, const AcGePoint2d& p2, const AcGePoint2d& p3,
                                     const AcGePoint2d& p4) {
  Bend bend;
  if (!bendBetween(p1, p2, p3, p4, bend)) return;
  const double r = bend.radius;
  const double h = bend.diameter / 2;
  const double kInner = (r - h) / r;
  const double kOuter = (r + h) / r;
  const AcGePoint2d& o = bend.centre;
  AcGePoint2d inner1 = scaledFromCentre(o, bend.tangent1, kInner);
  AcGePoint2d inner2 = scaledFromCentre(o, bend.tangent2, kInner);
  AcGePoint2d outer1 = scaledFromCentre(o, bend.tangent1, kOuter);
  AcGePoint2d outer2 = scaledFromCentre(o, bend.tangent2, kOuter);

  addArcShortWay(bend.tangent1, o, bend.tangent2, kCentreLineStyle);
  addArcShortWay(inner1, o, inner2, kSideLineStyle);
  addArcShortWay(outer1, o, outer2, kSideLineStyle);
  // The joint lines across the pipe where the elbow meets each leg.
  LineStyle side = readLineStyle(kSideLineSection, m_iniPath);
  drawStraightPiece(inner1, outer1, side);
  drawStraightPiece(inner2, outer2, side);
}

void CDrawWTCmd::drawSingleLineElbow(const AcGePoint2d& p1, const AcGePoint2d& p2, const AcGePoint2d& p3,
                                     const AcGePoint2d& p4) {
  Bend bend;
  if (!bendBetween(p1, p2, p3, p4, bend)) return;
  addArcShortWay(bend.tangent1, bend.centre, bend.tangent2, kSideLineStyle);
}

double CDrawWTCmd::intersectLines(const AcGePoint2d& p1, const AcGePoint2d& p2, const AcGePoint2d& p3,
                                  const AcGePoint2d& p4, int selector) {
  return lineIntersection(p1, p2, p3, p4, selector);
}

void CDrawWTCmd::addArcShortWay(const AcGePoint2d& first, const AcGePoint2d& centre,
                                const AcGePoint2d& second, int style) {
  double radius = distance(centre, first);
  double alpha = (first - centre).angle();
  double beta = (second - centre).angle();
  double lo = std::min(alpha, beta);
  double hi = std::max(alpha, beta);
  // Arcs run counter-clockwise: the shorter way round starts at the lower
  // angle unless that way is more than half a turn.
  double start = lo;
  double end = hi;
  if (hi - lo > pi()) {
    start = hi;
    end = lo;
  }
  addStyledArc(AcGePoint3d(centre.x, centre.y, 0), AcGeVector3d(0, 0, 1), radius, start, end, style);
}

AcDbObjectId CDrawWTCmd::addStyledArc(const AcGePoint3d& centre, const AcGeVector3d& normal, double radius,
                                      double startAngle, double endAngle, int style) {
  return addStyledArcEntity(m_iniPath, centre, normal, radius, startAngle, endAngle, style);
}

void CDrawWTCmd::run() {
  AcGePoint3d firstStart, firstEnd, secondStart, secondEnd;
  if (!pickTwoLines(firstStart, firstEnd, secondStart, secondEnd)) return;
  // The same line twice has no corner with itself.
  if (sameLine(firstStart, firstEnd, secondStart, secondEnd)) return;
  drawDoubleLineElbow(firstStart.convert2d(), firstEnd.convert2d(), secondStart.convert2d(),
                      secondEnd.convert2d());
}
