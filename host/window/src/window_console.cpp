// The window's command line: the nested wait for a reply, the queue of commands
// chosen from menus, and the transcript.
#include "window_console.h"

#include <QApplication>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QString>
#include <QWidget>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <memory>

namespace orv::window {

namespace {

constexpr std::string_view kCancelShown = "*取消*\n";
// A command chosen while another waits cancels the prompts of the waiting one; one
// that keeps asking after this many cancels is left to the user.
constexpr int kCancelsForQueue = 20;
constexpr std::size_t kRecentCommands = 10;
constexpr std::size_t kHistoryEntries = 500;

void appendShortest(double v, std::string& out) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, v + 0.0);
  out.append(buffer, result.ptr);
}

std::string_view trimmed(std::string_view s) {
  const auto b = s.find_first_not_of(" \t");
  if (b == std::string_view::npos) return {};
  return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

}  // namespace

std::string pointText(const prompt::Point3& p) {
  std::string text;
  appendShortest(p.x, text);
  text += ',';
  appendShortest(p.y, text);
  if (p.z != 0.0) {
    text += ',';
    appendShortest(p.z, text);
  }
  return text;
}

WindowConsole::WindowConsole() {
  hostTimer_.setSingleShot(true);
  connect(&hostTimer_, &QTimer::timeout, this, [this] { hostWoken(); });
}

WindowConsole::~WindowConsole() {
  if (loop_) loop_->quit();
}

void WindowConsole::write(std::string_view text) {
  if (text.empty()) return;
  transcript_.append(text);
  atLineStart_ = text.back() == '\n';
  if (mirror) mirror(text);
  emit appended(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void WindowConsole::print(std::string_view text) { write(text); }

void WindowConsole::alert(std::string_view text) {
  write(prompt::alertLine(text, atLineStart_));
  if (alertBox && !ended_) alertBox(std::string(text));
  if (beforeReply) beforeReply();
}

void WindowConsole::commandStarted(const std::string& name) {
  recent_.erase(std::remove(recent_.begin(), recent_.end(), name), recent_.end());
  recent_.insert(recent_.begin(), name);
  if (recent_.size() > kRecentCommands) recent_.resize(kRecentCommands);
}

prompt::Reply WindowConsole::ask(std::string_view prompt, const prompt::AskOptions& options) {
  write(prompt);
  const auto lineStart = transcript_.rfind('\n');
  promptLine_ = lineStart == std::string::npos ? transcript_ : transcript_.substr(lineStart + 1);

  std::optional<Due> due;
  if (ended_ || wakeHost(options)) {
    due = Due{prompt::Reply::end(), {}};
  } else {
    due = fromQueue(options);
  }
  // An editor answers this prompt and those after it, as the lines of a script would.
  if (!due && options.kind == prompt::AskKind::text && textEditor) {
    if (auto replies = textEditor(options)) {
      if (replies->cancelled || replies->lines.empty()) {
        due = Due{prompt::Reply::cancel(), {}};
      } else {
        due = Due{prompt::Reply::line(replies->lines.front()), replies->lines.front()};
        for (std::size_t i = 1; i < replies->lines.size(); ++i) queue_.push_back(Queued{replies->lines[i], std::nullopt, true});
      }
    }
  }
  if (!due) {
    options_ = options;
    waiting_ = true;
    emit promptStarted();
    waitForReply();
    waiting_ = false;
    due = std::move(due_);
    due_.reset();
    if (!due) due = Due{prompt::Reply::end(), {}};
    emit promptEnded();
  }
  if (beforeReply) beforeReply();

  switch (due->reply.kind) {
    case prompt::Reply::Kind::Text:
      write(due->echo);
      write("\n");
      if (options.atCommandPrompt() && !trimmed(due->echo).empty()) {
        commandHistory_.push_back(due->echo);
        if (commandHistory_.size() > kHistoryEntries) commandHistory_.erase(commandHistory_.begin());
      }
      break;
    case prompt::Reply::Kind::Cancel:
      write(kCancelShown);
      break;
    case prompt::Reply::Kind::End:
      if (!options.atCommandPrompt()) write(kCancelShown);
      break;
  }
  return std::move(due->reply);
}

bool WindowConsole::wakeHost(const prompt::AskOptions& options) {
  if (lost_) return true;
  if (!hostWaiting_ || !hostWaiting_->wake(options)) return false;
  lost_ = true;
  ended_ = true;
  queue_.clear();
  return true;
}

void WindowConsole::setWaiting(prompt::Waiting* waiting) {
  hostWaiting_ = waiting;
  hostTimer_.stop();
  hostSignalled_.reset();
  if (!waiting || waiting->wakeDescriptor() < 0) return;
  hostSignalled_ = std::make_unique<QSocketNotifier>(waiting->wakeDescriptor(), QSocketNotifier::Read);
  connect(hostSignalled_.get(), &QSocketNotifier::activated, this, [this] { hostWoken(); });
}

void WindowConsole::scheduleWake() {
  hostTimer_.stop();
  if (!hostWaiting_ || !waiting_) return;
  if (const auto wait = hostWaiting_->nextWake(options_))
    hostTimer_.start(std::chrono::milliseconds(std::max<long long>(0, wait->count())));
}

void WindowConsole::hostWoken() {
  if (!hostWaiting_ || ended_) return;
  // Outside a prompt (a dialog or a message box is open) the host is told nothing is
  // asked at the command line, so it only looks at what the descriptor says.
  if (!wakeHost(waiting_ ? options_ : prompt::AskOptions{})) {
    scheduleWake();
    return;
  }
  if (waiting_) {
    deliver(Due{prompt::Reply::end(), {}});
    return;
  }
  // Nobody will answer a dialog any more: each closes as its Cancel, so that the
  // command that opened it comes to its next prompt, which ends.
  for (int i = 0; i < 16; ++i) {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) break;
    modal->close();
  }
}

void WindowConsole::waitForReply() {
  QEventLoop loop;
  loop_ = &loop;
  scheduleWake();
  if (!due_) loop.exec();
  hostTimer_.stop();
  loop_ = nullptr;
}

std::optional<WindowConsole::Due> WindowConsole::fromQueue(const prompt::AskOptions& options) {
  if (queue_.empty()) return std::nullopt;
  Queued& next = queue_.front();
  if (next.fileName) {
    if (options.kind != prompt::AskKind::text) {
      queue_.clear();
      return std::nullopt;
    }
    std::string file = std::move(next.text);
    queue_.pop_front();
    return Due{prompt::Reply::line(file), file};
  }
  if (next.fileDialog) {
    if (options.kind != prompt::AskKind::text) {
      // The command asked something else first: its file name is left to the user.
      queue_.clear();
      return std::nullopt;
    }
    const FileDialogKind kind = *next.fileDialog;
    queue_.pop_front();
    std::optional<std::string> file = fileDialog ? fileDialog(kind) : std::nullopt;
    if (!file) {
      queue_.clear();
      return Due{prompt::Reply::cancel(), {}};
    }
    return Due{prompt::Reply::line(*file), *file};
  }
  if (options.atCommandPrompt()) {
    std::string name = std::move(next.text);
    queue_.pop_front();
    cancelsForQueue_ = 0;
    return Due{prompt::Reply::line(name), name};
  }
  if (++cancelsForQueue_ > kCancelsForQueue) {
    queue_.clear();
    cancelsForQueue_ = 0;
    return std::nullopt;
  }
  return Due{prompt::Reply::cancel(), {}};
}

void WindowConsole::deliver(Due due) {
  if (!waiting_ || due_) return;
  due_ = std::move(due);
  if (loop_) loop_->quit();
}

void WindowConsole::answer(std::string text, std::optional<prompt::Point3> point,
                           std::optional<double> pickReach, bool shift) {
  if (!waiting_ || due_) return;
  prompt::Reply reply = prompt::Reply::line(text);
  reply.point = point;
  if (point) reply.pickReach = pickReach;
  reply.shift = point && shift;
  deliver(Due{std::move(reply), std::move(text)});
}

void WindowConsole::cancel() { deliver(Due{prompt::Reply::cancel(), {}}); }

void WindowConsole::runCommand(std::string name, std::optional<FileDialogKind> fileDialog) {
  std::vector<FileDialogKind> dialogs;
  if (fileDialog) dialogs.push_back(*fileDialog);
  runCommand(std::move(name), dialogs);
}

void WindowConsole::runCommand(std::string name, const std::vector<FileDialogKind>& fileDialogs) {
  queue_.clear();
  cancelsForQueue_ = 0;
  queue_.push_back(Queued{std::move(name), std::nullopt});
  for (FileDialogKind kind : fileDialogs) queue_.push_back(Queued{{}, kind});
  if (waiting_ && !due_) {
    if (auto due = fromQueue(options_)) deliver(std::move(*due));
  }
}

void WindowConsole::runCommandOn(std::string name, std::string file, const std::vector<FileDialogKind>& fileDialogs) {
  queue_.clear();
  cancelsForQueue_ = 0;
  queue_.push_back(Queued{std::move(name), std::nullopt});
  queue_.push_back(Queued{std::move(file), std::nullopt, true});
  for (FileDialogKind kind : fileDialogs) queue_.push_back(Queued{{}, kind});
  if (waiting_ && !due_) {
    if (auto due = fromQueue(options_)) deliver(std::move(*due));
  }
}

void WindowConsole::requestClose() { runCommand("QUIT", FileDialogKind::saveAs); }

void WindowConsole::endInput() {
  ended_ = true;
  queue_.clear();
  deliver(Due{prompt::Reply::end(), {}});
}

}  // namespace orv::window
