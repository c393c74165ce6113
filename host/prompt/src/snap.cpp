// The names of the object snaps.
#include "orv/prompt/snap.h"

#include <array>

#include "orv/prompt/reply_parser.h"

namespace orv::prompt {

namespace {

struct Names {
  std::string_view shortName;
  std::string_view word;
  std::string_view label;
};

constexpr std::array<Names, kSnapKindCount> kNames = {{
    {"END", "ENDPOINT", "端点"},
    {"MID", "MIDPOINT", "中点"},
    {"CEN", "CENTER", "圆心"},
    {"INT", "INTERSECTION", "交点"},
    {"PER", "PERPENDICULAR", "垂足"},
    {"NEA", "NEAREST", "最近点"},
    {"QUA", "QUADRANT", "象限点"},
    {"INS", "INSERTION", "插入点"},
}};

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

std::string_view snapName(SnapKind kind) { return kNames[static_cast<unsigned>(kind)].shortName; }

std::string_view snapLabel(SnapKind kind) { return kNames[static_cast<unsigned>(kind)].label; }

std::optional<SnapKind> snapNamed(std::string_view reply) {
  reply = trimBlanks(reply);
  if (reply.size() < 3) return std::nullopt;
  for (unsigned k = 0; k < kNames.size(); ++k) {
    const std::string_view word = kNames[k].word;
    if (reply.size() > word.size()) continue;
    bool same = true;
    for (std::size_t i = 0; i < reply.size() && same; ++i) same = upper(reply[i]) == word[i];
    if (same) return static_cast<SnapKind>(k);
  }
  return std::nullopt;
}

}  // namespace orv::prompt
