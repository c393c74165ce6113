// The window's text editors (see text_editor.h).
#include "text_editor.h"

#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace orv::window {

namespace {

QDialogButtonBox* buttons(QDialog* d) {
  auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, d);
  box->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
  box->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
  QObject::connect(box, &QDialogButtonBox::accepted, d, &QDialog::accept);
  QObject::connect(box, &QDialogButtonBox::rejected, d, &QDialog::reject);
  return box;
}

}  // namespace

TextEditorDialog::TextEditorDialog(const std::vector<std::string>& lines, double height, QWidget* parent)
    : QDialog(parent) {
  setObjectName(QStringLiteral("textEditor"));
  setWindowTitle(QStringLiteral("多行文字"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("文字高度: ") + QString::number(height, 'g', 12) +
                               QStringLiteral("    （回车换行，Ctrl+回车或“确定”结束）"), this));
  box_ = new QPlainTextEdit(this);
  box_->setObjectName(QStringLiteral("textBox"));
  QStringList text;
  for (const std::string& l : lines) text << QString::fromStdString(l);
  box_->setPlainText(text.join(QLatin1Char('\n')));
  box_->moveCursor(QTextCursor::End);
  box_->installEventFilter(this);
  layout->addWidget(box_);
  QDialogButtonBox* b = buttons(this);
  ok_ = b->button(QDialogButtonBox::Ok);
  cancel_ = b->button(QDialogButtonBox::Cancel);
  ok_->setAutoDefault(false);
  ok_->setDefault(false);
  layout->addWidget(b);
  resize(420, 220);
}

bool TextEditorDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == box_ && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (enter && (key->modifiers() & Qt::ControlModifier)) {
      accept();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

std::vector<std::string> TextEditorDialog::lines() const {
  QString text = box_->toPlainText();
  if (text.endsWith(QLatin1Char('\n'))) text.chop(1);
  std::vector<std::string> out;
  if (text.isEmpty()) return out;
  for (const QString& l : text.split(QLatin1Char('\n'))) out.push_back(l.toStdString());
  return out;
}

LineEditorDialog::LineEditorDialog(const std::string& text, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("lineEditor"));
  setWindowTitle(QStringLiteral("编辑文字"));
  auto* layout = new QVBoxLayout(this);
  edit_ = new QLineEdit(QString::fromStdString(text), this);
  edit_->setObjectName(QStringLiteral("lineEdit"));
  edit_->selectAll();
  layout->addWidget(edit_);
  layout->addWidget(buttons(this));
  resize(360, edit_->sizeHint().height() * 3);
}

std::string LineEditorDialog::text() const { return edit_->text().toStdString(); }

}  // namespace orv::window
