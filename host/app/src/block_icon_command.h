// The BLOCKICON command's report of the preview icons it stored.
#pragma once

#include <string>

#include "orv/render/block_icon.h"

namespace orv::app {

// What BLOCKICON says about the icons it stored.
std::string describe(const render::BlockIconCount& count);

}  // namespace orv::app
