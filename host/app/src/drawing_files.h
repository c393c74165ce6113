// Opening and saving the session's drawing, for the file commands and the
// command-line options alike.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "orv/core/document.h"

namespace orv::app {

class Session;

struct FileResult {
  bool ok = false;
  // For the user: why it failed (one line, without a leading line break), or what
  // was noticed while reading (each line after a line break).
  std::string message;
};

struct ReadDrawing {
  std::unique_ptr<core::Document> document;  // null when the file could not be read
  std::string message;                       // as FileResult's
};

// Reads a DXF drawing into a document of that file, or of `belongsTo` (none: a
// drawing of no file yet) when it is read from somewhere else (a recovery file).
ReadDrawing readDrawing(const std::filesystem::path& path);
ReadDrawing readDrawing(const std::filesystem::path& path, std::optional<std::filesystem::path> belongsTo);
// Reads a DXF drawing and makes it the session's current drawing. The current
// drawing stays as it was when the file cannot be read.
FileResult openDrawing(Session& session, const std::filesystem::path& path);
// The same with a drawing read already (on another thread, say).
FileResult openDrawing(Session& session, ReadDrawing read);
// Writes a drawing as DXF; the file on disk stays as it was on failure.
FileResult writeDrawing(const db::Database& drawing, const std::filesystem::path& path);
// The same, giving only the reason of a failure (empty on success).
std::string writeDxf(const db::Database& drawing, const std::filesystem::path& path);
// Saves the current drawing as DXF, which then belongs to that file and has no
// unsaved changes.
FileResult saveDrawing(Session& session, const std::filesystem::path& path);
// Renders model space to a picture, .svg, .png or .pdf by the file's ending.
FileResult exportDrawing(Session& session, const std::filesystem::path& path);

}  // namespace orv::app
