// CLAYER: the layer new entities go on, as the window's layer control sets it
// ("CLAYER 管道" on one line), one step of UNDO.
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "orv/prompt/reply_parser.h"
#include "session.h"

namespace orv::app {

namespace {

using prompt::Status;

// CLAYER: the layer new entities go on.
void clayer(Session& s) {
  std::string name = s.commandArgument();
  if (name.empty() &&
      s.prompts().getString("\n输入 CLAYER 的新值 <" + s.database().header.currentLayer + ">: ", true, 255, name) !=
          Status::Normal)
    return;
  name = std::string(prompt::trimBlanks(name));
  if (name.empty()) return;
  if (s.database().setCurrentLayer(name) != db::Status::ok) s.console().print("\n找不到图层“" + name + "”。");
}

}  // namespace

std::vector<Session::HostCommand> currentLayerCommands() {
  return {
      {.name = "CLAYER", .description = "设置当前图层（新对象所在的图层）", .run = clayer, .undoable = true,
       .takesArgument = true,
       .help = "输入已有图层的名称，使它成为当前图层；也可以写在命令后，如 CLAYER 管道。窗口工具栏的图层控件用它。"},
  };
}

}  // namespace orv::app
