// The command stack: commands that modules register with the host.
#pragma once

#include "rxdefs.h"

typedef void (*AcRxFunctionPtr)();
class AcEdUIContext;
class AcEdCommand;

// Command flags.
#define ACRX_CMD_MODAL 0x00000000
#define ACRX_CMD_TRANSPARENT 0x00000001
#define ACRX_CMD_USEPICKSET 0x00000002
#define ACRX_CMD_REDRAW 0x00000004
#define ACRX_CMD_NOPERSPECTIVE 0x00000008
#define ACRX_CMD_NOMULTIPLE 0x00000010
#define ACRX_CMD_NOTILEMODE 0x00000020
#define ACRX_CMD_NOPAPERSPACE 0x00000040
#define ACRX_CMD_UNDEFINED 0x00000200
#define ACRX_CMD_INPROGRESS 0x00000400
#define ACRX_CMD_DEFUN 0x00000800
#define ACRX_CMD_SESSION 0x00200000

#define ACRX_COMMAND_DOCK L"ACAD_REGISTERED_COMMANDS"

class ORV_SDK_API AcEdCommandStack : public AcRxObject {
 public:
  // The command stack, or null when obj is something else.
  static AcEdCommandStack* cast(AcRxObject* obj);

  // Registers a command. A global or local name that the group already holds
  // gives eDuplicateKey; an empty group or global name eInvalidInput.
  virtual Acad::ErrorStatus addCommand(const ACHAR* cmdGroupName, const ACHAR* cmdGlobalName,
                                       const ACHAR* cmdLocalName, Adesk::Int32 commandFlags,
                                       AcRxFunctionPtr functionAddr,
                                       AcEdUIContext* uiContext = nullptr, int fcode = -1,
                                       HINSTANCE resourceHandle = nullptr,
                                       AcEdCommand** cmdPtrRet = nullptr) = 0;
  // Removes one command by group and global name; eKeyNotFound when absent.
  virtual Acad::ErrorStatus removeCmd(const ACHAR* cmdGroupName, const ACHAR* cmdGlobalName) = 0;
  // Removes every command of a group.
  virtual Acad::ErrorStatus removeGroup(const ACHAR* groupName) = 0;
};

#define acedRegCmds (AcEdCommandStack::cast(acrxSysRegistry()->at(ACRX_COMMAND_DOCK)))

// One row of a module's static command table.
struct _ACED_ARXCOMMAND_ENTRY {
  const ACHAR* pszCmdGroupName;
  const ACHAR* pszCmdGlobalName;
  const ACHAR* pszCmdLocalName;  // null: loaded from the string table by localNameID
  Adesk::Int32 commandFlags;
  AcRxFunctionPtr functionPtr;
  AcEdUIContext* UIContext;
  int localNameID;  // -1: none
};
