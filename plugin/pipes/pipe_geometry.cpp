// Offsets across a pipe, corner tangent points and reducer ends.
#include "pipes/pipe_geometry.h"

#include <cmath>

#include "acedads.h"
#include "app/drawing_primitives.h"

PipeAxis::PipeAxis(const AcGePoint2d& from, const AcGePoint2d& to)
    : m_dx(to.x - from.x), m_dy(to.y - from.y), m_length(distance(from, to)) {}

AcGePoint2d PipeAxis::left(const AcGePoint2d& x, double k) const {
  return {x.x - m_dy * k / m_length, x.y + m_dx * k / m_length};
}

AcGePoint2d PipeAxis::right(const AcGePoint2d& x, double k) const {
  return {x.x + m_dy * k / m_length, x.y - m_dx * k / m_length};
}

AcGePoint2d towards(const AcGePoint2d& corner, const AcGePoint2d& x, double k) {
  return {corner.x + (x.x - corner.x) * k, corner.y + (x.y - corner.y) * k};
}

namespace {

// The direction from one point to another as the host measures it.
double hostAngle(const AcGePoint2d& from, const AcGePoint2d& to) {
  const ads_point a = {from.x, from.y, 0};
  const ads_point b = {to.x, to.y, 0};
  return acutAngle(a, b);
}

}  // namespace

CornerPoints cornerPoints(const AcGePoint2d& s, const AcGePoint2d& b, const AcGePoint2d& c, double radius,
                          int mode) {
  CornerPoints corner;
  if (b == s) {
    corner.blocked = true;
    return corner;
  }
  const double a1 = hostAngle(b, s);
  const double a2 = hostAngle(b, c);
  // The new leg goes back along the pending piece: there is no corner.
  if (a1 == a2) {
    corner.blocked = true;
    return corner;
  }
  corner.theta = std::fabs(a2 - a1);
  const double toS = distance(s, b);
  const double toC = distance(c, b);

  // How far the fitting reaches along each leg from the corner.
  double reach = 0;
  switch (mode) {
    case kHorizontalElbow:
      // The tangent of the half angle is taken in absolute value, so an
      // angle measured the long way round (350 and 10 degrees) gives the
      // same reach as the angle between the legs.
      reach = std::fabs(radius / std::tan(corner.theta * 0.5));
      // Legs within 0.1 radian of a straight line get no elbow; the run
      // still breaks there, a hair short of the corner.
      corner.drawsFitting = std::fabs(corner.theta - pi()) > 0.1;
      break;
    case kDownBendElbow:
    case kUpBendElbow:
      reach = radius;
      corner.drawsFitting = true;
      break;
    default:
      corner.t1 = b;
      corner.t2 = b;
      return corner;
  }
  corner.t1 = towards(b, s, reach / toS);
  corner.t2 = towards(b, c, reach / toC);
  return corner;
}

ReducerEnds reducerEnds(const AcGePoint2d& b, const AcGePoint2d& p, double d, double d2, int form) {
  const PipeAxis axis(b, p);
  const double h = d * 0.5;
  const double h2 = d2 * 0.5;
  const double e = (d - d2) * 0.5;
  // The sloped side of a flat reducer ends d2 from the straight one, that is
  // d2 - h past the axis; negative when the rear pipe is narrower than half
  // the front one and lies wholly on the straight side.
  const double sloped = d2 - h;
  ReducerEnds ends;
  switch (form) {
    case kFlatTopReducer:
      ends.centre = axis.left(p, e);
      ends.left = axis.left(p, h);
      ends.right = axis.right(p, sloped);
      break;
    case kFlatBottomReducer:
      ends.centre = axis.right(p, e);
      ends.left = axis.left(p, sloped);
      ends.right = axis.right(p, h);
      break;
    default:
      ends.centre = p;
      ends.left = axis.left(p, h2);
      ends.right = axis.right(p, h2);
      break;
  }
  return ends;
}
