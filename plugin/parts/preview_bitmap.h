// Block previews for the picture dialogs: a block record's icon checked and made into a bitmap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

#include "dbmain.h"
#include "winapi.h"

// Where the parts of an icon lie. An icon is a device-independent bitmap
// without file header: a 40-byte information header, a colour table for 1, 4
// and 8 bits per pixel, then the rows of pixels, each padded to 4 bytes.
struct IconLayout {
  std::size_t colourEntries = 0;     // colour-table entries the icon holds
  std::size_t colourTableSize = 0;   // entries a bitmap of its depth may use (2^n, or 0 above 8 bits)
  std::size_t bitsOffset = 0;        // where the pixel rows start
  std::size_t bitsSize = 0;          // bytes of the pixel rows
};

// The layout of an icon of `length` bytes, or nothing when the icon is not
// sound: shorter than its header, a header of another size, not one plane,
// a depth other than 1, 4, 8, 24 or 32 bits, compressed, a width or height of
// 0, a colour count beyond what its depth allows, or fewer bytes than its
// colour table and rows need. Never reads past `length`.
std::optional<IconLayout> iconLayout(const std::uint8_t* bytes, std::size_t length);

// Frees a bitmap of the host when its owner goes.
struct BitmapDeleter {
  void operator()(HBITMAP bitmap) const {
    if (bitmap != nullptr) DeleteObject(bitmap);
  }
};
using BitmapHandle = std::unique_ptr<HBITMAP__, BitmapDeleter>;

// A bitmap compatible with the device context, made from an icon's bytes;
// null when the icon is not sound or the host refuses it.
BitmapHandle bitmapFromIcon(const std::uint8_t* bytes, std::size_t length, HDC dc);

// The preview of a block table record as a bitmap; null when the record
// cannot be opened, has no preview icon, or its icon cannot be read or shown.
BitmapHandle previewBitmap(const AcDbObjectId& blockRecord, HDC dc);
