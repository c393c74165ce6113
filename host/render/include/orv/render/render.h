// Exporting a picture of a drawing to an SVG, PNG or PDF file.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "orv/db/database.h"
#include "orv/render/view.h"

namespace orv::render {

enum class PictureFormat { svg, png, pdf };

// The format a file name's ending asks for (".svg", ".png", ".pdf" in any case).
inline std::optional<PictureFormat> pictureFormatFor(const std::filesystem::path& file) {
  std::string ending = file.extension().string();
  for (char& c : ending)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  if (ending == ".svg") return PictureFormat::svg;
  if (ending == ".png") return PictureFormat::png;
  if (ending == ".pdf") return PictureFormat::pdf;
  return std::nullopt;
}

// Page sizes. An image is in pixels; PDF and SVG pages are A3 landscape in points.
inline constexpr double kA3WidthPt = 420.0 / 25.4 * 72.0;   // 1190.55
inline constexpr double kA3HeightPt = 297.0 / 25.4 * 72.0;  // 841.89

struct RenderOptions {
  int pixelWidth = 1600;   // PNG size; 1 to 16384
  int pixelHeight = 1200;
  double pageWidthPt = kA3WidthPt;  // PDF and SVG page size
  double pageHeightPt = kA3HeightPt;
  double marginFraction = 0.025;     // of the page's shorter side
  double thinLinePx = 1.0;           // PNG width of lines without their own width
  double thinLinePt = 0.5;           // PDF and SVG width of the same
  std::uint64_t entityLimit = 20'000'000;
};

struct RenderResult {
  bool ok = false;
  // Why nothing was written: one line for the user, in a few words (the caller names the
  // file), e.g. "无法写入（没有权限）". Empty when ok.
  std::string message;
  DrawReport report;
  explicit operator bool() const { return ok; }
};

// Renders model space to `out`, the format chosen by the file's ending. The picture goes
// to a temporary file beside `out` that replaces `out` only once complete: on failure
// `out` is left as it was and no temporary file remains.
RenderResult render(const db::Database& db, const std::filesystem::path& out,
                    const RenderOptions& options = {});

}  // namespace orv::render
