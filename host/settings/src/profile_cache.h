// Settings files read before, kept with the identity of the file they were read
// from, so that reading an unchanged file again skips reading and parsing it.
//
// Every read still goes to the file: the caller takes the file's identity
// (device, inode, size, mtime and ctime to the nanosecond) with one stat() and
// gets a document only when that identity is the one it was read under. A write
// through updateProfile renames a new file into place, a new inode; any other
// change of the bytes sets a new mtime. So a document is only ever kept for a
// file whose times lie before the read began: a change after that read stamps
// a later time, even where the file system's clock ticks coarsely.
#pragma once

#include <ctime>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "orv/settings/profile_file.h"
#include "posix_io.h"

namespace orv::settings {

class ProfileCache {
 public:
  // The document kept for path, if the file still has the identity it was read under.
  std::shared_ptr<const LoadedProfile> find(const std::string& path, const io::FileIdentity& now);
  // Keeps a document read from path under the identity the read saw.
  void keep(const std::string& path, const io::FileIdentity& identity,
            std::shared_ptr<const LoadedProfile> loaded);
  // Forgets whatever is kept for path.
  void forget(const std::string& path);

  // True when a file of this identity, read after `readStart` (the coarse real-time
  // clock before the file was opened), cannot change later without a new identity:
  // its times lie before readStart, by two seconds on file systems that keep whole
  // seconds only.
  static bool settled(const io::FileIdentity& identity, timespec readStart);

  // The cache of this process.
  static ProfileCache& instance();

 private:
  static constexpr std::size_t kCapacity = 16;
  struct Entry {
    std::string path;
    io::FileIdentity identity;
    std::shared_ptr<const LoadedProfile> loaded;
  };
  std::mutex mutex_;
  std::vector<Entry> entries_;  // most recently used last
};

}  // namespace orv::settings
