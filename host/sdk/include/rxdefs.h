// The module boundary: messages the host sends to a module's entry point,
// the objects of the host's system registry and the dynamic linker.
//
// A module exports two functions, looked up by name:
//   extern "C" AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode msg, void* pkt);
//   extern "C" int acrxGetApiVersion();   // returns ACRX_API_VERSION
// The host refuses a module that lacks either or that was built for another
// API version. With kInitAppMsg the packet is the module's own HINSTANCE.
#pragma once

#include "acadstrc.h"
#include "adesk.h"

// Version of this SDK's binary interface; bumped whenever a module built
// against an older one would misbehave.
#define ACRX_API_VERSION 17

namespace AcRx {
enum AppMsgCode {
  kNullMsg = 0,
  kInitAppMsg = 1,
  kUnloadAppMsg = 2,
  kLoadDwgMsg = 3,
  kUnloadDwgMsg = 4,
  kInvkSubrMsg = 5,
  kCfgMsg = 6,
  kEndMsg = 7,
  kQuitMsg = 8,
  kSaveMsg = 9,
  kDependencyMsg = 10,
  kNoDependencyMsg = 11,
  kOleUnloadAppMsg = 12,
  kPreQuitMsg = 13,
  kInitDialogMsg = 14,
  kEndDialogMsg = 15,
  kSuspendMsg = 16,
};
enum AppRetCode { kRetOK = 0, kRetError = 3 };
}  // namespace AcRx

// Base of the objects the system registry holds.
class ORV_SDK_API AcRxObject {
 public:
  virtual ~AcRxObject();
};

// The host's system registry: named service objects.
class ORV_SDK_API AcRxDictionary : public AcRxObject {
 public:
  virtual AcRxObject* at(const ACHAR* key) const = 0;
};
ORV_SDK_API AcRxDictionary* acrxSysRegistry();

// The dynamic linker: loaded modules and what they allow.
class ORV_SDK_API AcRxDynamicLinker : public AcRxObject {
 public:
  // Allows the host to unload the module that received pkt with kInitAppMsg.
  virtual bool unlockApplication(void* pkt) const = 0;
  virtual bool lockApplication(void* pkt) const = 0;
  virtual bool isApplicationLocked(const ACHAR* moduleName) const = 0;
  // Declares that the module works with several open drawings.
  virtual bool registerAppMDIAware(void* pkt) const = 0;
};
#define ACRX_DYNAMIC_LINKER L"DynamicLinker"
#define acrxDynamicLinker (static_cast<AcRxDynamicLinker*>(acrxSysRegistry()->at(ACRX_DYNAMIC_LINKER)))
