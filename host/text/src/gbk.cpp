// The GBK code page (Windows code page 936): a two-way table built once from
// the C library's converter, so that each character is a table look-up.
#include "orv/text/encoding.h"

#include <array>
#include <cstdint>
#include <iconv.h>
#include <vector>

namespace orv::text {
namespace {

// Double-byte codes: lead 0x81-0xFE, trail 0x40-0xFE.
constexpr unsigned kLeadFirst = 0x81, kLeadLast = 0xFE;
constexpr unsigned kTrailFirst = 0x40, kTrailLast = 0xFE;
constexpr unsigned kTrailCount = kTrailLast - kTrailFirst + 1;

class GbkTable {
 public:
  GbkTable() : pairs_((kLeadLast - kLeadFirst + 1) * kTrailCount, 0), encode_(0x10000, 0) {
    // glibc's "GBK" reads 0x80 as the euro sign, as code page 936 does.
    iconv_t cd = iconv_open("UTF-32LE", "GBK");
    if (cd == reinterpret_cast<iconv_t>(-1)) cd = iconv_open("UTF-32LE", "CP936");
    if (cd == reinterpret_cast<iconv_t>(-1)) return;
    for (unsigned b = 0x80; b <= 0xFF; ++b) {
      const unsigned char in[1] = {static_cast<unsigned char>(b)};
      if (char32_t c = convert(cd, in, 1)) {
        singles_[b - 0x80] = static_cast<char16_t>(c);
        encode_[c] = static_cast<std::uint16_t>(b);
      }
    }
    for (unsigned lead = kLeadFirst; lead <= kLeadLast; ++lead) {
      for (unsigned trail = kTrailFirst; trail <= kTrailLast; ++trail) {
        const unsigned char in[2] = {static_cast<unsigned char>(lead),
                                     static_cast<unsigned char>(trail)};
        const char32_t c = convert(cd, in, 2);
        if (c == 0 || encode_[c] != 0) continue;  // keep the table one-to-one
        pairs_[index(lead, trail)] = static_cast<char16_t>(c);
        encode_[c] = static_cast<std::uint16_t>(lead << 8 | trail);
      }
    }
    iconv_close(cd);
  }

  static std::size_t index(unsigned lead, unsigned trail) {
    return (lead - kLeadFirst) * kTrailCount + (trail - kTrailFirst);
  }

  char32_t single(unsigned byte) const { return singles_[byte - 0x80]; }
  char32_t pair(unsigned lead, unsigned trail) const { return pairs_[index(lead, trail)]; }
  // The GBK code of a code point above ASCII (one byte when below 0x100), or 0.
  std::uint16_t code(char32_t c) const { return c < encode_.size() ? encode_[c] : 0; }

 private:
  // The one BMP code point the bytes convert to, or 0.
  static char32_t convert(iconv_t cd, const unsigned char* bytes, std::size_t size) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(reinterpret_cast<const char*>(bytes));
    std::size_t inLeft = size;
    unsigned char out[16];
    char* outPtr = reinterpret_cast<char*>(out);
    std::size_t outLeft = sizeof out;
    if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0)
      return 0;
    if (sizeof out - outLeft != 4) return 0;
    const char32_t c = out[0] | out[1] << 8 | out[2] << 16 | static_cast<char32_t>(out[3]) << 24;
    return c >= 0x80 && c < 0x10000 ? c : 0;
  }

  std::array<char16_t, 0x80> singles_{};
  std::vector<char16_t> pairs_;
  std::vector<std::uint16_t> encode_;
};

const GbkTable& table() {
  static const GbkTable instance;  // built once, on first use; thread-safe
  return instance;
}

}  // namespace

std::size_t decodeGbk(std::string_view bytes, char32_t& codePoint) {
  if (bytes.empty()) return 0;
  const auto b0 = static_cast<std::uint8_t>(bytes[0]);
  if (b0 < 0x80) {
    codePoint = b0;
    return 1;
  }
  const GbkTable& t = table();
  if (char32_t c = t.single(b0)) {
    codePoint = c;
    return 1;
  }
  if (bytes.size() < 2 || b0 < kLeadFirst || b0 > kLeadLast) return 0;
  const auto b1 = static_cast<std::uint8_t>(bytes[1]);
  if (b1 < kTrailFirst || b1 > kTrailLast) return 0;
  if (char32_t c = t.pair(b0, b1)) {
    codePoint = c;
    return 2;
  }
  return 0;
}

bool appendGbk(char32_t codePoint, std::string& out) {
  if (codePoint < 0x80) {
    out.push_back(static_cast<char>(codePoint));
    return true;
  }
  const std::uint16_t code = table().code(codePoint);
  if (code == 0) return false;
  if (code > 0xFF) out.push_back(static_cast<char>(code >> 8));
  out.push_back(static_cast<char>(code & 0xFF));
  return true;
}

std::optional<std::string> gbkToUtf8(std::string_view gbk) {
  std::string out;
  out.reserve(gbk.size() + gbk.size() / 2);
  std::size_t i = 0;
  while (i < gbk.size()) {
    if (static_cast<std::uint8_t>(gbk[i]) < 0x80) {
      out.push_back(gbk[i++]);
      continue;
    }
    char32_t c = 0;
    const std::size_t n = decodeGbk(gbk.substr(i), c);
    if (n == 0) return std::nullopt;
    appendUtf8(c, out);
    i += n;
  }
  return out;
}

std::optional<std::string> utf8ToGbk(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    if (static_cast<std::uint8_t>(utf8[i]) < 0x80) {
      out.push_back(utf8[i++]);
      continue;
    }
    char32_t c = 0;
    const std::size_t n = decodeUtf8(utf8.substr(i), c);
    if (n == 0 || !appendGbk(c, out)) return std::nullopt;
    i += n;
  }
  return out;
}

}  // namespace orv::text
