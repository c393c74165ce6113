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

// LAYER R and LAYER D: what a script asks, what the drawing then holds (the layers in
// order, the line's layer, $CLAYER), and what is refused in Chinese; UNDO takes each back.
TEST(LayerOneLine, renamesAndDeletesLayersAndRefusesWhatCannotBe) {
  struct Case {
    const char* what;
    std::string script;  // after PIPE (a line on it, current) and WALL, SPARE are made
    std::string layers;  // the table afterwards, then "/" the line's layer and "/" $CLAYER
    std::string message;
  };
  const Case cases[] = {
      {"renamed by comma", "LAYER R PIPE,管道 1\n", "0 管道 1 WALL SPARE/管道 1/管道 1", ""},
      {"renamed by blank", "LAYER R wall 墙\n", "0 PIPE 墙 SPARE/PIPE/PIPE", ""},
      {"renamed in case only", "LAYER R pipe,Pipe\n", "0 Pipe WALL SPARE/Pipe/Pipe", ""},
      {"renamed and undone", "LAYER R PIPE,P2\nUNDO\n", "0 PIPE WALL SPARE/PIPE/PIPE", ""},
      {"renamed to a layer there", "LAYER R PIPE,wall\n", "0 PIPE WALL SPARE/PIPE/PIPE", "图层“WALL”已存在。"},
      {"renamed to a name not allowed", "LAYER R PIPE,A*B\n", "0 PIPE WALL SPARE/PIPE/PIPE", "图层名“A*B”无效。"},
      {"layer 0 renamed", "LAYER R 0 ZERO\n", "0 PIPE WALL SPARE/PIPE/PIPE", "不能重命名图层“0”。"},
      {"no such layer renamed", "LAYER R NOPE,X\n", "0 PIPE WALL SPARE/PIPE/PIPE", "找不到图层“NOPE”。"},
      {"a new name missing", "LAYER R PIPE\n", "0 PIPE WALL SPARE/PIPE/PIPE", "须给出旧图层名和新图层名"},
      {"unused ones deleted", "LAYER D wall, SPARE\n", "0 PIPE/PIPE/PIPE", ""},
      {"deleted and undone", "LAYER D SPARE\nUNDO\n", "0 PIPE WALL SPARE/PIPE/PIPE", ""},
      {"the current one", "LAYER D PIPE\n", "0 PIPE WALL SPARE/PIPE/PIPE", "不能删除当前图层“PIPE”。"},
      {"one with an entity", "LAYER S 0\nLAYER D PIPE\n", "0 PIPE WALL SPARE/PIPE/0", "图层“PIPE”上有对象，不能删除。"},
      {"layer 0", "LAYER D 0,SPARE\n", "0 PIPE WALL/PIPE/PIPE", "不能删除图层“0”。"},
      {"a name unknown", "LAYER D NOPE\n", "0 PIPE WALL SPARE/PIPE/PIPE", "找不到图层“NOPE”。"},
  };
  for (const Case& c : cases) {
    std::istringstream in("LAYER M PIPE\nLINE\n0,0\n10,0\n\nLAYER N WALL,SPARE\nLAYER S PIPE\n" + c.script);
    std::ostringstream out;
    prompt::ScriptConsole console(in, out);
    app::Session session(console);
    session.run();
    const db::Database& d = session.database();
    std::string got;
    for (const db::Layer& l : d.layers()) got += (got.empty() ? "" : " ") + l.name;
    got += "/";
    d.forEachEntity(d.modelSpace(), [&](db::ObjectId, const db::Entity& e) { got += d.name(e.layer); });
    got += "/" + d.header.currentLayer;
    EXPECT_EQ(got, c.layers) << c.what << "\n" << out.str();
    if (!c.message.empty()) EXPECT_NE(out.str().find(c.message), std::string::npos) << c.what << "\n" << out.str();
  }
}

}  // namespace
