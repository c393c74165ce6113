// The group codes of one-line text (TEXT, ATTRIB, ATTDEF): read into db::Text and written
// from it, with two subclass markers and an attribute's embedded object around them.
//
// Sections: the fields and their codes; reading; writing.
#include <algorithm>

#include "entity_codecs.h"
#include "orv/dxf/tags.h"

namespace orv::dxf {

namespace {

using Type = db::Text::Type;

// ---- the fields and their codes

// A field of db::Text, by the codes that carry it (a point by its x, y and z codes).
enum class Field : std::uint8_t {
  none, thickness, position, height, value, rotation, widthFactor, oblique, style, generation,
  hAlign, alignPoint, extrusion, vAlign, prompt, tag, flags, fieldLength,
};

Field fieldOf(Type type, int code) {
  switch (code) {
    case 39: return Field::thickness;
    case 10: case 20: case 30: return Field::position;
    case 40: return Field::height;
    case 1: return Field::value;
    case 50: return Field::rotation;
    case 41: return Field::widthFactor;
    case 51: return Field::oblique;
    case 7: return Field::style;
    case 71: return Field::generation;
    case 72: return Field::hAlign;
    case 11: case 21: case 31: return Field::alignPoint;
    case 210: case 220: case 230: return Field::extrusion;
    case 73: return type == Type::text ? Field::vAlign : Field::fieldLength;
    case 74: return type == Type::text ? Field::none : Field::vAlign;
    case 2: return type == Type::text ? Field::none : Field::tag;
    case 70: return type == Type::text ? Field::none : Field::flags;
    case 3: return type == Type::attdef ? Field::prompt : Field::none;
    default: return Field::none;
  }
}

// Fields of the part after the second marker.
bool inSecondPart(Field f) {
  return f == Field::vAlign || f == Field::prompt || f == Field::tag || f == Field::flags || f == Field::fieldLength;
}

// Fields written only when they do not hold their default.
bool optional(Field f) {
  switch (f) {
    case Field::position: case Field::height: case Field::value: case Field::prompt: case Field::tag:
    case Field::flags: case Field::none:
      return false;
    default:
      return true;
  }
}

bool atDefault(const db::Text& t, Field f) {
  static const db::Text d;
  switch (f) {
    case Field::thickness: return t.thickness == d.thickness;
    case Field::rotation: return t.rotation == d.rotation;
    case Field::widthFactor: return t.widthFactor == d.widthFactor;
    case Field::oblique: return t.oblique == d.oblique;
    case Field::style: return t.style == d.style;
    case Field::generation: return t.generation == d.generation;
    case Field::hAlign: return t.hAlign == d.hAlign;
    case Field::alignPoint: return !t.hasAlignPoint;
    case Field::extrusion: return t.extrusion == d.extrusion;
    case Field::vAlign: return t.vAlign == d.vAlign;
    case Field::fieldLength: return t.fieldLength == d.fieldLength;
    default: return false;
  }
}

Take setReal(double& field, std::string_view value) {
  return parseDouble(value, field) ? Take::used : Take::badNumber;
}

Take setShort(std::int16_t& field, std::string_view value) {
  std::int64_t n = 0;
  if (!parseInt(value, n)) return Take::badNumber;
  field = static_cast<std::int16_t>(std::clamp<std::int64_t>(n, -32768, 32767));
  return Take::used;
}

Take setCoordinate(db::Point3& p, int base, int code, std::string_view value) {
  return setReal(code == base ? p.x : code == base + 10 ? p.y : p.z, value);
}

}  // namespace

// ---- reading

bool noteTextMarker(EntityBuilder& b, std::string_view marker) {
  if (b.kind != db::EntityKind::text || marker == "AcDbEntity") return false;
  if (b.textPart == 3) return true;
  if (marker == "AcDbText" && !b.sawTextMarker) {
    b.sawTextMarker = true;
    return false;
  }
  if (b.textPart == 2) return true;  // a marker after the second: kept where it stood
  b.textPart = 2;
  return false;
}

Take takeTextTag(EntityBuilder& b, int code, std::string_view value) {
  if (b.textPart == 3) return Take::notMine;
  if (code == 101) {  // an embedded object: kept as it is, to the entity's end
    b.textPart = 3;
    return Take::notMine;
  }
  db::Text& t = b.text;
  const Field f = fieldOf(t.type, code);
  Take take = Take::notMine;
  std::int16_t n = 0;
  switch (f) {
    case Field::none: return Take::notMine;
    case Field::thickness: take = setReal(t.thickness, value); break;
    case Field::position: take = setCoordinate(t.position, 10, code, value); break;
    case Field::height: take = setReal(t.height, value); break;
    case Field::value: b.textBytes[0] = value; take = Take::used; break;
    case Field::rotation: take = setReal(t.rotation, value); break;
    case Field::widthFactor: take = setReal(t.widthFactor, value); break;
    case Field::oblique: take = setReal(t.oblique, value); break;
    case Field::style: b.textBytes[1] = value; b.textStyleGiven = true; take = Take::used; break;
    case Field::generation: take = setShort(t.generation, value); break;
    case Field::hAlign:
      take = setShort(n, value);
      if (n < 0 || n > 5) b.textOutOfRange = true;
      else t.hAlign = static_cast<db::TextHAlign>(n);
      break;
    case Field::alignPoint:
      take = setCoordinate(t.alignPoint, 11, code, value);
      t.hasAlignPoint = true;
      break;
    case Field::extrusion: take = setCoordinate(t.extrusion, 210, code, value); break;
    case Field::vAlign:
      take = setShort(n, value);
      if (n < 0 || n > 3) b.textOutOfRange = true;
      else t.vAlign = static_cast<db::TextVAlign>(n);
      break;
    case Field::tag: b.textBytes[2] = value; take = Take::used; break;
    case Field::prompt: b.textBytes[3] = value; take = Take::used; break;
    case Field::flags: take = setShort(t.flags, value); break;
    case Field::fieldLength: take = setShort(t.fieldLength, value); break;
  }
  if (b.textPart == 0) b.textPart = 1;
  if (b.textPart == 2 && inSecondPart(f)) b.sawTailField = true;
  if (code == 30) b.zSeen |= 1u;
  if (code == 31) b.zSeen |= 2u;
  if (take == Take::badNumber) {
    b.unreadNumber = true;
    return Take::used;
  }
  if (optional(f)) b.optionalTags.emplace_back(code, value);
  return take;
}

std::uint8_t textSlot(const EntityBuilder& b) {
  switch (b.textPart) {
    case 0: return slot::subclassHead;
    case 1: return slot::subclass;
    case 2: return b.sawTailField ? slot::textTail : slot::textTailHead;
    default: return slot::textEmbedded;
  }
}

void finishTextStrings(EntityBuilder& b, CodePage page) {
  db::Text& t = b.text;
  t.value = decodeText(b.textBytes[0], page);
  // Style names, tags and prompts repeat from text to text: alike, they share one string.
  if (b.textStyleGiven) t.style = b.textNames.take(decodeText(b.textBytes[1], page));
  // Most texts name the default style: a flag says so rather than a kept tag, where the
  // name was given once and as the default is spelt.
  if (t.style == db::standardStyleName()) {
    int given = 0;
    for (auto [code, value] : b.optionalTags)
      if (fieldOf(t.type, code) == Field::style) given += value == t.style.view() ? 1 : 2;
    t.styleGiven = given == 1;
  }
  if (!b.textBytes[2].empty()) t.tag = b.textNames.take(decodeText(b.textBytes[2], page));
  if (!b.textBytes[3].empty()) t.prompt = b.textNames.take(decodeText(b.textBytes[3], page));
}

void keepTextGivenDefaults(const EntityBuilder& b, db::RawTags& extras) {
  const db::Text& t = b.text;
  for (auto [code, value] : b.optionalTags) {
    const Field f = fieldOf(t.type, code);
    if (!atDefault(t, f) || (f == Field::style && t.styleGiven)) continue;
    if (f != Field::style) {
      while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
      while (!value.empty() && (value.back() == ' ' || value.back() == '\t' || value.back() == '\r')) value.remove_suffix(1);
    }
    extras.add(code, value, slot::givenDefault);
  }
  // Points given without z (at 0) are written so.
  if (!(b.zSeen & 1u) && t.position.z == 0.0) extras.add(30, "", slot::noZ);
  if (t.hasAlignPoint && !(b.zSeen & 2u) && t.alignPoint.z == 0.0) extras.add(31, "", slot::noZ);
}

std::optional<std::string> finishText(EntityBuilder& b, db::Geometry& out) {
  if (b.unreadNumber) return "有数值无法读出，按原样保留";
  if (b.textOutOfRange) return "对齐方式超出范围，按原样保留";
  out = db::Boxed<db::Text>(b.text);
  if (db::validate(out) != db::Status::ok) return "坐标或尺寸不是有限数值或超出范围，按原样保留";
  return std::nullopt;
}

// ---- writing

void writeText(Emitter& out, const db::Text& t, const db::RawTags* x) {
  auto hasKept = [&](std::uint8_t s, int code) {
    if (!x || !x->hasSlot(s)) return false;
    for (db::RawTag k : *x)
      if (k.slot == s && k.code == code) return true;
    return false;
  };
  auto point = [&](int code, db::Point3 p) {
    if (p.z == 0.0 && hasKept(slot::noZ, code + 20)) out.point(code, db::Point2{p.x, p.y});
    else out.point(code, p);
  };
  // An optional field at its default: written as the file gave it, if it did.
  auto givenDefault = [&](Field f) {
    if (!x || !x->hasSlot(slot::givenDefault)) return;
    for (db::RawTag k : *x)
      if (k.slot == slot::givenDefault && fieldOf(t.type, k.code) == f) out.text(k.code, k.value);
  };
  auto field = [&](Field f) {
    if (optional(f) && atDefault(t, f)) {
      if (f == Field::style && t.styleGiven) out.text(7, t.style);
      givenDefault(f);
      return;
    }
    switch (f) {
      case Field::thickness: out.real(39, t.thickness); break;
      case Field::position: point(10, t.position); break;
      case Field::height: out.real(40, t.height); break;
      case Field::value: out.text(1, t.value); break;
      case Field::rotation: out.real(50, t.rotation); break;
      case Field::widthFactor: out.real(41, t.widthFactor); break;
      case Field::oblique: out.real(51, t.oblique); break;
      case Field::style: out.text(7, t.style); break;
      case Field::generation: out.integer(71, t.generation); break;
      case Field::hAlign: out.integer(72, static_cast<int>(t.hAlign)); break;
      case Field::alignPoint: point(11, t.alignPoint); break;
      case Field::extrusion: out.point(210, t.extrusion); break;
      case Field::vAlign: out.integer(t.type == Type::text ? 73 : 74, static_cast<int>(t.vAlign)); break;
      case Field::prompt: out.text(3, t.prompt); break;
      case Field::tag: out.text(2, t.tag); break;
      case Field::flags: out.integer(70, t.flags); break;
      case Field::fieldLength: out.integer(73, t.fieldLength); break;
      case Field::none: break;
    }
  };
  out.raw(100, "AcDbText");
  out.kept(x, slot::subclassHead);
  for (Field f : {Field::thickness, Field::position, Field::height, Field::value, Field::rotation, Field::widthFactor,
                  Field::oblique, Field::style, Field::generation, Field::hAlign, Field::alignPoint, Field::extrusion})
    field(f);
  out.kept(x, slot::subclass);
  switch (t.type) {
    case Type::text:
      out.raw(100, "AcDbText");
      out.kept(x, slot::textTailHead);
      field(Field::vAlign);
      break;
    case Type::attrib:
      out.raw(100, "AcDbAttribute");
      out.kept(x, slot::textTailHead);
      for (Field f : {Field::tag, Field::flags, Field::fieldLength, Field::vAlign}) field(f);
      break;
    case Type::attdef:
      out.raw(100, "AcDbAttributeDefinition");
      out.kept(x, slot::textTailHead);
      for (Field f : {Field::prompt, Field::tag, Field::flags, Field::fieldLength, Field::vAlign}) field(f);
      break;
  }
  out.kept(x, slot::textTail);
  out.kept(x, slot::textEmbedded);
}

}  // namespace orv::dxf
