// Micro-benchmark of finding a hatch's boundary around a picked point in the text-and-hatch
// drawing (orv_bench_annotations 100000 10000: 100,000 texts, 10,000 hatches), its rooms
// given walls (each room's inner outline as four lines, a square column as a closed
// polyline, and the grid's wall lines running the whole drawing, crossing each other):
// the area is found through the spatial index, the column left out as an island. Beside
// the grid an open room (three walls and a beam over the gap) gives a search that fails
// with every ray meeting a curve, and a point outside the drawing one refused at once.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "orv/core/document.h"
#include "orv/core/hatch_boundary.h"
#include "orv/core/spatial_index.h"
#include "orv/dxf/reader.h"

namespace {

using namespace orv;

// The generator's room grid.
constexpr long kRooms = 10'000;
constexpr double kRoomWidth = 6000.0, kRoomDepth = 4500.0, kWall = 240.0;
const long kColumns = std::lround(std::ceil(std::sqrt(static_cast<double>(kRooms))));
constexpr double kLeakyRoomGap = 20000.0;

core::Document& drawing() {
  static std::unique_ptr<core::Document> doc = [] {
    std::error_code ec;
    const auto dir = std::filesystem::read_symlink("/proc/self/exe", ec).parent_path();
    const auto path = std::filesystem::temp_directory_path() / "orv_hatch_boundary_bench.dxf";
    const std::string command = (dir / "orv_bench_annotations").string() + " 100000 10000 " + path.string() +
                                " > /dev/null";
    if (std::system(command.c_str()) != 0) {
      std::fprintf(stderr, "cannot make the drawing: %s\n", command.c_str());
      std::exit(2);
    }
    auto read = dxf::readDxfFile(path);
    std::filesystem::remove(path, ec);
    if (!read.ok()) {
      std::fprintf(stderr, "cannot read the drawing: %s\n", read.error.c_str());
      std::exit(2);
    }
    db::Database d = std::move(*read.drawing);
    const long rows = (kRooms + kColumns - 1) / kColumns;
    const double width = kColumns * kRoomWidth, depth = rows * kRoomDepth;
    for (long c = 0; c <= kColumns; ++c)
      d.append(db::Entity(db::Line{{c * kRoomWidth, 0, 0}, {c * kRoomWidth, depth, 0}}));
    for (long r = 0; r <= rows; ++r)
      d.append(db::Entity(db::Line{{0, r * kRoomDepth, 0}, {width, r * kRoomDepth, 0}}));
    for (long i = 0; i < kRooms; ++i) {
      const double x = (i % kColumns) * kRoomWidth + kWall, y = (i / kColumns) * kRoomDepth + kWall;
      const double x1 = x + kRoomWidth - 2 * kWall, y1 = y + kRoomDepth - 2 * kWall;
      d.append(db::Entity(db::Line{{x, y, 0}, {x1, y, 0}}));
      d.append(db::Entity(db::Line{{x1, y, 0}, {x1, y1, 0}}));
      d.append(db::Entity(db::Line{{x1, y1, 0}, {x, y1, 0}}));
      d.append(db::Entity(db::Line{{x, y1, 0}, {x, y, 0}}));
      const double cx = (i % kColumns + 0.5) * kRoomWidth, cy = (i / kColumns + 0.5) * kRoomDepth;
      db::Polyline column;
      for (auto [dx, dy] : {std::pair{-300.0, -300.0}, {300.0, -300.0}, {300.0, 300.0}, {-300.0, 300.0}})
        column.addVertex({cx + dx, cy + dy});
      column.setClosed(true);
      d.append(db::Entity(std::move(column)));
    }
    // Beside the grid, a room left open: three walls and, above the gap, a beam that
    // touches none of them. A point inside meets a curve every way and has no area.
    const double x0 = width + kLeakyRoomGap;
    d.append(db::Entity(db::Line{{x0, 0, 0}, {x0 + 3000, 0, 0}}));
    d.append(db::Entity(db::Line{{x0, 0, 0}, {x0, 3000, 0}}));
    d.append(db::Entity(db::Line{{x0 + 3000, 0, 0}, {x0 + 3000, 3000, 0}}));
    d.append(db::Entity(db::Line{{x0 - 500, 3500, 0}, {x0 + 3500, 3500, 0}}));
    return std::make_unique<core::Document>(std::move(d));
  }();
  return *doc;
}

void BM_HatchBoundaryInARoom(benchmark::State& state) {
  core::Document& doc = drawing();
  static core::SpatialIndex index(doc);
  index.all();  // built before the timing
  std::mt19937 random(11);
  std::uniform_int_distribution<long> room(0, kRooms - 1);
  std::size_t found = 0, islands = 0;
  for (auto _ : state) {
    const long i = room(random);
    const core::Vec2 p{(i % kColumns) * kRoomWidth + 1000, (i / kColumns) * kRoomDepth + 700};
    const auto b = core::findHatchBoundary(index, p);
    if (b) {
      ++found;
      islands += b->islands.size();
    }
  }
  state.counters["found"] = static_cast<double>(found) / static_cast<double>(state.iterations());
  state.counters["islands"] = static_cast<double>(islands) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_HatchBoundaryInARoom)->Unit(benchmark::kMillisecond);

// A failed search: a point in the open room beside the grid (every ray meets a wall, no
// area closes). The search stops once its square holds every curve it meets and a ray
// leaves the square unmet, instead of growing over the whole drawing.
void BM_HatchBoundaryInAnOpenRoom(benchmark::State& state) {
  core::Document& doc = drawing();
  static core::SpatialIndex index(doc);
  index.all();
  const core::Vec2 p{kColumns * kRoomWidth + kLeakyRoomGap + 1500, 1500};
  std::size_t found = 0;
  for (auto _ : state)
    if (core::findHatchBoundary(index, p)) ++found;
  state.counters["found"] = static_cast<double>(found) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_HatchBoundaryInAnOpenRoom)->Unit(benchmark::kMillisecond);

// Outside everything: a point beyond the drawing's extents is refused at once.
void BM_HatchBoundaryOutsideEverything(benchmark::State& state) {
  core::Document& doc = drawing();
  static core::SpatialIndex index(doc);
  index.all();
  const core::Vec2 p{-50000, -50000};
  std::size_t found = 0;
  for (auto _ : state)
    if (core::findHatchBoundary(index, p)) ++found;
  state.counters["found"] = static_cast<double>(found) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_HatchBoundaryOutsideEverything)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
