// LEADER: a line or spline through its vertices from an arrowhead to an annotation,
// described once here (fields, group codes, defaults, what a map does to each). The DXF
// codec, the transforms, the renderer, snaps, grips, LIST and the SDK all go through this
// one definition.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "orv/db/types.h"

namespace orv::db {

struct Leader {
  std::string style;                // 3: the dimension style
  std::int16_t arrow = 1;           // 71: 1 an arrowhead at the first vertex, 0 none
  std::int16_t pathType = 0;        // 72: 0 straight segments, 1 a spline
  std::int16_t creation = 3;        // 73: 0 with a text, 1 a tolerance, 2 a block, 3 nothing
  std::int16_t hookDirection = 0;   // 74: 1 the hook line runs along the horizontal direction
  std::int16_t hookline = 0;        // 75: 1 it has a hook line
  double textHeight = 0.0;          // 40: of the annotation
  double textWidth = 0.0;           // 41
  std::vector<Point3> vertices;     // 76 their count, then a 10 for each: world coordinates
  std::int16_t color = 7;           // 77: of the leader when its style says by block
  Handle annotation = 0;            // 340: the text, tolerance or block it points to (0: none)
  Point3 normal{0.0, 0.0, 1.0};     // 210
  Point3 horizontal{1.0, 0.0, 0.0};  // 211: the direction the annotation reads along
  Point3 blockOffset;               // 212: of the last vertex from a block annotation
  Point3 annotationOffset;          // 213: of the last vertex from the annotation
  bool operator==(const Leader&) const = default;

  bool hasArrow() const { return arrow != 0; }
  bool spline() const { return pathType == 1; }
};

// ---- the description (the vertices, code 10 repeated after 76, are not in it)

enum class LeaderField : std::uint8_t { text, int16, real, point, handle };
enum class LeaderRole : std::uint8_t {
  none,       // a flag, a name, a handle
  length,     // scales with a map
  direction,  // turns with a map, keeps its length
  offset,     // turns and scales with a map, does not move
  normal,     // the extrusion: stays (maps are in the drawing plane)
};

struct LeaderFieldDescription {
  int code;  // a point's x code
  LeaderField type;
  LeaderRole role;
  double Leader::*real = nullptr;
  Point3 Leader::*point = nullptr;
  std::int16_t Leader::*int16 = nullptr;
  std::string Leader::*text = nullptr;
  bool always = false;  // written by a leader made here even at its default
};

inline constexpr int kLeaderVertexCountCode = 76;
inline constexpr int kLeaderVertexCode = 10;

// Every field, in the order a file made by this program lists them (the vertices follow
// the field of code 41).
std::span<const LeaderFieldDescription> leaderFields();
// The field a group code belongs to (a point's x, y or z); nullptr: none.
const LeaderFieldDescription* leaderFieldOf(int code);
// True when every number is finite, the normal has a length and there are two vertices.
bool leaderSound(const Leader& l);

}  // namespace orv::db
