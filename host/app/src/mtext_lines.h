// MTEXT as one-line texts (mtext_lines.cpp).
#pragma once

#include <optional>
#include <vector>

#include "orv/db/mtext_kind.h"
#include "orv/db/text_kinds.h"

namespace orv::app {

// One TEXT per line of the MTEXT's paragraphs, in its style, height (a line's tallest
// letters) and direction, standing where the line stands in the box: by the side of the
// box its attachment names, on the line's baseline; formatting codes resolved into the
// characters they show. Empty lines give none. Nullopt when it does not lie in the
// drawing plane.
std::optional<std::vector<db::Text>> mtextLines(const db::MText& m);

}  // namespace orv::app
