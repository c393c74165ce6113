// The distance, angle and scale prompts of the drawing and reshaping commands tell a
// presentation their base point (for the rubber band) and that a number typed there is
// the reply itself, so that a window never reads it as a distance towards its cursor.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <sstream>

#include "orv/prompt/engine.h"
#include "orv/prompt/script_console.h"
#include "session.h"

namespace {

using namespace orv;

// Answers from a script and keeps what each question told the presentation.
class OptionsProbe final : public prompt::Console {
 public:
  explicit OptionsProbe(const std::string& script) : in_(script), script_(in_, out_) {}
  std::map<std::string, prompt::AskOptions> asked;  // by prompt, the last time it was asked

  void print(std::string_view text) override { script_.print(text); }
  void alert(std::string_view text) override { script_.alert(text); }
  prompt::Reply ask(std::string_view prompt, const prompt::AskOptions& options) override {
    asked[std::string(prompt)] = options;
    return script_.ask(prompt, options);
  }
  std::string transcript() const { return out_.str(); }

 private:
  std::istringstream in_;
  std::ostringstream out_;
  prompt::ScriptConsole script_;
};

TEST(MeasurePrompts, aNumberTypedIsTheReplyWhereTheRubberBandIsDrawn) {
  struct Case {
    const char* script;
    const char* prompt;
    std::optional<prompt::Point3> base;  // the rubber band's base the presentation is told
  };
  const Case cases[] = {
      {"C\n10,10\n5\n", "\n指定圆的半径或 [直径(D)]: ", prompt::Point3{10, 10, 0}},
      {"A\nC\n0,0\n5,0\nA\n90\n", "\n指定包含角: ", prompt::Point3{5, 0, 0}},
      {"POL\n4\n0,0\nC\n10\n", "\n指定圆的半径: ", prompt::Point3{0, 0, 0}},
      {"PL\n0,0\nW\n2\n3\n10,0\n\n", "\n指定起点宽度 <0.0000>: ", prompt::Point3{0, 0, 0}},
      {"LINE\n0,0\n1,0\n\nB\nP\n0,0\nALL\n\nI\nP\n3,4\n2\n\n45\n", "\n指定旋转角度 <0>: ", prompt::Point3{3, 4, 0}},
      {"LINE\n0,0\n1,0\n\nB\nP\n0,0\nALL\n\nI\nP\n3,4\n2\n\n45\n", "\n输入 X 比例因子，指定对角点，或 [角点(C)] <1>: ",
       prompt::Point3{3, 4, 0}},
      {"LINE\n0,0\n10,0\n\nO\n2\n5,0\n5,1\n\n", "\n指定偏移距离或 [通过(T)] <通过>: ", std::nullopt},
  };
  for (const Case& c : cases) {
    OptionsProbe probe(c.script);
    app::Session session(probe);
    session.run();
    ASSERT_EQ(probe.asked.count(c.prompt), 1u) << c.script << probe.transcript();
    const prompt::AskOptions& o = probe.asked[c.prompt];
    ASSERT_EQ(o.basePoint.has_value(), c.base.has_value()) << c.script;
    if (c.base) {
      EXPECT_EQ(o.basePoint->x, c.base->x) << c.script;
      EXPECT_EQ(o.basePoint->y, c.base->y) << c.script;
    }
    EXPECT_FALSE(prompt::directDistance(o, "7")) << c.script << ": a number would be a distance to the cursor";
    EXPECT_EQ(probe.transcript().find("需要"), std::string::npos) << c.script << probe.transcript();
  }
}

// POLYGON's radius: a point picked turns the first vertex towards it; a number typed
// leaves it where the polygon's own rule puts it ("@" counts from the centre).
TEST(MeasurePrompts, aPolygonRadiusPickedTurnsItANumberDoesNot) {
  struct Case {
    const char* reply;
    double firstX, firstY;
  };
  const double d = -std::sqrt(50.0);  // a square with no point given stands on its side
  const Case cases[] = {{"0,10", 0, 10}, {"10", d, d}, {"@-10,0", -10, 0}};
  for (const Case& c : cases) {
    OptionsProbe probe(std::string("POL\n4\n0,0\nI\n") + c.reply + "\n");
    app::Session session(probe);
    session.run();
    const db::Polyline* shape = nullptr;
    session.database().forEachEntity(session.database().modelSpace(), [&](db::ObjectId, const db::Entity& e) {
      if (const auto* pl = e.as<db::Polyline>()) shape = pl;
    });
    ASSERT_NE(shape, nullptr) << c.reply << probe.transcript();
    EXPECT_NEAR(shape->point(0).x, c.firstX, 1e-9) << c.reply;
    EXPECT_NEAR(shape->point(0).y, c.firstY, 1e-9) << c.reply;
  }
}

// What a command remembers (CIRCLE's radius, FILLET's radius, ...) belongs to its session:
// a second session in the same process offers its own defaults, and the first keeps its own.
TEST(MeasurePrompts, eachSessionRemembersItsOwnDefaults) {
  struct Case {
    const char* setting;    // run in the first session: leaves something remembered
    const char* asking;     // run in both sessions afterwards, up to the prompt below
    const char* remembered; // the prompt the first session shows after its setting
    const char* fresh;      // the prompt a session that set nothing shows
  };
  const Case cases[] = {
      {"C\n0,0\n5\n", "C\n20,20\n\n", "\n指定圆的半径或 [直径(D)] <5.0000>: ", "\n指定圆的半径或 [直径(D)]: "},
      {"F\nR\n2\n\n", "F\nR\n\n\n", "\n指定圆角半径 <2.0000>: ", "\n指定圆角半径 <0.0000>: "},
      {"LINE\n0,0\n10,0\n\nO\n3\n5,0\n5,1\n\n", "O\n\n\n", "\n指定偏移距离或 [通过(T)] <3.0000>: ",
       "\n指定偏移距离或 [通过(T)] <通过>: "},
      {"REC\nF\n1.5\n\n", "REC\nF\n\n\n", "\n指定矩形的圆角半径 <1.5000>: ", "\n指定矩形的圆角半径 <0.0000>: "},
      {"POL\n6\n\n", "POL\n\n", "\n输入侧面数 <6>: ", "\n输入侧面数 <4>: "},
  };
  for (const Case& c : cases) {
    OptionsProbe firstProbe(std::string(c.setting) + c.asking);
    app::Session first(firstProbe);
    OptionsProbe secondProbe(c.asking);
    app::Session second(secondProbe);
    first.run();
    second.run();
    EXPECT_EQ(firstProbe.asked.count(c.remembered), 1u) << c.setting << firstProbe.transcript();
    EXPECT_EQ(secondProbe.asked.count(c.fresh), 1u) << c.setting << secondProbe.transcript();
    EXPECT_EQ(secondProbe.asked.count(c.remembered), 0u) << c.setting << secondProbe.transcript();
  }
}

}  // namespace
