// Picture files: the format by the ending, signatures, sizes, and failures that leave nothing behind.
#include <fstream>
#include <iterator>

#include "render_test_support.h"

namespace orv::render::test {
namespace {

std::string readAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

db::Database redLineDrawing() {
  db::Database d = db::Database::newDrawing();
  add(d, line(0, 0, 100, 50));
  add(d, circle(50, 25, 20));
  return d;
}

TEST(PictureFormat, isChosenByTheEndingInAnyCase) {
  EXPECT_EQ(pictureFormatFor("a.png"), PictureFormat::png);
  EXPECT_EQ(pictureFormatFor("dir.x/a.PNG"), PictureFormat::png);
  EXPECT_EQ(pictureFormatFor("a.Svg"), PictureFormat::svg);
  EXPECT_EQ(pictureFormatFor("图纸.pdf"), PictureFormat::pdf);
  EXPECT_FALSE(pictureFormatFor("a.png.bak"));
  EXPECT_FALSE(pictureFormatFor("a.bmp"));
  EXPECT_FALSE(pictureFormatFor("png"));
  EXPECT_FALSE(pictureFormatFor(".png/a"));
}

TEST(RenderFiles, writesEachFormatWithItsSignatureAndContent) {
  TempDir dir;
  const db::Database d = redLineDrawing();
  struct Case {
    const char* name;
    std::string head;
    std::string inside;
  } cases[] = {
      {"p.png", "\x89PNG\r\n\x1a\n", "IDAT"},
      {"p.SVG", "<?xml", "<path"},
      {"p.pdf", "%PDF-", "%%EOF"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RenderResult r = render(d, dir / c.name, smallPage());
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_TRUE(r.message.empty());
    EXPECT_EQ(r.report.painted, 2u);
    const std::string bytes = readAll(dir / c.name);
    EXPECT_EQ(bytes.substr(0, c.head.size()), c.head);
    EXPECT_NE(bytes.find(c.inside), std::string::npos);
    EXPECT_GT(bytes.size(), 400u);
  }
  // Only the three pictures: no temporary file is left beside them.
  EXPECT_EQ(dir.names(), (std::set<std::string>{"p.png", "p.SVG", "p.pdf"}));
}

TEST(RenderFiles, svgIsAnA3LandscapePageInPoints) {
  TempDir dir;
  ASSERT_TRUE(render(redLineDrawing(), dir / "a3.svg").ok);
  const std::string svg = readAll(dir / "a3.svg");
  EXPECT_NE(svg.find("width=\"1190.55"), std::string::npos) << svg.substr(0, 300);
  EXPECT_NE(svg.find("height=\"841.88"), std::string::npos);
}

TEST(RenderFiles, pngHasTheRequestedSizeAndDefaultsTo1600By1200) {
  TempDir dir;
  ASSERT_TRUE(render(redLineDrawing(), dir / "default.png").ok);
  Pixels def(dir / "default.png");
  EXPECT_EQ(def.width(), 1600);
  EXPECT_EQ(def.height(), 1200);

  RenderOptions o;
  o.pixelWidth = 321;
  o.pixelHeight = 123;
  ASSERT_TRUE(render(redLineDrawing(), dir / "small.png", o).ok);
  Pixels small(dir / "small.png");
  EXPECT_EQ(small.width(), 321);
  EXPECT_EQ(small.height(), 123);
}

TEST(RenderFiles, refusesWhatItCannotWriteAndLeavesNoFile) {
  TempDir dir;
  const db::Database d = redLineDrawing();
  {
    RenderResult r = render(d, dir / "picture.bmp");
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.message.find(".bmp"), std::string::npos) << r.message;
    EXPECT_NE(r.message.find(".png"), std::string::npos) << r.message;
  }
  {
    RenderResult r = render(d, dir / "picture");
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.message.empty());
  }
  {
    RenderOptions o;
    o.pixelWidth = 0;
    EXPECT_FALSE(render(d, dir / "zero.png", o).ok);
    o = {};
    o.pageWidthPt = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(render(d, dir / "nan.pdf", o).ok);
  }
  EXPECT_TRUE(dir.names().empty());

  // A directory that cannot exist: its parent is a plain file.
  std::ofstream(dir / "plain") << "x";
  RenderResult r = render(d, dir / "plain" / "picture.png");
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.message.find("不是文件夹"), std::string::npos) << r.message;
  EXPECT_EQ(r.message.find('\n'), std::string::npos);
  EXPECT_EQ(dir.names(), std::set<std::string>{"plain"});
}

TEST(RenderFiles, aFailedRenameLeavesTheDestinationAndNoTemporaryFile) {
  TempDir dir;
  fs::create_directory(dir / "taken.png");
  std::ofstream(dir / "taken.png" / "inside") << "keep";
  RenderResult r = render(redLineDrawing(), dir / "taken.png");
  EXPECT_FALSE(r.ok);
  EXPECT_FALSE(r.message.empty());
  EXPECT_EQ(dir.names(), std::set<std::string>{"taken.png"});
  EXPECT_EQ(readAll(dir / "taken.png" / "inside"), "keep");
}

TEST(RenderFiles, replacesAnExistingPicture) {
  TempDir dir;
  std::ofstream(dir / "old.png") << "not a picture";
  ASSERT_TRUE(render(redLineDrawing(), dir / "old.png", smallPage()).ok);
  Pixels p(dir / "old.png");
  EXPECT_TRUE(p.ok());
  EXPECT_EQ(p.width(), 400);
  EXPECT_EQ(dir.names(), std::set<std::string>{"old.png"});
}

TEST(RenderFiles, emptyDrawingGivesABlankPage) {
  TempDir dir;
  db::Database d = db::Database::newDrawing();
  const db::ObjectId erased = add(d, line(0, 0, 10, 10));
  ASSERT_EQ(d.erase(erased), db::Status::ok);
  RenderResult r;
  Pixels p = renderPng(d, dir, smallPage(), &r);
  ASSERT_TRUE(p.ok());
  EXPECT_TRUE(p.allWhite());
  EXPECT_EQ(r.report.painted, 0u);
  for (const char* name : {"blank.svg", "blank.pdf"}) EXPECT_TRUE(render(d, dir / name).ok);
}

}  // namespace
}  // namespace orv::render::test
