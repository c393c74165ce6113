// Exact extents of a block's drawing, as the valve convention measures a part.
//
// The box holds every point a block's entities cover: lines and polyline vertices,
// arcs and bulged segments by their true extreme points (not their end points),
// circles, the outline of wide polyline segments, and nested block references with
// their scale, mirror and rotation applied to the geometry itself, so that a rotated
// or stretched arc is measured as the ellipse it becomes. Two simplifications, both
// on the side of a larger box: a bulged segment whose width changes along it is
// measured at its larger width, and the corners where two wide segments meet are
// taken as the segments' own ends (the mitre is not added).
#pragma once

#include <optional>

#include "orv/db/database.h"
#include "part_source.h"

namespace orv::partlib {

// A 2-D affine map: x' = xx x + xy y + x0, y' = yx x + yy y + y0.
struct Transform {
  double xx = 1.0, xy = 0.0, yx = 0.0, yy = 1.0, x0 = 0.0, y0 = 0.0;

  db::Point2 apply(db::Point2 p) const { return {xx * p.x + xy * p.y + x0, yx * p.x + yy * p.y + y0}; }
  Transform operator*(const Transform& inner) const;
  // Where a block reference puts its block's geometry.
  static Transform of(const db::BlockReference& ref, db::Point3 base);
};

// Grows a box point by point.
class BoxBuilder {
 public:
  void add(db::Point2 p);
  // The arc of centre c and radius r (negative: through the opposite points) from
  // angle `start` counter-clockwise over `sweep` radians (0 < sweep <= 2π), mapped by m.
  void addArc(const Transform& m, db::Point2 c, double r, double start, double sweep);
  std::optional<Box> box() const;

 private:
  Box box_;
  bool empty_ = true;
};

// The extents of everything `block` draws, nested references included; nullopt when
// it draws nothing. Unknown entities and erased ones take no part.
std::optional<Box> blockExtents(const db::Database& d, db::BlockId block);

// Adds one entity, mapped by m, to a box (references expanded through d).
void addEntity(BoxBuilder& out, const db::Database& d, const db::Entity& e, const Transform& m, int depth = 0);

}  // namespace orv::partlib
