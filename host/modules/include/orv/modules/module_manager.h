// Modules loaded into the host: loading with dlopen, the checks made before a
// module's code runs, the life-cycle messages, and unloading.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "rxdefs.h"

namespace orv::modules {

class CommandRegistry;

// One loaded module. Its address is the module's HINSTANCE for the SDK.
class Module {
 public:
  using EntryPoint = AcRx::AppRetCode (*)(AcRx::AppMsgCode, void*);

  const std::filesystem::path& path() const { return path_; }  // absolute, links not resolved
  std::string fileName() const { return path_.filename().string(); }
  bool unlocked() const { return unlocked_; }
  bool mdiAware() const { return mdiAware_; }
  HINSTANCE handle() const { return reinterpret_cast<HINSTANCE>(const_cast<Module*>(this)); }
  static Module* fromHandle(HINSTANCE h) { return reinterpret_cast<Module*>(h); }

  // The address of a symbol the module exports (its resource table, say); null
  // when it exports none of that name.
  void* symbol(const char* name) const;

  void setUnlocked(bool v) { unlocked_ = v; }
  void setMdiAware(bool v) { mdiAware_ = v; }

 private:
  friend class ModuleManager;
  std::filesystem::path path_;
  void* library_ = nullptr;
  EntryPoint entry_ = nullptr;
  bool unlocked_ = false;
  bool mdiAware_ = false;
};

// Why the dynamic loader could not load a shared library, in Chinese words, from
// the loader's (English) report: not a library, built for another machine, a
// library it needs is missing (named), a symbol missing (named).
std::string describeLoadFailure(std::string_view loaderReport);

class ModuleManager {
 public:
  explicit ModuleManager(CommandRegistry& commands);
  ~ModuleManager();  // unloads every module, newest first
  ModuleManager(const ModuleManager&) = delete;
  ModuleManager& operator=(const ModuleManager&) = delete;

  struct Result {
    bool ok = false;
    std::string message;  // UTF-8, for the user; empty when ok
  };

  // Loads a module and sends it kInitAppMsg. Refuses (with a message and no
  // side effect) a file that is missing, not a loadable library, lacks
  // acrxEntryPoint or acrxGetApiVersion, was built for another API version,
  // is already loaded, or whose initialisation fails.
  Result load(const std::filesystem::path& path);
  // Unloads a module named by file name or path: kUnloadAppMsg, then any
  // command it left registered is removed, then the library is closed.
  // A module that did not unlock itself is refused.
  Result unload(const std::string& nameOrPath);
  void unloadAll();

  // Sends a message to every module (kQuitMsg, say), in load order.
  void broadcast(AcRx::AppMsgCode msg);

  const std::vector<std::unique_ptr<Module>>& modules() const { return modules_; }
  // By file name (case-insensitive, as the platform's module functions match).
  Module* findByFileName(const std::string& fileName) const;
  bool isLoaded(const Module* m) const;

  // The module whose entry point is running, so that commands it registers are
  // attributed to it; null outside module messages.
  Module* current() const { return current_; }

 private:
  Module* find(const std::string& nameOrPath) const;
  AcRx::AppRetCode send(Module& m, AcRx::AppMsgCode msg, void* pkt);
  void close(Module& m);

  CommandRegistry& commands_;
  std::vector<std::unique_ptr<Module>> modules_;
  Module* current_ = nullptr;
};

}  // namespace orv::modules
