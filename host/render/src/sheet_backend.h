// The one interface a sheet or a view is drawn through; cairo stays behind it.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "clip_shape.h"
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
  // Paints the drawing (model space, or options.space) through `view` inside `clip`
  // (device units) and, when given and not empty, inside `shape` too, first that area in
  // the background colour when the options paint a background. Called again, it paints
  // over what is there.
  virtual DrawReport draw(const db::Database& db, const ViewTransform& view, const ViewOptions& options,
                          const Extents& clip, const ClipShape* shape) = 0;
  // Fills a rectangle (device units) with a colour, 0xRRGGBB.
  virtual void fill(const Extents& area, std::uint32_t rgb) = 0;
  // Paints entities that are not in the drawing (a drag preview) over what is there.
  virtual DrawReport drawLoose(const db::Database& db, std::span<const db::Entity> entities,
                               const ViewTransform& view, const ViewOptions& options) = 0;
  // Ends the sheet and writes it out; empty when it went well, else the reason.
  virtual std::string finish() = 0;
};

// A sheet of the given size written to `file` as a PDF or SVG page or a PNG image of
// `dpi`; null with the reason in `error` when it cannot be made.
std::unique_ptr<SheetBackend> makeSheet(PictureFormat format, OutputFile& file, double widthMm,
                                        double heightMm, double dpi, std::string& error);

// A sheet over pixels in memory (a window's view, a plot's preview), `unitsPerMm` pixels
// in a millimetre; null when the rows are not a valid image.
std::unique_ptr<SheetBackend> makePixelSheet(const PixelRows& rows, double unitsPerMm);

}  // namespace orv::render
