// Making and keeping up the user's own module folder.
#include "user_module.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>
#include <vector>

#include "messages.h"

namespace orv::app {

namespace {

namespace fs = std::filesystem;

const char* const kLibraries[] = {"FM", "ZDY"};

bool writableFolder(const fs::path& folder) { return ::access(folder.c_str(), W_OK | X_OK) == 0; }

bool isLink(const fs::path& p) {
  struct stat st {};
  return ::lstat(p.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool lexists(const fs::path& p) {
  struct stat st {};
  return ::lstat(p.c_str(), &st) == 0;
}

// A symbolic link at `at` to `target`, made beside it and renamed into place so
// that a link there before is replaced whole. The errno of a failure, or 0.
int placeLink(const fs::path& target, const fs::path& at) {
  fs::path temporary = at;
  temporary += ".link." + std::to_string(::getpid());
  ::unlink(temporary.c_str());
  if (::symlink(target.c_str(), temporary.c_str()) != 0) return errno;
  if (::rename(temporary.c_str(), at.c_str()) != 0) {
    const int error = errno;
    ::unlink(temporary.c_str());
    return error;
  }
  return 0;
}

// The module link, the settings copy and the library links; the reason of the first
// failure, or empty.
std::string prepare(const fs::path& folder, const fs::path& installedModule) {
  const fs::path installedFolder = installedModule.parent_path();
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec) return messages::systemError(ec.value());

  const fs::path link = folder / installedModule.filename();
  if (!lexists(link) || isLink(link)) {
    std::error_code readEc;
    if (fs::read_symlink(link, readEc) != installedModule) {
      if (int error = placeLink(installedModule, link)) return messages::systemError(error);
    }
  }

  // The settings start as the installed ones; the user's own are never replaced.
  const fs::path settings = folder / "draw.ini";
  const fs::path installedSettings = installedFolder / "draw.ini";
  if (!lexists(settings) && fs::is_regular_file(installedSettings, ec)) {
    fs::path temporary = settings;
    temporary += ".copy." + std::to_string(::getpid());
    fs::copy_file(installedSettings, temporary, fs::copy_options::overwrite_existing, ec);
    // link() does not replace a file another session made meanwhile.
    if (!ec && ::link(temporary.c_str(), settings.c_str()) != 0 && errno != EEXIST) ec.assign(errno, std::generic_category());
    ::unlink(temporary.c_str());
    if (ec) return messages::systemError(ec.value());
  }

  for (const char* library : kLibraries) {
    const fs::path own = folder / "resource" / library;
    const fs::path installed = installedFolder / "resource" / library;
    fs::create_directories(own, ec);
    if (ec) return messages::systemError(ec.value());
    // Links to sample parts that are no longer installed would not read.
    for (fs::directory_iterator it(own, ec), end; !ec && it != end; it.increment(ec)) {
      const fs::path entry = it->path();
      if (!isLink(entry)) continue;
      std::error_code linkEc;
      const fs::path target = fs::read_symlink(entry, linkEc);
      if (!linkEc && target.parent_path() == installed && !fs::exists(target, linkEc)) ::unlink(entry.c_str());
    }
    ec.clear();
    // Each installed part the folder has no entry of that name for.
    for (fs::directory_iterator it(installed, ec), end; !ec && it != end; it.increment(ec)) {
      const fs::path at = own / it->path().filename();
      if (lexists(at)) continue;
      if (::symlink(it->path().c_str(), at.c_str()) != 0 && errno != EEXIST) return messages::systemError(errno);
    }
    ec.clear();
  }
  return {};
}

std::optional<ModuleToLoad>& record() {
  static std::optional<ModuleToLoad> loaded;
  return loaded;
}

}  // namespace

fs::path userModuleFolder() {
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data && *data == '/') return fs::path(data) / "orvcad" / "module";
  const char* home = std::getenv("HOME");
  std::string homeFolder = home && *home ? home : "";
  if (homeFolder.empty()) {
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) homeFolder = pw->pw_dir;
  }
  if (homeFolder.empty()) return {};
  return fs::path(homeFolder) / ".local" / "share" / "orvcad" / "module";
}

ModuleToLoad moduleToLoad(const fs::path& installedModule) {
  std::error_code ec;
  const fs::path module = fs::absolute(installedModule, ec).lexically_normal();
  // A module that is not there fails to load, and says so, as it is.
  if (ec || !fs::exists(module, ec) || writableFolder(module.parent_path())) return {installedModule, std::nullopt, {}};
  const std::string consequence = "，设置和零件库无法保存在模块旁";
  const fs::path folder = userModuleFolder();
  if (folder.empty()) return {installedModule, std::nullopt, "找不到用户主文件夹" + consequence};
  if (std::string why = prepare(folder, module); !why.empty())
    return {installedModule, std::nullopt,
            "无法建立用户自己的模块文件夹" + messages::quoted(folder) + "：" + why + consequence};
  return {folder / module.filename(), module.parent_path(), {}};
}

void noteModuleInUse(const ModuleToLoad& loaded) { record() = loaded; }

const std::optional<ModuleToLoad>& moduleInUse() { return record(); }

}  // namespace orv::app
