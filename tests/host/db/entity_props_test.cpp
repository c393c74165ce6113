// An entity's lineweight and linetype scale: where the tags go, what is refused, undo and redo.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "orv/db/database.h"

namespace orv::db {
namespace {

struct Tag {
  int code;
  std::string value;
  std::uint8_t slot;
  bool operator==(const Tag&) const = default;
};

std::vector<Tag> listed(const RawTags* tags) {
  std::vector<Tag> out;
  if (tags)
    for (RawTag t : *tags) out.push_back({t.code, std::string(t.value), t.slot});
  return out;
}

// The tags an entity carries its properties in: kept beside a modeled one, its own for a kept one.
std::vector<Tag> tagsOf(const Database& d, ObjectId id) {
  if (const auto* kept = d.entity(id)->as<UnknownEntity>()) return listed(&kept->tags);
  return listed(d.entityExtras(id));
}

RawTags keptText() {
  RawTags t;
  t.add(102, "{ACAD_REACTORS");
  t.add(370, "13");  // not its own: inside an application data group
  t.add(102, "}");
  t.add(100, "AcDbEntity");
  t.add(8, "0");
  t.add(100, "AcDbText");
  t.add(48, "7");  // a subclass code that only looks like the scale
  t.add(1, "abc");
  t.add(1001, "APP");
  return t;
}

struct Fixture {
  Database d = Database::newDrawing();
  ObjectId line, circle, text;
  Fixture() {
    line = *d.append(Entity(Line{{0, 0, 0}, {1, 0, 0}}));
    RawTags kept;
    kept.add(420, "255", Database::kCommonSlot);
    kept.add(10, "x", 2);  // a subclass tag: stays where it is
    circle = *d.appendRead(Entity(Circle{{0, 0, 0}, 1}), d.modelSpace(), 0, kept);
    text = *d.appendRead(Entity(UnknownEntity{d.intern("TEXT"), keptText()}), d.modelSpace(), 0, {});
  }
};

TEST(EntityProperties, putTheirTagsInTheCommonPartAndUndoRedoThem) {
  const std::uint8_t c = Database::kCommonSlot;
  struct Case {
    const char* what;
    int which;  // 0 line, 1 circle, 2 text
    bool weight;
    double value;
    std::vector<Tag> expected;
  };
  const std::vector<Case> cases = {
      {"line gets tags beside it", 0, true, 50, {{370, "50", c}}},
      {"line: scale", 0, false, 2.5, {{48, "2.5", c}}},
      {"line: scale 1 is no tag", 0, false, 1.0, {}},
      {"circle keeps its other tags", 1, true, 0, {{420, "255", c}, {10, "x", 2}, {370, "0", c}}},
      {"circle: ByLayer is no tag", 1, true, lineweight::byLayer, {{420, "255", c}, {10, "x", 2}}},
      {"text: before its subclass, groups and look-alikes kept", 2, true, 211,
       {{102, "{ACAD_REACTORS", 0}, {370, "13", 0}, {102, "}", 0}, {100, "AcDbEntity", 0}, {8, "0", 0},
        {370, "211", 0}, {100, "AcDbText", 0}, {48, "7", 0}, {1, "abc", 0}, {1001, "APP", 0}}},
      {"text: scale, not the subclass's look-alike", 2, false, 0.25,
       {{102, "{ACAD_REACTORS", 0}, {370, "13", 0}, {102, "}", 0}, {100, "AcDbEntity", 0}, {8, "0", 0},
        {48, "0.25", 0}, {100, "AcDbText", 0}, {48, "7", 0}, {1, "abc", 0}, {1001, "APP", 0}}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    Fixture f;
    const ObjectId id = k.which == 0 ? f.line : k.which == 1 ? f.circle : f.text;
    const std::vector<Tag> before = tagsOf(f.d, id);
    f.d.beginUndoGroup();
    const Status st = k.weight ? f.d.setLineweight(id, static_cast<std::int16_t>(k.value))
                               : f.d.setLinetypeScale(id, k.value);
    f.d.endUndoGroup();
    ASSERT_EQ(st, Status::ok);
    EXPECT_EQ(tagsOf(f.d, id), k.expected);
    if (k.expected == before) {
      EXPECT_EQ(f.d.undoGroupCount(), 0u);  // nothing changed, no step
      continue;
    }
    ASSERT_EQ(f.d.undo(), Status::ok);
    EXPECT_EQ(tagsOf(f.d, id), before);
    ASSERT_EQ(f.d.redo(), Status::ok);
    EXPECT_EQ(tagsOf(f.d, id), k.expected);
  }
}

TEST(EntityProperties, aSecondValueReplacesTheFirstAndOneUndoTakesBothBack) {
  Fixture f;
  f.d.beginUndoGroup();
  ASSERT_EQ(f.d.setLineweight(f.line, 30), Status::ok);
  ASSERT_EQ(f.d.setLineweight(f.line, 70), Status::ok);
  ASSERT_EQ(f.d.setLinetypeScale(f.line, 3), Status::ok);
  f.d.endUndoGroup();
  const std::uint8_t c = Database::kCommonSlot;
  EXPECT_EQ(tagsOf(f.d, f.line), (std::vector<Tag>{{370, "70", c}, {48, "3", c}}));
  ASSERT_EQ(f.d.undo(), Status::ok);
  EXPECT_TRUE(tagsOf(f.d, f.line).empty());
}

TEST(EntityProperties, refuseWhatNoDrawingCanHoldAndChangeNothing) {
  struct Case {
    const char* what;
    bool weight;
    double value;
  };
  const std::vector<Case> cases = {
      {"not a standard weight", true, 17},   {"below ByDefault", true, -4}, {"above the heaviest", true, 212},
      {"scale zero", false, 0.0},            {"scale negative", false, -2.0},
      {"scale not finite", false, std::numeric_limits<double>::infinity()},
      {"scale NaN", false, std::numeric_limits<double>::quiet_NaN()},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    Fixture f;
    for (ObjectId id : {f.line, f.circle, f.text}) {
      const std::vector<Tag> before = tagsOf(f.d, id);
      f.d.beginUndoGroup();
      const Status st = k.weight ? f.d.setLineweight(id, static_cast<std::int16_t>(k.value))
                                 : f.d.setLinetypeScale(id, k.value);
      f.d.endUndoGroup();
      EXPECT_EQ(st, Status::invalidInput);
      EXPECT_EQ(tagsOf(f.d, id), before);
    }
    EXPECT_EQ(f.d.undoGroupCount(), 0u);
  }
  Fixture f;
  ASSERT_EQ(f.d.erase(f.line), Status::ok);
  EXPECT_EQ(f.d.setLineweight(f.line, 50), Status::wasErased);
  EXPECT_EQ(f.d.setLinetypeScale(ObjectId{9999}, 2), Status::notFound);
}

TEST(EntityProperties, tagsKeptBesideOtherEntitiesStayTheirs) {
  // Giving a tag to an entity that had none slots its tags among the others'.
  Database d = Database::newDrawing();
  RawTags a, b;
  a.add(420, "1", Database::kCommonSlot);
  b.add(420, "2", Database::kCommonSlot);
  const ObjectId first = *d.appendRead(Entity(Line{{0, 0, 0}, {1, 0, 0}}), d.modelSpace(), 0, a);
  const ObjectId middle = *d.append(Entity(Line{{0, 1, 0}, {1, 1, 0}}));
  const ObjectId last = *d.appendRead(Entity(Line{{0, 2, 0}, {1, 2, 0}}), d.modelSpace(), 0, b);
  ASSERT_EQ(d.setLineweight(middle, 9), Status::ok);
  const std::uint8_t c = Database::kCommonSlot;
  EXPECT_EQ(tagsOf(d, first), (std::vector<Tag>{{420, "1", c}}));
  EXPECT_EQ(tagsOf(d, middle), (std::vector<Tag>{{370, "9", c}}));
  EXPECT_EQ(tagsOf(d, last), (std::vector<Tag>{{420, "2", c}}));
}

}  // namespace
}  // namespace orv::db
