// Selecting at the command prompt, the selection's grips and editing by them.
#include "selection_tools.h"

#include <QKeyEvent>

#include <unordered_map>

#include "drawing_view.h"
#include "layer_states.h"
#include "orv/core/grips.h"
#include "orv/core/shapes.h"
#include "window_console.h"

namespace orv::window {

SelectionTools::SelectionTools(app::Session& session, WindowConsole& console, DrawingView& view)
    : QObject(&view), session_(&session), console_(console), view_(view) {
  view_.shownSelection = [this]() -> DrawingView::ShownSelection {
    if (!session_) return {};
    const core::Selector& s = session_->selector();
    if (const core::SelectionSet* active = s.active()) return {&active->ids(), s.revision()};
    return {&s.current().ids(), s.revision(), s.revision() == everything_};
  };
  connect(&view_, &DrawingView::entityClicked, this, &SelectionTools::picked);
  connect(&view_, &DrawingView::boxMade, this, &SelectionTools::boxed);
  connect(&view_, &DrawingView::gripClicked, this, &SelectionTools::gripClicked);
}

bool SelectionTools::atCommandPrompt() const {
  return session_ && console_.waiting() && console_.options().atCommandPrompt();
}

void SelectionTools::promptStarted() {
  if (!session_) return;
  if (console_.options().atCommandPrompt()) showGrips();
  view_.selectionChanged();
}

void SelectionTools::commandStarted(const std::string& name) {
  if (name != "GRIPEDIT" && !view_.grips().empty()) view_.setGrips({});
}

std::vector<db::ObjectId> SelectionTools::choosable(std::vector<db::ObjectId> ids) const {
  const db::Database& d = session_->database();
  bool anyLocked = false;
  for (const db::Layer& l : d.layers()) anyLocked = anyLocked || app::layerIsLocked(l);
  if (!anyLocked) return ids;
  // Each layer looked up once.
  std::unordered_map<std::string_view, bool> locked;
  std::erase_if(ids, [&](db::ObjectId id) {
    const db::Entity* e = d.entity(id);
    if (!e) return true;
    const std::string_view layer = core::layerOf(d, *e);
    auto found = locked.find(layer);
    if (found == locked.end()) {
      const db::Layer* l = d.layers().get(layer);
      found = locked.emplace(layer, l && app::layerIsLocked(*l)).first;
    }
    return found->second;
  });
  return ids;
}

bool SelectionTools::key(const QKeyEvent& key, bool lineEmpty) {
  if (!atCommandPrompt() || !lineEmpty) return false;
  const bool empty = session_->selector().current().empty();
  if (key.key() == Qt::Key_Escape && key.modifiers() == Qt::NoModifier) {
    view_.cancelIdleBox();
    if (!empty) clear();
    return false;
  }
  if (key.key() == Qt::Key_Delete && key.modifiers() == Qt::NoModifier && !empty) {
    erase();
    return true;
  }
  if (key.key() == Qt::Key_A && key.modifiers() == Qt::ControlModifier) {
    selectAll();
    return true;
  }
  return false;
}

void SelectionTools::changed(core::SelectionSet set) {
  session_->selector().setCurrent(std::move(set));
  showGrips();
  view_.selectionChanged();
  emit selectionChanged();
}

void SelectionTools::selectAll() {
  if (!atCommandPrompt()) return;
  core::SelectionSet set;
  for (db::ObjectId id : choosable(session_->index().all())) set.add(id);
  changed(std::move(set));
  everything_ = session_->selector().revision();
  view_.selectionChanged();
}

void SelectionTools::clear() {
  if (!session_) return;
  changed({});
}

void SelectionTools::erase() {
  if (atCommandPrompt() && !session_->selector().current().empty()) console_.answer("ERASE");
}

void SelectionTools::picked(db::ObjectId id, bool shift) {
  if (!atCommandPrompt()) return;
  core::SelectionSet set = session_->selector().current();
  if (shift)
    set.remove({id});
  else if (!choosable({id}).empty())
    set.add(id);
  else
    return;  // on a locked layer: seen and snapped to, not chosen for editing
  changed(std::move(set));
}

void SelectionTools::boxed(db::Point2 first, db::Point2 second, bool shift) {
  if (!atCommandPrompt()) return;
  // To the right: wholly inside; to the left: crossing too.
  const core::Box2 rect = core::Box2::of({first.x, first.y}, {second.x, second.y});
  core::SpatialIndex& index = session_->index();
  const std::vector<db::ObjectId> found = choosable(second.x >= first.x ? index.inside(rect) : index.crossing(rect));
  core::SelectionSet set = session_->selector().current();
  if (shift) {
    set.remove(found);
  } else {
    for (db::ObjectId id : found) set.add(id);
  }
  changed(std::move(set));
}

void SelectionTools::gripClicked(std::size_t grip) {
  if (!atCommandPrompt() || grip >= view_.grips().size()) return;
  const db::Point2 g = view_.grips()[grip];
  view_.setGrips(view_.grips(), grip);
  console_.answer("GRIPEDIT " + pointText({g.x, g.y, 0.0}));
}

void SelectionTools::showGrips() {
  std::vector<db::Point2> points;
  const core::SelectionSet& set = session_->selector().current();
  if (set.size() <= kGripLimit) {
    const db::Database& d = session_->database();
    for (db::ObjectId id : set.ids()) {
      const db::Entity* e = d.entity(id);
      if (!e || e->isErased()) continue;
      for (const core::Grip& g : core::gripPoints(d, *e)) points.push_back({g.point.x, g.point.y});
    }
  }
  view_.setGrips(std::move(points));
}

}  // namespace orv::window
