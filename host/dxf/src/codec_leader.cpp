// LEADER's group codes, read and written through its one description (orv/db/leader.h).
//
// A leader read from a file keeps the tags of its own part (its AcDbLeader marker
// included) in their order beside it, so that it is written back as it was: each field's
// tag where the file had it, as the file spelled it while the value is the same; each
// vertex's tags in the place of the vertex read there (vertices added since go after the
// last one); a field the file did not give that now holds no default goes at the end;
// codes no field holds go back unchanged. A leader made here, or read without its marker,
// is written in the order of the description.
#include <cmath>
#include <vector>

#include "entity_codecs.h"
#include "orv/dxf/tags.h"

namespace orv::dxf {

namespace {

using db::Leader;
using db::LeaderField;
using db::LeaderFieldDescription;

constexpr std::string_view kPart = "AcDbLeader";
constexpr std::string_view kUnread = "有数值无法读出，按原样保留";

bool atDefault(const Leader& l, const LeaderFieldDescription& f) {
  static const Leader fallback;
  switch (f.type) {
    case LeaderField::text: return (l.*f.text).empty();
    case LeaderField::real: return l.*f.real == fallback.*f.real;
    case LeaderField::int16: return l.*f.int16 == fallback.*f.int16;
    case LeaderField::point: return l.*f.point == fallback.*f.point;
    case LeaderField::handle: return l.annotation == 0;
  }
  return true;
}

double coordinate(db::Point3 p, int code, int base) { return code == base ? p.x : code == base + 10 ? p.y : p.z; }

void writeField(Emitter& out, const Leader& l, const LeaderFieldDescription& f) {
  switch (f.type) {
    case LeaderField::text: out.text(f.code, l.*f.text); break;
    case LeaderField::real: out.real(f.code, l.*f.real); break;
    case LeaderField::int16: out.integer(f.code, l.*f.int16); break;
    case LeaderField::point: out.point(f.code, l.*f.point); break;
    case LeaderField::handle: out.handle(f.code, l.annotation); break;
  }
}

// A number as the file spelled it while it is unchanged, else anew.
void writeNumber(Emitter& out, int code, std::string_view was, double now, bool integer) {
  double read = 0.0;
  if (parseDouble(was, read) && read == now) {
    out.text(code, was);
    return;
  }
  if (integer) out.integer(code, static_cast<long long>(now));
  else out.real(code, now);
}

void writeFieldTag(Emitter& out, const Leader& l, const LeaderFieldDescription& f, db::RawTag t) {
  switch (f.type) {
    case LeaderField::text: out.text(t.code, l.*f.text); return;
    case LeaderField::handle: {
      if (l.annotation == 0) return;  // none now (a copy made without its text)
      std::uint64_t read = 0;
      if (parseHandle(t.value, read) && read == l.annotation) out.text(t.code, t.value);
      else out.handle(t.code, l.annotation);
      return;
    }
    case LeaderField::real: return writeNumber(out, t.code, t.value, l.*f.real, false);
    case LeaderField::int16: return writeNumber(out, t.code, t.value, l.*f.int16, true);
    case LeaderField::point: return writeNumber(out, t.code, t.value, coordinate(l.*f.point, t.code, f.code), false);
  }
}

std::size_t indexOf(const LeaderFieldDescription& f) {
  return static_cast<std::size_t>(&f - db::leaderFields().data());
}

void writeVertex(Emitter& out, db::Point3 p) { out.point(db::kLeaderVertexCode, p); }

void writeMade(Emitter& out, const Leader& l) {
  out.raw(100, kPart);
  for (const LeaderFieldDescription& f : db::leaderFields()) {
    if (f.always || !atDefault(l, f)) writeField(out, l, f);
    if (f.code == 41) {
      out.integer(db::kLeaderVertexCountCode, static_cast<long long>(l.vertices.size()));
      for (db::Point3 v : l.vertices) writeVertex(out, v);
    }
  }
}

}  // namespace

std::optional<std::string> finishLeader(const db::RawTags& extras, db::Geometry& out) {
  Leader l;
  std::int64_t declared = -1;
  for (db::RawTag t : extras) {
    if (t.slot != slot::subclass || t.code == 100) continue;
    double v = 0.0;
    if (t.code == db::kLeaderVertexCode || t.code == db::kLeaderVertexCode + 10 || t.code == db::kLeaderVertexCode + 20) {
      if (!parseDouble(t.value, v)) return std::string(kUnread);
      if (t.code == db::kLeaderVertexCode) l.vertices.push_back({v, 0.0, 0.0});
      else if (l.vertices.empty()) return "顶点坐标缺少 X 值，按原样保留";
      else (t.code == db::kLeaderVertexCode + 10 ? l.vertices.back().y : l.vertices.back().z) = v;
      continue;
    }
    if (t.code == db::kLeaderVertexCountCode) {
      if (!parseInt(t.value, declared)) return std::string(kUnread);
      continue;
    }
    const LeaderFieldDescription* f = db::leaderFieldOf(t.code);
    if (!f) continue;
    std::int64_t n = 0;
    switch (f->type) {
      case LeaderField::text: l.*f->text = std::string(t.value); break;
      case LeaderField::real:
        if (!parseDouble(t.value, v)) return std::string(kUnread);
        l.*f->real = v;
        break;
      case LeaderField::int16:
        if (!parseInt(t.value, n) || n < -32768 || n > 32767) return std::string(kUnread);
        l.*f->int16 = static_cast<std::int16_t>(n);
        break;
      case LeaderField::handle: {
        std::uint64_t h = 0;
        if (!parseHandle(t.value, h)) return std::string(kUnread);
        l.annotation = h;
        break;
      }
      case LeaderField::point: {
        if (!parseDouble(t.value, v)) return std::string(kUnread);
        db::Point3& p = l.*f->point;
        (t.code == f->code ? p.x : t.code == f->code + 10 ? p.y : p.z) = v;
        break;
      }
    }
  }
  if (declared >= 0 && static_cast<std::size_t>(declared) != l.vertices.size())
    return "声明了 " + std::to_string(declared) + " 个顶点，实有 " + std::to_string(l.vertices.size()) +
           " 个，按原样保留";
  if (l.vertices.size() < 2) return "顶点少于两个，按原样保留";
  out = db::Boxed<Leader>(std::move(l));
  if (db::validate(out) != db::Status::ok) return "坐标或尺寸不是有限数值或超出范围，按原样保留";
  return std::nullopt;
}

void writeLeader(Emitter& out, const Leader& l, const db::RawTags* x) {
  bool marked = false;
  if (x)
    for (db::RawTag t : *x) marked = marked || (t.slot == slot::subclass && t.code == 100 && t.value == kPart);
  if (!marked) {
    writeMade(out, l);
    if (x)
      for (db::RawTag t : *x)
        if (t.slot == slot::subclass && t.code != 100 && t.code != db::kLeaderVertexCountCode &&
            t.code != db::kLeaderVertexCode && t.code != db::kLeaderVertexCode + 10 &&
            t.code != db::kLeaderVertexCode + 20 && !db::leaderFieldOf(t.code))
          out.text(t.code, t.value);
    return;
  }
  std::vector<db::RawTag> own;  // the tags of its own part, in order
  for (db::RawTag t : *x)
    if (t.slot == slot::subclass) own.push_back(t);
  // The kept vertex tags: where the last one stands (vertices added go after it).
  std::size_t lastVertexTag = own.size(), keptVertices = 0;
  for (std::size_t i = 0; i < own.size(); ++i) {
    if (own[i].code == db::kLeaderVertexCode) ++keptVertices;
    if (own[i].code == db::kLeaderVertexCode || own[i].code == db::kLeaderVertexCode + 10 ||
        own[i].code == db::kLeaderVertexCode + 20)
      lastVertexTag = i;
  }
  std::uint32_t written = 0;  // per field
  std::size_t vertex = 0;     // the vertex being written, from 1 once its 10 is
  bool zWritten = true;
  auto endVertex = [&] {
    if (!zWritten && vertex >= 1 && vertex <= l.vertices.size() && l.vertices[vertex - 1].z != 0.0)
      out.real(db::kLeaderVertexCode + 20, l.vertices[vertex - 1].z);
    zWritten = true;
  };
  for (std::size_t i = 0; i < own.size(); ++i) {
    const db::RawTag t = own[i];
    const int c = t.code;
    const bool vertexTag = c == db::kLeaderVertexCode || c == db::kLeaderVertexCode + 10 || c == db::kLeaderVertexCode + 20;
    if (!vertexTag || c == db::kLeaderVertexCode) endVertex();
    if (vertexTag) {
      if (c == db::kLeaderVertexCode) ++vertex, zWritten = false;
      if (vertex >= 1 && vertex <= l.vertices.size()) {
        writeNumber(out, c, t.value, coordinate(l.vertices[vertex - 1], c, db::kLeaderVertexCode), false);
        if (c == db::kLeaderVertexCode + 20) zWritten = true;
      }
      if (i == lastVertexTag) {
        endVertex();
        for (std::size_t k = keptVertices; k < l.vertices.size(); ++k) writeVertex(out, l.vertices[k]);
      }
      continue;
    }
    if (c == db::kLeaderVertexCountCode) {
      writeNumber(out, c, t.value, static_cast<double>(l.vertices.size()), true);
      continue;
    }
    const LeaderFieldDescription* f = c == 100 ? nullptr : db::leaderFieldOf(c);
    if (!f) {
      out.text(c, t.value);
      continue;
    }
    writeFieldTag(out, l, *f, t);
    written |= 1u << indexOf(*f);
  }
  endVertex();
  // No vertex tag kept (a marker but no vertices read): the vertices go at the end.
  if (lastVertexTag == own.size())
    for (db::Point3 v : l.vertices) writeVertex(out, v);
  for (const LeaderFieldDescription& f : db::leaderFields())
    if (!(written & (1u << indexOf(f))) && !atDefault(l, f)) writeField(out, l, f);
}

}  // namespace orv::dxf
