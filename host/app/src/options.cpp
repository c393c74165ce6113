// Parsing orvcad's command line.
#include "options.h"

namespace orv::app {

std::string usage() {
  return "用法: orvcad [选项]\n"
         "启动绘图宿主，加载管道绘图模块 orvpipe07.arx，然后运行命令行，直到 QUIT 或脚本结束。\n"
         "\n"
         "选项:\n"
         "  --module PATH   从 PATH 加载模块（缺省: 与 orvcad 一起安装的模块）\n"
         "  --script FILE   从 FILE 读取每个回答（'-' 为标准输入），而不是从终端\n"
         "  --help          显示本帮助\n"
         "  --version       显示版本\n"
         "\n"
         "设置文件 draw.ini 和零件库 resource/FM、resource/ZDY 位于模块所在目录。\n"
         "在命令行输入 HELP 列出所有命令。\n";
}

ParsedOptions parseOptions(const std::vector<std::string>& args) {
  Options o;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](const char* name) -> std::optional<std::string> {
      if (i + 1 >= args.size()) return std::nullopt;
      (void)name;
      return args[++i];
    };
    if (a == "--help" || a == "-h") {
      o.help = true;
    } else if (a == "--version") {
      o.version = true;
    } else if (a == "--module" || a == "--script") {
      auto v = value(a.c_str());
      if (!v) return {std::nullopt, "选项 " + a + " 需要一个参数"};
      if (a == "--module") {
        if (o.module) return {std::nullopt, "选项 --module 只能给一次"};
        o.module = *v;
      } else {
        if (o.script) return {std::nullopt, "选项 --script 只能给一次"};
        o.script = *v;
      }
    } else if (a.rfind("--", 0) == 0 && a.find('=') != std::string::npos) {
      // --name=value
      auto eq = a.find('=');
      std::vector<std::string> split{a.substr(0, eq), a.substr(eq + 1)};
      auto rest = parseOptions(split);
      if (!rest.options) return rest;
      if (rest.options->module) {
        if (o.module) return {std::nullopt, "选项 --module 只能给一次"};
        o.module = rest.options->module;
      }
      if (rest.options->script) {
        if (o.script) return {std::nullopt, "选项 --script 只能给一次"};
        o.script = rest.options->script;
      }
    } else if (!a.empty() && a[0] == '-' && a != "-") {
      return {std::nullopt, "未知选项 " + a + "（orvcad --help 列出选项）"};
    } else {
      return {std::nullopt, "多余的参数 " + a + "（orvcad --help 列出选项）"};
    }
  }
  return {o, {}};
}

}  // namespace orv::app
