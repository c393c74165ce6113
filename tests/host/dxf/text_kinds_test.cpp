// One-line text (TEXT, ATTDEF, ATTRIB): read into db::Text, written back tag for tag, an
// attribute owned by the reference it follows, and text the model cannot hold kept as read.
#include <gtest/gtest.h>

#include "dxf_test_util.h"
#include "orv/dxf/reader.h"
#include "orv/dxf/tags.h"
#include "orv/dxf/writer.h"

namespace orv::dxf {
namespace {

using namespace testing;

Pairs entity(const char* type, const char* handle, const char* owner, Pairs own) {
  Pairs out{{0, type}, {5, handle}, {330, owner}, {100, "AcDbEntity"}, {8, "0"}};
  out.insert(out.end(), own.begin(), own.end());
  return out;
}

db::Text text(db::Text::Type type, db::Point3 at, double height, std::string value) {
  db::Text t = db::makeText(at, height, std::move(value));
  t.type = type;
  t.alignPoint = {};
  return t;
}

TEST(TextKinds, readIntoTheirKindAndWrittenBackTagForTag) {
  using T = db::Text::Type;
  struct Case {
    const char* what;
    Pairs tags;
    db::Text expected;
  };
  db::Text centred = text(T::text, {1, 2, 0}, 2.5, "ABC %%c");
  centred.rotation = 30;
  centred.widthFactor = 0.8;
  centred.oblique = 15;
  centred.style = "CN";
  centred.generation = 2;
  centred.hAlign = db::TextHAlign::center;
  centred.alignPoint = {5, 6, 0};
  centred.hasAlignPoint = true;
  centred.vAlign = db::TextVAlign::middle;
  db::Text plain = text(T::text, {7.5, 8, 0}, 3.5, "A");
  db::Text definition = text(T::attdef, {0, 0, 0}, 2, "D");
  definition.prompt = "NO?";
  definition.tag = "NO";
  definition.flags = 8;
  definition.fieldLength = 0;
  definition.vAlign = db::TextVAlign::top;
  definition.thickness = 1;
  definition.extrusion = {0, 0, -1};
  Case cases[] = {
      {"text with every field, as CAD programs write it",
       entity("TEXT", "ABC", "1F",
              {{100, "AcDbText"}, {10, "1.0"}, {20, "2.0"}, {30, "0.0"}, {40, "2.5"}, {1, "ABC %%c"},
               {50, "30.0"}, {41, "0.8"}, {51, "15.0"}, {7, "CN"}, {71, "2"}, {72, "1"}, {11, "5.0"},
               {21, "6.0"}, {31, "0.0"}, {100, "AcDbText"}, {73, "2"}, {1001, "ORV"}, {1000, "note"}}),
       centred},
      {"text that gives its defaults, a point without z and an unknown code",
       entity("TEXT", "ABC", "1F",
              {{100, "AcDbText"}, {10, "7.5"}, {20, "8.0"}, {40, "3.5"}, {1, "A"}, {50, "0"}, {7, "Standard"},
               {72, "0"}, {78, "5"}, {100, "AcDbText"}, {73, "0"}}),
       plain},
      {"attribute definition: version before its prompt, lock after its alignment",
       entity("ATTDEF", "ABC", "1F",
              {{100, "AcDbText"}, {39, "1.0"}, {10, "0.0"}, {20, "0.0"}, {30, "0.0"}, {40, "2.0"}, {1, "D"},
               {210, "0.0"}, {220, "0.0"}, {230, "-1.0"}, {100, "AcDbAttributeDefinition"}, {280, "0"},
               {3, "NO?"}, {2, "NO"}, {70, "8"}, {73, "0"}, {74, "3"}, {280, "1"}}),
       definition},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.what);
    const ReadResult r = readDxf(fileWith(joined(c.tags)));
    ASSERT_TRUE(r.ok()) << describe(r);
    const auto list = entitiesOf(*r.drawing, r.drawing->modelSpace());
    ASSERT_EQ(list.size(), 1u);
    const db::Text* t = list.front()->as<db::Text>();
    ASSERT_NE(t, nullptr) << describe(r);
    EXPECT_TRUE(*t == c.expected);
    const std::string written = writeDxfToString(*r.drawing);
    Pairs back = entityTags(written, "ABC");
    ASSERT_GT(back.size(), 2u);
    back[2].second = "1F";  // the owner: the writer names model space's record
    EXPECT_EQ(back, c.tags);
  }
  // Chinese text: written in the file's code page, read back the same.
  db::Database d = db::Database::newDrawing();
  db::Text chinese = db::makeText({0, 0, 0}, 3, "管道 DN100");
  chinese.style = "仿宋";
  ASSERT_TRUE(d.append(db::Entity(chinese)));
  const ReadResult r = readDxf(writeDxfToString(d));
  ASSERT_TRUE(r.ok()) << describe(r);
  const auto list = entitiesOf(*r.drawing, r.drawing->modelSpace());
  ASSERT_EQ(list.size(), 1u);
  ASSERT_NE(list.front()->as<db::Text>(), nullptr);
  EXPECT_EQ(list.front()->as<db::Text>()->value, "管道 DN100");
  EXPECT_EQ(list.front()->as<db::Text>()->style, "仿宋");
}

// A block with one attribute definition and a reference to it with its attribute (with a
// newer release's embedded object) and SEQEND: the attribute is typed, owned by the
// reference, and written back as read.
TEST(TextKinds, anAttributeIsOwnedByTheReferenceBeforeIt) {
  const std::string blocks = joined({{0, "BLOCK"}, {5, "20"}, {100, "AcDbEntity"}, {8, "0"}, {100, "AcDbBlockBegin"},
                                     {2, "B"}, {70, "2"}, {10, "0.0"}, {20, "0.0"}, {30, "0.0"}, {3, "B"}}) +
                             joined(entity("ATTDEF", "21", "1F",
                                           {{100, "AcDbText"}, {10, "0.0"}, {20, "0.0"}, {30, "0.0"}, {40, "1.0"},
                                            {1, ""}, {100, "AcDbAttributeDefinition"}, {3, "P"}, {2, "T"}, {70, "0"}})) +
                             joined({{0, "ENDBLK"}, {5, "22"}, {100, "AcDbEntity"}, {8, "0"}, {100, "AcDbBlockEnd"}});
  const Pairs attrib = entity("ATTRIB", "31", "30",
                              {{100, "AcDbText"}, {10, "5.0"}, {20, "5.0"}, {30, "0.0"}, {40, "1.0"}, {1, "V-101"},
                               {100, "AcDbAttribute"}, {280, "0"}, {2, "T"}, {70, "0"}, {101, "Embedded Object"},
                               {10, "5.0"}, {20, "5.0"}, {30, "0.0"}, {40, "1.0"}, {1, "V-101"}});
  const std::string entities =
      joined(entity("INSERT", "30", "1F",
                    {{100, "AcDbBlockReference"}, {66, "1"}, {2, "B"}, {10, "5.0"}, {20, "5.0"}, {30, "0.0"}})) +
      joined(attrib) + joined(entity("SEQEND", "32", "30", {}));
  const ReadResult r = readDxf(fileWith(entities, blocks));
  ASSERT_TRUE(r.ok()) << describe(r);
  const auto list = entitiesOf(*r.drawing, r.drawing->modelSpace());
  ASSERT_EQ(list.size(), 3u);
  const db::Text* a = list[1]->as<db::Text>();
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->type, db::Text::Type::attrib);
  EXPECT_EQ(a->value, "V-101");
  EXPECT_EQ(a->tag, "T");
  const std::string written = writeDxfToString(*r.drawing);
  EXPECT_EQ(entityTags(written, "31"), attrib);
  EXPECT_EQ(entityTags(written, "32")[2], (std::pair<int, std::string>{330, "30"}));
}

TEST(TextKinds, whatCannotBeHeldIsKeptAsReadAndSaidSo) {
  struct Case {
    const char* what;
    Pairs tags;
    const char* finding;
  } cases[] = {
      {"a height that is no number",
       entity("TEXT", "ABC", "1F", {{100, "AcDbText"}, {10, "0"}, {20, "0"}, {40, "abc"}, {1, "x"}}),
       "有数值无法读出"},
      {"an alignment out of range",
       entity("TEXT", "ABC", "1F", {{100, "AcDbText"}, {10, "0"}, {20, "0"}, {40, "1"}, {1, "x"}, {72, "9"}}),
       "对齐方式超出范围"},
      {"a negative height",
       entity("ATTDEF", "ABC", "1F",
              {{100, "AcDbText"}, {10, "0"}, {20, "0"}, {40, "-1"}, {1, "x"}, {100, "AcDbAttributeDefinition"},
               {3, "p"}, {2, "T"}, {70, "0"}}),
       "超出范围"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const ReadResult r = readDxf(fileWith(joined(c.tags)));
    ASSERT_TRUE(r.ok()) << describe(r);
    const auto list = entitiesOf(*r.drawing, r.drawing->modelSpace());
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list.front()->kind(), db::EntityKind::unknown);
    EXPECT_TRUE(hasFindingOf(r, c.finding)) << describe(r);
  }
}

}  // namespace
}  // namespace orv::dxf
