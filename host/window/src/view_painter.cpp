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

}  // namespace

std::uint32_t backgroundColor(bool dark) { return render::backgroundColor(background(dark)); }

std::optional<render::Extents> drawingExtents(const db::Database& db) { return render::modelExtents(db); }

void paintDrawing(QImage& image, const QRect& part, const db::Database& db, const ViewTransform& view,
                  const PaintOptions& options) {
  if (image.isNull() || part.isEmpty()) return;
  Surface s(image, part);
  cairo_rectangle(s.cr, 0, part.top(), image.width(), part.height());
  cairo_clip(s.cr);
  render::ViewOptions o;
  o.background = background(options.dark);
  o.thinLineWidth = options.thinLineWidth;
  o.entities = options.entities;
  o.highlight = options.highlight;
  o.paintBackground = !options.highlight;
  render::drawView(s.cr, db, view, o);
}

}  // namespace orv::window
