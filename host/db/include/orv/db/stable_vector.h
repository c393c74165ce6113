// A growable array whose elements never move, so that references and indexes stay valid.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <new>
#include <utility>

namespace orv::db {

namespace detail {
// Memory for a chunk of elements. Large chunks come straight from the system, in a form
// the kernel may back with huge pages: a drawing of a million entities then costs a few
// dozen page faults instead of tens of thousands.
void* allocateChunk(std::size_t bytes, std::size_t alignment);
void freeChunk(void* p, std::size_t bytes, std::size_t alignment);

// Faults in the pages of a large chunk on a thread of its own, a few megabytes ahead of
// the element being written, so that the writer seldom waits for the kernel to provide a
// cleared page (on a virtual machine also a trip to the hypervisor). Null when the chunk
// is small or the system cannot do it.
class ChunkPrefaulter;
ChunkPrefaulter* startPrefault(void* chunk, std::size_t bytes);
// The writer has reached this many bytes into the chunk.
void advancePrefault(ChunkPrefaulter* prefaulter, std::size_t written);
// Returns once the thread has ended.
void stopPrefault(ChunkPrefaulter* prefaulter);
}  // namespace detail

// Elements live in chunks that double in size: chunk k holds kFirst << k elements, so a
// few elements take little memory, many take few chunks, and an index finds its chunk
// with one bit scan.
template <class T>
class StableVector {
 public:
  StableVector() = default;
  StableVector(const StableVector&) = delete;
  StableVector& operator=(const StableVector&) = delete;
  StableVector(StableVector&& other) noexcept
      : chunks_(std::exchange(other.chunks_, {})),
        size_(std::exchange(other.size_, 0)),
        prefaulter_(std::exchange(other.prefaulter_, nullptr)) {}
  StableVector& operator=(StableVector&& other) noexcept {
    if (this != &other) {
      release();
      chunks_ = std::exchange(other.chunks_, {});
      size_ = std::exchange(other.size_, 0);
      prefaulter_ = std::exchange(other.prefaulter_, nullptr);
    }
    return *this;
  }
  ~StableVector() { release(); }

  std::size_t size() const { return size_; }
  T& operator[](std::size_t i) { return at(i); }
  const T& operator[](std::size_t i) const { return const_cast<StableVector*>(this)->at(i); }

  T& push_back(T&& value) { return emplace_back(std::move(value)); }
  T& push_back(const T& value) { return emplace_back(value); }
  template <class... Args>
  T& emplace_back(Args&&... args) {
    const Slot s = slot(size_);
    if (s.offset == 0 && !chunks_[s.chunk]) {
      stopPrefault();
      chunks_[s.chunk] = static_cast<T*>(detail::allocateChunk(chunkBytes(s.chunk), alignof(T)));
      prefaulter_ = detail::startPrefault(chunks_[s.chunk], chunkBytes(s.chunk));
    }
    T* p = new (chunks_[s.chunk] + s.offset) T(std::forward<Args>(args)...);
    ++size_;
    if (prefaulter_ && s.offset % kPrefaultStride == 0)
      detail::advancePrefault(prefaulter_, s.offset * sizeof(T));
    return *p;
  }

 private:
  static constexpr std::size_t kFirst = 64;
  static constexpr std::size_t kPrefaultStride = 4096;  // elements between progress reports
  static constexpr std::size_t kMaxChunks = 40;
  struct Slot {
    std::size_t chunk;
    std::size_t offset;
  };
  static Slot slot(std::size_t i) {
    const std::size_t q = i / kFirst + 1;
    const std::size_t chunk = static_cast<std::size_t>(std::bit_width(q)) - 1;
    return {chunk, i - kFirst * ((std::size_t{1} << chunk) - 1)};
  }
  static std::size_t chunkBytes(std::size_t chunk) { return (kFirst << chunk) * sizeof(T); }
  T& at(std::size_t i) {
    const Slot s = slot(i);
    return chunks_[s.chunk][s.offset];
  }
  void stopPrefault() {
    if (prefaulter_) detail::stopPrefault(std::exchange(prefaulter_, nullptr));
  }
  void release() {
    stopPrefault();
    for (std::size_t i = 0; i < size_; ++i) at(i).~T();
    for (std::size_t k = 0; k < kMaxChunks; ++k)
      if (chunks_[k]) detail::freeChunk(chunks_[k], chunkBytes(k), alignof(T));
    chunks_ = {};
    size_ = 0;
  }

  std::array<T*, kMaxChunks> chunks_{};
  std::size_t size_ = 0;
  detail::ChunkPrefaulter* prefaulter_ = nullptr;  // of the newest chunk, while it fills
};

}  // namespace orv::db
