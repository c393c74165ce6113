// Hatch patterns: the .pat file format ("*NAME, description" then one line per family of
// parallel lines) read into patterns, and a pattern's lines at a scale and angle as a
// HATCH entity stores them.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "orv/core/geometry.h"

namespace orv::core {

// One family of parallel lines as a .pat file gives it: lines at `angle` degrees through
// `base`, the next one `offset` away in the line's own axes (x along it, y across it),
// drawn with `dashes` (> 0 dash, < 0 gap, 0 dot; none: continuous).
struct PatternLineDef {
  double angle = 0;
  Vec2 base, offset;
  std::vector<double> dashes;
};

struct HatchPattern {
  std::string name;  // as the file spells it
  std::string description;
  std::vector<PatternLineDef> lines;
  // SOLID: filled, no lines.
  bool solid() const;
};

// What a pattern file holds: the patterns read whole, and a message for each line that
// could not be read ("第 12 行：…"); a pattern with such a line is left out.
struct PatternFile {
  std::vector<HatchPattern> patterns;
  std::vector<std::string> problems;
  // The pattern of that name in any case; null when the file lacks it.
  const HatchPattern* find(std::string_view name) const;
};
PatternFile readPatterns(std::string_view text);

// One pattern line as a HATCH holds it: its angle (53, degrees), base point (43, 44) and
// offset to the next line (45, 46) in drawing axes, its dashes (79 count, 49 each).
struct HatchPatternLine {
  double angle = 0;
  Vec2 base, offset;
  std::vector<double> dashes;
};

// The pattern's lines turned by `angleDegrees` about the origin and scaled by `scale`
// (> 0); none for SOLID.
std::vector<HatchPatternLine> patternLines(const HatchPattern& pattern, double scale, double angleDegrees);

}  // namespace orv::core
