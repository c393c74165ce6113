// Small POSIX file helpers for the settings files: an owning descriptor,
// whole-file reads with a size limit, and system errors in words.
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace orv::settings::io {

// Owns a file descriptor and closes it.
class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept;
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  ~UniqueFd() { reset(); }

  int get() const { return fd_; }
  explicit operator bool() const { return fd_ >= 0; }
  int release();
  void reset();
  // Closes now and reports whether close succeeded (a late write error shows here).
  bool close();

 private:
  int fd_ = -1;
};

// What tells one state of a file from another without reading it: which file
// it is (device, inode), its size, and when its data (mtime) and its inode
// (ctime: a rename, a chmod) last changed, to the nanosecond. Every change of
// a file's bytes sets its mtime to the time of the change.
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::int64_t size = -1;
  timespec modified{};
  timespec changed{};
  bool operator==(const FileIdentity& other) const;
};

FileIdentity identityOf(const struct stat& st);

enum class ReadStatus { Ok, Missing, TooLarge, Failed };

struct ReadResult {
  ReadStatus status = ReadStatus::Failed;
  std::string bytes;
  int error = 0;  // errno when Failed
  // When Ok: the file as it was read, and whether it was the same before and
  // after the read (false: someone changed it meanwhile).
  FileIdentity identity;
  bool steady = false;
};

// Reads a whole regular file of at most maxBytes. A directory, device or pipe
// is Failed (EISDIR or EINVAL), never waited on.
ReadResult readWholeFile(const std::string& path, std::size_t maxBytes);

// Writes all of bytes, retrying short writes; false with errno set on failure.
bool writeAll(int fd, const std::string& bytes);

// The file a path names after following symbolic links, so that a write goes to
// the link's target; a dangling link gives the target to create. False with
// errno set (ELOOP for a cycle) on failure.
bool resolveLinks(const std::string& path, std::string& target);

// The directory part of a path ("." when it has none) and the name part.
std::string directoryOf(const std::string& path);
std::string baseNameOf(const std::string& path);

// A system error in a few Chinese words, for messages.
std::string describeError(int error);

}  // namespace orv::settings::io
