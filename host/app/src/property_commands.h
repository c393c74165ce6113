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

// The first value of header variable `name` (upper case, "$CECOLOR") kept in the
// header's other variables; nullopt when the drawing has none.
std::optional<std::string> headerText(const db::HeaderVariables& h, std::string_view name);
// Sets that variable to one value of group `code`, in place of what it held.
void setHeaderText(db::HeaderVariables& h, std::string_view name, int code, const std::string& value);

// The properties of any entity: a modeled one's with those kept beside it, a kept one's
// from its tags.
geom::CommonProps propertiesOf(const db::Database& d, db::ObjectId id);

// Gives a new entity the drawing's current colour ($CECOLOR) and linetype ($CELTYPE).
void giveCurrentProperties(db::Database& d, db::Entity& e);

// The simple pattern `name` (any case) of a linetype file in the .lin format ("*NAME,
// description" then "A,dash,gap,..."); nullopt when the file lacks it, with `problem`
// saying why when the pattern is there but cannot be read (a complex pattern).
std::optional<db::Linetype> findLinetypePattern(std::istream& in, std::string_view name, std::string& problem);

}  // namespace orv::app
