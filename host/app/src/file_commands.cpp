// The host's file commands: OPEN, SAVE and SAVEAS.
#include <vector>

#include "drawing_files.h"
#include "session.h"

namespace orv::app {

namespace {

using prompt::Status;

// Asks for a file name; empty when none was given.
std::string askFileName(Session& s, const std::string& prompt) {
  std::string name;
  if (s.prompts().getString(prompt, true, 4096, name) != Status::Normal) return {};
  return name;
}

void open(Session& s) {
  std::string name = askFileName(s, "\n要打开的图形文件 (DXF): ");
  if (name.empty()) return;
  FileResult r = openDrawing(s, name);
  s.console().print(r.ok ? "\n已打开图形“" + name + "”。" + r.message : "\n" + r.message);
}

void saveAs(Session& s, std::string name) {
  if (name.empty()) return;
  std::filesystem::path path(name);
  if (!path.has_extension()) path += ".dxf";
  FileResult r = saveDrawing(s, path);
  s.console().print(r.ok ? "\n图形已保存到“" + path.string() + "”。" : "\n" + r.message);
}

void save(Session& s) {
  if (s.document().path())
    saveAs(s, s.document().path()->string());
  else
    saveAs(s, askFileName(s, "\n保存图形为 (DXF): "));
}

void exportPicture(Session& s) {
  std::string name = askFileName(s, "\n输出图片文件 (.png、.svg 或 .pdf): ");
  if (name.empty()) return;
  FileResult r = exportDrawing(s, name);
  s.console().print(r.ok ? "\n图片已输出到“" + name + "”。" + r.message : "\n" + r.message);
}

}  // namespace

std::vector<Session::HostCommand> fileCommands() {
  return {
      {"EXPORT", "把图形画成图片：PNG、SVG 或 PDF（按文件扩展名）", exportPicture},
      {"OPEN", "打开一个 DXF 图形，代替当前图形", open},
      {"SAVE", "把图形保存到它的文件（新图形先询问文件名）", save},
      {"SAVEAS", "把图形以 DXF 保存到另一个文件", [](Session& s) { saveAs(s, askFileName(s, "\n保存图形为 (DXF): ")); }},
  };
}

}  // namespace orv::app
