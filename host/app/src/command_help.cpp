// HELP: every command with its description, and one paragraph about a command named
// after it; the plug-in's commands are described here too, by their names.
#include <algorithm>
#include <vector>

#include "session.h"

namespace orv::app {

namespace {

struct Help {
  std::string_view name;    // a host command's name, or a plug-in command's local name
  std::string_view global;  // a plug-in command's global name
  std::string_view text;
};

constexpr Help kHelp[] = {
    {"ARX", "", "列出已加载的模块（?），加载（L）或卸载（U）一个模块，或按命令组列出模块注册的命令（C）。"},
    {"BLOCKICON", "", "为图形中每个还没有预览图标的块生成预览图标，存在块记录中；阀门和自定义零件的图片对话框显示这些图标。"},
    {"COPY", "", "选择对象，指定基点，然后逐个指定第二点：每个第二点按它与基点之差复制一份选中的对象，直到回车。块参照连同其属性一起复制。"},
    {"DIST", "", "指定两点，显示它们之间的距离、在 XY 平面中的倾角、与 XY 平面的夹角以及 X、Y、Z 增量，数值按图形的单位格式显示。"},
    {"ERASE", "", "选择对象后回车，删除选中的对象；块参照连同其属性一起删除。UNDO 或 U 可以恢复。"},
    {"EXPORT", "", "把模型空间画成图片：文件名以 .png、.svg 或 .pdf 结尾决定格式，图形按页面缩放，关闭和冻结的图层不画。"},
    {"HELP", "", "不带参数时列出所有命令及其说明；在同一行输入“HELP 命令名”时说明这一个命令，命令名可以是别名或模块命令的本地名、全局名。"},
    {"ID", "", "指定一个点，显示它的 X、Y、Z 坐标；这个点成为下一个相对坐标（@）的参照点。"},
    {"LAYER", "", "反复询问选项直到回车：?列出图层；M 生成图层并置为当前；S 设置当前图层；N 新建图层（名称用逗号分隔）；ON、OFF 打开、关闭图层；F、T 冻结、解冻图层（可用 *）；C 设置图层颜色；L 设置图层线型。新对象（包括模块画的）放在当前图层上，当前图层随图形保存。整个命令可以一次放弃。"},
    {"LINE", "", "从第一点起逐点画直线段；U 放弃最后一段，C 回到第一点闭合，回车结束。"},
    {"LIST", "", "选择对象，列出每个对象的类型、图层、颜色、线型、句柄和几何数据：点的坐标、半径、角度、长度、块名、比例和旋转角度，以及块参照的属性。"},
    {"MIRROR", "", "选择对象，指定镜像线上的两点，再回答是否删除源对象：否则保留源对象并生成镜像副本。文字和属性镜像后仍然可读。"},
    {"MOVE", "", "选择对象，指定基点和第二点，按两点之差移动选中的对象。"},
    {"NEW", "", "新建一个空图形，代替当前图形；新图形有图层 0、文字样式 Standard 和常用线型。"},
    {"OPEN", "", "打开一个 DXF 图形（R12 到 R2018），代替当前图形；没有扩展名时试 NAME.dxf。读入时发现的问题列在命令行上。"},
    {"ORTHO", "", "打开（ON）或关闭（OFF）正交模式：在图形窗口中点取的点被移到经过基点的水平线或竖直线上。F8 也切换它。"},
    {"OSNAP", "", "设置图形窗口中的执行对象捕捉模式：输入用逗号分隔的模式列表（END、MID、CEN、INT、PER、NEA、QUA、INS），NONE 清除，ON、OFF 打开或关闭捕捉。缺省为端点、中点、圆心、交点。在任何点提示下也可以直接输入这些名称作为一次性的捕捉。F3 也切换它。"},
    {"PAN", "", "指定基点和第二点，按两点之差平移图形窗口中的视图；没有图形窗口时只显示提示。"},
    {"PICKBOX", "", "设置拾取对象时允许的距离（图形单位，缺省 1）：点取时选中这个距离内最近的对象，距离相同时选较新的。"},
    {"QUIT", "", "结束会话。"},
    {"REDO", "", "恢复上一个 UNDO 放弃的命令的全部效果；执行了新的改变图形的命令之后就不能再恢复。"},
    {"ROTATE", "", "选择对象，指定基点和旋转角度（度，逆时针为正；也可以点取一点，取基点到它的方向），绕基点旋转选中的对象。"},
    {"SAVE", "", "把图形保存到它的文件；新图形先询问文件名。保存为 DXF R2000，中文名称以 GBK 编码写入。"},
    {"SAVEAS", "", "把图形以 DXF 保存到另一个文件，之后 SAVE 写入这个文件。"},
    {"SCALE", "", "选择对象，指定基点和比例因子（也可以点取一点，取它到基点的距离），以基点为中心缩放选中的对象。"},
    {"UNDO", "", "放弃上一个改变图形的命令的全部效果（U 同此）；可以连续放弃，REDO 恢复。"},
    {"ZOOM", "", "缩放图形窗口中的视图：指定窗口的两个角点，输入比例因子（2 或 2X 放大一倍），或选 全部（A）、范围（E）、窗口（W）、上一个（P）；没有图形窗口时只显示提示。"},
    {"GD", "DrawLine", "画双线管道：逐点指定管道的路线，管道画成两条相距管道外径的边线、一条中心线和端部、接头处的横线；在每个转角按当前的弯头方式（水平弯头、下弯、上弯）放置弯头，两点之间可以插入大小头或阀门。输入 0 画完最后一段并结束。"},
    {"WT", "DrawWT", "在图中选取的两条线之间画一个水平弯头，弯头半径和管道外径取自设置。"},
    {"DWT", "DrawUDWT", "在图中选取的两条线之间画一个上弯或下弯弯头。"},
    {"CLT", "ChangeLineType", "设置管道边线和中心线的线型和颜色，写入设置文件，之后画的管道使用它们。"},
    {"CGD", "ChangePipeParameters", "设置管道外径和弯头半径的缺省值，写入设置文件；输入 0 或回车保留原值。"},
    {"DXT", "DrawDXT", "在两点之间画一个大小头：同心、顶平或底平。"},
    {"FM", "DrawFM", "从阀门图库中选择一个阀门（图片对话框显示最多 24 个图块的预览），按管道外径缩放、按方向旋转后插入图中。"},
    {"ZDY", "DrawZDY", "从自定义零件图库中选择一个零件（图片对话框显示预览），缩放后插入图中。"},
    {"ST", "DrawST", "输入三通的数据：主管和支管的外径、支管长度和支管位置，存入设置文件；这个命令不画图。"},
    {"DX", "DrawDX", "画单线管道：逐点指定路线，管道画成一条线，转角处放置当前方式的弯头，两点之间可以插入大小头或阀门。"},
};

bool same(std::string_view a, std::string_view b) { return modules::equalsIgnoringCase(a, b); }

const Help* helpFor(std::string_view name) {
  for (const Help& h : kHelp)
    if (same(h.name, name) || (!h.global.empty() && same(h.global, name))) return &h;
  return nullptr;
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
    const Help* h = helpFor(c.name);
    s.console().print("\n" + withAliases(c) + ": " + std::string(h ? h->text : std::string_view(c.description)));
    return;
  }
  if (const modules::Command* command = s.commands().find(typed)) {
    const Help* h = helpFor(command->localName);
    if (!h) h = helpFor(command->globalName);
    s.console().print("\n" + command->localName + " (" + command->globalName + "): " +
                      std::string(h ? h->text : std::string_view("模块注册的命令。")));
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
      const Help* h = helpFor(c.localName);
      if (!h) h = helpFor(c.globalName);
      const std::string owner = c.owner ? "  [" + c.owner->fileName() + "]" : "";
      s.console().print("\n  " + padded(c.localName, 6) + padded(c.globalName, 22) +
                        (h ? summary(h->text) : std::string("模块注册的命令")) + owner);
    }
  }
  s.console().print(
      "\n命令可以用本地名、全局名或别名输入，不分大小写，可带前导“_”。在“命令:”处直接回车重复上一个命令。"
      "输入“HELP 命令名”查看一个命令的说明。");
}

}  // namespace

std::vector<Session::HostCommand> helpCommands() {
  return {{"HELP", "列出所有命令；HELP 命令名 说明一个命令", help, false, {}, true}};
}

}  // namespace orv::app
