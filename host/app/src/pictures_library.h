// The renderer library, loaded the first time the session makes a picture.
#pragma once

#include <string>

#include "orv/render/pictures.h"

namespace orv::app {

// The renderer's functions; null, with the reason in `problem` (one line for the
// user), when its library cannot be loaded. The library is looked for beside the
// module installed with orvcad, is loaded once and stays loaded.
const render::Pictures* pictures(std::string& problem);

}  // namespace orv::app
