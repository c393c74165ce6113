// One orvcad session: the command line, the loaded modules and the host's
// own commands, presented through whatever Console it is given.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

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
  };
  const std::vector<HostCommand>& hostCommands() const { return hostCommands_; }

 private:
  const HostCommand* findHostCommand(std::string_view typed) const;
  void invoke(const modules::Command& command);

  prompt::Console& console_;
  prompt::PromptEngine engine_;
  modules::CommandRegistry commands_;
  modules::ModuleManager modules_;  // after commands_: unloads before the registry goes
  sdk::HostBindings previousBindings_;
  std::vector<HostCommand> hostCommands_;
  std::string lastCommand_;
  bool quit_ = false;
};

// The host's own commands (HELP, ARX, QUIT, ...), in the order HELP lists them.
std::vector<Session::HostCommand> makeHostCommands();

}  // namespace orv::app
