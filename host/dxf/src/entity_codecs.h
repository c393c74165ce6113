// The group codes of each entity type the model knows, for reading and for writing.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "codec_hatch.h"
#include "emitter.h"
#include "text_codec.h"
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
// One-line text (TEXT, ATTRIB, ATTDEF): tags of its second part (after the AcDbText,
// AcDbAttribute or AcDbAttributeDefinition marker) that follow a field of that part, and
// those before it; an attribute's embedded object (101 and all after it).
inline constexpr std::uint8_t textTail = 7;
inline constexpr std::uint8_t textTailHead = 8;
inline constexpr std::uint8_t textEmbedded = 9;
// The owner handle one-line text was read with, for the repairs to check (never written:
// the writer names the owner anew).
inline constexpr std::uint8_t readOwner = 10;
// MTEXT: one per chunk its content was read in (code 3 or 1), its length in bytes as the
// value, among the tags of its own part (codec_mtext.cpp).
inline constexpr std::uint8_t mtextChunk = 20;
}  // namespace slot

// The DXF type name of a modeled kind (of a described kind: see db::KindDescription), and the
// kind of a name (nullopt: not modeled).
const char* typeName(db::EntityKind kind);
std::optional<db::EntityKind> modeledKind(std::string_view type);

// True for the codes every entity may carry in its AcDbEntity part.
bool isCommonEntityCode(int code);

// Collects the values of one entity while its tags are read.
// The last few strings a reader made, handed out again for the same bytes: the names many
// entities of a file repeat are held once.
class RecentStrings {
 public:
  db::SharedString take(std::string_view bytes) {
    for (const db::SharedString& s : kept_)
      if (s == bytes) return s;
    db::SharedString made(bytes);
    kept_[next_] = made;
    next_ = (next_ + 1) % kept_.size();
    return made;
  }

 private:
  std::array<db::SharedString, 8> kept_;
  std::size_t next_ = 0;
};

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
  // HATCH: its own tags (from its 100 AcDbHatch on), read by codec_hatch.
  bool inHatch = false;
  std::vector<HatchTag> hatchTags;
  // One-line text: its values (strings as the file's bytes until the entity ends), the
  // part being read (0 before its first field, 1 its AcDbText part, 2 after its second
  // marker, 3 an embedded object) and whether the second part has had a field yet.
  db::Text text;
  std::string_view textBytes[4];  // 1 value, 7 style, 2 tag, 3 prompt
  bool textStyleGiven = false;
  // Styles, tags and prompts of the texts read so far, which the next text shares when alike.
  RecentStrings textNames;
  std::uint8_t textPart = 0;
  bool sawTextMarker = false;
  bool sawTailField = false;
  bool textOutOfRange = false;
  db::Spline spline;           // SPLINE (codec_spline.cpp); optionalTags: its normal's tags
  // MTEXT: its content decoded, whether its own part (a marker after AcDbEntity) and an
  // embedded object (101) have begun.
  std::string mtextContent;
  bool mtextOwn = false;
  bool mtextEmbedded = false;
  db::HeavyPolyline heavy;     // old-style POLYLINE (codec_heavy_polyline.cpp)
  bool started = false;        // reset once: every kind's state is clear
  std::uint32_t touched = 0;   // the parts the entity since the last reset may have set

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
// One-line text's tag, a subclass marker (100) and the slot of a tag the kind does not
// hold (codec_text.cpp).
Take takeTextTag(EntityBuilder& b, int code, std::string_view value);
// True for a marker the writer does not write itself (after the second): kept.
bool noteTextMarker(EntityBuilder& b, std::string_view marker);
std::uint8_t textSlot(const EntityBuilder& b);
// The slot for a tag of the entity's own part that its kind does not hold.
std::uint8_t keptSlot(const EntityBuilder& b);
// Decodes the text's strings once the entity is read.
void finishTextStrings(EntityBuilder& b, CodePage page);
void keepTextGivenDefaults(const EntityBuilder& b, db::RawTags& extras);
std::optional<std::string> finishText(EntityBuilder& b, db::Geometry& out);
void writeText(Emitter& out, const db::Text& t, const db::RawTags* x);
// Vertex tags of an old-style VERTEX entity, added to b.vertices.
Take takeVertexTag(db::Vertex& v, int code, std::string_view value, std::int64_t& flags);

// The optional fields' tags of a described kind that hold their default, to keep with
// the entity in slot::givenDefault; points given without z (at 0), in slot::noZ.
void keepGivenDefaults(const EntityBuilder& b, db::RawTags& extras);

// Makes the geometry; an extrusion of 0,0,-1 is turned into world coordinates. Returns
// why the entity cannot be modeled (an extrusion out of the drawing plane, a value out
// of range), which makes the reader keep it as it was.
std::optional<std::string> finishGeometry(EntityBuilder& b, db::Geometry& out);

// DIMENSION (codec_dimension.cpp): its values from the tags of its own parts, kept in
// slot::subclass in their order (markers included); and its own parts written.
std::optional<std::string> finishDimension(const db::RawTags& extras, db::Geometry& out);
void writeDimension(Emitter& out, const db::Dimension& d, const db::RawTags* x);

// MTEXT (codec_mtext.cpp): its values from the tags of its own part kept in slot::subclass
// and the content; its own part written. mtextChunkCut: a place at or before `limit`
// (after `from`) that splits no UTF-8 character, no escape and no pair of a backslash and
// what it escapes, to cut content into chunks.
std::optional<std::string> finishMText(const db::RawTags& extras, std::string content, db::Geometry& out);
void writeMText(Emitter& out, const db::MText& m, const db::RawTags* x);
std::size_t mtextChunkCut(const std::string& s, std::size_t limit, std::size_t from);
// LEADER (codec_leader.cpp): its values from the tags of its own part, kept in
// slot::subclass in their order (its marker included); and its own part written.
std::optional<std::string> finishLeader(const db::RawTags& extras, db::Geometry& out);
void writeLeader(Emitter& out, const db::Leader& l, const db::RawTags* x);

// Writes a modeled entity with its kept tags.
void writeEntity(Emitter& out, const db::Database& drawing, db::ObjectId id,
                 const db::Entity& e, db::Handle ownerHandle, bool paperSpace);

}  // namespace orv::dxf
