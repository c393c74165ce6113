// The layer control: rows painted as state icons, colour and name; clicks on the icons
// of the open list reported without closing it.
#include "layer_control.h"

#include <QAbstractItemView>
#include <QCursor>
#include <QInputDialog>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyledItemDelegate>

#include <algorithm>
#include <cmath>

namespace orv::window {

namespace {

constexpr int kStateRole = Qt::UserRole + 1;  // row index into rows_, -1 for "*多种*"

// Paints a row: four icons, then the name.
class RowDelegate final : public QStyledItemDelegate {
 public:
  RowDelegate(const LayerControl& control, QObject* parent) : QStyledItemDelegate(parent), control_(control) {}

  void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const int row = index.data(kStateRole).toInt();
    if (row < 0 || row >= static_cast<int>(control_.rows().size())) {
      QStyledItemDelegate::paint(p, option, index);
      return;
    }
    const bool selected = (option.state & QStyle::State_Selected) != 0;
    p->save();
    p->fillRect(option.rect, option.palette.brush(selected ? QPalette::Highlight : QPalette::Base));
    const LayerControl::Row& r = control_.rows()[static_cast<std::size_t>(row)];
    const QRect rect = option.rect;
    auto at = [&](int column) {
      return QRect(rect.left() + column * LayerControl::kCell + 2, rect.top() + (rect.height() - 16) / 2, 16, 16);
    };
    p->drawPixmap(at(LayerControl::onColumn), layerIcon(LayerIcon::on, r.on));
    p->drawPixmap(at(LayerControl::frozenColumn), layerIcon(LayerIcon::frozen, r.frozen));
    p->drawPixmap(at(LayerControl::lockedColumn), layerIcon(LayerIcon::locked, r.locked));
    p->drawPixmap(at(LayerControl::colourColumn), layerIcon(LayerIcon::colour, true, r.colour));
    const QRect text(rect.left() + LayerControl::nameColumn * LayerControl::kCell + 4, rect.top(),
                     rect.width() - LayerControl::nameColumn * LayerControl::kCell - 4, rect.height());
    p->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    p->drawText(text, Qt::AlignVCenter | Qt::AlignLeft, r.name);
    p->restore();
  }

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize s = QStyledItemDelegate::sizeHint(option, index);
    s.setHeight(std::max(s.height(), 20));
    s.setWidth(s.width() + LayerControl::nameColumn * LayerControl::kCell + 8);
    return s;
  }

 private:
  const LayerControl& control_;
};

QPixmap rowIcon(const LayerControl::Row& r) {
  QPixmap all(4 * 18, 16);
  all.fill(Qt::transparent);
  QPainter p(&all);
  p.drawPixmap(0, 0, layerIcon(LayerIcon::on, r.on));
  p.drawPixmap(18, 0, layerIcon(LayerIcon::frozen, r.frozen));
  p.drawPixmap(36, 0, layerIcon(LayerIcon::locked, r.locked));
  p.drawPixmap(54, 0, layerIcon(LayerIcon::colour, true, r.colour));
  return all;
}

}  // namespace

QColor aciToColor(int index) {
  static const QColor kStandard[] = {QColor(0, 0, 0),     QColor(255, 0, 0),   QColor(255, 255, 0),
                                     QColor(0, 255, 0),   QColor(0, 255, 255), QColor(0, 0, 255),
                                     QColor(255, 0, 255), QColor(255, 255, 255), QColor(128, 128, 128),
                                     QColor(192, 192, 192)};
  index = std::abs(index);
  if (index >= 0 && index <= 9) return kStandard[index];
  if (index >= 250 && index <= 255) {
    const int grey = 51 + (index - 250) * 40;
    return QColor(grey, grey, grey);
  }
  if (index < 10 || index > 249) return QColor(0, 0, 0);
  // The wheel: 24 hues of 15 degrees, five values, full or half saturation.
  const int hue = ((index / 10) - 1) * 15;
  const int step = index % 10;
  static const double kValue[] = {1.0, 1.0, 0.65, 0.65, 0.5, 0.5, 0.3, 0.3, 0.15, 0.15};
  const double saturation = step % 2 == 0 ? 1.0 : 0.5;
  return QColor::fromHsvF(hue / 360.0, saturation, kValue[step]);
}

QPixmap layerIcon(LayerIcon kind, bool state, int colour) {
  QPixmap pm(16, 16);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  switch (kind) {
    case LayerIcon::on:  // a bulb, lit or grey
      p.setPen(QPen(QColor(90, 90, 90), 1));
      p.setBrush(state ? QColor(255, 214, 0) : QColor(70, 90, 140));
      p.drawEllipse(QRectF(3.5, 1.5, 9, 9));
      p.setBrush(QColor(150, 150, 150));
      p.drawRect(QRectF(5.5, 10.5, 5, 4));
      break;
    case LayerIcon::frozen:
      if (state) {  // a snowflake
        p.setPen(QPen(QColor(40, 120, 230), 1.6));
        for (int a = 0; a < 3; ++a) {
          const double r = a * M_PI / 3.0;
          p.drawLine(QPointF(8 - 6.5 * std::cos(r), 8 - 6.5 * std::sin(r)),
                     QPointF(8 + 6.5 * std::cos(r), 8 + 6.5 * std::sin(r)));
        }
      } else {  // a sun
        p.setPen(QPen(QColor(230, 150, 0), 1.2));
        for (int a = 0; a < 8; ++a) {
          const double r = a * M_PI / 4.0;
          p.drawLine(QPointF(8 + 4.5 * std::cos(r), 8 + 4.5 * std::sin(r)),
                     QPointF(8 + 7 * std::cos(r), 8 + 7 * std::sin(r)));
        }
        p.setBrush(QColor(255, 190, 0));
        p.drawEllipse(QRectF(4.5, 4.5, 7, 7));
      }
      break;
    case LayerIcon::locked: {  // a padlock, shut or open
      p.setPen(QPen(QColor(110, 110, 110), 1.6));
      p.setBrush(Qt::NoBrush);
      QPainterPath shackle;
      const double left = state ? 5.0 : 9.0;
      shackle.moveTo(left, 8);
      shackle.lineTo(left, 5);
      shackle.arcTo(QRectF(left, 1.5, 6, 6), 180, -180);
      shackle.lineTo(left + 6, state ? 8 : 6);
      p.drawPath(shackle);
      p.setPen(QPen(QColor(90, 90, 90), 1));
      p.setBrush(state ? QColor(220, 170, 40) : QColor(200, 200, 200));
      p.drawRect(QRectF(3.5, 7.5, 9, 7));
      break;
    }
    case LayerIcon::colour:
      p.setPen(QPen(QColor(60, 60, 60), 1));
      p.setBrush(aciToColor(colour));
      p.drawRect(QRectF(2.5, 2.5, 11, 11));
      break;
  }
  return pm;
}

std::optional<int> chooseColour(QWidget* parent, int now) {
  QMenu menu(parent);
  const char* names[] = {"红", "黄", "绿", "青", "蓝", "洋红", "白"};
  for (int c = 1; c <= 7; ++c) {
    QAction* a = menu.addAction(QIcon(layerIcon(LayerIcon::colour, true, c)), QString::number(c) + " " + names[c - 1]);
    a->setData(c);
    a->setCheckable(true);
    a->setChecked(c == now);
  }
  menu.addSeparator();
  QAction* other = menu.addAction(QStringLiteral("其他颜色…"));
  QAction* chosen = menu.exec(QCursor::pos());
  if (!chosen) return std::nullopt;
  if (chosen != other) return chosen->data().toInt();
  bool ok = false;
  const int c = QInputDialog::getInt(parent, QStringLiteral("选择颜色"), QStringLiteral("颜色编号 (1-255):"),
                                     now >= 1 && now <= 255 ? now : 7, 1, 255, 1, &ok);
  if (!ok) return std::nullopt;
  return c;
}

LayerControl::LayerControl(QWidget* parent) : QComboBox(parent) {
  setObjectName(QStringLiteral("layerControl"));
  setItemDelegate(new RowDelegate(*this, this));
  setIconSize(QSize(4 * 18, 16));
  setMinimumWidth(220);
  setFocusPolicy(Qt::NoFocus);
  view()->viewport()->installEventFilter(this);
  view()->setMouseTracking(true);
}

void LayerControl::setRows(const std::vector<Row>& rows, int shown) {
  const bool same = rows.size() == rows_.size() && various_ == (shown < 0) && count() == static_cast<int>(rows.size()) + (various_ ? 1 : 0);
  rows_ = rows;
  various_ = shown < 0;
  const QSignalBlocker quiet(this);
  if (!same) {
    clear();
    if (various_) {
      addItem(QStringLiteral("*多种*"));
      setItemData(0, -1, kStateRole);
    }
    for (std::size_t i = 0; i < rows_.size(); ++i) {
      addItem(rowIcon(rows_[i]), rows_[i].name);
      setItemData(count() - 1, static_cast<int>(i), kStateRole);
    }
  } else {
    // Changed in place, so that an open list stays open and where it was.
    for (std::size_t i = 0; i < rows_.size(); ++i) {
      const int item = static_cast<int>(i) + (various_ ? 1 : 0);
      setItemText(item, rows_[i].name);
      setItemIcon(item, rowIcon(rows_[i]));
    }
  }
  setCurrentIndex(various_ ? 0 : std::clamp(shown, 0, std::max(0, count() - 1)));
  view()->viewport()->update();
}

int LayerControl::rowOfItem(int item) const {
  if (item < 0 || item >= count()) return -1;
  return itemData(item, kStateRole).toInt();
}

QRect LayerControl::cellRect(int row, Column column) const {
  const QModelIndex index = model()->index(row + (various_ ? 1 : 0), modelColumn());
  const QRect r = view()->visualRect(index);
  if (column == nameColumn) return QRect(r.left() + nameColumn * kCell, r.top(), r.width() - nameColumn * kCell, r.height());
  return QRect(r.left() + column * kCell, r.top(), kCell, r.height());
}

bool LayerControl::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (watched == view()->viewport() &&
      (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease || type == QEvent::MouseButtonDblClick)) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    const QPoint at = mouse->position().toPoint();
    const QModelIndex index = view()->indexAt(at);
    const int row = index.isValid() ? index.data(kStateRole).toInt() : -1;
    if (row >= 0) {
      const int column = (at.x() - view()->visualRect(index).left()) / kCell;
      if (column >= onColumn && column < nameColumn) {
        // A state's icon: switched at the press (a quick second press comes as a double
        // click), and the list stays open.
        if (type != QEvent::MouseButtonRelease && mouse->button() == Qt::LeftButton) emit stateClicked(row, column);
        return true;
      }
    }
  }
  return QComboBox::eventFilter(watched, event);
}

}  // namespace orv::window
