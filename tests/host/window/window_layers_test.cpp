// Layers in the window: the tool bar's layer control switching a layer's states by its
// icons (a locked layer's entities not chosen by clicks, an off layer's gone from the
// view at once), and the layer manager (格式 ▸ 图层) changing states and making layers,
// each change LAYER's one-line form and one step of UNDO.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTableWidget>

#include <cstdlib>

#include "layer_control.h"
#include "layer_manager.h"
#include "layer_states.h"
#include "properties_panel.h"
#include "window_fixture.h"

namespace orv::window::testing {
namespace {

// Ten pixels a drawing unit, the origin at pixel (100, 400): a line on PIPE along pixel
// row 400 and one on layer 0 along row 200, from column 100 to 500.
const ViewTransform kView{10.0, 100.0, 400.0};

// ORV_LAYER_SCREENSHOTS=DIR keeps pictures to look at.
void keep(QWidget& w, const char* name) {
  if (const char* dir = std::getenv("ORV_LAYER_SCREENSHOTS")) w.grab().save(QString("%1/%2.png").arg(dir, name));
}

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

QAction* menuAction(QMenuBar& bar, const QString& menu, const QString& label) {
  for (QAction* m : bar.actions())
    if (m->text() == menu && m->menu())
      for (QAction* a : m->menu()->actions())
        if (a->text() == label) return a;
  return nullptr;
}

TEST(WindowLayers, theLayerControlSwitchesStatesAndTheViewAndClicksFollowThem) {
  WindowSession w;
  for (const char* t : {"LAYER", "M", "PIPE", "", "LINE", "0,0", "40,0", "", "CLAYER", "0", "LINE", "0,20", "40,20", ""})
    w.type(t);
  LayerControl& control = w.window().properties().layerControl();
  struct Seen {
    bool listStaysOpen = false;
    std::size_t chosenOnLocked = 9, chosenOnOther = 9;
    int pipeBefore = 0, pipeOff = 0, otherOff = 0;
    QString shown;
  } seen;
  int pipeRow = -1;
  w.step([&] {
    w.view().moveView(kView);
    for (std::size_t i = 0; i < control.rows().size(); ++i)
      if (control.rows()[i].name == "PIPE") pipeRow = static_cast<int>(i);
    EXPECT_GE(pipeRow, 0);
    seen.shown = control.currentText();
    control.showPopup();
    clickCell(control, pipeRow, LayerControl::lockedColumn);
    return true;
  });
  w.step([&] {
    seen.listStaysOpen = control.view()->isVisible();
    keep(w.window(), "layer-control");
    keep(*control.view(), "layer-list");
    control.hidePopup();
    // A click on the locked layer's line, then on the other.
    QTest::mouseClick(&w.view(), Qt::LeftButton, {}, QPoint(300, 400));
    seen.chosenOnLocked = w.session().selector().current().size();
    QTest::mouseClick(&w.view(), Qt::LeftButton, {}, QPoint(300, 200));
    seen.chosenOnOther = w.session().selector().current().size();
    seen.pipeBefore = drawnPixels(w.view(), QRect(150, 397, 300, 7));
    control.showPopup();
    EXPECT_TRUE(control.view()->isVisible());
    const QRect cell = control.cellRect(pipeRow, LayerControl::onColumn);
    EXPECT_TRUE(control.view()->viewport()->rect().contains(cell.center())) << cell.x() << "," << cell.y();
    clickCell(control, pipeRow, LayerControl::onColumn);
    return true;
  });
  w.step([&] {
    control.hidePopup();
    seen.pipeOff = drawnPixels(w.view(), QRect(150, 397, 300, 7));
    seen.otherOff = drawnPixels(w.view(), QRect(150, 197, 300, 7));
    return false;
  });
  w.type("UNDO");  // the layer on again, still locked
  w.run();

  EXPECT_EQ(seen.shown, "0");  // the current layer
  EXPECT_TRUE(seen.listStaysOpen);
  EXPECT_EQ(seen.chosenOnLocked, 0u);
  EXPECT_EQ(seen.chosenOnOther, 1u);
  EXPECT_GT(seen.pipeBefore, 100);
  EXPECT_EQ(seen.pipeOff, 0);
  EXPECT_GT(seen.otherOff, 100);
  EXPECT_FALSE(app::layerIsOff(layerOf(w, "PIPE")));
  EXPECT_TRUE(app::layerIsLocked(layerOf(w, "PIPE")));
  const std::string& t = w.console().transcript();
  EXPECT_NE(t.find("命令: LAYER LO PIPE\n\n命令: LAYER OFF PIPE\n\n命令: UNDO"), std::string::npos) << t;
}

TEST(WindowLayers, theLayerManagerChangesLayersThroughUndoableSteps) {
  WindowSession w;
  for (const char* t : {"LAYER", "N", "PIPE", "", "LINE", "0,0", "40,0", ""}) w.type(t);
  struct Seen {
    int rows = 0, rowsAfterNew = 0, rowsAfterUndo = 0;
    QString frozenNote, wallName;
  } seen;
  LayerManager* manager = nullptr;
  w.step([&] {
    QAction* open = menuAction(*w.window().menuBar(), "格式", "图层");
    EXPECT_NE(open, nullptr);
    if (open) open->trigger();
    manager = &w.window().layerManager();
    EXPECT_TRUE(manager->isVisible());
    seen.rows = manager->table().rowCount();
    clickCell(manager->table(), 1, LayerManager::frozenColumn);  // PIPE frozen
    return true;
  });
  w.step([&] {
    clickCell(manager->table(), 1, LayerManager::plotColumn);  // PIPE not plotted
    return true;
  });
  w.step([&] {
    manager->newName().setText("WALL");
    QTest::mouseClick(&manager->newButton(), Qt::LeftButton);
    return true;
  });
  w.step([&] {
    seen.rowsAfterNew = manager->table().rowCount();
    seen.wallName = manager->table().item(2, LayerManager::nameColumn)->text();
    manager->table().selectRow(0);
    clickCell(manager->table(), 0, LayerManager::frozenColumn);  // the current layer: refused
    return true;
  });
  w.step([&] {
    keep(*manager, "layer-manager");
    return false;
  });
  w.type("UNDO");  // WALL made
  w.step([&] {
    seen.rowsAfterUndo = manager->table().rowCount();
    // A click while a command waits is not taken.
    return false;
  });
  w.type("LINE");
  w.step([&] {
    clickCell(manager->table(), 1, LayerManager::onColumn);
    seen.frozenNote = manager->note().text();
    return false;
  });
  w.key(Qt::Key_Escape);
  w.step([&] {  // the frozen layer chosen in the tool bar's control is not made current
    LayerControl& control = w.window().properties().layerControl();
    const int item = control.findText("PIPE");
    EXPECT_GE(item, 0);
    control.setCurrentIndex(item);
    emit control.activated(item);
    return item >= 0;
  });
  w.run();

  EXPECT_EQ(seen.rows, 2);
  EXPECT_EQ(seen.rowsAfterNew, 3);
  EXPECT_EQ(seen.wallName, "WALL");
  EXPECT_EQ(seen.rowsAfterUndo, 2);
  EXPECT_TRUE(seen.frozenNote.contains("命令正在运行")) << seen.frozenNote.toStdString();
  EXPECT_TRUE(app::layerIsFrozen(layerOf(w, "PIPE")));
  EXPECT_FALSE(app::layerIsOff(layerOf(w, "PIPE")));
  EXPECT_FALSE(app::layerPlots(layerOf(w, "PIPE")));
  EXPECT_EQ(w.session().database().layers().get("WALL"), nullptr);
  EXPECT_EQ(w.session().database().header.currentLayer, "0");
  const std::string& t = w.console().transcript();
  EXPECT_NE(t.find("命令: LAYER F PIPE\n\n命令: LAYER P N PIPE\n\n命令: LAYER N WALL\n\n命令: LAYER F 0\n\n不能冻结当前图层“0”。"),
            std::string::npos)
      << t;
  EXPECT_NE(t.find("命令: LAYER S PIPE\n\n不能把冻结的图层“PIPE”置为当前。"), std::string::npos) << t;
}

// Renaming by the name cell and deleting by the button, each LAYER's one-line form and
// one step of UNDO; what cannot be done is refused in Chinese and leaves the table true.
TEST(WindowLayers, theLayerManagerRenamesAndDeletesLayersAsUndoableSteps) {
  WindowSession w;
  for (const char* t : {"LAYER", "M", "PIPE", "", "LINE", "0,0", "40,0", "", "LAYER", "N", "SPARE", "S", "0", ""})
    w.type(t);
  struct Seen {
    QString renamedCell, emptyNote, cellAfterEmpty;
    int rowsAfterDelete = 0;
  } seen;
  LayerManager* manager = nullptr;
  // Edits the name cell of `row` as the user's editor commits it.
  auto edit = [&](int row, const char* name) {
    manager->table().selectRow(row);
    QTableWidgetItem* item = manager->table().item(row, LayerManager::nameColumn);
    if (!item) return ADD_FAILURE() << "no row " << row << "\n" << w.console().transcript();
    item->setText(QString::fromUtf8(name));
  };
  w.step([&] {
    manager = &w.window().layerManager();
    w.window().showLayerManager();
    edit(1, "管道");  // PIPE, which a line is on
    return true;
  });
  w.step([&] {
    if (QTableWidgetItem* item = manager->table().item(1, LayerManager::nameColumn)) seen.renamedCell = item->text();
    manager->table().selectRow(2);  // SPARE: nothing on it
    QTest::mouseClick(&manager->deleteButton(), Qt::LeftButton);
    return true;
  });
  w.step([&] {
    seen.rowsAfterDelete = manager->table().rowCount();
    manager->table().selectRow(1);  // 管道: refused, the line is on it
    QTest::mouseClick(&manager->deleteButton(), Qt::LeftButton);
    return true;
  });
  w.step([&] {
    edit(0, "ZERO");  // layer 0: refused
    return true;
  });
  w.step([&] {
    edit(1, "  ");  // an empty name is not sent
    seen.emptyNote = manager->note().text();
    return false;
  });
  w.step([&] {
    QCoreApplication::processEvents();  // the table is filled again once the edit is over
    seen.cellAfterEmpty = manager->table().item(1, LayerManager::nameColumn)->text();
    keep(*manager, "layer-manager-renamed");
    return false;
  });
  w.type("UNDO");  // SPARE comes back
  w.type("UNDO");  // PIPE has its name again
  w.run();

  EXPECT_EQ(seen.renamedCell, "管道");
  EXPECT_EQ(seen.rowsAfterDelete, 2);
  EXPECT_TRUE(seen.emptyNote.contains("不能为空")) << seen.emptyNote.toStdString();
  EXPECT_EQ(seen.cellAfterEmpty, "管道");
  const db::Database& d = w.session().database();
  ASSERT_EQ(d.layers().size(), 3u);
  EXPECT_EQ(d.layers()[1].name, "PIPE");
  EXPECT_EQ(d.layers()[2].name, "SPARE");
  EXPECT_EQ(d.layers()[0].name, "0");
  std::string lineLayer;
  d.forEachEntity(d.modelSpace(), [&](db::ObjectId, const db::Entity& e) { lineLayer = d.name(e.layer); });
  EXPECT_EQ(lineLayer, "PIPE");
  const std::string& t = w.console().transcript();
  for (const char* expected : {"命令: LAYER R PIPE,管道\n", "命令: LAYER D SPARE\n",
                               "命令: LAYER D 管道\n\n图层“管道”上有对象，不能删除。",
                               "命令: LAYER R 0,ZERO\n\n不能重命名图层“0”。"})
    EXPECT_NE(t.find(expected), std::string::npos) << expected << "\n" << t;
}

// At a command's "选择对象:" a click on an entity of a locked layer is counted and said,
// not chosen; the other line is chosen and erased.
TEST(WindowLayers, aCommandDoesNotChooseWhatLiesOnALockedLayer) {
  WindowSession w;
  for (const char* t : {"LAYER", "M", "PIPE", "", "LINE", "0,0", "40,0", "", "CLAYER", "0", "LINE", "0,20", "40,20", ""})
    w.type(t);
  w.step([&] {
    w.view().moveView(kView);
    db::Database& d = w.session().database();
    db::Layer locked = layerOf(w, "PIPE");
    locked.flags |= 4;
    EXPECT_EQ(d.changeLayer(*d.layers().find("PIPE"), locked), db::Status::ok);
    return false;
  });
  w.type("ERASE");
  w.click(QPoint(300, 400));  // the line on PIPE
  w.click(QPoint(300, 200));  // the line on 0
  w.type("");
  w.run();

  std::vector<std::string> left;
  const db::Database& d = w.session().database();
  d.forEachEntity(d.modelSpace(), [&](db::ObjectId, const db::Entity& e) { left.emplace_back(d.name(e.layer)); });
  EXPECT_EQ(left, std::vector<std::string>{"PIPE"}) << w.console().transcript();
  EXPECT_NE(w.console().transcript().find("找到 1 个\n1 个在锁定的图层上。"), std::string::npos)
      << w.console().transcript();
}

}  // namespace
}  // namespace orv::window::testing
