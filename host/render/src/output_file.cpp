// The safe write of a picture: the temporary file, its writes and its renaming into place.
#include "output_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>

#include "orv/text/system_error.h"

namespace orv::render {

std::string describeError(int error) { return orv::text::describeSystemError(error); }

std::optional<OutputFile> OutputFile::create(const fs::path& destination, std::string& error) {
  static std::atomic<unsigned> counter{0};
  const fs::path dir = destination.has_parent_path() ? destination.parent_path() : fs::path(".");
  const std::string base = "." + destination.filename().string();
  for (int attempt = 0; attempt < 100; ++attempt) {
    const auto tick = static_cast<unsigned long long>(
        std::chrono::steady_clock::now().time_since_epoch().count());
    char suffix[64];
    std::snprintf(suffix, sizeof suffix, ".%d.%u.%llx.tmp", static_cast<int>(::getpid()),
                  counter.fetch_add(1), tick & 0xffffffULL);
    fs::path temporary = dir / (base + suffix);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) return OutputFile(std::move(temporary), destination, fd);
    if (errno != EEXIST) {
      error = describeError(errno);
      return std::nullopt;
    }
  }
  error = describeError(EEXIST);
  return std::nullopt;
}

OutputFile::OutputFile(OutputFile&& other) noexcept
    : temporary_(std::move(other.temporary_)),
      destination_(std::move(other.destination_)),
      fd_(other.fd_),
      writeError_(other.writeError_),
      committed_(other.committed_) {
  other.fd_ = -1;
  other.committed_ = true;  // the moved-from object owns no file
}

OutputFile::~OutputFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!committed_) ::unlink(temporary_.c_str());
}

cairo_status_t OutputFile::writeToOutput(void* closure, const unsigned char* data,
                                         unsigned int length) {
  auto* self = static_cast<OutputFile*>(closure);
  if (self->writeError_ != 0) return CAIRO_STATUS_WRITE_ERROR;
  while (length > 0) {
    const ssize_t n = ::write(self->fd_, data, length);
    if (n < 0) {
      if (errno == EINTR) continue;
      self->writeError_ = errno;
      return CAIRO_STATUS_WRITE_ERROR;
    }
    data += n;
    length -= static_cast<unsigned int>(n);
  }
  return CAIRO_STATUS_SUCCESS;
}

bool OutputFile::commit(std::string& error) {
  if (writeError_ != 0) {
    error = describeError(writeError_);
    return false;
  }
  if (::fsync(fd_) != 0 && errno != EINVAL) {
    error = describeError(errno);
    return false;
  }
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) {
    error = describeError(errno);
    return false;
  }
  if (::rename(temporary_.c_str(), destination_.c_str()) != 0) {
    error = describeError(errno);
    return false;
  }
  committed_ = true;
  return true;
}

}  // namespace orv::render
