// MTEXT: read into db::MText, written back tag for tag (chunks, column data, an embedded
// object), made anew in pieces of 250 bytes, and kept as read with a finding when the
// model cannot hold its values.
#include <gtest/gtest.h>

#include <algorithm>

#include "dxf_test_util.h"
#include "orv/dxf/reader.h"
#include "orv/dxf/tags.h"
#include "orv/dxf/writer.h"

namespace orv::dxf {
namespace {

using namespace testing;

Pairs mtext(Pairs own) {
  Pairs out{{0, "MTEXT"}, {5, "ABC"}, {330, "1F"}, {100, "AcDbEntity"}, {8, "0"}, {100, "AcDbMText"}};
  out.insert(out.end(), own.begin(), own.end());
  return out;
}

const db::MText* onlyMText(const ReadResult& r) {
  const auto list = entitiesOf(*r.drawing, r.drawing->modelSpace());
  return list.size() == 1 ? list.front()->as<db::MText>() : nullptr;
}

TEST(MTextCodec, readIntoItsKindAndWrittenBackTagForTag) {
  const std::string first(250, 'a');
  struct Case {
    const char* what;
    Pairs tags;
    void (*check)(const db::MText&);
  } cases[] = {
      {"every field as CAD programs write it, content in two chunks, extended data",
       mtext({{10, "1.0"}, {20, "2.0"}, {30, "0.0"}, {40, "2.5"}, {41, "30.0"}, {46, "0.0"}, {71, "5"}, {72, "1"},
              {3, first}, {1, "b\\Pc"}, {7, "CN"}, {210, "0.0"}, {220, "0.0"}, {230, "1.0"}, {11, "0.0"}, {21, "1.0"},
              {31, "0.0"}, {42, "12.5"}, {43, "6.0"}, {50, "90.0"}, {73, "2"}, {44, "1.5"}, {90, "1"}, {63, "3"},
              {45, "1.5"}, {441, "0"}, {1001, "ORV"}, {1000, "note"}}),
       [](const db::MText& m) {
         EXPECT_EQ(m.position, (db::Point3{1, 2, 0}));
         EXPECT_EQ(m.height, 2.5);
         EXPECT_EQ(m.width, 30);
         EXPECT_EQ(m.attachment, db::MTextAttachment::middleCenter);
         EXPECT_EQ(m.content, std::string(250, 'a') + "b\\Pc");
         EXPECT_EQ(m.style, "CN");
         EXPECT_TRUE(m.hasXDirection);
         EXPECT_NEAR(m.angle(), 90, 1e-12);
         EXPECT_EQ(m.lineSpacingStyle, 2);
         EXPECT_EQ(m.lineSpacing, 1.5);
         EXPECT_EQ(m.backgroundFill, 1);
         EXPECT_EQ(m.backgroundColor, 3);
       }},
      {"column data after the fields: its heights (50) are not the rotation",
       mtext({{10, "0.0"}, {20, "0.0"}, {30, "0.0"}, {40, "1.0"}, {41, "10.0"}, {71, "1"}, {72, "5"}, {1, "x"},
              {73, "1"}, {44, "1.0"}, {75, "2"}, {76, "2"}, {78, "0"}, {79, "0"}, {48, "4.0"}, {49, "1.0"},
              {50, "20.0"}, {50, "7.0"}}),
       [](const db::MText& m) {
         EXPECT_EQ(m.rotation, 0);
         EXPECT_EQ(m.drawingDirection, 5);
         EXPECT_EQ(m.content, "x");
       }},
      {"an embedded object of a newer release: its codes are not the text's",
       mtext({{10, "5.0"}, {20, "5.0"}, {30, "0.0"}, {40, "2.0"}, {41, "0.0"}, {71, "7"}, {72, "1"},
              {1, "\xB6\xCE\xC2\xE4\xD2\xBB\\P\xB6\xFE"},  // 段落一\P二 in GBK
              {73, "1"}, {44, "1.0"}, {101, "Embedded Object"}, {70, "1"}, {10, "1.0"}, {20, "0.0"}, {30, "0.0"},
              {11, "9.0"}, {21, "9.0"}, {31, "0.0"}, {40, "99.0"}, {41, "0.0"}, {46, "0.0"}, {71, "3"}}),
       [](const db::MText& m) {
         EXPECT_EQ(m.position, (db::Point3{5, 5, 0}));
         EXPECT_EQ(m.height, 2.0);
         EXPECT_FALSE(m.hasXDirection);
         EXPECT_EQ(m.attachment, db::MTextAttachment::bottomLeft);
         EXPECT_EQ(m.content, "段落一\\P二");
       }},
      {"a short writer's MTEXT: no line spacing, direction or width, a point without z",
       mtext({{10, "3"}, {20, "4"}, {40, "2"}, {1, "{\\H2x;big}"}, {50, "45"}}),
       [](const db::MText& m) {
         EXPECT_EQ(m.position, (db::Point3{3, 4, 0}));
         EXPECT_EQ(m.rotation, 45);
         EXPECT_EQ(m.content, "{\\H2x;big}");
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const ReadResult r = readDxf(fileWith(joined(c.tags)));
    ASSERT_TRUE(r.ok()) << describe(r);
    const db::MText* m = onlyMText(r);
    ASSERT_NE(m, nullptr) << describe(r);
    c.check(*m);
    Pairs back = entityTags(writeDxfToString(*r.drawing), "ABC");
    ASSERT_GT(back.size(), 2u);
    back[2].second = "1F";  // the owner: the writer names model space's record
    EXPECT_EQ(back, c.tags);
  }
}

// A writer that cut an escape of a character between two chunks: the content reads
// whole, and is written in one piece again.
TEST(MTextCodec, aCharacterCutBetweenChunksReadsWhole) {
  const ReadResult r = readDxf(fileWith(joined(mtext({{10, "0"}, {20, "0"}, {40, "2"}, {3, "abc\\U+4E"}, {1, "2Ddef"}}))));
  ASSERT_TRUE(r.ok()) << describe(r);
  const db::MText* m = onlyMText(r);
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->content, "abc中def");
  const Pairs back = entityTags(writeDxfToString(*r.drawing), "ABC");
  EXPECT_EQ(std::count_if(back.begin(), back.end(), [](const auto& t) { return t.first == 3; }), 0);
  EXPECT_NE(std::find(back.begin(), back.end(), std::pair<int, std::string>{1, "abc\xD6\xD0" "def"}), back.end())
      << "one piece, in the file's code page";
}

// Made here or changed: the fields in the order of the description, the content in pieces
// of at most 250 bytes that cut no character; a changed value where the file had it.
TEST(MTextCodec, madeAndChangedAreWrittenAnew) {
  std::string chinese;
  for (int i = 0; i < 120; ++i) chinese += "管道";  // 720 bytes in UTF-8
  db::Database d = db::Database::newDrawing();
  db::MText made = db::makeMText({1, 2, 0}, 3.5, chinese);
  made.width = 40;
  made.rotation = 30;
  made.style = "仿宋";
  ASSERT_TRUE(d.append(db::Entity(made)));
  const std::string file = writeDxfToString(d);
  const ReadResult r = readDxf(file);
  ASSERT_TRUE(r.ok()) << describe(r);
  const db::MText* m = onlyMText(r);
  ASSERT_NE(m, nullptr) << describe(r);
  EXPECT_TRUE(*m == made);
  std::vector<int> codes;
  bool inMText = false;
  for (const auto& [code, value] : tagsOfFile(file)) {
    if (code == 0) inMText = value == "MTEXT";
    if (!inMText) continue;
    if (code == 3 || code == 1) {
      EXPECT_EQ(value.size() % 2, 0u) << "a character cut: " << value;
    }
    if (code == 3) codes.push_back(code);
  }
  EXPECT_GE(codes.size(), 2u) << "long content is cut into pieces";

  // Read back and changed: the height where the file had it, the content anew.
  ReadResult again = readDxf(fileWith(joined(mtext({{10, "0.0"}, {20, "0.0"}, {30, "0.0"}, {40, "2.0"},
                                                           {1, "old"}, {7, "Standard"}, {50, "0.0"}}))));
  ASSERT_TRUE(again.ok());
  db::Database& changed = *again.drawing;
  db::ObjectId id;
  changed.forEachEntity(changed.modelSpace(), [&](db::ObjectId i, const db::Entity&) { id = i; });
  ASSERT_FALSE(id.isNull());
  db::Entity e = *changed.entity(id);
  e.as<db::MText>()->height = 5;
  e.as<db::MText>()->content = "new";
  e.as<db::MText>()->attachment = db::MTextAttachment::bottomRight;
  ASSERT_EQ(changed.replace(id, std::move(e)), db::Status::ok);
  Pairs back = entityTags(writeDxfToString(changed), "ABC");
  ASSERT_GT(back.size(), 2u);
  back[2].second = "1F";
  EXPECT_EQ(back,
            mtext({{10, "0.0"}, {20, "0.0"}, {30, "0.0"}, {40, "5.0"}, {1, "new"}, {7, "Standard"}, {50, "0.0"},
                   {71, "9"}}));
}

TEST(MTextCodec, whatCannotBeHeldIsKeptAsReadAndSaidSo) {
  struct Case {
    const char* what;
    Pairs tags;
    const char* finding;
  } cases[] = {
      {"a height that is no number", mtext({{10, "0"}, {20, "0"}, {40, "abc"}, {1, "x"}}), "有数值无法读出"},
      {"an attachment out of range", mtext({{10, "0"}, {20, "0"}, {40, "1"}, {71, "12"}, {1, "x"}}), "附着点超出范围"},
      {"a negative height", mtext({{10, "0"}, {20, "0"}, {40, "-1"}, {1, "x"}}), "超出范围"},
      {"a line spacing of nothing", mtext({{10, "0"}, {20, "0"}, {40, "1"}, {1, "x"}, {44, "0"}}), "超出范围"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string file = fileWith(joined(c.tags));
    const ReadResult r = readDxf(file);
    ASSERT_TRUE(r.ok()) << describe(r);
    const auto list = entitiesOf(*r.drawing, r.drawing->modelSpace());
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list.front()->kind(), db::EntityKind::unknown);
    EXPECT_TRUE(hasFindingOf(r, c.finding)) << describe(r);
    Pairs back = entityTags(writeDxfToString(*r.drawing), "ABC");
    ASSERT_GT(back.size(), 2u);
    back[2].second = "1F";
    EXPECT_EQ(back, c.tags) << "kept as read";
  }
}

}  // namespace
}  // namespace orv::dxf
