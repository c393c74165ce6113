// "选择对象:" with locked layers: what lies on one is found, counted apart and not
// chosen, whichever way it was reached (a pick, a window, a crossing, ALL, the previous
// set, the selection made before the command); snaps still find it.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "orv/core/selection.h"
#include "orv/core/snaps.h"
#include "orv/core/spatial_index.h"
#include "orv/prompt/script_console.h"

namespace orv::core {
namespace {

// Two lines on PIPE (locked: y = 0 and y = 10) and one on layer 0 (y = 20), x from 0 to 10.
struct Drawing {
  Document doc;
  db::Database& d = doc.database();
  SpatialIndex index{doc};
  db::ObjectId pipe1, pipe2, free;
  Drawing() {
    db::Layer locked;
    locked.name = "PIPE";
    locked.flags = 4;
    d.addLayer(locked);
    pipe1 = line(0, "PIPE");
    pipe2 = line(10, "pipe");  // the same layer in another spelling
    free = line(20, "0");
  }
  db::ObjectId line(double y, const char* layer) {
    db::Entity e(db::Line{{0, y, 0}, {10, y, 0}});
    e.layer = d.intern(layer);
    return *d.appendRead(std::move(e), d.modelSpace(), 0, {});
  }
};

TEST(LockedLayers, whatLiesOnOneIsFoundButNotChosen) {
  enum class Before { none, current, previous };  // all three lines set so before asking
  struct Case {
    const char* what;
    std::string script;  // the replies to "选择对象:", Enter included
    Before before;
    std::size_t chosen;  // of the line on layer 0: 0 or 1
    const char* said;    // the dialogue's last count
  };
  const Case cases[] = {
      {"a pick", "5,0\n\n", Before::none, 0, "找到 1 个\n1 个在锁定的图层上。"},
      {"a pick beside", "5,20\n\n", Before::none, 1, "找到 1 个"},
      {"a window", "W\n-1,-1\n11,21\n\n", Before::none, 1, "找到 3 个\n2 个在锁定的图层上。"},
      {"a crossing", "C\n5,-1\n6,11\n\n", Before::none, 0, "找到 2 个\n2 个在锁定的图层上。"},
      {"all", "ALL\n\n", Before::none, 1, "找到 3 个\n2 个在锁定的图层上。"},
      {"all then removed", "ALL\nR\nALL\n\n", Before::none, 0, "找到 3 个，删除 1 个，总计 0 个\n2 个在锁定的图层上。"},
      {"the previous set", "P\n\n", Before::previous, 1, "找到 3 个\n2 个在锁定的图层上。"},
      // Chosen before the layer was locked, say: taken without asking.
      {"the set chosen before the command", "", Before::current, 1, ""},
  };
  for (const Case& c : cases) {
    Drawing w;
    std::istringstream in(c.script);
    std::ostringstream out;
    prompt::ScriptConsole console(in, out);
    prompt::PromptEngine prompts(console);
    Selector selector(prompts, w.index);
    SelectionSet before;
    for (db::ObjectId id : {w.pipe1, w.free, w.pipe2}) before.add(id);
    if (c.before == Before::current) selector.setCurrent(before);
    if (c.before == Before::previous) selector.setPrevious(before);
    const auto set = selector.select(0.5);
    ASSERT_TRUE(set) << c.what << "\n" << out.str();
    EXPECT_EQ(set->size(), c.chosen) << c.what << "\n" << out.str();
    EXPECT_FALSE(set->contains(w.pipe1) || set->contains(w.pipe2)) << c.what;
    EXPECT_NE(out.str().find(c.said), std::string::npos) << c.what << "\n" << out.str();
  }
}

TEST(LockedLayers, snapsStillFindWhatLiesOnOne) {
  Drawing w;
  Snapper snapper(w.index, [] { return 1.0; });
  const auto end = snapper.find(prompt::SnapKind::endpoint, {9.8, 0.2}, 1.0);
  ASSERT_TRUE(end);
  EXPECT_EQ(end->entity, w.pipe1);
}

}  // namespace
}  // namespace orv::core
