// Helpers for DXF tests: files assembled from tags in memory, and the example files.
#pragma once

#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "orv/dxf/reader.h"
#include "orv/dxf/tags.h"

namespace orv::dxf::testing {

using Pairs = std::vector<std::pair<int, std::string>>;

// "code\nvalue\n" for each pair.
inline std::string joined(const Pairs& list) {
  std::string out;
  for (const auto& [code, value] : list) out += std::to_string(code) + "\n" + value + "\n";
  return out;
}

// Every tag of a DXF text, in order.
inline Pairs tagsOfFile(const std::string& text) {
  Pairs out;
  Tokenizer t(text);
  for (Tag tag; t.next(tag) == Tokenizer::Step::tag;) out.emplace_back(tag.code, std::string(tag.value));
  return out;
}

// The tags of the entity of a handle in a written file, from its type on; without its
// owner (330) when `owner` is false (the writer names the block's record).
inline Pairs entityTags(const std::string& file, const std::string& handle, bool owner = true) {
  const Pairs all = tagsOfFile(file);
  for (std::size_t i = 0; i + 1 < all.size(); ++i) {
    if (all[i].first != 0 || all[i + 1] != std::pair<int, std::string>{5, handle}) continue;
    Pairs out{all[i]};
    for (std::size_t k = i + 1; k < all.size() && all[k].first != 0; ++k)
      if (owner || all[k].first != 330) out.push_back(all[k]);
    return out;
  }
  return {};
}

// The entity of a handle in a written file with the VERTEX and SEQEND entities that
// follow it, each without its owner (the writer names the block's record): the first 330
// outside an application's group.
inline Pairs entityRun(const std::string& file, const std::string& handle) {
  const Pairs all = tagsOfFile(file);
  Pairs out;
  for (std::size_t i = 0; i + 1 < all.size(); ++i) {
    if (all[i].first != 0 || all[i + 1] != std::pair<int, std::string>{5, handle}) continue;
    bool inGroup = false, ownerSeen = false;
    for (std::size_t k = i; k < all.size(); ++k) {
      if (all[k].first == 0) {
        if (k > i && all[k].second != "VERTEX" && all[k].second != "SEQEND") break;
        ownerSeen = false;
      }
      if (all[k].first == 102) inGroup = all[k].second.starts_with("{");
      if (all[k].first == 330 && !inGroup && !ownerSeen) {
        ownerSeen = true;
        continue;
      }
      out.push_back(all[k]);
    }
    break;
  }
  return out;
}

inline Pairs operator+(Pairs a, const Pairs& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// "code\nvalue\n" for each pair.
inline std::string tags(std::initializer_list<std::pair<int, std::string>> list) {
  std::string out;
  for (const auto& [code, value] : list) out += std::to_string(code) + "\n" + value + "\n";
  return out;
}

inline std::string header(const std::string& version = "AC1015",
                          const std::string& codePage = "ANSI_936") {
  return tags({{0, "SECTION"}, {2, "HEADER"}, {9, "$ACADVER"}, {1, version},
               {9, "$DWGCODEPAGE"}, {3, codePage}, {0, "ENDSEC"}});
}

// A file with the given ENTITIES content (and optional BLOCKS content).
inline std::string fileWith(const std::string& entities, const std::string& blocks = "",
                            const std::string& head = header()) {
  return head + tags({{0, "SECTION"}, {2, "BLOCKS"}}) + blocks + tags({{0, "ENDSEC"}}) +
         tags({{0, "SECTION"}, {2, "ENTITIES"}}) + entities +
         tags({{0, "ENDSEC"}, {0, "EOF"}});
}

inline std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

inline std::string example(const std::string& name) {
  return readFile(std::string(ORV_TEST_DATA_DIR) + "/" + name);
}

inline std::string describe(const ReadResult& r) {
  std::string s = r.error;
  for (const Finding& f : r.findings) s += "\n  line " + std::to_string(f.line) + ": " + f.message;
  return s;
}

// Whether some finding of a reading says this.
inline bool hasFindingOf(const ReadResult& r, const std::string& part) {
  for (const Finding& f : r.findings)
    if (f.message.find(part) != std::string::npos) return true;
  return false;
}

// The entities of a block that are not erased, in order.
inline std::vector<const db::Entity*> entitiesOf(const db::Database& d, db::BlockId b) {
  std::vector<const db::Entity*> out;
  d.forEachEntity(b, [&](db::ObjectId, const db::Entity& e) { out.push_back(&e); });
  return out;
}

}  // namespace orv::dxf::testing
