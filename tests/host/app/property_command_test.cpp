// CHPROP (asked, and on one line as the properties panel gives it) and CLAYER from a script: each property of a selection changed, bad replies
// refused with a message and nothing changed, the current layer set.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "orv/prompt/script_console.h"
#include "session.h"

namespace {

using namespace orv;

struct Ran {
  std::string transcript;
  std::string layer, linetype, currentLayer;
  int color = 0;
};

Ran run(const std::string& script) {
  std::istringstream in("LINE\n0,0\n10,0\n\nLAYER\nN\nPIPE\n\n" + script);
  std::ostringstream out;
  prompt::ScriptConsole console(in, out);
  app::Session session(console);
  session.run();
  Ran r;
  r.transcript = out.str();
  const db::Database& d = session.database();
  d.forEachEntity(d.modelSpace(), [&](db::ObjectId, const db::Entity& e) {
    r.layer = d.name(e.layer);
    r.linetype = d.name(e.linetype);
    r.color = e.color;
  });
  r.currentLayer = d.header.currentLayer;
  return r;
}

TEST(PropertyCommands, changeWhatTheyAreGivenAndRefuseWhatIsNotThere) {
  struct Case {
    const char* what;
    std::string script;
    std::string layer, linetype;
    int color;
    std::string currentLayer, message;
  };
  const Case cases[] = {
      {"each asked in turn", "CHPROP\nL\n\nLA\npipe\nC\n3\nLT\nbyblock\n\n", "PIPE", "ByBlock", 3, "0", ""},
      {"one on the command's line", "CHPROP C BYBLOCK\nL\n\n", "0", "ByLayer", 0, "0", ""},
      {"a colour out of range", "CHPROP\nL\n\nC\n256\n\n", "0", "ByLayer", 256, "0", "颜色无效"},
      {"a layer that is not there", "CHPROP LA NOPE\nL\n\n", "0", "ByLayer", 256, "0", "找不到图层“NOPE”"},
      {"a linetype that is not there", "CHPROP LT NOPE\nL\n\n", "0", "ByLayer", 256, "0", "线型“NOPE”未加载"},
      {"the current layer", "CLAYER PIPE\nLINE\n0,5\n10,5\n\n", "PIPE", "ByLayer", 256, "PIPE", ""},
      {"a current layer that is not there", "CLAYER NOPE\n", "0", "ByLayer", 256, "0", "找不到图层“NOPE”"},
      {"undone", "CHPROP LA PIPE\nL\n\nUNDO\n", "0", "ByLayer", 256, "0", ""},
      // A selection made in the command is not left chosen for the next one.
      {"the next command asks", "CHPROP C 3\nL\n\nERASE\nL\n\nUNDO\n", "0", "ByLayer", 3, "0", "找到 1 个"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Ran r = run(c.script);
    EXPECT_EQ(r.layer, c.layer) << r.transcript;
    EXPECT_EQ(r.linetype, c.linetype);
    EXPECT_EQ(r.color, c.color);
    EXPECT_EQ(r.currentLayer, c.currentLayer);
    if (!c.message.empty()) {
      EXPECT_NE(r.transcript.find(c.message), std::string::npos) << r.transcript;
    }
  }
}

}  // namespace
