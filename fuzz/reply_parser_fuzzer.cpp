// Fuzz target: numbers, whole numbers and points as typed at a prompt.
//
// The input is one reply. Each parser is checked against what it promises:
// a real is finite and equals what the C library reads from the same digits;
// a whole number is in range and equals its digits; a point is finite and
// each coordinate form agrees with the numbers it is made of.
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "orv/prompt/reply_parser.h"

namespace {

using orv::prompt::IntParse;
using orv::prompt::Point3;

bool onlyDecimalChars(std::string_view s) {
  for (char c : s) {
    const bool ok =
        (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.' || c == 'e' || c == 'E';
    if (!ok) return false;
  }
  return !s.empty();
}

// What strtod makes of a whole reply that is decimal digits, signs, points
// and exponents only; nullopt when it does not read all of it.
std::optional<double> referenceReal(std::string_view trimmed) {
  if (!onlyDecimalChars(trimmed)) return std::nullopt;
  const std::string copy(trimmed);
  char* end = nullptr;
  const double value = std::strtod(copy.c_str(), &end);
  if (end != copy.c_str() + copy.size()) return std::nullopt;
  return value;
}

void checkReal(std::string_view text) {
  const auto value = orv::prompt::parseReal(text);
  const std::string_view trimmed = orv::prompt::trimBlanks(text);
  const auto reference = referenceReal(trimmed);
  if (value) {
    ORV_FUZZ_CHECK(std::isfinite(*value), text);
    ORV_FUZZ_CHECK(reference.has_value(), text);
    // Too small for a double reads as zero; anything else is read exactly.
    if (std::fabs(*reference) >= DBL_MIN || *value != 0.0) {
      ORV_FUZZ_CHECK(*value == *reference, text);
    }
  } else {
    // A finite number the C library reads whole (in the C locale) is one we read.
    ORV_FUZZ_CHECK(!reference || !std::isfinite(*reference), text);
  }
}

void checkInt(std::string_view text) {
  int out = 12345;
  const IntParse result = orv::prompt::parseInt(text, out);
  std::string_view t = orv::prompt::trimBlanks(text);
  const bool negative = !t.empty() && t.front() == '-';
  if (!t.empty() && (t.front() == '+' || t.front() == '-')) t.remove_prefix(1);
  const bool digits = !t.empty() && t.find_first_not_of("0123456789") == std::string_view::npos;
  switch (result) {
    case IntParse::Ok: {
      ORV_FUZZ_CHECK(digits, text);
      ORV_FUZZ_CHECK(out >= -32768 && out <= 32767, text);
      const long expected = std::strtol(std::string(t).c_str(), nullptr, 10);
      ORV_FUZZ_CHECK(out == (negative ? -expected : expected), text);
      break;
    }
    case IntParse::OutOfRange:
      ORV_FUZZ_CHECK(digits, text);
      ORV_FUZZ_CHECK(out == 12345, text);  // untouched
      break;
    case IntParse::NotInteger:
      ORV_FUZZ_CHECK(!digits, text);
      ORV_FUZZ_CHECK(out == 12345, text);
      break;
  }
}

bool finite(const Point3& p) {
  return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

void checkPoint(std::string_view text, const Point3& last) {
  const auto p = orv::prompt::parsePoint(text, last);
  if (!p) return;
  ORV_FUZZ_CHECK(finite(*p), text);
  std::string_view t = orv::prompt::trimBlanks(text);
  const bool relative = t.front() == '@';
  if (relative) t = orv::prompt::trimBlanks(t.substr(1));
  if (t.empty()) {
    ORV_FUZZ_CHECK(relative && *p == last, text);
    return;
  }
  if (t.find('<') != std::string_view::npos) {
    ORV_FUZZ_CHECK(t.find(',') == std::string_view::npos, text);
    ORV_FUZZ_CHECK(p->z == (relative ? last.z : 0.0), text);
    const std::size_t at = t.find('<');
    const auto distance = orv::prompt::parseReal(t.substr(0, at));
    ORV_FUZZ_CHECK(distance.has_value(), text);
    const Point3 from = relative ? last : Point3{};
    const double dx = p->x - from.x, dy = p->y - from.y;
    // The point lies at the distance typed (within rounding of the sum).
    const double typed = std::fabs(*distance);
    const double got = std::hypot(dx, dy);
    const double slack = 1e-9 * (typed + std::fabs(from.x) + std::fabs(from.y) + 1.0);
    ORV_FUZZ_CHECK(std::isinf(got) || std::fabs(got - typed) <= slack, text);
    return;
  }
  // Coordinates: two or three numbers, each read as parseReal reads it.
  double v[3] = {0, 0, 0};
  std::size_t count = 0;
  std::string_view rest = t;
  while (true) {
    const std::size_t comma = rest.find(',');
    ORV_FUZZ_CHECK(count < 3, text);
    const auto part = orv::prompt::parseReal(rest.substr(0, comma));
    ORV_FUZZ_CHECK(part.has_value(), text);
    v[count++] = *part;
    if (comma == std::string_view::npos) break;
    rest.remove_prefix(comma + 1);
  }
  ORV_FUZZ_CHECK(count >= 2, text);
  const Point3 origin = relative ? last : Point3{};
  ORV_FUZZ_CHECK(p->x == origin.x + v[0] && p->y == origin.y + v[1], text);
  ORV_FUZZ_CHECK(p->z == origin.z + v[2], text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  checkReal(text);
  checkInt(text);
  checkPoint(text, Point3{});
  checkPoint(text, Point3{12.5, -7.25, 3});
  // Near the end of the range, where a relative point can overflow.
  checkPoint(text, Point3{1.5e308, -1.5e308, 1e308});
  return 0;
}
