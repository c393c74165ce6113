// A drawing's paper-space layouts as a plot uses them: their sheets and their viewports on model space.
#pragma once

#include <string>
#include <vector>

#include "orv/db/database.h"
#include "orv/render/view.h"

namespace orv::render {

// A viewport of a layout: a rectangle of its paper showing model space at its own scale.
struct LayoutViewport {
  Extents box;                      // the rectangle, paper-space units
  db::Point2 viewCentre;            // the model-space point at the rectangle's centre
  double viewHeight = 1.0;          // model units across the rectangle's height
  std::vector<std::string> frozenLayers;  // layers frozen in this viewport only
  // The paper-space entity whose outline clips it (clipBoundaryOf); null: its rectangle.
  db::ObjectId clipBoundary;
  // Paper units per model unit.
  double scale() const { return (box.maxY - box.minY) / viewHeight; }
};

// A paper-space layout (a LAYOUT object and its block).
struct LayoutSheet {
  std::string name;
  db::BlockId block;    // its paper space
  Extents area;         // what it plots: its limits, else its paper, else its viewports
  double unitMm = 1.0;  // millimetres in a paper-space unit (its plot settings' units)
  double paperWidthMm = 0.0, paperHeightMm = 0.0;  // its own paper as oriented; 0 unknown
  std::vector<LayoutViewport> viewports;  // those that show something, in drawing order
  // Viewports left out: off, three-dimensional, twisted or of no size.
  int viewportsLeftOut = 0;
};

// The paper-space layouts of a drawing in tab order, "Model" left out; each found by its
// LAYOUT object and the block that object names. Damaged objects are passed over.
std::vector<LayoutSheet> layoutsOf(const db::Database& db);

// The entity that clips a VIEWPORT entity to its outline: its status flags (90) ask for
// a clip by an entity, and its group 340 names one of the viewport's own block that
// bounds an area (a closed light or old-style polyline, a circle, a whole ellipse or a
// closed spline). Null otherwise: the viewport is clipped to its rectangle, the border
// it shows.
db::ObjectId clipBoundaryOf(const db::Database& db, const db::Entity& viewport);

// The paper-space unit's view through a sheet's view: the transform that draws model
// space seen through `viewport` on the device where `paper` draws paper space.
ViewTransform throughViewport(const ViewTransform& paper, const LayoutViewport& viewport);

}  // namespace orv::render
