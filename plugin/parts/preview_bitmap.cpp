// Block previews: checking an icon's header against its length and handing it to the host's bitmap maker.
#include "parts/preview_bitmap.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "dbsymtb.h"

namespace {

constexpr std::size_t kHeaderSize = sizeof(BITMAPINFOHEADER);
static_assert(kHeaderSize == 40, "the information header is 40 bytes");
constexpr std::size_t kColourSize = sizeof(RGBQUAD);

std::uint32_t readU32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
std::int32_t readI32(const std::uint8_t* p) { return static_cast<std::int32_t>(readU32(p)); }
std::uint16_t readU16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

}  // namespace

std::optional<IconLayout> iconLayout(const std::uint8_t* bytes, std::size_t length) {
  if (bytes == nullptr || length < kHeaderSize) return std::nullopt;
  // The fields are read byte by byte: icon bytes need not be aligned.
  const std::uint32_t headerSize = readU32(bytes + 0);
  const std::int32_t width = readI32(bytes + 4);
  const std::int32_t height = readI32(bytes + 8);
  const std::uint16_t planes = readU16(bytes + 12);
  const std::uint16_t bitCount = readU16(bytes + 14);
  const std::uint32_t compression = readU32(bytes + 16);
  const std::uint32_t coloursUsed = readU32(bytes + 32);

  if (headerSize != kHeaderSize || planes != 1 || compression != BI_RGB) return std::nullopt;
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32) return std::nullopt;
  // A negative height stands for rows stored top-down; the most negative
  // value has no magnitude.
  if (width <= 0 || height == 0 || height == INT32_MIN) return std::nullopt;

  IconLayout layout;
  if (bitCount <= 8) {
    layout.colourTableSize = std::size_t{1} << bitCount;
    // A colour count of 0 means a full table; a smaller one, a shorter table.
    if (coloursUsed > layout.colourTableSize) return std::nullopt;
    layout.colourEntries = coloursUsed == 0 ? layout.colourTableSize : coloursUsed;
  } else {
    // Deeper bitmaps need no table; one that is there anyway is stepped over.
    if (coloursUsed > (length - kHeaderSize) / kColourSize) return std::nullopt;
    layout.colourEntries = coloursUsed;
  }
  layout.bitsOffset = kHeaderSize + layout.colourEntries * kColourSize;
  if (layout.bitsOffset > length) return std::nullopt;

  // Rows are padded to whole 32-bit words. Width and depth are bounded, so
  // the row size fits easily; the row count is checked by division so that
  // an absurd height cannot overflow the product.
  const std::uint64_t rowBytes = (static_cast<std::uint64_t>(width) * bitCount + 31) / 32 * 4;
  const std::uint64_t rows = height < 0 ? static_cast<std::uint64_t>(-static_cast<std::int64_t>(height))
                                        : static_cast<std::uint64_t>(height);
  const std::uint64_t available = length - layout.bitsOffset;
  if (rowBytes > available || rows > available / rowBytes) return std::nullopt;
  layout.bitsSize = static_cast<std::size_t>(rowBytes * rows);
  return layout;
}

BitmapHandle bitmapFromIcon(const std::uint8_t* bytes, std::size_t length, HDC dc) {
  const std::optional<IconLayout> layout = iconLayout(bytes, length);
  if (!layout) return nullptr;
  // Header and colour table in a buffer of their own, the table as long as
  // the icon's header announces it and at least as long as the depth
  // allows: whatever part of it the host reads is there (zero where the icon
  // holds a shorter table).
  const std::size_t entries = std::max(layout->colourEntries, layout->colourTableSize);
  std::vector<std::uint8_t> info(kHeaderSize + entries * kColourSize, 0);
  std::memcpy(info.data(), bytes, kHeaderSize + layout->colourEntries * kColourSize);
  const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(info.data());
  const auto* bitmapInfo = reinterpret_cast<const BITMAPINFO*>(info.data());
  return BitmapHandle(
      CreateDIBitmap(dc, header, CBM_INIT, bytes + layout->bitsOffset, bitmapInfo, DIB_RGB_COLORS));
}

BitmapHandle previewBitmap(const AcDbObjectId& blockRecord, HDC dc) {
  AcDbObject* object = nullptr;
  if (acdbOpenAcDbObject(object, blockRecord, AcDb::kForRead) != Acad::eOk || object == nullptr) return nullptr;
  auto* record = dynamic_cast<AcDbBlockTableRecord*>(object);
  if (record == nullptr || !record->hasPreviewIcon()) {
    object->close();
    return nullptr;
  }
  PreviewIcon icon;
  const Acad::ErrorStatus read = record->getPreviewIcon(icon);
  record->close();
  if (read != Acad::eOk || icon.isEmpty()) return nullptr;
  return bitmapFromIcon(icon.asArrayPtr(), static_cast<std::size_t>(icon.length()), dc);
}
