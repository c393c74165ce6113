// DIMENSION's group codes, read and written through its one description
// (orv/db/dimension.h).
//
// A dimension read from a file keeps the tags of its own parts (AcDbDimension and the
// parts of its type, markers included) in their order beside it, so that it is written
// back as it was: each field's tag is written where the file had it, as the file spelled
// it while the value is the same, else anew; a field the file did not give that now holds
// no default goes at the end of its part; codes no field holds go back unchanged. A
// dimension made here, or read from a file without subclass markers (R12), is written in
// the order of the description, with its markers.
#include <cmath>

#include "entity_codecs.h"
#include "orv/dxf/tags.h"

namespace orv::dxf {

namespace {

using db::Dimension;
using db::DimensionField;
using db::DimensionFieldDescription;

constexpr std::string_view kBasePart = "AcDbDimension";

// Which part of a dimension a field belongs to: its base part, or that of its type (the
// first marker after the base's).
bool inBase(const DimensionFieldDescription& f) { return f.subclass == kBasePart; }

// The own fields a dimension of a type writes even at their default.
bool ownFieldUsed(const Dimension& d, int code) {
  int codes[5];
  const int n = d.definitionPointCodes(codes);
  for (int i = 0; i < n; ++i)
    if (codes[i] == code) return true;
  if (code == 50) return d.type() == Dimension::Type::rotated;
  if (code == 40) return d.type() == Dimension::Type::radius || d.type() == Dimension::Type::diameter;
  return false;
}

bool atDefault(const Dimension& d, const DimensionFieldDescription& f) {
  static const Dimension fallback;
  switch (f.type) {
    case DimensionField::text: return (d.*f.text).empty();
    case DimensionField::real: return d.*f.real == fallback.*f.real;
    case DimensionField::int16: return d.*f.int16 == fallback.*f.int16;
    case DimensionField::point: return d.*f.point == fallback.*f.point;
  }
  return true;
}

// The number a code of a field stands for (a point's x, y or z).
double numberOf(const Dimension& d, const DimensionFieldDescription& f, int code) {
  switch (f.type) {
    case DimensionField::real: return d.*f.real;
    case DimensionField::int16: return d.*f.int16;
    case DimensionField::point: {
      const db::Point3 p = d.*f.point;
      return code == f.code ? p.x : code == f.code + 10 ? p.y : p.z;
    }
    case DimensionField::text: break;
  }
  return 0.0;
}

void writeField(Emitter& out, const Dimension& d, const DimensionFieldDescription& f) {
  switch (f.type) {
    case DimensionField::text: out.text(f.code, (d.*f.text)); break;
    case DimensionField::real: out.real(f.code, d.*f.real); break;
    case DimensionField::int16: out.integer(f.code, d.*f.int16); break;
    case DimensionField::point: out.point(f.code, d.*f.point); break;
  }
}

// One tag of a field, as read while its value is unchanged.
void writeFieldTag(Emitter& out, const Dimension& d, const DimensionFieldDescription& f, db::RawTag t) {
  if (f.type == DimensionField::text) {
    out.text(t.code, (d.*f.text));
    return;
  }
  const double now = numberOf(d, f, t.code);
  double was = 0.0;
  if (parseDouble(t.value, was) && was == now) {
    out.text(t.code, t.value);
    return;
  }
  if (f.type == DimensionField::int16) out.integer(t.code, static_cast<long long>(now));
  else out.real(t.code, now);
}

std::size_t indexOf(const DimensionFieldDescription& f) {
  return static_cast<std::size_t>(&f - db::dimensionFields().data());
}

void writeMade(Emitter& out, const Dimension& d) {
  out.raw(100, kBasePart);
  for (const DimensionFieldDescription& f : db::dimensionFields()) {
    if (!inBase(f)) continue;
    const bool always = f.code == 2 || f.code == 10 || f.code == 11 || f.code == 70;
    if (always || !atDefault(d, f)) writeField(out, d, f);
  }
  const auto parts = db::dimensionSubclasses(d.type());
  out.raw(100, parts[0]);
  for (const DimensionFieldDescription& f : db::dimensionFields())
    if (!inBase(f) && (ownFieldUsed(d, f.code) || !atDefault(d, f))) writeField(out, d, f);
  for (std::size_t i = 1; i < parts.size(); ++i) out.raw(100, parts[i]);
}

}  // namespace

std::optional<std::string> finishDimension(const db::RawTags& extras, db::Geometry& out) {
  Dimension d;
  for (db::RawTag t : extras) {
    if (t.slot != slot::subclass) continue;
    const DimensionFieldDescription* f = db::dimensionFieldOf(t.code);
    if (!f) continue;
    double v = 0.0;
    std::int64_t n = 0;
    switch (f->type) {
      case DimensionField::text: (d.*f->text) = std::string(t.value); break;
      case DimensionField::real:
        if (!parseDouble(t.value, v)) return "有数值无法读出，按原样保留";
        d.*f->real = v;
        break;
      case DimensionField::int16:
        if (!parseInt(t.value, n) || n < -32768 || n > 32767) return "有数值无法读出，按原样保留";
        d.*f->int16 = static_cast<std::int16_t>(n);
        break;
      case DimensionField::point: {
        if (!parseDouble(t.value, v)) return "有数值无法读出，按原样保留";
        db::Point3& p = d.*f->point;
        (t.code == f->code ? p.x : t.code == f->code + 10 ? p.y : p.z) = v;
        break;
      }
    }
  }
  out = db::Boxed<Dimension>(std::move(d));
  if (db::validate(out) != db::Status::ok) return "坐标或尺寸不是有限数值或超出范围，按原样保留";
  return std::nullopt;
}

void writeDimension(Emitter& out, const Dimension& d, const db::RawTags* x) {
  bool marked = false;  // a file of R12 gives no subclass markers: the parts are written anew
  if (x)
    for (db::RawTag t : *x) marked = marked || (t.slot == slot::subclass && t.code == 100);
  if (!marked) {
    writeMade(out, d);
    if (x)
      for (db::RawTag t : *x)
        if (t.slot == slot::subclass && !db::dimensionFieldOf(t.code)) out.text(t.code, t.value);
    return;
  }
  const auto fields = db::dimensionFields();
  std::uint32_t written = 0;  // per field
  const std::string_view own = db::dimensionSubclasses(d.type())[0];
  enum class Part { none, base, own, other } part = Part::none;
  // The fields of a part the file did not give that now hold a value.
  auto flush = [&](bool base) {
    for (const DimensionFieldDescription& f : fields)
      if (inBase(f) == base && !(written & (1u << indexOf(f))) && !atDefault(d, f)) {
        writeField(out, d, f);
        written |= 1u << indexOf(f);
      }
  };
  for (db::RawTag t : *x) {
    if (t.slot != slot::subclass) continue;
    if (t.code == 100) {
      if (part == Part::base) flush(true);
      if (part == Part::own) flush(false);
      part = t.value == kBasePart ? Part::base : t.value == own ? Part::own : Part::other;
      out.text(t.code, t.value);
      continue;
    }
    const DimensionFieldDescription* f = db::dimensionFieldOf(t.code);
    if (!f) {
      out.text(t.code, t.value);
      continue;
    }
    writeFieldTag(out, d, *f, t);
    written |= 1u << indexOf(*f);
  }
  flush(true);
  flush(false);
}

}  // namespace orv::dxf
