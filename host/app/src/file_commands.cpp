// The host's file commands: NEW, OPEN, SAVE, SAVEAS and EXPORT.
#include <vector>

#include "drawing_files.h"
#include "file_names.h"
#include "keep_work.h"
#include "messages.h"
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

void newDrawing(Session& s) {
  if (!mayCloseDrawing(s)) return;
  s.replaceDocument(std::make_unique<core::Document>());
  s.console().print("\n已新建图形。");
}

// The file is read first: a drawing that cannot be read asks nothing and changes
// nothing; then the current drawing's changes are asked about.
void open(Session& s) {
  std::string name = askFileName(s, "\n要打开的图形文件 (DWG 或 DXF): ");
  if (name.empty()) return;
  const std::filesystem::path path = drawingNameToOpen(name);
  ReadDrawing read = readDrawing(path);
  if (!read.document) {
    s.console().print("\n" + read.message);
    return;
  }
  if (!mayCloseDrawing(s)) return;
  s.replaceDocument(std::move(read.document));
  s.console().print("\n" + messages::openedDrawing(path) + read.message);
}

void exportPicture(Session& s) {
  std::string name = askFileName(s, "\n输出图片文件 (.png、.svg 或 .pdf): ");
  if (name.empty()) return;
  FileResult r = exportDrawing(s, name);
  s.console().print("\n" + (r.ok ? messages::exportedPicture(name) + r.message : r.message));
}

}  // namespace

std::vector<Session::HostCommand> fileCommands() {
  return {
      {"EXPORT", "把图形画成图片：PNG、SVG 或 PDF（按文件扩展名）", exportPicture},
      {"NEW", "新建一个图形，代替当前图形", newDrawing},
      {"OPEN", "打开一个 DWG 或 DXF 图形，代替当前图形", open},
      {"SAVE", "把图形保存到它的文件（新图形先询问文件名）", [](Session& s) { saveToItsFile(s); }},
      {"SAVEAS", "把图形以 DXF 保存到另一个文件", [](Session& s) { saveUnderNewName(s); }},
  };
}

}  // namespace orv::app
