// Replies typed in the window mean what they mean in a script: an armed keyword is the
// keyword and a number where the prompt takes one is that number, wherever the cursor
// is; the picture dialogs choose by their pictures.
#include <gtest/gtest.h>

#include <QDockWidget>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include "window_fixture.h"

namespace orv::window::testing {
namespace {

struct TypedCase {
  const char* name;
  const ModuleDir* module;
  std::string ini;
  std::vector<Act> acts;
  // What the drawing must hold besides being the script's (empty: nothing more).
  std::vector<std::string> expected;
  // A part of the drawing's description it must hold (empty: nothing).
  std::string holds;
};

TEST(WindowTyping, aTypedReplyLeavesWhatTheSameReplyInAScriptLeavesWhereverTheCursorIs) {
  ModuleDir m;
  const std::string ini = std::string("[PIPE]\nDW=100\nWTBJ=150\n[DRAW]\nENDSTYLE=2\n") + kStyles;
  const std::vector<Act> run = {typing("GD"), clickAt(100, 450), clickAt(350, 450), clickAt(350, 200),
                                mouseAt(700, 100)};
  auto with = [](std::vector<Act> acts, std::vector<Act> more) {
    acts.insert(acts.end(), more.begin(), more.end());
    return acts;
  };
  const std::vector<Act> line = {typing("LINE"), typing("0,0"), typing("100,0"), typing("")};
  const TypedCase cases[] = {
      {"a pipe run finished by a typed 0", &m, ini, with(run, {typing("0")}), {}, {}},
      {"a pipe run finished by a click on 完成", &m, ini, with(run, {keywordOf("0")}), {}, {}},
      {"ROTATE by a typed 90 with the cursor to the lower right",
       nullptr,
       {},
       with(line, {typing("ROTATE"), typing("ALL"), typing(""), typing("0,0"), mouseAt(600, 420), typing("90")}),
       {"0 ByLayer 256 LINE (0 0 0)(0 100 0)"},
       {}},
      {"SCALE by a typed 2 with the cursor near the base",
       nullptr,
       {},
       with(line, {typing("SCALE"), typing("L"), typing(""), typing("0,0"), mouseAt(102, 449), typing("2")}),
       {"0 ByLayer 256 LINE (0 0 0)(200 0 0)"},
       {}},
      // A space in a text reply is part of the text; the angle is typed with the cursor elsewhere.
      {"TEXT typed with spaces and Chinese, its angle typed",
       nullptr,
       {},
       {typing("TEXT"), clickAt(150, 400), typing("50"), mouseAt(600, 100), typing("30"), typing("管道 DN100 说明"),
        typing("")},
       {"0 ByLayer 256 TEXT \"管道 DN100 说明\" (200 200 0) 50 30"},
       {}},
      {"two lines of TEXT, the second below the first", nullptr, {},
       {typing("DT"), typing("0,0"), typing("10"), typing("0"), typing("A 1"), typing("B 2"), typing("")}, {},
       "TEXT \"B 2\""},
      {"DIMLINEAR by two clicked origins, H typed, the line clicked", nullptr, {},
       with(line, {typing("DIMLINEAR"), clickAt(100, 450), clickAt(125, 450), typing("h"), clickAt(112, 400)}), {},
       "DIMENSION"},
      {"HATCH with a typed pattern, picked by a click inside a rectangle", nullptr, {},
       {typing("RECTANG"), typing("0,0"), typing("1000,1000"), typing("HATCH"), typing("P"), typing("ANSI31"),
        clickAt(225, 325), typing("")},
       {}, "HATCH ANSI31 1 0 ["},
  };
  std::vector<std::vector<std::string>> runs;
  for (const TypedCase& c : cases) {
    SCOPED_TRACE(c.name);
    const Answered window = inWindow(c.module, c.ini, c.acts);
    const Answered script = inScript(c.module, c.ini, window.script);
    EXPECT_EQ(window.transcript, script.transcript);
    EXPECT_EQ(window.drawing, script.drawing);
    EXPECT_EQ(window.ini, script.ini);
    if (!c.expected.empty()) {
      EXPECT_EQ(window.drawing, c.expected);
    }
    if (!c.holds.empty()) {
      std::string all;
      for (const std::string& e : window.drawing) all += e + "\n";
      EXPECT_NE(all.find(c.holds), std::string::npos) << all;
    }
    runs.push_back(window.drawing);
  }
  // The run finished by the typed 0 is the run finished by the click, piece by piece,
  // and ends at its last point: nothing was drawn towards the cursor.
  EXPECT_EQ(runs[0], runs[1]);
  EXPECT_GE(runs[0].size(), 10u);
}

TEST(WindowTyping, mirrorsQuestionIsAnsweredByChineseButtons) {
  WindowSession w;
  for (const char* t : {"LINE", "0,0", "10,0", "", "MIRROR", "L", "", "0,5", "10,5"}) w.type(t);
  QStringList labels;
  w.step([&] {
    for (QToolButton* b : w.panel().keywordButtons()) labels << b->text();
    QToolButton* yes = keywordButton(w.panel(), "Yes");
    if (yes) yes->click();
    return yes != nullptr;
  });
  w.run();
  EXPECT_EQ(labels, (QStringList{"是(Y)", "否(N)"}));
  EXPECT_EQ(describeEntities(w.session().database()),
            std::vector<std::string>{"0 ByLayer 256 LINE (0 10 0)(10 10 0)"});
}

TEST(WindowTyping, aClickOnAPictureChoosesItsSlotAndADoubleClickAlsoPressesOk) {
  ModuleDir m;
  WindowSession w;
  ASSERT_TRUE(w.session().modules().load(m.module).ok);
  std::string clicked, doubleClicked;
  int dialogs = 0;
  w.presenter().shown = [&](QWidget* shown) {
    ++dialogs;
    auto* d = qobject_cast<ModelDialog*>(shown);
    ASSERT_NE(d, nullptr);
    // Slot 2's picture (207) above its radio (208); slot 8's (219) above 220.
    auto* second = qobject_cast<QRadioButton*>(d->control(208));
    auto* eighth = qobject_cast<QRadioButton*>(d->control(220));
    ASSERT_TRUE(second && eighth);
    QTest::mouseClick(d->control(207), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(second->isChecked());
    EXPECT_TRUE(d->isVisible()) << "a single click does not close the dialog";
    clicked = second->text().toStdString();
    QTest::mouseDClick(d->control(219), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(eighth->isChecked());
    doubleClicked = eighth->text().toStdString();
    if (d->isVisible()) {
      ADD_FAILURE() << "the double click did not press OK";
      d->reject();
    }
  };
  w.type("FM");
  w.keyword("C");
  w.key(Qt::Key_Return);  // the diameter stays
  w.key(Qt::Key_Escape);  // no valve drawn
  w.run();
  EXPECT_EQ(dialogs, 1);
  ASSERT_FALSE(doubleClicked.empty());
  EXPECT_NE(clicked, doubleClicked);
  EXPECT_NE(m.ini().find("FMNAME=" + doubleClicked + "\n"), std::string::npos) << m.ini();
}

// ---- undo keys

TEST(WindowTyping, ctrlZUndoesAndCtrlYOrCtrlShiftZRedoesTheDrawingWhereverTheFocusIs) {
  WindowSession w;
  const std::vector<std::string> drawn = {"LINE", "0,0", "10,0", "", "LINE", "0,5", "10,5", ""};
  for (const std::string& t : drawn) w.type(t);
  std::vector<std::size_t> counts;
  auto press = [&](QWidget* (*where)(WindowSession&), Qt::Key key, Qt::KeyboardModifiers mods) {
    w.step([&w, &counts, where, key, mods] {
      counts.push_back(describeEntities(w.session().database()).size());
      QWidget* target = where(w);
      target->setFocus();
      QTest::keyClicks(w.panel().input(), "ER");  // half a command typed: never undone as text
      QTest::keyClick(target, key, mods);
      return true;
    });
  };
  auto input = [](WindowSession& s) -> QWidget* { return s.panel().input(); };
  auto view = [](WindowSession& s) -> QWidget* { return &s.view(); };
  auto history = [](WindowSession& s) -> QWidget* { return s.panel().history(); };
  press(input, Qt::Key_Z, Qt::ControlModifier);
  press(view, Qt::Key_Y, Qt::ControlModifier);
  press(history, Qt::Key_Z, Qt::ControlModifier);
  press(input, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  // While a command waits: it is cancelled, then the last command is undone.
  w.type("LINE");
  w.type("20,20");
  press(input, Qt::Key_Z, Qt::ControlModifier);
  w.step([&] {
    counts.push_back(describeEntities(w.session().database()).size());
    return false;
  });
  w.run();
  EXPECT_EQ(counts, (std::vector<std::size_t>{2, 1, 2, 1, 2, 1}));
  std::vector<std::string> script = drawn;
  script.insert(script.end(), {"UNDO", "REDO", "UNDO", "REDO", "LINE", "20,20", "^C", "UNDO"});
  EXPECT_EQ(w.console().transcript(), scriptTranscript(script));
}

// ---- a typed snap then a click

TEST(WindowTyping, aTypedSnapFindsItsPointWithinThePickBoxOfAClickAndThePickDistanceOfATypedPoint) {
  WindowSession w;
  w.step([&] {
    w.view().moveView(kView);                   // 4 drawing units a pixel
    w.window().snapButton().setChecked(false);  // the click itself is not snapped
    return false;
  });
  for (const char* t : {"LINE", "0,0", "400,0", ""}) w.type(t);
  w.type("LINE");
  w.type("END");
  w.click({203, 452});  // 3 pixels right and 2 down of (400, 0): 14 units away
  w.type("END");
  w.type("402,1");  // typed: more than the pick distance (1) away, nothing found
  w.type("0,100");
  w.key(Qt::Key_Return);
  w.run();
  const std::vector<std::string> drawing = describeEntities(w.session().database());
  EXPECT_EQ(drawing, (std::vector<std::string>{"0 ByLayer 256 LINE (0 0 0)(400 0 0)",
                                               "0 ByLayer 256 LINE (400 0 0)(0 100 0)"}));
  const std::string& t = w.console().transcript();
  EXPECT_NE(t.find("\n于 402,1\n\n未找到捕捉点。"), std::string::npos) << t;
  EXPECT_EQ(t.find("未找到捕捉点"), t.rfind("未找到捕捉点")) << "the click found its point";
}

// ---- names offered as typed, the help panel, Qt's own texts

TEST(WindowTyping, theCommandNamesBeginningWithWhatIsTypedAreOfferedAndOneChosenRuns) {
  WindowSession w;
  QStringList offered;
  QString chosen;
  w.step([&] {
    QLineEdit* in = w.panel().input();
    QTest::keyClicks(in, "m");
    for (int i = 0; i < w.panel().completions()->count(); ++i) offered << w.panel().completions()->item(i)->text();
    QTest::keyClick(in, Qt::Key_Tab);
    QTest::keyClick(in, Qt::Key_Tab);  // the second
    if (QListWidgetItem* item = w.panel().completions()->currentItem()) chosen = item->data(Qt::UserRole).toString();
    QTest::keyClick(in, Qt::Key_Return);
    return true;
  });
  w.key(Qt::Key_Escape);
  w.step([&] {
    QLineEdit* in = w.panel().input();
    QTest::keyClicks(in, "zo");
    QTest::keyClick(in, Qt::Key_Escape);  // the list goes; what is typed stays
    EXPECT_TRUE(w.panel().completions()->isHidden());
    QTest::keyClick(in, Qt::Key_Up);  // the history, the list being gone
    EXPECT_EQ(in->text(), chosen);
    in->clear();
    QTest::keyClicks(in, "qqq");  // nothing begins so: no list, and Enter gives what is typed
    EXPECT_TRUE(w.panel().completions()->isHidden());
    QTest::keyClick(in, Qt::Key_Return);
    return true;
  });
  w.run();
  // Commands and aliases by name, each alias with the command it runs.
  for (const char* name : {"M  (MOVE)", "MI  (MIRROR)", "MIRROR", "MOVE"}) EXPECT_TRUE(offered.contains(name)) << name;
  for (const QString& o : offered) EXPECT_TRUE(o.startsWith("M")) << o.toStdString();
  QStringList sorted = offered;
  sorted.sort();
  EXPECT_EQ(offered, sorted);
  ASSERT_GT(offered.size(), 1);
  EXPECT_EQ(chosen, offered[1].section(' ', 0, 0));
  EXPECT_EQ(w.console().transcript(), scriptTranscript({chosen.toStdString(), "^C", "qqq"}));
}

TEST(WindowTyping, helpOpensAPanelOfEveryCommandFoundByPartOfItsName) {
  ModuleDir m;
  WindowSession w;
  ASSERT_TRUE(w.session().modules().load(m.module).ok);
  QStringList all, found, foundByAlias;
  w.type("HELP");
  w.step([&] {
    HelpPanel& help = w.window().helpPanel();
    EXPECT_TRUE(w.window().helpDock().isVisible());
    all = help.shownNames();
    help.filter()->setFocus();
    QTest::keyClicks(help.filter(), "rota");
    found = help.shownNames();
    EXPECT_EQ(w.panel().input()->text(), "") << "typing in the panel's field stays there";
    help.filter()->clear();
    QTest::keyClicks(help.filter(), "drawfm");
    foundByAlias = help.shownNames();
    help.filter()->clear();
    QTest::keyClicks(help.filter(), "li");
    EXPECT_TRUE(help.detail()->text().startsWith("CLT (ChangeLineType)\n设置管道边线和中心线的线型和颜色"))
        << help.detail()->text().toStdString();
    w.window().resize(1100, 720);
    QApplication::processEvents();
    const QImage shot = w.window().grab().toImage();
    EXPECT_TRUE(shot.save(QStringLiteral(ORV_WINDOW_PICTURES "/help-panel.png")));
    return false;
  });
  w.run();
  for (const char* name : {"LINE", "ROTATE", "HELP", "UNDO", "GD", "FM"}) EXPECT_TRUE(all.contains(name)) << name;
  EXPECT_EQ(found, (QStringList{"ROTATE"}));
  EXPECT_EQ(foundByAlias, (QStringList{"FM"}));
  EXPECT_EQ(w.console().transcript(),
            scriptTranscript({"HELP"}, [&](app::Session& s) { ASSERT_TRUE(s.modules().load(m.module).ok); }));
}

TEST(WindowTyping, theToolkitsOwnButtonsAndDialogsAreChinese) {
  WindowSession w;
  QMessageBox box;
  box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
  EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), "取消");
  QFileDialog dialog(&w.window());
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  QStringList labels;
  for (QLabel* l : dialog.findChildren<QLabel*>()) labels << l->text();
  EXPECT_TRUE(labels.join("|").contains("文件名")) << labels.join("|").toStdString();
}

}  // namespace
}  // namespace orv::window::testing
