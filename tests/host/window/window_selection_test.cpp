// Selecting and editing by the mouse in the window: clicks and boxes at the command
// prompt, Shift, Esc, Ctrl+A and Delete, a grip dragged, a box pressed, dragged and
// released, and the entities following the cursor while MOVE waits.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QImage>
#include <QLabel>

#include <cstdlib>

#include "orv/dxf/reader.h"
#include "properties_panel.h"
#include "selection_tools.h"
#include "window_fixture.h"

namespace orv::window::testing {
namespace {

// Ten pixels a drawing unit, the drawing's origin at pixel (100, 400): the two lines
// typed below lie along pixel rows 400 and 200, from column 100 to 500.
const ViewTransform kView{10.0, 100.0, 400.0};

void drawTwoLines(WindowSession& w) {
  for (const char* t : {"LINE", "0,0", "40,0", "", "LINE", "0,20", "40,20", ""}) w.type(t);
  w.step([&w] {
    w.view().moveView(kView);
    return false;
  });
}

std::size_t selected(WindowSession& w) { return w.session().selector().current().size(); }

// A press, a drag and a release of the left button in the view.
void pressDragRelease(DrawingView& v, QPoint from, QPoint to) {
  moveTo(v, from);
  QTest::mousePress(&v, Qt::LeftButton, {}, from);
  moveTo(v, to, Qt::LeftButton);
  QTest::mouseRelease(&v, Qt::LeftButton, {}, to);
}

// ORV_SELECTION_SCREENSHOTS=DIR keeps pictures of the window to look at.
void keep(WindowSession& w, const char* name) {
  if (const char* dir = std::getenv("ORV_SELECTION_SCREENSHOTS"))
    w.window().grab().save(QString("%1/%2.png").arg(dir, name));
}

int coloured(const QImage& image, QRect area, QRgb background) {
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) n += (image.pixel(x, y) & 0xFFFFFF) != (background & 0xFFFFFF);
  return n;
}

TEST(WindowSelection, clicksBoxesAndKeysAtTheCommandPromptSelectAndDeleteErasesAsOneStep) {
  WindowSession w;
  drawTwoLines(w);
  struct Seen {
    std::size_t count;
    std::size_t grips;
  };
  std::vector<Seen> seen;
  auto look = [&] {
    w.step([&] {
      seen.push_back({selected(w), w.view().grips().size()});
      return false;
    });
  };
  auto act = [&](std::function<void()> f) {
    w.step([f] {
      f();
      return false;
    });
  };
  act([&] { QTest::mouseClick(&w.view(), Qt::LeftButton, {}, QPoint(300, 400)); });
  look();  // one line: its ends and middle
  act([&] { QTest::mouseClick(&w.view(), Qt::LeftButton, {}, QPoint(300, 200)); });
  act([&] {
    w.view().repaint();
    keep(w, "selection-grips");
  });
  look();
  act([&] { QTest::mouseClick(&w.view(), Qt::LeftButton, Qt::ShiftModifier, QPoint(302, 400)); });
  look();  // the first taken out again
  w.key(Qt::Key_Escape);  // clears the selection, and cancels at the command prompt as ever
  look();
  act([&] { pressDragRelease(w.view(), {50, 150}, {550, 450}); });  // to the right: wholly inside
  look();
  w.key(Qt::Key_Escape);
  act([&] { pressDragRelease(w.view(), {350, 450}, {250, 150}); });  // to the left: crossing
  look();
  w.key(Qt::Key_Delete);  // ERASE of both, without asking
  w.step([&] {
    seen.push_back({describeEntities(w.session().database()).size(), w.view().grips().size()});
    return false;
  });
  w.type("UNDO");
  act([&] { QTest::keyClick(w.panel().input(), Qt::Key_A, Qt::ControlModifier); });
  look();
  w.type("ERASE");  // takes the selection; "P" is it afterwards
  w.type("UNDO");
  w.type("ERASE");
  w.type("P");
  w.key(Qt::Key_Return);
  w.run();

  const std::vector<std::pair<std::size_t, std::size_t>> expected = {{1, 3}, {2, 6}, {1, 3}, {0, 0}, {2, 6},
                                                                     {2, 6}, {0, 0}, {2, 6}};
  ASSERT_EQ(seen.size(), expected.size()) << w.console().transcript();
  for (std::size_t i = 0; i < seen.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(seen[i].count, expected[i].first);
    EXPECT_EQ(seen[i].grips, expected[i].second);
  }
  EXPECT_TRUE(describeEntities(w.session().database()).empty());
  const std::string& t = w.console().transcript();
  EXPECT_NE(t.find("命令: ERASE\n\n命令: UNDO"), std::string::npos) << t;
  EXPECT_NE(t.find("选择对象:P\n\n找到 2 个"), std::string::npos) << t;
}

TEST(WindowSelection, aGripDraggedMovesThatEndAndIsSavedAsOneUndoStep) {
  WindowSession w;
  drawTwoLines(w);
  const auto file = std::filesystem::temp_directory_path() / ("orv-grip-" + std::to_string(::getpid()) + ".dxf");
  bool hot = false;
  w.step([&] {
    QTest::mouseClick(&w.view(), Qt::LeftButton, {}, QPoint(300, 400));
    return false;
  });
  w.click({500, 400});  // the line's end grip: GRIPEDIT, stretching it
  w.step([&] {
    hot = w.console().promptLine().find("拉伸") != std::string::npos;
    moveTo(w.view(), {600, 300});
    w.view().repaint();
    keep(w, "grip-stretch");
    EXPECT_EQ(w.view().previewShown(), 1u);
    return false;
  });
  w.key(Qt::Key_Space);  // 移动, then back to 拉伸 through the other modes
  for (int i = 0; i < 4; ++i) w.key(Qt::Key_Space);
  w.click({600, 300});
  w.type("SAVE");
  w.type(file.string());
  w.run();

  EXPECT_TRUE(hot);
  const dxf::ReadResult saved = dxf::readDxfFile(file);
  std::filesystem::remove(file);
  ASSERT_TRUE(saved.ok()) << saved.error;
  const std::vector<std::string> drawing = describeEntities(*saved.drawing);
  ASSERT_EQ(drawing.size(), 2u);
  EXPECT_EQ(drawing[0], "0 ByLayer 256 LINE (0 0 0)(50 10 0)");
  EXPECT_EQ(drawing[1], "0 ByLayer 256 LINE (0 20 0)(40 20 0)");
  EXPECT_EQ(selected(w), 1u);  // still selected, with its grips
  const std::string& t = w.console().transcript();
  EXPECT_NE(t.find("命令: GRIPEDIT 40,0\n\n** 拉伸 **\n指定拉伸点: \n\n** 移动 **"), std::string::npos) << t;
}

TEST(WindowSelection, aBoxPressedDraggedAndReleasedSelectsAndMoveShowsTheSelectionAtTheCursor) {
  WindowSession w;
  drawTwoLines(w);
  std::size_t highlighted = 0, previewed = 0;
  int previewPixels = 0, oldPlacePixels = 0;
  w.type("MOVE");
  w.step([&] {
    moveTo(w.view(), {50, 150});
    QTest::mousePress(&w.view(), Qt::LeftButton, {}, QPoint(50, 150));  // on nothing: a corner
    return true;
  });
  w.step([&] {
    moveTo(w.view(), {550, 450}, Qt::LeftButton);
    QTest::mouseRelease(&w.view(), Qt::LeftButton, {}, QPoint(550, 450));
    return true;
  });
  w.step([&] {
    if (const core::SelectionSet* s = w.session().selector().active()) highlighted = s->size();
    w.view().repaint();
    keep(w, "selection-highlight");
    return false;
  });
  w.key(Qt::Key_Return);
  w.click({100, 400});  // the base point: the first line's start
  w.step([&] {
    moveTo(w.view(), {300, 100});  // 20, 30
    const QImage frame = w.view().grab().toImage();
    keep(w, "move-preview");
    previewed = w.view().previewShown();
    const QRgb background = frame.pixel(5, 5);
    previewPixels = coloured(frame, QRect(350, 98, 100, 5), background);  // the first line at y 30
    oldPlacePixels = coloured(frame, QRect(350, 398, 100, 5), background);
    return false;
  });
  w.click({300, 100});
  w.run();

  EXPECT_EQ(highlighted, 2u);
  EXPECT_EQ(previewed, 2u);
  EXPECT_GT(previewPixels, 50);
  EXPECT_GT(oldPlacePixels, 50);  // the drawing stays where it is until the click
  EXPECT_EQ(describeEntities(w.session().database()),
            (std::vector<std::string>{"0 ByLayer 256 LINE (20 30 0)(60 30 0)", "0 ByLayer 256 LINE (20 50 0)(60 50 0)"}));
}

// A choice in one of the panel's lists, as a user makes it.
bool choose(QComboBox& box, const QString& item) {
  const int at = box.findText(item);
  EXPECT_GE(at, 0) << item.toStdString();
  if (at < 0) return false;
  box.setCurrentIndex(at);
  emit box.activated(at);
  return true;
}

TEST(WindowSelection, aPropertyChangedInThePanelIsOneUndoStepAndIsSaved) {
  WindowSession w;
  drawTwoLines(w);
  for (const char* t : {"LAYER", "N", "PIPE", ""}) w.type(t);
  const auto file = std::filesystem::temp_directory_path() / ("orv-props-" + std::to_string(::getpid()) + ".dxf");
  QString summary;
  bool shown = false;
  w.step([&] {
    QTest::mouseClick(&w.view(), Qt::LeftButton, {}, QPoint(300, 400));
    QAction* show = w.window().properties().toggleViewAction();  // 视图 ▸ 特性
    EXPECT_EQ(show->shortcut(), QKeySequence("Ctrl+1"));
    show->trigger();
    shown = w.window().properties().isVisible();
    summary = w.window().properties().summary().text();
    return choose(w.window().properties().layer(), "PIPE");
  });
  w.step([&] {
    w.window().repaint();
    keep(w, "properties-panel");
    return choose(w.window().properties().colour(), "1 红");
  });
  w.type("UNDO");  // the colour only
  w.type("SAVE");
  w.type(file.string());
  w.run();

  EXPECT_TRUE(shown);
  EXPECT_EQ(summary, "选中 1 个：直线 1");
  const dxf::ReadResult saved = dxf::readDxfFile(file);
  std::filesystem::remove(file);
  ASSERT_TRUE(saved.ok()) << saved.error;
  EXPECT_EQ(describeEntities(*saved.drawing),
            (std::vector<std::string>{"PIPE ByLayer 256 LINE (0 0 0)(40 0 0)", "0 ByLayer 256 LINE (0 20 0)(40 20 0)"}));
  const std::string& t = w.console().transcript();
  EXPECT_NE(t.find("命令: CHPROP LA PIPE\n\n命令: CHPROP C 1\n\n命令: UNDO"), std::string::npos) << t;
}

}  // namespace
}  // namespace orv::window::testing
