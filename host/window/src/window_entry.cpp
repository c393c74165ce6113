// The window library's entry: checks that there is a display, starts the toolkit and
// makes the window that orvcad's session is presented in.
#include <dlfcn.h>

#include <QApplication>
#include <QEventLoop>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLibraryInfo>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <system_error>
#include <thread>

#include "main_window.h"
#include "pictures_library.h"
#include "view_painter.h"
#include "qt_presenter.h"
#include "window_console.h"
#include "window_library.h"

namespace orv::window {

namespace {

std::string env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

// Whether the X server of DISPLAY answers, asked through libxcb when it is there.
bool xServerAnswers() {
  void* xcb = ::dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
  if (!xcb) return true;  // the toolkit will say
  using Connect = void* (*)(const char*, int*);
  using HasError = int (*)(void*);
  using Disconnect = void (*)(void*);
  auto connect = reinterpret_cast<Connect>(::dlsym(xcb, "xcb_connect"));
  auto hasError = reinterpret_cast<HasError>(::dlsym(xcb, "xcb_connection_has_error"));
  auto disconnect = reinterpret_cast<Disconnect>(::dlsym(xcb, "xcb_disconnect"));
  bool ok = true;
  if (connect && hasError && disconnect) {
    void* c = connect(nullptr, nullptr);
    ok = c && hasError(c) == 0;
    if (c) disconnect(c);
  }
  ::dlclose(xcb);
  return ok;
}

bool hasPlatformPlugin(const QString& prefix) {
  const QDir dir(QLibraryInfo::path(QLibraryInfo::PluginsPath) + "/platforms");
  return !dir.entryList({"libq" + prefix + "*.so"}, QDir::Files).isEmpty();
}

// Why no window can open here, or empty. The toolkit ends the program when it cannot
// reach its display, so the display is looked at first.
std::string displayProblem() {
  const std::string platform = env("QT_QPA_PLATFORM");
  if (!platform.empty() && platform.rfind("xcb", 0) != 0 && platform.rfind("wayland", 0) != 0) return {};
  const bool x = !env("DISPLAY").empty();
  const bool wayland = !env("WAYLAND_DISPLAY").empty() && hasPlatformPlugin("wayland");
  if (platform.rfind("wayland", 0) == 0) return wayland ? std::string() : "没有可用的 Wayland 显示";
  if (!x && !wayland) return "没有显示器（DISPLAY 和 WAYLAND_DISPLAY 都未设置）";
  if (x && !wayland && !xServerAnswers()) return "无法连接到显示器 " + env("DISPLAY");
  return {};
}

class QtWindow final : public app::Window {
 public:
  QtWindow(int* argc, char** argv) : app_(std::make_unique<QApplication>(*argc, argv)) {
    QApplication::setApplicationName(QStringLiteral("orvcad"));
    QApplication::setDesktopFileName(QStringLiteral("orvcad"));
    QApplication::setQuitOnLastWindowClosed(false);
    console_ = std::make_unique<WindowConsole>();
    presenter_ = std::make_unique<QtPresenter>();
    // The transcript goes to standard output as in the other modes.
    console_->mirror = [](std::string_view text) {
      std::cout.write(text.data(), static_cast<std::streamsize>(text.size()));
      std::cout.flush();
    };
  }
  ~QtWindow() override {
    if (main_) main_->sessionGone();
    main_.reset();
    presenter_.reset();
    console_.reset();
  }

  prompt::Console& console() override { return *console_; }
  dialogs::Presenter& presenter() override { return *presenter_; }
  void attach(app::Session& session) override {
    main_ = std::make_unique<MainWindow>(session, *console_, *presenter_);
    main_->show();
  }
  void showWhile(const std::function<void()>& wait) override {
    QEventLoop loop;
    std::thread waiter;
    try {
      waiter = std::thread([&wait, &loop] {
        wait();
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
      });
    } catch (const std::system_error&) {
      wait();  // no thread to be had: the window is painted afterwards
      return;
    }
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    waiter.join();
  }

 private:
  std::unique_ptr<QApplication> app_;
  std::unique_ptr<WindowConsole> console_;
  std::unique_ptr<QtPresenter> presenter_;
  std::unique_ptr<MainWindow> main_;
};

}  // namespace

}  // namespace orv::window

extern "C" __attribute__((visibility("default"))) orv::app::Window* orvWindowOpen(int version, int* argc, char** argv,
                                                                                  std::string* problem) {
  if (version != orv::app::kWindowVersion) {
    if (problem) *problem = "窗口程序与本程序的版本不符";
    return nullptr;
  }
  const std::string why = orv::window::displayProblem();
  if (!why.empty()) {
    if (problem) *problem = why;
    return nullptr;
  }
  std::string noRenderer;
  const orv::render::Pictures* pictures = orv::app::pictures(noRenderer);
  if (!pictures) {
    if (problem) *problem = noRenderer;
    return nullptr;
  }
  orv::window::usePictures(pictures);
  return new orv::window::QtWindow(argc, argv);
}
