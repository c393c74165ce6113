// Checking an old-style polyline's values.
#include "orv/db/heavy_polyline.h"

#include <cmath>
#include <cstdlib>

namespace orv::db {

namespace {

bool finite(const Point3& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

}  // namespace

const char* heavyPolylineFault(const HeavyPolyline& p) {
  if (!finite(p.origin) || !finite(p.extrusion) || !std::isfinite(p.startWidth) || !std::isfinite(p.endWidth))
    return "坐标或宽度不是有限数值";
  const Point3 n = p.extrusion;
  if (n.x == 0.0 && n.y == 0.0 && n.z == 0.0) return "拉伸方向长度为零";
  if (p.vertices.empty()) return "没有顶点";
  for (const HeavyVertex& v : p.vertices)
    if (!finite(v.point) || !std::isfinite(v.startWidth) || !std::isfinite(v.endWidth) || !std::isfinite(v.bulge) ||
        !std::isfinite(v.tangent))
      return "顶点的坐标、宽度或凸度不是有限数值";
  if (p.isPolygonMesh()) {
    const long m = p.meshM(), nn = p.meshN();
    if (m < 1 || nn < 1 || m * nn != static_cast<long>(p.vertices.size())) return "网格顶点数与 M×N 不符";
  }
  if (p.isPolyface()) {
    const long count = static_cast<long>(polyfacePoints(p).size());
    for (const HeavyVertex& v : p.vertices) {
      if (!v.isFaceRecord()) continue;
      for (std::int16_t k : v.face)
        if (std::abs(static_cast<long>(k)) > count) return "多面网格的面引用了不存在的顶点";
    }
  }
  return nullptr;
}

std::vector<const HeavyVertex*> polyfacePoints(const HeavyPolyline& p) {
  std::vector<const HeavyVertex*> out;
  for (const HeavyVertex& v : p.vertices)
    if (!v.isFaceRecord()) out.push_back(&v);
  return out;
}

std::vector<const HeavyVertex*> drawnVertices(const HeavyPolyline& p) {
  std::vector<const HeavyVertex*> out;
  for (const HeavyVertex& v : p.vertices)
    if (!v.isFramePoint()) out.push_back(&v);
  return out;
}

std::vector<std::array<Point3, 2>> meshEdges(const HeavyPolyline& p) {
  std::vector<std::array<Point3, 2>> out;
  if (p.isPolyface()) {
    const std::vector<const HeavyVertex*> points = polyfacePoints(p);
    const long count = static_cast<long>(points.size());
    for (const HeavyVertex& f : p.vertices) {
      if (!f.isFaceRecord()) continue;
      int n = 0;
      long face[4];
      for (std::int16_t k : f.face)
        if (k != 0) face[n++] = k;
      for (int k = 0; k < n; ++k) {
        const long a = std::abs(face[k]), b = std::abs(face[(k + 1) % n]);
        if (face[k] < 0 || a > count || b > count || (n == 2 && k == 1)) continue;  // hidden, or a line's way back
        out.push_back({points[static_cast<std::size_t>(a - 1)]->point, points[static_cast<std::size_t>(b - 1)]->point});
      }
    }
  } else if (p.isPolygonMesh()) {
    const long rows = p.meshM(), cols = p.meshN();
    if (rows < 1 || cols < 1 || rows * cols != static_cast<long>(p.vertices.size())) return out;
    auto at = [&](long r, long c) { return p.vertices[static_cast<std::size_t>(r * cols + c)].point; };
    const bool closedM = (p.flags & HeavyPolyline::closed) != 0, closedN = (p.flags & HeavyPolyline::closedN) != 0;
    for (long r = 0; r < rows; ++r)
      for (long c = 0; c < cols; ++c) {
        if (c + 1 < cols || (closedN && cols > 1)) out.push_back({at(r, c), at(r, (c + 1) % cols)});
        if (r + 1 < rows || (closedM && rows > 1)) out.push_back({at(r, c), at((r + 1) % rows, c)});
      }
  }
  return out;
}

}  // namespace orv::db
