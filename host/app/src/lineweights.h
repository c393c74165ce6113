// Lineweights as a user types and reads them, the current lineweight new entities get
// ($CELWEIGHT), whether lineweights are shown ($LWDISPLAY), and the LWEIGHT and
// LWDISPLAY commands.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "session.h"

namespace orv::app {

// LWEIGHT, LWDISPLAY.
std::vector<Session::HostCommand> lineweightCommands();

// A lineweight as typed: millimetres of a standard lineweight ("0.25", "0.3"), BYLAYER,
// BYBLOCK or DEFAULT (or 随层, 随块, 默认); nullopt for anything else.
std::optional<std::int16_t> parseLineweight(std::string_view typed);
// How a lineweight reads: "0.25 毫米", "BYLAYER", "BYBLOCK", "DEFAULT".
std::string lineweightText(std::int16_t lineweight);
// Why a typed lineweight was refused, the standard values listed.
std::string badLineweightMessage();

// True when the drawing shows lineweights ($LWDISPLAY).
bool lineweightDisplay(const db::Database& d);
// Shows lineweights or not: a setting kept in the drawing, as CAD programs keep it, that
// UNDO does not take back.
void setLineweightDisplay(core::Document& document, bool on);

}  // namespace orv::app
