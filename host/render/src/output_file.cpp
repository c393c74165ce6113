// A picture written safely: cairo's stream writes and the commit, on io::SafeFile.
#include "output_file.h"

#include "orv/text/system_error.h"

namespace orv::render {

std::string describeError(int error) { return orv::text::describeSystemError(error); }

std::optional<OutputFile> OutputFile::create(const fs::path& destination, std::string& error) {
  int errorNumber = 0;
  auto file = io::SafeFile::create(destination, errorNumber);
  if (!file) {
    error = describeError(errorNumber);
    return std::nullopt;
  }
  return OutputFile(std::move(*file));
}

cairo_status_t OutputFile::writeToOutput(void* closure, const unsigned char* data,
                                         unsigned int length) {
  auto* self = static_cast<OutputFile*>(closure);
  if (self->writeError_ != 0) return CAIRO_STATUS_WRITE_ERROR;
  self->writeError_ = io::writeAll(self->file_.fd(), data, length);
  return self->writeError_ == 0 ? CAIRO_STATUS_SUCCESS : CAIRO_STATUS_WRITE_ERROR;
}

bool OutputFile::commit(std::string& error) {
  if (writeError_ != 0) {
    error = describeError(writeError_);
    return false;
  }
  if (const int failed = file_.commit()) {
    error = describeError(failed);
    return false;
  }
  return true;
}

}  // namespace orv::render
