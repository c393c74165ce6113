// The command loop of a session.
#include "session.h"

#include <algorithm>
#include <exception>
#include <new>
#include <utility>

#include "keep_work.h"
#include "messages.h"
#include "orv/prompt/reply_parser.h"

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

Session::Session(Frontend frontend) : Session(frontend, nullptr) {}

Session::Session(prompt::Console& console)
    : Session(console, std::make_unique<dialogs::CommandLinePresenter>(console)) {}

Session::Session(prompt::Console& console, std::unique_ptr<dialogs::CommandLinePresenter>&& own)
    : Session(Frontend{console, *own}, std::move(own)) {}

Session::Session(Frontend frontend, std::unique_ptr<dialogs::CommandLinePresenter>&& own)
    : ownPresenter_(std::move(own)),
      console_(frontend.console),
      dialogs_(frontend.dialogs),
      engine_(console_),
      document_(std::make_unique<core::Document>()),
      index_(std::make_unique<core::SpatialIndex>(*document_)),
      snapper_(*index_, [this] { return pickDistance_; }),
      selector_(engine_, *index_),
      binding_(services()),
      modules_(commands_),
      hostCommands_(makeHostCommands()) {
  engine_.setSnapProvider(&snapper_);
}

Session::~Session() {
  modules_.unloadAll();
  if (endsWithTheProcess_) {
    // Held from here on, so that a leak checker does not count them as lost.
    static core::Document* leftDocument = nullptr;
    static core::SpatialIndex* leftIndex = nullptr;
    delete std::exchange(leftIndex, index_.release());
    delete std::exchange(leftDocument, document_.release());
  }
}

sdk::Services Session::services() {
  sdk::Services s;
  s.prompts = &engine_;
  s.commands = &commands_;
  s.modules = &modules_;
  s.dialogs = &dialogs_;
  s.drawing = &document_->database();
  s.pickDistance = pickDistance_;
  s.pick = [this](double x, double y, double maxDistance) { return index_->pick({x, y}, maxDistance); };
  s.unreadableDrawing = [](const std::filesystem::path& path, const io::OpenError& error) {
    return messages::cannotOpenDrawing(path, error);
  };
  return s;
}

void Session::replaceDocument(std::unique_ptr<core::Document> document) {
  // The index lets go of the old drawing before it goes.
  index_->attach(*document);
  selector_.forget();
  document_ = std::move(document);
  binding_.update(services());
  for (SessionObserver* o : observers_) o->documentReplaced(*document_);
}

void Session::setPickDistance(double d) {
  pickDistance_ = d;
  binding_.update(services());
}

void Session::addObserver(SessionObserver* observer) {
  if (std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
    observers_.push_back(observer);
}

void Session::removeObserver(SessionObserver* observer) {
  observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

void Session::runAsOneStep(const std::string& name, const std::function<void()>& body) {
  core::Document* before = document_.get();
  before->beginStep(name);
  auto end = [&] {
    // OPEN may have replaced the drawing: the step went with the old one.
    if (document_.get() == before) before->endStep();
  };
  try {
    body();
  } catch (...) {
    end();
    throw;
  }
  end();
}

void Session::run() {
  while (!quit_) {
    // A command that met the end of the script has returned; asking for the
    // next command sees the end again.
    engine_.resumeInput();
    prompt::AskOptions options;
    options.kind = prompt::AskKind::command;
    prompt::Reply reply = console_.ask("\n命令: ", options);
    // Ctrl-D at the terminal ends the session as QUIT does.
    if (reply.kind == prompt::Reply::Kind::End) {
      if (console_.inputLost() || mayCloseDrawing(*this)) break;
      continue;
    }
    if (reply.kind == prompt::Reply::Kind::Cancel) continue;
    // "ＬＩＮＥ" typed in full width is LINE.
    const std::string read = prompt::asciiForms(reply.text);
    std::string_view typed = trim(read);
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
  for (const HostCommand& c : hostCommands_)
    for (const std::string& alias : c.aliases)
      if (modules::equalsIgnoringCase(alias, typed)) return &c;
  return nullptr;
}

void Session::execute(std::string_view typed) {
  argument_.clear();
  const HostCommand* host = findHostCommand(typed);
  if (!host && !commands_.find(typed)) {
    // "HELP LINE": a command that takes the rest of its line.
    const auto blank = typed.find_first_of(" \t");
    if (blank != std::string_view::npos) {
      const HostCommand* head = findHostCommand(typed.substr(0, blank));
      if (head && head->takesArgument) {
        host = head;
        argument_ = std::string(trim(typed.substr(blank)));
      }
    }
  }
  if (host) {
    // Copied: the command may add host commands.
    const std::string name = host->name;
    const auto run = host->run;
    const bool undoable = host->undoable;
    lastCommand_ = name;
    for (SessionObserver* o : observers_) o->commandStarted(name);
    if (undoable)
      runAsOneStep(name, [&] { guarded(name, [&] { run(*this); }); });
    else
      guarded(name, [&] { run(*this); });
    for (SessionObserver* o : observers_) o->commandEnded(name);
    return;
  }
  if (const modules::Command* command = commands_.find(typed)) {
    lastCommand_ = command->localName;
    const std::string name = command->localName;
    for (SessionObserver* o : observers_) o->commandStarted(name);
    invoke(*command);
    for (SessionObserver* o : observers_) o->commandEnded(name);
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
