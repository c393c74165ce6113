// The special codes of one-line text (db::Text holds TEXT, ATTRIB and ATTDEF; db::MText MTEXT).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "orv/db/raw_tags.h"
#include "orv/db/types.h"
#include "orv/geom/affine.h"
#include "orv/geom/kept.h"

namespace orv::geom {

// One-line text with its special codes turned into the characters they stand for:
// %%c ⌀, %%d °, %%p ±, %%% %, %%nnn the character of that code; %%u and %%o (underline
// and overline switches) are left out.
std::string expandTextCodes(std::string_view text);

}  // namespace orv::geom
