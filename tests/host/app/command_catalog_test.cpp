// Every command describes itself once, completely: HELP, the window's menus and the
// command line all read the same definition.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>

#include "command_catalog.h"
#include "orv/modules/command_registry.h"
#include "orv/prompt/script_console.h"
#include "orv/text/case_fold.h"
#include "session.h"

namespace {

using namespace orv;

bool hasChinese(std::string_view s) {
  return std::any_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) >= 0xE4; });
}

bool isMenu(std::string_view name) {
  return std::find(std::begin(app::kMenuOrder), std::end(app::kMenuOrder), name) != std::end(app::kMenuOrder);
}

TEST(CommandCatalog, everyHostCommandHasHelpAMenuThatExistsAndNamesNoOtherCommand) {
  std::istringstream in;
  std::ostringstream out;
  prompt::ScriptConsole console(in, out);
  app::Session session(console);
  std::set<std::string> typed;
  for (const auto& c : session.hostCommands()) {
    SCOPED_TRACE(c.name);
    EXPECT_TRUE(hasChinese(c.description));
    EXPECT_TRUE(hasChinese(c.help));
    EXPECT_TRUE(c.run);
    if (!c.menu.menu.empty()) {
      EXPECT_TRUE(isMenu(c.menu.menu)) << c.menu.menu;
      EXPECT_FALSE(c.menu.label.empty());
    }
    EXPECT_TRUE(c.menu.menu.empty() ? !c.menu.toolBar : true) << "a tool bar button belongs to a menu";
    // A name or alias typed at the command line means one command.
    EXPECT_TRUE(typed.insert(text::foldCase(c.name)).second) << c.name;
    for (const std::string& a : c.aliases) EXPECT_TRUE(typed.insert(text::foldCase(a)).second) << a;
  }
}

TEST(CommandCatalog, moduleCommandsAreFoundByEitherNameInAnyCaseAndAllSitInThePipeMenu) {
  for (const app::ModuleCommandInfo& c : app::moduleCommandInfos()) {
    SCOPED_TRACE(c.local);
    EXPECT_EQ(app::moduleCommandInfo(c.local), &c);
    EXPECT_EQ(app::moduleCommandInfo(c.global), &c);
    std::string lower(c.global);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char ch) { return std::tolower(ch); });
    EXPECT_EQ(app::moduleCommandInfo(lower), &c);
    EXPECT_EQ(c.menu.menu, "管道");
    EXPECT_TRUE(hasChinese(c.help));
  }
  EXPECT_EQ(app::moduleCommandInfo("NOSUCH"), nullptr);
  EXPECT_EQ(app::moduleCommandInfo(""), nullptr);
}

}  // namespace
