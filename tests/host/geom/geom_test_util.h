// Tags for geometry tests, written as the code/value pairs a file holds.
#pragma once

#include <initializer_list>
#include <string>
#include <utility>

#include "orv/db/raw_tags.h"

namespace orv::geom::test {

inline db::RawTags tagsOf(std::initializer_list<std::pair<int, std::string>> pairs) {
  db::RawTags t;
  for (const auto& [code, value] : pairs) t.add(code, value);
  return t;
}

}  // namespace orv::geom::test
