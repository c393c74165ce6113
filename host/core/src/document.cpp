// The session's drawing: file, unsaved changes, steps of undo and redo.
#include "orv/core/document.h"

#include <algorithm>

namespace orv::core {

Document::Document() : Document(db::Database::newDrawing()) {}

Document::Document(db::Database database, std::optional<std::filesystem::path> path)
    : database_(std::move(database)), path_(std::move(path)) {
  database_.setObserver(this);
}

Document::~Document() { database_.setObserver(nullptr); }

void Document::setPath(std::filesystem::path path) {
  path_ = std::move(path);
  for (DocumentObserver* o : observers_) o->stateChanged();
}

std::string Document::displayName() const {
  if (!path_ || path_->filename().empty()) return "未命名";
  return path_->filename().string();
}

void Document::markSaved() {
  savedState_ = state();
  notifyState();
}

void Document::noteChangeOutsideUndo() {
  ++outsideUndo_;
  notifyState();
}

void Document::beginStep(std::string name) {
  if (stepDepth_++ == 0) {
    stepName_ = std::move(name);
    groupsAtStepStart_ = database_.undoGroupCount();
  }
  database_.beginUndoGroup();
}

bool Document::endStep() {
  if (stepDepth_ == 0) return false;
  database_.endUndoGroup();
  if (--stepDepth_ != 0) return false;
  const bool databaseGroup = database_.undoGroupCount() > groupsAtStepStart_;
  if (!databaseGroup && stepOutside_.empty()) return false;
  done_.push_back(Step{std::move(stepName_), nextSerial_++, databaseGroup, std::move(stepOutside_)});
  stepOutside_.clear();
  // The database forgot what was undone before this step; so does the document.
  undone_.clear();
  notifyState();
  return true;
}

void Document::recordChange(OutsideChange back, OutsideChange forth, const std::string& name) {
  const bool own = stepDepth_ == 0;
  if (own) beginStep(name);
  stepOutside_.emplace_back(std::move(back), std::move(forth));
  tablesChanged();  // what it changed may change what entities look like
  if (own) endStep();
}

bool Document::undo(std::string& name) {
  if (!done_.empty() && !done_.back().databaseGroup) {
    Step step = std::move(done_.back());
    done_.pop_back();
    for (auto it = step.outside.rbegin(); it != step.outside.rend(); ++it) it->first(database_);
    tablesChanged();
    name = step.name;
    undone_.push_back(std::move(step));
    notifyState();
    return true;
  }
  if (database_.undoGroupCount() == 0) return false;
  if (database_.undo() != db::Status::ok) return false;
  // Steps recorded before the document knew them (none today) have no name.
  Step step;
  if (!done_.empty()) {
    step = std::move(done_.back());
    done_.pop_back();
  } else {
    step.serial = nextSerial_++;
  }
  for (auto it = step.outside.rbegin(); it != step.outside.rend(); ++it) it->first(database_);
  if (!step.outside.empty()) tablesChanged();
  name = step.name;
  undone_.push_back(std::move(step));
  notifyState();
  return true;
}

bool Document::redo(std::string& name) {
  if (undone_.empty()) return false;
  Step& step = undone_.back();
  if (step.databaseGroup) {
    if (database_.redoGroupCount() == 0) return false;
    if (database_.redo() != db::Status::ok) return false;
  }
  for (auto& change : step.outside) change.second(database_);
  if (!step.outside.empty()) tablesChanged();
  name = undone_.back().name;
  done_.push_back(std::move(undone_.back()));
  undone_.pop_back();
  notifyState();
  return true;
}

void Document::addObserver(DocumentObserver* observer) {
  if (std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
    observers_.push_back(observer);
}

void Document::removeObserver(DocumentObserver* observer) {
  observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

void Document::entityChanged(db::ObjectId id) {
  for (DocumentObserver* o : observers_) o->entityChanged(id);
}

void Document::tablesChanged() {
  for (DocumentObserver* o : observers_) o->tablesChanged();
}

void Document::notifyState() {
  for (DocumentObserver* o : observers_) o->stateChanged();
}

}  // namespace orv::core
