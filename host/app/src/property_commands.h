// The property commands (CHPROP, MATCHPROP, COLOR, LINETYPE), the current properties
// new entities get, and the reading of a linetype file.
#pragma once

#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "orv/geom/kept.h"
#include "session.h"

namespace orv::app {

// CHPROP, MATCHPROP, COLOR, LINETYPE.
std::vector<Session::HostCommand> propertyCommands();

// The properties of any entity: a modeled one's with those kept beside it, a kept one's
// from its tags.
geom::CommonProps propertiesOf(const db::Database& d, db::ObjectId id);

// A current property new entities get ($CECOLOR, $CELTYPE, $CELWEIGHT) set to `value`, a
// step of UNDO (part of the running command's); nothing when it already has that value.
void setCurrent(Session& s, const std::string& command, std::string_view variable, int code, const std::string& value);

// The simple pattern `name` (any case) of a linetype file in the .lin format ("*NAME,
// description" then "A,dash,gap,..."); nullopt when the file lacks it, with `problem`
// saying why when the pattern is there but cannot be read (a complex pattern).
std::optional<db::Linetype> findLinetypePattern(std::istream& in, std::string_view name, std::string& problem);

}  // namespace orv::app
