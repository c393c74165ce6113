// The host's commands on the drawing: LINE, UNDO, REDO and PICKBOX.
#include <vector>

#include "lineweights.h"
#include "messages.h"
#include "orv/db/header_values.h"
#include "property_commands.h"
#include "session.h"

namespace orv::app {

namespace {

using prompt::Point3;
using prompt::Status;

// LINE: straight lines from point to point; U takes back the last one, C closes.
void line(Session& s) {
  auto& prompts = s.prompts();
  Point3 first;
  if (prompts.getPoint("\n指定第一个点: ", std::nullopt, first) != Status::Normal) return;
  db::Database& d = s.database();
  struct Segment {
    db::ObjectId id;
    Point3 start;
  };
  std::vector<Segment> segments;
  Point3 last = first;
  for (;;) {
    bool canClose = segments.size() >= 2;
    prompts.initGet(0, canClose ? "C U" : "U");
    Point3 next;
    Status st = prompts.getPoint(canClose ? "\n指定下一点或 [闭合(C)/放弃(U)]: " : "\n指定下一点或 [放弃(U)]: ",
                                 last, next);
    if (st == Status::Keyword) {
      const std::string keyword = prompts.lastKeyword().value_or("");
      if (keyword == "U") {
        if (segments.empty()) {
          s.console().print("\n所有线段已被放弃。");
          continue;
        }
        d.erase(segments.back().id);
        last = segments.back().start;
        prompts.setLastPoint(last);
        segments.pop_back();
        continue;
      }
      next = first;  // C: back to the first point, then done
    } else if (st != Status::Normal) {
      return;
    }
    db::Entity segment(db::Line{{last.x, last.y, last.z}, {next.x, next.y, next.z}});
    if (d.layers().find(d.header.currentLayer)) segment.layer = d.intern(d.header.currentLayer);
    db::giveCurrentColorAndLinetype(d, segment);
    auto added = d.append(std::move(segment));
    if (!added) {
      s.console().print("\n无法画这条线：" + messages::databaseStatus(added.error().status) + "。");
      continue;
    }
    db::giveCurrentLineweight(d, *added);
    segments.push_back({*added, last});
    last = next;
    if (st == Status::Keyword) return;
  }
}

void undo(Session& s) {
  std::string name;
  if (!s.undoLastCommand(name)) {
    s.console().print("\n没有可以放弃的操作。");
    return;
  }
  s.console().print(name.empty() ? "\n已放弃。" : "\n已放弃: " + name);
}

void redo(Session& s) {
  std::string name;
  if (!s.redoLastCommand(name)) {
    s.console().print("\n没有可以重做的操作。");
    return;
  }
  s.console().print(name.empty() ? "\n已重做。" : "\n已重做: " + name);
}

void pickbox(Session& s) {
  auto& prompts = s.prompts();
  prompts.initGet(prompt::kNoZero | prompt::kNoNegative, "");
  char current[64];
  std::snprintf(current, sizeof current, "%g", s.pickDistance());
  double d = s.pickDistance();
  if (prompts.getReal(std::string("\n输入拾取距离（图形单位） <") + current + ">: ", d) == Status::Normal)
    s.setPickDistance(d);
}

}  // namespace

std::vector<Session::HostCommand> drawingCommands() {
  return {
      {.name = "LINE", .description = "画直线：从点到点", .run = line, .undoable = true,
       .help = "从第一点起逐点画直线段；U 放弃最后一段，C 回到第一点闭合，回车结束。",
       .menu = {"绘图", "直线", true}},
      {.name = "PICKBOX", .description = "设置拾取对象时允许的距离（缺省 1 个图形单位）", .run = pickbox,
       .help = "设置拾取对象时允许的距离（图形单位，缺省 1）：点取时选中这个距离内最近的对象，距离相同时选较新的。"},
      {.name = "UNDO", .description = "放弃上一个改变图形的命令的全部效果", .run = undo, .aliases = {"U"},
       .help = "放弃上一个改变图形的命令的全部效果（U 同此）；可以连续放弃，REDO 恢复。",
       .menu = {"编辑", "放弃", false, "Ctrl+Z"}},
      {.name = "REDO", .description = "恢复上一个 UNDO 放弃的操作", .run = redo,
       .help = "恢复上一个 UNDO 放弃的命令的全部效果；执行了新的改变图形的命令之后就不能再恢复。",
       .menu = {"编辑", "重做", false, "Ctrl+Y"}},
  };
}

}  // namespace orv::app
