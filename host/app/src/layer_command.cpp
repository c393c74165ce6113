// LAYER: making layers, the current layer, and each layer's state, colour and
// linetype, asked option by option until Enter; the whole command is one step of UNDO.
// Beyond the options the prompt lists, the dialogue takes those of the one-line form
// (LO, U, LW, P, R, D), so that a window user can type every change the layer manager
// makes.
#include <algorithm>
#include <vector>

#include "layer_states.h"
#include "orv/prompt/reply_parser.h"
#include "session.h"

namespace orv::app {

namespace {

using prompt::Status;

constexpr std::string_view kOptions =
    "\n输入选项 [?/生成(M)/设置(S)/新建(N)/开(ON)/关(OFF)/颜色(C)/线型(L)/冻结(F)/解冻(T)]:";
constexpr std::string_view kKeywords =
    "? Make Set New ON OFF Color Ltype Freeze Thaw LOck Unlock LWeight Plot Rename Delete";

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

class LayerDialogue {
 public:
  explicit LayerDialogue(Session& s) : s_(s), d_(s.database()) {}

  void run() {
    auto& prompts = s_.prompts();
    for (;;) {
      prompts.initGet(0, kKeywords);
      const Status st = prompts.getKeyword(kOptions);
      if (st != Status::Keyword) return;
      const std::string option = prompts.lastKeyword().value_or("");
      if (option == "?") list();
      else if (option == "Make") make(true);
      else if (option == "New") make(false);
      else if (option == "Set") setCurrent();
      else if (option == "ON") state("\n输入要打开的图层名列表: ", [](db::Layer& l) { l.color = static_cast<std::int16_t>(std::abs(l.color)); });
      else if (option == "OFF") state("\n输入要关闭的图层名列表: ", [](db::Layer& l) { l.color = static_cast<std::int16_t>(-std::abs(l.color)); });
      else if (option == "Freeze") state("\n输入要冻结的图层名列表: ", [](db::Layer& l) { l.flags |= 1; });
      else if (option == "Thaw") state("\n输入要解冻的图层名列表: ", [](db::Layer& l) { l.flags &= ~1; });
      else if (option == "Color") colour();
      else if (option == "Ltype") linetype();
      else if (option == "LOck") state("\n输入要锁定的图层名列表: ", [](db::Layer& l) { l.flags |= 4; });
      else if (option == "Unlock") state("\n输入要解锁的图层名列表: ", [](db::Layer& l) { l.flags &= ~4; });
      else if (option == "LWeight") lineweight();
      else if (option == "Plot") plotting();
      else if (option == "Rename") rename();
      else if (option == "Delete") remove();
    }
  }

 private:
  void say(const std::string& text) { s_.console().print(text); }

  bool askText(std::string_view prompt, std::string& out) {
    return s_.prompts().getString(prompt, true, 4096, out) == Status::Normal;
  }

  // The layers a list names, in table order; a name that matches none is reported.
  std::vector<std::size_t> named(const std::string& text) {
    std::vector<std::size_t> found;
    for (const std::string& pattern : splitLayerNames(text)) {
      bool any = false;
      for (std::size_t i = 0; i < d_.layers().size(); ++i)
        if (matches(pattern, d_.layers()[i].name)) {
          any = true;
          if (std::find(found.begin(), found.end(), i) == found.end()) found.push_back(i);
        }
      if (!any) say("\n找不到图层“" + pattern + "”。");
    }
    std::sort(found.begin(), found.end());
    return found;
  }

  bool isCurrent(const db::Layer& l) const { return db::foldName(l.name) == db::foldName(d_.header.currentLayer); }

  void change(std::size_t index, db::Layer layer) {
    if (d_.changeLayer(index, std::move(layer)) != db::Status::ok) say("\n无法修改图层“" + d_.layers()[index].name + "”。");
  }

  template <class F>
  void state(std::string_view prompt, F apply) {
    std::string text;
    if (!askText(prompt, text)) return;
    for (std::size_t i : named(text)) {
      db::Layer l = d_.layers()[i];
      const db::Layer before = l;
      apply(l);
      if ((l.flags & 1) && !(before.flags & 1) && isCurrent(l)) {
        say("\n不能冻结当前图层“" + l.name + "”。");
        continue;
      }
      if (l.color < 0 && before.color >= 0 && isCurrent(l)) say("\n当前图层“" + l.name + "”已关闭。");
      change(i, std::move(l));
    }
  }

  void make(bool setCurrent) {
    std::string text;
    if (!askText(setCurrent ? "\n输入新图层的名称（成为当前图层） <" + d_.header.currentLayer + ">: "
                            : "\n输入新图层的名称列表: ",
                 text))
      return;
    std::vector<std::string> names = splitLayerNames(text);
    if (setCurrent && names.size() > 1) {
      say("\n只能输入一个图层名。");
      return;
    }
    for (const std::string& name : names) {
      if (!validLayerName(name)) {
        say("\n图层名“" + name + "”无效。");
        continue;
      }
      if (!d_.layers().find(name)) {
        db::Layer layer;
        layer.name = name;
        if (auto added = d_.addLayer(std::move(layer)); !added) {
          say("\n无法新建图层“" + name + "”。");
          continue;
        }
      }
      if (setCurrent) d_.setCurrentLayer(name);
    }
  }

  void setCurrent() {
    std::string name;
    if (!askText("\n输入要置为当前的图层名 <" + d_.header.currentLayer + ">: ", name)) return;
    const std::string_view trimmed = prompt::trimBlanks(name);
    if (trimmed.empty()) return;
    const db::Layer* layer = d_.layers().get(trimmed);
    if (!layer) {
      say("\n找不到图层“" + std::string(trimmed) + "”。");
      return;
    }
    if (layer->flags & 1) {
      say("\n不能把冻结的图层“" + layer->name + "”置为当前。");
      return;
    }
    d_.setCurrentLayer(layer->name);
  }

  // The layers a list names, the current one on Enter.
  std::vector<std::size_t> namedOrCurrent(std::string_view prompt) {
    std::string text;
    if (!askText(prompt, text)) return {};
    if (prompt::trimBlanks(text).empty()) text = d_.header.currentLayer;
    return named(text);
  }

  void colour() {
    static const std::pair<std::string_view, int> kNamed[] = {
        {"RED", 1}, {"YELLOW", 2}, {"GREEN", 3}, {"CYAN", 4}, {"BLUE", 5}, {"MAGENTA", 6}, {"WHITE", 7},
        {"红", 1},  {"黄", 2},     {"绿", 3},    {"青", 4},   {"蓝", 5},   {"洋红", 6},     {"白", 7}};
    int index = 0;
    while (index == 0) {
      std::string text;
      if (!askText("\n输入颜色名或编号 (1-255): ", text)) return;
      const std::string_view t = prompt::trimBlanks(text);
      if (t.empty()) return;
      for (const auto& [name, value] : kNamed)
        if (db::foldName(t) == name) index = value;
      int n = 0;
      if (index == 0 && prompt::parseInt(t, n) == prompt::IntParse::Ok && n >= 1 && n <= 255) index = n;
      if (index == 0) say("\n颜色须是 1 到 255 之间的编号或颜色名。");
    }
    for (std::size_t i : namedOrCurrent("\n输入要设置颜色 " + std::to_string(index) + " 的图层名列表 <" +
                                        d_.header.currentLayer + ">: ")) {
      db::Layer l = d_.layers()[i];
      l.color = static_cast<std::int16_t>(l.color < 0 ? -index : index);
      change(i, std::move(l));
    }
  }

  void linetype() {
    std::string name;
    for (;;) {
      if (!askText("\n输入要使用的线型名 <Continuous>: ", name)) return;
      std::string_view t = prompt::trimBlanks(name);
      if (t.empty()) t = "Continuous";
      if (const db::Linetype* lt = d_.linetypes().get(t)) {
        name = lt->name;
        break;
      }
      say("\n找不到线型“" + std::string(t) + "”。");
    }
    for (std::size_t i : namedOrCurrent("\n输入使用线型 " + name + " 的图层名列表 <" + d_.header.currentLayer + ">: ")) {
      db::Layer l = d_.layers()[i];
      l.linetype = name;
      change(i, std::move(l));
    }
  }

  void lineweight() {
    std::int16_t weight = 0;
    std::string typed;
    for (;;) {
      if (!askText("\n输入线宽 (0.00-2.11 毫米或“默认”): ", typed)) return;
      if (prompt::trimBlanks(typed).empty()) return;
      if (const auto w = parseLayerLineweight(typed)) {
        weight = *w;
        break;
      }
      say("\n线宽“" + typed + "”无效：应为 0.00 到 2.11 毫米之间的标准线宽或“默认”。");
    }
    for (std::size_t i : namedOrCurrent("\n输入使用线宽 " + std::string(prompt::trimBlanks(typed)) + " 的图层名列表 <" +
                                        d_.header.currentLayer + ">: ")) {
      db::Layer l = d_.layers()[i];
      l.lineweight = weight;
      change(i, std::move(l));
    }
  }

  void plotting() {
    auto& prompts = s_.prompts();
    prompts.initGet(0, "Plot No");
    const Status st = prompts.getKeyword("\n输入打印选项 [打印(P)/不打印(N)] <打印>: ");
    if (st != Status::Keyword && st != Status::None) return;
    const bool plots = st == Status::None || prompts.lastKeyword() == "Plot";
    for (std::size_t i : namedOrCurrent(std::string(plots ? "\n输入要打印的图层名列表 <" : "\n输入不打印的图层名列表 <") +
                                        d_.header.currentLayer + ">: "))
      change(i, withPlotting(d_.layers()[i], plots));
  }

  // Through the one-line form, which checks the names and says why a layer cannot go.
  void rename() {
    std::string from, to;
    if (!askText("\n输入要重命名的图层名: ", from) || prompt::trimBlanks(from).empty()) return;
    if (!askText("\n输入新图层名: ", to) || prompt::trimBlanks(to).empty()) return;
    if (to.find(',') != std::string::npos) {
      say("\n图层名“" + to + "”无效。");
      return;
    }
    layerFromLine(s_, "R " + from + "," + to);
  }

  void remove() {
    std::string names;
    if (!askText("\n输入要删除的图层名列表: ", names) || prompt::trimBlanks(names).empty()) return;
    layerFromLine(s_, "D " + names);
  }

  void list() {
    say("\n图层名                状态          颜色        线型");
    for (const db::Layer& l : d_.layers()) {
      std::string name = l.name;
      std::string row = "\n" + name + std::string(name.size() < 22 ? 22 - name.size() : 1, ' ');
      row += std::string(l.color < 0 ? "关" : "开") + " " + ((l.flags & 1) ? "冻结" : "解冻");
      row += isCurrent(l) ? " 当前    " : "         ";
      std::string c = std::to_string(std::abs(l.color));
      row += c + std::string(c.size() < 12 ? 12 - c.size() : 1, ' ') + l.linetype;
      say(row);
    }
    say("\n当前图层: " + d_.header.currentLayer);
  }

  Session& s_;
  db::Database& d_;
};

}  // namespace

std::vector<Session::HostCommand> layerCommands() {
  return {
      {.name = "LAYER",
       .description = "新建图层、设置当前图层，打开、关闭、冻结、解冻图层，设置图层的颜色和线型",
       .run =
           [](Session& s) {
             if (!s.commandArgument().empty()) layerFromLine(s, s.commandArgument());
             else LayerDialogue(s).run();
           },
       .undoable = true,
       .aliases = {"LA"},
       .takesArgument = true,
       .help = "反复询问选项直到回车：?列出图层；M 生成图层并置为当前；S 设置当前图层；N 新建图层（名称用逗号分隔）；ON、OFF 打开、关闭图层；F、T 冻结、解冻图层（可用 *）；C 设置图层颜色；L 设置图层线型；也可以回答 LO、U 锁定、解锁图层，LW 设置图层线宽，P 设置图层打印与否，R 重命名图层，D 删除图层。新对象（包括模块画的）放在当前图层上，当前图层随图形保存。整个命令可以一次放弃。"
               "也可以把一个选项写在命令后一次完成（窗口的图层控件和图层管理器就这样做）：LAYER ON（OFF、F、T、LO 锁定、U 解锁）名称列表，"
               "LAYER C 颜色 名称列表，LAYER L 线型 名称列表，LAYER LW 线宽（毫米或“默认”） 名称列表，LAYER P Y（或 N，不打印） 名称列表，"
               "LAYER N 名称列表，LAYER S 名称，LAYER M 名称，LAYER R 旧名,新名（重命名，图层上的对象随之改名），LAYER D 名称列表（删除没有对象使用的图层；0、DEFPOINTS 和当前图层不能删除）。锁定图层上的对象仍然显示并可以捕捉，但在窗口中不能点选来编辑。",
       .menu = {"格式", "图层", true}},
  };
}

}  // namespace orv::app
