// What the horizontal and the up/down elbow share: the corner of two legs,
// the elbow sizes from the settings file, styled arcs and the picks of the
// WT and DWT commands.
#pragma once

#include <string>

#include "dbmain.h"
#include "gept.h"

// One coordinate (selector 0: x, 1: y) of the point where line p1-p2 meets
// line p3-p4. When p2 (else p1) is the same point object as p3 or p4, that
// point is the answer, whatever the coordinates. Parallel lines (two vertical
// ones included) give (0, 0). Coordinates are compared exactly.
double lineIntersection(const AcGePoint2d& p1, const AcGePoint2d& p2, const AcGePoint2d& p3,
                        const AcGePoint2d& p4, int selector);

// The corner an elbow is built around: lineIntersection's point, when the two
// legs have one. False when a leg's ends coincide (it has no direction) or
// the lines are parallel and share no point object: no bend fits there.
bool elbowCorner(const AcGePoint2d& p1, const AcGePoint2d& p2, const AcGePoint2d& p3,
                 const AcGePoint2d& p4, AcGePoint2d& corner);

// The end of a leg (a or b) farther from the corner; b on a tie.
const AcGePoint2d& fartherEnd(const AcGePoint2d& corner, const AcGePoint2d& a, const AcGePoint2d& b);

// The direction from one point to another, as the host measures it: radians
// from +x, counter-clockwise, in [0, 2*pi).
double angleBetween(const AcGePoint2d& from, const AcGePoint2d& to);

// The elbow radius ("PIPE"/"WTBJ") and the pipe diameter ("PIPE"/"DW") as the
// settings file holds them now. When either is 0 the elbow cannot be drawn:
// the message saying so is printed and the result is false.
bool readElbowSizes(const std::wstring& iniPath, double& radius, double& diameter);

// An arc entity with the given values in the centre-line style (0), the
// side-line style (1) or no style (any other value), both read from the
// settings file now; appended to model space. Its id, or a null id.
AcDbObjectId addStyledArcEntity(const std::wstring& iniPath, const AcGePoint3d& centre,
                                const AcGeVector3d& normal, double radius, double startAngle,
                                double endAngle, int style);

// The picks of WT and DWT: "选择一条直线:" twice, each giving the ends of the
// line or lightweight polyline picked. A pick that finds nothing, finds an
// entity of another kind or an entity that cannot be opened asks for that
// line again; Enter or a cancel ends the picks with false. The two lines as
// picked otherwise, z included.
bool pickTwoLines(AcGePoint3d& firstStart, AcGePoint3d& firstEnd, AcGePoint3d& secondStart,
                  AcGePoint3d& secondEnd);

// The same line given twice (in either direction), within the host's tolerance.
bool sameLine(const AcGePoint3d& firstStart, const AcGePoint3d& firstEnd,
              const AcGePoint3d& secondStart, const AcGePoint3d& secondEnd);
