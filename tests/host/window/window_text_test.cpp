// Text in the window: TEXT's line shown in the drawing as it is typed, MTEXT's lines in the
// text editor (Enter a new line, Ctrl+Enter ends; 取消 cancels, losing nothing), DDEDIT of
// an MTEXT in the editor and of a TEXT in a one-line box; the transcript as a script's.
#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>

#include <memory>

#include "text_editor.h"
#include "window_fixture.h"

namespace orv::window::testing {
namespace {

// Answers the text editor or line box that opens next (polling: it opens inside the
// prompt's wait) by `fill`, then OK (or Cancel); notes in `seen` what it began with.
void answerEditor(QObject* owner, std::function<void(QDialog&)> fill, std::string* seen) {
  auto* poll = new QTimer(owner);
  poll->setInterval(20);
  auto ticks = std::make_shared<int>(0);
  QObject::connect(poll, &QTimer::timeout, poll, [poll, fill, seen, ticks] {
    auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (auto* editor = qobject_cast<TextEditorDialog*>(d)) *seen = editor->box().toPlainText().toStdString();
    if (auto* line = qobject_cast<LineEditorDialog*>(d)) *seen = line->text();
    if (d) {
      poll->stop();
      poll->deleteLater();
      fill(*d);
    } else if (++*ticks > 500) {
      poll->deleteLater();
    }
  });
  poll->start();
}

TEST(WindowText, typedInPlaceAndEditedInTheEditor) {
  WindowSession w;
  std::size_t previewed = 0;
  std::string previewedText, firstEditor, secondEditor, lineBox;
  for (const char* t : {"TEXT", "10,10", "5", "0"}) w.type(t);
  // The line shows in the drawing, at its place, as it is typed.
  w.act([&] {
    w.panel().input()->insert(QStringLiteral("管道"));  // as an input method gives it
    QTest::keyClicks(w.panel().input(), QStringLiteral("A"));
    w.view().repaint();
    previewed = w.view().previewShown();
    const auto shown = w.view().typedPreview ? w.view().typedPreview() : std::vector<db::Entity>{};
    if (shown.size() == 1 && shown[0].as<db::Text>()) previewedText = shown[0].as<db::Text>()->value;
  });
  w.key(Qt::Key_Return);
  w.type("");
  // MTEXT: the editor opens at its first line; two lines, Enter between them, Ctrl+Enter.
  for (const char* t : {"MTEXT", "0,50"}) w.type(t);
  w.act([&] {
    answerEditor(&w.window(), [](QDialog& d) {
      auto& editor = static_cast<TextEditorDialog&>(d);
      editor.box().insertPlainText(QStringLiteral("第一行"));
      QTest::keyClick(&editor.box(), Qt::Key_Return);
      QTest::keyClicks(&editor.box(), QStringLiteral("second {x}"));
      QTest::keyClick(&editor.box(), Qt::Key_Return, Qt::ControlModifier);
    }, &firstEditor);
  });
  w.type("40,30");
  // A second MTEXT whose editor is cancelled: the command ends, nothing is made.
  for (const char* t : {"MTEXT", "0,80"}) w.type(t);
  w.act([&] {
    answerEditor(&w.window(), [](QDialog& d) {
      auto& editor = static_cast<TextEditorDialog&>(d);
      QTest::keyClicks(&editor.box(), QStringLiteral("lost"));
      QTest::mouseClick(&editor.cancelButton(), Qt::LeftButton);
    }, &secondEditor);
  });
  w.type("40,70");
  // DDEDIT of the MTEXT: its paragraphs as the editor's lines; a third line added.
  w.type("DDEDIT");
  w.act([&] {
    answerEditor(&w.window(), [](QDialog& d) {
      auto& editor = static_cast<TextEditorDialog&>(d);
      editor.box().moveCursor(QTextCursor::End);
      QTest::keyClick(&editor.box(), Qt::Key_Return);
      editor.box().insertPlainText(QStringLiteral("三"));
      QTest::mouseClick(&editor.okButton(), Qt::LeftButton);
    }, &secondEditor);
  });
  w.type("5,48");
  // DDEDIT of the TEXT: a one-line box holding its content.
  w.act([&] {
    answerEditor(&w.window(), [](QDialog& d) {
      auto& box = static_cast<LineEditorDialog&>(d);
      box.edit().setText(QStringLiteral("新"));
      d.accept();
    }, &lineBox);
  });
  w.type("12,11");
  w.type("");
  w.run();

  EXPECT_EQ(previewed, 1u) << "the line typed so far shows";
  EXPECT_EQ(previewedText, "管道A");
  EXPECT_EQ(firstEditor, "") << "a new MTEXT's editor begins empty";
  EXPECT_EQ(secondEditor, "第一行\nsecond \\{x\\}") << "DDEDIT shows the paragraphs as lines";
  EXPECT_EQ(lineBox, "管道A");
  const std::vector<std::string> script = {
      "TEXT", "10,10", "5", "0", "管道A", "",
      "MTEXT", "0,50", "40,30", "第一行", "second {x}", "",
      "MTEXT", "0,80", "40,70", "^C",
      "DDEDIT", "5,48", "第一行\\Psecond \\{x\\}\\P三", "12,11", "新", ""};
  std::vector<std::string> made;
  EXPECT_EQ(w.console().transcript(), scriptTranscript(script, {}, [&](app::Session& s) {
              const db::Database& d = s.database();
              d.forEachEntity(d.modelSpace(), [&](db::ObjectId, const db::Entity& e) {
                if (const auto* t = e.as<db::Text>()) made.push_back(t->value);
                if (const auto* m = e.as<db::MText>()) made.push_back(m->content);
              });
            }));
  std::vector<std::string> inWindow;
  const db::Database& d = w.session().database();
  d.forEachEntity(d.modelSpace(), [&](db::ObjectId, const db::Entity& e) {
    if (const auto* t = e.as<db::Text>()) inWindow.push_back(t->value);
    if (const auto* m = e.as<db::MText>()) inWindow.push_back(m->content);
  });
  EXPECT_EQ(inWindow, (std::vector<std::string>{"新", "第一行\\Psecond \\{x\\}\\P三"}));
  EXPECT_EQ(inWindow, made);
}

}  // namespace
}  // namespace orv::window::testing
