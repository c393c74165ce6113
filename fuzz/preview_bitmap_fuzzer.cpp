// Fuzz target: a block's preview icon, from its bytes to a bitmap.
//
// The bytes are stored as the icon of a block, then made into a bitmap the
// way the part dialogs do it: the module reads the icon through the SDK,
// checks its header and hands header, colour table and rows to
// CreateDIBitmap, which decodes them. The same bytes are also decoded as one
// block. A bitmap made either way must be the picture its header describes,
// both ways must agree, and a 24-bit encoding of it must decode to it again.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "bitmap_handles.h"
#include "db_impl.h"
#include "dbsymtb.h"
#include "fuzz_check.h"
#include "orv/dialogs/dib.h"
#include "parts/preview_bitmap.h"

namespace {

using orv::dialogs::Bitmap;

void checkPicture(const Bitmap& b, std::span<const std::uint8_t> bytes, std::string_view what) {
  ORV_FUZZ_CHECK(bytes.size() >= 40, what);
  const auto header = orv::dialogs::readDibHeader(bytes);
  ORV_FUZZ_CHECK(header.layout.has_value(), what);
  ORV_FUZZ_CHECK(b.width == header.layout->width && b.height == header.layout->height, what);
  ORV_FUZZ_CHECK(
      b.pixels.size() == static_cast<std::size_t>(b.width) * static_cast<std::size_t>(b.height),
      what);
  for (std::uint32_t p : b.pixels) ORV_FUZZ_CHECK(p <= 0xFFFFFF, what);
}

// The icon stored in a block, turned into a bitmap by the module's own code.
std::shared_ptr<const Bitmap> throughTheModule(const std::vector<std::uint8_t>& bytes) {
  AcDbDatabase drawing(true);
  orv::db::Database& d = orv::sdk::databaseOf(&drawing);
  auto block = d.addBlock("PART", {});
  ORV_FUZZ_CHECK(block.ok(), "a block cannot be added");
  d.editBlock(*block).preview = bytes;
  const std::size_t live = orv::sdk::liveBitmapCount();
  BitmapHandle handle = previewBitmap(orv::sdk::blockRecordId(&drawing, *block), nullptr);
  if (!handle) {
    ORV_FUZZ_CHECK(orv::sdk::liveBitmapCount() == live, "a refused icon left a bitmap behind");
    return nullptr;
  }
  auto bitmap = orv::sdk::findBitmap(handle.get());
  ORV_FUZZ_CHECK(bitmap != nullptr, "a handle without its bitmap");
  handle.reset();
  ORV_FUZZ_CHECK(orv::sdk::liveBitmapCount() == live, "a bitmap was not freed");
  return bitmap;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::uint8_t> bytes(data, data + size);
  const auto packed = orv::dialogs::decodePackedDib(bytes);
  if (packed.bitmap) {
    checkPicture(*packed.bitmap, bytes, "decoded as one block");
    const std::vector<std::uint8_t> encoded = orv::dialogs::encodeDib24(*packed.bitmap);
    const auto again = orv::dialogs::decodePackedDib(encoded);
    ORV_FUZZ_CHECK(again.bitmap && *again.bitmap == *packed.bitmap,
                   "24-bit encoding does not read back");
  } else {
    ORV_FUZZ_CHECK(!packed.error.empty(), "refused without a reason");
  }

  const auto viaModule = throughTheModule(bytes);
  if (viaModule) {
    checkPicture(*viaModule, bytes, "made by CreateDIBitmap");
    ORV_FUZZ_CHECK(packed.bitmap && *packed.bitmap == *viaModule,
                   "the two ways give different pictures");
  }
  return 0;
}
