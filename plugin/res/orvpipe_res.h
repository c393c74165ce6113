// The module's resources: the templates of the two picture dialogs, their placeholder bitmaps and the string table.
//
// The host builds dialogs from these tables (orvres.h) the way a Windows host
// builds them from a compiled resource script. Everything here is constant
// data computed at compile time; the module exports the table with
// IMPLEMENT_ARX_RESOURCES(kOrvpipeResources).
#pragma once

#include <array>
#include <cstddef>
#include <iterator>

#include "orvres.h"

// ---- Resource ids

#define IDS_PROJNAME 101
// The valve selection dialog.
#define IDD_FMXZ 202
// The custom-part selection dialog.
#define IDD_ZDY 205

namespace orvpipe_res {

// The two picture dialogs show 24 library parts in 4 rows of 6 slots.
inline constexpr int kSlotCount = 24;
inline constexpr int kSlotsPerRow = 6;

// Slot k (1 to 24): its picture control, its radio button and the white
// bitmap that fills its frame until a preview replaces it.
constexpr int pictureId(int slot) { return 203 + 2 * slot; }
constexpr int radioId(int slot) { return 204 + 2 * slot; }
constexpr int placeholderBitmapId(int slot) { return 202 + slot; }

// ---- Short texts built at compile time ("FM1", "#203", ...)

using ShortText = std::array<wchar_t, 8>;

constexpr ShortText shortText(const wchar_t* prefix, int number) {
  ShortText text{};
  std::size_t n = 0;
  while (*prefix != L'\0') text[n++] = *prefix++;
  wchar_t digits[4] = {};
  int count = 0;
  do {
    digits[count++] = static_cast<wchar_t>(L'0' + number % 10);
    number /= 10;
  } while (number != 0);
  while (count > 0) text[n++] = digits[--count];
  return text;
}

constexpr std::array<ShortText, kSlotCount> slotTexts(const wchar_t* prefix, int firstNumber) {
  std::array<ShortText, kSlotCount> texts{};
  for (int i = 0; i < kSlotCount; ++i) texts[static_cast<std::size_t>(i)] = shortText(prefix, firstNumber + i);
  return texts;
}

// The radio captions the dialogs start with, "FM1" to "FM24" in both dialogs.
inline constexpr auto kRadioCaptions = slotTexts(L"FM", 1);
// A static control of bitmap style names its bitmap as "#id": "#203" to "#226".
inline constexpr auto kPlaceholderNames = slotTexts(L"#", placeholderBitmapId(1));

// ---- The dialog template shared by both picture dialogs

// Positions and sizes in dialog units, by column (1 to 6) and row (1 to 4).
inline constexpr short kPictureX[kSlotsPerRow] = {7, 81, 157, 231, 307, 381};
inline constexpr short kPictureY[4] = {6, 57, 109, 160};
inline constexpr short kPictureWidth = 32;
inline constexpr short kPictureHeight = 30;
inline constexpr short kRadioX[kSlotsPerRow] = {7, 79, 157, 229, 307, 379};
inline constexpr short kRadioY[4] = {41, 92, 144, 195};
inline constexpr short kRadioHeight = 10;

constexpr short pictureY(int row, int column) {
  // The first row's frames of columns 3 to 6 sit one unit lower.
  return row == 1 && column >= 3 ? 7 : kPictureY[row - 1];
}

constexpr short radioWidth(int row, int column) {
  switch (column) {
    case 1: return 71;
    case 2: return 77;
    case 3: return 71;
    case 4: return row == 1 ? 77 : 78;
    case 5: return row == 3 ? 72 : (row == 1 ? 70 : 71);
    default: return 90;
  }
}

inline constexpr int kPartDialogItemCount = 2 + 2 * kSlotCount;

// OK, Cancel, the 24 pictures, then the 24 radios: the radios follow one
// another, the first one starting the group, so that they form one exclusive
// group.
constexpr std::array<ORV_DIALOG_ITEM, kPartDialogItemCount> partDialogItems() {
  constexpr DWORD child = WS_CHILD | WS_VISIBLE;
  std::array<ORV_DIALOG_ITEM, kPartDialogItemCount> items{};
  items[0] = {IDOK, L"BUTTON", L"确定", child | WS_TABSTOP | BS_DEFPUSHBUTTON, 253, 227, 50, 14};
  items[1] = {IDCANCEL, L"BUTTON", L"取消", child | WS_TABSTOP | BS_PUSHBUTTON, 318, 227, 50, 14};
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const int row = (slot + kSlotsPerRow - 1) / kSlotsPerRow;
    const int column = slot - kSlotsPerRow * (row - 1);
    const auto index = static_cast<std::size_t>(slot - 1);
    items[2 + index] = {pictureId(slot), L"STATIC", kPlaceholderNames[index].data(), child | SS_BITMAP,
                        kPictureX[column - 1], pictureY(row, column), kPictureWidth, kPictureHeight};
    DWORD radioStyle = child | WS_TABSTOP | BS_AUTORADIOBUTTON;
    if (slot == 1) radioStyle |= WS_GROUP;
    items[2 + kSlotCount + index] = {radioId(slot), L"BUTTON", kRadioCaptions[index].data(), radioStyle,
                                     kRadioX[column - 1], kRadioY[row - 1], radioWidth(row, column),
                                     kRadioHeight};
  }
  return items;
}

inline constexpr auto kPartDialogItems = partDialogItems();

inline constexpr DWORD kPartDialogStyle = DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;

inline constexpr ORV_DIALOG_TEMPLATE kDialogs[] = {
    {IDD_FMXZ, L"阀门选择", L"Microsoft Sans Serif", 8, kPartDialogStyle, 476, 249, kPartDialogItems.data(),
     kPartDialogItemCount},
    {IDD_ZDY, L"自定义零部件选择", L"Microsoft Sans Serif", 8, kPartDialogStyle, 476, 249,
     kPartDialogItems.data(), kPartDialogItemCount},
};

// ---- The placeholder bitmap: plain white, 48 x 48

// One bit per pixel: a 40-byte header, a colour table of black and white,
// then 48 rows of 48 set bits, each row padded to 8 bytes.
inline constexpr int kPlaceholderSize = 48;
inline constexpr std::size_t kPlaceholderRowBytes = 8;
inline constexpr std::size_t kPlaceholderBytes = 40 + 2 * 4 + kPlaceholderSize * kPlaceholderRowBytes;

constexpr std::array<BYTE, kPlaceholderBytes> whitePlaceholder() {
  std::array<BYTE, kPlaceholderBytes> dib{};
  std::size_t at = 0;
  auto put = [&](unsigned long value, int bytes) {
    for (int i = 0; i < bytes; ++i) dib[at++] = static_cast<BYTE>((value >> (8 * i)) & 0xFFu);
  };
  put(40, 4);                                                  // biSize
  put(kPlaceholderSize, 4);                                    // biWidth
  put(kPlaceholderSize, 4);                                    // biHeight, rows bottom-up
  put(1, 2);                                                   // biPlanes
  put(1, 2);                                                   // biBitCount
  put(BI_RGB, 4);                                              // biCompression
  put(kPlaceholderSize * kPlaceholderRowBytes, 4);             // biSizeImage
  put(0, 4);                                                   // biXPelsPerMeter
  put(0, 4);                                                   // biYPelsPerMeter
  put(2, 4);                                                   // biClrUsed
  put(0, 4);                                                   // biClrImportant
  put(0x00000000ul, 4);                                        // colour 0: black
  put(0x00FFFFFFul, 4);                                        // colour 1: white
  for (int row = 0; row < kPlaceholderSize; ++row) {
    for (std::size_t i = 0; i < kPlaceholderRowBytes; ++i) dib[at++] = i < 6 ? 0xFF : 0x00;
  }
  return dib;
}

inline constexpr auto kWhitePlaceholder = whitePlaceholder();

constexpr std::array<ORV_BITMAP_RESOURCE, kSlotCount> placeholderBitmaps() {
  std::array<ORV_BITMAP_RESOURCE, kSlotCount> bitmaps{};
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    bitmaps[static_cast<std::size_t>(slot - 1)] = {placeholderBitmapId(slot), kWhitePlaceholder.data(),
                                                   kWhitePlaceholder.size()};
  }
  return bitmaps;
}

inline constexpr auto kBitmaps = placeholderBitmaps();

// ---- The string table

inline constexpr ORV_STRING_RESOURCE kStrings[] = {
    {IDS_PROJNAME, L"orvpipe07"},
};

}  // namespace orvpipe_res

// Everything the module hands to the host.
inline constexpr ORV_RESOURCE_TABLE kOrvpipeResources = {
    orvpipe_res::kDialogs,
    static_cast<int>(std::size(orvpipe_res::kDialogs)),
    orvpipe_res::kBitmaps.data(),
    static_cast<int>(orvpipe_res::kBitmaps.size()),
    orvpipe_res::kStrings,
    static_cast<int>(std::size(orvpipe_res::kStrings)),
};
