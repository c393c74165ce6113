// The selection set and the "选择对象:" dialogue.
#include "orv/core/selection.h"

#include <algorithm>
#include <iterator>
#include <string_view>
#include <unordered_map>

#include "orv/core/shapes.h"

namespace orv::core {

bool SelectionSet::add(db::ObjectId id) {
  if (id.isNull()) return false;
  if (id.index >= member_.size()) member_.resize(std::max<std::size_t>(id.index + 1, member_.size() * 2), 0);
  if (member_[id.index]) return false;
  member_[id.index] = 1;
  ids_.push_back(id);
  return true;
}

std::size_t SelectionSet::remove(const std::vector<db::ObjectId>& ids) {
  std::size_t removed = 0;
  for (db::ObjectId id : ids)
    if (contains(id)) {
      member_[id.index] = 0;
      ++removed;
    }
  if (removed)
    ids_.erase(std::remove_if(ids_.begin(), ids_.end(), [&](db::ObjectId id) { return !contains(id); }),
               ids_.end());
  return removed;
}

void SelectionSet::clear() {
  ids_.clear();
  member_.clear();
}

Selector::Selector(prompt::PromptEngine& prompts, SpatialIndex& index) : prompts_(prompts), index_(index) {}

namespace {

std::string count(std::size_t n) { return std::to_string(n) + " 个"; }

enum Mode { kPick, kWindow, kCrossing };

// Those of `ids` whose entity lies on a locked layer (group 70 bit 4): they are seen and
// snapped to, but not chosen for editing. Each layer is looked up once.
std::vector<db::ObjectId> onLockedLayers(const db::Database& d, const std::vector<db::ObjectId>& ids) {
  bool anyLocked = false;
  for (const db::Layer& l : d.layers()) anyLocked = anyLocked || (l.flags & 4) != 0;
  if (!anyLocked) return {};
  std::unordered_map<std::string_view, bool> locked;
  std::vector<db::ObjectId> out;
  for (db::ObjectId id : ids) {
    const db::Entity* e = d.entity(id);
    if (!e) continue;
    const std::string_view layer = layerOf(d, *e);
    auto it = locked.find(layer);
    if (it == locked.end()) {
      const db::Layer* l = d.layers().get(layer);
      it = locked.emplace(layer, l && (l->flags & 4) != 0).first;
    }
    if (it->second) out.push_back(id);
  }
  return out;
}

}  // namespace

void Selector::take(SelectionSet& set, const std::vector<db::ObjectId>& all, bool removing) {
  const bool first = set.empty();
  std::string message = "\n找到 " + count(all.size());
  // What lies on a locked layer is counted as found, said apart, and not taken (nor
  // taken out: it cannot be in the set).
  std::vector<db::ObjectId> found = all;
  const std::vector<db::ObjectId> locked = onLockedLayers(index_.database(), all);
  if (!locked.empty()) {
    SelectionSet lockedSet;
    for (db::ObjectId id : locked) lockedSet.add(id);
    std::erase_if(found, [&](db::ObjectId id) { return lockedSet.contains(id); });
  }
  if (removing) {
    const std::size_t removed = set.remove(found);
    message += "，删除 " + count(removed) + "，总计 " + count(set.size());
  } else {
    std::size_t repeated = 0;
    for (db::ObjectId id : found)
      if (!set.add(id)) ++repeated;
    if (repeated) message += " (" + count(repeated) + "重复)";
    if (!first || repeated) message += "，总计 " + count(set.size());
  }
  if (!locked.empty()) message += "\n" + count(locked.size()) + "在锁定的图层上。";
  prompts_.console().print(message);
}

std::optional<std::vector<db::ObjectId>> Selector::window(prompt::Point3 first, int mode) {
  prompt::Point3 second;
  switch (prompts_.getCorner(selectionText::kOtherCorner, first, second)) {
    case prompt::Status::Normal: break;
    case prompt::Status::Cancel: return std::nullopt;
    default: return std::vector<db::ObjectId>{};
  }
  // A window opened by a pick on nothing: dragged to the right it is W, to the left C.
  if (mode == kPick) mode = second.x >= first.x ? kWindow : kCrossing;
  const Box2 rect = Box2::of({first.x, first.y}, {second.x, second.y});
  return mode == kWindow ? index_.inside(rect) : index_.crossing(rect);
}

std::optional<SelectionSet> Selector::select(double pickDistance) {
  if (!current_.empty()) {
    // Chosen before the command: what is still there and not on a locked layer, without asking.
    std::vector<db::ObjectId> kept;
    for (db::ObjectId id : current_.ids())
      if (index_.selectable(id)) kept.push_back(id);
    SelectionSet locked;
    for (db::ObjectId id : onLockedLayers(index_.database(), kept)) locked.add(id);
    SelectionSet set;
    for (db::ObjectId id : kept)
      if (!locked.contains(id)) set.add(id);
    clearCurrent();
    if (!set.empty()) {
      previous_ = set;
      return set;
    }
  }
  SelectionSet set;
  bool removing = false;
  struct Active {
    const SelectionSet*& slot;
    ~Active() { slot = nullptr; }
  } active{active_};
  active_ = &set;
  for (;;) {
    prompts_.initGet(0, selectionText::kKeywords);
    prompts_.labelKeywords({std::begin(selectionText::kKeywordLabels), std::end(selectionText::kKeywordLabels)});
    prompt::Point3 p;
    const prompt::Status st =
        prompts_.getSelectionPoint(removing ? selectionText::kRemove : selectionText::kSelect, p);
    if (st == prompt::Status::Cancel) return std::nullopt;
    if (st == prompt::Status::None) break;
    std::vector<db::ObjectId> found;
    if (st == prompt::Status::Normal) {
      const db::ObjectId hit = index_.pick({p.x, p.y}, pickDistance);
      if (hit.isNull()) {
        auto boxed = window(p, kPick);
        if (!boxed) return std::nullopt;
        found = std::move(*boxed);
      } else {
        found.push_back(hit);
      }
      take(set, found, removing);
      continue;
    }
    const std::string keyword = prompts_.lastKeyword().value_or("");
    if (keyword == "Remove") {
      removing = true;
      continue;
    }
    if (keyword == "Add") {
      removing = false;
      continue;
    }
    if (keyword == "Window" || keyword == "Crossing") {
      prompt::Point3 first;
      const prompt::Status corner = prompts_.getSelectionPoint(selectionText::kFirstCorner, first);
      if (corner == prompt::Status::Cancel) return std::nullopt;
      if (corner != prompt::Status::Normal) continue;
      auto boxed = window(first, keyword == "Window" ? kWindow : kCrossing);
      if (!boxed) return std::nullopt;
      found = std::move(*boxed);
    } else if (keyword == "ALL") {
      found = index_.all();
    } else if (keyword == "Last") {
      if (db::ObjectId last = index_.newest(); !last.isNull()) found.push_back(last);
    } else if (keyword == "Previous") {
      if (previous_.empty()) {
        prompts_.console().print(selectionText::kNoPrevious);
        continue;
      }
      for (db::ObjectId id : previous_.ids())
        if (index_.selectable(id)) found.push_back(id);
    }
    take(set, found, removing);
  }
  previous_ = set;
  return set;
}

}  // namespace orv::core
