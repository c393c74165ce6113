// Exporting a picture: the format by the file's ending, the cairo surface, the safe write.
//
// Contents: the temporary output file; writing PNG and vector pages; render.
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
#include "orv/text/system_error.h"

namespace orv::render {

namespace fs = std::filesystem;

namespace {

// A temporary file in the destination's directory. Cairo writes to it through
// `writeToOutput`; commit() makes it the destination. Until then, and whenever commit
// fails, the destination is untouched, and the destructor removes the temporary file.
class OutputFile {
 public:
  // Creates the temporary file; nullopt with errno's reason in `error` when it cannot.
  static std::optional<OutputFile> create(const fs::path& destination, std::string& error);

  OutputFile(OutputFile&& other) noexcept;
  OutputFile& operator=(OutputFile&&) = delete;
  OutputFile(const OutputFile&) = delete;
  ~OutputFile();

  // A cairo_write_func_t; `closure` is the OutputFile. Remembers the first error.
  static cairo_status_t writeToOutput(void* closure, const unsigned char* data,
                                      unsigned int length);
  // errno of the first failed write, 0 if none.
  int writeError() const { return writeError_; }

  // Flushes the bytes to disk and renames the file into place; errno's reason on failure.
  bool commit(std::string& error);

 private:
  OutputFile(fs::path temporary, fs::path destination, int fd)
      : temporary_(std::move(temporary)), destination_(std::move(destination)), fd_(fd) {}

  fs::path temporary_;
  fs::path destination_;
  int fd_ = -1;
  int writeError_ = 0;
  bool committed_ = false;
};

// A few words saying what an errno value means to the user.
std::string describeError(int error) { return orv::text::describeSystemError(error); }

std::optional<OutputFile> OutputFile::create(const fs::path& destination, std::string& error) {
  static std::atomic<unsigned> counter{0};
  const fs::path dir = destination.has_parent_path() ? destination.parent_path() : fs::path(".");
  const std::string base = "." + destination.filename().string();
  for (int attempt = 0; attempt < 100; ++attempt) {
    const auto tick = static_cast<unsigned long long>(
        std::chrono::steady_clock::now().time_since_epoch().count());
    char suffix[64];
    std::snprintf(suffix, sizeof suffix, ".%d.%u.%llx.tmp", static_cast<int>(::getpid()),
                  counter.fetch_add(1), tick & 0xffffffULL);
    fs::path temporary = dir / (base + suffix);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) return OutputFile(std::move(temporary), destination, fd);
    if (errno != EEXIST) {
      error = describeError(errno);
      return std::nullopt;
    }
  }
  error = describeError(EEXIST);
  return std::nullopt;
}

OutputFile::OutputFile(OutputFile&& other) noexcept
    : temporary_(std::move(other.temporary_)),
      destination_(std::move(other.destination_)),
      fd_(other.fd_),
      writeError_(other.writeError_),
      committed_(other.committed_) {
  other.fd_ = -1;
  other.committed_ = true;  // the moved-from object owns no file
}

OutputFile::~OutputFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!committed_) ::unlink(temporary_.c_str());
}

cairo_status_t OutputFile::writeToOutput(void* closure, const unsigned char* data,
                                         unsigned int length) {
  auto* self = static_cast<OutputFile*>(closure);
  if (self->writeError_ != 0) return CAIRO_STATUS_WRITE_ERROR;
  while (length > 0) {
    const ssize_t n = ::write(self->fd_, data, length);
    if (n < 0) {
      if (errno == EINTR) continue;
      self->writeError_ = errno;
      return CAIRO_STATUS_WRITE_ERROR;
    }
    data += n;
    length -= static_cast<unsigned int>(n);
  }
  return CAIRO_STATUS_SUCCESS;
}

bool OutputFile::commit(std::string& error) {
  if (writeError_ != 0) {
    error = describeError(writeError_);
    return false;
  }
  if (::fsync(fd_) != 0 && errno != EINVAL) {
    error = describeError(errno);
    return false;
  }
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) {
    error = describeError(errno);
    return false;
  }
  if (::rename(temporary_.c_str(), destination_.c_str()) != 0) {
    error = describeError(errno);
    return false;
  }
  committed_ = true;
  return true;
}

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
