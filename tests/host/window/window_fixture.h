// A session presented in the real window, driven by steps that run whenever a prompt
// waits: each step types, clicks or presses what a user would.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>

#include <deque>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "command_panel.h"
#include "drawing_view.h"
#include "main_window.h"
#include "orv/prompt/script_console.h"
#include "qt_presenter.h"
#include "session.h"
#include "window_console.h"

namespace orv::window::testing {

// The mouse moved to a pixel of a widget (as QTest::mouseMove, without its pointer
// bookkeeping, which skips moves it takes for repeats).
inline void moveTo(QWidget& w, QPoint at, Qt::MouseButtons buttons = Qt::NoButton) {
  QMouseEvent e(QEvent::MouseMove, QPointF(at), w.mapToGlobal(QPointF(at)), Qt::NoButton, buttons, Qt::NoModifier);
  QApplication::sendEvent(&w, &e);
}

class WindowSession {
 public:
  // A step acts on the waiting prompt; false when it did not answer it (the next step
  // then runs at once).
  using Step = std::function<bool()>;

  WindowSession()
      : session_(app::Frontend{console_, presenter_}), window_(session_, console_, presenter_) {
    window_.resize(1000, 720);
    window_.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window_));
    QObject::connect(&console_, &WindowConsole::promptStarted, &window_,
                     [this] { QTimer::singleShot(0, &window_, [this] { next(); }); });
    QObject::connect(&view(), &DrawingView::pointClicked, &window_,
                     [this](const prompt::Point3& p) { clicked_.push_back({p.x, p.y}); });
  }

  app::Session& session() { return session_; }
  WindowConsole& console() { return console_; }
  QtPresenter& presenter() { return presenter_; }
  MainWindow& window() { return window_; }
  DrawingView& view() { return window_.view(); }
  CommandPanel& panel() { return window_.panel(); }

  void step(Step s) { steps_.push_back(std::move(s)); }
  // Typed into the input line and ended with Enter.
  void type(const std::string& text) {
    step([this, text] {
      QTest::keyClicks(panel().input(), QString::fromStdString(text));
      QTest::keyClick(panel().input(), Qt::Key_Return);
      return true;
    });
  }
  void key(Qt::Key k) {
    step([this, k] {
      QTest::keyClick(panel().input(), k);
      return true;
    });
  }
  // A left click in the view at a pixel; the point it gave is kept in clicked().
  void click(QPoint at) {
    step([this, at] {
      moveTo(view(), at);
      QTest::mouseClick(&view(), Qt::LeftButton, {}, at);
      return true;
    });
  }
  const std::vector<db::Point2>& clicked() const { return clicked_; }

  // Runs the session's command line until the steps are done (then the input ends).
  void run() {
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &window_, [this] {
      ADD_FAILURE() << "the steps did not finish in time; transcript:\n" << console_.transcript();
      steps_.clear();
      console_.endInput();
    });
    guard.start(30000);
    session_.run();
  }

 private:
  void next() {
    if (!console_.waiting()) return;
    while (!steps_.empty()) {
      Step s = std::move(steps_.front());
      steps_.pop_front();
      if (s()) return;
      if (!console_.waiting()) return;
    }
    console_.endInput();
  }

  WindowConsole console_;
  QtPresenter presenter_;
  app::Session session_;
  MainWindow window_;
  std::deque<Step> steps_;
  std::vector<db::Point2> clicked_;
};

// The transcript of a script run of the same replies, in a session of its own.
inline std::string scriptTranscript(const std::vector<std::string>& lines,
                                    const std::function<void(app::Session&)>& prepare = {}) {
  std::string script;
  for (const std::string& l : lines) script += l + "\n";
  std::istringstream in(script);
  std::ostringstream out;
  prompt::ScriptConsole console(in, out);
  app::Session session(console);
  if (prepare) prepare(session);
  session.run();
  return out.str();
}

}  // namespace orv::window::testing
