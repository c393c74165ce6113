// Library drawings built from part sources, in memory, as files, and by the orvpartlib program.
#include "part_drawing.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <sys/wait.h>
#include <unistd.h>

#include "orv/dialogs/dib.h"
#include "orv/dxf/reader.h"

namespace orv::partlib {
namespace {

using ::testing::HasSubstr;

PartSource parse(std::string_view text, std::string_view name = "法兰") {
  ReadResult r = readPartSource(text, name, "法兰.part");
  EXPECT_TRUE(r.errors.empty()) << (r.errors.empty() ? "" : format(r.errors.front()));
  return r.part.value_or(PartSource{});
}

std::vector<const db::Entity*> entitiesOf(const db::Database& d, db::BlockId b) {
  std::vector<const db::Entity*> out;
  d.forEachEntity(b, [&](db::ObjectId, const db::Entity& e) { out.push_back(&e); });
  return out;
}

constexpr const char* kFlange =
    "extent -30,-110 30,110\n"
    "block 法兰-半\n"
    "polyline closed -24,-110 -4,-110 -4,110 -24,110\n"
    "end\n"
    "insert 法兰-半 0,0\n"
    "insert 法兰-半 0,0 scale=-1,1\n"
    "color 1\n"
    "linetype DASHED\n"
    "line -30,0 30,0\n";

TEST(PartDrawing, holdsThePartItsNestedBlocksAndOneReferenceAtTheOrigin) {
  DrawingResult r = buildPartDrawing(parse(kFlange), "法兰.part");
  ASSERT_TRUE(r.drawing);
  const db::Database& d = *r.drawing;

  const auto part = d.findBlock("法兰");
  const auto half = d.findBlock("法兰-半");
  ASSERT_TRUE(part && half);
  EXPECT_EQ(d.block(*part).base, (db::Point3{}));

  const auto items = entitiesOf(d, *part);
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[0]->as<db::BlockReference>()->block, *half);
  EXPECT_EQ(items[1]->as<db::BlockReference>()->xScale, -1.0);
  EXPECT_EQ(items[2]->color, 1);
  EXPECT_EQ(d.name(items[2]->linetype), "DASHED");
  EXPECT_EQ(items[0]->color, db::color::byLayer);
  EXPECT_EQ(entitiesOf(d, *half).size(), 1u);

  const auto model = entitiesOf(d, d.modelSpace());
  ASSERT_EQ(model.size(), 1u);
  const auto* ref = model[0]->as<db::BlockReference>();
  ASSERT_NE(ref, nullptr);
  EXPECT_EQ(*ref, (db::BlockReference{*part, {}, 1, 1, 1, 0}));

  EXPECT_EQ(d.header.extentsMin, (db::Point3{-30, -110, 0}));
  EXPECT_EQ(d.header.extentsMax, (db::Point3{30, 110, 0}));
}

TEST(PartDrawing, thePartAloneCarriesAPreviewIconOfWhatItDraws) {
  DrawingResult r = buildPartDrawing(parse(kFlange), "法兰.part");
  ASSERT_TRUE(r.drawing);
  const db::Database& d = *r.drawing;
  EXPECT_TRUE(d.block(*d.findBlock("法兰-半")).preview.empty());
  const auto& icon = d.block(*d.findBlock("法兰")).preview;
  const dialogs::DibResult decoded = dialogs::decodePackedDib(icon);
  ASSERT_TRUE(decoded.bitmap) << decoded.error;
  EXPECT_EQ(decoded.bitmap->width, 48);
  EXPECT_EQ(decoded.bitmap->height, 48);
  EXPECT_FALSE(decoded.bitmap->isBlank());
  // The red dashed centre line and the black plates both show.
  int red = 0, dark = 0;
  for (std::uint32_t p : decoded.bitmap->pixels) {
    const int r = p >> 16 & 0xFF, g = p >> 8 & 0xFF, b = p & 0xFF;
    red += r > 200 && g < 150 && b < 150;
    dark += r < 64 && g < 64 && b < 64;
  }
  EXPECT_GT(red, 0);
  EXPECT_GT(dark, 0);
}

TEST(PartDrawing, anExtentThePartMissesIsAnErrorAtItsLine) {
  DrawingResult r = buildPartDrawing(parse("# valve\nextent 0,-109.5 300,109.5\nline 0,-109.5 300,109.4\n", "阀"), "阀.part");
  EXPECT_FALSE(r.drawing);
  ASSERT_EQ(r.errors.size(), 1u);
  EXPECT_EQ(r.errors[0].line, 2);
  EXPECT_EQ(format(r.errors[0]),
            "阀.part:2: the part is drawn over 0,-109.5 300,109.4, not over the extent 0,-109.5 300,109.5");

  // Arcs count by their extreme points: a half circle reaching the box's top meets it.
  r = buildPartDrawing(parse("extent -1,0 1,1\narc 0,0 1 0 180\n", "阀"), "阀.part");
  EXPECT_TRUE(r.drawing);
}

TEST(PartDrawing, anEntityTheDrawingRefusesIsAnErrorAtItsLine) {
  PartSource part = parse("line 0,0 1,1\nline 0,0 2,2\n", "阀");
  std::get<db::Line>(part.block.items[1].shape).end.x = 1e308 * 10;  // not finite
  DrawingResult r = buildPartDrawing(part, "阀.part");
  EXPECT_FALSE(r.drawing);
  ASSERT_EQ(r.errors.size(), 1u);
  EXPECT_EQ(r.errors[0].line, 2);
  EXPECT_THAT(r.errors[0].message, HasSubstr("refuses"));
}

class PartFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("orv-partlib-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_ / "src");
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::filesystem::path source(const char8_t* name, std::string_view text) {
    const auto path = dir_ / "src" / name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  // Runs orvpartlib; returns its status, its standard error in `err`.
  int run(const std::string& args, std::string& err) {
    const auto errFile = dir_ / "stderr.txt";
    const std::string command = std::string("'") + ORV_PARTLIB_TOOL + "' " + args + " 2>'" + errFile.string() + "'";
    const int status = std::system(command.c_str());
    std::ifstream in(errFile);
    std::stringstream s;
    s << in.rdbuf();
    err = s.str();
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::filesystem::path dir_;
};

TEST_F(PartFiles, aBuiltFileReadsBackAsTheSameLibraryDrawing) {
  const auto src = source(u8"法兰.part", kFlange);
  const auto out = dir_ / "out" / "ZDY";  // made when missing
  ASSERT_TRUE(buildPartFile(src, out).empty());

  const dxf::ReadResult back = dxf::readDxfFile(out / u8"法兰.dxf");
  ASSERT_TRUE(back.ok()) << back.error;
  const db::Database& d = *back.drawing;
  const auto part = d.findBlock("法兰");
  ASSERT_TRUE(part);
  DrawingResult built = buildPartDrawing(parse(kFlange), "法兰.part");
  EXPECT_EQ(d.block(*part).preview, built.drawing->block(*built.drawing->findBlock("法兰")).preview);
  EXPECT_EQ(entitiesOf(d, *part).size(), 3u);
  EXPECT_EQ(entitiesOf(d, d.modelSpace()).size(), 1u);
  EXPECT_TRUE(d.findBlock("法兰-半"));
  EXPECT_EQ(d.header.codePage, "ANSI_936");
}

TEST_F(PartFiles, theProgramWritesEveryGoodPartAndNamesEveryBadLine) {
  const auto good = source(u8"泵.part", "circle 0,0 100\n");
  const auto bad = source(u8"阀.part", "line 0,0 1,1\ncircle 0,0 -1\nline 0,0\n");
  const auto badExtent = source(u8"球阀.part", "extent 0,0 2,2\ncircle 1,1 1.5\n");
  const auto out = dir_ / "out";
  std::string err;
  EXPECT_EQ(run("--out '" + out.string() + "' '" + good.string() + "' '" + bad.string() + "' '" +
                    badExtent.string() + "'",
                err),
            1);
  EXPECT_TRUE(std::filesystem::exists(out / u8"泵.dxf"));
  EXPECT_FALSE(std::filesystem::exists(out / u8"阀.dxf"));
  EXPECT_FALSE(std::filesystem::exists(out / u8"球阀.dxf"));
  EXPECT_THAT(err, HasSubstr(bad.string() + ":2: the radius must be greater than 0\n"));
  EXPECT_THAT(err, HasSubstr(bad.string() + ":3: expected \"line X,Y X,Y\"\n"));
  EXPECT_THAT(err, HasSubstr(badExtent.string() + ":1: the part is drawn over -0.5,-0.5 2.5,2.5"));
  EXPECT_THAT(err, HasSubstr("2 of 3 part sources have errors"));

  EXPECT_EQ(run("--out '" + out.string() + "' '" + good.string() + "'", err), 0);
  EXPECT_EQ(err, "");
}

TEST_F(PartFiles, theProgramRefusesABadCommandLine) {
  std::string err;
  EXPECT_EQ(run("", err), 2);
  EXPECT_THAT(err, HasSubstr("usage: orvpartlib"));
  EXPECT_EQ(run("--out", err), 2);
  EXPECT_EQ(run("--bogus x.part", err), 2);
  EXPECT_THAT(err, HasSubstr("unknown option --bogus"));
  EXPECT_EQ(run("--out '" + (dir_ / "o").string() + "' '" + (dir_ / "none.part").string() + "'", err), 1);
  EXPECT_THAT(err, HasSubstr("none.part: cannot be read"));
}

}  // namespace
}  // namespace orv::partlib
