// Device-independent bitmaps (DIB) without file header, as preview icons and
// bitmap resources hold them: a 40-byte BITMAPINFOHEADER, the colour table
// (blue, green, red, reserved per entry), then the rows, each padded to 4 bytes,
// bottom-up unless the height is negative. Reading checks every size against
// the bytes given and never reads past them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "orv/dialogs/bitmap.h"

namespace orv::dialogs {

// Limits beyond which a bitmap is taken for damage rather than a picture.
inline constexpr int kMaxDibSide = 4096;
inline constexpr std::size_t kMaxDibPixels = std::size_t{1} << 22;
inline constexpr std::size_t kDibHeaderSize = 40;

// What a sound header says about the parts of its bitmap.
struct DibLayout {
  int width = 0;
  int height = 0;        // rows, always positive
  bool topDown = false;  // the header's height was negative
  int bitCount = 0;      // 1, 4, 8, 24 or 32
  std::size_t colorCount = 0;  // entries of the colour table
  std::size_t stride = 0;      // bytes of one row, padding included

  std::size_t tableBytes() const { return colorCount * 4; }
  std::size_t infoBytes() const { return kDibHeaderSize + tableBytes(); }
  std::size_t imageBytes() const { return stride * static_cast<std::size_t>(height); }
};

struct DibHeaderResult {
  std::optional<DibLayout> layout;
  std::string error;  // why the header is not sound (English, for a developer's message)
};

// Checks a header: its size field 40, one plane, no compression, 1, 4, 8, 24
// or 32 bits per pixel, a width and a height that are neither zero nor
// negative (a negative height only means rows top-down) nor absurd, a colour
// table of at most 2^bits entries (256 for 24 and 32 bits), an image size
// field that is 0 or covers the rows. `header` may be longer than 40 bytes.
DibHeaderResult readDibHeader(std::span<const std::uint8_t> header);

struct DibResult {
  std::optional<Bitmap> bitmap;
  std::string error;
};

// A bitmap from its header and colour table (`info`) and its rows (`bits`),
// given apart as CreateDIBitmap gets them.
DibResult decodeDib(std::span<const std::uint8_t> info, std::span<const std::uint8_t> bits);
// A bitmap from one block: header, colour table and rows in a row.
DibResult decodePackedDib(std::span<const std::uint8_t> dib);

// A packed 24-bit DIB of a bitmap, rows bottom-up.
std::vector<std::uint8_t> encodeDib24(const Bitmap& bitmap);

}  // namespace orv::dialogs
