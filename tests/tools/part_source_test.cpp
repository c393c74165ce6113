// Reading part sources: every statement on good input, and a message at the right line for bad input.
#include "part_source.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

namespace orv::partlib {
namespace {

using ::testing::HasSubstr;

ReadResult read(std::string_view text, std::string_view name = "阀") { return readPartSource(text, name, "阀.part"); }

// The one error of a source: its line and message.
Diagnostic onlyError(std::string_view text, std::string_view name = "阀") {
  ReadResult r = read(text, name);
  EXPECT_FALSE(r.part.has_value());
  EXPECT_EQ(r.errors.size(), 1u) << text;
  return r.errors.empty() ? Diagnostic{} : r.errors.front();
}

TEST(PartSource, readsEveryStatement) {
  const std::string text =
      "\xEF\xBB\xBF# a valve\r\n"
      "extent 0,-109.5 300,109.5   # the box\r\n"
      "\n"
      "block 阀-半\n"
      "  color 3\n"
      "  arc 1,2 3 -45 225\n"
      "end\n"
      "color 1\n"
      "linetype hidden\n"
      "line 0,0 300,0\n"
      "color ByBlock\n"
      "polyline closed width=2 0,0 bulge=0.5 10,0 widths=1,3 10,10\n"
      "linetype bylayer\n"
      "circle 5,5 2.5e1\n"
      "dot 150,0 40\n"
      "insert 阀-半 1,2 scale=-1,0.5 rotation=90\n";
  ReadResult r = read(text);
  ASSERT_TRUE(r.part) << (r.errors.empty() ? "" : format(r.errors.front()));
  const PartSource& p = *r.part;
  EXPECT_EQ(p.name, "阀");
  EXPECT_EQ(p.block.name, "阀");
  ASSERT_TRUE(p.extent);
  EXPECT_EQ(*p.extent, (Box{0, -109.5, 300, 109.5}));
  EXPECT_EQ(p.extentLine, 2);

  ASSERT_EQ(p.nested.size(), 1u);
  EXPECT_EQ(p.nested[0].name, "阀-半");
  EXPECT_EQ(p.nested[0].line, 4);
  ASSERT_EQ(p.nested[0].items.size(), 1u);
  const Item& arc = p.nested[0].items[0];
  EXPECT_EQ(arc.line, 6);
  EXPECT_EQ(arc.color, 3);
  EXPECT_EQ(std::get<db::Arc>(arc.shape), (db::Arc{{1, 2, 0}, 3, -45, 225}));

  const auto& items = p.block.items;
  ASSERT_EQ(items.size(), 5u);
  // Colour and linetype stay in force until changed.
  EXPECT_EQ(std::get<db::Line>(items[0].shape), (db::Line{{0, 0, 0}, {300, 0, 0}}));
  EXPECT_EQ(items[0].color, 1);
  EXPECT_EQ(items[0].linetype, "HIDDEN");
  EXPECT_EQ(items[1].color, db::color::byBlock);
  EXPECT_EQ(items[1].linetype, "HIDDEN");
  EXPECT_EQ(items[2].linetype, "ByLayer");

  const auto& pl = std::get<db::Polyline>(items[1].shape);
  ASSERT_EQ(pl.size(), 3u);
  EXPECT_TRUE(pl.closed());
  EXPECT_EQ(pl.constantWidth(), 2.0);
  EXPECT_EQ(pl.vertex(0), (db::Vertex{{0, 0}, 0.5, 0, 0}));
  EXPECT_EQ(pl.vertex(1), (db::Vertex{{10, 0}, 0, 1, 3}));
  EXPECT_EQ(pl.vertex(2), (db::Vertex{{10, 10}, 0, 0, 0}));

  EXPECT_EQ(std::get<db::Circle>(items[2].shape), (db::Circle{{5, 5, 0}, 25}));

  // A dot of diameter 40: two half circles of radius 10, 20 wide, filling radius 20.
  const auto& dot = std::get<db::Polyline>(items[3].shape);
  ASSERT_EQ(dot.size(), 2u);
  EXPECT_TRUE(dot.closed());
  EXPECT_EQ(dot.vertex(0), (db::Vertex{{140, 0}, 1, 0, 0}));
  EXPECT_EQ(dot.vertex(1), (db::Vertex{{160, 0}, 1, 0, 0}));
  EXPECT_EQ(dot.constantWidth(), 20.0);

  const auto& ins = std::get<Insert>(items[4].shape);
  EXPECT_EQ(ins.block, "阀-半");
  EXPECT_EQ(ins.position, (db::Point2{1, 2}));
  EXPECT_EQ(ins.xScale, -1.0);
  EXPECT_EQ(ins.yScale, 0.5);
  EXPECT_EQ(ins.rotation, 90.0);
}

TEST(PartSource, aBlockStartsWithDefaultStylesAndGivesBackTheOuterOnes) {
  ReadResult r = read(
      "color 5\nlinetype CENTER\n"
      "block 阀-a\nline 0,0 1,0\ncolor 2\nline 0,0 0,1\nend\n"
      "line 0,0 1,1\n");
  ASSERT_TRUE(r.part);
  const auto& inner = r.part->nested[0].items;
  EXPECT_EQ(inner[0].color, db::color::byLayer);
  EXPECT_EQ(inner[0].linetype, "ByLayer");
  EXPECT_EQ(inner[1].color, 2);
  EXPECT_EQ(r.part->block.items[0].color, 5);
  EXPECT_EQ(r.part->block.items[0].linetype, "CENTER");
}

struct BadCase {
  const char* text;
  int line;
  const char* message;
};

TEST(PartSource, badStatementsAreReportedAtTheirLine) {
  const BadCase cases[] = {
      {"line 0,0 1,1\nlin 0,0 1,1\n", 2, "unknown statement \"lin\""},
      {"line 0,0\n", 1, "expected \"line X,Y X,Y\""},
      {"line 0,0 1\n", 1, "two numbers joined by a comma"},
      {"line 0,0 1,2,3\n", 1, "two numbers joined by a comma"},
      {"line 0,0 1,x\n", 1, "finite number, not \"x\""},
      {"circle 0,0 nan\n", 1, "finite number"},
      {"circle 0,0 1e999\n", 1, "finite number"},
      {"circle 0,0 inf\n", 1, "finite number"},
      {"circle 0,0 0\n", 1, "the radius must be greater than 0"},
      {"arc 0,0 -2 0 90\n", 1, "the radius must be greater than 0"},
      {"arc 0,0 2 30 390\n", 1, "start and end angles must differ"},
      {"dot 0,0 -1\n", 1, "the diameter must be greater than 0"},
      {"line 1,1 1,1\n", 1, "two different points"},
      {"polyline 0,0\n", 1, "at least two vertices"},
      {"polyline bulge=1 0,0 1,1\n", 1, "must follow the vertex"},
      {"polyline widths=1,1 0,0 1,1\n", 1, "must follow the vertex"},
      {"polyline 0,0 bulge=1 bulge=2 1,1\n", 1, "a second \"bulge=\""},
      {"polyline 0,0 1,1 bulge=0.5\n", 1, "no segment to bulge"},
      {"polyline 0,0 0,0 1,1\n", 1, "vertex 2 repeats"},
      {"polyline closed 0,0 1,0 0,0\n", 1, "must not repeat its first vertex"},
      {"polyline width=-1 0,0 1,1\n", 1, "must not be negative"},
      {"polyline width=1 width=2 0,0 1,1\n", 1, "\"width=\" given twice"},
      {"polyline 0,0 widths=1,-1 1,1\n", 1, "must not be negative"},
      {"polyline 0,0 widths=1 1,1\n", 1, "two numbers joined by a comma"},
      {"color 0\n", 1, "colour index from 1 to 255"},
      {"color 256\n", 1, "colour index from 1 to 255"},
      {"color red\n", 1, "colour index from 1 to 255"},
      {"linetype WIGGLY\n", 1, "unknown linetype \"WIGGLY\" (known: ByLayer"},
      {"line 0,0 1,1\nend\n", 2, "\"end\" without \"block\""},
      {"block 阀-a 1\n", 1, "expected \"block NAME\""},
      {"block 泵-a\nline 0,0 1,1\nend\n", 1, "begins with the part's name and '-' (\"阀-...\")"},
      {"block 阀-\nline 0,0 1,1\nend\n", 1, "begins with the part's name"},
      {"block 阀-a;b\nline 0,0 1,1\nend\n", 1, "cannot name a block: it holds ';'"},
      {"block 阀-a\nline 0,0 1,1\nend\nblock 阀-A\nline 0,0 1,1\nend\n", 4, "defined twice (first on line 1)"},
      {"block 阀-a\nline 0,0 1,1\nblock 阀-b\nend\n", 3, "has no \"end\" before this block"},
      {"line 0,0 1,1\nblock 阀-a\nline 0,0 1,1\n", 2, "block \"阀-a\" has no \"end\""},
      {"block 阀-a\nend\nline 0,0 1,1\n", 1, "block \"阀-a\" draws nothing"},
      {"insert 阀-a 0,0\n", 1, "no block \"阀-a\" is defined above this line"},
      {"block 阀-a\ninsert 阀-a 0,0\nend\n", 2, "cannot insert itself"},
      {"block 阀-a\nline 0,0 1,1\nend\ninsert 阀-a 0,0 scale=0,1\n", 4, "a scale must not be 0"},
      {"block 阀-a\nline 0,0 1,1\nend\ninsert 阀-a 0,0 size=2\n", 4, "unexpected \"size=2\""},
      {"block 阀-a\nline 0,0 1,1\nend\ninsert 阀-a 0,0 rotation=1 rotation=2\n", 4, "unexpected \"rotation=2\""},
      {"block 阀-a\nextent 0,0 1,1\nline 0,0 1,1\nend\n", 2, "belongs to the part"},
      {"extent 0,0 1,1\nextent 0,0 1,1\nline 0,0 1,1\n", 2, "a second \"extent\" (the first is on line 1)"},
      {"extent 1,0 0,1\nline 0,0 1,1\n", 1, "below and left of the second"},
      {"extent 0,0 1,0\nline 0,0 1,1\n", 1, "below and left of the second"},
      {"line 0,0 1,1\n# \xB7\xA7\n\xB7\xA7 0,0 1,1\n", 3, "not UTF-8 text"},
      {"# nothing but a comment\n\n", 0, "the part draws nothing"},
  };
  for (const BadCase& c : cases) {
    const Diagnostic d = onlyError(c.text);
    EXPECT_EQ(d.line, c.line) << c.text;
    EXPECT_THAT(d.message, HasSubstr(c.message)) << c.text;
    EXPECT_EQ(d.file, "阀.part");
  }
}

TEST(PartSource, everyErrorIsReportedAndTheRestStillRead) {
  ReadResult r = read("line 0,0 1,1\ncircle 0,0 -1\nline 0,0 2,2\nfoo\nline 0,0\n");
  EXPECT_FALSE(r.part);
  ASSERT_EQ(r.errors.size(), 3u);
  EXPECT_EQ(r.errors[0].line, 2);
  EXPECT_EQ(r.errors[1].line, 4);
  EXPECT_EQ(r.errors[2].line, 5);
  EXPECT_EQ(format(r.errors[1]), "阀.part:4: unknown statement \"foo\"");
  EXPECT_EQ(format(Diagnostic{"a.part", 0, "x"}), "a.part: x");
}

TEST(PartSource, aPartNameMustBeABlockNameInGbk) {
  EXPECT_EQ(blockNameProblem("8字盲板"), std::nullopt);
  EXPECT_EQ(blockNameProblem("Gate valve"), std::nullopt);
  EXPECT_THAT(blockNameProblem("").value_or(""), HasSubstr("empty"));
  EXPECT_THAT(blockNameProblem("a/b").value_or(""), HasSubstr("'/'"));
  EXPECT_THAT(blockNameProblem("*U1").value_or(""), HasSubstr("'*'"));
  EXPECT_THAT(blockNameProblem(" 阀").value_or(""), HasSubstr("blank"));
  EXPECT_THAT(blockNameProblem("a\tb").value_or(""), HasSubstr("control character"));
  EXPECT_THAT(blockNameProblem("阀\xF0\x9F\x98\x80").value_or(""), HasSubstr("GBK"));
  EXPECT_THAT(blockNameProblem("\xB7\xA7").value_or(""), HasSubstr("UTF-8"));

  const Diagnostic d = onlyError("line 0,0 1,1\n", "阀?");
  EXPECT_EQ(d.line, 0);
  EXPECT_THAT(d.message, HasSubstr("the file name \"阀?\" cannot name a block"));
}

class PartSourceFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("orv-partsrc-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::filesystem::path write(const char8_t* name, std::string_view text) {
    const auto path = dir_ / name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  std::filesystem::path dir_;
};

TEST_F(PartSourceFile, thePartIsNamedAfterItsFile) {
  ReadResult r = readPartSourceFile(write(u8"8字盲板.part", "circle 0,0 1\n"));
  ASSERT_TRUE(r.part);
  EXPECT_EQ(r.part->name, "8字盲板");

  r = readPartSourceFile(write(u8"a.b.part", "circle 0,0 1\n"));
  ASSERT_TRUE(r.part);
  EXPECT_EQ(r.part->name, "a.b");
}

TEST_F(PartSourceFile, aFileThatCannotBeReadIsOneError) {
  ReadResult r = readPartSourceFile(dir_ / u8"无.part");
  ASSERT_EQ(r.errors.size(), 1u);
  EXPECT_EQ(r.errors[0].line, 0);
  EXPECT_THAT(format(r.errors[0]), HasSubstr("无.part: cannot be read"));

  std::filesystem::create_directory(dir_ / u8"目录.part");
  r = readPartSourceFile(dir_ / u8"目录.part");
  ASSERT_EQ(r.errors.size(), 1u);
  EXPECT_THAT(r.errors[0].message, HasSubstr("cannot be read"));
}

}  // namespace
}  // namespace orv::partlib
