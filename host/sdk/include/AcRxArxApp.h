// Base class of a module's application object, compiled into the module.
//
// A module defines one static application object and its command table:
//
//   static const _ACED_ARXCOMMAND_ENTRY kCommands[] = { ... };
//   class CMyApp : public AcRxArxApp { ... };
//   IMPLEMENT_ARX_ENTRYPOINT(CMyApp, kCommands)
//
// The macro exports acrxEntryPoint and acrxGetApiVersion. On kInitAppMsg the
// base unlocks the module (so that the host may unload it), declares it
// MDI-aware and registers every row of the table with the command stack, in
// table order; on kUnloadAppMsg it removes them one by one.
#pragma once

#include <cstddef>

#include "accmd.h"

class AcRxArxApp {
 public:
  AcRxArxApp() = default;
  virtual ~AcRxArxApp() = default;
  AcRxArxApp(const AcRxArxApp&) = delete;
  AcRxArxApp& operator=(const AcRxArxApp&) = delete;

  // Message dispatch: the handlers below, and 0 (kRetOK) for every other message.
  AcRx::AppRetCode dispatch(AcRx::AppMsgCode msg, void* pkt) {
    switch (msg) {
      case AcRx::kInitAppMsg:
        m_hdllInstance = static_cast<HINSTANCE>(pkt);
        return On_kInitAppMsg(pkt);
      case AcRx::kUnloadAppMsg:
        return On_kUnloadAppMsg(pkt);
      case AcRx::kLoadDwgMsg:
        return On_kLoadDwgMsg(pkt);
      case AcRx::kUnloadDwgMsg:
        return On_kUnloadDwgMsg(pkt);
      case AcRx::kInvkSubrMsg:
        return On_kInvkSubrMsg(pkt);
      default:
        return AcRx::kRetOK;
    }
  }

  virtual AcRx::AppRetCode On_kInitAppMsg(void* pkt) {
    if (m_bUnlockAppOnLoad) acrxDynamicLinker->unlockApplication(pkt);
    if (m_bMDIAware) acrxDynamicLinker->registerAppMDIAware(pkt);
    RegisterServerComponents();
    for (std::size_t i = 0; i < m_commandCount; ++i) {
      const _ACED_ARXCOMMAND_ENTRY& e = m_commands[i];
      if (AcEdCommandStack* stack = acedRegCmds) {
        HINSTANCE resources = (e.commandFlags & ACRX_CMD_SESSION) ? nullptr : m_hdllInstance;
        stack->addCommand(e.pszCmdGroupName, e.pszCmdGlobalName, e.pszCmdLocalName,
                          e.commandFlags, e.functionPtr, e.UIContext, -1, resources, nullptr);
      }
    }
    return AcRx::kRetOK;
  }
  virtual AcRx::AppRetCode On_kUnloadAppMsg(void*) {
    for (std::size_t i = 0; i < m_commandCount; ++i) {
      if (AcEdCommandStack* stack = acedRegCmds)
        stack->removeCmd(m_commands[i].pszCmdGroupName, m_commands[i].pszCmdGlobalName);
    }
    return AcRx::kRetOK;
  }
  virtual AcRx::AppRetCode On_kLoadDwgMsg(void*) { return AcRx::kRetOK; }
  virtual AcRx::AppRetCode On_kUnloadDwgMsg(void*) { return AcRx::kRetOK; }
  virtual AcRx::AppRetCode On_kInvkSubrMsg(void*) { return AcRx::kRetOK; }
  virtual void RegisterServerComponents() {}

  HINSTANCE instance() const { return m_hdllInstance; }

  // Set by IMPLEMENT_ARX_ENTRYPOINT before the first message.
  void setCommandTable(const _ACED_ARXCOMMAND_ENTRY* commands, std::size_t count) {
    m_commands = commands;
    m_commandCount = count;
  }

 protected:
  HINSTANCE m_hdllInstance = nullptr;
  bool m_bUnlockAppOnLoad = true;
  bool m_bMDIAware = true;

 private:
  const _ACED_ARXCOMMAND_ENTRY* m_commands = nullptr;
  std::size_t m_commandCount = 0;
};

#define IMPLEMENT_ARX_ENTRYPOINT(AppClass, commandTable)                                      \
  static AppClass& orvTheApp() {                                                              \
    static AppClass app;                                                                      \
    static const bool tableSet =                                                              \
        (app.setCommandTable(commandTable, sizeof(commandTable) / sizeof(commandTable[0])),   \
         true);                                                                               \
    (void)tableSet;                                                                           \
    return app;                                                                               \
  }                                                                                           \
  ORV_MODULE_EXPORT AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode msg, void* pkt) {        \
    return orvTheApp().dispatch(msg, pkt);                                                    \
  }                                                                                           \
  ORV_MODULE_EXPORT int acrxGetApiVersion() { return ACRX_API_VERSION; }
