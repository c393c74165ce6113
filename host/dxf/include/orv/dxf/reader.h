// Reading ASCII DXF (R12 to R2018) into a drawing database.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "orv/db/database.h"

namespace orv::dxf {

// Something read with doubts: the drawing was read, and this is what the reader changed
// or could not interpret.
struct Finding {
  std::size_t line = 0;  // line of the file, 0 when it concerns the whole file
  std::string message;
};

struct ReadResult {
  std::optional<db::Database> drawing;  // present when the file could be read
  std::string error;                    // otherwise: why not, for the user
  std::vector<Finding> findings;
  bool ok() const { return drawing.has_value(); }
};

// Reads a whole DXF file held in memory.
ReadResult readDxf(std::string_view bytes);

// Reads a DXF file (mapped into memory, not copied).
ReadResult readDxfFile(const std::filesystem::path& path);

}  // namespace orv::dxf
