// Plane geometry shared by pictures, extents and edits: affine transforms, bounding boxes, object coordinate systems.
#pragma once

#include <algorithm>
#include <cmath>
#include <limits>

#include "orv/db/types.h"

namespace orv::geom {

using db::Point2;
using db::Point3;

// x' = xx·x + xy·y + x0,  y' = yx·x + yy·y + y0.
struct Affine {
  double xx = 1.0, yx = 0.0, xy = 0.0, yy = 1.0, x0 = 0.0, y0 = 0.0;

  Point2 apply(Point2 p) const { return {xx * p.x + xy * p.y + x0, yx * p.x + yy * p.y + y0}; }
  // A direction: the linear part only.
  Point2 applyVector(Point2 v) const { return {xx * v.x + xy * v.y, yx * v.x + yy * v.y}; }
  double determinant() const { return xx * yy - xy * yx; }
  // How much lengths grow, on average over directions: exact for uniform scales.
  double lengthScale() const { return std::sqrt(std::abs(determinant())); }
  bool isFinite() const {
    return std::isfinite(xx) && std::isfinite(yx) && std::isfinite(xy) && std::isfinite(yy) &&
           std::isfinite(x0) && std::isfinite(y0) && std::isfinite(determinant());
  }
  // The transform that applies `inner` first, then this one.
  Affine operator*(const Affine& inner) const {
    return {xx * inner.xx + xy * inner.yx, yx * inner.xx + yy * inner.yx,
            xx * inner.xy + xy * inner.yy, yx * inner.xy + yy * inner.yy,
            xx * inner.x0 + xy * inner.y0 + x0, yx * inner.x0 + yy * inner.y0 + y0};
  }

  static Affine translation(double dx, double dy) { return {1.0, 0.0, 0.0, 1.0, dx, dy}; }
  static Affine scaling(double sx, double sy) { return {sx, 0.0, 0.0, sy, 0.0, 0.0}; }
  // Counter-clockwise by `radians` about the origin.
  static Affine rotation(double radians) {
    const double c = std::cos(radians), s = std::sin(radians);
    return {c, s, -s, c, 0.0, 0.0};
  }
};

// Bounds that grow by points; non-finite points are ignored.
struct Box {
  double minX = std::numeric_limits<double>::infinity();
  double minY = std::numeric_limits<double>::infinity();
  double maxX = -std::numeric_limits<double>::infinity();
  double maxY = -std::numeric_limits<double>::infinity();

  bool empty() const { return !(minX <= maxX && minY <= maxY); }
  void add(Point2 p) {
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) return;
    minX = std::min(minX, p.x);
    minY = std::min(minY, p.y);
    maxX = std::max(maxX, p.x);
    maxY = std::max(maxY, p.y);
  }
  void add(const Box& b) {
    if (b.empty()) return;
    add(Point2{b.minX, b.minY});
    add(Point2{b.maxX, b.maxY});
  }
  bool intersects(const Box& b) const {
    return !empty() && !b.empty() && minX <= b.maxX && b.minX <= maxX && minY <= b.maxY &&
           b.minY <= maxY;
  }
  // Grows every side by d (d finite and >= 0); stays finite.
  void inflate(double d) {
    if (empty() || !(d > 0.0) || !std::isfinite(d)) return;
    const double big = std::numeric_limits<double>::max();
    minX = std::max(minX - d, -big);
    minY = std::max(minY - d, -big);
    maxX = std::min(maxX + d, big);
    maxY = std::min(maxY + d, big);
  }
};

// The object coordinate system of an extrusion direction (the "arbitrary axis
// algorithm" of the DXF format): unit axes in world coordinates. An extrusion that is
// zero or not finite gives the world axes.
struct OcsAxes {
  Point3 x{1.0, 0.0, 0.0};
  Point3 y{0.0, 1.0, 0.0};
  Point3 z{0.0, 0.0, 1.0};
};
OcsAxes ocsAxes(Point3 extrusion);
Point3 ocsToWorld(const OcsAxes& axes, Point3 p);
// True for the usual extrusion 0,0,1 (or anything that normalises to it).
bool isWorldZ(Point3 extrusion);

// Points (x, y) of an object coordinate system at height `elevation`, seen from above:
// their world x and y. For extrusion 0,0,1 the identity; for 0,0,-1 a mirror in x.
Affine planOfOcs(Point3 extrusion, double elevation = 0.0);

}  // namespace orv::geom
