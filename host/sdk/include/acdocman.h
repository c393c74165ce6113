// The document manager: which module's resources dialogs are built from.
#pragma once

#include "adesk.h"

class ORV_SDK_API AcApDocManager {
 public:
  // Makes a module's resources the current ones until the matching pop.
  bool pushResourceHandle(HINSTANCE module);
  bool popResourceHandle();
  // The module whose resources are current (the host itself: null).
  HINSTANCE currentResourceHandle() const;
};
ORV_SDK_API AcApDocManager* acDocManagerPtr();
