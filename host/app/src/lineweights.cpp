// Lineweights typed and shown, the current lineweight and the lineweight display, and
// the commands that set them (LWEIGHT, LWDISPLAY).
#include "lineweights.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

#include "orv/core/drafting_styles.h"
#include "orv/geom/kept.h"
#include "orv/prompt/reply_parser.h"
#include "property_commands.h"

namespace orv::app {

namespace {

using prompt::Status;

std::string millimetres(std::int16_t w) {
  char text[16];
  std::snprintf(text, sizeof text, "%.2f", w / 100.0);
  return text;
}

// "ON", "OFF", 1, 0 (or 开, 关); nullopt for anything else.
std::optional<bool> parseOnOff(std::string_view typed) {
  const std::string t = prompt::upperAscii(prompt::trimBlanks(typed));
  if (t == "ON" || t == "1" || t == "开") return true;
  if (t == "OFF" || t == "0" || t == "关") return false;
  return std::nullopt;
}

void lweight(Session& s) {
  db::Database& d = s.database();
  for (;;) {
    const std::string now = lineweightText(db::currentLineweight(d));
    s.console().print("\n当前线宽: " + now);
    std::string typed;
    if (s.prompts().getString("\n输入默认对象线宽或 [随层(BYLAYER)/随块(BYBLOCK)/默认(DEFAULT)/?] <" + now + ">: ",
                              false, 32, typed) != Status::Normal ||
        typed.empty())
      return;
    if (prompt::trimBlanks(typed) == "?") {
      std::string list = "\n标准线宽（毫米）:";
      for (std::int16_t w : db::kStandardLineweights) list += " " + millimetres(w);
      s.console().print(list);
      continue;
    }
    const auto w = parseLineweight(typed);
    if (!w) {
      s.console().print(badLineweightMessage());
      continue;
    }
    setCurrent(s, "LWEIGHT", "$CELWEIGHT", 370, std::to_string(*w));
    return;
  }
}

void lwdisplay(Session& s) {
  db::Database& d = s.database();
  for (;;) {
    const bool on = lineweightDisplay(d);
    std::string typed;
    if (s.prompts().getString(std::string("\n输入 LWDISPLAY 的新值 [开(ON)/关(OFF)] <") + (on ? "开" : "关") + ">: ",
                              false, 16, typed) != Status::Normal ||
        typed.empty())
      return;
    const auto wanted = parseOnOff(typed);
    if (!wanted) {
      s.console().print("\n需要 ON 或 OFF（1 或 0）。");
      continue;
    }
    setLineweightDisplay(s.document(), *wanted);
    return;
  }
}

}  // namespace

std::optional<std::int16_t> parseLineweight(std::string_view typed) {
  std::string t = prompt::upperAscii(prompt::trimBlanks(prompt::asciiForms(std::string(typed))));
  if (t == "BYLAYER" || t == "随层") return db::lineweight::byLayer;
  if (t == "BYBLOCK" || t == "随块") return db::lineweight::byBlock;
  if (t == "DEFAULT" || t == "默认") return db::lineweight::byDefault;
  for (std::string_view unit : {"MM", "毫米"})
    if (t.size() > unit.size() && t.compare(t.size() - unit.size(), unit.size(), unit) == 0) {
      t.erase(t.size() - unit.size());
      break;
    }
  const auto mm = prompt::parseReal(prompt::trimBlanks(t));
  if (!mm || !std::isfinite(*mm) || *mm < 0 || *mm > 3) return std::nullopt;
  const double hundredths = *mm * 100.0;
  const double rounded = std::round(hundredths);
  if (std::abs(hundredths - rounded) > 1e-6 || !db::isStandardLineweight(static_cast<int>(rounded)))
    return std::nullopt;
  return static_cast<std::int16_t>(rounded);
}

std::string lineweightText(std::int16_t lineweight) {
  switch (lineweight) {
    case db::lineweight::byLayer: return "BYLAYER";
    case db::lineweight::byBlock: return "BYBLOCK";
    case db::lineweight::byDefault: return "DEFAULT";
    default: return millimetres(lineweight) + " 毫米";
  }
}

std::string badLineweightMessage() {
  std::string list;
  for (std::int16_t w : db::kStandardLineweights) list += (list.empty() ? "" : "、") + millimetres(w);
  return "\n线宽无效：需要标准线宽的毫米数（" + list + "）、BYLAYER、BYBLOCK 或 DEFAULT。";
}

bool lineweightDisplay(const db::Database& d) {
  const auto text = core::headerValue(d.header, "$LWDISPLAY");
  std::int64_t n = 0;
  return text && geom::parseInteger(*text, n) && n != 0;
}

void setLineweightDisplay(core::Document& document, bool on) {
  db::Database& d = document.database();
  if (lineweightDisplay(d) == on) return;
  core::setHeaderValue(d.header, "$LWDISPLAY", 290, on ? "1" : "0");
  document.noteChangeOutsideUndo();
}

std::vector<Session::HostCommand> lineweightCommands() {
  return {
      {.name = "LWEIGHT", .description = "设置新对象的当前线宽", .run = lweight, .undoable = true, .aliases = {"LW"},
       .help = "输入标准线宽的毫米数（0.00 到 2.11，如 0.25、0.5）、BYLAYER、BYBLOCK 或 DEFAULT：之后新画的对象取这个线宽。"
               "? 列出标准线宽。当前线宽保存在图形中（$CELWEIGHT）。线宽只在打开线宽显示（LWDISPLAY，窗口状态栏的“线宽”）时画出。",
       .menu = {"格式", "线宽", false}},
      {.name = "LWDISPLAY", .description = "打开或关闭线宽显示", .run = lwdisplay,
       .help = "ON 在窗口和导出的图片中按对象的线宽画线，OFF 都画成细线。这个设置保存在图形中（$LWDISPLAY）；"
               "窗口状态栏的“线宽”按钮切换它。打印总是按线宽。"},
  };
}

}  // namespace orv::app
