// The special codes of one-line text.
#include "orv/geom/text.h"

#include "utf8.h"

namespace orv::geom {

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

}  // namespace orv::geom
