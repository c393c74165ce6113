// A dimension's entity and its picture block, made from a layout.
#include "orv/core/dimension_block.h"

#include <cmath>

namespace orv::core {

namespace {

db::Point3 at(Vec2 p) { return {p.x, p.y, 0.0}; }
Vec2 xy(const db::Point3& p) { return {p.x, p.y}; }

db::Entity byBlock(db::Geometry g) {
  db::Entity e(std::move(g));
  e.color = db::color::byBlock;
  return e;
}

// The drawn parts of a layout moved by `by`.
DimensionParts shifted(DimensionParts parts, Vec2 by) {
  if (by.x == 0 && by.y == 0) return parts;
  for (Segment& s : parts.lines) s = {s.a + by, s.b + by};
  for (CircularArc& a : parts.arcs) a.center = a.center + by;
  for (auto& t : parts.filled)
    for (Vec2& p : t) p = p + by;
  for (Arrowhead& a : parts.arrows) a.tip = a.tip + by;
  for (Tick& t : parts.ticks) t.stroke = {t.stroke.a + by, t.stroke.b + by};
  for (Dot& dot : parts.dots) dot.center = dot.center + by;
  parts.text.position = parts.text.position + by;
  return parts;
}

}  // namespace

db::Dimension dimensionEntity(const DimensionParts& parts, db::Dimension::Type type, double rotationDegrees,
                              const std::string& written, const DimensionStyle& style, const std::string& block) {
  db::Dimension dim;
  dim.block = block;
  dim.style = style.name;
  dim.flags = static_cast<std::int16_t>(static_cast<int>(type) | db::Dimension::kBlockOnlyThisDimension);
  dim.attachment = 5;  // the middle of the text
  dim.text = written;
  dim.measurement = parts.measurement;
  dim.textMidpoint = at(parts.text.position);
  // An aligned one gives the direction of its origins too, as readers measure along it.
  if (type == db::Dimension::Type::rotated || type == db::Dimension::Type::aligned) dim.rotation = rotationDegrees;
  for (const auto& [code, p] : parts.definitionPoints) {
    switch (code) {
      case 10: dim.definitionPoint = at(p); break;
      case 13: dim.point13 = at(p); break;
      case 14: dim.point14 = at(p); break;
      case 15: dim.point15 = at(p); break;
      case 16: dim.point16 = at(p); break;
      default: break;
    }
  }
  return dim;
}

std::vector<db::Entity> pictureEntities(db::Database& d, const DimensionParts& parts, const DimensionStyle& style) {
  std::vector<db::Entity> out;
  for (const Segment& s : parts.lines) out.push_back(byBlock(db::Line{at(s.a), at(s.b)}));
  for (const CircularArc& a : parts.arcs) {
    const double start = a.start / kDegree;
    out.push_back(byBlock(db::Arc{at(a.center), a.radius, start, std::fmod(start + a.sweep / kDegree, 360.0)}));
  }
  for (const auto& t : parts.filled)
    out.push_back(byBlock(db::Solid::through(db::Solid::Type::solid, at(t[0]), at(t[1]), at(t[2]))));
  const std::optional<db::BlockId> arrowBlock =
      style.arrow == ArrowKind::closedFilled ? std::nullopt : d.findBlock(arrowBlockName(style.arrow));
  if (arrowBlock) {
    for (const Arrowhead& a : parts.arrows)
      out.push_back(byBlock(db::BlockReference{*arrowBlock, at(a.tip), a.size, a.size, a.size, degreesOf(a.direction)}));
  } else {
    for (const Tick& t : parts.ticks) {
      db::Polyline p;
      p.addVertex({t.stroke.a.x, t.stroke.a.y});
      p.addVertex({t.stroke.b.x, t.stroke.b.y});
      p.setConstantWidth(t.width);
      out.push_back(byBlock(std::move(p)));
    }
    for (const Dot& dot : parts.dots) {
      db::Polyline p;
      p.addVertex({dot.center.x - dot.radius / 2, dot.center.y}, 1.0);
      p.addVertex({dot.center.x + dot.radius / 2, dot.center.y}, 1.0);
      p.setClosed(true);
      p.setConstantWidth(dot.radius);
      out.push_back(byBlock(std::move(p)));
    }
  }
  // The text, centred on its position.
  if (!parts.text.content.empty() && parts.text.height > 0) {
    db::Text t = db::makeText(at(parts.text.position), parts.text.height, parts.text.content);
    t.hAlign = db::TextHAlign::center;
    t.vAlign = db::TextVAlign::middle;
    t.alignPoint = t.position;
    t.hasAlignPoint = true;
    t.rotation = parts.text.angle;
    out.push_back(byBlock(std::move(t)));
  }
  return out;
}

std::optional<DimensionParts> layoutOfDimension(const db::Dimension& dim, const DimensionStyle& style) {
  DimensionOptions options;
  options.text = dim.text;
  const Vec2 p10 = xy(dim.definitionPoint), p13 = xy(dim.point13), p14 = xy(dim.point14), p15 = xy(dim.point15);
  switch (dim.type()) {
    case db::Dimension::Type::rotated: return linearDimension(p13, p14, p10, dim.rotation, style, options);
    case db::Dimension::Type::aligned: return alignedDimension(p13, p14, p10, style, options);
    case db::Dimension::Type::radius: {
      const double r = distance(p10, p15);
      if (r <= 0) return std::nullopt;
      // The text where it was, along the line from the centre through the point on the curve.
      return radiusDimension(p10, r, xy(dim.textMidpoint), style, options);
    }
    case db::Dimension::Type::diameter: {
      const double r = distance(p10, p15) / 2;
      if (r <= 0) return std::nullopt;
      return diameterDimension(0.5 * (p10 + p15), r, xy(dim.textMidpoint), style, options);
    }
    case db::Dimension::Type::angular3Point: return angularDimension(p15, p13, p14, p10, style, options);
    case db::Dimension::Type::angular:
      return angularDimension(Segment{p13, p14}, Segment{p15, p10}, xy(dim.point16), style, options);
    case db::Dimension::Type::ordinate: break;
  }
  return std::nullopt;
}

std::optional<std::string> addPictureBlock(db::Database& d, const DimensionParts& parts, const DimensionStyle& style) {
  std::string name;
  for (std::size_t n = 1;; ++n) {
    name = "*D" + std::to_string(n);
    if (!d.findBlock(name)) break;
  }
  auto block = d.addBlock(name, {});
  if (!block) return std::nullopt;
  d.editBlock(*block).flags = 1;  // anonymous
  for (db::Entity& e : pictureEntities(d, parts, style))
    if (!d.append(std::move(e), *block)) return std::nullopt;
  return name;
}

std::optional<db::Dimension> stretchedDimension(const db::Dimension& dim, const Box2& box, Vec2 by) {
  db::Dimension out = dim;
  bool any = false;
  for (db::Point3* p : {&out.definitionPoint, &out.point13, &out.point14, &out.point15, &out.point16, &out.textMidpoint}) {
    if (!box.contains(xy(*p))) continue;
    p->x += by.x;
    p->y += by.y;
    any = true;
  }
  if (!any) return std::nullopt;
  if (box.contains(xy(dim.textMidpoint))) out.flags |= db::Dimension::kUserText;
  return out;
}

bool renewPicture(db::Database& d, db::ObjectId id) {
  const db::Entity* e = d.entity(id);
  const auto* dim = e ? e->as<db::Dimension>() : nullptr;
  if (!dim || dim->block.empty()) return false;
  const auto block = d.findBlock(dim->block);
  if (!block) return false;
  const DimensionStyle style = dimensionStyleNamed(d, dim->style);
  const auto parts = layoutOfDimension(*dim, style);
  if (!parts) return false;
  // The picture is drawn at point 12: its contents are relative to it.
  std::vector<db::Entity> picture = pictureEntities(d, shifted(*parts, -1.0 * xy(dim->insertion)), style);
  db::Entity changed = *e;
  db::Dimension& made = *changed.as<db::Dimension>();
  made.measurement = parts->measurement;
  // A picture holding what this program cannot make again (the MTEXT of a dimension read
  // from a file) is left as the map made it: only the measurement follows.
  const std::vector<db::ObjectId> old = d.block(*block).entities;
  for (db::ObjectId inner : old) {
    const db::Entity* x = d.entity(inner);
    const bool remade = !x || x->isErased() || x->as<db::Line>() || x->as<db::Arc>() || x->as<db::Solid>() ||
                        x->as<db::Polyline>() || x->as<db::BlockReference>() || x->as<db::Point>() ||
                        x->as<db::Text>();
    if (!remade) {
      d.replace(id, std::move(changed));
      return false;
    }
  }
  if (!(made.flags & db::Dimension::kUserText)) made.textMidpoint = at(parts->text.position);
  // The block first, so that the dimension's place in the index is that of its new picture.
  for (db::ObjectId inner : old) d.erase(inner);
  for (db::Entity& p : picture)
    if (!d.append(std::move(p), *block)) return false;
  if (d.replace(id, std::move(changed)) != db::Status::ok) return false;
  return true;
}

}  // namespace orv::core
