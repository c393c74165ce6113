// Safe writing: temporary file, fsync, rename; the failure of any step leaves the old file.
#include "orv/io/safe_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <string>

namespace orv::io {

int writeAll(int fd, const void* data, std::size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = ::write(fd, p, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    p += n;
    size -= static_cast<std::size_t>(n);
  }
  return 0;
}

std::optional<SafeFile> SafeFile::create(const std::filesystem::path& target, int& error) {
  static std::atomic<unsigned> counter{0};
  const std::filesystem::path dir = target.has_parent_path() ? target.parent_path() : ".";
  const std::string prefix = temporaryPrefix(target.filename().string());
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::filesystem::path temporary =
        dir / (prefix + std::to_string(::getpid()) + "." + std::to_string(counter++) + kTemporaryEnding);
    // Read-only for others until commit gives it its mode; O_EXCL and O_NOFOLLOW: never
    // a file or link someone put there.
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd >= 0) return SafeFile(std::move(temporary), target, fd);
    if (errno != EEXIST) {
      error = errno;
      return std::nullopt;
    }
  }
  error = EEXIST;
  return std::nullopt;
}

SafeFile::SafeFile(SafeFile&& other) noexcept
    : temporary_(std::move(other.temporary_)), target_(std::move(other.target_)), fd_(other.fd_), done_(other.done_) {
  other.fd_ = -1;
  other.done_ = true;
}

SafeFile::~SafeFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!done_) ::unlink(temporary_.c_str());
}

int SafeFile::commit(const SafeWriteOptions& options) {
  if (done_ || fd_ < 0) return EBADF;
  int error = 0;
  if (::fsync(fd_) != 0 && errno != EINVAL) error = errno;
  // The new file gets the usual permissions (or the old file's), not the temporary's 0600.
  mode_t mode = options.mode;
  struct stat old {};
  if (options.keepMode && ::stat(target_.c_str(), &old) == 0) {
    // Owner first: changing it may clear set-id bits that fchmod then restores. Only a
    // privileged process may give a file away; others keep their own.
    if (::fchown(fd_, old.st_uid, old.st_gid) != 0) {
    }
    mode = old.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode &= ~mask;
  }
  if (error == 0 && ::fchmod(fd_, mode) != 0) error = errno;
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && std::rename(temporary_.c_str(), target_.c_str()) != 0) error = errno;
  if (error != 0) return error;  // the destructor removes the temporary file
  done_ = true;
  if (options.syncFolder) {
    const std::filesystem::path dir = target_.has_parent_path() ? target_.parent_path() : ".";
    const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
      ::fsync(dirFd);
      ::close(dirFd);
    }
  }
  return 0;
}

int writeFileSafely(const std::filesystem::path& path, const FileFiller& fill, const SafeWriteOptions& options) {
  int error = 0;
  auto file = SafeFile::create(path, error);
  if (!file) return error;
  if (int filled = fill(file->fd())) return filled;
  return file->commit(options);
}

}  // namespace orv::io
