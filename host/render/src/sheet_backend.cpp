// The cairo sheets: PDF and SVG pages in points, PNG images in pixels.
#include "sheet_backend.h"

#include <cairo-pdf.h>
#include <cairo-svg.h>

#include <cmath>

#include "cairo_ptr.h"
#include "png_writer.h"

namespace orv::render {

namespace {

constexpr int kMaxPixels = 16384;
constexpr double kMaxPagePt = 14400.0;

std::string cairoFailure(cairo_status_t status) {
  return std::string("绘图失败（") + cairo_status_to_string(status) + "）";
}

class CairoSheet final : public SheetBackend {
 public:
  CairoSheet(PictureFormat format, OutputFile& file, SurfacePtr surface, double unitsPerMm)
      : format_(format), file_(file), surface_(std::move(surface)), unitsPerMm_(unitsPerMm),
        dpi_(unitsPerMm * 25.4),
        cr_(cairo_create(surface_.get())) {}

  double unitsPerMm() const override { return unitsPerMm_; }

  DrawReport draw(const db::Database& db, const ViewTransform& view, const ViewOptions& options,
                  const Extents& clip) override {
    cairo_t* cr = cr_.get();
    SavedState saved(cr);
    cairo_set_source_rgb(cr, 1.0, 1.0, 1.0);
    cairo_paint(cr);
    cairo_rectangle(cr, clip.minX, clip.minY, clip.maxX - clip.minX, clip.maxY - clip.minY);
    cairo_clip(cr);
    ViewOptions o = options;
    o.paintBackground = false;
    return drawView(cr, db, view, o);
  }

  std::string finish() override {
    cairo_status_t s = cairo_status(cr_.get());
    if (format_ == PictureFormat::png) {
      cr_.reset();
      cairo_surface_flush(surface_.get());
      if (s == CAIRO_STATUS_SUCCESS) {
        cairo_surface_t* image = surface_.get();
        const std::string failed =
            writeSheetPng(file_, cairo_image_surface_get_data(image), cairo_image_surface_get_width(image),
                          cairo_image_surface_get_height(image), cairo_image_surface_get_stride(image), dpi_);
        if (!failed.empty()) return failed;
      }
    } else {
      cairo_show_page(cr_.get());
      cr_.reset();
      cairo_surface_finish(surface_.get());
      if (s == CAIRO_STATUS_SUCCESS) s = cairo_surface_status(surface_.get());
    }
    if (file_.writeError() != 0) return "无法写入（" + describeError(file_.writeError()) + "）";
    return s == CAIRO_STATUS_SUCCESS ? std::string() : cairoFailure(s);
  }

 private:
  PictureFormat format_;
  OutputFile& file_;
  SurfacePtr surface_;
  double unitsPerMm_;
  double dpi_;
  ContextPtr cr_;
};

}  // namespace

std::unique_ptr<SheetBackend> makeSheet(PictureFormat format, OutputFile& file, double widthMm,
                                        double heightMm, double dpi, std::string& error) {
  SurfacePtr surface;
  double unitsPerMm = 72.0 / 25.4;
  if (format == PictureFormat::png) {
    unitsPerMm = dpi / 25.4;
    const double w = std::round(widthMm * unitsPerMm), h = std::round(heightMm * unitsPerMm);
    if (!(w >= 1.0 && h >= 1.0 && w <= kMaxPixels && h <= kMaxPixels)) {
      error = "图片太大（每边最多 16384 像素），请降低分辨率";
      return nullptr;
    }
    surface.reset(cairo_image_surface_create(CAIRO_FORMAT_RGB24, static_cast<int>(w), static_cast<int>(h)));
  } else {
    const double w = widthMm * unitsPerMm, h = heightMm * unitsPerMm;
    if (!(w >= 1.0 && h >= 1.0 && w <= kMaxPagePt && h <= kMaxPagePt)) {
      error = "图纸尺寸无效";
      return nullptr;
    }
    surface.reset(format == PictureFormat::svg
                      ? cairo_svg_surface_create_for_stream(&OutputFile::writeToOutput, &file, w, h)
                      : cairo_pdf_surface_create_for_stream(&OutputFile::writeToOutput, &file, w, h));
  }
  if (auto s = cairo_surface_status(surface.get()); s != CAIRO_STATUS_SUCCESS) {
    error = cairoFailure(s);
    return nullptr;
  }
  return std::make_unique<CairoSheet>(format, file, std::move(surface), unitsPerMm);
}

}  // namespace orv::render
