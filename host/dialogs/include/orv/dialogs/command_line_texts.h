// What a dialog says at the command line: every text of the presentation in
// one place. Each message begins with a line break, as every message of the
// command line does.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace orv::dialogs::texts {

// Shown after the caption when the dialog has nothing to choose.
inline constexpr std::string_view kNothingToChoose = "\n  （没有可选的项）";
// A slot's radio button, chosen or not, and whether its picture shows something.
inline constexpr std::string_view kChosenMark = "(*)";
inline constexpr std::string_view kUnchosenMark = "( )";
inline constexpr std::string_view kHasPicture = "[有图]";
inline constexpr std::string_view kNoPicture = "[无图]";

// The question, with slots to choose and without.
inline constexpr std::string_view kChooseSlot = "\n输入编号选择，或 [确定(OK)/取消(CANCEL)] <确定>: ";
inline constexpr std::string_view kOkOrCancel = "\n[确定(OK)/取消(CANCEL)] <确定>: ";

// Replies that press the buttons (OK and CANCEL in any case; an empty line is OK too).
inline constexpr std::string_view kOkWord = "OK";
inline constexpr std::string_view kOkWordLocal = "确定";
inline constexpr std::string_view kCancelWord = "CANCEL";
inline constexpr std::string_view kCancelWordLocal = "取消";

// The caption of a dialog that has none.
inline constexpr std::string_view kUntitled = "对话框";

// After a choice: "\n已选择 2: 截止阀".
inline std::string chosen(std::size_t slot, std::string_view caption) {
  return "\n已选择 " + std::to_string(slot) + ": " + std::string(caption);
}
// A slot whose radio button is disabled.
inline std::string notAvailable(std::size_t slot) { return "\n第 " + std::to_string(slot) + " 项现在不可选。"; }
// Any other reply.
inline std::string refusal(std::size_t slotCount) {
  if (slotCount == 0) return "\n需要 OK 或 CANCEL。";
  if (slotCount == 1) return "\n需要编号 1、OK 或 CANCEL。";
  return "\n需要 1 到 " + std::to_string(slotCount) + " 之间的编号、OK 或 CANCEL。";
}

}  // namespace orv::dialogs::texts
