// The shapes of entities kept as read, from their tags as the geometry library decodes
// them: what the model holds of no typed kind, or values a typed kind cannot hold.
#include <algorithm>

#include "kept_tags.h"
#include "orv/geom/curves.h"
#include "orv/geom/shapes.h"
#include "orv/geom/text.h"
#include "orv/geom/mtext.h"
#include "shapes_internal.h"

namespace orv::core::detail {

namespace {

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

// An old-style POLYLINE with the VERTEX entities that follow it in its block.
// Any other kind: the points it names, so that a window or a pick can find it.
void describePoints(const DescribeContext& ctx, const db::UnknownEntity& kept, const Affine2& m) {
  const kept::Tags t(kept.tags);
  std::vector<Vec2> points;
  for (std::size_t i = 0; i < t.size(); ++i)
    if (!t.inGroup(i) && t[i].code >= 10 && t[i].code <= 18)
      if (auto p = t.pointAt(i)) points.push_back(m.apply(*p));
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

void describeKept(const DescribeContext& ctx, db::ObjectId, const db::Entity&, const db::UnknownEntity& kept,
                  const Affine2& m, [[maybe_unused]] std::string_view layer, [[maybe_unused]] int depth) {
  using K = geom::KeptKind;
  const K kind = geom::keptKindOf(ctx.d.name(kept.type));
  const db::RawTags& tags = kept.tags;
  switch (kind) {
    case K::text: case K::attrib: case K::attdef: return;  // kept text: values it cannot hold
    case K::mtext: return;  // kept MTEXT: values it cannot hold
    case K::spline: return;  // kept only when its values cannot be held: nothing to show
    case K::hatch: return;
    case K::vertex: case K::seqend: return;
    case K::insert: {
      const kept::Tags t(tags);
      if (auto p = t.point(10)) ctx.sink.snapPoint(prompt::SnapKind::insertion, m.apply(*p));
      return describePoints(ctx, kept, m);
    }
    default: return describePoints(ctx, kept, m);
  }
}

}  // namespace orv::core::detail
