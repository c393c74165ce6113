// A session presented in the real window, driven by steps that run whenever a prompt
// waits: each step types, clicks or presses what a user would.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <charconv>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "command_panel.h"
#include "orv/db/dimension.h"
#include "orv/db/hatch.h"
#include "orv/db/text_kinds.h"
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

// A module directory of its own: the plug-in and the sample libraries linked in, and no
// draw.ini until one is written.
struct ModuleDir {
  std::filesystem::path dir;
  std::filesystem::path module;
  ModuleDir() {
    namespace fs = std::filesystem;
    dir = fs::temp_directory_path() / ("orv-window-" + std::to_string(::getpid()) + "-" +
                                       std::to_string(reinterpret_cast<std::uintptr_t>(this)));
    fs::create_directories(dir);
    module = dir / "orvpipe07.arx";
    fs::create_symlink(ORV_PLUGIN_MODULE, module);
    fs::create_directory_symlink(ORV_SAMPLE_RESOURCES, dir / "resource");
  }
  ~ModuleDir() {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
  ModuleDir(const ModuleDir&) = delete;
  ModuleDir& operator=(const ModuleDir&) = delete;
  std::string ini() const {
    std::ifstream in(dir / "draw.ini", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  void writeIni(const std::string& text) const {
    std::ofstream(dir / "draw.ini", std::ios::binary | std::ios::trunc) << text;
  }
};

// The panel's button of a keyword of the waiting prompt; null when it has none.
inline QToolButton* keywordButton(CommandPanel& panel, const QString& keyword) {
  for (QToolButton* b : panel.keywordButtons())
    if (b->toolTip() == keyword) return b;
  return nullptr;
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
      // Latin letters as keys; Chinese as an input method commits them.
      const QString all = QString::fromStdString(text);
      for (qsizetype at = 0; at < all.size();) {
        qsizetype end = at;
        const bool latin = all[at].unicode() < 128;
        while (end < all.size() && (all[end].unicode() < 128) == latin) ++end;
        if (latin) {
          QTest::keyClicks(panel().input(), all.mid(at, end - at));
        } else {
          QInputMethodEvent committed;
          committed.setCommitString(all.mid(at, end - at));
          QApplication::sendEvent(panel().input(), &committed);
        }
        at = end;
      }
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
  // Something done while a prompt waits that answers nothing.
  void act(std::function<void()> f) {
    step([f = std::move(f)] {
      f();
      return false;
    });
  }
  // A click on a keyword's button in the panel (a failure when the prompt has none).
  void keyword(const QString& k) {
    step([this, k] {
      QToolButton* b = keywordButton(panel(), k);
      EXPECT_NE(b, nullptr) << "no keyword " << k.toStdString() << " at " << console_.promptLine();
      if (b) QTest::mouseClick(b, Qt::LeftButton);
      return b != nullptr;
    });
  }

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

// Ten pixels a drawing unit, the drawing's origin at pixel (100, 400), and the pixel of a
// drawing point in it.
inline const ViewTransform kTenPixels{10.0, 100.0, 400.0};
inline QPoint pixelOf(double x, double y) { return {static_cast<int>(100 + 10 * x), static_cast<int>(400 - 10 * y)}; }

// ORV_WINDOW_SCREENSHOTS=DIR keeps pictures of widgets to look at.
inline void keepPicture(QWidget& w, const char* name) {
  if (const char* dir = std::getenv("ORV_WINDOW_SCREENSHOTS")) w.grab().save(QString("%1/%2.png").arg(dir, name));
}

// The transcript of a script run of the same replies, in a session of its own.
// `after` sees the session when the script has ended.
inline std::string scriptTranscript(const std::vector<std::string>& lines,
                                    const std::function<void(app::Session&)>& prepare = {},
                                    const std::function<void(app::Session&)>& after = {}) {
  std::string script;
  for (const std::string& l : lines) script += l + "\n";
  std::istringstream in(script);
  std::ostringstream out;
  prompt::ScriptConsole console(in, out);
  app::Session session(console);
  if (prepare) prepare(session);
  session.run();
  if (after) after(session);
  return out.str();
}

// Model space entity by entity, one line each: kind, layer, linetype, colour and every
// number of the geometry as the shortest text that reads back to it.
inline std::vector<std::string> describeEntities(const db::Database& d) {
  std::vector<std::string> out;
  auto num = [](double v) {
    char b[32];
    const auto r = std::to_chars(b, b + sizeof b, v + 0.0);
    return std::string(b, r.ptr);
  };
  auto pt = [&](const db::Point3& p) { return "(" + num(p.x) + " " + num(p.y) + " " + num(p.z) + ")"; };
  d.forEachEntity(d.modelSpace(), [&](db::ObjectId, const db::Entity& e) {
    std::string s = std::string(d.name(e.layer)) + " " + std::string(d.name(e.linetype)) + " " +
                    std::to_string(e.color) + " ";
    if (const auto* l = e.as<db::Line>()) {
      s += "LINE " + pt(l->start) + pt(l->end);
    } else if (const auto* a = e.as<db::Arc>()) {
      s += "ARC " + pt(a->center) + " " + num(a->radius) + " " + num(a->startAngle) + " " + num(a->endAngle);
    } else if (const auto* c = e.as<db::Circle>()) {
      s += "CIRCLE " + pt(c->center) + " " + num(c->radius);
    } else if (const auto* p = e.as<db::Polyline>()) {
      s += p->closed() ? "LWPOLYLINE closed" : "LWPOLYLINE";
      for (std::size_t i = 0; i < p->size(); ++i)
        s += " (" + num(p->point(i).x) + " " + num(p->point(i).y) + " " + num(p->bulge(i)) + ")";
    } else if (const auto* r = e.as<db::BlockReference>()) {
      s += "INSERT " + d.block(r->block).name + " " + pt(r->position) + " " + num(r->xScale) + " " +
           num(r->yScale) + " " + num(r->rotation);
    } else if (const auto* t = e.as<db::Text>()) {
      s += "TEXT \"" + t->value + "\" " + pt(t->position) + " " + num(t->height) + " " + num(t->rotation);
    } else if (const auto* m = e.as<db::Dimension>()) {
      s += "DIMENSION " + pt(m->definitionPoint) + pt(m->textMidpoint) + " " + num(m->measurement) + " " + m->block;
    } else if (const auto* h = e.as<db::Hatch>()) {
      s += "HATCH " + h->pattern + " " + num(h->scale) + " " + num(h->angle);
      for (const db::HatchPath& path : h->paths) {
        s += " [";
        for (const db::Point2& v : path.vertices) s += "(" + num(v.x) + " " + num(v.y) + ")";
        s += " " + std::to_string(path.edges.size()) + "]";
      }
    } else {
      s += "OTHER";
    }
    out.push_back(std::move(s));
  });
  return out;
}

// ---- the same replies in the window and in a script

// The pipe styles of a draw.ini the plug-in's tests start from.
inline constexpr const char* kStyles =
    "[MIDLINE]\nLINECOLOR=1\nLINETYPE=CENTER\n[SIDELINE]\nLINECOLOR=3\nLINETYPE=DASHED\n";

// A view of 4 drawing units a pixel with the drawing's origin at pixel (100, 450).
inline const ViewTransform kView{0.25, 100.0, 450.0};

// One thing the user does: a click at a pixel of the view, the mouse moved there
// (no reply), a keyword clicked in the panel, or a reply typed.
struct Act {
  enum Kind { click, move, keyword, typed } kind;
  QPoint at;
  std::string text;
};
inline Act clickAt(int x, int y) { return {Act::click, {x, y}, {}}; }
inline Act mouseAt(int x, int y) { return {Act::move, {x, y}, {}}; }
inline Act keywordOf(std::string k) { return {Act::keyword, {}, std::move(k)}; }
inline Act typing(std::string t) { return {Act::typed, {}, std::move(t)}; }

struct Answered {
  std::string transcript;
  std::vector<std::string> drawing;
  std::string ini;
  std::vector<std::string> script;  // the same replies as a script's lines
  std::vector<db::Point2> clicked;
};

// The acts answered in the window (with the plug-in loaded when `m` is given), with a
// dialog answered by `dialog` when one opens.
inline Answered inWindow(const ModuleDir* m, const std::string& ini, const std::vector<Act>& acts,
                         const std::function<void(ModelDialog&)>& dialog = {}) {
  if (m) m->writeIni(ini);
  Answered out;
  WindowSession w;
  if (m) {
    const auto loaded = w.session().modules().load(m->module);
    EXPECT_TRUE(loaded.ok) << loaded.message;
  }
  w.presenter().shown = [&](QWidget* shown) {
    auto* d = qobject_cast<ModelDialog*>(shown);
    if (d && dialog) {
      dialog(*d);
      return;
    }
    ADD_FAILURE() << "a dialog or box that was not expected";
    shown->close();
  };
  w.step([&] {
    w.view().moveView(kView);
    return false;
  });
  for (const Act& a : acts) {
    switch (a.kind) {
      case Act::click: w.click(a.at); break;
      case Act::move:
        w.step([&w, at = a.at] {
          moveTo(w.view(), at);
          return false;
        });
        break;
      case Act::keyword: w.keyword(QString::fromStdString(a.text)); break;
      case Act::typed: w.type(a.text); break;
    }
  }
  w.run();
  out.transcript = w.console().transcript();
  out.drawing = describeEntities(w.session().database());
  out.clicked = w.clicked();
  std::size_t click = 0;
  for (const Act& a : acts) {
    if (a.kind == Act::move) continue;
    if (a.kind != Act::click) {
      out.script.push_back(a.text);
    } else if (click < out.clicked.size()) {
      const db::Point2 p = out.clicked[click++];
      out.script.push_back(pointText({p.x, p.y, 0}));
    }
  }
  if (m) out.ini = m->ini();
  return out;
}
inline Answered inWindow(const ModuleDir& m, const std::string& ini, const std::vector<Act>& acts,
                         const std::function<void(ModelDialog&)>& dialog = {}) {
  return inWindow(&m, ini, acts, dialog);
}

// The same lines in a script (with the plug-in loaded when `m` is given).
inline Answered inScript(const ModuleDir* m, const std::string& ini, const std::vector<std::string>& lines) {
  if (m) m->writeIni(ini);
  Answered out;
  out.transcript = scriptTranscript(
      lines,
      [&](app::Session& s) {
        if (m) {
          EXPECT_TRUE(s.modules().load(m->module).ok);
        }
      },
      [&](app::Session& s) { out.drawing = describeEntities(s.database()); });
  if (m) out.ini = m->ini();
  out.script = lines;
  return out;
}
inline Answered inScript(const ModuleDir& m, const std::string& ini, const std::vector<std::string>& lines) {
  return inScript(&m, ini, lines);
}

}  // namespace orv::window::testing
