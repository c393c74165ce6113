// A dialog at the command line: what it shows, which replies press which
// button, and how pictures pair with the radio buttons below them.
#include "orv/dialogs/command_line_dialog.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "orv/dialogs/command_line_texts.h"
#include "orv/prompt/script_console.h"

namespace {

using namespace orv::dialogs;
namespace texts = orv::dialogs::texts;

constexpr std::uint32_t kShown = style::kVisible;

Control make(int id, const char* windowClass, std::string text, std::uint32_t style, Rect rect = {}) {
  Control c;
  c.id = id;
  c.windowClass = windowClass;
  c.text = std::move(text);
  c.style = style;
  c.rect = rect;
  return c;
}

// A picture dialog laid out as the part libraries' dialogs are: pictures of
// 32 x 30 above radio buttons, three slots to a row, then OK and Cancel.
DialogModel pictureDialog(int rows = 2) {
  DialogModel m;
  m.caption = "阀门选择";
  const int pictureX[] = {7, 81, 157}, radioX[] = {7, 79, 157}, radioWidth[] = {71, 77, 71};
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < 3; ++c) {
      const int k = r * 3 + c + 1;
      Control picture = make(203 + 2 * k, "STATIC", "", kShown | style::kStaticBitmap, {pictureX[c], 6 + 51 * r, 32, 30});
      picture.bitmap = std::make_shared<const Bitmap>(48, 48);  // a white placeholder
      m.add(std::move(picture));
    }
    for (int c = 0; c < 3; ++c) {
      const int k = r * 3 + c + 1;
      m.add(make(204 + 2 * k, "BUTTON", "FM" + std::to_string(k),
                 kShown | style::kAutoRadioButton | (k == 1 ? style::kGroup : 0),
                 {radioX[c], 41 + 51 * r, radioWidth[c], 10}));
    }
  }
  m.add(make(1, "BUTTON", "确定", kShown | style::kDefPushButton | style::kGroup));
  m.add(make(2, "BUTTON", "取消", kShown));
  return m;
}

void showPicture(DialogModel& m, int slot) {
  Bitmap b(48, 48);
  b.at(10, 10) = 0x000000;
  m.find(203 + 2 * slot)->bitmap = std::make_shared<const Bitmap>(b);
}

struct Shown {
  Presented presented;
  std::string transcript;
};

Shown present(DialogModel& m, const std::string& script) {
  std::istringstream in(script);
  std::ostringstream out;
  orv::prompt::ScriptConsole console(in, out);
  Presented p = presentAtCommandLine(m, console);
  return {p, out.str()};
}

TEST(CommandLineDialog, pairsEachPictureWithTheRadioButtonBelowIt) {
  DialogModel m = pictureDialog();
  auto slots = slotsOf(m);
  ASSERT_EQ(slots.size(), 6u);
  for (std::size_t k = 1; k <= 6; ++k) {
    const Slot& s = slots[k - 1];
    EXPECT_EQ(m.controls()[s.radio].id, 204 + 2 * static_cast<int>(k));
    ASSERT_TRUE(s.picture) << "slot " << k;
    EXPECT_EQ(m.controls()[*s.picture].id, 203 + 2 * static_cast<int>(k)) << "slot " << k;
  }
  // A hidden radio button is no slot; a radio button with no picture above it has none.
  m.find(206)->visible = false;
  m.find(203 + 2 * 5)->visible = false;
  slots = slotsOf(m);
  ASSERT_EQ(slots.size(), 5u);
  EXPECT_EQ(m.controls()[slots[0].radio].id, 208);
  EXPECT_FALSE(slots[3].picture) << "slot 5 lost its picture";
}

TEST(CommandLineDialog, showsTheSlotsThenTakesTheLastChoiceAndOk) {
  DialogModel m = pictureDialog();
  showPicture(m, 1);
  showPicture(m, 2);
  m.find(206)->text = "闸阀";
  m.find(208)->text = "截止阀";
  Shown run = present(m, "2\n1\n2\nOK\n");
  EXPECT_EQ(run.presented.press, Press::ok);
  EXPECT_FALSE(run.presented.inputEnded);
  const std::string question(texts::kChooseSlot);
  EXPECT_EQ(run.transcript,
            "\n阀门选择"
            "\n  ( ) 1. 闸阀  [有图]"
            "\n  ( ) 2. 截止阀  [有图]"
            "\n  ( ) 3. FM3  [无图]"
            "\n  ( ) 4. FM4  [无图]"
            "\n  ( ) 5. FM5  [无图]"
            "\n  ( ) 6. FM6  [无图]" +
                question + "2\n\n已选择 2: 截止阀" + question + "1\n\n已选择 1: 闸阀" + question +
                "2\n\n已选择 2: 截止阀" + question + "OK\n");
  EXPECT_FALSE(m.find(206)->checked);
  EXPECT_TRUE(m.find(208)->checked);
}

TEST(CommandLineDialog, everyWayOfPressingOkOrCancel) {
  const std::pair<const char*, Press> replies[] = {
      {"\n", Press::ok},         {"ok\n", Press::ok},      {"确定\n", Press::ok},    {"  OK \n", Press::ok},
      {"CANCEL\n", Press::cancel}, {"cancel\n", Press::cancel}, {"取消\n", Press::cancel}, {"^C\n", Press::cancel},
  };
  for (const auto& [reply, press] : replies) {
    DialogModel m = pictureDialog(1);
    Shown run = present(m, reply);
    EXPECT_EQ(run.presented.press, press) << reply;
    EXPECT_FALSE(run.presented.inputEnded) << reply;
  }
  // The script runs out: Cancel, and the presentation says nothing more can be asked.
  DialogModel m = pictureDialog(1);
  Shown run = present(m, "3\n");
  EXPECT_EQ(run.presented.press, Press::cancel);
  EXPECT_TRUE(run.presented.inputEnded);
  EXPECT_TRUE(m.find(210)->checked) << "the choice made before stays in the model";
}

TEST(CommandLineDialog, refusesOtherRepliesAndAsksAgain) {
  DialogModel m = pictureDialog(1);
  Shown run = present(m, "0\n4\n2x\n闸阀\n-1\n3\n\n");
  EXPECT_EQ(run.presented.press, Press::ok);
  const std::string question(texts::kChooseSlot), refusal = "\n需要 1 到 3 之间的编号、OK 或 CANCEL。";
  const std::string tail = question + "0\n" + refusal + question + "4\n" + refusal + question + "2x\n" + refusal +
                           question + "闸阀\n" + refusal + question + "-1\n" + refusal + question +
                           "3\n\n已选择 3: FM3" + question + "\n";
  ASSERT_GE(run.transcript.size(), tail.size());
  EXPECT_EQ(run.transcript.substr(run.transcript.size() - tail.size()), tail);
  EXPECT_TRUE(m.find(210)->checked);
}

TEST(CommandLineDialog, aDisabledSlotIsShownButCannotBeChosen) {
  DialogModel m = pictureDialog(1);
  m.find(208)->enabled = false;
  Shown run = present(m, "2\nCANCEL\n");
  EXPECT_NE(run.transcript.find("\n第 2 项现在不可选。"), std::string::npos);
  EXPECT_FALSE(m.find(208)->checked);
}

TEST(CommandLineDialog, aDialogWithoutChoicesAsksOnlyForOkOrCancel) {
  DialogModel m;
  m.add(make(1, "BUTTON", "确定", kShown | style::kDefPushButton));
  Shown run = present(m, "1\nOK\n");
  EXPECT_EQ(run.presented.press, Press::ok);
  const std::string confirm(texts::kOkOrCancel);
  EXPECT_EQ(run.transcript, "\n对话框\n  （没有可选的项）" + confirm + "1\n\n需要 OK 或 CANCEL。" + confirm + "OK\n");
}

TEST(CommandLineDialog, marksTheRadioButtonsCheckedWhenShown) {
  DialogModel m = pictureDialog(4);  // 12 slots: numbers take two places
  m.setChecked(206 + 2 * 10, true);
  Shown run = present(m, "\n");
  EXPECT_NE(run.transcript.find("\n  ( )  1. FM1  [无图]"), std::string::npos) << run.transcript;
  EXPECT_NE(run.transcript.find("\n  (*) 11. FM11  [无图]"), std::string::npos) << run.transcript;
}

}  // namespace
