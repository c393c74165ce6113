// Lineweights and Shift in the window: an EXTEND pick with Shift held trims, the panel's
// lineweight and linetype scale rows change the selection as one step each, and the
// status bar's 线宽 toggle draws lineweights and is kept in the drawing.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QImage>
#include <QLineEdit>

#include <algorithm>

#include "lineweights.h"
#include "orv/geom/kept.h"
#include "properties_panel.h"
#include "window_fixture.h"

namespace orv::window::testing {
namespace {

// A boundary at x = 20, a line crossing it along y = 0 and one stopping short of it along
// y = 10: at EXTEND a pick with Shift held on the crossing line's far end trims it there.
// (A Shift pick at TRIM extending is driven through the real window by the e2e test.)
TEST(WindowLineweights, aShiftPickAtExtendTrims) {
  WindowSession w;
  for (const char* t : {"LINE", "20,-10", "20,30", "", "LINE", "0,0", "30,0", "", "LINE", "0,10", "14,10", ""})
    w.type(t);
  w.act([&w] {
    w.window().snapButton().setChecked(false);
    w.view().moveView(kTenPixels);
  });
  w.type("EXTEND");
  w.type("");  // every entity is an edge
  w.step([&w] {
    const QPoint at = pixelOf(25, 0);
    moveTo(w.view(), at);
    QTest::mouseClick(&w.view(), Qt::LeftButton, Qt::ShiftModifier, at);
    return true;
  });
  w.type("");
  w.run();
  std::vector<std::string> got = describeEntities(w.session().database());
  std::sort(got.begin(), got.end());
  EXPECT_EQ(got, (std::vector<std::string>{"0 ByLayer 256 LINE (0 0 0)(20 0 0)", "0 ByLayer 256 LINE (0 10 0)(14 10 0)",
                                          "0 ByLayer 256 LINE (20 -10 0)(20 30 0)"}))
      << w.console().transcript();
  // The transcript shows the pick as the point it gave.
  EXPECT_NE(w.console().transcript().find("放弃(U)]: 25,"), std::string::npos) << w.console().transcript();
}

TEST(WindowLineweights, thePanelsRowsChangeTheSelectionOneUndoStepEach) {
  WindowSession w;
  for (const char* t : {"LINE", "0,0", "40,0", "", "LINE", "0,20", "40,20", ""}) w.type(t);
  auto typeScale = [&w](const char* text) {
    QLineEdit& scale = w.window().properties().linetypeScale();
    scale.setFocus();
    scale.selectAll();
    QTest::keyClicks(&scale, text);
    QTest::keyClick(&scale, Qt::Key_Return);
    return true;
  };
  w.act([&w] {
    w.view().moveView(kTenPixels);
    QTest::mouseClick(&w.view(), Qt::LeftButton, {}, pixelOf(20, 0));
    w.window().properties().toggleViewAction()->trigger();
  });
  w.step([&w] {
    QComboBox& box = w.window().properties().lineweight();
    const int at = box.findText("0.50 mm");
    EXPECT_GE(at, 0);
    box.setCurrentIndex(at);
    emit box.activated(at);
    return true;
  });
  w.step([&] { return typeScale("2.5"); });
  w.step([&] { return typeScale("-1"); });  // refused, changing nothing
  w.type("UNDO");                            // the scale only
  w.run();

  const std::string& t = w.console().transcript();
  EXPECT_NE(t.find("命令: CHPROP LW 0.50\n\n命令: CHPROP S 2.5\n\n命令: CHPROP S -1\n\n线型比例无效"), std::string::npos) << t;
  const db::Database& d = w.session().database();
  std::vector<std::pair<int, double>> got;
  d.forEachEntity(d.modelSpace(), [&](db::ObjectId id, const db::Entity&) {
    const db::RawTags* extras = d.entityExtras(id);
    const geom::CommonProps p = extras ? geom::decodeCommon(*extras) : geom::CommonProps{};
    got.emplace_back(p.lineweight, p.linetypeScale);
  });
  EXPECT_EQ(got, (std::vector<std::pair<int, double>>{{50, 1.0}, {-1, 1.0}}));
}

TEST(WindowLineweights, theStatusBarToggleDrawsLineweightsAndIsKeptInTheDrawing) {
  WindowSession w;
  for (const char* t : {"LWEIGHT", "2.11", "LINE", "0,0", "40,0", "", "LWEIGHT", "0.13", "LINE", "0,20", "40,20", ""})
    w.type(t);
  struct Seen {
    bool checked, kept;
    int heavy, thin;  // rows of pixels across each line that are not the background
  };
  std::vector<Seen> seen;
  auto look = [&] {
    w.act([&] {
      w.view().renderNow();
      const QImage& image = w.view().cachedImage();
      const QRgb background = image.pixel(5, 5) & 0xFFFFFF;
      auto thickness = [&](QPoint at) {
        int n = 0;
        for (int row = at.y() - 12; row <= at.y() + 12; ++row) n += (image.pixel(at.x(), row) & 0xFFFFFF) != background;
        return n;
      };
      seen.push_back({w.window().lineweightButton().isChecked(), app::lineweightDisplay(w.session().database()),
                      thickness(pixelOf(20, 0)), thickness(pixelOf(20, 20))});
      keepPicture(w.window(), ("lineweights-" + std::to_string(seen.size())).c_str());
    });
  };
  w.act([&w] { w.view().moveView(kTenPixels); });
  look();
  w.act([&w] { w.window().lineweightButton().click(); });
  look();
  w.type("LWDISPLAY");  // typed: the toggle follows
  w.type("OFF");
  look();
  w.run();

  ASSERT_EQ(seen.size(), 3u);
  EXPECT_FALSE(seen[0].checked || seen[0].kept);
  EXPECT_LE(seen[0].heavy, 2);
  EXPECT_LE(seen[0].thin, 2);
  EXPECT_TRUE(seen[1].checked && seen[1].kept);
  EXPECT_GE(seen[1].heavy, 7);  // 2.11 mm at 96 pixels an inch: 8 pixels
  EXPECT_LE(seen[1].thin, 2);
  EXPECT_FALSE(seen[2].checked || seen[2].kept);
  EXPECT_LE(seen[2].heavy, 2);
}

}  // namespace
}  // namespace orv::window::testing
