// Views of model space: measuring what is drawn, fitting it to a device, and the view painter behind every picture.
//
// Contents: the measuring pass; ViewTransform::fit; colours of backgrounds; drawView;
// drawPage and modelExtents.
#include "orv/render/view.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

#include "cairo_ptr.h"
#include "geometry.h"
#include "draw.h"
#include "orv/render/page.h"
#include "extents.h"
#include "painter.h"
#include "sheet_backend.h"
#include "style.h"
#include "walker.h"

namespace orv::render {

namespace {

bool positive(double v) { return std::isfinite(v) && v > 0.0; }

}  // namespace

// ---- colours

std::uint32_t backgroundColor(Background background) {
  return background == Background::dark ? 0x212830u : 0xFFFFFFu;
}

std::uint32_t highlightColor(Background background) {
  return background == Background::dark ? 0xFFB000u : 0x0078D7u;
}

// ---- painting

namespace {

// The painting pass over what `walk(walker, root)` visits.
template <class Walk>
DrawReport paintWalk(cairo_t* cr, const db::Database& db, const ViewTransform& view, const ViewOptions& options,
                     Walk&& walk) {
  DrawReport report;
  if (!positive(view.scale) || !std::isfinite(view.offsetX) || !std::isfinite(view.offsetY))
    return report;
  SavedState saved(cr);
  cairo_new_path(cr);
  double x0, y0, x1, y1;
  cairo_clip_extents(cr, &x0, &y0, &x1, &y1);
  if (options.paintBackground && !options.highlight) {
    const std::uint32_t bg = backgroundColor(options.background);
    cairo_set_source_rgb(cr, (bg >> 16 & 0xFF) / 255.0, (bg >> 8 & 0xFF) / 255.0, (bg & 0xFF) / 255.0);
    cairo_paint(cr);
  }
  PaintSettings settings;
  settings.thin = positive(options.thinLineWidth) ? std::min(options.thinLineWidth, 1000.0) : 1.0;
  settings.background = options.background;
  settings.highlight = options.highlight;
  settings.dashedHighlight = options.highlight && options.dashedHighlight;
  settings.view = Box{x0, y0, x1, y1};
  settings.deviceUnitsPerMm = positive(options.deviceUnitsPerMm) ? options.deviceUnitsPerMm : 96.0 / 25.4;
  settings.pixelsForSpecks = options.pixelsForSpecks;
  settings.monochrome = options.pens != nullptr && options.pens->monochrome;
  settings.cullOffView = options.pixelsForSpecks || options.pens != nullptr;

  StyleTable styles(db);
  styles.usePens(options.pens);
  styles.freezeLayers(options.frozenLayers);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
  cairo_set_dash(cr, nullptr, 0, 0.0);
  Painter painter(cr, db, styles, settings);
  SceneWalker<Painter> walker(db, styles, painter, options.entityLimit);
  walk(walker, affineOf(view));
  painter.finish();
  report.painted = painter.painted;
  report.skipped = painter.skipped + walker.leftOut();
  report.truncated = walker.truncated();
  return report;
}

}  // namespace

DrawReport drawView(cairo_t* cr, const db::Database& db, const ViewTransform& view,
                    const ViewOptions& options) {
  return paintWalk(cr, db, view, options, [&](SceneWalker<Painter>& walker, const Affine& root) {
    if (options.space) {
      walker.walkSpace(*options.space, root);
    } else if (options.entities) {
      walker.walkList(*options.entities, root);
    } else if (options.from != 0 || options.to != static_cast<std::size_t>(-1)) {
      walker.walkRange(options.from, options.to, root);
    } else {
      walker.walk(root);
    }
  });
}

DrawReport drawEntities(cairo_t* cr, const db::Database& db, std::span<const db::Entity> entities,
                        const ViewTransform& view, const ViewOptions& options) {
  return paintWalk(cr, db, view, options,
                   [&](SceneWalker<Painter>& walker, const Affine& root) { walker.walkLoose(entities, root); });
}

DrawReport drawView(const PixelRows& rows, const db::Database& db, const ViewTransform& view,
                    const ViewOptions& options) {
  std::unique_ptr<SheetBackend> sheet = makePixelSheet(rows, options.deviceUnitsPerMm);
  if (!sheet) return {};
  const Extents band{0.0, double(rows.top), double(rows.width), double(rows.top) + rows.height};
  const DrawReport report = sheet->draw(db, view, options, band, nullptr);
  sheet->finish();
  return report;
}

DrawReport drawEntities(const PixelRows& rows, const db::Database& db, std::span<const db::Entity> entities,
                        const ViewTransform& view, const ViewOptions& options) {
  std::unique_ptr<SheetBackend> sheet = makePixelSheet(rows, options.deviceUnitsPerMm);
  if (!sheet) return {};
  const DrawReport report = sheet->drawLoose(db, entities, view, options);
  sheet->finish();
  return report;
}

std::optional<Extents> modelExtents(const db::Database& db) {
  StyleTable styles(db);
  const Box box = measureModelSpace(db, styles, PageSetup{}.entityLimit);
  if (box.empty()) return std::nullopt;  // nothing visible
  return Extents{box.minX, box.minY, box.maxX, box.maxY};
}

DrawReport drawPage(cairo_t* cr, const db::Database& db, const PageSetup& page) {
  DrawReport report;
  if (!(page.width > 0.0 && page.height > 0.0 && page.width <= kDeviceLimit &&
        page.height <= kDeviceLimit))
    return report;
  SavedState saved(cr);
  cairo_new_path(cr);
  cairo_set_source_rgb(cr, 1.0, 1.0, 1.0);
  cairo_rectangle(cr, 0.0, 0.0, page.width, page.height);
  cairo_fill(cr);

  StyleTable styles(db);
  const Box box = measureModelSpace(db, styles, page.entityLimit);
  if (box.empty()) return report;
  // The page as a sheet fitted with the drawing's extents: the model every plot uses.
  const double perMm = page.deviceUnitsPerMm > 0.0 && std::isfinite(page.deviceUnitsPerMm) ? page.deviceUnitsPerMm : 1.0;
  PageModel sheet;
  sheet.paper = Paper{"", page.width / perMm, page.height / perMm};
  sheet.orientation = Orientation::portrait;
  sheet.marginMm = page.margin / perMm;
  sheet.area = Extents{box.minX, box.minY, box.maxX, box.maxY};
  const ViewTransform view = planPage(sheet).onDevice(perMm);
  ViewOptions options;
  options.background = Background::light;
  options.thinLineWidth = std::isfinite(page.thinLineWidth) && page.thinLineWidth > 0.0
                              ? std::min(page.thinLineWidth, page.height)
                              : 1.0;
  options.deviceUnitsPerMm = page.deviceUnitsPerMm;
  options.paintBackground = false;
  options.entityLimit = page.entityLimit;
  cairo_rectangle(cr, 0.0, 0.0, page.width, page.height);
  cairo_clip(cr);
  return drawView(cr, db, view, options);
}

}  // namespace orv::render
