// A growable array whose elements never move, so that references and indexes stay valid.
#pragma once

#include <bit>
#include <cstddef>
#include <new>
#include <utility>
#include <vector>

namespace orv::db {

namespace detail {
// Memory for a chunk of elements. Large chunks come straight from the system, in a form
// the kernel may back with huge pages: a drawing of a million entities then costs a few
// dozen page faults instead of tens of thousands.
void* allocateChunk(std::size_t bytes, std::size_t alignment);
void freeChunk(void* p, std::size_t bytes, std::size_t alignment);
// Gives the pages of a chunk of `bytes` from `from` on back to the system (they read as
// zeros again when touched); for a chunk from the heap nothing is done.
void releaseTail(void* chunk, std::size_t bytes, std::size_t from);

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

// Elements live in chunks that double in size up to a full size, then all of the full
// size: a few elements take little memory, many take few chunks, and an index finds its
// chunk with one bit scan or one division. A run of elements made apart (on another
// thread) in full chunks is taken over by a vector without moving a single element: it
// goes where the next full chunk begins, and the slots between the vector's last element
// and the run are skipped by the indexes (a gap that holds nothing and takes no memory).
template <class T>
class StableVector {
 public:
  StableVector() = default;
  StableVector(const StableVector&) = delete;
  StableVector& operator=(const StableVector&) = delete;
  StableVector(StableVector&& other) noexcept
      : chunks_(std::exchange(other.chunks_, {})),
        first_(std::exchange(other.first_, 0)),
        size_(std::exchange(other.size_, 0)),
        gapAt_(std::exchange(other.gapAt_, kNoGap)),
        gap_(std::exchange(other.gap_, 0)),
        prefaulter_(std::exchange(other.prefaulter_, nullptr)) {}
  StableVector& operator=(StableVector&& other) noexcept {
    if (this != &other) {
      release();
      chunks_ = std::exchange(other.chunks_, {});
      first_ = std::exchange(other.first_, 0);
      size_ = std::exchange(other.size_, 0);
      gapAt_ = std::exchange(other.gapAt_, kNoGap);
      gap_ = std::exchange(other.gap_, 0);
      prefaulter_ = std::exchange(other.prefaulter_, nullptr);
    }
    return *this;
  }
  ~StableVector() { release(); }

  // A run: a vector whose elements begin at index first() in full chunks, for
  // another vector to take over (takeOver).
  static StableVector run() {
    StableVector v;
    v.first_ = v.size_ = kFullFrom;
    return v;
  }
  // The index of the first element: 0, or for a run, first() .. size() - 1 are its elements.
  std::size_t first() const { return first_; }
  std::size_t size() const { return size_; }
  T& operator[](std::size_t i) { return at(i); }
  const T& operator[](std::size_t i) const { return const_cast<StableVector*>(this)->at(i); }

  T& push_back(T&& value) { return emplace_back(std::move(value)); }
  T& push_back(const T& value) { return emplace_back(value); }
  template <class... Args>
  T& emplace_back(Args&&... args) {
    const Slot s = slot(place(size_));
    if (s.offset == 0 && (s.chunk >= chunks_.size() || !chunks_[s.chunk])) startChunk(s.chunk);
    T* p = new (chunks_[s.chunk] + s.offset) T(std::forward<Args>(args)...);
    ++size_;
    if (prefaulter_ && s.offset % kPrefaultStride == 0) detail::advancePrefault(prefaulter_, s.offset * sizeof(T));
    // A full chunk's successor is made a little before it is needed, so that its pages
    // are faulted in ahead of the writer as the rest of this chunk's were.
    if (s.chunk >= kDoublings && s.offset == kFull - kEarly) startChunk(s.chunk + 1);
    return *p;
  }

  // Gives back a chunk made ahead of the writer that no element took, and the pages
  // faulted in ahead of it (when the vector has stopped growing for a while, a drawing
  // read whole, say). It may grow again.
  void trim() {
    stopPrefault();
    const std::size_t used = chunksInUse();
    for (std::size_t k = used; k < chunks_.size(); ++k)
      if (chunks_[k]) detail::freeChunk(chunks_[k], chunkBytes(k), alignof(T));
    if (used < chunks_.size()) chunks_.resize(used);
    releasePastLast();
  }

  // Appends the elements of `tail`, a run, without moving them: its chunks are put where
  // the next full chunk begins, and the slots up to there are left out of the indexes (the
  // pages of them faulted in ahead of the writer are given back). A vector has one such
  // gap; should it take over a second run, the slots before that one hold elements made by
  // `filler(index)` instead. Returns the index the run's first element has here: the
  // vector's size before it, but for the fillers.
  template <class Filler>
  std::size_t takeOver(StableVector&& tail, Filler&& filler) {
    stopPrefault();
    tail.stopPrefault();
    if (tail.size_ == tail.first_) return size_;
    const std::size_t at = place(size_);
    const std::size_t to = at <= kFullFrom ? kFullFrom : kFullFrom + (at - kFullFrom + kFull - 1) / kFull * kFull;
    if (gapAt_ == kNoGap) {
      if (to > at) {
        gapAt_ = size_;
        gap_ = to - at;
        releasePastLast();
      }
    } else {
      while (place(size_) < to) {
        const Slot s = slot(place(size_));
        if (s.offset == 0 && (s.chunk >= chunks_.size() || !chunks_[s.chunk])) allocate(s.chunk);
        new (chunks_[s.chunk] + s.offset) T(filler(size_));
        ++size_;
      }
    }
    // A chunk made ahead of the writer and not used holds nothing: it gives way, as does
    // a chunk the gap covers whole.
    for (std::size_t k = chunksInUse(); k < chunks_.size(); ++k)
      if (chunks_[k]) detail::freeChunk(std::exchange(chunks_[k], nullptr), chunkBytes(k), alignof(T));
    chunks_.resize(slot(to).chunk, nullptr);
    const std::size_t first = size_;
    const std::size_t count = tail.size_ - tail.first_;
    const std::size_t tailChunks = (count + kFull - 1) / kFull;
    for (std::size_t k = 0; k < tailChunks; ++k) chunks_.push_back(tail.chunks_[kDoublings + k]);
    for (std::size_t k = kDoublings + tailChunks; k < tail.chunks_.size(); ++k)
      if (tail.chunks_[k]) detail::freeChunk(tail.chunks_[k], chunkBytes(k), alignof(T));
    tail.chunks_.clear();
    tail.first_ = tail.size_ = 0;
    size_ += count;
    return first;
  }

 private:
  static constexpr std::size_t kFirst = 64;
  static constexpr std::size_t kDoublings = 10;                 // chunks 0..9 double in size
  static constexpr std::size_t kFull = kFirst << kDoublings;   // the size of every later chunk
  static constexpr std::size_t kFullFrom = kFirst * ((std::size_t{1} << kDoublings) - 1);
  static constexpr std::size_t kPrefaultStride = 4096;  // elements between progress reports
  static constexpr std::size_t kEarly = kFull / 8;      // the next chunk is made this many ahead
  static constexpr std::size_t kNoGap = ~std::size_t{0};
  struct Slot {
    std::size_t chunk;
    std::size_t offset;
  };
  // Where element i lives counting the slots of the gap.
  std::size_t place(std::size_t i) const { return i >= gapAt_ ? i + gap_ : i; }
  // How many of chunks_ hold elements: up to the last element's.
  std::size_t chunksInUse() const { return size_ == 0 ? 0 : slot(place(size_ - 1)).chunk + 1; }
  // Gives back the last chunk's pages past the last element (faulted in ahead of the writer).
  void releasePastLast() {
    if (size_ == first_) return;
    const Slot last = slot(place(size_ - 1));
    detail::releaseTail(chunks_[last.chunk], chunkBytes(last.chunk), (last.offset + 1) * sizeof(T));
  }
  static Slot slot(std::size_t i) {
    if (i >= kFullFrom) return {kDoublings + (i - kFullFrom) / kFull, (i - kFullFrom) % kFull};
    const std::size_t q = i / kFirst + 1;
    const std::size_t chunk = static_cast<std::size_t>(std::bit_width(q)) - 1;
    return {chunk, i - kFirst * ((std::size_t{1} << chunk) - 1)};
  }
  static std::size_t chunkBytes(std::size_t chunk) {
    return (chunk >= kDoublings ? kFull : kFirst << chunk) * sizeof(T);
  }
  T& at(std::size_t i) {
    const Slot s = slot(place(i));
    return chunks_[s.chunk][s.offset];
  }
  void allocate(std::size_t chunk) {
    if (chunk >= chunks_.size()) chunks_.resize(chunk + 1, nullptr);
    chunks_[chunk] = static_cast<T*>(detail::allocateChunk(chunkBytes(chunk), alignof(T)));
  }
  // Makes a chunk (if it is not made yet) and faults its pages in ahead of the writer.
  void startChunk(std::size_t chunk) {
    if (chunk < chunks_.size() && chunks_[chunk]) return;
    stopPrefault();
    allocate(chunk);
    prefaulter_ = detail::startPrefault(chunks_[chunk], chunkBytes(chunk));
  }
  void stopPrefault() {
    if (prefaulter_) detail::stopPrefault(std::exchange(prefaulter_, nullptr));
  }
  void release() {
    stopPrefault();
    for (std::size_t i = first_; i < size_; ++i) at(i).~T();
    for (std::size_t k = 0; k < chunks_.size(); ++k)
      if (chunks_[k]) detail::freeChunk(chunks_[k], chunkBytes(k), alignof(T));
    chunks_.clear();
    first_ = size_ = 0;
    gapAt_ = kNoGap;
    gap_ = 0;
  }

  std::vector<T*> chunks_;
  std::size_t first_ = 0;
  std::size_t size_ = 0;
  std::size_t gapAt_ = kNoGap;  // the index before which the gap lies
  std::size_t gap_ = 0;         // the slots it skips
  detail::ChunkPrefaulter* prefaulter_ = nullptr;  // of the newest chunk, while it fills
};

}  // namespace orv::db
