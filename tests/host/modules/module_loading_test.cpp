// Loading and unloading modules in a session: registration, refusals, lookup.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "orv/prompt/script_console.h"
#include "session.h"

namespace fs = std::filesystem;
using orv::app::Session;

namespace {

fs::path testModule(const char* variant) {
  return fs::path(ORV_TEST_MODULE_DIR) / (std::string("orvtest_") + variant + ".arx");
}

struct Names {
  std::string group, global, local;
  int flags;
  friend bool operator==(const Names&, const Names&) = default;
};

std::vector<Names> registered(Session& s) {
  std::vector<Names> out;
  for (const auto& c : s.commands().commands()) out.push_back({c.group, c.globalName, c.localName, c.flags});
  return out;
}

class ModuleLoading : public ::testing::Test {
 protected:
  std::istringstream in;
  std::ostringstream out;
  orv::prompt::ScriptConsole console{in, out};
  Session session{console};
};

TEST_F(ModuleLoading, pluginRegistersItsCommandsInTableOrderInGroupBasic) {
  auto r = session.modules().load(ORV_PLUGIN_MODULE);
  ASSERT_TRUE(r.ok) << r.message;
  std::vector<Names> expected = {
      {"BASIC", "DrawLine", "GD", 1},
      {"BASIC", "DrawWT", "WT", 1},
      {"BASIC", "DrawUDWT", "DWT", 1},
      {"BASIC", "ChangeLineType", "CLT", 1},
      {"BASIC", "ChangePipeParameters", "CGD", 1},
      {"BASIC", "DrawDXT", "DXT", 1},
      {"BASIC", "DrawFM", "FM", 1},
      {"BASIC", "DrawZDY", "ZDY", 1},
      {"BASIC", "DrawST", "ST", 1},
      {"BASIC", "DrawDX", "DX", 1},
  };
  EXPECT_EQ(registered(session), expected);
  ASSERT_EQ(session.modules().modules().size(), 1u);
  EXPECT_TRUE(session.modules().modules()[0]->unlocked());
  EXPECT_TRUE(session.modules().modules()[0]->mdiAware());
}

TEST_F(ModuleLoading, unloadingRemovesOnlyTheModulesOwnCommands) {
  ASSERT_TRUE(session.modules().load(testModule("good")).ok);
  ASSERT_TRUE(session.modules().load(ORV_PLUGIN_MODULE).ok);
  ASSERT_EQ(session.commands().commands().size(), 11u);

  auto r = session.modules().unload("orvpipe07.arx");
  ASSERT_TRUE(r.ok) << r.message;
  std::vector<Names> expected = {{"BASIC", "TestHello", "THELLO", 1}};
  EXPECT_EQ(registered(session), expected);
  EXPECT_EQ(session.modules().modules().size(), 1u);

  // Loading again after an unload works and registers the commands anew.
  ASSERT_TRUE(session.modules().load(ORV_PLUGIN_MODULE).ok);
  EXPECT_EQ(session.commands().commands().size(), 11u);
}

TEST_F(ModuleLoading, refusesModulesItCannotTrust) {
  auto wrong = session.modules().load(testModule("wrongversion"));
  EXPECT_FALSE(wrong.ok);
  EXPECT_NE(wrong.message.find("API 版本 18"), std::string::npos) << wrong.message;

  auto missingSymbol = session.modules().load(testModule("noversion"));
  EXPECT_FALSE(missingSymbol.ok);
  EXPECT_NE(missingSymbol.message.find("acrxGetApiVersion"), std::string::npos) << missingSymbol.message;

  auto missing = session.modules().load("/nonexistent/orvpipe07.arx");
  EXPECT_FALSE(missing.ok);
  EXPECT_NE(missing.message.find("文件不存在"), std::string::npos);

  fs::path text = fs::temp_directory_path() / "orv-not-a-module.arx";
  std::ofstream(text) << "not a library\n";
  auto notLibrary = session.modules().load(text);
  EXPECT_FALSE(notLibrary.ok);
  fs::remove(text);

  EXPECT_TRUE(session.modules().modules().empty());
  EXPECT_TRUE(session.commands().commands().empty());
}

TEST_F(ModuleLoading, refusesToLoadTwiceAndToUnloadALockedModule) {
  ASSERT_TRUE(session.modules().load(testModule("locked")).ok);
  EXPECT_FALSE(session.modules().load(testModule("locked")).ok);
  auto r = session.modules().unload("orvtest_locked.arx");
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.message.find("锁定"), std::string::npos);
  EXPECT_EQ(session.commands().commands().size(), 1u);
}

TEST_F(ModuleLoading, commandsAreFoundByEitherNameInAnyCaseWithOptionalUnderscore) {
  ASSERT_TRUE(session.modules().load(testModule("good")).ok);
  for (const char* typed : {"THELLO", "thello", "_TestHello", "testhello", "_thello"}) {
    out.str("");
    session.execute(typed);
    EXPECT_EQ(out.str(), "\n你好，测试模块。") << typed;
  }
  out.str("");
  session.execute("NOSUCH");
  EXPECT_EQ(out.str(), "\n未知命令“NOSUCH”。输入 HELP 查看命令列表。");
}

}  // namespace
