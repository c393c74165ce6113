// LAYER: making layers, the current layer, and each layer's state, colour and
// linetype, asked option by option until Enter; the whole command is one step of UNDO.
// Beyond the options the prompt lists, the dialogue takes those of the one-line form
// (LO, U, LW, P, R, D), so that a window user can type every change the layer manager
// makes.
#include <cstdlib>
#include <optional>
#include <string>
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
      else if (option == "Make") names("M", "\n输入新图层的名称（成为当前图层） <" + d_.header.currentLayer + ">: ");
      else if (option == "New") names("N", "\n输入新图层的名称列表: ");
      else if (option == "Set") names("S", "\n输入要置为当前的图层名 <" + d_.header.currentLayer + ">: ");
      else if (option == "ON") names("ON", "\n输入要打开的图层名列表: ");
      else if (option == "OFF") names("OFF", "\n输入要关闭的图层名列表: ");
      else if (option == "Freeze") names("F", "\n输入要冻结的图层名列表: ");
      else if (option == "Thaw") names("T", "\n输入要解冻的图层名列表: ");
      else if (option == "LOck") names("LO", "\n输入要锁定的图层名列表: ");
      else if (option == "Unlock") names("U", "\n输入要解锁的图层名列表: ");
      else if (option == "Color") colour();
      else if (option == "Ltype") linetype();
      else if (option == "LWeight") lineweight();
      else if (option == "Plot") plotting();
      else if (option == "Rename") rename();
      else if (option == "Delete") names("D", "\n输入要删除的图层名列表: ");
    }
  }

 private:
  // Every change goes through the one-line form, which checks the names and says why a
  // layer cannot take it; the dialogue only asks.
  void say(const std::string& text) { s_.console().print(text); }

  bool askText(std::string_view prompt, std::string& out) {
    return s_.prompts().getString(prompt, true, 4096, out) == Status::Normal;
  }

  // A list of names for `option`; Enter changes nothing.
  void names(const std::string& option, const std::string& prompt) {
    std::string text;
    if (!askText(prompt, text) || prompt::trimBlanks(text).empty()) return;
    layerFromLine(s_, option + " " + text);
  }

  // `option` and its value for the layers a list names, the current one on Enter.
  void namesOrCurrent(const std::string& optionAndValue, std::string_view prompt) {
    std::string text;
    if (!askText(prompt, text)) return;
    if (prompt::trimBlanks(text).empty()) text = d_.header.currentLayer;
    layerFromLine(s_, optionAndValue + " " + text);
  }

  std::string onEnter() const { return " 的图层名列表 <" + d_.header.currentLayer + ">: "; }

  void colour() {
    std::optional<int> index;
    while (!index) {
      std::string text;
      if (!askText("\n输入颜色名或编号 (1-255): ", text) || prompt::trimBlanks(text).empty()) return;
      index = parseLayerColour(text);
      if (!index) say("\n颜色须是 1 到 255 之间的编号或颜色名。");
    }
    const std::string c = std::to_string(*index);
    namesOrCurrent("C " + c, "\n输入要设置颜色 " + c + onEnter());
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
    namesOrCurrent("L " + name, "\n输入使用线型 " + name + onEnter());
  }

  void lineweight() {
    std::string typed;
    for (;;) {
      if (!askText("\n输入线宽 (0.00-2.11 毫米或“默认”): ", typed) || prompt::trimBlanks(typed).empty()) return;
      if (parseLayerLineweight(typed)) break;
      say("\n线宽“" + typed + "”无效：应为 0.00 到 2.11 毫米之间的标准线宽或“默认”。");
    }
    const std::string w(prompt::trimBlanks(typed));
    namesOrCurrent("LW " + w, "\n输入使用线宽 " + w + onEnter());
  }

  void plotting() {
    auto& prompts = s_.prompts();
    prompts.initGet(0, "Plot No");
    const Status st = prompts.getKeyword("\n输入打印选项 [打印(P)/不打印(N)] <打印>: ");
    if (st != Status::Keyword && st != Status::None) return;
    const bool plots = st == Status::None || prompts.lastKeyword() == "Plot";
    namesOrCurrent(plots ? "P Y" : "P N", std::string(plots ? "\n输入要打印" : "\n输入不打印") + onEnter());
  }

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

  bool isCurrent(const db::Layer& l) const { return db::foldName(l.name) == db::foldName(d_.header.currentLayer); }

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
