// How the host shows what is not a prompt: picture dialogs and questions with a few
// answers. The command line and the window are presentations of it; the SDK's dialog
// classes and the host's commands reach the user only through the one the session
// binds.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "orv/dialogs/command_line_dialog.h"
#include "orv/dialogs/dialog_model.h"
#include "orv/prompt/console.h"

namespace orv::dialogs {

// A question with a few answers ("save the changes?": yes, no, cancel).
struct Question {
  struct Answer {
    std::string keyword;  // typed at the command line, any case: "Y"
    std::string label;    // the answer's word, typed at the command line too: "是"
    std::string button = {};  // a message box's button when it reads otherwise: "保存"
  };
  std::string text;    // for a message box: "是否将改动保存到 plan.dxf？"
  std::string prompt;  // at the command line, with its keywords and default:
                       // "\n是否将改动保存到 plan.dxf？[是(Y)/否(N)/取消(C)] <是>: "
  std::vector<Answer> answers;
  std::size_t defaultAnswer = 0;  // Enter, or the message box's default button
  // What a cancel (Esc, Ctrl-C, the end of the input, closing the box) answers; with
  // none a cancel answers the default.
  std::optional<std::size_t> cancelAnswer;
};

class Presenter {
 public:
  virtual ~Presenter() = default;
  // Shows a dialog until OK or Cancel is pressed; changes the model's checks as the
  // user chooses.
  virtual Presented present(DialogModel& model) = 0;
  // Asks a question; the index of the answer.
  virtual std::size_t choose(const Question& question) = 0;
};

// The command-line presentation: dialogs as numbered slots (presentAtCommandLine),
// questions as a prompt that takes the answers' keywords.
class CommandLinePresenter final : public Presenter {
 public:
  explicit CommandLinePresenter(prompt::Console& console) : console_(console) {}
  Presented present(DialogModel& model) override { return presentAtCommandLine(model, console_); }
  // An empty reply answers the default; a reply that names no keyword is refused and
  // the question comes again.
  std::size_t choose(const Question& question) override;

 private:
  prompt::Console& console_;
};

}  // namespace orv::dialogs
