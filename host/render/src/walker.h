// The walk through model space that every picture pass shares: block references,
// arrays, dimensions and attributes expanded, visibility and BYLAYER/BYBLOCK resolved.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <span>
#include <vector>

#include "geometry.h"
#include "orv/db/database.h"
#include "orv/geom/kept.h"
#include "orv/geom/shapes.h"
#include "orv/render/page.h"
#include "style.h"

namespace orv::render {

// An entity as a pass sees it: its geometry in its block's coordinates, the transform to
// the pass's coordinates, its resolved colour, linetype (a pattern id or kContinuous)
// and lineweight.
struct Placed {
  const db::Entity& entity;
  db::ObjectId id;
  const Affine& transform;
  Ink color;
  std::int32_t linetype;
  double lineweightMm;  // < 0: drawn thin (lineweights not shown, or none)
  geom::KeptKind kind;  // how it is drawn beside lines, arcs, circles and polylines (see drawnKind)
  int depth;            // 0 in model space, 1 in a block it references, ...
  double linetypeScale = 1.0;  // the entity's own (48), times $LTSCALE when patterns are drawn

  const db::RawTags* tags() const {
    const auto* u = entity.as<db::UnknownEntity>();
    return u ? &u->tags : nullptr;
  }
};

// The kind of drawing a kind of kinds.h takes: that of its DXF type.
inline geom::KeptKind drawnKind(const db::Entity& e) {
  if (e.as<db::Point>()) return geom::KeptKind::point;
  if (e.as<db::Ellipse>()) return geom::KeptKind::ellipse;
  if (e.as<db::Hatch>()) return geom::KeptKind::hatch;
  if (e.as<db::Dimension>()) return geom::KeptKind::dimension;
  if (e.as<db::Spline>()) return geom::KeptKind::spline;
  if (e.as<db::MText>()) return geom::KeptKind::mtext;
  if (e.as<db::Leader>()) return geom::KeptKind::leader;
  if (e.as<db::HeavyPolyline>()) return geom::KeptKind::polyline;
  if (const auto* s = e.as<db::Solid>()) {
    switch (s->type) {
      case db::Solid::Type::solid: return geom::KeptKind::solid;
      case db::Solid::Type::trace: return geom::KeptKind::trace;
      case db::Solid::Type::face: return geom::KeptKind::face3d;
    }
  }
  if (const auto* t = e.as<db::Text>()) {
    switch (t->type) {
      case db::Text::Type::text: return geom::KeptKind::text;
      case db::Text::Type::attrib: return geom::KeptKind::attrib;
      case db::Text::Type::attdef: return geom::KeptKind::attdef;
    }
  }
  return geom::KeptKind::other;
}

// Walks model space (or a list of its entities) and calls visitor(const Placed&) for
// every visible entity that is not a block reference, in drawing order. References are
// expanded in place:
// - entities on layer "0" inside a block take the layer of the reference that holds them;
// - BYBLOCK colour, linetype and lineweight take those of that reference (colour 7,
//   continuous and the default at the top level); BYLAYER those of the (effective) layer;
//   a true colour (420) wins over the index;
// - a layer that is off hides its entities; a frozen one also whole references on it;
//   an entity marked invisible (60 1) is left out;
// - an array reference draws its block at every row and column; the attributes after a
//   reference draw with it, inheriting as its block's entities do; a DIMENSION draws its
//   block moved by its insertion point;
// - a reference to a block already being expanded, one nested too deep, or one whose
//   transform is degenerate or not finite is left out.
template <class Visitor>
class SceneWalker {
 public:
  static constexpr int kMaxDepth = 64;

  SceneWalker(const db::Database& db, StyleTable& styles, Visitor& visitor,
              std::uint64_t entityLimit)
      : db_(db), styles_(styles), visitor_(visitor), limit_(entityLimit), budget_(entityLimit),
        active_(db.blockCount(), 0) {}

  void walk(const Affine& root) { walkBlock(db_.modelSpace(), root, top(), 0); }

  // A block walked as a space of its own (a layout's paper space), not as a reference.
  void walkSpace(db::BlockId block, const Affine& root) {
    if (block.isNull() || block.index >= db_.blockCount() || db_.block(block).removed) return;
    walkBlock(block, root, top(), 0);
  }

  // Model space from position `begin` of its list up to `end`: a part of walk(). Parts
  // that together cover the list visit what walk() visits (what follows a reference
  // across the cut is still visited with it).
  void walkRange(std::size_t begin, std::size_t end, const Affine& root) {
    const db::BlockId model = db_.modelSpace();
    active_[model.index] = 1;
    const std::vector<db::ObjectId>& list = db_.block(model).entities;
    const Inherited from = top();
    for (std::size_t i = begin; i < end && i < list.size(); ++i) {
      if (truncated_) break;
      const db::Entity* e = db_.entity(list[i]);
      if (e == nullptr || e->isErased()) continue;
      visitEntity(list, i, *e, root, from, 0, false);
    }
    active_[model.index] = 0;
  }

  // Only the given entities of model space, in the given order.
  void walkList(const std::vector<db::ObjectId>& ids, const Affine& root) {
    const Inherited from = top();
    const std::vector<db::ObjectId>& model = db_.block(db_.modelSpace()).entities;
    for (db::ObjectId id : ids) {
      if (truncated_) break;
      const db::Entity* e = db_.entity(id);
      if (e == nullptr || e->isErased() || !(e->owner() == db_.modelSpace())) continue;
      visitEntity(model, positionOf(model, id), *e, root, from, 0, false);
    }
  }

  // Entities that are not in the drawing (a command's drag preview), each as if it
  // stood in model space: its layer, linetype and block from the drawing's tables.
  void walkLoose(std::span<const db::Entity> entities, const Affine& root) {
    static const std::vector<db::ObjectId> none;
    const Inherited from = top();
    for (const db::Entity& e : entities) {
      if (truncated_) break;
      if (e.isErased()) continue;
      visitEntity(none, 0, e, root, from, 0, false);
    }
  }

  bool truncated() const { return truncated_; }
  std::uint64_t visited() const { return limit_ - budget_; }  // entities counted against the limit
  std::size_t leftOut() const { return leftOut_; }  // references not expanded

 private:
  struct Inherited {
    Ink color = 7;
    std::int32_t linetype = kContinuous;
    std::int16_t lineweight = -3;
    LayerStyle layer;
  };
  Inherited top() const { return Inherited{}; }

  // Where an id stands in a block's list (ids rise along it); the list's size if absent.
  static std::size_t positionOf(const std::vector<db::ObjectId>& list, db::ObjectId id) {
    auto it = std::lower_bound(list.begin(), list.end(), id,
                               [](db::ObjectId a, db::ObjectId b) { return a.index < b.index; });
    if (it != list.end() && *it == id) return static_cast<std::size_t>(it - list.begin());
    it = std::find(list.begin(), list.end(), id);
    return static_cast<std::size_t>(it - list.begin());
  }

  void walkBlock(db::BlockId block, const Affine& m, const Inherited& from, int depth) {
    active_[block.index] = 1;
    const std::vector<db::ObjectId>& list = db_.block(block).entities;
    for (std::size_t i = 0; i < list.size(); ++i) {
      if (truncated_) break;
      const db::Entity* e = db_.entity(list[i]);
      if (e == nullptr || e->isErased()) continue;
      visitEntity(list, i, *e, m, from, depth, false);
    }
    active_[block.index] = 0;
  }

  // The entities after position `at` of a list.
  static std::span<const db::ObjectId> after(const std::vector<db::ObjectId>& list, std::size_t at) {
    if (at >= list.size()) return {};
    return std::span<const db::ObjectId>(list).subspan(at + 1);
  }

  void visitEntity(const std::vector<db::ObjectId>& list, std::size_t at, const db::Entity& e,
                   const Affine& m, const Inherited& from, int depth, bool asAttribute) {
    if (budget_ == 0) {
      truncated_ = true;
      return;
    }
    --budget_;
    const auto* kept = e.as<db::UnknownEntity>();
    geom::KeptKind kind = geom::KeptKind::other;
    geom::CommonProps props;
    bool onLayer0 = false;
    LayerStyle layer;
    if (kept) {
      kind = styles_.keptKind(kept->type);
      // Vertices and attributes are drawn by what they belong to.
      if (kind == geom::KeptKind::vertex || kind == geom::KeptKind::seqend) return;
      if (kind == geom::KeptKind::attrib && !asAttribute) return;
      props = geom::decodeCommon(kept->tags);
      onLayer0 = props.layer == "0";
      if (!(onLayer0 && (depth > 0 || asAttribute))) layer = styles_.layer(props.layer);
    } else {
      kind = drawnKind(e);
      props.color = e.color;
      if (const db::RawTags* extras = db_.entityExtras(idAt(list, at, e))) {
        const geom::CommonProps more = geom::decodeCommon(*extras);
        props.trueColor = more.trueColor;
        props.lineweight = more.lineweight;
        props.invisible = more.invisible;
        props.linetypeScale = more.linetypeScale;
      }
      onLayer0 = e.layer == db::names::layer0;
      if (!(onLayer0 && (depth > 0 || asAttribute))) layer = styles_.layer(e.layer);
    }
    if (onLayer0 && (depth > 0 || asAttribute)) layer = from.layer;
    if (layer.frozen || props.invisible) return;
    const Ink color = props.trueColor >= 0           ? trueInk(static_cast<std::uint32_t>(props.trueColor))
                      : props.color == db::color::byLayer ? layer.color
                      : props.color == db::color::byBlock ? from.color
                                                          : indexInk(props.color);
    std::int32_t linetype = kept ? styles_.linetype(props.linetype) : styles_.linetype(e.linetype);
    if (linetype == kByLayer) linetype = layer.linetype;
    if (linetype == kByBlock) linetype = from.linetype;
    std::int16_t lineweight = props.lineweight == -1 ? layer.lineweight
                              : props.lineweight == -2 ? from.lineweight
                                                       : props.lineweight;
    const Inherited passOn{color, linetype, lineweight, layer};
    if (const auto* ref = e.as<db::BlockReference>()) {
      const db::ObjectId id = idAt(list, at, e);
      const geom::InsertArray array = geom::decodeInsertArray(db_.entityExtras(id));
      expand(*ref, array, m, passOn, depth);
      // Its attributes follow it.
      for (db::ObjectId next : after(list, at)) {
        const db::Entity* a = db_.entity(next);
        if (a == nullptr || truncated_) break;
        const auto* u = a->as<db::UnknownEntity>();
        const geom::KeptKind k = u ? styles_.keptKind(u->type) : geom::KeptKind::other;
        if (k == geom::KeptKind::seqend || k != geom::KeptKind::attrib) break;
        if (!a->isErased()) visitEntity(list, list.size(), *a, m, passOn, depth, true);
      }
      return;
    }
    if (const auto* dim = e.as<db::Dimension>()) {
      expandDimension(*dim, m, passOn, depth);
      return;
    }
    if (layer.off) return;
    double mm = -1.0;
    if (const Pens* pens = styles_.pens()) {
      // A plotted sheet: layers set not to plot are left out; an own or layer lineweight
      // wins over the pen of the colour.
      if (!layer.plots) return;
      if (lineweight >= 0) {
        mm = lineweight / 100.0;
      } else {
        const std::size_t pen = (color & kTrueColor) ? 0 : std::min<std::size_t>(color, 255);
        mm = pens->table.mm[pen];
      }
    } else {
      if (lineweight == -3) lineweight = styles_.display().defaultLineweight;
      mm = styles_.display().lineweights && lineweight > 0 ? lineweight / 100.0 : -1.0;
    }
    Placed placed{e, idAt(list, at, e), m, color, linetype, mm, kind, depth};
    if (std::isfinite(props.linetypeScale) && props.linetypeScale > 0.0) placed.linetypeScale = props.linetypeScale;
    visitor_(placed);
  }

  // The id of the entity at a list position (attributes are visited without one: found
  // by their address).
  db::ObjectId idAt(const std::vector<db::ObjectId>& list, std::size_t at, const db::Entity& e) const {
    if (at < list.size()) return list[at];
    (void)e;
    return db::ObjectId{};
  }

  bool expandable(db::BlockId block, int depth) {
    const std::uint32_t target = block.index;
    if (block.isNull() || target >= db_.blockCount() || target >= active_.size() || active_[target] ||
        depth + 1 > kMaxDepth || db_.block(block).removed || block == db_.modelSpace() ||
        block == db_.paperSpace()) {
      ++leftOut_;
      return false;
    }
    return true;
  }

  void expand(const db::BlockReference& ref, const geom::InsertArray& array, const Affine& m,
              const Inherited& passOn, int depth) {
    if (!expandable(ref.block, depth)) return;
    const Affine placed = blockTransform(ref, db_.block(ref.block).base);
    const double a = ref.rotation * std::numbers::pi / 180.0;
    const double c = std::cos(a), s = std::sin(a);
    for (int row = 0; row < array.rows && !truncated_; ++row) {
      for (int col = 0; col < array.columns && !truncated_; ++col) {
        const double dx = col * array.columnSpacing, dy = row * array.rowSpacing;
        const Affine inner = m * Affine::translation(c * dx - s * dy, s * dx + c * dy) * placed;
        if (!inner.isFinite() || inner.determinant() == 0.0) {
          ++leftOut_;
          return;
        }
        walkBlock(ref.block, inner, passOn, depth + 1);
      }
    }
  }

  void expandDimension(const db::Dimension& dim, const Affine& m, const Inherited& passOn, int depth) {
    if (dim.block.empty()) return;
    const auto block = db_.findBlock(dim.block);
    if (!block || !expandable(*block, depth)) return;
    const geom::Point3 at = geom::ocsToWorld(geom::ocsAxes(dim.extrusion), dim.insertion);
    const Affine inner = m * Affine::translation(at.x, at.y);
    if (!inner.isFinite()) {
      ++leftOut_;
      return;
    }
    walkBlock(*block, inner, passOn, depth + 1);
  }

  const db::Database& db_;
  StyleTable& styles_;
  Visitor& visitor_;
  std::uint64_t limit_;
  std::uint64_t budget_;
  std::vector<std::uint8_t> active_;  // per block: being expanded
  bool truncated_ = false;
  std::size_t leftOut_ = 0;
};

}  // namespace orv::render
