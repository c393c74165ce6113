// Plane geometry of pictures: affine transforms, arcs from angles and bulges, bounds.
#pragma once

#include <cmath>
#include <limits>
#include <numbers>
#include <optional>

#include "orv/db/entity.h"
#include "orv/geom/affine.h"
#include "orv/render/view.h"

namespace orv::render {

using db::Point2;

using geom::Affine;
using geom::Box;

// Block coordinates to the coordinates of the space holding the reference: the block's
// base point moves to the insertion point, then scales (negative ones mirror) and the
// rotation apply about it.
Affine blockTransform(const db::BlockReference& ref, db::Point3 base);

// A view's drawing-to-device mapping as an affine transform (y turned down).
inline Affine affineOf(const ViewTransform& v) {
  Affine m;
  m.xx = v.scale;
  m.yy = -v.scale;
  m.x0 = v.offsetX;
  m.y0 = v.offsetY;
  return m;
}

// A circular arc in its own plane; the sweep in radians is counter-clockwise when
// positive, clockwise when negative, and at most a full turn either way.
struct ArcPath {
  Point2 center;
  double radius = 0.0;
  double start = 0.0;
  double sweep = 0.0;

  Point2 at(double angle) const {
    return {center.x + radius * std::cos(angle), center.y + radius * std::sin(angle)};
  }
};

// The counter-clockwise sweep in degrees from `start` to `end`: 0 for equal angles,
// 360 when they differ by whole turns, otherwise in (0, 360).
double arcSweepDegrees(double start, double end);

// An ARC or CIRCLE entity as a path; nullopt when it draws nothing (zero radius or sweep).
std::optional<ArcPath> arcPath(const db::Arc& arc);
std::optional<ArcPath> circlePath(const db::Circle& circle);

// The arc a polyline segment from p to q with bulge b follows (b = tan of a quarter of
// the included angle, positive counter-clockwise); nullopt when the segment is straight.
std::optional<ArcPath> bulgeArc(Point2 p, Point2 q, double bulge);

// Adds the bounds of the image of `arc` under `m`: its end points and every point of it
// where the transformed x or y is extreme.
void addArcBounds(Box& box, const Affine& m, const ArcPath& arc);

// Calls f(c1, c2, end) for each cubic Bézier piece (at most a quarter turn each) that
// follows the arc, with the control points mapped by m; the first piece starts at
// m.apply(arc.at(arc.start)). An affine map of a Bézier is the Bézier of the mapped
// points, so an arc under any block transform stays exact to the approximation.
template <class F>
void forEachArcPiece(const ArcPath& arc, const Affine& m, F&& f) {
  const int pieces = std::max(1, static_cast<int>(std::ceil(std::abs(arc.sweep) /
                                                            (std::numbers::pi / 2) - 1e-9)));
  const double step = arc.sweep / pieces;
  const double k = 4.0 / 3.0 * std::tan(step / 4.0) * arc.radius;
  double a = arc.start;
  double ca = std::cos(a), sa = std::sin(a);
  for (int i = 0; i < pieces; ++i) {
    const double b = arc.start + step * (i + 1);
    const double cb = std::cos(b), sb = std::sin(b);
    const Point2 c1{arc.center.x + arc.radius * ca - k * sa, arc.center.y + arc.radius * sa + k * ca};
    const Point2 c2{arc.center.x + arc.radius * cb + k * sb, arc.center.y + arc.radius * sb - k * cb};
    const Point2 end{arc.center.x + arc.radius * cb, arc.center.y + arc.radius * sb};
    f(m.apply(c1), m.apply(c2), m.apply(end));
    ca = cb;
    sa = sb;
  }
}

// The width of a polyline segment at its start and end vertex: a vertex width of 0 is the
// polyline's constant width; negative and non-finite widths count as 0.
struct SegmentWidths {
  double start = 0.0;
  double end = 0.0;
};
inline SegmentWidths segmentWidths(const db::Polyline& pl, std::size_t i) {
  auto clean = [](double w) { return std::isfinite(w) && w > 0.0 ? w : 0.0; };
  const double constant = clean(pl.constantWidth());
  const double s = clean(pl.startWidth(i)), e = clean(pl.endWidth(i));
  return {s > 0.0 ? s : constant, e > 0.0 ? e : constant};
}

// The number of segments of a polyline: one fewer than its vertices, one more if closed.
inline std::size_t segmentCount(const db::Polyline& pl) {
  if (pl.size() < 2) return 0;
  return pl.closed() ? pl.size() : pl.size() - 1;
}

}  // namespace orv::render
