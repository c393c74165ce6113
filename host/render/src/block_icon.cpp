// Preview icons: a block drawn alone into a small raster.
#include "orv/render/block_icon.h"

#include <cairo.h>

#include "cairo_ptr.h"
#include "orv/dialogs/dib.h"
#include "draw.h"

namespace orv::render {

namespace {

// Blocks that are drawings of their own rather than parts: layouts, anonymous
// blocks (names starting with "*": hatches, dimensions), external references.
bool takesIcon(const db::Database& d, db::BlockId b) {
  const db::BlockDefinition& def = d.block(b);
  if (b == d.modelSpace() || b == d.paperSpace() || def.removed) return false;
  if (def.name.empty() || def.name.front() == '*') return false;
  constexpr std::int16_t kExternalReference = 4;
  return (def.flags & kExternalReference) == 0;
}

}  // namespace

std::optional<Raster> renderBlockIcon(const db::Database& db, db::BlockId block, int size) {
  if (size < 8 || size > 256 || block.index >= db.blockCount()) return std::nullopt;
  if (block == db.modelSpace() || block == db.paperSpace() || db.block(block).removed) return std::nullopt;

  // A scratch drawing whose model space holds one reference to the block: the
  // page painter then draws exactly the block, with everything it nests.
  db::Database scratch;
  scratch.ensureRequiredContent();
  scratch.header.linetypeScale = db.header.linetypeScale;
  auto copied = scratch.mergeBlock(db, db.block(block).name);
  if (!copied) return std::nullopt;
  db::BlockReference ref;
  ref.block = *copied;
  if (!scratch.append(db::Entity(ref))) return std::nullopt;
  if (!modelExtents(scratch)) return std::nullopt;

  SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, size, size));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return std::nullopt;
  ContextPtr cr(cairo_create(surface.get()));
  PageSetup page;
  page.width = size;
  page.height = size;
  page.margin = size >= 32 ? 2.0 : 1.0;
  page.thinLineWidth = 1.0;
  page.entityLimit = 200'000;
  drawPage(cr.get(), scratch, page);
  cairo_surface_flush(surface.get());

  Raster out;
  out.width = size;
  out.height = size;
  out.pixels.resize(static_cast<std::size_t>(size) * static_cast<std::size_t>(size));
  const unsigned char* data = cairo_image_surface_get_data(surface.get());
  const int stride = cairo_image_surface_get_stride(surface.get());
  for (int y = 0; y < size; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
    for (int x = 0; x < size; ++x)
      out.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(size) + static_cast<std::size_t>(x)] =
          row[x] & 0x00FFFFFFu;
  }
  return out;
}

std::optional<std::vector<std::uint8_t>> blockIconBytes(const db::Database& d, db::BlockId block) {
  auto raster = renderBlockIcon(d, block, kBlockIconSize);
  if (!raster) return std::nullopt;
  dialogs::Bitmap bitmap;
  bitmap.width = raster->width;
  bitmap.height = raster->height;
  bitmap.pixels = std::move(raster->pixels);
  return dialogs::encodeDib24(bitmap);
}

BlockIconCount storeBlockIcons(db::Database& d) {
  BlockIconCount count;
  for (std::size_t i = 0; i < d.blockCount(); ++i) {
    const db::BlockId b{static_cast<std::uint32_t>(i)};
    if (!takesIcon(d, b)) continue;
    if (!d.block(b).preview.empty()) {
      ++count.kept;
      continue;
    }
    auto bytes = blockIconBytes(d, b);
    if (!bytes) {
      ++count.empty;
      continue;
    }
    d.editBlock(b).preview = std::move(*bytes);
    ++count.made;
  }
  return count;
}

}  // namespace orv::render
