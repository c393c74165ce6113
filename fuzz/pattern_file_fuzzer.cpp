// Fuzz target: a hatch pattern file's bytes, read, and every pattern read placed at a
// scale and angle.
//
// Whatever the bytes, the reader gives patterns with names (each once, in any case) and
// lines of finite numbers with a spacing, or says why a line was left out; placing the
// lines gives finite values, as many lines as the pattern holds (none for SOLID).
#include <cmath>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "orv/core/hatch_patterns.h"
#include "orv/db/tables.h"

namespace {

bool finite(orv::core::Vec2 v) { return std::isfinite(v.x) && std::isfinite(v.y); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orv::core;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const PatternFile file = readPatterns(text);
  std::set<std::string> names;
  for (const HatchPattern& p : file.patterns) {
    ORV_FUZZ_CHECK(!p.name.empty(), "a pattern without a name");
    ORV_FUZZ_CHECK(names.insert(orv::db::foldName(p.name)).second, "a pattern read twice: " + p.name);
    ORV_FUZZ_CHECK(!p.lines.empty() || p.solid(), "a pattern without lines: " + p.name);
    for (const PatternLineDef& l : p.lines) {
      ORV_FUZZ_CHECK(std::isfinite(l.angle) && finite(l.base) && finite(l.offset), p.name);
      ORV_FUZZ_CHECK(l.offset.y != 0, "a line without spacing in " + p.name);
      for (double d : l.dashes) ORV_FUZZ_CHECK(std::isfinite(d), p.name);
    }
    ORV_FUZZ_CHECK(file.find(p.name) == &p, "a pattern not found by its name: " + p.name);
    for (double angle : {0.0, 37.5, -90.0}) {
      const auto lines = patternLines(p, 2.5, angle);
      ORV_FUZZ_CHECK(lines.size() == (p.solid() ? 0 : p.lines.size()), p.name);
      for (const HatchPatternLine& l : lines) {
        ORV_FUZZ_CHECK(std::isfinite(l.angle) && l.angle >= 0 && l.angle < 360, p.name);
        ORV_FUZZ_CHECK(finite(l.base) && finite(l.offset), p.name);
      }
    }
  }
  for (const std::string& problem : file.problems) ORV_FUZZ_CHECK(!problem.empty(), "an empty message");
  return 0;
}
