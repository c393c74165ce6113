// A compact list of DXF group-code/value pairs kept as read for whatever the model does not interpret.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

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
  std::string bytes_;  // per tag: code, slot, length, value bytes (packed: see add)
  std::uint32_t count_ = 0;
};

// Where a tag stands in an object's tags: its own data, an application data group
// (102 {NAME ... 102 }, the two 102 tags included) or the extended data (1000 and up, to
// the end). The one rule every reader of kept tags follows.
class DataTagWalk {
 public:
  enum class Place { data, group, extended };
  Place next(const RawTag& t) {
    if (t.code >= 1000) extended_ = true;
    if (extended_) return Place::extended;
    if (t.code == 102) {
      inGroup_ = !t.value.empty() && t.value.front() == '{';
      return Place::group;
    }
    return inGroup_ ? Place::group : Place::data;
  }

 private:
  bool inGroup_ = false;
  bool extended_ = false;
};

// Calls f(code, value) for each tag of an object's own data (see DataTagWalk), up to the
// extended data. An f that returns bool stops the walk by returning false.
template <class F>
void forEachDataTag(const RawTags& tags, F&& f) {
  DataTagWalk walk;
  for (RawTag t : tags) {
    const DataTagWalk::Place place = walk.next(t);
    if (place == DataTagWalk::Place::extended) return;
    if (place != DataTagWalk::Place::data) continue;
    if constexpr (std::is_same_v<decltype(f(t.code, t.value)), bool>) {
      if (!f(t.code, t.value)) return;
    } else {
      f(t.code, t.value);
    }
  }
}

}  // namespace orv::db
