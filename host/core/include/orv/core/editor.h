// The editing commands' work on a selection: erasing, transforming in place and
// copying, group by group (a block reference with its attributes, an old-style
// polyline with its vertices, a dimension with its picture block).
#pragma once

#include <string>
#include <vector>

#include "orv/core/selection.h"
#include "orv/core/transform.h"

namespace orv::core {

struct EditReport {
  std::size_t done = 0;     // groups erased, changed or copied
  std::size_t refused = 0;  // groups left as they were
  // Why, one line per reason ("图案填充：其边界数据无法识别"), each once.
  std::vector<std::string> reasons;
  // The message for the command line, "\n..." per reason; empty when nothing was refused.
  std::string refusalMessage(std::string_view verb) const;
};

class Editor {
 public:
  Editor(db::Database& database, SpatialIndex& index) : db_(database), index_(index) {}

  EditReport erase(const SelectionSet& set);
  // Moves, rotates, scales or mirrors the selection in place.
  EditReport transform(const SelectionSet& set, const Affine2& map);
  // Adds a copy of each group under the map; the copies' owners go to `made`.
  EditReport copy(const SelectionSet& set, const Affine2& map, std::vector<db::ObjectId>* made = nullptr);
  // The selection as transform() would leave it, not put in the drawing (what follows
  // the cursor while a command waits for its point): each group's members, at most
  // `limit` entities (a drag of more would not follow the mouse); groups that cannot
  // be changed are left out.
  std::vector<db::Entity> preview(const SelectionSet& set, const Affine2& map, std::size_t limit = 10'000);

 private:
  struct Planned {
    db::ObjectId id;
    db::Entity entity;
  };
  // The group transformed, every member and (for a dimension) its picture block's
  // contents; false with a reason when some part cannot be.
  bool plan(db::ObjectId owner, const Affine2& map, std::vector<Planned>& members,
            std::vector<Planned>& blockContents, std::string& why);
  void refuse(EditReport& report, db::ObjectId owner, const std::string& why);
  // A new picture block for a copied dimension, holding the planned contents.
  std::optional<std::string> copyBlock(db::BlockId from, const std::vector<Planned>& contents);

  db::Database& db_;
  SpatialIndex& index_;
};

}  // namespace orv::core
