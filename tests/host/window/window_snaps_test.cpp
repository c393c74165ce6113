// The running snaps chosen in the window: the snap toggle's right-click menu sets what
// OSNAP sets, and the view offers the kinds chosen.
#include <gtest/gtest.h>

#include <QContextMenuEvent>
#include <QMenu>

#include "window_fixture.h"

namespace orv::window::testing {
namespace {

QStringList checkedKinds(QMenu& menu) {
  QStringList out;
  for (QAction* a : menu.actions())
    if (a->isChecked()) out << a->text();
  return out;
}

TEST(WindowSnaps, theSnapMenuListsTheKindsAndChoosingOneChangesWhatTheViewOffers) {
  WindowSession w;
  db::Database& d = w.session().database();
  // A line along y = 0 from 0 to 200 and a circle about (400, 0): at 4 units a pixel.
  ASSERT_TRUE(d.append(db::Entity(db::Line{{0, 0, 0}, {200, 0, 0}})));
  ASSERT_TRUE(d.append(db::Entity(db::Circle{{400, 0, 0}, 100})));
  w.view().drawingChanged();
  const ViewTransform t{0.25, 300.0, 300.0};
  auto device = [&](double x, double y) {
    const db::Point2 p = t.toDevice({x, y});
    return QPoint(static_cast<int>(std::lround(p.x)), static_cast<int>(std::lround(p.y)));
  };
  // What a click near a drawing point gives with the running snaps as the menu sets them.
  auto offered = [&](double x, double y) {
    moveTo(w.view(), device(x, y) + QPoint(2, -3));
    return w.view().effectivePoint().value_or(db::Point2{-1e9, -1e9});
  };
  auto choose = [&](const QStringList& kinds) {
    QMenu& menu = w.window().snapMenu();
    for (QAction* a : menu.actions())
      if (a->isChecked() != kinds.contains(a->text())) a->trigger();
  };

  w.step([&] {
    w.view().moveView(t);
    QMenu& menu = w.window().snapMenu();
    QStringList all;
    for (QAction* a : menu.actions()) all << a->text();
    EXPECT_EQ(all, (QStringList{"端点", "中点", "圆心", "交点", "垂足", "最近点", "象限点", "插入点"}));
    EXPECT_EQ(checkedKinds(menu), (QStringList{"端点", "中点", "圆心", "交点"}));
    // A right click on the status bar's toggle opens it.
    QToolButton& toggle = w.window().snapButton();
    QContextMenuEvent right(QContextMenuEvent::Mouse, QPoint(3, 3), toggle.mapToGlobal(QPoint(3, 3)));
    QApplication::sendEvent(&toggle, &right);
    EXPECT_EQ(QApplication::activePopupWidget(), &menu);
    menu.close();
    return false;
  });
  w.type("LINE");
  w.step([&] {
    const struct {
      const char* name;
      QStringList kinds;
      db::Point2 near;
      std::optional<db::Point2> snapped;  // nullopt: the click is not snapped
    } cases[] = {
        {"the midpoint by default", {"端点", "中点", "圆心", "交点"}, {100, 0}, db::Point2{100, 0}},
        {"midpoints off", {"端点", "圆心", "交点"}, {100, 0}, std::nullopt},
        {"quadrants", {"象限点"}, {400, 100}, db::Point2{400, 100}},
        {"the centre", {"圆心"}, {300, 0}, db::Point2{400, 0}},
        {"none", {}, {200, 0}, std::nullopt},
    };
    for (const auto& c : cases) {
      SCOPED_TRACE(c.name);
      choose(c.kinds);
      EXPECT_EQ(checkedKinds(w.window().snapMenu()), c.kinds);
      const db::Point2 p = offered(c.near.x, c.near.y);
      if (c.snapped) {
        EXPECT_EQ(p, *c.snapped);
      } else {
        EXPECT_GT(std::hypot(p.x - c.near.x, p.y - c.near.y), 4.0);  // the cursor's point
      }
    }
    // The setting is the session's, as OSNAP shows it.
    choose({"中点", "垂足"});
    const core::DraftingSettings& s = w.session().drafting();
    EXPECT_EQ(s.runningSnaps, prompt::snapBit(prompt::SnapKind::midpoint) |
                                  prompt::snapBit(prompt::SnapKind::perpendicular));
    return false;
  });
  w.key(Qt::Key_Escape);
  // OSNAP typed: the menu follows.
  w.type("OSNAP");
  w.type("END,QUA");
  w.step([&] {
    EXPECT_EQ(checkedKinds(w.window().snapMenu()), (QStringList{"端点", "象限点"}));
    return false;
  });
  w.run();
  EXPECT_NE(w.console().transcript().find("当前对象捕捉模式: 中点，垂足"), std::string::npos);
}

}  // namespace
}  // namespace orv::window::testing
