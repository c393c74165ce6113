// The drafting aids and the view: OSNAP (running snaps), ORTHO, and ZOOM and PAN,
// which need a presentation that shows the drawing.
#include <vector>

#include "orv/prompt/reply_parser.h"
#include "session.h"

namespace orv::app {

namespace {

using prompt::Point3;
using prompt::SnapKind;
using prompt::Status;

constexpr std::string_view kNoWindow = "\n没有图形窗口。";

std::string snapList(prompt::SnapMask mask, bool labels) {
  std::string out;
  for (int k = 0; k < prompt::kSnapKindCount; ++k) {
    const auto kind = static_cast<SnapKind>(k);
    if (!(mask & prompt::snapBit(kind))) continue;
    if (!out.empty()) out += labels ? "，" : ",";
    out += labels ? prompt::snapLabel(kind) : prompt::snapName(kind);
  }
  return out.empty() ? (labels ? "无" : "NONE") : out;
}

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool sameWord(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (upper(a[i]) != upper(b[i])) return false;
  return true;
}

void osnap(Session& s) {
  core::DraftingSettings& d = s.drafting();
  s.console().print("\n当前对象捕捉模式: " + snapList(d.runningSnaps, true) + (d.objectSnap ? "" : "（已关闭）"));
  for (;;) {
    std::string text;
    if (s.prompts().getString("\n输入对象捕捉模式列表或 [开(ON)/关(OFF)] <" + snapList(d.runningSnaps, false) + ">: ",
                              true, 256, text) != Status::Normal)
      return;
    const std::string_view reply = prompt::trimBlanks(text);
    if (reply.empty()) return;
    if (sameWord(reply, "ON") || sameWord(reply, "OFF")) {
      d.objectSnap = sameWord(reply, "ON");
      return;
    }
    if (sameWord(reply, "NONE") || reply == "无") {
      d.runningSnaps = 0;
      return;
    }
    prompt::SnapMask mask = 0;
    bool ok = true;
    std::size_t start = 0;
    while (start <= reply.size() && ok) {
      std::size_t comma = reply.find(',', start);
      if (comma == std::string_view::npos) comma = reply.size();
      const std::size_t next = comma + 1;
      const std::string_view name = prompt::trimBlanks(reply.substr(start, comma - start));
      if (!name.empty()) {
        if (auto kind = prompt::snapNamed(name)) {
          mask |= prompt::snapBit(*kind);
        } else {
          s.console().print("\n无效的对象捕捉模式“" + std::string(name) + "”。");
          ok = false;
        }
      }
      start = next;
    }
    if (!ok) continue;
    d.runningSnaps = mask;
    d.objectSnap = true;
    return;
  }
}

void ortho(Session& s) {
  core::DraftingSettings& d = s.drafting();
  auto& prompts = s.prompts();
  prompts.initGet(0, "ON OFF");
  const Status st = prompts.getKeyword(std::string("\n输入模式 [开(ON)/关(OFF)] <") + (d.ortho ? "开" : "关") + ">: ");
  if (st == Status::Keyword) d.ortho = prompts.lastKeyword() == "ON";
}

void zoom(Session& s) {
  ViewControl* view = s.view();
  if (!view) {
    s.console().print(kNoWindow);
    return;
  }
  auto& prompts = s.prompts();
  for (;;) {
    prompts.initGet(prompt::kOther, "All Extents Window Previous");
    Point3 p;
    const Status st =
        prompts.getPoint("\n指定窗口的角点，输入比例因子 (nX) 或 [全部(A)/范围(E)/窗口(W)/上一个(P)]: ", std::nullopt, p);
    if (st == Status::Normal) {
      Point3 q;
      if (prompts.getCorner("\n指定对角点: ", p, q) == Status::Normal) view->zoomWindow({p.x, p.y}, {q.x, q.y});
      return;
    }
    if (st != Status::Keyword) return;
    const std::string keyword = prompts.lastKeyword().value_or("");
    if (keyword == "All") return view->zoomAll();
    if (keyword == "Extents") return view->zoomExtents();
    if (keyword == "Previous") {
      if (!view->zoomPrevious()) s.console().print("\n没有上一个视图。");
      return;
    }
    if (keyword == "Window") {
      Point3 a, b;
      if (prompts.getSelectionPoint("\n指定第一个角点: ", a) != Status::Normal) return;
      if (prompts.getCorner("\n指定对角点: ", a, b) == Status::Normal) view->zoomWindow({a.x, a.y}, {b.x, b.y});
      return;
    }
    std::string_view factor = prompt::trimBlanks(keyword);
    if (!factor.empty() && (factor.back() == 'x' || factor.back() == 'X')) factor.remove_suffix(1);
    if (const auto f = prompt::parseReal(factor); f && *f > 0) {
      view->zoomScale(*f);
      return;
    }
    s.console().print("\n需要点、比例因子或选项关键字。");
  }
}

void pan(Session& s) {
  ViewControl* view = s.view();
  if (!view) {
    s.console().print(kNoWindow);
    return;
  }
  Point3 base, to;
  auto& prompts = s.prompts();
  if (prompts.getPoint("\n指定基点或位移: ", std::nullopt, base) != Status::Normal) return;
  const Status st = prompts.getPoint("\n指定第二点: ", base, to);
  if (st == Status::Cancel) return;
  if (st == Status::None) {
    view->pan({base.x, base.y});  // the first point is the displacement
    return;
  }
  if (st == Status::Normal) view->pan({to.x - base.x, to.y - base.y});
}

}  // namespace

std::vector<Session::HostCommand> viewCommands() {
  return {
      {.name = "OSNAP", .description = "设置窗口中的执行对象捕捉模式（缺省：端点、中点、圆心、交点）", .run = osnap,
       .aliases = {"OS"},
       .help = "设置图形窗口中的执行对象捕捉模式：输入用逗号分隔的模式列表（END、MID、CEN、INT、PER、NEA、QUA、INS），NONE 清除，ON、OFF 打开或关闭捕捉。缺省为端点、中点、圆心、交点。在任何点提示下也可以直接输入这些名称作为一次性的捕捉。F3 也切换它。"},
      {.name = "ORTHO", .description = "打开或关闭窗口中的正交模式", .run = ortho,
       .help = "打开（ON）或关闭（OFF）正交模式：在图形窗口中点取的点被移到经过基点的水平线或竖直线上。F8 也切换它。"},
      {.name = "ZOOM", .description = "缩放窗口中的视图：全部、范围、窗口、上一个或比例因子", .run = zoom,
       .aliases = {"Z"},
       .help = "缩放图形窗口中的视图：指定窗口的两个角点，输入比例因子（2 或 2X 放大一倍），或选 全部（A）、范围（E）、窗口（W）、上一个（P）；没有图形窗口时只显示提示。"},
      {.name = "PAN", .description = "平移窗口中的视图", .run = pan, .aliases = {"P"},
       .help = "指定基点和第二点，按两点之差平移图形窗口中的视图；没有图形窗口时只显示提示。"},
  };
}

}  // namespace orv::app
