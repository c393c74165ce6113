// Writing a plotted sheet as PNG: mostly white pages compress fast with run-length deflate.
#include "png_writer.h"

#include <zlib.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace orv::render {

namespace {

void put32(std::vector<unsigned char>& out, std::uint32_t v) {
  out.push_back(static_cast<unsigned char>(v >> 24));
  out.push_back(static_cast<unsigned char>(v >> 16));
  out.push_back(static_cast<unsigned char>(v >> 8));
  out.push_back(static_cast<unsigned char>(v));
}

// One chunk: length, type, data, CRC of type and data.
bool chunk(OutputFile& file, const char* type, const unsigned char* data, std::size_t size) {
  std::vector<unsigned char> head;
  put32(head, static_cast<std::uint32_t>(size));
  head.insert(head.end(), type, type + 4);
  uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(type), 4);
  if (size > 0) crc = crc32(crc, data, static_cast<uInt>(size));
  std::vector<unsigned char> tail;
  put32(tail, static_cast<std::uint32_t>(crc));
  return OutputFile::writeToOutput(&file, head.data(), static_cast<unsigned>(head.size())) == CAIRO_STATUS_SUCCESS &&
         (size == 0 ||
          OutputFile::writeToOutput(&file, data, static_cast<unsigned>(size)) == CAIRO_STATUS_SUCCESS) &&
         OutputFile::writeToOutput(&file, tail.data(), static_cast<unsigned>(tail.size())) == CAIRO_STATUS_SUCCESS;
}

}  // namespace

std::string writeSheetPng(OutputFile& file, const unsigned char* data, int width, int height, int stride,
                          double dpi) {
  static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (OutputFile::writeToOutput(&file, kSignature, 8) != CAIRO_STATUS_SUCCESS) return "无法写入";
  std::vector<unsigned char> header;
  put32(header, static_cast<std::uint32_t>(width));
  put32(header, static_cast<std::uint32_t>(height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, no filter, not interlaced
  std::vector<unsigned char> phys;
  const auto perMetre = static_cast<std::uint32_t>(std::lround(dpi / 0.0254));
  put32(phys, perMetre);
  put32(phys, perMetre);
  phys.push_back(1);  // metres
  if (!chunk(file, "IHDR", header.data(), header.size()) || !chunk(file, "pHYs", phys.data(), phys.size()))
    return "无法写入";

  z_stream z;
  std::memset(&z, 0, sizeof z);
  if (deflateInit2(&z, 1, Z_DEFLATED, 15, 8, Z_RLE) != Z_OK) return "压缩失败";
  std::vector<unsigned char> row(1 + static_cast<std::size_t>(width) * 3);
  std::vector<unsigned char> out(1 << 20);
  bool ok = true;
  for (int y = 0; y <= height && ok; ++y) {
    const bool last = y == height;
    if (!last) {
      const auto* px = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
      row[0] = 0;  // no filter
      unsigned char* p = row.data() + 1;
      for (int x = 0; x < width; ++x, p += 3) {
        const std::uint32_t v = px[x];
        p[0] = static_cast<unsigned char>(v >> 16);
        p[1] = static_cast<unsigned char>(v >> 8);
        p[2] = static_cast<unsigned char>(v);
      }
      z.next_in = row.data();
      z.avail_in = static_cast<uInt>(row.size());
    }
    do {
      z.next_out = out.data();
      z.avail_out = static_cast<uInt>(out.size());
      const int r = deflate(&z, last ? Z_FINISH : Z_NO_FLUSH);
      if (r == Z_STREAM_ERROR) {
        ok = false;
        break;
      }
      const std::size_t made = out.size() - z.avail_out;
      if (made > 0 && !chunk(file, "IDAT", out.data(), made)) ok = false;
      if (last && r == Z_STREAM_END) break;
    } while (ok && (z.avail_out == 0 || last));
  }
  deflateEnd(&z);
  if (!ok) return file.writeError() != 0 ? "无法写入（" + describeError(file.writeError()) + "）" : "压缩失败";
  if (!chunk(file, "IEND", nullptr, 0)) return "无法写入";
  return {};
}

}  // namespace orv::render
