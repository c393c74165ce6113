// Editing in the window beyond clicks: one entity's geometry changed in the properties
// panel, the clipboard keys (a copy following the cursor until the click, and pasted in
// a second window with its layer), the right-click menus, and grips hidden while a
// command runs.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QSpinBox>

#include <cstdlib>

#include "geometry_editor.h"
#include "properties_panel.h"
#include "window_clipboard.h"
#include "window_fixture.h"

namespace orv::window::testing {
namespace {

// Ten pixels a drawing unit, the origin at pixel (100, 400).
const ViewTransform kView{10.0, 100.0, 400.0};

void setView(WindowSession& w) {
  w.step([&w] {
    w.view().moveView(kView);
    return false;
  });
}

void keep(QWidget& w, const char* name) {
  if (const char* dir = std::getenv("ORV_EDITING_SCREENSHOTS")) w.grab().save(QString("%1/%2.png").arg(dir, name));
}

// A field of the panel typed in and left, as a user does.
bool edit(QLineEdit* field, const QString& text) {
  EXPECT_NE(field, nullptr);
  if (!field) return false;
  field->setText(text);
  emit field->editingFinished();
  return true;
}

// The texts of the open popup menu's actions; the menu is closed.
QStringList popupActions() {
  QStringList out;
  auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  if (!menu) return out;
  for (QAction* a : menu->actions())
    if (!a->isSeparator()) out << a->text();
  menu->close();
  return out;
}

QAction* popupAction(const QString& text) {
  auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  if (!menu) return nullptr;
  for (QAction* a : menu->actions())
    if (a->text() == text) return a;
  return nullptr;
}

TEST(WindowEditing, geometryChangedInThePanelIsOneStepAndBadValuesAreRefused) {
  WindowSession w;
  for (const char* t : {"CIRCLE", "20,0", "10", "PLINE", "0,20", "10,20", "10,30", ""}) w.type(t);
  setView(w);
  struct Seen {
    QString radiusShown, vertexShown, kept;
    bool closedShown = true;
  } seen;
  GeometryEditor* g = nullptr;
  w.step([&] {
    QTest::mouseClick(&w.view(), Qt::LeftButton, {}, QPoint(400, 400));  // the circle's right quadrant
    w.window().properties().toggleViewAction()->trigger();
    g = &w.window().properties().geometry();
    seen.radiusShown = g->field("RADIUS") ? g->field("RADIUS")->text() : QString();
    return edit(g->field("RADIUS"), "5");
  });
  w.step([&] { return edit(g->field("RADIUS"), "-2"); });
  w.step([&] { return edit(g->field("CENTER"), "abc"); });
  w.step([&] {
    keep(w.window(), "geometry-panel");
    QTest::keyClick(w.panel().input(), Qt::Key_Escape);
    return true;
  });
  w.step([&] {
    QTest::mouseClick(&w.view(), Qt::LeftButton, {}, QPoint(150, 200));  // the polyline's first segment
    EXPECT_NE(g->vertexChooser(), nullptr);
    if (!g->vertexChooser()) return false;
    g->vertexChooser()->setValue(3);
    seen.vertexShown = g->field("VERTEX")->text();
    seen.closedShown = g->closedBox()->isChecked();
    return edit(g->field("VERTEX"), "0, 30");
  });
  w.step([&] {
    seen.kept = g->field("VERTEX")->text();  // the chosen vertex stays chosen
    g->closedBox()->click();
    return true;
  });
  w.type("UNDO");  // closed
  w.run();

  EXPECT_EQ(seen.radiusShown, "10");
  EXPECT_EQ(seen.vertexShown, "10, 30");
  EXPECT_FALSE(seen.closedShown);
  EXPECT_EQ(seen.kept, "0, 30");
  EXPECT_EQ(describeEntities(w.session().database()),
            (std::vector<std::string>{"0 ByLayer 256 CIRCLE (20 0 0) 5",
                                      "0 ByLayer 256 LWPOLYLINE (0 20 0) (10 20 0) (0 30 0)"}));
  const std::string& t = w.console().transcript();
  for (const char* said : {"命令: CHGEOM RADIUS 5\n", "命令: CHGEOM RADIUS -2\n\n半径须是正数。",
                           "命令: CHGEOM CENTER abc\n\n“abc”不是点", "命令: CHGEOM VERTEX 3 0, 30\n",
                           "命令: CHGEOM CLOSED Y\n"})
    EXPECT_NE(t.find(said), std::string::npos) << said << "\n" << t;
}

TEST(WindowEditing, clipboardKeysCopyAndPasteFollowingTheCursorAndIntoAnotherWindow) {
  std::size_t previewed = 0;
  bool dxfOnClipboard = false;
  {
    WindowSession w;
    for (const char* t : {"LAYER", "M", "PIPE", "", "LINE", "0,0", "40,0", ""}) w.type(t);
    setView(w);
    w.step([&] {
      QTest::mouseClick(&w.view(), Qt::LeftButton, {}, QPoint(300, 400));
      QTest::keyClick(w.panel().input(), Qt::Key_C, Qt::ControlModifier);
      return true;
    });
    w.step([&] {
      const QMimeData* data = QApplication::clipboard()->mimeData();
      const QByteArray dxf = data ? data->data(kDxfMimeType) : QByteArray();
      dxfOnClipboard = dxf.contains("ENTITIES") && dxf.contains("PIPE") && data->hasText();
      QTest::keyClick(w.panel().input(), Qt::Key_V, Qt::ControlModifier);
      return true;
    });
    w.step([&] {
      moveTo(w.view(), QPoint(300, 200));
      w.view().repaint();
      previewed = w.view().previewShown();
      keep(w.window(), "paste-preview");
      return false;
    });
    w.click({300, 200});
    w.run();
    EXPECT_EQ(describeEntities(w.session().database()),
              (std::vector<std::string>{"PIPE ByLayer 256 LINE (0 0 0)(40 0 0)", "PIPE ByLayer 256 LINE (20 20 0)(60 20 0)"}));
  }
  EXPECT_TRUE(dxfOnClipboard);
  EXPECT_EQ(previewed, 1u);
  // A second window: the line comes with its layer.
  WindowSession other;
  setView(other);
  other.step([&] {
    QTest::keyClick(other.panel().input(), Qt::Key_V, Qt::ControlModifier);
    return true;
  });
  other.click({100, 400});
  other.run();
  EXPECT_EQ(describeEntities(other.session().database()),
            std::vector<std::string>{"PIPE ByLayer 256 LINE (0 0 0)(40 0 0)"});
  EXPECT_NE(other.session().database().layers().get("PIPE"), nullptr);
}

TEST(WindowEditing, rightClickMenusAndGripsHiddenWhileACommandRuns) {
  WindowSession w;
  for (const char* t : {"LINE", "0,0", "40,0", ""}) w.type(t);
  setView(w);
  struct Seen {
    QStringList atKeywords, atCommand;
    std::size_t gripsBefore = 0, gripsDuring = 9, gripsAfter = 0;
  } seen;
  w.type("LINE");
  w.type("0,20");
  w.step([&] {  // "指定下一点或 [放弃(U)]:" has a keyword: a menu, not Enter
    QTest::mouseClick(&w.view(), Qt::RightButton, {}, QPoint(300, 300));
    seen.atKeywords = popupActions();
    return false;
  });
  w.type("40,20");
  w.step([&] {  // the same prompt again: 确认 from the menu ends the command
    QTest::mouseClick(&w.view(), Qt::RightButton, {}, QPoint(300, 300));
    QAction* enter = popupAction("确认(Enter)");
    EXPECT_NE(enter, nullptr);
    if (enter) enter->trigger();
    if (QWidget* open = QApplication::activePopupWidget()) open->close();
    return enter != nullptr;
  });
  w.step([&] {
    QTest::mouseClick(&w.view(), Qt::LeftButton, {}, QPoint(300, 400));
    seen.gripsBefore = w.view().grips().size();
    QTest::mouseClick(&w.view(), Qt::RightButton, {}, QPoint(300, 300));
    seen.atCommand = popupActions();
    w.panel().input()->setText("CHGEOM");  // keeps the selection it takes
    QTest::keyClick(w.panel().input(), Qt::Key_Return);
    return true;
  });
  w.step([&] {
    seen.gripsDuring = w.view().grips().size();
    return false;
  });
  w.type("END 30,0");
  w.step([&] {
    seen.gripsAfter = w.view().grips().size();
    return false;
  });
  w.run();

  EXPECT_EQ(seen.atKeywords, (QStringList{"确认(Enter)", "取消(Esc)", "放弃(U)"}));
  EXPECT_TRUE(seen.atCommand.contains("移动 (MOVE)")) << seen.atCommand.join("|").toStdString();
  EXPECT_TRUE(seen.atCommand.contains("复制到剪贴板 (COPYCLIP)"));
  EXPECT_TRUE(seen.atCommand.contains("全部不选"));
  EXPECT_GT(seen.gripsBefore, 0u);
  EXPECT_EQ(seen.gripsDuring, 0u);
  EXPECT_EQ(seen.gripsAfter, seen.gripsBefore);
  EXPECT_EQ(describeEntities(w.session().database()),
            (std::vector<std::string>{"0 ByLayer 256 LINE (0 0 0)(30 0 0)", "0 ByLayer 256 LINE (0 20 0)(40 20 0)"}));
}

}  // namespace
}  // namespace orv::window::testing
