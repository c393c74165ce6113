// Packing and walking the tags that the database keeps verbatim.
#include "orv/db/raw_tags.h"

#include <cstring>

namespace orv::db {

namespace {
constexpr std::size_t kHeader = sizeof(std::int32_t) + 1 + sizeof(std::uint32_t);
}

RawTag RawTags::Iterator::operator*() const {
  std::int32_t code;
  std::uint32_t length;
  std::memcpy(&code, p_, sizeof code);
  std::uint8_t slot = static_cast<std::uint8_t>(p_[sizeof code]);
  std::memcpy(&length, p_ + sizeof code + 1, sizeof length);
  return RawTag{code, slot, std::string_view(p_ + kHeader, length)};
}

RawTags::Iterator& RawTags::Iterator::operator++() {
  std::uint32_t length;
  std::memcpy(&length, p_ + sizeof(std::int32_t) + 1, sizeof length);
  p_ += kHeader + length;
  return *this;
}

void RawTags::add(int code, std::string_view value, std::uint8_t slot) {
  const std::int32_t c = code;
  const std::uint32_t length = static_cast<std::uint32_t>(value.size());
  const std::size_t at = bytes_.size();
  bytes_.resize(at + kHeader + value.size());
  char* p = bytes_.data() + at;
  std::memcpy(p, &c, sizeof c);
  p[sizeof c] = static_cast<char>(slot);
  std::memcpy(p + sizeof c + 1, &length, sizeof length);
  if (!value.empty()) std::memcpy(p + kHeader, value.data(), value.size());
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
