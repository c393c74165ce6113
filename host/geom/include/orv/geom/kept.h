// Entities kept as tags: which kind a type name is, and the properties every entity carries in its tags.
//
// The database models lines, arcs, circles, light polylines and block references; every
// other entity is a db::UnknownEntity, its type name and its tags as read (UTF-8 text,
// numbers as written). The decoders of this library read those tags into plain structs
// (text.h, mtext.h, hatch.h, curves.h, shapes.h). They copy nothing they need not:
// string_view members point into the tags they were decoded from and live as long as
// those. A decoder returns nullopt when the tags lack what the kind cannot do without
// or hold a number that is not finite.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "orv/db/raw_tags.h"
#include "orv/db/types.h"

namespace orv::geom {

enum class KeptKind : std::uint8_t {
  other,      // not drawn: viewports, images, regions, proxies, ...
  text,       // TEXT
  attrib,     // ATTRIB: a block reference's attribute, after its INSERT
  attdef,     // ATTDEF: an attribute definition, drawn by its tag
  mtext,      // MTEXT
  hatch,      // HATCH
  ellipse,    // ELLIPSE
  spline,     // SPLINE
  point,      // POINT
  solid,      // SOLID
  trace,      // TRACE
  face3d,     // 3DFACE
  polyline,   // POLYLINE kept as read (3D, meshes): its VERTEX entities follow it
  vertex,     // VERTEX of the polyline before it
  seqend,     // SEQEND ending a polyline's vertices or a reference's attributes
  dimension,  // DIMENSION: drawn through its block
  leader,     // LEADER
  line,       // LINE, ARC, CIRCLE, LWPOLYLINE and INSERT kept as read (an extrusion out
  arc,        // of the drawing plane, a value the model cannot hold)
  circle,
  lwpolyline,
  insert,
};

KeptKind keptKindOf(std::string_view typeName);

// The properties of the entity's common part (AcDbEntity).
struct CommonProps {
  std::string_view layer = "0";            // 8
  std::string_view linetype = "ByLayer";   // 6
  std::int16_t color = 256;                // 62: 0 BYBLOCK, 1-255, 256 BYLAYER
  std::int32_t trueColor = -1;             // 420 as 0xRRGGBB, -1 none; wins over 62
  std::int16_t lineweight = -1;  // 370: hundredths of a mm; -1 BYLAYER, -2 BYBLOCK, -3 default
  double linetypeScale = 1.0;    // 48
  bool invisible = false;        // 60 1
};

// From every tag outside application data groups (102) and before extended data (1000
// and up). Works as well on the extra tags kept beside a modeled entity.
CommonProps decodeCommon(const db::RawTags& tags);

// Each tag of the entity's own data (application data groups left out, extended data
// ending the walk): the database's rule.
using db::forEachDataTag;

// Tag values as numbers. Blanks around the number are allowed; false when the text is
// no number, or (for reals) no finite one; `out` is then untouched.
bool parseReal(std::string_view text, double& out);
bool parseInteger(std::string_view text, std::int64_t& out);
bool parseHex(std::string_view text, std::uint64_t& out);

}  // namespace orv::geom
