// STYLE, DIMSTYLE, DIMSCALE and LTSCALE, and the pieces of them tests reach.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "orv/core/drafting_styles.h"
#include "session.h"

namespace orv::app {

std::vector<Session::HostCommand> styleCommands();

// Why a text style name cannot be used; nullopt when it can.
std::optional<std::string> styleNameProblem(std::string_view name);

// A font reply: "gbenor.shx,gbcbig.shx" is a font and a big font (for Chinese glyphs).
struct FontChoice {
  std::string font;
  std::string bigFont;
};
FontChoice parseFontChoice(std::string_view typed);

// Stores a dimension style as one step of UNDO named after the command; false (and said)
// when the drawing refused it.
bool storeStyle(Session& s, const core::DimensionStyle& style, const std::string& commandName);

}  // namespace orv::app
