// Micro-benchmarks of the DXF hot paths: splitting text into tags, parsing and formatting
// numbers, and reading and writing a whole drawing held in memory.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "orv/db/database.h"
#include "orv/dxf/reader.h"
#include "orv/dxf/tags.h"
#include "orv/dxf/writer.h"

namespace {

using namespace orv;

// A plan of `units` corner units (five two-vertex polylines and three arcs each), as DXF text.
const std::string& planText(int units) {
  static std::string text;
  static int made = 0;
  if (made == units) return text;
  db::Database d = db::Database::newDrawing();
  const db::BlockId model = d.modelSpace();
  for (int i = 0; i < units; ++i) {
    const double x = (i % 100) * 3000.0 + (i % 7) * 0.125, y = (i / 100) * 3000.0 + (i % 5) * 0.25;
    for (int k = 0; k < 5; ++k) {
      db::Polyline p;
      p.addVertex({x, y + k * 54.75});
      p.addVertex({x + 1671.5, y + k * 54.75});
      d.append(db::Entity(std::move(p)), model);
    }
    for (int k = 0; k < 3; ++k)
      d.append(db::Entity(db::Arc{{x + 1671.5, y + 328.5, 0}, 219.0 + k * 109.5, 270.0, 360.0}), model);
  }
  text = dxf::writeDxfToString(d);
  made = units;
  return text;
}

void BM_TokenizeTags(benchmark::State& state) {
  const std::string& text = planText(static_cast<int>(state.range(0)));
  std::size_t tags = 0;
  for (auto _ : state) {
    dxf::Tokenizer tok(text);
    dxf::Tag t;
    while (tok.next(t) == dxf::Tokenizer::Step::tag) ++tags;
    benchmark::DoNotOptimize(tags);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
  state.counters["tags"] = benchmark::Counter(static_cast<double>(tags), benchmark::Counter::kIsRate);
}
// 100 units fit in the processor's caches; 10,000 do not.
BENCHMARK(BM_TokenizeTags)->Arg(100)->Arg(10'000)->Unit(benchmark::kMicrosecond);

void BM_ReadDrawing(benchmark::State& state) {
  const std::string& text = planText(10'000);
  for (auto _ : state) {
    dxf::ReadResult r = dxf::readDxf(text);
    if (!r.ok()) state.SkipWithError(r.error.c_str());
    benchmark::DoNotOptimize(r);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
  state.SetItemsProcessed(state.iterations() * 80'000);  // entities
}
BENCHMARK(BM_ReadDrawing)->Unit(benchmark::kMillisecond);

void BM_WriteDrawing(benchmark::State& state) {
  dxf::ReadResult r = dxf::readDxf(planText(10'000));
  std::size_t bytes = 0;
  for (auto _ : state) {
    std::string text = dxf::writeDxfToString(*r.drawing);
    bytes += text.size();
    benchmark::DoNotOptimize(text);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}
BENCHMARK(BM_WriteDrawing)->Unit(benchmark::kMillisecond);

// Coordinates as drawings hold them: whole, halves and quarters, and fractions of many digits.
std::vector<double> sampleReals() {
  std::vector<double> v;
  for (int i = 0; i < 4096; ++i) {
    switch (i % 4) {
      case 0: v.push_back(i * 3000.0); break;
      case 1: v.push_back(i * 3000.0 + 109.5); break;
      case 2: v.push_back(i * 1.1 + 0.125); break;
      default: v.push_back(i / 3.0 - 700.0); break;
    }
  }
  return v;
}

void BM_FormatReal(benchmark::State& state) {
  const std::vector<double> values = sampleReals();
  char buffer[40];
  for (auto _ : state)
    for (double v : values) benchmark::DoNotOptimize(dxf::formatReal(v, buffer));
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * values.size()));
}
BENCHMARK(BM_FormatReal);

void BM_ParseReal(benchmark::State& state) {
  std::vector<std::string> texts;
  char buffer[40];
  for (double v : sampleReals()) texts.emplace_back(buffer, dxf::formatReal(v, buffer));
  double out = 0;
  for (auto _ : state)
    for (const std::string& t : texts) benchmark::DoNotOptimize(dxf::parseDouble(t, out));
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * texts.size()));
}
BENCHMARK(BM_ParseReal);

}  // namespace
