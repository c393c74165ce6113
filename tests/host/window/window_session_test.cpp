// Sessions answered in the window: what the panel keeps is the transcript of a script
// run of the same replies; keys, clicks and the title.
#include <gtest/gtest.h>

#include <QMenu>

#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QToolButton>

#include "window_fixture.h"

namespace orv::window::testing {
namespace {

std::vector<const db::Line*> linesOf(const db::Database& d) {
  std::vector<const db::Line*> out;
  d.forEachEntity(d.modelSpace(), [&](db::ObjectId, const db::Entity& e) {
    if (const auto* l = e.as<db::Line>()) out.push_back(l);
  });
  return out;
}

TEST(WindowSession, aClickedLineLeavesTheTranscriptOfTheSameRepliesTyped) {
  WindowSession w;
  EXPECT_EQ(w.window().windowTitle(), "orvcad - 未命名");
  w.type("line");
  w.click({200, 300});
  w.click({600, 150});
  w.key(Qt::Key_Return);
  w.step([&] {
    EXPECT_EQ(w.window().windowTitle(), "orvcad - 未命名 *");
    return false;
  });
  w.type("UNDO");
  w.run();

  ASSERT_EQ(w.clicked().size(), 2u);
  const auto& c = w.clicked();
  const std::string a = pointText({c[0].x, c[0].y, 0}), b = pointText({c[1].x, c[1].y, 0});
  EXPECT_EQ(w.console().transcript(), scriptTranscript({"line", a, b, "", "UNDO"}));
  EXPECT_EQ(w.window().windowTitle(), "orvcad - 未命名");
  // The points are the drawing points under the clicks, to a tenth of a pixel.
  const ViewTransform& t = w.view().transform();
  EXPECT_EQ(c[0].x, roundToPixel(t.toDrawing({200, 300}), t.scale).x);
  EXPECT_EQ(c[1].y, roundToPixel(t.toDrawing({600, 150}), t.scale).y);
  EXPECT_NEAR(c[1].x, t.toDrawing({600, 150}).x, 0.1 / t.scale);
  EXPECT_TRUE(linesOf(w.session().database()).empty());  // undone
}

TEST(WindowSession, theSelectionKeywordsAreNamedInChineseAndAClickOnOneIsItsReply) {
  WindowSession w;
  const std::vector<std::string> typed = {"LINE", "0,0", "10,0", "", "LINE", "0,5", "10,5", "", "ERASE"};
  for (const std::string& t : typed) w.type(t);
  QStringList labels;
  w.step([&] {
    for (QToolButton* b : w.panel().keywordButtons()) labels << b->text();
    QToolButton* all = keywordButton(w.panel(), "ALL");
    if (!all) return false;
    all->click();
    return true;
  });
  w.key(Qt::Key_Return);
  w.run();

  EXPECT_EQ(labels, (QStringList{"窗口(W)", "窗交(C)", "全部(ALL)", "上一个(L)", "上次(P)", "删除(R)", "添加(A)"}));
  EXPECT_TRUE(linesOf(w.session().database()).empty());
  std::vector<std::string> replies = typed;
  replies.insert(replies.end(), {"ALL", ""});
  EXPECT_EQ(w.console().transcript(), scriptTranscript(replies));
}

TEST(WindowSession, escCancelsSpaceEndsARightClickIsEnterAndEnterRepeats) {
  WindowSession w;
  std::vector<std::string> replies;
  w.type("LINE");
  w.click({100, 100});
  w.key(Qt::Key_Escape);
  w.step([&] {  // "LINE" ended by the space bar
    QTest::keyClicks(w.panel().input(), "LINE");
    QTest::keyClick(w.panel().input(), Qt::Key_Space);
    return true;
  });
  w.click({300, 200});
  w.click({500, 200});
  w.step([&] {  // a right click at a point prompt with keywords opens their menu: 确认 is Enter
    QTest::mouseClick(&w.view(), Qt::RightButton, {}, {400, 400});
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    EXPECT_NE(menu, nullptr);
    QAction* enter = nullptr;
    if (menu)
      for (QAction* a : menu->actions())
        if (a->text() == "确认(Enter)") enter = a;
    EXPECT_NE(enter, nullptr);
    if (menu) menu->close();
    if (enter) enter->trigger();
    return enter != nullptr;
  });
  w.key(Qt::Key_Return);  // Enter at the command prompt repeats LINE
  w.key(Qt::Key_Escape);
  // Keys typed while the view or the history has the focus go to the command line.
  w.step([&] {
    w.panel().history()->setFocus();
    QTest::keyClicks(w.panel().history(), "zz");
    QTest::keyClick(w.panel().history(), Qt::Key_Return);
    return true;
  });
  w.run();

  const auto& c = w.clicked();
  ASSERT_EQ(c.size(), 3u);
  auto text = [](db::Point2 p) { return pointText({p.x, p.y, 0}); };
  EXPECT_EQ(w.console().transcript(),
            scriptTranscript({"LINE", text(c[0]), "^C", "LINE", text(c[1]), text(c[2]), "", "", "^C", "zz"}));
  const auto lines = linesOf(w.session().database());
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0]->start.x, c[1].x);
  EXPECT_EQ(lines[0]->end.y, c[2].y);
  EXPECT_EQ(w.console().recentCommands().front(), "LINE");
}

TEST(WindowSession, upAndDownWalkWhatWasTypedAtTheCommandPrompt) {
  WindowSession w;
  w.type("PICKBOX");
  w.type("2");
  w.type("HELP");
  w.step([&] {
    QLineEdit* in = w.panel().input();
    QTest::keyClick(in, Qt::Key_Up);
    EXPECT_EQ(in->text(), "HELP");
    QTest::keyClick(in, Qt::Key_Up);
    EXPECT_EQ(in->text(), "PICKBOX");  // replies to other prompts are not in it
    QTest::keyClick(in, Qt::Key_Up);
    EXPECT_EQ(in->text(), "PICKBOX");
    QTest::keyClick(in, Qt::Key_Down);
    EXPECT_EQ(in->text(), "HELP");
    QTest::keyClick(in, Qt::Key_Down);
    EXPECT_EQ(in->text(), "");
    return false;
  });
  w.run();
  EXPECT_EQ(w.session().pickDistance(), 2.0);
}

TEST(WindowSession, aCommandFromTheMenuCancelsTheWaitingOneAndViewActionsAnswerNothing) {
  WindowSession w;
  w.type("LINE");
  w.click({100, 500});
  w.step([&] {
    // Zoom, pan and the toggles while the point prompt waits: no reply.
    QWheelEvent wheel(QPointF(300, 300), w.view().mapToGlobal(QPointF(300, 300)), QPoint(), QPoint(0, 120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&w.view(), &wheel);
    QTest::mouseDClick(&w.view(), Qt::MiddleButton, {}, {300, 300});
    QTest::keyClick(w.panel().input(), Qt::Key_F8);
    EXPECT_TRUE(w.view().orthoOn());
    EXPECT_TRUE(w.window().orthoButton().isChecked());
    QTest::mouseClick(&w.window().orthoButton(), Qt::LeftButton);
    EXPECT_FALSE(w.view().orthoOn());
    EXPECT_TRUE(w.console().waiting());
    return false;
  });
  w.step([&] {
    w.window().runCommand("LINE");
    return true;
  });
  w.click({700, 500});
  w.key(Qt::Key_Escape);
  w.run();
  const auto& c = w.clicked();
  auto text = [](db::Point2 p) { return pointText({p.x, p.y, 0}); };
  EXPECT_EQ(w.console().transcript(), scriptTranscript({"LINE", text(c[0]), "^C", "LINE", text(c[1]), "^C"}));
}

TEST(WindowSession, orthoMovesTheClickOntoTheLineThroughTheBaseAndANumberIsADistanceTowardsTheCursor) {
  WindowSession w;
  w.type("LINE");
  w.click({200, 400});
  w.step([&] {
    w.window().orthoButton().setChecked(true);
    return false;
  });
  w.click({500, 380});  // nearer the horizontal: lands on it
  w.step([&] {
    moveTo(w.view(), {500, 100});  // upwards from there (ortho: straight up)
    QTest::keyClicks(w.panel().input(), "25");
    QTest::keyClick(w.panel().input(), Qt::Key_Return);
    return true;
  });
  w.key(Qt::Key_Return);
  w.run();
  const auto lines = linesOf(w.session().database());
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0]->end.y, lines[0]->start.y);
  EXPECT_EQ(lines[1]->start.x, lines[1]->end.x);
  EXPECT_DOUBLE_EQ(lines[1]->end.y - lines[1]->start.y, 25.0);
  // The transcript shows the point the distance gave, as a script would type it.
  EXPECT_NE(w.console().transcript().find(pointText({lines[1]->end.x, lines[1]->end.y, 0})), std::string::npos);
}

TEST(WindowSession, closingWhileACommandWaitsCancelsItThenQuits) {
  WindowSession w;
  w.type("LINE");
  w.click({300, 300});
  w.step([&] {
    w.window().close();
    return true;
  });
  w.run();  // returns: the session ended
  const std::string& t = w.console().transcript();
  EXPECT_TRUE(t.ends_with("*取消*\n\n命令: QUIT\n")) << t;
}

}  // namespace
}  // namespace orv::window::testing

namespace orv::window::testing {
namespace {

TEST(WindowSession, aClickNearAnEndpointGivesTheEndpointExactlyWithItsMarker) {
  WindowSession w;
  db::Database& d = w.session().database();
  const db::Point3 end{123.456789, 98.7654321, 0};
  ASSERT_TRUE(d.append(db::Entity(db::Line{{0, 0, 0}, end})));
  w.view().zoomExtents();
  w.type("LINE");
  w.step([&] {
    const db::Point2 at = w.view().transform().toDevice({end.x, end.y});
    const QPoint near(static_cast<int>(at.x) + 4, static_cast<int>(at.y) - 3);
    moveTo(w.view(), near);
    const QImage shown = w.view().grab().toImage();
    // The endpoint's square marker: its corner pixels in the marker colour.
    const QRgb corner = shown.pixel(QPoint(static_cast<int>(at.x) - 6, static_cast<int>(at.y) - 3)) & 0xFFFFFF;
    EXPECT_GT(qRed(corner), 200) << std::hex << corner;
    EXPECT_LT(qBlue(corner), 100) << std::hex << corner;
    QTest::mouseClick(&w.view(), Qt::LeftButton, {}, near);
    return true;
  });
  w.step([&] {  // F3 off: the same click is the point under the cursor
    QTest::keyClick(w.panel().input(), Qt::Key_F3);
    EXPECT_FALSE(w.session().drafting().objectSnap);
    const db::Point2 at = w.view().transform().toDevice({end.x, end.y});
    const QPoint near(static_cast<int>(at.x) + 4, static_cast<int>(at.y) - 3);
    moveTo(w.view(), near);
    QTest::mouseClick(&w.view(), Qt::LeftButton, {}, near);
    return true;
  });
  w.key(Qt::Key_Escape);
  w.run();
  ASSERT_GE(w.clicked().size(), 2u);
  EXPECT_EQ(w.clicked()[0].x, end.x);
  EXPECT_EQ(w.clicked()[0].y, end.y);
  EXPECT_NE(w.clicked()[1].x, end.x);
}

}  // namespace
}  // namespace orv::window::testing
