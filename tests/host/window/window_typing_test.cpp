// Replies typed in the window mean what they mean in a script: an armed keyword is the
// keyword and a number where the prompt takes one is that number, wherever the cursor
// is; the picture dialogs choose by their pictures.
#include <gtest/gtest.h>

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
      {"a pipe run finished by a typed 0", &m, ini, with(run, {typing("0")}), {}},
      {"a pipe run finished by a click on 完成", &m, ini, with(run, {keywordOf("0")}), {}},
      {"ROTATE by a typed 90 with the cursor to the lower right",
       nullptr,
       {},
       with(line, {typing("ROTATE"), typing("ALL"), typing(""), typing("0,0"), mouseAt(600, 420), typing("90")}),
       {"0 ByLayer 256 LINE (0 0 0)(0 100 0)"}},
      {"SCALE by a typed 2 with the cursor near the base",
       nullptr,
       {},
       with(line, {typing("SCALE"), typing("L"), typing(""), typing("0,0"), mouseAt(102, 449), typing("2")}),
       {"0 ByLayer 256 LINE (0 0 0)(200 0 0)"}},
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

}  // namespace
}  // namespace orv::window::testing
