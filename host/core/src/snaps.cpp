// Snap points gathered from the shapes of the entities near a point.
#include "orv/core/snaps.h"

#include <algorithm>

namespace orv::core {

namespace {

using prompt::SnapKind;
using prompt::snapBit;

struct Gather final : ShapeSink {
  prompt::SnapMask kinds = 0;
  Vec2 p;
  std::optional<Vec2> base;
  db::ObjectId entity;
  std::vector<SnapCandidate>* out = nullptr;
  // Snappable pieces near p, for intersections.
  std::vector<std::pair<Piece, db::ObjectId>>* pieces = nullptr;
  Box2 near;

  bool wants(SnapKind k) const { return (kinds & snapBit(k)) != 0; }
  void add(SnapKind k, Vec2 q) { out->push_back({k, q, entity, distance(q, p)}); }

  void piece(const Piece& pc, bool snappable) override {
    if (!snappable) return;
    if (pieces && boxOf(pc).meets(near)) pieces->push_back({pc, entity});
    const bool closed = isClosed(pc);
    if (wants(SnapKind::endpoint) && !closed) {
      add(SnapKind::endpoint, startOf(pc));
      add(SnapKind::endpoint, endOf(pc));
    }
    if (wants(SnapKind::midpoint) && !closed) add(SnapKind::midpoint, middleOf(pc));
    if (wants(SnapKind::center)) {
      if (const auto* c = std::get_if<CircularArc>(&pc)) add(SnapKind::center, c->center);
      if (const auto* e = std::get_if<EllipticArc>(&pc)) add(SnapKind::center, e->center);
    }
    if (wants(SnapKind::quadrant)) {
      std::vector<Vec2> q;
      quadrantPoints(pc, q);
      for (Vec2 v : q) add(SnapKind::quadrant, v);
    }
    if (wants(SnapKind::nearest)) add(SnapKind::nearest, nearestOn(pc, p));
    if (wants(SnapKind::perpendicular) && base) {
      std::vector<Vec2> feet;
      perpendicularFeet(pc, *base, feet);
      for (Vec2 v : feet) add(SnapKind::perpendicular, v);
    }
  }
  void region(const std::array<Vec2, 4>&) override {}
  void snapPoint(SnapKind k, Vec2 q) override {
    if (wants(k)) add(k, q);
  }
};

void intersectAll(const std::vector<std::pair<Piece, db::ObjectId>>& pieces, Vec2 p,
                  std::vector<SnapCandidate>& out) {
  std::vector<Vec2> hits;
  for (std::size_t i = 0; i < pieces.size(); ++i)
    for (std::size_t j = i + 1; j < pieces.size(); ++j) {
      hits.clear();
      intersections(pieces[i].first, pieces[j].first, hits);
      for (Vec2 h : hits) out.push_back({SnapKind::intersection, h, pieces[i].second, distance(h, p)});
    }
}

bool nearerFirst(const SnapCandidate& a, const SnapCandidate& b) {
  if (a.distance != b.distance) return a.distance < b.distance;
  return a.kind < b.kind;
}

}  // namespace

Snapper::Snapper(SpatialIndex& index, std::function<double()> pickDistance)
    : index_(index), pickDistance_(std::move(pickDistance)) {}

std::vector<SnapCandidate> Snapper::candidates(Vec2 p, double radius, prompt::SnapMask kinds,
                                               const std::optional<Vec2>& base) {
  std::vector<SnapCandidate> out;
  if (!(radius >= 0) || kinds == 0) return out;
  std::vector<std::pair<Piece, db::ObjectId>> pieces;
  Gather g;
  g.kinds = kinds & ~snapBit(SnapKind::intersection);
  g.p = p;
  g.base = base;
  g.out = &out;
  g.near = Box2{p.x - radius, p.y - radius, p.x + radius, p.y + radius};
  if (kinds & snapBit(SnapKind::intersection)) g.pieces = &pieces;
  const ShapeOptions options{&index_.layers()};
  for (db::ObjectId id : index_.near(p, radius)) {
    g.entity = id;
    for (db::ObjectId m : index_.group(id)) describeEntity(index_.database(), m, g, options);
  }
  intersectAll(pieces, p, out);
  // A centre is offered while its circle is near, however far the centre itself is.
  std::erase_if(out, [&](const SnapCandidate& c) { return c.kind != SnapKind::center && c.distance > radius; });
  std::stable_sort(out.begin(), out.end(), nearerFirst);
  return out;
}

std::optional<SnapCandidate> Snapper::find(SnapKind kind, Vec2 p, double radius, const std::optional<Vec2>& base) {
  std::vector<SnapCandidate> out;
  if (kind == SnapKind::intersection) {
    std::vector<std::pair<Piece, db::ObjectId>> pieces;
    Gather g;
    g.p = p;
    g.out = &out;
    g.pieces = &pieces;
    g.near = Box2{p.x - radius, p.y - radius, p.x + radius, p.y + radius};
    const ShapeOptions options{&index_.layers()};
    for (db::ObjectId id : index_.near(p, radius)) {
      g.entity = id;
      for (db::ObjectId m : index_.group(id)) describeEntity(index_.database(), m, g, options);
    }
    intersectAll(pieces, p, out);
  } else {
    if (kind == SnapKind::perpendicular && !base) return std::nullopt;
    const db::ObjectId id = index_.pick(p, radius);
    if (id.isNull()) return std::nullopt;
    Gather g;
    g.kinds = snapBit(kind);
    g.p = p;
    g.base = base;
    g.out = &out;
    g.entity = id;
    const ShapeOptions options{&index_.layers()};
    for (db::ObjectId m : index_.group(id)) describeEntity(index_.database(), m, g, options);
  }
  if (out.empty()) return std::nullopt;
  return *std::min_element(out.begin(), out.end(), nearerFirst);
}

std::optional<prompt::Point3> Snapper::snapPoint(SnapKind kind, const prompt::Point3& at,
                                                 const std::optional<prompt::Point3>& basePoint) {
  std::optional<Vec2> base;
  if (basePoint) base = Vec2{basePoint->x, basePoint->y};
  const auto found = find(kind, {at.x, at.y}, pickDistance_ ? pickDistance_() : 1.0, base);
  if (!found) return std::nullopt;
  return prompt::Point3{found->point.x, found->point.y, 0};
}

Vec2 orthoPoint(Vec2 base, Vec2 p) {
  return std::abs(p.x - base.x) >= std::abs(p.y - base.y) ? Vec2{p.x, base.y} : Vec2{base.x, p.y};
}

}  // namespace orv::core
