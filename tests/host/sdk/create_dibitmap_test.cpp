// Bitmaps from block preview icons as a module makes them: the icon from the
// record, header and colour table in a buffer of the module's own, the rows
// from the icon; every depth works and damaged icons give no bitmap.
#include <gtest/gtest.h>

#include <cstring>

#include "../dialogs/dib_bytes.h"
#include "bitmap_handles.h"
#include "side_db_fixture.h"
#include "winapi.h"

namespace {

using orv::test::dib;
using orv::test::DibHeader;
using orv::test::fill;

// Stores the bytes as the icon of a block, then makes a bitmap from them the
// way the library dialogs do. Null when the host refuses the icon.
HBITMAP bitmapFromIcon(const std::vector<std::uint8_t>& bytes) {
  AcDbDatabase drawing(true);
  orv::db::Database& d = orv::sdk::databaseOf(&drawing);
  const orv::db::BlockId b = orv::test::mustAddBlock(d, "PART");
  d.editBlock(b).preview = bytes;

  AcDbBlockTableRecord record;
  record.orvAttach(orv::sdk::blockRecordId(&drawing, b), AcDb::kForRead);
  PreviewIcon icon;
  if (record.getPreviewIcon(icon) != Acad::eOk) return nullptr;
  // The module's reading of the header: its own copy of header and table.
  if (icon.length() < 40) return nullptr;
  BITMAPINFOHEADER header;
  std::memcpy(&header, icon.asArrayPtr(), sizeof header);
  const std::size_t tableEntries = header.biBitCount <= 8 ? std::size_t{1} << header.biBitCount : 0;
  const std::size_t infoBytes = 40 + 4 * tableEntries;
  if (static_cast<std::size_t>(icon.length()) < infoBytes) return nullptr;
  std::vector<std::uint8_t> info(icon.asArrayPtr(), icon.asArrayPtr() + infoBytes);
  return CreateDIBitmap(nullptr, &header, CBM_INIT, icon.asArrayPtr() + infoBytes,
                        reinterpret_cast<const BITMAPINFO*>(info.data()), DIB_RGB_COLORS);
}

std::vector<std::uint8_t> icon(DibHeader h, std::size_t tableEntries, std::size_t rowBytes) {
  auto bytes = dib(h);
  fill(bytes, 4 * tableEntries, 0x80);
  return fill(bytes, rowBytes, 0xFF);
}

TEST(CreateDIBitmap, makesBitmapsFromIconsOfEveryDepth) {
  struct Case {
    std::uint16_t bits;
    std::size_t table, rowBytes;
  };
  // 32 x 32: rows of 4, 16, 32, 96 and 128 bytes.
  for (Case c : {Case{1, 2, 4}, Case{4, 16, 16}, Case{8, 256, 32}, Case{24, 0, 96}, Case{32, 0, 128}}) {
    const std::size_t before = orv::sdk::liveBitmapCount();
    HBITMAP h = bitmapFromIcon(icon({.width = 32, .height = 32, .bitCount = c.bits}, c.table, 32 * c.rowBytes));
    ASSERT_NE(h, nullptr) << c.bits << " bits";
    auto bitmap = orv::sdk::findBitmap(h);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->width, 32);
    EXPECT_EQ(bitmap->height, 32);
    // Row bytes of 0xFF: the last colour of the table, or white.
    EXPECT_EQ(bitmap->at(31, 31), c.bits <= 8 ? 0x808080u : 0xFFFFFFu) << c.bits << " bits";
    EXPECT_EQ(orv::sdk::liveBitmapCount(), before + 1);
    EXPECT_EQ(DeleteObject(h), TRUE);
    EXPECT_EQ(DeleteObject(h), FALSE) << "a handle is freed once";
    EXPECT_EQ(orv::sdk::liveBitmapCount(), before);
  }
}

TEST(CreateDIBitmap, refusesDamagedIconsWithoutReadingPastThem) {
  struct Case {
    const char* what;
    std::vector<std::uint8_t> bytes;
  };
  const Case cases[] = {
      // The header claims 48 x 48 rows, the icon ends long before them.
      {"short data", icon({.width = 48, .height = 48, .bitCount = 24}, 0, 100)},
      {"rows one byte short", icon({.width = 48, .height = 48, .bitCount = 24}, 0, 48 * 144 - 1)},
      {"an 8-bit icon without its rows", icon({.width = 16, .height = 16, .bitCount = 8}, 256, 0)},
      {"wrong header size", icon({.width = 4, .height = 4, .bitCount = 24, .size = 108}, 0, 64)},
      {"absurd dimensions", icon({.width = 100000, .height = 100000, .bitCount = 1}, 2, 64)},
      {"absurd height alone", icon({.width = 1, .height = 1 << 24, .bitCount = 1}, 2, 64)},
      {"zero width", icon({.width = 0, .height = 4, .bitCount = 24}, 0, 64)},
      {"zero height", icon({.width = 4, .height = 0, .bitCount = 24}, 0, 64)},
      {"negative width", icon({.width = -4, .height = 4, .bitCount = 24}, 0, 64)},
      {"too many colours", icon({.width = 4, .height = 4, .bitCount = 4, .colorsUsed = 17}, 17, 64)},
      {"15 bits per pixel", icon({.width = 4, .height = 4, .bitCount = 15}, 0, 64)},
      {"compressed", icon({.width = 4, .height = 4, .bitCount = 8, .compression = 1}, 256, 64)},
  };
  for (const Case& c : cases) EXPECT_EQ(bitmapFromIcon(c.bytes), nullptr) << c.what;
}

TEST(CreateDIBitmap, refusesCallsThatDoNotFitTogether) {
  auto bytes = icon({.width = 2, .height = 2, .bitCount = 24}, 0, 16);
  const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(bytes.data());
  const auto* info = reinterpret_cast<const BITMAPINFO*>(bytes.data());
  const std::uint8_t* rows = bytes.data() + 40;
  HBITMAP ok = CreateDIBitmap(nullptr, header, CBM_INIT, rows, info, DIB_RGB_COLORS);
  EXPECT_NE(ok, nullptr);
  DeleteObject(ok);
  EXPECT_EQ(CreateDIBitmap(nullptr, header, 0, rows, info, DIB_RGB_COLORS), nullptr) << "uninitialised";
  EXPECT_EQ(CreateDIBitmap(nullptr, header, CBM_INIT, nullptr, info, DIB_RGB_COLORS), nullptr);
  EXPECT_EQ(CreateDIBitmap(nullptr, nullptr, CBM_INIT, rows, info, DIB_RGB_COLORS), nullptr);
  EXPECT_EQ(CreateDIBitmap(nullptr, header, CBM_INIT, rows, info, 1), nullptr) << "palette indexes";
  auto other = bytes;
  other[4] = 3;  // a header that says another width than the one in `info`
  EXPECT_EQ(CreateDIBitmap(nullptr, reinterpret_cast<const BITMAPINFOHEADER*>(other.data()), CBM_INIT, rows, info,
                           DIB_RGB_COLORS),
            nullptr);
  EXPECT_EQ(DeleteObject(nullptr), FALSE);
}

}  // namespace
