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
