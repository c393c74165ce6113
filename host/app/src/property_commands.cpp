// The commands on the properties of what is drawn: CHPROP and MATCHPROP change the
// layer, colour, linetype, lineweight and linetype scale of entities; COLOR and LINETYPE
// set the current colour and linetype new entities get, kept in the drawing's header
// ($CECOLOR, $CELTYPE), LINETYPE also loading patterns from the program's linetype file.
// The current lineweight and its commands are in lineweights.cpp.
//
// Sections: header values; colours; entity properties; the linetype file; the commands.
#include "property_commands.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "lineweights.h"
#include "messages.h"
#include "orv/core/drafting_styles.h"
#include "orv/core/shapes.h"
#include "orv/prompt/reply_parser.h"
#include "session.h"

namespace orv::app {

namespace {

using prompt::Point3;
using prompt::Status;

// ---- colours

// A colour as typed: 1 to 255, a name of the seven standard colours (in English or
// Chinese), BYLAYER (256) or BYBLOCK (0).
std::optional<std::int16_t> parseColor(std::string_view typed) {
  const std::string t = prompt::upperAscii(prompt::asciiForms(std::string(typed)));
  static const std::pair<std::string_view, std::int16_t> kNames[] = {
      {"BYLAYER", db::color::byLayer}, {"随层", db::color::byLayer}, {"BYBLOCK", 0}, {"随块", 0},
      {"RED", 1}, {"红", 1}, {"YELLOW", 2}, {"黄", 2}, {"GREEN", 3}, {"绿", 3}, {"CYAN", 4}, {"青", 4},
      {"BLUE", 5}, {"蓝", 5}, {"MAGENTA", 6}, {"洋红", 6}, {"WHITE", 7}, {"白", 7}};
  for (const auto& [n, c] : kNames)
    if (t == n) return c;
  const auto number = prompt::parseReal(t);
  if (number && *number >= 1 && *number <= 255 && *number == static_cast<int>(*number))
    return static_cast<std::int16_t>(*number);
  return std::nullopt;
}

std::string colorName(std::int16_t c) {
  if (c == db::color::byLayer) return "BYLAYER";
  if (c == 0) return "BYBLOCK";
  return std::to_string(c);
}

constexpr std::string_view kBadColor = "\n颜色无效：需要 1 到 255 的颜色号、颜色名（红、黄、绿、青、蓝、洋红、白）、BYLAYER 或 BYBLOCK。";

// ---- entity properties

struct Properties {
  std::optional<std::string> layer;
  std::optional<std::int16_t> color;
  std::optional<std::string> linetype;
  std::optional<std::int16_t> lineweight;
  std::optional<double> linetypeScale;
};

// The tags of a kept entity with its layer (8), colour (62) and linetype (6) replaced or,
// when it has none, added after its layer; tags in 102 groups and extended data stay.
db::RawTags withProperties(const db::RawTags& tags, const Properties& p) {
  db::RawTags out;
  bool inGroup = false, xdata = false, hadColor = false, hadLinetype = false;
  for (db::RawTag t : tags) {
    if (t.code == 102) inGroup = !t.value.empty() && t.value.front() == '{';
    if (t.code >= 1000) xdata = true;
    const bool own = !inGroup && !xdata;
    if (own && t.code == 62) hadColor = true;
    if (own && t.code == 6) hadLinetype = true;
  }
  inGroup = xdata = false;
  for (db::RawTag t : tags) {
    if (t.code == 102) inGroup = !t.value.empty() && t.value.front() == '{';
    if (t.code >= 1000) xdata = true;
    const bool own = !inGroup && !xdata;
    if (own && t.code == 8 && p.layer) {
      out.add(8, *p.layer, t.slot);
      if (p.linetype && !hadLinetype) out.add(6, *p.linetype, t.slot);
      if (p.color && !hadColor) out.add(62, std::to_string(*p.color), t.slot);
      continue;
    }
    if (own && t.code == 8) {
      out.add(8, t.value, t.slot);
      if (p.linetype && !hadLinetype) out.add(6, *p.linetype, t.slot);
      if (p.color && !hadColor) out.add(62, std::to_string(*p.color), t.slot);
      continue;
    }
    if (own && t.code == 62 && p.color) {
      out.add(62, std::to_string(*p.color), t.slot);
      continue;
    }
    if (own && t.code == 6 && p.linetype) {
      out.add(6, *p.linetype, t.slot);
      continue;
    }
    out.add(t.code, t.value, t.slot);
  }
  return out;
}

// Gives an entity (every member of its group: a block reference's attributes, an
// old-style polyline's vertices) the properties; false when the drawing refuses.
bool giveProperties(Session& s, db::ObjectId owner, const Properties& p) {
  db::Database& d = s.database();
  for (db::ObjectId id : s.index().group(owner)) {
    db::Status st = db::Status::ok;
    if (p.layer || p.color || p.linetype) {
      db::Entity e = *d.entity(id);
      if (auto* kept = e.as<db::UnknownEntity>()) {
        kept->tags = withProperties(kept->tags, p);
      }
      if (p.layer) e.layer = d.intern(*p.layer);
      if (p.color) e.color = *p.color;
      if (p.linetype) e.linetype = d.intern(*p.linetype);
      st = d.replace(id, std::move(e));
    }
    if (st == db::Status::ok && p.lineweight) st = d.setLineweight(id, *p.lineweight);
    if (st == db::Status::ok && p.linetypeScale) st = d.setLinetypeScale(id, *p.linetypeScale);
    if (st != db::Status::ok) {
      s.console().print("\n无法修改" + core::kindName(d, *d.entity(id)) + "的特性：" + messages::databaseStatus(st) + "。");
      return false;
    }
  }
  return true;
}

// A layer name that the drawing holds, in the table's spelling.
std::optional<std::string> knownLayer(const db::Database& d, const std::string& typed) {
  if (const auto* layer = d.layers().get(typed)) return layer->name;
  return std::nullopt;
}

// A linetype name the drawing holds (ByLayer and ByBlock included), in its spelling.
std::optional<std::string> knownLinetype(const db::Database& d, const std::string& typed) {
  if (prompt::upperAscii(typed) == "BYLAYER") return std::string("ByLayer");
  if (prompt::upperAscii(typed) == "BYBLOCK") return std::string("ByBlock");
  if (const auto* lt = d.linetypes().get(typed)) return lt->name;
  return std::nullopt;
}

// ---- the linetype file

std::filesystem::path linetypeFile() {
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return (exe.parent_path() / ".." / "share" / "orvcad" / "orvcad.lin").lexically_normal();
}

}  // namespace

std::optional<db::Linetype> findLinetypePattern(std::istream& in, std::string_view name, std::string& problem) {
  std::string line;
  std::optional<db::Linetype> found;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '*') {
      if (found) break;  // the pattern's line did not follow
      const std::size_t comma = line.find(',');
      const std::string n = line.substr(1, comma == std::string::npos ? std::string::npos : comma - 1);
      if (prompt::upperAscii(n) != prompt::upperAscii(name)) continue;
      found.emplace();
      found->name = n;
      found->description = comma == std::string::npos ? "" : line.substr(comma + 1);
      continue;
    }
    if (!found) continue;
    std::stringstream fields(line);
    std::string field;
    std::getline(fields, field, ',');
    if (prompt::upperAscii(field) != "A") {
      problem = "第 " + std::to_string(number) + " 行的图案不是 A 型";
      return std::nullopt;
    }
    while (std::getline(fields, field, ',')) {
      const auto v = prompt::parseReal(field);
      if (!v || field.find('[') != std::string::npos) {
        problem = "第 " + std::to_string(number) + " 行的图案无法识别";
        return std::nullopt;
      }
      found->elements.push_back({*v, {}});
      found->totalLength += std::abs(*v);
    }
    return found;
  }
  problem = found ? "线型“" + std::string(name) + "”没有图案" : "";
  return std::nullopt;
}

geom::CommonProps propertiesOf(const db::Database& d, db::ObjectId id) {
  const db::Entity& e = *d.entity(id);
  if (const auto* kept = e.as<db::UnknownEntity>()) return geom::decodeCommon(kept->tags);
  const db::RawTags* extras = d.entityExtras(id);
  geom::CommonProps p = extras ? geom::decodeCommon(*extras) : geom::CommonProps{};
  p.layer = d.name(e.layer);
  p.linetype = d.name(e.linetype);
  p.color = e.color;
  return p;
}

void setCurrent(Session& s, const std::string& command, std::string_view variable, int code, const std::string& value) {
  core::changeSettings(s.document(), command, {std::string(variable)}, [&](db::Database& d) {
    if (db::headerValue(d.header, variable) == value) return false;
    db::setHeaderValue(d.header, variable, code, value);
    return true;
  });
}

namespace {

// ---- the commands

constexpr std::string_view kBadScale = "\n线型比例无效：需要大于 0 的数。";

// A linetype scale as typed: a number above 0 (and not beyond what a drawing holds).
std::optional<double> parseScale(std::string_view typed) {
  const auto v = prompt::parseReal(prompt::asciiForms(std::string(typed)));
  if (!v || !(*v > 0) || *v > 1e9) return std::nullopt;
  return *v;
}

std::optional<std::int16_t> askColor(Session& s, std::string_view prompt) {
  for (;;) {
    std::string typed;
    if (s.prompts().getString(prompt, false, 32, typed) != Status::Normal) return std::nullopt;
    if (typed.empty()) return db::color::byLayer;
    if (auto c = parseColor(typed)) return c;
    s.console().print(kBadColor);
  }
}

// One property given on the command's line ("LA 管道", "C 3", "LT DASHED"), as the window's
// properties panel gives it; false (with the message) when it cannot be.
bool propertyFromLine(Session& s, std::string_view line, Properties& p) {
  const std::string_view text = prompt::trimBlanks(line);
  const auto blank = text.find_first_of(" \t");
  const std::string key = prompt::upperAscii(text.substr(0, blank));
  const std::string value(prompt::trimBlanks(blank == std::string_view::npos ? "" : text.substr(blank + 1)));
  db::Database& d = s.database();
  if (key == "C") {
    p.color = parseColor(value);
    if (!p.color) s.console().print(kBadColor);
    return p.color.has_value();
  }
  if (key == "LW") {
    p.lineweight = parseLineweight(value);
    if (!p.lineweight) s.console().print(badLineweightMessage());
    return p.lineweight.has_value();
  }
  if (key == "S") {
    p.linetypeScale = parseScale(value);
    if (!p.linetypeScale) s.console().print(kBadScale);
    return p.linetypeScale.has_value();
  }
  if (key == "LA" || key == "LT") {
    const bool layer = key == "LA";
    const auto known = layer ? knownLayer(d, value) : knownLinetype(d, value);
    if (!known) {
      s.console().print(layer ? "\n找不到图层“" + value + "”。" : "\n线型“" + value + "”未加载，请先用 LINETYPE 加载。");
      return false;
    }
    (layer ? p.layer : p.linetype) = *known;
    return true;
  }
  s.console().print("\n无效的特性“" + std::string(text) + "”：应为 C、LA、LT、LW 或 S 及其新值。");
  return false;
}

void chprop(Session& s) {
  // Chosen before the command (the window's selection): it stays chosen afterwards.
  const bool chosenBefore = !s.selector().current().empty();
  auto set = s.selectObjects();
  if (!set || set->empty()) return;
  if (!s.commandArgument().empty()) {
    Properties p;
    if (propertyFromLine(s, s.commandArgument(), p))
      for (db::ObjectId id : set->ids())
        if (!giveProperties(s, id, p)) break;
    if (chosenBefore) s.selector().setCurrent(*set);  // the panel goes on showing it
    return;
  }
  auto& prompts = s.prompts();
  db::Database& d = s.database();
  for (;;) {
    prompts.initGet(0, "Color LAyer LType LWeight ltScale");
    const Status st = prompts.getKeyword("\n输入要更改的特性 [颜色(C)/图层(LA)/线型(LT)/线宽(LW)/线型比例(S)]: ");
    if (st != Status::Keyword) return;
    Properties p;
    const std::string which = prompts.lastKeyword().value_or("");
    if (which == "Color") {
      p.color = askColor(s, "\n输入新颜色 [随层(BYLAYER)/随块(BYBLOCK)] <BYLAYER>: ");
      if (!p.color) return;
    } else if (which == "LWeight") {
      std::string typed;
      if (prompts.getString("\n输入新线宽 [随层(BYLAYER)/随块(BYBLOCK)/默认(DEFAULT)] <BYLAYER>: ", false, 32, typed) !=
          Status::Normal)
        return;
      p.lineweight = typed.empty() ? std::optional<std::int16_t>(db::lineweight::byLayer) : parseLineweight(typed);
      if (!p.lineweight) {
        s.console().print(badLineweightMessage());
        continue;
      }
    } else if (which == "ltScale") {
      double scale = 1.0;
      prompts.initGet(prompt::kNoZero | prompt::kNoNegative, "");
      const Status got = prompts.getReal("\n输入新线型比例 <1.0000>: ", scale);
      if (got == Status::Cancel || got == Status::Error) return;
      if (got == Status::None) scale = 1.0;
      if (scale > 1e9) {
        s.console().print(kBadScale);
        continue;
      }
      p.linetypeScale = scale;
    } else {
      const bool layer = which == "LAyer";
      std::string typed;
      if (prompts.getString(layer ? "\n输入新图层名: " : "\n输入新线型名 <ByLayer>: ", true, 255, typed) != Status::Normal)
        return;
      if (typed.empty()) {
        if (layer) continue;
        typed = "ByLayer";
      }
      const auto known = layer ? knownLayer(d, typed) : knownLinetype(d, typed);
      if (!known) {
        s.console().print(layer ? "\n找不到图层“" + typed + "”。" : "\n线型“" + typed + "”未加载，请先用 LINETYPE 加载。");
        continue;
      }
      (layer ? p.layer : p.linetype) = *known;
    }
    for (db::ObjectId id : set->ids())
      if (!giveProperties(s, id, p)) return;
  }
}

void matchprop(Session& s) {
  auto& prompts = s.prompts();
  db::Database& d = s.database();
  Point3 at;
  db::ObjectId source;
  while (!source) {
    if (prompts.getPickPoint("\n选择源对象: ", at) != Status::Normal) return;
    source = s.index().pick({at.x, at.y}, s.pickDistance());
    if (!source) s.console().print("\n未选择对象。");
  }
  const db::Entity& e = *d.entity(source);
  const geom::CommonProps from = propertiesOf(d, source);
  Properties p;
  p.layer = std::string(core::layerOf(d, e));
  p.color = from.color;
  p.linetype = std::string(from.linetype);
  // What a file held that no drawing may be given (a lineweight that is not a standard
  // one) is not passed on.
  if (from.lineweight < 0 || db::isStandardLineweight(from.lineweight)) p.lineweight = from.lineweight;
  p.linetypeScale = from.linetypeScale;
  s.console().print("\n当前活动设置: 图层 颜色 线型 线宽 线型比例");
  for (;;) {
    if (prompts.getPickPoint("\n选择目标对象: ", at) != Status::Normal) return;
    const db::ObjectId target = s.index().pick({at.x, at.y}, s.pickDistance());
    if (!target) {
      s.console().print("\n未选择对象。");
      continue;
    }
    giveProperties(s, target, p);
  }
}

void color(Session& s) {
  db::Database& d = s.database();
  const std::string shown = colorName(db::currentColor(d));
  for (;;) {
    std::string typed;
    if (s.prompts().getString("\n输入默认对象颜色 [随层(BYLAYER)/随块(BYBLOCK)] <" + shown + ">: ", false, 32, typed) !=
            Status::Normal ||
        typed.empty())
      return;
    const auto c = parseColor(typed);
    if (!c) {
      s.console().print(kBadColor);
      continue;
    }
    setCurrent(s, "COLOR", "$CECOLOR", 62, std::to_string(*c));
    return;
  }
}

void linetype(Session& s) {
  auto& prompts = s.prompts();
  db::Database& d = s.database();
  for (;;) {
    std::string option;
    if (prompts.getString("\n输入选项 [?/加载(L)/设置(S)]: ", false, 16, option) != Status::Normal || option.empty())
      return;
    option = prompt::upperAscii(prompt::asciiForms(option));
    if (option == "?") {
      for (const auto& lt : d.linetypes()) s.console().print("\n  " + lt.name + "  " + lt.description);
      continue;
    }
    if (option != "L" && option != "S") {
      s.console().print("\n无效的选项“" + option + "”。");
      continue;
    }
    const std::string which = option == "L" ? "Load" : "Set";
    std::string name;
    if (prompts.getString(which == "Load" ? "\n输入要加载的线型名: " : "\n指定线型名 <ByLayer>: ", false, 255, name) !=
        Status::Normal)
      return;
    if (which == "Set") {
      if (name.empty()) name = "ByLayer";
      const auto known = knownLinetype(d, name);
      if (!known) {
        s.console().print("\n线型“" + name + "”未加载，请先用 L 加载。");
        continue;
      }
      setCurrent(s, "LINETYPE", "$CELTYPE", 6, *known);
      continue;
    }
    if (name.empty()) continue;
    if (knownLinetype(d, name)) {
      s.console().print("\n线型“" + name + "”已加载。");
      continue;
    }
    const auto file = linetypeFile();
    std::ifstream in(file);
    if (!in) {
      s.console().print("\n无法读取线型文件“" + file.string() + "”。");
      continue;
    }
    std::string problem;
    auto pattern = findLinetypePattern(in, name, problem);
    if (!pattern) {
      s.console().print(problem.empty() ? "\n线型文件中没有线型“" + name + "”。"
                                        : "\n无法加载线型“" + name + "”：" + problem + "。");
      continue;
    }
    if (auto added = d.addLinetype(std::move(*pattern)); !added) {
      s.console().print("\n无法加载线型“" + name + "”：" + messages::databaseStatus(added.error().status) + "。");
      continue;
    }
    s.console().print("\n线型“" + name + "”已加载。");
  }
}

}  // namespace

std::vector<Session::HostCommand> propertyCommands() {
  return {
      {.name = "CHPROP", .description = "修改选中对象的图层、颜色、线型、线宽或线型比例", .run = chprop, .undoable = true,
       .aliases = {"CH"}, .takesArgument = true,
       .help = "选择对象后回车（已选中的对象不再询问），然后反复选择要修改的特性：C 颜色（1 到 255、颜色名、"
               "BYLAYER、BYBLOCK），LA 图层（须已存在），LT 线型（须已加载），LW 线宽（标准线宽的毫米数、BYLAYER、"
               "BYBLOCK、DEFAULT），S 线型比例（大于 0），直到回车。也可以写在命令后一次改一项，"
               "如 CHPROP LA 管道、CHPROP LW 0.5；窗口的特性面板（Ctrl+1）就这样改变选中的对象。",
       .menu = {"修改", "特性", false}},
      {.name = "MATCHPROP", .description = "把源对象的图层、颜色、线型、线宽和线型比例赋给目标对象", .run = matchprop,
       .undoable = true, .aliases = {"MA"},
       .help = "点取源对象，再逐个点取目标对象，直到回车：目标对象取得源对象的图层、颜色、线型、线宽和线型比例。",
       .menu = {"修改", "特性匹配", true}},
      {.name = "COLOR", .description = "设置新对象的当前颜色", .run = color, .undoable = true, .aliases = {"COL"},
       .help = "输入颜色号（1 到 255）、颜色名、BYLAYER 或 BYBLOCK：之后新画的对象取这个颜色。当前颜色保存在图形中（$CECOLOR）。",
       .menu = {"格式", "颜色", false}},
      {.name = "LINETYPE", .description = "从线型文件加载线型，设置新对象的当前线型", .run = linetype,
       .undoable = true, .aliases = {"LT"},
       .help = "L 按名称从程序的线型文件（share/orvcad/orvcad.lin，标准线型 DASHED、HIDDEN、CENTER、PHANTOM 等）加载线型；"
               "S 设置当前线型（须已加载），之后新画的对象取这个线型，保存在图形中（$CELTYPE）；? 列出已加载的线型。",
       .menu = {"格式", "线型", false}},
  };
}

}  // namespace orv::app
