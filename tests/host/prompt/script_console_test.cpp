// Tests of the script console: how script lines become replies and how the
// transcript of a script run reads.
#include "orv/prompt/script_console.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace orv::prompt {
namespace {

struct Script {
  explicit Script(std::string text) : in(std::move(text)) {}
  std::istringstream in;
  std::ostringstream out;
  ScriptConsole console{in, out};
};

AskOptions atCommandPrompt() {
  AskOptions o;
  o.kind = AskKind::command;
  return o;
}

TEST(ScriptConsole, echoesEachReplyAfterItsPrompt) {
  Script s("LINE\n0,0\n\n");
  EXPECT_EQ(s.console.ask("\n命令: ", atCommandPrompt()).text, "LINE");
  const Reply point = s.console.ask("\n指定第一点: ");
  EXPECT_EQ(point.kind, Reply::Kind::Text);
  EXPECT_EQ(point.text, "0,0");
  const Reply enter = s.console.ask("\n指定下一点: ");
  EXPECT_EQ(enter.kind, Reply::Kind::Text);
  EXPECT_EQ(enter.text, "");
  EXPECT_EQ(s.out.str(), "\n命令: LINE\n\n指定第一点: 0,0\n\n指定下一点: \n");
}

TEST(ScriptConsole, trimsNothingButTheCarriageReturnBeforeTheLineFeed) {
  Script s("a\r\n \n\r\n b \r\r\n\t\nlast");
  const char* expected[] = {"a", " ", "", " b \r", "\t", "last"};
  for (const char* text : expected) {
    const Reply r = s.console.ask("");
    EXPECT_EQ(r.kind, Reply::Kind::Text);
    EXPECT_EQ(r.text, text);
  }
  EXPECT_EQ(s.console.ask("").kind, Reply::Kind::End);
  EXPECT_EQ(s.out.str(), "a\n \n\n b \r\n\t\nlast\n*取消*\n");
}

TEST(ScriptConsole, readsALineOfCaretCAsCancel) {
  Script s("^C\n^C \r\n^C\r\n^c\n");
  EXPECT_EQ(s.console.ask("\nA: ").kind, Reply::Kind::Cancel);
  const Reply notCancel = s.console.ask("\nB: ");
  EXPECT_EQ(notCancel.kind, Reply::Kind::Text);
  EXPECT_EQ(notCancel.text, "^C ");
  EXPECT_EQ(s.console.ask("\nC: ").kind, Reply::Kind::Cancel);
  EXPECT_EQ(s.console.ask("\nD: ").text, "^c");
  EXPECT_EQ(s.out.str(), "\nA: *取消*\n\nB: ^C \n\nC: *取消*\n\nD: ^c\n");
}

TEST(ScriptConsole, skipsCommentsOnlyAtTheCommandPrompt) {
  Script s("# a comment\n#another\nLINE\n# not a comment here\n #\n");
  EXPECT_EQ(s.console.ask("\n命令: ", atCommandPrompt()).text, "LINE");
  EXPECT_EQ(s.console.ask("\n文字: ").text, "# not a comment here");
  EXPECT_EQ(s.console.ask("\n命令: ", atCommandPrompt()).text, " #")
      << "only a line that starts with '#' is a comment";
  EXPECT_EQ(s.console.linesRead(), 5u);
  EXPECT_EQ(s.out.str(), "\n命令: LINE\n\n文字: # not a comment here\n\n命令:  #\n");
}

TEST(ScriptConsole, showsTheEndOfTheScriptAsACancelOnlyInsideACommand) {
  Script s("# only a comment\n");
  EXPECT_EQ(s.console.ask("\n命令: ", atCommandPrompt()).kind, Reply::Kind::End);
  EXPECT_EQ(s.out.str(), "\n命令: ");
  EXPECT_TRUE(s.console.ended());

  Script t("");
  EXPECT_EQ(t.console.ask("\n第一点: ").kind, Reply::Kind::End);
  EXPECT_EQ(t.console.ask("\n第一点: ").kind, Reply::Kind::End) << "and stays at the end";
  EXPECT_EQ(t.out.str(), "\n第一点: *取消*\n\n第一点: *取消*\n");
}

TEST(ScriptConsole, skipsAByteOrderMarkAtTheStartOnly) {
  Script s("\xEF\xBB\xBFLINE\n\xEF\xBB\xBFx\n");
  EXPECT_EQ(s.console.ask("", atCommandPrompt()).text, "LINE");
  EXPECT_EQ(s.console.ask("").text, "\xEF\xBB\xBFx");

  Script comment("\xEF\xBB\xBF# comment\nQUIT\n");
  EXPECT_EQ(comment.console.ask("", atCommandPrompt()).text, "QUIT");
}

TEST(ScriptConsole, passesBytesThroughUnchanged) {
  const std::string odd = "\xff\xfe 管\x80";
  Script s(odd + "\n");
  EXPECT_EQ(s.console.ask("").text, odd);
  EXPECT_EQ(s.out.str(), odd + "\n");
}

TEST(ScriptConsole, printsAlertsOnALineOfTheirOwnWithoutReadingInput) {
  Script s("1,1\n");
  s.console.print("\n请输入");
  s.console.alert("文件不存在");
  s.console.alert("第二个");
  s.console.print("done\n");
  s.console.alert("");
  EXPECT_EQ(s.console.ask("\nP: ").text, "1,1") << "an alert consumes no script line";
  EXPECT_EQ(s.out.str(),
            "\n请输入\n** 文件不存在\n** 第二个\ndone\n** \n\nP: 1,1\n");
}

TEST(ScriptConsole, startsAnAlertAfterAPromptOnANewLine) {
  Script s("x\n");
  s.console.ask("\n命令: ", atCommandPrompt());
  s.console.alert("a");  // after the echoed reply: already at a line start
  s.console.print("");
  s.console.alert("b");
  EXPECT_EQ(s.out.str(), "\n命令: x\n** a\n** b\n");

  Script t("");
  t.console.ask("\n命令: ", atCommandPrompt());  // ends without a line break
  t.console.alert("c");
  EXPECT_EQ(t.out.str(), "\n命令: \n** c\n");
}

}  // namespace
}  // namespace orv::prompt
