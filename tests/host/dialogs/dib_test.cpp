// Reading device-independent bitmaps of every depth, and refusing damaged ones.
#include "orv/dialogs/dib.h"

#include <gtest/gtest.h>

#include "dib_bytes.h"

namespace {

using orv::dialogs::Bitmap;
using orv::dialogs::decodeDib;
using orv::dialogs::decodePackedDib;
using orv::test::dib;
using orv::test::DibHeader;
using orv::test::fill;

Bitmap decoded(const std::vector<std::uint8_t>& bytes) {
  auto r = decodePackedDib(bytes);
  EXPECT_TRUE(r.bitmap) << r.error;
  return r.bitmap.value_or(Bitmap{});
}

std::vector<std::uint32_t> row(const Bitmap& b, int y) {
  return {b.pixels.begin() + y * b.width, b.pixels.begin() + (y + 1) * b.width};
}

TEST(Dib, readsOneBitRowsBottomUpThroughTheColourTable) {
  // 3 x 2; table: 0 = #112233, 1 = white; bottom row 1 0 1, top row 0 1 0.
  auto bytes = dib({.width = 3, .height = 2, .bitCount = 1},
                   {0x33, 0x22, 0x11, 0, 0xFF, 0xFF, 0xFF, 0,  //
                    0xA0, 0, 0, 0,                             // bottom row, padded to 4 bytes
                    0x40, 0, 0, 0});
  Bitmap b = decoded(bytes);
  ASSERT_EQ(b.width, 3);
  ASSERT_EQ(b.height, 2);
  EXPECT_EQ(row(b, 0), (std::vector<std::uint32_t>{0x112233, 0xFFFFFF, 0x112233}));
  EXPECT_EQ(row(b, 1), (std::vector<std::uint32_t>{0xFFFFFF, 0x112233, 0xFFFFFF}));
}

TEST(Dib, readsFourAndEightBitIndexesHighNibbleFirst) {
  // 4 bits, 3 x 1, indexes 2, 15, 7; entry i of the table is grey i * 0x10.
  auto four = dib({.width = 3, .height = 1, .bitCount = 4});
  for (int i = 0; i < 16; ++i) four.insert(four.end(), {std::uint8_t(i * 16), std::uint8_t(i * 16), std::uint8_t(i * 16), 0});
  four.insert(four.end(), {0x2F, 0x70, 0, 0});
  EXPECT_EQ(row(decoded(four), 0), (std::vector<std::uint32_t>{0x202020, 0xF0F0F0, 0x707070}));

  // 8 bits with a short table of 3 colours: an index past it shows black.
  auto eight = dib({.width = 2, .height = 1, .bitCount = 8, .colorsUsed = 3},
                   {0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0,  // red, green, blue
                    2, 200, 0, 0});
  EXPECT_EQ(row(decoded(eight), 0), (std::vector<std::uint32_t>{0x0000FF, 0x000000}));
}

TEST(Dib, readsTwentyFourAndThirtyTwoBitPixelsAsBlueGreenRed) {
  // 24 bits, 2 x 1: a row of 6 bytes padded to 8.
  auto deep = dib({.width = 2, .height = 1, .bitCount = 24}, {0x01, 0x02, 0x03, 0xAA, 0xBB, 0xCC, 0, 0});
  EXPECT_EQ(row(decoded(deep), 0), (std::vector<std::uint32_t>{0x030201, 0xCCBBAA}));

  // 32 bits, 1 x 2 with a negative height: rows top-down; the fourth byte is ignored.
  auto top = dib({.width = 1, .height = -2, .bitCount = 32}, {0x10, 0x20, 0x30, 0xFF, 0x40, 0x50, 0x60, 0x00});
  Bitmap b = decoded(top);
  ASSERT_EQ(b.height, 2);
  EXPECT_EQ(b.at(0, 0), 0x302010u);
  EXPECT_EQ(b.at(0, 1), 0x605040u);
}

TEST(Dib, aPaletteOfAFullColourBitmapIsSkipped) {
  auto bytes = dib({.width = 1, .height = 1, .bitCount = 24, .colorsUsed = 2}, {1, 1, 1, 0, 2, 2, 2, 0});
  bytes.insert(bytes.end(), {0x00, 0x80, 0xFF, 0});
  EXPECT_EQ(decoded(bytes).at(0, 0), 0xFF8000u);
}

// (CreateDIBitmap's tests go through more damage to the header.)
TEST(Dib, refusesDamageWithAReason) {
  struct Case {
    const char* what;
    std::vector<std::uint8_t> bytes;
  };
  auto shortRows = dib({.width = 48, .height = 48, .bitCount = 24});
  fill(shortRows, 48 * 144 - 1);
  auto shortTable = dib({.width = 1, .height = 1, .bitCount = 8});
  fill(shortTable, 255 * 4);  // one entry short, and no rows
  auto rows1x1 = [](DibHeader h) { auto b = dib(h); return fill(b, 1024 + 4); };
  const Case cases[] = {
      {"nothing", {}},
      {"a cut header", std::vector<std::uint8_t>(39, 0)},
      {"short rows", shortRows},
      {"a short colour table", shortTable},
      {"an old 12-byte core header", rows1x1({.width = 1, .height = 1, .size = 12})},
      {"a version 5 header", rows1x1({.width = 1, .height = 1, .size = 124})},
      {"run-length compression", rows1x1({.width = 1, .height = 1, .bitCount = 8, .compression = 1})},
      {"zero height", rows1x1({.width = 1, .height = 0})},
      {"the most negative height", rows1x1({.width = 1, .height = INT32_MIN})},
      {"an absurd area", rows1x1({.width = 4096, .height = 4096, .bitCount = 1})},
      {"more colours than 1 bit holds", rows1x1({.width = 1, .height = 1, .bitCount = 1, .colorsUsed = 3})},
      {"an image size below the rows", rows1x1({.width = 2, .height = 2, .imageSize = 15})},
  };
  for (const Case& c : cases) {
    auto r = decodePackedDib(c.bytes);
    EXPECT_FALSE(r.bitmap) << c.what;
    EXPECT_FALSE(r.error.empty()) << c.what;
  }
}

TEST(Dib, separatePartsAreEachCheckedAgainstTheirOwnLength) {
  auto info = dib({.width = 4, .height = 4, .bitCount = 8});
  fill(info, 1024);
  std::vector<std::uint8_t> rows(16, 1);
  EXPECT_TRUE(decodeDib(info, rows).bitmap);
  EXPECT_FALSE(decodeDib(info, std::span(rows).first(15)).bitmap);
  EXPECT_FALSE(decodeDib(std::span(info).first(info.size() - 1), rows).bitmap);
}

TEST(Dib, writesTwentyFourBitIconsThatReadBackTheSame) {
  Bitmap b(5, 3, 0xFFFFFF);
  b.at(0, 0) = 0xFF0000;
  b.at(4, 2) = 0x00FF00;
  b.at(2, 1) = 0x123456;
  auto bytes = orv::dialogs::encodeDib24(b);
  EXPECT_EQ(bytes.size(), 40u + 3 * 16);  // rows of 15 bytes padded to 16
  EXPECT_EQ(bytes[14], 24);
  EXPECT_EQ(decoded(bytes), b);
  EXPECT_FALSE(b.isBlank());
  EXPECT_TRUE(Bitmap(48, 48).isBlank());
}

}  // namespace
