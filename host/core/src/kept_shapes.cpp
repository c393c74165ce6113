// The shapes of entities kept as read, from their tags as the geometry library decodes
// them: MTEXT (by an estimate of its box: the host's core measures no fonts) and leaders.
#include <algorithm>

#include "kept_tags.h"
#include "orv/geom/curves.h"
#include "orv/geom/shapes.h"
#include "orv/geom/text.h"
#include "orv/geom/mtext.h"
#include "shapes_internal.h"

namespace orv::core::detail {

namespace {

Vec2 xy(const geom::Point3& p) { return {p.x, p.y}; }

// Decoding one code point of UTF-8; advances i.
char32_t nextCodePoint(std::string_view s, std::size_t& i) {
  const auto c = static_cast<unsigned char>(s[i++]);
  if (c < 0x80) return c;
  int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
  char32_t cp = c & (0x3F >> extra);
  while (extra-- > 0 && i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80)
    cp = (cp << 6) | (static_cast<unsigned char>(s[i++]) & 0x3F);
  return cp;
}

void describeMText(const DescribeContext& ctx, const db::RawTags& tags, const Affine2& m) {
  const auto t = geom::decodeMText(tags);
  if (!t) return;
  const double h = t->height > 0 ? t->height : 2.5;
  const std::string text = geom::plainMText(t->content);
  // Lines at paragraph ends; each line's advance; wrapped where the box's width is given.
  double widest = 0;
  long lines = 0;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    double adv = h * textAdvance(std::string_view(text).substr(start, end - start), false);
    long wraps = 1;
    if (t->width > 0 && adv > t->width) {
      wraps = static_cast<long>(std::ceil(adv / t->width));
      adv = t->width;
    }
    widest = std::max(widest, adv);
    lines += wraps;
    start = end + 1;
  }
  const double w = t->width > 0 ? t->width : widest;
  const double height = h * (1 + (lines - 1) * 5.0 / 3.0 * t->lineSpacing);
  const long attach = std::clamp(static_cast<long>(t->attachment), 1L, 9L);
  TextFrame f;
  f.origin = xy(t->position);
  const double angle = geom::mtextAngle(*t);
  f.along = unitAtRadians(angle);
  const long col = (attach - 1) % 3, row = (attach - 1) / 3;
  f.x0 = col == 0 ? 0 : col == 1 ? -w / 2 : -w;
  f.y1 = row == 0 ? 0 : row == 1 ? height / 2 : height;
  f.x1 = f.x0 + w, f.y0 = f.y1 - height;
  emitTextFrame(ctx, f, m);
}

// An old-style POLYLINE with the VERTEX entities that follow it in its block.
// Any other kind: the points it names, so that a window or a pick can find it.
void describePoints(const DescribeContext& ctx, const db::UnknownEntity& kept, const Affine2& m, bool chained) {
  const kept::Tags t(kept.tags);
  std::vector<Vec2> points;
  for (std::size_t i = 0; i < t.size(); ++i)
    if (!t.inGroup(i) && t[i].code >= 10 && t[i].code <= 18)
      if (auto p = t.pointAt(i)) points.push_back(m.apply(*p));
  if (chained && points.size() > 1) {
    for (std::size_t i = 1; i < points.size(); ++i) ctx.sink.piece(Segment{points[i - 1], points[i]}, true);
    return;
  }
  for (Vec2 p : points) ctx.sink.piece(Segment{p, p}, false);
}

}  // namespace

// The plan view of an object coordinate system as a core map.
Affine2 planOf(geom::Point3 extrusion, double elevation) {
  const geom::Affine g = geom::planOfOcs(extrusion, elevation);
  Affine2 m;
  m.a = g.xx, m.b = g.xy, m.c = g.yx, m.d = g.yy, m.tx = g.x0, m.ty = g.y0;
  m.turn = geom::isWorldZ(extrusion) ? 0 : std::numeric_limits<double>::quiet_NaN();
  return m;
}

double textAdvance(std::string_view text, bool) {
  double adv = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    const char32_t cp = nextCodePoint(text, i);
    adv += cp >= 0x1100 ? 1.0 : cp == ' ' ? 0.5 : 0.7;
  }
  return adv;
}

void describeKept(const DescribeContext& ctx, db::ObjectId id, const db::Entity&, const db::UnknownEntity& kept,
                  const Affine2& m, [[maybe_unused]] std::string_view layer, [[maybe_unused]] int depth) {
  using K = geom::KeptKind;
  const K kind = geom::keptKindOf(ctx.d.name(kept.type));
  const db::RawTags& tags = kept.tags;
  switch (kind) {
    case K::text: case K::attrib: case K::attdef: return;  // kept text: values it cannot hold
    case K::mtext: return describeMText(ctx, tags, m);
    case K::spline: return;  // kept only when its values cannot be held: nothing to show
    case K::hatch: return;
    case K::vertex: case K::seqend: return;
    case K::insert: {
      const kept::Tags t(tags);
      if (auto p = t.point(10)) ctx.sink.snapPoint(prompt::SnapKind::insertion, m.apply(*p));
      return describePoints(ctx, kept, m, false);
    }
    case K::leader: return describePoints(ctx, kept, m, true);
    default: return describePoints(ctx, kept, m, false);
  }
}

}  // namespace orv::core::detail
