// Numbers, whole numbers and points typed at the command line.
#include "orv/prompt/reply_parser.h"

#include <array>
#include <charconv>
#include <cmath>
#include <numbers>
#include <system_error>

#include "orv/text/encoding.h"

namespace orv::prompt {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The shape of a decimal number: [sign] digits [. digits] [e [sign] digits],
// with at least one digit before or after the point.
struct NumberShape {
  bool negative = false;
  std::string_view body;  // without the sign: what from_chars reads
  // Decimal exponent of the first significant digit, for telling an overflow
  // from an underflow; meaningless when every digit is zero.
  long magnitude = 0;
};

std::optional<NumberShape> scanNumber(std::string_view s) {
  NumberShape shape;
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    shape.negative = s[i] == '-';
    ++i;
  }
  const std::size_t bodyStart = i;

  long intDigits = 0;        // significant digits before the point
  long fractionZeros = 0;    // zeros after the point before the first significant digit
  bool significant = false;  // a non-zero digit seen
  bool anyDigit = false;
  for (; i < s.size() && isDigit(s[i]); ++i) {
    anyDigit = true;
    if (s[i] != '0') significant = true;
    if (significant) ++intDigits;
  }
  if (i < s.size() && s[i] == '.') {
    ++i;
    for (; i < s.size() && isDigit(s[i]); ++i) {
      anyDigit = true;
      if (!significant) {
        if (s[i] == '0') {
          ++fractionZeros;
        } else {
          significant = true;
        }
      }
    }
  }
  if (!anyDigit) return std::nullopt;

  long exponent = 0;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    bool expNegative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
      expNegative = s[i] == '-';
      ++i;
    }
    if (i == s.size() || !isDigit(s[i])) return std::nullopt;
    for (; i < s.size() && isDigit(s[i]); ++i) {
      // Far beyond any double's range; clamped so it cannot overflow.
      if (exponent < 1'000'000) exponent = exponent * 10 + (s[i] - '0');
    }
    if (expNegative) exponent = -exponent;
  }
  if (i != s.size()) return std::nullopt;

  shape.body = s.substr(bodyStart);
  shape.magnitude = intDigits > 0 ? exponent + intDigits - 1 : exponent - fractionZeros - 1;
  return shape;
}

// Splits text at every occurrence of sep into at most N parts; nullopt with more.
template <std::size_t N>
std::optional<std::array<std::string_view, N>> splitAt(std::string_view text, char sep,
                                                        std::size_t& count) {
  std::array<std::string_view, N> parts{};
  count = 0;
  while (true) {
    const std::size_t at = text.find(sep);
    if (count == N) return std::nullopt;
    parts[count++] = text.substr(0, at);
    if (at == std::string_view::npos) break;
    text.remove_prefix(at + 1);
  }
  return parts;
}

// cos and sin of an angle in degrees, exact at multiples of 90 degrees so that
// "@10<90" lands on x = 0 and not 6e-16.
void unitVector(double degrees, double& c, double& s) {
  double a = std::fmod(degrees, 360.0);
  if (a < 0) a += 360.0;
  if (a == 0.0) {
    c = 1, s = 0;
  } else if (a == 90.0) {
    c = 0, s = 1;
  } else if (a == 180.0) {
    c = -1, s = 0;
  } else if (a == 270.0) {
    c = 0, s = -1;
  } else {
    const double r = a * (std::numbers::pi / 180.0);
    c = std::cos(r);
    s = std::sin(r);
  }
}

std::optional<Point3> parsePolar(std::string_view text, const Point3& from) {
  std::size_t count = 0;
  const auto parts = splitAt<2>(text, '<', count);
  if (!parts || count != 2) return std::nullopt;
  const auto distance = parseReal((*parts)[0]);
  const auto angle = parseReal((*parts)[1]);
  if (!distance || !angle) return std::nullopt;
  double c = 0, s = 0;
  unitVector(*angle, c, s);
  Point3 p{from.x + *distance * c, from.y + *distance * s, from.z};
  if (!std::isfinite(p.x) || !std::isfinite(p.y)) return std::nullopt;
  return p;
}

std::optional<Point3> parseCoordinates(std::string_view text, const Point3& origin,
                                       double defaultZ) {
  std::size_t count = 0;
  const auto parts = splitAt<3>(text, ',', count);
  if (!parts || count < 2) return std::nullopt;
  double v[3] = {0, 0, defaultZ};
  for (std::size_t i = 0; i < count; ++i) {
    const auto r = parseReal((*parts)[i]);
    if (!r) return std::nullopt;
    v[i] = *r;
  }
  Point3 p{origin.x + v[0], origin.y + v[1], origin.z + v[2]};
  if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) return std::nullopt;
  return p;
}

}  // namespace

std::string asciiForms(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    if (static_cast<unsigned char>(utf8[i]) < 0x80) {
      out += utf8[i++];
      continue;
    }
    char32_t c = 0;
    const std::size_t n = text::decodeUtf8(utf8.substr(i), c);
    if (n == 0) {
      out += utf8[i++];
      continue;
    }
    if (c >= 0xFF01 && c <= 0xFF5E) {
      out += static_cast<char>(c - 0xFEE0);
    } else if (c == 0x3000) {
      out += ' ';
    } else if (c == 0x3002) {
      out += '.';
    } else if (c == 0x300A) {
      out += '<';
    } else if (c == 0x300B) {
      out += '>';
    } else {
      out.append(utf8.substr(i, n));
    }
    i += n;
  }
  return out;
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimBlanks(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string upperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

std::pair<std::string, std::string> splitFirstWord(std::string_view text) {
  text = trimBlanks(text);
  std::size_t blank = 0;
  while (blank < text.size() && !isBlank(text[blank])) ++blank;
  return {std::string(text.substr(0, blank)), std::string(trimBlanks(text.substr(blank)))};
}

std::optional<double> parseReal(std::string_view text) {
  const auto shape = scanNumber(trimBlanks(text));
  if (!shape) return std::nullopt;

  double value = 0;
  const char* first = shape->body.data();
  const char* last = first + shape->body.size();
  const auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
  if (ec == std::errc::result_out_of_range) {
    if (shape->magnitude >= 0) return std::nullopt;  // too large for a double
    value = 0.0;                                      // too small: zero
  } else if (ec != std::errc{} || ptr != last) {
    return std::nullopt;
  }
  return shape->negative ? -value : value;
}

IntParse parseInt(std::string_view text, int& out) {
  text = trimBlanks(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return IntParse::NotInteger;
  for (char c : text) {
    if (!isDigit(c)) return IntParse::NotInteger;
  }
  while (text.size() > 1 && text.front() == '0') text.remove_prefix(1);
  // Six digits or more are out of range whatever they are.
  if (text.size() > 5) return IntParse::OutOfRange;
  long value = 0;
  for (char c : text) value = value * 10 + (c - '0');
  if (negative) value = -value;
  if (value < -32768 || value > 32767) return IntParse::OutOfRange;
  out = static_cast<int>(value);
  return IntParse::Ok;
}

std::optional<Point3> parsePoint(std::string_view text, const Point3& last) {
  text = trimBlanks(text);
  if (text.empty()) return std::nullopt;
  if (text.front() == '@') {
    const std::string_view rest = trimBlanks(text.substr(1));
    if (rest.empty()) return last;
    if (rest.find('<') != std::string_view::npos) {
      if (rest.find(',') != std::string_view::npos) return std::nullopt;
      return parsePolar(rest, last);
    }
    return parseCoordinates(rest, last, 0.0);
  }
  if (text.find('<') != std::string_view::npos) {
    if (text.find(',') != std::string_view::npos) return std::nullopt;
    return parsePolar(text, Point3{});
  }
  return parseCoordinates(text, Point3{}, 0.0);
}

}  // namespace orv::prompt
