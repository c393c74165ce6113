// Distance and angle prompts (a number, or a point measured from a base), and what a
// prompt tells its presentation it takes, so that a typed number means what it means in
// a script.
#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <sstream>

#include "orv/prompt/engine.h"
#include "orv/prompt/script_console.h"

namespace orv::prompt {
namespace {

enum class Ask { dist, angle };

TEST(MeasurePrompt, takesANumberOrMeasuresAPointFromTheBase) {
  const struct Case {
    const char* what;
    Ask ask;
    int flags;
    const char* keywords;
    std::optional<Point3> base;
    const char* script;
    Status status;
    double value;
    const char* transcript;
  } cases[] = {
      {"a number", Ask::dist, 0, "", Point3{1, 1, 0}, "2.5\n", Status::Normal, 2.5, "\nD: 2.5\n"},
      {"a point's distance in the plane", Ask::dist, 0, "", Point3{1, 1, 9}, "4,5,0\n", Status::Normal, 5,
       "\nD: 4,5,0\n"},
      {"zero and negative refused, typed or measured", Ask::dist, kNoZero | kNoNegative, "", Point3{1, 1, 0},
       "0\n-2\n1,1\n3\n", Status::Normal, 3,
       "\nD: 0\n\n值不能为零。\nD: -2\n\n值不能为负。\nD: 1,1\n\n值不能为零。\nD: 3\n"},
      {"not a number or point", Ask::dist, 0, "", Point3{0, 0, 0}, "abc\n\n", Status::None, 0,
       "\nD: abc\n\n需要数值或点。\nD: \n"},
      {"keywords named in the refusal", Ask::dist, 0, "Undo", Point3{0, 0, 0}, "abc\nu\n", Status::Keyword, 0,
       "\nD: abc\n\n需要数值、点或选项关键字。\nD: u\n"},
      {"a number before a keyword", Ask::dist, 0, "0 W", Point3{0, 0, 0}, "0\n", Status::Normal, 0, "\nD: 0\n"},
      {"no base: two points", Ask::dist, 0, "", std::nullopt, "1,1\n@3,4\n", Status::Normal, 5,
       "\nD: 1,1\n\n指定第二点: @3,4\n"},
      {"no base: a number at once", Ask::dist, 0, "", std::nullopt, "7\n", Status::Normal, 7, "\nD: 7\n"},
      {"no base: Enter at the second point", Ask::dist, 0, "", std::nullopt, "1,1\n\n", Status::None, 0,
       "\nD: 1,1\n\n指定第二点: \n"},
      {"a typed angle as it is", Ask::angle, 0, "", Point3{5, 5, 0}, "-30\n", Status::Normal, -30, "\nA: -30\n"},
      {"an angle along an axis, exact", Ask::angle, 0, "", Point3{5, 5, 0}, "5,9\n", Status::Normal, 90,
       "\nA: 5,9\n"},
      {"an angle below the base", Ask::angle, 0, "", Point3{0, 0, 0}, "1,-1\n", Status::Normal, 315,
       "\nA: 1,-1\n"},
      {"an angle to the left", Ask::angle, 0, "", Point3{0, 0, 0}, "-3,0\n", Status::Normal, 180, "\nA: -3,0\n"},
      {"an angle by polar input", Ask::angle, 0, "", Point3{2, 2, 0}, "@10<30\n", Status::Normal, 30,
       "\nA: @10<30\n"},
      {"a cancel", Ask::angle, 0, "", Point3{0, 0, 0}, "^C\n", Status::Cancel, 0, "\nA: *取消*\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::istringstream in(c.script);
    std::ostringstream out;
    ScriptConsole console(in, out);
    PromptEngine engine(console);
    engine.setLastPoint({2, 2, 0});
    engine.initGet(c.flags, c.keywords);
    double v = -1;
    const Status st = c.ask == Ask::dist ? engine.getDist("\nD: ", c.base, v) : engine.getAngle("\nA: ", c.base, v);
    EXPECT_EQ(st, c.status);
    if (st == Status::Normal) {
      EXPECT_NEAR(v, c.value, 1e-12);
    }
    EXPECT_EQ(out.str(), c.transcript);
  }
}

// Records what each prompt was told it takes.
class Recording final : public Console {
 public:
  explicit Recording(std::deque<Reply> replies) : replies_(std::move(replies)) {}
  void print(std::string_view) override {}
  Reply ask(std::string_view, const AskOptions& options) override {
    asked.push_back(options);
    if (replies_.empty()) return Reply::end();
    Reply r = std::move(replies_.front());
    replies_.pop_front();
    return r;
  }
  void alert(std::string_view) override {}
  std::vector<AskOptions> asked;

 private:
  std::deque<Reply> replies_;
};

// A snap provider that says which reach it was asked with.
struct Reach final : SnapProvider {
  std::optional<double> reach;
  std::optional<Point3> snapPoint(SnapKind, const Point3& at, const std::optional<Point3>&) override {
    reach.reset();
    return at;
  }
  std::optional<Point3> snapPointWithin(SnapKind, const Point3& at, const std::optional<Point3>&,
                                        double r) override {
    reach = r;
    return at;
  }
};

TEST(MeasurePrompt, tellsThePresentationWhatItTakesAndMeasuresAClick) {
  Reply click = Reply::line("");
  click.point = Point3{3, 4, 0};
  click.pickReach = 0.5;
  Recording console({click, Reply::line("END"), click, Reply::line("2")});
  PromptEngine engine(console);
  Reach snaps;
  engine.setSnapProvider(&snaps);
  double v = 0;
  EXPECT_EQ(engine.getDist("", Point3{0, 0, 0}, v), Status::Normal);
  EXPECT_EQ(v, 5);
  // A snap override answered by a click: its pick box's reach goes to the drawing.
  Point3 p;
  engine.initGet(0, "W 0");
  EXPECT_EQ(engine.getPoint("", Point3{0, 0, 0}, p), Status::Normal);
  EXPECT_EQ(snaps.reach, 0.5);
  int n = 0;
  EXPECT_EQ(engine.getInt("", n), Status::Normal);

  ASSERT_EQ(console.asked.size(), 4u);
  EXPECT_TRUE(console.asked[0].takesNumber);
  EXPECT_TRUE(console.asked[0].takesPoint());
  EXPECT_FALSE(console.asked[1].takesNumber);
  EXPECT_EQ(console.asked[1].keywords, (std::vector<std::string>{"W", "0"}));
  EXPECT_FALSE(console.asked[2].takesNumber) << "at 于 a number is no reply of its own";
  EXPECT_TRUE(console.asked[3].takesNumber);
  EXPECT_FALSE(console.asked[3].takesPoint());
}

TEST(DirectDistance, onlyWhereNeitherAKeywordNorANumberOfItsOwnIsTaken) {
  AskOptions nextPoint;  // GD's next point: keywords, a base, no number of its own
  nextPoint.kind = AskKind::point;
  nextPoint.basePoint = Point3{0, 0, 0};
  nextPoint.keywords = {"W", "X", "0"};
  AskOptions angle = nextPoint;  // ROTATE's angle
  angle.keywords.clear();
  angle.takesNumber = true;
  AskOptions corner = nextPoint;
  corner.boxFromBase = true;
  AskOptions first = nextPoint;
  first.basePoint.reset();
  AskOptions number;
  number.kind = AskKind::real;
  number.takesNumber = true;
  const struct {
    const char* what;
    const AskOptions& options;
    const char* typed;
    std::optional<double> distance;
  } cases[] = {
      {"a number at a point prompt with a base", nextPoint, "250", 250.0},
      {"full-width digits", nextPoint, "２５", 25.0},
      {"an armed keyword that is a number", nextPoint, "0", std::nullopt},
      {"an armed keyword", nextPoint, "w", std::nullopt},
      {"a point", nextPoint, "1,2", std::nullopt},
      {"a prompt that takes a number", angle, "90", std::nullopt},
      {"a rectangle's corner", corner, "5", std::nullopt},
      {"no base point", first, "5", std::nullopt},
      {"a number prompt", number, "5", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(directDistance(c.options, c.typed), c.distance) << c.what;
}

TEST(PickPrompt, saysWhetherTheClickItReturnedHadShiftHeld) {
  Reply shifted = Reply::line("3,4");
  shifted.point = Point3{3, 4, 0};
  shifted.shift = true;
  Reply plain = shifted;
  plain.shift = false;
  Reply typed = Reply::line("3,4");
  typed.shift = true;  // a typed point never carries it
  const struct {
    const char* what;
    std::vector<Reply> replies;
    Status status;
    bool shift;
  } cases[] = {
      {"a click with Shift", {shifted}, Status::Normal, true},
      {"a click without", {plain}, Status::Normal, false},
      {"a typed point", {typed}, Status::Normal, false},
      {"a refused reply, then a keyword", {Reply::line("?"), Reply::line("U")}, Status::Keyword, false},
      {"Enter", {Reply::line("")}, Status::None, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::deque<Reply> replies(c.replies.begin(), c.replies.end());
    replies.push_front(shifted);  // a pick before it, with Shift: its flag must not linger
    Recording console(std::move(replies));
    PromptEngine engine(console);
    Point3 p;
    ASSERT_EQ(engine.getPickPoint("", p), Status::Normal);
    ASSERT_TRUE(engine.lastPointShifted());
    engine.initGet(0, "Undo");
    EXPECT_EQ(engine.getPickPoint("", p), c.status);
    EXPECT_EQ(engine.lastPointShifted(), c.shift);
  }
}

}  // namespace
}  // namespace orv::prompt
