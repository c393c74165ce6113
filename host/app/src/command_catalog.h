// How a command describes itself to the presentations that offer it: where the window
// puts it (menu, label, tool bar, shortcut, file dialog) and what HELP says of it. The
// host's commands carry this in their own definition; the commands of the pipe module,
// which registers only names, are described here once.
#pragma once

#include <span>
#include <string_view>

namespace orv::app {

// A file the window asks for in a file dialog before the command runs (its typed-name
// prompt is then answered with the file chosen).
enum class FileChoice { none, open, saveAs, exportPicture };

// Where the window offers a command. Every field is a literal of the program.
struct MenuPlace {
  std::string_view menu;   // 文件, 编辑, 视图, 绘图, 标注, 修改, 格式, 管道, 帮助; empty: no menu
  std::string_view label;  // what the menu and the tool bar call it
  bool toolBar = false;    // also a button of the tool bar
  std::string_view keys = {};  // a shortcut in the toolkit's portable text ("Ctrl+N")
  FileChoice file = FileChoice::none;
};

// The menus of the window, in their order.
inline constexpr std::string_view kMenuOrder[] = {"文件", "编辑", "视图", "绘图", "标注",
                                                  "修改", "格式", "管道", "帮助"};

// A command of the pipe module: its local and global names, HELP's paragraph and its place.
struct ModuleCommandInfo {
  std::string_view local;
  std::string_view global;
  std::string_view help;
  MenuPlace menu;
};

// Every module command the host describes, in the order the 管道 menu shows them.
std::span<const ModuleCommandInfo> moduleCommandInfos();
// The description of a module command by its local or global name (any case); null: none.
const ModuleCommandInfo* moduleCommandInfo(std::string_view name);

}  // namespace orv::app
