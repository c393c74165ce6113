// Groups of recorded changes, opened and closed around each command.
#include "orv/db/undo_journal.h"

namespace orv::db {

void UndoJournal::begin() {
  if (depth_++ == 0) groups_.push_back(Group{records_.size(), saved_.size()});
}

void UndoJournal::end() {
  if (depth_ == 0) return;
  // A group that changed nothing is dropped, so that undo takes back the last
  // change rather than a command that only asked questions.
  if (--depth_ == 0 && !groups_.empty() && groups_.back().firstRecord == records_.size()) groups_.pop_back();
}

void UndoJournal::add(Kind kind, std::uint32_t index) {
  if (recording()) records_.push_back(Record{kind, index, 0});
}

void UndoJournal::addModify(std::uint32_t index, Entity before) {
  if (!recording()) return;
  records_.push_back(Record{Kind::modify, index, static_cast<std::uint32_t>(saved_.size())});
  saved_.push_back(std::move(before));
}

std::vector<UndoJournal::Record> UndoJournal::lastGroup() const {
  std::vector<Record> out;
  if (groups_.empty()) return out;
  for (std::size_t i = records_.size(); i > groups_.back().firstRecord; --i)
    out.push_back(records_[i - 1]);
  return out;
}

void UndoJournal::dropLastGroup() {
  if (groups_.empty()) return;
  records_.resize(groups_.back().firstRecord);
  saved_.erase(saved_.begin() + static_cast<std::ptrdiff_t>(groups_.back().firstSaved),
               saved_.end());
  groups_.pop_back();
}

void UndoJournal::clear() {
  records_.clear();
  saved_.clear();
  groups_.clear();
  depth_ = 0;
}

}  // namespace orv::db
