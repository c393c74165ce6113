// Files: reading a DXF through a memory map, saving through the safe-write service.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>
#include <system_error>
#include <thread>

#include "orv/dxf/reader.h"
#include "orv/dxf/writer.h"
#include "orv/io/safe_write.h"
#include "orv/text/system_error.h"

namespace orv::dxf {

namespace {

// A few words saying what an errno value means to the user. The caller names the file.
std::string describeError(int error) { return text::describeSystemError(error); }

// Reads one byte of every page of a mapped file on a thread of its own, running ahead of
// the reader. The first access to each page of a mapping is costly (a page fault, and on
// a virtual machine with shadow page tables a trip to the hypervisor, some microseconds a
// page); this way the reading thread finds most pages ready, and a large drawing opens
// with that work done on another core. Only reads: the mapping is never written.
class PageToucher {
 public:
  PageToucher() = default;
  PageToucher(const PageToucher&) = delete;
  PageToucher& operator=(const PageToucher&) = delete;
  ~PageToucher() { stop(); }

  void start(const char* data, std::size_t size) {
    const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    try {
      thread_ = std::thread([this, data, size, page] {
        std::size_t at = 0;
#if defined(MADV_POPULATE_READ)
        // The kernel maps a stretch of pages at once, without a fault for each.
        constexpr std::size_t kStretch = std::size_t{2} << 20;
        const auto base = reinterpret_cast<std::uintptr_t>(data);
        while (at < size && !stop_.load(std::memory_order_relaxed)) {
          const std::size_t n = std::min(kStretch, size - at);
          if (madvise(reinterpret_cast<void*>(base + at), n, MADV_POPULATE_READ) != 0) break;
          at += n;
        }
#endif
        unsigned char sum = 0;
        for (; at < size && !stop_.load(std::memory_order_relaxed); at += page)
          sum ^= static_cast<unsigned char>(*static_cast<const volatile char*>(data + at));
        sum_ = sum;
      });
    } catch (const std::system_error&) {
      // No thread to be had: the reader touches the pages itself, as it reads.
    }
  }
  // Returns once the thread has ended.
  void stop() {
    stop_.store(true, std::memory_order_relaxed);
    if (thread_.joinable()) thread_.join();
  }

 private:
  std::atomic<bool> stop_{false};
  unsigned char sum_ = 0;  // what was read, so that the reads are not left out
  std::thread thread_;
};

// Files from this size on are touched ahead of the reader.
constexpr std::size_t kTouchAheadFrom = std::size_t{8} << 20;

// A read-only view of a whole file, released when it goes out of scope.
class MappedFile {
 public:
  ~MappedFile() {
    toucher_.stop();
    if (data_ && data_ != MAP_FAILED) munmap(data_, size_);
    if (fd_ >= 0) close(fd_);
  }
  std::string open(const std::filesystem::path& path) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) return describeError(errno);
    struct stat st {};
    if (fstat(fd_, &st) != 0) return "无法读取（" + describeError(errno) + "）";
    if (S_ISDIR(st.st_mode)) return describeError(EISDIR);
    if (!S_ISREG(st.st_mode)) return "不是普通文件";
    size_ = static_cast<std::size_t>(st.st_size);
    if (size_ == 0) return {};
    data_ = mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, fd_, 0);
    if (data_ == MAP_FAILED) return "无法读取（" + describeError(errno) + "）";
    madvise(data_, size_, MADV_SEQUENTIAL);
    if (size_ >= kTouchAheadFrom) toucher_.start(static_cast<const char*>(data_), size_);
    return {};
  }
  std::string_view bytes() const {
    return data_ && data_ != MAP_FAILED ? std::string_view(static_cast<const char*>(data_), size_)
                                        : std::string_view();
  }

 private:
  int fd_ = -1;
  void* data_ = nullptr;
  std::size_t size_ = 0;
  PageToucher toucher_;
};

struct FileOut {
  int fd;
  int error = 0;
};

bool writeToFile(void* context, std::string_view bytes, std::string& failure) {
  auto* out = static_cast<FileOut*>(context);
  out->error = io::writeAll(out->fd, bytes.data(), bytes.size());
  if (out->error != 0) failure = describeError(out->error);
  return out->error == 0;
}

}  // namespace

ReadResult readDxfFile(const std::filesystem::path& path) {
  MappedFile file;
  if (std::string error = file.open(path); !error.empty()) {
    ReadResult r;
    r.errorReason = error;
    r.error = std::move(error);
    return r;
  }
  return readDxf(file.bytes());
}

WriteResult saveDxfFile(const db::Database& drawing, const std::filesystem::path& path) {
  WriteResult result;
  const int error = io::writeFileSafely(path, [&](int fd) {
    FileOut out{fd};
    TextSink sink(&writeToFile, &out);
    result = writeDxf(drawing, sink);
    if (result && !sink.finish()) result = WriteResult{false, sink.failure()};
    if (!result) return out.error != 0 ? out.error : EIO;
    return 0;
  });
  if (error != 0 && result) result = WriteResult{false, describeError(error)};
  return result;
}

}  // namespace orv::dxf
