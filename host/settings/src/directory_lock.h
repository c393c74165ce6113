// The exclusive lock that serialises writers of the settings files in one
// directory, across threads and processes.
//
// The lock is flock(2) on the directory itself, not on the file: a write
// replaces the file by renaming a new one over it, so a lock on the file would
// be held on an inode that is no longer the file, and a second writer would
// lock the new inode at once. Locking the directory needs no extra file, leaves
// nothing behind after a crash, and works when the file is missing. Where the
// file system cannot lock a directory (some network file systems), a lock file
// ".NAME.lock" next to the settings file is used instead.
#pragma once

#include <chrono>
#include <string>

#include "posix_io.h"

namespace orv::settings {

class DirectoryLock {
 public:
  // Waits up to timeout for the lock on directory (for the settings file
  // named fileName in it). Check locked(); on failure error() is the errno.
  DirectoryLock(const std::string& directory, const std::string& fileName,
                std::chrono::milliseconds timeout);
  ~DirectoryLock();
  DirectoryLock(const DirectoryLock&) = delete;
  DirectoryLock& operator=(const DirectoryLock&) = delete;

  bool locked() const { return locked_; }
  int error() const { return error_; }
  // The open directory, for syncing it after a rename; -1 when it cannot be listed.
  int directoryFd() const { return directory_.get(); }

 private:
  bool lockWithin(int fd, std::chrono::steady_clock::time_point deadline);

  io::UniqueFd directory_;
  io::UniqueFd lockFile_;
  bool locked_ = false;
  int error_ = 0;
};

}  // namespace orv::settings
