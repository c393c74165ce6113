// Opening and saving the session's drawing, for the file commands and the
// command-line options alike.
#pragma once

#include <filesystem>
#include <string>

namespace orv::app {

class Session;

struct FileResult {
  bool ok = false;
  std::string message;  // for the user: why it failed, or what was noticed while reading
};

// Reads a DXF drawing and makes it the session's current drawing. The current
// drawing stays as it was when the file cannot be read.
FileResult openDrawing(Session& session, const std::filesystem::path& path);
// Saves the current drawing as DXF; the file on disk stays as it was on failure.
FileResult saveDrawing(Session& session, const std::filesystem::path& path);
// Renders model space to a picture, .svg, .png or .pdf by the file's ending.
FileResult exportDrawing(Session& session, const std::filesystem::path& path);

}  // namespace orv::app
