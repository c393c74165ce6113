// orv_bench_plan: writes the synthetic piping plan the benchmarks open, save and draw.
//
// The plan is described in plan.h.
//
//   orv_bench_plan UNITS OUT.dxf [--polylines-only]
//
// --polylines-only writes the five polylines of each unit and nothing else, for measuring
// what one two-vertex polyline costs in memory.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "orv/db/database.h"
#include "orv/dxf/writer.h"
#include "plan.h"

namespace {

using namespace orv;

int fail(const std::string& message) {
  std::fprintf(stderr, "orv_bench_plan: %s\n", message.c_str());
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || argc > 4 || (argc == 4 && std::strcmp(argv[3], "--polylines-only") != 0))
    return fail("usage: orv_bench_plan UNITS OUT.dxf [--polylines-only]");
  long units = 0;
  const char* end = argv[1] + std::strlen(argv[1]);
  if (std::from_chars(argv[1], end, units).ptr != end || units < 1 || units > 10'000'000)
    return fail("UNITS must be a whole number from 1 to 10000000");
  const bool polylinesOnly = argc == 4;

  std::string error;
  std::optional<db::Database> plan = bench::makePlan(units, polylinesOnly, error);
  if (!plan) return fail(error);
  db::Database& d = *plan;
  if (auto saved = dxf::saveDxfFile(d, argv[2]); !saved) return fail(saved.message);
  return 0;
}
