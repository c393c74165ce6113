// LAYER's one-line form from a script: each state, colour, linetype, lineweight and
// plotting of named layers changed as one step of UNDO, refusals in Chinese with nothing
// changed, and the plotting flag kept with the layer's other tags.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "layer_states.h"
#include "orv/prompt/script_console.h"
#include "session.h"

namespace {

using namespace orv;

struct Layers {
  std::string transcript;
  db::Layer pipe, wall;
  std::string current;
};

Layers run(const std::string& script) {
  std::istringstream in("LAYER\nN\nPIPE,WALL\n\n" + script);
  std::ostringstream out;
  prompt::ScriptConsole console(in, out);
  app::Session session(console);
  session.run();
  const db::Database& d = session.database();
  Layers r;
  r.transcript = out.str();
  if (const db::Layer* l = d.layers().get("PIPE")) r.pipe = *l;
  if (const db::Layer* l = d.layers().get("WALL")) r.wall = *l;
  r.current = d.header.currentLayer;
  return r;
}

TEST(LayerOneLine, changesTheNamedLayersAndRefusesWhatCannotBe) {
  struct Case {
    const char* what;
    std::string script;
    int pipeColor, wallColor;
    int pipeFlags;
    std::string pipeLinetype;
    int pipeWeight;
    bool pipePlots;
    std::string current, message;
  };
  const Case cases[] = {
      {"off, both named", "LAYER OFF PIPE, wall\n", -7, -7, 0, "Continuous", -3, true, "0", ""},
      {"off then on", "LAYER OFF PIPE\nLAYER ON pipe\n", 7, 7, 0, "Continuous", -3, true, "0", ""},
      {"frozen", "LAYER F PIPE\n", 7, 7, 1, "Continuous", -3, true, "0", ""},
      {"frozen and thawed", "LAYER F PIPE\nLAYER T PIPE\n", 7, 7, 0, "Continuous", -3, true, "0", ""},
      {"locked", "LAYER LO PIPE\n", 7, 7, 4, "Continuous", -3, true, "0", ""},
      {"locked and frozen, then unlocked", "LAYER LO PIPE\nLAYER F PIPE\nLAYER U PIPE\n", 7, 7, 1, "Continuous", -3,
       true, "0", ""},
      {"a colour by name keeps the layer off", "LAYER OFF PIPE\nLAYER C 红 PIPE\n", -1, 7, 0, "Continuous", -3, true,
       "0", ""},
      {"a colour out of range", "LAYER C 256 PIPE\n", 7, 7, 0, "Continuous", -3, true, "0", "颜色须是 1 到 255"},
      {"a linetype not loaded", "LAYER L NOPE PIPE\n", 7, 7, 0, "Continuous", -3, true, "0", "找不到线型“NOPE”"},
      {"a linetype loaded", "LAYER L dashed PIPE\n", 7, 7, 0, "DASHED", -3, true, "0", ""},
      {"a lineweight", "LAYER LW 0.35 PIPE\n", 7, 7, 0, "Continuous", 35, true, "0", ""},
      {"a lineweight back to the default", "LAYER LW 0.5mm PIPE\nLAYER LW 默认 PIPE\n", 7, 7, 0, "Continuous", -3,
       true, "0", ""},
      {"a lineweight not standard", "LAYER LW 0.36 PIPE\n", 7, 7, 0, "Continuous", -3, true, "0", "线宽“0.36”无效"},
      {"not plotted", "LAYER P N PIPE\n", 7, 7, 0, "Continuous", -3, false, "0", ""},
      {"plotted again", "LAYER P N PIPE\nLAYER P Y PIPE\n", 7, 7, 0, "Continuous", -3, true, "0", ""},
      {"plotting answered wrongly", "LAYER P X PIPE\n", 7, 7, 0, "Continuous", -3, true, "0", "是否打印须答 Y"},
      {"made current", "LAYER S wall\n", 7, 7, 0, "Continuous", -3, true, "WALL", ""},
      {"the current layer is not frozen", "LAYER S PIPE\nLAYER F PIPE\n", 7, 7, 0, "Continuous", -3, true, "PIPE",
       "不能冻结当前图层“PIPE”"},
      {"a frozen layer is not made current", "LAYER F PIPE\nLAYER S PIPE\n", 7, 7, 1, "Continuous", -3, true, "0",
       "不能把冻结的图层“PIPE”置为当前"},
      {"a layer that is not there", "LAYER OFF NOPE,PIPE\n", -7, 7, 0, "Continuous", -3, true, "0",
       "找不到图层“NOPE”"},
      {"a new layer made current", "LAYER M 新层\n", 7, 7, 0, "Continuous", -3, true, "新层", ""},
      {"a new layer with a bad name", "LAYER N A*B\n", 7, 7, 0, "Continuous", -3, true, "0", "图层名“A*B”无效"},
      {"an option that is none", "LAYER X PIPE\n", 7, 7, 0, "Continuous", -3, true, "0", "无效的图层选项“X PIPE”"},
      {"no names", "LAYER OFF  \n", 7, 7, 0, "Continuous", -3, true, "0", ""},
      {"undone whole", "LAYER OFF PIPE,WALL\nUNDO\n", 7, 7, 0, "Continuous", -3, true, "0", ""},
      {"undone and redone", "LAYER LO PIPE\nUNDO\nREDO\n", 7, 7, 4, "Continuous", -3, true, "0", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Layers r = run(c.script);
    EXPECT_EQ(r.pipe.color, c.pipeColor) << r.transcript;
    EXPECT_EQ(r.wall.color, c.wallColor);
    EXPECT_EQ(r.pipe.flags, c.pipeFlags);
    EXPECT_EQ(r.pipe.linetype, c.pipeLinetype);
    EXPECT_EQ(r.pipe.lineweight, c.pipeWeight);
    EXPECT_EQ(app::layerPlots(r.pipe), c.pipePlots);
    EXPECT_EQ(r.current, c.current);
    if (!c.message.empty()) {
      EXPECT_NE(r.transcript.find(c.message), std::string::npos) << r.transcript;
    }
  }
}

TEST(LayerOneLine, plottingFlagReplacesItsTagAndKeepsTheOthersInPlace) {
  db::Layer l;
  l.extras.add(1001, "APP", 3);
  l.extras.add(1000, "kept", 3);
  const db::Layer off = app::withPlotting(l, false);
  std::vector<std::pair<int, std::string>> tags;
  for (db::RawTag t : off.extras) tags.emplace_back(t.code, std::string(t.value));
  const std::vector<std::pair<int, std::string>> expected = {{290, "0"}, {1001, "APP"}, {1000, "kept"}};
  EXPECT_EQ(tags, expected);
  const db::Layer on = app::withPlotting(off, true);
  EXPECT_TRUE(app::layerPlots(on));
  EXPECT_EQ(on.extras.size(), 3u);
  EXPECT_FALSE(app::layerPlots(app::withPlotting(on, false)));
}

}  // namespace
