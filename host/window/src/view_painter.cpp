// Painting the drawing into the view's image through the renderer.
#include "view_painter.h"

#include <cairo.h>

namespace orv::window {

namespace {

render::Background background(bool dark) { return dark ? render::Background::dark : render::Background::light; }

// A cairo surface over rows of a QImage, with the image's coordinates.
struct Surface {
  cairo_surface_t* surface = nullptr;
  cairo_t* cr = nullptr;
  Surface(QImage& image, const QRect& part) {
    uchar* rows = image.bits() + static_cast<qsizetype>(part.top()) * image.bytesPerLine();
    const cairo_format_t format =
        image.format() == QImage::Format_ARGB32_Premultiplied ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24;
    surface = cairo_image_surface_create_for_data(rows, format, image.width(), part.height(),
                                                  static_cast<int>(image.bytesPerLine()));
    cr = cairo_create(surface);
    cairo_translate(cr, 0.0, -part.top());
  }
  ~Surface() {
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    cairo_surface_destroy(surface);
  }
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;
};

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
  Surface s(pixel, pixel.rect());
  renderer->drawView(s.cr, empty, ViewTransform{}, o);
  cairo_surface_flush(s.surface);
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
  Surface s(image, part);
  cairo_rectangle(s.cr, 0, part.top(), image.width(), part.height());
  cairo_clip(s.cr);
  render::ViewOptions o;
  o.background = background(options.dark);
  o.thinLineWidth = options.thinLineWidth;
  o.entities = options.entities;
  o.highlight = options.highlight;
  o.dashedHighlight = options.dashedHighlight;
  o.paintBackground = !options.highlight;
  o.pixelsForSpecks = options.pixelsForSpecks;
  renderer->drawView(s.cr, db, view, o);
}

void paintEntities(QImage& image, const db::Database& db, std::span<const db::Entity> entities,
                   const ViewTransform& view, const PaintOptions& options) {
  if (image.isNull() || entities.empty() || !renderer || !renderer->drawEntities) return;
  Surface s(image, image.rect());
  render::ViewOptions o;
  o.background = background(options.dark);
  o.thinLineWidth = options.thinLineWidth;
  o.highlight = options.highlight;
  o.dashedHighlight = options.dashedHighlight;
  o.paintBackground = false;
  o.pixelsForSpecks = options.pixelsForSpecks;
  renderer->drawEntities(s.cr, db, entities, view, o);
}

}  // namespace orv::window
