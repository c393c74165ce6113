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
class QPlainTextEdit;
class QHBoxLayout;
class QToolButton;

namespace orv::window {

class WindowConsole;

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

  WindowConsole& console_;
  QPlainTextEdit* history_;
  QLabel* prompt_;
  QLineEdit* input_;
  QWidget* keywordBar_;
  QHBoxLayout* keywordLayout_;
  int historyIndex_ = -1;
  std::size_t shown_ = 0;  // the transcript's bytes in the history
};

// The keywords of a prompt with the labels its text gives them: "[圆弧(A)/闭合(C)]"
// names "A" 圆弧 and "C" 闭合, "[是(Y)/否(N)]" names "Yes" 是(Y); a keyword the text does
// not name is labelled by itself.
std::vector<std::pair<QString, std::string>> labelledKeywords(const std::string& promptText,
                                                              const std::vector<std::string>& keywords);

}  // namespace orv::window
