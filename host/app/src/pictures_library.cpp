#include "pictures_library.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>

#include "orv/modules/module_manager.h"

namespace orv::app {

namespace {

namespace fs = std::filesystem;

struct Loaded {
  const render::Pictures* pictures = nullptr;
  std::string problem;
};

fs::path libraryPath() {
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return ORV_RENDERER_FROM_BIN;
  return (exe.parent_path() / ORV_RENDERER_FROM_BIN).lexically_normal();
}

Loaded load() {
  Loaded result;
  const fs::path path = libraryPath();
  const std::string where = "图片程序“" + path.string() + "”";
  std::error_code ec;
  if (!fs::exists(path, ec)) {
    result.problem = where + "无法加载（文件不存在）";
    return result;
  }
  void* library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    const char* why = ::dlerror();
    result.problem = where + "无法加载（" + modules::describeLoadFailure(why ? why : "") + "）";
    return result;
  }
  auto entry = reinterpret_cast<render::PicturesEntry>(::dlsym(library, render::kPicturesEntry));
  result.pictures = entry ? entry(render::kPicturesVersion) : nullptr;
  if (!result.pictures) {
    result.problem = where + "与本程序的版本不符";
    ::dlclose(library);
  }
  // Otherwise the library stays loaded until the program ends.
  return result;
}

}  // namespace

const render::Pictures* pictures(std::string& problem) {
  static const Loaded loaded = load();
  problem = loaded.problem;
  return loaded.pictures;
}

}  // namespace orv::app
