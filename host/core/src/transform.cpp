// Modeled entities under a similarity, and the tags of copies.
#include "orv/core/transform.h"

#include <cstdio>
#include <optional>

#include "kept_tags.h"
#include "kept_transform.h"
#include "transform_hatch.h"
#include "transform_text.h"
#include "spline_kind.h"
#include "leader_kind.h"
#include "orv/core/heavy_polyline.h"

namespace orv::core {

namespace {

db::Point3 mapped(const Affine2& m, const db::Point3& p) {
  const Vec2 q = m.apply({p.x, p.y});
  return {q.x, q.y, m.applyZ(p.z)};
}

// Columns or rows of a block reference that is an array (MINSERT), read from the tags
// kept beside it: a scale or reflection would have to change their spacing.
bool isArray(const db::RawTags* extras) {
  if (!extras) return false;
  for (db::RawTag t : *extras)
    if ((t.code == 70 || t.code == 71) && kept::parseNumber(t.value).value_or(1) > 1) return true;
  return false;
}

// A kind of kinds.h, by the roles of its fields. Object-frame values are mapped in the
// plane of the kind's extrusion, which the map (in the drawing plane) leaves as it is.
std::optional<std::string> transformDescribed(const db::KindDescription& description, void* object, const Affine2& m) {
  const kept::Plane plane = kept::planeOf(db::extrusionOf(description, object));
  bool objectFrame = false;
  for (const db::FieldDescription& f : description.fields) objectFrame = objectFrame || f.frame == db::Frame::object;
  if (objectFrame && plane == kept::Plane::tilted) return std::string("其所在平面与 XY 平面不平行");
  const Affine2 flip = kept::objectToWorld(plane);
  const Affine2 inObject = flip.after(m).after(flip);
  for (const db::FieldDescription& f : description.fields) {
    const Affine2& map = f.frame == db::Frame::object ? inObject : m;
    switch (f.role) {
      case db::Role::point:
        if (f.type == db::FieldType::point) db::pointField(object, f) = mapped(map, db::pointField(object, f));
        break;
      case db::Role::vector:
        if (f.type == db::FieldType::point) {
          db::Point3& v = db::pointField(object, f);
          const Vec2 w = map.applyLinear({v.x, v.y});
          v.x = w.x;
          v.y = w.y;
        }
        break;
      case db::Role::length:
        if (f.type == db::FieldType::real) db::realField(object, f) *= map.scale();
        break;
      case db::Role::degrees:
        if (f.type == db::FieldType::real) db::realField(object, f) = map.mapDegrees(db::realField(object, f));
        break;
      case db::Role::none: case db::Role::extrusion: break;
    }
  }
  return std::nullopt;
}

// A dimension's definition points, text position, angles and lengths; its measurement
// follows a scale (a length's; an angle stays). An angle of 0 of the text, the horizontal
// direction or the oblique means "none" and stays so.
std::optional<std::string> transformDimension(db::Dimension& dim, const Affine2& m) {
  const kept::Plane plane = kept::planeOf(dim.extrusion);
  if (plane == kept::Plane::tilted) return std::string("其所在平面与 XY 平面不平行");
  const Affine2 flip = kept::objectToWorld(plane);
  const Affine2 inObject = flip.after(m).after(flip);
  for (const db::DimensionFieldDescription& f : db::dimensionFields()) {
    switch (f.role) {
      case db::DimensionRole::world: dim.*f.point = mapped(m, dim.*f.point); break;
      case db::DimensionRole::object: dim.*f.point = mapped(inObject, dim.*f.point); break;
      case db::DimensionRole::length:
        if (f.code != 42 || !dim.angular()) dim.*f.real *= m.scale();
        break;
      case db::DimensionRole::degrees:
        if (f.code == 50 || dim.*f.real != 0.0) dim.*f.real = inObject.mapDegrees(dim.*f.real);
        break;
      case db::DimensionRole::none: case db::DimensionRole::extrusion: break;
    }
  }
  return std::nullopt;
}

}  // namespace

std::variant<db::Entity, std::string> transformEntity(const db::Database& d, db::ObjectId id,
                                                      const Affine2& m, db::ObjectId ownerId) {
  const db::Entity* found = d.entity(id);
  if (!found) return std::string("不存在");
  const db::Entity& e = *found;
  (void)ownerId;  // what an entity kept as read owns is mapped alone
  if (!m.isSimilarity()) return std::string("只能均匀缩放");
  const double s = m.scale();
  db::Entity out = e;
  if (auto* l = out.as<db::Line>()) {
    l->start = mapped(m, l->start);
    l->end = mapped(m, l->end);
  } else if (auto* c = out.as<db::Circle>()) {
    c->center = mapped(m, c->center);
    c->radius *= s;
  } else if (auto* a = out.as<db::Arc>()) {
    a->center = mapped(m, a->center);
    a->radius *= s;
    const double start = m.mapDegrees(a->startAngle), end = m.mapDegrees(a->endAngle);
    // A reflection turns the arc's direction: its ends change places.
    a->startAngle = m.mirrors() ? end : start;
    a->endAngle = m.mirrors() ? start : end;
  } else if (auto* p = out.as<db::Polyline>()) {
    db::Polyline moved;
    moved.reserve(p->size());
    bool ok = true;
    for (std::size_t i = 0; i < p->size(); ++i) {
      const db::Vertex v = p->vertex(i);
      const Vec2 q = m.apply({v.point.x, v.point.y});
      ok = ok && moved.addVertex({q.x, q.y}, m.mirrors() ? -v.bulge : v.bulge, v.startWidth * s,
                                 v.endWidth * s) == db::Status::ok;
    }
    moved.setClosed(p->closed());
    ok = ok && moved.setConstantWidth(p->constantWidth() * s) == db::Status::ok;
    ok = ok && moved.setElevation(m.applyZ(p->elevation())) == db::Status::ok;
    if (!ok) return std::string("变换后的数值无效");
    *p = std::move(moved);
  } else if (auto* r = out.as<db::BlockReference>()) {
    if ((s != 1 || m.mirrors()) && isArray(d.entityExtras(id)))
      return std::string("是阵列，只能移动和旋转");
    r->position = mapped(m, r->position);
    r->xScale *= s;
    r->yScale *= s;
    r->zScale *= s;
    if (m.mirrors()) {
      // R(2φ)·F·R(α)·S(x, y) = R(2φ - α + 180)·S(-x, y)
      r->rotation = normalizeDegrees(m.rotationDegrees() - r->rotation + 180);
      r->xScale = -r->xScale;
    } else {
      r->rotation = m.mapDegrees(r->rotation);
    }
  } else if (const db::KindDescription* description = db::describedKind(out.geometry)) {
    if (auto why = transformDescribed(*description, db::describedObject(out.geometry), m)) return *why;
    if (auto* el = out.as<db::Ellipse>(); el && m.mirrors()) el->mirrorParameters();
  } else if (auto* h = out.as<db::Hatch>()) {
    if (auto why = transformHatch(*h, m)) return *why;
  } else if (auto* dim = out.as<db::Dimension>()) {
    if (auto why = transformDimension(*dim, m)) return *why;
  } else if (auto* t = out.as<db::Text>()) {
    if (auto why = detail::transformText(*t, m)) return *why;
  } else if (auto* u = out.as<db::UnknownEntity>()) {
    auto tags = kept::transformKept(d.name(u->type), u->tags, m);
    if (auto* why = std::get_if<std::string>(&tags)) return *why;
    u->tags = std::get<db::RawTags>(std::move(tags));
  } else if (auto* sp = out.as<db::Spline>()) {
    detail::transformSpline(*sp, m);
  } else if (auto* mt = out.as<db::MText>()) {
    if (auto why = detail::transformMText(*mt, m)) return *why;
  } else if (auto* leader = out.as<db::Leader>()) {
    detail::transformLeader(*leader, m);
  } else if (auto* hp = out.as<db::HeavyPolyline>()) {
    if (auto why = transformHeavyPolyline(*hp, m)) return *why;
  }
  if (db::validate(out.geometry) != db::Status::ok) return std::string("变换后的数值无效");
  return out;
}

db::RawTags tagsForCopy(const db::RawTags& tags) {
  db::RawTags out;
  bool inGroup = false;
  for (db::RawTag t : tags) {
    if (t.code == 102) {
      inGroup = !t.value.empty() && t.value.front() == '{';
      continue;
    }
    if (!inGroup) out.add(t.code, t.value, t.slot);
  }
  return out;
}

db::RawTags withOwner(const db::RawTags& tags, db::Handle owner) {
  db::RawTags out;
  bool done = false, inGroup = false, marker = false;
  char hex[24];
  std::snprintf(hex, sizeof hex, "%llX", static_cast<unsigned long long>(owner));
  for (db::RawTag t : tags) {
    if (t.code == 102) inGroup = !t.value.empty() && t.value.front() == '{';
    if (t.code == 100 && !inGroup) marker = true;
    if (!done && !marker && !inGroup && t.code == 330) {
      out.add(330, hex, t.slot);
      done = true;
      continue;
    }
    out.add(t.code, t.value, t.slot);
  }
  return out;
}

db::RawTags withText(const db::RawTags& tags, int code, std::string_view value) {
  db::RawTags out;
  bool inGroup = false;
  for (db::RawTag t : tags) {
    if (t.code == 102) inGroup = !t.value.empty() && t.value.front() == '{';
    out.add(t.code, t.code == code && !inGroup && t.code < 1000 ? value : t.value, t.slot);
  }
  return out;
}

}  // namespace orv::core
