// Decoding dimensions, reference arrays and old-style polyline parts.
#include "orv/geom/shapes.h"

#include <algorithm>
#include <cmath>

namespace orv::geom {

namespace {

bool finite(Point3 p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

// Sets one coordinate of a point whose codes are base, base + 10, base + 20; a value that
// is no number makes the point not finite.
bool takePoint(Point3& p, int base, int code, std::string_view v) {
  if (code != base && code != base + 10 && code != base + 20) return false;
  double d = 0.0;
  if (!parseReal(v, d)) d = std::nan("");
  (code == base ? p.x : code == base + 10 ? p.y : p.z) = d;
  return true;
}

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

std::optional<PolylineHead> decodePolylineHead(const db::RawTags& tags) {
  PolylineHead h;
  Point3 base;
  bool bad = false;
  forEachDataTag(tags, [&](int code, std::string_view v) {
    if (takePoint(base, 10, code, v) || takePoint(h.extrusion, 210, code, v)) return true;
    double d = 0.0;
    switch (code) {
      case 70: h.flags = shortOf(v, 0); break;
      case 71: h.meshM = std::max<int>(0, shortOf(v, 0)); break;
      case 72: h.meshN = std::max<int>(0, shortOf(v, 0)); break;
      case 40: if (parseReal(v, d)) h.startWidth = d; else bad = true; break;
      case 41: if (parseReal(v, d)) h.endWidth = d; else bad = true; break;
      default: break;
    }
    return true;
  });
  h.elevation = std::isfinite(base.z) ? base.z : 0.0;
  if (bad || !finite(h.extrusion)) return std::nullopt;
  return h;
}

std::optional<VertexData> decodeVertex(const db::RawTags& tags) {
  VertexData vx;
  bool bad = false;
  forEachDataTag(tags, [&](int code, std::string_view v) {
    if (takePoint(vx.position, 10, code, v)) return true;
    double d = 0.0;
    switch (code) {
      case 42: if (parseReal(v, d)) vx.bulge = d; else bad = true; break;
      case 40: if (parseReal(v, d)) vx.startWidth = d; else bad = true; break;
      case 41: if (parseReal(v, d)) vx.endWidth = d; else bad = true; break;
      case 70: vx.flags = shortOf(v, 0); break;
      case 71: case 72: case 73: case 74:
        vx.face[static_cast<std::size_t>(code - 71)] = shortOf(v, 0);
        break;
      default: break;
    }
    return true;
  });
  if (bad || !finite(vx.position)) return std::nullopt;
  return vx;
}

}  // namespace orv::geom
