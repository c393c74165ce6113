// The record of changes that lets the database take back the whole effect of a command.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "orv/db/entity.h"

namespace orv::db {

// Changes are recorded only while a group is open, so a drawing built without groups
// (a file being read, say) pays nothing. An append or erase costs one small record; a
// modification keeps a copy of the entity as it was.
class UndoJournal {
 public:
  enum class Kind : std::uint8_t {
    append,       // index: the new entity
    erase,        // index: the erased entity
    modify,       // index: the entity; aux: slot of its former value
    addLayer,     // a layer appended at the end of the table
    addLinetype,  // a linetype appended at the end of the table
    addBlock,     // index: the new block definition
  };
  struct Record {
    Kind kind;
    std::uint32_t index = 0;
    std::uint32_t aux = 0;
  };

  bool recording() const { return depth_ > 0; }
  void begin();
  // Closes the group; a group with no records is dropped.
  void end();
  void add(Kind kind, std::uint32_t index);
  void addModify(std::uint32_t index, Entity before);

  std::size_t groupCount() const { return groups_.size(); }
  // The records of the last group, newest first, and the saved entities; then the group
  // is dropped by dropLastGroup().
  std::vector<Record> lastGroup() const;
  Entity& saved(std::uint32_t slot) { return saved_[slot]; }
  void dropLastGroup();
  void clear();

 private:
  struct Group {
    std::size_t firstRecord;
    std::size_t firstSaved;
  };
  std::vector<Record> records_;
  std::vector<Entity> saved_;
  std::vector<Group> groups_;
  int depth_ = 0;
};

}  // namespace orv::db
