// Choosing entities for a command: the selection set commands take, and the
// "选择对象:" dialogue that fills it (picks, windows, ALL, the last and the previous
// selection, removing and adding), the same at the terminal, in scripts and in the
// window, whose clicks and drags arrive as the points and corners it asks for.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "orv/core/spatial_index.h"
#include "orv/prompt/engine.h"

namespace orv::core {

// Entities in the order they were chosen, each once.
class SelectionSet {
 public:
  // True when the entity was not yet in the set.
  bool add(db::ObjectId id);
  // Takes out those of `ids` that are in the set; how many were.
  std::size_t remove(const std::vector<db::ObjectId>& ids);
  bool contains(db::ObjectId id) const {
    return id.index < member_.size() && member_[id.index] != 0;
  }
  const std::vector<db::ObjectId>& ids() const { return ids_; }
  std::size_t size() const { return ids_.size(); }
  bool empty() const { return ids_.empty(); }
  void clear();

 private:
  std::vector<db::ObjectId> ids_;
  std::vector<std::uint8_t> member_;  // by entity index
};

// What the dialogue says, as a Chinese CAD program words it.
namespace selectionText {
inline constexpr std::string_view kSelect = "\n选择对象:";
inline constexpr std::string_view kRemove = "\n删除对象: ";
inline constexpr std::string_view kFirstCorner = "\n指定第一个角点: ";
inline constexpr std::string_view kOtherCorner = "\n指定对角点: ";
inline constexpr std::string_view kNoPrevious = "\n没有上一个选择集。";
// The keywords armed at "选择对象:" (W, C, ALL, L, P, R, A as typed).
inline constexpr std::string_view kKeywords = "Window Crossing ALL Last Previous Remove Add";
// How a window names them.
inline constexpr std::string_view kKeywordLabels[] = {"窗口(W)", "窗交(C)", "全部(ALL)", "上一个(L)",
                                                      "上次(P)", "删除(R)", "添加(A)"};
}  // namespace selectionText

class Selector {
 public:
  Selector(prompt::PromptEngine& prompts, SpatialIndex& index);

  // Asks "选择对象:" until Enter. A point picks the entity nearest to it within
  // pickDistance; a point that finds nothing is the first corner of a window, the
  // second to its right selecting as W (wholly inside), to its left as C (inside or
  // crossing). nullopt on a cancel. The set chosen becomes the previous selection.
  std::optional<SelectionSet> select(double pickDistance);

  // The set being chosen while select() asks (for a presentation that highlights it).
  const SelectionSet* active() const { return active_; }
  // What "P" gives; entities erased since are left out when it is used.
  const SelectionSet& previous() const { return previous_; }
  void setPrevious(SelectionSet set) { previous_ = std::move(set); }
  // The drawing was replaced: nothing of the old one can be chosen again.
  void forget() {
    previous_.clear();
    current_.clear();
    ++revision_;
  }

  // ---- the selection made before a command (clicks and boxes at the command prompt)
  // The next select() takes it, without asking, and it becomes the previous selection.
  const SelectionSet& current() const { return current_; }
  void setCurrent(SelectionSet set) {
    current_ = std::move(set);
    ++revision_;
  }
  void clearCurrent() { setCurrent({}); }
  // Changes with every change of the current selection (for a presentation's cache).
  std::uint64_t revision() const { return revision_; }

 private:
  // Adds (or removes) what a step found and says how many.
  void take(SelectionSet& set, const std::vector<db::ObjectId>& found, bool removing);
  // The second corner of a window from `first`; nullopt on cancel, an empty list when
  // no corner was given.
  std::optional<std::vector<db::ObjectId>> window(prompt::Point3 first, int mode);

  prompt::PromptEngine& prompts_;
  SpatialIndex& index_;
  SelectionSet previous_;
  SelectionSet current_;
  std::uint64_t revision_ = 0;
  const SelectionSet* active_ = nullptr;
};

}  // namespace orv::core
