// The constructions of the drawing commands, in the plane: circles through points and
// tangent to lines and circles, arcs, tangent arcs as polyline bulges, rectangles and
// regular polygons as polyline vertices, ellipses from their axes, and the area and
// length of a closed outline.
#pragma once

#include <optional>
#include <variant>
#include <vector>

#include "orv/core/geometry.h"

namespace orv::app::shapes {

using core::Vec2;

struct CircleShape {
  Vec2 center;
  double radius = 0;
};

// Angles in degrees, counter-clockwise from start to end, as an ARC entity holds them.
struct ArcShape {
  Vec2 center;
  double radius = 0;
  double startAngle = 0;
  double endAngle = 0;
};

// A full ellipse as an ELLIPSE entity holds it: the major half axis from the centre and
// the minor to major ratio, in (0, 1].
struct EllipseShape {
  Vec2 center;
  Vec2 majorAxis;
  double ratio = 1;
};

// A polyline vertex: the bulge belongs to the segment that starts here.
struct BulgeVertex {
  Vec2 point;
  double bulge = 0;
  friend bool operator==(const BulgeVertex&, const BulgeVertex&) = default;
};

// ---- circles
// The circle through three points; nullopt when they lie on one line.
std::optional<CircleShape> circleThrough(Vec2 a, Vec2 b, Vec2 c);
// The circle with a and b as the ends of a diameter.
CircleShape circleOnDiameter(Vec2 a, Vec2 b);

// What a circle may be drawn tangent to: a line (through two points, unbounded) or a
// circle.
struct TangentLine {
  Vec2 a, b;
};
using TangentTo = std::variant<TangentLine, CircleShape>;
// The circle of `radius` tangent to both, whose tangent points lie nearest to where each
// was picked; nullopt when there is none.
std::optional<CircleShape> tangentCircle(const TangentTo& first, Vec2 firstPick, const TangentTo& second,
                                         Vec2 secondPick, double radius);

// ---- arcs
// The arc from start through a point on it to end; nullopt when the three lie on one line.
std::optional<ArcShape> arcThrough(Vec2 start, Vec2 on, Vec2 end);
// The arc about centre from the direction of start to the direction of end,
// counter-clockwise; the radius is start's distance.
ArcShape arcFromCentre(Vec2 center, Vec2 start, Vec2 end);
// The arc about centre from start, sweeping `includedDegrees` (negative: clockwise).
ArcShape arcFromCentreAngle(Vec2 center, Vec2 start, double includedDegrees);

// ---- ellipses
// The point halfway between a and b (each halved first: far points do not overflow).
inline Vec2 halfway(Vec2 a, Vec2 b) { return 0.5 * a + 0.5 * b; }
// The smallest minor to major ratio an ellipse may have; flatter ones are refused.
inline constexpr double kFlattestEllipse = 1e-6;
// The ellipse about `center` with one half axis reaching `axisEnd` and the other,
// perpendicular to it, `otherHalf` long. When the other half axis is the longer it is the
// major axis, turned a quarter counter-clockwise from the first. nullopt when either half
// axis has no length (or is not a finite number) or the ellipse is flatter than
// kFlattestEllipse.
std::optional<EllipseShape> ellipseOnAxis(Vec2 center, Vec2 axisEnd, double otherHalf);
// The same from the two ends of one axis: the centre lies halfway, the first half axis
// runs towards the second end.
std::optional<EllipseShape> ellipseOnAxisEnds(Vec2 first, Vec2 second, double otherHalf);

// ---- polylines
// The bulge of the arc from `from` to `to` that leaves `from` in `direction`; nullopt when
// `to` lies on the line of `direction` behind `from` or at it (no such arc).
std::optional<double> tangentArcBulge(Vec2 direction, Vec2 from, Vec2 to);
// The direction in which a segment of that bulge arrives at `to`.
Vec2 endDirection(Vec2 from, Vec2 to, double bulge);

// The closed outline of the rectangle with these opposite corners, counter-clockwise from
// the lower left; with a fillet radius each corner is a quarter arc. nullopt when the
// rectangle is too small for the radius (or has no area).
std::optional<std::vector<BulgeVertex>> rectangleVertices(Vec2 corner, Vec2 opposite, double fillet);

// The vertices of a regular polygon, counter-clockwise from `first` about `center`.
std::vector<Vec2> polygonAbout(int sides, Vec2 center, Vec2 first);
// The vertices of the regular polygon that has p→q as an edge and lies on its left.
std::vector<Vec2> polygonOnEdge(int sides, Vec2 p, Vec2 q);
// Where the first vertex lies for a polygon about `center` of `radius`: through a point
// given (inscribed: a vertex there; circumscribed: the middle of an edge there), or with
// its bottom edge level when no point was given.
Vec2 polygonFirstVertex(int sides, Vec2 center, double radius, bool inscribed, std::optional<Vec2> through);

// ---- measuring
struct AreaAndLength {
  double area = 0;
  double length = 0;
};
// Of the closed outline through the vertices (bulges on the segments, the last one
// back to the first).
AreaAndLength closedOutline(const std::vector<BulgeVertex>& vertices);

// ---- along a path
// A path of polyline segments (an arc is one segment with its bulge, a circle two half
// arcs, closed).
double lengthOf(const std::vector<BulgeVertex>& path, bool closed);
// Where the point at `distance` along the path lies, and the direction (degrees) in
// which the path runs there. Distances beyond the ends give the ends.
struct PathPoint {
  Vec2 point;
  double direction = 0;
};
PathPoint pointAlong(const std::vector<BulgeVertex>& path, bool closed, double distance);

}  // namespace orv::app::shapes
