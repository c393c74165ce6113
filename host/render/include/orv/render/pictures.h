// What the host asks of its renderer. The renderer and cairo, with the score of
// libraries cairo needs, live in a library of their own that the host loads the
// first time it makes a picture: a session that makes none starts without them.
#pragma once

#include <filesystem>

#include "orv/db/database.h"
#include "orv/render/block_icon.h"
#include "orv/render/plot.h"
#include "orv/render/render.h"
#include "orv/render/view.h"

namespace orv::render {

struct Pictures {
  RenderResult (*render)(const db::Database& db, const std::filesystem::path& out,
                         const RenderOptions& options);
  BlockIconCount (*storeBlockIcons)(db::Database& d);
  // The view painter and what fits a view (view.h), for a window that draws through
  // this library.
  DrawReport (*drawView)(const PixelRows& rows, const db::Database& db, const ViewTransform& view,
                         const ViewOptions& options);
  std::optional<Extents> (*modelExtents)(const db::Database& db);
  ViewTransform (*fit)(const Extents& box, double deviceWidth, double deviceHeight, double margin);
  // A drawing plotted on a sheet (plot.h).
  PlotResult (*plot)(const db::Database& db, const std::filesystem::path& out, const PlotRequest& request);
  // Entities not in the drawing (a drag preview), painted as drawView paints the drawing's.
  DrawReport (*drawEntities)(const PixelRows& rows, const db::Database& db, std::span<const db::Entity> entities,
                             const ViewTransform& view, const ViewOptions& options);
  // The sheet a plot would make, small: the same plot drawn into `rows`, the sheet
  // fitted to them (plot.h).
  PlotResult (*plotPreview)(const db::Database& db, const PlotRequest& request, const PixelRows& rows);
};

// The renderer library's one entry: its Pictures when it was built for `version`,
// null otherwise.
inline constexpr const char* kPicturesEntry = "orvRendererPictures";
inline constexpr int kPicturesVersion = 7;
using PicturesEntry = const Pictures* (*)(int version);

}  // namespace orv::render
