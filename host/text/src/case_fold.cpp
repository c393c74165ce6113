// Simple case folding of names, so that "Pipe", "PIPE" and "pipe" are one name.
#include "orv/text/case_fold.h"

#include <cstdint>

#include "orv/text/encoding.h"

namespace orv::text {
namespace {

bool between(char32_t c, char32_t first, char32_t last) { return c >= first && c <= last; }
bool isEven(char32_t c) { return c % 2 == 0; }

// Blocks where upper and lower case alternate: an upper-case letter sits on
// the even (or odd) code point and its lower case right after it.
char32_t foldAlternating(char32_t c) {
  struct Run {
    char32_t first, last;
    bool upperIsEven;
  };
  static constexpr Run kRuns[] = {
      {0x0100, 0x012F, true}, {0x0132, 0x0137, true},  {0x0139, 0x0148, false},
      {0x014A, 0x0177, true}, {0x0179, 0x017E, false}, {0x0460, 0x0481, true},
      {0x048A, 0x04BF, true}, {0x04C1, 0x04CE, false}, {0x04D0, 0x052F, true},
      {0x1E00, 0x1E95, true}, {0x1EA0, 0x1EFF, true},
  };
  for (const Run& run : kRuns) {
    if (between(c, run.first, run.last) && isEven(c) == run.upperIsEven) return c + 1;
  }
  return c;
}

}  // namespace

char32_t foldCase(char32_t c) {
  if (c < 0x80) return between(c, 'A', 'Z') ? c + 32 : c;
  if (between(c, 0x00C0, 0x00DE) && c != 0x00D7) return c + 32;  // Latin-1 letters
  if (c < 0x0100) return c;
  if (c == 0x0178) return 0x00FF;
  if (between(c, 0x0391, 0x03AB) && c != 0x03A2) return c + 32;  // Greek
  if (c == 0x0386) return 0x03AC;
  if (between(c, 0x0388, 0x038A)) return c + 37;
  if (c == 0x038C) return 0x03CC;
  if (between(c, 0x038E, 0x038F)) return c + 63;
  if (between(c, 0x0400, 0x040F)) return c + 80;  // Cyrillic
  if (between(c, 0x0410, 0x042F)) return c + 32;
  if (c == 0x04C0) return 0x04CF;
  if (between(c, 0x0531, 0x0556)) return c + 48;  // Armenian
  if (between(c, 0xFF21, 0xFF3A)) return c + 32;  // full-width Latin
  return foldAlternating(c);
}

std::string foldCase(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    const auto b = static_cast<std::uint8_t>(utf8[i]);
    if (b < 0x80) {
      out.push_back(static_cast<char>(foldCase(b)));
      ++i;
      continue;
    }
    char32_t c = 0;
    const std::size_t n = decodeUtf8(utf8.substr(i), c);
    if (n == 0) {
      out.push_back(utf8[i++]);
      continue;
    }
    appendUtf8(foldCase(c), out);
    i += n;
  }
  return out;
}

bool equalsFolded(std::string_view a, std::string_view b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    const auto ca = static_cast<std::uint8_t>(a[i]);
    const auto cb = static_cast<std::uint8_t>(b[j]);
    if (ca < 0x80 && cb < 0x80) {  // the common case: ASCII against ASCII
      if (foldCase(ca) != foldCase(cb)) return false;
      ++i;
      ++j;
      continue;
    }
    char32_t da = ca, db = cb;
    std::size_t na = ca < 0x80 ? 1 : decodeUtf8(a.substr(i), da);
    std::size_t nb = cb < 0x80 ? 1 : decodeUtf8(b.substr(j), db);
    if (na == 0 || nb == 0) {  // invalid bytes match only themselves
      if (na != nb || ca != cb) return false;
      na = nb = 1;
    } else if (foldCase(da) != foldCase(db)) {
      return false;
    }
    i += na;
    j += nb;
  }
  return i == a.size() && j == b.size();
}

}  // namespace orv::text
