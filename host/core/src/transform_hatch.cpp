// A hatch under a similarity: every path, seed and pattern value in its own plane.
#include "transform_hatch.h"

#include <cmath>

#include "kept_tags.h"

namespace orv::core {

namespace {

db::Point2 point(const Affine2& m, db::Point2 p) {
  const Vec2 q = m.apply({p.x, p.y});
  return {q.x, q.y};
}

db::Point2 linear(const Affine2& m, db::Point2 p) {
  const Vec2 q = m.applyLinear({p.x, p.y});
  return {q.x, q.y};
}

// An arc's or ellipse's angles: the same counter-clockwise range, mapped; a mirror turns
// the way the path runs along it.
void mapAngles(db::HatchEdge& e, const Affine2& m) {
  const double a0 = e.ccwStart(), a1 = e.ccwEnd();
  const bool full = std::abs(a1 - a0) >= 360;
  const double sweep = full ? 360 : normalizeDegrees(a1 - a0);
  double b0 = a0;
  if (e.type == db::HatchEdge::Type::arc) {
    b0 = full ? m.mapDegrees(a0) : m.mirrors() ? m.mapDegrees(a1) : m.mapDegrees(a0);
  } else if (m.mirrors()) {  // an ellipse's parameters run the other way
    b0 = full ? a0 : normalizeDegrees(-a1);
  }
  const double b1 = b0 + sweep;
  e.counterClockwise = m.mirrors() ? !e.counterClockwise : e.counterClockwise;
  e.startAngle = e.counterClockwise ? b0 : 360 - b1;
  e.endAngle = e.counterClockwise ? b1 : 360 - b0;
}

void mapEdge(db::HatchEdge& e, const Affine2& m) {
  using T = db::HatchEdge::Type;
  const double s = m.scale();
  switch (e.type) {
    case T::line:
      e.start = point(m, e.start);
      e.end = point(m, e.end);
      return;
    case T::arc:
      e.center = point(m, e.center);
      e.radius *= s;
      mapAngles(e, m);
      return;
    case T::ellipse:
      e.center = point(m, e.center);
      e.majorAxis = linear(m, e.majorAxis);
      mapAngles(e, m);
      return;
    case T::spline:
      for (db::Point2& p : e.controlPoints) p = point(m, p);
      for (db::Point2& p : e.fitPoints) p = point(m, p);
      // Tangents keep their length: directions only.
      if (e.startTangent) e.startTangent = linear(m, *e.startTangent), e.startTangent->x /= s, e.startTangent->y /= s;
      if (e.endTangent) e.endTangent = linear(m, *e.endTangent), e.endTangent->x /= s, e.endTangent->y /= s;
      return;
  }
}

}  // namespace

std::optional<std::string> transformHatch(db::Hatch& h, const Affine2& world) {
  const kept::Plane plane = kept::planeOf(h.extrusion);
  if (plane == kept::Plane::tilted) return std::string("其所在平面与 XY 平面不平行");
  const Affine2 flip = kept::objectToWorld(plane);
  const Affine2 m = flip.after(world).after(flip);
  const double s = m.scale();
  for (db::HatchPath& p : h.paths) {
    for (db::Point2& v : p.vertices) v = point(m, v);
    if (m.mirrors())
      for (double& b : p.bulges) b = -b;
    for (db::HatchEdge& e : p.edges) mapEdge(e, m);
    p.sources.clear();
  }
  h.associative = false;  // the copy no longer follows the entities it was made from
  for (db::Point2& v : h.seeds) v = point(m, v);
  h.angle = m.mapDegrees(h.angle);
  h.scale *= s;
  for (db::PatternLine& l : h.lines) {
    l.angle = m.mapDegrees(l.angle);
    l.base = point(m, l.base);
    l.offset = linear(m, l.offset);
    for (double& d : l.dashes) d *= s;
  }
  if (h.pixelSize) *h.pixelSize *= s;
  return std::nullopt;
}

}  // namespace orv::core
