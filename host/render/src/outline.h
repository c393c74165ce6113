// Outlines of the curve-like entities kept as tags (ellipses, splines, solids, faces, old-style polylines and meshes, leaders), for measuring and painting alike.
#pragma once

#include "device_path.h"
#include "geometry.h"
#include "orv/db/database.h"
#include "walker.h"

namespace orv::render {

// How an outline is to be shown.
enum class OutlineMode { none, stroke, fill };

// Writes the outline of a kept entity, mapped by its transform, to `sink`, and says how
// it shows: SOLID and TRACE filled (outlined when `fill` is off), the rest stroked; a
// VIEWPORT its border (writeViewportBorder in outline.cpp says which have one).
// `unitsPerDrawingUnit` (sink units per drawing unit of the entity's block, after the
// transform) sets how finely splines are followed. `none` for a kind that is not an
// outline (text, hatches, points) or tags that describe nothing.
OutlineMode writeKeptOutline(const Placed& placed, const db::Database& db, PathSink& sink,
                             double unitsPerDrawingUnit, bool fill);

// The filled arrowhead of a leader at its first vertex, along its first segment (where a
// spline path leaves the vertex too), of its dimension style's kind
// (DIMBLK: closed filled, a tick or a dot) and size (DIMASZ times DIMSCALE of the style's
// record, else of the header, else 2.5); false (nothing written) for a leader without an
// arrowhead or one of no direction.
bool writeLeaderArrow(const db::Leader& leader, const db::Database& db, const Affine& m, PathSink& sink);

// Grows a box by every point an outline passes through: curves by their extremes.
class BoxSink final : public PathSink {
 public:
  Box box;
  void moveTo(Point2 p) override {
    box.add(p);
    pen_ = p;
  }
  void lineTo(Point2 p) override { moveTo(p); }
  void curveTo(Point2 c1, Point2 c2, Point2 end) override;
  void close() override {}

 private:
  Point2 pen_;
};

}  // namespace orv::render
