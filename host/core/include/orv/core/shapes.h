// How an entity of the drawing lies in the plane: the pieces it is drawn with, in world
// coordinates, the regions it fills and the points object snaps find on it. Every kind
// the database holds is described, block references through their contents and the
// kinds kept as read through their tags.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "orv/core/geometry.h"
#include "orv/db/database.h"
#include "orv/prompt/snap.h"

namespace orv::core {

// Which layers are off or frozen, looked up once per layer and remembered until the
// tables change.
class LayerStates {
 public:
  explicit LayerStates(const db::Database& d) : db_(&d) {}
  void rebind(const db::Database& d) {
    db_ = &d;
    forget();
  }
  // The layer table changed.
  void forget() {
    byId_.clear();
    byName_.clear();
  }
  // True when entities on the layer are neither drawn nor selected (off or frozen). A
  // layer the table lacks hides nothing.
  bool hidden(db::NameId layer);
  bool hidden(std::string_view layerName);
  // Frozen only (a frozen layer hides whole block references on it).
  bool frozen(std::string_view layerName);

 private:
  enum : std::uint8_t { kUnknown = 0, kShown = 1, kOff = 2, kFrozen = 4 };
  std::uint8_t stateOf(std::string_view name) const;
  const db::Database* db_;
  std::vector<std::uint8_t> byId_;
  std::unordered_map<std::string, std::uint8_t> byName_;
};

class ShapeSink {
 public:
  virtual ~ShapeSink() = default;
  // A piece of the entity's outline; the ends, middle, centre and quadrants of a
  // snappable one are snap points.
  virtual void piece(const Piece& piece, bool snappable) = 0;
  // A filled region (a text's box, a solid): a point inside it lies on the entity. The
  // default gives its edges as pieces that are not snappable.
  virtual void region(const std::array<Vec2, 4>& corners);
  // A point an object snap finds on the entity besides those of its pieces: the
  // insertion point of a block reference or text, the ends of a spline.
  virtual void snapPoint(prompt::SnapKind, Vec2) {}
};

struct ShapeOptions {
  // Contents on hidden layers are left out (null: everything is described).
  LayerStates* layers = nullptr;
};

// Describes an entity of `d` (of any block) in world coordinates; an entity that
// owns the entities after it (an old-style POLYLINE its VERTEX entities) is described
// whole. Entities that are erased describe nothing.
void describeEntity(const db::Database& d, db::ObjectId id, ShapeSink& sink,
                    const ShapeOptions& options = {});
// As describeEntity, for an entity seen through `toWorld` (the contents of a block
// reference); `inheritedLayer` is the layer that entities on layer "0" take.
void describeEntity(const db::Database& d, db::ObjectId id, const db::Entity& e,
                    const Affine2& toWorld, ShapeSink& sink, const ShapeOptions& options,
                    std::string_view inheritedLayer, int depth);

// The box of what describeEntity gives (empty for an entity with no extent).
Box2 entityBox(const db::Database& d, db::ObjectId id);
// The distance from p to the entity (0 inside a region it fills), and the nearest
// point; infinity when it has no shape.
double distanceToEntity(const db::Database& d, db::ObjectId id, Vec2 p, LayerStates* layers = nullptr,
                        Vec2* nearest = nullptr);

// The name of the layer an entity is on (a kept entity names it in its tags).
std::string_view layerOf(const db::Database& d, const db::Entity& e);

// The kinds a command's messages name: "直线", "圆弧", "块参照", or the type as read.
std::string kindName(const db::Database& d, const db::Entity& e);

// The block an entity draws through (a block reference's block, a DIMENSION's picture
// block), if any.
std::optional<db::BlockId> drawnBlock(const db::Database& d, const db::Entity& e);

}  // namespace orv::core
