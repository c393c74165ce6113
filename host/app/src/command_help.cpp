// HELP: every command with its description, and one paragraph about a command named
// after it (each host command carries its own; the pipe module's are in the catalog).
#include <algorithm>
#include <vector>

#include "session.h"

namespace orv::app {

namespace {

bool same(std::string_view a, std::string_view b) { return modules::equalsIgnoringCase(a, b); }

// HELP's paragraph of a module command: the host's description, or a plain line.
std::string_view moduleHelp(const modules::Command& c) {
  const ModuleCommandInfo* info = moduleCommandInfo(c.localName);
  if (!info) info = moduleCommandInfo(c.globalName);
  return info ? info->help : std::string_view("模块注册的命令。");
}

std::string padded(const std::string& s, std::size_t width) {
  return s.size() >= width ? s + " " : s + std::string(width - s.size(), ' ');
}

std::string withAliases(const Session::HostCommand& c) {
  if (c.aliases.empty()) return c.name;
  std::string out = c.name + " (";
  for (std::size_t i = 0; i < c.aliases.size(); ++i) out += (i ? ", " : "") + c.aliases[i];
  return out + ")";
}

void describeOne(Session& s, std::string_view name) {
  std::string_view typed = name;
  if (!typed.empty() && typed.front() == '_') typed.remove_prefix(1);
  for (const auto& c : s.hostCommands()) {
    bool hit = same(c.name, typed);
    for (const std::string& a : c.aliases) hit = hit || same(a, typed);
    if (!hit) continue;
    s.console().print("\n" + withAliases(c) + ": " + (c.help.empty() ? c.description : c.help));
    return;
  }
  if (const modules::Command* command = s.commands().find(typed)) {
    s.console().print("\n" + command->localName + " (" + command->globalName + "): " + std::string(moduleHelp(*command)));
    return;
  }
  s.console().print("\n没有命令“" + std::string(name) + "”。输入 HELP 查看命令列表。");
}

// The first sentence of a paragraph: what a list of commands shows.
std::string summary(std::string_view text) {
  const std::size_t end = text.find("：");
  const std::size_t stop = text.find("。");
  std::size_t cut = std::min(end, stop);
  if (cut == std::string_view::npos) cut = text.size();
  return std::string(text.substr(0, cut));
}

void help(Session& s) {
  if (!s.commandArgument().empty()) return describeOne(s, s.commandArgument());
  s.console().print("\n宿主命令:");
  // By name, those added later (recovery's) among the rest.
  std::vector<const Session::HostCommand*> hostCommands;
  for (const auto& c : s.hostCommands()) hostCommands.push_back(&c);
  std::sort(hostCommands.begin(), hostCommands.end(),
            [](const Session::HostCommand* a, const Session::HostCommand* b) { return a->name < b->name; });
  for (const Session::HostCommand* c : hostCommands) s.console().print("\n  " + padded(withAliases(*c), 16) + c->description);
  // The modules' commands by group, in the order their groups were first registered.
  const auto& registry = s.commands();
  std::vector<std::string> groups;
  for (const auto& c : registry.commands())
    if (std::none_of(groups.begin(), groups.end(), [&](const std::string& g) { return same(g, c.group); }))
      groups.push_back(c.group);
  for (const std::string& group : groups) {
    s.console().print("\n命令组 " + group + ":");
    for (const auto& c : registry.commands()) {
      if (!same(c.group, group)) continue;
      const std::string owner = c.owner ? "  [" + c.owner->fileName() + "]" : "";
      s.console().print("\n  " + padded(c.localName, 6) + padded(c.globalName, 22) +
                        summary(moduleHelp(c)) + owner);
    }
  }
  s.console().print(
      "\n命令可以用本地名、全局名或别名输入，不分大小写，可带前导“_”。在“命令:”处直接回车重复上一个命令。"
      "输入“HELP 命令名”查看一个命令的说明。");
}

}  // namespace

std::vector<Session::HostCommand> helpCommands() {
  return {{.name = "HELP",
           .description = "列出所有命令；HELP 命令名 说明一个命令",
           .run = help,
           .takesArgument = true,
           .help = "不带参数时列出所有命令及其说明；在同一行输入“HELP 命令名”时说明这一个命令，命令名可以是别名或模块命令的本地名、全局名。",
           .menu = {"帮助", "命令列表"}}};
}

}  // namespace orv::app
