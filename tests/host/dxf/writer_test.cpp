// The writer: tag order of entities, text in GBK with escapes, preview lines, and saving to files.
#include <gtest/gtest.h>

#include <filesystem>

#include "dxf_test_util.h"
#include "orv/dxf/reader.h"
#include "orv/dxf/writer.h"
#include "sample_drawing.h"

namespace orv::dxf {
namespace {

using Items = std::vector<CollectingSink::Item>;

// The tags from the first `0 type` after `from` up to the next 0 tag.
Items entityTags(const Items& all, const std::string& type, std::size_t from = 0) {
  Items out;
  for (std::size_t i = from; i < all.size(); ++i) {
    if (all[i].code != 0 || all[i].value != type) continue;
    out.push_back(all[i]);
    for (std::size_t k = i + 1; k < all.size() && all[k].code != 0; ++k) out.push_back(all[k]);
    break;
  }
  return out;
}

TEST(Writer, writesAnEntityInTheOrderStrictReadersExpect) {
  db::Database d = db::Database::newDrawing();
  db::Entity line(db::Line{{0, 0, 0}, {100, 0.5, 0}});
  line.color = 1;
  line.linetype = d.intern("CENTER");
  ASSERT_TRUE(d.append(line));
  CollectingSink sink;
  ASSERT_TRUE(writeDxf(d, sink));
  const std::string owner = formatHandle(d.block(d.modelSpace()).recordHandle);
  const std::string handle = formatHandle(d.entity(d.lastEntity())->handle());
  EXPECT_EQ(entityTags(sink.items, "LINE"),
            (Items{{0, "LINE"}, {5, handle}, {330, owner}, {100, "AcDbEntity"}, {8, "0"},
                   {6, "CENTER"}, {62, "1"}, {100, "AcDbLine"}, {10, "0.0"}, {20, "0.0"},
                   {30, "0.0"}, {11, "100.0"}, {21, "0.5"}, {31, "0.0"}}));
  // Sections in order, EOF last.
  std::vector<std::string> sections;
  for (std::size_t i = 0; i + 1 < sink.items.size(); ++i)
    if (sink.items[i].value == "SECTION") sections.push_back(sink.items[i + 1].value);
  EXPECT_EQ(sections, (std::vector<std::string>{"HEADER", "CLASSES", "TABLES", "BLOCKS",
                                                "ENTITIES", "OBJECTS"}));
  EXPECT_EQ(sink.items.back(), (CollectingSink::Item{0, "EOF"}));
  EXPECT_EQ(sink.items[3], (CollectingSink::Item{1, "AC1015"}));
}

TEST(Writer, encodesTextAsGbkAndEscapesOnlyWhatGbkLacks) {
  db::Database d = db::Database::newDrawing();
  db::Layer layer;
  layer.name = "管道한\n";
  ASSERT_TRUE(d.addLayer(layer));
  CollectingSink sink;
  writeDxf(d, sink);
  bool found = false;
  for (const auto& item : sink.items)
    if (item.code == 2 && item.value == "\xB9\xDC\xB5\xC0\\U+D55C\\U+000A") found = true;
  EXPECT_TRUE(found);
  // And it reads back: the character GBK lacks as it was; the line feed, which no CAD
  // program takes in a name, as an underscore.
  ReadResult r = readDxf(writeDxfToString(d));
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_NE(r.drawing->layers().get("管道한_"), nullptr);
}

TEST(Writer, splitsPreviewsIntoLinesOfAtMost254HexDigits) {
  db::Database d = db::Database::newDrawing();
  db::BlockId b = *d.addBlock("P", {});
  std::vector<std::uint8_t> big(1000);
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<std::uint8_t>(i * 7);
  d.editBlock(b).preview = big;
  CollectingSink sink;
  writeDxf(d, sink);
  std::string joined;
  int lines = 0;
  for (const auto& item : sink.items)
    if (item.code == 310) {
      EXPECT_LE(item.value.size(), 254u);
      joined += item.value;
      ++lines;
    }
  EXPECT_EQ(lines, 8);  // 1000 bytes in lines of 127
  EXPECT_EQ(joined.size(), 2000u);
  EXPECT_EQ(joined.substr(0, 6), "00070E");
  ReadResult r = readDxf(writeDxfToString(d));
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.drawing->block(*r.drawing->findBlock("P")).preview, big);
}

class SaveFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("orv_dxf_save_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override {
    std::filesystem::permissions(dir_, std::filesystem::perms::owner_all);
    std::filesystem::remove_all(dir_);
  }
  std::filesystem::path dir_;
};

TEST_F(SaveFile, replacesTheFileAndLeavesNoTemporaryFile) {
  const auto path = dir_ / "drawing.dxf";
  { std::ofstream(path) << "old"; }
  ASSERT_TRUE(saveDxfFile(testing::sampleDrawing(), path));
  ReadResult r = readDxfFile(path);
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 1);
}

TEST_F(SaveFile, aFailedSaveKeepsWhatWasThereAndLeavesNoTemporaryFile) {
  // A directory in the way makes the final rename fail, even for root.
  const auto path = dir_ / "drawing.dxf";
  std::filesystem::create_directories(path);
  { std::ofstream(path / "inside") << "old"; }
  WriteResult w = saveDxfFile(testing::sampleDrawing(), path);
  EXPECT_FALSE(w);
  EXPECT_EQ(w.message, "这是一个文件夹");  // the reason alone: the caller names the file
  EXPECT_EQ(testing::readFile((path / "inside").string()), "old");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 1);
}

TEST(Writer, reportsASinkThatCannotWrite) {
  TextSink sink([](void*, std::string_view, std::string& failure) {
    failure = "No space left on device";
    return false;
  }, nullptr);
  WriteResult w = writeDxf(testing::sampleDrawing(), sink);
  if (w) w = WriteResult{sink.finish(), sink.failure()};
  EXPECT_FALSE(w);
  EXPECT_EQ(w.message, "No space left on device");
}

TEST_F(SaveFile, aMissingDirectoryIsAClearError) {
  WriteResult w = saveDxfFile(testing::sampleDrawing(), dir_ / "nosuch" / "d.dxf");
  EXPECT_FALSE(w);
  EXPECT_EQ(w.message, "文件或目录不存在");
  ReadResult r = readDxfFile(dir_ / "absent.dxf");
  EXPECT_FALSE(r.ok());
  EXPECT_EQ(r.error, "文件或目录不存在");
  EXPECT_EQ(readDxfFile(dir_).error, "这是一个文件夹");
}

}  // namespace
}  // namespace orv::dxf
