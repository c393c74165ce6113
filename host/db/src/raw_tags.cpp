// Packing and walking the tags that the database keeps verbatim.
#include "orv/db/raw_tags.h"

#include <cstring>

namespace orv::db {

namespace {
// A tag is packed as its code (zigzag: small negative codes stay small), its slot, its
// value's length and the value's bytes; the numbers take 7 bits a byte, the low bits
// first, the top bit saying that more follow. Most tags take three bytes besides their
// value, so that one or two short tags stay within the string's own storage.
constexpr std::size_t kMostHeader = 5 + 1 + 5;

char* put(char* p, std::uint32_t v) {
  while (v >= 0x80) {
    *p++ = static_cast<char>(v | 0x80);
    v >>= 7;
  }
  *p++ = static_cast<char>(v);
  return p;
}

const char* get(const char* p, std::uint32_t& v) {
  v = 0;
  for (int shift = 0;; shift += 7) {
    const auto byte = static_cast<std::uint8_t>(*p++);
    v |= static_cast<std::uint32_t>(byte & 0x7F) << shift;
    if (byte < 0x80) return p;
  }
}

std::uint32_t zigzag(int code) {
  const auto c = static_cast<std::uint32_t>(code);
  return (c << 1) ^ (code < 0 ? ~std::uint32_t{0} : 0);
}

int unzigzag(std::uint32_t v) { return static_cast<int>((v >> 1) ^ (~(v & 1) + 1)); }
}  // namespace

RawTag RawTags::Iterator::operator*() const {
  std::uint32_t code, length;
  const char* p = get(p_, code);
  const auto slot = static_cast<std::uint8_t>(*p++);
  p = get(p, length);
  return RawTag{unzigzag(code), slot, std::string_view(p, length)};
}

RawTags::Iterator& RawTags::Iterator::operator++() {
  std::uint32_t skipped, length;
  p_ = get(get(p_, skipped) + 1, length) + length;
  return *this;
}

void RawTags::add(int code, std::string_view value, std::uint8_t slot) {
  char header[kMostHeader];
  char* p = put(header, zigzag(code));
  *p++ = static_cast<char>(slot);
  p = put(p, static_cast<std::uint32_t>(value.size()));
  bytes_.reserve(bytes_.size() + static_cast<std::size_t>(p - header) + value.size());
  bytes_.append(header, p);
  bytes_.append(value);
  ++count_;
}

void RawTags::append(const RawTags& other) {
  bytes_ += other.bytes_;
  count_ += other.count_;
}

bool RawTags::hasSlot(std::uint8_t slot) const {
  for (RawTag tag : *this)
    if (tag.slot == slot) return true;
  return false;
}

}  // namespace orv::db
