// Painting model space onto a cairo context: the one drawing path of every picture format.
#pragma once

#include <cairo.h>

#include <cstddef>
#include <cstdint>
#include <optional>

#include "orv/db/database.h"

namespace orv::render {

// An axis-aligned box in drawing units.
struct Extents {
  double minX = 0.0;
  double minY = 0.0;
  double maxX = 0.0;
  double maxY = 0.0;
};

// What a picture shows, measured from the geometry: model space with block references
// expanded (transformed block contents), arcs by their true extreme points, wide
// polylines with their width; entities on layers that are off or frozen left out.
// nullopt when nothing is visible.
std::optional<Extents> modelExtents(const db::Database& db);

// A page in device units (pixels for an image, points for PDF and SVG).
struct PageSetup {
  double width = 1600.0;
  double height = 1200.0;
  double margin = 30.0;           // blank border on every side
  double thinLineWidth = 1.0;     // lines without a width of their own
  // At most this many entities are painted (references that nest and fan out can
  // multiply a small drawing into billions); the rest is left out and reported.
  std::uint64_t entityLimit = 20'000'000;
};

struct DrawReport {
  std::size_t painted = 0;  // entities that reached the page
  std::size_t skipped = 0;  // entities left out: degenerate or out of range after transforms
  bool truncated = false;   // the entity limit was reached
};

// Paints the page white and model space on it, fitted inside the margin with its aspect
// ratio kept and y pointing up. Colours by colour index (BYLAYER, BYBLOCK resolved),
// linetype patterns scaled by $LTSCALE in drawing units, arcs, polylines with bulges and
// widths, nested block references. An empty drawing gives a blank page. Leaves the
// context's state as it found it.
DrawReport drawPage(cairo_t* cr, const db::Database& db, const PageSetup& page);

}  // namespace orv::render
