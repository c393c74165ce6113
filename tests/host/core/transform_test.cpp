// Entities kept as read under maps: text that stays readable in a mirror,
// and the kinds that are refused.
#include "orv/core/transform.h"

#include <gtest/gtest.h>

#include <map>

namespace orv::core {
namespace {

using Tags = std::vector<std::pair<int, std::string>>;

struct Kept : ::testing::Test {
  db::Database d = db::Database::newDrawing();

  db::ObjectId add(const char* type, const Tags& tags) {
    db::RawTags raw;
    for (const auto& [code, value] : tags) raw.add(code, value);
    return *d.appendRead(db::Entity(db::UnknownEntity{d.intern(type), raw}), d.modelSpace(), 0, {});
  }
  // The entity's tags after the map, first value of each code; empty on a refusal.
  std::multimap<int, std::string> after(db::ObjectId id, const Affine2& m, std::string* why = nullptr) {
    auto r = transformEntity(d, id, m);
    std::multimap<int, std::string> out;
    if (auto* reason = std::get_if<std::string>(&r)) {
      if (why) *why = *reason;
      return out;
    }
    for (db::RawTag t : std::get<db::Entity>(r).as<db::UnknownEntity>()->tags) out.emplace(t.code, t.value);
    return out;
  }
  static double num(const std::multimap<int, std::string>& t, int code, double fallback = 0) {
    auto it = t.find(code);
    return it == t.end() ? fallback : std::stod(it->second);
  }
};

TEST_F(Kept, textInAMirrorReadsAsBeforeWhereItsImageWouldBe) {
  // Left-aligned text on its baseline at (10, 0), 2 high.
  const db::ObjectId id = *d.append(db::Entity(db::makeText({10, 0, 0}, 2, "ABC")));
  struct Case {
    const char* what;
    Affine2 mirror;
    double rotation;
    long h, v;
    Vec2 reference;  // the position when left on the baseline, else the alignment point
  } cases[] = {
      // In the y axis: the text ends where it started, still reading left to right.
      {"vertical mirror line", Affine2::mirror({0, 0}, {0, 1}), 0, 2, 0, {-10, 0}},
      // In the x axis: it hangs below the line, still upright.
      {"horizontal mirror line", Affine2::mirror({0, -5}, {1, -5}), 0, 0, 3, {10, -10}},
      // In the diagonal: the mirrored direction is 90 degrees, nearer the original than 270.
      {"diagonal mirror line", Affine2::mirror({0, 0}, {1, 1}), 90, 0, 3, {0, 10}},
  };
  auto mapped = [&](const Affine2& m) { return *std::get<db::Entity>(transformEntity(d, id, m)).as<db::Text>(); };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const db::Text t = mapped(c.mirror);
    EXPECT_NEAR(t.rotation, c.rotation, 1e-9);
    EXPECT_EQ(static_cast<long>(t.hAlign), c.h);
    EXPECT_EQ(static_cast<long>(t.vAlign), c.v);
    const db::Point3 at = c.h == 0 && c.v == 0 ? t.position : t.alignPoint;
    EXPECT_NEAR(at.x, c.reference.x, 1e-9);
    EXPECT_NEAR(at.y, c.reference.y, 1e-9);
    EXPECT_EQ(t.height, 2);
  }
  // A rotation turns the text; a scale moves and enlarges it.
  EXPECT_NEAR(mapped(Affine2::rotation({0, 0}, 30)).rotation, 30, 1e-12);
  EXPECT_FALSE(mapped(Affine2::rotation({0, 0}, 30)).hasAlignPoint);
  EXPECT_EQ(mapped(Affine2::scaling({0, 0}, 2)).height, 4);
  EXPECT_EQ(mapped(Affine2::scaling({0, 0}, 2)).position.x, 20);
  // Text out of the drawing plane is refused with the reason.
  db::Text tilted = db::makeText({0, 0, 0}, 1, "A");
  tilted.extrusion = {1, 0, 0};
  const auto refused = transformEntity(d, *d.append(db::Entity(tilted)), Affine2::translation({1, 0}));
  ASSERT_TRUE(std::holds_alternative<std::string>(refused));
  EXPECT_EQ(std::get<std::string>(refused), "其所在平面与 XY 平面不平行");
}

TEST_F(Kept, whatCannotBeTransformedIsRefusedWithAReason) {
  struct Case {
    const char* type;
    Tags tags;
    Affine2 map;
    const char* why;
  } cases[] = {
      {"MLINE", {{10, "0"}, {20, "0"}}, Affine2::translation({1, 0}), "不知道其几何"},
      // Text kept as read holds values the model cannot hold: nothing to map.
      {"TEXT", {{10, "0"}, {20, "0"}, {40, "x"}, {1, "A"}}, Affine2::translation({1, 0}), "不知道其几何"},
      {"INSERT", {{2, "MISSING"}, {10, "0"}, {20, "0"}}, Affine2::mirror({0, 0}, {0, 1}), "其块未定义，不能镜像"},
      {"MTEXT", {{10, "x"}, {20, "0"}}, Affine2::translation({1, 0}), "不知道其几何"},
      // A point kept as read holds a value that is no number: nothing to map.
      {"POINT", {{10, "x"}, {20, "0"}}, Affine2::translation({1, 0}), "不知道其几何"},
  };
  for (const Case& c : cases) {
    std::string why;
    EXPECT_TRUE(after(add(c.type, c.tags), c.map, &why).empty()) << c.type;
    EXPECT_EQ(why, c.why) << c.type;
  }
  // A modeled entity that would leave the range of a double is refused, not cut short.
  db::Polyline pl;
  pl.addVertex({1e300, 0});
  pl.addVertex({0, 0});
  const db::ObjectId far = *d.append(db::Entity(pl));
  auto huge = transformEntity(d, far, Affine2::scaling({0, 0}, 1e10));
  ASSERT_TRUE(std::holds_alternative<std::string>(huge));
  EXPECT_EQ(std::get<std::string>(huge), "变换后的数值无效");
}

}  // namespace
}  // namespace orv::core
