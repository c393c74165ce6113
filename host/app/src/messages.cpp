// The wording of the host's file messages.
#include "messages.h"

#include "orv/text/system_error.h"

namespace orv::app::messages {

namespace {

// A reason after a colon; none leaves the sentence as it is.
std::string because(const std::string& reason) { return reason.empty() ? std::string() : "：" + reason; }

}  // namespace

std::string quoted(const std::filesystem::path& path) {
  std::string name = path.string();
  // A message is one line, whatever the name holds.
  for (char& c : name)
    if (c == '\n' || c == '\r') c = ' ';
  return "“" + name + "”";
}

std::string systemError(int error) { return text::describeSystemError(error); }

std::string cannotOpenDrawing(const std::filesystem::path& path, const std::string& reason) {
  return "无法打开图形" + quoted(path) + because(reason);
}

std::string whyNotOpened(const io::OpenError& e) {
  using K = io::OpenError::Kind;
  const std::string code = std::to_string(e.code);
  switch (e.kind) {
    case K::none:
      return {};
    case K::system:
      return systemError(static_cast<int>(e.code));
    case K::notFile:
      return kNotRegularFile;
    case K::empty:
      return "文件是空的";
    case K::notDrawing:
      return "不是 DXF 或 DWG 图形文件";
    case K::binaryDxf:
      return "二进制 DXF 文件无法读取，请存为 ASCII DXF";
    case K::oldDwg:
      return "R13 以前版本的 DWG 文件无法读取";
    case K::damagedDxf:
      return e.line ? "文件在第 " + std::to_string(e.line) + " 行损坏" + because(e.detail) : e.detail;
    case K::damagedDwg:
      if (e.detail == "writer") return "DWG 文件的内容无法转换（LibreDWG 错误码 " + code + "）";
      return "DWG 文件已损坏或不完整，无法读取（LibreDWG 错误码 " + code + "）";
    case K::converterMissing:
      return "找不到读取 DWG 所需的 Node.js 程序或转换脚本，请运行 tools/install-deps.sh";
    case K::libraryMissing:
      return "找不到读取 DWG 所需的 LibreDWG 模块（@mlightcad/libredwg-web），请运行 tools/install-deps.sh";
    case K::converterExit:
      return "DWG 转换程序异常退出（退出码 " + code + "）";
    case K::converterSignal:
      return "DWG 转换程序被信号 " + code + " 终止";
    case K::converterTimeout:
      return "DWG 转换超过 " + code + " 秒仍未完成，已停止";
    case K::converterMemory:
      return "DWG 转换所需内存超过 " + code + " MB，已停止";
    case K::converterOutput:
      if (e.detail == "empty") return "DWG 转换程序写出的 DXF 是空的";
      if (e.detail == "notdxf") return "DWG 转换程序写出的不是 DXF";
      if (e.detail == "missing") return "DWG 转换程序没有写出 DXF";
      if (e.detail == "noreport") return "DWG 转换程序没有报告结果";
      if (e.detail == "unreadable") return "DWG 转换程序无法读取文件";
      if (e.detail.starts_with("unreadable:"))
        return "DWG 转换得到的 DXF 无法读取" + because(e.detail.substr(11));
      return "DWG 转换失败";
  }
  return "无法读取";
}

std::string cannotOpenDrawing(const std::filesystem::path& path, const io::OpenError& error) {
  return cannotOpenDrawing(path, whyNotOpened(error));
}

std::string openDrawingFilter() {
  return std::string("图形 (") + io::kDrawingPatterns + ");;DWG 图形 (*.dwg *.DWG);;DXF 图形 (*.dxf *.DXF);;所有文件 (*)";
}

std::string rebuiltFromObjects() {
  return "注意：LibreDWG 无法把这个 DWG 写成 DXF，图形是按它读出的对象重建的，可能不完整。";
}

std::string damagedDrawing(const std::filesystem::path& path, std::size_t line, const std::string& what) {
  if (line == 0) return cannotOpenDrawing(path, what);
  return "无法打开图形" + quoted(path) + "：文件在第 " + std::to_string(line) + " 行损坏" + because(what);
}

std::string cannotSaveDrawing(const std::filesystem::path& path, const std::string& reason) {
  return "无法保存图形到" + quoted(path) + because(reason);
}

std::string cannotExportPicture(const std::filesystem::path& path, const std::string& reason) {
  return "无法输出图片" + quoted(path) + because(reason);
}

std::string cannotReadScript(const std::filesystem::path& path, const std::string& reason) {
  return "无法读取脚本文件" + quoted(path) + because(reason);
}

std::string finding(std::size_t line, const std::string& what) {
  return "注意：" + (line ? "第 " + std::to_string(line) + " 行：" : std::string()) + what;
}

std::string databaseStatus(db::Status status) {
  switch (status) {
    case db::Status::ok: return "成功";
    case db::Status::invalidInput: return "数值无效或超出范围";
    case db::Status::notFound: return "找不到所需的对象、图块、图层或线型";
    case db::Status::duplicateName: return "名称已被使用";
    case db::Status::wasErased: return "对象已被删除";
    case db::Status::selfReference: return "图块不能引用自己";
    case db::Status::nothingToUndo: return "没有可以放弃的操作";
  }
  return "未知的错误";
}

std::string openedDrawing(const std::filesystem::path& path) { return "已打开图形" + quoted(path) + "。"; }

std::string savedDrawing(const std::filesystem::path& path) { return "图形已保存到" + quoted(path) + "。"; }

std::string exportedPicture(const std::filesystem::path& path) { return "图片已输出到" + quoted(path) + "。"; }

}  // namespace orv::app::messages
