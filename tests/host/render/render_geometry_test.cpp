// Pictures of geometry: fitting to the page, lines, arcs, circles, polylines with bulges and widths, points, solids, faces and ellipses.
#include <algorithm>
#include <cmath>
#include <functional>
#include <string>

#include "draw.h"
#include "render_test_support.h"

namespace orv::render::test {
namespace {

db::Entity polyline(std::initializer_list<db::Vertex> vertices, bool closed = false,
                    std::int16_t color = 1) {
  db::Polyline pl;
  for (const db::Vertex& v : vertices) pl.addVertex(v.point, v.bulge, v.startWidth, v.endWidth);
  pl.setClosed(closed);
  db::Entity e{pl};
  e.color = color;
  return e;
}

void expectExtents(const db::Database& d, double x0, double y0, double x1, double y1) {
  auto e = modelExtents(d);
  ASSERT_TRUE(e.has_value());
  EXPECT_NEAR(e->minX, x0, 1e-9);
  EXPECT_NEAR(e->minY, y0, 1e-9);
  EXPECT_NEAR(e->maxX, x1, 1e-9);
  EXPECT_NEAR(e->maxY, y1, 1e-9);
}

TEST(RenderLayout, fitsALoneHorizontalLineAcrossTheMiddle) {
  TempDir dir;
  db::Database d = db::Database::newDrawing();
  add(d, line(1000, 500, 1100, 500));  // no height: fitted by its width
  Pixels p = renderPng(d, dir);
  // 340 pixels between the 30-pixel margins, on the middle row.
  EXPECT_TRUE(p.shows(35, 150, kRed));
  EXPECT_TRUE(p.shows(200, 150, kRed));
  EXPECT_TRUE(p.shows(365, 150, kRed));
  EXPECT_TRUE(p.blankAround(200, 140));
  EXPECT_TRUE(p.blankAround(200, 160));
  EXPECT_TRUE(p.blankAround(20, 150));
  EXPECT_TRUE(p.blankAround(380, 150));
}

TEST(RenderLayout, keepsTheAspectRatioWithYUp) {
  TempDir dir;
  db::Database d = db::Database::newDrawing();
  addFrame(d);
  add(d, line(10, 10, 10, 100));  // red, upwards from the lower left
  add(d, line(10, 10, 40, 10, 3));  // green, to the right
  Pixels p = renderPng(d, dir);
  EXPECT_TRUE(p.shows(px(10), py(90), kRed));    // high up in the picture
  EXPECT_TRUE(p.shows(px(35), py(10), kGreen));  // low down
  EXPECT_TRUE(p.blankAround(px(35), py(90)));
  EXPECT_TRUE(p.blankAround(px(60), py(10)));    // 30 units long, not stretched
}

TEST(RenderLayout, degenerateDrawingsRenderWithoutTrouble) {
  TempDir dir;
  {
    db::Database d = db::Database::newDrawing();
    add(d, line(5, 5, 5, 5));  // a single point
    EXPECT_TRUE(render(d, dir / "point.png", smallPage()).ok);
  }
  {
    db::Database d = db::Database::newDrawing();
    add(d, line(-1e300, -1e300, 1e300, 1e300));  // wider than a double can measure
    add(d, line(1e-300, 0, 2e-300, 0));
    RenderResult r = render(d, dir / "huge.png", smallPage());
    EXPECT_TRUE(r.ok) << r.message;
    EXPECT_TRUE(Pixels(dir / "huge.png").shows(200, 150, kRed));
  }
  {
    db::Database d = db::Database::newDrawing();
    add(d, line(1e15, 1e15, 1e15 + 1e-3, 1e15));  // tiny and far from the origin
    EXPECT_TRUE(render(d, dir / "far.png", smallPage()).ok);
  }
}

TEST(RenderExtents, measureArcsByTheirExtremePoints) {
  {
    db::Database d = db::Database::newDrawing();
    add(d, arc(0, 0, 50, 0, 180));  // the upper half only
    expectExtents(d, -50, 0, 50, 50);
  }
  {
    db::Database d = db::Database::newDrawing();
    add(d, arc(0, 0, 10, 350, 10));  // through 0°
    expectExtents(d, 10 * std::cos(10 * M_PI / 180), -10 * std::sin(10 * M_PI / 180), 10,
                  10 * std::sin(10 * M_PI / 180));
  }
  {
    db::Database d = db::Database::newDrawing();
    add(d, circle(5, 5, 2));
    add(d, arc(100, 0, 1, 30, 30));  // equal angles: draws nothing
    expectExtents(d, 3, 3, 7, 7);
  }
}

TEST(RenderExtents, measurePolylineBulgesAndWidths) {
  {
    // A quarter turn (bulge tan 22.5°) from (0,0) to (100,0) about (50,50).
    db::Database d = db::Database::newDrawing();
    add(d, polyline({{{0, 0}, std::tan(M_PI / 8)}, {{100, 0}}}));
    expectExtents(d, 0, 50 - 50 * std::sqrt(2.0), 100, 0);
    // Three quarters clockwise (bulge -tan 67.5°) about the same centre: round over the top.
    add(d, polyline({{{0, 0}, -std::tan(3 * M_PI / 8)}, {{100, 0}}}));
    const double r = 50 * std::sqrt(2.0);
    expectExtents(d, 50 - r, 50 - r, 50 + r, 50 + r);
  }
  db::Database d = db::Database::newDrawing();
  // Bulge 1 from (0,0) to (100,0): a counter-clockwise half circle below the chord.
  add(d, polyline({{{0, 0}, 1.0}, {{100, 0}}}));
  expectExtents(d, 0, -50, 100, 0);
  // Width 10 reaches 5 beyond the centre line.
  add(d, polyline({{{0, 20}, 0, 10, 10}, {{100, 20}, 0, 10, 10}}));
  expectExtents(d, -5, -50, 105, 25);
}

// Arcs and bulges measured through every kind of placement: in model space and in
// references kept square to the axes (mirrored, stretched) or turned, against the box of
// many points along each curve.
TEST(RenderExtents, arcsMeasuredInEveryPlacementMatchTheirPoints) {
  struct Curve {
    const char* what;
    double a0, a1;  // degrees (an arc), or NAN with a bulge
    double bulge;
  };
  const Curve curves[] = {
      {"first quadrant inside", 10, 80, 0},      {"exactly a quadrant", 0, 90, 0},
      {"through 90 and 180", 60, 200, 0},        {"through 0", 300, 30, 0},
      {"nearly whole", 1, 359, 0},               {"angles past a turn", -450, 45, 0},
      {"ends on 270", 180, 270, 0},              {"whole circle", NAN, NAN, 0},
      {"bulge left", NAN, 0, 0.7},               {"bulge right, over half", NAN, 0, -2.5},
  };
  struct Placement {
    const char* what;
    double sx, sy, rotation;
  };
  const Placement placements[] = {{"model space", 0, 0, 0}, {"moved", 1, 1, 0},     {"mirrored in x", -1, 1, 0},
                                  {"mirrored in y", 2, -0.5, 0}, {"turned 90", 1, 1, 90}, {"turned 30", 3, 1, 30}};
  const double cx = 7, cy = -3, r = 40;
  const double x = 1000, y = 500;  // where references stand
  for (const Curve& c : curves) {
    for (const Placement& at : placements) {
      SCOPED_TRACE(std::string(c.what) + ", " + at.what);
      db::Database d = db::Database::newDrawing();
      const bool inBlock = at.sx != 0;
      db::BlockId owner{0};
      if (inBlock) {
        auto block = d.addBlock("B", {0, 0, 0});
        ASSERT_TRUE(block.ok());
        owner = *block;
      }
      // The curve's points: centre, radius, start and sweep in radians.
      double start = 0, sweep = 2 * M_PI, ccx = cx, ccy = cy, rr = r;
      if (c.bulge != 0) {
        const db::Point2 p{cx - r, cy}, q{cx + r, cy + 10};
        add(d, polyline({{p, c.bulge}, {q}}), owner);
        const double chord = std::hypot(q.x - p.x, q.y - p.y);
        // The bulge is the tangent of a quarter of the included angle.
        const double b = c.bulge;
        sweep = 4 * std::atan(b);
        rr = chord * (1 + b * b) / (4 * std::abs(b));
        const double h = chord * (1 - b * b) / (4 * b);  // the centre's distance left of the chord
        ccx = (p.x + q.x) / 2 - (q.y - p.y) / chord * h;
        ccy = (p.y + q.y) / 2 + (q.x - p.x) / chord * h;
        start = std::atan2(p.y - ccy, p.x - ccx);
      } else if (std::isnan(c.a0)) {
        add(d, circle(cx, cy, r), owner);
      } else {
        add(d, arc(cx, cy, r, c.a0, c.a1), owner);
        start = c.a0 * M_PI / 180;
        sweep = std::fmod(std::fmod(c.a1 - c.a0, 360.0) + 360.0, 360.0) * M_PI / 180;
      }
      if (inBlock) add(d, reference(owner, x, y, at.sx, at.sy, at.rotation));
      const double turn = at.rotation * M_PI / 180, cs = std::cos(turn), sn = std::sin(turn);
      double x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
      constexpr int kSteps = 20000;
      for (int i = 0; i <= kSteps; ++i) {
        const double a = start + sweep * i / kSteps;
        double px = ccx + rr * std::cos(a), py = ccy + rr * std::sin(a);
        if (inBlock) {
          const double sx = px * at.sx, sy = py * at.sy;
          px = x + cs * sx - sn * sy;
          py = y + sn * sx + cs * sy;
        }
        x0 = std::min(x0, px), y0 = std::min(y0, py), x1 = std::max(x1, px), y1 = std::max(y1, py);
      }
      const auto e = modelExtents(d);
      ASSERT_TRUE(e.has_value());
      // Points between the samples bulge out by at most r(1 - cos(step / 2)) times the scale.
      const double tolerance = 1e-4;
      EXPECT_NEAR(e->minX, x0, tolerance);
      EXPECT_NEAR(e->minY, y0, tolerance);
      EXPECT_NEAR(e->maxX, x1, tolerance);
      EXPECT_NEAR(e->maxY, y1, tolerance);
    }
  }
}

// Curves measured after a frame from 0,0 to 100,100: those inside it change nothing, those
// whose circle reaches out but whose own points do not change nothing either, and the
// others (a polyline's width included, a reference's turn and scale included) grow it.
TEST(RenderExtents, curvesWithinWhatIsMeasuredAlready) {
  struct Case {
    const char* what;
    std::function<void(db::Database&)> add;
    double x0, y0, x1, y1;
  };
  auto inBlock = [](db::Database& d, db::Entity e, double x, double y, double scale, double rotation) {
    auto block = d.addBlock("B", {0, 0, 0});
    ASSERT_TRUE(block.ok());
    add(d, std::move(e), *block);
    add(d, reference(*block, x, y, scale, scale, rotation));
  };
  const Case cases[] = {
      {"circle inside", [](db::Database& d) { add(d, circle(50, 50, 10)); }, 0, 0, 100, 100},
      {"circle reaching out", [](db::Database& d) { add(d, circle(95, 50, 10)); }, 0, 0, 105, 100},
      {"its left half, inside", [](db::Database& d) { add(d, arc(95, 50, 10, 90, 270)); }, 0, 0, 100, 100},
      {"its right half", [](db::Database& d) { add(d, arc(95, 50, 10, 270, 90)); }, 0, 0, 105, 100},
      {"bulge inside", [](db::Database& d) { add(d, polyline({{{40, 50}, 1.0}, {{60, 50}}})); }, 0, 0, 100, 100},
      // A half circle below the chord down to y = 5, 12 wide: 6 beyond it.
      {"wide bulge reaching out", [](db::Database& d) { add(d, polyline({{{40, 15}, 1.0, 12, 12}, {{60, 15}, 0, 12, 12}})); },
       0, -1, 100, 100},
      {"turned reference inside", [&](db::Database& d) { inBlock(d, circle(0, 0, 10), 50, 50, 2, 30); }, 0, 0, 100, 100},
      // Turned by 30°, the circle of radius 20 reaches 2 beyond, though x' = 2·cos 30°·x + ... alone would not.
      {"turned reference reaching out", [&](db::Database& d) { inBlock(d, circle(0, 0, 10), 82, 50, 2, 30); },
       0, 0, 102, 100},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    db::Database d = db::Database::newDrawing();
    add(d, line(0, 0, 100, 0));
    add(d, line(100, 0, 100, 100));
    add(d, line(100, 100, 0, 100));
    add(d, line(0, 100, 0, 0));
    c.add(d);
    expectExtents(d, c.x0, c.y0, c.x1, c.y1);
  }
}

TEST(RenderExtents, leaveOutErasedAndHiddenEntities) {
  db::Database d = db::Database::newDrawing();
  EXPECT_FALSE(modelExtents(d).has_value());
  addLayer(d, "OFF", -1);
  addLayer(d, "FROZEN", 2, "Continuous", 1);
  add(d, line(0, 0, 10, 10));
  db::Entity off = line(-100, -100, 0, 0);
  off.layer = d.intern("OFF");
  add(d, off);
  db::Entity frozen = line(0, 0, 500, 500);
  frozen.layer = d.intern("FROZEN");
  add(d, frozen);
  ASSERT_EQ(d.erase(add(d, line(0, 0, 200, 0))), db::Status::ok);
  expectExtents(d, 0, 0, 10, 10);
}

TEST(RenderGeometry, arcsAndCirclesAreDrawnWhereTheyLie) {
  TempDir dir;
  db::Database d = db::Database::newDrawing();
  addFrame(d);
  add(d, arc(40, 60, 30, 45, 135));   // green, top point at (40, 90)
  add(d, circle(120, 60, 20));        // blue
  Pixels p = renderPng(d, dir);
  EXPECT_TRUE(p.shows(px(40), py(90), kGreen));
  EXPECT_TRUE(p.blankAround(px(40), py(30)));  // the bottom of the circle the arc is part of
  EXPECT_TRUE(p.blankAround(px(10), py(60)));  // its leftmost point: outside 45°-135°
  for (double a = 0; a < 360; a += 45) {
    const double x = 120 + 20 * std::cos(a * M_PI / 180), y = 60 + 20 * std::sin(a * M_PI / 180);
    EXPECT_TRUE(p.shows(px(x), py(y), kBlue)) << a;
  }
  EXPECT_TRUE(p.blankAround(px(120), py(60)));
}

TEST(RenderGeometry, pointsSolidsFacesAndEllipsesAreMeasuredAndDrawnWhereTheyLie) {
  db::Database d = db::Database::newDrawing();
  addFrame(d);
  // A solid in a mirrored plane: its own x runs to the world's left, so it lies at x 40..60.
  db::Solid solid = db::Solid::through(db::Solid::Type::solid, {-60, 20, 0}, {-40, 20, 0}, {-60, 40, 0}, db::Point3{-40, 40, 0});
  solid.extrusion = {0, 0, -1};
  db::Entity filled(solid);
  filled.color = 1;
  add(d, filled);
  // A face whose first edge (along the bottom) is hidden.
  db::Solid face = db::Solid::through(db::Solid::Type::face, {80, 20, 0}, {100, 20, 0}, {100, 40, 0}, db::Point3{80, 40, 0});
  face.hiddenEdges = 1;
  db::Entity edges(face);
  edges.color = 3;
  add(d, edges);
  db::Entity ellipse(db::Ellipse{{130, 60, 0}, {30, 0, 0}, {0, 0, 1}, 0.5, 0, 2 * M_PI});
  ellipse.color = 5;
  add(d, ellipse);
  db::Entity point(db::Point{{20, 100, 0}});
  point.color = 1;
  add(d, point);
  // The ellipse reaches past the frame to x 160 and no further; the point stays inside.
  expectExtents(d, 0, 0, 170, 120);
  TempDir dir;
  Pixels p = renderPng(d, dir);
  EXPECT_TRUE(p.shows(px(50), py(30), kRed)) << "the solid is filled";
  EXPECT_TRUE(p.blankAround(px(50), py(50))) << "above the solid";
  EXPECT_TRUE(p.shows(px(90), py(40), kGreen)) << "the face's top edge";
  EXPECT_TRUE(p.blankAround(px(90), py(20))) << "its hidden bottom edge";
  EXPECT_TRUE(p.shows(px(130), py(75), kBlue)) << "the ellipse's top";
  EXPECT_TRUE(p.shows(px(160), py(60), kBlue)) << "its right end";
  EXPECT_TRUE(p.blankAround(px(130), py(60)));
  EXPECT_TRUE(p.shows(px(20), py(100), kRed, 2)) << "the point";

  db::Database alone = db::Database::newDrawing();
  add(alone, filled);
  add(alone, ellipse);
  expectExtents(alone, 40, 20, 160, 75);
}

TEST(RenderGeometry, polylinesFollowBulgesAndClose) {
  TempDir dir;
  db::Database d = db::Database::newDrawing();
  addFrame(d);
  // Bulge -1 from (20,60) to (60,60): a clockwise half circle above the chord.
  add(d, polyline({{{20, 60}, -1.0}, {{60, 60}}}));
  // A closed triangle: its closing side runs from (150,100) back to (100,20).
  add(d, polyline({{{100, 20}}, {{150, 20}}, {{150, 100}}}, true, 3));
  Pixels p = renderPng(d, dir);
  EXPECT_TRUE(p.shows(px(40), py(80), kRed));
  EXPECT_TRUE(p.blankAround(px(40), py(40)));
  EXPECT_TRUE(p.blankAround(px(40), py(60)));  // no straight chord
  EXPECT_TRUE(p.shows(px(125), py(60), kGreen));
}

TEST(RenderGeometry, polylineWidthsAreDrawnToScale) {
  TempDir dir;
  db::Database d = db::Database::newDrawing();
  addFrame(d);
  // Constant width 10 (20 pixels): a red band from y = 95 to 105.
  db::Entity wide = polyline({{{20, 100}}, {{150, 100}}});
  wide.as<db::Polyline>()->setConstantWidth(10);
  add(d, wide);
  // Tapering from 0 to 20 along y = 40.
  add(d, polyline({{{20, 40}, 0, 0, 20}, {{150, 40}}}, false, 5));
  Pixels p = renderPng(d, dir);
  EXPECT_TRUE(p.shows(px(80), py(104), kRed, 0));
  EXPECT_TRUE(p.shows(px(80), py(96), kRed, 0));
  EXPECT_TRUE(p.blankAround(px(80), py(108)));
  EXPECT_TRUE(p.shows(px(145), py(48), kBlue, 0));   // near the wide end
  EXPECT_TRUE(p.blankAround(px(30), py(48)));        // the narrow end
  EXPECT_TRUE(p.shows(px(30), py(40), kBlue));
}

}  // namespace
}  // namespace orv::render::test
