// The drawing window as orvcad sees it: a front end in a library of its own
// (orvcad-window.so, beside the renderer) that is loaded only when a window is asked for.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "options.h"
#include "orv/dialogs/presenter.h"
#include "orv/prompt/console.h"

namespace orv::app {

class Session;

// What the window library gives: the command line and the dialogs of a session shown
// in a window.
class Window {
 public:
  virtual ~Window() = default;
  virtual prompt::Console& console() = 0;
  virtual dialogs::Presenter& presenter() = 0;
  // Shows the window over the session: its drawing, commands and transcript. The
  // window outlives the session (the session's console is the window's) and touches
  // it no more once the session has gone.
  virtual void attach(Session& session) = 0;
  // Keeps the window shown and painted while `wait` runs on a thread of its own (the
  // drawing being read, say), and returns once it has returned. The user's input
  // waits until then, as it would for a window that is busy.
  virtual void showWhile(const std::function<void()>& wait) = 0;
};

// The library's one entry: a window, or null with the reason in `problem` (no display,
// say). argc and argv are the program's, for the toolkit; they outlive the window.
inline constexpr const char* kWindowEntry = "orvWindowOpen";
inline constexpr int kWindowVersion = 2;
using WindowEntry = Window* (*)(int version, int* argc, char** argv, std::string* problem);

struct WindowStart {
  std::unique_ptr<Window> window;  // null: the session runs without a window
  std::string problem;             // why a window was tried and cannot open
};

// Opens the window when the options ask for one: --window, or neither --script nor
// --terminal with a display there (DISPLAY or WAYLAND_DISPLAY) and no replies piped
// into standard input. A window asked for with --window that cannot open ends the
// program with the problem; one that was only the default gives way to the terminal,
// and the problem is a note.
WindowStart openWindow(const Options& options, int* argc, char** argv);
// Whether openWindow will try to open a window for these options.
bool windowWanted(const Options& options);

}  // namespace orv::app
