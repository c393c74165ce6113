// The services the SDK functions use, bound by orvcad or a test.
#include "host_bindings.h"

#include <cstdio>
#include <set>
#include <string>

#include "db_impl.h"
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

struct SessionBinding::State {
  HostBindings previous;
  std::unique_ptr<AcDbDatabase> working;  // over services_.drawing
};

SessionBinding::SessionBinding(const Services& services) : state_(std::make_unique<State>()) {
  state_->previous = slot();
  update(services);
}

SessionBinding::~SessionBinding() { slot() = state_->previous; }

void SessionBinding::update(const Services& services) {
  if (!state_->working || services.drawing != services_.drawing) {
    state_->working = services.drawing
                          ? std::make_unique<AcDbDatabase>(std::make_unique<AcDbDatabase::Impl>(services.drawing))
                          : nullptr;
  }
  services_ = services;
  slot() = HostBindings{services.prompts, services.commands, services.modules, state_->working.get(),
                        services.pickDistance, services.dialogs, services.pick, services.unreadableDrawing};
}

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
