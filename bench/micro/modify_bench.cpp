// Micro-benchmarks of the reshaping commands' work: TRIM of one entity of the 100k-unit
// plan held in memory (the pick, the cutting edges near it through the spatial index, the
// trim and the change written to the drawing and taken back), and OFFSET of a polyline
// of 10,000 vertices with bulges.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "orv/core/edges.h"
#include "orv/core/intersections.h"
#include "orv/core/offset.h"
#include "orv/core/shapes.h"
#include "orv/core/spatial_index.h"
#include "bench_plan.h"

namespace {

using namespace orv;

core::SpatialIndex& index() {
  static core::SpatialIndex idx(bench::plan());
  static const bool built = !idx.all().empty();
  (void)built;
  return idx;
}

// Points on the plan's lines, in no order the caches could follow.
std::vector<core::Vec2> picks() {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> unit(0, bench::kPlanUnits - 1);
  std::uniform_real_distribution<double> along(1, bench::kPlanLeg - 1);
  std::vector<core::Vec2> out;
  for (int i = 0; i < 1024; ++i) {
    const int u = unit(random);
    out.push_back({bench::unitX(u) + along(random), bench::unitY(u) + bench::kPlanHalfWidth * (i % 3 - 1)});
  }
  return out;
}

void BM_TrimOneEntity(benchmark::State& state) {
  auto& idx = index();
  db::Database& d = bench::plan().database();
  const auto at = picks();
  const core::SelectionSet everything;
  std::size_t i = 0, trimmed = 0;
  for (auto _ : state) {
    const core::Vec2 p = at[i++ % at.size()];
    const db::ObjectId id = idx.pick(p, 1.0);
    if (!id) continue;
    const db::Entity before = *d.entity(id);
    const auto path = core::pathOf(before.geometry);
    if (!path) continue;
    const auto result = core::trim(*path, p, core::edgePieces(idx, core::entityBox(d, id), everything, id));
    if (result.kept.empty()) continue;
    db::Entity after = before;
    after.geometry = core::geometryOf(result.kept.front(), before.geometry);
    d.replace(id, std::move(after));
    d.replace(id, before);  // the next pick finds the plan as it was
    ++trimmed;
  }
  state.counters["trimmed"] = static_cast<double>(trimmed);
}
BENCHMARK(BM_TrimOneEntity)->Unit(benchmark::kMicrosecond);

void BM_OffsetPolyline(benchmark::State& state) {
  db::Polyline zigzag;
  const int n = static_cast<int>(state.range(0));
  zigzag.reserve(n);
  for (int k = 0; k < n; ++k) zigzag.addVertex({k * 10.0, (k % 2) * 7.0}, k % 3 == 0 ? 0.3 : 0.0);
  const db::Geometry g = zigzag;
  for (auto _ : state) {
    std::string why;
    auto moved = core::offsetGeometry(g, 1.5, {5, 100}, why);
    benchmark::DoNotOptimize(moved);
  }
}
BENCHMARK(BM_OffsetPolyline)->Arg(10'000)->Unit(benchmark::kMillisecond);

}  // namespace
