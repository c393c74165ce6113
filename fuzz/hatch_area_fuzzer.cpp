// Fuzz target: the area a hatch fills around a point among curves made from the bytes.
//
// The first four bytes place the point; then each seven bytes make a segment, an arc or
// a whole circle on a small grid (so that curves meet, cross, overlap and touch often).
// Whatever they are, the search ends, and an area found is a counter-clockwise closed
// loop around the point with clockwise closed islands that leave the point out.
#include <cmath>
#include <cstdint>
#include <vector>

#include "fuzz_check.h"
#include "orv/core/hatch_boundary.h"

namespace {

using namespace orv::core;

double coordinate(std::uint8_t b) { return static_cast<double>(b % 32) * 0.5; }

void checkChain(const BoundaryLoop& loop, const char* what) {
  ORV_FUZZ_CHECK(!loop.edges.empty(), what);
  for (std::size_t i = 0; i < loop.edges.size(); ++i) {
    const BoundaryEdge& e = loop.edges[i];
    ORV_FUZZ_CHECK(std::isfinite(e.start.x) && std::isfinite(e.start.y) && std::isfinite(e.bulge), what);
    const Vec2 next = loop.edges[(i + 1) % loop.edges.size()].start;
    ORV_FUZZ_CHECK(distance(e.end, next) < 1e-6, what);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  const Vec2 point{coordinate(data[0]) + 0.25 * (data[1] % 2), coordinate(data[2]) + 0.25 * (data[3] % 2)};
  std::vector<Piece> pieces;
  for (std::size_t i = 4; i + 7 <= size && pieces.size() < 64; i += 7) {
    const std::uint8_t* b = data + i;
    const Vec2 a{coordinate(b[1]), coordinate(b[2])}, c{coordinate(b[3]), coordinate(b[4])};
    switch (b[0] % 3) {
      case 0: pieces.push_back(Segment{a, c}); break;
      case 1: {
        const double r = 0.5 + coordinate(b[5]) / 2;
        pieces.push_back(CircularArc{a, r, (b[6] % 16) * kPi / 8, (1 + b[5] % 16) * kPi / 8});
        break;
      }
      default: pieces.push_back(CircularArc{a, 0.5 + coordinate(b[5]) / 2, 0, kTwoPi}); break;
    }
  }
  const auto found = boundaryAround(pieces, point);
  if (!found) return 0;
  checkChain(found->outer, "the outer loop");
  ORV_FUZZ_CHECK(signedArea(found->outer) > 0, "the outer loop runs clockwise");
  for (const BoundaryLoop& island : found->islands) {
    checkChain(island, "an island");
    ORV_FUZZ_CHECK(signedArea(island) < 0, "an island runs counter-clockwise");
  }
  return 0;
}
