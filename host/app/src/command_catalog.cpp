// The commands of the pipe module as the host describes them: HELP's paragraph and
// their place in the 管道 menu and the tool bar.
#include "command_catalog.h"

#include "orv/modules/command_registry.h"

namespace orv::app {

namespace {

constexpr ModuleCommandInfo kModuleCommands[] = {
    {"GD", "DrawLine",
     "画双线管道：逐点指定管道的路线，管道画成两条相距管道外径的边线、一条中心线和端部、接头处的横线；在每个转角按当前的弯头方式（水平弯头、下弯、上弯）放置弯头，两点之间可以插入大小头或阀门。输入 0 画完最后一段并结束。",
     {"管道", "管道", true}},
    {"DX", "DrawDX",
     "画单线管道：逐点指定路线，管道画成一条线，转角处放置当前方式的弯头，两点之间可以插入大小头或阀门。",
     {"管道", "单线管道", true}},
    {"WT", "DrawWT",
     "在图中选取的两条线之间画一个水平弯头，弯头半径和管道外径取自设置。",
     {"管道", "弯头", true}},
    {"DWT", "DrawUDWT",
     "在图中选取的两条线之间画一个上弯或下弯弯头。",
     {"管道", "上下弯头", true}},
    {"ST", "DrawST",
     "输入三通的数据：主管和支管的外径、支管长度和支管位置，存入设置文件；这个命令不画图。",
     {"管道", "三通", true}},
    {"DXT", "DrawDXT",
     "在两点之间画一个大小头：同心、顶平或底平。",
     {"管道", "大小头", true}},
    {"FM", "DrawFM",
     "从阀门图库中选择一个阀门（图片对话框显示最多 24 个图块的预览），按管道外径缩放、按方向旋转后插入图中。",
     {"管道", "阀门", true}},
    {"ZDY", "DrawZDY",
     "从自定义零件图库中选择一个零件（图片对话框显示预览），缩放后插入图中。",
     {"管道", "自定义部件", true}},
    {"CGD", "ChangePipeParameters",
     "设置管道外径和弯头半径的缺省值，写入设置文件；输入 0 或回车保留原值。",
     {"管道", "修改管道参数", true}},
    {"CLT", "ChangeLineType",
     "设置管道边线和中心线的线型和颜色，写入设置文件，之后画的管道使用它们。",
     {"管道", "修改线型", true}},
};

}  // namespace

std::span<const ModuleCommandInfo> moduleCommandInfos() { return kModuleCommands; }

const ModuleCommandInfo* moduleCommandInfo(std::string_view name) {
  for (const ModuleCommandInfo& c : kModuleCommands)
    if (modules::equalsIgnoringCase(c.local, name) || modules::equalsIgnoringCase(c.global, name)) return &c;
  return nullptr;
}

}  // namespace orv::app
