// The text editors of the window: MTEXT's lines in a multi-line box (Enter a new line,
// Ctrl+Enter or 确定 ends), and one line of text in an edit box, prefilled (DDEDIT).
#pragma once

#include <QDialog>

#include <string>
#include <vector>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace orv::window {

class TextEditorDialog final : public QDialog {
  Q_OBJECT

 public:
  // `lines` to begin with; `height` the text's height, shown above the box.
  TextEditorDialog(const std::vector<std::string>& lines, double height, QWidget* parent = nullptr);

  // The lines as they stand in the box (a last line break gives no line).
  std::vector<std::string> lines() const;
  QPlainTextEdit& box() const { return *box_; }
  QPushButton& okButton() const { return *ok_; }
  QPushButton& cancelButton() const { return *cancel_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QPlainTextEdit* box_;
  QPushButton* ok_;
  QPushButton* cancel_;
};

class LineEditorDialog final : public QDialog {
  Q_OBJECT

 public:
  LineEditorDialog(const std::string& text, QWidget* parent = nullptr);

  std::string text() const;
  QLineEdit& edit() const { return *edit_; }

 private:
  QLineEdit* edit_;
};

}  // namespace orv::window
