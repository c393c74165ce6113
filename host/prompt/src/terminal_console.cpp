// The terminal command line: readline's callback interface driven by a poll
// loop, so that a Ctrl-C can cancel the line being typed.
//
// Sections: locale and environment, signal handling, reading one line, the
// console itself.
#include "orv/prompt/terminal_console.h"

#include <langinfo.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

#include <readline/history.h>
#include <readline/readline.h>

namespace orv::prompt {
namespace {

constexpr std::string_view kCancelShown = "*取消*\n";
constexpr std::string_view kAlertWait = "（按回车键继续）";
constexpr int kHistoryEntries = 1000;

// --- Locale and environment ------------------------------------------------

bool ctypeIsUtf8() {
  const char* codeset = nl_langinfo(CODESET);
  return codeset && (std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0);
}

std::optional<std::string> getEnv(const char* name) {
  const char* value = std::getenv(name);
  if (!value) return std::nullopt;
  return std::string(value);
}

void restoreEnv(const char* name, const std::optional<std::string>& value) {
  if (value) {
    setenv(name, value->c_str(), 1);
  } else {
    unsetenv(name);
  }
}

// LC_CTYPE for the lifetime of the console: the environment's, or C.UTF-8
// when that is not UTF-8. Readline sets LC_CTYPE again from LC_ALL, LC_CTYPE
// or LANG whenever it starts a line, so the fallback is put in the
// environment as well, and everything is put back at the end.
class Utf8Ctype {
 public:
  Utf8Ctype() {
    if (const char* current = std::setlocale(LC_CTYPE, nullptr)) saved_ = current;
    if (std::setlocale(LC_CTYPE, "") && ctypeIsUtf8()) return;
    if (!std::setlocale(LC_CTYPE, "C.UTF-8")) return;  // no UTF-8 at all: do without
    const auto all = getEnv("LC_ALL");
    variable_ = (all && !all->empty()) ? "LC_ALL" : "LC_CTYPE";
    savedEnv_ = getEnv(variable_);
    setenv(variable_, "C.UTF-8", 1);
  }
  ~Utf8Ctype() {
    if (variable_) restoreEnv(variable_, savedEnv_);
    if (!saved_.empty()) std::setlocale(LC_CTYPE, saved_.c_str());
  }
  Utf8Ctype(const Utf8Ctype&) = delete;
  Utf8Ctype& operator=(const Utf8Ctype&) = delete;

 private:
  std::string saved_;
  const char* variable_ = nullptr;
  std::optional<std::string> savedEnv_;
};

// --- Signal handling -------------------------------------------------------

volatile std::sig_atomic_t interrupted = 0;     // Ctrl-C
volatile std::sig_atomic_t stopRequested = 0;  // Ctrl-Z

extern "C" void onInterrupt(int) { interrupted = 1; }
extern "C" void onStop(int) { stopRequested = 1; }

// A handler that only raises a flag, for as long as the object lives. Without
// SA_RESTART the signal interrupts the wait for input.
class FlagHandler {
 public:
  FlagHandler(int signal, void (*handler)(int)) : signal_(signal) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    sigaction(signal_, &action, &previous_);
  }
  ~FlagHandler() { sigaction(signal_, &previous_, nullptr); }
  FlagHandler(const FlagHandler&) = delete;
  FlagHandler& operator=(const FlagHandler&) = delete;

  // True when the signal was ignored before (a stop signal in a session
  // without job control): then it is ignored again.
  bool wasIgnored() const { return previous_.sa_handler == SIG_IGN; }
  void restorePrevious() { sigaction(signal_, &previous_, nullptr); }

 private:
  int signal_;
  struct sigaction previous_ {};
};

// SIGINT and SIGTSTP blocked except inside ppoll(), so that a signal between
// checking the flags and starting to wait cannot be lost.
class BlockSignals {
 public:
  BlockSignals() {
    sigset_t block;
    sigemptyset(&block);
    sigaddset(&block, SIGINT);
    sigaddset(&block, SIGTSTP);
    sigprocmask(SIG_BLOCK, &block, &previous_);
    waitMask_ = previous_;
    sigdelset(&waitMask_, SIGINT);
    sigdelset(&waitMask_, SIGTSTP);
  }
  ~BlockSignals() { sigprocmask(SIG_SETMASK, &previous_, nullptr); }
  BlockSignals(const BlockSignals&) = delete;
  BlockSignals& operator=(const BlockSignals&) = delete;
  const sigset_t* waitMask() const { return &waitMask_; }

 private:
  sigset_t previous_{};
  sigset_t waitMask_{};
};

// Ctrl-Z while a line is being typed: gives the terminal back as the shell
// left it, stops as the default action would, and on resuming takes the
// terminal again and shows the prompt and the text anew.
void suspend(FlagHandler& stopHandler) {
  rl_cleanup_after_signal();
  stopHandler.restorePrevious();
  sigset_t stop;
  sigemptyset(&stop);
  sigaddset(&stop, SIGTSTP);
  raise(SIGTSTP);  // pending while blocked; delivered when unblocked below
  sigprocmask(SIG_UNBLOCK, &stop, nullptr);
  sigprocmask(SIG_BLOCK, &stop, nullptr);
  struct sigaction action {};
  action.sa_handler = onStop;
  sigemptyset(&action.sa_mask);
  sigaction(SIGTSTP, &action, nullptr);
  rl_reset_after_signal();
  rl_forced_update_display();
}

// --- Reading one line -------------------------------------------------------

struct LineResult {
  enum class Kind { Line, Cancel, End } kind = Kind::End;
  std::string text;
};

// Where readline's line handler leaves the line; set only during readLine().
LineResult* pendingLine = nullptr;
bool lineDone = false;

extern "C" void onLine(char* line) {
  if (pendingLine) {
    if (line) {
      pendingLine->kind = LineResult::Kind::Line;
      pendingLine->text = line;
    } else {
      pendingLine->kind = LineResult::Kind::End;
    }
  }
  std::free(line);
  lineDone = true;
  rl_callback_handler_remove();
}

// Drops the line being typed after a Ctrl-C and gives the terminal back.
void abandonLine() {
  rl_point = rl_end;
  rl_redisplay();  // the cursor after the whole text, where "*取消*" goes
  rl_free_line_state();
  rl_callback_sigcleanup();
  rl_cleanup_after_signal();
  rl_callback_handler_remove();
}

// Reads one line with readline showing `prompt` (a single line). While it waits,
// `waiting` (if any) is woken as it asks; `lost` is set when the terminal is gone.
LineResult readLine(const std::string& prompt, Waiting* waiting, const AskOptions& options, bool& lost) {
  LineResult result;
  if (lost || (waiting && waiting->wake(options))) {
    lost = true;
    return result;  // End
  }
  BlockSignals blocked;
  FlagHandler stopHandler(SIGTSTP, onStop);
  if (stopHandler.wasIgnored()) stopHandler.restorePrevious();
  interrupted = 0;
  stopRequested = 0;
  pendingLine = &result;
  lineDone = false;
  rl_callback_handler_install(prompt.c_str(), onLine);

  const int wakeFd = waiting ? waiting->wakeDescriptor() : -1;
  while (!lineDone) {
    if (interrupted) {
      interrupted = 0;
      abandonLine();
      result.kind = LineResult::Kind::Cancel;
      break;
    }
    if (stopRequested) {
      stopRequested = 0;
      suspend(stopHandler);
      continue;
    }
    pollfd fds[2] = {{fileno(rl_instream), POLLIN, 0}, {wakeFd, POLLIN, 0}};
    const auto wait = waiting ? waiting->nextWake(options) : std::nullopt;
    timespec timeout{};
    if (wait) {
      const long long ms = std::max<long long>(0, wait->count());
      timeout.tv_sec = static_cast<time_t>(ms / 1000);
      timeout.tv_nsec = static_cast<long>(ms % 1000) * 1000000L;
    }
    const int ready = ppoll(fds, wakeFd >= 0 ? 2 : 1, wait ? &timeout : nullptr, blocked.waitMask());
    if (ready < 0 && errno != EINTR) {
      rl_callback_handler_remove();
      result.kind = LineResult::Kind::End;
      break;
    }
    // A signal (EINTR), the wake descriptor or the time: the host's turn.
    if (waiting && (ready <= 0 || (fds[1].revents & POLLIN)) && waiting->wake(options)) {
      abandonLine();
      lost = true;
      result.kind = LineResult::Kind::End;
      break;
    }
    if (ready <= 0) continue;
    if (fds[0].revents & POLLNVAL) {
      rl_callback_handler_remove();
      result.kind = LineResult::Kind::End;
      break;
    }
    // The terminal hung up: what was typed and not sent is gone with it.
    if (fds[0].revents & (POLLHUP | POLLERR)) {
      rl_callback_handler_remove();
      lost = true;
      if (waiting) waiting->inputLost();
      result.kind = LineResult::Kind::End;
      break;
    }
    // Data: readline reads it, and reports the end itself when there is nothing to read.
    if (fds[0].revents) rl_callback_read_char();
  }
  pendingLine = nullptr;
  return result;
}

}  // namespace

// --- The console -------------------------------------------------------------

struct TerminalConsole::State {
  Utf8Ctype ctype;
  FlagHandler interruptHandler{SIGINT, onInterrupt};
  std::filesystem::path historyFile;
  std::FILE* output = stdout;
  bool atLineStart = true;
  Waiting* waiting = nullptr;
  bool lost = false;

  void write(std::string_view text) {
    if (text.empty()) return;
    std::fwrite(text.data(), 1, text.size(), output);
    std::fflush(output);
    atLineStart = text.back() == '\n';
  }
};

namespace {
bool consoleExists = false;
}  // namespace

std::filesystem::path TerminalConsole::defaultHistoryFile() {
  const char* home = std::getenv("HOME");
  if (!home || !*home) return {};
  return std::filesystem::path(home) / ".orvcad_history";
}

bool TerminalConsole::available() { return isatty(STDIN_FILENO) == 1; }

TerminalConsole::TerminalConsole(std::filesystem::path historyFile, std::FILE* input,
                                 std::FILE* output) {
  if (consoleExists) throw std::logic_error("only one TerminalConsole may exist at a time");
  state_ = std::make_unique<State>();
  consoleExists = true;
  state_->historyFile = std::move(historyFile);
  state_->output = output;

  rl_readline_name = "orvcad";
  rl_instream = input;
  rl_outstream = output;
  rl_catch_signals = 0;
  rl_initialize();  // reads ~/.inputrc; the settings below come after it
  // Without bracketed paste, pasted lines are replies one by one, as in a
  // script, and leaving a line never sends the cursor back to its start
  // (where "*取消*" would overwrite the prompt).
  rl_variable_bind("enable-bracketed-paste", "off");
  using_history();
  stifle_history(kHistoryEntries);
  if (!state_->historyFile.empty()) read_history(state_->historyFile.c_str());
}

TerminalConsole::~TerminalConsole() {
  if (!state_->historyFile.empty()) {
    write_history(state_->historyFile.c_str());  // at most kHistoryEntries: stifled
  }
  clear_history();
  consoleExists = false;
}

void TerminalConsole::print(std::string_view text) { state_->write(text); }

void TerminalConsole::setWaiting(Waiting* waiting) { state_->waiting = waiting; }

bool TerminalConsole::inputLost() const { return state_->lost; }

Reply TerminalConsole::ask(std::string_view prompt, const AskOptions& options) {
  // Earlier lines of the prompt are printed; readline shows the last one.
  const std::size_t lastBreak = prompt.rfind('\n');
  if (lastBreak != std::string_view::npos) {
    state_->write(prompt.substr(0, lastBreak + 1));
    prompt.remove_prefix(lastBreak + 1);
  }
  LineResult line = readLine(std::string(prompt), state_->waiting, options, state_->lost);
  state_->atLineStart = true;

  switch (line.kind) {
    case LineResult::Kind::Line:
      if (!line.text.empty()) {
        const HIST_ENTRY* previous =
            history_length > 0 ? history_get(history_base + history_length - 1) : nullptr;
        if (!previous || line.text != previous->line) add_history(line.text.c_str());
      }
      return Reply::line(std::move(line.text));
    case LineResult::Kind::Cancel:
      state_->write(kCancelShown);
      return Reply::cancel();
    case LineResult::Kind::End:
      state_->write(options.atCommandPrompt() ? std::string_view("\n") : kCancelShown);
      return Reply::end();
  }
  return Reply::end();
}

void TerminalConsole::alert(std::string_view text) {
  state_->write(alertLine(text, state_->atLineStart));
  const LineResult line = readLine(std::string(kAlertWait), state_->waiting, AskOptions{}, state_->lost);
  if (line.kind != LineResult::Kind::Line) state_->write("\n");
  state_->atLineStart = true;
}

}  // namespace orv::prompt
