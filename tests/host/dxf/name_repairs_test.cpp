// Names no CAD program accepts: each kind of named object renamed by the rules, and what names them follows.
#include <gtest/gtest.h>

#include "dxf_test_util.h"
#include "orv/dxf/reader.h"
#include "orv/dxf/writer.h"

namespace orv::dxf {
namespace {

using namespace testing;

std::string table(const std::string& name, const std::string& entries) {
  return tags({{0, "TABLE"}, {2, name}, {70, "0"}}) + entries + tags({{0, "ENDTAB"}});
}

std::string layer(const std::string& name, const std::string& linetype = "CONTINUOUS") {
  return tags({{0, "LAYER"}, {2, name}, {70, "0"}, {62, "7"}, {6, linetype}});
}
std::string linetype(const std::string& name) {
  return tags({{0, "LTYPE"}, {2, name}, {70, "0"}, {3, ""}, {72, "65"}, {73, "0"}, {40, "0.0"}});
}
std::string style(const std::string& name) {
  return tags({{0, "STYLE"}, {2, name}, {70, "0"}, {40, "0"}, {41, "1"}, {3, "txt"}});
}
std::string dimstyle(const std::string& name) { return tags({{0, "DIMSTYLE"}, {2, name}, {70, "0"}}); }
std::string block(const std::string& name, int flags = 0) {
  return tags({{0, "BLOCK"}, {8, "0"}, {2, name}, {70, std::to_string(flags)}, {10, "0"}, {20, "0"}, {30, "0"},
               {3, name}, {1, flags & 4 ? "xr.dwg" : ""}, {0, "LINE"}, {8, "0"}, {10, "0"}, {20, "0"},
               {11, "1"}, {21, "0"}, {0, "ENDBLK"}, {8, "0"}});
}

struct Named {
  char kind;  // L layer, T linetype, B block (styles, two names into one, *ADSK_: OtherWriters tests)
  std::string name;
  std::string expected;  // the name after reading
};

TEST(NameRepairs, eachKindOfNameIsMendedByTheRules) {
  const std::string longName(300, 'n');
  const Named cases[] = {
      {'L', "x\x01y", "x_y"},      // a control character
      {'L', "<>/\\\":;=`,", "__________"},
      {'L', "NOXR|WALL", "NOXR_WALL"},       // no xref of that name
      {'L', "XR|", "XR_"},                   // a bar last is never an xref's
      {'L', "空调 风管", "空调 风管"},         // blanks and Chinese are accepted
      {'L', longName, std::string(247, 'n')},
      {'T', "XR|DASH", "XR|DASH"},
      {'B', "XR|NESTED", "XR|NESTED"},
      {'B', "*U7", "*U7"},                   // an anonymous block
      {'B', "*U?", "*U_"},
  };
  std::string layers, linetypes, blocks = block("XR", 4);
  for (const Named& c : cases) {
    switch (c.kind) {
      case 'L': layers += layer(c.name); break;
      case 'T': linetypes += linetype(c.name); break;
      case 'B': blocks += block(c.name, c.name.starts_with("XR|") ? 16 : 0); break;
    }
  }
  const std::string head = header() + tags({{0, "SECTION"}, {2, "TABLES"}}) + table("LTYPE", linetypes) +
                           table("LAYER", layers) +
                           tags({{0, "ENDSEC"}});
  ReadResult r = readDxf(fileWith("", blocks, head));
  ASSERT_TRUE(r.ok()) << r.error;
  const db::Database& d = *r.drawing;
  for (const Named& c : cases) {
    SCOPED_TRACE(c.name.substr(0, 20));
    std::string found;
    switch (c.kind) {
      case 'L': found = d.layers().get(c.expected) ? d.layers().get(c.expected)->name : ""; break;
      case 'T': found = d.linetypes().get(c.expected) ? d.linetypes().get(c.expected)->name : ""; break;
      case 'B': found = d.findBlock(c.expected) ? d.block(*d.findBlock(c.expected)).name : ""; break;
    }
    EXPECT_EQ(found, c.expected) << describe(r);
    const bool renamed = c.name != c.expected;
    EXPECT_EQ(hasFindingOf(r, "“" + c.expected + "”"), renamed) << describe(r);
  }
  // The control character is quoted so that the finding stays text.
  EXPECT_TRUE(hasFindingOf(r, "图层名“x\\x01y”含有控制字符，已改为“x_y”")) << describe(r);
  EXPECT_TRUE(hasFindingOf(r, "超过 255 个字符")) << describe(r);

  // Saved and read again, nothing is left to mend.
  ReadResult again = readDxf(writeDxfToString(d));
  ASSERT_TRUE(again.ok()) << again.error;
  EXPECT_FALSE(hasFindingOf(again, "已改为")) << describe(again);
}

TEST(NameRepairs, whatNamesARenamedObjectFollowsIt) {
  const std::string head =
      tags({{0, "SECTION"}, {2, "HEADER"}, {9, "$ACADVER"}, {1, "AC1015"}, {9, "$DWGCODEPAGE"}, {3, "ANSI_936"},
            {9, "$CLAYER"}, {8, "L?"}, {9, "$CELTYPE"}, {6, "T?"}, {9, "$TEXTSTYLE"}, {7, "S?"},
            {9, "$DIMSTYLE"}, {2, "D?"}, {0, "ENDSEC"}, {0, "SECTION"}, {2, "TABLES"}}) +
      table("LTYPE", linetype("T?")) + table("LAYER", layer("L?", "T?")) + table("STYLE", style("S?")) +
      table("DIMSTYLE", dimstyle("D?")) + tags({{0, "ENDSEC"}});
  const std::string entities =
      tags({{0, "LINE"}, {8, "l?"}, {6, "t?"}, {10, "0"}, {20, "0"}, {11, "1"}, {21, "1"},
            {0, "INSERT"}, {8, "L?"}, {2, "B?"}, {10, "5"}, {20, "5"},
            {0, "TEXT"}, {8, "L?"}, {6, "T?"}, {7, "s?"}, {10, "0"}, {20, "0"}, {40, "2"}, {1, "L? stays"},
            {0, "DIMENSION"}, {8, "L?"}, {2, "b?"}, {3, "d?"}, {10, "0"}, {20, "0"}, {70, "0"},
            {1001, "APP"}, {1000, "L?"}});
  ReadResult r = readDxf(fileWith(entities, block("B?"), head));
  ASSERT_TRUE(r.ok()) << r.error;
  const db::Database& d = *r.drawing;
  EXPECT_EQ(d.header.currentLayer, "L_");
  ASSERT_EQ(entitiesOf(d, d.modelSpace()).size(), 4u) << describe(r);
  const std::string written = writeDxfToString(d);
  for (const char* gone : {"L?", "T?", "S?", "D?", "B?", "l?", "s?", "d?", "b?"}) {
    SCOPED_TRACE(gone);
    // Only the text's own words and the application's data keep what they said.
    std::size_t count = 0;
    for (std::size_t at = written.find(gone); at != std::string::npos; at = written.find(gone, at + 1)) ++count;
    EXPECT_EQ(count, std::string_view(gone) == "L?" ? 2u : 0u);
  }
  for (const char* kept : {"  1\r\nL? stays\r\n", "1000\r\nL?\r\n", "  7\r\nS_\r\n", "  3\r\nD_\r\n",
                           "  2\r\nB_\r\n", "  6\r\nT_\r\n", "$CELTYPE\r\n  6\r\nT_\r\n", "$DIMSTYLE\r\n  2\r\nD_\r\n"})
    EXPECT_NE(written.find(kept), std::string::npos) << kept;
  ReadResult again = readDxf(written);
  ASSERT_TRUE(again.ok()) << again.error;
  EXPECT_FALSE(hasFindingOf(again, "已改为")) << describe(again);
  EXPECT_FALSE(hasFindingOf(again, "未定义")) << describe(again);
}

}  // namespace
}  // namespace orv::dxf
