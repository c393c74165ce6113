// Micro-benchmarks of what the spatial index answers on the 100k-unit plan held in
// memory: building it, a pick, object snaps (a typed END and INT, the window's markers),
// and the window's query for what a view shows.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <vector>

#include "orv/core/document.h"
#include "orv/core/snaps.h"
#include "orv/core/spatial_index.h"

namespace {

using namespace orv;

constexpr int kUnits = 100'000;
constexpr double kPitch = 3000.0;

// The plan of the whole-process benchmarks: per unit five two-vertex polylines, three
// arcs and, every tenth unit, a valve.
core::Document& plan() {
  static std::unique_ptr<core::Document> doc = [] {
    auto d = std::make_unique<core::Document>();
    db::Database& db = d->database();
    auto valve = db.addBlock("VALVE", {0, 0, 0});
    db.append(db::Entity(db::Line{{-150, -109.5, 0}, {150, 109.5, 0}}), *valve);
    db.append(db::Entity(db::Line{{-150, 109.5, 0}, {150, -109.5, 0}}), *valve);
    for (int i = 0; i < kUnits; ++i) {
      const double x = (i % 300) * kPitch, y = (i / 300) * kPitch;
      for (int k = 0; k < 5; ++k) {
        db::Polyline p;
        p.addVertex({x, y + k * 54.75});
        p.addVertex({x + 1671.5, y + k * 54.75});
        db.append(db::Entity(std::move(p)));
      }
      for (int k = 0; k < 3; ++k)
        db.append(db::Entity(db::Arc{{x + 1671.5, y + 328.5, 0}, 219.0 + k * 109.5, 270.0, 360.0}));
      if (i % 10 == 0) {
        db::BlockReference r;
        r.block = *valve;
        r.position = {x + 800, y + 109.5, 0};
        db.append(db::Entity(r));
      }
    }
    return d;
  }();
  return *doc;
}

core::SpatialIndex& index() {
  static core::SpatialIndex idx(plan());
  idx.all();  // built
  return idx;
}

// Points on or near the plan's lines, in no order the caches could follow.
std::vector<core::Vec2> probes() {
  std::mt19937 random(12);
  std::uniform_int_distribution<int> unit(0, kUnits - 1);
  std::uniform_real_distribution<double> along(0, 1671.5), off(-0.8, 0.8);
  std::vector<core::Vec2> out;
  for (int i = 0; i < 1024; ++i) {
    const int u = unit(random);
    out.push_back({(u % 300) * kPitch + along(random), (u / 300) * kPitch + 54.75 * (i % 5) + off(random)});
  }
  return out;
}

void BM_BuildIndex(benchmark::State& state) {
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
    points.push_back({(u * 97 % 300) * kPitch + 1671.5 + 0.3, (u * 97 / 300) * kPitch + 0.2});
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
