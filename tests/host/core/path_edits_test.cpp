// Breaking, lengthening, joining and stretching paths against values worked out by hand.
#include <gtest/gtest.h>

#include <cmath>

#include "orv/core/path_edits.h"

namespace orv::core {
namespace {

void expectNear(Vec2 got, Vec2 want, const std::string& what) {
  EXPECT_NEAR(got.x, want.x, 1e-9) << what;
  EXPECT_NEAR(got.y, want.y, 1e-9) << what;
}

Path path(const db::Geometry& g) { return *pathOf(g); }

TEST(PathEdits, breakLeavesThePartsOutsideThePoints) {
  const Path line = path(db::Line{{0, 0, 0}, {10, 0, 0}});
  struct Case {
    const char* name;
    Path p;
    double first, second;
    std::vector<std::pair<Vec2, Vec2>> want;  // ends of each part
  } cases[] = {
      {"between two points", line, 0.3, 0.6, {{{0, 0}, {3, 0}}, {{6, 0}, {10, 0}}}},
      {"points either way round", line, 0.6, 0.3, {{{0, 0}, {3, 0}}, {{6, 0}, {10, 0}}}},
      {"at one point", line, 0.4, 0.4, {{{0, 0}, {4, 0}}, {{4, 0}, {10, 0}}}},
      {"off the end", line, 0.5, 1, {{{0, 0}, {5, 0}}}},
      {"circle, first to second counter-clockwise", path(db::Circle{{0, 0, 0}, 5}), 0, 0.25,
       {{{0, 5}, {5, 0}}}},
  };
  for (const auto& c : cases) {
    const auto parts = breakPath(c.p, c.first, c.second);
    ASSERT_EQ(parts.size(), c.want.size()) << c.name;
    for (std::size_t i = 0; i < parts.size(); ++i) {
      expectNear(parts[i].spans.front().a, c.want[i].first, c.name);
      expectNear(parts[i].spans.back().b, c.want[i].second, c.name);
    }
  }
}

TEST(PathEdits, lengthenMovesTheEndAlongItsCarrier) {
  const Path line = path(db::Line{{0, 0, 0}, {10, 0, 0}});
  expectNear(lengthened(line, true, 5)->spans[0].b, {15, 0}, "line end");
  expectNear(lengthened(line, false, -4)->spans[0].a, {4, 0}, "line start, shorter");
  EXPECT_FALSE(lengthened(line, true, -10)) << "nothing left";
  const Path quarter = path(db::Arc{{0, 0, 0}, 2, 0, 90});
  expectNear(lengthened(quarter, true, kPi)->spans[0].b, {-2, 0}, "arc end a quarter on");
  EXPECT_FALSE(lengthened(quarter, true, 4 * kPi)) << "would close on itself";
  EXPECT_NEAR(pathLength(quarter), kPi, 1e-12);
}

TEST(PathEdits, joinTurnsPiecesRoundAndClosesTheRing) {
  Path chain = path(db::Line{{0, 0, 0}, {10, 0, 0}});
  ASSERT_TRUE(joinPath(chain, path(db::Line{{10, 5, 0}, {10, 0, 0}}), 1e-9)) << "reversed";
  ASSERT_TRUE(joinPath(chain, path(db::Line{{0, 0, 0}, {0, 5, 0}}), 1e-9)) << "at the start";
  EXPECT_FALSE(joinPath(chain, path(db::Line{{3, 3, 0}, {4, 4, 0}}), 1e-9));
  EXPECT_FALSE(chain.closed);
  ASSERT_TRUE(joinPath(chain, path(db::Line{{10, 5, 0}, {0, 5, 0}}), 1e-9));
  EXPECT_TRUE(chain.closed);
  ASSERT_EQ(chain.spans.size(), 4u);
  expectNear(chain.spans.front().a, {0, 5}, "starts where the prepended piece did");
}

TEST(PathEdits, stretchMovesOnlyTheVerticesInside) {
  const Path box = path(db::Polyline([] {
    db::Polyline p;
    for (auto [x, y] : {std::pair{0.0, 0.0}, {10.0, 0.0}, {10.0, 5.0}, {0.0, 5.0}}) p.addVertex({x, y});
    p.setClosed(true);
    return p;
  }()));
  const Path moved = stretched(box, Box2::of({8, -1}, {12, 6}), {5, 0});
  const std::vector<Vec2> want = {{0, 0}, {15, 0}, {15, 5}, {0, 5}};
  for (std::size_t i = 0; i < want.size(); ++i) expectNear(moved.spans[i].a, want[i], "vertex");
  // An arc with one end moved keeps its bulge: a half circle stays a half circle.
  const Path half = path(db::Arc{{0, 0, 0}, 1, 0, 180});
  const Path wider = stretched(half, Box2::of({0.5, -0.5}, {1.5, 0.5}), {2, 0});
  EXPECT_NEAR(wider.spans[0].radius, 2, 1e-12);
  expectNear(wider.spans[0].center, {1, 0}, "centre of the wider half circle");
}

}  // namespace
}  // namespace orv::core
