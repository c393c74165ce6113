// Files as other programs write them: a header dxflib ends early, z scales of 0, R12 layouts and arrow blocks, split MTEXT chunks joined, wrong owners and undefined styles.
#include <gtest/gtest.h>

#include "dxf_test_util.h"
#include "orv/dxf/writer.h"

namespace orv::dxf {
namespace {

using namespace testing;

bool hasFinding(const ReadResult& r, const std::string& part) {
  for (const Finding& f : r.findings)
    if (f.message.find(part) != std::string::npos) return true;
  return false;
}

// The kept tags of the first model-space entity of a type.
std::string valuesOf(const db::RawTags& tags, int code) {
  std::string out;
  for (db::RawTag t : tags)
    if (t.code == code) out += std::string(t.value) + "|";
  return out;
}

TEST(OtherWriters, aHeaderThatEndsBeforeItsLastVariablesIsReadWhole) {
  // Old dxflib: ENDSEC after $HANDSEED, then the application's variables and ENDSEC.
  const std::string head = tags({{0, "SECTION"}, {2, "HEADER"}, {9, "$ACADVER"}, {1, "AC1015"},
                                 {9, "$HANDSEED"}, {5, "FFFF"}, {0, "ENDSEC"}, {9, "$INSUNITS"},
                                 {70, "6"}, {9, "$LTSCALE"}, {40, "2.5"}, {9, "$DIMASZ"}, {40, "2.5"},
                                 {0, "ENDSEC"}});
  ReadResult r = readDxf(fileWith(tags({{0, "LINE"}, {8, "0"}, {10, "0"}, {20, "0"}, {11, "1"}, {21, "1"}}), "", head));
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_TRUE(r.findings.empty()) << describe(r);
  EXPECT_EQ(r.drawing->header.insertionUnits, 6);
  EXPECT_DOUBLE_EQ(r.drawing->header.linetypeScale, 2.5);
  EXPECT_EQ(valuesOf(r.drawing->header.others, 9), "$DIMASZ|");
  EXPECT_EQ(entitiesOf(*r.drawing, r.drawing->modelSpace()).size(), 1u);
}

TEST(OtherWriters, aReferenceWithZScaleZeroIsModeledAndKeepsIt) {
  const std::string block = tags({{0, "BLOCK"}, {8, "0"}, {2, "B"}, {70, "0"}, {10, "0"}, {20, "0"}, {30, "0"},
                                  {0, "CIRCLE"}, {8, "0"}, {10, "0"}, {20, "0"}, {40, "1"}, {0, "ENDBLK"}});
  ReadResult r = readDxf(fileWith(tags({{0, "INSERT"}, {8, "0"}, {2, "B"}, {10, "5"}, {20, "5"}, {30, "0"},
                                        {41, "2"}, {42, "2"}, {43, "0"}}), block));
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_TRUE(r.findings.empty()) << describe(r);
  const auto all = entitiesOf(*r.drawing, r.drawing->modelSpace());
  ASSERT_EQ(all.size(), 1u);
  const auto* ref = all[0]->as<db::BlockReference>();
  ASSERT_NE(ref, nullptr);
  EXPECT_EQ(ref->zScale, 0.0);
  EXPECT_NE(writeDxfToString(*r.drawing).find(" 43\r\n0.0\r\n"), std::string::npos);
}

TEST(OtherWriters, r12LayoutBlocksAreTheLayoutsAndArrowNamesPointAtTheirBlocks) {
  const std::string blocks =
      tags({{0, "BLOCK"}, {8, "0"}, {2, "$MODEL_SPACE"}, {70, "0"}, {10, "0"}, {20, "0"}, {30, "0"}, {3, "$MODEL_SPACE"},
            {0, "ENDBLK"}, {0, "BLOCK"}, {8, "0"}, {2, "$PAPER_SPACE"}, {70, "0"}, {10, "0"}, {20, "0"}, {30, "0"},
            {0, "ENDBLK"}, {0, "BLOCK"}, {8, "0"}, {2, "_ARCHTICK"}, {70, "0"}, {10, "0"}, {20, "0"}, {30, "0"},
            {0, "LINE"}, {8, "0"}, {10, "-0.5"}, {20, "-0.5"}, {11, "0.5"}, {21, "0.5"}, {0, "ENDBLK"}});
  const std::string tables =
      tags({{0, "SECTION"}, {2, "TABLES"}, {0, "TABLE"}, {2, "DIMSTYLE"}, {70, "1"}, {0, "DIMSTYLE"},
            {105, "2B"}, {2, "ARCH"}, {70, "0"}, {3, ""}, {5, "ARCHTICK"}, {6, "NOSUCHARROW"}, {7, ""},
            {40, "1.0"}, {0, "ENDTAB"}, {0, "ENDSEC"}});
  ReadResult r = readDxf(fileWith("", blocks, header("AC1009", "ANSI_1252") + tables));
  ASSERT_TRUE(r.ok()) << r.error;
  const db::Database& d = *r.drawing;
  EXPECT_FALSE(d.findBlock("$MODEL_SPACE"));
  EXPECT_FALSE(d.findBlock("$PAPER_SPACE"));
  const auto arrow = d.findBlock("_ARCHTICK");
  ASSERT_TRUE(arrow);
  const db::SymbolRecord* style = d.keptTable(db::KeptTable::dimstyle).get("ARCH");
  ASSERT_NE(style, nullptr);
  EXPECT_EQ(style->handle, 0x2Bu);  // 105 is the handle; 5 was the arrow
  EXPECT_EQ(valuesOf(style->extras, 342), formatHandle(d.block(*arrow).recordHandle) + "|");
  EXPECT_EQ(valuesOf(style->extras, 5), "");
  // No such block: left out (no later release reads the names, and our own file would
  // be doubted again on every open), and said.
  EXPECT_EQ(valuesOf(style->extras, 6), "");
  EXPECT_TRUE(hasFinding(r, "NOSUCHARROW"));
}

// The tags of the first MTEXT of a file as written.
Pairs writtenMText(const db::Database& d) {
  Pairs out;
  bool in = false;
  for (const auto& t : tagsOfFile(writeDxfToString(d))) {
    if (t.first == 0) in = t.second == "MTEXT" && out.empty();
    if (in) out.push_back(t);
  }
  return out;
}

std::string writtenValues(const Pairs& tags, int code) {
  std::string out;
  for (const auto& [c, v] : tags)
    if (c == code) out += v + "|";
  return out;
}

TEST(OtherWriters, mtextChunksCutInsideACharacterOrEscapeAreJoined) {
  struct Case {
    const char* what;
    std::string first, last;
    std::string text;  // the whole, decoded
  } cases[] = {
      {"a GBK character cut", "ab\xB9", "\xDC" "cd", "ab\xE7\xAE\xA1" "cd"},     // 管
      {"an escape cut", "ab\\U+7B", "A1cd", "ab\xE7\xAE\xA1" "cd"},
      {"nothing cut", "plain ", "text", "plain text"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ReadResult r = readDxf(fileWith(tags({{0, "MTEXT"}, {8, "0"}, {100, "AcDbMText"}, {10, "0"}, {20, "0"},
                                          {40, "2.5"}, {3, c.first}, {1, c.last}, {7, "Standard"}})));
    ASSERT_TRUE(r.ok()) << r.error;
    const auto list = entitiesOf(*r.drawing, r.drawing->modelSpace());
    ASSERT_EQ(list.size(), 1u);
    const db::MText* m = list.front()->as<db::MText>();
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->content, c.text);
    const Pairs written = writtenMText(*r.drawing);
    ASSERT_FALSE(written.empty());
    EXPECT_EQ(written.back(), (std::pair<int, std::string>{7, "Standard"}));  // what follows stays in place
    if (c.what == std::string("nothing cut")) {
      EXPECT_EQ(writtenValues(written, 3), "plain |");
      EXPECT_EQ(writtenValues(written, 1), "text|");
    }
  }
  // Long text is cut again at 250 bytes, never inside a character.
  std::string longText;
  for (int i = 0; i < 200; ++i) longText += "\xB9\xDC";  // 200 × 管 in GBK
  ReadResult r = readDxf(fileWith(tags({{0, "MTEXT"}, {8, "0"}, {10, "0"}, {20, "0"}, {40, "1"},
                                        {3, longText.substr(0, 249)}, {1, longText.substr(249)}})));
  ASSERT_TRUE(r.ok()) << r.error;
  std::size_t pieces = 0;
  for (const auto& [code, value] : writtenMText(*r.drawing)) {
    if (code != 3 && code != 1) continue;
    ++pieces;
    EXPECT_LE(value.size(), 250u);
    EXPECT_EQ(value.size() % 2, 0u);  // whole characters of the code page
  }
  EXPECT_EQ(pieces, 3u);
}

TEST(OtherWriters, wrongOwnersAndUndefinedStylesAreRepairedAndSaid) {
  const std::string block = tags({{0, "BLOCK"}, {8, "0"}, {2, "B"}, {70, "2"}, {10, "0"}, {20, "0"}, {30, "0"},
                                  {0, "ATTDEF"}, {8, "0"}, {10, "0"}, {20, "0"}, {40, "1"}, {1, ""}, {3, "?"},
                                  {2, "TAG"}, {70, "0"}, {0, "ENDBLK"}});
  const std::string entities =
      tags({{0, "INSERT"}, {5, "50"}, {8, "0"}, {66, "1"}, {2, "B"}, {10, "0"}, {20, "0"}, {30, "0"},
            {0, "ATTRIB"}, {5, "51"}, {330, "FFF0"}, {8, "0"}, {10, "0"}, {20, "0"}, {40, "1"}, {1, "V"},
            {2, "TAG"}, {70, "0"}, {0, "SEQEND"}, {5, "52"}, {8, "0"},
            {0, "TEXT"}, {5, "53"}, {330, "FFF2"}, {8, "\xD7\xA2\xCA\xCD"},  // 注释 in GBK {10, "0"}, {20, "0"}, {40, "1"}, {1, "T"},
            {7, "NOSUCH"}, {0, "DIMENSION"}, {5, "54"}, {8, "0"}, {2, "*D1"}, {3, "NODIMSTYLE"},
            {10, "0"}, {20, "0"}});
  ReadResult r = readDxf(fileWith(entities, block));
  ASSERT_TRUE(r.ok()) << r.error;
  const db::Database& d = *r.drawing;
  EXPECT_TRUE(hasFinding(r, "ATTRIB（句柄 51）的所有者句柄 FFF0 不对，已改为 50")) << describe(r);
  EXPECT_TRUE(hasFinding(r, "TEXT（句柄 53）的所有者句柄 FFF2 不对"));
  EXPECT_FALSE(hasFinding(r, "SEQEND"));  // it had none: given its INSERT, without a word
  EXPECT_TRUE(hasFinding(r, "文字样式“NOSUCH”"));
  EXPECT_TRUE(hasFinding(r, "标注样式“NODIMSTYLE”"));
  EXPECT_TRUE(hasFinding(r, "图层“注释”"));
  EXPECT_TRUE(d.textStyles().get("NOSUCH"));
  EXPECT_TRUE(d.keptTable(db::KeptTable::dimstyle).get("NODIMSTYLE"));
  EXPECT_TRUE(d.layers().get("注释"));
  const std::string written = writeDxfToString(d);
  EXPECT_NE(written.find("ATTRIB\r\n  5\r\n51\r\n330\r\n50\r\n"), std::string::npos);
  EXPECT_NE(written.find("SEQEND\r\n  5\r\n52\r\n330\r\n50\r\n"), std::string::npos);
  // Read again, nothing is left to repair.
  ReadResult again = readDxf(written);
  ASSERT_TRUE(again.ok()) << again.error;
  EXPECT_TRUE(again.findings.empty()) << describe(again);
}

// Texts that name their block's record as owner, as most writers do, keep nothing beside
// the model for it; a wrong owner is still said, and an attribute's is its reference's.
TEST(OtherWriters, textsOwnedByTheirBlockKeepNoTagForIt) {
  const auto hex = [](db::Handle h) {
    char buffer[20];
    std::snprintf(buffer, sizeof buffer, "%llX", static_cast<unsigned long long>(h));
    return std::string(buffer);
  };
  const auto blockWith = [](const std::string& inside) {
    return tags({{0, "BLOCK"}, {8, "0"}, {2, "B"}, {70, "2"}, {10, "0"}, {20, "0"}, {30, "0"}, {3, "B"}}) + inside +
           tags({{0, "ENDBLK"}, {8, "0"}});
  };
  // A file with handles on its block records, as other programs write them: ours.
  const ReadResult shaped = readDxf(fileWith("", blockWith("")));
  ASSERT_TRUE(shaped.ok()) << shaped.error;
  const std::string base = writeDxfToString(*shaped.drawing);
  const ReadResult shape = readDxf(base);
  ASSERT_TRUE(shape.ok()) << shape.error;
  const db::Database& s = *shape.drawing;
  const std::string model = hex(s.block(s.modelSpace()).recordHandle);
  const std::string paper = hex(s.block(s.paperSpace()).recordHandle);
  const std::string block = hex(s.block(*s.findBlock("B")).recordHandle);
  const auto text = [](const std::string& handle, const std::string& owner, bool inPaper = false) {
    return tags({{0, "TEXT"}, {5, handle}, {330, owner}, {100, "AcDbEntity"}}) + (inPaper ? tags({{67, "1"}}) : "") +
           tags({{8, "0"}, {100, "AcDbText"}, {10, "0"}, {20, "0"}, {40, "1"}, {1, "T"}, {100, "AcDbText"}});
  };
  const std::string entities =
      text("60", model) + text("61", paper, true) + text("62", "FFF3") + text("63", block) +
      tags({{0, "INSERT"}, {5, "64"}, {8, "0"}, {66, "1"}, {2, "B"}, {10, "0"}, {20, "0"}, {0, "ATTRIB"}, {5, "65"},
            {330, "64"}, {8, "0"}, {10, "0"}, {20, "0"}, {40, "1"}, {1, "V"}, {2, "TAG"}, {70, "0"}, {0, "SEQEND"},
            {5, "66"}, {330, "64"}, {8, "0"}});
  const std::string attdef = tags({{0, "ATTDEF"}, {5, "70"}, {330, block}, {8, "0"}, {10, "0"}, {20, "0"}, {40, "1"},
                                   {1, ""}, {3, "?"}, {2, "TAG"}, {70, "0"}});
  std::string file = base;
  file.insert(file.find("ENTITIES\r\n") + 10, entities);
  file.insert(file.rfind("  0\r\nENDBLK", file.find("ENTITIES\r\n")), attdef);
  const ReadResult r = readDxf(file);
  ASSERT_TRUE(r.ok()) << r.error;
  const db::Database& d = *r.drawing;
  struct Expect {
    db::Handle handle;
    bool keepsOwner;
  };
  for (const Expect& e : {Expect{0x60, false}, Expect{0x61, false}, Expect{0x62, true}, Expect{0x63, true},
                          Expect{0x65, true}, Expect{0x70, false}}) {
    SCOPED_TRACE(e.handle);
    std::optional<db::ObjectId> id;
    for (std::uint32_t k = 0; k < d.blockCount(); ++k)
      for (db::ObjectId i : d.block(db::BlockId{k}).entities)
        if (d.entity(i)->handle() == e.handle) id = i;
    ASSERT_TRUE(id);
    const db::RawTags* kept = d.entityExtras(*id);
    EXPECT_EQ(kept != nullptr && !valuesOf(*kept, 330).empty(), e.keepsOwner);
  }
  EXPECT_TRUE(hasFinding(r, "TEXT（句柄 62）的所有者句柄 FFF3 不对")) << describe(r);
  EXPECT_TRUE(hasFinding(r, "TEXT（句柄 63）的所有者句柄 " + block + " 不对")) << describe(r);
  EXPECT_FALSE(hasFinding(r, "句柄 60")) << describe(r);
  EXPECT_FALSE(hasFinding(r, "句柄 61"));
  EXPECT_FALSE(hasFinding(r, "句柄 65"));
  EXPECT_FALSE(hasFinding(r, "句柄 70"));
  // Saved, each is written owned by its block (or its reference): read back, nothing is said.
  const std::string written = writeDxfToString(d);
  const ReadResult again = readDxf(written);
  ASSERT_TRUE(again.ok()) << again.error;
  EXPECT_TRUE(again.findings.empty()) << describe(again);
}

TEST(OtherWriters, objectsOwnedByNothingGoToTheRootDictionary) {
  const std::string objects =
      tags({{0, "SECTION"}, {2, "OBJECTS"}, {0, "DICTIONARY"}, {5, "A"}, {330, "0"}, {100, "AcDbDictionary"},
            {0, "XRECORD"}, {5, "31"}, {102, "{ACAD_REACTORS"}, {330, "ABCD"}, {102, "}"}, {330, "ABCD"},
            {100, "AcDbXrecord"}, {1, "orphan"}, {0, "XRECORD"}, {5, "32"}, {330, "50"}, {100, "AcDbXrecord"},
            {1, "the line's"}, {0, "ENDSEC"}});
  const std::string line = tags({{0, "LINE"}, {5, "50"}, {8, "0"}, {10, "0"}, {20, "0"}, {11, "1"}, {21, "1"}});
  std::string file = fileWith(line);
  file.insert(file.rfind("0\nEOF"), objects);
  ReadResult r = readDxf(file);
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_TRUE(hasFinding(r, "XRECORD（句柄 31）的所有者句柄 ABCD 不存在，已改为根字典 A")) << describe(r);
  EXPECT_FALSE(hasFinding(r, "句柄 32"));  // an entity owns it: that is right
  // The owner changed; the reactor inside its group stays as it was.
  EXPECT_EQ(valuesOf(r.drawing->objects, 330), "0|ABCD|A|50|");
}

}  // namespace
}  // namespace orv::dxf

namespace orv::dxf {
namespace {

TEST(OtherWriters, objectsNamedByADictionaryAreOwnedByItAndEntriesToNothingGo) {
  // The root owned by a dictionary; a LAYOUT and an MLINESTYLE owned by the root though
  // their dictionaries name them; an IMAGEDEF without an owner; an entry to nothing.
  const std::string objects = tags({
      {0, "SECTION"}, {2, "OBJECTS"},
      {0, "DICTIONARY"}, {5, "C"}, {330, "D"}, {100, "AcDbDictionary"}, {3, "ACAD_LAYOUT"}, {350, "D"},
      {3, "ACAD_MLINESTYLE"}, {350, "E"}, {3, "FBXASSET"}, {350, "9999"},
      {0, "DICTIONARY"}, {5, "D"}, {330, "C"}, {100, "AcDbDictionary"}, {3, "Layout1"}, {350, "20"},
      {0, "DICTIONARY"}, {5, "E"}, {330, "C"}, {100, "AcDbDictionary"}, {3, "Standard"}, {350, "21"},
      {3, "IMG"}, {350, "22"},
      {0, "LAYOUT"}, {5, "20"}, {330, "C"}, {100, "AcDbPlotSettings"},
      {0, "MLINESTYLE"}, {5, "21"}, {102, "{ACAD_REACTORS"}, {330, "E"}, {102, "}"}, {330, "C"},
      {100, "AcDbMlineStyle"},
      {0, "IMAGEDEF"}, {5, "22"}, {100, "AcDbRasterImageDef"},
      {0, "ENDSEC"}});
  std::string file = fileWith(tags({{0, "LINE"}, {5, "50"}, {8, "0"}, {10, "0"}, {20, "0"}, {11, "1"}, {21, "1"}}));
  file.insert(file.rfind("0\nEOF"), objects);
  ReadResult r = readDxf(file);
  ASSERT_TRUE(r.ok()) << r.error;
  for (const char* finding : {"DICTIONARY（句柄 C）的所有者句柄 D 不对，已改为 0", "LAYOUT（句柄 20）的所有者句柄 C 不对，已改为 D",
                              "MLINESTYLE（句柄 21）的所有者句柄 C 不对，已改为 E",
                              "IMAGEDEF（句柄 22）的所有者句柄 无 不对，已改为 E", "条目“FBXASSET”指向不存在的对象 9999"})
    EXPECT_TRUE(hasFinding(r, finding)) << finding << "\n" << describe(r);
  // The reactor inside its group stays; the entry to nothing is gone with its key.
  EXPECT_EQ(valuesOf(r.drawing->objects, 330), "0|C|C|D|E|E|E|");
  EXPECT_EQ(valuesOf(r.drawing->objects, 3), "ACAD_LAYOUT|ACAD_MLINESTYLE|Layout1|Standard|IMG|");
  // Saved and read again, nothing is left to repair in the objects.
  ReadResult again = readDxf(writeDxfToString(*r.drawing));
  ASSERT_TRUE(again.ok()) << again.error;
  EXPECT_FALSE(hasFinding(again, "所有者句柄")) << describe(again);
  EXPECT_FALSE(hasFinding(again, "字典")) << describe(again);
}

TEST(OtherWriters, theObjectsADictionaryWithADefaultNamesAreOwnedByIt) {
  // As LibreCAD's library drawings hold the plot style names: the placeholder without an
  // owner, named by the dictionary with a default (and its default).
  const std::string objects = tags({
      {0, "SECTION"}, {2, "OBJECTS"},
      {0, "DICTIONARY"}, {5, "C"}, {100, "AcDbDictionary"}, {3, "ACAD_PLOTSTYLENAME"}, {350, "E"},
      {0, "ACDBDICTIONARYWDFLT"}, {5, "E"}, {100, "AcDbDictionary"}, {281, "1"}, {3, "Normal"}, {350, "F"},
      {100, "AcDbDictionaryWithDefault"}, {340, "F"},
      {0, "ACDBPLACEHOLDER"}, {5, "F"},
      {0, "ENDSEC"}});
  std::string file = fileWith("");
  file.insert(file.rfind("0\nEOF"), objects);
  ReadResult r = readDxf(file);
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_TRUE(hasFinding(r, "ACDBPLACEHOLDER（句柄 F）的所有者句柄 无 不对，已改为 E")) << describe(r);
  EXPECT_TRUE(hasFinding(r, "ACDBDICTIONARYWDFLT（句柄 E）的所有者句柄 无 不对，已改为 C")) << describe(r);
  ReadResult again = readDxf(writeDxfToString(*r.drawing));
  ASSERT_TRUE(again.ok()) << again.error;
  EXPECT_FALSE(hasFinding(again, "所有者句柄")) << describe(again);
}

}  // namespace
}  // namespace orv::dxf

namespace orv::dxf {
namespace {

TEST(OtherWriters, namesNoCadProgramAcceptsAreChangedWithEverythingThatNamesThem) {
  const std::string head =
      tags({{0, "SECTION"}, {2, "HEADER"}, {9, "$ACADVER"}, {1, "AC1015"}, {9, "$DWGCODEPAGE"}, {3, "ANSI_936"},
                       {9, "$CLAYER"}, {8, "a?b"}, {0, "ENDSEC"}, {0, "SECTION"}, {2, "TABLES"}, {0, "TABLE"}, {2, "LAYER"}, {70, "3"},
                       {0, "LAYER"}, {2, "a?b"}, {70, "0"}, {62, "3"}, {6, "CONTINUOUS"},
                       {0, "LAYER"}, {2, "a_b"}, {70, "0"}, {62, "4"}, {6, "CONTINUOUS"},
                       {0, "LAYER"}, {2, "*ADSK_SYSTEM"}, {70, "0"}, {62, "7"}, {6, "CONTINUOUS"},
                       {0, "ENDTAB"}, {0, "TABLE"}, {2, "STYLE"}, {70, "1"},
                       {0, "STYLE"}, {2, "s:1/<x>"}, {70, "0"}, {40, "0"}, {41, "1"}, {3, "txt"},
                       {0, "ENDTAB"}, {0, "ENDSEC"}});
  const std::string entities =
      tags({{0, "LINE"}, {8, "A?B"}, {10, "0"}, {20, "0"}, {11, "1"}, {21, "1"},
            {0, "TEXT"}, {8, "a?b"}, {7, "S:1/<X>"}, {10, "0"}, {20, "0"}, {40, "2"}, {1, "hi"}});
  ReadResult r = readDxf(fileWith(entities, "", head));
  ASSERT_TRUE(r.ok()) << r.error;
  const db::Database& d = *r.drawing;
  for (const char* finding : {"图层名“a?b”含有 CAD 程序不接受的字符，已改为“a_b_2”",
                              "文字样式名“s:1/<x>”含有 CAD 程序不接受的字符，已改为“s_1__x_”"})
    EXPECT_TRUE(hasFinding(r, finding)) << finding << describe(r);
  EXPECT_FALSE(hasFinding(r, "ADSK")) << describe(r);
  EXPECT_TRUE(d.layers().get("a_b_2"));
  EXPECT_EQ(d.layers().get("a_b")->color, 4);
  EXPECT_FALSE(d.layers().get("a?b"));
  EXPECT_EQ(d.header.currentLayer, "a_b_2");
  const auto drawn = entitiesOf(d, d.modelSpace());
  ASSERT_EQ(drawn.size(), 2u);
  EXPECT_EQ(d.name(drawn[0]->layer), "a_b_2");
  // Saved and read again: the new names hold, the kept TEXT's too, and nothing is left to change.
  const std::string written = writeDxfToString(d);
  EXPECT_EQ(written.find("a?b"), std::string::npos);
  EXPECT_NE(written.find("TEXT\r\n  5\r\n"), std::string::npos);
  EXPECT_NE(written.find("  8\r\na_b_2\r\n", written.find("TEXT\r\n  5\r\n")), std::string::npos);
  EXPECT_NE(written.find("  7\r\ns_1__x_\r\n"), std::string::npos);
  ReadResult again = readDxf(written);
  ASSERT_TRUE(again.ok()) << again.error;
  EXPECT_FALSE(hasFinding(again, "不接受的字符")) << describe(again);
}

}  // namespace
}  // namespace orv::dxf

namespace orv::dxf {
namespace {

TEST(OtherWriters, anEndblkOfNoBlockIsLeftOutWithAFinding) {
  // LibreDWG ends the paper space block twice.
  const std::string blocks =
      tags({{0, "BLOCK"}, {8, "0"}, {2, "Part"}, {70, "0"}, {10, "0"}, {20, "0"}, {30, "0"}, {3, "Part"},
            {0, "LINE"}, {8, "0"}, {10, "0"}, {20, "0"}, {11, "1"}, {21, "0"}, {0, "ENDBLK"}, {5, "1D"},
            {8, "0"}, {0, "ENDBLK"}, {5, "31"}, {330, "1B"}, {100, "AcDbEntity"}, {8, "0"}, {100, "AcDbBlockEnd"}});
  ReadResult r = readDxf(fileWith(tags({{0, "INSERT"}, {8, "0"}, {2, "Part"}, {10, "0"}, {20, "0"}}), blocks));
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_TRUE(hasFinding(r, "多余的 ENDBLK")) << describe(r);
  ASSERT_TRUE(r.drawing->findBlock("Part"));
  EXPECT_EQ(r.drawing->block(*r.drawing->findBlock("Part")).entities.size(), 1u);
}

}  // namespace
}  // namespace orv::dxf
