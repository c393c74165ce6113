// The program's hatch pattern file (share/orvcad/orvcad.pat beside the program), read once.
#pragma once

#include <filesystem>
#include <string>

#include "orv/core/hatch_patterns.h"

namespace orv::app {

std::filesystem::path patternFilePath();

// The patterns of a .pat file; `problem` says (in Chinese, one line) why the file could
// not be read, and the result is then empty. Lines that could not be read are in the
// result's `problems`.
core::PatternFile readPatternFile(const std::filesystem::path& path, std::string& problem);

}  // namespace orv::app
