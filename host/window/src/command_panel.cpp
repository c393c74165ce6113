// The command panel: history, prompt, input line and keyword buttons; the keys that
// end, cancel and recall replies.
#include "command_panel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "orv/prompt/engine.h"
#include "window_console.h"

namespace orv::window {

namespace {


}  // namespace

std::vector<std::pair<QString, std::string>> labelledKeywords(const std::string& promptText,
                                                              const std::vector<std::string>& keywords) {
  std::vector<std::pair<QString, std::string>> out;
  const QString text = QString::fromStdString(promptText);
  for (const std::string& k : keywords) {
    QString label = QString::fromStdString(k);
    // "标签(K)" inside the prompt's brackets: the label is the text before "(K)" back to
    // the last "[", "/" or "]". K is the keyword, or its capitals as a reply may shorten
    // it to ("[是(Y)/否(N)]" for "Yes No").
    QString marker = "(" + QString::fromStdString(k) + ")";
    qsizetype at = text.indexOf(marker, 0, Qt::CaseInsensitive);
    QString capitals;
    for (const char c : k)
      if (c >= 'A' && c <= 'Z') capitals += QLatin1Char(c);
    if (at < 0 && !capitals.isEmpty()) {
      marker = "(" + capitals + ")";
      at = text.indexOf(marker, 0, Qt::CaseSensitive);
    }
    if (at > 0) {
      qsizetype from = at;
      while (from > 0 && text[from - 1] != '[' && text[from - 1] != '/' && text[from - 1] != ']' &&
             text[from - 1] != '<')
        --from;
      const QString named = text.mid(from, at - from).trimmed();
      if (!named.isEmpty() && from > 0) label = named + text.mid(at, marker.size());  // as the prompt writes it
    }
    out.emplace_back(label, k);
  }
  return out;
}

CommandPanel::CommandPanel(WindowConsole& console, QWidget* parent)
    : QWidget(parent), console_(console) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->setSpacing(2);
  history_ = new QPlainTextEdit(this);
  history_->setReadOnly(true);
  history_->setFocusPolicy(Qt::ClickFocus);
  history_->setMaximumBlockCount(5000);
  history_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  layout->addWidget(history_, 1);

  auto* line = new QHBoxLayout;
  line->setSpacing(4);
  prompt_ = new QLabel(this);
  prompt_->setTextFormat(Qt::PlainText);
  // A long prompt and its keywords take the room there is and never widen the window
  // (which would move the drawing under the cursor while a command waits for a click).
  prompt_->setMinimumWidth(1);
  line->addWidget(prompt_);
  keywordBar_ = new QWidget(this);
  keywordLayout_ = new QHBoxLayout(keywordBar_);
  keywordLayout_->setContentsMargins(0, 0, 0, 0);
  keywordLayout_->setSpacing(2);
  keywordBar_->setMinimumWidth(1);
  line->addWidget(keywordBar_);
  input_ = new QLineEdit(this);
  input_->setFrame(false);
  input_->setMinimumWidth(160);  // room to type, however long the prompt
  input_->installEventFilter(this);
  line->addWidget(input_, 1);
  layout->addLayout(line);

  completions_ = new QListWidget(this);
  completions_->setFocusPolicy(Qt::NoFocus);
  completions_->setMaximumHeight(120);
  completions_->hide();
  layout->addWidget(completions_);
  connect(input_, &QLineEdit::textEdited, this, &CommandPanel::offerCompletions);
  connect(completions_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
    input_->setText(item->data(Qt::UserRole).toString());
    submit();
  });

  connect(&console_, &WindowConsole::appended, this, &CommandPanel::showTranscript);
  connect(&console_, &WindowConsole::promptStarted, this, &CommandPanel::promptStarted);
  connect(&console_, &WindowConsole::promptEnded, this, &CommandPanel::promptEnded);
}

QList<QToolButton*> CommandPanel::keywordButtons() const { return keywordBar_->findChildren<QToolButton*>(); }

std::vector<std::pair<QString, std::string>> CommandPanel::keywordChoices() const {
  if (!console_.waiting()) return {};
  const prompt::AskOptions& o = console_.options();
  if (!o.keywordLabels.empty() && o.keywordLabels.size() == o.keywords.size()) {
    std::vector<std::pair<QString, std::string>> named;
    for (std::size_t i = 0; i < o.keywords.size(); ++i)
      named.emplace_back(QString::fromStdString(o.keywordLabels[i]), o.keywords[i]);
    return named;
  }
  return labelledKeywords(console_.promptLine(), o.keywords);
}

void CommandPanel::showTranscript() {
  // The history shows the finished lines; the line being written is the prompt's.
  const std::string& all = console_.transcript();
  const auto lastBreak = all.rfind('\n');
  if (lastBreak == std::string::npos || lastBreak < shown_) return;
  QTextCursor end(history_->document());
  end.movePosition(QTextCursor::End);
  end.insertText(QString::fromUtf8(all.data() + shown_, static_cast<qsizetype>(lastBreak - shown_)));
  shown_ = lastBreak;
  history_->verticalScrollBar()->setValue(history_->verticalScrollBar()->maximum());
}

void CommandPanel::promptStarted() {
  prompt_->setText(QString::fromStdString(console_.promptLine()));
  input_->clear();
  historyIndex_ = -1;
  rebuildKeywords();
}

void CommandPanel::promptEnded() {
  prompt_->clear();
  input_->clear();
  hideCompletions();
  rebuildKeywords();
}

void CommandPanel::offerCompletions() {
  const QString typed = input_->text().trimmed();
  if (!commandNames || typed.isEmpty() || !console_.waiting() || !console_.options().atCommandPrompt()) {
    hideCompletions();
    return;
  }
  completions_->clear();
  for (const CommandName& n : commandNames()) {
    const QString name = QString::fromStdString(n.name);
    if (!name.startsWith(typed, Qt::CaseInsensitive)) continue;
    auto* item = new QListWidgetItem(n.command.empty() ? name : name + "  (" + QString::fromStdString(n.command) + ")",
                                     completions_);
    item->setData(Qt::UserRole, name);
  }
  completions_->setCurrentRow(-1);  // Enter runs what is typed until one is chosen
  completions_->setVisible(completions_->count() > 0);
}

void CommandPanel::hideCompletions() {
  completions_->clear();
  completions_->hide();
}

bool CommandPanel::walkCompletions(int step, bool round) {
  if (completions_->isHidden() || completions_->count() == 0) return false;
  const int n = completions_->count();
  int row = completions_->currentRow();
  if (row < 0)
    row = step > 0 ? 0 : n - 1;
  else
    row = round ? (row + step + n) % n : std::clamp(row + step, 0, n - 1);
  completions_->setCurrentRow(row);
  return true;
}

void CommandPanel::rebuildKeywords() {
  for (QToolButton* b : keywordButtons()) delete b;
  for (const auto& [label, keyword] : keywordChoices()) {
    auto* b = new QToolButton(keywordBar_);
    b->setText(label);
    b->setFocusPolicy(Qt::NoFocus);
    b->setAutoRaise(true);
    b->setToolTip(QString::fromStdString(keyword));
    const std::string k = keyword;
    connect(b, &QToolButton::clicked, this, [this, k] { console_.answer(k); });
    keywordLayout_->addWidget(b);
  }
  keywordBar_->setVisible(!keywordButtons().isEmpty());
}

void CommandPanel::submit() {
  if (!console_.waiting()) return;
  if (QListWidgetItem* chosen = completions_->isVisible() ? completions_->currentItem() : nullptr)
    input_->setText(chosen->data(Qt::UserRole).toString());
  hideCompletions();
  std::string text = input_->text().toStdString();
  // A keyword armed, or a number where the prompt takes one, is given as typed: what it
  // means in a script. Only elsewhere at a point prompt with a base point is a number
  // alone a distance towards the cursor.
  if (const auto d = prompt::directDistance(console_.options(), text); d && distanceTowardsCursor) {
    if (const auto p = distanceTowardsCursor(*d)) {
      console_.answer(pointText(*p), *p);
      return;
    }
  }
  console_.answer(std::move(text));
}

void CommandPanel::walkHistory(int step) {
  const auto& h = console_.commandHistory();
  if (h.empty()) return;
  if (historyIndex_ < 0) historyIndex_ = static_cast<int>(h.size());
  historyIndex_ = std::clamp(historyIndex_ + step, 0, static_cast<int>(h.size()));
  input_->setText(historyIndex_ == static_cast<int>(h.size()) ? QString()
                                                                : QString::fromStdString(h[historyIndex_]));
}

bool CommandPanel::eventFilter(QObject* watched, QEvent* event) {
  if (watched != input_ || event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  const prompt::AskOptions& o = console_.options();
  switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      submit();
      return true;
    case Qt::Key_Space:
      if (console_.waiting() && o.kind == prompt::AskKind::text && o.blanksAllowed) return false;
      submit();
      return true;
    case Qt::Key_Escape:
      if (completions_->isVisible()) {
        hideCompletions();
        return true;
      }
      input_->clear();
      console_.cancel();
      return true;
    case Qt::Key_Tab:
      walkCompletions(+1, true);
      return true;
    case Qt::Key_Up:
      if (!walkCompletions(-1, false) && console_.waiting() && o.atCommandPrompt()) walkHistory(-1);
      return true;
    case Qt::Key_Down:
      if (!walkCompletions(+1, false) && console_.waiting() && o.atCommandPrompt()) walkHistory(+1);
      return true;
    default:
      return false;
  }
}

// ---- the help panel

HelpPanel::HelpPanel(QWidget* parent) : QWidget(parent) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  filter_ = new QLineEdit(this);
  filter_->setPlaceholderText(QStringLiteral("输入命令名的一部分查找"));
  filter_->setClearButtonEnabled(true);
  layout->addWidget(filter_);
  list_ = new QTreeWidget(this);
  list_->setColumnCount(2);
  list_->setHeaderLabels({QStringLiteral("命令"), QStringLiteral("说明")});
  list_->setRootIsDecorated(false);
  list_->setColumnWidth(0, 150);
  list_->header()->setStretchLastSection(true);
  layout->addWidget(list_, 3);
  // The whole paragraph of the command chosen in the list.
  detail_ = new QLabel(this);
  detail_->setWordWrap(true);
  detail_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  detail_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  detail_->setFrameShape(QFrame::StyledPanel);
  detail_->setMargin(4);
  layout->addWidget(detail_, 1);
  setMinimumWidth(420);
  connect(filter_, &QLineEdit::textChanged, this, &HelpPanel::showMatching);
  connect(list_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
    detail_->setText(item ? item->text(0) + "\n" + item->data(1, Qt::UserRole).toString() : QString());
  });
}

void HelpPanel::setEntries(std::vector<HelpEntry> entries) {
  entries_ = std::move(entries);
  showMatching();
}

void HelpPanel::showMatching() {
  const QString part = filter_->text().trimmed();
  list_->clear();
  for (const HelpEntry& e : entries_) {
    QString names = QString::fromStdString(e.name);
    bool match = part.isEmpty() || names.contains(part, Qt::CaseInsensitive);
    if (!e.aliases.empty()) {
      QStringList aliases;
      for (const std::string& a : e.aliases) {
        aliases << QString::fromStdString(a);
        match = match || aliases.back().contains(part, Qt::CaseInsensitive);
      }
      names += " (" + aliases.join(", ") + ")";
    }
    if (!match) continue;
    auto* item = new QTreeWidgetItem(list_, {names, QString::fromStdString(e.summary)});
    item->setData(0, Qt::UserRole, QString::fromStdString(e.name));
    item->setData(1, Qt::UserRole, QString::fromStdString(e.text));
    item->setToolTip(1, QString::fromStdString(e.text));
  }
  list_->setCurrentItem(list_->topLevelItem(0));
  if (!list_->topLevelItem(0)) detail_->clear();
}

QStringList HelpPanel::shownNames() const {
  QStringList out;
  for (int i = 0; i < list_->topLevelItemCount(); ++i) out << list_->topLevelItem(i)->data(0, Qt::UserRole).toString();
  return out;
}

}  // namespace orv::window
