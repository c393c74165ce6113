// Laying a dialog model out as real controls, and message boxes for questions.
#include "qt_presenter.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <algorithm>
#include <map>
#include <utility>

#include "orv/dialogs/command_line_dialog.h"

namespace orv::window {

namespace {

namespace ds = orv::dialogs;

constexpr int kOk = 1;
constexpr int kCancel = 2;

QString qs(const std::string& s) { return QString::fromStdString(s); }

// A control's text with its "&" shortcut marks as buttons show them.
QString buttonText(const std::string& text) { return qs(text); }

// A picture control: a sunken frame with the bitmap scaled into it, aspect kept.
class PictureFrame final : public QWidget {
 public:
  PictureFrame(std::shared_ptr<const ds::Bitmap> bitmap, QWidget* parent) : QWidget(parent) {
    if (bitmap && bitmap->width > 0 && bitmap->height > 0) {
      image_ = QImage(bitmap->width, bitmap->height, QImage::Format_RGB32);
      for (int y = 0; y < bitmap->height; ++y)
        for (int x = 0; x < bitmap->width; ++x) image_.setPixel(x, y, 0xFF000000u | bitmap->at(x, y));
    }
  }
  const QImage& image() const { return image_; }
  // A click on the picture (its slot is chosen), a double click (chosen, and OK).
  std::function<void()> clicked;
  std::function<void()> doubleClicked;

 protected:
  void mousePressEvent(QMouseEvent* e) override {
    if (e->button() == Qt::LeftButton && clicked) clicked();
  }
  void mouseDoubleClickEvent(QMouseEvent* e) override {
    if (e->button() == Qt::LeftButton && doubleClicked) doubleClicked();
  }
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const QRect inner = rect().adjusted(1, 1, -1, -1);
    p.fillRect(inner, Qt::white);
    if (!image_.isNull()) {
      const QSize fitted = image_.size().scaled(inner.size(), Qt::KeepAspectRatio);
      const QRect target(inner.topLeft() + QPoint((inner.width() - fitted.width()) / 2,
                                                  (inner.height() - fitted.height()) / 2),
                         fitted);
      p.setRenderHint(QPainter::SmoothPixmapTransform, true);
      p.drawImage(target, image_);
    }
    p.setPen(QColor(128, 128, 128));
    p.drawLine(rect().topLeft(), rect().topRight());
    p.drawLine(rect().topLeft(), rect().bottomLeft());
    p.setPen(Qt::white);
    p.drawLine(rect().bottomLeft(), rect().bottomRight());
    p.drawLine(rect().topRight(), rect().bottomRight());
  }

 private:
  QImage image_;
};

}  // namespace

DialogUnits DialogUnits::of(const QFont& font) {
  const QFontMetrics m(font);
  const int letters = m.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  DialogUnits u;
  u.baseX = std::max(1, (letters / 26 + 1) / 2);
  u.baseY = std::max(1, m.height());
  return u;
}

QRect DialogUnits::toPixels(const ds::Rect& r) const {
  return QRect(r.x * baseX / 4, r.y * baseY / 8, r.cx * baseX / 4, r.cy * baseY / 8);
}

QSize DialogUnits::size(int cx, int cy) const { return QSize(cx * baseX / 4, cy * baseY / 8); }

QFont dialogFont(const ds::DialogModel& model) {
  QFont font = QApplication::font();
  const QString wanted = qs(model.fontName);
  if (!wanted.isEmpty() && QFontDatabase::hasFamily(wanted)) font.setFamily(wanted);
  if (model.fontSize > 0 && model.fontSize < 72) font.setPointSize(model.fontSize);
  return font;
}

ModelDialog::ModelDialog(ds::DialogModel& model, QWidget* parent)
    : QDialog(parent), model_(model) {
  const QString caption = qs(ds::displayText(model.caption));
  setWindowTitle(caption.isEmpty() ? QStringLiteral("对话框") : caption);
  setFont(dialogFont(model));
  units_ = DialogUnits::of(font());
  setFixedSize(units_.size(model.frame.cx, model.frame.cy));

  std::map<std::size_t, QButtonGroup*> groups;  // first control of a group -> its radios
  auto& controls = model_.controls();
  for (std::size_t i = 0; i < controls.size(); ++i) {
    ds::Control& c = controls[i];
    if (!c.visible) continue;
    QWidget* w = nullptr;
    const int id = c.id;
    switch (c.kind()) {
      case ds::ControlKind::pushButton: {
        auto* b = new QPushButton(buttonText(c.text), this);
        const bool isDefault = (c.style & ds::style::kButtonTypeMask) == ds::style::kDefPushButton;
        b->setDefault(isDefault);
        b->setAutoDefault(false);
        if (id == kOk) connect(b, &QPushButton::clicked, this, &QDialog::accept);
        if (id == kCancel) connect(b, &QPushButton::clicked, this, &QDialog::reject);
        w = b;
        break;
      }
      case ds::ControlKind::radioButton: {
        auto* r = new QRadioButton(buttonText(c.text), this);
        const std::size_t first = model_.groupOf(i).first;
        QButtonGroup*& group = groups[first];
        if (!group) {
          group = new QButtonGroup(this);
          group->setExclusive(true);
        }
        group->addButton(r);
        r->setChecked(c.checked);
        connect(r, &QRadioButton::toggled, this, [this, id](bool on) {
          if (on) model_.setChecked(id, true);
        });
        w = r;
        break;
      }
      case ds::ControlKind::checkBox: {
        auto* b = new QCheckBox(buttonText(c.text), this);
        b->setChecked(c.checked);
        connect(b, &QCheckBox::toggled, this, [this, id](bool on) { model_.setChecked(id, on); });
        w = b;
        break;
      }
      case ds::ControlKind::groupBox: {
        auto* g = new QGroupBox(qs(ds::displayText(c.text)), this);
        g->lower();
        w = g;
        break;
      }
      case ds::ControlKind::picture: w = new PictureFrame(c.bitmap, this); break;
      case ds::ControlKind::text: {
        auto* l = new QLabel(qs(ds::displayText(c.text)), this);
        l->setWordWrap(true);
        w = l;
        break;
      }
      case ds::ControlKind::other: break;
    }
    if (!w) continue;
    w->setGeometry(units_.toPixels(c.rect));
    w->setEnabled(c.enabled);
    w->setObjectName(QStringLiteral("control%1").arg(id));
    widgets_.emplace_back(id, w);
    byIndex_.emplace(i, w);
  }
  bindPictures();
}

void ModelDialog::bindPictures() {
  // A picture chooses the radio button of its slot, as a click on the button does.
  for (const ds::Slot& slot : ds::slotsOf(model_)) {
    if (!slot.picture) continue;
    const auto frameAt = byIndex_.find(*slot.picture), radioAt = byIndex_.find(slot.radio);
    if (frameAt == byIndex_.end() || radioAt == byIndex_.end()) continue;
    auto* frame = dynamic_cast<PictureFrame*>(frameAt->second);
    auto* radio = qobject_cast<QRadioButton*>(radioAt->second);
    if (!frame || !radio) continue;
    frame->clicked = [radio] {
      if (radio->isEnabled()) radio->setChecked(true);
    };
    frame->doubleClicked = [this, radio] {
      if (!radio->isEnabled()) return;
      radio->setChecked(true);
      if (auto* ok = qobject_cast<QPushButton*>(control(kOk)); ok && ok->isEnabled())
        ok->click();
      else if (!ok)
        accept();
    };
  }
}

QWidget* ModelDialog::control(int id) const {
  for (const auto& [i, w] : widgets_)
    if (i == id) return w;
  return nullptr;
}

ds::Presented QtPresenter::present(ds::DialogModel& model) {
  ModelDialog dialog(model, parent);
  if (shown) QTimer::singleShot(0, &dialog, [this, &dialog] { shown(&dialog); });
  const int result = dialog.exec();
  if (closed) closed();
  return {result == QDialog::Accepted ? ds::Press::ok : ds::Press::cancel, false};
}

std::size_t QtPresenter::choose(const ds::Question& q) {
  if (q.answers.empty()) return 0;
  if (const auto ahead = std::exchange(answeredAhead, std::nullopt); ahead && ahead->prompt == q.prompt)
    return std::min(ahead->answer, q.answers.size() - 1);
  QMessageBox box(parent);
  box.setWindowTitle(QStringLiteral("orvcad"));
  box.setIcon(QMessageBox::Question);
  QString text = qs(q.text);
  if (text.isEmpty()) text = qs(q.prompt).trimmed();
  box.setText(text);
  std::vector<QPushButton*> buttons;
  for (const ds::Question::Answer& a : q.answers)
    buttons.push_back(box.addButton(qs(!a.button.empty() ? a.button : a.label.empty() ? a.keyword : a.label),
                                    QMessageBox::ActionRole));
  const std::size_t onCancel = q.cancelAnswer.value_or(q.defaultAnswer);
  if (q.defaultAnswer < buttons.size()) box.setDefaultButton(buttons[q.defaultAnswer]);
  if (onCancel < buttons.size()) box.setEscapeButton(buttons[onCancel]);
  if (shown) QTimer::singleShot(0, &box, [this, &box] { shown(&box); });
  box.exec();
  if (closed) closed();
  for (std::size_t i = 0; i < buttons.size(); ++i)
    if (box.clickedButton() == buttons[i]) return i;
  return onCancel;
}

void showAlert(QWidget* parent, const QString& text, const std::function<void(QWidget*)>& shown) {
  QMessageBox box(parent);
  box.setWindowTitle(QStringLiteral("orvcad"));
  box.setIcon(QMessageBox::Information);
  box.setText(text);
  box.setStandardButtons(QMessageBox::Ok);
  box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
  if (shown) QTimer::singleShot(0, &box, [&box, &shown] { shown(&box); });
  box.exec();
}

}  // namespace orv::window
