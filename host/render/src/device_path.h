// One entity's outline in device coordinates, checked and, where it reaches far off the view, clipped before cairo sees it.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <vector>

#include "geometry.h"

namespace orv::render {

// Device coordinates beyond this are never handed to cairo (its fixed-point numbers end
// near 8 million).
inline constexpr double kDeviceLimit = 1e6;

// Receives an outline: what the shape emitters write to. Points are in the sink's own
// coordinates (device units for painting, drawing units for measuring).
class PathSink {
 public:
  virtual ~PathSink() = default;
  virtual void moveTo(Point2 p) = 0;
  virtual void lineTo(Point2 p) = 0;
  virtual void curveTo(Point2 c1, Point2 c2, Point2 end) = 0;
  virtual void close() = 0;
};

// A path in device units. Paths that stay within kDeviceLimit go to cairo as they are;
// a path with a point beyond it (a long line seen through a window zoomed far in) goes
// clipped to the view: strokes piece by piece, fills polygon by polygon, curves split
// where they cross the view so what shows keeps its shape.
class DevicePath final : public PathSink {
 public:
  // The device area that shows, already grown by what a line's width may add.
  void setView(const Box& view) { view_ = view; }

  void clear() {
    ops_.clear();
    points_.clear();
    finite_ = true;
    far_ = false;
  }
  void moveTo(Point2 p) override { add(Op::move, p); }
  void lineTo(Point2 p) override { add(Op::line, p); }
  void curveTo(Point2 c1, Point2 c2, Point2 end) override {
    add(Op::curve, c1);
    check(c2);
    check(end);
    points_.push_back(c2);
    points_.push_back(end);
  }
  void close() override { ops_.push_back(Op::close); }

  // True when there is something and every point is finite.
  bool ok() const { return finite_ && !ops_.empty(); }
  // The device bounds of the points (control points included).
  Box bounds() const;

  // Appends the path to cairo's current path, for a stroke of the given width.
  void emitStroke(cairo_t* cr, double width) const;
  // Appends the path for a fill.
  void emitFill(cairo_t* cr) const;

 private:
  enum class Op : std::uint8_t { move, line, curve, close };
  void check(Point2 p) {
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) finite_ = false;
    else if (!(std::abs(p.x) <= kDeviceLimit && std::abs(p.y) <= kDeviceLimit)) far_ = true;
  }
  void add(Op op, Point2 p) {
    check(p);
    ops_.push_back(op);
    points_.push_back(p);
  }
  void emitDirect(cairo_t* cr) const;

  std::vector<Op> ops_;
  std::vector<Point2> points_;
  Box view_{-kDeviceLimit, -kDeviceLimit, kDeviceLimit, kDeviceLimit};
  bool finite_ = true;
  bool far_ = false;
};

}  // namespace orv::render
