// Loading and unloading modules.
#include "orv/modules/module_manager.h"

#include <dlfcn.h>

#include <algorithm>
#include <system_error>

#include "orv/modules/command_registry.h"

namespace orv::modules {

namespace fs = std::filesystem;

namespace {

std::string inQuotes(const std::string& s) { return "“" + s + "”"; }
std::string inQuotes(const fs::path& p) { return inQuotes(p.string()); }

// The module is running host code; restores the previous one when done.
class CurrentModule {
 public:
  CurrentModule(Module*& slot, Module* m) : slot_(slot), saved_(slot) { slot_ = m; }
  ~CurrentModule() { slot_ = saved_; }
  CurrentModule(const CurrentModule&) = delete;
  CurrentModule& operator=(const CurrentModule&) = delete;

 private:
  Module*& slot_;
  Module* saved_;
};

}  // namespace

std::string describeLoadFailure(std::string_view report) {
  auto has = [&](std::string_view part) { return report.find(part) != std::string_view::npos; };
  if (const auto at = report.find("undefined symbol: "); at != std::string_view::npos) {
    std::string_view symbol = report.substr(at + 18);
    symbol = symbol.substr(0, symbol.find_first_of(" \t,("));
    return "缺少符号 " + std::string(symbol) + "，它与本程序的版本不符";
  }
  if (has("wrong ELF class") || has("OS ABI"))
    return "它是为另一种系统或处理器构建的";
  if (has("invalid ELF header") || has("file too short") || has("not an ELF"))
    return "它不是共享库文件";
  if (const auto at = report.find(": cannot open shared object file"); at != std::string_view::npos) {
    // "NEEDED.so: cannot open shared object file: ..." names a library it needs, unless
    // it names the file itself.
    std::string_view needed = report.substr(0, at);
    if (const auto colon = needed.rfind(": "); colon != std::string_view::npos) needed.remove_prefix(colon + 2);
    if (has("Permission denied")) return "没有读取权限";
    return "找不到它需要的库“" + std::string(needed) + "”";
  }
  if (has("Permission denied")) return "没有读取权限";
  return "系统无法把它作为共享库加载";
}

void* Module::symbol(const char* name) const { return library_ && name ? dlsym(library_, name) : nullptr; }

ModuleManager::ModuleManager(CommandRegistry& commands) : commands_(commands) {}

ModuleManager::~ModuleManager() { unloadAll(); }

ModuleManager::Result ModuleManager::load(const fs::path& given) {
  std::error_code ec;
  fs::path path = fs::absolute(given, ec).lexically_normal();
  if (ec) path = given;
  if (!fs::exists(path, ec)) return {false, "无法加载模块" + inQuotes(path) + "：文件不存在。"};
  if (fs::is_directory(path, ec)) return {false, "无法加载模块" + inQuotes(path) + "：这是一个文件夹。"};
  for (const auto& m : modules_) {
    if (m->path_ == path || equalsIgnoringCase(m->fileName(), path.filename().string()))
      return {false, "模块" + inQuotes(m->fileName()) + "已经加载。"};
  }

  dlerror();
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    const char* why = dlerror();
    return {false, "无法加载模块" + inQuotes(path) + "：" + describeLoadFailure(why ? why : "")};
  }
  auto entry = reinterpret_cast<Module::EntryPoint>(dlsym(library, "acrxEntryPoint"));
  auto version = reinterpret_cast<int (*)()>(dlsym(library, "acrxGetApiVersion"));
  if (!entry || !version) {
    dlclose(library);
    return {false, "无法加载模块" + inQuotes(path) + "：它不是 orvcad 模块（缺少 " +
                       (entry ? "acrxGetApiVersion" : "acrxEntryPoint") + "）。"};
  }
  int built = version();
  if (built != ACRX_API_VERSION) {
    dlclose(library);
    return {false, "无法加载模块" + inQuotes(path) + "：它是为 API 版本 " + std::to_string(built) +
                       " 构建的，本程序需要版本 " + std::to_string(ACRX_API_VERSION) + "。"};
  }

  auto module = std::make_unique<Module>();
  module->path_ = path;
  module->library_ = library;
  module->entry_ = entry;
  Module& m = *module;
  modules_.push_back(std::move(module));
  if (send(m, AcRx::kInitAppMsg, m.handle()) != AcRx::kRetOK) {
    commands_.removeOwnedBy(&m);
    close(m);
    return {false, "无法加载模块" + inQuotes(path) + "：模块初始化失败。"};
  }
  return {true, {}};
}

ModuleManager::Result ModuleManager::unload(const std::string& nameOrPath) {
  Module* m = find(nameOrPath);
  if (!m) return {false, "模块" + inQuotes(nameOrPath) + "没有加载。"};
  if (!m->unlocked_) return {false, "模块" + inQuotes(m->fileName()) + "已锁定，不能卸载。"};
  send(*m, AcRx::kUnloadAppMsg, m->handle());
  // A command left behind would point into the closed library.
  commands_.removeOwnedBy(m);
  close(*m);
  return {true, {}};
}

void ModuleManager::unloadAll() {
  while (!modules_.empty()) {
    Module& m = *modules_.back();
    send(m, AcRx::kUnloadAppMsg, m.handle());
    commands_.removeOwnedBy(&m);
    close(m);
  }
}

void ModuleManager::broadcast(AcRx::AppMsgCode msg) {
  for (const auto& m : modules_) send(*m, msg, m->handle());
}

Module* ModuleManager::findByFileName(const std::string& fileName) const {
  for (const auto& m : modules_)
    if (equalsIgnoringCase(m->fileName(), fileName)) return m.get();
  return nullptr;
}

bool ModuleManager::isLoaded(const Module* m) const {
  return std::any_of(modules_.begin(), modules_.end(), [&](const auto& p) { return p.get() == m; });
}

Module* ModuleManager::find(const std::string& nameOrPath) const {
  if (Module* m = findByFileName(nameOrPath)) return m;
  std::error_code ec;
  fs::path path = fs::absolute(nameOrPath, ec).lexically_normal();
  for (const auto& m : modules_)
    if (m->path_ == path) return m.get();
  return nullptr;
}

AcRx::AppRetCode ModuleManager::send(Module& m, AcRx::AppMsgCode msg, void* pkt) {
  CurrentModule guard(current_, &m);
  try {
    return m.entry_(msg, pkt);
  } catch (...) {
    // An exception must not cross into the host's loop; the message failed.
    return AcRx::kRetError;
  }
}

void ModuleManager::close(Module& m) {
  void* library = m.library_;
  std::erase_if(modules_, [&](const auto& p) { return p.get() == &m; });
  if (library) dlclose(library);
}

}  // namespace orv::modules
