// Opening drawings (DXF and DWG) and saving them as DXF, with the reasons of failures worded for the user.
#include "drawing_files.h"

#include "file_names.h"
#include "messages.h"
#include "orv/io/drawing_file.h"
#include "orv/dxf/writer.h"
#include "pictures_library.h"
#include "session.h"

namespace orv::app {

namespace {

constexpr std::size_t kFindingsShown = 5;

}  // namespace

ReadDrawing readDrawing(const std::filesystem::path& path) { return readDrawing(path, path); }

ReadDrawing readDrawing(const std::filesystem::path& path, std::optional<std::filesystem::path> belongsTo) {
  if (std::string why = whyNotReadable(path); !why.empty())
    return {nullptr, messages::cannotOpenDrawing(path, why)};
  io::OpenedDrawing read = io::openDrawingFile(path);
  if (!read.ok()) return {nullptr, messages::cannotOpenDrawing(path, read.error)};
  std::string notes;
  if (read.rebuiltFromObjects) notes += "\n" + messages::rebuiltFromObjects();
  for (std::size_t i = 0; i < read.findings.size() && i < kFindingsShown; ++i)
    notes += "\n" + messages::finding(read.findings[i].line, read.findings[i].message);
  if (read.findings.size() > kFindingsShown)
    notes += "\n注意：另有 " + std::to_string(read.findings.size() - kFindingsShown) + " 条。";
  return {std::make_unique<core::Document>(std::move(*read.drawing), std::move(belongsTo)), notes};
}

FileResult openDrawing(Session& session, const std::filesystem::path& path) { return openDrawing(session, readDrawing(path)); }

FileResult openDrawing(Session& session, ReadDrawing read) {
  if (!read.document) return {false, read.message};
  session.replaceDocument(std::move(read.document));
  return {true, read.message};
}

std::string writeDxf(const db::Database& drawing, const std::filesystem::path& path) {
  if (std::string why = whyNotWritable(path); !why.empty()) return why;
  dxf::WriteResult written = dxf::saveDxfFile(drawing, path);
  if (!written) return written.message;
  return {};
}

FileResult writeDrawing(const db::Database& drawing, const std::filesystem::path& path) {
  if (std::string why = writeDxf(drawing, path); !why.empty()) return {false, messages::cannotSaveDrawing(path, why)};
  return {true, {}};
}

FileResult saveDrawing(Session& session, const std::filesystem::path& path) {
  FileResult r = writeDrawing(session.database(), path);
  if (!r.ok) return r;
  session.document().setPath(path);
  session.document().markSaved();
  return r;
}

FileResult exportDrawing(Session& session, const std::filesystem::path& path) {
  if (std::string why = whyNotWritable(path); !why.empty())
    return {false, messages::cannotExportPicture(path, why)};
  std::string problem;
  const render::Pictures* renderer = pictures(problem);
  if (!renderer) return {false, messages::cannotExportPicture(path, problem)};
  render::RenderResult r = renderer->render(session.database(), path, {});
  if (!r) return {false, messages::cannotExportPicture(path, r.message)};
  std::string notes;
  if (r.report.truncated) notes = "\n注意：图形太大，图片只画出了一部分。";
  return {true, notes};
}

}  // namespace orv::app
