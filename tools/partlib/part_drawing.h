// Library drawings made from part sources, and a part library built from a folder of them.
//
// A library drawing is what the FM and ZDY commands read: a drawing that holds the
// block NAME, with its preview icon (the picture their dialogs show), and one
// reference to it in model space; it is saved as NAME.dxf. The part's nested blocks
// come along as block definitions of their own.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "orv/db/database.h"
#include "part_source.h"

namespace orv::partlib {

struct DrawingResult {
  std::optional<db::Database> drawing;  // present when there is no error
  std::vector<Diagnostic> errors;
};

// The library drawing of a part: a new drawing (the host's standard tables), the
// part's nested blocks and its block, each entity with the colour and linetype of its
// statement, the preview icon, one reference to the part at the origin, and the
// header's extents and insertion base. A statement the drawing refuses, a part that
// draws nothing and a part whose extents differ from its "extent" are errors, each at
// its line of `file`.
DrawingResult buildPartDrawing(const PartSource& part, std::string_view file);

// Reads a part source and writes its library drawing as NAME.dxf into `outDir`
// (created when missing). Returns the errors; none means the file was written.
std::vector<Diagnostic> buildPartFile(const std::filesystem::path& source, const std::filesystem::path& outDir);

}  // namespace orv::partlib
