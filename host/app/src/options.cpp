// Parsing orvcad's command line.
#include "options.h"

namespace orv::app {

std::string usage() {
  return "用法: orvcad [选项] [图形.dxf|图形.dwg]\n"
         "启动绘图宿主（新图形，或打开给出的 DXF 或 DWG 图形），加载管道绘图模块 orvpipe07.arx，\n"
         "然后在图形窗口或终端运行命令行，直到 QUIT、关闭窗口或脚本结束。\n"
         "\n"
         "选项:\n"
         "  --module PATH   从 PATH 加载模块（缺省: 与 orvcad 一起安装的模块）\n"
         "  --script FILE   从 FILE 读取每个回答（'-' 为标准输入），而不是从终端\n"
         "  --window        打开图形窗口（有显示器时的缺省）\n"
         "  --terminal      即使有显示器也使用终端命令行\n"
         "  --save FILE     会话结束时把图形以 DXF 保存到 FILE\n"
         "  --export FILE   会话结束时把图形画成图片（.svg、.png 或 .pdf），可给多次\n"
         "  --plot FILE     不开会话，把给出的图形按比例打印到 FILE（.pdf、.png 或 .svg）然后结束；\n"
         "                  图纸、比例和范围取图形保存的页面设置，或 A3 横向、布满、范围，可用下面三项改：\n"
         "  --paper SIZE    打印的图纸：A0 到 A4、A3x3 等加长幅面或 宽×高（毫米），后加 ,P 为纵向\n"
         "  --scale 1:N     打印比例，或 布满\n"
         "  --area AREA     打印范围：extents（范围）、limits（图形界限）、layout:名称（布局，1:1）或窗口 x1,y1,x2,y2\n"
         "  --help          显示本帮助\n"
         "  --version       显示版本\n"
         "\n"
         "设置文件 draw.ini 和零件库 resource/FM、resource/ZDY 位于模块所在目录；安装的模块所在目录\n"
         "不可写时，用户使用自己的模块目录 ~/.local/share/orvcad/module（$XDG_DATA_HOME/orvcad/module）。\n"
         "终端和窗口会话把未保存的图形定时写入 ~/.local/state/orvcad 中的恢复文件，用 RECOVER 打开。\n"
         "DWG 图形由 Node.js 运行 LibreDWG 转换后读入（tools/install-deps.sh 安装），转换结果缓存在\n"
         "~/.cache/orvcad/dwg（$XDG_CACHE_HOME/orvcad/dwg）；DWG 不会被覆盖，保存时存为 DXF。\n"
         "在命令行输入 HELP 列出所有命令。\n";
}

namespace {

// Options that take a value: stores it, or says why not.
std::string take(Options& o, const std::string& name, const std::string& value) {
  auto once = [&](auto& slot) -> std::string {
    if (slot) return "选项 " + name + " 只能给一次";
    slot = value;
    return {};
  };
  if (name == "--module") return once(o.module);
  if (name == "--script") return once(o.script);
  if (name == "--save") return once(o.save);
  if (name == "--plot") return once(o.plot);
  if (name == "--paper") return once(o.paper);
  if (name == "--scale") return once(o.scale);
  if (name == "--area") return once(o.area);
  if (name == "--export") {
    o.exports.emplace_back(value);
    return {};
  }
  return "未知选项 " + name + "（orvcad --help 列出选项）";
}

bool takesValue(const std::string& name) {
  return name == "--module" || name == "--script" || name == "--save" || name == "--export" ||
         name == "--plot" || name == "--paper" || name == "--scale" || name == "--area";
}

}  // namespace

ParsedOptions parseOptions(const std::vector<std::string>& args) {
  Options o;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    std::string error;
    if (a == "--help" || a == "-h") {
      o.help = true;
    } else if (a == "--version") {
      o.version = true;
    } else if (a == "--window") {
      o.window = true;
    } else if (a == "--terminal") {
      o.terminal = true;
    } else if (a.rfind("--", 0) == 0 && a.find('=') != std::string::npos) {
      auto eq = a.find('=');
      error = takesValue(a.substr(0, eq)) ? take(o, a.substr(0, eq), a.substr(eq + 1))
                                         : "选项 " + a.substr(0, eq) + " 不带参数";
    } else if (takesValue(a)) {
      if (i + 1 >= args.size()) return {std::nullopt, "选项 " + a + " 需要一个参数"};
      error = take(o, a, args[++i]);
    } else if (!a.empty() && a[0] == '-' && a != "-") {
      error = "未知选项 " + a + "（orvcad --help 列出选项）";
    } else if (o.drawing) {
      error = "多余的参数 " + a + "（只能打开一个图形）";
    } else {
      o.drawing = a;
    }
    if (!error.empty()) return {std::nullopt, error};
  }
  if (!o.plot && (o.paper || o.scale || o.area))
    return {std::nullopt, "选项 --paper、--scale 和 --area 只和 --plot 一起用"};
  if (o.plot && !o.drawing) return {std::nullopt, "选项 --plot 需要要打印的图形"};
  if (o.window && o.script) return {std::nullopt, "选项 --window 和 --script 不能一起给"};
  if (o.window && o.terminal) return {std::nullopt, "选项 --window 和 --terminal 不能一起给"};
  return {o, {}};
}

}  // namespace orv::app
