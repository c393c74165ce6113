// The command line at a terminal: line editing and history by GNU readline,
// Ctrl-C cancelling the waiting prompt instead of ending the host.
#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string_view>

#include "orv/prompt/console.h"

namespace orv::prompt {

// Reads replies from a terminal (standard input unless told otherwise) and
// writes to standard output (likewise).
//
//   - Ctrl-C at a prompt cancels it: "*取消*" and a line break are shown and
//     the reply is a cancel. Ctrl-C at other times is ignored, so it never
//     ends the host.
//   - Ctrl-D on an empty line ends the input (Reply::end()); away from the
//     command prompt it is shown as a cancel.
//   - Prompts are shown with every line but the last printed, the last one
//     given to readline, so line editing never overwrites earlier lines.
//   - While it waits, the Waiting it was given is woken at the start of each wait,
//     when its descriptor is readable or its time is up, and on any signal; when it
//     says so, or when the terminal hangs up, the input ends for good.
//   - Non-empty replies go into the history (Up and Down recall them); with a
//     history file, it is read at the start and written back, at most 1000
//     entries, at the end. A history file that cannot be read or written is
//     passed over in silence.
//
// The console sets LC_CTYPE from the environment so that readline measures
// Chinese prompts right; when the environment's character set is not UTF-8,
// it uses C.UTF-8 instead. Other locale categories are left alone. Readline
// is one per process: only one TerminalConsole may exist at a time.
class TerminalConsole final : public Console {
 public:
  // ~/.orvcad_history, or an empty path when $HOME is not set.
  static std::filesystem::path defaultHistoryFile();
  // True when standard input is a terminal.
  static bool available();

  // An empty historyFile keeps the history in memory only. input must be a
  // terminal; both streams must outlive the console.
  explicit TerminalConsole(std::filesystem::path historyFile = defaultHistoryFile(),
                           std::FILE* input = stdin, std::FILE* output = stdout);
  ~TerminalConsole() override;
  TerminalConsole(const TerminalConsole&) = delete;
  TerminalConsole& operator=(const TerminalConsole&) = delete;

  void setWaiting(Waiting* waiting) override;
  // The terminal hung up, or the host ended the input from its Waiting.
  bool inputLost() const override;
  void print(std::string_view text) override;
  Reply ask(std::string_view prompt, const AskOptions& options = {}) override;
  // Shows the alert line, then waits for Enter.
  void alert(std::string_view text) override;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace orv::prompt
