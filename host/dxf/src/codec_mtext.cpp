// MTEXT's group codes, read and written through its one description (orv/db/mtext_kind.h).
//
// An MTEXT read from a file keeps the tags of its own part (from its AcDbMText marker on,
// markers included) in their order beside it, so that it is written back as it was: each
// field's tag where the file had it, as the file spelled it while the value is the same,
// else anew; a field the file did not give that now holds no default at the end of the
// part. The content is held once, in the kind; beside it stand the places and lengths of
// the chunks (3 ... 3, then 1) it was read in, so that it is cut there again while it is
// unchanged, else anew into pieces of 250 bytes. Column data (75 and the codes after it)
// and an embedded object (101 to the entity's end) are kept as read. An MTEXT made here is
// written in the order of the description.
#include <cstdint>
#include <string>

#include "entity_codecs.h"
#include "orv/dxf/tags.h"

namespace orv::dxf {

namespace {

using db::MText;
using db::MTextFieldDescription;
using db::MTextFieldType;

constexpr std::size_t kChunk = 250;

std::size_t indexOf(const MTextFieldDescription& f) {
  return static_cast<std::size_t>(&f - db::mtextFields().data());
}

bool atDefault(const MText& m, const MTextFieldDescription& f) {
  static const MText fallback;
  if (f.code == 11) return !m.hasXDirection;
  switch (f.type) {
    case MTextFieldType::real: return m.*f.real == fallback.*f.real;
    case MTextFieldType::int16: return m.*f.int16 == fallback.*f.int16;
    case MTextFieldType::int32: return m.*f.int32 == fallback.*f.int32;
    case MTextFieldType::point: return m.*f.point == fallback.*f.point;
    case MTextFieldType::text: return m.*f.text == fallback.*f.text;
    case MTextFieldType::attachment: return m.attachment == fallback.attachment;
  }
  return true;
}

// The number a code of a field stands for (a point's x, y or z).
double numberOf(const MText& m, const MTextFieldDescription& f, int code) {
  switch (f.type) {
    case MTextFieldType::real: return m.*f.real;
    case MTextFieldType::int16: return m.*f.int16;
    case MTextFieldType::int32: return m.*f.int32;
    case MTextFieldType::attachment: return static_cast<int>(m.attachment);
    case MTextFieldType::point: {
      const db::Point3 p = m.*f.point;
      return code == f.code ? p.x : code == f.code + 10 ? p.y : p.z;
    }
    case MTextFieldType::text: break;
  }
  return 0.0;
}

bool isInteger(const MTextFieldDescription& f) {
  return f.type == MTextFieldType::int16 || f.type == MTextFieldType::int32 || f.type == MTextFieldType::attachment;
}

void writeField(Emitter& out, const MText& m, const MTextFieldDescription& f) {
  if (f.type == MTextFieldType::text) out.text(f.code, m.*f.text);
  else if (f.type == MTextFieldType::point) out.point(f.code, m.*f.point);
  else if (isInteger(f)) out.integer(f.code, static_cast<long long>(numberOf(m, f, f.code)));
  else out.real(f.code, numberOf(m, f, f.code));
}

// One tag of a field, as read while its value is unchanged.
void writeFieldTag(Emitter& out, const MText& m, const MTextFieldDescription& f, db::RawTag t) {
  if (f.type == MTextFieldType::text) {
    out.text(t.code, m.*f.text);
    return;
  }
  const double now = numberOf(m, f, t.code);
  double was = 0.0;
  if (parseDouble(t.value, was) && was == now) {
    out.text(t.code, t.value);
    return;
  }
  if (isInteger(f)) out.integer(t.code, static_cast<long long>(now));
  else out.real(t.code, now);
}

// The content anew: pieces of at most 250 bytes (3), the last one (1).
void writeContent(Emitter& out, const std::string& content) {
  std::size_t at = 0;
  while (content.size() - at > kChunk) {
    const std::size_t cut = mtextChunkCut(content, at + kChunk, at);
    out.text(3, std::string_view(content).substr(at, cut - at));
    at = cut;
  }
  out.text(1, std::string_view(content).substr(at));
}

void writeMade(Emitter& out, const MText& m) {
  out.raw(100, "AcDbMText");
  for (const MTextFieldDescription& f : db::mtextFields()) {
    if (f.always || !atDefault(m, f)) writeField(out, m, f);
    if (f.code == 72) writeContent(out, m.content);
  }
}

Take setReal(double& v, std::string_view s) { return parseDouble(s, v) ? Take::used : Take::badNumber; }

}  // namespace

std::size_t mtextChunkCut(const std::string& s, std::size_t limit, std::size_t from) {
  std::size_t cut = limit;
  while (cut > from + 1 && (static_cast<unsigned char>(s[cut]) & 0xC0) == 0x80) --cut;
  // An escape begins within the seven bytes before the cut: cut before it.
  for (std::size_t back = 1; back <= 7 && cut - back > from; ++back)
    if (s[cut - back] == '\\') {
      cut -= back;
      break;
    }
  return cut > from ? cut : limit;
}

std::optional<std::string> finishMText(const db::RawTags& extras, std::string content, db::Geometry& out) {
  MText m;
  bool embedded = false, columns = false;
  for (db::RawTag t : extras) {
    if (t.slot != slot::subclass) continue;
    if (t.code == 101) embedded = true;
    if (t.code == 75) columns = true;
    if (embedded || (columns && t.code == 50)) continue;
    const MTextFieldDescription* f = db::mtextFieldOf(t.code);
    if (!f) continue;
    double v = 0.0;
    std::int64_t n = 0;
    if (f->type == MTextFieldType::text) {
      m.*f->text = std::string(t.value);
      continue;
    }
    if (f->type == MTextFieldType::real || f->type == MTextFieldType::point) {
      if (setReal(v, t.value) != Take::used) return "有数值无法读出，按原样保留";
      if (f->type == MTextFieldType::real) {
        m.*f->real = v;
      } else {
        db::Point3& p = m.*f->point;
        (t.code == f->code ? p.x : t.code == f->code + 10 ? p.y : p.z) = v;
        if (f->code == 11) m.hasXDirection = true;
      }
      continue;
    }
    if (!parseInt(t.value, n)) return "有数值无法读出，按原样保留";
    switch (f->type) {
      case MTextFieldType::int16:
        if (n < -32768 || n > 32767) return "有数值超出范围，按原样保留";
        m.*f->int16 = static_cast<std::int16_t>(n);
        break;
      case MTextFieldType::int32:
        if (n < INT32_MIN || n > INT32_MAX) return "有数值超出范围，按原样保留";
        m.*f->int32 = static_cast<std::int32_t>(n);
        break;
      case MTextFieldType::attachment:
        if (n < 1 || n > 9) return "附着点超出范围，按原样保留";
        m.attachment = static_cast<db::MTextAttachment>(n);
        break;
      default: break;
    }
  }
  m.content = std::move(content);
  out = db::Boxed<MText>(std::move(m));
  if (db::validate(out) != db::Status::ok) return "坐标或尺寸不是有限数值或超出范围，按原样保留";
  return std::nullopt;
}

void writeMText(Emitter& out, const MText& m, const db::RawTags* x) {
  bool read = false;
  std::size_t chunked = 0;  // the content's length as read, by its chunks
  if (x)
    for (db::RawTag t : *x) {
      if (t.slot == slot::subclass) read = true;
      if (t.slot == slot::mtextChunk) {
        std::int64_t n = 0;
        parseInt(t.value, n);
        chunked += static_cast<std::size_t>(n);
      }
    }
  if (!read) {
    writeMade(out, m);
    return;
  }
  const bool sameChunks = chunked == m.content.size() && x->hasSlot(slot::mtextChunk);
  std::uint32_t written = 0;  // per field
  bool contentWritten = false, embedded = false, columns = false;
  std::size_t at = 0;  // in the content, while it is written as read
  auto flush = [&] {
    for (const MTextFieldDescription& f : db::mtextFields())
      if (!(written & (1u << indexOf(f))) && !atDefault(m, f)) {
        writeField(out, m, f);
        written |= 1u << indexOf(f);
      }
    if (!contentWritten && !m.content.empty()) writeContent(out, m.content);
    contentWritten = true;
  };
  for (db::RawTag t : *x) {
    if (t.slot == slot::mtextChunk) {
      if (sameChunks) {
        std::int64_t n = 0;
        parseInt(t.value, n);
        out.text(t.code, std::string_view(m.content).substr(at, static_cast<std::size_t>(n)));
        at += static_cast<std::size_t>(n);
      } else if (!contentWritten) {
        writeContent(out, m.content);
      }
      contentWritten = true;
      continue;
    }
    if (t.slot != slot::subclass) continue;
    if (t.code == 101 && !embedded) {
      flush();
      embedded = true;
    }
    if (t.code == 75) columns = true;
    const MTextFieldDescription* f = embedded || (columns && t.code == 50) ? nullptr : db::mtextFieldOf(t.code);
    if (!f) {
      out.text(t.code, t.value);
      continue;
    }
    writeFieldTag(out, m, *f, t);
    written |= 1u << indexOf(*f);
  }
  if (!embedded) flush();
}

}  // namespace orv::dxf
