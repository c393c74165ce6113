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
      {.name = "NEW", .description = "新建一个图形，代替当前图形", .run = newDrawing,
       .help = "新建一个空图形，代替当前图形；新图形有图层 0、文字样式 Standard 和常用线型。",
       .menu = {"文件", "新建", false, "Ctrl+N"}},
      {.name = "OPEN", .description = "打开一个 DWG 或 DXF 图形，代替当前图形", .run = open,
       .help = "打开一个 DXF 图形（R12 到 R2018）或 DWG 图形（R14 到 R2018），代替当前图形；没有扩展名时试 NAME.dxf。读入时发现的问题列在命令行上。DWG 图形不会被覆盖：保存时另存为 DXF。",
       .menu = {"文件", "打开...", false, "Ctrl+O", FileChoice::open}},
      {.name = "SAVE", .description = "把图形保存到它的文件（新图形先询问文件名）",
       .run = [](Session& s) { saveToItsFile(s); },
       .help = "把图形保存到它的文件；新图形先询问文件名。保存为 DXF R2000，中文名称以 GBK 编码写入。",
       .menu = {"文件", "保存", false, "Ctrl+S", FileChoice::saveAs}},
      {.name = "SAVEAS", .description = "把图形以 DXF 保存到另一个文件",
       .run = [](Session& s) { saveUnderNewName(s); },
       .help = "把图形以 DXF 保存到另一个文件，之后 SAVE 写入这个文件。",
       .menu = {"文件", "另存为...", false, "Ctrl+Shift+S", FileChoice::saveAs}},
      {.name = "EXPORT", .description = "把图形画成图片：PNG、SVG 或 PDF（按文件扩展名）", .run = exportPicture,
       .help = "把模型空间画成图片：文件名以 .png、.svg 或 .pdf 结尾决定格式，图形按页面缩放，关闭和冻结的图层不画。",
       .menu = {"文件", "导出...", false, {}, FileChoice::exportPicture}},
  };
}

}  // namespace orv::app
