// One orvcad session: the command line, the loaded modules and the host's
// own commands, presented through whatever Console it is given.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dbmain.h"
#include "host_bindings.h"
#include "orv/modules/command_registry.h"
#include "orv/modules/module_manager.h"
#include "orv/prompt/console.h"
#include "orv/prompt/engine.h"

namespace orv::app {

class Session {
 public:
  // Binds the SDK to this session for its lifetime.
  explicit Session(prompt::Console& console);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  prompt::PromptEngine& prompts() { return engine_; }
  prompt::Console& console() { return console_; }
  modules::CommandRegistry& commands() { return commands_; }
  modules::ModuleManager& modules() { return modules_; }

  // The current drawing and the file it was opened from or last saved to.
  AcDbDatabase& drawing() { return *drawing_; }
  const std::optional<std::filesystem::path>& drawingPath() const { return drawingPath_; }
  // Makes another drawing current (OPEN); the previous one is closed.
  void replaceDrawing(std::unique_ptr<AcDbDatabase> drawing, std::optional<std::filesystem::path> path);
  void setDrawingPath(std::filesystem::path path) { drawingPath_ = std::move(path); }

  // How far from a picked point an entity may lie (PICKBOX).
  double pickDistance() const { return bindings_.pickDistance; }
  void setPickDistance(double d);

  // UNDO: takes back the last command that changed the drawing; false when none did.
  bool undoLastCommand(std::string& commandName);

  // The command line: "命令: " until QUIT or the end of input. Enter on an
  // empty line repeats the last command.
  void run();
  // Runs what was typed at the command prompt.
  void execute(std::string_view typed);

  void requestQuit() { quit_ = true; }

  struct HostCommand {
    std::string name;
    std::string description;
    std::function<void(Session&)> run;
    bool undoable = false;  // changes the drawing: one step for UNDO
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

  prompt::Console& console_;
  prompt::PromptEngine engine_;
  modules::CommandRegistry commands_;
  modules::ModuleManager modules_;  // after commands_: unloads before the registry goes
  std::unique_ptr<AcDbDatabase> drawing_;
  std::optional<std::filesystem::path> drawingPath_;
  sdk::HostBindings bindings_;
  sdk::HostBindings previousBindings_;
  std::vector<std::string> undoNames_;  // the command of each undo group, oldest first
  std::vector<HostCommand> hostCommands_;
  std::string lastCommand_;
  bool quit_ = false;
};

// The host's own commands (HELP, ARX, QUIT, ...), in the order HELP lists them.
std::vector<Session::HostCommand> makeHostCommands();
// Those that work on the drawing: LINE, UNDO, PICKBOX, ...
std::vector<Session::HostCommand> drawingCommands();
// Those that open and save drawings.
std::vector<Session::HostCommand> fileCommands();
// BLOCKICON.
std::vector<Session::HostCommand> blockIconCommands();

}  // namespace orv::app
