// Opening and saving drawings as DXF.
#include "drawing_files.h"

#include "orv/dxf/reader.h"
#include "orv/dxf/writer.h"
#include "pictures_library.h"
#include "session.h"

namespace orv::app {

namespace {
constexpr std::size_t kFindingsShown = 5;

std::string inQuotes(const std::filesystem::path& p) { return "“" + p.string() + "”"; }
}  // namespace

FileResult openDrawing(Session& session, const std::filesystem::path& path) {
  dxf::ReadResult read = dxf::readDxfFile(path);
  if (!read.ok()) return {false, "无法打开图形" + inQuotes(path) + "：" + read.error};
  session.replaceDocument(std::make_unique<core::Document>(std::move(*read.drawing), path));
  std::string notes;
  for (std::size_t i = 0; i < read.findings.size() && i < kFindingsShown; ++i) {
    const auto& f = read.findings[i];
    notes += "\n注意：" + (f.line ? "第 " + std::to_string(f.line) + " 行：" : std::string()) + f.message;
  }
  if (read.findings.size() > kFindingsShown)
    notes += "\n注意：另有 " + std::to_string(read.findings.size() - kFindingsShown) + " 条。";
  return {true, notes};
}

FileResult saveDrawing(Session& session, const std::filesystem::path& path) {
  dxf::WriteResult written = dxf::saveDxfFile(session.database(), path);
  if (!written) return {false, "无法保存图形到" + inQuotes(path) + "：" + written.message};
  session.document().setPath(path);
  session.document().markSaved();
  return {true, {}};
}

FileResult exportDrawing(Session& session, const std::filesystem::path& path) {
  std::string problem;
  const render::Pictures* renderer = pictures(problem);
  if (!renderer) return {false, "无法输出图片" + inQuotes(path) + "：" + problem};
  render::RenderResult r = renderer->render(session.database(), path, {});
  if (!r) return {false, "无法输出图片" + inQuotes(path) + "：" + r.message};
  std::string notes;
  if (r.report.truncated) notes = "\n注意：图形太大，图片只画出了一部分。";
  return {true, notes};
}

}  // namespace orv::app
