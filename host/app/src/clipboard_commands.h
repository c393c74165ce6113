// The clipboard COPYCLIP, CUTCLIP and PASTECLIP use, and the drawing they put on it.
#pragma once

#include <optional>
#include <string>

#include "orv/core/selection.h"
#include "orv/core/spatial_index.h"
#include "orv/db/database.h"

namespace orv::app {

// Where a presentation keeps what is copied (the window: the desktop's clipboard).
class Clipboard {
 public:
  virtual ~Clipboard() = default;
  // Puts a DXF drawing on the clipboard.
  virtual void put(const std::string& dxf) = 0;
  // The text on the clipboard (a DXF drawing, or whatever another program put there);
  // nullopt when it holds none.
  virtual std::optional<std::string> text() = 0;
};

// The clipboard the commands use from now on; null: the process's own (scripts).
void setClipboard(Clipboard* clipboard);
Clipboard* currentClipboard();

// The model-space entities of `set` as a DXF drawing of their own: with the blocks,
// layers, linetypes and styles they use, $INSBASE at the lower left corner of their
// extents. nullopt (and why, in Chinese) when nothing could be copied.
std::optional<std::string> clipboardDrawing(const db::Database& d, core::SpatialIndex& index,
                                            const core::SelectionSet& set, std::string& why);

}  // namespace orv::app
