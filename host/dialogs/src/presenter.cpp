// Questions asked at the command line.
#include "orv/dialogs/presenter.h"

#include <cctype>
#include <string_view>

#include "orv/prompt/reply_parser.h"
#include "words.h"

namespace orv::dialogs {

namespace {

using prompt::trimBlanks;

}  // namespace

std::size_t CommandLinePresenter::choose(const Question& q) {
  const std::size_t onCancel = q.cancelAnswer.value_or(q.defaultAnswer);
  if (q.answers.empty()) return 0;
  prompt::AskOptions options;
  options.kind = prompt::AskKind::choice;
  for (const Question::Answer& a : q.answers) options.keywords.push_back(a.keyword);
  for (;;) {
    const prompt::Reply reply = console_.ask(q.prompt, options);
    if (reply.kind != prompt::Reply::Kind::Text) return onCancel;
    const std::string read = prompt::asciiForms(reply.text);  // "Ｙ" as typed in full width
    const std::string_view typed = trimBlanks(read);
    if (typed.empty() && !reply.point) return q.defaultAnswer;
    for (std::size_t i = 0; i < q.answers.size(); ++i)
      if (sameWord(typed, q.answers[i].keyword) || typed == q.answers[i].label) return i;
    console_.print("\n需要选项关键字。");
  }
}

}  // namespace orv::dialogs
