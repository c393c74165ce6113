// CHPROP: the colour, layer or linetype of a selection changed, one step of UNDO; what
// the window's properties panel runs for each change ("CHPROP LA 管道" on one line).
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "orv/prompt/reply_parser.h"
#include "session.h"

namespace orv::app {

namespace {

using prompt::Status;

constexpr std::string_view kWhich = "\n输入要更改的特性 [颜色(C)/图层(LA)/线型(LT)]: ";

std::string upper(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

// The tags with group `code` set to `value`: changed where it stands, or added after the
// layer (8) when the entity had none.
db::RawTags withProperty(const db::RawTags& tags, int code, std::string_view value) {
  db::RawTags out;
  bool found = false;
  for (db::RawTag t : tags) found = found || t.code == code;
  bool inGroup = false, added = false;
  for (db::RawTag t : tags) {
    if (t.code == 102) inGroup = !t.value.empty() && t.value.front() == '{';
    out.add(t.code, t.code == code && !inGroup ? value : t.value, t.slot);
    if (!found && !added && !inGroup && t.code == 8) {
      out.add(code, value, t.slot);
      added = true;
    }
  }
  return out;
}

// A colour as typed: 1..255, BYLAYER or BYBLOCK.
std::optional<std::int16_t> colourOf(std::string_view text) {
  const std::string t = upper(prompt::trimBlanks(text));
  if (t == "BYLAYER" || t == "随层") return db::color::byLayer;
  if (t == "BYBLOCK" || t == "随块") return db::color::byBlock;
  int n = 0;
  if (prompt::parseInt(t, n) != prompt::IntParse::Ok || n < 1 || n > 255) return std::nullopt;
  return static_cast<std::int16_t>(n);
}

class PropertyChange {
 public:
  explicit PropertyChange(Session& s) : s_(s), d_(s.database()) {}

  // One property given as "KEY VALUE"; false (with a message) when it cannot be.
  bool apply(const core::SelectionSet& set, std::string_view key, std::string_view value) {
    const std::string k = upper(key);
    value = prompt::trimBlanks(value);
    if (k == "C") {
      const auto colour = colourOf(value);
      if (!colour) return refuse("\n颜色应为 1 到 255 之间的整数、BYLAYER 或 BYBLOCK。");
      change(set, [&](db::Entity& e) { e.color = *colour; }, 62, std::to_string(*colour));
      return true;
    }
    if (k == "LA") {
      const db::Layer* layer = d_.layers().get(value);
      if (!layer) return refuse("\n找不到图层“" + std::string(value) + "”。");
      const std::string name = layer->name;
      const db::NameId id = d_.intern(name);
      change(set, [&](db::Entity& e) { e.layer = id; }, 8, name);
      return true;
    }
    if (k == "LT") {
      std::string name(value);
      const std::string u = upper(value);
      if (u == "BYLAYER") name = "ByLayer";
      else if (u == "BYBLOCK") name = "ByBlock";
      else if (const db::Linetype* lt = d_.linetypes().get(value)) name = lt->name;
      else return refuse("\n找不到线型“" + std::string(value) + "”。");
      const db::NameId id = d_.intern(name);
      change(set, [&](db::Entity& e) { e.linetype = id; }, 6, name);
      return true;
    }
    return refuse("\n无效的特性。");
  }

 private:
  bool refuse(const std::string& message) {
    s_.console().print(message);
    return false;
  }

  // Each entity of the selection changed: a modeled one by its field, one kept as read
  // by its group code.
  template <class SetField>
  void change(const core::SelectionSet& set, SetField setField, int code, const std::string& value) {
    // The entity that stands for a group: attributes and vertices keep their own.
    for (db::ObjectId id : set.ids()) {
      const db::Entity* e = d_.entity(id);
      if (!e || e->isErased()) continue;
      db::Entity changed = *e;
      if (auto* kept = changed.as<db::UnknownEntity>()) {
        kept->tags = withProperty(kept->tags, code, value);
      } else {
        setField(changed);
      }
      d_.replace(id, std::move(changed));
    }
  }

  Session& s_;
  db::Database& d_;
};

void chprop(Session& s) {
  const bool given = !s.commandArgument().empty();
  // Chosen before the command (the window's selection): it stays chosen afterwards.
  const bool chosenBefore = !s.selector().current().empty();
  auto set = s.selectObjects();
  if (!set || set->empty()) return;
  PropertyChange change(s);
  if (given) {
    const std::string arg = s.commandArgument();
    const auto blank = arg.find_first_of(" \t");
    change.apply(*set, arg.substr(0, blank), blank == std::string::npos ? "" : arg.substr(blank + 1));
    if (chosenBefore) s.selector().setCurrent(*set);  // the panel goes on showing it
    return;
  }
  auto& prompts = s.prompts();
  for (;;) {
    prompts.initGet(0, "C LA LT");
    if (prompts.getKeyword(kWhich) != Status::Keyword) return;
    const std::string key = prompts.lastKeyword().value_or("");
    const char* ask = key == "C" ? "\n新颜色 [随层(BYLAYER)/随块(BYBLOCK)]: " : key == "LA" ? "\n新图层名: " : "\n新线型名: ";
    std::string value;
    if (prompts.getString(ask, true, 255, value) != Status::Normal) return;
    change.apply(*set, key, value);
  }
}

// CLAYER: the layer new entities go on.
void clayer(Session& s) {
  std::string name = s.commandArgument();
  if (name.empty() &&
      s.prompts().getString("\n输入 CLAYER 的新值 <" + s.database().header.currentLayer + ">: ", true, 255, name) !=
          Status::Normal)
    return;
  name = std::string(prompt::trimBlanks(name));
  if (name.empty()) return;
  if (s.database().setCurrentLayer(name) != db::Status::ok) s.console().print("\n找不到图层“" + name + "”。");
}

}  // namespace

std::vector<Session::HostCommand> propertyCommands() {
  return {
      {.name = "CHPROP", .description = "更改选中对象的颜色、图层或线型", .run = chprop, .undoable = true,
       .aliases = {"CH"}, .takesArgument = true,
       .help = "选择对象（已选中的对象不再询问），再逐项回答要更改的特性：颜色(C) 为 1 到 255、BYLAYER 或 BYBLOCK，"
               "图层(LA) 为已有的图层名，线型(LT) 为已有的线型名、BYLAYER 或 BYBLOCK，直到回车。也可以写在命令后"
               "一次改一项，如 CHPROP LA 管道。窗口的特性面板（Ctrl+1）用它改变选中的对象。"},
      {.name = "CLAYER", .description = "设置当前图层（新对象所在的图层）", .run = clayer, .undoable = true,
       .takesArgument = true,
       .help = "输入已有图层的名称，使它成为当前图层；也可以写在命令后，如 CLAYER 管道。窗口工具栏的图层控件用它。"},
  };
}

}  // namespace orv::app
