// Layers in the window: the tool bar's layer control switching a layer's states by its
// icons (a locked layer's entities not chosen by clicks, an off layer's gone from the
// view at once), and the layer manager (格式 ▸ 图层) changing states, making, renaming
// and deleting layers, each change LAYER's one-line form and one step of UNDO.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTableWidget>

#include "layer_control.h"
#include "layer_manager.h"
#include "layer_states.h"
#include "properties_panel.h"
#include "window_fixture.h"

namespace orv::window::testing {
namespace {

int drawnPixels(DrawingView& v, QRect area) {
  v.renderNow();
  const QImage& image = v.cachedImage();
  const QRgb background = image.pixel(2, 2);
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) n += image.pixel(x, y) != background;
  return n;
}

db::Layer layerOf(WindowSession& w, const char* name) {
  const db::Layer* l = w.session().database().layers().get(name);
  if (!l) ADD_FAILURE() << "no layer " << name << "; transcript:\n" << w.console().transcript();
  return l ? *l : db::Layer{};
}

void clickCell(LayerControl& c, int row, LayerControl::Column column) {
  QTest::mouseClick(c.view()->viewport(), Qt::LeftButton, {}, c.cellRect(row, column).center());
}

void clickCell(QTableWidget& t, int row, int column) {
  QTest::mouseClick(t.viewport(), Qt::LeftButton, {}, t.visualItemRect(t.item(row, column)).center());
}

void expectSaid(const std::string& t, std::initializer_list<const char*> said) {
  for (const char* s : said) EXPECT_NE(t.find(s), std::string::npos) << s << "\n" << t;
}

// A line on PIPE along pixel row 400 and one on layer 0 along row 200; PIPE locked and
// turned off in the control, then UNDO: on again, still locked, and at ERASE's
// "选择对象:" a click on its line is counted and said, not chosen.
TEST(WindowLayers, theLayerControlSwitchesStatesAndTheViewAndClicksFollowThem) {
  WindowSession w;
  for (const char* t : {"LAYER", "M", "PIPE", "", "LINE", "0,0", "40,0", "", "CLAYER", "0", "LINE", "0,20", "40,20", ""})
    w.type(t);
  LayerControl& control = w.window().properties().layerControl();
  const QRect pipeLine(150, 397, 300, 7), otherLine(150, 197, 300, 7);
  int pipeRow = -1;
  bool lastStepRan = false;
  w.step([&] {
    w.view().moveView(kTenPixels);
    for (std::size_t i = 0; i < control.rows().size(); ++i)
      if (control.rows()[i].name == "PIPE") pipeRow = static_cast<int>(i);
    EXPECT_GE(pipeRow, 0);
    EXPECT_EQ(control.currentText(), "0");  // the current layer
    control.showPopup();
    clickCell(control, pipeRow, LayerControl::lockedColumn);
    return true;
  });
  w.step([&] {
    EXPECT_TRUE(control.view()->isVisible()) << "the list stays open";
    keepPicture(*control.view(), "layer-list");
    control.hidePopup();
    QTest::mouseClick(&w.view(), Qt::LeftButton, {}, QPoint(300, 400));  // the locked layer's line
    EXPECT_EQ(w.session().selector().current().size(), 0u);
    QTest::mouseClick(&w.view(), Qt::LeftButton, {}, QPoint(300, 200));
    EXPECT_EQ(w.session().selector().current().size(), 1u);
    EXPECT_GT(drawnPixels(w.view(), pipeLine), 100);
    control.showPopup();
    clickCell(control, pipeRow, LayerControl::onColumn);
    return true;
  });
  w.act([&] {
    control.hidePopup();
    EXPECT_EQ(drawnPixels(w.view(), pipeLine), 0);
    EXPECT_GT(drawnPixels(w.view(), otherLine), 100);
    w.session().selector().clearCurrent();  // ERASE below asks for its own
    lastStepRan = true;
  });
  w.type("UNDO");
  w.type("ERASE");
  w.click(QPoint(300, 400));
  w.click(QPoint(300, 200));
  w.type("");
  w.run();

  ASSERT_TRUE(lastStepRan);
  EXPECT_FALSE(app::layerIsOff(layerOf(w, "PIPE")));
  EXPECT_TRUE(app::layerIsLocked(layerOf(w, "PIPE")));
  EXPECT_EQ(describeEntities(w.session().database()),
            std::vector<std::string>{"PIPE ByLayer 256 LINE (0 0 0)(40 0 0)"});
  expectSaid(w.console().transcript(),
             {"命令: LAYER LO PIPE\n\n命令: LAYER OFF PIPE\n\n命令: UNDO", "找到 1 个\n1 个在锁定的图层上。"});
}

// The manager opened from the menu: a layer frozen and left out of plotting by its
// icons, one made by name, renamed by its name cell and deleted by the button; what
// cannot be done is refused in Chinese and leaves the table true; while a command runs
// the manager changes nothing.
TEST(WindowLayers, theLayerManagerChangesLayersThroughUndoableSteps) {
  WindowSession w;
  for (const char* t : {"LAYER", "M", "PIPE", "", "LINE", "0,0", "40,0", "", "LAYER", "N", "SPARE", "S", "0", ""})
    w.type(t);
  LayerManager* manager = nullptr;
  auto table = [&]() -> QTableWidget& { return manager->table(); };
  auto name = [&](int row) { return table().item(row, LayerManager::nameColumn)->text(); };
  // The name cell of `row` edited as the user's editor commits it.
  auto edit = [&](int row, const char* name) {
    table().selectRow(row);
    table().item(row, LayerManager::nameColumn)->setText(QString::fromUtf8(name));
    return true;
  };
  auto remove = [&](int row) {
    table().selectRow(row);
    QTest::mouseClick(&manager->deleteButton(), Qt::LeftButton);
    return true;
  };
  bool lastStepRan = false;
  w.step([&] {
    QAction* open = nullptr;
    for (QAction* m : w.window().menuBar()->actions())
      if (m->text() == "格式" && m->menu())
        for (QAction* a : m->menu()->actions())
          if (a->text() == "图层") open = a;
    EXPECT_NE(open, nullptr);
    if (open) open->trigger();
    manager = &w.window().layerManager();
    EXPECT_TRUE(manager->isVisible());
    EXPECT_EQ(table().rowCount(), 3);
    clickCell(table(), 1, LayerManager::frozenColumn);
    return true;
  });
  w.step([&] {
    clickCell(table(), 1, LayerManager::plotColumn);
    return true;
  });
  w.step([&] {
    manager->newName().setText("WALL");
    QTest::mouseClick(&manager->newButton(), Qt::LeftButton);
    return true;
  });
  w.step([&] {
    EXPECT_EQ(table().rowCount(), 4);
    EXPECT_EQ(name(3), "WALL");
    table().selectRow(0);
    clickCell(table(), 0, LayerManager::frozenColumn);  // the current layer
    return true;
  });
  w.type("UNDO");  // WALL made
  w.step([&] {
    EXPECT_EQ(table().rowCount(), 3);
    return edit(1, "管道");
  });
  w.step([&] {
    EXPECT_EQ(name(1), "管道");
    return remove(2);  // SPARE: nothing on it
  });
  w.step([&] {
    EXPECT_EQ(table().rowCount(), 2);
    return remove(1);  // the line is on it
  });
  w.step([&] {  // a refusal is said in the manager too
    EXPECT_EQ(manager->note().text().toStdString(), "图层“管道”上有对象，不能删除。");
    return edit(0, "ZERO");
  });
  w.act([&] {
    EXPECT_EQ(name(0), "0");
    EXPECT_EQ(manager->note().text().toStdString(), "不能重命名图层“0”。");
    // A double click on a name starts renaming it, not making it current.
    const QPoint at = table().visualItemRect(table().item(1, LayerManager::nameColumn)).center();
    QTest::mouseClick(table().viewport(), Qt::LeftButton, {}, at);  // a double click's first press
    QTest::mouseDClick(table().viewport(), Qt::LeftButton, {}, at);
    QCoreApplication::processEvents();
    QLineEdit* editor = nullptr;
    for (QLineEdit* e : table().findChildren<QLineEdit*>()) editor = e;
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), "管道");
    QTest::keyClick(editor, Qt::Key_Escape);
    edit(1, "  ");  // an empty name is not sent
    EXPECT_TRUE(manager->note().text().contains("不能为空")) << manager->note().text().toStdString();
    QCoreApplication::processEvents();  // the table is filled again once the edit is over
    EXPECT_EQ(name(1), "管道");
    keepPicture(*manager, "layer-manager");
  });
  w.type("LINE");
  w.act([&] {
    clickCell(table(), 1, LayerManager::onColumn);
    EXPECT_TRUE(manager->note().text().contains("命令正在运行")) << manager->note().text().toStdString();
  });
  w.key(Qt::Key_Escape);
  w.step([&] {  // the frozen layer chosen in the tool bar's control
    LayerControl& control = w.window().properties().layerControl();
    const int item = control.findText("管道");
    EXPECT_GE(item, 0);
    control.setCurrentIndex(item);
    emit control.activated(item);
    lastStepRan = true;
    return item >= 0;
  });
  w.type("UNDO");  // SPARE comes back
  w.type("UNDO");  // PIPE has its name again
  w.run();

  ASSERT_TRUE(lastStepRan);
  const db::Database& d = w.session().database();
  std::vector<std::string> names;
  for (const db::Layer& l : d.layers()) names.push_back(l.name);
  EXPECT_EQ(names, (std::vector<std::string>{"0", "PIPE", "SPARE"}));
  EXPECT_TRUE(app::layerIsFrozen(layerOf(w, "PIPE")));
  EXPECT_FALSE(app::layerIsOff(layerOf(w, "PIPE")));
  EXPECT_FALSE(app::layerPlots(layerOf(w, "PIPE")));
  EXPECT_EQ(d.header.currentLayer, "0");
  EXPECT_EQ(describeEntities(d), std::vector<std::string>{"PIPE ByLayer 256 LINE (0 0 0)(40 0 0)"});
  expectSaid(w.console().transcript(),
             {"命令: LAYER F PIPE\n\n命令: LAYER P N PIPE\n\n命令: LAYER N WALL\n\n命令: LAYER F 0\n\n不能冻结当前图层“0”。",
              "命令: LAYER R PIPE,管道\n", "命令: LAYER D SPARE\n", "命令: LAYER D 管道\n\n图层“管道”上有对象，不能删除。",
              "命令: LAYER R 0,ZERO\n\n不能重命名图层“0”。", "命令: LAYER S 管道\n\n不能把冻结的图层“管道”置为当前。"});
}

}  // namespace
}  // namespace orv::window::testing
