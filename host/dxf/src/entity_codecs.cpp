// Each modeled entity type's group codes, read and written in one place.
//
// Sections: type names and common codes; reading (takeTag per type, finishGeometry);
// writing (common head, then one function per type).
#include "entity_codecs.h"

#include <algorithm>
#include <cmath>

#include "codec_spline.h"
#include "codec_heavy_polyline.h"
#include "orv/dxf/tags.h"

namespace orv::dxf {

using db::EntityKind;

// ---- type names and common codes

const char* typeName(EntityKind kind) {
  switch (kind) {
    case EntityKind::line: return "LINE";
    case EntityKind::arc: return "ARC";
    case EntityKind::circle: return "CIRCLE";
    case EntityKind::polyline: return "LWPOLYLINE";
    case EntityKind::blockReference: return "INSERT";
    case EntityKind::dimension: return "DIMENSION";
    case EntityKind::text: return "TEXT";  // see textTypeName for attributes
    case EntityKind::unknown: case EntityKind::point: case EntityKind::solid: case EntityKind::ellipse: break;
    case EntityKind::hatch: return "HATCH";
    case EntityKind::spline: return "SPLINE";
    case EntityKind::mtext: return "MTEXT";
    case EntityKind::leader: return "LEADER";
    case EntityKind::heavyPolyline: return "POLYLINE";
  }
  return "";
}

std::optional<EntityKind> modeledKind(std::string_view type) {
  if (type == "LINE") return EntityKind::line;
  if (type == "ARC") return EntityKind::arc;
  if (type == "CIRCLE") return EntityKind::circle;
  if (type == "LWPOLYLINE") return EntityKind::polyline;
  if (type == "INSERT") return EntityKind::blockReference;
  if (type == "HATCH") return EntityKind::hatch;
  if (type == "DIMENSION") return EntityKind::dimension;
  if (type == "TEXT" || type == "ATTRIB" || type == "ATTDEF") return EntityKind::text;
  if (type == "SPLINE") return EntityKind::spline;
  if (type == "MTEXT") return EntityKind::mtext;
  if (type == "LEADER") return EntityKind::leader;
  if (const db::KindDescription* description = db::descriptionOf(type)) {
    switch (description->kind) {
      case db::TableKind::point: return EntityKind::point;
      case db::TableKind::solid: return EntityKind::solid;
      case db::TableKind::ellipse: return EntityKind::ellipse;
    }
  }
  return std::nullopt;
}

bool isCommonEntityCode(int code) {
  switch (code) {
    case 48: case 60: case 92: case 160: case 284: case 310: case 347: case 348:
    case 360: case 370: case 390: case 410: case 420: case 430: case 440:
      return true;
    default:
      return false;
  }
}

namespace {

// The parts of the builder, by the kinds that set them.
enum Part : std::uint32_t {
  describedPart = 1, linePart = 2, arcPart = 4, circlePart = 8, insertPart = 16, verticesPart = 32,
  hatchPart = 64, textPart_ = 128, splinePart = 256, mtextPart = 512, heavyPart = 1024,
};

std::uint32_t partsOf(EntityKind k, std::string_view type) {
  switch (k) {
    case EntityKind::line: return linePart;
    case EntityKind::arc: return arcPart;
    case EntityKind::circle: return circlePart;
    case EntityKind::blockReference: return insertPart;
    case EntityKind::polyline: case EntityKind::heavyPolyline:
      return verticesPart | (type == "POLYLINE" ? heavyPart : 0u);  // an old-style one
    case EntityKind::point: case EntityKind::solid: case EntityKind::ellipse: return describedPart;
    case EntityKind::hatch: return hatchPart;
    case EntityKind::text: return textPart_ | describedPart;
    case EntityKind::spline: return splinePart | describedPart;
    case EntityKind::mtext: return mtextPart;
    case EntityKind::unknown: case EntityKind::dimension: case EntityKind::leader: return 0;
  }
  return ~0u;
}

}  // namespace

void EntityBuilder::reset(EntityKind k, std::string_view type) {
  // A large file holds hundreds of thousands of entities: only the parts the entities
  // since the last clearing can have set are cleared, not every kind's for each one.
  const std::uint32_t dirty = started ? touched : ~0u;
  started = true;
  kind = k;
  touched = partsOf(k, type);
  const bool describedKind = k == EntityKind::point || k == EntityKind::solid || k == EntityKind::ellipse;
  description = describedKind ? db::descriptionOf(type) : nullptr;
  if (dirty & describedPart) {
    point = {};
    solid = {};
    ellipse = {};
    optionalTags.clear();
    sawField = false;
    zSeen = 0;
    sawFourthCorner = false;
  }
  if (description && description->kind == db::TableKind::solid) solid.type = static_cast<db::Solid::Type>(description->variant);
  unreadNumber = false;
  if (dirty & linePart) line = {};
  if (dirty & arcPart) arc = {};
  if (dirty & circlePart) circle = {};
  if (dirty & insertPart) {
    insert = {};
    blockName = {};
  }
  if (dirty & verticesPart) {
    vertices.clear();
    declaredCount = -1;
    closed = false;
    constantWidth = elevation = 0.0;
    defaultStartWidth = defaultEndWidth = 0.0;
  }
  extrusion = {0.0, 0.0, 1.0};
  if (dirty & hatchPart) {
    inHatch = false;
    hatchTags.clear();
  }
  if (dirty & textPart_) {
    text = {};
    for (std::string_view& bytes : textBytes) bytes = {};
    textStyleGiven = false;
    textPart = 0;
    sawTextMarker = sawTailField = textOutOfRange = false;
  }
  if (k == EntityKind::text)
    text.type = type == "ATTRIB" ? db::Text::Type::attrib : type == "ATTDEF" ? db::Text::Type::attdef : db::Text::Type::text;
  if (dirty & splinePart) spline = {};
  if (dirty & mtextPart) {
    mtextContent.clear();
    mtextOwn = mtextEmbedded = false;
  }
  if (dirty & heavyPart) heavy = {};
}

void* EntityBuilder::described() {
  switch (description->kind) {
    case db::TableKind::point: return &point;
    case db::TableKind::solid: return &solid;
    case db::TableKind::ellipse: break;
  }
  return &ellipse;
}

// ---- reading

namespace {

Take setReal(double& field, std::string_view value) {
  return parseDouble(value, field) ? Take::used : Take::badNumber;
}

Take takePoint(db::Point3& p, int base, int code, std::string_view value) {
  if (code == base) return setReal(p.x, value);
  if (code == base + 10) return setReal(p.y, value);
  if (code == base + 20) return setReal(p.z, value);
  return Take::notMine;
}

Take takeExtrusion(EntityBuilder& b, int code, std::string_view value) {
  return takePoint(b.extrusion, 210, code, value);
}

Take takePolyline(EntityBuilder& b, int code, std::string_view value) {
  std::int64_t n;
  switch (code) {
    case 90:
      if (!parseInt(value, n)) return Take::badNumber;
      b.declaredCount = n;
      return Take::used;
    case 70:
      if (!parseInt(value, n)) return Take::badNumber;
      b.closed = (n & 1) != 0;
      return Take::used;
    case 43: return setReal(b.constantWidth, value);
    case 38: return setReal(b.elevation, value);
    case 10: {
      if (b.vertices.empty() && b.declaredCount > 0)
        b.vertices.reserve(static_cast<std::size_t>(std::min<std::int64_t>(b.declaredCount, 4096)));
      b.vertices.emplace_back();
      return setReal(b.vertices.back().point.x, value);
    }
    case 20: case 40: case 41: case 42: {
      if (b.vertices.empty()) return Take::stray;
      db::Vertex& v = b.vertices.back();
      double& field = code == 20 ? v.point.y : code == 40 ? v.startWidth
                                            : code == 41 ? v.endWidth : v.bulge;
      return setReal(field, value);
    }
    default: return takeExtrusion(b, code, value);
  }
}

// A tag of a described kind, by its description. A value that is no number is noted (the
// entity is then kept as read) rather than failing the file.
Take takeDescribed(EntityBuilder& b, int code, std::string_view value) {
  void* object = b.described();
  for (std::size_t i = 0; i < b.description->fields.size(); ++i) {
    const db::FieldDescription& f = b.description->fields[i];
    Take t = Take::notMine;
    switch (f.type) {
      case db::FieldType::real:
        if (code == f.code) t = setReal(db::realField(object, f), value);
        break;
      case db::FieldType::int16:
        if (code == f.code) {
          std::int64_t n = 0;
          t = parseInt(value, n) ? Take::used : Take::badNumber;
          db::int16Field(object, f) = static_cast<std::int16_t>(std::clamp<std::int64_t>(n, -32768, 32767));
        }
        break;
      case db::FieldType::point:
        t = takePoint(db::pointField(object, f), f.code, code, value);
        if (t != Take::notMine && f.code == 13) b.sawFourthCorner = true;
        if (t != Take::notMine && code == f.code + 20 && i < 32) b.zSeen |= 1u << i;
        break;
    }
    if (t != Take::notMine) b.sawField = true;
    if (t == Take::badNumber) {
      b.unreadNumber = true;
      return Take::used;
    }
    if (t != Take::notMine && !f.always) b.optionalTags.emplace_back(code, value);
    if (t != Take::notMine) return t;
  }
  return Take::notMine;
}

}  // namespace

Take takeTag(EntityBuilder& b, int code, std::string_view value) {
  if (b.description) return takeDescribed(b, code, value);
  switch (b.kind) {
    case EntityKind::line: {
      Take t = takePoint(b.line.start, 10, code, value);
      return t != Take::notMine ? t : takePoint(b.line.end, 11, code, value);
    }
    case EntityKind::circle: {
      if (code == 40) return setReal(b.circle.radius, value);
      Take t = takePoint(b.circle.center, 10, code, value);
      return t != Take::notMine ? t : takeExtrusion(b, code, value);
    }
    case EntityKind::arc: {
      if (code == 40) return setReal(b.arc.radius, value);
      if (code == 50) return setReal(b.arc.startAngle, value);
      if (code == 51) return setReal(b.arc.endAngle, value);
      Take t = takePoint(b.arc.center, 10, code, value);
      return t != Take::notMine ? t : takeExtrusion(b, code, value);
    }
    case EntityKind::polyline: return takePolyline(b, code, value);
    case EntityKind::text: return takeTextTag(b, code, value);
    case EntityKind::blockReference: {
      switch (code) {
        case 2: b.blockName = value; return Take::used;
        case 41: return setReal(b.insert.xScale, value);
        case 42: return setReal(b.insert.yScale, value);
        case 43: return setReal(b.insert.zScale, value);
        case 50: return setReal(b.insert.rotation, value);
        default: break;
      }
      Take t = takePoint(b.insert.position, 10, code, value);
      return t != Take::notMine ? t : takeExtrusion(b, code, value);
    }
    case EntityKind::unknown: case EntityKind::point: case EntityKind::solid: case EntityKind::ellipse: break;
    case EntityKind::hatch: break;
    case EntityKind::dimension: break;  // kept in order, read by finishDimension
    case EntityKind::spline: return takeSplineTag(b, code, value);
    case EntityKind::mtext: break;  // kept in order, read by finishMText
    case EntityKind::leader: break;  // kept in order, read by finishLeader
    case EntityKind::heavyPolyline: break;  // read by readOldPolyline
  }
  return Take::notMine;
}

Take takeVertexTag(db::Vertex& v, int code, std::string_view value, std::int64_t& flags) {
  switch (code) {
    case 10: return setReal(v.point.x, value);
    case 20: return setReal(v.point.y, value);
    case 30: { double z; return setReal(z, value); }
    case 40: return setReal(v.startWidth, value);
    case 41: return setReal(v.endWidth, value);
    case 42: return setReal(v.bulge, value);
    case 70: return parseInt(value, flags) ? Take::used : Take::badNumber;
    default: return Take::notMine;
  }
}

namespace {

double normalizeDegrees(double a) {
  a = std::fmod(a, 360.0);
  return a < 0.0 ? a + 360.0 : a;
}

}  // namespace

namespace {

// The field of a described kind that a tag's code belongs to.
const db::FieldDescription* fieldOf(const db::KindDescription& description, int code) {
  for (const db::FieldDescription& f : description.fields) {
    if (f.code == code) return &f;
    if (f.type == db::FieldType::point && (code == f.code + 10 || code == f.code + 20)) return &f;
  }
  return nullptr;
}

bool atDefault(const db::FieldDescription& f, const void* object) {
  switch (f.type) {
    case db::FieldType::real: return db::realField(object, f) == f.fallback.x;
    case db::FieldType::int16: return db::int16Field(object, f) == f.fallback.x;
    case db::FieldType::point: return db::pointField(object, f) == f.fallback;
  }
  return false;
}

}  // namespace

std::uint8_t keptSlot(const EntityBuilder& b) {
  if (b.kind == EntityKind::text) return textSlot(b);
  return b.description && !b.sawField ? slot::subclassHead : slot::subclass;
}

void keepGivenDefaults(const EntityBuilder& b, db::RawTags& extras) {
  if (b.kind == EntityKind::text) return keepTextGivenDefaults(b, extras);
  if (b.kind == EntityKind::spline) return keepSplineGivenDefaults(b, extras);
  if (!b.description) return;
  const void* object = const_cast<EntityBuilder&>(b).described();
  for (auto [code, value] : b.optionalTags) {
    const db::FieldDescription* f = fieldOf(*b.description, code);
    if (!f || !atDefault(*f, object)) continue;
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t' || value.back() == '\r')) value.remove_suffix(1);
    extras.add(code, value, slot::givenDefault);
  }
  for (std::size_t i = 0; i < b.description->fields.size() && i < 32; ++i) {
    const db::FieldDescription& f = b.description->fields[i];
    if (f.type != db::FieldType::point || (b.zSeen & (1u << i)) || db::pointField(object, f).z != 0.0) continue;
    if (f.always || !atDefault(f, object)) extras.add(f.code + 20, "", slot::noZ);
  }
}

std::optional<std::string> finishGeometry(EntityBuilder& b, db::Geometry& out) {
  if (b.kind == EntityKind::text) return finishText(b, out);
  if (b.description) {
    // Held in any plane: the extrusion is one of the values.
    if (b.unreadNumber) return "有数值无法读出，按原样保留";
    switch (b.description->kind) {
      case db::TableKind::point: out = b.point; break;
      case db::TableKind::solid:
        if (!b.sawFourthCorner) b.solid.corners[3] = b.solid.corners[2];
        out = db::Boxed<db::Solid>(b.solid);
        break;
      case db::TableKind::ellipse: out = db::Boxed<db::Ellipse>(b.ellipse); break;
    }
    if (db::validate(out) != db::Status::ok) return "坐标或尺寸不是有限数值或超出范围，按原样保留";
    return std::nullopt;
  }
  if (b.kind == EntityKind::spline) return finishSpline(b, out);
  const db::Point3 n = b.extrusion;
  const bool alongZ = n.x == 0.0 && n.y == 0.0 && n.z != 0.0;
  if (b.kind != EntityKind::line && !alongZ)
    return "拉伸方向不沿 Z 轴，按原样保留";
  const bool mirrored = alongZ && n.z < 0.0;

  switch (b.kind) {
    case EntityKind::line: out = b.line; break;
    case EntityKind::circle:
      if (mirrored) b.circle.center = {-b.circle.center.x, b.circle.center.y, -b.circle.center.z};
      out = b.circle;
      break;
    case EntityKind::arc:
      if (mirrored) {
        db::Arc& a = b.arc;
        a.center = {-a.center.x, a.center.y, -a.center.z};
        const double start = a.startAngle;
        a.startAngle = normalizeDegrees(180.0 - a.endAngle);
        a.endAngle = normalizeDegrees(180.0 - start);
      }
      out = b.arc;
      break;
    case EntityKind::polyline: {
      db::Polyline p;
      p.reserve(b.vertices.size());
      for (const db::Vertex& v : b.vertices) {
        db::Point2 pt = mirrored ? db::Point2{-v.point.x, v.point.y} : v.point;
        if (p.addVertex(pt, mirrored ? -v.bulge : v.bulge, v.startWidth, v.endWidth) !=
            db::Status::ok)
          return "有顶点不是有限数值，按原样保留";
      }
      p.setClosed(b.closed);
      if (p.setConstantWidth(b.constantWidth) != db::Status::ok ||
          p.setElevation(mirrored ? -b.elevation : b.elevation) != db::Status::ok)
        return "宽度或标高不是有限数值，按原样保留";
      out = std::move(p);
      break;
    }
    case EntityKind::blockReference:
      if (mirrored) {
        db::BlockReference& r = b.insert;
        r.position = {-r.position.x, r.position.y, -r.position.z};
        r.rotation = normalizeDegrees(-r.rotation);
        r.xScale = -r.xScale;
        r.zScale = -r.zScale;
      }
      out = b.insert;
      break;
    case EntityKind::unknown: case EntityKind::point: case EntityKind::solid: case EntityKind::ellipse:
    case EntityKind::dimension:
    case EntityKind::text:
    case EntityKind::spline:
    case EntityKind::mtext:
    case EntityKind::leader:
    case EntityKind::heavyPolyline:
      return "不是本程序解读的类型";
    case EntityKind::hatch: {
      std::string why;
      auto h = decodeHatch(b.hatchTags, why);
      if (!h) return why;
      out = db::Boxed<db::Hatch>(std::move(*h));
      break;
    }
  }
  if (auto* r = std::get_if<db::BlockReference>(&out)) r->block = db::BlockId{0};  // checked later
  if (db::validate(out) != db::Status::ok)
    return "坐标或尺寸不是有限数值或超出范围，按原样保留";
  return std::nullopt;
}

// ---- writing

namespace {

void writeLine(Emitter& out, const db::Line& g, const db::RawTags* x) {
  out.raw(100, "AcDbLine");
  out.keptFiltered(x, slot::subclass, {39}, true);
  out.point(10, g.start);
  out.point(11, g.end);
  out.keptFiltered(x, slot::subclass, {39}, false);
}

void writeCircle(Emitter& out, const db::Circle& g, const db::RawTags* x) {
  out.raw(100, "AcDbCircle");
  out.keptFiltered(x, slot::subclass, {39}, true);
  out.point(10, g.center);
  out.real(40, g.radius);
  out.keptFiltered(x, slot::subclass, {39}, false);
}

void writeArc(Emitter& out, const db::Arc& g, const db::RawTags* x) {
  out.raw(100, "AcDbCircle");
  out.keptFiltered(x, slot::subclass, {39}, true);
  out.point(10, g.center);
  out.real(40, g.radius);
  out.raw(100, "AcDbArc");
  out.real(50, g.startAngle);
  out.real(51, g.endAngle);
  out.keptFiltered(x, slot::subclass, {39}, false);
}

void writePolyline(Emitter& out, const db::Polyline& g, const db::RawTags* x) {
  out.raw(100, "AcDbPolyline");
  out.integer(90, static_cast<long long>(g.size()));
  out.integer(70, g.closed() ? 1 : 0);
  if (g.constantWidth() != 0.0) out.real(43, g.constantWidth());
  if (g.elevation() != 0.0) out.real(38, g.elevation());
  out.keptFiltered(x, slot::subclass, {39}, true);
  for (std::size_t i = 0; i < g.size(); ++i) {
    out.point(10, g.point(i));
    if (!g.hasVertexExtras()) continue;
    if (g.startWidth(i) != 0.0 || g.endWidth(i) != 0.0) {
      out.real(40, g.startWidth(i));
      out.real(41, g.endWidth(i));
    }
    if (g.bulge(i) != 0.0) out.real(42, g.bulge(i));
  }
  out.keptFiltered(x, slot::subclass, {39}, false);
}

void writeInsert(Emitter& out, const db::Database& drawing, const db::BlockReference& g,
                 const db::RawTags* x) {
  out.raw(100, "AcDbBlockReference");
  out.keptFiltered(x, slot::subclass, {66}, true);
  out.text(2, drawing.block(g.block).name);
  out.point(10, g.position);
  if (g.xScale != 1.0) out.real(41, g.xScale);
  if (g.yScale != 1.0) out.real(42, g.yScale);
  if (g.zScale != 1.0) out.real(43, g.zScale);
  if (g.rotation != 0.0) out.real(50, g.rotation);
  out.keptFiltered(x, slot::subclass, {66}, false);
}

// A described kind: its fields in the order of its description, then the tags of its
// part the description does not hold, as they were read. A field at its default is left
// out, unless the file read gave it (then it is written as it was).
void writeDescribed(Emitter& out, const db::KindDescription& description, const void* object, const db::RawTags* x) {
  out.raw(100, description.subclass);
  out.kept(x, slot::subclassHead);
  // A point read without z is written so while its z stays 0.
  auto withoutZ = [&](const db::FieldDescription& f) {
    if (!x || !x->hasSlot(slot::noZ) || db::pointField(object, f).z != 0.0) return false;
    for (db::RawTag t : *x)
      if (t.slot == slot::noZ && t.code == f.code + 20) return true;
    return false;
  };
  for (const db::FieldDescription& f : description.fields) {
    if (!f.always && atDefault(f, object)) {
      if (x && x->hasSlot(slot::givenDefault))
        for (db::RawTag t : *x)
          if (t.slot == slot::givenDefault && fieldOf(description, t.code) == &f) out.text(t.code, t.value);
      continue;
    }
    switch (f.type) {
      case db::FieldType::real: out.real(f.code, db::realField(object, f)); break;
      case db::FieldType::int16: out.integer(f.code, db::int16Field(object, f)); break;
      case db::FieldType::point: {
        const db::Point3 p = db::pointField(object, f);
        if (withoutZ(f)) out.point(f.code, db::Point2{p.x, p.y});
        else out.point(f.code, p);
        break;
      }
    }
  }
  out.kept(x, slot::subclass);
}

// Kept verbatim; the handle, the owner and the paper-space flag (67) come from
// the database: an entity read from the paper-space block has no flag of its
// own, and one that carries a flag may have been moved.
void writeUnknown(Emitter& out, const db::Database& drawing, const db::Entity& e,
                  const db::UnknownEntity& g, db::Handle owner, bool paperSpace) {
  out.text(0, drawing.name(g.type));
  out.handle(5, e.handle());
  bool ownerDone = false;
  bool paperDone = !paperSpace;
  bool inGroup = false;
  for (db::RawTag t : g.tags) {
    if (!ownerDone && !inGroup && t.code != 102) {
      // A handle kept there is the entity's own owner (an ATTRIB's INSERT, say).
      if (t.code != 330) out.handle(330, owner);
      ownerDone = true;
    }
    if (t.code == 102) inGroup = !t.value.empty() && t.value.front() == '{';
    if (t.code == 67 && !inGroup) {
      if (!paperDone) out.raw(67, "1");
      paperDone = true;
      continue;
    }
    out.text(t.code, t.value);
    if (!paperDone && !inGroup && t.code == 100 && t.value == "AcDbEntity") {
      out.raw(67, "1");
      paperDone = true;
    }
  }
  if (!ownerDone) out.handle(330, owner);
  if (!paperDone) out.raw(67, "1");
}

}  // namespace

void writeEntity(Emitter& out, const db::Database& drawing, db::ObjectId id, const db::Entity& e,
                 db::Handle ownerHandle, bool paperSpace) {
  if (const auto* unknown = e.as<db::UnknownEntity>()) {
    writeUnknown(out, drawing, e, *unknown, ownerHandle, paperSpace);
    return;
  }
  const db::RawTags* x = drawing.entityExtras(id);
  const db::KindDescription* described = db::describedKind(e.geometry);
  const db::Text* text = e.as<db::Text>();
  out.raw(0, described ? described->type
             : text   ? std::string_view(text->type == db::Text::Type::attrib   ? "ATTRIB"
                                         : text->type == db::Text::Type::attdef ? "ATTDEF"
                                                                                : "TEXT")
                      : std::string_view(typeName(e.kind())));
  out.handle(5, e.handle());
  out.kept(x, slot::appData);
  out.handle(330, ownerHandle);
  out.raw(100, "AcDbEntity");
  if (paperSpace) out.raw(67, "1");
  out.text(8, drawing.name(e.layer));
  if (e.linetype != db::names::byLayer) out.text(6, drawing.name(e.linetype));
  if (e.color != db::color::byLayer) out.integer(62, e.color);
  out.kept(x, slot::common);
  if (described) {
    writeDescribed(out, *described, db::describedObject(e.geometry), x);
    out.kept(x, slot::xdata);
    return;
  }
  if (text) {
    writeText(out, *text, x);
    out.kept(x, slot::xdata);
    return;
  }
  if (const auto* heavy = e.as<db::HeavyPolyline>()) return writeHeavyPolyline(out, drawing, *heavy, x, e.handle(), paperSpace);
  std::visit(
      [&](const auto& g) {
        using T = std::decay_t<decltype(g)>;
        if constexpr (std::is_same_v<T, db::Line>) writeLine(out, g, x);
        if constexpr (std::is_same_v<T, db::Circle>) writeCircle(out, g, x);
        if constexpr (std::is_same_v<T, db::Arc>) writeArc(out, g, x);
        if constexpr (std::is_same_v<T, db::Polyline>) writePolyline(out, g, x);
        if constexpr (std::is_same_v<T, db::BlockReference>) writeInsert(out, drawing, g, x);
        if constexpr (std::is_same_v<T, db::Boxed<db::Hatch>>) writeHatch(out, *g);
        if constexpr (std::is_same_v<T, db::Boxed<db::Dimension>>) writeDimension(out, *g, x);
        if constexpr (std::is_same_v<T, db::Boxed<db::Spline>>) writeSpline(out, *g, x);
        if constexpr (std::is_same_v<T, db::Boxed<db::MText>>) writeMText(out, *g, x);
        if constexpr (std::is_same_v<T, db::Boxed<db::Leader>>) writeLeader(out, *g, x);
      },
      e.geometry);
  out.kept(x, slot::xdata);
}

}  // namespace orv::dxf
