// Commands that the window's panels and keys use, each also typed or scripted: CHGEOM
// (the properties panel's geometry), COPYCLIP, CUTCLIP and PASTECLIP (the clipboard).
#pragma once

#include <vector>

#include "session.h"

namespace orv::app {

// CHGEOM.
std::vector<Session::HostCommand> geometryCommands();
// COPYCLIP, CUTCLIP, PASTECLIP.
std::vector<Session::HostCommand> clipboardCommands();

}  // namespace orv::app
