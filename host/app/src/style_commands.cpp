// The commands on the styles text and dimensions are made with, and on the drawing's
// scales: STYLE (a text style: font, height, width, slant; made current), DIMSTYLE (the
// current dimension style's sizes, arrow and decimals), DIMSCALE and LTSCALE. Each change
// is one step of UNDO and is kept in the drawing.
#include "style_commands.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "orv/core/drafting_styles.h"
#include "orv/prompt/reply_parser.h"
#include "session.h"

namespace orv::app {

namespace {

using prompt::Status;

std::string fixed(double v, int decimals) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, v);
  return buffer;
}

// A number at a prompt with a default: Enter keeps `current`; `ok` refuses values with
// `refusal` and asks again. nullopt on a cancel.
std::optional<double> askNumber(Session& s, const std::string& prompt, double current,
                                const std::function<bool(double)>& ok, std::string_view refusal) {
  for (;;) {
    double v = current;
    const Status st = s.prompts().getReal(prompt, v);
    if (st == Status::None) return current;
    if (st != Status::Normal) return std::nullopt;
    if (ok(v)) return v;
    s.console().print(refusal);
  }
}

}  // namespace

// ---- STYLE

std::optional<std::string> styleNameProblem(std::string_view name) {
  if (name.empty()) return "名称不能为空";
  if (name.size() > 255) return "名称太长（最多 255 个字节）";
  for (char c : name)
    if (std::string_view("<>/\\\":;?*|,=`").find(c) != std::string_view::npos || static_cast<unsigned char>(c) < 32)
      return std::string("名称中不能有字符“") + c + "”";
  return std::nullopt;
}

FontChoice parseFontChoice(std::string_view typed) {
  FontChoice f;
  std::string t(typed);
  auto trim = [](std::string s) {
    while (!s.empty() && s.front() == ' ') s.erase(s.begin());
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
  };
  const auto comma = t.find_first_of(",，");
  if (comma == std::string::npos) {
    f.font = trim(t);
  } else {
    // "，" is three bytes in UTF-8; "," one.
    const std::size_t skip = t[comma] == ',' ? 1 : std::string_view("，").size();
    f.font = trim(t.substr(0, comma));
    f.bigFont = trim(t.substr(comma + skip));
  }
  return f;
}

namespace {

void style(Session& s) {
  auto& prompts = s.prompts();
  db::Database& d = s.database();
  const std::string current = core::headerValue(d.header, "$TEXTSTYLE").value_or("Standard");
  std::string name;
  for (;;) {
    if (prompts.getString("\n输入文字样式名或 [?] <" + current + ">: ", true, 255, name) != Status::Normal) return;
    if (name.empty()) name = current;
    if (name == "?") {
      for (const auto& st : d.textStyles())
        s.console().print("\n  " + st.name + "  字体 " + st.font + (st.bigFont.empty() ? "" : "," + st.bigFont) +
                          "  高度 " + fixed(st.height, 4) + "  宽度因子 " + fixed(st.widthFactor, 4));
      continue;
    }
    if (const auto problem = styleNameProblem(name)) {
      s.console().print("\n文字样式名无效：" + *problem + "。");
      continue;
    }
    break;
  }
  db::TextStyle st;
  if (const db::TextStyle* existing = d.textStyles().get(name)) {
    st = *existing;
  } else {
    st.name = name;
    s.console().print("\n新样式。");
  }
  const std::string shownFont = st.font + (st.bigFont.empty() ? "" : "," + st.bigFont);
  for (;;) {
    std::string typed;
    if (prompts.getString("\n指定完整的字体名或字体文件名 (TTF 或 SHX) <" + shownFont + ">: ", true, 255, typed) !=
        Status::Normal)
      return;
    if (typed.empty()) break;
    const FontChoice f = parseFontChoice(typed);
    if (f.font.empty()) {
      s.console().print("\n字体名不能为空。");
      continue;
    }
    st.font = f.font;
    st.bigFont = f.bigFont;
    break;
  }
  const auto height = askNumber(s, "\n指定文字高度 <" + fixed(st.height, 4) + ">: ", st.height,
                                [](double v) { return v >= 0 && v < 1e10; }, "\n文字高度不能为负数。");
  if (!height) return;
  const auto width = askNumber(s, "\n指定宽度因子 <" + fixed(st.widthFactor, 4) + ">: ", st.widthFactor,
                               [](double v) { return v >= 0.01 && v <= 100; }, "\n宽度因子须在 0.01 到 100 之间。");
  if (!width) return;
  const auto oblique = askNumber(s, "\n指定倾斜角度 <" + fixed(st.obliqueAngle, 0) + ">: ", st.obliqueAngle,
                                 [](double v) { return v >= -85 && v <= 85; }, "\n倾斜角度须在 -85 到 85 度之间。");
  if (!oblique) return;
  st.height = *height;
  st.widthFactor = *width;
  st.obliqueAngle = *oblique;
  const bool changed = core::changeSettings(s.document(), "STYLE", {"$TEXTSTYLE"}, [&](db::Database& db) {
    auto& table = db.textStyles();
    if (auto i = table.find(st.name)) {
      st.name = table[*i].name;  // as the table spells it
      table[*i] = st;
    } else {
      if (st.handle == 0) st.handle = db.newHandle();
      if (!table.add(st)) return false;
    }
    core::setHeaderValue(db.header, "$TEXTSTYLE", 7, st.name);
    return true;
  });
  if (changed) s.console().print("\n“" + st.name + "”是当前文字样式。");
}

// ---- DIMSTYLE, DIMSCALE

// The dimension variables DIMSTYLE asks for as numbers.
struct NumberVariable {
  const char* keyword;
  const char* prompt;
  const char* variable;
  double core::DimensionStyle::*member;
  bool positive;  // else only not negative
};
constexpr NumberVariable kNumbers[] = {
    {"Text", "输入文字高度", "DIMTXT", &core::DimensionStyle::textHeight, true},
    {"Arrowsize", "输入箭头大小", "DIMASZ", &core::DimensionStyle::arrowSize, false},
    {"Extend", "输入尺寸界线超出尺寸线的长度", "DIMEXE", &core::DimensionStyle::extensionBeyond, false},
    {"Offset", "输入尺寸界线起点偏移量", "DIMEXO", &core::DimensionStyle::extensionOffset, false},
    {"Scale", "输入全局比例因子", "DIMSCALE", &core::DimensionStyle::scale, true},
    {"Gap", "输入文字与尺寸线的间距", "DIMGAP", &core::DimensionStyle::textGap, false},
};

void dimstyle(Session& s) {
  auto& prompts = s.prompts();
  core::DimensionStyle st = core::currentDimensionStyle(s.database());
  const core::DimensionStyle before = st;
  s.console().print("\n当前标注样式: " + st.name);
  auto positive = [](double v) { return v > 0 && v < 1e10; };
  auto notNegative = [](double v) { return v >= 0 && v < 1e10; };
  constexpr std::string_view kPositive = "\n需要正数。";
  constexpr std::string_view kNotNegative = "\n不能为负数。";
  for (;;) {
    prompts.initGet(0, "Text Arrowsize Blocks Extend Offset Decimals Scale Gap");
    const Status st0 = prompts.getKeyword(
        "\n输入要修改的标注变量 [文字高度(T)/箭头大小(A)/箭头(B)/超出尺寸线(E)/起点偏移量(O)/小数位数(D)/全局比例(S)/"
        "文字间距(G)] <退出>: ");
    if (st0 == Status::None) break;
    if (st0 != Status::Keyword) return;
    const std::string k = prompts.lastKeyword().value_or("");
    if (k == "Blocks") {
      static const char* kNames[] = {"实心闭合", "建筑标记", "点"};
      prompts.initGet(0, "Closed Tick Dot");
      const Status a = prompts.getKeyword("\n输入箭头类型 [实心闭合(C)/建筑标记(T)/点(D)] <" +
                                          std::string(kNames[static_cast<int>(st.arrow)]) + ">: ");
      if (a == Status::Cancel) return;
      if (a == Status::Keyword) {
        const std::string kind = prompts.lastKeyword().value_or("");
        st.arrow = kind == "Tick" ? core::ArrowKind::tick
                   : kind == "Dot" ? core::ArrowKind::dot
                                   : core::ArrowKind::closedFilled;
      }
      continue;
    }
    if (k == "Decimals") {
      for (;;) {
        int n = st.decimals;
        const Status a = prompts.getInt("\n输入小数位数 (DIMDEC) <" + std::to_string(st.decimals) + ">: ", n);
        if (a == Status::None) break;
        if (a != Status::Normal) return;
        if (n >= 0 && n <= 8) {
          st.decimals = n;
          break;
        }
        s.console().print("\n小数位数须在 0 到 8 之间。");
      }
      continue;
    }
    const auto field = std::find_if(std::begin(kNumbers), std::end(kNumbers),
                                    [&](const NumberVariable& n) { return k == n.keyword; });
    if (field == std::end(kNumbers)) continue;
    double& value = st.*(field->member);
    const std::optional<double> v =
        askNumber(s, "\n" + std::string(field->prompt) + " (" + field->variable + ") <" + fixed(value, 4) + ">: ",
                  value, field->positive ? positive : notNegative, field->positive ? kPositive : kNotNegative);
    if (!v) return;
    value = *v;
  }
  if (st == before) return;
  storeStyle(s, st, "DIMSTYLE");
}

void dimscale(Session& s) {
  core::DimensionStyle st = core::currentDimensionStyle(s.database());
  const auto v = askNumber(s, "\n输入 DIMSCALE 的新值 <" + fixed(st.scale, 4) + ">: ", st.scale,
                           [](double x) { return x > 0 && x < 1e10; }, "\n需要正数。");
  if (!v || *v == st.scale) return;
  st.scale = *v;
  storeStyle(s, st, "DIMSCALE");
}

// ---- LTSCALE

void ltscale(Session& s) {
  const double now = s.database().header.linetypeScale;
  const auto v = askNumber(s, "\n输入新线型比例因子 <" + fixed(now, 4) + ">: ", now,
                           [](double x) { return x > 0 && x < 1e10; }, "\n需要正数。");
  if (!v || *v == now) return;
  core::changeSettings(s.document(), "LTSCALE", {}, [&](db::Database& d) {
    d.header.linetypeScale = *v;
    return true;
  });
  s.console().print("\n正在重生成模型。");
}

}  // namespace

bool storeStyle(Session& s, const core::DimensionStyle& st, const std::string& commandName) {
  static const std::vector<std::string> kVariables = {"$DIMSTYLE", "$DIMSCALE", "$DIMASZ", "$DIMEXO", "$DIMEXE",
                                                      "$DIMTXT",   "$DIMGAP",   "$DIMDEC", "$DIMBLK"};
  const bool ok = core::changeSettings(s.document(), commandName, kVariables,
                                       [&](db::Database& d) { return core::storeDimensionStyle(d, st); });
  if (!ok) s.console().print("\n无法修改标注样式“" + st.name + "”：无法添加箭头块。");
  return ok;
}

std::vector<Session::HostCommand> styleCommands() {
  return {
      {.name = "STYLE", .description = "建立或修改文字样式，设为当前样式", .run = style, .undoable = true,
       .help = "输入样式名（不存在时新建；? 列出已有样式），字体名或字体文件名（SHX 字体如 gbenor.shx,gbcbig.shx "
               "按原名保存，显示时用有中文字形的字体），文字高度（0 表示每次写文字时询问），宽度因子（0.01 到 100），"
               "倾斜角度（-85 到 85 度）。该样式成为当前文字样式（$TEXTSTYLE），保存在图形中。",
       .menu = {"格式", "文字样式", false}},
      {.name = "DIMSTYLE", .description = "修改当前标注样式的文字高度、箭头、界线和小数位数", .run = dimstyle,
       .undoable = true, .aliases = {"D"},
       .help = "反复选择要修改的值，直到回车：T 文字高度（DIMTXT），A 箭头大小（DIMASZ），B 箭头类型（实心闭合、建筑标记、"
               "点），E 尺寸界线超出尺寸线的长度（DIMEXE），O 尺寸界线起点偏移量（DIMEXO），D 小数位数（DIMDEC），"
               "S 全局比例（DIMSCALE），G 文字与尺寸线的间距（DIMGAP）。保存在图形的当前标注样式中。",
       .menu = {"标注", "标注样式", false}},
      {.name = "DIMSCALE", .description = "设置标注的全局比例", .run = dimscale, .undoable = true,
       .help = "输入正数：标注的文字、箭头和界线尺寸都乘以它，保存在当前标注样式中（$DIMSCALE）。",
       .menu = {"标注", "标注全局比例", false}},
      {.name = "LTSCALE", .description = "设置线型的全局比例", .run = ltscale, .undoable = true, .aliases = {"LTS"},
       .help = "输入正数：所有线型图案（虚线、点划线）的划长和间隔都乘以它，屏幕、EXPORT 和 PLOT 都一样，保存在图形中"
               "（$LTSCALE）。",
       .menu = {"格式", "线型比例", false}},
  };
}

}  // namespace orv::app
