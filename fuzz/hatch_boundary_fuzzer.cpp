// Fuzz target: a HATCH entity's tags after its type (as "code\nvalue\n" lines), read as
// the HATCH of a DXF file and built into the loops it fills.
//
// Whatever the tags: no crash; each loop has at least three points, all finite; the hatch
// style's choice holds (style 2 keeps only outer loops, style 1 no loop deeper than one);
// the points stay within the budget given, beyond the paths' own vertices.
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "orv/dxf/reader.h"
#include "orv/geom/hatch.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string text = "0\nSECTION\n2\nENTITIES\n0\nHATCH\n";
  text.append(reinterpret_cast<const char*>(data), size);
  if (!text.empty() && text.back() != '\n') text += '\n';
  text += "0\nENDSEC\n0\nEOF\n";
  const orv::dxf::ReadResult read = orv::dxf::readDxf(text);
  if (!read.ok()) return 0;
  const orv::db::Database& d = *read.drawing;
  for (std::uint32_t i = 0; i < d.entitySlotCount(); ++i) {
    const auto* hatch = d.entity(orv::db::ObjectId{i})->as<orv::db::Hatch>();
    if (!hatch) continue;
    ORV_FUZZ_CHECK(hatch->valid(), "a hatch read with a value it cannot hold");
    constexpr std::size_t kBudget = 5000;
    std::size_t vertices = 0;
    for (const auto& p : hatch->paths) vertices += p.vertices.size() + 2 * p.edges.size();
    for (double tolerance : {1e-3, 1.0}) {
      std::size_t points = 0;
      const auto loops = orv::geom::hatchBoundary(*hatch, tolerance, kBudget);
      ORV_FUZZ_CHECK(loops.size() <= hatch->paths.size(), "more loops than paths");
      for (const auto& loop : loops) {
        ORV_FUZZ_CHECK(loop.points.size() >= 3, "a loop of fewer than three points");
        for (orv::db::Point2 p : loop.points)
          ORV_FUZZ_CHECK(std::isfinite(p.x) && std::isfinite(p.y), "a point not finite");
        if (hatch->style == orv::db::Hatch::Style::ignore) ORV_FUZZ_CHECK(loop.depth == 0, "an island kept by style 2");
        if (hatch->style == orv::db::Hatch::Style::outermost)
          ORV_FUZZ_CHECK(loop.depth <= 1, "an island's island kept by style 1");
        points += loop.points.size();
      }
      ORV_FUZZ_CHECK(points <= 2 * (kBudget + vertices) + 64, "far beyond the point budget");
    }
  }
  return 0;
}
