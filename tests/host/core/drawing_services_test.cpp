// The spatial index, picks, windows and object snaps over a document, through its
// changes, undo and redo.
#include <gtest/gtest.h>

#include <algorithm>

#include "orv/core/editor.h"
#include "orv/core/snaps.h"
#include "orv/core/spatial_index.h"

namespace orv::core {
namespace {

using prompt::SnapKind;

db::RawTags tags(std::initializer_list<std::pair<int, const char*>> list) {
  db::RawTags t;
  for (auto [code, value] : list) t.add(code, value);
  return t;
}

struct Drawing : ::testing::Test {
  Document doc;
  db::Database& d = doc.database();
  SpatialIndex index{doc};
  Snapper snapper{index, [] { return 1.0; }};

  db::ObjectId add(db::Geometry g) { return *d.append(db::Entity(std::move(g))); }
  db::ObjectId addKept(const char* type, db::RawTags t) {
    return *d.appendRead(db::Entity(db::UnknownEntity{d.intern(type), std::move(t)}), d.modelSpace(), 0, {});
  }
};

TEST_F(Drawing, snapsFindTheExactPointsOfEachKind) {
  add(db::Line{{0, 0, 0}, {10, 0, 0}});
  add(db::Arc{{20, 0, 0}, 5, 0, 90});
  add(db::Circle{{40, 0, 0}, 5});
  add(db::Line{{30, 3, 0}, {50, 3, 0}});
  add(db::Line{{60, 0, 0}, {70, 10, 0}});
  auto block = d.addBlock("VALVE", {0, 0, 0});
  d.append(db::Entity(db::Line{{-1, 0, 0}, {1, 0, 0}}), *block);
  db::BlockReference ref;
  ref.block = *block;
  ref.position = {80, 0, 0};
  ref.rotation = 90;
  add(ref);
  const db::Line exact{{0.1, 0.2, 0}, {1.0 / 3, 2.0 / 3, 0}};
  add(exact);

  struct Case {
    SnapKind kind;
    Vec2 at;
    std::optional<Vec2> base;
    std::optional<Vec2> want;
  } cases[] = {
      {SnapKind::endpoint, {9.5, 0.4}, {}, Vec2{10, 0}},
      {SnapKind::endpoint, {20.3, 4.6}, {}, Vec2{20, 5}},  // the arc's end at 90 degrees
      {SnapKind::endpoint, {1.0 / 3 + 0.1, 2.0 / 3}, {}, Vec2{1.0 / 3, 2.0 / 3}},  // stored coordinates
      {SnapKind::midpoint, {4, 0.5}, {}, Vec2{5, 0}},
      {SnapKind::center, {45.5, 0}, {}, Vec2{40, 0}},
      {SnapKind::quadrant, {39.5, -5.5}, {}, Vec2{40, -5}},
      {SnapKind::intersection, {44.5, 3.5}, {}, Vec2{44, 3}},  // line y = 3 and the circle
      {SnapKind::intersection, {35.6, 3.2}, {}, Vec2{36, 3}},
      {SnapKind::perpendicular, {65, 5.5}, Vec2{70, 0}, Vec2{65, 5}},
      {SnapKind::perpendicular, {65, 5.5}, {}, {}},  // no base point
      {SnapKind::nearest, {5, 0.7}, {}, Vec2{5, 0}},
      {SnapKind::insertion, {80.2, 0.9}, {}, Vec2{80, 0}},
      {SnapKind::endpoint, {80.1, 0.9}, {}, Vec2{80, 1}},  // inside the rotated block
      {SnapKind::endpoint, {5, 5}, {}, {}},                 // nothing within the pick distance
      {SnapKind::center, {5, 0.2}, {}, {}},                 // a line has no centre
  };
  for (const Case& c : cases) {
    const auto found = snapper.find(c.kind, c.at, 1.0, c.base);
    SCOPED_TRACE(std::string(prompt::snapName(c.kind)) + " at " + std::to_string(c.at.x));
    ASSERT_EQ(found.has_value(), c.want.has_value());
    if (!found) continue;
    EXPECT_NEAR(found->point.x, c.want->x, 1e-9);
    EXPECT_NEAR(found->point.y, c.want->y, 1e-9);
    if (c.kind == SnapKind::endpoint) {
      EXPECT_EQ(found->point, *c.want);
    }
  }

  // The window's markers: every kind switched on near the cursor, nearest first.
  const auto marks = snapper.candidates({9.6, 0.3}, 2, DraftingSettings::kDefaultSnaps);
  ASSERT_FALSE(marks.empty());
  EXPECT_EQ(marks.front().kind, SnapKind::endpoint);
  EXPECT_EQ(marks.front().point, (Vec2{10, 0}));
}

TEST_F(Drawing, picksAndWindowsFollowEditsUndoAndRedo) {
  const db::ObjectId a = add(db::Line{{0, 0, 0}, {10, 0, 0}});
  const db::ObjectId b = add(db::Line{{0, 0, 0}, {10, 0, 0}});  // on top of a
  const db::ObjectId c = add(db::Circle{{30, 0, 0}, 2});
  EXPECT_EQ(index.pick({5, 0.5}, 1), b) << "the newest on a tie";
  EXPECT_TRUE(index.pick({5, 1.5}, 1).isNull());
  EXPECT_EQ(index.inside(Box2{-1, -1, 11, 1}), (std::vector<db::ObjectId>{a, b}));
  EXPECT_TRUE(index.inside(Box2{-1, -1, 9, 1}).empty());
  EXPECT_EQ(index.crossing(Box2{5, -1, 6, 1}), (std::vector<db::ObjectId>{a, b}));
  EXPECT_TRUE(index.crossing(Box2{29, -1, 31, 1}).empty()) << "inside the circle, touching nothing";
  EXPECT_EQ(index.crossing(Box2{29, -1, 31, 2}), (std::vector<db::ObjectId>{c}));

  SelectionSet set;
  set.add(b);
  Editor editor(d, index);
  doc.beginStep("MOVE");
  editor.transform(set, Affine2::translation({0, 20}));
  doc.endStep();
  EXPECT_EQ(index.pick({5, 0.5}, 1), a);
  EXPECT_EQ(index.pick({5, 20.5}, 1), b);
  std::string name;
  ASSERT_TRUE(doc.undo(name));
  EXPECT_EQ(index.pick({5, 0.5}, 1), b);
  EXPECT_TRUE(index.pick({5, 20.5}, 1).isNull());
  ASSERT_TRUE(doc.redo(name));
  EXPECT_EQ(index.pick({5, 20.5}, 1), b);

  doc.beginStep("ERASE");
  editor.erase(set);
  doc.endStep();
  EXPECT_EQ(index.all(), (std::vector<db::ObjectId>{a, c}));
  ASSERT_TRUE(doc.undo(name));
  EXPECT_EQ(index.all(), (std::vector<db::ObjectId>{a, b, c}));

  // Enough appended after the index was built to make it rebuild its grid.
  for (int i = 0; i < 3000; ++i) add(db::Line{{100.0 + i, 0, 0}, {100.0 + i, 1, 0}});
  EXPECT_EQ(index.query(Box2{1999.5, 0, 2000.5, 1}).size(), 1u);
  EXPECT_EQ(index.newest(), index.pick({3099, 0.5}, 0.1));

  // A layer that is off or frozen hides what is on it from picks, windows and ALL.
  db::Layer hidden;
  hidden.name = "HIDDEN";
  d.addLayer(hidden);
  db::Entity onHidden(db::Line{{0, 50, 0}, {10, 50, 0}});
  onHidden.layer = d.intern("HIDDEN");
  const db::ObjectId h = *d.append(onHidden);
  EXPECT_EQ(index.pick({5, 50}, 1), h);
  hidden.color = -7;
  d.changeLayer(*d.layers().find("HIDDEN"), hidden);
  EXPECT_TRUE(index.pick({5, 50}, 1).isNull());
  EXPECT_TRUE(index.inside(Box2{-1, 49, 11, 51}).empty());
  hidden.color = 7;
  hidden.flags = 1;
  d.changeLayer(*d.layers().find("HIDDEN"), hidden);
  EXPECT_TRUE(index.pick({5, 50}, 1).isNull());
  EXPECT_NE(index.newest(), h);
}

TEST_F(Drawing, aQueryFindsEachEntityOnceWhateverCellsItSpans) {
  // A field of short lines makes cells a few units wide; the long ones span many cells
  // or, longer still, stand apart from the grid.
  for (int i = 0; i < 2000; ++i) add(db::Line{{i % 50 * 2.0, i / 50 * 2.0, 0}, {i % 50 * 2.0 + 0.5, i / 50 * 2.0, 0}});
  const db::ObjectId across = add(db::Line{{0, 41, 0}, {30, 44, 0}});
  const db::ObjectId huge = add(db::Line{{-1000, -1000, 0}, {1000, 1000, 0}});
  const db::ObjectId small = add(db::Circle{{50, 50, 0}, 0.2});
  index.all();  // built
  auto count = [&](const Box2& rect, db::ObjectId id) {
    const auto found = index.query(rect);
    EXPECT_TRUE(std::is_sorted(found.begin(), found.end(),
                               [](db::ObjectId a, db::ObjectId b) { return a.index < b.index; }));
    return std::count(found.begin(), found.end(), id);
  };
  struct Case {
    const char* what;
    Box2 rect;
    db::ObjectId id;
    long times;
  } before[] = {
      {"the long line from its middle cells", {10, 41, 20, 44}, across, 1},
      {"the long line from cells right of its start", {29, 43, 31, 45}, across, 1},
      {"the long line, all of it", {-5, 40, 35, 45}, across, 1},
      {"the huge line", {-5, -5, 5, 5}, huge, 1},
      {"the small circle", {49, 49, 51, 51}, small, 1},
      {"the small circle, not there", {60, 60, 61, 61}, small, 0},
  };
  for (const Case& c : before) EXPECT_EQ(count(c.rect, c.id), c.times) << c.what;

  // Moved after the grid was built: found where it is, once, and no more where it was.
  SelectionSet set;
  set.add(across);
  set.add(small);
  Editor editor(d, index);
  doc.beginStep("MOVE");
  editor.transform(set, Affine2::translation({5, 0}));
  doc.endStep();
  const Case after[] = {
      {"the long line moved, from its middle", {10, 41, 20, 44}, across, 1},
      {"the long line moved, at its new end", {34, 43, 36, 45}, across, 1},
      {"the long line moved, not at its old start", {-1, 40, 1, 41.2}, across, 0},
      {"the small circle moved", {54, 49, 56, 51}, small, 1},
      {"the small circle, not where it was", {49, 49, 51, 51}, small, 0},
      {"the huge line still", {-5, -5, 5, 5}, huge, 1},
  };
  for (const Case& c : after) EXPECT_EQ(count(c.rect, c.id), c.times) << c.what;
  EXPECT_EQ(index.pick({55, 50.2}, 0.1), small);
}

TEST_F(Drawing, aReferenceAndItsAttributesAreOneGroup) {
  auto block = d.addBlock("TAGGED", {0, 0, 0});
  d.append(db::Entity(db::Circle{{0, 0, 0}, 1}), *block);
  db::BlockReference ref;
  ref.block = *block;
  ref.position = {10, 10, 0};
  const db::ObjectId owner = add(ref);
  db::Text value = db::makeText({10, 12, 0}, 1, "V-1");
  value.type = db::Text::Type::attrib;
  value.tag = "TAG";
  const db::ObjectId attrib = *d.append(db::Entity(value));
  const db::ObjectId seqend = addKept("SEQEND", tags({{100, "AcDbEntity"}, {8, "0"}}));
  const db::ObjectId after = add(db::Line{{10, 20, 0}, {20, 20, 0}});
  EXPECT_EQ(index.group(owner), (std::vector<db::ObjectId>{owner, attrib, seqend}));
  EXPECT_EQ(index.ownerOf(attrib), owner);
  EXPECT_EQ(index.pick({11.5, 12.5}, 0.3), owner) << "a pick on the attribute's text";
  EXPECT_EQ(index.all(), (std::vector<db::ObjectId>{owner, after}));
  EXPECT_EQ(index.inside(Box2{8, 8, 14, 14}), (std::vector<db::ObjectId>{owner}));

  // Moved together; the attribute's point goes with the reference.
  SelectionSet set;
  set.add(owner);
  Editor(d, index).transform(set, Affine2::translation({5, 0}));
  EXPECT_EQ(d.entity(owner)->as<db::BlockReference>()->position, (db::Point3{15, 10, 0}));
  EXPECT_EQ(d.entity(attrib)->as<db::Text>()->position.x, 15);

  // A copy is a new group: the reference, then its attribute and SEQEND after it.
  std::vector<db::ObjectId> made;
  Editor(d, index).copy(set, Affine2::translation({0, 30}), &made);
  ASSERT_EQ(made.size(), 1u);
  EXPECT_EQ(index.group(made[0]).size(), 3u);
  EXPECT_EQ(index.pick({16.5, 42.5}, 0.3), made[0]);
}

}  // namespace
}  // namespace orv::core
