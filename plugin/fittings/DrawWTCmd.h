// WT and the horizontal elbow: a bend of the stored elbow radius between two
// legs, drawn as a double-line elbow (three arcs and two joint lines) or as a
// single-line elbow (one arc). The pipe runs call the drawing operations at
// their corners.
#pragma once

#include <string>

#include "dbmain.h"
#include "gept.h"

class CDrawWTCmd {
 public:
  // The style selectors of addStyledArc.
  enum ArcStyle { kCentreLineStyle = 0, kSideLineStyle = 1 };

  // The WT command: the user picks two lines (lines or lightweight
  // polylines, by their ends) and gets a double-line elbow between them.
  void run();

  // Leg 1 is the line through p1 and p2, leg 2 the line through p3 and p4.
  // The elbow radius ("PIPE"/"WTBJ") and the pipe diameter ("PIPE"/"DW") are
  // read from m_iniPath at every call. A caller that knows the corner passes
  // the very same point object as one end of each leg; the corner is then
  // that point, however nearly parallel the legs are.
  //
  // Nothing is drawn, silently, when a leg has coinciding ends, when the legs
  // are parallel without a shared corner object, or when both legs leave the
  // corner in the same direction. A zero radius or diameter prints its
  // message and draws nothing.
  //
  // Double line: the centre-line arc, the inner and the outer side arcs, then
  // the joint lines across the pipe at the tangent point of leg 1 and of leg 2.
  void drawDoubleLineElbow(const AcGePoint2d& p1, const AcGePoint2d& p2, const AcGePoint2d& p3,
                           const AcGePoint2d& p4);
  // Single line: one arc of the elbow radius in the side-line style.
  void drawSingleLineElbow(const AcGePoint2d& p1, const AcGePoint2d& p2, const AcGePoint2d& p3,
                           const AcGePoint2d& p4);

  // One coordinate (selector 0: x, 1: y) of the corner where line p1-p2 meets
  // line p3-p4. When p2 (else p1) is the same object as p3 or p4, that point
  // is the corner. Parallel lines, two vertical lines among them, give (0, 0).
  static double intersectLines(const AcGePoint2d& p1, const AcGePoint2d& p2, const AcGePoint2d& p3,
                               const AcGePoint2d& p4, int selector);

  // The arc around centre between the directions of first and second that
  // covers at most half a turn, whichever point is given first.
  void addArcShortWay(const AcGePoint2d& first, const AcGePoint2d& centre, const AcGePoint2d& second,
                      int style);

  // An arc counter-clockwise from startAngle to endAngle, in the centre-line
  // style (0), the side-line style (1) or unstyled (any other value), appended
  // to model space. Its id, or a null id if the drawing refused it.
  AcDbObjectId addStyledArc(const AcGePoint3d& centre, const AcGeVector3d& normal, double radius,
                            double startAngle, double endAngle, int style);

  std::wstring m_iniPath;

 private:
  // The bend between two legs: corner, arc centre and tangent points.
  struct Bend {
    AcGePoint2d corner, centre, tangent1, tangent2;
    double radius = 0, diameter = 0;
  };
  // The geometry both drawing operations share; false when nothing is drawn.
  bool bendBetween(const AcGePoint2d& p1, const AcGePoint2d& p2, const AcGePoint2d& p3,
                   const AcGePoint2d& p4, Bend& bend);
};
