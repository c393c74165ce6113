// Object snaps on the drawing: the snap points of each kind near a point, exact where
// the geometry allows (an endpoint is the stored coordinates, an intersection of lines
// and arcs is computed), the answer to a typed override, and the running snaps and
// ortho mode the window keeps.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "orv/core/spatial_index.h"
#include "orv/prompt/snap.h"

namespace orv::core {

// The drafting aids of a session: the window reads and toggles them (F3, F8, F7), OSNAP
// and ORTHO set them.
struct DraftingSettings {
  static constexpr prompt::SnapMask kDefaultSnaps =
      prompt::snapBit(prompt::SnapKind::endpoint) | prompt::snapBit(prompt::SnapKind::midpoint) |
      prompt::snapBit(prompt::SnapKind::center) | prompt::snapBit(prompt::SnapKind::intersection);
  prompt::SnapMask runningSnaps = kDefaultSnaps;  // what a click snaps to
  bool objectSnap = true;                         // running snaps on (F3)
  bool ortho = false;                             // clicks held to the horizontal or vertical (F8)
  bool grid = false;                              // the grid shown (F7)
};

struct SnapCandidate {
  prompt::SnapKind kind;
  Vec2 point;
  db::ObjectId entity;  // the group it lies on (for INT, one of the two)
  double distance = 0;  // from the point asked about
};

class Snapper final : public prompt::SnapProvider {
 public:
  // `pickDistance` gives the session's pick distance when asked.
  Snapper(SpatialIndex& index, std::function<double()> pickDistance);

  // The snap points of the kinds in `kinds` within `radius` of p, nearest first (on a
  // tie in the order of SnapKind): what the window marks under the cursor. A
  // perpendicular foot needs the prompt's base point.
  std::vector<SnapCandidate> candidates(Vec2 p, double radius, prompt::SnapMask kinds,
                                        const std::optional<Vec2>& base = std::nullopt);
  // The snap point of one kind a typed override finds at p: on the entity a pick finds
  // there, the point of that kind nearest to p; for INT the intersection nearest to p
  // of entities within `radius` of it; for PER the foot from `base`.
  std::optional<SnapCandidate> find(prompt::SnapKind kind, Vec2 p, double radius,
                                    const std::optional<Vec2>& base = std::nullopt);

  // prompt::SnapProvider: find() with the pick distance.
  std::optional<prompt::Point3> snapPoint(prompt::SnapKind kind, const prompt::Point3& at,
                                          const std::optional<prompt::Point3>& basePoint) override;

 private:
  SpatialIndex& index_;
  std::function<double()> pickDistance_;
};

// The ortho rule of the window: the point moved onto the horizontal or the vertical
// line through the base, whichever is nearer.
Vec2 orthoPoint(Vec2 base, Vec2 p);

}  // namespace orv::core
