// Formatting typed values as DXF tag text for the writer.
#include "emitter.h"

#include <algorithm>
#include <charconv>

#include "text_codec.h"

namespace orv::dxf {

void Emitter::text(int code, std::string_view utf8) {
  bool plain = true;
  for (unsigned char c : utf8)
    if (c >= 0x80 || c < 0x20 || c == 0x7F) {
      plain = false;
      break;
    }
  if (plain) {
    sink_.tag(code, utf8);
    return;
  }
  scratch_.clear();
  encodeGbkText(utf8, scratch_);
  sink_.tag(code, scratch_);
}

void Emitter::real(int code, double value) {
  char buffer[40];
  std::size_t n = formatReal(value, buffer);
  sink_.tag(code, std::string_view(buffer, n));
}

void Emitter::integer(int code, long long value) {
  char buffer[24];
  char* end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
  sink_.tag(code, std::string_view(buffer, static_cast<std::size_t>(end - buffer)));
}

void Emitter::handle(int code, db::Handle h) {
  char buffer[24];
  char* end = std::to_chars(buffer, buffer + sizeof buffer, h, 16).ptr;
  for (char* c = buffer; c != end; ++c)
    if (*c >= 'a' && *c <= 'f') *c = static_cast<char>(*c - 'a' + 'A');
  sink_.tag(code, std::string_view(buffer, static_cast<std::size_t>(end - buffer)));
}

void Emitter::hexLines(int code, std::span<const std::uint8_t> bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  constexpr std::size_t kBytesPerLine = 127;
  char line[2 * kBytesPerLine];
  for (std::size_t at = 0; at < bytes.size(); at += kBytesPerLine) {
    const std::size_t n = std::min(kBytesPerLine, bytes.size() - at);
    for (std::size_t i = 0; i < n; ++i) {
      line[2 * i] = kHex[bytes[at + i] >> 4];
      line[2 * i + 1] = kHex[bytes[at + i] & 0xF];
    }
    sink_.tag(code, std::string_view(line, 2 * n));
  }
}

void Emitter::kept(const db::RawTags* tags, std::uint8_t slot) {
  if (!tags) return;
  for (db::RawTag t : *tags)
    if (t.slot == slot) text(t.code, t.value);
}

void Emitter::keptFiltered(const db::RawTags* tags, std::uint8_t slot,
                           std::initializer_list<int> codes, bool among) {
  if (!tags) return;
  for (db::RawTag t : *tags) {
    if (t.slot != slot) continue;
    const bool in = std::find(codes.begin(), codes.end(), t.code) != codes.end();
    if (in == among) text(t.code, t.value);
  }
}

}  // namespace orv::dxf
