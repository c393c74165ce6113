// How the SDK functions reach the running host: the services orvcad (or a
// test) binds before any module code runs.
#pragma once

#include <string_view>

class AcDbDatabase;

namespace orv::prompt {
class PromptEngine;
}
namespace orv::modules {
class CommandRegistry;
class ModuleManager;
}

namespace orv::sdk {

struct HostBindings {
  prompt::PromptEngine* prompts = nullptr;
  modules::CommandRegistry* commands = nullptr;
  modules::ModuleManager* modules = nullptr;
  AcDbDatabase* drawing = nullptr;  // the current drawing: the working database
  double pickDistance = 1.0;        // how far from a picked point an entity may lie
};

// Binds the services; the previous bindings are returned so that a test can restore them.
HostBindings bind(const HostBindings& bindings);
const HostBindings& bound();

// A problem the host reports on its own (a settings file it cannot write, say),
// shown on the command line as a message of its own. UTF-8. The same message is
// shown once per command, however often the command meets the problem.
void reportProblem(std::string_view message);
// A command starts: problems reported before may be reported again.
void beginCommand();

}  // namespace orv::sdk
