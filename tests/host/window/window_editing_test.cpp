// Editing in the window beyond clicks: one entity's geometry changed in the properties
// panel, the clipboard keys (a copy pasted in a second window following the cursor until
// the click, with its layer), the right-click menus, and grips hidden while a command runs.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QSpinBox>

#include "geometry_editor.h"
#include "properties_panel.h"
#include "window_clipboard.h"
#include "window_fixture.h"

namespace orv::window::testing {
namespace {

void setView(WindowSession& w) {
  w.act([&w] { w.view().moveView(kTenPixels); });
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

TEST(WindowEditing, geometryChangedInThePanelIsOneStepAndBadValuesAreRefused) {
  WindowSession w;
  for (const char* t : {"CIRCLE", "20,0", "10", "PLINE", "0,20", "10,20", "10,30", ""}) w.type(t);
  setView(w);
  GeometryEditor* g = nullptr;
  w.step([&] {
    QTest::mouseClick(&w.view(), Qt::LeftButton, {}, QPoint(400, 400));  // the circle's right quadrant
    w.window().properties().toggleViewAction()->trigger();
    g = &w.window().properties().geometry();
    EXPECT_EQ(g->field("RADIUS") ? g->field("RADIUS")->text() : QString(), "10");
    return edit(g->field("RADIUS"), "5");
  });
  w.step([&] { return edit(g->field("RADIUS"), "-2"); });
  w.step([&] {
    keepPicture(w.window(), "geometry-panel");
    QTest::keyClick(w.panel().input(), Qt::Key_Escape);
    return true;
  });
  w.step([&] {
    QTest::mouseClick(&w.view(), Qt::LeftButton, {}, QPoint(150, 200));  // the polyline's first segment
    EXPECT_NE(g->vertexChooser(), nullptr);
    if (!g->vertexChooser()) return false;
    g->vertexChooser()->setValue(3);
    EXPECT_EQ(g->field("VERTEX")->text(), "10, 30");
    EXPECT_FALSE(g->closedBox()->isChecked());
    return edit(g->field("VERTEX"), "0, 30");
  });
  w.step([&] {
    EXPECT_EQ(g->field("VERTEX")->text(), "0, 30");  // the chosen vertex stays chosen
    g->closedBox()->click();
    return true;
  });
  w.type("UNDO");  // closed
  w.run();

  EXPECT_EQ(describeEntities(w.session().database()),
            (std::vector<std::string>{"0 ByLayer 256 CIRCLE (20 0 0) 5",
                                      "0 ByLayer 256 LWPOLYLINE (0 20 0) (10 20 0) (0 30 0)"}));
  const std::string& t = w.console().transcript();  // each change one CHGEOM line
  for (const char* said : {"命令: CHGEOM RADIUS 5\n", "命令: CHGEOM RADIUS -2\n\n半径须是正数。",
                           "命令: CHGEOM VERTEX 3 0, 30\n", "命令: CHGEOM CLOSED Y\n"})
    EXPECT_NE(t.find(said), std::string::npos) << said << "\n" << t;
}

// A leader's own rows: its vertex count, arrow, path type, style and note; the path type
// chosen in the panel is one CHGEOM step.
TEST(WindowEditing, aLeaderShowsItsRowsAndItsPathTypeIsChangedInThePanel) {
  WindowSession w;
  for (const char* t : {"LE", "0,0", "10,10", "20,10", "", ""}) w.type(t);
  setView(w);
  GeometryEditor* g = nullptr;
  w.step([&] {
    QTest::mouseClick(&w.view(), Qt::LeftButton, {}, QPoint(250, 300));  // its last segment
    w.window().properties().toggleViewAction()->trigger();
    g = &w.window().properties().geometry();
    for (auto [key, text] : {std::pair{"VERTICES", "3"}, {"DIMSTYLE", "Standard"}, {"ANNOTATION", "无"}})
      EXPECT_EQ(g->shownValue(key) ? g->shownValue(key)->text() : QString(), QString::fromUtf8(text)) << key;
    QComboBox* path = g->choice("PATH");
    EXPECT_TRUE(path && g->choice("ARROW"));
    if (!path || !g->choice("ARROW")) return false;
    EXPECT_EQ(g->choice("ARROW")->currentText(), QStringLiteral("有"));
    EXPECT_EQ(path->currentText(), QStringLiteral("直线"));
    path->setCurrentIndex(1);
    emit path->activated(1);
    return true;
  });
  w.act([&] {
    EXPECT_EQ(g->choice("PATH") ? g->choice("PATH")->currentText() : QString(), QStringLiteral("样条曲线"));
  });
  w.run();
  const db::Database& d = w.session().database();
  int leaders = 0;
  d.forEachEntity(d.modelSpace(), [&](db::ObjectId, const db::Entity& e) {
    if (const auto* l = e.as<db::Leader>()) {
      ++leaders;
      EXPECT_TRUE(l->spline());
    }
  });
  EXPECT_EQ(leaders, 1);
  EXPECT_NE(w.console().transcript().find("命令: CHGEOM PATH SPLINE\n"), std::string::npos);
}

// Ctrl+C puts the chosen line on the clipboard as a DXF drawing (and as text); Ctrl+V in
// another drawing, which has no layer PIPE, pastes it following the cursor, once, until
// the click, and brings its layer.
TEST(WindowEditing, clipboardKeysCopyAndPasteFollowingTheCursorIntoAnotherDrawing) {
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
    w.act([&] {
      const QMimeData* data = QApplication::clipboard()->mimeData();
      const QByteArray dxf = data ? data->data(kDxfMimeType) : QByteArray();
      dxfOnClipboard = dxf.contains("ENTITIES") && dxf.contains("PIPE") && data->hasText();
    });
    w.run();
  }
  EXPECT_TRUE(dxfOnClipboard);
  WindowSession other;
  std::size_t previewed = 0;
  setView(other);
  other.step([&] {
    QTest::keyClick(other.panel().input(), Qt::Key_V, Qt::ControlModifier);
    return true;
  });
  other.act([&] {
    moveTo(other.view(), QPoint(300, 200));
    other.view().repaint();
    previewed = other.view().previewShown();
  });
  other.click({300, 200});
  other.run();
  EXPECT_EQ(previewed, 1u);
  EXPECT_EQ(describeEntities(other.session().database()),
            std::vector<std::string>{"PIPE ByLayer 256 LINE (20 20 0)(60 20 0)"});
  EXPECT_NE(other.session().database().layers().get("PIPE"), nullptr);
}

TEST(WindowEditing, rightClickMenusAndGripsHiddenWhileACommandRuns) {
  WindowSession w;
  for (const char* t : {"LINE", "0,0", "40,0", ""}) w.type(t);
  setView(w);
  std::size_t gripsBefore = 0, gripsAfter = 0;
  w.type("LINE");
  w.type("0,20");
  w.act([&] {  // "指定下一点或 [放弃(U)]:" has a keyword: a menu, not Enter
    QTest::mouseClick(&w.view(), Qt::RightButton, {}, QPoint(300, 300));
    EXPECT_EQ(popupActions(), (QStringList{"确认(Enter)", "取消(Esc)", "放弃(U)"}));
  });
  w.type("40,20");
  w.step([&] {  // the same prompt again: 确认 from the menu ends the command
    QTest::mouseClick(&w.view(), Qt::RightButton, {}, QPoint(300, 300));
    QAction* enter = nullptr;
    if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget()))
      for (QAction* a : menu->actions())
        if (a->text() == "确认(Enter)") enter = a;
    EXPECT_NE(enter, nullptr);
    if (enter) enter->trigger();
    if (QWidget* open = QApplication::activePopupWidget()) open->close();
    return enter != nullptr;
  });
  w.step([&] {
    QTest::mouseClick(&w.view(), Qt::LeftButton, {}, QPoint(300, 400));
    gripsBefore = w.view().grips().size();
    QTest::mouseClick(&w.view(), Qt::RightButton, {}, QPoint(300, 300));
    const QStringList atCommand = popupActions();
    for (const char* offered : {"移动 (MOVE)", "复制到剪贴板 (COPYCLIP)", "全部不选"})
      EXPECT_TRUE(atCommand.contains(offered)) << atCommand.join("|").toStdString();
    w.panel().input()->setText("CHGEOM");  // keeps the selection it takes
    QTest::keyClick(w.panel().input(), Qt::Key_Return);
    return true;
  });
  w.act([&] { EXPECT_EQ(w.view().grips().size(), 0u); });
  w.type("END 30,0");
  w.act([&] { gripsAfter = w.view().grips().size(); });
  w.run();

  EXPECT_GT(gripsBefore, 0u);
  EXPECT_EQ(gripsAfter, gripsBefore);
  EXPECT_EQ(describeEntities(w.session().database()),
            (std::vector<std::string>{"0 ByLayer 256 LINE (0 0 0)(30 0 0)", "0 ByLayer 256 LINE (0 20 0)(40 20 0)"}));
}

}  // namespace
}  // namespace orv::window::testing
