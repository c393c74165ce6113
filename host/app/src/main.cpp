// orvcad: starts a session, loads the plug-in module and runs the command line.
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <iostream>
#include <memory>
#include <optional>
#include <system_error>
#include <thread>

#include "drawing_files.h"
#include "file_names.h"
#include "messages.h"
#include "options.h"
#include "plot_command.h"
#include "orv/db/cores.h"
#include "orv/render/render.h"
#include "orv/prompt/script_console.h"
#include "orv/prompt/terminal_console.h"
#include "recovery.h"
#include "session.h"
#include "user_module.h"
#include "window_library.h"

namespace fs = std::filesystem;
namespace messages = orv::app::messages;

namespace {

int fail(const std::string& message) {
  std::cerr << "orvcad: " << message << "\n";
  return 2;
}

// The module installed with orvcad, found from where the program lies.
fs::path defaultModule() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return "orvpipe07.arx";
  return (exe.parent_path() / ORV_DEFAULT_MODULE_FROM_BIN).lexically_normal();
}

// The files the options name, as checked before the session starts.
struct Files {
  std::optional<fs::path> save;
  std::optional<fs::path> drawing;
};

struct Ended {
  int status = 0;
  int signal = 0;  // the signal that ended the session, raised again once all is put away
};

// A drawing read on a thread of its own while the window's toolkit starts and the window
// is made, when a core is free for it (on a busy machine the two would only take turns,
// and the reading would end later). The drawing, and what is said about it, are those
// read afterwards; without a thread to be had it is read then.
std::future<orv::app::ReadDrawing> readWhileWindowStarts(const orv::app::Options& options, const Files& files) {
  if (!files.drawing || !orv::app::windowWanted(options) || !orv::db::aSecondCoreIsFree()) return {};
  try {
    return std::async(std::launch::async, [path = *files.drawing] { return orv::app::readDrawing(path); });
  } catch (const std::system_error&) {
    return {};
  }
}

Ended runSession(const orv::app::Options& options, const Files& files, int* argc, char** argv) {
  auto reading = readWhileWindowStarts(options, files);
  // Replies come from the window, the script, piped standard input, or the terminal.
  auto window = orv::app::openWindow(options, argc, argv);
  if (!window.problem.empty()) {
    if (options.window) return {fail(window.problem)};
    std::cerr << "orvcad: " << window.problem << "，改用命令行\n";
  }
  std::ifstream scriptFile;
  std::unique_ptr<orv::prompt::Console> console;
  bool interactive = window.window != nullptr;
  if (window.window) {
  } else if (options.script && *options.script != "-") {
    scriptFile.open(*options.script, std::ios::binary);
    if (!scriptFile) return {fail(messages::cannotReadScript(*options.script, messages::systemError(errno)))};
    console = std::make_unique<orv::prompt::ScriptConsole>(scriptFile, std::cout);
  } else if (options.script || !isatty(STDIN_FILENO)) {
    console = std::make_unique<orv::prompt::ScriptConsole>(std::cin, std::cout);
  } else {
    console = std::make_unique<orv::prompt::TerminalConsole>();
    interactive = true;
  }

  std::optional<orv::dialogs::CommandLinePresenter> commandLine;
  orv::app::Session session(window.window ? orv::app::Frontend{window.window->console(), window.window->presenter()}
                                          : orv::app::Frontend{*console, commandLine.emplace(*console)});
  session.setInteractive(interactive);
  session.endsWithTheProcess();
  if (window.window) window.window->attach(session);
  // The window is painted, at its size, while the drawing is still being read.
  if (window.window && reading.valid()) window.window->showWhile([&reading] { reading.wait(); });
  if (files.drawing) {
    auto opened = reading.valid() ? orv::app::openDrawing(session, reading.get())
                                  : orv::app::openDrawing(session, *files.drawing);
    if (!opened.ok) return {fail(opened.message)};
    // What was read with doubts: each on a line of its own after the file's name.
    if (!opened.message.empty()) std::cerr << "orvcad: " << files.drawing->string() << ":" << opened.message << "\n";
  }
  // The module given is loaded as it is; the installed one from the user's own
  // folder when its own may not be written.
  const auto module = options.module ? orv::app::ModuleToLoad{*options.module, std::nullopt, {}}
                                     : orv::app::moduleToLoad(defaultModule());
  if (!module.problem.empty()) std::cerr << "orvcad: " << module.problem << "\n";
  orv::app::noteModuleInUse(module);
  auto loaded = session.modules().load(module.module);
  if (!loaded.ok) return {fail(loaded.message)};

  orv::app::Recovery recovery(session, interactive);
  orv::app::addRecoveryCommands(session, recovery);
  recovery.offer();
  session.run();
  std::cout << "\n" << std::flush;

  // Ended by a signal or a lost terminal: the drawing is in the recovery file, and
  // nothing else is done.
  if (recovery.endedAbnormally()) return {1, recovery.endingSignal()};

  Ended ended;
  ended.status = std::cout.good() ? 0 : fail("无法写入标准输出");
  if (files.save) {
    auto saved = orv::app::saveDrawing(session, *files.save);
    if (!saved.ok) {
      // The session's work is not lost with the file: it stays in a recovery file.
      std::string why;
      if (auto kept = recovery.keep(why))
        ended.status = fail(saved.message + "；图形已留在恢复文件" + messages::quoted(*kept) +
                            "中，下次启动 orvcad 时用 RECOVER 打开");
      else
        ended.status = fail(saved.message + "；恢复文件也无法写入（" + why + "）");
    }
  }
  for (const auto& picture : options.exports) {
    auto exported = orv::app::exportDrawing(session, picture);
    if (!exported.ok) ended.status = fail(exported.message);
  }
  return ended;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  auto parsed = orv::app::parseOptions(args);
  if (!parsed.options) return fail(parsed.error);
  const auto& options = *parsed.options;
  if (options.help) {
    std::cout << orv::app::usage();
    return 0;
  }
  if (options.version) {
    std::cout << "orvcad " << ORV_VERSION << "\n";
    return 0;
  }

  // A plot without a session: the drawing read, plotted, and nothing else.
  if (options.plot) {
    const orv::app::PlotOrder order{*options.plot, options.paper.value_or(""), options.scale.value_or(""),
                                    options.area.value_or("")};
    const auto plotted = orv::app::plotDrawingFile(orv::app::drawingNameToOpen(options.drawing->string()), order);
    if (!plotted.ok) return fail(plotted.message);
    std::cout << plotted.message << "\n";
    return 0;
  }

  // Every file the options name is checked before the session starts, so that a
  // session's work never ends in a file that cannot be written.
  Files files;
  if (options.save) {
    auto name = orv::app::drawingNameToSave(options.save->string(), orv::app::NameFrom::option);
    if (!name.path) return fail(name.refusal);
    if (auto why = orv::app::whyNotWritable(*name.path); !why.empty())
      return fail(messages::cannotSaveDrawing(*name.path, why));
    files.save = *name.path;
  }
  for (const auto& picture : options.exports) {
    if (!orv::render::pictureFormatFor(picture))
      return fail(messages::cannotExportPicture(picture, "只能输出 .png、.svg 或 .pdf"));
    if (auto why = orv::app::whyNotWritable(picture); !why.empty())
      return fail(messages::cannotExportPicture(picture, why));
  }
  if (options.drawing) {
    files.drawing = orv::app::drawingNameToOpen(options.drawing->string());
    if (auto why = orv::app::whyNotReadable(*files.drawing); !why.empty())
      return fail(messages::cannotOpenDrawing(*files.drawing, why));
  }
  if (options.script && *options.script != "-") {
    if (auto why = orv::app::whyNotReadable(*options.script, true); !why.empty())
      return fail(messages::cannotReadScript(*options.script, why));
  }

  const Ended ended = runSession(options, files, &argc, argv);
  if (ended.signal != 0) {
    // Ends as the signal would have ended it, for whoever waits for the program.
    std::signal(ended.signal, SIG_DFL);
    std::raise(ended.signal);
  }
  return ended.status;
}
