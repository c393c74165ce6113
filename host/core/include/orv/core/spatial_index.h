// Where the entities of model space lie: one index of their boxes, kept current
// through the document's changes, that picks, windows, selections, object snaps and
// the window's drawing all ask.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "orv/core/document.h"
#include "orv/core/geometry.h"
#include "orv/core/shapes.h"

namespace orv::core {

// Entities are found by their box in a grid laid over the drawing when the index is
// built (on the first question, so that a drawing that is only opened and saved pays
// nothing) and rebuilt once enough has changed. An entity that owns the entities after
// it (a block reference its attributes, an old-style polyline its vertices, each with
// the SEQEND that closes them) is found as one: the owner stands for the group.
//
// Only entities of model space that are not erased are found. "Selectable" ones are
// also on a layer that is neither off nor frozen: the others are neither drawn, picked
// nor selected.
class SpatialIndex final : public DocumentObserver {
 public:
  explicit SpatialIndex(Document& document);
  ~SpatialIndex() override;
  SpatialIndex(const SpatialIndex&) = delete;
  SpatialIndex& operator=(const SpatialIndex&) = delete;

  // Follows another document (the session's drawing was replaced).
  void attach(Document& document);
  const db::Database& database() const { return doc_->database(); }
  LayerStates& layers() { return layers_; }

  // ---- what the window draws
  // The entities whose box meets the rectangle, in creation order (the order they are
  // drawn in). With selectableOnly those on hidden layers are left out.
  std::vector<db::ObjectId> query(const Box2& rect, bool selectableOnly = true);
  // The box of every selectable entity (ZOOM E); empty for an empty drawing.
  Box2 extents();

  // ---- picks and selections
  // The selectable entity nearest to p within maxDistance, the newest on a tie; null
  // when there is none.
  db::ObjectId pick(Vec2 p, double maxDistance);
  // Every selectable entity within maxDistance of p, nearest first (newest first on a tie).
  std::vector<db::ObjectId> near(Vec2 p, double maxDistance);
  // Selectable entities wholly inside the rectangle (W), in creation order.
  std::vector<db::ObjectId> inside(const Box2& rect);
  // Selectable entities inside the rectangle or crossing its edges (C), in creation order.
  std::vector<db::ObjectId> crossing(const Box2& rect);
  // Every selectable entity (ALL), in creation order.
  std::vector<db::ObjectId> all();
  // The newest selectable entity (L); null when there is none.
  db::ObjectId newest();

  // ---- groups
  // The entity that stands for id's group (id itself when it owns none or is owned by none).
  db::ObjectId ownerOf(db::ObjectId id);
  // The group id stands for: id, then the entities it owns, in order.
  std::vector<db::ObjectId> group(db::ObjectId owner);
  // In model space, not erased, standing for its group, on a layer that is shown.
  bool selectable(db::ObjectId id);
  // The exact box of a group.
  Box2 groupBox(db::ObjectId owner);

  // DocumentObserver
  void entityChanged(db::ObjectId id) override;
  void tablesChanged() override;

 private:
  static constexpr std::uint32_t kNone = 0xFFFFFFFFu;
  struct Slot {
    float x0 = 1, y0 = 1, x1 = 0, y1 = 0;  // empty when x0 > x1
    std::uint32_t owner = kNone;  // its own index, its group's owner, or kNone (not in model space)
    std::uint32_t layer = 0;      // NameId of the layer it is on
  };
  struct Grid {
    double x0 = 0, y0 = 0, cell = 1;
    int nx = 0, ny = 0;
    std::vector<std::uint32_t> start;  // nx * ny + 1 offsets into ids
    std::vector<std::uint32_t> ids;
    std::vector<std::uint32_t> large;  // entities spanning many cells or off the grid
    // The column and row of the cells holding x and y (the nearest for those outside).
    int column(double x) const { return std::clamp(static_cast<int>(std::floor((x - x0) / cell)), 0, nx - 1); }
    int row(double y) const { return std::clamp(static_cast<int>(std::floor((y - y0) / cell)), 0, ny - 1); }
  };

  void ensureBuilt();
  void build();
  void grow(std::size_t slots);
  // Places a model-space entity appended last: alone, or owned by the group before it.
  void placeAppended(db::ObjectId id);
  void refreshBox(std::uint32_t owner);
  bool ownsFollowers(const db::Entity& e) const;
  static bool isFollowerType(const db::Database& d, const db::Entity& e);
  // Candidates whose stored box meets rect, each once, unsorted.
  void candidates(const Box2& rect, std::vector<std::uint32_t>& out);
  bool boxMeets(const Slot& s, const Box2& rect) const;
  bool live(std::uint32_t index) const;
  bool shown(std::uint32_t index);
  double groupDistance(std::uint32_t owner, Vec2 p);

  Document* doc_;
  LayerStates layers_;
  std::vector<Slot> slots_;
  Grid grid_;
  std::vector<std::uint32_t> recent_;  // changed since the grid was built (may repeat until put in order)
  bool recentInOrder_ = true;          // recent_ ascending, each once
  bool built_ = false;
  bool stale_ = false;  // a block's contents changed: every box may have
};

}  // namespace orv::core
