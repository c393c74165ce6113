// HATCH's own tags, read and written by one walk over db::Hatch.
//
// Contents: the tag walk (the order a hatch's tags are written in); the writer (the walk
// into an emitter); the reader (tags into the struct, then the walk compared with what
// was read, so that only a hatch written back as it was read is modeled).
#include "codec_hatch.h"

#include <algorithm>
#include <cstdint>

#include "orv/dxf/tags.h"

namespace orv::dxf {

namespace {

// One tag of the walk.
struct Item {
  enum class Type : std::uint8_t { real, integer, text, handle };
  int code;
  Type type;
  double real = 0.0;
  long long integer = 0;
  std::string_view text;
};

template <class F>
void realTag(F& f, int code, double v) { f(Item{code, Item::Type::real, v, 0, {}}); }
template <class F>
void intTag(F& f, int code, long long v) { f(Item{code, Item::Type::integer, 0.0, v, {}}); }
template <class F>
void point2(F& f, int code, db::Point2 p) {
  realTag(f, code, p.x);
  realTag(f, code + 10, p.y);
}

template <class F>
void walkEdge(const db::HatchEdge& e, F& f) {
  using T = db::HatchEdge::Type;
  intTag(f, 72, static_cast<int>(e.type));
  switch (e.type) {
    case T::line:
      point2(f, 10, e.start);
      point2(f, 11, e.end);
      return;
    case T::arc: case T::ellipse:
      point2(f, 10, e.center);
      if (e.type == T::ellipse) point2(f, 11, e.majorAxis);
      realTag(f, 40, e.type == T::arc ? e.radius : e.ratio);
      realTag(f, 50, e.startAngle);
      realTag(f, 51, e.endAngle);
      intTag(f, 73, e.counterClockwise ? 1 : 0);
      return;
    case T::spline:
      intTag(f, 94, e.degree);
      intTag(f, 73, e.rational ? 1 : 0);
      intTag(f, 74, e.periodic ? 1 : 0);
      intTag(f, 95, static_cast<long long>(e.knots.size()));
      intTag(f, 96, static_cast<long long>(e.controlPoints.size()));
      for (double k : e.knots) realTag(f, 40, k);
      for (std::size_t i = 0; i < e.controlPoints.size(); ++i) {
        point2(f, 10, e.controlPoints[i]);
        if (e.rational) realTag(f, 42, i < e.weights.size() ? e.weights[i] : 1.0);
      }
      if (!e.hasFitData) return;
      intTag(f, 97, static_cast<long long>(e.fitPoints.size()));
      for (db::Point2 p : e.fitPoints) point2(f, 11, p);
      if (e.startTangent) point2(f, 12, *e.startTangent);
      if (e.endTangent) point2(f, 13, *e.endTangent);
      return;
  }
}

template <class F>
void walkPath(const db::HatchPath& p, F& f) {
  intTag(f, 92, p.flags);
  if (p.isPolyline()) {
    intTag(f, 72, p.bulges.empty() ? 0 : 1);
    intTag(f, 73, p.closed ? 1 : 0);
    intTag(f, 93, static_cast<long long>(p.vertices.size()));
    for (std::size_t i = 0; i < p.vertices.size(); ++i) {
      point2(f, 10, p.vertices[i]);
      if (!p.bulges.empty()) realTag(f, 42, p.bulges[i]);
    }
  } else {
    intTag(f, 93, static_cast<long long>(p.edges.size()));
    for (const db::HatchEdge& e : p.edges) walkEdge(e, f);
  }
  intTag(f, 97, static_cast<long long>(p.sources.size()));
  for (db::Handle h : p.sources) f(Item{330, Item::Type::handle, 0.0, static_cast<long long>(h), {}});
}

// Every tag of the hatch's own part, in the order it is written.
template <class F>
void walkHatch(const db::Hatch& h, F&& f) {
  realTag(f, 10, h.elevation.x);
  realTag(f, 20, h.elevation.y);
  realTag(f, 30, h.elevation.z);
  realTag(f, 210, h.extrusion.x);
  realTag(f, 220, h.extrusion.y);
  realTag(f, 230, h.extrusion.z);
  f(Item{2, Item::Type::text, 0.0, 0, h.pattern});
  intTag(f, 70, h.solid ? 1 : 0);
  intTag(f, 71, h.associative ? 1 : 0);
  intTag(f, 91, static_cast<long long>(h.paths.size()));
  for (const db::HatchPath& p : h.paths) walkPath(p, f);
  intTag(f, 75, static_cast<int>(h.style));
  intTag(f, 76, static_cast<int>(h.patternType));
  if (h.hasPatternValues) {
    realTag(f, 52, h.angle);
    realTag(f, 41, h.scale);
    intTag(f, 77, h.isDouble ? 1 : 0);
  }
  if (h.hasPatternLines) {
    intTag(f, 78, static_cast<long long>(h.lines.size()));
    for (const db::PatternLine& l : h.lines) {
      realTag(f, 53, l.angle);
      realTag(f, 43, l.base.x);
      realTag(f, 44, l.base.y);
      realTag(f, 45, l.offset.x);
      realTag(f, 46, l.offset.y);
      intTag(f, 79, static_cast<long long>(l.dashes.size()));
      for (double d : l.dashes) realTag(f, 49, d);
    }
  }
  if (h.pixelSize) realTag(f, 47, *h.pixelSize);
  intTag(f, 98, static_cast<long long>(h.seeds.size()));
  for (db::Point2 s : h.seeds) point2(f, 10, s);
  for (db::RawTag t : h.tail) f(Item{t.code, Item::Type::text, 0.0, 0, t.value});
}

// ---- reading

constexpr std::size_t kMostItems = 1'000'000;  // paths, edges, vertices, lines: a bound for damage

// The tags with a cursor. A value that is no number marks the read bad.
class Cursor {
 public:
  explicit Cursor(std::span<const HatchTag> tags) : tags_(tags) {}
  bool done() const { return at_ >= tags_.size(); }
  int code() const { return done() ? -1 : tags_[at_].first; }
  int codeAfter() const { return at_ + 1 < tags_.size() ? tags_[at_ + 1].first : -1; }
  std::size_t at() const { return at_; }
  const std::string& value() const { return tags_[at_].second; }
  void next() { ++at_; }
  double real() {
    double d = 0.0;
    if (done() || !parseDouble(value(), d)) bad = true;
    if (!done()) next();
    return d;
  }
  long long integer() {
    std::int64_t n = 0;
    if (done() || !parseInt(value(), n)) bad = true;
    if (!done()) next();
    return n;
  }
  std::size_t count() {
    const long long n = integer();
    if (n < 0 || static_cast<unsigned long long>(n) > kMostItems) bad = true;
    return n < 0 ? 0 : static_cast<std::size_t>(std::min<long long>(n, kMostItems));
  }
  // A real given with the code expected, or a mark that the tags are not as written.
  double expect(int code) {
    if (this->code() != code) {
      bad = true;
      return 0.0;
    }
    return real();
  }
  db::Point2 point(int code) {
    const double x = expect(code);
    return {x, expect(code + 10)};
  }
  bool bad = false;

 private:
  std::span<const HatchTag> tags_;
  std::size_t at_ = 0;
};

void readSpline(Cursor& c, db::HatchEdge& e) {
  if (c.code() == 94) e.degree = static_cast<int>(std::clamp<long long>(c.integer(), 0, 99));
  if (c.code() == 73) e.rational = c.integer() != 0;
  if (c.code() == 74) e.periodic = c.integer() != 0;
  std::size_t knots = 0, controls = 0;
  if (c.code() == 95) knots = c.count();
  if (c.code() == 96) controls = c.count();
  while (c.code() == 40 && e.knots.size() < knots && !c.bad) e.knots.push_back(c.real());
  while (c.code() == 10 && e.controlPoints.size() < controls && !c.bad) {
    e.controlPoints.push_back(c.point(10));
    if (c.code() == 42) e.weights.push_back(c.real());
  }
  // Newer files count the fit points (97) and give the end tangents; the path's own 97
  // (its source objects) follows the last edge and is followed by handles, another path
  // or the rest of the hatch.
  if (c.code() == 97 && (c.codeAfter() == 11 || c.codeAfter() == 12 || c.codeAfter() == 97)) {
    e.hasFitData = true;
    const std::size_t fits = c.count();
    while (c.code() == 11 && e.fitPoints.size() < fits && !c.bad) e.fitPoints.push_back(c.point(11));
    if (c.code() == 12) e.startTangent = c.point(12);
    if (c.code() == 13) e.endTangent = c.point(13);
  }
}

void readEdge(Cursor& c, db::HatchEdge& e) {
  using T = db::HatchEdge::Type;
  const long long type = c.integer();
  if (type < 1 || type > 4) {
    c.bad = true;
    return;
  }
  e.type = static_cast<T>(type);
  switch (e.type) {
    case T::line:
      e.start = c.point(10);
      e.end = c.point(11);
      return;
    case T::arc: case T::ellipse:
      e.center = c.point(10);
      if (e.type == T::ellipse) e.majorAxis = c.point(11);
      (e.type == T::arc ? e.radius : e.ratio) = c.expect(40);
      e.startAngle = c.expect(50);
      e.endAngle = c.expect(51);
      if (c.code() == 73) e.counterClockwise = c.integer() != 0;
      else c.bad = true;
      return;
    case T::spline: readSpline(c, e); return;
  }
}

void readPath(Cursor& c, db::HatchPath& p) {
  p.flags = static_cast<std::uint32_t>(c.integer());
  if (p.isPolyline()) {
    bool bulges = false;
    if (c.code() == 72) bulges = c.integer() != 0;
    if (c.code() == 73) p.closed = c.integer() != 0;
    const std::size_t n = c.code() == 93 ? c.count() : 0;
    while (c.code() == 10 && p.vertices.size() < n && !c.bad) {
      p.vertices.push_back(c.point(10));
      if (bulges) p.bulges.push_back(c.code() == 42 ? c.real() : (c.bad = true, 0.0));
    }
  } else {
    const std::size_t n = c.code() == 93 ? c.count() : 0;
    while (c.code() == 72 && p.edges.size() < n && !c.bad) readEdge(c, p.edges.emplace_back());
  }
  if (c.code() == 97) {
    const std::size_t n = c.count();
    while (c.code() == 330 && p.sources.size() < n && !c.bad) {
      db::Handle h = 0;
      if (!parseHandle(c.value(), h)) c.bad = true;
      p.sources.push_back(h);
      c.next();
    }
  }
}

// True when the walk of the hatch gives back exactly the tags read.
bool writesBackAsRead(const db::Hatch& h, std::span<const HatchTag> tags) {
  std::size_t at = 0;
  bool same = true;
  walkHatch(h, [&](const Item& item) {
    if (!same) return;
    if (at >= tags.size() || tags[at].first != item.code) {
      same = false;
      return;
    }
    const std::string& v = tags[at++].second;
    switch (item.type) {
      case Item::Type::real: {
        double d = 0.0;
        same = parseDouble(v, d) && d == item.real;
        break;
      }
      case Item::Type::integer: {
        std::int64_t n = 0;
        same = parseInt(v, n) && n == item.integer;
        break;
      }
      case Item::Type::handle: {
        std::uint64_t n = 0;
        same = parseHandle(v, n) && n == static_cast<std::uint64_t>(item.integer);
        break;
      }
      case Item::Type::text: same = v == item.text; break;
    }
  });
  return same && at == tags.size();
}

}  // namespace

std::optional<db::Hatch> decodeHatch(std::span<const HatchTag> tags, std::string& why) {
  Cursor c(tags);
  db::Hatch h;
  h.solid = false;
  h.pattern.clear();
  while (!c.done() && c.code() != 91 && !c.bad) {
    switch (c.code()) {
      case 10: h.elevation.x = c.real(); break;
      case 20: h.elevation.y = c.real(); break;
      case 30: h.elevation.z = c.real(); break;
      case 210: h.extrusion.x = c.real(); break;
      case 220: h.extrusion.y = c.real(); break;
      case 230: h.extrusion.z = c.real(); break;
      case 2: h.pattern = c.value(), c.next(); break;
      case 70: h.solid = c.integer() != 0; break;
      case 71: h.associative = c.integer() != 0; break;
      default: c.next(); break;  // the comparison below keeps such a hatch as read
    }
  }
  const std::size_t paths = c.code() == 91 ? c.count() : 0;
  while (c.code() == 92 && h.paths.size() < paths && !c.bad) readPath(c, h.paths.emplace_back());
  bool tail = false;
  while (!c.done() && !c.bad && !tail) {
    switch (c.code()) {
      case 75: h.style = static_cast<db::Hatch::Style>(std::clamp<long long>(c.integer(), -32768, 32767)); break;
      case 76: h.patternType = static_cast<db::Hatch::PatternType>(std::clamp<long long>(c.integer(), -32768, 32767)); break;
      case 52: h.hasPatternValues = true, h.angle = c.real(); break;
      case 41: h.scale = c.real(); break;
      case 77: h.isDouble = c.integer() != 0; break;
      case 78: {
        h.hasPatternLines = true;
        const std::size_t n = c.count();
        while (c.code() == 53 && h.lines.size() < n && !c.bad) {
          db::PatternLine& l = h.lines.emplace_back();
          l.angle = c.real();
          l.base.x = c.expect(43);
          l.base.y = c.expect(44);
          l.offset.x = c.expect(45);
          l.offset.y = c.expect(46);
          const std::size_t dashes = c.code() == 79 ? c.count() : 0;
          while (c.code() == 49 && l.dashes.size() < dashes && !c.bad) l.dashes.push_back(c.real());
        }
        break;
      }
      case 47: h.pixelSize = c.real(); break;
      case 98: {
        const std::size_t n = c.count();
        while (c.code() == 10 && h.seeds.size() < n && !c.bad) h.seeds.push_back(c.point(10));
        tail = true;
        break;
      }
      default: tail = true; break;
    }
  }
  if (c.bad) {
    why = "有数值无法读出，按原样保留";
    return std::nullopt;
  }
  for (std::size_t i = c.at(); i < tags.size(); ++i) h.tail.add(tags[i].first, tags[i].second);
  if (!h.valid()) {
    why = "坐标或尺寸不是有限数值或超出范围，按原样保留";
    return std::nullopt;
  }
  if (!writesBackAsRead(h, tags)) {
    why = "组码的顺序与常规不同，按原样保留";
    return std::nullopt;
  }
  return h;
}

void writeHatch(Emitter& out, const db::Hatch& h) {
  out.raw(100, "AcDbHatch");
  walkHatch(h, [&](const Item& item) {
    switch (item.type) {
      case Item::Type::real: out.real(item.code, item.real); break;
      case Item::Type::integer: out.integer(item.code, item.integer); break;
      case Item::Type::handle: out.handle(item.code, static_cast<db::Handle>(item.integer)); break;
      case Item::Type::text: out.text(item.code, item.text); break;
    }
  });
}

}  // namespace orv::dxf
