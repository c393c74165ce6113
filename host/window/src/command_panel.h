// The command panel: the transcript as history above one input line that holds the
// current prompt, with the prompt's keywords as buttons.
#pragma once

#include <QWidget>

#include <functional>
#include <optional>
#include <string>

#include "orv/prompt/console.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QHBoxLayout;
class QToolButton;
class QTreeWidget;

namespace orv::window {

class WindowConsole;

// A name typed at "命令: ": a command's, or an alias and the command it stands for.
struct CommandName {
  std::string name;
  std::string command;  // the command an alias runs; empty for a command's own name
};

class CommandPanel final : public QWidget {
  Q_OBJECT

 public:
  CommandPanel(WindowConsole& console, QWidget* parent = nullptr);

  QLineEdit* input() const { return input_; }
  QPlainTextEdit* history() const { return history_; }
  // The keyword buttons of the waiting prompt.
  QList<QToolButton*> keywordButtons() const;

  // The point at a distance from the prompt's base point towards the cursor: what a
  // number alone typed at a point prompt with a base point gives where the prompt takes
  // no number and no keyword of that name (prompt::directDistance).
  std::function<std::optional<prompt::Point3>(double distance)> distanceTowardsCursor;
  // The names that may be typed at "命令: ", offered under the input line as they are
  // typed; unset: none are offered.
  std::function<std::vector<CommandName>()> commandNames;
  // The list of names offered for what is typed (hidden when there are none).
  QListWidget* completions() const { return completions_; }

  // Ends the reply in the input line (Enter, Space).
  void submit();
  // Fills the input line from the history of commands (Up: -1, Down: +1).
  void walkHistory(int step);
  // The keywords of the prompt as the menu shows them: label and keyword.
  std::vector<std::pair<QString, std::string>> keywordChoices() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void showTranscript();
  void promptStarted();
  void promptEnded();
  void rebuildKeywords();
  // The names that begin with what is typed at the command prompt, shown in the list.
  void offerCompletions();
  void hideCompletions();
  // Up/Down (-1/+1) or Tab (+1, round) through the list; false when it is hidden.
  bool walkCompletions(int step, bool round);

  WindowConsole& console_;
  QPlainTextEdit* history_;
  QLabel* prompt_;
  QLineEdit* input_;
  QWidget* keywordBar_;
  QHBoxLayout* keywordLayout_;
  QListWidget* completions_;
  int historyIndex_ = -1;
  std::size_t shown_ = 0;  // the transcript's bytes in the history
};

// One command in the help panel: its name, the other names it is typed by, and what
// it does.
struct HelpEntry {
  std::string name;
  std::vector<std::string> aliases;
  std::string summary;  // one line
  std::string text;     // the whole paragraph
};

// The help panel: every command with its description, those whose names (or aliases)
// hold what is typed in its filter field; below the list the whole paragraph of the
// command chosen in it.
class HelpPanel final : public QWidget {
  Q_OBJECT

 public:
  explicit HelpPanel(QWidget* parent = nullptr);
  void setEntries(std::vector<HelpEntry> entries);
  QLineEdit* filter() const { return filter_; }
  QTreeWidget* list() const { return list_; }
  QLabel* detail() const { return detail_; }
  // The names of the commands shown now, in order.
  QStringList shownNames() const;

 private:
  void showMatching();
  std::vector<HelpEntry> entries_;
  QLineEdit* filter_;
  QTreeWidget* list_;
  QLabel* detail_;
};

// The keywords of a prompt with the labels its text gives them: "[圆弧(A)/闭合(C)]"
// names "A" 圆弧 and "C" 闭合, "[是(Y)/否(N)]" names "Yes" 是(Y); a keyword the text does
// not name is labelled by itself.
std::vector<std::pair<QString, std::string>> labelledKeywords(const std::string& promptText,
                                                              const std::vector<std::string>& keywords);

}  // namespace orv::window
