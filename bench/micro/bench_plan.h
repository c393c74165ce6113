// The 100k-unit plan of the whole-process benchmarks (plan.h), held in a document for
// the micro-benchmarks: the drawing orv_bench_plan 100000 writes, built by the same code.
#pragma once

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "../plan.h"
#include "orv/core/document.h"

namespace orv::bench {

inline constexpr int kPlanUnits = 100'000;
// The generator's grid: as many columns as the square root of the units, rounded up.
inline const int kPlanColumns = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(kPlanUnits))));
inline constexpr double kPlanPitch = 3000.0;
// A unit's lines run from its corner (x, y) to x + kPlanLeg, at y and y ± kPlanHalfWidth.
inline constexpr double kPlanLeg = 1671.5;
inline constexpr double kPlanHalfWidth = 109.5;

// The corner of unit i.
inline double unitX(int i) { return (i % kPlanColumns) * kPlanPitch + (i % 13) * 0.0625; }
inline double unitY(int i) { return (i / kPlanColumns) * kPlanPitch + (i % 11) * 0.03125; }

inline core::Document& plan() {
  static std::unique_ptr<core::Document> doc = [] {
    std::string error;
    auto d = makePlan(kPlanUnits, false, error);
    if (!d) {
      std::fprintf(stderr, "the plan: %s\n", error.c_str());
      std::exit(2);
    }
    return std::make_unique<core::Document>(std::move(*d));
  }();
  return *doc;
}

}  // namespace orv::bench
