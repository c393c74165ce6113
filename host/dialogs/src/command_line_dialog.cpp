// Presenting a dialog's model at the command line.
#include "orv/dialogs/command_line_dialog.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>

#include "orv/dialogs/command_line_texts.h"
#include "orv/prompt/reply_parser.h"
#include "words.h"

namespace orv::dialogs {

namespace {

using prompt::trimBlanks;

// A slot number typed as decimal digits; 0 when the reply is not one.
std::size_t slotNumber(std::string_view reply) {
  if (reply.empty() || reply.size() > 6) return 0;
  std::size_t n = 0;
  for (char c : reply) {
    if (c < '0' || c > '9') return 0;
    n = n * 10 + static_cast<std::size_t>(c - '0');
  }
  return n;
}

int overlap(const Rect& a, const Rect& b) {
  return std::min(a.right(), b.right()) - std::max(a.x, b.x);
}

bool showsPicture(const DialogModel& model, const Slot& slot) {
  if (!slot.picture) return false;
  const Control& picture = model.controls()[*slot.picture];
  return picture.bitmap && !picture.bitmap->isBlank();
}

void show(const DialogModel& model, const std::vector<Slot>& slots, prompt::Console& console) {
  const std::string caption = displayText(model.caption);
  console.print("\n" + (caption.empty() ? std::string(texts::kUntitled) : caption));
  if (slots.empty()) {
    console.print(texts::kNothingToChoose);
    return;
  }
  const std::size_t width = std::to_string(slots.size()).size();
  for (std::size_t i = 0; i < slots.size(); ++i) {
    const Control& radio = model.controls()[slots[i].radio];
    std::string number = std::to_string(i + 1);
    std::string line = "\n  ";
    line += radio.checked ? texts::kChosenMark : texts::kUnchosenMark;
    line += std::string(width - number.size() + 1, ' ') + number + ". " + displayText(radio.text);
    if (slots[i].picture) {
      line += "  ";
      line += showsPicture(model, slots[i]) ? texts::kHasPicture : texts::kNoPicture;
    }
    console.print(line);
  }
}

}  // namespace

std::vector<Slot> slotsOf(const DialogModel& model) {
  const auto& controls = model.controls();
  std::vector<Slot> slots;
  for (std::size_t i = 0; i < controls.size(); ++i)
    if (controls[i].visible && controls[i].kind() == ControlKind::radioButton) slots.push_back(Slot{i, {}});

  // Pair each picture with the radio button below it; keep the nearest picture per radio.
  std::vector<int> gapOfPicture(slots.size(), 0);
  for (std::size_t p = 0; p < controls.size(); ++p) {
    const Control& picture = controls[p];
    if (!picture.visible || picture.kind() != ControlKind::picture) continue;
    std::optional<std::size_t> best;
    int bestGap = 0, bestOverlap = 0;
    for (std::size_t s = 0; s < slots.size(); ++s) {
      const Rect& r = controls[slots[s].radio].rect;
      const int across = overlap(picture.rect, r);
      if (across <= 0 || 2 * r.y < 2 * picture.rect.y + picture.rect.cy) continue;  // not below its middle
      const int gap = r.y - picture.rect.bottom();
      if (!best || gap < bestGap || (gap == bestGap && across > bestOverlap)) {
        best = s;
        bestGap = gap;
        bestOverlap = across;
      }
    }
    if (!best) continue;
    Slot& slot = slots[*best];
    if (!slot.picture || bestGap < gapOfPicture[*best]) {
      slot.picture = p;
      gapOfPicture[*best] = bestGap;
    }
  }
  return slots;
}

Presented presentAtCommandLine(DialogModel& model, prompt::Console& console) {
  const std::vector<Slot> slots = slotsOf(model);
  show(model, slots, console);
  const std::string_view question = slots.empty() ? texts::kOkOrCancel : texts::kChooseSlot;
  for (;;) {
    prompt::AskOptions options;
    options.kind = prompt::AskKind::choice;
    options.keywords = {std::string(texts::kOkWord), std::string(texts::kCancelWord)};
    prompt::Reply reply = console.ask(question, options);
    if (reply.kind == prompt::Reply::Kind::End) return {Press::cancel, true};
    if (reply.kind == prompt::Reply::Kind::Cancel) return {Press::cancel, false};
    const std::string read = prompt::asciiForms(reply.text);  // "３" and "ＯＫ" as typed in full width
    const std::string_view typed = trimBlanks(read);
    if (!reply.point && (typed.empty() || sameWord(typed, texts::kOkWord) || typed == texts::kOkWordLocal))
      return {Press::ok, false};
    if (sameWord(typed, texts::kCancelWord) || typed == texts::kCancelWordLocal) return {Press::cancel, false};
    const std::size_t n = slotNumber(typed);
    if (n >= 1 && n <= slots.size()) {
      Control& radio = model.controls()[slots[n - 1].radio];
      if (!radio.enabled) {
        console.print(texts::notAvailable(n));
        continue;
      }
      model.setChecked(radio.id, true);
      console.print(texts::chosen(n, displayText(radio.text)));
      continue;
    }
    console.print(texts::refusal(slots.size()));
  }
}

}  // namespace orv::dialogs
