// The module's application object, as far as the rest of the plug-in needs it.
#pragma once

#include "adesk.h"

// The handle the host gave the module when it was initialised.
HINSTANCE moduleInstance();
