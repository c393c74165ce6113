// Symbol tables of a drawing (layers, linetypes, text styles, the tables kept as read) and block definitions.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "orv/db/raw_tags.h"
#include "orv/db/types.h"

namespace orv::db {

// What every table entry has. Names are UTF-8 and compared without regard to the case
// of ASCII letters, as CAD programs compare them.
struct SymbolRecord {
  std::string name;
  Handle handle = 0;
  std::int16_t flags = 0;  // group 70
  RawTags extras;          // tags of the entry that the model does not interpret
  bool operator==(const SymbolRecord&) const = default;
};

struct Layer : SymbolRecord {
  std::int16_t color = 7;  // negative: the layer is off
  std::string linetype = "Continuous";
  std::int16_t lineweight = -3;  // default
  bool operator==(const Layer&) const = default;
};

// One element of a linetype pattern: a dash (> 0), a gap (< 0) or a dot (0). `extras` keeps
// the shape or text of a complex element as read.
struct DashElement {
  double length = 0.0;
  RawTags extras;
  bool operator==(const DashElement&) const = default;
};

struct Linetype : SymbolRecord {
  std::string description;
  std::vector<DashElement> elements;
  double totalLength = 0.0;  // sum of the absolute element lengths
  bool operator==(const Linetype&) const = default;
};

struct TextStyle : SymbolRecord {
  double height = 0.0;
  double widthFactor = 1.0;
  double obliqueAngle = 0.0;
  std::int16_t generationFlags = 0;
  double lastHeight = 2.5;
  std::string font = "txt";
  std::string bigFont;
  bool operator==(const TextStyle&) const = default;
};

std::string foldName(std::string_view name);  // ASCII letters to upper case

// A table: entries in the order they were added, found by name.
template <class Record>
class SymbolTable {
 public:
  Handle handle = 0;    // the table object's own handle
  RawTags headExtras;   // tags of the table head that the model does not interpret

  std::size_t size() const { return records_.size(); }
  const Record& operator[](std::size_t i) const { return records_[i]; }
  Record& operator[](std::size_t i) { return records_[i]; }
  auto begin() const { return records_.begin(); }
  auto end() const { return records_.end(); }

  std::optional<std::size_t> find(std::string_view name) const {
    auto it = index_.find(foldName(name));
    if (it == index_.end()) return std::nullopt;
    return it->second;
  }
  const Record* get(std::string_view name) const {
    auto i = find(name);
    return i ? &records_[*i] : nullptr;
  }
  // Adds a record; nullopt if the name is taken (the table is left unchanged).
  std::optional<std::size_t> add(Record record) {
    std::string key = foldName(record.name);
    if (index_.count(key)) return std::nullopt;
    index_.emplace(std::move(key), records_.size());
    records_.push_back(std::move(record));
    return records_.size() - 1;
  }
  // Gives record i another name (or the same in other case); false (nothing changed)
  // when another record has the name.
  bool rename(std::size_t i, std::string name) {
    std::string key = foldName(name);
    if (auto it = index_.find(key); it != index_.end()) {
      if (it->second != i) return false;
      records_[i].name = std::move(name);
      return true;
    }
    index_.erase(foldName(records_[i].name));
    index_.emplace(std::move(key), i);
    records_[i].name = std::move(name);
    return true;
  }
  // Takes record i out (those after it move up one place) and returns it.
  Record removeAt(std::size_t i) {
    Record out = std::move(records_[i]);
    records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(i));
    reindex();
    return out;
  }
  // Puts a record at place i (those from i on move down one), as removeAt took it out;
  // false (nothing changed) when the name is taken or i is past the end.
  bool insertAt(std::size_t i, Record record) {
    if (i > records_.size() || index_.count(foldName(record.name))) return false;
    records_.insert(records_.begin() + static_cast<std::ptrdiff_t>(i), std::move(record));
    reindex();
    return true;
  }
  // Takes back the most recent add.
  void removeLast() {
    if (records_.empty()) return;
    index_.erase(foldName(records_.back().name));
    records_.pop_back();
  }

 private:
  void reindex() {
    index_.clear();
    for (std::size_t i = 0; i < records_.size(); ++i) index_.emplace(foldName(records_[i].name), i);
  }
  std::vector<Record> records_;
  std::unordered_map<std::string, std::size_t> index_;
};

// The tables a DXF file has whose entries the model keeps without interpreting them.
enum class KeptTable { vport, view, ucs, appid, dimstyle };
inline constexpr int kKeptTableCount = 5;

// A block definition: model space and paper space are blocks too.
struct BlockDefinition {
  std::string name;
  Point3 base;
  std::int16_t flags = 0;             // group 70 of BLOCK
  std::string layer = "0";            // layer of the BLOCK and ENDBLK entities
  std::string description;            // group 4
  std::string xrefPath;               // group 1
  std::vector<ObjectId> entities;     // in creation order, erased ones included
  std::vector<std::uint8_t> preview;  // the block record's preview icon (bitmap bytes)
  Handle recordHandle = 0;            // BLOCK_RECORD entry
  Handle beginHandle = 0;             // BLOCK entity
  Handle endHandle = 0;               // ENDBLK entity
  RawTags recordExtras;               // kept tags of the BLOCK_RECORD entry
  RawTags beginExtras;                // kept tags of the BLOCK entity
  RawTags endExtras;                  // kept tags of the ENDBLK entity
  bool removed = false;               // taken back by undo; the slot stays
};

// Name and description of the linetype patterns a new drawing loads (metric lengths).
struct StandardLinetype {
  const char* name;
  const char* description;
  std::vector<double> elements;
};
const std::vector<StandardLinetype>& metricLinetypes();

}  // namespace orv::db
