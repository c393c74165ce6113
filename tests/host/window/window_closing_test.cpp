// Closing the window with unsaved changes: the question as a message box, and what each
// of its answers does to the file, the window and the session.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QSettings>

#include <memory>

#include "window_fixture.h"

namespace orv::window::testing {
namespace {

namespace fs = std::filesystem;

std::string fileText(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Answers the file dialog that opens next with `file` (polling for it: a static file
// dialog offers no hook), until it has gone or `owner` (whose life `seen` shares) goes.
void answerFileDialog(const fs::path& file, bool* seen, QObject* owner) {
  auto* poll = new QTimer(owner);
  poll->setInterval(20);
  auto ticks = std::make_shared<int>(0);
  QObject::connect(poll, &QTimer::timeout, poll, [poll, file, seen, ticks] {
    ++*ticks;
    auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (d) {
      *seen = true;
      const QString wanted = QString::fromStdString(file.string());
      d->setDirectory(QString::fromStdString(file.parent_path().string()));
      // The name typed into the dialog's file name field, as a user does.
      if (auto* name = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
        name->setText(QString::fromStdString(file.filename().string()));
      if (d->selectedFiles().value(0) == wanted) static_cast<QDialog*>(d)->done(QDialog::Accepted);
    } else if (*seen || *ticks > 500) {
      poll->deleteLater();
    }
  });
  poll->start();
}

enum class Closing { window, quitAction, typedQuit };

void close(WindowSession& w, Closing how) {
  switch (how) {
    case Closing::window: w.window().close(); break;
    case Closing::quitAction:
      for (QAction* menu : w.window().menuBar()->actions())
        if (menu->text() == "文件")
          for (QAction* a : menu->menu()->actions())
            if (a->text() == "退出") a->trigger();
      break;
    case Closing::typedQuit:
      QTest::keyClicks(w.panel().input(), "QUIT");
      QTest::keyClick(w.panel().input(), Qt::Key_Return);
      break;
  }
}

TEST(WindowClosing, eachAnswerToTheUnsavedChangesQuestion) {
  const struct {
    const char* name;
    bool named;           // the drawing has a file already
    Closing how;
    const char* answer;   // the button pressed
    bool saved;           // the file holds the change afterwards
    bool ended;           // the session ended
    bool fileDialog;      // a file dialog asked for the name
  } cases[] = {
      {"save to its file", true, Closing::window, "保存", true, true, false},
      {"save an unnamed drawing: a file dialog names it", false, Closing::quitAction, "保存", true, true, true},
      {"save an unnamed drawing after a typed QUIT: the name typed", false, Closing::typedQuit, "保存", true, true,
       false},
      {"do not save", true, Closing::quitAction, "不保存", false, true, false},
      {"cancel", true, Closing::window, "取消", false, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path dir = fs::temp_directory_path() / ("orv-closing-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const fs::path file = dir / "plan.dxf";
    WindowSession w;
    w.session().setInteractive(true);
    std::vector<QString> buttons;
    QString question;
    bool dialogSeen = false;
    int boxes = 0;
    w.presenter().shown = [&](QWidget* shown) {
      auto* box = qobject_cast<QMessageBox*>(shown);
      ASSERT_NE(box, nullptr);
      if (++boxes > 1) {
        box->reject();
        return;
      }
      question = box->text();
      buttons.clear();
      for (QAbstractButton* b : box->buttons()) buttons.push_back(b->text());
      if (c.fileDialog) answerFileDialog(file, &dialogSeen, &w.window());
      for (QAbstractButton* b : box->buttons())
        if (b->text() == c.answer) b->click();
    };
    if (c.named) {
      w.type("SAVEAS");
      w.type(file.string());
    }
    w.type("LINE");
    w.type("0,0");
    w.type("100,50");
    w.type("");
    std::string before;
    w.step([&] {
      before = fileText(file);
      close(w, c.how);
      return true;
    });
    if (!c.named && !c.fileDialog) w.type(file.string());
    bool goesOn = false;
    w.step([&] {  // only reached when the session goes on
      goesOn = w.window().isVisible() && w.console().options().atCommandPrompt();
      return false;
    });
    w.run();

    EXPECT_EQ(question, c.named ? "是否将改动保存到 plan.dxf？" : "是否将改动保存到 未命名？");
    EXPECT_EQ(buttons, (std::vector<QString>{"保存", "不保存", "取消"}));
    EXPECT_EQ(dialogSeen, c.fileDialog);
    const std::string after = fileText(file);
    EXPECT_EQ(after.find("LINE") != std::string::npos, c.saved) << after.size();
    if (!c.saved && c.named) {
      EXPECT_EQ(after, before);
    }
    EXPECT_EQ(goesOn, !c.ended);
    // A session that goes on ends with the steps: its input gone, it asks nothing more.
    EXPECT_EQ(boxes, 1);
    if (c.saved) {
      EXPECT_EQ(w.window().windowTitle(), "orvcad - plan.dxf");
    }
    fs::remove_all(dir);
  }
}

// Answers the file dialogs that open next with `files`, one each in turn; `answered`
// counts them. The poller ends with `owner`.
void answerFileDialogs(std::vector<fs::path> files, int* answered, QObject* owner) {
  auto* poll = new QTimer(owner);
  poll->setInterval(20);
  auto last = std::make_shared<QPointer<QFileDialog>>();
  QObject::connect(poll, &QTimer::timeout, poll, [poll, files, answered, last] {
    auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!d || d == *last) return;
    if (static_cast<std::size_t>(*answered) >= files.size()) {
      d->reject();
      return;
    }
    const fs::path& file = files[static_cast<std::size_t>((*answered)++)];
    *last = d;
    d->setDirectory(QString::fromStdString(file.parent_path().string()));
    if (auto* name = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
      name->setText(QString::fromStdString(file.filename().string()));
    static_cast<QDialog*>(d)->done(QDialog::Accepted);
  });
  poll->start();
}

std::size_t linesIn(const fs::path& file) {
  const std::string text = fileText(file);
  std::size_t n = 0;
  for (auto at = text.find("\nLINE"); at != std::string::npos; at = text.find("\nLINE", at + 1))
    n += at + 5 < text.size() && (text[at + 5] == '\r' || text[at + 5] == '\n');
  return n;
}

// OPEN from the menu asks about unsaved changes first, then opens the file dialog.
TEST(WindowClosing, openFromTheMenuAsksAboutUnsavedChangesBeforeTheFileDialog) {
  const struct {
    const char* name;
    bool named;
    const char* answer;
    int dialogs;            // file dialogs answered: the file to open, a name to save as
    std::size_t lines;      // in the drawing afterwards
    std::size_t savedLines; // in plan.dxf afterwards
  } cases[] = {
      {"do not save", true, "不保存", 1, 1, 1},
      {"save to its file", true, "保存", 1, 1, 3},
      {"save an unnamed drawing: a second file dialog names it", false, "保存", 2, 1, 1},
      {"cancel", true, "取消", 0, 3, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path dir = fs::temp_directory_path() / ("orv-opening-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const fs::path other = dir / "other.dxf", own = dir / "plan.dxf";
    WindowSession w;
    w.session().setInteractive(true);
    int questions = 0, answered = 0, answeredAtQuestion = -1;
    w.presenter().shown = [&](QWidget* shown) {
      auto* box = qobject_cast<QMessageBox*>(shown);
      ASSERT_NE(box, nullptr);
      ++questions;
      answeredAtQuestion = answered;
      for (QAbstractButton* b : box->buttons())
        if (b->text() == c.answer) b->click();
    };
    for (const char* t : {"LINE", "0,0", "10,0", "", "SAVEAS"}) w.type(t);
    w.type(other.string());
    if (c.named) {
      w.type("SAVEAS");
      w.type(own.string());
    } else {
      w.type("NEW");
    }
    for (const char* t : {"LINE", "0,5", "10,5", ""}) w.type(t);
    if (c.named) {
      for (const char* t : {"LINE", "0,9", "10,9", ""}) w.type(t);
    }
    w.step([&] {
      answerFileDialogs({other, own}, &answered, &w.window());
      for (QAction* menu : w.window().menuBar()->actions())
        if (menu->text() == "文件")
          for (QAction* a : menu->menu()->actions())
            if (a->text() == "打开...") a->trigger();
      return std::string_view(c.answer) != "取消";  // else nothing answered "命令:"
    });
    w.run();
    EXPECT_EQ(questions, 1) << "asked once";
    EXPECT_EQ(answeredAtQuestion, 0) << "the question came before the file dialog";
    EXPECT_EQ(answered, c.dialogs);
    EXPECT_EQ(describeEntities(w.session().database()).size(), c.lines);
    EXPECT_EQ(linesIn(own), c.savedLines);
    fs::remove_all(dir);
  }
}

// 文件 ▸ 最近的文件: the drawings saved or opened, newest first; one chosen is opened
// after the unsaved changes were asked about, without a file dialog.
TEST(WindowClosing, aRecentDrawingChosenFromTheFileMenuIsOpened) {
  QSettings(QStringLiteral("orvcad"), QStringLiteral("orvcad")).remove(QStringLiteral("recentFiles"));
  const fs::path dir = fs::temp_directory_path() / ("orv-recent-" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  const fs::path a = dir / "a.dxf", b = dir / "b.dxf";
  WindowSession w;
  w.session().setInteractive(true);
  int questions = 0;
  w.presenter().shown = [&](QWidget* shown) {
    ++questions;
    for (QAbstractButton* button : qobject_cast<QMessageBox*>(shown)->buttons())
      if (button->text() == "不保存") button->click();
  };
  for (const char* t : {"LINE", "0,0", "10,0", "", "SAVEAS"}) w.type(t);
  w.type(a.string());
  w.type("SAVEAS");
  w.type(b.string());
  for (const char* t : {"LINE", "0,5", "10,5", ""}) w.type(t);
  QStringList shown;
  w.step([&] {
    QMenu& recent = w.window().recentMenu();
    emit recent.aboutToShow();
    for (QAction* act : recent.actions()) shown << act->text();
    for (QAction* act : recent.actions())
      if (act->text() == "2 a.dxf") act->trigger();
    return true;
  });
  w.run();
  EXPECT_EQ(shown, (QStringList{"1 b.dxf", "2 a.dxf"}));
  EXPECT_EQ(questions, 1);
  EXPECT_EQ(w.window().windowTitle(), "orvcad - a.dxf");
  EXPECT_EQ(describeEntities(w.session().database()).size(), 1u);
  EXPECT_EQ(MainWindow::recentDrawings(),
            (QStringList{QString::fromStdString(a.string()), QString::fromStdString(b.string())}));
  fs::remove_all(dir);
}

}  // namespace
}  // namespace orv::window::testing
