// The drawing as the view paints it: the host's renderer (the one EXPORT uses) painting
// a part of the view's image through a view transform.
#pragma once

#include <QImage>
#include <QRect>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "orv/db/database.h"
#include "orv/render/pictures.h"
#include "orv/render/view.h"

namespace orv::window {

using render::ViewTransform;

struct PaintOptions {
  bool dark = true;                // dark background, colour 7 white; else white and black
  double thinLineWidth = 1.0;      // pixels
  // Only these entities (null: all of model space).
  const std::vector<db::ObjectId>* entities = nullptr;
  // The entities in the highlight colour over what is there.
  bool highlight = false;
  // With highlight: dashed (a selection).
  bool dashedHighlight = false;
  // What fits within a pixel drawn as that pixel (render::ViewOptions::pixelsForSpecks).
  bool pixelsForSpecks = true;
  // Without `entities`: only model space's list from position `from` up to `to`
  // (render::ViewOptions::from and to).
  std::size_t from = 0;
  std::size_t to = static_cast<std::size_t>(-1);
};

// The renderer the view paints with: the library orvcad loads for pictures (so that
// the window and EXPORT draw through the one renderer), set before anything is painted.
void usePictures(const render::Pictures* pictures);
const render::Pictures* pictures();

// The background colour, 0xRRGGBB.
std::uint32_t backgroundColor(bool dark);
// The colour the renderer highlights with (render::highlightColor), 0xRRGGBB.
std::uint32_t highlightRgb(bool dark);

// The view that shows a box in a device area (the renderer's fit).
ViewTransform fitView(const render::Extents& box, double width, double height, double margin);

// What the drawing covers; nullopt when nothing is visible.
std::optional<render::Extents> drawingExtents(const db::Database& db);

// Paints the rows `part` of `image` (Format_RGB32, or Format_ARGB32_Premultiplied for a
// highlight or a part of the drawing over a transparent image, its background left
// alone) with the drawing seen through `view`. Two
// threads may paint two parts of one image at once while nobody changes the drawing.
void paintDrawing(QImage& image, const QRect& part, const db::Database& db, const ViewTransform& view,
                  const PaintOptions& options);
// Paints entities that are not in the drawing (a drag preview) over `image`
// (Format_ARGB32_Premultiplied, the background left alone), with the drawing's tables.
void paintEntities(QImage& image, const db::Database& db, std::span<const db::Entity> entities,
                   const ViewTransform& view, const PaintOptions& options);

}  // namespace orv::window
