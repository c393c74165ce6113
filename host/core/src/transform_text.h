// One-line text and MTEXT under a similarity (transform_text.cpp).
#pragma once

#include <optional>
#include <string>

#include "orv/core/geometry.h"
#include "orv/db/mtext_kind.h"
#include "orv/db/text_kinds.h"

namespace orv::core::detail {

// Moves, turns and scales a TEXT, ATTRIB or ATTDEF; under a reflection it stays readable
// (on the other side of the mirror line, reading as before). Why it cannot, if so.
std::optional<std::string> transformText(db::Text& t, const Affine2& m);

}  // namespace orv::core::detail

namespace orv::core::detail {

// Moves, turns and scales an MTEXT (its insertion point and direction are world
// coordinates); under a reflection it stays readable: its box hangs on the other side of
// the mirror line, reading as before. Why it cannot, if so.
std::optional<std::string> transformMText(db::MText& t, const Affine2& m);

}  // namespace orv::core::detail
