// The synthetic piping plan of the benchmarks, as the plan generator writes it and the
// micro-benchmarks hold it in memory.
//
// A plan is a grid of corner units. Each unit is the drawing of one elbowed corner of a
// double-line pipe: the centre line (layer CENTER, red, dashed) and the two side lines
// (layer PIPE, green) of the straight leg, the two end lines where the elbow meets the
// legs (five two-vertex polylines), and the elbow's three arcs; every tenth unit also
// holds a valve (a reference to block "VALVE"). With `polylinesOnly`, the five polylines
// of each unit and nothing else.
#pragma once

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

#include "orv/db/database.h"

namespace orv::bench {

namespace plan_detail {

constexpr double kLeg = 2000.0;       // length of a unit's straight leg
constexpr double kSpacing = 3000.0;   // grid pitch
constexpr double kHalfWidth = 109.5;  // half the outer diameter (219)
constexpr double kRadius = 328.5;     // elbow radius, 1.5 diameters

struct Style {
  db::NameId layer;
  db::NameId linetype;
  std::int16_t color;
};

inline bool add(db::Database& d, db::Geometry g, const Style& s, db::BlockId owner) {
  db::Entity e(std::move(g));
  e.layer = s.layer;
  e.linetype = s.linetype;
  e.color = s.color;
  return d.append(std::move(e), owner).ok();
}

inline bool addSegment(db::Database& d, db::Point2 a, db::Point2 b, const Style& s,
                db::BlockId owner) {
  db::Polyline p;
  p.addVertex(a);
  p.addVertex(b);
  return add(d, std::move(p), s, owner);
}

// A gate valve: a bow tie between two flanges and a stem, 300 long, across the pipe.
inline std::optional<db::BlockId> addValveBlock(db::Database& d, const Style& s) {
  auto block = d.addBlock("VALVE", {});
  if (!block) return std::nullopt;
  const double h = kHalfWidth;
  const db::Point2 pts[][2] = {{{0, -h}, {0, h}},         {{300, -h}, {300, h}},
                               {{0, -h}, {300, h}},       {{0, h}, {300, -h}},
                               {{150, 0}, {150, 2 * h}}};
  for (const auto& seg : pts)
    if (!addSegment(d, seg[0], seg[1], s, *block)) return std::nullopt;
  if (!add(d, db::Circle{{150, 2 * h + 40, 0}, 40}, s, *block)) return std::nullopt;
  return *block;
}

}  // namespace plan_detail

// The plan of `units` units; nullopt with the reason in `error` when it cannot be made.
inline std::optional<db::Database> makePlan(long units, bool polylinesOnly, std::string& error) {
  using namespace plan_detail;
  db::Database d = db::Database::newDrawing();
  db::Layer pipe;
  pipe.name = "PIPE";
  pipe.color = 3;
  db::Layer centre;
  centre.name = "CENTER";
  centre.color = 1;
  centre.linetype = "CENTER";
  if (!d.addLayer(pipe) || !d.addLayer(centre)) {
    error = "cannot add the layers";
    return std::nullopt;
  }
  const Style side{d.intern("PIPE"), db::names::byLayer, 3};
  const Style axis{d.intern("CENTER"), d.intern("CENTER"), 1};
  const db::BlockId model = d.modelSpace();
  std::optional<db::BlockId> valve;
  if (!polylinesOnly && !(valve = addValveBlock(d, side))) {
    error = "cannot add the valve block";
    return std::nullopt;
  }

  const long columns = std::lround(std::ceil(std::sqrt(static_cast<double>(units))));
  const double h = kHalfWidth, r = kRadius;
  for (long i = 0; i < units; ++i) {
    // A small shift per unit keeps coordinates from being whole numbers only, as in a
    // real drawing.
    const double x = static_cast<double>(i % columns) * kSpacing + static_cast<double>(i % 13) * 0.0625;
    const double y = static_cast<double>(i / columns) * kSpacing + static_cast<double>(i % 11) * 0.03125;
    const double bend = x + kLeg - r;  // where the straight leg meets the elbow
    bool ok = addSegment(d, {x, y}, {bend, y}, axis, model) &&
              addSegment(d, {x, y + h}, {bend, y + h}, side, model) &&
              addSegment(d, {x, y - h}, {bend, y - h}, side, model) &&
              addSegment(d, {bend, y - h}, {bend, y + h}, side, model) &&
              addSegment(d, {x + kLeg - h, y + r}, {x + kLeg + h, y + r}, side, model);
    if (ok && !polylinesOnly) {
      const db::Point3 c{bend, y + r, 0.0};
      ok = add(d, db::Arc{c, r, 270.0, 360.0}, axis, model) &&
           add(d, db::Arc{c, r - h, 270.0, 360.0}, side, model) &&
           add(d, db::Arc{c, r + h, 270.0, 360.0}, side, model);
      if (ok && i % 10 == 0) {
        db::BlockReference ref;
        ref.block = *valve;
        ref.position = {x + 600.0, y, 0.0};
        ok = add(d, ref, side, model);
      }
    }
    if (!ok) {
      error = "cannot add the entities of unit " + std::to_string(i);
      return std::nullopt;
    }
  }
  d.header.extentsMin = {-h, -h, 0.0};
  d.header.extentsMax = {static_cast<double>(columns) * kSpacing,
                         static_cast<double>((units - 1) / columns + 1) * kSpacing, 0.0};
  return d;
}

}  // namespace orv::bench
