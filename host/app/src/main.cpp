// orvcad: starts a session, loads the plug-in module and runs the command line.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>

#include "drawing_files.h"
#include "options.h"
#include "orv/render/render.h"
#include "orv/prompt/script_console.h"
#include "orv/prompt/terminal_console.h"
#include "session.h"
#include "window_library.h"

namespace fs = std::filesystem;

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

  for (const auto& picture : options.exports)
    if (!orv::render::pictureFormatFor(picture))
      return fail("无法输出图片“" + picture.string() + "”：只能输出 .png、.svg 或 .pdf");

  // Replies come from the window, the script, piped standard input, or the terminal.
  auto window = orv::app::openWindow(options, &argc, argv);
  if (!window.problem.empty()) return fail(window.problem);
  std::ifstream scriptFile;
  std::unique_ptr<orv::prompt::Console> console;
  if (window.window) {
  } else if (options.script && *options.script != "-") {
    scriptFile.open(*options.script, std::ios::binary);
    if (!scriptFile) return fail("无法读取脚本文件“" + *options.script + "”");
    console = std::make_unique<orv::prompt::ScriptConsole>(scriptFile, std::cout);
  } else if (options.script || !isatty(STDIN_FILENO)) {
    console = std::make_unique<orv::prompt::ScriptConsole>(std::cin, std::cout);
  } else {
    console = std::make_unique<orv::prompt::TerminalConsole>();
  }

  std::optional<orv::dialogs::CommandLinePresenter> commandLine;
  orv::app::Session session(window.window ? orv::app::Frontend{window.window->console(), window.window->presenter()}
                                          : orv::app::Frontend{*console, commandLine.emplace(*console)});
  if (window.window) window.window->attach(session);
  if (options.drawing) {
    auto opened = orv::app::openDrawing(session, *options.drawing);
    if (!opened.ok) return fail(opened.message);
    if (!opened.message.empty()) std::cerr << "orvcad: " << *options.drawing << ":" << opened.message << "\n";
  }
  auto loaded = session.modules().load(options.module.value_or(defaultModule()));
  if (!loaded.ok) return fail(loaded.message);

  session.run();
  std::cout << "\n" << std::flush;

  int status = std::cout.good() ? 0 : fail("无法写入标准输出");
  if (options.save) {
    auto saved = orv::app::saveDrawing(session, *options.save);
    if (!saved.ok) status = fail(saved.message);
  }
  for (const auto& picture : options.exports) {
    auto exported = orv::app::exportDrawing(session, picture);
    if (!exported.ok) status = fail(exported.message);
  }
  return status;
}
