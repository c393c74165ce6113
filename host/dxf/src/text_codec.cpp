// Decoding file text by code page with escape expansion, and encoding text for ANSI_936 output.
#include "text_codec.h"

#include <charconv>

#include "orv/text/encoding.h"

namespace orv::dxf {

namespace {

// Windows-1252 bytes 0x80..0x9F; the rest of the upper half is Latin-1.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t cp1252(unsigned char b) {
  if (b >= 0x80 && b < 0xA0) return kCp1252High[b - 0x80];
  return b;
}

std::string fromCp1252(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() * 2);
  for (unsigned char b : bytes) text::appendUtf8(cp1252(b), out);
  return out;
}

// Character by character in the given order of tries; never drops a byte.
std::string decodeMixed(std::string_view bytes, bool gbkFirst) {
  std::string out;
  out.reserve(bytes.size() * 3 / 2);
  while (!bytes.empty()) {
    const auto b = static_cast<unsigned char>(bytes.front());
    char32_t cp = 0;
    std::size_t n = 0;
    if (b < 0x80) {
      cp = b;
      n = 1;
    } else if (gbkFirst) {
      n = text::decodeGbk(bytes, cp);
      if (n == 0) n = text::decodeUtf8(bytes, cp);
    } else {
      n = text::decodeUtf8(bytes, cp);
      if (n == 0) n = text::decodeGbk(bytes, cp);
    }
    if (n == 0) {
      cp = cp1252(b);
      n = 1;
    }
    text::appendUtf8(cp, out);
    bytes.remove_prefix(n);
  }
  return out;
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool hex4(std::string_view s, std::size_t at, unsigned& out) {
  if (at + 4 > s.size()) return false;
  out = 0;
  for (std::size_t i = at; i < at + 4; ++i) {
    int v = hexValue(s[i]);
    if (v < 0) return false;
    out = out * 16 + static_cast<unsigned>(v);
  }
  return true;
}

std::string expandEscapes(std::string_view s) {
  if (s.find('\\') == std::string_view::npos) return std::string(s);
  std::string out;
  out.reserve(s.size());
  std::size_t i = 0;
  while (i < s.size()) {
    unsigned v;
    if (s[i] == '\\' && i + 2 < s.size() && (s[i + 1] == 'U' || s[i + 1] == 'u') &&
        s[i + 2] == '+' && hex4(s, i + 3, v)) {
      char32_t cp = v;
      std::size_t used = 7;
      unsigned low;
      if (v >= 0xD800 && v < 0xDC00 && s.substr(i + 7, 3) == "\\U+" && hex4(s, i + 10, low) &&
          low >= 0xDC00 && low < 0xE000) {
        cp = 0x10000 + ((v - 0xD800) << 10) + (low - 0xDC00);
        used = 14;
      }
      text::appendUtf8(cp, out);
      i += used;
      continue;
    }
    if (s[i] == '\\' && i + 3 < s.size() && (s[i + 1] == 'M' || s[i + 1] == 'm') &&
        s[i + 2] == '+' && s[i + 3] == '5' && hex4(s, i + 4, v)) {
      const char pair[2] = {static_cast<char>(v >> 8), static_cast<char>(v & 0xFF)};
      char32_t cp;
      if (text::decodeGbk(std::string_view(pair, 2), cp) == 2) {
        text::appendUtf8(cp, out);
        i += 8;
        continue;
      }
    }
    out.push_back(s[i++]);
  }
  return out;
}

}  // namespace

CodePage codePageOf(std::string_view dwgCodePage, std::string_view acadVersion) {
  if (acadVersion.size() == 6 && acadVersion.substr(0, 2) == "AC" && acadVersion >= "AC1021")
    return CodePage::utf8;
  std::string page(dwgCodePage);
  for (char& c : page)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  if (page == "ANSI_936" || page == "GBK" || page == "GB2312" || page == "DOS936")
    return CodePage::gbk;
  if (page == "UTF-8" || page == "UTF8") return CodePage::utf8;
  if (page.empty()) return CodePage::undeclared;
  return CodePage::ansi1252;
}

std::string decodeText(std::string_view bytes, CodePage page) {
  if (isPlainText(bytes)) return std::string(bytes);
  std::string utf8;
  bool ascii = true;
  for (unsigned char c : bytes) ascii = ascii && c < 0x80;
  if (ascii) {
    utf8 = std::string(bytes);
  } else if (page == CodePage::gbk) {
    if (auto g = text::gbkToUtf8(bytes)) {
      utf8 = std::move(*g);
    } else if (text::isValidUtf8(bytes)) {
      utf8 = std::string(bytes);
    } else {
      utf8 = decodeMixed(bytes, true);
    }
  } else if (text::isValidUtf8(bytes)) {
    utf8 = std::string(bytes);
  } else if (page == CodePage::undeclared) {
    auto g = text::gbkToUtf8(bytes);
    utf8 = g ? std::move(*g) : fromCp1252(bytes);
  } else if (page == CodePage::utf8) {
    utf8 = decodeMixed(bytes, false);
  } else {
    utf8 = fromCp1252(bytes);
  }
  return expandEscapes(utf8);
}

void encodeGbkText(std::string_view utf8, std::string& out) {
  auto escape = [&out](unsigned v) {
    char buf[8] = {'\\', 'U', '+'};
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (int i = 0; i < 4; ++i) buf[3 + i] = kHex[(v >> (12 - 4 * i)) & 0xF];
    out.append(buf, 7);
  };
  while (!utf8.empty()) {
    const auto b = static_cast<unsigned char>(utf8.front());
    if (b < 0x80) {
      if (b < 0x20 || b == 0x7F) {
        escape(b);
      } else {
        out.push_back(static_cast<char>(b));
      }
      utf8.remove_prefix(1);
      continue;
    }
    char32_t cp;
    std::size_t n = text::decodeUtf8(utf8, cp);
    if (n == 0) {
      cp = 0xFFFD;
      n = 1;
    }
    utf8.remove_prefix(n);
    if (text::appendGbk(cp, out)) continue;
    if (cp > 0xFFFF) {
      cp -= 0x10000;
      escape(0xD800 + static_cast<unsigned>(cp >> 10));
      escape(0xDC00 + static_cast<unsigned>(cp & 0x3FF));
    } else {
      escape(static_cast<unsigned>(cp));
    }
  }
}

}  // namespace orv::dxf
