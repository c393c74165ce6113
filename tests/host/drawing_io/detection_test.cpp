// What a file is, told by its first bytes.
#include <gtest/gtest.h>

#include <string>

#include "orv/io/drawing_file.h"

namespace {

using orv::io::FileKind;

TEST(DetectKind, tellsDrawingsByTheirFirstBytes) {
  struct Case {
    std::string head;
    FileKind kind;
  };
  const Case cases[] = {
      {"  0\r\nSECTION\r\n", FileKind::asciiDxf},
      {"0\nSECTION\n", FileKind::asciiDxf},
      {"999\nmade by hand\n", FileKind::asciiDxf},
      {"\xEF\xBB\xBF  0\nSECTION\n", FileKind::asciiDxf},
      {"\n\n  0  \r\nSECTION", FileKind::asciiDxf},
      {"AC1015\0\0\0\0\0\x01", FileKind::dwg},
      {"AC1032", FileKind::dwg},
      {"AC1012xxxx", FileKind::dwg},
      {"AC1009\0\0", FileKind::oldDwg},
      {"AC2.10", FileKind::oldDwg},
      {"MC0.0", FileKind::oldDwg},
      {"AutoCAD Binary DXF\r\n\x1a", FileKind::binaryDxf},
      {"", FileKind::empty},
      {"AC10", FileKind::other},          // cut off inside the signature
      {"AC10x5", FileKind::other},
      {"hello world\n", FileKind::other},
      {"12345\nvalue\n", FileKind::other},  // no group code has five digits
      {"  0", FileKind::other},             // no end of line: not even one tag
      {std::string("\x89PNG\r\n\x1a\n", 8), FileKind::other},
      {std::string("\0\0\0\0", 4), FileKind::other},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.head);
    EXPECT_EQ(orv::io::detectKind(c.head), c.kind);
  }
}

TEST(DetectKind, randomBytesAreNeverTakenForADrawingUnlessTheyLookLikeOne) {
  // A cheap generator: the same bytes on every run.
  std::uint32_t state = 12345;
  for (int n = 0; n < 2000; ++n) {
    std::string head(32, '\0');
    for (char& c : head) {
      state = state * 1664525u + 1013904223u;
      c = static_cast<char>(state >> 24);
    }
    const FileKind kind = orv::io::detectKind(head);
    if (kind == FileKind::dwg || kind == FileKind::oldDwg) {
      EXPECT_TRUE(head.starts_with("AC") || head.starts_with("MC"));
    }
    if (kind == FileKind::asciiDxf) {
      EXPECT_NE(head.find('\n'), std::string::npos);
    }
  }
}

TEST(DwgRelease, namesTheReleaseOfASignature) {
  EXPECT_EQ(orv::io::dwgReleaseName("AC1015\0"), "R2000");
  EXPECT_EQ(orv::io::dwgReleaseName("AC1032"), "R2018");
  EXPECT_EQ(orv::io::dwgReleaseName("AC1099"), "");
  EXPECT_TRUE(orv::io::hasDwgExtension("a/B.DWG"));
  EXPECT_FALSE(orv::io::hasDwgExtension("a/dwg"));
}

}  // namespace
