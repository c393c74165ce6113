// Questions with a few answers, asked at the command line.
#include "orv/dialogs/presenter.h"

#include <gtest/gtest.h>

#include <sstream>

#include "orv/prompt/script_console.h"

namespace orv::dialogs {
namespace {

Question saveChanges() {
  Question q;
  q.text = "是否将改动保存到 a.dxf？";
  q.prompt = "\n是否将改动保存到 a.dxf？[是(Y)/否(N)/取消(C)] <是>: ";
  q.answers = {{"Y", "保存"}, {"N", "不保存"}, {"C", "取消"}};
  q.defaultAnswer = 0;
  q.cancelAnswer = 2;
  return q;
}

TEST(CommandLineQuestion, takesKeywordsInAnyCaseEnterAsDefaultAndCancelAsItsAnswer) {
  struct Case {
    const char* script;
    std::size_t answer;
    const char* transcriptHas;
  } cases[] = {
      {"n\n", 1, "<是>: n\n"},
      {" Y \n", 0, ""},
      {"\n", 0, ""},
      {"^C\n", 2, "*取消*"},
      {"", 2, ""},  // the input ended
      {"maybe\nc\n", 2, "\n需要选项关键字。"},
      {"不保存\n", 1, ""},
  };
  for (const Case& c : cases) {
    std::istringstream in(c.script);
    std::ostringstream out;
    prompt::ScriptConsole console(in, out);
    CommandLinePresenter presenter(console);
    EXPECT_EQ(presenter.choose(saveChanges()), c.answer) << c.script;
    EXPECT_NE(out.str().find(c.transcriptHas), std::string::npos) << out.str();
  }
}

}  // namespace
}  // namespace orv::dialogs
