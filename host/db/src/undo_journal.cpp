// Groups of recorded changes, opened and closed around each command.
#include "orv/db/undo_journal.h"

namespace orv::db {

void UndoJournal::begin() {
  if (depth_++ == 0) undo_.emplace_back();
}

void UndoJournal::end() {
  if (depth_ == 0) return;
  if (--depth_ != 0) return;
  // A group that changed nothing is dropped, so that undo takes back the last
  // change rather than a command that only asked questions; one that changed
  // something makes what was undone before it unreachable.
  if (undo_.back().records.empty())
    undo_.pop_back();
  else
    redo_.clear();
}

void UndoJournal::add(Kind kind, std::uint32_t index) {
  if (recording()) open().records.push_back(Record{kind, index, 0});
}

void UndoJournal::addModify(std::uint32_t index, Entity before) {
  if (!recording()) return;
  Group& g = open();
  g.records.push_back(Record{Kind::modify, index, static_cast<std::uint32_t>(g.entities.size())});
  g.entities.push_back(std::move(before));
}

void UndoJournal::addModifyLayer(std::uint32_t index, Layer before) {
  if (!recording()) return;
  Group& g = open();
  g.records.push_back(Record{Kind::modifyLayer, index, static_cast<std::uint32_t>(g.layers.size())});
  g.layers.push_back(std::move(before));
}

void UndoJournal::addModifyHeader(HeaderState before) {
  if (!recording()) return;
  Group& g = open();
  g.records.push_back(Record{Kind::modifyHeader, 0, static_cast<std::uint32_t>(g.headers.size())});
  g.headers.push_back(std::move(before));
}

void UndoJournal::addModifyExtras(std::uint32_t index, RawTags before) {
  if (!recording()) return;
  Group& g = open();
  g.records.push_back(Record{Kind::modifyExtras, index, static_cast<std::uint32_t>(g.extras.size())});
  g.extras.push_back(std::move(before));
}

void UndoJournal::addRenameLayer(std::uint32_t index, LayerRename renaming) {
  if (!recording()) return;
  Group& g = open();
  g.records.push_back(Record{Kind::renameLayer, index, static_cast<std::uint32_t>(g.layerRenames.size())});
  g.layerRenames.push_back(std::move(renaming));
}

void UndoJournal::addRemoveLayer(std::uint32_t index, Layer removed) {
  if (!recording()) return;
  Group& g = open();
  g.records.push_back(Record{Kind::removeLayer, index, static_cast<std::uint32_t>(g.layers.size())});
  g.layers.push_back(std::move(removed));
}

UndoJournal::Group* UndoJournal::lastGroup() {
  return undo_.empty() || depth_ > 0 ? nullptr : &undo_.back();
}

UndoJournal::Group* UndoJournal::lastUndone() {
  return redo_.empty() || depth_ > 0 ? nullptr : &redo_.back();
}

void UndoJournal::moveLastToRedo() {
  if (undo_.empty()) return;
  redo_.push_back(std::move(undo_.back()));
  undo_.pop_back();
}

void UndoJournal::moveLastUndoneBack() {
  if (redo_.empty()) return;
  undo_.push_back(std::move(redo_.back()));
  redo_.pop_back();
}

void UndoJournal::clear() {
  undo_.clear();
  redo_.clear();
  depth_ = 0;
}

}  // namespace orv::db
