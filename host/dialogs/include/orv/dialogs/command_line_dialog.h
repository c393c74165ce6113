// A dialog presented at the command line: the caption, one line per slot
// (a radio button with the picture above it in the layout), then a question
// that takes slot numbers until OK or Cancel is pressed.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "orv/dialogs/dialog_model.h"
#include "orv/prompt/console.h"

namespace orv::dialogs {

// A choice the command line offers: a visible radio button (index into the
// model's controls) and the picture control paired with it, if any.
struct Slot {
  std::size_t radio = 0;
  std::optional<std::size_t> picture;
};

// The slots in tab order. A visible picture control pairs with the nearest
// visible radio button below it that overlaps it horizontally; a radio button
// takes at most one picture, the nearest.
std::vector<Slot> slotsOf(const DialogModel& model);

enum class Press { ok, cancel };

struct Presented {
  Press press = Press::cancel;
  bool inputEnded = false;  // the input ran out: nothing more can be asked
};

// Shows the model and asks until a button is pressed. A slot number checks
// that slot's radio button (in its group, the last choice counts); "OK",
// "确定" or an empty line press OK; "CANCEL", "取消" or a cancel press
// Cancel; the end of the input presses Cancel; anything else is refused with
// a message and asked again. Changes the model's checks, nothing else.
Presented presentAtCommandLine(DialogModel& model, prompt::Console& console);

}  // namespace orv::dialogs
