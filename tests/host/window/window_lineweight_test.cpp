// Lineweights and Shift in the window: a TRIM or EXTEND pick with Shift held does the
// other's work, the panel's lineweight and linetype scale rows change the selection as
// one step each, and the status bar's 线宽 toggle draws lineweights and is kept in the
// drawing.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QImage>
#include <QLineEdit>

#include <cstdlib>

#include "lineweights.h"
#include "orv/dxf/reader.h"
#include "orv/geom/kept.h"
#include "properties_panel.h"
#include "window_fixture.h"

namespace orv::window::testing {
namespace {

// Ten pixels a drawing unit, the drawing's origin at pixel (100, 400).
const ViewTransform kTen{10.0, 100.0, 400.0};
QPoint pixel(double x, double y) { return {static_cast<int>(100 + 10 * x), static_cast<int>(400 - 10 * y)}; }

void act(WindowSession& w, std::function<void()> f) {
  w.step([f] {
    f();
    return false;
  });
}

std::vector<std::string> linesOf(const db::Database& d) {
  std::vector<std::string> out;
  d.forEachEntity(d.modelSpace(), [&](db::ObjectId, const db::Entity& e) {
    if (const auto* l = e.as<db::Line>())
      out.push_back(std::to_string(l->start.x) + "," + std::to_string(l->start.y) + " " + std::to_string(l->end.x) +
                    "," + std::to_string(l->end.y));
  });
  return out;
}

TEST(WindowLineweights, aShiftPickAtTrimExtendsAndAtExtendTrims) {
  // A boundary at x = 20; a line crossing it along y = 0, one stopping short of it along y = 10.
  const std::string crossing = "0.000000,0.000000 20.000000,0.000000";
  const std::string reaching = "0.000000,10.000000 20.000000,10.000000";
  const std::string boundary = "20.000000,-10.000000 20.000000,30.000000";
  const struct {
    const char* command;
    double x, y;  // the pick
    bool shift;
    std::vector<std::string> expected;
  } cases[] = {
      {"TRIM", 25, 0, false, {boundary, crossing, "0.000000,10.000000 14.000000,10.000000"}},
      {"TRIM", 13, 10, true, {boundary, "0.000000,0.000000 30.000000,0.000000", reaching}},
      {"EXTEND", 13, 10, false, {boundary, "0.000000,0.000000 30.000000,0.000000", reaching}},
      {"EXTEND", 25, 0, true, {boundary, crossing, "0.000000,10.000000 14.000000,10.000000"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.command) + (c.shift ? " with Shift" : ""));
    WindowSession w;
    for (const char* t : {"LINE", "20,-10", "20,30", "", "LINE", "0,0", "30,0", "", "LINE", "0,10", "14,10", ""})
      w.type(t);
    act(w, [&w] {
      w.window().snapButton().setChecked(false);
      w.view().moveView(kTen);
    });
    w.type(c.command);
    w.type("");  // every entity is an edge
    w.step([&w, &c] {
      const QPoint at = pixel(c.x, c.y);
      moveTo(w.view(), at);
      QTest::mouseClick(&w.view(), Qt::LeftButton, c.shift ? Qt::ShiftModifier : Qt::KeyboardModifiers{}, at);
      return true;
    });
    w.type("");
    w.run();
    std::vector<std::string> got = linesOf(w.session().database());
    std::sort(got.begin(), got.end());
    std::vector<std::string> expected = c.expected;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(got, expected) << w.console().transcript();
    // The transcript shows the pick as the point it gave, Shift or not.
    EXPECT_NE(w.console().transcript().find("放弃(U)]: " + std::to_string(static_cast<int>(c.x)) + ","),
              std::string::npos)
        << w.console().transcript();
  }
}

// The entity's lineweight and linetype scale as its tags say.
geom::CommonProps propsOf(const db::Database& d, db::ObjectId id) {
  const db::RawTags* extras = d.entityExtras(id);
  return extras ? geom::decodeCommon(*extras) : geom::CommonProps{};
}

TEST(WindowLineweights, thePanelsRowsChangeTheSelectionOneUndoStepEach) {
  WindowSession w;
  for (const char* t : {"LINE", "0,0", "40,0", "", "LINE", "0,20", "40,20", ""}) w.type(t);
  const auto file = std::filesystem::temp_directory_path() / ("orv-lw-" + std::to_string(::getpid()) + ".dxf");
  QString shownWeight, shownScale;
  act(w, [&w] {
    w.view().moveView(kTen);
    QTest::mouseClick(&w.view(), Qt::LeftButton, {}, pixel(20, 0));
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
  w.step([&w] {
    QLineEdit& scale = w.window().properties().linetypeScale();
    scale.setFocus();
    scale.selectAll();
    QTest::keyClicks(&scale, "2.5");
    QTest::keyClick(&scale, Qt::Key_Return);
    return true;
  });
  w.step([&] {
    shownWeight = w.window().properties().lineweight().currentText();
    shownScale = w.window().properties().linetypeScale().text();
    // A scale the drawing cannot hold is refused and changes nothing.
    QLineEdit& scale = w.window().properties().linetypeScale();
    scale.selectAll();
    QTest::keyClicks(&scale, "-1");
    QTest::keyClick(&scale, Qt::Key_Return);
    return true;
  });
  w.type("UNDO");  // the scale only
  w.type("SAVE");
  w.type(file.string());
  w.run();

  EXPECT_EQ(shownWeight, "0.50 mm");
  EXPECT_EQ(shownScale, "2.5");
  const std::string& t = w.console().transcript();
  EXPECT_NE(t.find("命令: CHPROP LW 0.50\n\n命令: CHPROP S 2.5\n\n命令: CHPROP S -1\n\n线型比例无效"), std::string::npos) << t;
  const dxf::ReadResult saved = dxf::readDxfFile(file);
  std::filesystem::remove(file);
  ASSERT_TRUE(saved.ok()) << saved.error;
  std::vector<std::pair<int, double>> got;
  saved.drawing->forEachEntity(saved.drawing->modelSpace(), [&](db::ObjectId id, const db::Entity&) {
    const geom::CommonProps p = propsOf(*saved.drawing, id);
    got.emplace_back(p.lineweight, p.linetypeScale);
  });
  EXPECT_EQ(got, (std::vector<std::pair<int, double>>{{50, 1.0}, {-1, 1.0}}));
}

// The rows of pixels across a horizontal line at column x that are not the background.
int thickness(const QImage& image, int x, int y, QRgb background) {
  int n = 0;
  for (int row = y - 12; row <= y + 12; ++row) n += (image.pixel(x, row) & 0xFFFFFF) != (background & 0xFFFFFF);
  return n;
}

TEST(WindowLineweights, theStatusBarToggleDrawsLineweightsAndIsKeptInTheDrawing) {
  WindowSession w;
  const auto file = std::filesystem::temp_directory_path() / ("orv-lwt-" + std::to_string(::getpid()) + ".dxf");
  for (const char* t : {"LWEIGHT", "2.11", "LINE", "0,0", "40,0", "", "LWEIGHT", "0.13", "LINE", "0,20", "40,20", ""})
    w.type(t);
  struct Seen {
    bool checked;
    int heavy, thin;
  };
  std::vector<Seen> seen;
  auto look = [&] {
    act(w, [&] {
      w.view().renderNow();
      const QImage& image = w.view().cachedImage();
      const QRgb background = image.pixel(5, 5);
      seen.push_back({w.window().lineweightButton().isChecked(), thickness(image, pixel(20, 0).x(), pixel(20, 0).y(), background),
                      thickness(image, pixel(20, 20).x(), pixel(20, 20).y(), background)});
      if (const char* dir = std::getenv("ORV_SELECTION_SCREENSHOTS"))
        w.window().grab().save(QString("%1/lineweights-%2.png").arg(dir).arg(seen.size()));
    });
  };
  act(w, [&w] { w.view().moveView(kTen); });
  look();
  act(w, [&w] { w.window().lineweightButton().click(); });
  look();
  w.type("SAVE");
  w.type(file.string());
  w.type("LWDISPLAY");  // typed: the toggle follows
  w.type("OFF");
  look();
  w.run();

  ASSERT_EQ(seen.size(), 3u);
  EXPECT_FALSE(seen[0].checked);
  EXPECT_LE(seen[0].heavy, 2);
  EXPECT_LE(seen[0].thin, 2);
  EXPECT_TRUE(seen[1].checked);
  EXPECT_GE(seen[1].heavy, 7);  // 2.11 mm at 96 pixels an inch: 8 pixels
  EXPECT_LE(seen[1].thin, 2);
  EXPECT_FALSE(seen[2].checked);
  EXPECT_LE(seen[2].heavy, 2);
  const dxf::ReadResult saved = dxf::readDxfFile(file);
  std::filesystem::remove(file);
  ASSERT_TRUE(saved.ok()) << saved.error;
  EXPECT_TRUE(app::lineweightDisplay(*saved.drawing));
  EXPECT_EQ(app::currentLineweight(*saved.drawing), 13);
}

}  // namespace
}  // namespace orv::window::testing
