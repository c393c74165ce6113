// A compact list of DXF group-code/value pairs kept as read for whatever the model does not interpret.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace orv::db {

// One kept tag. `slot` says where in its object the tag stood, so that a writer can put
// it back there (the meaning of each slot belongs to the object kind that keeps it).
struct RawTag {
  int code = 0;
  std::uint8_t slot = 0;
  std::string_view value;  // UTF-8 text, as every string inside the database
};

// Tags packed into one string: small to hold, cheap to copy, compared by content.
class RawTags {
 public:
  class Iterator {
   public:
    using value_type = RawTag;
    using difference_type = std::ptrdiff_t;
    Iterator() = default;
    Iterator(const char* p) : p_(p) {}
    RawTag operator*() const;
    Iterator& operator++();
    Iterator operator++(int) {
      Iterator old = *this;
      ++*this;
      return old;
    }
    bool operator==(const Iterator& other) const { return p_ == other.p_; }

   private:
    const char* p_ = nullptr;
  };

  void add(int code, std::string_view value, std::uint8_t slot = 0);
  void append(const RawTags& other);
  void clear() { bytes_.clear(); count_ = 0; }
  bool empty() const { return count_ == 0; }
  std::size_t size() const { return count_; }
  // True when some tag stands in the given slot.
  bool hasSlot(std::uint8_t slot) const;

  Iterator begin() const { return Iterator(bytes_.data()); }
  Iterator end() const { return Iterator(bytes_.data() + bytes_.size()); }

  bool operator==(const RawTags& other) const { return bytes_ == other.bytes_; }

 private:
  std::string bytes_;  // per tag: code (int32), slot (u8), length (u32), value bytes
  std::uint32_t count_ = 0;
};

}  // namespace orv::db
