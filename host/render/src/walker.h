// The walk through model space that every picture pass shares: block references
// expanded, visibility and BYLAYER/BYBLOCK properties resolved.
#pragma once

#include <cstdint>
#include <vector>

#include "geometry.h"
#include "orv/db/database.h"
#include "style.h"

namespace orv::render {

// An entity as a pass sees it: its geometry in its block's coordinates, the transform to
// the pass's coordinates, its resolved colour and linetype (a pattern id or kContinuous).
struct Placed {
  const db::Entity& entity;
  db::ObjectId id;
  const Affine& transform;
  Ink color;
  std::int32_t linetype;
};

// Walks model space (or a list of its entities) and calls visitor(const Placed&) for
// every visible entity that is not a block reference, in drawing order. References are
// expanded in place:
// - entities on layer "0" inside a block take the layer of the reference that holds them;
// - BYBLOCK colour and linetype take those of that reference (colour 7 and continuous at
//   the top level); BYLAYER those of the (effective) layer;
// - a layer that is off hides its entities; a frozen one also whole references on it;
// - a reference to a block already being expanded, one nested too deep, or one whose
//   transform is degenerate or not finite is left out.
template <class Visitor>
class SceneWalker {
 public:
  static constexpr int kMaxDepth = 64;

  SceneWalker(const db::Database& db, StyleTable& styles, Visitor& visitor,
              std::uint64_t entityLimit)
      : db_(db), styles_(styles), visitor_(visitor), budget_(entityLimit),
        active_(db.blockCount(), 0) {}

  void walk(const Affine& root) { walkBlock(db_.modelSpace(), root, Inherited{}, 0); }

  // Only the given entities of model space, in the given order.
  void walkList(const std::vector<db::ObjectId>& ids, const Affine& root) {
    const Inherited top{};
    for (db::ObjectId id : ids) {
      if (truncated_) break;
      const db::Entity* e = db_.entity(id);
      if (e == nullptr || e->isErased() || !(e->owner() == db_.modelSpace())) continue;
      visitEntity(id, *e, root, top, 0);
    }
  }

  bool truncated() const { return truncated_; }
  std::size_t leftOut() const { return leftOut_; }  // references not expanded

 private:
  struct Inherited {
    Ink color = 7;
    std::int32_t linetype = kContinuous;
    db::NameId layer = db::names::layer0;
  };

  void walkBlock(db::BlockId block, const Affine& m, const Inherited& from, int depth) {
    active_[block.index] = 1;
    for (db::ObjectId id : db_.block(block).entities) {
      if (truncated_) break;
      const db::Entity* e = db_.entity(id);
      if (e == nullptr || e->isErased()) continue;
      visitEntity(id, *e, m, from, depth);
    }
    active_[block.index] = 0;
  }

  void visitEntity(db::ObjectId id, const db::Entity& e, const Affine& m, const Inherited& from,
                   int depth) {
    if (budget_ == 0) {
      truncated_ = true;
      return;
    }
    --budget_;
    const db::NameId layerName = depth > 0 && e.layer == db::names::layer0 ? from.layer : e.layer;
    const LayerStyle layer = styles_.layer(layerName);
    if (layer.frozen) return;
    const Ink color = e.color == db::color::byLayer   ? layer.color
                      : e.color == db::color::byBlock ? from.color
                                                      : indexInk(e.color);
    std::int32_t linetype = styles_.linetype(e.linetype);
    if (linetype == kByLayer) linetype = layer.linetype;
    if (linetype == kByBlock) linetype = from.linetype;
    if (const auto* ref = e.as<db::BlockReference>()) {
      expand(*ref, m, Inherited{color, linetype, layerName}, depth);
    } else if (!layer.off) {
      visitor_(Placed{e, id, m, color, linetype});
    }
  }

  void expand(const db::BlockReference& ref, const Affine& m, const Inherited& passOn,
              int depth) {
    const std::uint32_t target = ref.block.index;
    if (ref.block.isNull() || target >= db_.blockCount() || target >= active_.size() ||
        active_[target] || depth + 1 > kMaxDepth || db_.block(ref.block).removed ||
        ref.block == db_.modelSpace() || ref.block == db_.paperSpace()) {
      ++leftOut_;
      return;
    }
    const Affine inner = m * blockTransform(ref, db_.block(ref.block).base);
    if (!inner.isFinite() || inner.determinant() == 0.0) {
      ++leftOut_;
      return;
    }
    walkBlock(ref.block, inner, passOn, depth + 1);
  }

  const db::Database& db_;
  StyleTable& styles_;
  Visitor& visitor_;
  std::uint64_t budget_;
  std::vector<std::uint8_t> active_;  // per block: being expanded
  bool truncated_ = false;
  std::size_t leftOut_ = 0;
};

}  // namespace orv::render
