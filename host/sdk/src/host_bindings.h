// How the SDK functions reach the running host: the services orvcad (or a
// test) binds before any module code runs.
#pragma once

#include <functional>
#include <string_view>

#include "orv/sdk/host.h"

class AcDbDatabase;

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

namespace orv::sdk {

struct HostBindings {
  prompt::PromptEngine* prompts = nullptr;
  modules::CommandRegistry* commands = nullptr;
  modules::ModuleManager* modules = nullptr;
  AcDbDatabase* drawing = nullptr;  // the current drawing: the working database
  double pickDistance = 1.0;        // how far from a picked point an entity may lie
  dialogs::Presenter* dialogs = nullptr;  // null: dialogs at the command line of `prompts`
  // The session's pick (Services::pick); unset: a walk through model space.
  std::function<db::ObjectId(double, double, double)> pick = nullptr;
  // Services::unreadableDrawing.
  std::function<std::string(const std::filesystem::path&, const io::OpenError&)> unreadableDrawing = nullptr;
};

// Binds the services; the previous bindings are returned so that a test can restore them.
HostBindings bind(const HostBindings& bindings);
const HostBindings& bound();

}  // namespace orv::sdk
