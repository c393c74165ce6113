// The layer manager: the table of layers, clicks that switch a state or choose a
// colour, linetype or lineweight, new layers, renaming, deleting and the current one,
// each through LAYER.
#include "layer_manager.h"

#include <QCursor>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

#include "layer_control.h"
#include "layer_states.h"
#include "lineweights.h"
#include "window_console.h"

namespace orv::window {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

// A layer's lineweight as the table shows it: the default in words, as the panel says it.
QString lineweightLabel(std::int16_t w) {
  return w == db::lineweight::byDefault ? QStringLiteral("默认") : qs(app::lineweightText(w));
}

QTableWidgetItem* cell(const QString& text, const QPixmap& icon = {}) {
  auto* item = new QTableWidgetItem(text);
  if (!icon.isNull()) item->setIcon(QIcon(icon));
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  return item;
}

}  // namespace

LayerManager::LayerManager(app::Session& session, WindowConsole& console, QWidget* parent)
    : QDialog(parent), session_(&session), console_(console) {
  setObjectName(QStringLiteral("layerManager"));
  setWindowTitle(QStringLiteral("图层管理器"));
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  table_ = new QTableWidget(0, columnCount, this);
  table_->setHorizontalHeaderLabels({QStringLiteral("当前"), QStringLiteral("名称"), QStringLiteral("开"),
                                     QStringLiteral("冻结"), QStringLiteral("锁定"), QStringLiteral("颜色"),
                                     QStringLiteral("线型"), QStringLiteral("线宽"), QStringLiteral("打印")});
  table_->verticalHeader()->hide();
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
  table_->horizontalHeader()->setStretchLastSection(true);
  layout->addWidget(table_);

  auto* row = new QHBoxLayout;
  newName_ = new QLineEdit(this);
  newName_->setPlaceholderText(QStringLiteral("新图层名"));
  newButton_ = new QPushButton(QStringLiteral("新建图层"), this);
  currentButton_ = new QPushButton(QStringLiteral("置为当前"), this);
  deleteButton_ = new QPushButton(QStringLiteral("删除图层"), this);
  deleteButton_->setToolTip(QStringLiteral("删除选中的图层（没有对象使用它时）"));
  auto* close = new QPushButton(QStringLiteral("关闭"), this);
  for (QPushButton* b : {newButton_, currentButton_, deleteButton_, close}) b->setAutoDefault(false);
  row->addWidget(newName_);
  row->addWidget(newButton_);
  row->addWidget(currentButton_);
  row->addWidget(deleteButton_);
  row->addStretch();
  row->addWidget(close);
  layout->addLayout(row);
  note_ = new QLabel(this);
  note_->setWordWrap(true);
  layout->addWidget(note_);
  resize(760, 420);

  connect(table_, &QTableWidget::cellClicked, this, &LayerManager::cellClicked);
  // As in other layer managers: a double click on the name renames, on the mark sets current.
  connect(table_, &QTableWidget::cellDoubleClicked, this, [this](int r, int c) {
    if (c == currentColumn) layer("S " + nameOf(r));
    else if (c == nameColumn) table_->editItem(table_->item(r, c));
  });
  connect(newButton_, &QPushButton::clicked, this, &LayerManager::makeLayer);
  connect(newName_, &QLineEdit::returnPressed, this, &LayerManager::makeLayer);
  connect(currentButton_, &QPushButton::clicked, this, &LayerManager::makeCurrent);
  connect(deleteButton_, &QPushButton::clicked, this, &LayerManager::deleteLayer);
  connect(table_, &QTableWidget::itemChanged, this, &LayerManager::nameEdited);
  connect(close, &QPushButton::clicked, this, &QDialog::close);
  // A refusal ("不能删除图层…") is shown here too, not only in the command window.
  connect(&console_, &WindowConsole::appended, this, [this](const QString& text) {
    if (listening_) heard_ += text;
  });
  connect(&console_, &WindowConsole::promptStarted, this, [this] {
    if (!listening_) return;
    listening_ = false;
    QStringList said;
    for (const QString& line : heard_.split(QLatin1Char('\n'))) {
      const QString t = line.trimmed();
      if (!t.isEmpty() && !t.startsWith(QStringLiteral("命令:")) && t != echo_) said << t;
    }
    note_->setText(said.join(QLatin1Char('\n')));
  });
}

std::string LayerManager::nameOf(int row) const {
  if (!session_ || row < 0 || static_cast<std::size_t>(row) >= session_->database().layers().size()) return {};
  return session_->database().layers()[static_cast<std::size_t>(row)].name;
}

bool LayerManager::layer(const std::string& line) {
  if (!session_ || !console_.waiting() || !console_.options().atCommandPrompt()) {
    note_->setText(QStringLiteral("命令正在运行：请先结束它（Esc），再修改图层。"));
    return false;
  }
  note_->clear();
  heard_.clear();
  echo_ = QString::fromStdString("LAYER " + line).trimmed();
  listening_ = true;
  console_.answer("LAYER " + line);
  return true;
}

void LayerManager::refresh() {
  if (!session_) return;
  const db::Database& d = session_->database();
  const int selected = table_->currentRow();
  filling_ = true;
  table_->setRowCount(static_cast<int>(d.layers().size()));
  int r = 0;
  for (const db::Layer& l : d.layers()) {
    const bool current = db::foldName(l.name) == db::foldName(d.header.currentLayer);
    table_->setItem(r, currentColumn, cell(current ? QStringLiteral("✓") : QString()));
    QTableWidgetItem* name = cell(qs(l.name));
    name->setFlags(name->flags() | Qt::ItemIsEditable);
    name->setToolTip(QStringLiteral("按 F2 或再次点击可重命名"));
    table_->setItem(r, nameColumn, name);
    table_->setItem(r, onColumn, cell(QString(), layerIcon(LayerIcon::on, !app::layerIsOff(l))));
    table_->setItem(r, frozenColumn, cell(QString(), layerIcon(LayerIcon::frozen, app::layerIsFrozen(l))));
    table_->setItem(r, lockedColumn, cell(QString(), layerIcon(LayerIcon::locked, app::layerIsLocked(l))));
    table_->setItem(r, colourColumn,
                    cell(QString::number(std::abs(l.color)), layerIcon(LayerIcon::colour, true, std::abs(l.color))));
    table_->setItem(r, linetypeColumn, cell(qs(l.linetype)));
    table_->setItem(r, lineweightColumn, cell(lineweightLabel(l.lineweight)));
    table_->setItem(r, plotColumn, cell(app::layerPlots(l) ? QStringLiteral("打印") : QStringLiteral("不打印")));
    for (int c : {onColumn, frozenColumn, lockedColumn})
      table_->item(r, c)->setToolTip(QStringLiteral("点击切换"));
    ++r;
  }
  table_->resizeColumnsToContents();
  // Resizing to the contents takes the last column's stretch away: give it back.
  table_->horizontalHeader()->setStretchLastSection(false);
  table_->horizontalHeader()->setStretchLastSection(true);
  if (selected >= 0 && selected < table_->rowCount()) table_->selectRow(selected);
  filling_ = false;
}

void LayerManager::nameEdited(QTableWidgetItem* item) {
  if (filling_ || !session_ || !item || item->column() != nameColumn) return;
  const std::string old = nameOf(item->row());
  const std::string typed = item->text().trimmed().toStdString();
  bool sent = false;
  if (old.empty() || typed == old) {
  } else if (typed.empty()) {
    note_->setText(QStringLiteral("图层名不能为空。"));
  } else if (typed.find(',') != std::string::npos) {
    note_->setText(QStringLiteral("图层名不能含有逗号。"));
  } else {
    sent = layer("R " + old + "," + typed);
  }
  // The table shows the drawing: the old name until LAYER has renamed the layer (filled
  // again once the edit is over, not while the table is still handling it).
  if (!sent) QTimer::singleShot(0, this, &LayerManager::refresh);
}

void LayerManager::deleteLayer() {
  const std::string name = nameOf(table_->currentRow());
  if (name.empty()) {
    note_->setText(QStringLiteral("请先在表中选择一个图层。"));
    return;
  }
  layer("D " + name);
}

void LayerManager::cellClicked(int row, int column) {
  if (!session_) return;
  const std::string name = nameOf(row);
  if (name.empty()) return;
  const db::Layer& l = session_->database().layers()[static_cast<std::size_t>(row)];
  switch (column) {
    case onColumn: layer((app::layerIsOff(l) ? "ON " : "OFF ") + name); break;
    case frozenColumn: layer((app::layerIsFrozen(l) ? "T " : "F ") + name); break;
    case lockedColumn: layer((app::layerIsLocked(l) ? "U " : "LO ") + name); break;
    case plotColumn: layer((app::layerPlots(l) ? "P N " : "P Y ") + name); break;
    case colourColumn:
      if (const auto c = chooseColour(this, std::abs(l.color))) layer("C " + std::to_string(*c) + " " + name);
      break;
    case linetypeColumn: {
      QMenu menu(this);
      for (const db::Linetype& lt : session_->database().linetypes()) {
        QAction* a = menu.addAction(qs(lt.name));
        a->setCheckable(true);
        a->setChecked(db::foldName(lt.name) == db::foldName(l.linetype));
      }
      if (QAction* chosen = menu.exec(QCursor::pos())) layer("L " + chosen->text().toStdString() + " " + name);
      break;
    }
    case lineweightColumn: {
      QMenu menu(this);
      std::vector<int> weights = {-3};
      for (std::int16_t w : db::kStandardLineweights) weights.push_back(w);
      for (int w : weights) {
        QAction* a = menu.addAction(lineweightLabel(static_cast<std::int16_t>(w)));
        a->setData(w);
        a->setCheckable(true);
        a->setChecked(w == l.lineweight);
      }
      if (QAction* chosen = menu.exec(QCursor::pos())) {
        const int w = chosen->data().toInt();
        layer("LW " + (w < 0 ? std::string("默认") : QString::number(w / 100.0, 'f', 2).toStdString()) + " " + name);
      }
      break;
    }
    default: break;
  }
}

void LayerManager::makeLayer() {
  const std::string name = newName_->text().trimmed().toStdString();
  if (name.empty()) {
    note_->setText(QStringLiteral("请先输入新图层的名称。"));
    return;
  }
  if (name.find(',') != std::string::npos) {
    note_->setText(QStringLiteral("图层名不能含有逗号。"));
    return;
  }
  if (layer("N " + name)) newName_->clear();
}

void LayerManager::makeCurrent() {
  const std::string name = nameOf(table_->currentRow());
  if (name.empty()) {
    note_->setText(QStringLiteral("请先在表中选择一个图层。"));
    return;
  }
  layer("S " + name);
}

}  // namespace orv::window
