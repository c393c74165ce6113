// Writing a file so that it is never half-written: a temporary file in the same folder,
// flushed to disk, then renamed over the target.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <functional>

namespace orv::io {

// Writes the bytes of a file to an open descriptor; returns 0, or the errno of the failure.
using FileFiller = std::function<int(int fd)>;

struct SafeWriteOptions {
  mode_t mode = 0666;        // before the umask; a kept file's own mode wins with keepMode
  bool keepMode = false;     // the new file gets the mode of the file it replaces
  bool syncFolder = false;   // also flush the folder, so that the rename itself survives a crash
};

// Writes `path` through a temporary file ".NAME.XXXXXX" beside it. Returns 0, or the
// errno of what failed; then the old file (if any) is as it was and the temporary file is gone.
int writeFileSafely(const std::filesystem::path& path, const FileFiller& fill, const SafeWriteOptions& options = {});

// Writes every byte to a descriptor, going on after interruptions; 0 or the errno.
int writeAll(int fd, const void* data, std::size_t size);

}  // namespace orv::io
