// Grips: where each kind of entity shows them, and what moving one makes of it.
#include "orv/core/grips.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace orv::core {
namespace {

db::Entity line(double x0, double y0, double x1, double y1) { return db::Entity(db::Line{{x0, y0, 0}, {x1, y1, 0}}); }

// A horizontal dimension of the origins (0, 0) and (40, 10), its line at y 20.
db::Dimension dimension40() {
  db::Dimension dim;
  dim.flags = 32;
  dim.point14 = {40, 10, 0};
  dim.definitionPoint = {40, 20, 0};
  dim.textMidpoint = {20, 22, 0};
  return dim;
}

std::string describe(const std::vector<Grip>& grips) {
  std::string s;
  for (const Grip& g : grips)
    s += "(" + std::to_string(static_cast<int>(g.role)) + " " + std::to_string(g.point.x) + " " +
         std::to_string(g.point.y) + ")";
  return s;
}

TEST(Grips, eachKindShowsTheGripsThatDefineIt) {
  db::Database d = db::Database::newDrawing();
  db::Polyline pl;
  pl.addVertex({0, 0});
  pl.addVertex({4, 0});
  pl.addVertex({4, 3});
  db::BlockReference ref;
  ref.position = {7, 8, 0};
  struct Case {
    const char* what;
    db::Entity entity;
    std::vector<Grip> expected;
  };
  const std::vector<Case> cases = {
      {"line", line(0, 0, 10, 2), {{{0, 0}, GripRole::end, 0}, {{5, 1}, GripRole::middle, 0}, {{10, 2}, GripRole::end, 1}}},
      {"circle",
       db::Entity(db::Circle{{1, 1, 0}, 2}),
       {{{1, 1}, GripRole::center, 0},
        {{3, 1}, GripRole::quadrant, 0},
        {{1, 3}, GripRole::quadrant, 1},
        {{-1, 1}, GripRole::quadrant, 2},
        {{1, -1}, GripRole::quadrant, 3}}},
      // From 270 through 0 to 90: the middle is at 0, not at 180.
      {"arc across 0",
       db::Entity(db::Arc{{0, 0, 0}, 2, 270, 90}),
       {{{0, 0}, GripRole::center, 0},
        {{0, -2}, GripRole::end, 0},
        {{2, 0}, GripRole::arcMiddle, 0},
        {{0, 2}, GripRole::end, 1}}},
      {"polyline", db::Entity(pl), {{{0, 0}, GripRole::vertex, 0}, {{4, 0}, GripRole::vertex, 1}, {{4, 3}, GripRole::vertex, 2}}},
      {"block reference", db::Entity(ref), {{{7, 8}, GripRole::insertion, 0}}},
      {"dimension: its line, its origins, its text",
       db::Entity(dimension40()),
       {{{40, 20}, GripRole::vertex, 10},
        {{0, 0}, GripRole::vertex, 13},
        {{40, 10}, GripRole::vertex, 14},
        {{20, 22}, GripRole::vertex, 11}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(describe(gripPoints(d, c.entity)), describe(c.expected));
  }
}

TEST(Grips, movingAGripChangesThatPointOrMovesTheWholeAndRefusesWhatWouldDegenerate) {
  const db::Entity l = line(0, 0, 10, 0);
  const db::Entity circle(db::Circle{{0, 0, 0}, 5});
  const db::Entity arc(db::Arc{{0, 0, 0}, 5, 0, 90});
  db::Polyline pl;
  pl.addVertex({0, 0});
  pl.addVertex({4, 0});
  const db::Entity poly(pl);
  const db::Entity dim(dimension40());
  db::Dimension stretched = dimension40(), placed = dimension40();
  stretched.point14 = {50, 10, 0};
  placed.textMidpoint = {25, 30, 0};
  placed.flags |= db::Dimension::kUserText;
  enum Outcome { changed, whole, nothing };
  struct Case {
    const char* what;
    const db::Entity& entity;
    Grip grip;
    Vec2 to;
    Outcome outcome;
    db::Entity after;
  };
  const std::vector<Case> cases = {
      {"a line's end", l, {{10, 0}, GripRole::end, 1}, {12, 3}, changed, line(0, 0, 12, 3)},
      {"a line's middle", l, {{5, 0}, GripRole::middle, 0}, {6, 1}, whole, {}},
      {"a line's end onto its other end", l, {{10, 0}, GripRole::end, 1}, {0, 0}, nothing, {}},
      {"a circle's quadrant", circle, {{5, 0}, GripRole::quadrant, 0}, {0, 7}, changed, db::Entity(db::Circle{{0, 0, 0}, 7})},
      {"a circle's quadrant onto its centre", circle, {{5, 0}, GripRole::quadrant, 0}, {0, 0}, nothing, {}},
      {"a circle's centre", circle, {{0, 0}, GripRole::center, 0}, {1, 1}, whole, {}},
      {"an arc's end", arc, {{0, 5}, GripRole::end, 1}, {-3, 0}, changed, db::Entity(db::Arc{{0, 0, 0}, 5, 0, 180})},
      {"an arc's middle", arc, {{3.5, 3.5}, GripRole::arcMiddle, 0}, {0, 6}, changed, db::Entity(db::Arc{{0, 0, 0}, 6, 0, 90})},
      {"an arc's end onto its start", arc, {{0, 5}, GripRole::end, 1}, {9, 0}, nothing, {}},
      {"a polyline's vertex", poly, {{4, 0}, GripRole::vertex, 1}, {4, 4}, changed, {}},
      {"a vertex that is not there", poly, {{4, 0}, GripRole::vertex, 7}, {4, 4}, nothing, {}},
      {"a dimension's second origin", dim, {{40, 10}, GripRole::vertex, 14}, {50, 10}, changed, db::Entity(stretched)},
      {"a dimension's text, placed by hand", dim, {{20, 22}, GripRole::vertex, 11}, {25, 30}, changed, db::Entity(placed)},
      {"a dimension's point that is not one", dim, {{0, 0}, GripRole::vertex, 12}, {1, 1}, nothing, {}},
      {"to a point that is not finite", l, {{10, 0}, GripRole::end, 1}, {std::numeric_limits<double>::quiet_NaN(), 0}, nothing, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto result = moveGrip(c.entity, c.grip, c.to);
    switch (c.outcome) {
      case changed: {
        const auto* e = std::get_if<db::Entity>(&result);
        ASSERT_NE(e, nullptr);
        if (const auto* p = e->as<db::Polyline>()) {
          EXPECT_EQ(p->point(1), (db::Point2{4, 4}));
        } else {
          EXPECT_EQ(e->geometry, c.after.geometry);
        }
        break;
      }
      case whole: {
        const auto* m = std::get_if<MoveWhole>(&result);
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(m->by, c.to - c.grip.point);
        break;
      }
      case nothing: EXPECT_TRUE(std::holds_alternative<std::monostate>(result)); break;
    }
  }
}

}  // namespace
}  // namespace orv::core
