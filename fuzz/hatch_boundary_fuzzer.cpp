// Fuzz target: a HATCH's tags (as "code\nvalue\n" lines), decoded and built into the loops it fills.
//
// Whatever the tags: no crash; each loop has at least three points, all finite; the hatch
// style's choice holds (style 2 keeps only outer loops, style 1 no loop deeper than one);
// the points stay within the budget given, beyond the paths' own vertices.
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "orv/geom/hatch.h"
#include "orv/geom/kept.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  orv::db::RawTags tags;
  while (!text.empty()) {
    const std::size_t a = text.find('\n');
    if (a == std::string_view::npos) break;
    const std::size_t b = text.find('\n', a + 1);
    const std::string_view code = text.substr(0, a);
    const std::string_view value = text.substr(a + 1, b == std::string_view::npos ? b : b - a - 1);
    std::int64_t n = 0;
    if (orv::geom::parseInteger(code, n) && n >= 0 && n < 1100) tags.add(static_cast<int>(n), value);
    if (b == std::string_view::npos) break;
    text.remove_prefix(b + 1);
  }
  const auto hatch = orv::geom::decodeHatch(tags);
  if (!hatch) return 0;
  constexpr std::size_t kBudget = 5000;
  std::size_t vertices = 0;
  for (const auto& p : hatch->paths) vertices += p.vertices.size() + 2 * p.edges.size();
  std::size_t points = 0;
  for (double tolerance : {1e-3, 1.0}) {
    const auto loops = orv::geom::hatchBoundary(*hatch, tolerance, kBudget);
    ORV_FUZZ_CHECK(loops.size() <= hatch->paths.size(), "more loops than paths");
    for (const auto& loop : loops) {
      ORV_FUZZ_CHECK(loop.points.size() >= 3, "a loop of fewer than three points");
      for (orv::db::Point2 p : loop.points)
        ORV_FUZZ_CHECK(std::isfinite(p.x) && std::isfinite(p.y), "a point not finite");
      if (hatch->style == 2) ORV_FUZZ_CHECK(loop.depth == 0, "an island kept by style 2");
      if (hatch->style == 1) ORV_FUZZ_CHECK(loop.depth <= 1, "an island's island kept by style 1");
      points += loop.points.size();
    }
    ORV_FUZZ_CHECK(points <= 2 * (kBudget + vertices) + 64, "far beyond the point budget");
    points = 0;
  }
  return 0;
}
