// The shapes of one-line text (TEXT, ATTRIB, ATTDEF): a box estimated from its characters
// (the host's core measures no fonts), placed by its alignment.
#include <algorithm>

#include "orv/geom/text.h"
#include "shapes_internal.h"

namespace orv::core::detail {

namespace {

Vec2 xy(const db::Point3& p) { return {p.x, p.y}; }

}  // namespace

void emitTextFrame(const DescribeContext& ctx, const TextFrame& f, const Affine2& m) {
  const Vec2 up = perp(f.along);
  auto at = [&](double x, double y) { return m.apply(f.origin + x * f.along + y * up); };
  ctx.sink.region({at(f.x0, f.y0), at(f.x1, f.y0), at(f.x1, f.y1), at(f.x0, f.y1)});
  ctx.sink.snapPoint(prompt::SnapKind::insertion, m.apply(f.origin));
}

void describeText(const DescribeContext& ctx, const db::Text& t, const Affine2& m) {
  if (t.invisible()) return;
  using H = db::TextHAlign;
  using V = db::TextVAlign;
  const double h = t.height > 0 ? t.height : 2.5;
  const double width = t.widthFactor > 0 ? t.widthFactor : 1.0;
  double w = h * width * textAdvance(geom::expandTextCodes(t.shown()), false);
  TextFrame f;
  f.along = unitAtDegrees(t.rotation);
  f.origin = xy(t.position);
  const bool between = t.hAlign == H::aligned || t.hAlign == H::fit;
  if (between && t.hasAlignPoint && xy(t.alignPoint) != xy(t.position)) {
    f.along = (1 / distance(xy(t.position), xy(t.alignPoint))) * (xy(t.alignPoint) - xy(t.position));
    w = distance(xy(t.position), xy(t.alignPoint));
  } else if (t.placedByAlignPoint() && t.hasAlignPoint) {
    f.origin = xy(t.alignPoint);
  }
  const bool middle = t.hAlign == H::middle;
  f.x0 = t.hAlign == H::center || middle ? -w / 2 : t.hAlign == H::right ? -w : 0;
  f.y0 = middle || t.vAlign == V::middle ? -h / 2 : t.vAlign == V::top ? -h : 0;
  f.x1 = f.x0 + w, f.y1 = f.y0 + h;
  if (t.generation & 2) std::swap(f.x0, f.x1), f.x0 = -f.x0, f.x1 = -f.x1;  // backward
  if (t.generation & 4) std::swap(f.y0, f.y1), f.y0 = -f.y0, f.y1 = -f.y1;  // upside down
  emitTextFrame(ctx, f, m.after(planOf(t.extrusion)));
}

}  // namespace orv::core::detail
