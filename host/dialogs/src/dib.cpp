// Reading and writing device-independent bitmaps without file header.
#include "orv/dialogs/dib.h"

namespace orv::dialogs {

namespace {

std::uint32_t u32(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
         static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}
std::int32_t s32(std::span<const std::uint8_t> b, std::size_t at) { return static_cast<std::int32_t>(u32(b, at)); }
std::uint16_t u16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

DibHeaderResult bad(std::string why) { return {std::nullopt, std::move(why)}; }
DibResult failed(std::string why) { return {std::nullopt, std::move(why)}; }

std::uint32_t rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return static_cast<std::uint32_t>(r) << 16 | static_cast<std::uint32_t>(g) << 8 | b;
}

}  // namespace

DibHeaderResult readDibHeader(std::span<const std::uint8_t> h) {
  if (h.size() < kDibHeaderSize) return bad("the header is shorter than 40 bytes");
  const std::uint32_t size = u32(h, 0);
  const std::int32_t width = s32(h, 4);
  const std::int32_t height = s32(h, 8);
  const std::uint16_t planes = u16(h, 12);
  const std::uint16_t bits = u16(h, 14);
  const std::uint32_t compression = u32(h, 16);
  const std::uint32_t imageSize = u32(h, 20);
  const std::uint32_t colorsUsed = u32(h, 32);

  if (size != kDibHeaderSize) return bad("header size " + std::to_string(size) + ", not 40");
  if (planes != 1) return bad(std::to_string(planes) + " planes");
  if (compression != 0) return bad("compressed (" + std::to_string(compression) + ")");
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
    return bad(std::to_string(bits) + " bits per pixel");
  // INT32_MIN has no positive counterpart: refused with the other absurd heights.
  if (width <= 0 || height == 0) return bad("empty or negative size");
  const std::int64_t rows = height < 0 ? -static_cast<std::int64_t>(height) : height;
  if (width > kMaxDibSide || rows > kMaxDibSide ||
      static_cast<std::size_t>(width) * static_cast<std::size_t>(rows) > kMaxDibPixels)
    return bad("absurd size " + std::to_string(width) + " x " + std::to_string(rows));

  DibLayout l;
  l.width = width;
  l.height = static_cast<int>(rows);
  l.topDown = height < 0;
  l.bitCount = bits;
  const std::size_t tableLimit = bits <= 8 ? std::size_t{1} << bits : 256;
  if (colorsUsed > tableLimit)
    return bad(std::to_string(colorsUsed) + " colours for " + std::to_string(bits) + " bits per pixel");
  l.colorCount = colorsUsed != 0 ? colorsUsed : bits <= 8 ? tableLimit : 0;
  l.stride = (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
  if (imageSize != 0 && imageSize < l.imageBytes())
    return bad("image size " + std::to_string(imageSize) + " is less than the " +
               std::to_string(l.imageBytes()) + " bytes of the rows");
  return {l, {}};
}

DibResult decodeDib(std::span<const std::uint8_t> info, std::span<const std::uint8_t> bits) {
  DibHeaderResult header = readDibHeader(info);
  if (!header.layout) return failed(header.error);
  const DibLayout& l = *header.layout;
  if (info.size() < l.infoBytes())
    return failed("the colour table needs " + std::to_string(l.tableBytes()) + " bytes, " +
                  std::to_string(info.size() - kDibHeaderSize) + " given");
  if (bits.size() < l.imageBytes())
    return failed("the rows need " + std::to_string(l.imageBytes()) + " bytes, " +
                  std::to_string(bits.size()) + " given");

  std::vector<std::uint32_t> table(l.colorCount);
  for (std::size_t i = 0; i < l.colorCount; ++i) {
    const std::size_t at = kDibHeaderSize + 4 * i;
    table[i] = rgb(info[at + 2], info[at + 1], info[at]);
  }
  Bitmap out(l.width, l.height, 0);
  for (int row = 0; row < l.height; ++row) {
    const std::uint8_t* src = bits.data() + static_cast<std::size_t>(row) * l.stride;
    const int y = l.topDown ? row : l.height - 1 - row;
    for (int x = 0; x < l.width; ++x) {
      std::uint32_t color = 0;
      const auto ux = static_cast<std::size_t>(x);
      if (l.bitCount <= 8) {
        const std::size_t bitIndex = ux * static_cast<std::size_t>(l.bitCount);
        const unsigned shift = 8 - static_cast<unsigned>(l.bitCount) - bitIndex % 8;
        const std::size_t index = (src[bitIndex / 8] >> shift) & ((1u << l.bitCount) - 1);
        // An index past a short colour table shows black, as a display would.
        color = index < table.size() ? table[index] : 0;
      } else {
        const std::uint8_t* p = src + ux * static_cast<std::size_t>(l.bitCount / 8);
        color = rgb(p[2], p[1], p[0]);
      }
      out.at(x, y) = color;
    }
  }
  return {std::move(out), {}};
}

DibResult decodePackedDib(std::span<const std::uint8_t> dib) {
  DibHeaderResult header = readDibHeader(dib);
  if (!header.layout) return failed(header.error);
  const std::size_t infoBytes = header.layout->infoBytes();
  if (dib.size() < infoBytes)
    return failed("the colour table needs " + std::to_string(header.layout->tableBytes()) + " bytes, " +
                  std::to_string(dib.size() - kDibHeaderSize) + " given");
  return decodeDib(dib.first(infoBytes), dib.subspan(infoBytes));
}

std::vector<std::uint8_t> encodeDib24(const Bitmap& bitmap) {
  const std::size_t stride = (static_cast<std::size_t>(bitmap.width) * 24 + 31) / 32 * 4;
  const std::size_t imageBytes = stride * static_cast<std::size_t>(bitmap.height);
  std::vector<std::uint8_t> out;
  out.reserve(kDibHeaderSize + imageBytes);
  put32(out, kDibHeaderSize);
  put32(out, static_cast<std::uint32_t>(bitmap.width));
  put32(out, static_cast<std::uint32_t>(bitmap.height));
  put16(out, 1);
  put16(out, 24);
  put32(out, 0);  // no compression
  put32(out, static_cast<std::uint32_t>(imageBytes));
  put32(out, 0);
  put32(out, 0);
  put32(out, 0);
  put32(out, 0);
  for (int y = bitmap.height - 1; y >= 0; --y) {
    for (int x = 0; x < bitmap.width; ++x) {
      const std::uint32_t c = bitmap.at(x, y);
      out.push_back(static_cast<std::uint8_t>(c));
      out.push_back(static_cast<std::uint8_t>(c >> 8));
      out.push_back(static_cast<std::uint8_t>(c >> 16));
    }
    out.resize(out.size() + stride - static_cast<std::size_t>(bitmap.width) * 3, 0);
  }
  return out;
}

}  // namespace orv::dialogs
