// The main window: menus, tool bar, the drawing view, the command panel and the status
// bar over one session; the title with the drawing's name; closing.
#pragma once

#include <QMainWindow>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "orv/core/document.h"
#include "session.h"
#include "view_control.h"
#include "window_console.h"

class QDockWidget;
class QLabel;
class QToolBar;
class QToolButton;
class QMenu;

namespace orv::window {

class CommandPanel;
struct CommandName;
class DrawingView;
class DesktopClipboard;
class HelpPanel;
class LayerManager;
class PlotDialogs;
class QtPresenter;
class SelectionTools;
class PropertiesPanel;
class WindowConsole;

// The title a drawing gives the window: "orvcad - NAME", and " *" while it has changes
// that are not saved.
QString windowTitleFor(const core::Document& document);

class MainWindow final : public QMainWindow, private app::SessionObserver, private core::DocumentObserver {
  Q_OBJECT

 public:
  MainWindow(app::Session& session, WindowConsole& console, QtPresenter& presenter);
  ~MainWindow() override;

  DrawingView& view() const { return *view_; }
  CommandPanel& panel() const { return *panel_; }
  QToolBar& toolBar() const { return *toolBar_; }
  // The status bar's toggles: object snap, ortho, grid, lineweights shown (LWT).
  QToolButton& snapButton() const { return *snapButton_; }
  QToolButton& orthoButton() const { return *orthoButton_; }
  QToolButton& gridButton() const { return *gridButton_; }
  QToolButton& lineweightButton() const { return *lineweightButton_; }
  QLabel& coordinates() const { return *coordinates_; }
  // The running snaps to choose from, one checkable entry a kind (the snap toggle's
  // right-click menu and 视图 ▸ 对象捕捉模式); its checks follow the session's setting.
  QMenu& snapMenu() const { return *snapMenu_; }
  // Selecting at the command prompt, grips, Delete and Ctrl+A.
  SelectionTools& selection() const { return *selection_; }
  // 特性 (视图 ▸ 特性, Ctrl+1), with the tool bar's layer control.
  PropertiesPanel& properties() const { return *properties_; }

  // 格式 ▸ 图层 (and the tool bar's 图层): the layer manager, made on first use.
  LayerManager& layerManager();
  void showLayerManager();

  // Runs a command as if chosen from a menu (a waiting one is cancelled first).
  void runCommand(const std::string& name);
  // The menu shown by a right click at the command prompt, or with a prompt's keywords.
  QMenu* contextMenu();
  // The help panel (HELP, 帮助 ▸ 命令列表): every command with its description.
  HelpPanel& helpPanel() const { return *helpPanel_; }
  QDockWidget& helpDock() const { return *helpDock_; }
  // 文件 ▸ 最近的文件.
  QMenu& recentMenu() const { return *recentMenu_; }
  // The recent drawings, newest first.
  static QStringList recentDrawings();
  // The session has ended: the window stays as it is and touches the session no more.
  void sessionGone();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // SessionObserver
  void documentReplaced(core::Document& document) override;
  void commandStarted(const std::string& name) override;
  void commandEnded(const std::string& name) override;
  // DocumentObserver
  void entityChanged(db::ObjectId) override;
  void tablesChanged() override;
  void stateChanged() override;

  void buildMenus();
  void refreshCommands();
  void updateTitle();
  // The LWT toggle and the view follow the drawing's $LWDISPLAY.
  void showLineweightDisplay();
  void rightClickInView(QPoint at);
  void addEditingCommands(QMenu& menu);
  std::optional<prompt::Point3> distanceTowardsCursor(double distance) const;
  std::optional<std::string> chooseFile(int kind);
  QString drawingFolder() const;
  bool hasCommand(const std::string& name) const;
  // The names typed at "命令: " (commands and aliases), for the input line's list.
  std::vector<CommandName> commandNames() const;
  // Fills the help panel with the commands there are now and shows it.
  void showHelp();
  // OPEN from the menu: unsaved changes are asked about before the file dialog opens
  // (or, for a recent drawing, before it is opened).
  void openFromMenu(const std::optional<std::string>& recent = std::nullopt);
  // A drawing opened or saved heads the recent drawings (the last ten, kept in the
  // user's settings of orvcad).
  void rememberDrawing();
  void showRecentDrawings();

  // ZOOM and PAN of the session, on the view.
  class ViewCommands;
  friend class ViewCommands;
  // Snap overrides whose clicked point looks within its pick box.
  class ClickSnaps;
  std::unique_ptr<ClickSnaps> clickSnaps_;
  HelpPanel* helpPanel_ = nullptr;
  QDockWidget* helpDock_ = nullptr;
  QMenu* recentMenu_ = nullptr;
  void bindDrafting();
  // A text prompt the waiting command offers an editor at (text_entry.h): the editor's
  // replies; nullopt for a plain line.
  std::optional<WindowConsole::EditorReplies> editText();
  void buildSnapMenu();
  void showSnapKinds();
  std::unique_ptr<app::ViewControl> viewCommands_;
  app::Session* session_;
  core::Document* document_ = nullptr;
  WindowConsole& console_;
  QtPresenter& presenter_;
  DrawingView* view_;
  CommandPanel* panel_;
  QToolBar* toolBar_;
  std::map<QMenu*, std::string> menuOf_;  // the menus, by the name they show
  QLabel* coordinates_;
  QToolButton* snapButton_;
  QToolButton* orthoButton_;
  QToolButton* gridButton_;
  QToolButton* lineweightButton_;
  QMenu* snapMenu_ = nullptr;
  std::vector<std::string> shownCommands_;
  std::vector<std::pair<class QAction*, std::string>> commandActions_;
  std::unique_ptr<QMenu> context_;
  SelectionTools* selection_ = nullptr;
  PropertiesPanel* properties_ = nullptr;
  LayerManager* layerManager_ = nullptr;
  PlotDialogs* plotDialogs_ = nullptr;  // 文件 ▸ 打印 and the picking of its window
  std::unique_ptr<DesktopClipboard> clipboard_;
  void clipboardKey(const char* command);
  // Connects a menu or tool bar action to the command it offers (or to the window's own
  // form of it: LAYER opens the layer manager).
  void bindCommandAction(class QAction* action, const std::string& name, std::optional<FileDialogKind> dialog);
};

}  // namespace orv::window
