// The command line of the window: a Console whose ask() waits in a nested event loop
// on the GUI thread, as a modal dialog does, until the user answers in the panel or
// the view; and the transcript it keeps, the same text a script run writes.
#pragma once

#include <QObject>
#include <QTimer>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "orv/prompt/console.h"

class QEventLoop;
class QSocketNotifier;

namespace orv::window {

// What a file dialog is for: the file-name prompt of a command chosen from a menu.
enum class FileDialogKind { open, saveAs, exportPicture };

// The text a clicked point gives, as a script line would type it: "x,y" (",z" when z is
// not 0), each number the shortest text that reads back to the same double.
std::string pointText(const prompt::Point3& p);

class WindowConsole final : public QObject, public prompt::Console {
  Q_OBJECT

 public:
  WindowConsole();
  ~WindowConsole() override;

  // ---- the Console
  // The host's work while a prompt waits: woken when the wait begins, when its
  // descriptor is readable and when its time has come, all on the GUI thread. The
  // descriptor is watched while a dialog or message box is open too: a wake that ends
  // the input then closes them, so that the command goes on to its End.
  void setWaiting(prompt::Waiting* waiting) override;
  // True once the input ended (a signal, or the window going): every reply is End.
  bool inputLost() const override { return lost_ || ended_; }
  void print(std::string_view text) override;
  prompt::Reply ask(std::string_view prompt, const prompt::AskOptions& options = {}) override;
  // The alert line in the transcript, then the modal message box (alertBox).
  void alert(std::string_view text) override;

  // ---- what the user does
  // A reply: typed text, a keyword clicked (its text), Enter (empty), a click (the
  // point, with its text, how far its pick box reaches in drawing units and whether
  // Shift was held). Ignored when nothing waits.
  void answer(std::string text, std::optional<prompt::Point3> point = std::nullopt,
              std::optional<double> pickReach = std::nullopt, bool shift = false);
  // Esc: the waiting prompt is cancelled.
  void cancel();
  // A command chosen from a menu or the tool bar: a command that waits is cancelled
  // first, then the command runs; a file dialog answers its file-name prompt when given.
  void runCommand(std::string name, std::optional<FileDialogKind> fileDialog = std::nullopt);
  // The same with a file dialog for each of the command's file-name prompts in turn; a
  // dialog cancelled cancels its prompt, and the dialogs after it are not shown.
  void runCommand(std::string name, const std::vector<FileDialogKind>& fileDialogs);
  // A command whose file-name prompt is answered with `file` (a recent drawing), then
  // the file dialogs after it.
  void runCommandOn(std::string name, std::string file, const std::vector<FileDialogKind>& fileDialogs = {});
  // The window closes: what waits is cancelled, then QUIT runs (which asks about
  // unsaved changes; a name for an unnamed drawing to be saved comes from a file dialog).
  void requestClose();
  // The input ends (the window is going): every prompt is answered with End.
  void endInput();

  // ---- what the presentation shows
  bool waiting() const { return waiting_; }
  const prompt::AskOptions& options() const { return options_; }
  // The current prompt's last line (after its last line break), for the input line.
  const std::string& promptLine() const { return promptLine_; }
  // Everything shown so far: prompts, replies, messages, as a script run writes them.
  const std::string& transcript() const { return transcript_; }
  // Replies typed at the command prompt, oldest first, for Up and Down.
  const std::vector<std::string>& commandHistory() const { return commandHistory_; }
  // Commands run lately, newest first, without repeats.
  const std::vector<std::string>& recentCommands() const { return recent_; }
  // A command started (the session says so): it heads the recent commands.
  void commandStarted(const std::string& name);

  // ---- hooks the window sets
  // Shows an alert as a modal message box.
  std::function<void(const std::string&)> alertBox;
  // Runs a file dialog; the chosen file, or nullopt when it was cancelled.
  std::function<std::optional<std::string>(FileDialogKind)> fileDialog;
  // Called before a reply goes back to the waiting command (the view stops drawing in
  // the background: the command may change the drawing).
  std::function<void()> beforeReply;
  // Where the transcript is copied as it grows (standard output); may be null.
  std::function<void(std::string_view)> mirror;
  // A text prompt the user answers in an editor (MTEXT's lines, DDEDIT's content): the
  // replies it gives, one per prompt from this one on, as a script would type them;
  // `cancelled` for its Cancel; nullopt where the prompt takes a plain line.
  struct EditorReplies {
    bool cancelled = false;
    std::vector<std::string> lines;
  };
  std::function<std::optional<EditorReplies>(const prompt::AskOptions&)> textEditor;

 signals:
  // Text was added to the transcript.
  void appended(const QString& text);
  // A prompt waits (options() and promptLine() tell which).
  void promptStarted();
  // The waiting prompt got its reply.
  void promptEnded();

 private:
  struct Queued {
    std::string text;                       // a command name for the command prompt
    std::optional<FileDialogKind> fileDialog;  // or a file dialog for a text prompt
    bool fileName = false;                     // or the text is a file name for a text prompt
  };
  struct Due {
    prompt::Reply reply;
    std::string echo;  // what the transcript shows of a text reply
  };
  void write(std::string_view text);
  // A reply from the queue when one is due; nullopt when the user is to be asked.
  std::optional<Due> fromQueue(const prompt::AskOptions& options);
  void deliver(Due due);
  // Runs the nested wait for a reply, waking the host's Waiting as it asks.
  void waitForReply();
  // The host's turn; true when it ended the input.
  bool wakeHost(const prompt::AskOptions& options);
  // The descriptor or the time woke the host: the wait ends, or goes on to the next time.
  void hostWoken();
  void scheduleWake();

  std::string transcript_;
  bool atLineStart_ = true;
  std::string promptLine_;
  prompt::AskOptions options_;
  bool waiting_ = false;
  QEventLoop* loop_ = nullptr;
  std::optional<Due> due_;
  std::deque<Queued> queue_;
  int cancelsForQueue_ = 0;
  bool ended_ = false;
  bool lost_ = false;
  prompt::Waiting* hostWaiting_ = nullptr;
  std::unique_ptr<QSocketNotifier> hostSignalled_;
  QTimer hostTimer_;
  std::vector<std::string> commandHistory_;
  std::vector<std::string> recent_;
};

}  // namespace orv::window
