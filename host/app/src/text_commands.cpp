// TEXT (one-line text, line after line, by an alignment and a style), MTEXT (paragraphs
// in a box) and DDEDIT (the content of a text or an attribute changed).
//
// Sections: the current style and height; TEXT's placement; TEXT; MTEXT; DDEDIT; the table.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "draw_commands.h"
#include "text_entry.h"
#include "orv/core/shapes.h"
#include "orv/core/spatial_index.h"
#include "orv/core/units.h"
#include "orv/db/header_values.h"

namespace orv::app {

namespace {

using namespace drafting;
using db::TextHAlign;
using db::TextVAlign;

// ---- the current style and height

std::string currentStyle(const db::Database& d) {
  const std::string name = db::headerValue(d.header, "$TEXTSTYLE").value_or("Standard");
  if (const db::TextStyle* st = d.textStyles().get(name)) return st->name;
  return "Standard";
}

// The style's fixed height, 0 when it asks at each text.
double fixedHeight(const db::Database& d, const std::string& style) {
  const db::TextStyle* st = d.textStyles().get(style);
  return st && st->height > 0 ? st->height : 0.0;
}

// The height Enter keeps: the last one given in this session, else the drawing's
// $TEXTSIZE, else 2.5.
double lastHeight(Session& s) {
  if (s.memory().textHeight > 0) return s.memory().textHeight;
  if (auto v = db::headerValue(s.database().header, "$TEXTSIZE")) {
    const double h = std::strtod(v->c_str(), nullptr);
    if (std::isfinite(h) && h > 0) return h;
  }
  return 2.5;
}

// A style name asked for ("?" lists them); the name as the table spells it, nullopt on
// a cancel.
std::optional<std::string> askStyle(Session& s, const std::string& current) {
  const db::Database& d = s.database();
  for (;;) {
    std::string name;
    if (s.prompts().getString("\n输入样式名或 [?] <" + current + ">: ", true, 255, name) != Status::Normal)
      return std::nullopt;
    while (!name.empty() && name.back() == ' ') name.pop_back();
    while (!name.empty() && name.front() == ' ') name.erase(0, 1);
    if (name.empty()) return current;
    if (name == "?") {
      std::string list = "\n文字样式:";
      for (const db::TextStyle& st : d.textStyles()) list += "\n  " + st.name;
      s.console().print(list);
      continue;
    }
    if (const db::TextStyle* st = d.textStyles().get(name)) return st->name;
    s.console().print("\n找不到文字样式“" + name + "”。");
  }
}

// ---- TEXT's placement

// An alignment: its keyword, its two alignment values, and the prompt for its point.
struct Alignment {
  const char* keyword;
  TextHAlign h;
  TextVAlign v;
  const char* prompt;
};

constexpr Alignment kAlignments[] = {
    {"Left", TextHAlign::left, TextVAlign::baseline, "\n指定文字的起点: "},
    {"Center", TextHAlign::center, TextVAlign::baseline, "\n指定文字的中心点: "},
    {"Right", TextHAlign::right, TextVAlign::baseline, "\n指定文字基线的右端点: "},
    {"Align", TextHAlign::aligned, TextVAlign::baseline, "\n指定文字基线的第一个端点: "},
    {"Middle", TextHAlign::middle, TextVAlign::baseline, "\n指定文字的中间点: "},
    {"Fit", TextHAlign::fit, TextVAlign::baseline, "\n指定文字基线的第一个端点: "},
    {"TL", TextHAlign::left, TextVAlign::top, "\n指定文字的左上点: "},
    {"TC", TextHAlign::center, TextVAlign::top, "\n指定文字的中上点: "},
    {"TR", TextHAlign::right, TextVAlign::top, "\n指定文字的右上点: "},
    {"ML", TextHAlign::left, TextVAlign::middle, "\n指定文字的左中点: "},
    {"MC", TextHAlign::center, TextVAlign::middle, "\n指定文字的正中点: "},
    {"MR", TextHAlign::right, TextVAlign::middle, "\n指定文字的右中点: "},
    {"BL", TextHAlign::left, TextVAlign::bottom, "\n指定文字的左下点: "},
    {"BC", TextHAlign::center, TextVAlign::bottom, "\n指定文字的中下点: "},
    {"BR", TextHAlign::right, TextVAlign::bottom, "\n指定文字的右下点: "},
};

// Where the lines go: the first line's points, the alignment, the height and angle.
struct Placement {
  const Alignment* alignment = &kAlignments[0];
  Point3 first;   // the start, centre, ... point (aligned and fit: the first end)
  Point3 second;  // aligned and fit: the other end
  double height = 2.5;
  double rotation = 0.0;  // degrees
  std::string style = "Standard";

  bool betweenPoints() const {
    return alignment->h == TextHAlign::aligned || alignment->h == TextHAlign::fit;
  }
  // Line n (from 0): moved down by 5/3 of the height, across the line's direction.
  db::Text line(int n, std::string value) const {
    const double a = rotation * core::kDegree;
    const double down = n * height * 5.0 / 3.0;
    const Point3 shift{std::sin(a) * down, -std::cos(a) * down, 0.0};
    auto moved = [&](const Point3& p) { return db::Point3{p.x + shift.x, p.y + shift.y, p.z}; };
    db::Text t = db::makeText(moved(first), height, std::move(value));
    t.style = style;
    t.rotation = rotation;
    t.hAlign = alignment->h;
    t.vAlign = alignment->v;
    if (t.placedByAlignPoint()) {
      t.alignPoint = betweenPoints() ? moved(second) : moved(first);
      t.hasAlignPoint = true;
    }
    return t;
  }
};

// A sample of the text where it would go, for the shape following the cursor.
std::vector<db::Entity> sample(Session& s, const Placement& p) {
  db::Text t = p.line(0, "文字 Text");
  if (!(t.height > 0)) return {};
  return {onCurrentLayer(s.database(), db::Boxed<db::Text>(std::move(t)))};
}

// The points, height and rotation of TEXT; false on a cancel.
bool askPlacement(Session& s, Placement& p) {
  auto& prompts = s.prompts();
  p.style = currentStyle(s.database());
  p.height = lastHeight(s);
  double fixed = fixedHeight(s.database(), p.style);
  s.console().print("\n当前文字样式: \"" + p.style + "\"  文字高度: " + lengthText(s, fixed > 0 ? fixed : p.height));
  for (;;) {
    Session::PreviewScope preview(s, [&](const Point3& cursor) {
      Placement at = p;
      at.first = at.second = cursor;
      if (fixed > 0) at.height = fixed;
      return sample(s, at);
    });
    prompts.initGet(0, "Justify Style");
    const Status st = prompts.getPoint("\n指定文字的起点或 [对正(J)/样式(S)]: ", std::nullopt, p.first);
    if (st == Status::Normal) break;
    if (st != Status::Keyword) return false;
    if (*prompts.lastKeyword() == "Style") {
      auto name = askStyle(s, p.style);
      if (!name) return false;
      p.style = *name;
      fixed = fixedHeight(s.database(), p.style);
      continue;
    }
    std::string words;
    for (const Alignment& a : kAlignments) words += std::string(words.empty() ? "" : " ") + a.keyword;
    prompts.initGet(0, words);
    const Status js = prompts.getKeyword(
        "\n输入选项 [左(L)/居中(C)/右(R)/对齐(A)/中间(M)/布满(F)/左上(TL)/中上(TC)/右上(TR)/左中(ML)/正中(MC)/"
        "右中(MR)/左下(BL)/中下(BC)/右下(BR)]: ");
    if (js == Status::None) continue;
    if (js != Status::Keyword) return false;
    for (const Alignment& a : kAlignments)
      if (*prompts.lastKeyword() == a.keyword) p.alignment = &a;
    if (prompts.getPoint(p.alignment->prompt, std::nullopt, p.first) != Status::Normal) return false;
    break;
  }
  if (p.betweenPoints()) {
    for (;;) {
      if (prompts.getPoint("\n指定文字基线的第二个端点: ", p.first, p.second) != Status::Normal) return false;
      if (xy(p.second) != xy(p.first)) break;
      s.console().print("\n两个端点不能重合。");
    }
    p.rotation = core::degreesOf(xy(p.second) - xy(p.first));
  }
  // Aligned text takes its height from its two points; a style's fixed height is not asked.
  if (fixed > 0) {
    p.height = fixed;
  } else if (p.alignment->h != TextHAlign::aligned) {
    Session::PreviewScope preview(s, [&](const Point3& cursor) {
      Placement at = p;
      at.height = core::distance(xy(cursor), xy(p.first));
      return sample(s, at);
    });
    double h = 0;
    const Status hs = askDistance(s, "\n指定高度 <" + lengthText(s, p.height) + ">: ", p.first, "",
                                  prompt::kNoZero | prompt::kNoNegative, h);
    if (hs == Status::Normal) p.height = h;
    else if (hs != Status::None) return false;
    s.memory().textHeight = p.height;
  }
  if (!p.betweenPoints()) {
    Session::PreviewScope preview(s, [&](const Point3& cursor) {
      Placement at = p;
      if (xy(cursor) != xy(p.first)) at.rotation = core::degreesOf(xy(cursor) - xy(p.first));
      return sample(s, at);
    });
    double angle = 0;
    const Status rs = askAngle(s, "\n指定文字的旋转角度 <" + core::formatAngle(core::unitsOf(s.database()), s.memory().textRotation) + ">: ",
                               p.first, "", 0, angle);
    if (rs == Status::Normal) p.rotation = core::normalizeDegrees(angle);
    else if (rs == Status::None) p.rotation = s.memory().textRotation;
    else return false;
    s.memory().textRotation = p.rotation;
  }
  return true;
}

// ---- TEXT

void text(Session& s) {
  Placement p;
  if (!askPlacement(s, p)) return;
  int n = 0;
  // In a window the line shows where it goes as it is typed.
  TextEntry inPlace;
  inPlace.preview = [&](const std::string& typed) {
    std::vector<db::Entity> out;
    if (!typed.empty()) out.push_back(onCurrentLayer(s.database(), db::Boxed<db::Text>(p.line(n, typed))));
    return out;
  };
  TextEntryScope entry(s, std::move(inPlace));
  for (;; ++n) {
    std::string line;
    if (s.prompts().getString("\n输入文字: ", true, 255, line) != Status::Normal || line.empty()) return;
    addToDrawing(s, db::Boxed<db::Text>(p.line(n, std::move(line))));
  }
}

// ---- MTEXT

constexpr const char* kAttachments[] = {"TL", "TC", "TR", "ML", "MC", "MR", "BL", "BC", "BR"};

void mtext(Session& s) {
  auto& prompts = s.prompts();
  db::Database& d = s.database();
  std::string style = currentStyle(d);
  double height = fixedHeight(d, style) > 0 ? fixedHeight(d, style) : lastHeight(s);
  double rotation = 0, width = 0;
  int attachment = 1;
  s.console().print("\n当前文字样式: \"" + style + "\"  文字高度: " + lengthText(s, height));
  Point3 first, second;
  if (prompts.getPoint("\n指定第一角点: ", std::nullopt, first) != Status::Normal) return;
  bool byWidth = false;
  for (;;) {
    prompts.initGet(0, "Height Justify Rotation Style Width");
    const Status st = prompts.getCornerPoint("\n指定对角点或 [高度(H)/对正(J)/旋转(R)/样式(S)/宽度(W)]: ", first, second);
    if (st == Status::Normal) break;
    if (st != Status::Keyword) return;
    const std::string k = *prompts.lastKeyword();
    if (k == "Height") {
      double h = 0;
      const Status hs = askDistance(s, "\n指定高度 <" + lengthText(s, height) + ">: ", first, "",
                                    prompt::kNoZero | prompt::kNoNegative, h);
      if (hs == Status::Normal) height = h, s.memory().textHeight = h;
      else if (hs != Status::None) return;
    } else if (k == "Justify") {
      std::string words;
      for (const char* a : kAttachments) words += std::string(words.empty() ? "" : " ") + a;
      prompts.initGet(0, words);
      const Status js = prompts.getKeyword(
          "\n输入对正方式 [左上(TL)/中上(TC)/右上(TR)/左中(ML)/正中(MC)/右中(MR)/左下(BL)/中下(BC)/右下(BR)] <左上(TL)>: ");
      if (js == Status::Keyword)
        for (int i = 0; i < 9; ++i)
          if (*prompts.lastKeyword() == kAttachments[i]) attachment = i + 1;
      if (js == Status::None) attachment = 1;
      if (js == Status::Cancel) return;
    } else if (k == "Rotation") {
      double a = 0;
      const Status rs = askAngle(s, "\n指定旋转角度 <" + core::formatAngle(core::unitsOf(d), rotation) + ">: ", first, "", 0, a);
      if (rs == Status::Normal) rotation = core::normalizeDegrees(a);
      else if (rs != Status::None) return;
    } else if (k == "Style") {
      auto name = askStyle(s, style);
      if (!name) return;
      style = *name;
      if (fixedHeight(d, style) > 0) height = fixedHeight(d, style);
    } else if (k == "Width") {
      double w = 0;
      if (askDistance(s, "\n指定宽度: ", first, "", prompt::kNoNegative, w) != Status::Normal) return;
      width = w;
      byWidth = true;
      break;
    }
  }
  // The box in the text's own directions: the insertion point is its attachment point.
  Point3 at = first;
  if (!byWidth) {
    const core::Vec2 u = core::unitAtDegrees(rotation), v = core::perp(u), d2 = xy(second) - xy(first);
    const double du = core::dot(d2, u), dv = core::dot(d2, v);
    width = std::abs(du);
    const int col = (attachment - 1) % 3, row = (attachment - 1) / 3;
    const double x = std::min(0.0, du) + width * col / 2.0;
    const double top = std::max(0.0, dv), bottom = std::min(0.0, dv);
    const double y = top + (bottom - top) * row / 2.0;
    const core::Vec2 p = xy(first) + x * u + y * v;
    at = {p.x, p.y, first.z};
  }
  std::vector<std::string> lines;
  // In a window an editor gives the lines (and the empty one that ends them).
  TextEntry editor;
  editor.kind = TextEntry::Kind::paragraphs;
  editor.height = height;
  TextEntryScope entry(s, std::move(editor));
  for (;;) {
    std::string line;
    if (prompts.getString("\n输入文字: ", true, 4096, line) != Status::Normal) return;
    if (line.empty()) break;
    lines.push_back(std::move(line));
  }
  if (lines.empty()) return;
  db::MText m = db::makeMText({at.x, at.y, at.z}, height, db::mtextContentOf(lines));
  m.width = width;
  m.attachment = static_cast<db::MTextAttachment>(attachment);
  m.rotation = rotation;
  m.style = style;
  addToDrawing(s, db::Boxed<db::MText>(std::move(m)));
}

// ---- DDEDIT

// The text or attribute at a picked point: an attribute of the reference picked, or the
// picked entity itself.
db::ObjectId textAt(Session& s, Point3 p) {
  const db::Database& d = s.database();
  const db::ObjectId id = s.index().pick(xy(p), s.pickDistance());
  if (id.isNull()) return id;
  // A reference with attributes: the one nearest the point.
  db::ObjectId best = id;
  double nearest = INFINITY;
  for (db::ObjectId m : s.index().group(id)) {
    const db::Entity* e = d.entity(m);
    const db::Text* t = e ? e->as<db::Text>() : nullptr;
    if (!t || m == id || e->isErased()) continue;
    const double dist = core::distanceToEntity(d, m, xy(p));
    if (dist < nearest) nearest = dist, best = m;
  }
  return best;
}

// The content shown for editing: a text's value, an attribute definition's tag, an
// MTEXT's content with its codes.
std::optional<std::string> contentOf(const db::Entity& e) {
  if (const auto* t = e.as<db::Text>()) return std::string(t->shown());
  if (const auto* m = e.as<db::MText>()) return m->content;
  return std::nullopt;
}

void ddedit(Session& s) {
  for (;;) {
    Point3 p;
    if (s.prompts().getPickPoint("\n选择注释对象或 [放弃(U)]: ", p) != Status::Normal) return;
    const db::ObjectId id = textAt(s, p);
    const db::Entity* e = id.isNull() ? nullptr : s.database().entity(id);
    if (!e) {
      s.console().print("\n未找到对象。");
      continue;
    }
    const auto was = contentOf(*e);
    if (!was) {
      s.console().print("\n需要文字、多行文字或属性。");
      continue;
    }
    std::string now;
    const auto* mtext = e->as<db::MText>();
    TextEntry box;
    box.kind = TextEntry::Kind::content;
    box.initial = *was;
    box.multiLine = mtext != nullptr;
    box.height = mtext ? mtext->height : e->as<db::Text>()->height;
    TextEntryScope entry(s, std::move(box));
    if (s.prompts().getString("\n输入新文字 <" + *was + ">: ", true, 4096, now) != Status::Normal) return;
    if (now.empty() || now == *was) continue;  // Enter keeps it
    db::Entity changed = *e;
    if (auto* t = changed.as<db::Text>()) {
      if (now.size() > 255) {
        s.console().print("\n单行文字不能超过 255 个字节。");
        continue;
      }
      if (t->type == db::Text::Type::attdef) t->tag = now;
      else t->value = now;
    } else if (auto* m = changed.as<db::MText>()) {
      m->content = now;
    }
    if (s.database().replace(id, std::move(changed)) != db::Status::ok) s.console().print("\n无法修改这个对象。");
  }
}

}  // namespace

std::vector<Session::HostCommand> textCommands() {
  return {
      {.name = "TEXT", .description = "写单行文字：起点（或对正方式）、高度、旋转角度，再逐行输入文字，空行结束",
       .run = text, .undoable = true, .aliases = {"DT", "DTEXT"},
       .help = "指定文字的起点；或 J 选对正方式（左 L、居中 C、右 R、对齐 A、中间 M、布满 F，"
               "及 TL TC TR ML MC MR BL BC BR），再指定它的点（对齐与布满为基线的两个端点）；或 S 选文字样式"
               "（? 列出样式）。然后指定高度（回车沿用上次的高度；样式有固定高度时不问；对齐方式下由两点定出，不问）"
               "和旋转角度（对齐与布满不问），再逐行输入文字：每行是一个单行文字对象，依次排在上一行之下，"
               "输入空行结束。文字在当前图层、用当前文字样式。在窗口中，正在输入的一行文字随输入显示在图中它的位置。"
               "整个命令是一步放弃。",
       .menu = {"绘图", "单行文字", true}},
      {.name = "MTEXT", .description = "写多行文字：文字框的两个角点，再逐行输入文字，空行结束",
       .run = mtext, .undoable = true, .aliases = {"MT", "T"},
       .help = "指定文字框的第一角点和对角点；在对角点提示下 H 改文字高度、J 改对正方式（TL TC TR ML MC MR BL BC BR，"
               "插入点是文字框上的这个点）、R 改旋转角度、S 改文字样式、W 指定宽度（代替对角点，第一角点即插入点）。"
               "然后逐行输入文字，空行结束：各行以段落分隔合成一个多行文字对象，在当前图层、用当前文字样式。"
               "在窗口中这些行在文字编辑器中输入（回车换行，Ctrl+回车或“确定”结束，“取消”取消命令）。"
               "整个命令是一步放弃。",
       .menu = {"绘图", "多行文字", true}},
      {.name = "DDEDIT", .description = "修改文字：选择单行文字、多行文字或属性，输入新的内容",
       .run = ddedit, .undoable = true, .aliases = {"ED"},
       .help = "选择一个单行文字、多行文字或块参照的属性（点在块参照上时取离点最近的属性），"
               "再输入新的内容；回车保留原内容。多行文字的内容带格式代码，段落之间是 \\P。"
               "在窗口中单行文字和属性在一行的编辑框中修改，多行文字在文字编辑器中按段落逐行修改。"
               "可接着选择下一个，回车或 Esc 结束。属性定义修改的是它的标记。"
               "整个命令是一步放弃。",
       .menu = {"修改", "文字编辑", true}},
  };
}

}  // namespace orv::app
