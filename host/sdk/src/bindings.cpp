// The services the SDK functions use, bound by orvcad or a test.
#include "host_bindings.h"

#include <cstdio>
#include <string>

#include "orv/prompt/console.h"
#include "orv/prompt/engine.h"

namespace orv::sdk {

namespace {
HostBindings& slot() {
  static HostBindings b;
  return b;
}
}  // namespace

HostBindings bind(const HostBindings& bindings) {
  HostBindings previous = slot();
  slot() = bindings;
  return previous;
}

const HostBindings& bound() { return slot(); }

void reportProblem(std::string_view message) {
  if (prompt::PromptEngine* p = slot().prompts) {
    p->console().print("\n" + std::string(message));
  } else {
    std::fprintf(stderr, "orvcad: %.*s\n", static_cast<int>(message.size()), message.data());
  }
}

}  // namespace orv::sdk
