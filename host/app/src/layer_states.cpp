// Layer states and LAYER's one-line form: on, off, frozen, thawed, locked, unlocked,
// colour, linetype, lineweight and plotting of named layers, new layers and the current
// one, each refusal said in Chinese.
#include "layer_states.h"

#include "lineweights.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <tuple>

#include "orv/core/shapes.h"
#include "orv/prompt/reply_parser.h"
#include "session.h"

namespace orv::app {

namespace {

constexpr std::uint8_t kCommonSlot = 1;  // the slot of a record's own kept codes

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// "*" and "?" as in file names, letters compared without regard to case.
bool matches(std::string_view pattern, std::string_view name) {
  if (pattern.empty()) return name.empty();
  if (pattern.front() == '*')
    return matches(pattern.substr(1), name) || (!name.empty() && matches(pattern, name.substr(1)));
  if (name.empty()) return false;
  if (pattern.front() != '?' && upper(pattern.front()) != upper(name.front())) return false;
  return matches(pattern.substr(1), name.substr(1));
}

}  // namespace

std::optional<int> parseLayerColour(std::string_view typed) {
  static const std::pair<std::string_view, int> kNamed[] = {
      {"RED", 1}, {"YELLOW", 2}, {"GREEN", 3}, {"CYAN", 4}, {"BLUE", 5}, {"MAGENTA", 6}, {"WHITE", 7},
      {"红", 1},  {"黄", 2},     {"绿", 3},    {"青", 4},   {"蓝", 5},   {"洋红", 6},     {"白", 7}};
  const std::string t = prompt::upperAscii(prompt::trimBlanks(typed));
  for (const auto& [name, value] : kNamed)
    if (t == name) return value;
  int n = 0;
  if (prompt::parseInt(t, n) == prompt::IntParse::Ok && n >= 1 && n <= 255) return n;
  return std::nullopt;
}

namespace {

class LineOfLayer {
 public:
  explicit LineOfLayer(Session& s) : s_(s), d_(s.database()) {}

  bool run(std::string_view line) {
    auto [option, rest] = prompt::splitFirstWord(prompt::asciiForms(line));
    option = prompt::upperAscii(option);
    if (option == "ON") return each(rest, [](db::Layer& l) { l.color = static_cast<std::int16_t>(std::abs(l.color)); });
    if (option == "OFF") return each(rest, [](db::Layer& l) { l.color = static_cast<std::int16_t>(-std::abs(l.color)); });
    if (option == "F" || option == "FREEZE") return each(rest, [](db::Layer& l) { l.flags |= 1; });
    if (option == "T" || option == "THAW") return each(rest, [](db::Layer& l) { l.flags &= ~1; });
    if (option == "LO" || option == "LOCK") return each(rest, [](db::Layer& l) { l.flags |= 4; });
    if (option == "U" || option == "UNLOCK") return each(rest, [](db::Layer& l) { l.flags &= ~4; });
    if (option == "N" || option == "NEW") return make(rest, false);
    if (option == "M" || option == "MAKE") return make(rest, true);
    if (option == "S" || option == "SET") return setCurrent(rest);
    if (option == "R" || option == "RENAME") return rename(rest);
    if (option == "D" || option == "DELETE") return remove(rest);
    auto [value, names] = prompt::splitFirstWord(rest);
    if (option == "C" || option == "COLOR") {
      const auto c = parseLayerColour(value);
      if (!c) return refuse("\n颜色须是 1 到 255 之间的编号或颜色名。");
      return each(names, [c](db::Layer& l) { l.color = static_cast<std::int16_t>(l.color < 0 ? -*c : *c); });
    }
    if (option == "L" || option == "LTYPE") {
      const db::Linetype* lt = d_.linetypes().get(value);
      if (!lt || value.empty()) return refuse("\n找不到线型“" + value + "”，请先用 LINETYPE 加载。");
      return each(names, [name = lt->name](db::Layer& l) { l.linetype = name; });
    }
    if (option == "LW" || option == "LWEIGHT") {
      const auto w = parseLayerLineweight(value);
      if (!w) return refuse("\n线宽“" + value + "”无效：应为 0.00 到 2.11 毫米之间的标准线宽或“默认”。");
      return each(names, [w](db::Layer& l) { l.lineweight = static_cast<std::int16_t>(*w); });
    }
    if (option == "P" || option == "PLOT") {
      const std::string v = prompt::upperAscii(value);
      const bool yes = v == "Y" || v == "YES" || v == "P" || v == "PLOT" || v == "是";
      const bool no = v == "N" || v == "NO" || v == "否";
      if (!yes && !no) return refuse("\n是否打印须答 Y（打印）或 N（不打印）。");
      return each(names, [yes](db::Layer& l) { l = withPlotting(std::move(l), yes); });
    }
    return refuse("\n无效的图层选项“" + std::string(prompt::trimBlanks(line)) +
                  "”：应为 ON、OFF、F、T、LO、U、C、L、LW、P、N、S、M、R 或 D 及其图层名。");
  }

 private:
  bool refuse(const std::string& text) {
    s_.console().print(text);
    return false;
  }

  bool isCurrent(const db::Layer& l) const { return db::foldName(l.name) == db::foldName(d_.header.currentLayer); }

  // The layers a list names ("*" and "?" match as in file names), each once, in the
  // order named; a name that is none is reported.
  std::vector<std::size_t> named(const std::string& text) {
    std::vector<std::size_t> found;
    const std::vector<std::string> names = splitLayerNames(text);
    if (names.empty()) s_.console().print("\n没有给出图层名。");
    auto add = [&](std::size_t i) {
      if (std::find(found.begin(), found.end(), i) == found.end()) found.push_back(i);
    };
    for (const std::string& name : names) {
      bool any = false;
      if (name.find_first_of("*?") != std::string::npos) {
        for (std::size_t i = 0; i < d_.layers().size(); ++i)
          if (matches(name, d_.layers()[i].name)) {
            add(i);
            any = true;
          }
      } else if (const auto i = d_.layers().find(name)) {
        add(*i);
        any = true;
      }
      if (!any) s_.console().print("\n找不到图层“" + name + "”。");
    }
    return found;
  }

  template <class F>
  bool each(const std::string& names, F apply) {
    bool any = false;
    for (std::size_t i : named(names)) {
      db::Layer l = d_.layers()[i];
      const db::Layer before = l;
      apply(l);
      if (layerIsFrozen(l) && !layerIsFrozen(before) && isCurrent(l)) {
        s_.console().print("\n不能冻结当前图层“" + l.name + "”。");
        continue;
      }
      if (layerIsOff(l) && !layerIsOff(before) && isCurrent(l)) s_.console().print("\n当前图层“" + l.name + "”已关闭。");
      if (d_.changeLayer(i, std::move(l)) != db::Status::ok) {
        s_.console().print("\n无法修改图层“" + before.name + "”。");
        continue;
      }
      any = true;
    }
    return any;
  }

  bool make(const std::string& text, bool makeCurrent) {
    const std::vector<std::string> names = splitLayerNames(text);
    if (names.empty()) return refuse("\n没有给出图层名。");
    if (makeCurrent && names.size() > 1) return refuse("\n只能输入一个图层名。");
    bool any = false;
    for (const std::string& name : names) {
      if (!validLayerName(name)) {
        s_.console().print("\n图层名“" + name + "”无效。");
        continue;
      }
      if (!d_.layers().find(name)) {
        db::Layer layer;
        layer.name = name;
        if (!d_.addLayer(std::move(layer))) {
          s_.console().print("\n无法新建图层“" + name + "”。");
          continue;
        }
      } else if (!makeCurrent) {
        s_.console().print("\n图层“" + name + "”已存在。");
        continue;
      }
      if (makeCurrent) d_.setCurrentLayer(name);
      any = true;
    }
    return any;
  }

  bool setCurrent(const std::string& name) {
    const db::Layer* layer = d_.layers().get(name);
    if (name.empty() || !layer) return refuse("\n找不到图层“" + name + "”。");
    if (layerIsFrozen(*layer)) return refuse("\n不能把冻结的图层“" + layer->name + "”置为当前。");
    return d_.setCurrentLayer(layer->name) == db::Status::ok;
  }

  // "旧名,新名" (names may hold blanks then) or "旧名 新名".
  bool rename(const std::string& text) {
    std::string from, to;
    if (text.find(',') != std::string::npos) {
      const std::vector<std::string> names = splitLayerNames(text);
      if (names.size() != 2) return refuse("\n重命名须给出旧图层名和新图层名，例如 LAYER R 旧名,新名。");
      from = names[0];
      to = names[1];
    } else {
      std::tie(from, to) = prompt::splitFirstWord(text);
      if (from.empty() || to.empty()) return refuse("\n重命名须给出旧图层名和新图层名，例如 LAYER R 旧名,新名。");
    }
    const auto i = d_.layers().find(from);
    if (!i) return refuse("\n找不到图层“" + from + "”。");
    const std::string old = d_.layers()[*i].name;
    const std::string folded = db::foldName(old);
    if (folded == "0" || folded == "DEFPOINTS") return refuse("\n不能重命名图层“" + old + "”。");
    if (!validLayerName(to)) return refuse("\n图层名“" + to + "”无效。");
    switch (d_.renameLayer(*i, to)) {
      case db::Status::ok:
        return true;
      case db::Status::duplicateName:
        return refuse("\n图层“" + d_.layers()[*d_.layers().find(to)].name + "”已存在。");
      default:
        return refuse("\n无法重命名图层“" + old + "”。");
    }
  }

  bool remove(const std::string& text) {
    bool any = false;
    std::vector<std::string> names;
    for (std::size_t i : named(text)) names.push_back(d_.layers()[i].name);
    for (const std::string& name : names) {  // by name: each removal moves the layers after it
      const std::size_t i = *d_.layers().find(name);
      switch (d_.layerUse(i)) {
        case db::Database::LayerUse::fixed:
          s_.console().print("\n不能删除图层“" + name + "”。");
          continue;
        case db::Database::LayerUse::current:
          s_.console().print("\n不能删除当前图层“" + name + "”。");
          continue;
        case db::Database::LayerUse::entities:
          s_.console().print("\n图层“" + name + "”上有对象，不能删除。");
          continue;
        case db::Database::LayerUse::blocks:
          s_.console().print("\n图层“" + name + "”被块定义使用，不能删除。");
          continue;
        case db::Database::LayerUse::unused:
          break;
      }
      if (d_.removeLayer(i) != db::Status::ok) {
        s_.console().print("\n无法删除图层“" + name + "”。");
        continue;
      }
      any = true;
    }
    return any;
  }

  Session& s_;
  db::Database& d_;
};

}  // namespace

std::vector<std::string> splitLayerNames(std::string_view text) {
  std::vector<std::string> names;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t comma = text.find(',', start);
    if (comma == std::string_view::npos) comma = text.size();
    const std::string_view name = prompt::trimBlanks(text.substr(start, comma - start));
    if (!name.empty()) names.emplace_back(name);
    start = comma + 1;
  }
  return names;
}

bool validLayerName(std::string_view name) {
  return !name.empty() && name.size() <= 255 && name.find_first_of("<>/\\\":;?*|,=`") == std::string_view::npos;
}

bool layerPlots(const db::Layer& l) {
  for (db::RawTag t : l.extras)
    if (t.code == 290) return prompt::trimBlanks(t.value) != "0";
  return true;
}

db::Layer withPlotting(db::Layer l, bool plots) {
  db::RawTags kept;
  bool placed = false;
  for (db::RawTag t : l.extras) {
    if (t.code == 290) {
      if (!placed) kept.add(290, plots ? "1" : "0", t.slot);
      placed = true;
      continue;
    }
    kept.add(t.code, t.value, t.slot);
  }
  if (!placed) {
    // Among the record's own codes, before its extended data.
    db::RawTags ordered;
    bool added = false;
    for (db::RawTag t : kept) {
      if (!added && t.slot > kCommonSlot) {
        ordered.add(290, plots ? "1" : "0", kCommonSlot);
        added = true;
      }
      ordered.add(t.code, t.value, t.slot);
    }
    if (!added) ordered.add(290, plots ? "1" : "0", kCommonSlot);
    kept = std::move(ordered);
  }
  l.extras = std::move(kept);
  return l;
}

std::optional<std::int16_t> parseLayerLineweight(std::string_view typed) {
  const auto w = parseLineweight(typed);
  if (w && (*w >= 0 || *w == db::lineweight::byDefault)) return w;
  return std::nullopt;
}

bool layerFromLine(Session& s, std::string_view line) { return LineOfLayer(s).run(line); }

}  // namespace orv::app
