// The old-style POLYLINE: its own values, its VERTEX entities and the SEQEND that ends
// them, held as one entity of the drawing.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "orv/db/raw_tags.h"
#include "orv/db/types.h"

namespace orv::db {

// What a vertex or the closing SEQEND has of an entity of its own: in a file each is an
// entity with its handle, layer and properties. `extras` holds the tags the model does not
// interpret, each in the slot the file reader and writer give it.
struct SubEntity {
  Handle handle = 0;  // 0: the database gives one when the polyline is stored
  NameId layer = names::layer0;
  NameId linetype = names::byLayer;
  std::int16_t color = color::byLayer;
  RawTags extras;
  bool operator==(const SubEntity&) const = default;
};

// The optional codes a file gave, so that a value given at its default is written back.
namespace given {
inline constexpr std::uint16_t startWidth = 1 << 0;   // 40
inline constexpr std::uint16_t endWidth = 1 << 1;     // 41
inline constexpr std::uint16_t bulge = 1 << 2;        // 42
inline constexpr std::uint16_t tangent = 1 << 3;      // 50
inline constexpr std::uint16_t flags = 1 << 4;        // 70
inline constexpr std::uint16_t count71 = 1 << 5;      // 71..75, one bit each
inline constexpr std::uint16_t followFlag = 1 << 10;  // 66 (the POLYLINE's "vertices follow")
inline constexpr std::uint16_t extrusion = 1 << 11;   // 210
inline constexpr std::uint16_t z = 1 << 12;           // 30
inline constexpr std::uint16_t point = 1 << 13;       // 10 (a POLYLINE may leave its point out)
// The bit of code 71..75.
constexpr std::uint16_t count(int code) { return static_cast<std::uint16_t>(count71 << (code - 71)); }
}  // namespace given

struct HeavyVertex {
  // 70: the vertex's kind.
  enum Flag : std::int16_t {
    extra = 1,         // made by curve fitting
    hasTangent = 2,    // 50 holds a curve-fit tangent
    splineFit = 8,     // made by spline fitting
    framePoint = 16,   // a spline's frame (control) point
    polyline3d = 32,   // a vertex of a 3D polyline
    mesh = 64,         // a vertex of a polygon or polyface mesh
    faceRecord = 128,  // a polyface face (with 64 clear): 71..74 name its vertices
  };

  SubEntity common;
  Point3 point;              // 10: in the polyline's plane for a 2D one, else in the world
  double startWidth = 0.0;   // 40
  double endWidth = 0.0;     // 41
  double bulge = 0.0;        // 42
  double tangent = 0.0;      // 50, degrees
  std::int16_t flags = 0;    // 70
  // 71..74: a face's vertices, numbered from 1 among the mesh vertices; a negative number
  // hides the edge that starts at that vertex; 0 ends the list.
  std::array<std::int16_t, 4> face{};
  std::uint16_t given = 0;

  bool isFaceRecord() const { return (flags & faceRecord) != 0 && (flags & mesh) == 0; }
  bool isFramePoint() const { return (flags & framePoint) != 0; }
  bool operator==(const HeavyVertex&) const = default;
};

struct HeavyPolyline {
  // 70: the polyline's kind.
  enum Flag : std::int16_t {
    closed = 1,        // closed (a polygon mesh: closed in M)
    curveFit = 2,      // curve-fit vertices added
    splineFit = 4,     // spline-fit vertices added
    polyline3d = 8,
    polygonMesh = 16,
    closedN = 32,      // a polygon mesh closed in N
    polyface = 64,
    continuousLinetype = 128,
  };

  std::int16_t flags = 0;
  Point3 origin;            // 10/20/30: z is a 2D polyline's elevation
  double startWidth = 0.0;  // 40: the default widths of a 2D one's segments
  double endWidth = 0.0;    // 41
  // 71, 72: a polygon mesh's M and N vertex counts (a polyface: its vertex and face
  // counts); 73, 74: smooth surface densities; 75: smooth surface type.
  std::array<std::int16_t, 5> counts{};
  Point3 extrusion{0.0, 0.0, 1.0};
  std::vector<HeavyVertex> vertices;
  SubEntity seqend;
  std::uint16_t given = 0;

  bool is3d() const { return (flags & polyline3d) != 0; }
  bool isPolygonMesh() const { return (flags & polygonMesh) != 0; }
  bool isPolyface() const { return (flags & polyface) != 0; }
  // A 2D polyline: its vertices lie in the plane of its extrusion at its elevation.
  bool isPlanar() const { return (flags & (polyline3d | polygonMesh | polyface)) == 0; }
  bool isClosed() const { return (flags & closed) != 0; }
  std::int16_t meshM() const { return counts[0]; }
  std::int16_t meshN() const { return counts[1]; }
  bool operator==(const HeavyPolyline&) const = default;
};

// Why the model cannot hold a polyline (nullptr: it can). Every number finite, an
// extrusion of some length, at least one vertex; a polygon mesh of M × N vertices; a
// polyface's faces naming its vertices.
const char* heavyPolylineFault(const HeavyPolyline& p);

// The mesh vertices of a polyface (the vertices that are not face records), in order.
std::vector<const HeavyVertex*> polyfacePoints(const HeavyPolyline& p);

// The vertices a 2D or 3D polyline passes through: all but a spline's frame points.
std::vector<const HeavyVertex*> drawnVertices(const HeavyPolyline& p);

// The edges a polygon mesh or polyface shows, in world coordinates: a polygon mesh's
// rows and columns (closed as its flags say), each face's edges but those it hides.
std::vector<std::array<Point3, 2>> meshEdges(const HeavyPolyline& p);

}  // namespace orv::db
