// The shapes of entities kept as read, from their tags as the geometry library decodes
// them: old-style polylines.
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

// An old-style POLYLINE with the VERTEX entities that follow it in its block.
void describeOldPolyline(const DescribeContext& ctx, db::ObjectId id, const db::RawTags& tags, const Affine2& m) {
  const auto head = geom::decodePolylineHead(tags);
  const db::Entity* self = ctx.d.entity(id);
  if (!head || !self) return;
  std::vector<geom::VertexData> vertices;
  for (std::uint32_t i = id.index + 1; i < ctx.d.entitySlotCount(); ++i) {
    const db::Entity* e = ctx.d.entity(db::ObjectId{i});
    const auto* u = e ? e->as<db::UnknownEntity>() : nullptr;
    if (!u || e->owner() != self->owner() || ctx.d.name(u->type) != "VERTEX") break;
    if (e->isErased()) continue;
    if (auto v = geom::decodeVertex(u->tags)) vertices.push_back(*v);
  }
  const bool flat = !head->is3d() && !head->isPolygonMesh() && !head->isPolyface();
  const Affine2 w = flat ? m.after(planOf(head->extrusion, head->elevation)) : m;
  auto seg = [&](const geom::VertexData& a, const geom::VertexData& b) {
    ctx.sink.piece(Segment{w.apply(xy(a.position)), w.apply(xy(b.position))}, true);
  };
  if (head->isPolyface()) {  // points, then faces naming them
    std::vector<geom::VertexData> points;
    for (const auto& v : vertices)
      if (!v.isFaceRecord()) points.push_back(v);
    const long count = static_cast<long>(points.size());
    for (const auto& v : vertices) {
      if (!v.isFaceRecord()) continue;
      int n = 0;
      int face[4];
      for (int k : v.face)
        if (k != 0) face[n++] = k;
      for (int k = 0; k < n; ++k) {
        const long a = std::abs(face[k]), b = std::abs(face[(k + 1) % n]);
        if (face[k] > 0 && a <= count && b <= count) seg(points[a - 1], points[b - 1]);
      }
    }
    return;
  }
  if (head->isPolygonMesh()) {  // M by N vertices
    const long rows = head->meshM, cols = head->meshN;
    if (rows <= 0 || rows * cols != static_cast<long>(vertices.size())) return;
    auto at = [&](long r, long c) { return vertices[r * cols + c]; };
    for (long r = 0; r < rows; ++r)
      for (long c = 0; c < cols; ++c) {
        if (c + 1 < cols || (head->flags & 32)) seg(at(r, c), at(r, (c + 1) % cols));
        if (r + 1 < rows || (head->flags & 1)) seg(at(r, c), at((r + 1) % rows, c));
      }
    return;
  }
  std::vector<geom::VertexData> chain;
  for (const auto& v : vertices)
    if (!v.isFrameControl()) chain.push_back(v);  // spline frame points are not drawn
  const std::size_t n = chain.size();
  if (n == 1) seg(chain[0], chain[0]);
  const std::size_t count = (head->flags & 1) ? n : (n == 0 ? 0 : n - 1);
  for (std::size_t i = 0; i < count && n > 1; ++i)
    ctx.sink.piece(transformed(bulgePiece(xy(chain[i].position), xy(chain[(i + 1) % n].position), chain[i].bulge), w), true);
}

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

void describeKept(const DescribeContext& ctx, db::ObjectId id, const db::Entity&, const db::UnknownEntity& kept,
                  const Affine2& m, [[maybe_unused]] std::string_view layer, [[maybe_unused]] int depth) {
  using K = geom::KeptKind;
  const K kind = geom::keptKindOf(ctx.d.name(kept.type));
  const db::RawTags& tags = kept.tags;
  switch (kind) {
    case K::text: case K::attrib: case K::attdef: return;  // kept text: values it cannot hold
    case K::mtext: return;  // kept MTEXT: values it cannot hold
    case K::spline: return;  // kept only when its values cannot be held: nothing to show
    case K::hatch: return;
    case K::polyline: return describeOldPolyline(ctx, id, tags, m);
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
