// One orvcad session: the command line, the loaded modules, the current drawing
// and the host's own commands, presented through whatever front end it is given.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "orv/core/document.h"
#include "orv/core/selection.h"
#include "orv/core/snaps.h"
#include "orv/core/spatial_index.h"
#include "orv/dialogs/presenter.h"
#include "orv/modules/command_registry.h"
#include "orv/modules/module_manager.h"
#include "orv/prompt/console.h"
#include "orv/prompt/engine.h"
#include "orv/sdk/host.h"
#include "command_catalog.h"
#include "command_memory.h"
#include "view_control.h"

namespace orv::app {

// How a session meets its user: the command line and the presentation of dialogs and
// questions (the terminal's, a script's or the window's).
struct Frontend {
  prompt::Console& console;
  dialogs::Presenter& dialogs;
};

// Told of what a session does, for presentations that follow it (the window).
class SessionObserver {
 public:
  virtual ~SessionObserver() = default;
  // Another drawing became current (OPEN, NEW, RECOVER).
  virtual void documentReplaced(core::Document&) {}
  virtual void commandStarted(const std::string& /*name*/) {}
  virtual void commandEnded(const std::string& /*name*/) {}
};

class Session {
 public:
  // Binds the SDK to this session for its lifetime.
  explicit Session(Frontend frontend);
  // Dialogs and questions at the command line of `console`.
  explicit Session(prompt::Console& console);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  prompt::PromptEngine& prompts() { return engine_; }
  prompt::Console& console() { return console_; }
  dialogs::Presenter& dialogs() { return dialogs_; }
  modules::CommandRegistry& commands() { return commands_; }
  modules::ModuleManager& modules() { return modules_; }

  // The process ends with the session: the drawing is left for the system to take back
  // with the process, all at once, rather than entity by entity (a large drawing's take
  // tens of milliseconds).
  void endsWithTheProcess() { endsWithTheProcess_ = true; }

  // The current drawing, its file and its undo steps.
  core::Document& document() { return *document_; }
  db::Database& database() { return document_->database(); }
  // Makes another drawing current (OPEN); the previous one is closed.
  void replaceDocument(std::unique_ptr<core::Document> document);

  // How far from a picked point an entity may lie (PICKBOX).
  double pickDistance() const { return pickDistance_; }
  void setPickDistance(double d);

  // ---- the services over the drawing that every presentation shares
  // Where the entities of model space lie (picks, windows, the window's drawing).
  core::SpatialIndex& index() { return *index_; }
  // Object snaps (typed overrides at every point prompt, the window's markers).
  core::Snapper& snapper() { return snapper_; }
  core::Selector& selector() { return selector_; }
  // Running snaps, ortho and grid, as OSNAP and ORTHO set them and the window toggles them.
  core::DraftingSettings& drafting() { return drafting_; }
  // "选择对象:" with the session's pick distance; nullopt on a cancel.
  std::optional<core::SelectionSet> selectObjects() { return selector_.select(pickDistance_); }
  // The view of the presentation that shows the drawing (ZOOM, PAN); null: none.
  ViewControl* view() const { return view_; }
  void bindView(ViewControl* view) { view_ = view; }
  // ---- drag previews
  // What a command shows at the cursor while it waits for a point: the entities it would
  // make, or the selection where it would go, for the cursor's position (entities not in
  // the drawing; names interned in it). A presentation with a view draws them, through
  // the one renderer, at every cursor move while the preview is set; others ignore it.
  using DragPreview = std::function<std::vector<db::Entity>(const prompt::Point3& cursor)>;
  const DragPreview& dragPreview() const { return dragPreview_; }
  // Sets the preview for the prompts asked while it lives, and puts back the one before.
  class PreviewScope {
   public:
    PreviewScope(Session& session, DragPreview preview)
        : session_(session), before_(std::exchange(session.dragPreview_, std::move(preview))) {}
    ~PreviewScope() { session_.dragPreview_ = std::move(before_); }
    PreviewScope(const PreviewScope&) = delete;
    PreviewScope& operator=(const PreviewScope&) = delete;

   private:
    Session& session_;
    DragPreview before_;
  };

  // What followed a command's name on its line, for those that take it ("HELP LINE").
  const std::string& commandArgument() const { return argument_; }

  // UNDO: takes back the last command that changed the drawing; false when none did.
  bool undoLastCommand(std::string& commandName) { return document_->undo(commandName); }
  // REDO: puts back what the last UNDO took back; false when there is nothing.
  bool redoLastCommand(std::string& commandName) { return document_->redo(commandName); }

  void addObserver(SessionObserver* observer);
  void removeObserver(SessionObserver* observer);

  // The command line: "命令: " until QUIT or the end of input. Enter on an
  // empty line repeats the last command.
  void run();
  // Runs what was typed at the command prompt.
  void execute(std::string_view typed);

  void requestQuit() { quit_ = true; }

  // What the commands remember from one use to the next in this session.
  CommandMemory& memory() { return memory_; }

  // Whether the session asks its user about their work (unsaved changes, replacing
  // a file): the terminal and the window do; a script session asks no one, its
  // script and the command line decide.
  bool interactive() const { return interactive_; }
  void setInteractive(bool interactive) { interactive_ = interactive; }

  // A command of the host's own, described once: HELP, the window's menus and tool bar
  // and the command line all take it from here.
  struct HostCommand {
    std::string name;
    std::string description;  // one line of HELP's list
    std::function<void(Session&)> run;
    bool undoable = false;  // changes the drawing: one step for UNDO
    std::vector<std::string> aliases = {};  // short names a CAD user types ("E" for ERASE)
    bool takesArgument = false;             // the rest of its line is its argument
    std::string help = {};                  // HELP NAME's paragraph (empty: the description)
    MenuPlace menu = {};                    // where the window offers it
  };
  const std::vector<HostCommand>& hostCommands() const { return hostCommands_; }
  // Adds a command of the host's own, after those it starts with.
  void addHostCommand(HostCommand command) { hostCommands_.push_back(std::move(command)); }

 private:
  // Runs a command's body; what it throws (memory running out while a large drawing
  // is read, say) ends the command with a message, not the session.
  void guarded(const std::string& name, const std::function<void()>& body);
  const HostCommand* findHostCommand(std::string_view typed) const;
  void invoke(const modules::Command& command);
  // Runs a command as one step that UNDO takes back whole.
  void runAsOneStep(const std::string& name, const std::function<void()>& body);

  sdk::Services services();
  // With a command-line presenter the session owns (Session(Console&)), or none.
  Session(prompt::Console& console, std::unique_ptr<dialogs::CommandLinePresenter>&& own);
  Session(Frontend frontend, std::unique_ptr<dialogs::CommandLinePresenter>&& own);

  std::unique_ptr<dialogs::CommandLinePresenter> ownPresenter_;  // for Session(Console&)
  prompt::Console& console_;
  dialogs::Presenter& dialogs_;
  prompt::PromptEngine engine_;
  modules::CommandRegistry commands_;
  std::unique_ptr<core::Document> document_;
  std::unique_ptr<core::SpatialIndex> index_;  // follows document_
  core::Snapper snapper_;
  core::Selector selector_;
  core::DraftingSettings drafting_;
  ViewControl* view_ = nullptr;
  DragPreview dragPreview_;
  std::string argument_;
  double pickDistance_ = 1.0;
  sdk::SessionBinding binding_;
  modules::ModuleManager modules_;  // after commands_ and the drawing: unloads before they go
  std::vector<SessionObserver*> observers_;
  std::vector<HostCommand> hostCommands_;
  std::string lastCommand_;
  bool quit_ = false;
  bool interactive_ = false;
  bool endsWithTheProcess_ = false;
  CommandMemory memory_;
};

// The host's own commands (HELP, ARX, QUIT, ...), in the order HELP lists them.
std::vector<Session::HostCommand> makeHostCommands();
// Those that work on the drawing: LINE, UNDO, PICKBOX, ...
std::vector<Session::HostCommand> drawingCommands();
// Those that open and save drawings.
std::vector<Session::HostCommand> fileCommands();
// BLOCKICON.
std::vector<Session::HostCommand> blockIconCommands();
// ERASE, MOVE, COPY, ROTATE, SCALE, MIRROR.
std::vector<Session::HostCommand> editCommands();
// OFFSET, TRIM, EXTEND, FILLET, CHAMFER, BREAK, STRETCH, ARRAY, JOIN, LENGTHEN, CHPROP,
// MATCHPROP, COLOR, LINETYPE, LWEIGHT, LWDISPLAY.
std::vector<Session::HostCommand> modifyCommands();
// LIST, ID, DIST.
std::vector<Session::HostCommand> inquiryCommands();
// LAYER.
std::vector<Session::HostCommand> layerCommands();
// OSNAP, ORTHO, ZOOM, PAN.
std::vector<Session::HostCommand> viewCommands();
// GRIPEDIT.
std::vector<Session::HostCommand> gripCommands();
// CLAYER.
std::vector<Session::HostCommand> currentLayerCommands();
// HELP.
std::vector<Session::HostCommand> helpCommands();

}  // namespace orv::app
