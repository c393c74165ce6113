// The 打印 dialog: its controls, the preview drawn by the renderer's plot, OK as a PLOT command line,
// and the window's corners picked in the drawing while the dialog is hidden.
#include "plot_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

#include <charconv>
#include <cmath>

#include "orv/prompt/reply_parser.h"
#include "plot_command.h"
#include "view_control.h"
#include "view_painter.h"
#include "window_console.h"

namespace orv::window {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }
std::string text(const QString& s) { return s.trimmed().toStdString(); }

// The areas in the order the area list shows them.
constexpr app::PlotArea kAreas[] = {app::PlotArea::extents, app::PlotArea::window, app::PlotArea::display,
                                    app::PlotArea::limits, app::PlotArea::layout};

// The shortest text that reads back to the same double.
// What 选择窗口< says while a command runs.
const char16_t kBusy[] = u"命令正在运行：请先结束它（Esc），再在图形中选择窗口。";

QString number(double v) {
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, v + 0.0);
  return QString::fromLatin1(buf, static_cast<qsizetype>(r.ptr - buf));
}

std::optional<prompt::Point3> pointIn(const QLineEdit& edit) {
  return prompt::parsePoint(prompt::asciiForms(text(edit.text())), prompt::Point3{});
}

}  // namespace

PlotDialog::PlotDialog(app::Session& session, QWidget* parent, const WindowConsole* console)
    : QDialog(parent), session_(session), console_(console) {
  setWindowTitle(QStringLiteral("打印"));
  layouts_ = render::layoutsOf(session.database());

  format_ = new QComboBox(this);
  format_->addItems({QStringLiteral("PDF"), QStringLiteral("PNG"), QStringLiteral("SVG")});
  paper_ = new QComboBox(this);
  paper_->setEditable(true);
  paper_->addItems({QStringLiteral("A0"), QStringLiteral("A1"), QStringLiteral("A2"), QStringLiteral("A3"),
                    QStringLiteral("A4"), QStringLiteral("A3x3"), QStringLiteral("A3x4"), QStringLiteral("A4x3"),
                    QStringLiteral("A4x4"), QStringLiteral("A4x5")});
  paper_->setToolTip(QStringLiteral("A0 到 A4、加长幅面，或 宽×高（毫米）"));
  orientation_ = new QComboBox(this);
  orientation_->addItems({QStringLiteral("横向"), QStringLiteral("纵向")});
  area_ = new QComboBox(this);
  area_->addItems({QStringLiteral("范围"), QStringLiteral("窗口"), QStringLiteral("显示"), QStringLiteral("图形界限"),
                   QStringLiteral("布局")});
  layout_ = new QComboBox(this);
  for (const auto& l : layouts_) layout_->addItem(qs(l.name));
  corner1_ = new QLineEdit(this);
  corner2_ = new QLineEdit(this);
  corner1_->setPlaceholderText(QStringLiteral("x,y"));
  corner2_->setPlaceholderText(QStringLiteral("x,y"));
  // Room for corners such as "-12345.678,-12345.678".
  for (QLineEdit* corner : {corner1_, corner2_})
    corner->setMinimumWidth(corner->fontMetrics().horizontalAdvance(QStringLiteral("-12345.678,-12345.678  ")));
  pick_ = new QPushButton(QStringLiteral("选择窗口<"), this);
  pick_->setToolTip(QStringLiteral("在图形中指定窗口的两个角点"));
  pick_->setAutoDefault(false);
  connect(pick_, &QPushButton::clicked, this, &PlotDialog::pickClicked);
  scale_ = new QComboBox(this);
  scale_->setEditable(true);
  scale_->addItems({QStringLiteral("布满"), QStringLiteral("1:1"), QStringLiteral("1:2"), QStringLiteral("1:5"),
                    QStringLiteral("1:10"), QStringLiteral("1:20"), QStringLiteral("1:50"), QStringLiteral("1:100"),
                    QStringLiteral("1:200"), QStringLiteral("1:500"), QStringLiteral("1:1000"), QStringLiteral("2:1")});
  centred_ = new QCheckBox(QStringLiteral("居中"), this);
  offset_ = new QLineEdit(this);
  offset_->setPlaceholderText(QStringLiteral("x,y（毫米）"));
  pens_ = new QComboBox(this);
  pens_->addItems({QStringLiteral("单色"), QStringLiteral("彩色")});
  dpi_ = new QSpinBox(this);
  dpi_->setRange(10, 2400);
  dpi_->setSuffix(QStringLiteral(" dpi"));
  file_ = new QLineEdit(this);
  auto* browse = new QPushButton(QStringLiteral("浏览..."), this);
  connect(browse, &QPushButton::clicked, this, &PlotDialog::chooseFile);

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("输出"), format_);
  form->addRow(QStringLiteral("图纸尺寸"), paper_);
  form->addRow(QStringLiteral("图纸方向"), orientation_);
  form->addRow(QStringLiteral("打印范围"), area_);
  form->addRow(QStringLiteral("布局"), layout_);
  auto* corners = new QHBoxLayout;
  corners->addWidget(corner1_);
  corners->addWidget(corner2_);
  corners->addWidget(pick_);
  form->addRow(QStringLiteral("窗口角点"), corners);
  form->addRow(QStringLiteral("打印比例"), scale_);
  auto* place = new QHBoxLayout;
  place->addWidget(centred_);
  place->addWidget(offset_);
  form->addRow(QStringLiteral("打印位置"), place);
  form->addRow(QStringLiteral("笔"), pens_);
  form->addRow(QStringLiteral("分辨率"), dpi_);
  auto* fileRow = new QHBoxLayout;
  fileRow->addWidget(file_, 1);
  fileRow->addWidget(browse);
  form->addRow(QStringLiteral("文件名"), fileRow);

  previewLabel_ = new QLabel(this);
  previewLabel_->setObjectName(QStringLiteral("preview"));
  previewLabel_->setFixedSize(kPreviewWidth, kPreviewHeight);
  problem_ = new QLabel(this);
  problem_->setWordWrap(true);
  problem_->setStyleSheet(QStringLiteral("color: #b00020"));
  buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons_->button(QDialogButtonBox::Ok)->setText(QStringLiteral("打印"));
  buttons_->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
  connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* right = new QVBoxLayout;
  right->addWidget(previewLabel_);
  right->addWidget(problem_);
  right->addStretch(1);
  auto* columns = new QHBoxLayout;
  columns->addLayout(form);
  columns->addLayout(right);
  auto* all = new QVBoxLayout(this);
  all->addLayout(columns);
  all->addWidget(buttons_);

  later_ = new QTimer(this);
  later_->setSingleShot(true);
  later_->setInterval(150);
  connect(later_, &QTimer::timeout, this, &PlotDialog::refreshPreview);

  fill(app::plotDefaults(session.database()));
  lastArea_ = kAreas[std::clamp(area_->currentIndex(), 0, 4)];
  for (QComboBox* box : {format_, paper_, orientation_, area_, layout_, scale_, pens_})
    connect(box, &QComboBox::currentTextChanged, this, &PlotDialog::changed);
  for (QLineEdit* edit : {corner1_, corner2_, offset_, file_}) connect(edit, &QLineEdit::textChanged, this, &PlotDialog::changed);
  connect(centred_, &QCheckBox::toggled, this, &PlotDialog::changed);
  connect(dpi_, &QSpinBox::valueChanged, this, &PlotDialog::changed);
  changed();
  refreshPreview();
}

void PlotDialog::fill(const app::PlotChoices& c) {
  format_->setCurrentText(qs(app::formatName(c.format)));
  paper_->setCurrentText(qs(c.paper.name));
  orientation_->setCurrentIndex(c.orientation == render::Orientation::portrait ? 1 : 0);
  for (int i = 0; i < 5; ++i)
    if (kAreas[i] == c.area) area_->setCurrentIndex(i);
  if (c.area == app::PlotArea::display && !shown()) area_->setCurrentIndex(0);
  if (c.area == app::PlotArea::layout && layouts_.empty()) area_->setCurrentIndex(0);
  if (const int i = layout_->findText(qs(c.layout)); i >= 0) layout_->setCurrentIndex(i);
  if (c.area == app::PlotArea::window) {
    corner1_->setText(number(c.window.minX) + "," + number(c.window.minY));
    corner2_->setText(number(c.window.maxX) + "," + number(c.window.maxY));
  }
  scale_->setCurrentText(qs(render::scaleText(c.scale)));
  centred_->setChecked(c.centred);
  offset_->setText(number(c.offsetXMm) + "," + number(c.offsetYMm));
  pens_->setCurrentIndex(c.monochrome ? 0 : 1);
  dpi_->setValue(static_cast<int>(std::lround(c.dpi)));
  offeredFile_ = app::defaultPlotFile(session_, c.format).string();
  file_->setText(qs(offeredFile_));
}

std::optional<render::Extents> PlotDialog::shown() const {
  core::Vec2 lo, hi;
  if (!session_.view() || !session_.view()->shownArea(lo, hi)) return std::nullopt;
  return render::Extents{lo.x, lo.y, hi.x, hi.y};
}

std::optional<app::PlotChoices> PlotDialog::choices(std::string& why) const {
  app::PlotChoices c;
  const int f = format_->currentIndex();
  c.format = f == 1 ? render::PictureFormat::png : f == 2 ? render::PictureFormat::svg : render::PictureFormat::pdf;
  const auto paper = render::paperNamed(prompt::asciiForms(text(paper_->currentText())));
  if (!paper) {
    why = "不认识的图纸尺寸“" + text(paper_->currentText()) + "”：用 A0 到 A4、A3x3 这样的加长幅面，或 宽×高（毫米）。";
    return std::nullopt;
  }
  c.paper = *paper;
  c.orientation = orientation_->currentIndex() == 1 ? render::Orientation::portrait : render::Orientation::landscape;
  c.area = kAreas[std::clamp(area_->currentIndex(), 0, 4)];
  if (c.area == app::PlotArea::window) {
    const auto a = pointIn(*corner1_), b = pointIn(*corner2_);
    if (!a || !b || a->x == b->x || a->y == b->y) {
      why = "窗口需要两个角点（x,y），且要有面积。";
      return std::nullopt;
    }
    c.window = {std::min(a->x, b->x), std::min(a->y, b->y), std::max(a->x, b->x), std::max(a->y, b->y)};
  }
  if (c.area == app::PlotArea::display && !shown()) {
    why = "没有显示图形的窗口，无法按显示打印。";
    return std::nullopt;
  }
  if (c.area == app::PlotArea::layout) {
    if (layouts_.empty()) {
      why = "图形没有布局（图纸空间）。";
      return std::nullopt;
    }
    c.layout = text(layout_->currentText());
  }
  const auto scale = render::parseScale(prompt::asciiForms(text(scale_->currentText())));
  if (!scale) {
    why = "不认识的比例“" + text(scale_->currentText()) + "”：用 1:100 这样的比例或 布满。";
    return std::nullopt;
  }
  c.scale = *scale;
  c.centred = centred_->isChecked();
  if (!c.centred) {
    const std::string o = prompt::asciiForms(text(offset_->text()));
    const auto comma = o.find(',');
    const auto x = comma == std::string::npos ? std::nullopt : prompt::parseReal(o.substr(0, comma));
    const auto y = comma == std::string::npos ? std::nullopt : prompt::parseReal(o.substr(comma + 1));
    if (!x || !y || std::abs(*x) > 10000.0 || std::abs(*y) > 10000.0) {
      why = "打印位置需要 x,y 偏移（毫米）。";
      return std::nullopt;
    }
    c.offsetXMm = *x;
    c.offsetYMm = *y;
  }
  c.monochrome = pens_->currentIndex() == 0;
  c.dpi = dpi_->value();
  return c;
}

std::string PlotDialog::file() const { return text(file_->text()); }

std::optional<std::string> PlotDialog::commandLine() const {
  std::string why;
  const auto c = choices(why);
  if (!c || file().empty()) return std::nullopt;
  return "PLOT " + app::plotLine(*c, file());
}

void PlotDialog::changed() {
  const int f = format_->currentIndex();
  const auto format = f == 1 ? render::PictureFormat::png : f == 2 ? render::PictureFormat::svg : render::PictureFormat::pdf;
  // The file offered follows the output until the user names one.
  if (text(file_->text()) == offeredFile_) {
    offeredFile_ = app::defaultPlotFile(session_, format).string();
    const QSignalBlocker quiet(file_);
    file_->setText(qs(offeredFile_));
  }
  const app::PlotArea a = kAreas[std::clamp(area_->currentIndex(), 0, 4)];
  // A layout is drawn at its own size: 1:1 offered when it is chosen.
  if (a == app::PlotArea::layout && lastArea_ != app::PlotArea::layout && !layouts_.empty()) {
    const QSignalBlocker quiet(scale_);
    scale_->setCurrentText(QStringLiteral("1:1"));
  }
  lastArea_ = a;
  layout_->setEnabled(a == app::PlotArea::layout && !layouts_.empty());
  corner1_->setEnabled(a == app::PlotArea::window);
  corner2_->setEnabled(a == app::PlotArea::window);
  pick_->setEnabled(a == app::PlotArea::window);
  offset_->setEnabled(!centred_->isChecked());
  dpi_->setEnabled(format == render::PictureFormat::png);
  std::string why;
  const bool ok = choices(why).has_value();
  if (ok && file().empty()) why = "需要文件名。";
  problem_->setText(qs(why));
  buttons_->button(QDialogButtonBox::Ok)->setEnabled(why.empty());
  later_->start();
}

void PlotDialog::refreshPreview() {
  later_->stop();
  preview_ = QImage(kPreviewWidth, kPreviewHeight, QImage::Format_RGB32);
  preview_.fill(QColor(0x80, 0x80, 0x80));
  std::string why;
  const auto c = choices(why);
  const render::Pictures* r = pictures();
  if (c && r && r->plotPreview && r->modelExtents) {
    if (const auto request = app::plotRequest(*r, session_.database(), *c, shown(), why)) {
      // The sheet inside a grey border, so that its edges show.
      render::PixelRows rows;
      rows.stride = static_cast<int>(preview_.bytesPerLine());
      rows.data = preview_.bits() + kPreviewBorder * rows.stride + kPreviewBorder * 4;
      rows.width = preview_.width() - 2 * kPreviewBorder;
      rows.height = preview_.height() - 2 * kPreviewBorder;
      const render::PlotResult result = r->plotPreview(session_.database(), *request, rows);
      if (!result) why = result.message;
      else if (!result.plan.fits) why = "注意：打印范围在这个比例下超出图纸，只打印放得下的部分。";
    }
  }
  if (!why.empty() && problem_->text().isEmpty()) problem_->setText(qs(why));
  previewLabel_->setPixmap(QPixmap::fromImage(preview_));
}

void PlotDialog::chooseFile() {
  const QString chosen = QFileDialog::getSaveFileName(
      this, QStringLiteral("打印到文件"), file_->text(), QStringLiteral("图纸 (*.pdf *.png *.svg)"), nullptr,
      QFileDialog::DontConfirmOverwrite | QFileDialog::DontUseNativeDialog);
  if (!chosen.isEmpty()) file_->setText(chosen);
}

void PlotDialog::setWindowCorners(const prompt::Point3& first, const prompt::Point3& second) {
  area_->setCurrentIndex(1);
  corner1_->setText(qs(pointText({first.x, first.y, 0.0})));
  corner2_->setText(qs(pointText({second.x, second.y, 0.0})));
  refreshPreview();
}

void PlotDialog::pickClicked() {
  if (!console_ || !console_->waiting() || !console_->options().atCommandPrompt()) {
    problem_->setText(QString::fromUtf16(kBusy));
    return;
  }
  done(kPickWindow);
}

// ---- the dialog over the window, across the picking of its corners

PlotDialogs::PlotDialogs(QWidget* parent, app::Session& session, WindowConsole& console)
    : QObject(parent), parent_(parent), session_(&session), console_(console) {
  app::setPlotWindowTaker(session, [this](const std::optional<app::PlotCorners>& corners) {
    picking_ = false;
    // Back at the command prompt that follows (unless another command was chosen meanwhile).
    QTimer::singleShot(0, this, [this, corners] { back(corners); });
  });
}

PlotDialogs::~PlotDialogs() { sessionGone(); }

void PlotDialogs::sessionGone() {
  if (session_) app::setPlotWindowTaker(*session_, {});
  session_ = nullptr;
}

void PlotDialogs::open() {
  if (!session_) return;
  if (picking_ && console_.waiting() && !console_.options().atCommandPrompt()) {
    console_.cancel();  // the corners' prompt ends as at Esc: the dialog comes back
    return;
  }
  picking_ = false;
  if (!dialog_) dialog_ = new PlotDialog(*session_, parent_, &console_);
  show();
}

void PlotDialogs::show() {
  for (;;) {
    const QPointer<PlotDialog> d = dialog_;
    const int result = d->exec();
    if (!d) return;  // the window went
    if (result != PlotDialog::kPickWindow) {
      const auto line = result == QDialog::Accepted ? d->commandLine() : std::nullopt;
      drop();
      if (line) console_.runCommand(*line);
      return;
    }
    if (console_.waiting() && console_.options().atCommandPrompt() && !console_.inputLost()) {
      picking_ = true;
      console_.answer(kPickCommand);
      return;
    }
    d->problem().setText(QString::fromUtf16(kBusy));
  }
}

void PlotDialogs::back(const std::optional<app::PlotCorners>& corners) {
  if (!session_ || console_.inputLost() || !console_.waiting() || !console_.options().atCommandPrompt()) {
    drop();
    return;
  }
  if (!dialog_) {
    if (!corners) return;
    dialog_ = new PlotDialog(*session_, parent_, &console_);
  }
  if (corners) dialog_->setWindowCorners(corners->first, corners->second);
  show();
}

void PlotDialogs::drop() {
  if (dialog_) dialog_->deleteLater();
  dialog_ = nullptr;
}

}  // namespace orv::window
