// Plane geometry of a pipe run: offsets across the pipe, corner tangent points and reducer ends.
#pragma once

#include "gept.h"

// The direction of a piece from one point to another, for offsets across it.
// Left and right are seen looking from the first point towards the second.
class PipeAxis {
 public:
  PipeAxis(const AcGePoint2d& from, const AcGePoint2d& to);

  // The point k to the left (right) of x. The product k·dy (k·dx) is formed
  // first and then divided by the length, so that a piece along an axis of
  // the plane gets exact offsets. A negative k goes to the other side. An
  // axis of no length gives points that are not finite: callers refuse such
  // pieces first.
  AcGePoint2d left(const AcGePoint2d& x, double k) const;
  AcGePoint2d right(const AcGePoint2d& x, double k) const;

  double length() const { return m_length; }

 private:
  double m_dx, m_dy, m_length;
};

// The point at k times the way from `corner` towards `x`, each coordinate
// computed as corner + (x - corner)·k.
AcGePoint2d towards(const AcGePoint2d& corner, const AcGePoint2d& x, double k);

// The fitting modes of a pipe run, as "DRAW"/"ENDSTYLE" keeps them. Any
// other value means no fitting at the corners.
enum FittingMode { kHorizontalElbow = 1, kDownBendElbow = 2, kUpBendElbow = 3 };

// What a corner of a run is, once its three points are known: the pending
// piece S-B ends at B and the new leg runs from B to C.
struct CornerPoints {
  // The run cannot turn here: B lies on S, or C lies in the direction of S
  // as seen from B. The command ends.
  bool blocked = false;
  // A fitting is drawn at the corner: always in modes 2 and 3, in mode 1
  // only when the legs are more than 0.1 radian from a straight line.
  bool drawsFitting = false;
  // The angle between the two legs at B, measured as |a2 - a1|.
  double theta = 0;
  // Where the fitting meets the pending piece (T1) and the new leg (T2):
  // the tangent distance t = |R / tan(theta / 2)| from B for a horizontal
  // elbow, R for an up/down elbow. Without a fitting mode both are B: the
  // pending piece runs into the corner and the next one starts there.
  AcGePoint2d t1, t2;
};

// The corner at b of the pending piece from s and the new leg to c, for an
// elbow radius and a fitting mode. The directions are taken with the host's
// angle (acutAngle). c must differ from b: a leg of no length has no
// direction and the caller refuses it before.
CornerPoints cornerPoints(const AcGePoint2d& s, const AcGePoint2d& b, const AcGePoint2d& c, double radius,
                          int mode);

// The reducer forms, as the user numbers them.
enum ReducerForm { kConcentricReducer = 0, kFlatTopReducer = 1, kFlatBottomReducer = 2 };

// The rear end of a reducer from b (front, diameter d) to p (rear, diameter
// d2): where its axis ends and where its left and right sides end. The front
// end always spans half of d on each side of b.
struct ReducerEnds {
  AcGePoint2d centre, left, right;
};

// Concentric: both sides close in on the axis, which ends at p. Flat on top
// (flat at the bottom): the left (right) side runs straight on at half of d,
// the other side ends d2 from it, and the rear axis ends halfway between,
// (d - d2)/2 off p towards the straight side. A rear pipe narrower than half
// the front one keeps that shape: its far side then lies on the straight
// side of the front axis, where the rear pipe really is. Any form other than
// 1 and 2 is drawn concentric. p must differ from b.
ReducerEnds reducerEnds(const AcGePoint2d& b, const AcGePoint2d& p, double d, double d2, int form);
