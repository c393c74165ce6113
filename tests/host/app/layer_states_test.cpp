// LAYER's one-line form from a script: states, colour, linetype, lineweight and plotting
// of named layers changed, layers made, made current, renamed and deleted, each one step
// of UNDO; refusals in Chinese with nothing changed; the plotting flag kept with the
// layer's other tags.
#include "scripted_session.h"

#include "layer_states.h"

namespace {

using namespace orv;
using namespace orv::apptest;

// The layer table in order, each layer with what differs from a new layer's values, then
// "/" the line's layer and "/" $CLAYER.
std::string layers(const db::Database& d) {
  std::string got;
  for (const db::Layer& l : d.layers()) {
    got += (got.empty() ? "" : " ") + l.name;
    if (l.color != 7) got += " c" + std::to_string(l.color);
    if (l.flags != 0) got += " f" + std::to_string(l.flags);
    if (l.linetype != "Continuous") got += " " + l.linetype;
    if (l.lineweight != -3) got += " lw" + std::to_string(l.lineweight);
    if (!app::layerPlots(l)) got += " noplot";
  }
  got += "/";
  d.forEachEntity(d.modelSpace(), [&](db::ObjectId, const db::Entity& e) { got += d.name(e.layer); });
  return got + "/" + d.header.currentLayer;
}

TEST(LayerOneLine, changesTheNamedLayersAndRefusesWhatCannotBe) {
  const std::string kSame = "0 PIPE WALL SPARE/PIPE/0";
  const struct {
    const char* what;
    std::string script;  // after PIPE (a line on it), WALL and SPARE are made, 0 current
    std::string layers, message;
  } cases[] = {
      {"off, both named", "LAYER OFF PIPE, wall\n", "0 PIPE c-7 WALL c-7 SPARE/PIPE/0", ""},
      {"off then on", "LAYER OFF PIPE\nLAYER ON pipe\n", kSame, ""},
      {"frozen and thawed", "LAYER F PIPE\nLAYER T PIPE\n", kSame, ""},
      {"locked and frozen, then unlocked", "LAYER LO PIPE\nLAYER F PIPE\nLAYER U PIPE\n",
       "0 PIPE f1 WALL SPARE/PIPE/0", ""},
      {"locked, undone and redone", "LAYER LO PIPE\nUNDO\nREDO\n", "0 PIPE f4 WALL SPARE/PIPE/0", ""},
      {"a colour by name keeps the layer off", "LAYER OFF PIPE\nLAYER C 红 PIPE\n", "0 PIPE c-1 WALL SPARE/PIPE/0", ""},
      {"a colour out of range", "LAYER C 256 PIPE\n", kSame, "颜色须是 1 到 255"},
      {"a linetype not loaded", "LAYER L NOPE PIPE\n", kSame, "找不到线型“NOPE”"},
      {"a linetype loaded", "LAYER L dashed PIPE\n", "0 PIPE DASHED WALL SPARE/PIPE/0", ""},
      {"a lineweight", "LAYER LW 0.5mm PIPE\n", "0 PIPE lw50 WALL SPARE/PIPE/0", ""},
      {"a lineweight back to the default", "LAYER LW 0.5mm PIPE\nLAYER LW 默认 PIPE\n", kSame, ""},
      {"a lineweight not standard", "LAYER LW 0.36 PIPE\n", kSame, "线宽“0.36”无效"},
      {"not plotted", "LAYER P N PIPE\n", "0 PIPE noplot WALL SPARE/PIPE/0", ""},
      {"plotted again", "LAYER P N PIPE\nLAYER P Y PIPE\n", kSame, ""},
      {"plotting answered wrongly", "LAYER P X PIPE\n", kSame, "是否打印须答 Y"},
      {"made current", "LAYER S wall\n", "0 PIPE WALL SPARE/PIPE/WALL", ""},
      {"a layer that is not there", "LAYER OFF NOPE,PIPE\n", "0 PIPE c-7 WALL SPARE/PIPE/0", "找不到图层“NOPE”"},
      {"a new layer made current", "LAYER M 新层\n", "0 PIPE WALL SPARE 新层/PIPE/新层", ""},
      {"an option that is none", "LAYER X PIPE\n", kSame, "无效的图层选项“X PIPE”"},
      {"no names", "LAYER OFF  \n", kSame, ""},
      {"undone whole", "LAYER OFF PIPE,WALL\nUNDO\n", kSame, ""},
      {"renamed by comma, the current layer following", "LAYER S PIPE\nLAYER R PIPE,管道 1\n",
       "0 管道 1 WALL SPARE/管道 1/管道 1", ""},
      {"renamed by blank", "LAYER R wall 墙\n", "0 PIPE 墙 SPARE/PIPE/0", ""},
      {"renamed in case only", "LAYER R pipe,Pipe\n", "0 Pipe WALL SPARE/Pipe/0", ""},
      {"renamed to a name not allowed", "LAYER R PIPE,A*B\n", kSame, "图层名“A*B”无效。"},
      {"no such layer renamed", "LAYER R NOPE,X\n", kSame, "找不到图层“NOPE”。"},
      {"a new name missing", "LAYER R PIPE\n", kSame, "须给出旧图层名和新图层名"},
      {"unused ones deleted", "LAYER D wall, SPARE\n", "0 PIPE/PIPE/0", ""},
      {"the current one not deleted", "LAYER S PIPE\nLAYER D PIPE\n", "0 PIPE WALL SPARE/PIPE/PIPE",
       "不能删除当前图层“PIPE”。"},
      {"layer 0 not deleted, the next one is", "LAYER D 0,SPARE\n", "0 PIPE WALL/PIPE/0", "不能删除图层“0”。"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScriptedSession s("LAYER M PIPE\nLINE\n0,0\n10,0\n\nLAYER N WALL,SPARE\nLAYER S 0\n" + c.script);
    EXPECT_EQ(layers(s.database()), c.layers) << s.transcript();
    EXPECT_TRUE(s.said(c.message)) << s.transcript();
  }
}

TEST(LayerOneLine, plottingFlagReplacesItsTagAndKeepsTheOthersInPlace) {
  db::Layer l;
  l.extras.add(1001, "APP", 3);
  l.extras.add(1000, "kept", 3);
  const db::Layer off = app::withPlotting(app::withPlotting(l, false), false);
  std::vector<std::pair<int, std::string>> tags;
  for (db::RawTag t : off.extras) tags.emplace_back(t.code, std::string(t.value));
  EXPECT_EQ(tags, (std::vector<std::pair<int, std::string>>{{290, "0"}, {1001, "APP"}, {1000, "kept"}}));
  const db::Layer on = app::withPlotting(off, true);
  EXPECT_TRUE(app::layerPlots(on));
  EXPECT_EQ(on.extras.size(), 3u);
}

}  // namespace
