// Decoding reference arrays.
#include "orv/geom/shapes.h"

#include <algorithm>
#include <cmath>

namespace orv::geom {

namespace {

std::int16_t shortOf(std::string_view v, std::int16_t fallback) {
  std::int64_t n = 0;
  if (!parseInteger(v, n)) return fallback;
  return static_cast<std::int16_t>(std::clamp<std::int64_t>(n, -32768, 32767));
}

}  // namespace

InsertArray decodeInsertArray(const db::RawTags* extras) {
  InsertArray a;
  if (!extras) return a;
  forEachDataTag(*extras, [&](int code, std::string_view v) {
    double d = 0.0;
    switch (code) {
      case 70: a.columns = std::max<int>(1, shortOf(v, 1)); break;
      case 71: a.rows = std::max<int>(1, shortOf(v, 1)); break;
      case 44: if (parseReal(v, d)) a.columnSpacing = d; break;
      case 45: if (parseReal(v, d)) a.rowSpacing = d; break;
      case 66: a.hasAttributes = shortOf(v, 0) == 1; break;
      default: break;
    }
    return true;
  });
  return a;
}

}  // namespace orv::geom
