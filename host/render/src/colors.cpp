// The AutoCAD colour index table: standard colours, the hue wheel and the greys.
#include "orv/render/colors.h"

#include <array>
#include <cmath>

namespace orv::render {

namespace {

// Channels are 0-255 values of fractions, cut rather than rounded, as CAD programs'
// tables have them (index 11 is 255,127,127).
std::uint8_t channel(double fraction) { return static_cast<std::uint8_t>(fraction * 255.0); }

// Indexes 10-249: 24 hues 15° apart; within each ten, value by pairs and full saturation
// for even, half for odd indexes.
Rgb wheelColor(int index) {
  static constexpr double kValues[] = {1.0, 0.65, 0.5, 0.3, 0.15};
  const int p = index % 10;
  const double value = kValues[p / 2];
  const double saturation = p % 2 == 0 ? 1.0 : 0.5;
  const double hue = ((index - 10) / 10) * 15.0 / 60.0;  // in sixths of the wheel
  const int sector = static_cast<int>(hue) % 6;
  const double f = hue - std::floor(hue);
  const double lo = value * (1.0 - saturation);
  const double down = value * (1.0 - saturation * f);
  const double up = value * (1.0 - saturation * (1.0 - f));
  double r = value, g = up, b = lo;
  switch (sector) {
    case 0: r = value, g = up, b = lo; break;
    case 1: r = down, g = value, b = lo; break;
    case 2: r = lo, g = value, b = up; break;
    case 3: r = lo, g = down, b = value; break;
    case 4: r = up, g = lo, b = value; break;
    default: r = value, g = lo, b = down; break;
  }
  return {channel(r), channel(g), channel(b)};
}

std::array<Rgb, 256> buildTable() {
  std::array<Rgb, 256> t{};
  t[1] = {255, 0, 0};
  t[2] = {255, 255, 0};
  t[3] = {0, 255, 0};
  t[4] = {0, 255, 255};
  t[5] = {0, 0, 255};
  t[6] = {255, 0, 255};
  t[7] = {0, 0, 0};  // white on a dark screen, black on paper
  t[8] = {128, 128, 128};
  t[9] = {192, 192, 192};
  for (int i = 10; i <= 249; ++i) t[i] = wheelColor(i);
  // The greys of ezdxf's default table.
  t[250] = {0x00, 0x00, 0x00};
  t[251] = {0x65, 0x65, 0x65};
  t[252] = {0x66, 0x66, 0x66};
  t[253] = {0x99, 0x99, 0x99};
  t[254] = {0xcc, 0xcc, 0xcc};
  t[255] = {0xff, 0xff, 0xff};
  return t;
}

}  // namespace

Rgb aciColor(int index) {
  static const std::array<Rgb, 256> table = buildTable();
  if (index < 1 || index > 255) return table[7];
  return table[index];
}

}  // namespace orv::render
