// What the host binds before any module code runs: the services of its session that
// the SDK functions reach. The SDK keeps, over the session's drawing, the database
// object modules see as the working database.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "orv/db/types.h"
#include "orv/io/drawing_file.h"

namespace orv::prompt {
class PromptEngine;
}
namespace orv::modules {
class CommandRegistry;
class ModuleManager;
}
namespace orv::dialogs {
class Presenter;
}
namespace orv::db {
class Database;
}

namespace orv::sdk {

struct Services {
  prompt::PromptEngine* prompts = nullptr;
  modules::CommandRegistry* commands = nullptr;
  modules::ModuleManager* modules = nullptr;
  // How dialogs and questions are shown; null: at the command line of `prompts`.
  dialogs::Presenter* dialogs = nullptr;
  db::Database* drawing = nullptr;  // the current drawing
  double pickDistance = 1.0;        // how far from a picked point an entity may lie
  // The entity of the drawing's model space an entity pick at (x, y) finds within
  // maxDistance (null: none); unset, the SDK looks through model space itself.
  std::function<db::ObjectId(double x, double y, double maxDistance)> pick = nullptr;
  // The message for a drawing a module asked for that did not open (one line, naming the
  // file); unset: the SDK says only that it did not open.
  std::function<std::string(const std::filesystem::path&, const io::OpenError&)> unreadableDrawing = nullptr;
};

// Binds the services for its lifetime and restores what was bound before when it goes.
class SessionBinding {
 public:
  explicit SessionBinding(const Services& services);
  ~SessionBinding();
  SessionBinding(const SessionBinding&) = delete;
  SessionBinding& operator=(const SessionBinding&) = delete;

  // Binds changed services: a new current drawing (the old one's database object goes:
  // ids modules kept of it no longer open anything), another pick distance.
  void update(const Services& services);
  const Services& services() const { return services_; }

 private:
  struct State;
  Services services_;
  std::unique_ptr<State> state_;
};

// A problem the host reports on its own (a settings file it cannot write, say),
// shown on the command line as a message of its own. UTF-8. The same message is
// shown once per command, however often the command meets the problem.
void reportProblem(std::string_view message);
// A command starts: problems reported before may be reported again.
void beginCommand();

}  // namespace orv::sdk
