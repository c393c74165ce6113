// The dialog model: kinds of controls, radio groups and exclusive checks.
#include "orv/dialogs/dialog_model.h"

#include <gtest/gtest.h>

namespace {

using namespace orv::dialogs;

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

Control button(int id, std::uint32_t type, std::uint32_t extra = 0) {
  Control c;
  c.id = id;
  c.windowClass = "BUTTON";
  c.text = "B" + std::to_string(id);
  c.style = kShown | type | extra;
  return c;
}

TEST(DialogModel, tellsControlKindsFromClassAndStyle) {
  DialogModel m;
  m.add(button(1, style::kDefPushButton));
  m.add(button(2, style::kAutoRadioButton));
  m.add(button(3, style::kAutoCheckBox));
  m.add(button(4, style::kGroupBox));
  m.add(make(5, "static", "", kShown | style::kStaticBitmap));
  m.add(make(6, "Static", "标签", kShown));
  m.add(make(7, "EDIT", "", 0x08000000u));
  EXPECT_EQ(m.find(1)->kind(), ControlKind::pushButton);
  EXPECT_EQ(m.find(2)->kind(), ControlKind::radioButton);
  EXPECT_TRUE(m.find(2)->isAutoRadio());
  EXPECT_EQ(m.find(3)->kind(), ControlKind::checkBox);
  EXPECT_EQ(m.find(4)->kind(), ControlKind::groupBox);
  EXPECT_EQ(m.find(5)->kind(), ControlKind::picture);
  EXPECT_EQ(m.find(6)->kind(), ControlKind::text);
  EXPECT_EQ(m.find(7)->kind(), ControlKind::other);
  // Visible and enabled come from the style.
  EXPECT_TRUE(m.find(6)->visible);
  EXPECT_FALSE(m.find(7)->visible);
  EXPECT_FALSE(m.find(7)->enabled);
  EXPECT_EQ(m.find(99), nullptr);
}

TEST(DialogModel, anAutomaticRadioButtonChecksExclusivelyWithinItsGroup) {
  DialogModel m;
  // Group 1: 10, 11, 12 (the first control starts a group without WS_GROUP);
  // group 2: 20 (WS_GROUP), 21, and a plain radio button 22.
  m.add(button(10, style::kAutoRadioButton));
  m.add(button(11, style::kAutoRadioButton));
  m.add(button(12, style::kAutoRadioButton));
  m.add(button(20, style::kAutoRadioButton, style::kGroup));
  m.add(button(21, style::kAutoRadioButton));
  m.add(button(22, style::kRadioButton));

  EXPECT_TRUE(m.setChecked(11, true));
  EXPECT_TRUE(m.setChecked(20, true));
  EXPECT_TRUE(m.setChecked(22, true));
  EXPECT_TRUE(m.setChecked(12, true));  // the last choice in group 1 counts
  EXPECT_FALSE(m.find(10)->checked);
  EXPECT_FALSE(m.find(11)->checked);
  EXPECT_TRUE(m.find(12)->checked);
  EXPECT_TRUE(m.find(20)->checked) << "another group is not touched";
  EXPECT_TRUE(m.find(22)->checked);

  // Checking an automatic radio leaves a plain radio of its group alone (the
  // dialog's own code manages those), and unchecking touches nothing else.
  EXPECT_TRUE(m.setChecked(21, true));
  EXPECT_FALSE(m.find(20)->checked);
  EXPECT_TRUE(m.find(22)->checked);
  EXPECT_TRUE(m.setChecked(21, false));
  EXPECT_FALSE(m.find(21)->checked);
  EXPECT_TRUE(m.find(12)->checked);
  EXPECT_FALSE(m.setChecked(99, true));
}

TEST(DialogModel, aGroupRunsFromItsFirstControlToTheNextThatStartsOne) {
  DialogModel m;
  m.add(button(1, style::kAutoRadioButton));
  m.add(button(2, style::kAutoRadioButton));
  m.add(button(3, style::kPushButton, style::kGroup));
  m.add(button(4, style::kAutoRadioButton, style::kGroup));
  m.add(button(5, style::kAutoRadioButton));
  EXPECT_EQ(m.groupOf(0), (std::pair<std::size_t, std::size_t>{0, 2}));
  EXPECT_EQ(m.groupOf(1), (std::pair<std::size_t, std::size_t>{0, 2}));
  EXPECT_EQ(m.groupOf(2), (std::pair<std::size_t, std::size_t>{2, 3}));
  EXPECT_EQ(m.groupOf(4), (std::pair<std::size_t, std::size_t>{3, 5}));
}

TEST(DialogModel, shortcutMarksAreDroppedFromShownTexts) {
  EXPECT_EQ(displayText("&OK"), "OK");
  EXPECT_EQ(displayText("取消(&C)"), "取消(C)");
  EXPECT_EQ(displayText("A && B&"), "A & B");
  EXPECT_EQ(displayText("FM12"), "FM12");
}

}  // namespace
