// PLOT at the command line, in scripts and on one line, and plotting a drawing file without a session.
//
// Contents: areas (extents, window, limits, display, layouts); plotting and its message;
// the questions (asked, or taken from the command's line); the command; the request and
// the one-line form the 打印 dialog uses; --plot.
#include "plot_command.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>

#include "file_names.h"
#include "frame_block.h"
#include "messages.h"
#include "orv/db/header_values.h"
#include "orv/prompt/reply_parser.h"
#include "pictures_library.h"
#include "view_control.h"

namespace orv::app {

namespace {

using prompt::Status;
namespace fs = std::filesystem;

// ---- areas

std::optional<db::Point2> headerPoint(const db::HeaderVariables& h, std::string_view name) {
  std::optional<double> x, y;
  for (const auto& [code, value] : db::headerTags(h, name)) {
    if (code == 10) x = prompt::parseReal(value);
    if (code == 20) y = prompt::parseReal(value);
  }
  if (!x || !y || !std::isfinite(*x) || !std::isfinite(*y)) return std::nullopt;
  return db::Point2{*x, *y};
}

// The layout of a drawing by name (ASCII case ignored); null when it has none of that name.
const render::LayoutSheet* layoutNamed(const std::vector<render::LayoutSheet>& layouts, std::string_view name);

// The names of a drawing's layouts: "布局1、布局2".
std::string layoutList(const std::vector<render::LayoutSheet>& layouts) {
  std::string out;
  for (const auto& l : layouts) out += (out.empty() ? "" : "、") + l.name;
  return out;
}

// The area of the drawing the choices name (`shown`: what the window shows, for 显示);
// nullopt with the reason in `why`.
std::optional<render::Extents> areaOf(const render::Pictures& r, const db::Database& d, const PlotChoices& c,
                                      const std::optional<render::Extents>& shown, std::string& why) {
  switch (c.area) {
    case PlotArea::window:
      if (c.window.maxX > c.window.minX && c.window.maxY > c.window.minY) return c.window;
      why = "打印窗口没有面积";
      return std::nullopt;
    case PlotArea::limits: {
      const auto lo = headerPoint(d.header, "$LIMMIN"), hi = headerPoint(d.header, "$LIMMAX");
      if (lo && hi && hi->x > lo->x && hi->y > lo->y) return render::Extents{lo->x, lo->y, hi->x, hi->y};
      why = "图形没有有效的图形界限（$LIMMIN/$LIMMAX）";
      return std::nullopt;
    }
    case PlotArea::layout:  // the layout's own area, found by the caller
      why = "图形没有布局“" + c.layout + "”";
      return std::nullopt;
    case PlotArea::display:
      if (shown && shown->maxX > shown->minX && shown->maxY > shown->minY) return shown;
      break;  // without a window: what a view of the whole drawing shows
    case PlotArea::extents:
      break;
  }
  if (auto box = r.modelExtents(d)) return box;
  why = "图形是空的，没有可打印的内容";
  return std::nullopt;
}

// ---- plotting

std::string endingOf(render::PictureFormat f) {
  return f == render::PictureFormat::png ? ".png" : f == render::PictureFormat::svg ? ".svg" : ".pdf";
}

// The sheet, orientation and scale as the success line names them: "A3 横向，1:100".
std::string sheetText(const PlotChoices& c) {
  return c.paper.name + " " + orientationName(c.orientation) + "，" + render::scaleText(c.scale);
}

FileResult plotTo(const db::Database& d, const PlotChoices& c, const std::optional<render::Extents>& shown,
                  const fs::path& out) {
  if (std::string why = whyNotWritable(out); !why.empty())
    return {false, "无法打印到" + messages::quoted(out) + "：" + why + "。"};
  std::string problem;
  const render::Pictures* r = pictures(problem);
  if (!r) return {false, "无法打印到" + messages::quoted(out) + "：" + problem + "。"};
  std::string why;
  const auto request = plotRequest(*r, d, c, shown, why);
  if (!request) return {false, "无法打印：" + why + "。"};
  const render::PlotResult result = r->plot(d, out, *request);
  if (!result) return {false, "无法打印到" + messages::quoted(out) + "：" + result.message + "。"};
  std::string text = "已打印到 " + out.string() + "（" + sheetText(c) + "）。";
  if (!result.plan.fits) text += "\n注意：打印范围在这个比例下超出图纸，只打印了图纸上放得下的部分。";
  if (result.report.truncated) text += "\n注意：图形太大，只打印了一部分。";
  if (request->layout && request->layout->viewportsLeftOut > 0)
    text += "\n注意：布局中有 " + std::to_string(request->layout->viewportsLeftOut) +
            " 个视口（三维、旋转或没有大小）没有打印。";
  return {true, text};
}

// ---- the questions

std::string shortNumber(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.6g", v);
  return buf;
}

// A number of the one-line form: the shortest text that reads back to the same double,
// so that a window's corners and an offset plot where they were given.
std::string exactNumber(double v) {
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, v + 0.0);
  return std::string(buf, r.ptr);
}

// The choices PLOT offers when the drawing keeps none: those of the last PLOT.
PlotChoices& lastChoices() {
  static PlotChoices last;
  return last;
}

bool sameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const char x = a[i] >= 'a' && a[i] <= 'z' ? static_cast<char>(a[i] - 32) : a[i];
    const char y = b[i] >= 'a' && b[i] <= 'z' ? static_cast<char>(b[i] - 32) : b[i];
    if (x != y) return false;
  }
  return true;
}

std::string_view trimmed(std::string_view t) {
  while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
  while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.remove_suffix(1);
  return t;
}

// Where PLOT's replies come from: its prompts, or the rest of its line ("PLOT PDF A1 L E
// 1:100 C M plan.pdf"), a word a question in the prompts' order ("" for Enter, words
// with blanks in double quotes), the file name the rest of the line.
class Replies {
 public:
  explicit Replies(Session& s) : s_(s), line_(s.commandArgument()), fromLine_(!line_.empty()) {}
  bool fromLine() const { return fromLine_; }

  // The next reply to `prompt`; false on a cancel.
  bool next(const std::string& prompt, std::string& reply) {
    if (!fromLine_) return s_.prompts().getString(prompt, true, 4096, reply) == Status::Normal;
    reply = word();
    return true;
  }
  // The file name: the rest of the line.
  bool rest(const std::string& prompt, std::string& reply) {
    if (!fromLine_) return s_.prompts().getString(prompt, true, 4096, reply) == Status::Normal;
    std::string_view t = trimmed(std::string_view(line_).substr(at_));
    if (t.size() >= 2 && t.front() == '"' && t.back() == '"') t = t.substr(1, t.size() - 2);
    reply = std::string(t);
    at_ = line_.size();
    return true;
  }
  // A point: typed or clicked, or a word "x,y" of the line.
  bool point(const std::string& prompt, const std::optional<prompt::Point3>& base, prompt::Point3& p) {
    if (!fromLine_) {
      return base ? s_.prompts().getCorner(prompt, *base, p) == Status::Normal
                  : s_.prompts().getPoint(prompt, std::nullopt, p) == Status::Normal;
    }
    const std::string w = word();
    const auto given = prompt::parsePoint(prompt::asciiForms(w), prompt::Point3{});
    if (!given) {
      s_.console().print("\n需要点（x,y），而不是“" + w + "”。");
      return false;
    }
    p = *given;
    return true;
  }

 private:
  std::string word() {
    std::string_view rest = std::string_view(line_).substr(at_);
    std::size_t i = 0;
    while (i < rest.size() && (rest[i] == ' ' || rest[i] == '\t')) ++i;
    std::string out;
    if (i < rest.size() && rest[i] == '"') {
      const std::size_t close = rest.find('"', i + 1);
      const std::size_t end = close == std::string_view::npos ? rest.size() : close;
      out = std::string(rest.substr(i + 1, end - i - 1));
      i = close == std::string_view::npos ? rest.size() : close + 1;
    } else {
      const std::size_t start = i;
      while (i < rest.size() && rest[i] != ' ' && rest[i] != '\t') ++i;
      out = std::string(rest.substr(start, i - start));
    }
    at_ += i;
    return out;
  }

  Session& s_;
  std::string line_;
  bool fromLine_;
  std::size_t at_ = 0;
};

// Asks until the reply is taken by `take` (true) or is empty (the default kept); false
// on cancel. A reply on the command's line that is not taken ends the command.
template <class Take>
bool ask(Session& s, Replies& replies, const std::string& prompt, Take take) {
  for (;;) {
    std::string reply;
    if (!replies.next(prompt, reply)) return false;
    const std::string typed = prompt::asciiForms(reply);
    const std::string_view t = trimmed(typed);
    if (t.empty()) return true;
    const std::string refusal = take(std::string(t));
    if (refusal.empty()) return true;
    s.console().print("\n" + refusal);
    if (replies.fromLine()) return false;
  }
}

std::string paperPrompt(const PlotChoices& c) {
  return "\n图纸尺寸 [A0/A1/A2/A3/A4/A3x3/A3x4/A4x3/A4x4/A4x5] 或 宽×高 <" + c.paper.name + ">: ";
}

std::string areaName(PlotArea a) {
  switch (a) {
    case PlotArea::extents: return "范围";
    case PlotArea::window: return "窗口";
    case PlotArea::display: return "显示";
    case PlotArea::limits: return "图形界限";
    case PlotArea::layout: return "布局";
  }
  return "范围";
}

// Asks for a layout of the drawing by name.
bool askLayout(Session& s, Replies& replies, PlotChoices& c, const std::vector<render::LayoutSheet>& layouts) {
  if (!layoutNamed(layouts, c.layout)) c.layout = layouts.front().name;
  std::string keys;
  for (const auto& l : layouts) keys += (keys.empty() ? "" : "/") + l.name;
  return ask(s, replies, "\n布局名 [" + keys + "] <" + c.layout + ">: ", [&](const std::string& t) -> std::string {
    const render::LayoutSheet* l = layoutNamed(layouts, t);
    if (!l) return "图形没有布局“" + t + "”：有 " + layoutList(layouts) + "。";
    c.layout = l->name;
    return {};
  });
}

bool askChoices(Session& s, Replies& replies, PlotChoices& c) {
  if (!ask(s, replies, "\n输出 [PDF/PNG/SVG] <" + formatName(c.format) + ">: ", [&](const std::string& t) -> std::string {
        if (sameText(t, "PDF")) c.format = render::PictureFormat::pdf;
        else if (sameText(t, "PNG")) c.format = render::PictureFormat::png;
        else if (sameText(t, "SVG")) c.format = render::PictureFormat::svg;
        else return "需要 PDF、PNG 或 SVG。";
        return {};
      }))
    return false;
  if (!ask(s, replies, paperPrompt(c), [&](const std::string& t) -> std::string {
        auto p = render::paperNamed(t);
        if (!p) return "不认识的图纸尺寸“" + t + "”：用 A0 到 A4、A3x3 这样的加长幅面，或 宽×高（毫米）。";
        c.paper = *p;
        return {};
      }))
    return false;
  if (!ask(s, replies, "\n图纸方向 [纵向(P)/横向(L)] <" + orientationName(c.orientation) + ">: ",
           [&](const std::string& t) -> std::string {
             if (sameText(t, "P") || t == "纵向") c.orientation = render::Orientation::portrait;
             else if (sameText(t, "L") || t == "横向") c.orientation = render::Orientation::landscape;
             else return "需要 P（纵向）或 L（横向）。";
             return {};
           }))
    return false;
  bool wantWindow = false, wantLayout = false;
  const std::vector<render::LayoutSheet> layouts = render::layoutsOf(s.database());
  if (!ask(s, replies, "\n打印范围 [范围(E)/窗口(W)/显示(D)/图形界限(L)/布局(LA)] <" + areaName(c.area) + ">: ",
           [&](const std::string& t) -> std::string {
             if (sameText(t, "E") || t == "范围") c.area = PlotArea::extents;
             else if (sameText(t, "W") || t == "窗口") wantWindow = true;
             else if (sameText(t, "D") || t == "显示") {
               if (!s.view()) return "没有显示图形的窗口，无法按显示打印：请选范围、窗口或图形界限。";
               c.area = PlotArea::display;
             } else if (sameText(t, "L") || t == "图形界限") c.area = PlotArea::limits;
             else if (sameText(t, "LA") || t == "布局") {
               if (layouts.empty()) return "图形没有布局（图纸空间），请选其它范围。";
               wantLayout = true;
             } else return "需要 E、W、D、L 或 LA。";
             return {};
           }))
    return false;
  if (wantWindow) {
    prompt::Point3 a, b;
    if (!replies.point("\n窗口的第一个角点: ", std::nullopt, a)) return false;
    if (!replies.point("\n对角点: ", a, b)) return false;
    if (a.x == b.x || a.y == b.y) {
      s.console().print("\n窗口没有面积。");
      return false;
    }
    c.area = PlotArea::window;
    c.window = {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
  }
  if (wantLayout) {
    if (!askLayout(s, replies, c, layouts)) return false;
    // A layout is drawn at its own size: paper space 1:1.
    if (c.area != PlotArea::layout) c.scale = render::PlotScale{false, 1.0, 1.0};
    c.area = PlotArea::layout;
  }
  if (!ask(s, replies, "\n打印比例 [布满(F)] 或 1:N <" + render::scaleText(c.scale) + ">: ",
           [&](const std::string& t) -> std::string {
             auto scale = render::parseScale(t);
             if (!scale) return "需要 F（布满）或 1:100 这样的比例。";
             c.scale = *scale;
             return {};
           }))
    return false;
  const std::string placed = c.centred ? std::string("居中")
                                       : shortNumber(c.offsetXMm) + "," + shortNumber(c.offsetYMm);
  if (!ask(s, replies, "\n打印位置 [居中(C)] 或偏移 x,y（毫米）<" + placed + ">: ", [&](const std::string& t) -> std::string {
        if (sameText(t, "C") || t == "居中") {
          c.centred = true;
          return {};
        }
        const auto comma = t.find(',');
        const auto x = comma == std::string::npos ? std::nullopt : prompt::parseReal(t.substr(0, comma));
        const auto y = comma == std::string::npos ? std::nullopt : prompt::parseReal(t.substr(comma + 1));
        if (!x || !y || std::abs(*x) > 10000.0 || std::abs(*y) > 10000.0) return "需要 C（居中）或 x,y 偏移（毫米）。";
        c.centred = false;
        c.offsetXMm = *x;
        c.offsetYMm = *y;
        return {};
      }))
    return false;
  if (!ask(s, replies, std::string("\n笔 [单色(M)/彩色(C)] <") + (c.monochrome ? "单色" : "彩色") + ">: ",
           [&](const std::string& t) -> std::string {
             if (sameText(t, "M") || t == "单色") c.monochrome = true;
             else if (sameText(t, "C") || t == "彩色") c.monochrome = false;
             else return "需要 M（单色）或 C（彩色）。";
             return {};
           }))
    return false;
  if (c.format == render::PictureFormat::png &&
      !ask(s, replies, "\n分辨率（每英寸点数）<" + shortNumber(c.dpi) + ">: ", [&](const std::string& t) -> std::string {
        const auto dpi = prompt::parseReal(t);
        if (!dpi || !(*dpi >= 10.0 && *dpi <= 2400.0)) return "需要 10 到 2400 之间的分辨率。";
        c.dpi = *dpi;
        return {};
      }))
    return false;
  return true;
}

// What the window shows now; nullopt without a window.
std::optional<render::Extents> shownArea(Session& s) {
  core::Vec2 lo, hi;
  if (!s.view() || !s.view()->shownArea(lo, hi)) return std::nullopt;
  return render::Extents{lo.x, lo.y, hi.x, hi.y};
}

void plotCommand(Session& s) {
  PlotChoices c = plotDefaults(s.database());
  Replies replies(s);
  if (!askChoices(s, replies, c)) return;
  fs::path out = defaultPlotFile(s, c.format);
  std::string name;
  if (!replies.rest("\n文件名 <" + out.string() + ">: ", name)) return;
  if (!name.empty()) {
    out = name;
    if (!out.has_extension()) {
      out += endingOf(c.format);
    } else if (auto named = render::pictureFormatFor(out)) {
      c.format = *named;  // "sheet.png" is a PNG whatever was answered before
    } else {
      s.console().print("\n无法打印到" + messages::quoted(out) + "：只能输出 .pdf、.png 或 .svg。");
      return;
    }
  }
  const std::optional<render::Extents> shown = shownArea(s);
  if (c.area == PlotArea::display && !shown) {
    s.console().print("\n无法打印：没有显示图形的窗口，无法按显示打印，请选范围、窗口或图形界限。");
    return;
  }
  const FileResult r = plotTo(s.database(), c, shown, out);
  s.console().print("\n" + r.message);
  if (!r.ok) return;
  lastChoices() = c;
  // Kept in the drawing for the next PLOT of it, and for other CAD programs.
  keepPageSetup(s.database(), c);
  s.document().noteChangeOutsideUndo();
}

const render::LayoutSheet* layoutNamed(const std::vector<render::LayoutSheet>& layouts, std::string_view name) {
  for (const auto& l : layouts)
    if (sameText(l.name, name)) return &l;
  return nullptr;
}

}  // namespace

std::optional<render::PlotRequest> plotRequest(const render::Pictures& r, const db::Database& d, const PlotChoices& c,
                                               const std::optional<render::Extents>& shown, std::string& why) {
  render::PlotRequest request;
  request.page.unitMm = render::millimetresPerUnit(d.header.insertionUnits);
  if (c.area == PlotArea::layout) {
    const std::vector<render::LayoutSheet> layouts = render::layoutsOf(d);
    const render::LayoutSheet* layout = layoutNamed(layouts, c.layout);
    if (!layout) {
      why = layouts.empty() ? "图形没有布局（图纸空间）" : "图形没有布局“" + c.layout + "”（有 " + layoutList(layouts) + "）";
      return std::nullopt;
    }
    if (!(layout->area.maxX > layout->area.minX && layout->area.maxY > layout->area.minY)) {
      why = "布局“" + layout->name + "”没有图纸大小，也没有视口";
      return std::nullopt;
    }
    request.page.area = layout->area;
    request.page.unitMm = layout->unitMm;
    request.layout = *layout;
  } else {
    const auto area = areaOf(r, d, c, shown, why);
    if (!area) return std::nullopt;
    request.page.area = *area;
    request.page.clipToArea = c.area != PlotArea::extents;
  }
  request.format = c.format;
  request.page.paper = c.paper;
  request.page.orientation = c.orientation;
  request.page.scale = c.scale;
  request.page.centred = c.centred;
  request.page.offsetXMm = c.offsetXMm;
  request.page.offsetYMm = c.offsetYMm;
  request.pens.monochrome = c.monochrome;
  request.dpi = c.dpi;
  return request;
}

namespace {

// A word of PLOT's line: in double quotes when it holds a blank or is empty.
std::string lineWord(const std::string& w) {
  if (!w.empty() && w.find_first_of(" \t\"") == std::string::npos) return w;
  std::string out = w;
  std::erase(out, '"');
  return "\"" + out + "\"";
}

}  // namespace

std::string plotLine(const PlotChoices& c, const fs::path& out) {
  std::string line = formatName(c.format) + " " + lineWord(c.paper.name) + " " +
                     (c.orientation == render::Orientation::portrait ? "P" : "L") + " ";
  switch (c.area) {
    case PlotArea::extents: line += "E"; break;
    case PlotArea::display: line += "D"; break;
    case PlotArea::limits: line += "L"; break;
    case PlotArea::layout: line += "LA " + lineWord(c.layout); break;
    case PlotArea::window:
      line += "W " + exactNumber(c.window.minX) + "," + exactNumber(c.window.minY) + " " +
              exactNumber(c.window.maxX) + "," + exactNumber(c.window.maxY);
      break;
  }
  line += " " + render::scaleText(c.scale);
  line += c.centred ? std::string(" C") : " " + exactNumber(c.offsetXMm) + "," + exactNumber(c.offsetYMm);
  line += c.monochrome ? " M" : " C";
  if (c.format == render::PictureFormat::png) line += " " + shortNumber(c.dpi);
  return line + " " + out.string();
}

fs::path defaultPlotFile(Session& s, render::PictureFormat f) {
  const auto& path = s.document().path();
  fs::path base = path ? *path : fs::path(s.document().displayName());
  return base.replace_extension(endingOf(f));
}

PlotChoices plotDefaults(const db::Database& d) {
  if (auto kept = readPageSetup(d)) return *kept;
  PlotChoices c = lastChoices();
  // The first frame of model space: its sheet, its scale and its window.
  const double unitMm = render::millimetresPerUnit(d.header.insertionUnits);
  for (db::ObjectId id : d.block(d.modelSpace()).entities) {
    const db::Entity* e = d.entity(id);
    const auto* ref = e && !e->isErased() ? e->as<db::BlockReference>() : nullptr;
    if (!ref || ref->rotation != 0.0 || ref->xScale != ref->yScale || !(ref->xScale > 0.0)) continue;
    const auto sheet = frameSheetOf(d.block(ref->block).name);
    if (!sheet) continue;
    const bool landscape = sheet->orientation == render::Orientation::landscape;
    const double w = landscape ? sheet->paper.longMm : sheet->paper.shortMm;
    const double h = landscape ? sheet->paper.shortMm : sheet->paper.longMm;
    const double k = ref->xScale;  // drawing units per mm of paper
    c.paper = sheet->paper;
    c.orientation = sheet->orientation;
    c.area = PlotArea::window;
    c.window = {ref->position.x, ref->position.y, ref->position.x + w * k, ref->position.y + h * k};
    c.scale = {false, 1.0, k * unitMm};
    if (std::abs(c.scale.drawing - std::round(c.scale.drawing)) < 1e-9) c.scale.drawing = std::round(c.scale.drawing);
    c.centred = true;
    break;
  }
  return c;
}

namespace {

std::map<const Session*, PlotWindowTaker>& plotWindowTakers() {
  static std::map<const Session*, PlotWindowTaker> takers;
  return takers;
}

// PLOTWINDOW: the two corners, clicked, snapped or typed, the second with the rectangle
// from the first; said, and handed to the session's taker.
void plotWindow(Session& s) {
  auto& prompts = s.prompts();
  std::optional<PlotCorners> corners;
  prompt::Point3 first, second;
  if (prompts.getPoint("\n指定第一个角点: ", std::nullopt, first) == Status::Normal) {
    while (prompts.getCornerPoint("\n指定对角点: ", first, second) == Status::Normal) {
      if (first.x != second.x && first.y != second.y) {
        corners.emplace(first, second);
        s.console().print("\n打印窗口: " + exactNumber(first.x) + "," + exactNumber(first.y) + " 到 " +
                          exactNumber(second.x) + "," + exactNumber(second.y));
        break;
      }
      s.console().print("\n两个角点必须在不同的水平线和竖直线上。");
    }
  }
  const auto taker = plotWindowTakers().find(&s);
  if (taker != plotWindowTakers().end()) taker->second(corners);
}

}  // namespace

void setPlotWindowTaker(const Session& s, PlotWindowTaker taker) {
  if (taker)
    plotWindowTakers()[&s] = std::move(taker);
  else
    plotWindowTakers().erase(&s);
}

std::vector<Session::HostCommand> plotCommands() {
  return {frameCommand(),
      {.name = "PLOTWINDOW",
       .description = "指定打印窗口的两个角点（窗口中打印对话框的“选择窗口<”按钮运行它）",
       .run = plotWindow,
       .help = "依次指定第一个角点和对角点（点取、对象捕捉或输入坐标均可，指定对角点时矩形随光标），然后显示这个窗口。"
               "在窗口中由打印对话框的“选择窗口<”按钮运行：对话框隐藏，指定角点后回来，打印范围为“窗口”，角点填入对话框；"
               "Esc 回到对话框，原来的选择不变。打印对话框没有打开时，指定角点后打开它。"},
      {.name = "PLOT",
       .description = "按比例把图形打印到图纸：PDF、PNG 或 SVG",
       .run = plotCommand,
       .aliases = {"PRINT"},
       .takesArgument = true,
       .help = "把图形按比例打印到一张图纸（A0 到 A4、加长幅面或自定尺寸，横向或纵向），输出 PDF、PNG 或 SVG。"
               "依次询问输出格式、图纸尺寸、方向、打印范围（范围、窗口、显示、图形界限、布局）、比例（布满或 1:N）、"
               "位置（居中或偏移）、笔（单色或彩色）、PNG 的分辨率和文件名，回车取尖括号中的值。"
               "布局按图纸空间 1:1 打印，每个视口以自己的比例显示模型空间，裁剪到视口的矩形，"
               "或裁剪视口的对象（闭合多段线、圆、椭圆或闭合样条曲线）的轮廓；视口的边框按视口自己的颜色、线型和线宽打印"
               "（由对象裁剪的视口，那个对象就是边框），所在图层关闭、冻结或不打印时不画。DEFPOINTS 图层上的对象从不打印。"
               "回答也可以依次写在命令后一行打印，不再询问，文件名在最后，"
               "如 PLOT PDF A1 L E 1:100 C M 平面图.pdf（窗口写作 W x1,y1 x2,y2，布局写作 LA 名称）；窗口的打印对话框就这样打印。"
               "单色时所有颜色打印为黑色；线宽取对象自己的、其图层的，否则按颜色：1-6 号 0.25 毫米，7 号 0.35 毫米，"
               "其余 0.18 毫米；不打印的图层不画。选择作为页面设置保存在图形中，下次 PLOT 作为缺省值。",
       .menu = {"文件", "打印...", false, "Ctrl+P"}},
  };
}

// ---- --plot

FileResult plotDrawingFile(const fs::path& drawing, const PlotOrder& order) {
  ReadDrawing read = readDrawing(drawing);
  if (!read.document) return {false, read.message};
  const db::Database& d = read.document->database();
  const auto format = render::pictureFormatFor(order.out);
  if (!format) return {false, "无法打印到" + messages::quoted(order.out) + "：只能输出 .pdf、.png 或 .svg。"};
  PlotChoices c = plotDefaults(d);
  c.format = *format;
  if (!order.paper.empty()) {
    std::string paper = order.paper;
    const auto comma = paper.rfind(',');
    if (comma != std::string::npos) {
      const std::string o = paper.substr(comma + 1);
      if (sameText(o, "P")) c.orientation = render::Orientation::portrait;
      else if (sameText(o, "L")) c.orientation = render::Orientation::landscape;
      else return {false, "不认识的图纸方向“" + o + "”：用 P（纵向）或 L（横向）。"};
      paper.resize(comma);
    }
    auto p = render::paperNamed(paper);
    if (!p) return {false, "不认识的图纸尺寸“" + paper + "”：用 A0 到 A4、A3x3 这样的加长幅面，或 宽×高（毫米）。"};
    c.paper = *p;
  }
  if (!order.scale.empty()) {
    auto scale = render::parseScale(order.scale);
    if (!scale) return {false, "不认识的比例“" + order.scale + "”：用 1:100 这样的比例或 布满。"};
    c.scale = *scale;
  }
  if (!order.area.empty()) {
    if (sameText(order.area, "extents") || order.area == "范围") {
      c.area = PlotArea::extents;
    } else if (sameText(order.area, "limits") || order.area == "图形界限") {
      c.area = PlotArea::limits;
    } else if (order.area.size() > 7 && sameText(order.area.substr(0, 7), "layout:")) {
      c.area = PlotArea::layout;
      c.layout = order.area.substr(7);
      if (order.scale.empty()) c.scale = render::PlotScale{false, 1.0, 1.0};
    } else {
      double v[4];
      std::string_view rest = order.area;
      int n = 0;
      for (; n < 4; ++n) {
        const auto comma = rest.find(',');
        const auto value = prompt::parseReal(std::string(rest.substr(0, comma)));
        if (!value) break;
        v[n] = *value;
        if (comma == std::string_view::npos) {
          ++n;
          break;
        }
        rest.remove_prefix(comma + 1);
      }
      if (n != 4 || v[0] == v[2] || v[1] == v[3])
        return {false, "不认识的打印范围“" + order.area + "”：用 extents、limits 或窗口 x1,y1,x2,y2。"};
      c.area = PlotArea::window;
      c.window = {std::min(v[0], v[2]), std::min(v[1], v[3]), std::max(v[0], v[2]), std::max(v[1], v[3])};
    }
  }
  return plotTo(d, c, std::nullopt, order.out);
}

}  // namespace orv::app
