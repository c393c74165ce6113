// Text under a similarity: its points, height and angle, and a reflection that keeps it
// readable (one-line text; MTEXT).
#include "transform_text.h"

#include "kept_tags.h"

namespace orv::core::detail {

namespace {

db::Point3 mapped(const Affine2& m, const db::Point3& p) {
  const Vec2 q = m.apply({p.x, p.y});
  return {q.x, q.y, m.applyZ(p.z)};
}

// Under a reflection the text reads as before. Of the two readable placements the one
// whose direction is nearer the original is taken: along the mirrored direction with
// top and bottom alignment exchanged, or against it with left and right exchanged.
void keepReadable(db::Text& t, double angleBefore, db::Point3 referenceBefore, const Affine2& m) {
  using H = db::TextHAlign;
  using V = db::TextVAlign;
  const double mirrored = t.rotation;
  const bool along = dot(unitAtDegrees(mirrored), unitAtDegrees(angleBefore)) >= 0;
  if (t.hAlign == H::aligned || t.hAlign == H::fit) {
    // Between its two points: against the mirrored direction the points change places.
    if (!along && t.hasAlignPoint) {
      std::swap(t.position, t.alignPoint);
      t.rotation = normalizeDegrees(mirrored + 180);
    }
    return;
  }
  if (along) {
    if (t.hAlign != H::middle)
      t.vAlign = t.vAlign == V::baseline || t.vAlign == V::bottom ? V::top : t.vAlign == V::top ? V::baseline : t.vAlign;
  } else {
    t.hAlign = t.hAlign == H::left ? H::right : t.hAlign == H::right ? H::left : t.hAlign;
    t.rotation = normalizeDegrees(mirrored + 180);
  }
  const db::Point3 reference = mapped(m, referenceBefore);
  if (!t.placedByAlignPoint()) {
    t.position = reference;
  } else {
    t.alignPoint = reference;
    t.hasAlignPoint = true;
  }
}

}  // namespace

std::optional<std::string> transformText(db::Text& t, const Affine2& m) {
  const kept::Plane plane = kept::planeOf(t.extrusion);
  if (plane == kept::Plane::tilted) return std::string("其所在平面与 XY 平面不平行");
  // The map in the text's own plane (the drawing plane seen from below, if flipped).
  const Affine2 flip = kept::objectToWorld(plane);
  const Affine2 inObject = flip.after(m).after(flip);
  const double angleBefore = t.rotation;
  const db::Point3 referenceBefore = t.placedByAlignPoint() && t.hasAlignPoint ? t.alignPoint : t.position;
  t.position = mapped(inObject, t.position);
  if (t.hasAlignPoint) t.alignPoint = mapped(inObject, t.alignPoint);
  t.height *= m.scale();
  t.rotation = inObject.mapDegrees(t.rotation);
  if (m.mirrors()) keepReadable(t, angleBefore, referenceBefore, inObject);
  return std::nullopt;
}

std::optional<std::string> transformMText(db::MText& t, const Affine2& m) {
  if (!m.isSimilarity()) return std::string("只能均匀缩放");
  if (kept::planeOf(t.extrusion) == kept::Plane::tilted) return std::string("其所在平面与 XY 平面不平行");
  const double s = m.scale();
  const double angleBefore = t.angle();
  const bool rotationGiven = t.rotation != 0.0 || !t.hasXDirection;
  t.position = mapped(m, t.position);
  for (double* length : {&t.height, &t.width, &t.definedHeight, &t.actualWidth, &t.actualHeight}) *length *= s;
  double angle = m.mapDegrees(angleBefore);
  if (m.mirrors()) {
    // Along the mirrored direction with top and bottom exchanged, or against it with left
    // and right exchanged: whichever runs nearer the text's direction before.
    const bool along = dot(unitAtDegrees(angle), unitAtDegrees(angleBefore)) >= 0;
    const int attach = static_cast<int>(t.attachment) - 1;
    int col = attach % 3, row = attach / 3;
    if (along) {
      row = 2 - row;
    } else {
      col = 2 - col;
      angle = normalizeDegrees(angle + 180);
    }
    t.attachment = static_cast<db::MTextAttachment>(row * 3 + col + 1);
  }
  if (t.hasXDirection) {
    // Its length as it was (a unit vector stays one).
    const double l = std::hypot(t.xDirection.x, t.xDirection.y);
    const Vec2 d = (l > 0 ? l : 1.0) * unitAtDegrees(angle);
    t.xDirection = {d.x, d.y, 0.0};
  }
  if (rotationGiven) {
    const bool keep = t.hasXDirection;
    t.hasXDirection = false;
    t.setAngle(angle);
    t.hasXDirection = keep;
  }
  return std::nullopt;
}

}  // namespace orv::core::detail
