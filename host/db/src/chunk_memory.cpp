// Memory for the chunks of StableVector: small ones from the heap, large ones mapped
// from the system on huge-page boundaries where the kernel can use huge pages, and faulted
// in ahead of the writer on a thread of their own.
#include "orv/db/stable_vector.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <system_error>
#include <thread>

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace orv::db::detail {

namespace {
constexpr std::size_t kHugePage = std::size_t{2} << 20;
// Below this a chunk comes from the heap: a small drawing (a part library, a new
// drawing) should not take a whole huge page.
constexpr std::size_t kMappedFrom = 2 * kHugePage;

bool mapped(std::size_t bytes) {
#if defined(__linux__)
  return bytes >= kMappedFrom;
#else
  (void)bytes;
  return false;
#endif
}

std::size_t roundUp(std::size_t n, std::size_t to) { return (n + to - 1) / to * to; }
}  // namespace

void* allocateChunk(std::size_t bytes, std::size_t alignment) {
#if defined(__linux__)
  if (mapped(bytes)) {
    // Map a huge page more than needed and trim, so the chunk starts on a huge-page
    // boundary; then ask for huge pages (a hint: without them it is ordinary memory).
    const std::size_t size = roundUp(bytes, kHugePage);
    void* raw = mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) throw std::bad_alloc();
    auto* start = static_cast<char*>(raw);
    auto* aligned = reinterpret_cast<char*>(
        roundUp(reinterpret_cast<std::uintptr_t>(start), kHugePage));
    const auto head = static_cast<std::size_t>(aligned - start);
    if (head) munmap(start, head);
    munmap(aligned + size, kHugePage - head);
    madvise(aligned, size, MADV_HUGEPAGE);
    return aligned;
  }
#endif
  return ::operator new(bytes, std::align_val_t(alignment));
}

void freeChunk(void* p, std::size_t bytes, std::size_t alignment) {
#if defined(__linux__)
  if (mapped(bytes)) {
    munmap(p, roundUp(bytes, kHugePage));
    return;
  }
#endif
  ::operator delete(p, std::align_val_t(alignment));
}

void releaseTail(void* chunk, std::size_t bytes, std::size_t from) {
#if defined(__linux__)
  if (!mapped(bytes)) return;
  static const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  const std::size_t start = roundUp(from, page);
  if (start < bytes) madvise(static_cast<char*>(chunk) + start, bytes - start, MADV_DONTNEED);
#else
  (void)chunk;
  (void)bytes;
  (void)from;
#endif
}

// ---- faulting in ahead of the writer

class ChunkPrefaulter {
 public:
  ChunkPrefaulter(char* chunk, std::size_t bytes) : chunk_(chunk), bytes_(bytes) {
    thread_ = std::thread([this] { run(); });
  }
  ~ChunkPrefaulter() {
    stop_.store(true, std::memory_order_relaxed);
    thread_.join();
  }
  void advance(std::size_t written) { written_.store(written, std::memory_order_relaxed); }

 private:
  // Stays this far ahead of the writer: memory the chunk may never need is not taken early.
  static constexpr std::size_t kAhead = 2 * kHugePage;

  void run() {
#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
    std::size_t done = 0;
    while (done < bytes_ && !stop_.load(std::memory_order_relaxed)) {
      if (done >= written_.load(std::memory_order_relaxed) + kAhead) {
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        continue;
      }
      const std::size_t n = std::min(kHugePage, bytes_ - done);
      // Makes the pages present and writable; what the writer has put there stays.
      if (madvise(chunk_ + done, n, MADV_POPULATE_WRITE) != 0) return;  // not supported
      done += n;
    }
#endif
  }

  char* const chunk_;
  const std::size_t bytes_;
  std::atomic<std::size_t> written_{0};
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

ChunkPrefaulter* startPrefault(void* chunk, std::size_t bytes) {
#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
  if (!mapped(bytes)) return nullptr;
  try {
    return new ChunkPrefaulter(static_cast<char*>(chunk), bytes);
  } catch (const std::system_error&) {
    return nullptr;  // no thread to be had: the writer faults the pages in itself
  }
#else
  (void)chunk;
  (void)bytes;
  return nullptr;
#endif
}

void advancePrefault(ChunkPrefaulter* prefaulter, std::size_t written) { prefaulter->advance(written); }

void stopPrefault(ChunkPrefaulter* prefaulter) { delete prefaulter; }

}  // namespace orv::db::detail
