// The one interface a plotted sheet is drawn through; cairo stays behind it.
#pragma once

#include <memory>
#include <string>

#include "orv/db/database.h"
#include "orv/render/render.h"
#include "orv/render/view.h"
#include "output_file.h"

namespace orv::render {

class SheetBackend {
 public:
  virtual ~SheetBackend() = default;
  // Device units in a millimetre of the sheet.
  virtual double unitsPerMm() const = 0;
  // Paints the sheet white, then the drawing through `view` inside `clip` (device units).
  virtual DrawReport draw(const db::Database& db, const ViewTransform& view, const ViewOptions& options,
                          const Extents& clip) = 0;
  // Ends the sheet and writes it out; empty when it went well, else the reason.
  virtual std::string finish() = 0;
};

// A sheet of the given size written to `file` as a PDF or SVG page or a PNG image of
// `dpi`; null with the reason in `error` when it cannot be made.
std::unique_ptr<SheetBackend> makeSheet(PictureFormat format, OutputFile& file, double widthMm,
                                        double heightMm, double dpi, std::string& error);

}  // namespace orv::render
