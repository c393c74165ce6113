// The group codes of each entity type the model knows, for reading and for writing.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "emitter.h"
#include "orv/db/database.h"

namespace orv::dxf {

// Where kept tags of an entity (or table entry) stood, so the writer puts them back there.
namespace slot {
inline constexpr std::uint8_t appData = 0;   // 102 groups after the handle
inline constexpr std::uint8_t common = 1;    // other AcDbEntity (or record) codes
inline constexpr std::uint8_t subclass = 2;  // codes of the type's own subclass
inline constexpr std::uint8_t xdata = 3;     // 1001 and everything after it
// A field of a described kind that the file gave though it held its default (written
// back in the field's place, so that a round trip keeps it).
inline constexpr std::uint8_t givenDefault = 4;
// Tags of a described kind's own part that stood before its first field.
inline constexpr std::uint8_t subclassHead = 5;
// A point of a described kind that the file gave without its z (code: the z code).
inline constexpr std::uint8_t noZ = 6;
}  // namespace slot

// The DXF type name of a modeled kind (of a described kind: see db::KindDescription), and the
// kind of a name (nullopt: not modeled).
const char* typeName(db::EntityKind kind);
std::optional<db::EntityKind> modeledKind(std::string_view type);

// True for the codes every entity may carry in its AcDbEntity part.
bool isCommonEntityCode(int code);

// Collects the values of one entity while its tags are read.
struct EntityBuilder {
  db::EntityKind kind = db::EntityKind::line;
  db::Line line;
  db::Arc arc;
  db::Circle circle;
  db::BlockReference insert;
  std::string_view blockName;  // INSERT, bytes of the file
  std::vector<db::Vertex> vertices;
  std::int64_t declaredCount = -1;
  bool closed = false;
  double constantWidth = 0.0;
  double elevation = 0.0;
  double defaultStartWidth = 0.0;  // old-style POLYLINE
  double defaultEndWidth = 0.0;
  db::Point3 extrusion{0.0, 0.0, 1.0};
  // A kind of kinds.h: its description and its values.
  const db::KindDescription* description = nullptr;
  db::Point point;
  db::Solid solid;
  db::Ellipse ellipse;
  bool sawFourthCorner = false;
  bool unreadNumber = false;  // a described kind's value that is no number
  // The tags of the described kind's fields written only when not at their default.
  std::vector<std::pair<int, std::string_view>> optionalTags;
  bool sawField = false;       // a tag of one of the described kind's fields
  std::uint32_t zSeen = 0;     // per field of the description: its point's z was given
  db::Spline spline;           // SPLINE (codec_spline.cpp); optionalTags: its normal's tags

  // `type`: the DXF type name, for the kinds of kinds.h.
  void reset(db::EntityKind k, std::string_view type = {});
  // The values of the described kind being read.
  void* described();
};

// stray: a vertex's tag before the first vertex. It belongs to no vertex, and
// kept with the entity it would be written after the last one and read back as
// part of it: the reader leaves it out.
enum class Take { used, notMine, badNumber, stray };

// Takes one tag of the entity's own subclass (and its extrusion).
Take takeTag(EntityBuilder& b, int code, std::string_view value);
// Vertex tags of an old-style VERTEX entity, added to b.vertices.
Take takeVertexTag(db::Vertex& v, int code, std::string_view value, std::int64_t& flags);

// The optional fields' tags of a described kind that hold their default, to keep with
// the entity in slot::givenDefault; points given without z (at 0), in slot::noZ.
void keepGivenDefaults(const EntityBuilder& b, db::RawTags& extras);

// Makes the geometry; an extrusion of 0,0,-1 is turned into world coordinates. Returns
// why the entity cannot be modeled (an extrusion out of the drawing plane, a value out
// of range), which makes the reader keep it as it was.
std::optional<std::string> finishGeometry(EntityBuilder& b, db::Geometry& out);

// Writes a modeled entity with its kept tags.
void writeEntity(Emitter& out, const db::Database& drawing, db::ObjectId id,
                 const db::Entity& e, db::Handle ownerHandle, bool paperSpace);

}  // namespace orv::dxf
