// The record of changes that lets the database take back the whole effect of a command,
// and bring it back again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "orv/db/entity.h"
#include "orv/db/tables.h"

namespace orv::db {

// Changes are recorded only while a group is open, so a drawing built without groups
// (a file being read, say) pays nothing. An append or erase costs one small record; a
// modification keeps a copy of the entity (or table entry) as it was.
//
// A group that is taken back moves to the redo list with its records; putting it back
// moves it to the undo list again. A new group clears the redo list.
class UndoJournal {
 public:
  enum class Kind : std::uint8_t {
    append,       // index: the new entity
    erase,        // index: the erased entity
    modify,       // index: the entity; aux: slot of its other value in `entities`
    addLayer,     // a layer appended at the end of the table; aux: its slot in `layers` plus one, once undone
    addLinetype,  // a linetype appended at the end of the table; aux: as for addLayer, in `linetypes`
    addBlock,     // index: the new block definition
    removeBlock,  // index: the block definition taken out
    modifyLayer,  // index: the layer; aux: slot of its other value in `layers`
    modifyHeader, // aux: slot of the other header value in `headers`
    modifyExtras, // index: the entity; aux: slot of its other kept tags in `extras`
    renameLayer,  // index: the layer; aux: slot of the renaming in `layerRenames`
    removeLayer,  // index: the layer's place in the table; aux: slot of the layer in `layers`
  };
  struct Record {
    Kind kind;
    std::uint32_t index = 0;
    std::uint32_t aux = 0;
  };
  // The header values a group can change (those an undoable command sets).
  struct HeaderState {
    std::string currentLayer;
  };
  // A layer's renaming: its names before and after, and the entities and block
  // definitions that were on it with the spelling each had (only those follow it back
  // and forth).
  struct LayerRename {
    std::string before, after;
    NameId afterId;
    std::vector<std::pair<std::uint32_t, NameId>> entities;
    std::vector<std::pair<std::uint32_t, std::string>> blocks;
  };
  struct Group {
    std::vector<Record> records;  // oldest first
    std::vector<Entity> entities;
    std::vector<Layer> layers;
    std::vector<Linetype> linetypes;
    std::vector<HeaderState> headers;
    std::vector<RawTags> extras;
    std::vector<LayerRename> layerRenames;
  };

  bool recording() const { return depth_ > 0; }
  void begin();
  // Closes the group; a group with no records is dropped.
  void end();
  void add(Kind kind, std::uint32_t index);
  void addModify(std::uint32_t index, Entity before);
  void addModifyLayer(std::uint32_t index, Layer before);
  void addModifyHeader(HeaderState before);
  void addModifyExtras(std::uint32_t index, RawTags before);
  void addRenameLayer(std::uint32_t index, LayerRename renaming);
  void addRemoveLayer(std::uint32_t index, Layer removed);

  std::size_t groupCount() const { return undo_.size(); }
  std::size_t redoCount() const { return redo_.size(); }
  // The newest closed group, for undo; null when there is none (or one is still open).
  Group* lastGroup();
  // The group undo took back last, for redo; null when there is none.
  Group* lastUndone();
  // After undo of lastGroup(): it becomes the first group to redo. After redo of
  // lastUndone(): it becomes the newest group again.
  void moveLastToRedo();
  void moveLastUndoneBack();
  void clear();

 private:
  Group& open() { return undo_.back(); }
  std::vector<Group> undo_;
  std::vector<Group> redo_;
  int depth_ = 0;
};

}  // namespace orv::db
