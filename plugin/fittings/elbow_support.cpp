// The corner of two legs, elbow sizes, styled arcs and the WT/DWT picks.
#include "fittings/elbow_support.h"

#include <cmath>

#include "acedads.h"
#include "app/drawing_primitives.h"
#include "dbents.h"
#include "dbpl.h"

namespace {

// The slope of the line through two points of different x.
double slope(const AcGePoint2d& a, const AcGePoint2d& b) { return (a.y - b.y) / (a.x - b.x); }

// The corner object of two legs that share one, or null.
const AcGePoint2d* sharedPoint(const AcGePoint2d& p1, const AcGePoint2d& p2, const AcGePoint2d& p3,
                               const AcGePoint2d& p4) {
  if (&p2 == &p3 || &p2 == &p4) return &p2;
  if (&p1 == &p3 || &p1 == &p4) return &p1;
  return nullptr;
}

// Lines that meet nowhere: both vertical, or of equal slope.
bool parallel(const AcGePoint2d& p1, const AcGePoint2d& p2, const AcGePoint2d& p3,
              const AcGePoint2d& p4) {
  double dx1 = p2.x - p1.x;
  double dx2 = p4.x - p3.x;
  if (dx1 == 0 || dx2 == 0) return dx1 == 0 && dx2 == 0;
  return slope(p1, p2) == slope(p3, p4);
}

// One pick: the ends of a line or a lightweight polyline. False when the user
// ended the picks.
bool pickLine(AcGePoint3d& start, AcGePoint3d& end) {
  for (;;) {
    // Without a drawing there is nothing to pick from, and nothing to draw on.
    if (acdbHostApplicationServices()->workingDatabase() == nullptr) return false;
    ads_name name = {0, 0};
    ads_point picked = {0, 0, 0};
    int result = acedEntSel(L"\n选择一条直线:", name, picked);
    // A pick that found nothing: the user missed the line and tries again.
    if (result == RTERROR) continue;
    // Enter or a cancel: the user does not want the elbow.
    if (result != RTNORM) return false;
    acutPrintf(L"%ls", L"\n已选择一条直线");
    AcDbObjectId id;
    if (acdbGetObjectId(id, name) != Acad::eOk) continue;
    acutPrintf(L"%ls", L"\n已获取对象ID");
    AcDbObject* object = nullptr;
    // An entity that cannot be opened (erased meanwhile, say) gives no line.
    if (acdbOpenAcDbObject(object, id, AcDb::kForRead) != Acad::eOk || object == nullptr) continue;
    bool isLine = false;
    if (AcDbLine* line = AcDbLine::cast(object)) {
      start = line->startPoint();
      end = line->endPoint();
      isLine = true;
    } else if (AcDbPolyline* polyline = AcDbPolyline::cast(object)) {
      // A polyline without vertices has no ends and is no line.
      AcGePoint3d first, last;
      if (polyline->getStartPoint(first) == Acad::eOk && polyline->getEndPoint(last) == Acad::eOk) {
        start = first;
        end = last;
        isLine = true;
      }
    }
    object->close();
    // A circle, an arc or a block is no leg: the same question comes again.
    if (isLine) return true;
  }
}

}  // namespace

double lineIntersection(const AcGePoint2d& p1, const AcGePoint2d& p2, const AcGePoint2d& p3,
                        const AcGePoint2d& p4, int selector) {
  double x = 0;
  double y = 0;
  if (const AcGePoint2d* corner = sharedPoint(p1, p2, p3, p4)) {
    x = corner->x;
    y = corner->y;
  } else {
    double dx1 = p2.x - p1.x;
    double dx2 = p4.x - p3.x;
    if (dx1 != 0 && dx2 != 0) {
      double k1 = slope(p1, p2);
      double k2 = slope(p3, p4);
      if (k1 != k2) {
        x = (k1 * p1.x + (p3.y - p1.y) - k2 * p3.x) / (k1 - k2);
        // y from the flatter of the two lines: both give the same point, but
        // a nearly vertical line (a direction of 90 or 270 degrees, whose
        // cosine is not exactly 0) has a huge slope that magnifies the
        // rounding of x into whole drawing units.
        y = std::fabs(k1) <= std::fabs(k2) ? p1.y + k1 * (x - p1.x) : p3.y + k2 * (x - p3.x);
      }
    } else if (dx1 == 0 && dx2 != 0) {
      x = p1.x;
      y = p3.y + slope(p3, p4) * (p1.x - p3.x);
    } else if (dx2 == 0 && dx1 != 0) {
      x = p3.x;
      y = p1.y + slope(p1, p2) * (p3.x - p1.x);
    }
  }
  return selector == 0 ? x : y;
}

bool elbowCorner(const AcGePoint2d& p1, const AcGePoint2d& p2, const AcGePoint2d& p3,
                 const AcGePoint2d& p4, AcGePoint2d& corner) {
  if (p1 == p2 || p3 == p4) return false;
  if (sharedPoint(p1, p2, p3, p4) == nullptr && parallel(p1, p2, p3, p4)) return false;
  corner.x = lineIntersection(p1, p2, p3, p4, 0);
  corner.y = lineIntersection(p1, p2, p3, p4, 1);
  return true;
}

const AcGePoint2d& fartherEnd(const AcGePoint2d& corner, const AcGePoint2d& a, const AcGePoint2d& b) {
  return distance(b, corner) < distance(a, corner) ? a : b;
}

double angleBetween(const AcGePoint2d& from, const AcGePoint2d& to) {
  ads_point a = {from.x, from.y, 0};
  ads_point b = {to.x, to.y, 0};
  return acutAngle(a, b);
}

bool readElbowSizes(const std::wstring& iniPath, double& radius, double& diameter) {
  radius = readSettingReal(L"PIPE", L"WTBJ", iniPath);
  diameter = readSettingReal(L"PIPE", L"DW", iniPath);
  if (radius == 0 || diameter == 0) {
    acutPrintf(L"%ls", L"\n弯头半径或管道直径为零,请修改!");
    return false;
  }
  return true;
}

AcDbObjectId addStyledArcEntity(const std::wstring& iniPath, const AcGePoint3d& centre,
                                const AcGeVector3d& normal, double radius, double startAngle,
                                double endAngle, int style) {
  auto* arc = new AcDbArc(centre, normal, radius, startAngle, endAngle);
  if (style == 0 || style == 1) {
    applyLineStyle(*arc, readLineStyle(style == 0 ? kMidLineSection : kSideLineSection, iniPath));
  }
  return appendToModelSpace(arc);
}

bool pickTwoLines(AcGePoint3d& firstStart, AcGePoint3d& firstEnd, AcGePoint3d& secondStart,
                  AcGePoint3d& secondEnd) {
  return pickLine(firstStart, firstEnd) && pickLine(secondStart, secondEnd);
}

bool sameLine(const AcGePoint3d& firstStart, const AcGePoint3d& firstEnd,
              const AcGePoint3d& secondStart, const AcGePoint3d& secondEnd) {
  return (firstStart.isEqualTo(secondStart, AcGeContext::gTol) &&
          firstEnd.isEqualTo(secondEnd, AcGeContext::gTol)) ||
         (firstStart.isEqualTo(secondEnd, AcGeContext::gTol) &&
          firstEnd.isEqualTo(secondStart, AcGeContext::gTol));
}
