// A picture written safely: cairo's output stream on the host's one safe-write file.
#pragma once

#include <cairo.h>

#include <filesystem>
#include <optional>
#include <string>

#include "orv/io/safe_write.h"

namespace orv::render {

namespace fs = std::filesystem;

// A temporary file in the destination's directory. Cairo writes to it through
// `writeToOutput`; commit() makes it the destination. Until then, and whenever commit
// fails, the destination is untouched, and the destructor removes the temporary file.
class OutputFile {
 public:
  // Creates the temporary file; nullopt with errno's reason in `error` when it cannot.
  static std::optional<OutputFile> create(const fs::path& destination, std::string& error);

  OutputFile(OutputFile&& other) noexcept = default;
  OutputFile& operator=(OutputFile&&) = delete;
  OutputFile(const OutputFile&) = delete;

  // A cairo_write_func_t; `closure` is the OutputFile. Remembers the first error.
  static cairo_status_t writeToOutput(void* closure, const unsigned char* data,
                                      unsigned int length);
  // errno of the first failed write, 0 if none.
  int writeError() const { return writeError_; }

  // Flushes the bytes to disk and renames the file into place; errno's reason on failure.
  bool commit(std::string& error);

 private:
  explicit OutputFile(io::SafeFile file) : file_(std::move(file)) {}

  io::SafeFile file_;
  int writeError_ = 0;
};

// A few words saying what an errno value means to the user.
std::string describeError(int error);

}  // namespace orv::render
