// The host's own commands: ARX and QUIT, and the table of all the host's commands.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "draw_commands.h"
#include "keep_work.h"
#include "orv/prompt/reply_parser.h"
#include "plot_command.h"
#include "session.h"
#include "style_commands.h"
#include "user_module.h"
#include "window_commands.h"

namespace orv::app {

namespace {

using prompt::Status;

std::string padded(const std::string& s, std::size_t width) {
  return s.size() >= width ? s + " " : s + std::string(width - s.size(), ' ');
}

// The groups of the registered commands, in order of first registration.
std::vector<std::string> groupsOf(const modules::CommandRegistry& registry) {
  std::vector<std::string> groups;
  for (const auto& c : registry.commands()) {
    bool seen = std::any_of(groups.begin(), groups.end(),
                            [&](const std::string& g) { return modules::equalsIgnoringCase(g, c.group); });
    if (!seen) groups.push_back(c.group);
  }
  return groups;
}

void listCommandsByGroup(Session& s) {
  const auto& registry = s.commands();
  if (registry.commands().empty()) {
    s.console().print("\n没有模块注册的命令。");
    return;
  }
  for (const std::string& group : groupsOf(registry)) {
    s.console().print("\n命令组 " + group + ":");
    for (const auto& c : registry.commands()) {
      if (!modules::equalsIgnoringCase(c.group, group)) continue;
      std::string owner = c.owner ? "  [" + c.owner->fileName() + "]" : "";
      s.console().print("\n  " + padded(c.localName, 8) + padded(c.globalName, 24) + owner);
    }
  }
}

void listModules(Session& s) {
  const auto& modules = s.modules().modules();
  if (modules.empty()) {
    s.console().print("\n没有加载的模块。");
    return;
  }
  s.console().print("\n已加载的模块:");
  for (const auto& m : modules) s.console().print("\n  " + padded(m->fileName(), 16) + m->path().string());
  // The plug-in keeps its settings and libraries in the folder of its module.
  const auto& inUse = moduleInUse();
  for (const auto& m : modules) {
    std::string line = "\n模块目录: " + m->path().parent_path().string();
    if (inUse && inUse->installedFolder && m->path() == std::filesystem::absolute(inUse->module).lexically_normal())
      line += "（用户自己的模块文件夹；安装的模块在 " + inUse->installedFolder->string() + "）";
    s.console().print(line);
  }
}

void arx(Session& s) {
  auto& prompts = s.prompts();
  std::string option;
  Status st = prompts.getString("\n输入选项 [列出模块(?)/加载(L)/卸载(U)/命令(C)]: ", false, 64, option);
  if (st != Status::Normal || option.empty()) return;
  option = prompt::asciiForms(option);  // "？" and "Ｌ" in full width
  if (option == "?") {
    listModules(s);
  } else if (modules::equalsIgnoringCase(option, "C")) {
    listCommandsByGroup(s);
  } else if (modules::equalsIgnoringCase(option, "L") || modules::equalsIgnoringCase(option, "U")) {
    bool load = modules::equalsIgnoringCase(option, "L");
    std::string name;
    st = prompts.getString(load ? "\n要加载的模块文件: " : "\n要卸载的模块: ", true, 4096, name);
    if (st != Status::Normal || name.empty()) return;
    auto result = load ? s.modules().load(name) : s.modules().unload(name);
    if (!result.ok)
      s.console().print("\n" + result.message);
    else
      s.console().print(load ? "\n模块已加载。" : "\n模块已卸载。");
  } else {
    s.console().print("\n无效的选项“" + option + "”。");
  }
}

}  // namespace

std::vector<Session::HostCommand> makeHostCommands() {
  std::vector<Session::HostCommand> commands = {
      {.name = "ARX", .description = "列出、加载、卸载模块；按命令组列出模块的命令", .run = arx,
       .help = "列出已加载的模块（?），加载（L）或卸载（U）一个模块，或按命令组列出模块注册的命令（C）。"},
      {.name = "QUIT",
       .description = "结束会话（图形有未保存的改动时先询问是否保存）",
       .run =
           [](Session& s) {
             if (mayCloseDrawing(s)) s.requestQuit();
           },
       .help = "结束会话。"},
  };
  // In the order the window's menus list them; HELP lists them by name.
  for (auto* more : {fileCommands, drawingCommands, editCommands, modifyCommands, inquiryCommands, layerCommands,
                     viewCommands, blockIconCommands, plotCommands, gripCommands, currentLayerCommands, helpCommands})
    for (auto& c : more()) commands.push_back(std::move(c));
  for (auto& c : draftingCommands()) commands.push_back(std::move(c));  // CIRCLE ... AREA
  for (auto& c : styleCommands()) commands.push_back(std::move(c));     // STYLE ... LTSCALE
  for (auto* more : {geometryCommands, clipboardCommands})  // the window's panels and keys
    for (auto& c : more()) commands.push_back(std::move(c));
  return commands;
}

}  // namespace orv::app
