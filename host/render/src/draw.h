// Painting a whole page: model space fitted to a page of a picture file, through the one view painter.
#pragma once

#include <cairo.h>

#include <cstddef>
#include <cstdint>
#include <span>

#include "orv/db/database.h"
#include "orv/render/view.h"

namespace orv::render {

// A page in device units (pixels for an image, points for PDF and SVG).
struct PageSetup {
  double width = 1600.0;
  double height = 1200.0;
  double margin = 30.0;           // blank border on every side
  double thinLineWidth = 1.0;     // lines without a width of their own
  double deviceUnitsPerMm = 96.0 / 25.4;  // for lineweights
  // At most this many entities are painted; the rest is left out and reported.
  std::uint64_t entityLimit = 20'000'000;
};

// The view painter on a cairo context (view.h's drawView and drawEntities paint through
// it): leaves the context's state as it found it.
DrawReport drawView(cairo_t* cr, const db::Database& db, const ViewTransform& view, const ViewOptions& options);
DrawReport drawEntities(cairo_t* cr, const db::Database& db, std::span<const db::Entity> entities,
                        const ViewTransform& view, const ViewOptions& options);

// Paints the page white and model space on it: ViewTransform::fit of modelExtents, then
// drawView with a light background. An empty drawing gives a blank page. Leaves the
// context's state as it found it.
DrawReport drawPage(cairo_t* cr, const db::Database& db, const PageSetup& page);

}  // namespace orv::render
