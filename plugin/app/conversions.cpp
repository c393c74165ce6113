// Locale-independent number text for settings and prompts.
#include "app/conversions.h"

#include <charconv>
#include <cmath>
#include <cwctype>
#include <string>

namespace {

bool isBlank(wchar_t c) { return c == L' ' || (c >= L'\t' && c <= L'\r'); }
bool isDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
bool isHexDigit(wchar_t c) {
  return isDigit(c) || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
}

// The ASCII characters of the longest prefix of s that forms a number.
std::string numberPrefix(const wchar_t* s, bool& hex) {
  std::string out;
  auto take = [&](wchar_t c) { out.push_back(static_cast<char>(c)); };
  hex = false;
  if (s[0] == L'0' && (s[1] == L'x' || s[1] == L'X') && (isHexDigit(s[2]) || (s[2] == L'.' && isHexDigit(s[3])))) {
    hex = true;
    s += 2;
    while (isHexDigit(*s)) take(*s++);
    if (*s == L'.') {
      take(*s++);
      while (isHexDigit(*s)) take(*s++);
    }
    if ((*s == L'p' || *s == L'P') &&
        (isDigit(s[1]) || ((s[1] == L'+' || s[1] == L'-') && isDigit(s[2])))) {
      take(*s++);
      if (*s == L'+' || *s == L'-') take(*s++);
      while (isDigit(*s)) take(*s++);
    }
    return out;
  }
  bool digits = false;
  while (isDigit(*s)) { take(*s++); digits = true; }
  if (*s == L'.') {
    take(*s++);
    while (isDigit(*s)) { take(*s++); digits = true; }
  }
  if (!digits) return {};
  if ((*s == L'e' || *s == L'E') &&
      (isDigit(s[1]) || ((s[1] == L'+' || s[1] == L'-') && isDigit(s[2])))) {
    take(*s++);
    if (*s == L'+' || *s == L'-') take(*s++);
    while (isDigit(*s)) take(*s++);
  }
  return out;
}

}  // namespace

double wtof(const wchar_t* text) {
  if (!text) return 0;
  while (isBlank(*text)) ++text;
  bool negative = false;
  if (*text == L'+' || *text == L'-') negative = *text++ == L'-';
  bool hex = false;
  std::string digits = numberPrefix(text, hex);
  if (digits.empty()) return 0;
  double value = 0;
  auto format = hex ? std::chars_format::hex : std::chars_format::general;
  auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value, format);
  // Out of range: the C runtime gives HUGE_VAL or 0; neither is a usable setting.
  if (ec != std::errc() || !std::isfinite(value)) return 0;
  return negative ? -value : value;
}

std::wstring formatReal(double value) {
  char buf[512];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 6);
  if (ec != std::errc()) return L"0.000000";
  return std::wstring(buf, end);
}

std::wstring formatInt(int value) { return std::to_wstring(value); }
