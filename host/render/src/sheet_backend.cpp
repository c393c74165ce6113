// The cairo sheets: PDF and SVG pages in points, PNG images in pixels, and pixels in memory.
#include "sheet_backend.h"

#include <cairo-pdf.h>
#include <cairo-svg.h>

#include <sys/mman.h>

#include <cmath>

#include "cairo_ptr.h"
#include "draw.h"
#include "png_writer.h"

namespace orv::render {

namespace {

constexpr int kMaxPixels = 16384;
constexpr double kMaxPagePt = 14400.0;

std::string cairoFailure(cairo_status_t status) {
  return std::string("绘图失败（") + cairo_status_to_string(status) + "）";
}

// Where a sheet goes: a file of a format, or pixels in memory that stay where they are.
enum class Target { pdf, svg, png, memory };

// The pixels of a large image in memory of its own, in huge pages where the system gives
// them: a 300-dpi A1 sheet is 280 MB, and touching it page by page costs more than
// drawing on it.
class ImageMemory {
 public:
  explicit ImageMemory(std::size_t bytes) : bytes_(bytes) {
    void* p = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) return;
    data_ = static_cast<unsigned char*>(p);
#ifdef MADV_HUGEPAGE
    ::madvise(p, bytes, MADV_HUGEPAGE);
#endif
  }
  ~ImageMemory() {
    if (data_) ::munmap(data_, bytes_);
  }
  ImageMemory(const ImageMemory&) = delete;
  ImageMemory& operator=(const ImageMemory&) = delete;
  unsigned char* data() const { return data_; }

 private:
  unsigned char* data_ = nullptr;
  std::size_t bytes_;
};

// Appends a clip shape to the context's path.
void addShape(cairo_t* cr, const ClipShape& shape) {
  cairo_new_path(cr);
  std::size_t i = 0;
  for (ClipShape::Op op : shape.ops) {
    const std::size_t need = op == ClipShape::Op::curve ? 3 : op == ClipShape::Op::close ? 0 : 1;
    if (i + need > shape.points.size()) break;
    const db::Point2* p = shape.points.data() + i;
    switch (op) {
      case ClipShape::Op::move: cairo_move_to(cr, p[0].x, p[0].y); break;
      case ClipShape::Op::line: cairo_line_to(cr, p[0].x, p[0].y); break;
      case ClipShape::Op::curve: cairo_curve_to(cr, p[0].x, p[0].y, p[1].x, p[1].y, p[2].x, p[2].y); break;
      case ClipShape::Op::close: cairo_close_path(cr); break;
    }
    i += need;
  }
}

class CairoSheet final : public SheetBackend {
 public:
  CairoSheet(Target target, OutputFile* file, SurfacePtr surface, double unitsPerMm, int top = 0,
             std::unique_ptr<ImageMemory> memory = nullptr)
      : target_(target), file_(file), memory_(std::move(memory)), surface_(std::move(surface)), unitsPerMm_(unitsPerMm),
        dpi_(unitsPerMm * 25.4),
        cr_(cairo_create(surface_.get())) {
    // A band of a taller device: device y `top` is the band's first row.
    if (top != 0) cairo_translate(cr_.get(), 0.0, -top);
  }

  double unitsPerMm() const override { return unitsPerMm_; }

  DrawReport draw(const db::Database& db, const ViewTransform& view, const ViewOptions& options,
                  const Extents& clip, const ClipShape* shape) override {
    cairo_t* cr = cr_.get();
    SavedState saved(cr);
    if (!(clip.maxX > clip.minX && clip.maxY > clip.minY)) return {};
    cairo_new_path(cr);
    cairo_rectangle(cr, clip.minX, clip.minY, clip.maxX - clip.minX, clip.maxY - clip.minY);
    cairo_clip(cr);
    if (shape && !shape->empty()) {
      addShape(cr, *shape);
      cairo_clip(cr);
    }
    if (options.paintBackground && !options.highlight) {
      const std::uint32_t bg = backgroundColor(options.background);
      cairo_set_source_rgb(cr, (bg >> 16 & 0xFF) / 255.0, (bg >> 8 & 0xFF) / 255.0, (bg & 0xFF) / 255.0);
      cairo_paint(cr);
    }
    ViewOptions o = options;
    o.paintBackground = false;
    return drawView(cr, db, view, o);
  }

  void fill(const Extents& area, std::uint32_t rgb) override {
    cairo_t* cr = cr_.get();
    SavedState saved(cr);
    cairo_new_path(cr);
    cairo_rectangle(cr, area.minX, area.minY, area.maxX - area.minX, area.maxY - area.minY);
    cairo_set_source_rgb(cr, (rgb >> 16 & 0xFF) / 255.0, (rgb >> 8 & 0xFF) / 255.0, (rgb & 0xFF) / 255.0);
    cairo_fill(cr);
  }

  DrawReport drawLoose(const db::Database& db, std::span<const db::Entity> entities, const ViewTransform& view,
                       const ViewOptions& options) override {
    ViewOptions o = options;
    o.paintBackground = false;
    return drawEntities(cr_.get(), db, entities, view, o);
  }

  std::string finish() override {
    cairo_status_t s = cairo_status(cr_.get());
    if (target_ == Target::memory) {
      cr_.reset();
      cairo_surface_flush(surface_.get());
      return s == CAIRO_STATUS_SUCCESS ? std::string() : cairoFailure(s);
    }
    OutputFile& file = *file_;
    if (target_ == Target::png) {
      cr_.reset();
      cairo_surface_flush(surface_.get());
      if (s == CAIRO_STATUS_SUCCESS) {
        cairo_surface_t* image = surface_.get();
        const std::string failed =
            writeSheetPng(file, cairo_image_surface_get_data(image), cairo_image_surface_get_width(image),
                          cairo_image_surface_get_height(image), cairo_image_surface_get_stride(image), dpi_);
        if (!failed.empty()) return failed;
      }
    } else {
      cairo_show_page(cr_.get());
      cr_.reset();
      cairo_surface_finish(surface_.get());
      if (s == CAIRO_STATUS_SUCCESS) s = cairo_surface_status(surface_.get());
    }
    if (file.writeError() != 0) return "无法写入（" + describeError(file.writeError()) + "）";
    return s == CAIRO_STATUS_SUCCESS ? std::string() : cairoFailure(s);
  }

 private:
  Target target_;
  OutputFile* file_;
  std::unique_ptr<ImageMemory> memory_;  // the image's pixels, when the sheet holds them; outlives the surface
  SurfacePtr surface_;
  double unitsPerMm_;
  double dpi_;
  ContextPtr cr_;
};

}  // namespace

std::unique_ptr<SheetBackend> makeSheet(PictureFormat format, OutputFile& file, double widthMm,
                                        double heightMm, double dpi, std::string& error) {
  SurfacePtr surface;
  std::unique_ptr<ImageMemory> memory;
  double unitsPerMm = 72.0 / 25.4;
  if (format == PictureFormat::png) {
    unitsPerMm = dpi / 25.4;
    const double w = std::round(widthMm * unitsPerMm), h = std::round(heightMm * unitsPerMm);
    if (!(w >= 1.0 && h >= 1.0 && w <= kMaxPixels && h <= kMaxPixels)) {
      error = "图片太大（每边最多 16384 像素），请降低分辨率";
      return nullptr;
    }
    const int stride = cairo_format_stride_for_width(CAIRO_FORMAT_RGB24, static_cast<int>(w));
    memory = std::make_unique<ImageMemory>(static_cast<std::size_t>(stride) * static_cast<std::size_t>(h));
    if (!memory->data()) {
      error = "内存不足，无法画出这么大的图片，请降低分辨率";
      return nullptr;
    }
    surface.reset(cairo_image_surface_create_for_data(memory->data(), CAIRO_FORMAT_RGB24, static_cast<int>(w),
                                                      static_cast<int>(h), stride));
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
  const Target target = format == PictureFormat::png   ? Target::png
                        : format == PictureFormat::svg ? Target::svg
                                                       : Target::pdf;
  return std::make_unique<CairoSheet>(target, &file, std::move(surface), unitsPerMm, 0, std::move(memory));
}

std::unique_ptr<SheetBackend> makePixelSheet(const PixelRows& rows, double unitsPerMm) {
  if (rows.data == nullptr || rows.width < 1 || rows.height < 1 || rows.width > kMaxPixels ||
      rows.height > kMaxPixels || rows.stride < 4 * rows.width || rows.stride % 4 != 0)
    return nullptr;
  SurfacePtr surface(cairo_image_surface_create_for_data(rows.data, rows.alpha ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24,
                                                         rows.width, rows.height, rows.stride));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
  if (!(std::isfinite(unitsPerMm) && unitsPerMm > 0.0)) unitsPerMm = 96.0 / 25.4;
  return std::make_unique<CairoSheet>(Target::memory, nullptr, std::move(surface), unitsPerMm, rows.top);
}

}  // namespace orv::render
