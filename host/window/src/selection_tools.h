// Selecting at the command prompt and editing by grips: clicks and boxes that make the
// session's current selection (Shift removes), Esc, Ctrl+A and Delete, the selection's
// grips, and a clicked grip handed to GRIPEDIT so that undo, the transcript and
// recovery see a command like any other.
#pragma once

#include <QObject>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "orv/core/selection.h"
#include "session.h"

class QKeyEvent;

namespace orv::window {

class DrawingView;
class WindowConsole;

class SelectionTools final : public QObject {
  Q_OBJECT

 public:
  // Grips are shown for selections of at most this many entities (more would hide the
  // drawing under them).
  static constexpr std::size_t kGripLimit = 100;

  SelectionTools(app::Session& session, WindowConsole& console, DrawingView& view);
  // The session has ended: nothing more is asked of it.
  void sessionGone() { session_ = nullptr; }

  // A prompt began: at the command prompt the grips follow the current selection.
  void promptStarted();
  // A command began: the grips of the selection it takes are hidden until the command
  // prompt comes back (a grip edit keeps its own).
  void commandStarted(const std::string& name);
  // A key at the command prompt (`lineEmpty`: nothing typed yet): Esc clears the
  // selection (and lets the key go on), Delete erases it, Ctrl+A selects all. True when
  // the key was used up.
  bool key(const QKeyEvent& key, bool lineEmpty);

  void selectAll();
 signals:
  // The current selection was changed here (a click, a box, Esc, Ctrl+A).
  void selectionChanged();

 public:
  void clear();
  // ERASE of the selection, one undo step.
  void erase();

 private:
  bool atCommandPrompt() const;
  void picked(db::ObjectId id, bool shift);
  void boxed(db::Point2 first, db::Point2 second, bool shift);
  void gripClicked(std::size_t grip);
  void changed(core::SelectionSet set);
  // The entities of `ids` that may be chosen here: none on a locked layer.
  std::vector<db::ObjectId> choosable(std::vector<db::ObjectId> ids) const;
  void showGrips();

  app::Session* session_;
  WindowConsole& console_;
  DrawingView& view_;
  std::uint64_t everything_ = ~std::uint64_t{0};  // the selector's revision that Ctrl+A made
};

}  // namespace orv::window
