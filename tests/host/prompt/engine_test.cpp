// Tests of the prompt engine: what each request takes, refuses and says, seen
// through the transcript of a scripted session.
#include "orv/prompt/engine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <sstream>
#include <string>
#include <vector>

#include "orv/prompt/reply_parser.h"
#include "orv/prompt/script_console.h"

namespace orv::prompt {
namespace {

// A scripted session: replies in, transcript out.
struct Session {
  explicit Session(std::string script) : in(std::move(script)) {}
  std::istringstream in;
  std::ostringstream out;
  ScriptConsole console{in, out};
  PromptEngine engine{console};
  std::string transcript() const { return out.str(); }
};

// A console whose replies are given as values, as a drawing view would give
// a click; it records what it was asked.
class ReplyQueue final : public Console {
 public:
  explicit ReplyQueue(std::deque<Reply> replies) : replies_(std::move(replies)) {}
  void print(std::string_view text) override { printed += text; }
  Reply ask(std::string_view, const AskOptions& options) override {
    basePoints.push_back(options.basePoint);
    if (replies_.empty()) return Reply::end();
    Reply r = std::move(replies_.front());
    replies_.pop_front();
    return r;
  }
  void alert(std::string_view) override {}
  std::string printed;
  std::vector<std::optional<Point3>> basePoints;

 private:
  std::deque<Reply> replies_;
};

Reply click(Point3 p) { return Reply{Reply::Kind::Text, {}, p, std::nullopt}; }

TEST(PointPrompt, refusesWhatIsNotAPointAndAsksAgain) {
  Session s("abc\n1,2,\n 3 , 4 \n");
  Point3 p;
  EXPECT_EQ(s.engine.getPoint("\n第一点: ", std::nullopt, p), Status::Normal);
  EXPECT_EQ(p, (Point3{3, 4, 0}));
  EXPECT_EQ(s.engine.lastPoint(), p);
  EXPECT_EQ(s.transcript(),
            "\n第一点: abc\n\n点无效。\n第一点: 1,2,\n\n点无效。\n第一点:  3 , 4 \n");
}

TEST(PointPrompt, namesKeywordsInTheRefusalWhenSomeAreArmed) {
  Session s("q\nw\n");
  s.engine.initGet(0, "W C 0");
  Point3 p;
  EXPECT_EQ(s.engine.getPoint("\n点: ", std::nullopt, p), Status::Keyword);
  EXPECT_EQ(s.engine.lastKeyword(), "W");
  EXPECT_EQ(s.transcript(), "\n点: q\n\n需要点或选项关键字。\n点: w\n");
}

TEST(PointPrompt, takesRelativeRepliesFromTheLastPointEntered) {
  Session s("10,20\n@5,5\n@\n@10<90\n");
  Point3 p;
  s.engine.getPoint("", std::nullopt, p);
  s.engine.getPoint("", std::nullopt, p);
  EXPECT_EQ(p, (Point3{15, 25, 0}));
  s.engine.getPoint("", std::nullopt, p);
  EXPECT_EQ(p, (Point3{15, 25, 0}));
  s.engine.getPoint("", std::nullopt, p);
  EXPECT_EQ(p, (Point3{15, 35, 0}));
}

TEST(PointPrompt, emptyOrBlankReplyIsNoneUnlessRefusedByNoNull) {
  Session s("\n \n\n\t\n7,8\n");
  Point3 p{9, 9, 9};
  EXPECT_EQ(s.engine.getPoint("\nP: ", std::nullopt, p), Status::None);
  EXPECT_EQ(s.engine.getPoint("\nP: ", std::nullopt, p), Status::None);
  EXPECT_EQ(p, (Point3{9, 9, 9}));
  s.engine.initGet(kNoNull, "");
  EXPECT_EQ(s.engine.getPoint("\nP: ", std::nullopt, p), Status::Normal);
  EXPECT_EQ(p, (Point3{7, 8, 0}));
  // Refused silently: the prompt again, no message.
  EXPECT_EQ(s.transcript(), "\nP: \n\nP:  \n\nP: \n\nP: \t\n\nP: 7,8\n");
}

TEST(PointPrompt, takesAClickedPointAndPassesTheBasePoint) {
  ReplyQueue console({click({1, 2, 3}), Reply::line("@1,1"), click({4, 5, 6})});
  PromptEngine engine(console);
  Point3 p;
  EXPECT_EQ(engine.getPoint("", Point3{9, 9, 0}, p), Status::Normal);
  EXPECT_EQ(p, (Point3{1, 2, 3}));
  EXPECT_EQ(engine.getPoint("", std::nullopt, p), Status::Normal);
  EXPECT_EQ(p, (Point3{2, 3, 3}));
  ASSERT_EQ(console.basePoints.size(), 2u);
  EXPECT_EQ(console.basePoints[0], (Point3{9, 9, 0}));
  EXPECT_EQ(console.basePoints[1], std::nullopt);
  // At a number prompt a click is no number.
  double d = 0;
  EXPECT_EQ(engine.getReal("", d), Status::Cancel);
  EXPECT_EQ(console.printed, "\n需要数值。");
}

TEST(PickPrompt, refusesNonPointsAndLeavesTheLastPointAlone) {
  Session s("x\n@2,0\n");
  s.engine.setLastPoint({1, 1, 0});
  Point3 p;
  EXPECT_EQ(s.engine.getPickPoint("\n选择对象: ", p), Status::Normal);
  EXPECT_EQ(p, (Point3{3, 1, 0}));
  EXPECT_EQ(s.engine.lastPoint(), (Point3{1, 1, 0}));
  EXPECT_EQ(s.transcript(), "\n选择对象: x\n\n点无效。\n选择对象: @2,0\n");
}

// Each reply is tried on a fresh request armed with `keywords`; the expected
// keyword, or "" for a refusal.
void expectMatches(const char* keywords,
                   std::vector<std::pair<std::string, std::string>> cases) {
  for (const auto& [reply, expected] : cases) {
    Session s(reply + "\n");
    s.engine.initGet(0, keywords);
    Point3 p;
    const Status st = s.engine.getPoint("", std::nullopt, p);
    if (expected.empty()) {
      EXPECT_EQ(st, Status::Cancel) << keywords << " / " << reply;
    } else {
      EXPECT_EQ(st, Status::Keyword) << keywords << " / " << reply;
      EXPECT_EQ(s.engine.lastKeyword(), expected) << keywords << " / " << reply;
    }
  }
}

TEST(Keywords, matchWithoutRegardToCaseAndReturnTheArmedSpelling) {
  expectMatches("W C 0", {{"w", "W"}, {"C", "C"}, {" 0 ", "0"}, {"_c", "C"}, {"x", ""}});
  expectMatches("  Width   Close ", {{"WIDTH", "Width"}, {"close", "Close"}});
  expectMatches("确定 取消", {{"确定", "确定"}, {"确", ""}});
}

TEST(Keywords, mayBeShortenedDownToTheirCapitals) {
  expectMatches("Undo Close", {{"u", "Undo"}, {"UN", "Undo"}, {"und", "Undo"}, {"undo", "Undo"},
                               {"undoo", ""}, {"ud", ""}, {"c", "Close"}, {"clo", "Close"}});
  expectMatches("LType eXit", {{"lt", "LType"}, {"LTY", "LType"}, {"l", ""}, {"x", "eXit"},
                               {"ex", "eXit"}, {"exi", "eXit"}, {"e", ""}, {"xi", ""}});
  // Without capitals, only the whole keyword; digits are not capitals.
  expectMatches("width 0 W2", {{"w", "W2"}, {"wid", ""}, {"width", "width"}, {"0", "0"},
                               {"w2", "W2"}, {"00", ""}});
  // A whole match wins over a shortening, then the first shortening armed.
  expectMatches("Up U", {{"u", "U"}, {"up", "Up"}});
  expectMatches("Copy Close", {{"c", "Copy"}});
}

TEST(Keywords, armOnlyTheNextRequestOfAnyKind) {
  Session s("w\nw\n1,1\n");
  Point3 p;
  std::string text;
  s.engine.initGet(0, "W");
  EXPECT_EQ(s.engine.getString("", false, 10, text), Status::Normal);
  EXPECT_EQ(text, "w");
  EXPECT_EQ(s.engine.getPoint("\nP: ", std::nullopt, p), Status::Normal);
  EXPECT_EQ(s.transcript(), "w\n\nP: w\n\n点无效。\nP: 1,1\n");
  EXPECT_EQ(s.engine.lastKeyword(), std::nullopt) << "cleared by a request that gave a value";
}

TEST(Keywords, aPointOrNumberIsTakenBeforeAKeyword) {
  Session s("@\n0\n0\n0\n");
  Point3 p;
  s.engine.setLastPoint({5, 5, 0});
  s.engine.initGet(0, "@ 0");
  EXPECT_EQ(s.engine.getPoint("", std::nullopt, p), Status::Normal);
  EXPECT_EQ(p, (Point3{5, 5, 0}));
  s.engine.initGet(0, "W 0");
  EXPECT_EQ(s.engine.getPoint("", std::nullopt, p), Status::Keyword);  // "0" is no point
  double d = 1;
  s.engine.initGet(0, "W 0");
  EXPECT_EQ(s.engine.getReal("", d), Status::Normal);
  EXPECT_EQ(d, 0.0);
  int i = 1;
  s.engine.initGet(0, "0");
  EXPECT_EQ(s.engine.getInt("", i), Status::Normal);
  EXPECT_EQ(i, 0);
}

TEST(Keywords, otherFlagReturnsAnyUnfitReplyAsTyped) {
  Session s("  hello world \n2,3\n");
  Point3 p;
  s.engine.initGet(kOther, "W");
  EXPECT_EQ(s.engine.getPoint("", std::nullopt, p), Status::Keyword);
  EXPECT_EQ(s.engine.lastKeyword(), "hello world");
  s.engine.initGet(kOther, "W");
  EXPECT_EQ(s.engine.getPoint("", std::nullopt, p), Status::Normal);
}

// A Chinese input method left in full-width mode, or in its punctuation mode.
TEST(FullWidth, pointsNumbersAndKeywordsAreReadAsTheirAsciiForms) {
  struct Case {
    const char* reply;
    Point3 point;
  };
  for (const Case& c : {Case{"１００，２００", {100, 200, 0}}, Case{"　１．５ ， －２ ", {1.5, -2, 0}},
                        Case{"１０，２０，３０", {10, 20, 30}}, Case{"＠１０《９０", {10, 20, 0}},
                        Case{"３。５,１ｅ２", {3.5, 100, 0}}}) {
    Session s(std::string(c.reply) + "\n");
    s.engine.setLastPoint({10, 10, 0});
    Point3 p;
    EXPECT_EQ(s.engine.getPoint("", std::nullopt, p), Status::Normal) << c.reply;
    EXPECT_EQ(p, c.point) << c.reply;
    EXPECT_EQ(s.transcript(), std::string(c.reply) + "\n") << "the transcript shows what was typed";
  }
  Session s("２５０\n－１２\nｗ\n＿Ｃ\n  ＵＮ　\n");
  double d = 0;
  EXPECT_EQ(s.engine.getReal("", d), Status::Normal);
  EXPECT_EQ(d, 250.0);
  int i = 0;
  EXPECT_EQ(s.engine.getInt("", i), Status::Normal);
  EXPECT_EQ(i, -12);
  Point3 p;
  for (const char* armed : {"W", "C", "Undo"}) {
    s.engine.initGet(0, armed);
    EXPECT_EQ(s.engine.getPoint("", std::nullopt, p), Status::Keyword) << armed;
    EXPECT_EQ(s.engine.lastKeyword(), armed);
  }
}

TEST(FullWidth, textRepliesAndOtherRepliesKeepWhatWasTyped) {
  Session s("１００，２００　管道\n　ｈｅｌｌｏ　\n");
  std::string text;
  EXPECT_EQ(s.engine.getString("", true, 100, text), Status::Normal);
  EXPECT_EQ(text, "１００，２００　管道");
  Point3 p;
  s.engine.initGet(kOther, "W");
  EXPECT_EQ(s.engine.getPoint("", std::nullopt, p), Status::Keyword);
  EXPECT_EQ(s.engine.lastKeyword(), "　ｈｅｌｌｏ　") << "only ASCII blanks are trimmed from what was typed";
  // Chinese text and broken bytes pass through the reading untouched.
  EXPECT_EQ(asciiForms("管道\xff" "１"), "管道\xff" "1");
}

TEST(RealPrompt, refusesNonNumbersWithTheRightMessage) {
  Session s("abc\nnan\n1e999\n2.5\nx\n-3\n");
  double d = 0;
  EXPECT_EQ(s.engine.getReal("\n直径: ", d), Status::Normal);
  EXPECT_EQ(d, 2.5);
  s.engine.initGet(0, "A");
  EXPECT_EQ(s.engine.getReal("\n直径: ", d), Status::Normal);
  EXPECT_EQ(d, -3);
  EXPECT_EQ(s.transcript(),
            "\n直径: abc\n\n需要数值。\n直径: nan\n\n需要数值。\n直径: 1e999\n\n需要数值。"
            "\n直径: 2.5\n"
            "\n直径: x\n\n需要数值或选项关键字。\n直径: -3\n");
}

TEST(RealPrompt, honoursNoZeroAndNoNegative) {
  Session s("0\n-0\n-1\n4\n-0\n");
  double d = 0;
  s.engine.initGet(kNoZero | kNoNegative, "");
  EXPECT_EQ(s.engine.getReal("\nR: ", d), Status::Normal);
  EXPECT_EQ(d, 4);
  EXPECT_EQ(s.transcript(),
            "\nR: 0\n\n值不能为零。\nR: -0\n\n值不能为零。\nR: -1\n\n值不能为负。\nR: 4\n");
  s.engine.initGet(kNoNegative, "");
  EXPECT_EQ(s.engine.getReal("", d), Status::Normal);
  EXPECT_EQ(d, 0.0);
  EXPECT_FALSE(std::signbit(d)) << "-0 is handed over as plain zero";
}

TEST(IntegerPrompt, refusesFractionsAndOutOfRangeNumbers) {
  Session s("1.5\n40000\n-32769\n-32768\nq\n12\n");
  int i = 0;
  EXPECT_EQ(s.engine.getInt("\nN: ", i), Status::Normal);
  EXPECT_EQ(i, -32768);
  s.engine.initGet(0, "A B");
  EXPECT_EQ(s.engine.getInt("\nN: ", i), Status::Normal);
  EXPECT_EQ(i, 12);
  EXPECT_EQ(s.transcript(),
            "\nN: 1.5\n\n需要整数值。\nN: 40000\n\n需要 -32768 和 32767 之间的整数。"
            "\nN: -32769\n\n需要 -32768 和 32767 之间的整数。\nN: -32768\n"
            "\nN: q\n\n需要整数值或选项关键字。\nN: 12\n");
}

TEST(IntegerPrompt, honoursNoZeroNoNegativeAndNoNull) {
  Session s("0\n-5\n\n3\n\n");
  int i = 9;
  s.engine.initGet(kNoZero | kNoNegative | kNoNull, "");
  EXPECT_EQ(s.engine.getInt("\nN: ", i), Status::Normal);
  EXPECT_EQ(i, 3);
  EXPECT_EQ(s.transcript(), "\nN: 0\n\n值不能为零。\nN: -5\n\n值不能为负。\nN: \n\nN: 3\n");
  EXPECT_EQ(s.engine.getInt("\nN: ", i), Status::None);
  EXPECT_EQ(i, 3);
}

TEST(StringPrompt, cutsAtTheFirstBlankUnlessBlanksAreAllowed) {
  Session s("ab cd\nab cd\n \n \n\n");
  std::string text = "x";
  EXPECT_EQ(s.engine.getString("", false, 100, text), Status::Normal);
  EXPECT_EQ(text, "ab");
  EXPECT_EQ(s.engine.getString("", true, 100, text), Status::Normal);
  EXPECT_EQ(text, "ab cd");
  EXPECT_EQ(s.engine.getString("", false, 100, text), Status::Normal);
  EXPECT_EQ(text, "");
  EXPECT_EQ(s.engine.getString("", true, 100, text), Status::Normal);
  EXPECT_EQ(text, " ");
  text = "x";
  EXPECT_EQ(s.engine.getString("", true, 100, text), Status::Normal) << "Enter is an empty text";
  EXPECT_EQ(text, "");
}

TEST(StringPrompt, countsLengthInCharactersNotBytes) {
  Session s("管道x\n管道\nabc de\n");
  std::string text;
  EXPECT_EQ(s.engine.getString("\nS: ", true, 2, text), Status::Normal);
  EXPECT_EQ(text, "管道");
  EXPECT_EQ(s.transcript(), "\nS: 管道x\n\n字符串太长。\nS: 管道\n");
  // The limit applies to what is returned: the part before the blank.
  EXPECT_EQ(s.engine.getString("", false, 3, text), Status::Normal);
  EXPECT_EQ(text, "abc");
}

TEST(CancelAndEnd, cancelEndsTheRequestAndEndCancelsAllLaterOnes) {
  Session s("^C\n");
  Point3 p{1, 1, 1};
  EXPECT_EQ(s.engine.getPoint("\nA: ", std::nullopt, p), Status::Cancel);
  EXPECT_FALSE(s.engine.inputEnded());
  EXPECT_EQ(p, (Point3{1, 1, 1}));
  double d;
  EXPECT_EQ(s.engine.getReal("\nB: ", d), Status::Cancel);
  EXPECT_TRUE(s.engine.inputEnded());
  std::string text;
  EXPECT_EQ(s.engine.getString("\nC: ", true, 10, text), Status::Cancel);
  EXPECT_EQ(s.transcript(), "\nA: *取消*\n\nB: *取消*\n\nC: *取消*\n")
      << "questions after the end are still shown";

  // A command that keeps asking after cancels is cut off.
  for (int i = 0; i < 1000; ++i) EXPECT_EQ(s.engine.getReal("\nD: ", d), Status::Cancel);
  std::string all = s.transcript();
  std::size_t shown = 0;
  for (auto at = all.find("\nD: "); at != std::string::npos; at = all.find("\nD: ", at + 1)) ++shown;
  EXPECT_GT(shown, 0u);
  EXPECT_LT(shown, 200u);

  s.engine.resumeInput();
  EXPECT_EQ(s.engine.getString("\nE: ", true, 10, text), Status::Cancel);
  EXPECT_TRUE(s.transcript().ends_with("\nE: *取消*\n"));
}

TEST(CancelAndEnd, armedKeywordsDoNotOutliveACancel) {
  Session s("^C\nw\n");
  Point3 p;
  s.engine.initGet(0, "W");
  EXPECT_EQ(s.engine.getPoint("", std::nullopt, p), Status::Cancel);
  EXPECT_EQ(s.engine.getPoint("", std::nullopt, p), Status::Cancel);  // "w" refused, then end
  EXPECT_EQ(s.transcript(), "*取消*\nw\n\n点无效。*取消*\n");
}

}  // namespace
}  // namespace orv::prompt
