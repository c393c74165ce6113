// Finding a hatch's boundary: the curves around a point cut where they cross into a plane
// graph, its faces traced, the face holding the point taken with the islands inside it.
//
// Sections: curves to edges; the graph; faces; the area around a point; through the index.
#include "orv/core/hatch_boundary.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <unordered_map>

#include "orv/core/intersections.h"
#include "orv/core/shapes.h"

namespace orv::core {

namespace {

// ---- curves to edges

// The curves a boundary is made of, as spans: a whole circle as two halves (so that every
// edge has two distinct ends), an elliptic arc as short segments.
void addSpans(const Piece& piece, std::vector<Span>& out) {
  if (const auto* s = std::get_if<Segment>(&piece)) {
    if (s->a != s->b) out.push_back(Span::line(s->a, s->b));
  } else if (const auto* c = std::get_if<CircularArc>(&piece)) {
    if (!(c->radius > 0)) return;
    if (c->full()) {
      out.push_back(Span::arcOf(c->center, c->radius, c->start, kPi));
      out.push_back(Span::arcOf(c->center, c->radius, c->start + kPi, kPi));
    } else if (c->sweep > 0) {
      out.push_back(Span::arcOf(c->center, c->radius, c->start, c->sweep));
    }
  } else if (const auto* e = std::get_if<EllipticArc>(&piece)) {
    const int n = std::max(8, static_cast<int>(std::ceil(96 * e->sweep / kTwoPi)));
    Vec2 last = e->at(e->t0);
    for (int i = 1; i <= n; ++i) {
      const Vec2 p = e->at(e->t0 + e->sweep * i / n);
      if (p != last) out.push_back(Span::line(last, p));
      last = p;
    }
  }
}

Box2 spanBox(const Span& s) { return boxOf(s.piece()); }

// Where the spans cross each other and themselves touch: for each span the fractions
// (0 to 1) at which it is cut. Spans are swept in order of their left edges, so that only
// those whose boxes overlap are compared.
std::vector<std::vector<double>> cutsOf(const std::vector<Span>& spans, double tol) {
  const std::size_t n = spans.size();
  std::vector<Box2> boxes(n);
  std::vector<Piece> pieces(n);
  for (std::size_t i = 0; i < n; ++i) {
    pieces[i] = spans[i].piece();
    boxes[i] = boxOf(pieces[i]).inflated(tol);
  }
  std::vector<std::size_t> order(n);
  std::iota(order.begin(), order.end(), 0);
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return boxes[a].minX < boxes[b].minX; });
  std::vector<std::vector<double>> cuts(n);
  auto note = [&](std::size_t i, Vec2 p) {
    const Span& s = spans[i];
    double f = s.fractionOf(p);
    if (f > 1 + 1e-9) {
      if (distance(p, s.a) > 1e3 * tol) return;  // beyond an arc's end
      f = 0;
    }
    if (f < -1e-9) return;
    cuts[i].push_back(std::clamp(f, 0.0, 1.0));
  };
  std::vector<Vec2> points;
  for (std::size_t oi = 0; oi < n; ++oi) {
    const std::size_t i = order[oi];
    for (std::size_t oj = oi + 1; oj < n; ++oj) {
      const std::size_t j = order[oj];
      if (boxes[j].minX > boxes[i].maxX) break;
      if (!boxes[i].meets(boxes[j])) continue;
      points.clear();
      intersections(pieces[i], pieces[j], points);
      for (Vec2 p : points) {
        note(i, p);
        note(j, p);
      }
    }
  }
  return cuts;
}

// ---- the graph

struct Edge {
  Span span;  // travelled from vertex `from` to vertex `to`
  int from = 0, to = 0;
  bool alive = true;
};

// Ends closer than the tolerance are one vertex: found through a grid of cells.
class Vertices {
 public:
  explicit Vertices(double tol) : tol_(tol), cell_(4 * tol) {}
  int at(Vec2 p) {
    const long long cx = static_cast<long long>(std::floor(p.x / cell_));
    const long long cy = static_cast<long long>(std::floor(p.y / cell_));
    for (long long dx = -1; dx <= 1; ++dx)
      for (long long dy = -1; dy <= 1; ++dy) {
        auto it = cells_.find(key(cx + dx, cy + dy));
        if (it == cells_.end()) continue;
        for (int v : it->second)
          if (distance(points_[v], p) <= tol_) return v;
      }
    points_.push_back(p);
    cells_[key(cx, cy)].push_back(static_cast<int>(points_.size() - 1));
    return static_cast<int>(points_.size() - 1);
  }
  std::size_t size() const { return points_.size(); }

 private:
  static std::uint64_t key(long long x, long long y) {
    return (static_cast<std::uint64_t>(x) * 0x9E3779B97F4A7C15ull) ^ static_cast<std::uint64_t>(y);
  }
  double tol_, cell_;
  std::vector<Vec2> points_;
  std::unordered_map<std::uint64_t, std::vector<int>> cells_;
};

std::vector<Edge> buildEdges(const std::vector<Span>& spans, double tol, std::size_t& vertexCount) {
  const auto cuts = cutsOf(spans, tol);
  Vertices vertices(tol);
  std::vector<Edge> edges;
  // Two edges between the same vertices through the same middle (overlapping curves) are one.
  std::unordered_map<std::uint64_t, std::vector<Vec2>> middles;
  for (std::size_t i = 0; i < spans.size(); ++i) {
    std::vector<double> f = cuts[i];
    f.push_back(0);
    f.push_back(1);
    std::sort(f.begin(), f.end());
    for (std::size_t k = 0; k + 1 < f.size(); ++k) {
      if (f[k + 1] - f[k] < 1e-12) continue;
      Span part = spans[i].part(f[k], f[k + 1]);
      if (distance(part.a, part.b) <= tol && !part.arc) continue;
      Edge e{part, vertices.at(part.a), vertices.at(part.b)};
      if (e.from == e.to) continue;
      const Vec2 middle = part.at(0.5);
      const std::uint64_t key = (static_cast<std::uint64_t>(std::min(e.from, e.to)) << 32) |
                                static_cast<std::uint32_t>(std::max(e.from, e.to));
      auto& seen = middles[key];
      if (std::any_of(seen.begin(), seen.end(), [&](Vec2 m) { return distance(m, middle) <= 10 * tol; })) continue;
      seen.push_back(middle);
      edges.push_back(e);
    }
  }
  vertexCount = vertices.size();
  return edges;
}

// Takes away edges with a free end, again and again: they bound nothing.
void pruneDangling(std::vector<Edge>& edges, std::size_t vertexCount) {
  std::vector<int> degree(vertexCount, 0);
  std::vector<std::vector<int>> at(vertexCount);
  for (int i = 0; i < static_cast<int>(edges.size()); ++i) {
    ++degree[edges[i].from];
    ++degree[edges[i].to];
    at[edges[i].from].push_back(i);
    at[edges[i].to].push_back(i);
  }
  std::vector<int> queue;
  for (int v = 0; v < static_cast<int>(vertexCount); ++v)
    if (degree[v] == 1) queue.push_back(v);
  while (!queue.empty()) {
    const int v = queue.back();
    queue.pop_back();
    for (int i : at[v]) {
      Edge& e = edges[i];
      if (!e.alive) continue;
      e.alive = false;
      for (int w : {e.from, e.to})
        if (--degree[w] == 1) queue.push_back(w);
    }
  }
}

// ---- faces

// Half-edge h travels edge h/2 forwards (h even) or backwards.
struct HalfEdges {
  const std::vector<Edge>& edges;
  std::vector<std::vector<int>> out;  // per vertex, by direction of leaving, counter-clockwise
  std::vector<int> position;          // of each half-edge in its origin's list

  int origin(int h) const { return h % 2 == 0 ? edges[h / 2].from : edges[h / 2].to; }
  int target(int h) const { return origin(h ^ 1); }
  // The direction of leaving (radians) and the turn after it (curvature, left positive).
  std::pair<double, double> leaving(int h) const {
    const Span& s = edges[h / 2].span;
    const Vec2 t = h % 2 == 0 ? s.tangentAt(0) : -1.0 * s.tangentAt(1);
    double k = s.arc ? (s.sweep > 0 ? 1 : -1) / s.radius : 0;
    if (h % 2 == 1) k = -k;
    return {normalizeRadians(std::atan2(t.y, t.x)), k};
  }

  HalfEdges(const std::vector<Edge>& e, std::size_t vertexCount) : edges(e), out(vertexCount) {
    position.assign(2 * e.size(), -1);
    for (int i = 0; i < static_cast<int>(e.size()); ++i) {
      if (!e[i].alive) continue;
      out[e[i].from].push_back(2 * i);
      out[e[i].to].push_back(2 * i + 1);
    }
    for (auto& list : out) {
      std::vector<std::pair<std::pair<double, double>, int>> keyed;
      for (int h : list) keyed.push_back({leaving(h), h});
      std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        if (std::abs(a.first.first - b.first.first) > 1e-9) return a.first.first < b.first.first;
        return a.first.second < b.first.second;
      });
      for (std::size_t k = 0; k < keyed.size(); ++k) {
        list[k] = keyed[k].second;
        position[keyed[k].second] = static_cast<int>(k);
      }
    }
  }
  // The half-edge after h around the face on h's left: at h's end, the first one clockwise
  // from the way back.
  int next(int h) const {
    const auto& list = out[target(h)];
    const int n = static_cast<int>(list.size());
    return list[(position[h ^ 1] - 1 + n) % n];
  }
};

BoundaryEdge boundaryEdge(const Edge& e, bool forwards) {
  const double bulge = e.span.arc ? e.span.bulge() : 0;
  return forwards ? BoundaryEdge{e.span.a, e.span.b, bulge} : BoundaryEdge{e.span.b, e.span.a, -bulge};
}

// A traced face as loops: an edge travelled both ways within it (a bridge to an island
// or between two areas) is left out, and what remains falls into closed loops.
std::vector<std::vector<int>> splitAtBridges(const std::vector<int>& trace, const HalfEdges& he) {
  std::vector<int> kept;
  std::unordered_map<int, int> count;
  for (int h : trace) ++count[h / 2];
  for (int h : trace)
    if (count[h / 2] == 1) kept.push_back(h);
  std::vector<std::vector<int>> loops;
  std::vector<bool> used(kept.size(), false);
  for (std::size_t start = 0; start < kept.size(); ++start) {
    if (used[start]) continue;
    std::vector<int> loop;
    std::size_t at = start;
    for (;;) {
      used[at] = true;
      loop.push_back(kept[at]);
      const int end = he.target(kept[at]);
      if (end == he.origin(kept[start])) break;
      std::size_t found = kept.size();
      for (std::size_t step = 1; step < kept.size(); ++step) {
        const std::size_t k = (at + step) % kept.size();
        if (!used[k] && he.origin(kept[k]) == end) {
          found = k;
          break;
        }
      }
      if (found == kept.size()) {
        loop.clear();  // cannot close: not a loop
        break;
      }
      at = found;
    }
    if (!loop.empty()) loops.push_back(std::move(loop));
  }
  return loops;
}

// Union-find over vertices: which edges are connected.
int findRoot(std::vector<int>& parent, int v) {
  while (parent[v] != v) v = parent[v] = parent[parent[v]];
  return v;
}

struct Face {
  BoundaryLoop loop;
  double area = 0;
  int component = 0;
  int trace = 0;
  Box2 box;
};

void addArcPoints(const BoundaryEdge& e, std::vector<Vec2>& out) {
  out.push_back(e.start);
  if (e.bulge == 0) return;
  const Span s = Span::bulged(e.start, e.end, e.bulge);
  const int n = std::max(2, static_cast<int>(std::ceil(std::abs(s.sweep) / (2 * kDegree))));
  for (int i = 1; i < n; ++i) out.push_back(s.at(static_cast<double>(i) / n));
}

Box2 loopBox(const BoundaryLoop& loop) {
  Box2 box;
  for (const BoundaryEdge& e : loop.edges) box.add(boxOf(bulgePiece(e.start, e.end, e.bulge)));
  return box;
}

}  // namespace

double signedArea(const BoundaryLoop& loop) {
  double area = 0;
  for (const BoundaryEdge& e : loop.edges) {
    area += cross(e.start, e.end) / 2;
    if (e.bulge != 0) {
      const double sweep = 4 * std::atan(e.bulge);
      const double chord = distance(e.start, e.end);
      const double r = chord / (2 * std::sin(std::abs(sweep) / 2));
      const double t = std::abs(sweep);
      area += (sweep > 0 ? 1 : -1) * r * r / 2 * (t - std::sin(t));
    }
  }
  return area;
}

bool encloses(const BoundaryLoop& loop, Vec2 p) {
  std::vector<Vec2> polygon;
  for (const BoundaryEdge& e : loop.edges) addArcPoints(e, polygon);
  bool inside = false;
  for (std::size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
    const Vec2 a = polygon[i], b = polygon[j];
    if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x) inside = !inside;
  }
  return inside;
}

// ---- the area around a point

std::optional<HatchBoundary> boundaryAround(const std::vector<Piece>& pieces, Vec2 point) {
  std::vector<Span> spans;
  for (const Piece& p : pieces) addSpans(p, spans);
  if (spans.empty()) return std::nullopt;
  Box2 all;
  for (const Span& s : spans) all.add(spanBox(s));
  all.add(point);
  const double size = std::max({all.maxX - all.minX, all.maxY - all.minY, std::abs(all.minX), std::abs(all.minY),
                                std::abs(all.maxX), std::abs(all.maxY), 1e-6});
  const double tol = size * 1e-9;

  std::size_t vertexCount = 0;
  std::vector<Edge> edges = buildEdges(spans, tol, vertexCount);
  pruneDangling(edges, vertexCount);
  const HalfEdges he(edges, vertexCount);

  std::vector<int> parent(vertexCount);
  std::iota(parent.begin(), parent.end(), 0);
  for (const Edge& e : edges)
    if (e.alive) parent[findRoot(parent, e.from)] = findRoot(parent, e.to);

  // Every face of the graph, traced once along each half-edge.
  std::vector<Face> faces;
  std::vector<bool> traced(2 * edges.size(), false);
  int traceCount = 0;
  for (int h0 = 0; h0 < static_cast<int>(2 * edges.size()); ++h0) {
    if (!edges[h0 / 2].alive || traced[h0]) continue;
    std::vector<int> trace;
    int h = h0;
    while (!traced[h]) {
      traced[h] = true;
      trace.push_back(h);
      h = he.next(h);
    }
    if (h != h0) continue;  // not closed: a graph the tolerance left inconsistent
    for (const auto& cycle : splitAtBridges(trace, he)) {
      Face f;
      for (int k : cycle) f.loop.edges.push_back(boundaryEdge(edges[k / 2], k % 2 == 0));
      f.area = signedArea(f.loop);
      f.component = findRoot(parent, he.origin(cycle.front()));
      f.trace = traceCount;
      f.box = loopBox(f.loop);
      if (std::abs(f.area) > tol * tol) faces.push_back(std::move(f));
    }
    ++traceCount;
  }

  // The area: the smallest counter-clockwise loop around the point.
  const Face* outer = nullptr;
  for (const Face& f : faces)
    if (f.area > 0 && f.box.contains(point) && (!outer || f.area < outer->area) && encloses(f.loop, point))
      outer = &f;
  if (!outer) return std::nullopt;

  HatchBoundary result;
  result.outer = outer->loop;
  // Islands: the clockwise loops traced with it (shapes joined to it by a bridge), and
  // the outsides of the separate shapes within it, with the shapes inside those (the
  // normal style hatches them alternately).
  for (const Face& f : faces) {
    if (f.area >= 0 || &f == outer) continue;
    const bool joined = f.trace == outer->trace;
    const bool within = f.component != outer->component && outer->box.contains(f.box) &&
                        encloses(outer->loop, f.loop.edges.front().start);
    if (joined || within) result.islands.push_back(f.loop);
  }
  return result;
}

// ---- through the index

namespace {

// Only what draws lines: texts, hatches, solids and points bound nothing.
bool boundsAreas(const db::Database& d, const db::Entity& e) {
  if (e.as<db::Line>() || e.as<db::Arc>() || e.as<db::Circle>() || e.as<db::Polyline>() || e.as<db::BlockReference>() ||
      e.as<db::Ellipse>() || e.as<db::Spline>() || e.as<db::HeavyPolyline>())
    return true;
  if (const auto* u = e.as<db::UnknownEntity>()) {
    const std::string_view type = d.name(u->type);
    return type == "ELLIPSE" || type == "SPLINE";
  }
  return false;
}

class OutlineCollector final : public ShapeSink {
 public:
  explicit OutlineCollector(std::vector<Piece>& out) : out_(out) {}
  void piece(const Piece& p, bool) override { out_.push_back(p); }
  void region(const std::array<Vec2, 4>&) override {}  // a text's box is no boundary

 private:
  std::vector<Piece>& out_;
};

// True when the ray from p along an axis to the edge of `extents` meets a curve that
// could bound an area: a point from which some ray escapes is enclosed by nothing.
bool rayMeetsACurve(SpatialIndex& index, Vec2 p, Vec2 end, const ShapeOptions& options) {
  const db::Database& d = index.database();
  const Piece ray = Segment{p, end};
  std::vector<Piece> pieces;
  OutlineCollector sink(pieces);
  std::vector<Vec2> hits;
  for (db::ObjectId id : index.query(Box2::of(p, end))) {
    const db::Entity* e = d.entity(id);
    if (!e || !boundsAreas(d, *e)) continue;
    pieces.clear();
    describeEntity(d, id, sink, options);
    for (const Piece& piece : pieces) {
      intersections(ray, piece, hits);
      if (!hits.empty()) return true;
    }
  }
  return false;
}

}  // namespace

std::optional<HatchBoundary> findHatchBoundary(SpatialIndex& index, Vec2 point, const std::optional<Box2>& within) {
  if (!std::isfinite(point.x) || !std::isfinite(point.y)) return std::nullopt;
  Box2 extents = index.extents();
  if (within) {
    if (within->empty()) return std::nullopt;
    extents = Box2{std::max(extents.minX, within->minX), std::max(extents.minY, within->minY),
                   std::min(extents.maxX, within->maxX), std::min(extents.maxY, within->maxY)};
  }
  if (extents.empty() || !extents.contains(point)) return std::nullopt;
  const db::Database& d = index.database();
  double half = std::max(extents.maxX - extents.minX, extents.maxY - extents.minY) / 256;
  if (!(half > 0)) half = 1;
  std::vector<Piece> pieces;
  OutlineCollector sink(pieces);
  ShapeOptions options;
  options.layers = &index.layers();
  bool escapeTested = false;
  for (;;) {
    const Box2 around{point.x - half, point.y - half, point.x + half, point.y + half};
    const bool whole = around.contains(extents);
    pieces.clear();
    for (db::ObjectId id : index.query(around)) {
      const db::Entity* e = d.entity(id);
      if (e && boundsAreas(d, *e)) describeEntity(d, id, sink, options);
    }
    auto found = boundaryAround(pieces, point);
    // An area inside the square is final: what lies wholly outside cannot cut it.
    if (found && around.contains(loopBox(found->outer).inflated(half * 1e-9))) return found;
    if (whole) return found;
    if (!found) {
      // Before the square grows over the drawing: a point that some ray leaves unmet (a
      // click in open space) has no area around it.
      if (!escapeTested) {
        escapeTested = true;
        const Vec2 ends[] = {{extents.maxX, point.y}, {extents.minX, point.y}, {point.x, extents.maxY}, {point.x, extents.minY}};
        for (Vec2 end : ends)
          if (!rayMeetsACurve(index, point, end, options)) return std::nullopt;
      }
      // Once the square holds every curve it meets, nothing outside it touches them: an
      // area around the point would then be made of curves wholly outside the square,
      // around it, and would cross each of the four rays beyond it. A ray that leaves the
      // square unmet ends the search, however large the drawing.
      Box2 met;
      for (const Piece& piece : pieces) met.add(boxOf(piece));
      if (met.empty() || around.contains(met)) {
        const Vec2 from[] = {{around.maxX, point.y}, {around.minX, point.y}, {point.x, around.maxY}, {point.x, around.minY}};
        const Vec2 to[] = {{extents.maxX, point.y}, {extents.minX, point.y}, {point.x, extents.maxY}, {point.x, extents.minY}};
        for (int i = 0; i < 4; ++i)
          if (!rayMeetsACurve(index, from[i], to[i], options)) return std::nullopt;
      }
    }
    half *= 2;
  }
}

}  // namespace orv::core
