// Painting the drawing into the view's image through the renderer.
#include "view_painter.h"

namespace orv::window {

namespace {

render::Background background(bool dark) { return dark ? render::Background::dark : render::Background::light; }

// Rows `part` of a QImage as the renderer paints them.
render::PixelRows rowsOf(QImage& image, const QRect& part) {
  render::PixelRows rows;
  rows.data = image.bits() + static_cast<qsizetype>(part.top()) * image.bytesPerLine();
  rows.width = image.width();
  rows.height = part.height();
  rows.stride = static_cast<int>(image.bytesPerLine());
  rows.alpha = image.format() == QImage::Format_ARGB32_Premultiplied;
  rows.top = part.top();
  return rows;
}

const render::Pictures* renderer = nullptr;

// What the renderer paints a view's background with: one pixel of an empty view.
std::uint32_t measuredBackground(bool dark) {
  if (!renderer) return dark ? 0x000000u : 0xFFFFFFu;
  QImage pixel(1, 1, QImage::Format_RGB32);
  const std::vector<db::ObjectId> nothing;
  render::ViewOptions o;
  o.background = background(dark);
  o.entities = &nothing;
  const db::Database empty;
  renderer->drawView(rowsOf(pixel, pixel.rect()), empty, ViewTransform{}, o);
  return pixel.pixel(0, 0) & 0xFFFFFFu;
}

}  // namespace

void usePictures(const render::Pictures* pictures) { renderer = pictures; }

const render::Pictures* pictures() { return renderer; }

std::uint32_t backgroundColor(bool dark) {
  static const std::uint32_t darkColor = measuredBackground(true), lightColor = measuredBackground(false);
  return dark ? darkColor : lightColor;
}

std::optional<render::Extents> drawingExtents(const db::Database& db) {
  return renderer ? renderer->modelExtents(db) : std::nullopt;
}

std::uint32_t highlightRgb(bool dark) { return dark ? 0xFFB000u : 0x0078D7u; }

ViewTransform fitView(const render::Extents& box, double width, double height, double margin) {
  return renderer ? renderer->fit(box, width, height, margin) : ViewTransform{};
}

void paintDrawing(QImage& image, const QRect& part, const db::Database& db, const ViewTransform& view,
                  const PaintOptions& options) {
  if (image.isNull() || part.isEmpty() || !renderer) return;
  render::ViewOptions o;
  o.background = background(options.dark);
  o.thinLineWidth = options.thinLineWidth;
  o.entities = options.entities;
  o.highlight = options.highlight;
  o.dashedHighlight = options.dashedHighlight;
  o.paintBackground = !options.highlight && image.format() != QImage::Format_ARGB32_Premultiplied;
  o.pixelsForSpecks = options.pixelsForSpecks;
  o.from = options.from;
  o.to = options.to;
  renderer->drawView(rowsOf(image, part), db, view, o);
}

void paintEntities(QImage& image, const db::Database& db, std::span<const db::Entity> entities,
                   const ViewTransform& view, const PaintOptions& options) {
  if (image.isNull() || entities.empty() || !renderer || !renderer->drawEntities) return;
  render::ViewOptions o;
  o.background = background(options.dark);
  o.thinLineWidth = options.thinLineWidth;
  o.highlight = options.highlight;
  o.dashedHighlight = options.dashedHighlight;
  o.paintBackground = false;
  o.pixelsForSpecks = options.pixelsForSpecks;
  renderer->drawEntities(rowsOf(image, image.rect()), db, entities, view, o);
}

}  // namespace orv::window
