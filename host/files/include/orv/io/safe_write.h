// Writing a file so that it is never half-written: a temporary file in the same folder,
// flushed to disk, then renamed over the target.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace orv::io {

struct SafeWriteOptions {
  mode_t mode = 0666;        // before the umask; a kept file's own mode wins with keepMode
  bool keepMode = false;     // the new file gets the mode (and, where allowed, the owner)
                             // of the file it replaces
  bool syncFolder = false;   // also flush the folder, so that the rename itself survives a crash
};

// The temporary file of one safe write: ".NAME.PID.COUNT.tmp" beside the target, made
// new (never a file or link that was there). commit() puts it in place of the target;
// until then, and whenever commit fails, the target is as it was, and the temporary
// file is removed when this object goes.
class SafeFile {
 public:
  // The temporary file for `target`; nullopt with the errno in `error` when it cannot be made.
  static std::optional<SafeFile> create(const std::filesystem::path& target, int& error);

  SafeFile(SafeFile&& other) noexcept;
  SafeFile& operator=(SafeFile&&) = delete;
  SafeFile(const SafeFile&) = delete;
  ~SafeFile();

  int fd() const { return fd_; }
  const std::filesystem::path& temporaryPath() const { return temporary_; }

  // Flushes the bytes to disk, sets the mode, closes and renames the file over the
  // target; 0, or the errno of the step that failed.
  int commit(const SafeWriteOptions& options = {});

  // The prefix and ending of temporary files for a target of this file name, so that a
  // writer holding a lock on the folder may clear what killed writers left.
  static std::string temporaryPrefix(const std::string& fileName) { return "." + fileName + "."; }
  static constexpr const char* kTemporaryEnding = ".tmp";

 private:
  SafeFile(std::filesystem::path temporary, std::filesystem::path target, int fd)
      : temporary_(std::move(temporary)), target_(std::move(target)), fd_(fd) {}

  std::filesystem::path temporary_;
  std::filesystem::path target_;
  int fd_ = -1;
  bool done_ = false;  // renamed into place, or owning nothing
};

// Writes the bytes of a file to an open descriptor; returns 0, or the errno of the failure.
using FileFiller = std::function<int(int fd)>;

// Writes `path` through a SafeFile. Returns 0, or the errno of what failed; then the old
// file (if any) is as it was and the temporary file is gone.
int writeFileSafely(const std::filesystem::path& path, const FileFiller& fill, const SafeWriteOptions& options = {});

// Writes every byte to a descriptor, going on after interruptions; 0 or the errno.
int writeAll(int fd, const void* data, std::size_t size);

}  // namespace orv::io
