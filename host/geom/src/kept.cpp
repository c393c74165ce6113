// Kinds of kept entities by type name, their common properties, and numbers from tag values.
#include "orv/geom/kept.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace orv::geom {

namespace {

std::string_view trimmed(std::string_view s) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

std::int16_t clampShort(std::int64_t n) {
  return static_cast<std::int16_t>(std::clamp<std::int64_t>(n, -32768, 32767));
}

}  // namespace

bool parseReal(std::string_view text, double& out) {
  text = trimmed(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return false;
  double v = 0.0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(v)) return false;
  out = v;
  return true;
}

bool parseInteger(std::string_view text, std::int64_t& out) {
  text = trimmed(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return false;
  std::int64_t v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || end != text.data() + text.size()) {
    // Some writers put integers as reals ("1.0"); a whole real is taken.
    double d = 0.0;
    if (!parseReal(text, d) || d != std::floor(d) || std::abs(d) > 9.0e15) return false;
    v = static_cast<std::int64_t>(d);
  }
  out = v;
  return true;
}

bool parseHex(std::string_view text, std::uint64_t& out) {
  text = trimmed(text);
  if (text.empty() || text.size() > 16) return false;
  std::uint64_t v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v, 16);
  if (ec != std::errc() || end != text.data() + text.size()) return false;
  out = v;
  return true;
}

KeptKind keptKindOf(std::string_view t) {
  struct Entry {
    std::string_view name;
    KeptKind kind;
  };
  static constexpr Entry kKinds[] = {
      {"TEXT", KeptKind::text},         {"ATTRIB", KeptKind::attrib},
      {"ATTDEF", KeptKind::attdef},     {"MTEXT", KeptKind::mtext},
      {"HATCH", KeptKind::hatch},       {"ELLIPSE", KeptKind::ellipse},
      {"SPLINE", KeptKind::spline},     {"POINT", KeptKind::point},
      {"SOLID", KeptKind::solid},       {"TRACE", KeptKind::trace},
      {"3DFACE", KeptKind::face3d},     {"POLYLINE", KeptKind::polyline},
      {"VERTEX", KeptKind::vertex},     {"SEQEND", KeptKind::seqend},
      {"DIMENSION", KeptKind::dimension}, {"LEADER", KeptKind::leader},
      {"LINE", KeptKind::line},         {"ARC", KeptKind::arc},
      {"CIRCLE", KeptKind::circle},     {"LWPOLYLINE", KeptKind::lwpolyline},
      {"INSERT", KeptKind::insert},
  };
  for (const Entry& e : kKinds)
    if (e.name == t) return e.kind;
  return KeptKind::other;
}

CommonProps decodeCommon(const db::RawTags& tags) {
  CommonProps p;
  forEachDataTag(tags, [&](int code, std::string_view v) {
    std::int64_t n = 0;
    double d = 0.0;
    switch (code) {
      case 8: p.layer = v; break;
      case 6: p.linetype = v; break;
      case 62:
        if (parseInteger(v, n)) p.color = clampShort(n);
        break;
      case 420:
        if (parseInteger(v, n)) p.trueColor = static_cast<std::int32_t>(n & 0xFFFFFF);
        break;
      case 370:
        if (parseInteger(v, n)) p.lineweight = clampShort(n);
        break;
      case 48:
        if (parseReal(v, d) && d > 0.0) p.linetypeScale = d;
        break;
      case 60:
        if (parseInteger(v, n)) p.invisible = n == 1;
        break;
      default: break;
    }
    return true;
  });
  return p;
}

}  // namespace orv::geom
