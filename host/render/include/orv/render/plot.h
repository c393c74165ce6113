// Plotting a drawing on a sheet: a page model, pens and an output file of PDF, SVG or PNG.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "orv/db/database.h"
#include "orv/render/layout.h"
#include "orv/render/page.h"
#include "orv/render/render.h"

namespace orv::render {

struct PlotRequest {
  PictureFormat format = PictureFormat::pdf;
  PageModel page;
  Pens pens;
  double dpi = 300.0;  // PNG: dots per inch (10 to 2400)
  std::uint64_t entityLimit = 20'000'000;
  // A paper-space layout plotted instead of model space: the page's area is in its
  // paper-space units, and each of its viewports shows model space at its own scale,
  // clipped to its rectangle.
  std::optional<LayoutSheet> layout;
};

struct PlotResult {
  bool ok = false;
  std::string message;  // why nothing was written (the caller names the file); empty when ok
  DrawReport report;
  PagePlan plan;  // where the area went; plan.fits false: only what fits was plotted
  explicit operator bool() const { return ok; }
};

// The sheet is white; the drawing is drawn through the plan's view, clipped to the
// printable part, every line at its lineweight. The file is written as every picture is:
// complete or not at all.
PlotResult plot(const db::Database& db, const std::filesystem::path& out, const PlotRequest& request);

// The same sheet drawn into pixels (a preview): the sheet as large as fits in the rows,
// centred, the rows outside it left as they were. The PNG resolution is not used.
PlotResult plotPreview(const db::Database& db, const PlotRequest& request, const PixelRows& rows);

}  // namespace orv::render
