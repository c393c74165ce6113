// The command loop of a session.
#include "session.h"

#include <exception>
#include <new>

#include "db_impl.h"

namespace orv::app {

namespace {

std::string_view trim(std::string_view s) {
  const char* blanks = " \t";
  auto b = s.find_first_not_of(blanks);
  if (b == std::string_view::npos) return {};
  auto e = s.find_last_not_of(blanks);
  return s.substr(b, e - b + 1);
}

}  // namespace

Session::Session(prompt::Console& console)
    : console_(console),
      engine_(console),
      modules_(commands_),
      drawing_(std::make_unique<AcDbDatabase>(true)),
      hostCommands_(makeHostCommands()) {
  bindings_ = {&engine_, &commands_, &modules_, drawing_.get(), 1.0};
  previousBindings_ = sdk::bind(bindings_);
}

Session::~Session() {
  modules_.unloadAll();
  sdk::bind(previousBindings_);
}

void Session::replaceDrawing(std::unique_ptr<AcDbDatabase> drawing,
                             std::optional<std::filesystem::path> path) {
  drawing_ = std::move(drawing);
  drawingPath_ = std::move(path);
  undoNames_.clear();
  bindings_.drawing = drawing_.get();
  sdk::bind(bindings_);
}

void Session::setPickDistance(double d) {
  bindings_.pickDistance = d;
  sdk::bind(bindings_);
}

void Session::runAsOneStep(const std::string& name, const std::function<void()>& body) {
  AcDbDatabase* before = drawing_.get();
  db::Database& d = sdk::databaseOf(before);
  std::size_t groups = d.undoGroupCount();
  d.beginUndoGroup();
  auto end = [&] {
    // OPEN may have replaced the drawing: the group went with the old one.
    if (drawing_.get() != before) return;
    d.endUndoGroup();
    if (d.undoGroupCount() > groups) undoNames_.push_back(name);
  };
  try {
    body();
  } catch (...) {
    end();
    throw;
  }
  end();
}

bool Session::undoLastCommand(std::string& commandName) {
  db::Database& d = sdk::databaseOf(drawing_.get());
  if (d.undoGroupCount() == 0 || d.undo() != db::Status::ok) return false;
  if (!undoNames_.empty()) {
    commandName = undoNames_.back();
    undoNames_.pop_back();
  }
  return true;
}

void Session::run() {
  while (!quit_) {
    // A command that met the end of the script has returned; asking for the
    // next command sees the end again.
    engine_.resumeInput();
    prompt::AskOptions options;
    options.commandPrompt = true;
    prompt::Reply reply = console_.ask("\n命令: ", options);
    if (reply.kind == prompt::Reply::Kind::End) break;
    if (reply.kind == prompt::Reply::Kind::Cancel) continue;
    std::string_view typed = trim(reply.text);
    if (typed.empty()) {
      if (lastCommand_.empty()) continue;
      typed = lastCommand_;
    }
    std::string name(typed);
    execute(name);
  }
}

const Session::HostCommand* Session::findHostCommand(std::string_view typed) const {
  if (!typed.empty() && typed.front() == '_') typed.remove_prefix(1);
  for (const HostCommand& c : hostCommands_)
    if (modules::equalsIgnoringCase(c.name, typed)) return &c;
  return nullptr;
}

void Session::execute(std::string_view typed) {
  if (const HostCommand* host = findHostCommand(typed)) {
    // Copied: the command may add host commands.
    const std::string name = host->name;
    const auto run = host->run;
    lastCommand_ = name;
    if (host->undoable)
      runAsOneStep(name, [&] { guarded(name, [&] { run(*this); }); });
    else
      guarded(name, [&] { run(*this); });
    return;
  }
  if (const modules::Command* command = commands_.find(typed)) {
    lastCommand_ = command->localName;
    invoke(*command);
    return;
  }
  console_.print("\n未知命令“" + std::string(typed) + "”。输入 HELP 查看命令列表。");
}

void Session::invoke(const modules::Command& command) {
  // Copy what is needed: the command may unload its own module.
  std::string name = command.localName;
  auto function = command.function;
  sdk::beginCommand();
  runAsOneStep(name, [&] { guarded(name, function); });
}

void Session::guarded(const std::string& name, const std::function<void()>& body) {
  try {
    body();
  } catch (const std::bad_alloc&) {
    console_.print("\n命令 " + name + " 出错: 内存不足");
  } catch (const std::exception& e) {
    console_.print("\n命令 " + name + " 出错: " + e.what());
  } catch (...) {
    console_.print("\n命令 " + name + " 出错。");
  }
}

}  // namespace orv::app
