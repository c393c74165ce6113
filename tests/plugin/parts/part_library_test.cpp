// The library scan behind the picture dialogs, the chosen part's settings and the preview icons' checks.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "command_fixture.h"
#include "library_drawings.h"
#include "parts/part_library.h"
#include "parts/preview_bitmap.h"

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using namespace parts_test;

namespace {

class LibraryScan : public CommandFixture {
 protected:
  void SetUp() override {
    CommandFixture::SetUp();
    folder_ = fs::path(iniPath()).parent_path() / "resource" / "FM";
    fs::create_directories(folder_);
    replies("");
  }
  std::vector<LibraryPart> scan(const PartLibrary& library = kValveLibrary) {
    return scanPartLibrary(library, folder_.wstring(), nullptr, 24);
  }
  static std::vector<std::wstring> names(const std::vector<LibraryPart>& parts) {
    std::vector<std::wstring> out;
    for (const LibraryPart& p : parts) out.push_back(p.blockName);
    return out;
  }
  fs::path folder_;
};

}  // namespace

TEST_F(LibraryScan, partsComeInNameOrderWithTheirFilesAndPreviews) {
  writeValve(folder_, "Globe");
  writeValve(folder_, "Ball", dibIcon(32, 30, 8));
  writeValve(folder_, "Check", dibIcon(48, 48, 24));
  writeValve(folder_, "闸阀", dibIcon(16, -16, 1));
  // A drawing whose block is never placed is not offered, and not reported.
  writeLibraryDrawing(folder_ / "Diaphragm.dxf", {"Diaphragm", 0, {}});

  const std::vector<LibraryPart> parts = scan();
  EXPECT_THAT(names(parts), ElementsAre(L"Ball", L"Check", L"Globe", L"闸阀"));
  EXPECT_EQ(parts[0].drawingFile, (folder_ / "Ball.dxf").wstring());
  EXPECT_EQ(parts[3].drawingFile, folder_.wstring() + L"/闸阀.dxf");
  EXPECT_NE(parts[0].preview, nullptr);
  EXPECT_NE(parts[1].preview, nullptr);
  EXPECT_EQ(parts[2].preview, nullptr);  // Globe has no icon
  EXPECT_NE(parts[3].preview, nullptr);
  EXPECT_EQ(transcript(), "");
}

TEST_F(LibraryScan, anEntryThatCannotBeReadIsLeftOutAndNamedAndTheRestAreOffered) {
  // Each broken entry between two good parts: what the user is told of it, then the
  // line naming the entry; both good parts are offered whatever broke between them.
  struct Case {
    const char* what;
    const char* entry;
    std::string bytes;  // empty: a library drawing of block "NotB"
    const char* told;
  };
  const Case cases[] = {
      {"no block of its name", "B.dxf", "", "** 获得指定的块表记录失败!\n"},
      {"a name too short for a block name", "B", "", "** 获得指定的块表记录失败!\n"},
      {"garbage", "B.dxf", "\x01\x02 not a drawing \xFF\xFE", "\n加载图形错误."},
      {"an empty file", "B.dxf", std::string(), "\n加载图形错误."},
      {"cut short", "B.dxf", "  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n 10\n", "\n加载图形错误."},
  };
  writeValve(folder_, "A");
  writeValve(folder_, "C");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const fs::path broken = folder_ / c.entry;
    if (std::string(c.what) == "an empty file") {
      std::ofstream(broken, std::ios::binary).flush();
    } else if (c.bytes.empty()) {
      writeLibraryDrawing(broken, {"NotB", 1, {}});
    } else {
      std::ofstream(broken, std::ios::binary) << c.bytes;
    }
    replies("");
    EXPECT_THAT(names(scan()), ElementsAre(L"A", L"C"));
    // What the user is told, then the entry named, and nothing else.
    const std::string named = "\n部件图形“" + std::string(c.entry) + "”无法读取，已略过.";
    std::string said = transcript();
    if (said.starts_with("\n**")) said.erase(0, 1);  // a line left open before is ended first
    EXPECT_EQ(said, std::string(c.told) + named);
    fs::remove(broken);
  }
  // Several broken entries, one after another, leave out only themselves.
  for (const char* bad : {"B1.dxf", "B2.dxf", "B3.dxf"}) std::ofstream(folder_ / bad) << "junk\n";
  writeValve(folder_, "D");
  replies("");
  EXPECT_THAT(names(scan()), ElementsAre(L"A", L"C", L"D"));
}

TEST_F(LibraryScan, anEmptyFolderGivesNoPartsAndNoMessage) {
  EXPECT_THAT(scan(), IsEmpty());
  EXPECT_EQ(transcript(), "");
}

TEST_F(LibraryScan, malformedIconsGiveNoPreviewAndTheScanGoesOn) {
  std::vector<std::uint8_t> shortData = dibIcon(32, 32, 8);
  shortData.resize(shortData.size() - 1);
  std::vector<std::uint8_t> absurd = dibIcon(4, 4, 24);
  absurd[4] = absurd[5] = absurd[6] = 0xFF, absurd[7] = 0x7F;     // width 2^31 - 1
  absurd[8] = absurd[9] = absurd[10] = 0xFF, absurd[11] = 0x7F;   // height 2^31 - 1
  writeValve(folder_, "A", shortData);
  writeValve(folder_, "B", absurd);
  writeValve(folder_, "C", {1, 2, 3});
  writeValve(folder_, "D", dibIcon(8, 8, 4));
  // A deep bitmap with a colour table it does not need: stepped over.
  std::vector<std::uint8_t> deepWithTable = dibIcon(8, 8, 24);
  deepWithTable[32] = 4;
  deepWithTable.insert(deepWithTable.begin() + 40, 16, 0x40);
  writeValve(folder_, "E", deepWithTable);
  const std::vector<LibraryPart> parts = scan();
  ASSERT_THAT(names(parts), ElementsAre(L"A", L"B", L"C", L"D", L"E"));
  EXPECT_EQ(parts[0].preview, nullptr);
  EXPECT_EQ(parts[1].preview, nullptr);
  EXPECT_EQ(parts[2].preview, nullptr);
  EXPECT_NE(parts[3].preview, nullptr);
  EXPECT_NE(parts[4].preview, nullptr);
}

TEST_F(LibraryScan, theChosenPartIsReadWhateverItsLength) {
  const std::string longPath = "/" + std::string(400, 'p') + "/闸阀.dxf";
  writeIni("[FM]\nFMNAME=闸阀\nFMFILENAME=" + longPath + "\n[ZDY]\nZDYNAME=" + std::string(127, 'n') + "\n");
  ChosenPart valve = readChosenPart(kValveLibrary, iniPath());
  EXPECT_EQ(valve.blockName, L"闸阀");
  EXPECT_EQ(valve.drawingFile, L"/" + std::wstring(400, L'p') + L"/闸阀.dxf");
  ChosenPart part = readChosenPart(kCustomPartLibrary, iniPath());
  EXPECT_EQ(part.blockName, std::wstring(127, L'n'));
  EXPECT_EQ(part.drawingFile, L"");
}

TEST(LibraryEntries, theBlockNameIsTheEntryNameWithoutItsLastFourCharacters) {
  EXPECT_EQ(blockNameOfEntry(L"Gate.dxf"), L"Gate");
  EXPECT_EQ(blockNameOfEntry(L"闸阀.DXF"), L"闸阀");
  EXPECT_EQ(blockNameOfEntry(L"two.dots.dwg"), L"two.dots");
  EXPECT_EQ(blockNameOfEntry(L".dxf"), L"");
  EXPECT_EQ(blockNameOfEntry(L"abc"), L"");
}

// ---- Preview icons

namespace {

std::optional<IconLayout> layoutOf(const std::vector<std::uint8_t>& icon) {
  return iconLayout(icon.data(), icon.size());
}

void setU32(std::vector<std::uint8_t>& icon, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) icon[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

}  // namespace

TEST(PreviewIcons, soundIconsOfEveryDepthAreLaidOutByTheirHeader) {
  struct Case { int width, height, bits; std::size_t colours, rowBytes; };
  const Case cases[] = {{48, 48, 1, 2, 8}, {33, 10, 4, 16, 20}, {5, -7, 8, 256, 8}, {5, 3, 24, 0, 16}, {3, 3, 32, 0, 12}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bits);
    const auto layout = layoutOf(dibIcon(c.width, c.height, c.bits));
    ASSERT_TRUE(layout.has_value());
    EXPECT_EQ(layout->colourEntries, c.colours);
    EXPECT_EQ(layout->bitsOffset, 40 + 4 * c.colours);
    EXPECT_EQ(layout->bitsSize, c.rowBytes * static_cast<std::size_t>(std::abs(c.height)));
  }
  // A shorter colour table, as biClrUsed says.
  std::vector<std::uint8_t> icon = dibIcon(4, 4, 8);
  setU32(icon, 32, 16);
  icon.erase(icon.begin() + 40 + 16 * 4, icon.begin() + 40 + 256 * 4);
  const auto layout = layoutOf(icon);
  ASSERT_TRUE(layout.has_value());
  EXPECT_EQ(layout->colourEntries, 16u);
  EXPECT_EQ(layout->colourTableSize, 256u);
  EXPECT_EQ(layout->bitsOffset, 40u + 64u);
}

TEST(PreviewIcons, iconsThatDoNotHoldWhatTheirHeaderPromisesAreRefused) {
  const std::vector<std::uint8_t> good = dibIcon(10, 10, 8);
  ASSERT_TRUE(layoutOf(good).has_value());
  auto with = [&](std::size_t at, std::uint32_t v, int bytes = 4) {
    std::vector<std::uint8_t> icon = good;
    for (int i = 0; i < bytes; ++i) icon[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
    return icon;
  };
  std::vector<std::uint8_t> oneShort(good.begin(), good.end() - 1);
  std::vector<std::uint8_t> headerOnly(good.begin(), good.begin() + 40);
  std::vector<std::uint8_t> lessThanAHeader(good.begin(), good.begin() + 39);
  const std::vector<std::uint8_t> bad[] = {
      oneShort, headerOnly, lessThanAHeader, {},
      with(0, 12),           // another header size
      with(0, 124),          // a larger header this icon form does not have
      with(12, 2, 2),        // two planes
      with(14, 16, 2),       // 16 bits per pixel
      with(14, 0, 2),        // no bits at all
      with(16, 1),           // run-length compressed
      with(4, 0),            // no width
      with(4, 0xFFFFFFF6u),  // a negative width
      with(8, 0),            // no height
      with(8, 0x80000000u),  // the most negative height
      with(4, 0x7FFFFFFFu),  // a width far beyond the data
      with(8, 0x7FFFFFFFu),  // a height far beyond the data
      with(32, 257),         // more colours than 8 bits can use
  };
  for (std::size_t i = 0; i < std::size(bad); ++i) {
    SCOPED_TRACE(i);
    EXPECT_FALSE(layoutOf(bad[i]).has_value());
    EXPECT_EQ(bitmapFromIcon(bad[i].data(), bad[i].size(), nullptr), nullptr);
  }
  EXPECT_FALSE(iconLayout(nullptr, 100).has_value());
  // A colour table for a deep bitmap, announced but missing.
  std::vector<std::uint8_t> deep = dibIcon(2, 2, 24);
  setU32(deep, 32, 1000);
  EXPECT_FALSE(layoutOf(deep).has_value());
}
