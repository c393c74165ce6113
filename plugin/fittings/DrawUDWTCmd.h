// DWT and the up/down elbow: the plan symbol of an elbow turning out of the
// drawing plane. Each leg gets a straight piece of the elbow radius from the
// corner, and leg 1 is closed at the corner by a half circle of the pipe's
// outer radius. The pipe runs call the drawing operations at their corners:
// a down-bend passes the incoming leg first, an up-bend the outgoing one.
#pragma once

#include <string>

#include "dbmain.h"
#include "gept.h"

class CDrawUDWTCmd {
 public:
  // The style selectors of addStyledArc.
  enum ArcStyle { kCentreLineStyle = 0, kSideLineStyle = 1 };

  // The DWT command: two picks as for WT; the first line picked is leg 1,
  // the one closed by the half circle.
  void run();

  // Leg 1 is the line through p1 and p2, leg 2 the line through p3 and p4;
  // a caller that knows the corner passes the very same point object as one
  // end of each leg. The elbow radius and the pipe diameter are read from
  // m_iniPath at every call. Nothing is drawn, silently, when a leg has
  // coinciding ends, when the legs are parallel without a shared corner
  // object, or when they leave the corner in the same direction; a zero
  // radius or diameter prints its message and draws nothing.
  //
  // Double line: leg 1's left side, end cap and right side, leg 2's left
  // side, right side and end cap (the side facing leg 1 starting on leg 1's
  // side), the two centre lines, then the half circle.
  void drawDoubleLineUpDownElbow(const AcGePoint2d& p1, const AcGePoint2d& p2, const AcGePoint2d& p3,
                                 const AcGePoint2d& p4);
  // Single line: the corner to the end of leg 1, the piece of leg 2 starting
  // half a diameter from the corner, then the half circle; all side-line style.
  void drawSingleLineUpDownElbow(const AcGePoint2d& p1, const AcGePoint2d& p2, const AcGePoint2d& p3,
                                 const AcGePoint2d& p4);

  // As CDrawWTCmd::intersectLines: one coordinate of the corner, the shared
  // point object when there is one, (0, 0) for parallel lines.
  static double intersectLines(const AcGePoint2d& p1, const AcGePoint2d& p2, const AcGePoint2d& p3,
                               const AcGePoint2d& p4, int selector);

  // The arc around centre counter-clockwise from the direction of first to
  // the direction of second.
  void addArcCcw(const AcGePoint2d& first, const AcGePoint2d& centre, const AcGePoint2d& second,
                 int style);

  // As CDrawWTCmd::addStyledArc.
  AcDbObjectId addStyledArc(const AcGePoint3d& centre, const AcGeVector3d& normal, double radius,
                            double startAngle, double endAngle, int style);

  std::wstring m_iniPath;

 private:
  // The corner, the directions of the legs away from it and the sizes.
  struct Legs {
    AcGePoint2d corner;
    double a1 = 0, a2 = 0;
    double radius = 0, diameter = 0;
  };
  bool legsOf(const AcGePoint2d& p1, const AcGePoint2d& p2, const AcGePoint2d& p3,
              const AcGePoint2d& p4, Legs& legs);
};
