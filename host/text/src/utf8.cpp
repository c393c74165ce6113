// UTF-8, wide text and UTF-16LE: decoding, encoding and validation.
#include "orv/text/encoding.h"

#include <cstdint>

namespace orv::text {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool isScalar(char32_t c) { return c < 0x110000 && (c < 0xD800 || c > 0xDFFF); }

// One step of decoding: a well-formed character, or the length of the
// maximal ill-formed prefix (at least one byte) that a reader replaces by one
// U+FFFD.
struct Step {
  char32_t codePoint = 0;
  std::size_t length = 1;
  bool ok = false;
};

Step decodeStep(std::string_view s) {
  const auto b0 = static_cast<std::uint8_t>(s[0]);
  if (b0 < 0x80) return {b0, 1, true};
  std::size_t trail = 0;
  char32_t cp = 0;
  std::uint8_t lo = 0x80, hi = 0xBF;  // allowed range of the next byte
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    trail = 1;
    cp = b0 & 0x1F;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    trail = 2;
    cp = b0 & 0x0F;
    if (b0 == 0xE0)
      lo = 0xA0;  // no overlong forms
    else if (b0 == 0xED)
      hi = 0x9F;  // no surrogates
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    trail = 3;
    cp = b0 & 0x07;
    if (b0 == 0xF0)
      lo = 0x90;  // no overlong forms
    else if (b0 == 0xF4)
      hi = 0x8F;  // nothing past U+10FFFF
  } else {
    return {};
  }
  for (std::size_t i = 1; i <= trail; ++i) {
    if (i >= s.size()) return {0, i, false};
    const auto b = static_cast<std::uint8_t>(s[i]);
    if (b < lo || b > hi) return {0, i, false};
    cp = (cp << 6) | (b & 0x3F);
    lo = 0x80;
    hi = 0xBF;
  }
  return {cp, trail + 1, true};
}

void appendUtf16le(char32_t c, std::string& out) {
  auto unit = [&out](std::uint32_t u) {
    out.push_back(static_cast<char>(u & 0xFF));
    out.push_back(static_cast<char>(u >> 8));
  };
  if (c >= 0x10000) {
    c -= 0x10000;
    unit(0xD800 + (c >> 10));
    unit(0xDC00 + (c & 0x3FF));
  } else {
    unit(c);
  }
}

}  // namespace

std::size_t decodeUtf8(std::string_view bytes, char32_t& codePoint) {
  if (bytes.empty()) return 0;
  const Step step = decodeStep(bytes);
  if (!step.ok) return 0;
  codePoint = step.codePoint;
  return step.length;
}

void appendUtf8(char32_t c, std::string& out) {
  if (!isScalar(c)) c = kReplacement;
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

bool isValidUtf8(std::string_view bytes) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    if (static_cast<std::uint8_t>(bytes[i]) < 0x80) {
      ++i;
      continue;
    }
    const Step step = decodeStep(bytes.substr(i));
    if (!step.ok) return false;
    i += step.length;
  }
  return true;
}

std::wstring widen(std::string_view utf8) {
  std::wstring out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    const Step step = decodeStep(utf8.substr(i));
    out.push_back(static_cast<wchar_t>(step.ok ? step.codePoint : kReplacement));
    i += step.length;
  }
  return out;
}

std::string narrow(std::wstring_view wide) {
  std::string out;
  out.reserve(wide.size());
  for (wchar_t w : wide) {
    // wchar_t is signed on some platforms: a negative value is not a scalar.
    const auto value = static_cast<std::int64_t>(w);
    appendUtf8(value < 0 ? kReplacement : static_cast<char32_t>(value), out);
  }
  return out;
}

std::optional<std::string> utf16leToUtf8(std::string_view bytes) {
  if (bytes.size() % 2 != 0) return std::nullopt;
  std::string out;
  out.reserve(bytes.size() / 2);
  auto unitAt = [&bytes](std::size_t i) -> char32_t {
    return static_cast<std::uint8_t>(bytes[i]) | (static_cast<std::uint8_t>(bytes[i + 1]) << 8);
  };
  for (std::size_t i = 0; i < bytes.size(); i += 2) {
    char32_t unit = unitAt(i);
    if (unit >= 0xDC00 && unit <= 0xDFFF) return std::nullopt;
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      if (i + 2 >= bytes.size()) return std::nullopt;
      const char32_t low = unitAt(i + 2);
      if (low < 0xDC00 || low > 0xDFFF) return std::nullopt;
      unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
      i += 2;
    }
    appendUtf8(unit, out);
  }
  return out;
}

std::string utf8ToUtf16le(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size() * 2);
  std::size_t i = 0;
  while (i < utf8.size()) {
    const Step step = decodeStep(utf8.substr(i));
    appendUtf16le(step.ok ? step.codePoint : kReplacement, out);
    i += step.length;
  }
  return out;
}

}  // namespace orv::text
