// What the core does with an old-style polyline: transforms, shapes, grips, explosion.
#include "heavy_polyline_kind.h"

#include <cmath>
#include <cstdlib>

#include "kept_tags.h"
#include "orv/core/heavy_polyline.h"

namespace orv::core {

namespace {

Vec2 flat(const db::Point3& p) { return {p.x, p.y}; }

db::Point3 mappedPoint(const Affine2& m, const db::Point3& p) {
  const Vec2 q = m.apply({p.x, p.y});
  return {q.x, q.y, m.applyZ(p.z)};
}

bool hasArcsOrWidths(const db::HeavyPolyline& p) {
  if (p.startWidth != 0.0 || p.endWidth != 0.0) return true;
  for (const db::HeavyVertex& v : p.vertices)
    if (v.bulge != 0.0 || v.startWidth != 0.0 || v.endWidth != 0.0) return true;
  return false;
}

}  // namespace

std::optional<std::string> transformHeavyPolyline(db::HeavyPolyline& p, const Affine2& m) {
  if (!p.isPlanar()) {
    for (db::HeavyVertex& v : p.vertices)
      if (!v.isFaceRecord()) v.point = mappedPoint(m, v.point);
    return std::nullopt;
  }
  const kept::Plane plane = kept::planeOf(p.extrusion);
  if (plane == kept::Plane::tilted) return std::string("其所在平面与 XY 平面不平行");
  const bool similar = m.isSimilarity();
  if (!similar && hasArcsOrWidths(p)) return std::string("有圆弧段或宽度，不能按 X、Y 不同的比例变换");
  const Affine2 flip = kept::objectToWorld(plane);
  const Affine2 inPlane = flip.after(m).after(flip);
  const double s = m.scale();
  for (db::HeavyVertex& v : p.vertices) {
    const Vec2 q = inPlane.apply({v.point.x, v.point.y});
    v.point.x = q.x;
    v.point.y = q.y;
    if (!similar) continue;
    v.startWidth *= s;
    v.endWidth *= s;
    if (inPlane.mirrors()) v.bulge = -v.bulge;
    if ((v.flags & db::HeavyVertex::hasTangent) || v.tangent != 0.0) v.tangent = inPlane.mapDegrees(v.tangent);
  }
  if (similar) {
    p.startWidth *= s;
    p.endWidth *= s;
  }
  p.origin.z = inPlane.applyZ(p.origin.z);
  return std::nullopt;
}

std::optional<db::Polyline> heavyPolylineOutline(const db::HeavyPolyline& p) {
  if (!p.isPlanar()) return std::nullopt;
  const kept::Plane plane = kept::planeOf(p.extrusion);
  if (plane == kept::Plane::tilted) return std::nullopt;
  const bool flipped = plane == kept::Plane::flipped;
  db::Polyline out;
  for (const db::HeavyVertex* v : db::drawnVertices(p)) {
    // A vertex without widths of its own takes the polyline's.
    const bool own = (v->given & (db::given::startWidth | db::given::endWidth)) != 0;
    const double w0 = own ? v->startWidth : p.startWidth, w1 = own ? v->endWidth : p.endWidth;
    if (out.addVertex({flipped ? -v->point.x : v->point.x, v->point.y}, flipped ? -v->bulge : v->bulge, w0, w1) !=
        db::Status::ok)
      return std::nullopt;
  }
  out.setClosed(p.isClosed());
  if (out.setElevation(flipped ? -p.origin.z : p.origin.z) != db::Status::ok) return std::nullopt;
  return out;
}

std::vector<db::Entity> heavyPolylineParts(const db::Entity& e, const db::HeavyPolyline& p) {
  std::vector<db::Entity> out;
  auto add = [&](db::Geometry g) {
    db::Entity piece = e;
    piece.geometry = std::move(g);
    out.push_back(std::move(piece));
  };
  if (p.isPolyface()) {
    const std::vector<const db::HeavyVertex*> points = db::polyfacePoints(p);
    const long count = static_cast<long>(points.size());
    for (const db::HeavyVertex& f : p.vertices) {
      if (!f.isFaceRecord()) continue;
      std::vector<db::Point3> corners;
      std::int16_t hidden = 0;
      for (std::int16_t k : f.face) {
        if (k == 0) break;
        const long i = std::abs(static_cast<long>(k));
        if (i > count) break;
        if (k < 0) hidden = static_cast<std::int16_t>(hidden | (1 << corners.size()));
        corners.push_back(points[static_cast<std::size_t>(i - 1)]->point);
      }
      if (corners.size() < 3) continue;
      db::Solid face = db::Solid::through(db::Solid::Type::face, corners[0], corners[1], corners[2],
                                          corners.size() > 3 ? std::optional<db::Point3>(corners[3]) : std::nullopt);
      // A triangle's third edge is the one from its third corner back to the first.
      if (corners.size() == 3 && (hidden & 4)) hidden = static_cast<std::int16_t>(hidden | 8);
      face.hiddenEdges = hidden;
      add(db::Boxed<db::Solid>(std::move(face)));
    }
    return out;
  }
  if (p.isPolygonMesh()) {
    const long rows = p.meshM(), cols = p.meshN();
    if (rows < 1 || cols < 1 || rows * cols != static_cast<long>(p.vertices.size())) return out;
    auto at = [&](long r, long c) { return p.vertices[static_cast<std::size_t>((r % rows) * cols + c % cols)].point; };
    const long lastRow = (p.flags & db::HeavyPolyline::closed) ? rows : rows - 1;
    const long lastCol = (p.flags & db::HeavyPolyline::closedN) ? cols : cols - 1;
    for (long r = 0; r < lastRow; ++r)
      for (long c = 0; c < lastCol; ++c)
        add(db::Boxed<db::Solid>(db::Solid::through(db::Solid::Type::face, at(r, c), at(r, c + 1), at(r + 1, c + 1),
                                                    at(r + 1, c))));
    return out;
  }
  if (!p.is3d()) return out;
  const std::vector<const db::HeavyVertex*> chain = db::drawnVertices(p);
  const std::size_t n = chain.size();
  const std::size_t segments = p.isClosed() ? n : (n == 0 ? 0 : n - 1);
  for (std::size_t i = 0; n >= 2 && i < segments; ++i) {
    const db::Point3 a = chain[i]->point, b = chain[(i + 1) % n]->point;
    if (a != b) add(db::Line{a, b});
  }
  return out;
}

namespace detail {

void describeHeavyPolyline(const DescribeContext& ctx, const db::HeavyPolyline& p, const Affine2& m) {
  if (p.isPolyface() || p.isPolygonMesh()) {
    for (const auto& edge : db::meshEdges(p)) ctx.sink.piece(Segment{m.apply(flat(edge[0])), m.apply(flat(edge[1]))}, true);
    return;
  }
  const std::vector<const db::HeavyVertex*> chain = db::drawnVertices(p);
  const bool planar = p.isPlanar();
  const Affine2 w = planar ? m.after(planOf(p.extrusion, p.origin.z)) : m;
  const std::size_t n = chain.size();
  if (n == 1) ctx.sink.piece(Segment{w.apply(flat(chain[0]->point)), w.apply(flat(chain[0]->point))}, true);
  const std::size_t count = p.isClosed() ? n : (n == 0 ? 0 : n - 1);
  for (std::size_t i = 0; i < count && n > 1; ++i) {
    const Vec2 a = flat(chain[i]->point), b = flat(chain[(i + 1) % n]->point);
    ctx.sink.piece(transformed(bulgePiece(a, b, planar ? chain[i]->bulge : 0.0), w), true);
  }
}

namespace {

// World from the vertices' own coordinates (nullopt: a plane the drawing plane does not show).
std::optional<Affine2> vertexFrame(const db::HeavyPolyline& p) {
  if (!p.isPlanar()) return Affine2{};
  const kept::Plane plane = kept::planeOf(p.extrusion);
  if (plane == kept::Plane::tilted) return std::nullopt;
  return kept::objectToWorld(plane);
}

bool hasGrip(const db::HeavyVertex& v) { return !v.isFaceRecord() && !v.isFramePoint(); }

}  // namespace

void heavyPolylineGrips(const db::HeavyPolyline& p, std::vector<Grip>& out) {
  const auto frame = vertexFrame(p);
  if (!frame) return;
  for (std::size_t i = 0; i < p.vertices.size(); ++i)
    if (hasGrip(p.vertices[i])) out.push_back({frame->apply(flat(p.vertices[i].point)), GripRole::vertex, i});
}

bool moveHeavyPolylineGrip(db::HeavyPolyline& p, const Grip& g, Vec2 to) {
  const auto frame = vertexFrame(p);
  if (!frame || g.role != GripRole::vertex || g.index >= p.vertices.size() || !hasGrip(p.vertices[g.index]))
    return false;
  const Vec2 q = frame->apply(to);  // the frame is its own inverse (identity or x -> -x)
  p.vertices[g.index].point.x = q.x;
  p.vertices[g.index].point.y = q.y;
  return true;
}

}  // namespace detail

}  // namespace orv::core
