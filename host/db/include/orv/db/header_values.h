// Header variables the model keeps as read (a 9 $NAME tag, then its value tags), and the
// current properties they give new entities: $CECOLOR, $CELTYPE and $CELWEIGHT.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "orv/db/database.h"

namespace orv::db {

// The first value of a variable ("$DIMSCALE"; names compared without regard to case);
// nullopt when the header has no such variable.
std::optional<std::string> headerValue(const HeaderVariables& h, std::string_view name);
// Replaces the variable (every tag of it) by one value with the group code given, where
// it stood, or adds it at the end.
void setHeaderValue(HeaderVariables& h, std::string_view name, int code, const std::string& value);
// Every value tag of a variable (a point's 10, 20 and 30), and the variable given such
// tags in place of its own: removed when there are none.
using HeaderTags = std::vector<std::pair<int, std::string>>;
HeaderTags headerTags(const HeaderVariables& h, std::string_view name);
void setHeaderTags(HeaderVariables& h, std::string_view name, const HeaderTags& tags);

// What a new entity gets unless the one who makes it says otherwise. A value no drawing
// may hold counts as ByLayer, a linetype the table lacks too.
std::int16_t currentColor(const Database& d);       // 0 ByBlock, 1-255, 256 ByLayer
std::string currentLinetype(const Database& d);     // as the table spells it, "ByLayer", "ByBlock"
std::int16_t currentLineweight(const Database& d);  // a standard weight or lineweight::by...

// A new entity given the current colour and linetype (before it is appended), and its
// current lineweight (once it is: the weight lives in its extras); false when that failed.
void giveCurrentColorAndLinetype(Database& d, Entity& e);
bool giveCurrentLineweight(Database& d, ObjectId id);

}  // namespace orv::db
