// AutoCAD colour index (ACI) to RGB, as pictures of a drawing show the colours.
#pragma once

#include <cstdint>

namespace orv::render {

struct Rgb {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
  bool operator==(const Rgb&) const = default;
};

// The colour of index 1-255 on a white page: 1-9 the standard colours, 10-249 the
// hue/value/saturation wheel, 250-255 the greys. Index 7 ("white") is drawn black, and
// so is anything outside 1-255 (0 BYBLOCK at the top level, 256 BYLAYER unresolved).
Rgb aciColor(int index);

}  // namespace orv::render
