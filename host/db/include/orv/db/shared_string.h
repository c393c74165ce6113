// An immutable string shared by the values that hold it alike: a pointer's size in each
// holder, one counted block of bytes for all copies. For the names and labels that many
// entities of a drawing repeat (a text's style, an attribute's tag and prompt), where a
// std::string would cost its full size in each of a hundred thousand texts.
#pragma once

#include <atomic>
#include <compare>
#include <cstdint>
#include <string>
#include <string_view>

namespace orv::db {

class SharedString {
 public:
  SharedString() = default;
  // Explicit, so that no std::string turns into a shared copy unseen (as in a conditional
  // expression choosing between the two, whose result would then be a temporary).
  explicit SharedString(std::string_view s);
  explicit SharedString(const char* s) : SharedString(std::string_view(s)) {}
  explicit SharedString(const std::string& s) : SharedString(std::string_view(s)) {}
  SharedString(const SharedString& other) noexcept : block_(other.block_) { hold(); }
  SharedString(SharedString&& other) noexcept : block_(other.block_) { other.block_ = nullptr; }
  SharedString& operator=(const SharedString& other) noexcept {
    SharedString copy(other);
    swap(copy);
    return *this;
  }
  SharedString& operator=(SharedString&& other) noexcept {
    SharedString taken(std::move(other));
    swap(taken);
    return *this;
  }
  SharedString& operator=(std::string_view s) { return *this = SharedString(s); }
  SharedString& operator=(const char* s) { return *this = SharedString(s); }
  SharedString& operator=(const std::string& s) { return *this = SharedString(s); }
  ~SharedString() { release(); }

  std::string_view view() const { return block_ ? std::string_view(chars(), block_->size) : std::string_view(); }
  operator std::string_view() const { return view(); }
  std::string str() const { return std::string(view()); }
  // The bytes followed by a NUL.
  const char* c_str() const { return block_ ? chars() : ""; }
  bool empty() const { return block_ == nullptr; }
  std::size_t size() const { return block_ ? block_->size : 0; }
  void clear() { *this = SharedString(); }
  void swap(SharedString& other) noexcept { std::swap(block_, other.block_); }
  // True when both hold the same block (a copy of one another), not only equal bytes.
  bool sharesWith(const SharedString& other) const { return block_ == other.block_; }

  friend bool operator==(const SharedString& a, const SharedString& b) {
    return a.block_ == b.block_ || a.view() == b.view();
  }
  friend bool operator==(const SharedString& a, std::string_view b) { return a.view() == b; }
  friend bool operator==(const SharedString& a, const char* b) { return a.view() == b; }
  friend bool operator==(const SharedString& a, const std::string& b) { return a.view() == b; }
  friend std::strong_ordering operator<=>(const SharedString& a, const SharedString& b) { return a.view() <=> b.view(); }
  friend std::string operator+(const std::string& a, const SharedString& b) { return a + std::string(b.view()); }
  friend std::string operator+(const char* a, const SharedString& b) { return a + std::string(b.view()); }
  friend std::string operator+(const SharedString& a, const std::string& b) { return std::string(a.view()) + b; }
  friend std::string operator+(const SharedString& a, const char* b) { return std::string(a.view()) + b; }

 private:
  struct Block {
    std::atomic<std::uint32_t> holders;
    std::uint32_t size;
  };
  const char* chars() const { return reinterpret_cast<const char*>(block_ + 1); }
  void hold() noexcept {
    if (block_) block_->holders.fetch_add(1, std::memory_order_relaxed);
  }
  void release() noexcept;

  Block* block_ = nullptr;
};

}  // namespace orv::db
