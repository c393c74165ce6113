// Snap overrides at point prompts: "END" and the others ask "于" for a point and give
// what the drawing finds there; an armed keyword wins, and only point prompts take them.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "orv/prompt/engine.h"
#include "orv/prompt/script_console.h"

namespace orv::prompt {
namespace {

// Finds an endpoint at (10, 0) for points within 1 of it; records what it was asked.
struct OneEndpoint final : SnapProvider {
  std::vector<std::optional<Point3>> bases;
  std::optional<Point3> snapPoint(SnapKind kind, const Point3& at, const std::optional<Point3>& base) override {
    bases.push_back(base);
    if (kind != SnapKind::endpoint || std::hypot(at.x - 10, at.y) > 1) return std::nullopt;
    return Point3{10, 0, 0};
  }
};

TEST(SnapOverride, asksForThePointAndGivesTheSnapOrAsksAgain) {
  struct Case {
    const char* what;
    const char* script;
    const char* keywords;
    Status status;
    Point3 point;
    const char* said;  // in the transcript
  } cases[] = {
      {"found", "END\n9.6,0.3\n", "", Status::Normal, {10, 0, 0}, "\n点: END\n\n于 9.6,0.3\n"},
      {"any case, longer names", "endp\n10,0.5\n", "", Status::Normal, {10, 0, 0}, "\n于 10,0.5\n"},
      {"nothing there", "END\n5,5\n3,4\n", "", Status::Normal, {3, 4, 0}, "\n于 5,5\n\n未找到捕捉点。\n点: 3,4"},
      {"another kind finds nothing", "MID\n10,0\n\n", "", Status::None, {}, "\n未找到捕捉点。\n点: "},
      {"Enter at 于 asks the prompt again", "END\n\n1,2\n", "", Status::Normal, {1, 2, 0}, "\n于 \n\n点: 1,2"},
      {"a bad point at 于", "END\nxyz\n9.9,0\n", "", Status::Normal, {10, 0, 0}, "\n于 xyz\n\n点无效。\n于 9.9,0"},
      {"an armed keyword wins", "END\n", "END Undo", Status::Keyword, {}, "\n点: END\n"},
      {"a snap name is no keyword", "xyz\nINT\n5,5\n\n", "Undo", Status::None, {}, "需要点或选项关键字。"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::istringstream in(c.script);
    std::ostringstream out;
    ScriptConsole console(in, out);
    PromptEngine engine(console);
    OneEndpoint snaps;
    engine.setSnapProvider(&snaps);
    engine.initGet(0, c.keywords);
    Point3 p;
    EXPECT_EQ(engine.getPoint("\n点: ", Point3{1, 1, 0}, p), c.status);
    if (c.status == Status::Normal) {
      EXPECT_EQ(p, c.point);
      EXPECT_EQ(engine.lastPoint(), c.point);
    }
    EXPECT_NE(out.str().find(c.said), std::string::npos) << out.str();
    for (const auto& base : snaps.bases) EXPECT_EQ(base, (Point3{1, 1, 0})) << "the prompt's base point";
  }
}

TEST(SnapOverride, onlyPointAndCornerPromptsTakeThem) {
  std::istringstream in("END\n9.9,0\nEND\n9.9,0\n");
  std::ostringstream out;
  ScriptConsole console(in, out);
  PromptEngine engine(console);
  OneEndpoint snaps;
  engine.setSnapProvider(&snaps);
  Point3 p;
  EXPECT_EQ(engine.getCorner("\n对角点: ", Point3{0, 0, 0}, p), Status::Normal);
  EXPECT_EQ(p, (Point3{10, 0, 0}));
  // At an entity pick a snap name is no point.
  EXPECT_EQ(engine.getPickPoint("\n选择: ", p), Status::Normal);
  EXPECT_EQ(p, (Point3{9.9, 0, 0}));
  EXPECT_NE(out.str().find("\n选择: END\n\n点无效。"), std::string::npos) << out.str();
}

}  // namespace
}  // namespace orv::prompt
