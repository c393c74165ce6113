// Opening and saving drawings as DXF, with the reasons of failures worded for the user.
#include "drawing_files.h"

#include <cstring>
#include <string_view>

#include "file_names.h"
#include "messages.h"
#include "orv/dxf/reader.h"
#include "orv/dxf/writer.h"
#include "pictures_library.h"
#include "session.h"

namespace orv::app {

namespace {

constexpr std::size_t kFindingsShown = 5;

bool dropPrefix(std::string_view& s, std::string_view prefix) {
  if (!s.starts_with(prefix)) return false;
  s.remove_prefix(prefix.size());
  return true;
}

// The reason the DXF reader or writer gives, without the file's name that it may
// put before it, a system error's text in Chinese words, and the line it names.
struct Reason {
  std::size_t line = 0;
  std::string what;
};

Reason reasonOf(std::string_view text, const std::filesystem::path& path) {
  const std::string name = "\"" + path.string() + "\"";
  for (std::string_view lead : {"cannot open ", "cannot read ", "cannot write ", ""}) {
    std::string_view rest = text;
    if (dropPrefix(rest, lead) && dropPrefix(rest, name)) {
      if (rest == " is not a file") return {0, messages::kNotRegularFile};
      if (dropPrefix(rest, ": ")) {
        text = rest;
        break;
      }
    }
  }
  // A system error: its C library text stands for its number.
  for (int error = 1; error < 134; ++error) {
    if (text == std::strerror(error)) return {0, messages::systemError(error)};
  }
  Reason reason;
  std::string_view rest = text;
  auto number = [&](std::string_view& s) {
    std::size_t n = 0, digits = 0;
    while (digits < s.size() && s[digits] >= '0' && s[digits] <= '9' && digits < 12)
      n = n * 10 + static_cast<std::size_t>(s[digits++] - '0');
    s.remove_prefix(digits);
    return digits ? n : 0;
  };
  if (dropPrefix(rest, "line ")) {
    const std::size_t n = number(rest);
    if (n && dropPrefix(rest, ": ")) reason = {n, std::string(rest)};
  } else if (dropPrefix(rest, "第 ")) {
    const std::size_t n = number(rest);
    if (n && (dropPrefix(rest, " 行：") || dropPrefix(rest, " 行: ") || dropPrefix(rest, " 行:")))
      reason = {n, std::string(rest)};
  }
  if (reason.line == 0) reason.what = std::string(text);
  return reason;
}

}  // namespace

ReadDrawing readDrawing(const std::filesystem::path& path) { return readDrawing(path, path); }

ReadDrawing readDrawing(const std::filesystem::path& path, std::optional<std::filesystem::path> belongsTo) {
  if (std::string why = whyNotReadable(path); !why.empty())
    return {nullptr, messages::cannotOpenDrawing(path, why)};
  dxf::ReadResult read = dxf::readDxfFile(path);
  if (!read.ok()) {
    const Reason reason = reasonOf(read.error, path);
    return {nullptr, messages::damagedDrawing(path, reason.line, reason.what)};
  }
  std::string notes;
  for (std::size_t i = 0; i < read.findings.size() && i < kFindingsShown; ++i)
    notes += "\n" + messages::finding(read.findings[i].line, read.findings[i].message);
  if (read.findings.size() > kFindingsShown)
    notes += "\n注意：另有 " + std::to_string(read.findings.size() - kFindingsShown) + " 条。";
  return {std::make_unique<core::Document>(std::move(*read.drawing), std::move(belongsTo)), notes};
}

FileResult openDrawing(Session& session, const std::filesystem::path& path) {
  ReadDrawing read = readDrawing(path);
  if (!read.document) return {false, read.message};
  session.replaceDocument(std::move(read.document));
  return {true, read.message};
}

std::string writeDxf(const db::Database& drawing, const std::filesystem::path& path) {
  if (std::string why = whyNotWritable(path); !why.empty()) return why;
  dxf::WriteResult written = dxf::saveDxfFile(drawing, path);
  if (!written) return reasonOf(written.message, path).what;
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
