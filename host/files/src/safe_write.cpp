// Safe writing: temporary file, fsync, rename; the failure of any step leaves the old file.
#include "orv/io/safe_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

int writeFileSafely(const std::filesystem::path& path, const FileFiller& fill, const SafeWriteOptions& options) {
  const std::filesystem::path dir = path.has_parent_path() ? path.parent_path() : ".";
  std::string temporary = (dir / ("." + path.filename().string() + ".XXXXXX")).string();
  const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) return errno;

  int error = fill(fd);
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  // The new file gets the usual permissions (or the old file's), not mkstemp's 0600.
  mode_t mode = options.mode;
  struct stat old {};
  if (options.keepMode && ::stat(path.c_str(), &old) == 0) {
    mode = old.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode &= ~mask;
  }
  ::fchmod(fd, mode);
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && std::rename(temporary.c_str(), path.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temporary.c_str());
    return error;
  }
  if (options.syncFolder) {
    const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
      ::fsync(dirFd);
      ::close(dirFd);
    }
  }
  return 0;
}

}  // namespace orv::io
