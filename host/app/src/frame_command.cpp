// TK (FRAME): a GB frame with its title block inserted at the plot scale.
#include <cstdio>

#include "frame_block.h"
#include "messages.h"
#include "orv/prompt/reply_parser.h"
#include "plot_command.h"

namespace orv::app {

namespace {

using prompt::Status;

bool sameLetters(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if ((a[i] | 0x20) != (b[i] | 0x20)) return false;
  return true;
}

// Asks until a reply is taken (empty keeps the default); false on cancel.
template <class Take>
bool askText(Session& s, const std::string& prompt, Take take) {
  for (;;) {
    std::string reply;
    if (s.prompts().getString(prompt, true, 256, reply) != Status::Normal) return false;
    std::string t = prompt::asciiForms(reply);
    while (!t.empty() && t.front() == ' ') t.erase(t.begin());
    while (!t.empty() && t.back() == ' ') t.pop_back();
    if (t.empty()) return true;
    const std::string refusal = take(t);
    if (refusal.empty()) return true;
    s.console().print("\n" + refusal);
  }
}

void frame(Session& s) {
  PlotChoices c = plotDefaults(s.database());
  render::PlotScale scale = c.scale.fit ? render::PlotScale{false, 1.0, 1.0} : c.scale;
  if (!askText(s, "\n图纸尺寸 [A0/A1/A2/A3/A4/A3x3/A3x4/A4x3/A4x4/A4x5] <" + c.paper.name + ">: ",
               [&](const std::string& t) -> std::string {
                 auto p = render::paperNamed(t);
                 if (!p || p->name.find("×") != std::string::npos) return "需要 A0 到 A4 或 A3x3 这样的加长幅面。";
                 c.paper = *p;
                 return {};
               }))
    return;
  if (!askText(s, "\n图纸方向 [纵向(P)/横向(L)] <" + orientationName(c.orientation) + ">: ",
               [&](const std::string& t) -> std::string {
                 if (sameLetters(t, "P") || t == "纵向") c.orientation = render::Orientation::portrait;
                 else if (sameLetters(t, "L") || t == "横向") c.orientation = render::Orientation::landscape;
                 else return "需要 P（纵向）或 L（横向）。";
                 return {};
               }))
    return;
  if (!askText(s, "\n比例 1:N <" + render::scaleText(scale) + ">: ", [&](const std::string& t) -> std::string {
        auto parsed = render::parseScale(t);
        if (!parsed || parsed->fit) return "需要 1:100 这样的比例。";
        scale = *parsed;
        return {};
      }))
    return;
  prompt::Point3 corner{0.0, 0.0, 0.0};
  const Status st = s.prompts().getPoint("\n插入点（左下角）<0,0>: ", std::nullopt, corner);
  if (st == Status::Cancel) return;
  if (st != Status::Normal) corner = {0.0, 0.0, 0.0};
  db::Database& d = s.database();
  const double unitsPerMm = scale.drawing / scale.paper / render::millimetresPerUnit(d.header.insertionUnits);
  auto inserted = insertFrame(d, c.paper, c.orientation, {corner.x, corner.y}, unitsPerMm, render::scaleText(scale));
  if (!inserted) {
    s.console().print("\n无法插入图框：" + inserted.error().message + "。");
    return;
  }
  s.console().print("\n已插入 " + c.paper.name + " " + orientationName(c.orientation) + " 图框，比例 " +
                    render::scaleText(scale) + "。");
}

}  // namespace

Session::HostCommand frameCommand() {
  return {.name = "TK",
          .description = "插入国标图框和标题栏，按打印比例",
          .run = frame,
          .undoable = true,
          .aliases = {"FRAME"},
          .help = "插入一张图纸的国标图框（GB/T 14689）：图纸边界（细线）、图框线（粗线，装订边 25 毫米，其余 10 毫米，"
                  "A3、A4 为 5 毫米）和右下角 180×56 毫米的标题栏（图名、图号、比例、材料、设计、校对、审核、日期、单位，"
                  "均为属性，比例已填好）。询问图纸尺寸、方向、比例（缺省为当前打印比例）和左下角插入点；图框按比例放大，"
                  "打印时正好是图纸的大小。有图框的图形，PLOT 缺省按图框窗口打印。"};
}

}  // namespace orv::app
