// The page model: sheets by name, scales, and where an area lands on a sheet.
#include "orv/render/page.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orv::render {
namespace {

TEST(Paper, isFoundByNameAndCustomSizesAreChecked) {
  struct Case {
    const char* name;
    bool found;
    double shortMm, longMm;
    const char* shown;
  };
  const Case cases[] = {
      {"A0", true, 841, 1189, "A0"},     {"a1", true, 594, 841, "A1"},      {" A4 ", true, 210, 297, "A4"},
      {"A3x3", true, 420, 891, "A3x3"},  {"a4×5", true, 297, 1051, "A4x5"}, {"A3*4", true, 420, 1189, "A3x4"},
      {"500x300", true, 300, 500, "500×300"}, {"0x300", false, 0, 0, ""},   {"6000x10", false, 0, 0, ""},
      {"B5", false, 0, 0, ""},           {"", false, 0, 0, ""},             {"nanxnan", false, 0, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto p = paperNamed(c.name);
    ASSERT_EQ(p.has_value(), c.found);
    if (!p) continue;
    EXPECT_EQ(p->shortMm, c.shortMm);
    EXPECT_EQ(p->longMm, c.longMm);
    EXPECT_EQ(p->name, c.shown);
  }
}

TEST(PlotScale, readsRatiosAndFitAndRefusesTheRest) {
  struct Case {
    const char* text;
    bool ok;
    bool fit;
    double paper, drawing;
    const char* shown;
  };
  const Case cases[] = {
      {"1:100", true, false, 1, 100, "1:100"}, {"2:1", true, false, 2, 1, "2:1"},
      {" 1:2.5 ", true, false, 1, 2.5, "1:2.5"}, {"布满", true, true, 1, 1, "布满"},
      {"f", true, true, 1, 1, "布满"},          {"1:0", false, false, 0, 0, ""},
      {"1:-5", false, false, 0, 0, ""},        {"100", false, false, 0, 0, ""},
      {"1:inf", false, false, 0, 0, ""},       {"a:b", false, false, 0, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const auto s = parseScale(c.text);
    ASSERT_EQ(s.has_value(), c.ok);
    if (!s) continue;
    EXPECT_EQ(s->fit, c.fit);
    if (!c.fit) {
      EXPECT_EQ(s->paper, c.paper);
      EXPECT_EQ(s->drawing, c.drawing);
    }
    EXPECT_EQ(scaleText(*s), c.shown);
  }
}

TEST(PagePlan, placesTheAreaAtTheScaleCentredOrOffsetAndSaysWhetherItFits) {
  struct Case {
    const char* what;
    const char* paper;
    Orientation orientation;
    const char* scale;
    Extents area;
    double unitMm;
    bool centred;
    double offX, offY, margin;
    // Expected: sheet size, the area's lower-left corner on the sheet (mm from the
    // left and from the bottom), mm per unit, fits.
    double w, h, left, bottom, mmPerUnit;
    bool fits;
  };
  const Case cases[] = {
      {"A3 landscape 1:100 centred", "A3", Orientation::landscape, "1:100", {0, 0, 10000, 5000}, 1, true, 0, 0, 0,
       420, 297, 160, 123.5, 0.01, true},
      {"A1 portrait 1:50 centred", "A1", Orientation::portrait, "1:50", {0, 0, 10000, 5000}, 1, true, 0, 0, 0,
       594, 841, 197, 370.5, 0.02, true},
      {"metres: 1:100 of 10 m is 100 mm", "A3", Orientation::landscape, "1:100", {0, 0, 10, 5}, 1000, true, 0, 0, 0,
       420, 297, 160, 123.5, 10, true},
      {"offset from the printable corner", "A4", Orientation::landscape, "1:10", {100, 200, 300, 400}, 1, false, 20,
       30, 5, 297, 210, 25, 35, 0.1, true},
      {"too big at the scale", "A4", Orientation::landscape, "1:10", {0, 0, 10000, 100}, 1, true, 0, 0, 0, 297, 210,
       -351.5, 100, 0.1, false},
      {"fit inside the margins", "A3", Orientation::landscape, "F", {0, 0, 1000, 100}, 1, true, 0, 0, 10, 420, 297,
       10, 128.5, 0.4, true},
      {"fit, offset past the margin", "A3", Orientation::landscape, "F", {0, 0, 1000, 100}, 1, false, 5, 7, 10, 420,
       297, 15, 17, 0.4, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    PageModel page;
    page.paper = *paperNamed(c.paper);
    page.orientation = c.orientation;
    page.scale = *parseScale(c.scale);
    page.area = c.area;
    page.unitMm = c.unitMm;
    page.centred = c.centred;
    page.offsetXMm = c.offX;
    page.offsetYMm = c.offY;
    page.marginMm = c.margin;
    const PagePlan plan = planPage(page);
    EXPECT_EQ(plan.widthMm, c.w);
    EXPECT_EQ(plan.heightMm, c.h);
    EXPECT_NEAR(plan.paperMmPerUnit, c.mmPerUnit, 1e-9);
    const db::Point2 corner = plan.view.toDevice({c.area.minX, c.area.minY});
    EXPECT_NEAR(corner.x, c.left, 1e-6);
    EXPECT_NEAR(plan.heightMm - corner.y, c.bottom, 1e-6);
    EXPECT_EQ(plan.fits, c.fits);
    // On a device of 10 units a millimetre, the same place ten times as far.
    const db::Point2 onDevice = plan.onDevice(10.0).toDevice({c.area.minX, c.area.minY});
    EXPECT_NEAR(onDevice.x, 10.0 * c.left, 1e-5);
  }
}

TEST(PenTable, givesTheStandardWeightsByColour) {
  const PenTable t = PenTable::standard();
  EXPECT_EQ(t.mm[1], 0.25);
  EXPECT_EQ(t.mm[6], 0.25);
  EXPECT_EQ(t.mm[7], 0.35);
  EXPECT_EQ(t.mm[8], 0.18);
  EXPECT_EQ(t.mm[255], 0.18);
  EXPECT_EQ(millimetresPerUnit(4), 1.0);
  EXPECT_EQ(millimetresPerUnit(0), 1.0);
  EXPECT_EQ(millimetresPerUnit(6), 1000.0);
  EXPECT_EQ(millimetresPerUnit(1), 25.4);
}

}  // namespace
}  // namespace orv::render
