// Device paths: direct emission, and clipping to the view for paths that reach far beyond it.
#include "device_path.h"

#include <algorithm>

namespace orv::render {

namespace {

constexpr int kMaxSplits = 48;  // halvings of a curve piece: 2^48 covers any finite zoom

Point2 mid(Point2 a, Point2 b) { return {(a.x + b.x) * 0.5, (a.y + b.y) * 0.5}; }

bool inside(const Box& b, Point2 p) {
  return p.x >= b.minX && p.x <= b.maxX && p.y >= b.minY && p.y <= b.maxY;
}

Box hull(Point2 a, Point2 b, Point2 c, Point2 d) {
  Box h;
  h.add(a), h.add(b), h.add(c), h.add(d);
  return h;
}

bool meets(const Box& a, const Box& b) {
  return a.minX <= b.maxX && b.minX <= a.maxX && a.minY <= b.maxY && b.minY <= a.maxY;
}

// Liang-Barsky: the part of p→q inside the box, as parameters t0 ≤ t1; false when none.
bool clipSegment(const Box& b, Point2 p, Point2 q, double& t0, double& t1) {
  t0 = 0.0, t1 = 1.0;
  const double dx = q.x - p.x, dy = q.y - p.y;
  const double ps[4] = {-dx, dx, -dy, dy};
  const double qs[4] = {p.x - b.minX, b.maxX - p.x, p.y - b.minY, b.maxY - p.y};
  for (int i = 0; i < 4; ++i) {
    if (ps[i] == 0.0) {
      if (qs[i] < 0.0) return false;
      continue;
    }
    const double r = qs[i] / ps[i];
    if (ps[i] < 0.0) t0 = std::max(t0, r);
    else t1 = std::min(t1, r);
    if (t0 > t1) return false;
  }
  return true;
}

// Writes clipped pieces of a stroke to cairo, opening a sub-path wherever a piece does not
// continue the last one.
class ClippedStroke {
 public:
  ClippedStroke(cairo_t* cr, const Box& view) : cr_(cr), view_(view) {}

  void start(Point2 p) { pen_ = p; }
  void line(Point2 q) {
    double t0, t1;
    if (clipSegment(view_, pen_, q, t0, t1)) {
      const Point2 a{pen_.x + (q.x - pen_.x) * t0, pen_.y + (q.y - pen_.y) * t0};
      const Point2 b{pen_.x + (q.x - pen_.x) * t1, pen_.y + (q.y - pen_.y) * t1};
      if (!open_ || a.x != last_.x || a.y != last_.y) cairo_move_to(cr_, a.x, a.y);
      cairo_line_to(cr_, b.x, b.y);
      open_ = true;
      last_ = b;
    }
    pen_ = q;
  }
  void curve(Point2 c1, Point2 c2, Point2 end, int depth = 0) {
    const Box h = hull(pen_, c1, c2, end);
    if (!meets(h, view_) || depth >= kMaxSplits) {
      line(end);  // the chord stays within the hull: outside the view too
      return;
    }
    if (inside(view_, pen_) && inside(view_, c1) && inside(view_, c2) && inside(view_, end)) {
      if (!open_ || pen_.x != last_.x || pen_.y != last_.y) cairo_move_to(cr_, pen_.x, pen_.y);
      cairo_curve_to(cr_, c1.x, c1.y, c2.x, c2.y, end.x, end.y);
      open_ = true;
      last_ = pen_ = end;
      return;
    }
    // de Casteljau at t = 1/2.
    const Point2 p01 = mid(pen_, c1), p12 = mid(c1, c2), p23 = mid(c2, end);
    const Point2 p012 = mid(p01, p12), p123 = mid(p12, p23), m = mid(p012, p123);
    curve(p01, p012, m, depth + 1);
    curve(p123, p23, end, depth + 1);
  }

 private:
  cairo_t* cr_;
  Box view_;
  Point2 pen_;
  Point2 last_;
  bool open_ = false;
};

// Flattens curves where they leave the view, for polygon clipping.
void flattenInto(std::vector<Point2>& out, const Box& view, Point2 p0, Point2 c1, Point2 c2,
                 Point2 end, int depth) {
  const Box h = hull(p0, c1, c2, end);
  const double size = std::max(h.maxX - h.minX, h.maxY - h.minY);
  if (!meets(h, view) || depth >= kMaxSplits || size < 0.5) {
    out.push_back(end);
    return;
  }
  const Point2 p01 = mid(p0, c1), p12 = mid(c1, c2), p23 = mid(c2, end);
  const Point2 p012 = mid(p01, p12), p123 = mid(p12, p23), m = mid(p012, p123);
  flattenInto(out, view, p0, p01, p012, m, depth + 1);
  flattenInto(out, view, m, p123, p23, end, depth + 1);
}

// Sutherland-Hodgman against one side of the box: keeps points where side(p) >= 0.
template <class Side, class Cross>
void clipPolygonSide(std::vector<Point2>& poly, std::vector<Point2>& scratch, Side side, Cross cross) {
  scratch.clear();
  const std::size_t n = poly.size();
  for (std::size_t i = 0; i < n; ++i) {
    const Point2 a = poly[i], b = poly[(i + 1) % n];
    const bool ina = side(a) >= 0.0, inb = side(b) >= 0.0;
    if (ina) scratch.push_back(a);
    if (ina != inb) scratch.push_back(cross(a, b));
  }
  poly.swap(scratch);
}

void clipPolygon(std::vector<Point2>& poly, const Box& b) {
  std::vector<Point2> scratch;
  auto atX = [](Point2 a, Point2 c, double x) {
    const double t = (x - a.x) / (c.x - a.x);
    return Point2{x, a.y + (c.y - a.y) * t};
  };
  auto atY = [](Point2 a, Point2 c, double y) {
    const double t = (y - a.y) / (c.y - a.y);
    return Point2{a.x + (c.x - a.x) * t, y};
  };
  clipPolygonSide(poly, scratch, [&](Point2 p) { return p.x - b.minX; },
                  [&](Point2 a, Point2 c) { return atX(a, c, b.minX); });
  clipPolygonSide(poly, scratch, [&](Point2 p) { return b.maxX - p.x; },
                  [&](Point2 a, Point2 c) { return atX(a, c, b.maxX); });
  clipPolygonSide(poly, scratch, [&](Point2 p) { return p.y - b.minY; },
                  [&](Point2 a, Point2 c) { return atY(a, c, b.minY); });
  clipPolygonSide(poly, scratch, [&](Point2 p) { return b.maxY - p.y; },
                  [&](Point2 a, Point2 c) { return atY(a, c, b.maxY); });
}

Box limitBox(const Box& view, double grow) {
  Box b = view;
  b.inflate(grow);
  b.minX = std::max(b.minX, -kDeviceLimit);
  b.minY = std::max(b.minY, -kDeviceLimit);
  b.maxX = std::min(b.maxX, kDeviceLimit);
  b.maxY = std::min(b.maxY, kDeviceLimit);
  return b;
}

}  // namespace

Box DevicePath::bounds() const {
  Box b;
  for (Point2 p : points_) b.add(p);
  return b;
}

void DevicePath::emitDirect(cairo_t* cr) const {
  const Point2* p = points_.data();
  for (Op op : ops_) {
    switch (op) {
      case Op::move: cairo_move_to(cr, p->x, p->y), p += 1; break;
      case Op::line: cairo_line_to(cr, p->x, p->y), p += 1; break;
      case Op::curve: cairo_curve_to(cr, p[0].x, p[0].y, p[1].x, p[1].y, p[2].x, p[2].y), p += 3; break;
      case Op::close: cairo_close_path(cr); break;
    }
  }
}

void DevicePath::emitStroke(cairo_t* cr, double width) const {
  if (!far_) {
    emitDirect(cr);
    return;
  }
  const Box view = limitBox(view_, width + 2.0);
  ClippedStroke out(cr, view);
  const Point2* p = points_.data();
  Point2 start{}, pen{};
  for (Op op : ops_) {
    switch (op) {
      case Op::move: out.start(*p), start = pen = *p, p += 1; break;
      case Op::line: out.line(*p), pen = *p, p += 1; break;
      case Op::curve: out.curve(p[0], p[1], p[2]), pen = p[2], p += 3; break;
      case Op::close:
        if (pen.x != start.x || pen.y != start.y) out.line(start);
        pen = start;
        break;
    }
  }
}

void DevicePath::emitFill(cairo_t* cr) const {
  if (!far_) {
    emitDirect(cr);
    return;
  }
  const Box view = limitBox(view_, 2.0);
  std::vector<Point2> poly;
  auto flush = [&] {
    if (poly.size() >= 3) {
      clipPolygon(poly, view);
      if (poly.size() >= 3) {
        cairo_move_to(cr, poly[0].x, poly[0].y);
        for (std::size_t i = 1; i < poly.size(); ++i) cairo_line_to(cr, poly[i].x, poly[i].y);
        cairo_close_path(cr);
      }
    }
    poly.clear();
  };
  const Point2* p = points_.data();
  for (Op op : ops_) {
    switch (op) {
      case Op::move: flush(), poly.push_back(*p), p += 1; break;
      case Op::line: poly.push_back(*p), p += 1; break;
      case Op::curve:
        if (poly.empty()) poly.push_back(p[0]);
        flattenInto(poly, view, poly.back(), p[0], p[1], p[2], 0);
        p += 3;
        break;
      case Op::close: flush(); break;
    }
  }
  flush();
}

}  // namespace orv::render
