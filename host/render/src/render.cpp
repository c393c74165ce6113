// Exporting a picture: the format by the file's ending, the cairo surface, the safe write.
//
// Contents: writing PNG and vector pages; render.
#include "orv/render/render.h"

#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "cairo_ptr.h"
#include "draw.h"
#include "output_file.h"
#include "orv/text/system_error.h"

namespace orv::render {

namespace fs = std::filesystem;

namespace {

// ---- writing pictures

constexpr int kMaxPixels = 16384;
constexpr double kMaxPagePt = 14400.0;  // 200 inches, the most PDF readers take

std::string cairoFailure(cairo_status_t status) {
  return std::string("绘图失败（") + cairo_status_to_string(status) + "）";
}

// Paints the drawing on a new context of `surface` and checks that cairo took it all.
cairo_status_t paint(cairo_surface_t* surface, const db::Database& db, const PageSetup& page,
                     DrawReport& report, bool showPage) {
  ContextPtr cr(cairo_create(surface));
  if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS) return cairo_status(cr.get());
  report = drawPage(cr.get(), db, page);
  if (showPage) cairo_show_page(cr.get());
  return cairo_status(cr.get());
}

PageSetup pageFor(double width, double height, double thinLine, double unitsPerMm,
                  const RenderOptions& options) {
  PageSetup page;
  page.deviceUnitsPerMm = unitsPerMm;
  page.width = width;
  page.height = height;
  const double fraction =
      std::isfinite(options.marginFraction) ? std::clamp(options.marginFraction, 0.0, 0.45) : 0.025;
  page.margin = std::min(width, height) * fraction;
  page.thinLineWidth = thinLine;
  page.entityLimit = options.entityLimit;
  return page;
}

bool validPageSize(double w, double h) {
  return std::isfinite(w) && std::isfinite(h) && w >= 1.0 && h >= 1.0 && w <= kMaxPagePt &&
         h <= kMaxPagePt;
}

// Writes a PNG image; an empty string when it went well, else the reason.
std::string writePng(OutputFile& file, const db::Database& db, const RenderOptions& options,
                     DrawReport& report) {
  SurfacePtr surface(
      cairo_image_surface_create(CAIRO_FORMAT_RGB24, options.pixelWidth, options.pixelHeight));
  if (auto s = cairo_surface_status(surface.get()); s != CAIRO_STATUS_SUCCESS)
    return cairoFailure(s);
  const PageSetup page = pageFor(options.pixelWidth, options.pixelHeight, options.thinLinePx, 96.0 / 25.4, options);
  if (auto s = paint(surface.get(), db, page, report, false); s != CAIRO_STATUS_SUCCESS)
    return cairoFailure(s);
  cairo_surface_flush(surface.get());
  const cairo_status_t s =
      cairo_surface_write_to_png_stream(surface.get(), &OutputFile::writeToOutput, &file);
  if (file.writeError() != 0) return "无法写入（" + describeError(file.writeError()) + "）";
  return s == CAIRO_STATUS_SUCCESS ? std::string() : cairoFailure(s);
}

// Writes a one-page SVG or PDF document of A3 (or the options') size.
std::string writeVector(PictureFormat format, OutputFile& file, const db::Database& db,
                        const RenderOptions& options, DrawReport& report) {
  const double w = options.pageWidthPt, h = options.pageHeightPt;
  SurfacePtr surface(format == PictureFormat::svg
                         ? cairo_svg_surface_create_for_stream(&OutputFile::writeToOutput, &file, w, h)
                         : cairo_pdf_surface_create_for_stream(&OutputFile::writeToOutput, &file, w, h));
  if (auto s = cairo_surface_status(surface.get()); s != CAIRO_STATUS_SUCCESS)
    return cairoFailure(s);
  const PageSetup page = pageFor(w, h, options.thinLinePt, 72.0 / 25.4, options);
  cairo_status_t s = paint(surface.get(), db, page, report, true);
  cairo_surface_finish(surface.get());
  if (s == CAIRO_STATUS_SUCCESS) s = cairo_surface_status(surface.get());
  if (file.writeError() != 0) return "无法写入（" + describeError(file.writeError()) + "）";
  return s == CAIRO_STATUS_SUCCESS ? std::string() : cairoFailure(s);
}

}  // namespace

RenderResult render(const db::Database& db, const fs::path& out, const RenderOptions& options) {
  RenderResult result;
  const auto format = pictureFormatFor(out);
  if (!format) {
    const std::string ending = out.extension().string();
    result.message = ending.empty() ? "文件名没有类型，请用 .svg、.png 或 .pdf"
                                    : "不支持“" + ending + "”类型，请用 .svg、.png 或 .pdf";
    return result;
  }
  if (*format == PictureFormat::png
          ? options.pixelWidth < 1 || options.pixelHeight < 1 || options.pixelWidth > kMaxPixels ||
                options.pixelHeight > kMaxPixels
          : !validPageSize(options.pageWidthPt, options.pageHeightPt)) {
    result.message = "图片尺寸无效";
    return result;
  }
  std::string reason;
  auto file = OutputFile::create(out, reason);
  if (!file) {
    result.message = "无法写入（" + reason + "）";
    return result;
  }
  reason = *format == PictureFormat::png ? writePng(*file, db, options, result.report)
                                         : writeVector(*format, *file, db, options, result.report);
  if (!reason.empty()) {
    result.message = reason;
    return result;
  }
  if (!file->commit(reason)) {
    result.message = "无法写入（" + reason + "）";
    return result;
  }
  result.ok = true;
  return result;
}

}  // namespace orv::render
