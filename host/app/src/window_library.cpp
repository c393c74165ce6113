// Choosing and loading the window library.
#include "window_library.h"

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace orv::app {

namespace {

namespace fs = std::filesystem;

bool set(const char* variable) {
  const char* value = std::getenv(variable);
  return value && *value;
}

// Replies piped or redirected into standard input make a script of it.
bool repliesPiped() {
  struct stat st {};
  if (::fstat(STDIN_FILENO, &st) != 0) return false;
  return S_ISFIFO(st.st_mode) || S_ISREG(st.st_mode) || S_ISSOCK(st.st_mode);
}

fs::path libraryPath() {
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return ORV_WINDOW_FROM_BIN;
  return (exe.parent_path() / ORV_WINDOW_FROM_BIN).lexically_normal();
}

}  // namespace

bool windowWanted(const Options& options) {
  return options.window ||
         !(options.script || options.terminal || repliesPiped() || !(set("DISPLAY") || set("WAYLAND_DISPLAY")));
}

WindowStart openWindow(const Options& options, int* argc, char** argv) {
  WindowStart start;
  if (!windowWanted(options)) return start;

  const fs::path path = libraryPath();
  void* library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    const char* why = ::dlerror();
    start.problem = "无法打开图形窗口：窗口程序“" + path.string() + "”无法加载" +
                    (why ? std::string("（") + why + "）" : std::string());
    return start;
  }
  auto entry = reinterpret_cast<WindowEntry>(::dlsym(library, kWindowEntry));
  if (!entry) {
    start.problem = "无法打开图形窗口：窗口程序“" + path.string() + "”与本程序的版本不符";
    ::dlclose(library);
    return start;
  }
  std::string problem;
  start.window.reset(entry(kWindowVersion, argc, argv, &problem));
  if (!start.window) start.problem = "无法打开图形窗口：" + problem;
  // The library stays loaded until the program ends: the toolkit does not unload.
  return start;
}

}  // namespace orv::app
