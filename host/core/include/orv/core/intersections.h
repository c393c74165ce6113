// The curves the modify commands reshape (lines, arcs, circles, light polylines) as paths
// of spans, where other pieces cut them, and the parts trimming and extending leave.
//
// Sections: spans and paths; carriers and their intersections; positions and parts;
// trimming and extending.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "orv/core/geometry.h"
#include "orv/db/entity.h"

namespace orv::core {

// ---- spans and paths

// A straight or circular stretch travelled from `a` to `b`. An arc turns about `center`
// from the angle `start` through `sweep` radians (negative: clockwise).
struct Span {
  Vec2 a, b;
  bool arc = false;
  Vec2 center;
  double radius = 0, start = 0, sweep = 0;
  double startWidth = 0, endWidth = 0;  // of a polyline's segment

  static Span line(Vec2 a, Vec2 b);
  static Span arcOf(Vec2 center, double radius, double start, double sweep);
  // A polyline segment from a to b with a bulge (tan of a quarter of its signed sweep).
  static Span bulged(Vec2 a, Vec2 b, double bulge);

  Vec2 at(double f) const;  // 0 at a, 1 at b (by angle along an arc)
  // The fraction of the point of the span's carrier nearest to p: for a line along its
  // infinite line, for an arc by angle from `start` in its direction, in [0, 2π/|sweep|).
  double fractionOf(Vec2 p) const;
  Vec2 tangentAt(double f) const;  // the unit direction of travel
  double bulge() const;
  Piece piece() const;
  // The stretch from fraction f0 to f1 (f0 < f1), widths interpolated.
  Span part(double f0, double f1) const;
};

// A curve as spans end to end; a circle is one closed arc span.
struct Path {
  std::vector<Span> spans;
  bool closed = false;
};

// The path of a line, arc, circle or light polyline; nullopt for every other kind.
std::optional<Path> pathOf(const db::Geometry& g);
// Geometry of the original's kind from a path made from it: a line stays a line, an arc
// or a trimmed circle becomes an arc, a polyline stays a polyline (its constant width
// and elevation kept; a closed path of a polyline stays closed). Heights come from the
// original.
db::Geometry geometryOf(const Path& path, const db::Geometry& original);

// ---- carriers: the infinite line or whole circle a span lies on

// Where the carriers of two spans meet (none for parallel lines or circles apart; two
// coincident carriers meet nowhere).
std::vector<Vec2> carrierIntersections(const Span& s, const Span& t);
// The foot of p on a span's carrier.
Vec2 footOn(const Span& s, Vec2 p);

// ---- positions along a path: span index plus fraction

double positionOf(const Path& path, Vec2 p);  // of the nearest point
Vec2 pointAt(const Path& path, double position);
// Where the pieces cut the path, in order, each once (ends of an open path left out).
std::vector<double> cutPositions(const Path& path, const std::vector<Piece>& cutters);
// The part from one position to another; on a closed path `to` may lie before `from`,
// the part then running on past the start.
Path subPath(const Path& path, double from, double to);

// ---- trimming and extending

struct TrimResult {
  std::vector<Path> kept;  // what remains (one or two parts); empty with a refusal
  std::string refusal;     // why nothing was trimmed
};
// Removes the part of the path picked at `pick` between the cuts on either side of it.
TrimResult trim(const Path& path, Vec2 pick, const std::vector<Piece>& cutters);

// Which end of an open path lies nearer the pick (true: its end, false: its start).
bool pickedNearEnd(const Path& path, Vec2 pick);
// What lies beyond an end of an open path: the line of its end span on for `reach`, or
// the rest of its end arc's circle. nullopt for a closed path.
std::optional<Piece> extensionOf(const Path& path, bool atEnd, double reach);
// The path with the end nearer the pick carried on to the nearest point where the
// extension meets a boundary piece; nullopt when none does.
std::optional<Path> extend(const Path& path, Vec2 pick, double reach, const std::vector<Piece>& boundaries);

// The path with its start (atEnd false) or end moved to a point on the end span's
// carrier: a line's end along its line, an arc's end around its circle.
Path withEndAt(const Path& path, bool atEnd, Vec2 p);
Span withEndAt(const Span& span, bool atEnd, Vec2 p);

}  // namespace orv::core
