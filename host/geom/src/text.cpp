// Decoding MTEXT from its tags; the special codes of one-line text.
#include "orv/geom/text.h"

#include <cmath>
#include <numbers>

#include "orv/geom/affine.h"
#include "utf8.h"

namespace orv::geom {

namespace {

// Sets one coordinate of a point from a tag whose code is base, base + 10 or base + 20.
bool takePoint(Point3& p, int base, int code, std::string_view v) {
  double d = 0.0;
  if (code != base && code != base + 10 && code != base + 20) return false;
  if (!parseReal(v, d)) d = std::nan("");
  (code == base ? p.x : code == base + 10 ? p.y : p.z) = d;
  return true;
}

bool finite(Point3 p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

std::int16_t shortOf(std::string_view v, std::int16_t fallback) {
  std::int64_t n = 0;
  if (!parseInteger(v, n) || n < -32768 || n > 32767) return fallback;
  return static_cast<std::int16_t>(n);
}

double realOf(std::string_view v, double fallback) {
  double d = 0.0;
  return parseReal(v, d) ? d : fallback;
}

}  // namespace

std::string expandTextCodes(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '%' || i + 2 >= s.size() || s[i + 1] != '%') {
      out += s[i];
      continue;
    }
    const char c = s[i + 2];
    switch (c) {
      case 'c': case 'C': appendUtf8(out, 0x2300); i += 2; continue;  // ⌀
      case 'd': case 'D': appendUtf8(out, 0x00B0); i += 2; continue;  // °
      case 'p': case 'P': appendUtf8(out, 0x00B1); i += 2; continue;  // ±
      case '%': out += '%'; i += 2; continue;
      case 'u': case 'U': case 'o': case 'O': case 'k': case 'K': i += 2; continue;
      default: break;
    }
    if (c >= '0' && c <= '9') {
      std::size_t j = i + 2;
      unsigned code = 0;
      while (j < s.size() && j < i + 5 && s[j] >= '0' && s[j] <= '9') code = code * 10 + (s[j++] - '0');
      if (code >= 32) appendUtf8(out, code);
      i = j - 1;
      continue;
    }
    out += s[i];
  }
  return out;
}

std::optional<MTextData> decodeMText(const db::RawTags& tags) {
  MTextData m;
  std::string last;  // group 1: the end of the text, after the 3 chunks
  forEachDataTag(tags, [&](int code, std::string_view v) {
    if (code == 101) return false;  // embedded objects of newer releases
    if (takePoint(m.position, 10, code, v)) return true;
    if (takePoint(m.xDirection, 11, code, v)) {
      m.hasXDirection = true;
      return true;
    }
    if (takePoint(m.extrusion, 210, code, v)) return true;
    switch (code) {
      case 40: m.height = realOf(v, 0.0); break;
      case 41: m.width = realOf(v, 0.0); break;
      case 50: m.rotation = realOf(v, 0.0); break;
      case 44: m.lineSpacing = realOf(v, 1.0); break;
      case 7: m.style = v; break;
      case 71: {
        const std::int16_t a = shortOf(v, 1);
        m.attachment = a >= 1 && a <= 9 ? static_cast<MTextAttachment>(a) : MTextAttachment::topLeft;
        break;
      }
      case 72: m.direction = shortOf(v, 1); break;
      case 73: m.lineSpacingStyle = shortOf(v, 1); break;
      case 3: m.content.append(v); break;
      case 1: last.assign(v); break;
      default: break;
    }
    return true;
  });
  m.content += last;
  if (!finite(m.position) || !finite(m.extrusion)) return std::nullopt;
  if (m.hasXDirection && (!finite(m.xDirection) || (m.xDirection.x == 0.0 && m.xDirection.y == 0.0 &&
                                                     m.xDirection.z == 0.0)))
    m.hasXDirection = false;
  if (!(m.lineSpacing > 0.0) || m.lineSpacing > 100.0) m.lineSpacing = 1.0;
  if (!(m.height >= 0.0)) m.height = 0.0;
  return m;
}

double mtextAngle(const MTextData& m) {
  if (m.hasXDirection) return std::atan2(m.xDirection.y, m.xDirection.x);
  const double r = m.rotation * std::numbers::pi / 180.0;
  if (isWorldZ(m.extrusion)) return r;
  const OcsAxes a = ocsAxes(m.extrusion);
  const double c = std::cos(r), s = std::sin(r);
  return std::atan2(c * a.x.y + s * a.y.y, c * a.x.x + s * a.y.x);
}

}  // namespace orv::geom
