// The services the SDK functions use, bound by orvcad or a test.
#include "host_bindings.h"

#include <cstdio>
#include <set>
#include <string>

#include "orv/prompt/console.h"
#include "orv/prompt/engine.h"
#include "resources.h"

namespace orv::sdk {

namespace {
HostBindings& slot() {
  static HostBindings b;
  return b;
}

std::set<std::string, std::less<>>& reported() {
  static std::set<std::string, std::less<>> messages;
  return messages;
}
}  // namespace

HostBindings bind(const HostBindings& bindings) {
  HostBindings previous = slot();
  slot() = bindings;
  return previous;
}

const HostBindings& bound() { return slot(); }

void beginCommand() {
  reported().clear();
  resetResourceStack();
}

void reportProblem(std::string_view message) {
  if (!reported().emplace(message).second) return;
  if (prompt::PromptEngine* p = slot().prompts) {
    p->console().print("\n" + std::string(message));
  } else {
    std::fprintf(stderr, "orvcad: %.*s\n", static_cast<int>(message.size()), message.data());
  }
}

}  // namespace orv::sdk
