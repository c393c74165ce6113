// The 打印 dialog: the kept choices offered, the preview measured, bad choices refused, and its Plot button as PLOT's one line.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <tuple>

#include "plot_dialog.h"
#include "window_fixture.h"

namespace orv::window::testing {
namespace {

// A red 10,000-unit line along y = 0.
void drawLine(app::Session& s) {
  db::Entity e{db::Line{{0, 0, 0}, {10000, 0, 0}}};
  e.color = 1;
  ASSERT_TRUE(s.database().append(std::move(e)).ok());
}

// Ink of any colour on the white sheet.
bool inked(const QImage& image, int x, int y) {
  const QRgb p = image.pixel(x, y);
  return std::min({qRed(p), qGreen(p), qBlue(p)}) < 160;
}

TEST(PlotDialog, offersTheKeptChoicesPreviewsTheSheetAndRefusesBadChoices) {
  WindowSession w;
  drawLine(w.session());
  app::PlotChoices kept;
  kept.paper = *render::paperNamed("A4");
  kept.orientation = render::Orientation::portrait;
  kept.scale = *render::parseScale("1:100");
  kept.monochrome = false;
  app::keepPageSetup(w.session().database(), kept);

  PlotDialog dialog(w.session(), &w.window());
  EXPECT_FALSE(dialog.dpi().isEnabled()) << "a resolution only for PNG";
  const std::string file = dialog.file();
  EXPECT_TRUE(file.ends_with(".pdf")) << file;
  EXPECT_EQ(dialog.commandLine().value_or(""), "PLOT PDF A4 P E 1:100 C C " + file);
  // PNG: the file offered follows, and the resolution is asked.
  dialog.format().setCurrentText("PNG");
  EXPECT_TRUE(dialog.file().ends_with(".png"));
  EXPECT_TRUE(dialog.dpi().isEnabled());
  dialog.dpi().setValue(150);
  EXPECT_EQ(dialog.commandLine().value_or(""), "PLOT PNG A4 P E 1:100 C C 150 " + dialog.file());

  // The preview: the A4 portrait sheet, 297 mm tall in the 280 pixels inside the grey
  // border, white, the 100 mm line across its middle, red.
  dialog.refreshPreview();
  const QImage& p = dialog.preview();
  const double k = 280.0 / 297.0;
  const int left = 10 + (400 - int(210 * k)) / 2;
  EXPECT_EQ(p.pixel(left + 3, 13) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(p.pixel(left - 3, 13) & 0xFFFFFF, 0x808080u);
  int first = -1, last = -1, row = -1;
  for (int y = 140; y < 160 && first < 0; ++y)
    for (int x = left + 1; x < left + int(210 * k) - 1; ++x)  // the sheet, not the grey about it
      if (inked(p, x, y)) {
        if (first < 0) first = x, row = y;
        last = x;
      }
  ASSERT_GE(first, 0) << "the line is in the preview";
  EXPECT_NEAR(last + 1 - first, 100 * k, 2.0);
  EXPECT_GT(qRed(p.pixel((first + last) / 2, row)), 150) << "colour pens: red";

  // Bad choices: said, and the Plot button off until they are put right.
  struct Bad {
    std::function<void()> make, undo;
    const char* says;
  };
  const Bad bads[] = {
      {[&] { dialog.paper().setCurrentText("B9"); }, [&] { dialog.paper().setCurrentText("A4"); }, "不认识的图纸尺寸“B9”"},
      {[&] { dialog.scale().setCurrentText("1:0"); }, [&] { dialog.scale().setCurrentText("1:100"); }, "不认识的比例"},
      {[&] { dialog.area().setCurrentText("窗口"); }, [&] { dialog.area().setCurrentText("范围"); }, "窗口需要两个角点"},
      {[&] { dialog.area().setCurrentText("布局"); }, [&] { dialog.area().setCurrentText("范围"); }, "图形没有布局"},
      {[&] { dialog.centred().setChecked(false), dialog.offset().setText("abc"); },
       [&] { dialog.centred().setChecked(true); }, "打印位置需要 x,y 偏移"},
      {[&] { dialog.fileEdit().clear(); }, [&] { dialog.fileEdit().setText("sheet.png"); }, "需要文件名"},
  };
  QPushButton* ok = dialog.buttons().button(QDialogButtonBox::Ok);
  for (const Bad& b : bads) {
    SCOPED_TRACE(b.says);
    b.make();
    EXPECT_TRUE(dialog.problem().text().contains(QString::fromUtf8(b.says))) << dialog.problem().text().toStdString();
    EXPECT_FALSE(ok->isEnabled());
    EXPECT_FALSE(dialog.commandLine().has_value() && std::string(b.says) != "需要文件名");
    b.undo();
    EXPECT_TRUE(ok->isEnabled()) << dialog.problem().text().toStdString();
  }
  // A window by its corners, and 显示: what the window's view shows now.
  dialog.area().setCurrentText("窗口");
  dialog.corner1().setText("-100,-100");
  dialog.corner2().setText("10100,5100");
  EXPECT_EQ(dialog.commandLine().value_or(""), "PLOT PNG A4 P W -100,-100 10100,5100 1:100 C C 150 sheet.png");
  dialog.area().setCurrentText("显示");
  EXPECT_TRUE(ok->isEnabled()) << "the window shows the drawing";
  EXPECT_EQ(dialog.commandLine().value_or(""), "PLOT PNG A4 P D 1:100 C C 150 sheet.png");
}

TEST(PlotDialog, listsTheDrawingsLayoutsAndOffersThemAtOneToOne) {
  WindowSession w;
  db::Database& d = w.session().database();
  const auto second = d.addBlock("*Paper_Space0", {});
  ASSERT_TRUE(second.ok());
  // Two LAYOUT objects naming paper space and *Paper_Space0, in tab order B, A.
  for (auto [name, block, tab] : {std::tuple{"图 B", d.paperSpace(), "1"}, std::tuple{"A", *second, "2"}}) {
    if (d.block(block).recordHandle == 0) d.editBlock(block).recordHandle = d.newHandle();
    char handle[24];
    std::snprintf(handle, sizeof handle, "%llX", static_cast<unsigned long long>(d.block(block).recordHandle));
    for (auto [code, value] : std::initializer_list<std::pair<int, const char*>>{
             {0, "LAYOUT"}, {100, "AcDbPlotSettings"}, {44, "420"}, {45, "297"}, {72, "1"}, {100, "AcDbLayout"},
             {1, name}, {71, tab}, {10, "0"}, {20, "0"}, {11, "420"}, {21, "297"}, {330, handle}})
      d.objects.add(code, value);
  }
  PlotDialog dialog(w.session(), &w.window());
  ASSERT_EQ(dialog.layout().count(), 2);
  EXPECT_EQ(dialog.layout().itemText(0), "图 B");  // in tab order
  EXPECT_FALSE(dialog.layout().isEnabled());
  dialog.area().setCurrentText("布局");
  EXPECT_TRUE(dialog.layout().isEnabled());
  EXPECT_EQ(dialog.scale().currentText(), "1:1") << "a layout at its own size";
  EXPECT_TRUE(dialog.buttons().button(QDialogButtonBox::Ok)->isEnabled()) << dialog.problem().text().toStdString();
  dialog.fileEdit().setText("sheet.pdf");
  EXPECT_EQ(dialog.commandLine().value_or(""), "PLOT PDF A3 L LA \"图 B\" 1:1 C M sheet.pdf");
  dialog.layout().setCurrentIndex(1);
  EXPECT_EQ(dialog.commandLine().value_or(""), "PLOT PDF A3 L LA A 1:1 C M sheet.pdf");
}

TEST(PlotDialog, whatTheWindowShowsIsTheAreaOfDisplay) {
  WindowSession w;
  ASSERT_NE(w.session().view(), nullptr);
  // 4 drawing units a pixel, the origin at pixel (100, 450), after each kind of move.
  for (const ViewTransform v : {kView, ViewTransform{2.0, -30.0, 700.0}}) {
    w.view().moveView(v);
    core::Vec2 lo, hi;
    ASSERT_TRUE(w.session().view()->shownArea(lo, hi));
    const double width = w.view().width(), height = w.view().height();
    EXPECT_NEAR(lo.x, -v.offsetX / v.scale, 1e-9);
    EXPECT_NEAR(hi.x, (width - v.offsetX) / v.scale, 1e-9);
    EXPECT_NEAR(lo.y, (v.offsetY - height) / v.scale, 1e-9);
    EXPECT_NEAR(hi.y, v.offsetY / v.scale, 1e-9);
  }
}

// 文件 ▸ 打印.
QAction* printAction(WindowSession& w) {
  for (QAction* a : w.window().findChildren<QAction*>())
    if (a->text() == "打印...") return a;
  return nullptr;
}

TEST(PlotDialog, itsPlotButtonRunsPlotAtTheCommandPromptAsOneLine) {
  WindowSession w;
  drawLine(w.session());
  QAction* print = printAction(w);
  ASSERT_NE(print, nullptr);
  w.step([&] {
    QTimer::singleShot(0, &w.window(), [&] {
      auto* dialog = qobject_cast<PlotDialog*>(QApplication::activeModalWidget());
      EXPECT_NE(dialog, nullptr);
      if (!dialog) return;
      dialog->paper().setCurrentText("A1");
      dialog->scale().setCurrentText("1:50");
      dialog->fileEdit().setText("/nonexistent-folder/sheet.pdf");
      QTest::mouseClick(dialog->buttons().button(QDialogButtonBox::Ok), Qt::LeftButton);
    });
    print->trigger();
    return true;
  });
  w.run();
  // One command, as a script would write it; the folder that is not there refused by PLOT.
  const std::string t = w.console().transcript();
  EXPECT_NE(t.find("命令: PLOT PDF A1 L E 1:50 C M /nonexistent-folder/sheet.pdf"), std::string::npos) << t;
  EXPECT_NE(t.find("无法打印到"), std::string::npos) << t;
}

TEST(PlotDialog, itsWindowIsPickedInTheDrawingClickedSnappedOrTypedAndEscBringsItBackUnchanged) {
  struct Case {
    const char* name;
    bool runningEndpoints;    // 对象捕捉 on with the endpoint snap, else off
    std::vector<Act> picks;   // typing("Esc") is the key
    const char* corners;      // the fields when the dialog is back
    const char* window;       // the window in the PLOT line its Plot button runs
    const char* said;         // in the transcript
  };
  const Case cases[] = {
      {"a click and a typed corner, read back exactly", false, {clickAt(120, 370), typing("1234.5678,600.125")},
       "2,3 1234.5678,600.125", "W 2,3 1234.5678,600.125",
       "命令: PLOTWINDOW\n\n指定第一个角点: 2,3\n\n指定对角点: 1234.5678,600.125\n\n打印窗口: 2,3 到 1234.5678,600.125\n命令: "},
      {"a typed snap then a click, and a running snap", true, {typing("END"), clickAt(152, 352), clickAt(398, 203)},
       "5,5 30,20", "W 5,5 30,20", "指定对角点: 30,20\n\n打印窗口: 5,5 到 30,20\n命令: "},
      {"two corners that make no area: the second asked again", false,
       {typing("5,5"), typing("5,9"), typing("-7.5,9")}, "5,5 -7.5,9", "W -7.5,5 5,9",
       "指定对角点: 5,9\n\n两个角点必须在不同的水平线和竖直线上。\n指定对角点: -7.5,9\n"},
      {"Esc at the second corner", false, {clickAt(120, 370), typing("Esc")}, "-100,-100 10100,5100",
       "W -100,-100 10100,5100", "指定对角点: *取消*\n\n命令: "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WindowSession w;
    drawLine(w.session());
    ASSERT_TRUE(w.session().database().append(db::Entity{db::Line{{5, 5, 0}, {30, 20, 0}}}).ok());
    QImage before, after;
    std::string button, hidden, corners, line;
    w.step([&] {
      w.view().moveView(kTenPixels);
      w.window().snapButton().setChecked(c.runningEndpoints);
      w.session().drafting().runningSnaps = prompt::snapBit(prompt::SnapKind::endpoint);
      // The dialog: 窗口 with two typed corners, then 选择窗口<.
      QTimer::singleShot(0, &w.window(), [&] {
        auto* dialog = qobject_cast<PlotDialog*>(QApplication::activeModalWidget());
        if (!dialog) return ADD_FAILURE() << "no dialog";
        button = dialog->pickWindow().isEnabled() ? "on " : "off ";
        dialog->area().setCurrentText("窗口");
        button += dialog->pickWindow().isEnabled() ? "on" : "off";
        dialog->corner1().setText("-100,-100");
        dialog->corner2().setText("10100,5100");
        dialog->fileEdit().setText("/nonexistent-folder/sheet.pdf");
        dialog->refreshPreview();
        before = dialog->preview();
        QTest::mouseClick(&dialog->pickWindow(), Qt::LeftButton);
      });
      printAction(w)->trigger();
      return true;
    });
    w.act([&] { hidden = QApplication::activeModalWidget() ? "a dialog shows" : "hidden"; });
    for (const Act& a : c.picks) {
      if (a.kind == Act::click) w.click(a.at);
      else if (a.text == "Esc") w.key(Qt::Key_Escape);
      else w.type(a.text);
    }
    // Back at "命令: ", the dialog again: its fields, and its Plot button.
    w.step([&] {
      auto* dialog = qobject_cast<PlotDialog*>(QApplication::activeModalWidget());
      EXPECT_NE(dialog, nullptr) << "the dialog is back";
      if (!dialog) return false;
      corners = (dialog->corner1().text() + " " + dialog->corner2().text()).toStdString();
      line = dialog->commandLine().value_or("");
      after = dialog->preview();
      keepPicture(*dialog, ("plot-window-" + std::to_string(&c - cases)).c_str());
      QTest::mouseClick(dialog->buttons().button(QDialogButtonBox::Ok), Qt::LeftButton);
      return true;
    });
    w.run();
    const std::string t = w.console().transcript();
    EXPECT_EQ(button, "off on") << "选择窗口< only for 窗口";
    EXPECT_EQ(hidden, "hidden");
    EXPECT_EQ(corners, c.corners);
    const std::string plot = std::string("PLOT PDF A3 L ") + c.window + " 布满 C M /nonexistent-folder/sheet.pdf";
    EXPECT_EQ(line, plot);
    EXPECT_NE(t.find("命令: " + plot + "\n"), std::string::npos) << t;
    EXPECT_NE(t.find(c.said), std::string::npos) << t;
    EXPECT_EQ(before == after, std::string(c.corners).starts_with("-100")) << "the preview shows the window picked";
  }
}

TEST(PlotDialog, itsWindowIsNotPickedWhileACommandRunsAndSaysSo) {
  WindowSession w;
  std::string note;
  w.type("LINE");
  // Ctrl+P at LINE's first point: the dialog opens; 选择窗口< says why it does nothing.
  w.step([&] {
    QTimer::singleShot(0, &w.window(), [&] {
      auto* dialog = qobject_cast<PlotDialog*>(QApplication::activeModalWidget());
      if (!dialog) return ADD_FAILURE() << "no dialog";
      dialog->area().setCurrentText("窗口");
      QTest::mouseClick(&dialog->pickWindow(), Qt::LeftButton);
      note = dialog->problem().text().toStdString();
      if (QApplication::activeModalWidget() != dialog) note += " (closed)";
      QTest::mouseClick(dialog->buttons().button(QDialogButtonBox::Cancel), Qt::LeftButton);
    });
    printAction(w)->trigger();
    return false;
  });
  for (const char* t : {"1,1", "2,2", ""}) w.type(t);
  w.run();
  EXPECT_EQ(note, "命令正在运行：请先结束它（Esc），再在图形中选择窗口。");
  const std::string t = w.console().transcript();
  EXPECT_EQ(t.find("PLOTWINDOW"), std::string::npos) << t;
  EXPECT_NE(t.find("指定下一点或 [放弃(U)]: 2,2"), std::string::npos) << "LINE went on: " << t;
}

}  // namespace
}  // namespace orv::window::testing
