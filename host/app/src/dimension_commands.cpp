// The dimension commands: DIMLINEAR, DIMALIGNED, DIMRADIUS, DIMDIAMETER, DIMANGULAR,
// DIMCONTINUE, DIMBASELINE and QLEADER. Each makes real DIMENSION entities with their picture
// blocks, in the current dimension style and on the current layer, the dimension following
// the cursor while its position is asked.
#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>

#include "draw_commands.h"
#include "orv/core/dimension_block.h"
#include "orv/core/drafting_styles.h"

namespace orv::app {

namespace {

using namespace drafting;
using core::DimensionParts;
using core::DimensionStyle;
using core::Segment;
using core::Vec2;
using Type = db::Dimension::Type;

Vec2 xyOf(const db::Point3& p) { return {p.x, p.y}; }

// The unit vector along v ((0, 0) for none).
Vec2 unitOf(Vec2 v) {
  const double l = core::length(v);
  return l > 0 ? (1 / l) * v : Vec2{0, 0};
}

// The spacing of baseline dimensions (DIMDLI) when the drawing gives none.
constexpr double kBaselineSpacing = 3.75;

// The current dimension style, its record made when the drawing lacks it (so that every
// reader finds the style the dimension names).
DimensionStyle styleForNew(Session& s) {
  db::Database& d = s.database();
  DimensionStyle style = core::currentDimensionStyle(d);
  // The values the dimension is drawn with go into its style's record, so that another
  // program laying it out again (after an edit) does not take its own defaults.
  if (!core::dimensionStyleStored(d, style.name)) core::storeDimensionStyle(d, style);
  return style;
}

// The measurement as the dimension writes it (for "标注文字 = ").
std::string measuredText(const DimensionParts& parts, const DimensionStyle& style, bool angular) {
  return core::formatMeasurement(parts.measurement, angular ? 0 : style.decimals);
}

// Makes the dimension of a layout: its picture block, then the entity; prints its text.
std::optional<db::ObjectId> makeDimension(Session& s, const DimensionParts& parts, Type type, double rotation,
                                          const std::string& written, double textAngle, const DimensionStyle& style) {
  db::Database& d = s.database();
  const auto block = core::addPictureBlock(d, parts, style);
  if (!block) {
    s.console().print("\n无法建立标注的图块，没有标注。");
    return std::nullopt;
  }
  db::Dimension dim = core::dimensionEntity(parts, type, rotation, written, style, *block);
  dim.textRotation = textAngle;
  const auto id = addToDrawing(s, db::Boxed<db::Dimension>(std::move(dim)));
  if (!id) return std::nullopt;
  const bool angular = type == Type::angular || type == Type::angular3Point;
  s.console().print("\n标注文字 = " + measuredText(parts, style, angular));
  return id;
}

// The preview of a layout: what its picture draws, on the current layer.
std::vector<db::Entity> previewOf(Session& s, const std::optional<DimensionParts>& parts, const DimensionStyle& style) {
  std::vector<db::Entity> out;
  if (!parts) return out;
  db::Database& d = s.database();
  for (db::Entity& e : core::pictureEntities(d, *parts, style)) {
    db::Entity shown = onCurrentLayer(d, std::move(e.geometry));
    out.push_back(std::move(shown));
  }
  return out;
}

// ---- what a dimension measures, picked

// The ends of a line, of the straight segment of a polyline nearest `at`, or of an arc.
std::optional<std::pair<Vec2, Vec2>> endsOf(const db::Entity& e, Vec2 at) {
  if (const auto* l = e.as<db::Line>()) return std::pair{xyOf(l->start), xyOf(l->end)};
  if (const auto* a = e.as<db::Arc>()) {
    const Vec2 c = xyOf(a->center);
    return std::pair{c + a->radius * core::unitAtDegrees(a->startAngle), c + a->radius * core::unitAtDegrees(a->endAngle)};
  }
  if (const auto* p = e.as<db::Polyline>()) {
    const std::size_t n = p->size();
    const std::size_t count = p->closed() ? n : (n == 0 ? 0 : n - 1);
    std::optional<std::pair<Vec2, Vec2>> best;
    double bestDistance = 0;
    for (std::size_t i = 0; i < count; ++i) {
      const Vec2 a{p->point(i).x, p->point(i).y}, b{p->point((i + 1) % n).x, p->point((i + 1) % n).y};
      const double dist = core::distanceTo(core::Piece{Segment{a, b}}, at);
      if (!best || dist < bestDistance) best = std::pair{a, b}, bestDistance = dist;
    }
    return best;
  }
  return std::nullopt;
}

// A point other than `from`: asked again until it is; nullopt on Enter or a cancel.
std::optional<Point3> secondPoint(Session& s, std::string_view prompt, const Point3& from) {
  for (;;) {
    Point3 p;
    if (s.prompts().getPoint(prompt, from, p) != Status::Normal) return std::nullopt;
    if (xy(p) != xy(from)) return p;
    s.console().print("\n两个原点不能重合。");
  }
}

// The two extension-line origins: two points, or Enter and an object picked.
std::optional<std::pair<Vec2, Vec2>> askOrigins(Session& s) {
  auto& prompts = s.prompts();
  prompts.initGet(0, "");
  Point3 first;
  const Status st = prompts.getPoint("\n指定第一个尺寸界线原点或 <选择对象>: ", std::nullopt, first);
  if (st == Status::Normal) {
    const auto second = secondPoint(s, "\n指定第二条尺寸界线原点: ", first);
    if (!second) return std::nullopt;
    return std::pair{xy(first), xy(*second)};
  }
  if (st != Status::None) return std::nullopt;
  std::optional<std::pair<Vec2, Vec2>> ends;
  const auto picked = pickEntity(
      s, "\n选择标注对象: ", "\n需要直线、圆弧或多段线的直线段。", [&](const db::Entity& e, Vec2 at) {
        ends = endsOf(e, at);
        return ends && ends->first != ends->second;
      });
  if (!picked) return std::nullopt;
  return ends;
}

// ---- the questions of the dimension line's position

struct TextChoice {
  std::string written;    // "" for the measurement
  double angle = 0;       // of the text, degrees (0: along the dimension line)
};

// The replies T and A: the text and its angle. False on a cancel.
bool askTextOrAngle(Session& s, std::string_view keyword, const std::string& measured, TextChoice& text) {
  auto& prompts = s.prompts();
  if (keyword == "Text") {
    std::string typed;
    if (prompts.getString("\n输入标注文字 <" + measured + ">: ", true, 255, typed) != Status::Normal) return false;
    text.written = typed;  // empty: the measurement again
    return true;
  }
  double angle = 0;
  prompts.initGet(0, "");
  const Status st = prompts.getAngle("\n指定标注文字的角度: ", std::nullopt, angle);
  if (st == Status::Normal) text.angle = angle;
  return st == Status::Normal || st == Status::None;
}

// Asks for the position with keywords armed; the cursor shows the layout at each point.
// Normal with `at`, Keyword (lastKeyword) or an end.
template <class Layout>
Status askPosition(Session& s, std::string_view prompt, std::string_view keywords, const DimensionStyle& style,
                   Layout layout, Point3& at) {
  Session::PreviewScope preview(s, [&](const Point3& cursor) { return previewOf(s, layout(xy(cursor)), style); });
  s.prompts().initGet(0, keywords);
  return s.prompts().getPoint(prompt, std::nullopt, at);
}

// ---- DIMLINEAR, DIMALIGNED

// Horizontal unless the position lies beside both origins and between them in height.
double automaticRotation(Vec2 p1, Vec2 p2, Vec2 at) {
  const bool beside = at.x < std::min(p1.x, p2.x) || at.x > std::max(p1.x, p2.x);
  const bool between = at.y >= std::min(p1.y, p2.y) && at.y <= std::max(p1.y, p2.y);
  return beside && between ? 90.0 : 0.0;
}

void linearOrAligned(Session& s, bool aligned) {
  const auto origins = askOrigins(s);
  if (!origins) return;
  const auto [p1, p2] = *origins;
  const DimensionStyle style = styleForNew(s);
  TextChoice text;
  std::optional<double> rotation;  // nullopt: by the position
  for (;;) {
    auto layout = [&](Vec2 at) -> std::optional<DimensionParts> {
      core::DimensionOptions o;
      o.text = text.written;
      if (aligned) return core::alignedDimension(p1, p2, at, style, o);
      return core::linearDimension(p1, p2, at, rotation.value_or(automaticRotation(p1, p2, at)), style, o);
    };
    Point3 at;
    const Status st = aligned
        ? askPosition(s, "\n指定尺寸线位置或\n[文字(T)/角度(A)]: ", "Text Angle", style, layout, at)
        : askPosition(s, "\n指定尺寸线位置或\n[文字(T)/角度(A)/水平(H)/垂直(V)/旋转(R)]: ",
                      "Text Angle Horizontal Vertical Rotated", style, layout, at);
    if (st == Status::Normal) {
      const double r = aligned ? core::degreesOf(p2 - p1) : rotation.value_or(automaticRotation(p1, p2, xy(at)));
      makeDimension(s, *layout(xy(at)), aligned ? Type::aligned : Type::rotated, r, text.written, text.angle, style);
      return;
    }
    if (st != Status::Keyword) return;
    const std::string keyword = s.prompts().lastKeyword().value_or("");
    if (keyword == "Horizontal") {
      rotation = 0.0;
    } else if (keyword == "Vertical") {
      rotation = 90.0;
    } else if (keyword == "Rotated") {
      double angle = 0;
      s.prompts().initGet(0, "");
      const Status as = s.prompts().getAngle("\n指定尺寸线的角度 <0>: ", std::nullopt, angle);
      if (as == Status::Cancel) return;
      rotation = as == Status::Normal ? angle : 0.0;
    } else {
      const double measured =
          aligned ? core::distance(p1, p2)
                  : std::abs(core::dot(p2 - p1, core::unitAtDegrees(rotation.value_or(0.0))));
      if (!askTextOrAngle(s, keyword, core::formatMeasurement(measured, style.decimals), text)) return;
    }
  }
}

void dimlinear(Session& s) { linearOrAligned(s, false); }
void dimaligned(Session& s) { linearOrAligned(s, true); }

// ---- DIMRADIUS, DIMDIAMETER

void radiusOrDiameter(Session& s, bool diameter) {
  Vec2 center;
  double radius = 0;
  const auto picked = pickEntity(s, "\n选择圆弧或圆: ", "\n需要圆弧或圆。", [&](const db::Entity& e, Vec2) {
    if (const auto* c = e.as<db::Circle>()) center = xyOf(c->center), radius = c->radius;
    else if (const auto* a = e.as<db::Arc>()) center = xyOf(a->center), radius = a->radius;
    else return false;
    return radius > 0;
  });
  if (!picked) return;
  const DimensionStyle style = styleForNew(s);
  TextChoice text;
  for (;;) {
    auto layout = [&](Vec2 at) -> std::optional<DimensionParts> {
      if (at == center) return std::nullopt;
      core::DimensionOptions o;
      o.text = text.written;
      return diameter ? core::diameterDimension(center, radius, at, style, o)
                      : core::radiusDimension(center, radius, at, style, o);
    };
    Point3 at;
    const Status st = askPosition(s, "\n指定尺寸线位置或\n[文字(T)/角度(A)]: ", "Text Angle", style, layout, at);
    if (st == Status::Normal) {
      const auto parts = layout(xy(at));
      if (!parts) {
        s.console().print("\n尺寸线的位置不能是圆心。");
        continue;
      }
      makeDimension(s, *parts, diameter ? Type::diameter : Type::radius, 0, text.written, text.angle, style);
      return;
    }
    if (st != Status::Keyword) return;
    const double measured = diameter ? 2 * radius : radius;
    if (!askTextOrAngle(s, s.prompts().lastKeyword().value_or(""), core::formatMeasurement(measured, style.decimals), text))
      return;
  }
}

void dimradius(Session& s) { radiusOrDiameter(s, false); }
void dimdiameter(Session& s) { radiusOrDiameter(s, true); }

// ---- DIMANGULAR

void dimangular(Session& s) {
  auto& prompts = s.prompts();
  // Two lines (a 2-line angular dimension), or a vertex and two points (3-point).
  std::optional<std::pair<Segment, Segment>> lines;
  Vec2 vertex, p1, p2;
  Point3 pick;
  // A miss or an entity of another kind is said and asked again.
  for (bool done = false; !done;) {
    const Status st = prompts.getPickPoint("\n选择圆弧、圆、直线或 <指定顶点>: ", pick);
    done = true;
    if (st == Status::None) {
      Point3 v, a, b;
      if (prompts.getPoint("\n指定角的顶点: ", std::nullopt, v) != Status::Normal) return;
      const auto first = secondPoint(s, "\n指定角的第一个端点: ", v);
      if (!first) return;
      const auto second = secondPoint(s, "\n指定角的第二个端点: ", v);
      if (!second) return;
      vertex = xy(v), p1 = xy(*first), p2 = xy(*second);
    } else if (st == Status::Normal) {
      const db::ObjectId id = s.index().pick(xy(pick), s.pickDistance());
      const db::Entity* e = id.isNull() ? nullptr : s.database().entity(id);
      if (const auto* l = e ? e->as<db::Line>() : nullptr) {
        const Segment first{xyOf(l->start), xyOf(l->end)};
        std::optional<Segment> second;
        const auto other = pickEntity(s, "\n选择第二条直线: ", "\n需要直线。", [&](const db::Entity& x, Vec2) {
          const auto* m = x.as<db::Line>();
          if (m) second = Segment{xyOf(m->start), xyOf(m->end)};
          return m != nullptr;
        });
        if (!other) return;
        lines = std::pair{first, *second};
      } else if (const auto* a = e ? e->as<db::Arc>() : nullptr) {
        vertex = xyOf(a->center);
        p1 = vertex + a->radius * core::unitAtDegrees(a->startAngle);
        p2 = vertex + a->radius * core::unitAtDegrees(a->endAngle);
      } else if (const auto* c = e ? e->as<db::Circle>() : nullptr) {
        vertex = xyOf(c->center);
        p1 = xy(pick);
        const Point3 from{vertex.x, vertex.y, 0};
        const auto second = secondPoint(s, "\n指定角的第二个端点: ", from);
        if (!second) return;
        p2 = xy(*second);
        if (p1 == vertex) p1 = vertex + c->radius * core::unitAtDegrees(0);
      } else {
        s.console().print(e ? "\n需要圆弧、圆或直线。" : "\n未找到对象。");
        done = false;
      }
    } else {
      return;
    }
  }
  if (!lines && (p1 == vertex || p2 == vertex)) return;
  const DimensionStyle style = styleForNew(s);
  TextChoice text;
  for (;;) {
    auto layout = [&](Vec2 at) -> std::optional<DimensionParts> {
      core::DimensionOptions o;
      o.text = text.written;
      if (lines) return core::angularDimension(lines->first, lines->second, at, style, o);
      if (at == vertex) return std::nullopt;
      return core::angularDimension(vertex, p1, p2, at, style, o);
    };
    Point3 at;
    const Status ps = askPosition(s, "\n指定标注弧线位置或 [文字(T)/角度(A)]: ", "Text Angle", style, layout, at);
    if (ps == Status::Normal) {
      const auto parts = layout(xy(at));
      if (!parts) {
        s.console().print(lines ? "\n两条直线平行，无法标注角度。" : "\n标注弧线的位置不能是顶点。");
        if (lines) return;
        continue;
      }
      makeDimension(s, *parts, lines ? Type::angular : Type::angular3Point, 0, text.written, text.angle, style);
      return;
    }
    if (ps != Status::Keyword) return;
    const auto now = layout(xy(at));
    if (!askTextOrAngle(s, s.prompts().lastKeyword().value_or(""),
                        core::formatMeasurement(now ? now->measurement : 0.0, 0), text))
      return;
  }
}

// ---- DIMCONTINUE, DIMBASELINE

// What the next dimension of DIMCONTINUE or DIMBASELINE starts from: a linear one from
// an origin, its line through a point at an angle; an angular one from a ray of its
// vertex, its arc at a radius.
struct Base {
  bool angular = false;
  Vec2 first;          // the origin, or a point of the ray, the next dimension starts from
  Vec2 line;           // linear: a point of the dimension line
  double rotation = 0;  // linear: the direction measured along, degrees
  Vec2 vertex;         // angular
  double radius = 0;   // angular: of the arc
};

bool continuable(const db::Dimension& dim) {
  const Type t = dim.type();
  return t == Type::rotated || t == Type::aligned || t == Type::angular || t == Type::angular3Point;
}

// The vertex and the points of the two sides of an angular dimension, and the point its
// arc passes through; nullopt for two parallel lines.
std::optional<std::array<Vec2, 4>> anglePoints(const db::Dimension& dim) {
  if (dim.type() == Type::angular3Point)
    return std::array<Vec2, 4>{xyOf(dim.point15), xyOf(dim.point13), xyOf(dim.point14), xyOf(dim.definitionPoint)};
  // Two lines, 13-14 and 15-10: each side runs from their crossing towards the arc (16).
  const Vec2 a = xyOf(dim.point13), d1 = xyOf(dim.point14) - a;
  const Vec2 b = xyOf(dim.point15), d2 = xyOf(dim.definitionPoint) - b;
  const double cross = d1.x * d2.y - d1.y * d2.x;
  if (cross == 0) return std::nullopt;
  const double t = ((b.x - a.x) * d2.y - (b.y - a.y) * d2.x) / cross;
  const Vec2 vertex = a + t * d1, arc = xyOf(dim.point16);
  auto side = [&](Vec2 d) { return core::dot(arc - vertex, d) < 0 ? vertex - d : vertex + d; };
  return std::array<Vec2, 4>{vertex, side(d1), side(d2), arc};
}

// The base a dimension gives: from its second origin (or side) for DIMCONTINUE, its first
// for DIMBASELINE, or from the one nearer `picked`.
std::optional<Base> baseOf(const db::Dimension& dim, bool baseline, std::optional<Vec2> picked) {
  Base b;
  if (dim.angular()) {
    const auto points = anglePoints(dim);
    if (!points) return std::nullopt;
    const Vec2 vertex = (*points)[0], p1 = (*points)[1], p2 = (*points)[2], arc = (*points)[3];
    if (p1 == vertex || p2 == vertex) return std::nullopt;
    b.angular = true;
    b.vertex = vertex;
    b.radius = core::distance(vertex, arc);
    bool second = !baseline;
    if (picked && *picked != vertex) {
      auto apart = [&](Vec2 p) {
        const Vec2 u = unitOf(p - vertex), w = unitOf(*picked - vertex);
        return std::acos(std::clamp(core::dot(u, w), -1.0, 1.0));
      };
      second = apart(p2) < apart(p1);
    }
    b.first = second ? p2 : p1;
    return b;
  }
  const Vec2 p13 = xyOf(dim.point13), p14 = xyOf(dim.point14);
  b.rotation = dim.type() == Type::rotated ? dim.rotation : core::degreesOf(p14 - p13);
  b.line = xyOf(dim.definitionPoint);
  bool second = !baseline;
  if (picked) {
    const Vec2 u = core::unitAtDegrees(b.rotation);
    second = std::abs(core::dot(*picked - p14, u)) < std::abs(core::dot(*picked - p13, u));
  }
  b.first = second ? p14 : p13;
  return b;
}

// The last dimension of model space that can be continued.
std::optional<db::Dimension> lastContinuable(const db::Database& d) {
  std::optional<db::Dimension> last;
  d.forEachEntity(d.modelSpace(), [&](db::ObjectId, const db::Entity& e) {
    const auto* dim = e.isErased() ? nullptr : e.as<db::Dimension>();
    if (dim && continuable(*dim)) last = *dim;
  });
  return last;
}

// A dimension picked to continue from (S); nullopt on Enter or a cancel.
std::optional<Base> pickBase(Session& s, bool baseline) {
  std::optional<Base> base;
  Vec2 at;
  const auto picked = pickEntity(
      s, baseline ? "\n选择基准标注: " : "\n选择连续标注: ", "\n需要线性、对齐或角度标注。",
      [&](const db::Entity& e, Vec2 p) {
        const auto* dim = e.as<db::Dimension>();
        base = dim && continuable(*dim) ? baseOf(*dim, baseline, p) : std::nullopt;
        return base.has_value();
      },
      &at);
  return picked ? base : std::nullopt;
}

// Erases a dimension this command made and takes its picture block out of the drawing,
// within the command's undo step.
void takeBack(Session& s, db::ObjectId id) {
  db::Database& d = s.database();
  const db::Entity* e = d.entity(id);
  if (!e) return;
  const auto picture = core::drawnBlock(d, *e);
  d.erase(id);
  if (picture) d.removeBlock(*picture);
}

void continueOrBaseline(Session& s, bool baseline) {
  db::Database& d = s.database();
  std::optional<Base> base;
  if (const auto last = lastContinuable(d)) base = baseOf(*last, baseline, std::nullopt);
  if (!base) base = pickBase(s, baseline);
  if (!base) return;
  const DimensionStyle style = styleForNew(s);
  const double spacing = core::headerNumber(d.header, "$DIMDLI").value_or(kBaselineSpacing) * style.scale;
  struct Made {
    db::ObjectId id;
    Base before;
  };
  std::vector<Made> made;
  for (;;) {
    const Base b = *base;
    // Linear: the line through the base's, or one spacing beyond it for a baseline.
    const Vec2 n = core::perp(core::unitAtDegrees(b.rotation));
    const double side = core::dot(b.line - b.first, n) >= 0 ? 1.0 : -1.0;
    const Vec2 through = baseline ? b.line + side * spacing * n : b.line;
    const double radius = baseline ? b.radius + spacing : b.radius;
    // Angular: the arc on the side of the smaller angle between the two rays.
    auto arcPoint = [&](Vec2 at) {
      Vec2 mid = unitOf(b.first - b.vertex) + unitOf(at - b.vertex);
      if (core::length(mid) < 1e-12) mid = core::perp(unitOf(b.first - b.vertex));
      return b.vertex + radius * unitOf(mid);
    };
    auto layout = [&](Vec2 at) -> std::optional<DimensionParts> {
      if (at == b.first) return std::nullopt;
      if (b.angular) {
        if (at == b.vertex) return std::nullopt;
        return core::angularDimension(b.vertex, b.first, at, arcPoint(at), style);
      }
      return core::linearDimension(b.first, at, through, b.rotation, style);
    };
    Point3 at;
    Status st;
    {
      Session::PreviewScope preview(s, [&](const Point3& cursor) { return previewOf(s, layout(xy(cursor)), style); });
      s.prompts().initGet(0, "Undo Select");
      st = s.prompts().getPoint("\n指定第二条尺寸界线原点或 [放弃(U)/选择(S)] <选择>: ", std::nullopt, at);
    }
    if (st == Status::Keyword && s.prompts().lastKeyword().value_or("") == "Undo") {
      if (made.empty()) {
        s.console().print("\n本次命令还没有可放弃的标注。");
        continue;
      }
      takeBack(s, made.back().id);
      base = made.back().before;
      made.pop_back();
      continue;
    }
    if (st == Status::Keyword || st == Status::None) {  // S, or Enter: pick another; Enter there ends
      const auto picked = pickBase(s, baseline);
      if (!picked) return;
      base = picked;
      continue;
    }
    if (st != Status::Normal) return;
    const auto parts = layout(xy(at));
    if (!parts) {
      s.console().print(b.angular && xy(at) == b.vertex ? "\n该点不能是角的顶点。" : "\n两个原点不能重合。");
      continue;
    }
    const auto id = b.angular ? makeDimension(s, *parts, Type::angular3Point, 0, "", 0, style)
                              : makeDimension(s, *parts, Type::rotated, b.rotation, "", 0, style);
    if (!id) return;
    made.push_back({*id, b});
    Base next = b;
    if (!baseline) next.first = xy(at);
    if (baseline && b.angular) next.radius = radius;
    if (baseline && !b.angular) next.line = through;
    base = next;
  }
}

void dimcontinue(Session& s) { continueOrBaseline(s, false); }
void dimbaseline(Session& s) { continueOrBaseline(s, true); }

// ---- QLEADER

// The leader through `points` as it draws (segments and arrowhead), on the current layer.
std::vector<db::Entity> leaderPreview(Session& s, const std::vector<Vec2>& points, const DimensionStyle& style) {
  std::vector<db::Entity> out;
  db::Database& d = s.database();
  for (db::Entity& e : core::pictureEntities(d, core::leaderParts(points, true, style), style))
    out.push_back(onCurrentLayer(d, std::move(e.geometry)));
  return out;
}

// The annotation of a leader as CAD programs place it: beside the last point on the side
// the last segment runs to, a gap away, its lines' middle level with the point.
struct NotePlace {
  Vec2 at;        // the text's alignment point (first line)
  bool toRight;   // the text runs away to the right (middle-left), else to the left (middle-right)
};

NotePlace notePlace(const std::vector<Vec2>& points, const DimensionStyle& style) {
  const Vec2 last = points.back(), before = points[points.size() - 2];
  const bool toRight = last.x >= before.x;
  const double gap = style.textGap * style.scale;
  return {{last.x + (toRight ? gap : -gap), last.y}, toRight};
}

void qleader(Session& s) {
  auto& prompts = s.prompts();
  const DimensionStyle style = styleForNew(s);
  std::vector<Vec2> points;
  Point3 p;
  prompts.initGet(0, "");
  if (prompts.getPoint("\n指定第一个引线点: ", std::nullopt, p) != Status::Normal) return;
  const double z = p.z;
  points.push_back(xy(p));
  for (;;) {
    Status st;
    {
      Session::PreviewScope preview(s, [&](const Point3& cursor) {
        std::vector<Vec2> through = points;
        through.push_back(xy(cursor));
        return leaderPreview(s, through, style);
      });
      prompts.initGet(0, "");
      st = prompts.getPoint("\n指定下一点: ", Point3{points.back().x, points.back().y, z}, p);
    }
    if (st == Status::None && points.size() >= 2) break;
    if (st == Status::None) {
      s.console().print("\n引线至少需要两个点。");
      continue;
    }
    if (st != Status::Normal) return;
    if (xy(p) == points.back()) {
      s.console().print("\n该点与上一点重合。");
      continue;
    }
    points.push_back(xy(p));
  }
  std::vector<std::string> lines;
  for (;;) {
    std::string line;
    if (prompts.getString(lines.empty() ? "\n输入注释文字的第一行: " : "\n输入注释文字的下一行: ", true, 255, line) !=
        Status::Normal)
      return;
    if (line.empty()) break;
    lines.push_back(line);
  }
  const double height = style.textHeight * style.scale;
  const NotePlace place = notePlace(points, style);
  db::Leader leader;
  leader.style = style.name;
  for (Vec2 v : points) leader.vertices.push_back({v.x, v.y, z});
  leader.creation = 3;  // no annotation
  if (!lines.empty()) {
    // One multiline text, its middle level with the last point, on the side the leader
    // runs to; the leader points to it.
    db::MText note = db::makeMText({place.at.x, points.back().y, z}, height, db::mtextContentOf(lines));
    note.attachment = place.toRight ? db::MTextAttachment::middleLeft : db::MTextAttachment::middleRight;
    note.lineSpacingStyle = 1;
    const auto made = addToDrawing(s, db::Boxed<db::MText>(std::move(note)));
    if (!made) return;
    leader.creation = 0;
    leader.annotation = s.database().entity(*made)->handle();
    leader.textHeight = height;
    double width = 0;
    for (const std::string& l : lines) width = std::max(width, core::estimatedTextWidth(l, height));
    leader.textWidth = width;
    leader.annotationOffset = {points.back().x - place.at.x, 0, 0};
  }
  addToDrawing(s, db::Boxed<db::Leader>(std::move(leader)));
}

}  // namespace

std::vector<Session::HostCommand> dimensionCommands() {
  return {
      {.name = "DIMLINEAR", .description = "线性标注：两个尺寸界线原点（或选择对象）和尺寸线位置",
       .run = dimlinear, .undoable = true, .aliases = {"DLI"},
       .help = "指定两个尺寸界线原点，或回车后选择一条直线、圆弧或多段线的直线段；再指定尺寸线位置。"
               "尺寸线位置之前可输入 T 改写标注文字（<> 代表测量值）、A 指定文字角度、H 水平标注、"
               "V 垂直标注、R 指定尺寸线的角度；否则按位置自动取水平或垂直。"
               "结果是一个标注对象及其图块，按当前标注样式，放在当前图层上，并显示“标注文字 = ”和测量值。",
       .menu = {"标注", "线性", true}},
      {.name = "DIMALIGNED", .description = "对齐标注：尺寸线与两个原点的连线平行", .run = dimaligned,
       .undoable = true, .aliases = {"DAL"},
       .help = "同线性标注指定两个原点（或选择对象）和尺寸线位置，尺寸线与两个原点的连线平行。"
               "尺寸线位置之前可输入 T 改写标注文字、A 指定文字角度。",
       .menu = {"标注", "对齐", true}},
      {.name = "DIMRADIUS", .description = "半径标注：选择圆弧或圆，再指定尺寸线位置", .run = dimradius,
       .undoable = true, .aliases = {"DRA"},
       .help = "选择一个圆弧或圆，再指定尺寸线（文字）位置；文字为 R 加半径。可输入 T 改写文字、A 指定文字角度。",
       .menu = {"标注", "半径", true}},
      {.name = "DIMDIAMETER", .description = "直径标注：选择圆弧或圆，再指定尺寸线位置", .run = dimdiameter,
       .undoable = true, .aliases = {"DDI"},
       .help = "选择一个圆弧或圆，再指定尺寸线（文字）位置；文字为直径符号加直径。可输入 T 改写文字、A 指定文字角度。",
       .menu = {"标注", "直径", true}},
      {.name = "DIMANGULAR", .description = "角度标注：两条直线、一个圆弧或圆，或顶点和两个端点", .run = dimangular,
       .undoable = true, .aliases = {"DAN"},
       .help = "选择两条直线（标注它们之间的角度），或一个圆弧（标注其圆心角），或一个圆（点取处和另指定的一点），"
               "或回车后指定角的顶点和两个端点；再指定标注弧线位置，角度取弧线所在的一侧。"
               "可输入 T 改写文字、A 指定文字角度。",
       .menu = {"标注", "角度", true}},
      {.name = "DIMCONTINUE", .description = "连续标注：从上一个线性或角度标注的第二条尺寸界线接着标注，U 放弃、S 另选",
       .run = dimcontinue, .undoable = true, .aliases = {"DCO"},
       .help = "从图形中最后一个线性、对齐或角度标注的第二条尺寸界线开始，逐个指定下一个第二条尺寸界线原点，"
               "每个线性标注的尺寸线与前一个在同一直线上，角度标注的弧线与前一个同半径。"
               "提示“指定第二条尺寸界线原点或 [放弃(U)/选择(S)] <选择>:”时，U 删去本次命令所作的最后一个标注，"
               "S 或直接回车则选择另一个线性、对齐或角度标注，从离点取处较近的尺寸界线接着标注；"
               "选择时回车结束命令。图形中没有这样的标注时先要求选择。整个命令是一步放弃。",
       .menu = {"标注", "连续", true}},
      {.name = "DIMBASELINE", .description = "基线标注：从上一个线性或角度标注的第一条尺寸界线起标注，U 放弃、S 另选",
       .run = dimbaseline, .undoable = true, .aliases = {"DBA"},
       .help = "以图形中最后一个线性、对齐或角度标注的第一条尺寸界线为基线，逐个指定第二条尺寸界线原点，"
               "每个新标注的尺寸线（角度标注的弧线）比前一个远离一个基线间距（DIMDLI，缺省 3.75，乘以全局比例）。"
               "提示“指定第二条尺寸界线原点或 [放弃(U)/选择(S)] <选择>:”时，U 删去本次命令所作的最后一个标注，"
               "S 或直接回车则选择另一个标注作为基准（以离点取处较近的尺寸界线为基线）；选择时回车结束命令。"
               "整个命令是一步放弃。",
       .menu = {"标注", "基线", true}},
      {.name = "QLEADER", .description = "快速引线：指定引线的点，再输入注释文字，空行结束", .run = qleader,
       .undoable = true, .aliases = {"LE"},
       .help = "指定第一个引线点（箭头所在处），再逐个指定下一点，指定两个点以后回车结束；然后逐行输入注释文字，"
               "空行结束（第一行就回车则只画引线）。结果是一个带箭头的引线对象和它末端旁的多行文字（各行为段落，引线指向它）：最后一段向右时文字"
               "左中对齐、向左时右中对齐，离开末端一个文字间距（DIMGAP），字高取当前标注样式的文字高度；"
               "按当前标注样式，放在当前图层上。",
       .menu = {"标注", "引线", true}},
  };
}

}  // namespace orv::app
