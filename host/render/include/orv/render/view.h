// Views of model space: the drawing-to-device mapping and the one painting call that exports and the window share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "orv/db/database.h"

namespace orv::render {

struct Pens;  // page.h

// An axis-aligned box in drawing units.
struct Extents {
  double minX = 0.0;
  double minY = 0.0;
  double maxX = 0.0;
  double maxY = 0.0;
};

// What a picture shows, measured from what is drawn: model space with block references
// expanded (transformed block contents, arrays and dimensions included), arcs, ellipses
// and splines by their curves, wide polylines with their width, text by its glyphs'
// advance boxes, hatches by their boundaries; entities on layers that are off or frozen
// left out. nullopt when nothing is visible. Safe to call from several threads at once.
std::optional<Extents> modelExtents(const db::Database& db);

// Drawing units to device units: a uniform scale, y up in the drawing and down on the
// device. device = (offsetX + scale·x, offsetY − scale·y).
struct ViewTransform {
  double scale = 1.0;    // device units per drawing unit, > 0
  double offsetX = 0.0;  // device x of drawing x = 0
  double offsetY = 0.0;  // device y of drawing y = 0

  db::Point2 toDevice(db::Point2 p) const { return {offsetX + scale * p.x, offsetY - scale * p.y}; }
  db::Point2 toDrawing(db::Point2 d) const {
    return {(d.x - offsetX) / scale, (offsetY - d.y) / scale};
  }

  // The box centred in a device area of the given size inside `margin`, its aspect ratio
  // kept. A box without width or height is fitted by its other side; a single point is
  // shown at scale 1. The scale stays small enough that the coordinates' rounding never
  // shows; a size or margin that is not a finite positive number gives scale 1.
  static ViewTransform fit(const Extents& box, double deviceWidth, double deviceHeight,
                           double margin);
};

// The page colour and what colour 7 (white/black) becomes on it.
enum class Background {
  light,  // a white page, colour 7 black: what EXPORT writes
  dark,   // a near-black screen, colour 7 white
};

struct ViewOptions {
  Background background = Background::light;
  // Width in device units of lines without a width of their own (and the least width of
  // any line).
  double thinLineWidth = 1.0;
  // Device units in a millimetre of paper, for lineweights (shown only when the drawing's
  // $LWDISPLAY is on). 96 dpi by default.
  double deviceUnitsPerMm = 96.0 / 25.4;
  // When set: only these model-space entities are drawn, in this order (the window passes
  // the ones its spatial index finds visible). Ids of erased entities, of entities of
  // other blocks and of the vertices and attributes that belong to another entity are
  // passed over; a POLYLINE is drawn with its vertices, an INSERT with its attributes.
  // Null: all of model space in drawing order.
  const std::vector<db::ObjectId>* entities = nullptr;
  // Draws every entity in the one highlight colour with lines twice as wide, and leaves
  // the background alone: for the entities under the pick box, over a view already drawn.
  bool highlight = false;
  // With highlight: the lines dashed, whatever their linetype (a selection).
  bool dashedHighlight = false;
  // Paints the background (the whole clip area) before the drawing. Ignored (false) in
  // highlight mode.
  bool paintBackground = true;
  // For a screen: lines, arcs, circles and straight polylines wholly off the view cost
  // no more than a look at their bounds, and thin ones whose extent on the device lies
  // within a pixel (a straight piece: within two) are drawn as the pixels of their
  // middle (its ends and middle), in their colour, the last colour given winning. A
  // screen showing a dense drawing from afar stays quick. Off (what EXPORT uses): every
  // entity is drawn in full.
  bool pixelsForSpecks = false;
  // At most this many entities are painted (references that nest and fan out can
  // multiply a small drawing into billions); the rest is left out and reported.
  std::uint64_t entityLimit = 20'000'000;
  // A plotted sheet's pens: every line at its lineweight (its own, its layer's or its
  // colour's pen, whatever $LWDISPLAY says), monochrome when they say so, and layers set
  // not to plot left out. Null: the screen's and EXPORT's look.
  const Pens* pens = nullptr;
  // The block drawn instead of model space (a layout's paper space); null: model space.
  // `entities` is not used with it.
  const db::BlockId* space = nullptr;
  // Layers drawn as if frozen, by name (a layout viewport's own frozen layers); null: none.
  const std::vector<std::string>* frozenLayers = nullptr;
  // With neither `entities` nor `space`: only the part of model space's list from
  // position `from` up to `to` (what follows a reference across a cut is drawn with it).
  // Parts drawn in order, each over the one before, make the whole: two threads can each
  // draw a half of a large drawing, the second into an overlay.
  std::size_t from = 0;
  std::size_t to = static_cast<std::size_t>(-1);
};

struct DrawReport {
  std::size_t painted = 0;  // entities that reached the page
  std::size_t skipped = 0;  // entities left out: degenerate or out of range after transforms
  bool truncated = false;   // the entity limit was reached
};

// The colour of the background and the highlight, 0xRRGGBB.
std::uint32_t backgroundColor(Background background);
std::uint32_t highlightColor(Background background);

// Rows of 32-bit pixels in memory that the renderer paints into, each pixel 0xAARRGGBB
// in the machine's byte order (the layout of Qt's Format_RGB32 and
// Format_ARGB32_Premultiplied images). The rows may be a band of a taller device: `top`
// is the device y of the first row, and painting is clipped to the band.
struct PixelRows {
  unsigned char* data = nullptr;  // the first row
  int width = 0;
  int height = 0;      // rows
  int stride = 0;      // bytes from a row to the next, at least 4·width
  bool alpha = false;  // premultiplied alpha kept (an overlay over another image); else opaque
  int top = 0;
};

// Paints model space through `view` into `rows`: colours by index, layer, block and true
// colour (7 by the background), linetype patterns scaled by $LTSCALE, text through the
// installed fonts, hatches, curves and nested references. Safe to call from several
// threads at once on the same database while nobody changes it, each with its own rows
// (or its own band of one image): text engines are per thread. Rows that are not a valid
// image (null data, a stride too short) get nothing.
DrawReport drawView(const PixelRows& rows, const db::Database& db, const ViewTransform& view,
                    const ViewOptions& options);

// As drawView, but paints the given entities, which are not in the drawing (the
// entities a command would make or move, following the cursor), as if they stood in
// model space: their layers, linetypes, blocks and styles are the drawing's (names
// interned in it). `options.entities` is not used.
DrawReport drawEntities(const PixelRows& rows, const db::Database& db, std::span<const db::Entity> entities,
                        const ViewTransform& view, const ViewOptions& options);

}  // namespace orv::render
