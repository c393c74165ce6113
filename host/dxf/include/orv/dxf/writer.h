// Writing a drawing as DXF R2000 (AC1015) ASCII, code page ANSI_936, CRLF line ends.
#pragma once

#include <filesystem>
#include <string>

#include "orv/db/database.h"
#include "orv/dxf/tags.h"

namespace orv::dxf {

struct WriteResult {
  bool ok = true;
  std::string message;  // why it failed, for the user (Chinese, the file not named)
  explicit operator bool() const { return ok; }
};

// Writes every section of the drawing, in order, to the sink.
WriteResult writeDxf(const db::Database& drawing, TagSink& sink);

// The whole file as text.
std::string writeDxfToString(const db::Database& drawing);

// Saves to a file: written to a temporary file in the same directory, flushed to disk,
// then renamed over the target. On failure the old file is untouched and the temporary
// file removed.
WriteResult saveDxfFile(const db::Database& drawing, const std::filesystem::path& path);

}  // namespace orv::dxf
