// Views of model space: measuring what is drawn, fitting it to a device, and the view painter behind every picture.
//
// Contents: the measuring pass; ViewTransform::fit; colours of backgrounds; drawView;
// drawPage and modelExtents.
#include "orv/render/view.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "cairo_ptr.h"
#include "geometry.h"
#include "orv/render/draw.h"
#include "extents.h"
#include "painter.h"
#include "style.h"
#include "walker.h"

namespace orv::render {

namespace {

Affine affineOf(const ViewTransform& v) {
  Affine m;
  m.xx = v.scale;
  m.yy = -v.scale;
  m.x0 = v.offsetX;
  m.y0 = v.offsetY;
  return m;
}

bool positive(double v) { return std::isfinite(v) && v > 0.0; }

}  // namespace

// ---- fitting

ViewTransform ViewTransform::fit(const Extents& box, double deviceWidth, double deviceHeight,
                                 double margin) {
  ViewTransform v;
  if (!positive(deviceWidth) || !positive(deviceHeight)) return v;
  if (!std::isfinite(margin) || margin < 0.0) margin = 0.0;
  margin = std::min(margin, std::min(deviceWidth, deviceHeight) * 0.45);
  const double availW = deviceWidth - 2.0 * margin, availH = deviceHeight - 2.0 * margin;
  // Half sizes and centres are taken from halves so that they stay finite.
  const double halfW = box.maxX * 0.5 - box.minX * 0.5;
  const double halfH = box.maxY * 0.5 - box.minY * 0.5;
  const double cx = box.minX * 0.5 + box.maxX * 0.5, cy = box.minY * 0.5 + box.maxY * 0.5;
  if (!std::isfinite(cx) || !std::isfinite(cy)) return v;
  double scale = std::numeric_limits<double>::infinity();
  if (halfW > 0.0) scale = std::min(scale, availW * 0.5 / halfW);
  if (halfH > 0.0) scale = std::min(scale, availH * 0.5 / halfH);
  const double farthest = std::max({1.0, std::abs(box.minX), std::abs(box.maxX),
                                    std::abs(box.minY), std::abs(box.maxY)});
  const double maxScale = 1e12 / farthest;
  if (!std::isfinite(scale)) scale = std::min(1.0, maxScale);
  scale = std::min(scale, maxScale);
  v.scale = scale;
  v.offsetX = deviceWidth / 2.0 - cx * scale;
  v.offsetY = deviceHeight / 2.0 + cy * scale;
  return v;
}

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

  StyleTable styles(db);
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
    if (options.entities) {
      walker.walkList(*options.entities, root);
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
  const ViewTransform view =
      ViewTransform::fit(Extents{box.minX, box.minY, box.maxX, box.maxY}, page.width, page.height, page.margin);
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
