// Sample entities of the typed kinds (one-line and multiline text, old-style polylines,
// splines, dimensions, leaders, hatches) for the core's tests, and the values of an
// entity those tests compare: its points (and direction vectors) and its numbers.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "orv/db/database.h"

namespace orv::core::testing {

inline db::Text text(db::Point3 at, double height, db::TextHAlign h = db::TextHAlign::left,
                     db::TextVAlign v = db::TextVAlign::baseline, std::optional<db::Point3> second = std::nullopt) {
  db::Text t = db::makeText(at, height, "ABC");
  t.hAlign = h;
  t.vAlign = v;
  if (t.placedByAlignPoint()) {
    t.alignPoint = second.value_or(at);
    t.hasAlignPoint = true;
  }
  return t;
}

// Two lines "AB" and "CD" of height 2 in a column 10 wide.
inline db::MText mtext(db::Point3 at, db::MTextAttachment a = db::MTextAttachment::topLeft, bool byVector = false) {
  db::MText m = db::makeMText(at, 2, "AB\\PCD");
  m.width = 10;
  m.attachment = a;
  if (byVector) {
    m.hasXDirection = true;
    m.xDirection = {1, 0, 0};
  }
  return m;
}

inline db::HeavyVertex vertexAt(db::Point3 p, std::int16_t flags = 0, double bulge = 0) {
  db::HeavyVertex v;
  v.point = p;
  v.flags = flags;
  v.bulge = bulge;
  return v;
}

inline db::HeavyPolyline polyline3d(std::vector<db::Point3> points, bool closed = false) {
  db::HeavyPolyline p;
  p.flags = static_cast<std::int16_t>(db::HeavyPolyline::polyline3d | (closed ? db::HeavyPolyline::closed : 0));
  for (db::Point3 q : points) p.vertices.push_back(vertexAt(q, db::HeavyVertex::polyline3d));
  return p;
}

// A square of two triangles at z 2 from (20, 0) to (30, 10), the diagonal from vertex 1 to
// vertex 3 hidden in both.
inline db::HeavyPolyline squareFaces() {
  db::HeavyPolyline p;
  p.flags = db::HeavyPolyline::polyface;
  p.counts = {4, 2, 0, 0, 0};
  for (db::Point3 q : {db::Point3{20, 0, 2}, {30, 0, 2}, {30, 10, 2}, {20, 10, 2}})
    p.vertices.push_back(vertexAt(q, db::HeavyVertex::mesh | db::HeavyVertex::faceRecord));
  for (std::array<std::int16_t, 4> numbers : {std::array<std::int16_t, 4>{1, 2, -3, 0}, {3, 4, -1, 0}}) {
    p.vertices.push_back(vertexAt({0, 0, 0}, db::HeavyVertex::faceRecord));
    p.vertices.back().face = numbers;
  }
  return p;
}

// A 2D polyline at elevation 3: (1, 2) to (5, 2) an arc of bulge 0.5, then widths 0.5 to 1
// up to (5, 6).
inline db::HeavyPolyline arced(db::Point3 extrusion = {0, 0, 1}) {
  db::HeavyPolyline p;
  p.origin = {0, 0, 3};
  p.extrusion = extrusion;
  p.vertices = {vertexAt({1, 2, 0}, 0, 0.5), vertexAt({5, 2, 0}), vertexAt({5, 6, 0})};
  p.vertices[1].startWidth = 0.5;
  p.vertices[1].endWidth = 1;
  return p;
}

// Rational, with fit points and end tangents, at z 1.
inline db::Spline rationalSpline() {
  db::Spline s = db::Spline::byControlPoints({{0, 0, 1}, {2, 4, 1}, {6, 4, 1}, {8, 0, 1}});
  s.weights = {1, 0.5, 2, 1};
  s.fitPoints = {{0, 0, 1}, {8, 0, 1}};
  s.startTangent = db::Point3{1, 1, 0};
  s.endTangent = db::Point3{0, -2, 0};
  return s;
}

inline db::Dimension dimension(std::int16_t flags, db::Point3 p14, db::Point3 p10, db::Point3 text, double measured) {
  db::Dimension dim;
  dim.flags = flags;
  dim.point14 = p14, dim.definitionPoint = p10, dim.textMidpoint = text;
  dim.measurement = measured;
  return dim;
}

// Rotated, horizontal, 40 long from (0, 0) to (40, 10), its line at y 20.
inline db::Dimension rotated40() { return dimension(32, {40, 10, 0}, {40, 20, 0}, {20, 22, 0}, 40); }

// The right angle between the lines from the origin to (10, 0) and to (0, 10).
inline db::Dimension rightAngle() {
  db::Dimension angular = dimension(32 | 2, {10, 0, 0}, {0, 10, 0}, {}, 90);
  angular.point16 = {3, 3, 0};
  return angular;
}

inline db::Leader bentLeader() {
  db::Leader l;
  l.style = "Standard";
  l.vertices = {{0, 0, 0}, {10, 10, 0}, {20, 10, 0}};
  l.horizontal = {1, 0, 0};
  l.annotationOffset = {-1, 0.5, 0};
  l.textHeight = 2.5;
  l.textWidth = 8;
  return l;
}

// An edge path (a line from (10, 0) to (0, 10) and a clockwise arc of radius 10 from 0 to
// 90 degrees, stored as files store it: 360 less each angle) made from entity 2F, a
// polyline path with a bulge, one pattern line, a seed.
inline db::Hatch patternHatch() {
  db::Hatch h = db::Hatch::make("ANSI31", 45, 2);
  h.associative = true;
  db::HatchPath edges;
  db::HatchEdge line;
  line.start = {10, 0}, line.end = {0, 10};
  db::HatchEdge arc;
  arc.type = db::HatchEdge::Type::arc;
  arc.radius = 10, arc.startAngle = 270, arc.endAngle = 360, arc.counterClockwise = false;
  edges.edges = {line, arc};
  edges.sources = {0x2F};
  db::HatchPath poly;
  poly.flags = db::HatchPath::polyline;
  poly.vertices = {{0, 0}, {6, 0}, {6, 3}};
  poly.bulges = {0, 0.5, 0};
  h.paths = {edges, poly};
  h.lines = {db::PatternLine{45, {1, 0}, {-1, 1}, {3, -1}}};
  h.seeds = {{3, 3}};
  return h;
}

// A solid 6 by 3 seen from below: in the drawing it lies from (-6, 0) to (0, 3).
inline db::Hatch solidBelow() {
  db::Hatch h = db::Hatch::make("SOLID");
  db::HatchPath p;
  p.flags = db::HatchPath::polyline | db::HatchPath::external;
  p.vertices = {{0, 0}, {6, 0}, {6, 3}, {0, 3}};
  h.paths = {p};
  h.extrusion = {0, 0, -1};
  return h;
}

template <typename E>
constexpr double n(E value) {
  return static_cast<double>(value);
}

// The points and direction vectors of an entity that maps and grips move, kind by kind:
//   text: where it stands (both points of aligned or fitted text); MTEXT: its position;
//   old-style polyline: its vertices, face records left out; spline: control points, fit
//   points, then the tangents it has; dimension: 13, 14, 10 and the text's middle;
//   leader: its vertices, then its horizontal direction and its annotation's offset;
//   hatch: the first edge's start, the seeds, the pattern line's base and offset.
inline std::vector<db::Point3> pointsOf(const db::Entity& e) {
  std::vector<db::Point3> out;
  if (const auto* t = e.as<db::Text>()) {
    if (t->hAlign == db::TextHAlign::aligned || t->hAlign == db::TextHAlign::fit) return {t->position, t->alignPoint};
    return {t->anchor()};
  }
  if (const auto* m = e.as<db::MText>()) return {m->position};
  if (const auto* p = e.as<db::HeavyPolyline>()) {
    for (const db::HeavyVertex& v : p->vertices)
      if (!v.isFaceRecord()) out.push_back(v.point);
  } else if (const auto* s = e.as<db::Spline>()) {
    out = s->controlPoints;
    out.insert(out.end(), s->fitPoints.begin(), s->fitPoints.end());
    for (const auto& tangent : {s->startTangent, s->endTangent})
      if (tangent) out.push_back(*tangent);
  } else if (const auto* d = e.as<db::Dimension>()) {
    out = {d->point13, d->point14, d->definitionPoint, d->textMidpoint};
  } else if (const auto* l = e.as<db::Leader>()) {
    out = l->vertices;
    out.push_back(l->horizontal);
    out.push_back(l->annotationOffset);
  } else if (const auto* h = e.as<db::Hatch>()) {
    out.push_back({h->paths[0].edges[0].start.x, h->paths[0].edges[0].start.y, 0});
    for (db::Point2 s : h->seeds) out.push_back({s.x, s.y, 0});
    out.push_back({h->lines[0].base.x, h->lines[0].base.y, 0});
    out.push_back({h->lines[0].offset.x, h->lines[0].offset.y, 0});
  }
  return out;
}

// The numbers of an entity that maps change or keep, kind by kind:
//   text: rotation, height, horizontal and vertical alignment, generation flags;
//   MTEXT: angle, height, width, attachment, direction given by vector, rotation;
//   old-style polyline: elevation, the first vertex's bulge, the second's end width, flags;
//   spline: weights, flags; dimension: rotation, measurement, measured, text rotation;
//   leader: text height and width; hatch (of the sample above): the arc's stored angles,
//   counter-clockwise, radius, the polyline path's bulge, pattern angle and scale, the
//   pattern line's angle and first dash, associative, source handles.
inline std::vector<double> numbersOf(const db::Entity& e) {
  const auto turn = [](double degrees) { return std::fmod(degrees + 720, 360); };
  if (const auto* t = e.as<db::Text>())
    return {turn(t->rotation), t->height, n(t->hAlign), n(t->vAlign), n(t->generation)};
  if (const auto* m = e.as<db::MText>())
    return {turn(m->angle()), m->height, m->width, n(m->attachment), n(m->hasXDirection), m->rotation};
  if (const auto* p = e.as<db::HeavyPolyline>())
    return {p->origin.z, p->vertices[0].bulge, p->vertices[1].endWidth, n(p->flags)};
  if (const auto* s = e.as<db::Spline>()) {
    std::vector<double> out = s->weights;
    out.push_back(s->flags);
    return out;
  }
  if (const auto* d = e.as<db::Dimension>()) return {d->rotation, d->measurement, d->measured(), d->textRotation};
  if (const auto* l = e.as<db::Leader>()) return {l->textHeight, l->textWidth};
  if (const auto* h = e.as<db::Hatch>()) {
    const db::HatchEdge& arc = h->paths[0].edges[1];
    return {arc.startAngle, arc.endAngle, n(arc.counterClockwise), arc.radius, h->paths[1].bulges[1],
            h->angle, h->scale, h->lines[0].angle, h->lines[0].dashes[0], n(h->associative),
            n(h->paths[0].sources.size())};
  }
  return {};
}

inline void expectNear(const std::vector<db::Point3>& got, const std::vector<db::Point3>& want, double within = 1e-9) {
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t i = 0; i < got.size(); ++i) {
    EXPECT_NEAR(got[i].x, want[i].x, within) << "point " << i;
    EXPECT_NEAR(got[i].y, want[i].y, within) << "point " << i;
    EXPECT_NEAR(got[i].z, want[i].z, within) << "point " << i;
  }
}

inline void expectNear(const std::vector<double>& got, const std::vector<double>& want, double within = 1e-9) {
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], want[i], within) << "number " << i;
}

}  // namespace orv::core::testing
