// The exclusive lock that serialises writers of the settings files in one directory.
#include "directory_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <thread>

namespace orv::settings {

DirectoryLock::DirectoryLock(const std::string& directory, const std::string& fileName,
                             std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  directory_ = io::UniqueFd(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!directory_) {
    error_ = errno;
    if (error_ != EACCES) return;  // a directory we may write in but not list: use a lock file
  } else {
    if (lockWithin(directory_.get(), deadline)) return;
    if (error_ == EWOULDBLOCK) return;  // held by another writer past the timeout
  }

  // The file system cannot lock a directory: fall back to a lock file.
  const std::string path = directory + "/." + fileName + ".lock";
  lockFile_ = io::UniqueFd(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666));
  if (!lockFile_) {
    error_ = errno;
    return;
  }
  lockWithin(lockFile_.get(), deadline);
}

DirectoryLock::~DirectoryLock() {
  if (!locked_) return;
  ::flock(lockFile_ ? lockFile_.get() : directory_.get(), LOCK_UN);
}

bool DirectoryLock::lockWithin(int fd, std::chrono::steady_clock::time_point deadline) {
  auto pause = std::chrono::milliseconds(1);
  for (;;) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
      locked_ = true;
      error_ = 0;
      return true;
    }
    error_ = errno;
    if (error_ == EINTR) continue;
    if (error_ != EWOULDBLOCK) return false;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(pause);
    pause = std::min(pause * 2, std::chrono::milliseconds(50));
  }
}

}  // namespace orv::settings
