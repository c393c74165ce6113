// The main window: its menus and tool bar, the wiring of view, panel and console, the
// status bar, the title and closing.
//
// Sections: the window built and wired; menus and commands; the session and its
// drawing (OPEN from the menu); recent drawings; commands by name (the input line's
// list, the help panel); closing and keys (the undo keys among them).
#include "main_window.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCloseEvent>
#include <QDir>
#include <QDockWidget>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QLibraryInfo>
#include <QPlainTextEdit>
#include <QPointer>
#include <QSettings>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QTranslator>

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

#include "command_panel.h"
#include "drawing_view.h"
#include "keep_work.h"
#include "layer_control.h"
#include "layer_manager.h"
#include "lineweights.h"
#include "messages.h"
#include "plot_dialog.h"
#include "qt_presenter.h"
#include "properties_panel.h"
#include "selection_tools.h"
#include "text_editor.h"
#include "text_entry.h"
#include "window_clipboard.h"
#include "window_console.h"

namespace orv::window {

namespace {

// A command as the menus and the tool bar offer it.
struct OfferedCommand {
  std::string name;
  app::MenuPlace place;
};

// Every command the window may offer, in menu order: the host's as they describe
// themselves, then the pipe module's.
std::vector<OfferedCommand> offeredCommands(const app::Session& session) {
  std::vector<OfferedCommand> out;
  for (const auto& c : session.hostCommands())
    if (!c.menu.menu.empty()) out.push_back({c.name, c.menu});
  for (const app::ModuleCommandInfo& c : app::moduleCommandInfos()) out.push_back({std::string(c.local), c.menu});
  return out;
}

std::optional<FileDialogKind> dialogFor(app::FileChoice choice) {
  switch (choice) {
    case app::FileChoice::open: return FileDialogKind::open;
    case app::FileChoice::saveAs: return FileDialogKind::saveAs;
    case app::FileChoice::exportPicture: return FileDialogKind::exportPicture;
    case app::FileChoice::none: break;
  }
  return std::nullopt;
}

QString fromView(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

QString qs(const std::string& s) { return QString::fromStdString(s); }

// The drawing's undo keys: "UNDO" for Ctrl+Z, "REDO" for Ctrl+Y and Ctrl+Shift+Z; null
// for any other key.
const char* undoCommandOf(const QKeyEvent& key) {
  const Qt::KeyboardModifiers mods =
      key.modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier | Qt::MetaModifier);
  if (key.key() == Qt::Key_Z && mods == Qt::ControlModifier) return "UNDO";
  if (key.key() == Qt::Key_Z && mods == (Qt::ControlModifier | Qt::ShiftModifier)) return "REDO";
  if (key.key() == Qt::Key_Y && mods == Qt::ControlModifier) return "REDO";
  return nullptr;
}

// The toolkit's own texts (file dialogs, message box buttons, a text field's menu) in
// Chinese whatever the locale: Qt's translations, installed once for the application.
void installChineseTranslations() {
  static QPointer<QTranslator> installed;
  if (installed) return;
  auto* qtbase = new QTranslator(qApp);
  if (qtbase->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(qtbase);
    installed = qtbase;
  } else {
    delete qtbase;
  }
}

// The first sentence of a paragraph (up to "：" or "。"): a command's line in a list.
std::string firstSentence(const std::string& text) {
  const std::size_t cut = std::min(text.find("："), text.find("。"));
  return cut == std::string::npos ? text : text.substr(0, cut);
}

bool isTextField(QObject* o) {
  if (auto* line = qobject_cast<QLineEdit*>(o)) return !line->isReadOnly();
  if (auto* edit = qobject_cast<QPlainTextEdit*>(o)) return !edit->isReadOnly();
  return o && o->inherits("QAbstractSpinBox");
}

}  // namespace

// Snap overrides of the session's prompts: a clicked point finds its snap within the
// pick box it was clicked with, a typed one within the session's pick distance.
class MainWindow::ClickSnaps final : public prompt::SnapProvider {
 public:
  explicit ClickSnaps(core::Snapper& snapper) : snapper_(snapper) {}
  std::optional<prompt::Point3> snapPoint(prompt::SnapKind kind, const prompt::Point3& at,
                                          const std::optional<prompt::Point3>& base) override {
    return snapper_.snapPoint(kind, at, base);
  }
  std::optional<prompt::Point3> snapPointWithin(prompt::SnapKind kind, const prompt::Point3& at,
                                                const std::optional<prompt::Point3>& base, double reach) override {
    std::optional<core::Vec2> from;
    if (base) from = core::Vec2{base->x, base->y};
    const auto found = snapper_.find(kind, {at.x, at.y}, reach, from);
    if (!found) return std::nullopt;
    return prompt::Point3{found->point.x, found->point.y, 0};
  }

 private:
  core::Snapper& snapper_;
};

// ZOOM and PAN as the session's commands ask them, done on the view.
class MainWindow::ViewCommands final : public app::ViewControl {
 public:
  explicit ViewCommands(DrawingView& view) : view_(view) {}
  void zoomAll() override { zoomExtents(); }
  void zoomExtents() override {
    remember();
    view_.zoomExtents();
  }
  void zoomWindow(core::Vec2 a, core::Vec2 b) override {
    remember();
    const render::Extents box{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
    view_.moveView(fitView(box, view_.width(), view_.height(), 0.0));
  }
  bool zoomPrevious() override {
    if (previous_.empty()) return false;
    view_.moveView(previous_.back());
    previous_.pop_back();
    return true;
  }
  void zoomScale(double factor) override {
    remember();
    view_.zoomAbout(QPointF(view_.width() / 2.0, view_.height() / 2.0), factor);
  }
  bool shownArea(core::Vec2& lo, core::Vec2& hi) const override {
    if (view_.width() < 1 || view_.height() < 1) return false;
    const db::Point2 a = view_.transform().toDrawing({0.0, double(view_.height())});
    const db::Point2 b = view_.transform().toDrawing({double(view_.width()), 0.0});
    lo = {a.x, a.y};
    hi = {b.x, b.y};
    return true;
  }
  void pan(core::Vec2 d) override {
    remember();
    const double s = view_.transform().scale;
    view_.panBy(QPointF(d.x * s, -d.y * s));
  }

 private:
  void remember() {
    previous_.push_back(view_.transform());
    if (previous_.size() > 50) previous_.erase(previous_.begin());
  }
  DrawingView& view_;
  std::vector<ViewTransform> previous_;
};

QString windowTitleFor(const core::Document& document) {
  return QStringLiteral("orvcad - ") + qs(document.displayName()) + (document.modified() ? QStringLiteral(" *") : QString());
}

MainWindow::MainWindow(app::Session& session, WindowConsole& console, QtPresenter& presenter)
    : session_(&session), console_(console), presenter_(presenter) {
  installChineseTranslations();
  presenter_.parent = this;
  view_ = new DrawingView(this);
  panel_ = new CommandPanel(console_, this);
  auto* split = new QSplitter(Qt::Vertical, this);
  split->addWidget(view_);
  split->addWidget(panel_);
  split->setStretchFactor(0, 1);
  split->setSizes({600, 160});
  split->setChildrenCollapsible(false);
  setCentralWidget(split);

  toolBar_ = addToolBar(QStringLiteral("命令"));
  toolBar_->setObjectName(QStringLiteral("commands"));
  toolBar_->setFocusPolicy(Qt::NoFocus);
  toolBar_->setToolButtonStyle(Qt::ToolButtonTextOnly);

  coordinates_ = new QLabel(this);
  coordinates_->setMinimumWidth(220);
  statusBar()->addWidget(coordinates_);
  auto toggle = [this](const QString& label, bool on, auto apply) {
    auto* b = new QToolButton(this);
    b->setText(label);
    b->setCheckable(true);
    b->setChecked(on);
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    connect(b, &QToolButton::toggled, this, apply);
    statusBar()->addPermanentWidget(b);
    return b;
  };
  snapButton_ = toggle(QStringLiteral("对象捕捉"), view_->snapOn(), [this](bool on) { view_->setSnapOn(on); });
  orthoButton_ = toggle(QStringLiteral("正交"), view_->orthoOn(), [this](bool on) { view_->setOrthoOn(on); });
  gridButton_ = toggle(QStringLiteral("栅格"), view_->gridOn(), [this](bool on) { view_->setGridOn(on); });
  // Lineweights shown or not: a setting of the drawing ($LWDISPLAY), saved with it.
  lineweightButton_ = toggle(QStringLiteral("线宽"), false, [this](bool on) {
    if (!session_ || !document_) return;
    app::setLineweightDisplay(*document_, on);
    view_->drawingChanged();
  });
  lineweightButton_->setToolTip(QStringLiteral("显示线宽（LWDISPLAY）"));
  buildSnapMenu();
  snapButton_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(snapButton_, &QWidget::customContextMenuRequested, this,
          [this](QPoint at) { snapMenu_->popup(snapButton_->mapToGlobal(at)); });

  buildMenus();
  helpDock_ = new QDockWidget(QStringLiteral("帮助"), this);
  helpDock_->setObjectName(QStringLiteral("help"));
  helpPanel_ = new HelpPanel(helpDock_);
  helpDock_->setWidget(helpPanel_);
  addDockWidget(Qt::RightDockWidgetArea, helpDock_);
  helpDock_->hide();

  // The console and the view.
  connect(&console_, &WindowConsole::promptStarted, this, [this] {
    bindDrafting();
    view_->setPrompt(console_.options());
    selection_->promptStarted();
    if (console_.options().atCommandPrompt()) properties_->refresh();
    if (console_.options().atCommandPrompt() && layerManager_ && layerManager_->isVisible()) layerManager_->refresh();
    if (console_.options().atCommandPrompt()) refreshCommands();
    panel_->input()->setFocus();
  });
  connect(&console_, &WindowConsole::promptEnded, this, [this] { view_->setPrompt(std::nullopt); });
  connect(view_, &DrawingView::pointClicked, this, [this](const prompt::Point3& p, bool shift) {
    // What the click picks (a typed snap's point at "于") lies within its pick box, or
    // within the pick distance a typed point has when that reaches further.
    const double pick = session_ ? session_->pickDistance() : 0.0;
    console_.answer(pointText(p), p, std::max(DrawingView::kPickBox / view_->transform().scale, pick), shift);
  });
  connect(view_, &DrawingView::rightClicked, this, &MainWindow::rightClickInView);
  connect(view_, &DrawingView::cursorMoved, this, [this](double x, double y) {
    coordinates_->setText(QString::number(x, 'f', 4) + ", " + QString::number(y, 'f', 4));
  });
  panel_->distanceTowardsCursor = [this](double d) { return distanceTowardsCursor(d); };
  panel_->commandNames = [this] { return commandNames(); };
  panel_->setContextMenuPolicy(Qt::CustomContextMenu);
  panel_->input()->setContextMenuPolicy(Qt::CustomContextMenu);
  panel_->history()->setContextMenuPolicy(Qt::CustomContextMenu);
  for (QWidget* w : {static_cast<QWidget*>(panel_), static_cast<QWidget*>(panel_->input()),
                     static_cast<QWidget*>(panel_->history())})
    connect(w, &QWidget::customContextMenuRequested, this,
            [this, w](QPoint at) { contextMenu()->popup(w->mapToGlobal(at)); });

  console_.alertBox = [this](const std::string& text) { showAlert(this, qs(text), presenter_.shown); };
  console_.fileDialog = [this](FileDialogKind kind) {
    auto chosen = chooseFile(static_cast<int>(kind));
    view_->quiesce();
    return chosen;
  };
  console_.beforeReply = [this] { view_->quiesce(); };
  presenter_.closed = [this] { view_->quiesce(); };
  // Text typed in place (TEXT's line shown as it is typed) and the text editors.
  view_->typedPreview = [this]() -> std::vector<db::Entity> {
    const app::TextEntry* entry = session_ ? app::textEntry(*session_) : nullptr;
    if (!entry || entry->kind != app::TextEntry::Kind::line || !entry->preview) return {};
    return entry->preview(panel_->input()->text().toStdString());
  };
  connect(panel_->input(), &QLineEdit::textChanged, view_, [this] { view_->update(); });
  console_.textEditor = [this](const prompt::AskOptions&) { return editText(); };

  // Snaps and picks of the session's index, its drafting settings, its ZOOM and PAN.
  view_->snapAt = [this](db::Point2 at, double within) -> std::optional<Snap> {
    if (!session_) return std::nullopt;
    const core::DraftingSettings& d = session_->drafting();
    if (!d.objectSnap) return std::nullopt;
    std::optional<core::Vec2> base;
    if (console_.waiting() && console_.options().basePoint)
      base = core::Vec2{console_.options().basePoint->x, console_.options().basePoint->y};
    const auto found = session_->snapper().candidates({at.x, at.y}, within, d.runningSnaps, base);
    if (found.empty()) return std::nullopt;
    return Snap{{found.front().point.x, found.front().point.y}, static_cast<SnapKind>(found.front().kind)};
  };
  view_->nearestPoint = [this](db::Point2 at, double within) -> std::optional<db::Point2> {
    if (!session_) return std::nullopt;
    const auto found =
        session_->snapper().candidates({at.x, at.y}, within, prompt::snapBit(prompt::SnapKind::nearest));
    if (found.empty()) return std::nullopt;
    return db::Point2{found.front().point.x, found.front().point.y};
  };
  view_->entityAt = [this](db::Point2 at, double within) -> std::optional<db::ObjectId> {
    if (!session_) return std::nullopt;
    const db::ObjectId id = session_->index().pick({at.x, at.y}, within);
    if (id.isNull()) return std::nullopt;
    return id;
  };
  view_->entitiesIn = [this](const render::Extents& box) -> std::optional<std::vector<db::ObjectId>> {
    if (!session_) return std::nullopt;
    return session_->index().query(core::Box2{box.minX, box.minY, box.maxX, box.maxY}, false);
  };
  // What the command shows at the cursor, the selection and its grips.
  view_->previewAt = [this](db::Point2 at) -> std::vector<db::Entity> {
    if (!session_ || !session_->dragPreview()) return {};
    return session_->dragPreview()(prompt::Point3{at.x, at.y, 0.0});
  };
  selection_ = new SelectionTools(session, console_, *view_);
  properties_ = new PropertiesPanel(session, console_, this);
  addDockWidget(Qt::LeftDockWidgetArea, properties_);
  properties_->hide();
  connect(selection_, &SelectionTools::selectionChanged, properties_, &PropertiesPanel::refresh);
  QToolBar* layers = addToolBar(QStringLiteral("图层"));
  layers->setObjectName(QStringLiteral("layers"));
  layers->addWidget(&properties_->layerControl());
  for (QMenu* m : menuBar()->findChildren<QMenu*>()) {
    if (m->title() != QStringLiteral("视图")) continue;
    QAction* shown = properties_->toggleViewAction();
    shown->setShortcut(QKeySequence(QStringLiteral("Ctrl+1")));
    shown->setShortcutContext(Qt::ApplicationShortcut);
    m->addSeparator();
    m->addAction(shown);
    break;
  }
  clipboard_ = std::make_unique<DesktopClipboard>();
  viewCommands_ = std::make_unique<ViewCommands>(*view_);
  session.bindView(viewCommands_.get());
  clickSnaps_ = std::make_unique<ClickSnaps>(session.snapper());
  session.prompts().setSnapProvider(clickSnaps_.get());
  connect(snapButton_, &QToolButton::toggled, this, [this](bool on) {
    if (session_) session_->drafting().objectSnap = on;
  });
  connect(orthoButton_, &QToolButton::toggled, this, [this](bool on) {
    if (session_) session_->drafting().ortho = on;
  });
  connect(gridButton_, &QToolButton::toggled, this, [this](bool on) {
    if (session_) session_->drafting().grid = on;
  });
  bindDrafting();

  plotDialogs_ = new PlotDialogs(this, session, console_);
  session.addObserver(this);
  documentReplaced(session.document());
  qApp->installEventFilter(this);
  resize(1280, 860);
}

void MainWindow::sessionGone() {
  session_ = nullptr;
  selection_->sessionGone();
  properties_->sessionGone();
  if (layerManager_) layerManager_->sessionGone();
  if (plotDialogs_) plotDialogs_->sessionGone();
}

MainWindow::~MainWindow() {
  qApp->removeEventFilter(this);
  if (session_) session_->prompts().setSnapProvider(&session_->snapper());
  // The session and its documents have gone by now (the window outlives them).
}

// The status bar's toggles as the session's settings are (OSNAP and ORTHO change them).
void MainWindow::bindDrafting() {
  if (!session_) return;
  const core::DraftingSettings d = session_->drafting();
  snapButton_->setChecked(d.objectSnap);
  orthoButton_->setChecked(d.ortho);
  gridButton_->setChecked(d.grid);
  if (snapMenu_) showSnapKinds();
}

// The running snap kinds as checkable entries: checking one sets the kind in the
// session's running snaps, as OSNAP does.
void MainWindow::buildSnapMenu() {
  snapMenu_ = new QMenu(QStringLiteral("对象捕捉模式"), this);
  for (int k = 0; k < prompt::kSnapKindCount; ++k) {
    QAction* a = snapMenu_->addAction(snapName(static_cast<SnapKind>(k)));
    a->setCheckable(true);
    a->setData(k);
    connect(a, &QAction::toggled, this, [this, k](bool on) {
      if (!session_) return;
      prompt::SnapMask& mask = session_->drafting().runningSnaps;
      const prompt::SnapMask bit = prompt::snapBit(static_cast<prompt::SnapKind>(k));
      mask = on ? (mask | bit) : (mask & ~bit);
      view_->setSnapOn(view_->snapOn());  // what is offered under the cursor now
    });
  }
  connect(snapMenu_, &QMenu::aboutToShow, this, &MainWindow::showSnapKinds);
  showSnapKinds();
}

void MainWindow::showSnapKinds() {
  if (!session_) return;
  const prompt::SnapMask mask = session_->drafting().runningSnaps;
  for (QAction* a : snapMenu_->actions()) {
    const QSignalBlocker quiet(a);
    a->setChecked(mask & prompt::snapBit(static_cast<prompt::SnapKind>(a->data().toInt())));
  }
}

// ---- menus and commands

bool MainWindow::hasCommand(const std::string& name) const {
  if (!session_) return false;
  for (const auto& c : session_->hostCommands())
    if (modules::equalsIgnoringCase(c.name, name)) return true;
  return session_->commands().find(name) != nullptr;
}

void MainWindow::runCommand(const std::string& name) { console_.runCommand(name); }

std::optional<WindowConsole::EditorReplies> MainWindow::editText() {
  using Kind = app::TextEntry::Kind;
  const app::TextEntry* entry = session_ ? app::textEntry(*session_) : nullptr;
  if (!entry || entry->kind == Kind::line) return std::nullopt;
  WindowConsole::EditorReplies replies;
  if (entry->kind == Kind::content && !entry->multiLine) {
    LineEditorDialog dialog(entry->initial, this);
    replies.cancelled = dialog.exec() != QDialog::Accepted;
    replies.lines.push_back(dialog.text());
    view_->quiesce();
    return replies;
  }
  const bool content = entry->kind == Kind::content;
  TextEditorDialog dialog(content ? app::contentLines(entry->initial) : std::vector<std::string>{}, entry->height, this);
  replies.cancelled = dialog.exec() != QDialog::Accepted;
  view_->quiesce();
  if (replies.cancelled) return replies;
  if (content) {
    replies.lines.push_back(app::joinedContent(dialog.lines()));
    return replies;
  }
  // MTEXT's lines, each a reply, then the empty line that ends them (a script cannot give
  // an empty line among them: those are left out).
  for (std::string& line : dialog.lines())
    if (!line.empty()) replies.lines.push_back(std::move(line));
  replies.lines.emplace_back();
  return replies;
}

// The menus, in the order the window shows them; each command in the menu its
// description names, window actions (view, quit, about) beside them.
void MainWindow::buildMenus() {
  std::map<std::string_view, QMenu*> menus;
  for (std::string_view name : app::kMenuOrder) menus[name] = menuBar()->addMenu(fromView(name));
  for (const OfferedCommand& c : offeredCommands(*session_)) {
    auto found = menus.find(c.place.menu);
    if (found == menus.end()) continue;
    QString label = fromView(c.place.label);
    if (c.place.menu == "管道") label += " (" + qs(c.name) + ")";  // the names pipe drafters type
    QAction* a = found->second->addAction(label);
    if (!c.place.keys.empty()) a->setShortcut(QKeySequence(fromView(c.place.keys)));
    const std::string name = c.name;
    const std::optional<FileDialogKind> dialog = dialogFor(c.place.file);
    bindCommandAction(a, name, dialog);
    if (name == "REDO") a->setShortcuts({QKeySequence(QStringLiteral("Ctrl+Y")), QKeySequence(QStringLiteral("Ctrl+Shift+Z"))});
    commandActions_.emplace_back(a, name);
  }

  QMenu* file = menus["文件"];
  file->addSeparator();
  recentMenu_ = file->addMenu(QStringLiteral("最近的文件"));
  connect(recentMenu_, &QMenu::aboutToShow, this, &MainWindow::showRecentDrawings);
  showRecentDrawings();
  file->addSeparator();
  QAction* quit = file->addAction(QStringLiteral("退出"));
  quit->setShortcut(QKeySequence::Quit);
  connect(quit, &QAction::triggered, this, [this] { close(); });

  QMenu* view = menus["视图"];
  QAction* extents = view->addAction(QStringLiteral("范围缩放"));
  connect(extents, &QAction::triggered, this, [this] { view_->zoomExtents(); });
  QAction* in = view->addAction(QStringLiteral("放大"));
  in->setShortcut(QKeySequence::ZoomIn);
  connect(in, &QAction::triggered, this, [this] { view_->zoomAbout(view_->rect().center(), 2.0); });
  QAction* out = view->addAction(QStringLiteral("缩小"));
  out->setShortcut(QKeySequence::ZoomOut);
  connect(out, &QAction::triggered, this, [this] { view_->zoomAbout(view_->rect().center(), 0.5); });
  view->addSeparator();
  QAction* light = view->addAction(QStringLiteral("浅色背景"));
  light->setCheckable(true);
  connect(light, &QAction::toggled, this, [this](bool on) { view_->setDark(!on); });
  view->addSeparator();
  auto toggleAction = [this, view](const QString& label, QKeySequence key, QToolButton* button) {
    QAction* a = view->addAction(label);
    a->setShortcut(key);
    a->setShortcutContext(Qt::ApplicationShortcut);
    connect(a, &QAction::triggered, button, [button] { button->toggle(); });
  };
  toggleAction(QStringLiteral("对象捕捉"), Qt::Key_F3, snapButton_);
  view->addMenu(snapMenu_);
  toggleAction(QStringLiteral("栅格"), Qt::Key_F7, gridButton_);
  toggleAction(QStringLiteral("正交"), Qt::Key_F8, orthoButton_);

  QMenu* help = menus["帮助"];
  QAction* about = help->addAction(QStringLiteral("关于 orvcad"));
  connect(about, &QAction::triggered, this, [this] {
    QMessageBox::about(this, QStringLiteral("关于 orvcad"),
                       QStringLiteral("orvcad %1\n工艺管道绘图宿主与管道绘图模块。").arg(QStringLiteral(ORV_VERSION)));
  });
  for (auto& [name, menu] : menus) menuOf_[menu] = std::string(name);
}

// The commands there are now: menu entries of missing ones are hidden (and menus left
// with nothing), and the tool bar offers those whose description asks for a button, a
// group a menu.
void MainWindow::refreshCommands() {
  if (!session_) return;
  const std::vector<OfferedCommand> offered = offeredCommands(*session_);
  std::vector<std::string> present;
  for (const OfferedCommand& c : offered)
    if (c.place.toolBar && hasCommand(c.name)) present.push_back(c.name);
  for (auto& [action, name] : commandActions_) action->setVisible(hasCommand(name));
  for (auto& [menu, name] : menuOf_) {
    bool any = false;
    for (QAction* a : menu->actions()) any = any || (a->isVisible() && !a->isSeparator());
    menu->menuAction()->setVisible(any);
  }
  if (present == shownCommands_) return;
  shownCommands_ = present;
  toolBar_->clear();
  // The pipe module's first, then the host's menu by menu.
  std::vector<std::string_view> groups = {"管道"};
  for (std::string_view m : app::kMenuOrder)
    if (m != "管道") groups.push_back(m);
  for (std::string_view group : groups) {
    bool added = false;
    for (const OfferedCommand& c : offered) {
      if (c.place.menu != group || !c.place.toolBar || !hasCommand(c.name)) continue;
      const QString label = fromView(c.place.label);
      QAction* a = toolBar_->addAction(label);
      a->setToolTip(label + " (" + qs(c.name) + ")");
      a->setObjectName(qs(c.name));
      const std::string name = c.name;
      bindCommandAction(a, name, dialogFor(c.place.file));
      added = true;
    }
    if (added) toolBar_->addSeparator();
  }
  for (QToolButton* b : toolBar_->findChildren<QToolButton*>()) b->setFocusPolicy(Qt::NoFocus);
}

// A clipboard key: at "命令: " the command as if typed (it takes the selection); while
// another command runs, that one is cancelled first.
void MainWindow::clipboardKey(const char* command) {
  if (console_.waiting() && console_.options().atCommandPrompt())
    console_.answer(command);
  else
    console_.runCommand(command);
}

void MainWindow::bindCommandAction(QAction* a, const std::string& name, std::optional<FileDialogKind> dialog) {
  if (dialog == FileDialogKind::open)
    connect(a, &QAction::triggered, this, [this] { openFromMenu(); });
  else if (name == "LAYER")
    connect(a, &QAction::triggered, this, &MainWindow::showLayerManager);
  else if (name == "PLOT")
    connect(a, &QAction::triggered, this, [this] { if (session_ && plotDialogs_) plotDialogs_->open(); });
  else
    connect(a, &QAction::triggered, this, [this, name, dialog] { console_.runCommand(name, dialog); });
}

LayerManager& MainWindow::layerManager() {
  if (!layerManager_) layerManager_ = new LayerManager(*session_, console_, this);
  return *layerManager_;
}

void MainWindow::showLayerManager() {
  if (!session_) return;
  LayerManager& m = layerManager();
  m.refresh();
  m.show();
  m.raise();
  m.activateWindow();
}

QMenu* MainWindow::contextMenu() {
  context_ = std::make_unique<QMenu>(this);
  if (!console_.waiting()) return context_.get();
  if (console_.options().atCommandPrompt()) {
    for (const std::string& name : console_.recentCommands()) {
      QAction* a = context_->addAction(qs(name));
      connect(a, &QAction::triggered, this, [this, name] { console_.answer(name); });
    }
    if (context_->isEmpty()) context_->addAction(QStringLiteral("（没有最近的命令）"))->setEnabled(false);
    addEditingCommands(*context_);
    return context_.get();
  }
  QAction* enter = context_->addAction(QStringLiteral("确认(Enter)"));
  connect(enter, &QAction::triggered, this, [this] { console_.answer(""); });
  QAction* cancel = context_->addAction(QStringLiteral("取消(Esc)"));
  connect(cancel, &QAction::triggered, this, [this] { console_.cancel(); });
  const auto keywords = panel_->keywordChoices();
  if (!keywords.empty()) context_->addSeparator();
  for (const auto& [label, keyword] : keywords) {
    QAction* a = context_->addAction(label);
    const std::string k = keyword;
    connect(a, &QAction::triggered, this, [this, k] { console_.answer(k); });
  }
  return context_.get();
}

// At "命令: " and at a prompt with keywords a menu; at any other prompt Enter.
void MainWindow::rightClickInView(QPoint at) {
  if (!console_.waiting()) return;
  if (console_.options().atCommandPrompt() || !panel_->keywordChoices().empty()) {
    contextMenu()->popup(at);
    return;
  }
  console_.answer("");
}

// With a selection at "命令: ", the commands that edit it (each takes it without asking).
void MainWindow::addEditingCommands(QMenu& menu) {
  if (!session_ || session_->selector().current().empty()) return;
  static const std::pair<const char*, const char*> kEditing[] = {
      {"删除", "ERASE"},   {"移动", "MOVE"},     {"复制选择", "COPY"}, {"旋转", "ROTATE"},
      {"缩放", "SCALE"},   {"镜像", "MIRROR"},   {"剪切", "CUTCLIP"}, {"复制到剪贴板", "COPYCLIP"},
      {"列表", "LIST"}};
  menu.addSeparator();
  for (const auto& [label, name] : kEditing) {
    if (!hasCommand(name)) continue;
    QAction* a = menu.addAction(QStringLiteral("%1 (%2)").arg(QString::fromUtf8(label), QString::fromLatin1(name)));
    const std::string command = name;
    connect(a, &QAction::triggered, this, [this, command] { console_.answer(command); });
  }
  QAction* none = menu.addAction(QStringLiteral("全部不选"));
  connect(none, &QAction::triggered, selection_, &SelectionTools::clear);
}

std::optional<prompt::Point3> MainWindow::distanceTowardsCursor(double distance) const {
  const prompt::AskOptions& o = console_.options();
  const std::optional<db::Point2> toward = view_->effectivePoint();
  if (!o.basePoint || !toward) return std::nullopt;
  const double dx = toward->x - o.basePoint->x, dy = toward->y - o.basePoint->y;
  const double length = std::hypot(dx, dy);
  if (!(length > 0.0) || !std::isfinite(distance)) return std::nullopt;
  return prompt::Point3{o.basePoint->x + dx / length * distance, o.basePoint->y + dy / length * distance,
                        o.basePoint->z};
}

QString MainWindow::drawingFolder() const {
  if (document_ && document_->path()) {
    const QFileInfo info(QString::fromStdString(document_->path()->string()));
    return info.absolutePath();
  }
  return QDir::currentPath();
}

std::optional<std::string> MainWindow::chooseFile(int kind) {
  QString file;
  const QString folder = drawingFolder();
  switch (static_cast<FileDialogKind>(kind)) {
    case FileDialogKind::open:
      file = QFileDialog::getOpenFileName(this, QStringLiteral("打开"), folder,
                                          QString::fromStdString(app::messages::openDrawingFilter()), nullptr,
                                          QFileDialog::DontUseNativeDialog);
      break;
    case FileDialogKind::saveAs:
      file = QFileDialog::getSaveFileName(this, QStringLiteral("另存为"), folder,
                                          QStringLiteral("DXF 图形 (*.dxf)"), nullptr,
                                          QFileDialog::DontConfirmOverwrite | QFileDialog::DontUseNativeDialog);
      break;
    case FileDialogKind::exportPicture:
      file = QFileDialog::getSaveFileName(this, QStringLiteral("导出"), folder,
                                          QStringLiteral("PNG 图片 (*.png);;SVG 图片 (*.svg);;PDF 文件 (*.pdf)"),
                                          nullptr, QFileDialog::DontConfirmOverwrite | QFileDialog::DontUseNativeDialog);
      break;
  }
  if (file.isEmpty()) return std::nullopt;
  return file.toStdString();
}

// ---- the session and its drawing

void MainWindow::documentReplaced(core::Document& document) {
  // The document before has gone already.
  document_ = &document;
  document.addObserver(this);
  view_->setDatabase(&document.database());
  updateTitle();
  rememberDrawing();
  showLineweightDisplay();
}

void MainWindow::showLineweightDisplay() {
  if (!document_ || lineweightButton_->isChecked() == app::lineweightDisplay(document_->database())) return;
  const QSignalBlocker quiet(lineweightButton_);
  lineweightButton_->setChecked(!lineweightButton_->isChecked());
  view_->drawingChanged();
}

void MainWindow::commandStarted(const std::string& name) {
  console_.commandStarted(name);
  selection_->commandStarted(name);
  if (name == "HELP") showHelp();
}

void MainWindow::commandEnded(const std::string&) {
  presenter_.answeredAhead.reset();
  updateTitle();
  showLineweightDisplay();  // LWDISPLAY typed
}

void MainWindow::openFromMenu(const std::optional<std::string>& recent) {
  std::vector<FileDialogKind> dialogs;
  if (!recent) dialogs.push_back(FileDialogKind::open);
  if (session_ && session_->interactive() && document_ && document_->modified()) {
    const dialogs::Question question = app::saveChangesQuestion(document_->displayName());
    const std::size_t answer = presenter_.choose(question);
    if (answer == question.cancelAnswer.value_or(question.answers.size())) return;
    // OPEN asks the same after its file is read: it takes this answer then. Saving an
    // unnamed drawing asks for its name in a second file dialog.
    presenter_.answeredAhead = QtPresenter::Answered{question.prompt, answer};
    if (answer == 0 && !document_->path()) dialogs.push_back(FileDialogKind::saveAs);
  }
  if (recent)
    console_.runCommandOn("OPEN", *recent, dialogs);
  else
    console_.runCommand("OPEN", dialogs);
}

// ---- recent drawings

namespace {
constexpr int kRecentDrawings = 10;
QSettings recentSettings() { return QSettings(QStringLiteral("orvcad"), QStringLiteral("orvcad")); }
}  // namespace

QStringList MainWindow::recentDrawings() { return recentSettings().value(QStringLiteral("recentFiles")).toStringList(); }

void MainWindow::rememberDrawing() {
  if (!document_ || !document_->path() || document_->modified()) return;
  const QString path = QFileInfo(QString::fromStdString(document_->path()->string())).absoluteFilePath();
  QStringList recent = recentDrawings();
  if (!recent.isEmpty() && recent.front() == path) return;
  recent.removeAll(path);
  recent.prepend(path);
  while (recent.size() > kRecentDrawings) recent.removeLast();
  recentSettings().setValue(QStringLiteral("recentFiles"), recent);
}

void MainWindow::showRecentDrawings() {
  recentMenu_->clear();
  const QStringList recent = recentDrawings();
  for (int i = 0; i < recent.size(); ++i) {
    QAction* a = recentMenu_->addAction(QStringLiteral("%1 %2").arg(i + 1).arg(QFileInfo(recent[i]).fileName()));
    a->setToolTip(recent[i]);
    a->setData(recent[i]);
    const std::string path = recent[i].toStdString();
    connect(a, &QAction::triggered, this, [this, path] { openFromMenu(path); });
  }
  if (recent.isEmpty()) recentMenu_->addAction(QStringLiteral("（没有）"))->setEnabled(false);
}

// ---- commands by name: the input line's list and the help panel

std::vector<CommandName> MainWindow::commandNames() const {
  std::vector<CommandName> names;
  if (!session_) return names;
  for (const auto& c : session_->hostCommands()) {
    names.push_back({c.name, {}});
    for (const std::string& a : c.aliases) names.push_back({a, c.name});
  }
  for (const modules::Command& c : session_->commands().commands()) {
    names.push_back({c.localName, {}});
    if (!modules::equalsIgnoringCase(c.globalName, c.localName)) names.push_back({c.globalName, c.localName});
  }
  std::stable_sort(names.begin(), names.end(),
                   [](const CommandName& a, const CommandName& b) { return a.name < b.name; });
  return names;
}

void MainWindow::showHelp() {
  if (!session_) return;
  std::vector<HelpEntry> entries;
  for (const auto& c : session_->hostCommands())
    entries.push_back({c.name, c.aliases, c.description, c.help.empty() ? c.description : c.help});
  for (const modules::Command& c : session_->commands().commands()) {
    const app::ModuleCommandInfo* info = app::moduleCommandInfo(c.localName);
    std::vector<std::string> others;
    if (!modules::equalsIgnoringCase(c.globalName, c.localName)) others.push_back(c.globalName);
    const std::string text = info ? std::string(info->help) : std::string("模块注册的命令。");
    entries.push_back({c.localName, others, firstSentence(text), text});
  }
  std::stable_sort(entries.begin(), entries.end(),
                   [](const HelpEntry& a, const HelpEntry& b) { return a.name < b.name; });
  helpPanel_->setEntries(std::move(entries));
  helpDock_->show();
  helpDock_->raise();
}

void MainWindow::entityChanged(db::ObjectId) { view_->drawingChanged(); }

void MainWindow::tablesChanged() { view_->drawingChanged(); }

void MainWindow::stateChanged() {
  updateTitle();
  rememberDrawing();
}

void MainWindow::updateTitle() {
  if (document_) setWindowTitle(windowTitleFor(*document_));
}

// ---- closing and keys

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!session_) {
    event->accept();
    return;
  }
  // The session decides: QUIT asks about unsaved changes and ends it, or not. A name
  // for an unnamed drawing to be saved is chosen in a file dialog.
  event->ignore();
  console_.requestClose();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
    // Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z act on the drawing wherever the focus is in this
    // window: no text field takes them as its own undo, and the command line runs UNDO
    // or REDO (a command that waits is cancelled first).
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget && widget->window() == this) {
      if (const char* command = undoCommandOf(*static_cast<QKeyEvent*>(event))) {
        event->accept();
        if (event->type() == QEvent::KeyPress && session_) console_.runCommand(command);
        return true;
      }
      // Ctrl+C, Ctrl+X, Ctrl+V on the drawing, unless a text field keeps them.
      if (const char* command = clipboardCommandOf(*static_cast<QKeyEvent*>(event), watched)) {
        event->accept();
        if (event->type() == QEvent::KeyPress && session_) clipboardKey(command);
        return true;
      }
    }
  }
  if (event->type() != QEvent::KeyPress) return QMainWindow::eventFilter(watched, event);
  auto* widget = qobject_cast<QWidget*>(watched);
  if (widget && widget->window() == this && (widget == panel_->input() || !isTextField(widget)) &&
      selection_->key(*static_cast<QKeyEvent*>(event), panel_->input()->text().isEmpty()))
    return true;
  if (!widget || widget->window() != this || widget == panel_->input() || isTextField(widget))
    return QMainWindow::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
  const bool forwarded = !key->text().isEmpty() || key->key() == Qt::Key_Up || key->key() == Qt::Key_Down;
  if (!forwarded) return false;
  panel_->input()->setFocus();
  QApplication::sendEvent(panel_->input(), event);
  return true;
}

}  // namespace orv::window
