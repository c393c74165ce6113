// Hand-made device-independent bitmaps for tests: a header with the fields a
// test sets, then whatever colour table and row bytes the test writes out.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace orv::test {

struct DibHeader {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint16_t bitCount = 24;
  std::uint32_t size = 40;
  std::uint16_t planes = 1;
  std::uint32_t compression = 0;
  std::uint32_t imageSize = 0;
  std::uint32_t colorsUsed = 0;
};

inline void putLe(std::vector<std::uint8_t>& out, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// The 40 header bytes, then `rest` (colour table entries as B, G, R, 0 and the rows).
inline std::vector<std::uint8_t> dib(const DibHeader& h, std::initializer_list<std::uint8_t> rest = {}) {
  std::vector<std::uint8_t> out;
  putLe(out, h.size, 4);
  putLe(out, static_cast<std::uint32_t>(h.width), 4);
  putLe(out, static_cast<std::uint32_t>(h.height), 4);
  putLe(out, h.planes, 2);
  putLe(out, h.bitCount, 2);
  putLe(out, h.compression, 4);
  putLe(out, h.imageSize, 4);
  putLe(out, 2835, 4);
  putLe(out, 2835, 4);
  putLe(out, h.colorsUsed, 4);
  putLe(out, 0, 4);
  out.insert(out.end(), rest);
  return out;
}

// Appends n bytes of value v (a colour table or rows of one kind).
inline std::vector<std::uint8_t>& fill(std::vector<std::uint8_t>& bytes, std::size_t n, std::uint8_t v = 0) {
  bytes.insert(bytes.end(), n, v);
  return bytes;
}

}  // namespace orv::test
