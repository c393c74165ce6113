// The module's resources: the picture dialogs' templates as laid out for the user, the placeholder bitmaps, and the dialogs over them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "parts/part_dialogs.h"
#include "parts/preview_bitmap.h"
#include "res/orvpipe_res.h"

namespace {

const ORV_DIALOG_TEMPLATE* dialog(int id) {
  for (int i = 0; i < kOrvpipeResources.dialogCount; ++i) {
    if (kOrvpipeResources.dialogs[i].id == id) return &kOrvpipeResources.dialogs[i];
  }
  return nullptr;
}

const ORV_DIALOG_ITEM* item(const ORV_DIALOG_TEMPLATE& d, int id) {
  for (int i = 0; i < d.itemCount; ++i) {
    if (d.items[i].id == id) return &d.items[i];
  }
  return nullptr;
}

struct Box {
  int x, y, cx, cy;
  bool operator==(const Box&) const = default;
};
Box box(const ORV_DIALOG_ITEM& i) { return {i.x, i.y, i.cx, i.cy}; }

}  // namespace

TEST(Resources, bothPictureDialogsHaveTheirCaptionFrameAndButtons) {
  const ORV_DIALOG_TEMPLATE* valve = dialog(202);
  const ORV_DIALOG_TEMPLATE* part = dialog(205);
  ASSERT_NE(valve, nullptr);
  ASSERT_NE(part, nullptr);
  EXPECT_EQ(std::wstring(valve->caption), L"阀门选择");
  EXPECT_EQ(std::wstring(part->caption), L"自定义零部件选择");
  for (const ORV_DIALOG_TEMPLATE* d : {valve, part}) {
    EXPECT_EQ(std::wstring(d->fontName), L"Microsoft Sans Serif");
    EXPECT_EQ(d->fontSize, 8);
    EXPECT_EQ(d->cx, 476);
    EXPECT_EQ(d->cy, 249);
    EXPECT_EQ(d->style & (DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU),
              DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU);
    ASSERT_EQ(d->itemCount, 50);
    const ORV_DIALOG_ITEM* ok = item(*d, 1);
    const ORV_DIALOG_ITEM* cancel = item(*d, 2);
    ASSERT_TRUE(ok && cancel);
    EXPECT_EQ(std::wstring(ok->text), L"确定");
    EXPECT_EQ(std::wstring(cancel->text), L"取消");
    EXPECT_EQ(box(*ok), (Box{253, 227, 50, 14}));
    EXPECT_EQ(box(*cancel), (Box{318, 227, 50, 14}));
    EXPECT_TRUE(ok->style & BS_DEFPUSHBUTTON);
    for (int i = 0; i < d->itemCount; ++i) {
      EXPECT_EQ(d->items[i].style & (WS_CHILD | WS_VISIBLE), WS_CHILD | WS_VISIBLE) << d->items[i].id;
    }
  }
}

TEST(Resources, theSlotsLieRowByRowSixToARow) {
  const ORV_DIALOG_TEMPLATE& d = *dialog(202);
  // Slot, its picture's box, its radio's box.
  struct Slot { int k; Box picture, radio; };
  const Slot slots[] = {
      {1, {7, 6, 32, 30}, {7, 41, 71, 10}},       {2, {81, 6, 32, 30}, {79, 41, 77, 10}},
      {3, {157, 7, 32, 30}, {157, 41, 71, 10}},   {4, {231, 7, 32, 30}, {229, 41, 77, 10}},
      {5, {307, 7, 32, 30}, {307, 41, 70, 10}},   {6, {381, 7, 32, 30}, {379, 41, 90, 10}},
      {7, {7, 57, 32, 30}, {7, 92, 71, 10}},      {10, {231, 57, 32, 30}, {229, 92, 78, 10}},
      {11, {307, 57, 32, 30}, {307, 92, 71, 10}}, {17, {307, 109, 32, 30}, {307, 144, 72, 10}},
      {22, {231, 160, 32, 30}, {229, 195, 78, 10}}, {23, {307, 160, 32, 30}, {307, 195, 71, 10}},
      {24, {381, 160, 32, 30}, {379, 195, 90, 10}},
  };
  for (const Slot& s : slots) {
    SCOPED_TRACE(s.k);
    const ORV_DIALOG_ITEM* picture = item(d, 203 + 2 * s.k);
    const ORV_DIALOG_ITEM* radio = item(d, 204 + 2 * s.k);
    ASSERT_TRUE(picture && radio);
    EXPECT_EQ(box(*picture), s.picture);
    EXPECT_EQ(box(*radio), s.radio);
    EXPECT_EQ(std::wstring(picture->windowClass), L"STATIC");
    EXPECT_EQ(picture->style & 0x1Fu, SS_BITMAP);
    EXPECT_EQ(std::wstring(picture->text), L"#" + std::to_wstring(202 + s.k));
    EXPECT_EQ(std::wstring(radio->text), L"FM" + std::to_wstring(s.k));
  }
}

TEST(Resources, theRadiosFormOneGroupThatStartsAtTheFirst) {
  for (int id : {202, 205}) {
    const ORV_DIALOG_TEMPLATE& d = *dialog(id);
    std::set<int> ids;
    int firstRadio = -1;
    for (int i = 0; i < d.itemCount; ++i) {
      const ORV_DIALOG_ITEM& it = d.items[i];
      EXPECT_TRUE(ids.insert(it.id).second) << "id " << it.id << " twice";
      if ((it.style & 0x0Fu) != BS_AUTORADIOBUTTON || std::wstring(it.windowClass) != L"BUTTON") continue;
      if (firstRadio < 0) firstRadio = i;
      // The 24 radios follow one another; only the first starts a group.
      EXPECT_EQ(i - firstRadio, (it.id - 206) / 2) << it.id;
      EXPECT_EQ((it.style & WS_GROUP) != 0, it.id == 206) << it.id;
    }
    EXPECT_GE(firstRadio, 0);
  }
}

TEST(Resources, thePlaceholdersAreWhite48By48Bitmaps) {
  ASSERT_EQ(kOrvpipeResources.bitmapCount, 24);
  for (int i = 0; i < kOrvpipeResources.bitmapCount; ++i) {
    const ORV_BITMAP_RESOURCE& b = kOrvpipeResources.bitmaps[i];
    EXPECT_EQ(b.id, 203 + i);
    const auto layout = iconLayout(b.dib, b.size);
    ASSERT_TRUE(layout.has_value()) << b.id;
    BITMAPINFOHEADER header;
    std::memcpy(&header, b.dib, sizeof header);
    EXPECT_EQ(header.biWidth, 48);
    EXPECT_EQ(header.biHeight, 48);
    // Every pixel of every row is set, and colour 1 is white.
    const BYTE* table = b.dib + 40;
    EXPECT_EQ(table[4] & table[5] & table[6], 0xFF);
    const std::size_t rowBytes = layout->bitsSize / 48;
    for (std::size_t row = 0; row < 48; ++row) {
      for (std::size_t k = 0; k < 6; ++k) EXPECT_EQ(b.dib[layout->bitsOffset + row * rowBytes + k], 0xFF);
    }
  }
}

TEST(Resources, bothPictureDialogsUseTheirTemplateAndKeepTheFocus) {
  CFMXZDlg valves;
  CZDYDialog parts;
  EXPECT_EQ(valves.templateId(), 202u);
  EXPECT_EQ(parts.templateId(), 205u);
  EXPECT_EQ(valves.orvSendMessage(WM_ACAD_KEEPFOCUS, 0, 0), TRUE);
  EXPECT_EQ(parts.orvSendMessage(WM_ACAD_KEEPFOCUS, 0, 0), TRUE);
}
