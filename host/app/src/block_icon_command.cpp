// BLOCKICON: a preview icon for every block of the drawing that has none, drawn
// from the block's contents, so that a drawing made elsewhere can serve as a
// part library drawing.
#include "block_icon_command.h"

#include <string>
#include <vector>

#include "pictures_library.h"
#include "session.h"

namespace orv::app {

namespace {

void blockIcon(Session& s) {
  std::string problem;
  const render::Pictures* renderer = pictures(problem);
  if (!renderer) {
    s.console().print("\n无法生成预览图标：" + problem);
    return;
  }
  const render::BlockIconCount count = renderer->storeBlockIcons(s.database());
  if (count.made > 0) s.document().noteChangeOutsideUndo();
  s.console().print(describe(count));
}

}  // namespace

std::string describe(const render::BlockIconCount& count) {
  if (count.made + count.kept + count.empty == 0) return "\n图形中没有块。";
  std::string text = count.made > 0 ? "\n已为 " + std::to_string(count.made) + " 个块存入预览图标。"
                                     : std::string("\n没有存入新的预览图标。");
  if (count.kept > 0) text += "\n" + std::to_string(count.kept) + " 个块原有图标，没有改动。";
  if (count.empty > 0) text += "\n" + std::to_string(count.empty) + " 个块没有可画的内容，没有图标。";
  return text;
}

std::vector<Session::HostCommand> blockIconCommands() {
  return {{.name = "BLOCKICON",
           .description = "为图形中没有预览图标的块生成图标（零件库图形用它在对话框里显示）",
           .run = blockIcon,
           .help = "为图形中每个还没有预览图标的块生成预览图标，存在块记录中；阀门和自定义零件的图片对话框显示这些图标。"}};
}

}  // namespace orv::app
