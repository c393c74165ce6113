// Damaged and hostile files: each kind of damage gives a clear error, or a finding and nothing lost.
#include <gtest/gtest.h>

#include <algorithm>

#include "dxf_test_util.h"
#include "orv/dxf/reader.h"
#include "orv/dxf/writer.h"

namespace orv::dxf {
namespace {

using namespace testing;

const std::string kLine =
    tags({{0, "LINE"}, {5, "2A"}, {8, "0"}, {10, "1.5"}, {20, "2"}, {30, "0"}, {11, "3"},
          {21, "4"}, {31, "0"}});

void expectError(const std::string& file, const std::string& part) {
  ReadResult r = readDxf(file);
  ASSERT_FALSE(r.ok());
  EXPECT_NE(r.error.find(part), std::string::npos) << r.error;
}

// Line `n` (from 1) of a file.
std::string lineOf(const std::string& file, std::size_t n) {
  std::size_t at = 0;
  for (std::size_t i = 1; i < n && at != std::string::npos; ++i) at = file.find('\n', at) + 1;
  return file.substr(at, file.find('\n', at) - at);
}

bool hasFinding(const ReadResult& r, const std::string& part) {
  for (const Finding& f : r.findings)
    if (f.message.find(part) != std::string::npos) return true;
  return false;
}

TEST(DamagedFile, cutShortAnywhereIsAnErrorNeverACrash) {
  const std::string whole = example("reference_r2000_cn.dxf");
  // Every cut inside the file body is refused; none crashes.
  for (std::size_t cut = 1; cut + 40 < whole.size(); cut += 97) {
    ReadResult r = readDxf(std::string_view(whole).substr(0, cut));
    if (r.ok()) {
      EXPECT_FALSE(r.findings.empty()) << "cut at " << cut;
    } else {
      EXPECT_FALSE(r.error.empty());
    }
  }
  expectError(whole.substr(0, whole.find("ENTITIES") + 20), "文件不完整");

  // A group code that is no number: the tokenizer's line, as the reader's.
  const std::string broken = fileWith(kLine + "ten\n1\n");
  const ReadResult r = readDxf(broken);
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(lineOf(broken, r.errorLine), "ten");
  EXPECT_EQ(r.errorReason, "此处应为组码，却是“ten”");
}

TEST(DamagedFile, missingEofIsAFinding) {
  std::string file = fileWith(kLine);
  file.resize(file.rfind("0\nEOF\n"));
  ReadResult r = readDxf(file);
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_TRUE(hasFinding(r, "EOF"));
  EXPECT_EQ(entitiesOf(*r.drawing, r.drawing->modelSpace()).size(), 1u);
}

TEST(DamagedFile, aNumberThatIsNoNumberNamesItsLine) {
  std::string file = fileWith(tags({{0, "LINE"}, {8, "0"}, {10, "1..5"}, {20, "2"}}));
  ReadResult r = readDxf(file);
  ASSERT_FALSE(r.ok());
  EXPECT_NE(r.error.find("需要数值"), std::string::npos) << r.error;
  EXPECT_EQ(r.error.rfind("第 ", 0), 0u) << r.error;  // the line first
  EXPECT_NE(r.error.find("1..5"), std::string::npos) << r.error;
  // The line and the reason come apart too, for messages that word them otherwise.
  EXPECT_EQ(r.error, "第 " + std::to_string(r.errorLine) + " 行：" + r.errorReason);
  EXPECT_EQ(lineOf(file, r.errorLine + 1), "1..5");
  expectError(fileWith(tags({{0, "LWPOLYLINE"}, {90, "two"}})), "需要整数");
  // The value is quoted as text of the file's code page, never as raw bytes.
  expectError(fileWith(tags({{0, "LINE"}, {8, "0"}, {10, "1\xB9\xDC"}})), "“1\xE7\xAE\xA1”");
  expectError(fileWith(tags({{0, "CIRCLE"}, {62, "1.5"}})), "需要整数");
}

TEST(DamagedFile, coordinatesThatAreNotFiniteAreKeptAsReadNotModeled) {
  ReadResult r = readDxf(fileWith(
      tags({{0, "LINE"}, {8, "0"}, {10, "nan"}, {20, "0"}, {11, "1"}, {21, "1"}}) +
      tags({{0, "CIRCLE"}, {8, "0"}, {10, "0"}, {20, "0"}, {40, "1e999"}}) + kLine));
  ASSERT_TRUE(r.ok()) << r.error;
  auto model = entitiesOf(*r.drawing, r.drawing->modelSpace());
  ASSERT_EQ(model.size(), 3u);
  EXPECT_EQ(model[0]->kind(), db::EntityKind::unknown);
  EXPECT_EQ(model[1]->kind(), db::EntityKind::unknown);
  EXPECT_EQ(model[2]->kind(), db::EntityKind::line);
  EXPECT_TRUE(hasFinding(r, "不是有限数值"));
}

TEST(DamagedFile, hugeCountsAllocateNothingUpFront) {
  ReadResult r = readDxf(fileWith(tags({{0, "LWPOLYLINE"}, {8, "0"}, {90, "4000000000"},
                                        {70, "0"}, {10, "1"}, {20, "2"}})));
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_TRUE(hasFinding(r, "声明了 4000000000 个顶点，实有 1 个"));
  ReadResult t = readDxf(header() + tags({{0, "SECTION"}, {2, "THUMBNAILIMAGE"}, {90, "999999999999"},
                                          {310, "00FF"}, {0, "ENDSEC"}, {0, "EOF"}}));
  ASSERT_TRUE(t.ok()) << t.error;
  EXPECT_TRUE(t.drawing->thumbnail.empty());
  EXPECT_TRUE(hasFinding(t, "缩略图"));
}

TEST(DamagedFile, unknownSectionsAndTablesAreSkippedWithAFinding) {
  std::string file = header() + tags({{0, "SECTION"}, {2, "ACDSDATA"}, {0, "ACDSSCHEMA"},
                                      {90, "0"}, {0, "ENDSEC"}}) +
                     tags({{0, "SECTION"}, {2, "TABLES"}, {0, "TABLE"}, {2, "WEIRD"}, {70, "1"},
                           {0, "WEIRD"}, {2, "X"}, {0, "ENDTAB"}, {0, "ENDSEC"}}) +
                     tags({{0, "SECTION"}, {2, "ENTITIES"}}) + kLine + tags({{0, "ENDSEC"}, {0, "EOF"}});
  ReadResult r = readDxf(file);
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_TRUE(hasFinding(r, "ACDSDATA"));
  EXPECT_TRUE(hasFinding(r, "WEIRD"));
  EXPECT_EQ(entitiesOf(*r.drawing, r.drawing->modelSpace()).size(), 1u);
}

TEST(DamagedFile, wrongCodesWhereStructureIsExpectedAreErrors) {
  expectError("hello world\n", "此处应为组码");
  expectError(tags({{0, "LINE"}}), "这不是 DXF 文件");
  expectError(tags({{0, "SECTION"}, {9, "HEADER"}}), "段名");
  expectError(tags({{0, "SECTION"}, {2, "ENTITIES"}, {8, "0"}}), "此处应为实体");
  expectError(tags({{0, "SECTION"}, {2, "TABLES"}, {2, "LAYER"}}), "应为 TABLE");
  expectError("", "没有任何段");
  expectError("AutoCAD Binary DXF\r\n\x1a", "二进制");
}

TEST(DamagedFile, duplicateAndMissingHandlesGetNewOnes) {
  ReadResult r = readDxf(fileWith(kLine + kLine + tags({{0, "CIRCLE"}, {5, "ZZ"}, {8, "0"}, {40, "1"}})));
  ASSERT_TRUE(r.ok()) << r.error;
  auto model = entitiesOf(*r.drawing, r.drawing->modelSpace());
  ASSERT_EQ(model.size(), 3u);
  EXPECT_EQ(model[0]->handle(), 0x2Au);  // the first keeps its handle
  EXPECT_NE(model[1]->handle(), 0x2Au);
  EXPECT_NE(model[2]->handle(), 0u);
  EXPECT_TRUE(hasFinding(r, "句柄与其他对象重复"));
  EXPECT_TRUE(hasFinding(r, "句柄“ZZ”无效"));
  EXPECT_GT(r.drawing->handseed(), std::max({model[0]->handle(), model[1]->handle(), model[2]->handle()}));
}

// A whole drawing as this program writes it (tables, blocks, objects), `entities` in its
// model space and its $HANDSEED `seed`.
std::string drawingWith(const std::string& entities, const std::string& seed) {
  std::string file = writeDxfToString(db::Database::newDrawing());  // lines end in CR LF
  const std::size_t value = file.find('\n', file.find('\n', file.find("$HANDSEED\r\n")) + 1) + 1;
  file.replace(value, file.find('\r', value) - value, seed);
  const std::size_t endsec = file.find("\nENDSEC\r\n", file.find("\nENTITIES\r\n"));
  file.insert(file.rfind('\n', endsec - 1) + 1, entities);
  return file;
}

// The next handle given must be above the handles of an old-style polyline's vertices and
// SEQEND too, whatever $HANDSEED says and whether theirs were read or given anew: the
// next entity drawn would otherwise share one and the saved file hold it twice.
TEST(DamagedFile, theNextHandleIsAboveThoseOfPolylineVertices) {
  struct Case {
    const char* what;
    const char* vertex1;
    const char* vertex2;
    const char* seqend;
  };
  const Case cases[] = {
      {"a vertex's above $HANDSEED", "3001", "3002", "110"},
      {"the SEQEND's above $HANDSEED", "111", "112", "5000"},
      {"a vertex sharing the line's handle", "100", "3002", "113"},
      {"two vertices of one handle, above all others", "3001", "3001", "113"},
  };
  for (const Case& c : cases) {
    const std::string entities =
        tags({{0, "LINE"}, {5, "100"}, {8, "0"}, {10, "0"}, {20, "0"}, {30, "0"}, {11, "1"}, {21, "1"}, {31, "0"},
              {0, "POLYLINE"}, {5, "101"}, {8, "0"}, {66, "1"}, {10, "0"}, {20, "0"}, {30, "0"}, {70, "8"},
              {0, "VERTEX"}, {5, c.vertex1}, {8, "0"}, {10, "0"}, {20, "0"}, {30, "1"}, {70, "32"},
              {0, "VERTEX"}, {5, c.vertex2}, {8, "0"}, {10, "5"}, {20, "0"}, {30, "2"}, {70, "32"},
              {0, "SEQEND"}, {5, c.seqend}, {8, "0"}});
    ReadResult r = readDxf(drawingWith(entities, "102"));
    ASSERT_TRUE(r.ok()) << c.what << ": " << r.error;
    db::Database& d = *r.drawing;
    const auto model = entitiesOf(d, d.modelSpace());
    ASSERT_EQ(model.size(), 2u) << c.what;
    ASSERT_EQ(model[1]->kind(), db::EntityKind::heavyPolyline) << c.what;
    std::vector<db::Handle> held{model[0]->handle(), model[1]->handle()};
    for (db::Handle* h : db::Database::subHandles(const_cast<db::Entity&>(*model[1]))) held.push_back(*h);
    ASSERT_EQ(held.size(), 5u) << c.what;
    for (db::Handle h : held) EXPECT_GT(d.handseed(), h) << c.what;
    std::sort(held.begin(), held.end());
    EXPECT_EQ(std::adjacent_find(held.begin(), held.end()), held.end()) << c.what;
  }
}

// A vertex's owner that is not its POLYLINE's handle is said, once, where the polyline is
// read into its kind. Kept as read (a value no number, here one that swallowed the next
// VERTEX's tags, a second handle among them), the polyline keeps its first handle, and
// the owner that names it is right: nothing is said, on reading nor on reading back.
TEST(DamagedFile, aVertexOwnerIsSaidWrongOnlyAgainstThePolylineKept) {
  struct Case {
    const char* what;
    Pairs head;       // the POLYLINE's tags after its handle A0
    bool keptAsRead;  // else read into its kind
    const char* said;  // the finding of the vertex's owner, or nullptr
  };
  const Case cases[] = {
      {"read into its kind, the vertex naming another owner", {{8, "0"}, {66, "1"}, {70, "0"}}, false,
       "VERTEX（句柄 A2）的所有者句柄 B9 不对，已改为 A0"},
      {"kept as read, a swallowed VERTEX's handle among its tags",
       {{8, "0"}, {66, "1"}, {70, "0"}, {90, "VERTEX"}, {5, "A1"}, {8, "0"}, {42, "0.25"}}, true, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string owner = c.said ? "B9" : "A0";
    const std::string entities =
        joined(Pairs{{0, "POLYLINE"}, {5, "A0"}} + c.head +
             Pairs{{0, "VERTEX"}, {5, "A2"}, {330, owner}, {8, "0"}, {10, "1"}, {20, "2"}, {30, "0"}, {70, "0"},
                   {0, "VERTEX"}, {5, "A3"}, {330, owner}, {8, "0"}, {10, "3"}, {20, "4"}, {30, "0"}, {70, "0"},
                   {0, "SEQEND"}, {5, "A4"}, {330, "A0"}, {8, "0"}});
    const ReadResult r = readDxf(drawingWith(entities, "100"));
    ASSERT_TRUE(r.ok()) << r.error;
    const auto model = entitiesOf(*r.drawing, r.drawing->modelSpace());
    ASSERT_FALSE(model.empty());
    EXPECT_EQ(model[0]->kind() == db::EntityKind::unknown, c.keptAsRead);
    std::size_t ownersSaid = 0;
    for (const Finding& f : r.findings) ownersSaid += f.message.find("所有者句柄") != std::string::npos;
    EXPECT_EQ(ownersSaid, c.said ? 2u : 0u);
    if (c.said) {
      EXPECT_TRUE(hasFinding(r, c.said));
    }
    const ReadResult back = readDxf(writeDxfToString(*r.drawing));
    ASSERT_TRUE(back.ok()) << back.error;
    EXPECT_FALSE(hasFinding(back, "所有者句柄"));
  }
}

TEST(DamagedFile, referencesToMissingOrSelfContainingBlocksAreKeptAsRead) {
  const std::string selfBlock =
      tags({{0, "BLOCK"}, {8, "0"}, {2, "LOOP"}, {10, "0"}, {20, "0"}, {30, "0"},
            {0, "INSERT"}, {8, "0"}, {2, "LOOP"}, {10, "0"}, {20, "0"}, {30, "0"},
            {0, "ENDBLK"}, {8, "0"}});
  ReadResult r = readDxf(fileWith(
      tags({{0, "INSERT"}, {8, "0"}, {2, "GHOST"}, {10, "0"}, {20, "0"}, {30, "0"}}), selfBlock));
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_TRUE(hasFinding(r, "GHOST"));
  EXPECT_TRUE(hasFinding(r, "LOOP"));
  auto model = entitiesOf(*r.drawing, r.drawing->modelSpace());
  ASSERT_EQ(model.size(), 1u);
  EXPECT_EQ(model[0]->kind(), db::EntityKind::unknown);
  auto loop = entitiesOf(*r.drawing, *r.drawing->findBlock("LOOP"));
  ASSERT_EQ(loop.size(), 1u);
  EXPECT_EQ(loop[0]->kind(), db::EntityKind::unknown);
}

TEST(DamagedFile, undefinedLayersAndLinetypesAreAddedToTheTables) {
  ReadResult r = readDxf(fileWith(tags({{0, "LINE"}, {8, "NEWLAYER"}, {6, "FANCY"}, {10, "0"}, {20, "0"}})));
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_NE(r.drawing->layers().get("NEWLAYER"), nullptr);
  EXPECT_TRUE(r.drawing->linetypes().get("FANCY"));
  EXPECT_TRUE(hasFinding(r, "NEWLAYER"));

  // A current layer the file never defines: layer 0 is current, said in the user's words.
  const std::string head = tags({{0, "SECTION"}, {2, "HEADER"}, {9, "$ACADVER"}, {1, "AC1015"},
                                 {9, "$CLAYER"}, {8, "GONE"}, {0, "ENDSEC"}});
  r = readDxf(fileWith(kLine, "", head));
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_EQ(r.drawing->header.currentLayer, "0");
  EXPECT_TRUE(hasFinding(r, "当前图层“GONE”在文件中没有定义")) << describe(r);
}

}  // namespace
}  // namespace orv::dxf
