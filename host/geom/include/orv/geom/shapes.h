// Old-style polylines and reference arrays as decoded from their tags.
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "orv/db/raw_tags.h"
#include "orv/db/types.h"
#include "orv/geom/affine.h"
#include "orv/geom/kept.h"

namespace orv::geom {

// A block reference's array (MINSERT): columns along the reference's rotated x axis,
// rows along its y axis, spacings in drawing units (not scaled). From the extra tags the
// database keeps beside a modeled reference (or a kept INSERT's tags).
struct InsertArray {
  int columns = 1;             // 70
  int rows = 1;                // 71
  double columnSpacing = 0.0;  // 44
  double rowSpacing = 0.0;     // 45
  bool hasAttributes = false;  // 66 1: ATTRIB entities follow the reference
  bool isArray() const { return columns > 1 || rows > 1; }
};
// Counts are held to 1..32767; extras may be null.
InsertArray decodeInsertArray(const db::RawTags* extras);

// The POLYLINE entity of an old-style polyline the database keeps as read.
struct PolylineHead {
  std::int16_t flags = 0;   // 70: 1 closed, 8 3D, 16 polygon mesh, 32 closed in n, 64 polyface
  int meshM = 0;            // 71: mesh vertices in m (polyface: vertex count)
  int meshN = 0;            // 72: mesh vertices in n (polyface: face count)
  double elevation = 0.0;   // 30 (2D polylines)
  double startWidth = 0.0;  // 40
  double endWidth = 0.0;    // 41
  Point3 extrusion{0.0, 0.0, 1.0};

  bool is3d() const { return (flags & 8) != 0; }
  bool isPolygonMesh() const { return (flags & 16) != 0; }
  bool isPolyface() const { return (flags & 64) != 0; }
};
std::optional<PolylineHead> decodePolylineHead(const db::RawTags& tags);

struct VertexData {
  Point3 position;          // 10
  double bulge = 0.0;       // 42
  double startWidth = -1.0; // 40 (negative: the polyline's)
  double endWidth = -1.0;   // 41
  std::int16_t flags = 0;   // 70: 8 spline fit, 16 spline frame, 32 3D, 64 mesh, 128 face
  std::array<int, 4> face{};  // 71-74: a polyface face's vertex numbers from 1, negative: hidden edge

  bool isFaceRecord() const { return (flags & 128) != 0 && (flags & 64) == 0; }
  bool isFrameControl() const { return (flags & 16) != 0; }
};
std::optional<VertexData> decodeVertex(const db::RawTags& tags);

}  // namespace orv::geom
