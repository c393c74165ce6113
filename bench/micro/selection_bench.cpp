// Micro-benchmarks of what the spatial index answers on the 100k-unit plan held in
// memory: building it, a pick, object snaps (a typed END and INT, the window's markers),
// and the window's query for what a view shows.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <random>
#include <vector>

#include "orv/core/document.h"
#include "orv/core/snaps.h"
#include "orv/core/spatial_index.h"
#include "bench_plan.h"

namespace {

using namespace orv;

using bench::plan;
constexpr int kUnits = bench::kPlanUnits;
constexpr double kPitch = bench::kPlanPitch;

core::SpatialIndex& index() {
  static core::SpatialIndex idx(plan());
  static const bool built = !idx.all().empty();
  (void)built;
  return idx;
}

// Points on or near the plan's lines, in no order the caches could follow.
std::vector<core::Vec2> probes() {
  std::mt19937 random(12);
  std::uniform_int_distribution<int> unit(0, kUnits - 1);
  std::uniform_real_distribution<double> along(0, bench::kPlanLeg), off(-0.8, 0.8);
  std::vector<core::Vec2> out;
  for (int i = 0; i < 1024; ++i) {
    const int u = unit(random);
    out.push_back({bench::unitX(u) + along(random),
                   bench::unitY(u) + bench::kPlanHalfWidth * (i % 3 - 1) + off(random)});
  }
  return out;
}

void BM_BuildIndex(benchmark::State& state) {
  plan();
  for (auto _ : state) {
    core::SpatialIndex idx(plan());
    benchmark::DoNotOptimize(idx.newest());
  }
}
BENCHMARK(BM_BuildIndex)->Unit(benchmark::kMillisecond);

void BM_Pick(benchmark::State& state) {
  auto& idx = index();
  const auto points = probes();
  std::size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(idx.pick(points[i++ % points.size()], 1.0));
}
BENCHMARK(BM_Pick)->Unit(benchmark::kMicrosecond);

void BM_SnapEndpoint(benchmark::State& state) {
  core::Snapper snapper(index(), [] { return 1.0; });
  const auto points = probes();
  std::size_t i = 0;
  for (auto _ : state)
    benchmark::DoNotOptimize(snapper.find(prompt::SnapKind::endpoint, points[i++ % points.size()], 1.0));
}
BENCHMARK(BM_SnapEndpoint)->Unit(benchmark::kMicrosecond);

void BM_SnapIntersection(benchmark::State& state) {
  core::Snapper snapper(index(), [] { return 1.0; });
  // Where a unit's side line meets its end line, the ends of the elbow.
  std::vector<core::Vec2> points;
  for (int u = 0; u < 1024; ++u)
    points.push_back({bench::unitX(u * 97) + bench::kPlanLeg + 0.3,
                      bench::unitY(u * 97) - bench::kPlanHalfWidth + 0.2});
  std::size_t i = 0;
  for (auto _ : state)
    benchmark::DoNotOptimize(snapper.find(prompt::SnapKind::intersection, points[i++ % points.size()], 1.0));
}
BENCHMARK(BM_SnapIntersection)->Unit(benchmark::kMicrosecond);

void BM_SnapMarkers(benchmark::State& state) {
  core::Snapper snapper(index(), [] { return 1.0; });
  const auto points = probes();
  std::size_t i = 0;
  for (auto _ : state)
    benchmark::DoNotOptimize(
        snapper.candidates(points[i++ % points.size()], 10.0, core::DraftingSettings::kDefaultSnaps));
}
BENCHMARK(BM_SnapMarkers)->Unit(benchmark::kMicrosecond);

// What a window shows of the plan zoomed in on a few units.
void BM_ViewQuery(benchmark::State& state) {
  auto& idx = index();
  std::size_t found = 0;
  for (auto _ : state) {
    const auto ids = idx.query(core::Box2{30000, 30000, 45000, 40000});
    found = ids.size();
    benchmark::DoNotOptimize(ids.data());
  }
  state.counters["entities"] = static_cast<double>(found);
}
BENCHMARK(BM_ViewQuery)->Unit(benchmark::kMicrosecond);

}  // namespace

namespace {

// The plan's scale in a 1600 × 1000 view showing all of it, and the scales that show a
// hundredth and a ten-thousandth of its width: how far the window's pick box (5 pixels)
// and snap aperture (10 pixels) reach, in drawing units.
double drawingUnitsPerPixel(int zoom) {
  const double kPlanWidth = bench::kPlanColumns * kPitch;
  return kPlanWidth / 1560.0 / zoom;
}

void BM_PickAtZoom(benchmark::State& state) {
  auto& idx = index();
  const auto points = probes();
  const double within = 5 * drawingUnitsPerPixel(static_cast<int>(state.range(0)));
  std::size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(idx.pick(points[i++ % points.size()], within));
}
BENCHMARK(BM_PickAtZoom)->Arg(1)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);

void BM_SnapMarkersAtZoom(benchmark::State& state) {
  core::Snapper snapper(index(), [] { return 1.0; });
  const auto points = probes();
  const double within = 10 * drawingUnitsPerPixel(static_cast<int>(state.range(0)));
  std::size_t i = 0;
  for (auto _ : state)
    benchmark::DoNotOptimize(
        snapper.candidates(points[i++ % points.size()], within, core::DraftingSettings::kDefaultSnaps));
}
BENCHMARK(BM_SnapMarkersAtZoom)->Arg(1)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);

// Heap memory a built index holds, per entity of the plan: what the allocator has handed
// out (small blocks and mapped ones) with the index built, less that without it.
std::size_t heapInUse() {
  const struct mallinfo2 m = mallinfo2();
  return m.uordblks + m.hblkhd;
}

void BM_IndexMemory(benchmark::State& state) {
  core::Document& doc = plan();
  const std::size_t entities = doc.database().block(doc.database().modelSpace()).entities.size();
  double perEntity = 0;
  for (auto _ : state) {
    const std::size_t before = heapInUse();
    auto idx = std::make_unique<core::SpatialIndex>(doc);
    benchmark::DoNotOptimize(idx->newest());
    perEntity = static_cast<double>(heapInUse() - before) / entities;
  }
  state.counters["bytes_per_entity"] = perEntity;
}
BENCHMARK(BM_IndexMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
