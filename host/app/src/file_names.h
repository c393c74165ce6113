// The names of the files a session reads and writes: the rules for the name of a
// drawing to save or open, and whether a file can be read or written at all, so that
// a name that cannot work is refused before anything is done with it.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace orv::app {

// Where the name of a drawing to save came from: the pictures hint names EXPORT
// for a command, --export for the command line.
enum class NameFrom { command, option };

struct DrawingName {
  std::optional<std::filesystem::path> path;  // the DXF file to write
  std::string refusal;                        // otherwise why not, one line
};

// A drawing is saved as DXF: a name without an extension gets ".dxf"; a name with
// another extension, or of blanks only, is refused.
DrawingName drawingNameToSave(std::string_view typed, NameFrom from);

// The file that opening a drawing of this name reads: NAME.dxf for a NAME without
// an extension when there is such a file, else the name as given.
std::filesystem::path drawingNameToOpen(std::string_view typed);

// Why a file cannot be read (missing, a folder, no permission, not a regular file
// unless streams will do: a pipe, a terminal); empty when it can.
std::string whyNotReadable(const std::filesystem::path& path, bool streamsToo = false);

// Why a file cannot be written the way the host writes files, to a temporary file
// beside it renamed into place (its folder missing or not writable, the name a
// folder, the file read-only); empty when it can.
std::string whyNotWritable(const std::filesystem::path& path);

}  // namespace orv::app
