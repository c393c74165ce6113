// The shapes of text (TEXT, ATTRIB, ATTDEF, MTEXT): a box estimated from its characters
// (the host's core measures no fonts), placed by its alignment.
#include <algorithm>
#include <cmath>

#include "orv/geom/mtext.h"
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

void describeMText(const DescribeContext& ctx, const db::MText& t, const Affine2& m) {
  const double h = t.height > 0 ? t.height : 2.5;
  const std::string text = geom::plainMText(t.content);
  // Lines at paragraph ends; each line's advance; wrapped where the box's width is given.
  double widest = 0;
  long lines = 0;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    double adv = h * textAdvance(std::string_view(text).substr(start, end - start), false);
    long wraps = 1;
    if (t.width > 0 && adv > t.width) {
      wraps = static_cast<long>(std::min(1e6, std::ceil(adv / t.width)));
      adv = t.width;
    }
    widest = std::max(widest, adv);
    lines += wraps;
    start = end + 1;
  }
  const double w = t.width > 0 ? t.width : widest;
  const double height = h * (1 + (lines - 1) * 5.0 / 3.0 * t.lineSpacing);
  const long attach = std::clamp(static_cast<long>(t.attachment), 1L, 9L);
  TextFrame f;
  f.origin = xy(t.position);
  f.along = unitAtDegrees(t.angle());
  const long col = (attach - 1) % 3, row = (attach - 1) / 3;
  f.x0 = col == 0 ? 0 : col == 1 ? -w / 2 : -w;
  f.y1 = row == 0 ? 0 : row == 1 ? height / 2 : height;
  f.x1 = f.x0 + w, f.y0 = f.y1 - height;
  emitTextFrame(ctx, f, m);
}

}  // namespace orv::core::detail
