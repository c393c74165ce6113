// Small POSIX file helpers for the settings files.
#include "posix_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "orv/text/system_error.h"

namespace orv::settings::io {

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
  if (this != &other) {
    reset();
    fd_ = other.release();
  }
  return *this;
}

int UniqueFd::release() {
  const int fd = fd_;
  fd_ = -1;
  return fd;
}

void UniqueFd::reset() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

bool UniqueFd::close() {
  if (fd_ < 0) return true;
  const int fd = release();
  return ::close(fd) == 0;
}

bool FileIdentity::operator==(const FileIdentity& other) const {
  return device == other.device && inode == other.inode && size == other.size &&
         modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec &&
         changed.tv_sec == other.changed.tv_sec && changed.tv_nsec == other.changed.tv_nsec;
}

FileIdentity identityOf(const struct stat& st) {
  FileIdentity id;
  id.device = static_cast<std::uint64_t>(st.st_dev);
  id.inode = static_cast<std::uint64_t>(st.st_ino);
  id.size = static_cast<std::int64_t>(st.st_size);
  id.modified = st.st_mtim;
  id.changed = st.st_ctim;
  return id;
}

ReadResult readWholeFile(const std::string& path, std::size_t maxBytes) {
  ReadResult result;
  // O_NONBLOCK: opening a named pipe must not hang the host.
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  if (!fd) {
    result.error = errno;
    result.status = (errno == ENOENT) ? ReadStatus::Missing : ReadStatus::Failed;
    return result;
  }
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) {
    result.error = errno;
    return result;
  }
  if (!S_ISREG(st.st_mode)) {
    result.error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    return result;
  }
  if (static_cast<std::uint64_t>(st.st_size) > maxBytes) {
    result.status = ReadStatus::TooLarge;
    return result;
  }
  result.bytes.resize(static_cast<std::size_t>(st.st_size) + 1);
  std::size_t filled = 0;
  for (;;) {
    if (filled == result.bytes.size()) {
      // The file grew while being read.
      if (result.bytes.size() > maxBytes) {
        result.bytes.clear();
        result.status = ReadStatus::TooLarge;
        return result;
      }
      result.bytes.resize(std::min(result.bytes.size() * 2, maxBytes + 1));
    }
    const ssize_t n = ::read(fd.get(), result.bytes.data() + filled, result.bytes.size() - filled);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      result.error = errno;
      result.bytes.clear();
      return result;
    }
    if (n == 0) break;
    filled += static_cast<std::size_t>(n);
  }
  result.bytes.resize(filled);
  result.status = ReadStatus::Ok;
  result.identity = identityOf(st);
  struct stat after {};
  result.steady = ::fstat(fd.get(), &after) == 0 && identityOf(after) == result.identity &&
                  filled == static_cast<std::size_t>(st.st_size);
  return result;
}

bool writeAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) {
      errno = ENOSPC;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

std::string directoryOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string baseNameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool resolveLinks(const std::string& path, std::string& target) {
  std::string current = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (::lstat(current.c_str(), &st) != 0) {
      if (errno != ENOENT) return false;
      target = current;  // not there yet: this is the file to create
      return true;
    }
    if (!S_ISLNK(st.st_mode)) {
      target = current;
      return true;
    }
    std::string link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
    for (;;) {
      const ssize_t n = ::readlink(current.c_str(), link.data(), link.size());
      if (n < 0) return false;
      if (static_cast<std::size_t>(n) < link.size()) {
        link.resize(static_cast<std::size_t>(n));
        break;
      }
      link.resize(link.size() * 2);
    }
    current = (link.starts_with('/') || current.find('/') == std::string::npos)
                  ? link
                  : directoryOf(current) + "/" + link;
  }
  errno = ELOOP;
  return false;
}

std::string describeError(int error) {
  // readWholeFile gives EINVAL for a device or a pipe.
  if (error == EINVAL) return "不是普通文件";
  return text::describeSystemError(error);
}

}  // namespace orv::settings::io
