// The grips of each kind of entity and what moving one changes.
#include "orv/core/grips.h"

#include <cmath>
#include <optional>

#include "kept_tags.h"
#include "spline_kind.h"
#include "leader_kind.h"
#include "heavy_polyline_kind.h"

namespace orv::core {

namespace {

Vec2 xy(const db::Point3& p) { return {p.x, p.y}; }

Vec2 onCircle(Vec2 c, double r, double degrees) { return c + r * unitAtDegrees(degrees); }

// The arc's sweep from its start, in degrees (0, 360].
double sweepOf(const db::Arc& a) {
  const double s = normalizeDegrees(a.endAngle - a.startAngle);
  return s == 0.0 ? 360.0 : s;
}

// A dimension's definition point of a group code (10, 13...16).
db::Point3* dimensionPoint(db::Dimension& dim, int code) {
  switch (code) {
    case 10: return &dim.definitionPoint;
    case 13: return &dim.point13;
    case 14: return &dim.point14;
    case 15: return &dim.point15;
    case 16: return &dim.point16;
    default: return nullptr;
  }
}

}  // namespace

std::vector<Grip> gripPoints(const db::Database& d, const db::Entity& e) {
  std::vector<Grip> out;
  if (const auto* l = e.as<db::Line>()) {
    out.push_back({xy(l->start), GripRole::end, 0});
    out.push_back({0.5 * (xy(l->start) + xy(l->end)), GripRole::middle, 0});
    out.push_back({xy(l->end), GripRole::end, 1});
  } else if (const auto* c = e.as<db::Circle>()) {
    out.push_back({xy(c->center), GripRole::center, 0});
    for (std::size_t q = 0; q < 4; ++q)
      out.push_back({onCircle(xy(c->center), c->radius, 90.0 * static_cast<double>(q)), GripRole::quadrant, q});
  } else if (const auto* a = e.as<db::Arc>()) {
    const Vec2 c = xy(a->center);
    out.push_back({c, GripRole::center, 0});
    out.push_back({onCircle(c, a->radius, a->startAngle), GripRole::end, 0});
    out.push_back({onCircle(c, a->radius, a->startAngle + sweepOf(*a) / 2.0), GripRole::arcMiddle, 0});
    out.push_back({onCircle(c, a->radius, a->endAngle), GripRole::end, 1});
  } else if (const auto* p = e.as<db::Polyline>()) {
    for (std::size_t i = 0; i < p->size(); ++i) out.push_back({{p->point(i).x, p->point(i).y}, GripRole::vertex, i});
  } else if (const auto* r = e.as<db::BlockReference>()) {
    out.push_back({xy(r->position), GripRole::insertion, 0});
  } else if (const auto* el = e.as<db::Ellipse>()) {
    out.push_back({xy(el->center), GripRole::center, 0});
  } else if (const auto* pt = e.as<db::Point>()) {
    out.push_back({xy(pt->position), GripRole::position, 0});
  } else if (const auto* s = e.as<db::Solid>()) {
    // Its corners, in the order they were given; a triangle's fourth is its third.
    const kept::Plane plane = kept::planeOf(s->extrusion);
    if (s->filled() && plane == kept::Plane::tilted) return out;
    const Affine2 toWorld = s->filled() ? kept::objectToWorld(plane) : Affine2{};
    for (std::size_t i = 0; i < static_cast<std::size_t>(s->cornerCount()); ++i)
      out.push_back({toWorld.apply(xy(s->corners[i])), GripRole::vertex, i});
  } else if (const auto* h = e.as<db::Hatch>()) {
    // One grip that moves it whole: its seed point, or the first point of its boundary.
    const kept::Plane plane = kept::planeOf(h->extrusion);
    if (plane == kept::Plane::tilted) return out;
    std::optional<db::Point2> at;
    if (!h->seeds.empty()) at = h->seeds.front();
    for (const db::HatchPath& p : h->paths) {
      if (at) break;
      if (!p.vertices.empty()) at = p.vertices.front();
      else if (!p.edges.empty()) at = p.edges.front().type == db::HatchEdge::Type::line ? p.edges.front().start : p.edges.front().center;
    }
    if (at) out.push_back({kept::objectToWorld(plane).apply(Vec2{at->x, at->y}), GripRole::position, 0});
  } else if (const auto* dim = e.as<db::Dimension>()) {
    // Its definition points (the origins, the dimension line, the centre...) and its text.
    if (kept::planeOf(dim->extrusion) == kept::Plane::tilted) return out;
    int codes[5];
    const int n = dim->definitionPointCodes(codes);
    for (int i = 0; i < n; ++i) out.push_back({xy(*dimensionPoint(*const_cast<db::Dimension*>(dim), codes[i])), GripRole::vertex,
                                               static_cast<std::size_t>(codes[i])});
    out.push_back({kept::objectToWorld(kept::planeOf(dim->extrusion)).apply(xy(dim->textMidpoint)), GripRole::vertex, 11});
  } else if (const auto* t = e.as<db::Text>()) {
    // An attribute moves with its reference. Text between two points has both as ends;
    // other text its insertion (or alignment) point.
    const kept::Plane plane = kept::planeOf(t->extrusion);
    if (t->type == db::Text::Type::attrib || plane == kept::Plane::tilted) return out;
    const Affine2 toWorld = kept::objectToWorld(plane);
    if ((t->hAlign == db::TextHAlign::aligned || t->hAlign == db::TextHAlign::fit) && t->hasAlignPoint) {
      out.push_back({toWorld.apply(xy(t->position)), GripRole::end, 0});
      out.push_back({toWorld.apply(xy(t->alignPoint)), GripRole::end, 1});
    } else {
      out.push_back({toWorld.apply(xy(t->anchor())), GripRole::insertion, 0});
    }
  } else if (const auto* u = e.as<db::UnknownEntity>()) {
    const std::string_view type = d.name(u->type);
    if (type == "HATCH" || type == "DIMENSION" || type == "VERTEX" || type == "SEQEND" || type == "ATTRIB")
      return out;
    const kept::Tags tags(u->tags);
    if (kept::planeOf(tags) == kept::Plane::tilted) return out;
    if (auto at = tags.point(10)) out.push_back({kept::objectToWorld(kept::planeOf(tags)).apply(*at), GripRole::position, 0});
  } else if (const auto* sp = e.as<db::Spline>()) {
    detail::splineGrips(*sp, out);
  } else if (const auto* mt = e.as<db::MText>()) {
    out.push_back({xy(mt->position), GripRole::insertion, 0});  // a world point
  } else if (const auto* leader = e.as<db::Leader>()) {
    detail::leaderGrips(*leader, out);
  } else if (const auto* hp = e.as<db::HeavyPolyline>()) {
    detail::heavyPolylineGrips(*hp, out);
  }
  return out;
}

std::variant<std::monostate, db::Entity, MoveWhole> moveGrip(const db::Entity& e, const Grip& g, Vec2 to) {
  if (!std::isfinite(to.x) || !std::isfinite(to.y)) return std::monostate{};
  switch (g.role) {
    case GripRole::center:
    case GripRole::middle:
    case GripRole::insertion:
    case GripRole::position: return MoveWhole{to - g.point};
    default: break;
  }
  db::Entity changed = e;
  if (auto* l = changed.as<db::Line>()) {
    db::Point3& end = g.index == 0 ? l->start : l->end;
    end.x = to.x;
    end.y = to.y;
    if (l->start.x == l->end.x && l->start.y == l->end.y) return std::monostate{};
    return changed;
  }
  if (auto* c = changed.as<db::Circle>()) {
    const double r = distance(xy(c->center), to);
    if (!(r > 0.0)) return std::monostate{};
    c->radius = r;
    return changed;
  }
  if (auto* a = changed.as<db::Arc>()) {
    const Vec2 c = xy(a->center);
    if (to == c) return std::monostate{};
    if (g.role == GripRole::arcMiddle) {
      a->radius = distance(c, to);
    } else {
      double& angle = g.index == 0 ? a->startAngle : a->endAngle;
      angle = degreesOf(to - c);
      if (normalizeDegrees(a->endAngle - a->startAngle) == 0.0) return std::monostate{};
    }
    return changed;
  }
  if (auto* p = changed.as<db::Polyline>()) {
    if (g.index >= p->size() || p->setPoint(g.index, {to.x, to.y}) != db::Status::ok) return std::monostate{};
    return changed;
  }
  if (auto* dim = changed.as<db::Dimension>()) {
    // A definition point moved (the picture is laid out again by whoever stores it), or the
    // text placed by hand.
    if (g.index == 11) {
      const Vec2 at = kept::objectToWorld(kept::planeOf(dim->extrusion)).apply(to);
      dim->textMidpoint.x = at.x;
      dim->textMidpoint.y = at.y;
      dim->flags |= db::Dimension::kUserText;
      return changed;
    }
    db::Point3* p = dimensionPoint(*dim, static_cast<int>(g.index));
    if (!p) return std::monostate{};
    p->x = to.x;
    p->y = to.y;
    return changed;
  }
  if (auto* t = changed.as<db::Text>()) {
    const kept::Plane plane = kept::planeOf(t->extrusion);
    if (g.index > 1 || plane == kept::Plane::tilted) return std::monostate{};
    const Vec2 at = kept::objectToWorld(plane).apply(to);  // its own inverse
    db::Point3& end = g.index == 0 ? t->position : t->alignPoint;
    end.x = at.x;
    end.y = at.y;
    if (t->position.x == t->alignPoint.x && t->position.y == t->alignPoint.y) return std::monostate{};
    return changed;
  }
  if (auto* s = changed.as<db::Solid>()) {
    if (g.index >= 4) return std::monostate{};
    const kept::Plane plane = kept::planeOf(s->extrusion);
    if (s->filled() && plane == kept::Plane::tilted) return std::monostate{};
    const Vec2 at = s->filled() ? kept::objectToWorld(plane).apply(to) : to;  // its own inverse
    const bool triangle = s->cornerCount() == 3;
    s->corners[g.index].x = at.x;
    s->corners[g.index].y = at.y;
    if (triangle && g.index == 2) s->corners[3] = s->corners[2];
    return changed;
  }
  if (auto* sp = changed.as<db::Spline>()) {
    if (!detail::moveSplineGrip(*sp, g, to)) return std::monostate{};
    return changed;
  }
  if (auto* leader = changed.as<db::Leader>()) {
    if (!detail::moveLeaderGrip(*leader, g, to)) return std::monostate{};
    return changed;
  }
  if (auto* hp = changed.as<db::HeavyPolyline>()) {
    if (!detail::moveHeavyPolylineGrip(*hp, g, to)) return std::monostate{};
    return changed;
  }
  return std::monostate{};
}

}  // namespace orv::core
