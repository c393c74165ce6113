// The shapes of modeled entities and block references, and the box and distance of
// any entity.
#include "orv/core/shapes.h"

#include <algorithm>

#include "kept_tags.h"
#include "orv/geom/curves.h"
#include "shapes_internal.h"
#include "spline_kind.h"
#include "leader_kind.h"
#include "heavy_polyline_kind.h"

namespace orv::core {

// ---- layer states

std::uint8_t LayerStates::stateOf(std::string_view name) const {
  const db::Layer* layer = db_->layers().get(name);
  if (!layer) return kShown;
  std::uint8_t s = kShown;
  if (layer->color < 0) s |= kOff;
  if (layer->flags & 1) s |= kFrozen;
  return s;
}

bool LayerStates::hidden(db::NameId layer) {
  if (layer.index >= byId_.size()) byId_.resize(layer.index + 1, kUnknown);
  std::uint8_t& s = byId_[layer.index];
  if (s == kUnknown) s = stateOf(db_->name(layer));
  return (s & (kOff | kFrozen)) != 0;
}

bool LayerStates::hidden(std::string_view name) {
  auto it = byName_.find(std::string(name));
  if (it == byName_.end()) it = byName_.emplace(std::string(name), stateOf(name)).first;
  return (it->second & (kOff | kFrozen)) != 0;
}

bool LayerStates::frozen(std::string_view name) {
  auto it = byName_.find(std::string(name));
  if (it == byName_.end()) it = byName_.emplace(std::string(name), stateOf(name)).first;
  return (it->second & kFrozen) != 0;
}

void ShapeSink::region(const std::array<Vec2, 4>& c) {
  for (int i = 0; i < 4; ++i) piece(Segment{c[i], c[(i + 1) % 4]}, false);
}

// ---- modeled kinds

namespace detail {

namespace {

Vec2 xy(const db::Point3& p) { return {p.x, p.y}; }

void describePolyline(const DescribeContext& ctx, const db::Polyline& pl, const Affine2& m) {
  const std::size_t n = pl.size();
  if (n == 0) return;
  if (n == 1) {
    const Vec2 only{pl.point(0).x, pl.point(0).y};
    ctx.sink.piece(Segment{m.apply(only), m.apply(only)}, true);
    return;
  }
  const std::size_t segments = pl.closed() ? n : n - 1;
  for (std::size_t i = 0; i < segments; ++i) {
    const db::Point2 a = pl.point(i), b = pl.point((i + 1) % n);
    ctx.sink.piece(transformed(bulgePiece({a.x, a.y}, {b.x, b.y}, pl.bulge(i)), m), true);
  }
}

// Columns, rows and their spacing of a block reference that is an array (MINSERT).
struct ArrayLayout {
  long columns = 1, rows = 1;
  double columnSpacing = 0, rowSpacing = 0;
};

ArrayLayout arrayOf(const db::Database& d, db::ObjectId id) {
  ArrayLayout a;
  const db::RawTags* extras = id.isNull() ? nullptr : d.entityExtras(id);
  if (!extras) return a;
  bool inGroup = false;
  for (db::RawTag t : *extras) {
    if (t.code == 102) inGroup = !t.value.empty() && t.value.front() == '{';
    if (inGroup || t.code >= 1000) continue;
    const auto v = kept::parseNumber(t.value);
    if (!v) continue;
    if (t.code == 70) a.columns = std::clamp(static_cast<long>(*v), 1L, 32767L);
    if (t.code == 71) a.rows = std::clamp(static_cast<long>(*v), 1L, 32767L);
    if (t.code == 44) a.columnSpacing = *v;
    if (t.code == 45) a.rowSpacing = *v;
  }
  return a;
}

void describeReference(const DescribeContext& ctx, db::ObjectId id, const db::BlockReference& r,
                       const Affine2& toWorld, std::string_view layer, int depth) {
  if (r.block.isNull() || r.block.index >= ctx.d.blockCount()) return;
  const db::BlockDefinition& block = ctx.d.block(r.block);
  if (block.removed) return;
  ctx.sink.snapPoint(prompt::SnapKind::insertion, toWorld.apply(xy(r.position)));
  if (ctx.options.layers && ctx.options.layers->frozen(layer)) return;
  const ArrayLayout a = depth == 0 ? arrayOf(ctx.d, id) : ArrayLayout{};
  // A large array is described by its four corner copies: enough for its box and for
  // picks near its edges.
  const bool sparse = a.columns * a.rows > kMaxArrayCopies;
  const Vec2 along = unitAtDegrees(r.rotation), across = perp(along);
  for (long row = 0; row < a.rows; ++row) {
    if (sparse && row != 0 && row != a.rows - 1) continue;
    for (long col = 0; col < a.columns; ++col) {
      if (sparse && col != 0 && col != a.columns - 1) continue;
      const Vec2 offset = (col * a.columnSpacing) * along + (row * a.rowSpacing) * across;
      const Affine2 m = toWorld.after(Affine2::insert(xy(block.base), xy(r.position) + offset, r.xScale,
                                                      r.yScale, r.rotation));
      describeBlock(ctx, r.block, m, layer, depth + 1);
    }
  }
}

// SOLID and TRACE as the area they fill, 3DFACE by its visible edges.
void describeSolid(const DescribeContext& ctx, const db::Solid& s, const Affine2& m) {
  const std::array<db::Point3, 4> outline = s.outline();
  const int n = s.cornerCount();
  if (s.filled()) {
    const Affine2 w = m.after(planOf(s.extrusion));
    std::array<Vec2, 4> corners;
    for (int i = 0; i < 4; ++i) corners[i] = w.apply(xy(outline[std::min(i, n - 1)]));
    ctx.sink.region(corners);
    return;
  }
  for (int i = 0; i < n; ++i)
    if (!(s.hiddenEdges & (1 << i)))
      ctx.sink.piece(Segment{m.apply(xy(outline[i])), m.apply(xy(outline[(i + 1) % n]))}, true);
}

void describeEllipse(const DescribeContext& ctx, const db::Ellipse& e, const Affine2& m) {
  // Seen from above: the image of the unit circle.
  const geom::EllipseInPlan plan = geom::ellipseInPlan(e);
  const geom::Affine& g = plan.plan;
  EllipticArc arc{{g.x0, g.y0}, {g.xx, g.yx}, {g.xy, g.yy}, plan.start, plan.sweep};
  if (arc.sweep >= kTwoPi - 1e-12) arc.sweep = kTwoPi;
  ctx.sink.piece(transformed(arc, m), true);
}

}  // namespace

void describeBlock(const DescribeContext& ctx, db::BlockId block, const Affine2& toWorld,
                   std::string_view layer, int depth) {
  if (depth > kMaxNesting || block.index >= ctx.d.blockCount()) return;
  ctx.d.forEachEntity(block, [&](db::ObjectId childId, const db::Entity& child) {
    describeEntity(ctx.d, childId, child, toWorld, ctx.sink, ctx.options, layer, depth);
  });
}

}  // namespace detail

void describeEntity(const db::Database& d, db::ObjectId id, const db::Entity& e, const Affine2& m,
                    ShapeSink& sink, const ShapeOptions& options, std::string_view inheritedLayer,
                    int depth) {
  using detail::xy;
  if (e.isErased()) return;
  std::string_view layer = kept::layerName(d, e);
  if (depth > 0) {
    if (layer == "0") layer = inheritedLayer;
    if (options.layers && options.layers->hidden(layer) && !e.as<db::BlockReference>()) return;
  }
  const detail::DescribeContext ctx{d, sink, options};
  if (const auto* l = e.as<db::Line>()) {
    sink.piece(Segment{m.apply(xy(l->start)), m.apply(xy(l->end))}, true);
  } else if (const auto* c = e.as<db::Circle>()) {
    sink.piece(transformed(CircularArc{xy(c->center), c->radius, 0, kTwoPi}, m), true);
  } else if (const auto* a = e.as<db::Arc>()) {
    const double start = normalizeDegrees(a->startAngle) * kDegree;
    double sweep = normalizeDegrees(a->endAngle - a->startAngle) * kDegree;
    if (sweep == 0) sweep = kTwoPi;
    sink.piece(transformed(CircularArc{xy(a->center), a->radius, start, sweep}, m), true);
  } else if (const auto* pl = e.as<db::Polyline>()) {
    detail::describePolyline(ctx, *pl, m);
  } else if (const auto* r = e.as<db::BlockReference>()) {
    if (depth > 0 && options.layers && options.layers->frozen(layer)) return;
    detail::describeReference(ctx, id, *r, m, layer, depth);
  } else if (const auto* p = e.as<db::Point>()) {
    const Vec2 at = m.apply(xy(p->position));
    sink.piece(Segment{at, at}, false);
  } else if (const auto* s = e.as<db::Solid>()) {
    detail::describeSolid(ctx, *s, m);
  } else if (const auto* el = e.as<db::Ellipse>()) {
    detail::describeEllipse(ctx, *el, m);
  } else if (const auto* h = e.as<db::Hatch>()) {
    detail::describeHatch(ctx, *h, m);
  } else if (const auto* u = e.as<db::UnknownEntity>()) {
    detail::describeKept(ctx, id, e, *u, m, layer, depth);
  } else if (const auto* dim = e.as<db::Dimension>()) {
    detail::describeDimension(ctx, *dim, m, layer, depth);
  } else if (const auto* t = e.as<db::Text>()) {
    detail::describeText(ctx, *t, m);
  } else if (const auto* sp = e.as<db::Spline>()) {
    detail::describeSpline(ctx, *sp, m);
  } else if (const auto* mt = e.as<db::MText>()) {
    detail::describeMText(ctx, *mt, m);
  } else if (const auto* leader = e.as<db::Leader>()) {
    detail::describeLeader(ctx, *leader, m);
  } else if (const auto* hp = e.as<db::HeavyPolyline>()) {
    detail::describeHeavyPolyline(ctx, *hp, m);
  }
}

void describeEntity(const db::Database& d, db::ObjectId id, ShapeSink& sink, const ShapeOptions& options) {
  const db::Entity* e = d.entity(id);
  if (!e || e->isErased()) return;
  describeEntity(d, id, *e, Affine2{}, sink, options, kept::layerName(d, *e), 0);
}

// ---- box and distance

namespace {

struct BoxSink final : ShapeSink {
  Box2 box;
  void piece(const Piece& p, bool) override { box.add(boxOf(p)); }
  void region(const std::array<Vec2, 4>& c) override {
    for (Vec2 p : c) box.add(p);
  }
  void snapPoint(prompt::SnapKind, Vec2 p) override { box.add(p); }
};

bool insideQuad(const std::array<Vec2, 4>& c, Vec2 p) {
  // Inside a convex quadrilateral when on one side of every edge.
  int positive = 0, negative = 0;
  for (int i = 0; i < 4; ++i) {
    const double s = cross(c[(i + 1) % 4] - c[i], p - c[i]);
    if (s > 0) ++positive;
    if (s < 0) ++negative;
  }
  return positive == 0 || negative == 0;
}

struct DistanceSink final : ShapeSink {
  Vec2 p;
  double best = std::numeric_limits<double>::infinity();
  Vec2 nearest;
  void piece(const Piece& piece, bool) override {
    const Vec2 q = nearestOn(piece, p);
    if (const double dd = distance(q, p); dd < best) best = dd, nearest = q;
  }
  void region(const std::array<Vec2, 4>& c) override {
    if (insideQuad(c, p)) {
      best = 0;
      nearest = p;
      return;
    }
    ShapeSink::region(c);
  }
};

}  // namespace

Box2 entityBox(const db::Database& d, db::ObjectId id) {
  BoxSink sink;
  describeEntity(d, id, sink);
  return sink.box;
}

double distanceToEntity(const db::Database& d, db::ObjectId id, Vec2 p, LayerStates* layers, Vec2* nearest) {
  DistanceSink sink;
  sink.p = p;
  describeEntity(d, id, sink, ShapeOptions{layers});
  if (nearest) *nearest = sink.nearest;
  return sink.best;
}

std::string_view layerOf(const db::Database& d, const db::Entity& e) { return kept::layerName(d, e); }

std::string kindName(const db::Database& d, const db::Entity& e) {
  switch (e.kind()) {
    case db::EntityKind::line: return "直线";
    case db::EntityKind::arc: return "圆弧";
    case db::EntityKind::circle: return "圆";
    case db::EntityKind::polyline: return "多段线";
    case db::EntityKind::blockReference: return "块参照";
    case db::EntityKind::point: return "点";
    case db::EntityKind::ellipse: return "椭圆";
    case db::EntityKind::dimension: return "标注";
    case db::EntityKind::solid:
      switch (e.as<db::Solid>()->type) {
        case db::Solid::Type::solid: return "二维填充";
        case db::Solid::Type::trace: return "宽线";
        case db::Solid::Type::face: return "三维面";
      }
      break;
    case db::EntityKind::unknown: break;
    case db::EntityKind::hatch: return "图案填充";
    case db::EntityKind::text:
      switch (e.as<db::Text>()->type) {
        case db::Text::Type::text: return "文字";
        case db::Text::Type::attrib: return "属性";
        case db::Text::Type::attdef: return "属性定义";
      }
      break;
    case db::EntityKind::spline: return "样条曲线";
    case db::EntityKind::mtext: return "多行文字";
    case db::EntityKind::leader: return "引线";
    case db::EntityKind::heavyPolyline: {
      const db::HeavyPolyline& p = *e.as<db::HeavyPolyline>();
      return p.isPolyface() ? "多面网格" : p.isPolygonMesh() ? "多边形网格" : p.is3d() ? "三维多段线" : "二维多段线";
    }
  }
  static const std::pair<std::string_view, std::string_view> kNames[] = {
      {"TEXT", "文字"}, {"MTEXT", "多行文字"}, {"ATTRIB", "属性"}, {"ATTDEF", "属性定义"},
      {"POINT", "点"}, {"ELLIPSE", "椭圆"}, {"SPLINE", "样条曲线"}, {"HATCH", "图案填充"},
      {"SOLID", "二维填充"}, {"TRACE", "宽线"}, {"3DFACE", "三维面"}, {"DIMENSION", "标注"},
      {"POLYLINE", "多段线"}, {"LEADER", "引线"}, {"INSERT", "块参照"}, {"VERTEX", "顶点"},
      {"SEQEND", "序列结束"}};
  const std::string_view type = d.name(e.as<db::UnknownEntity>()->type);
  for (const auto& [dxf, name] : kNames)
    if (type == dxf) return std::string(name);
  return std::string(type);
}

std::optional<db::BlockId> drawnBlock(const db::Database& d, const db::Entity& e) {
  if (const auto* r = e.as<db::BlockReference>()) return r->block;
  const auto* dim = e.as<db::Dimension>();
  if (!dim || dim->block.empty()) return std::nullopt;
  return d.findBlock(dim->block);
}

}  // namespace orv::core
