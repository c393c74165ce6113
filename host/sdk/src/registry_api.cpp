// The system registry and the objects in it: the dynamic linker and the
// command stack, backed by the host's module manager and command registry.
#include "accmd.h"

#include <cwctype>
#include <string>

#include "host_bindings.h"
#include "orv/modules/command_registry.h"
#include "orv/modules/module_manager.h"
#include "orv/text/encoding.h"
#include "winapi.h"

using orv::modules::Module;
using orv::sdk::bound;

namespace {

std::string utf8(const ACHAR* text) { return text ? orv::text::narrow(text) : std::string(); }

// The module that sent pkt, if the host knows it.
Module* moduleOf(void* pkt) {
  auto* modules = bound().modules;
  if (!modules || !pkt) return nullptr;
  auto* m = Module::fromHandle(static_cast<HINSTANCE>(pkt));
  return modules->isLoaded(m) ? m : nullptr;
}

class DynamicLinker final : public AcRxDynamicLinker {
 public:
  bool unlockApplication(void* pkt) const override { return set(pkt, &Module::setUnlocked, true); }
  bool lockApplication(void* pkt) const override { return set(pkt, &Module::setUnlocked, false); }
  bool isApplicationLocked(const ACHAR* moduleName) const override {
    auto* modules = bound().modules;
    Module* m = modules ? modules->findByFileName(utf8(moduleName)) : nullptr;
    return m && !m->unlocked();
  }
  bool registerAppMDIAware(void* pkt) const override { return set(pkt, &Module::setMdiAware, true); }

 private:
  static bool set(void* pkt, void (Module::*setter)(bool), bool value) {
    Module* m = moduleOf(pkt);
    if (!m) return false;
    (m->*setter)(value);
    return true;
  }
};

class CommandStack final : public AcEdCommandStack {
 public:
  Acad::ErrorStatus addCommand(const ACHAR* group, const ACHAR* globalName, const ACHAR* localName,
                               Adesk::Int32 flags, AcRxFunctionPtr function, AcEdUIContext*, int,
                               HINSTANCE, AcEdCommand**) override {
    auto* registry = bound().commands;
    if (!registry) return Acad::eNoDatabase;
    if (!group || !*group || !globalName || !*globalName || !function) return Acad::eInvalidInput;
    orv::modules::Command c;
    c.group = utf8(group);
    c.globalName = utf8(globalName);
    c.localName = localName && *localName ? utf8(localName) : c.globalName;
    c.flags = flags;
    c.function = function;
    c.owner = bound().modules ? bound().modules->current() : nullptr;
    switch (registry->add(std::move(c))) {
      case orv::modules::CommandRegistry::AddResult::Added: return Acad::eOk;
      case orv::modules::CommandRegistry::AddResult::Duplicate: return Acad::eDuplicateKey;
      case orv::modules::CommandRegistry::AddResult::Invalid: return Acad::eInvalidInput;
    }
    return Acad::eInvalidInput;
  }
  Acad::ErrorStatus removeCmd(const ACHAR* group, const ACHAR* globalName) override {
    auto* registry = bound().commands;
    if (!registry) return Acad::eNoDatabase;
    return registry->remove(utf8(group), utf8(globalName)) ? Acad::eOk : Acad::eKeyNotFound;
  }
  Acad::ErrorStatus removeGroup(const ACHAR* group) override {
    auto* registry = bound().commands;
    if (!registry) return Acad::eNoDatabase;
    return registry->removeGroup(utf8(group)) > 0 ? Acad::eOk : Acad::eKeyNotFound;
  }
};

class SystemRegistry final : public AcRxDictionary {
 public:
  AcRxObject* at(const ACHAR* key) const override {
    if (!key) return nullptr;
    std::wstring k(key);
    if (k == ACRX_DYNAMIC_LINKER) return &linker_;
    if (k == ACRX_COMMAND_DOCK) return &commands_;
    return nullptr;
  }

 private:
  mutable DynamicLinker linker_;
  mutable CommandStack commands_;
};

}  // namespace

AcRxObject::~AcRxObject() = default;

AcRxDictionary* acrxSysRegistry() {
  static SystemRegistry registry;
  return &registry;
}

AcEdCommandStack* AcEdCommandStack::cast(AcRxObject* obj) { return dynamic_cast<AcEdCommandStack*>(obj); }

HMODULE GetModuleHandleW(LPCWSTR moduleName) {
  auto* modules = bound().modules;
  if (!modules || !moduleName) return nullptr;
  Module* m = modules->findByFileName(utf8(moduleName));
  return m ? m->handle() : nullptr;
}

DWORD GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size) {
  auto* modules = bound().modules;
  Module* m = modules && module ? Module::fromHandle(module) : nullptr;
  if (!m || !modules->isLoaded(m) || !fileName || size == 0) return 0;
  std::wstring path = orv::text::widen(m->path().string());
  if (path.size() < size) {
    path.copy(fileName, path.size());
    fileName[path.size()] = L'\0';
    return static_cast<DWORD>(path.size());
  }
  path.copy(fileName, size - 1);
  fileName[size - 1] = L'\0';
  return size;
}
