// A bitmap as the host keeps it: width, height and RGB pixels, rows top-down.
#pragma once

#include <cstdint>
#include <vector>

namespace orv::dialogs {

struct Bitmap {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, row by row from the top

  Bitmap() = default;
  // A bitmap of one colour.
  Bitmap(int w, int h, std::uint32_t color = 0xFFFFFF)
      : width(w), height(h), pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), color) {}

  std::uint32_t at(int x, int y) const {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
  }
  std::uint32_t& at(int x, int y) {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
  }
  // Nothing to see: no pixels, or every pixel of one colour (a placeholder frame).
  bool isBlank() const {
    for (std::uint32_t p : pixels)
      if (p != pixels.front()) return false;
    return true;
  }
  bool operator==(const Bitmap&) const = default;
};

}  // namespace orv::dialogs
