// BLOCKICON: a preview icon for every block of the drawing that has none, drawn
// from the block's contents, so that a drawing made elsewhere can serve as a
// part library drawing.
#include "block_icon_command.h"

#include <string>
#include <vector>

#include "db_impl.h"
#include "orv/dialogs/dib.h"
#include "orv/render/block_icon.h"
#include "session.h"

namespace orv::app {

namespace {

// Blocks that are drawings of their own rather than parts: layouts, anonymous
// blocks (names starting with "*": hatches, dimensions), external references.
bool takesIcon(const db::Database& d, db::BlockId b) {
  const db::BlockDefinition& def = d.block(b);
  if (b == d.modelSpace() || b == d.paperSpace() || def.removed) return false;
  if (def.name.empty() || def.name.front() == '*') return false;
  constexpr std::int16_t kExternalReference = 4;
  return (def.flags & kExternalReference) == 0;
}

void blockIcon(Session& s) {
  const BlockIconCount count = storeBlockIcons(sdk::databaseOf(&s.drawing()));
  s.console().print(describe(count));
}

}  // namespace

std::optional<std::vector<std::uint8_t>> blockIconBytes(const db::Database& d, db::BlockId block) {
  auto raster = render::renderBlockIcon(d, block, kBlockIconSize);
  if (!raster) return std::nullopt;
  dialogs::Bitmap bitmap;
  bitmap.width = raster->width;
  bitmap.height = raster->height;
  bitmap.pixels = std::move(raster->pixels);
  return dialogs::encodeDib24(bitmap);
}

BlockIconCount storeBlockIcons(db::Database& d) {
  BlockIconCount count;
  for (std::size_t i = 0; i < d.blockCount(); ++i) {
    const db::BlockId b{static_cast<std::uint32_t>(i)};
    if (!takesIcon(d, b)) continue;
    if (!d.block(b).preview.empty()) {
      ++count.kept;
      continue;
    }
    auto bytes = blockIconBytes(d, b);
    if (!bytes) {
      ++count.empty;
      continue;
    }
    d.editBlock(b).preview = std::move(*bytes);
    ++count.made;
  }
  return count;
}

std::string describe(const BlockIconCount& count) {
  if (count.made + count.kept + count.empty == 0) return "\n图形中没有块。";
  std::string text = count.made > 0 ? "\n已为 " + std::to_string(count.made) + " 个块存入预览图标。"
                                     : std::string("\n没有存入新的预览图标。");
  if (count.kept > 0) text += "\n" + std::to_string(count.kept) + " 个块原有图标，没有改动。";
  if (count.empty > 0) text += "\n" + std::to_string(count.empty) + " 个块没有可画的内容，没有图标。";
  return text;
}

std::vector<Session::HostCommand> blockIconCommands() {
  return {{"BLOCKICON", "为图形中没有预览图标的块生成图标（零件库图形用它在对话框里显示）", blockIcon}};
}

}  // namespace orv::app
