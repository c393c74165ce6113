// The dimension commands: DIMLINEAR, DIMALIGNED, DIMRADIUS, DIMDIAMETER, DIMANGULAR,
// DIMCONTINUE and DIMBASELINE. Each makes real DIMENSION entities with their picture
// blocks, in the current dimension style and on the current layer, the dimension following
// the cursor while its position is asked.
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

// The spacing of baseline dimensions (DIMDLI) when the drawing gives none.
constexpr double kBaselineSpacing = 3.75;

// The current dimension style, its record made when the drawing lacks it (so that every
// reader finds the style the dimension names).
DimensionStyle styleForNew(Session& s) {
  db::Database& d = s.database();
  DimensionStyle style = core::currentDimensionStyle(d);
  if (!d.keptTable(db::KeptTable::dimstyle).find(style.name)) core::storeDimensionStyle(d, style);
  return style;
}

// The measurement as the dimension writes it (for "标注文字 = ").
std::string measuredText(const DimensionParts& parts, const DimensionStyle& style, bool angular) {
  return core::formatMeasurement(parts.measurement, angular ? 0 : style.decimals);
}

// Makes the dimension of a layout: its picture block, then the entity; prints its text.
bool makeDimension(Session& s, const DimensionParts& parts, Type type, double rotation, const std::string& written,
                   double textAngle, const DimensionStyle& style) {
  db::Database& d = s.database();
  const auto block = core::addPictureBlock(d, parts, style);
  if (!block) {
    s.console().print("\n无法建立标注的图块，没有标注。");
    return false;
  }
  db::Dimension dim = core::dimensionEntity(parts, type, rotation, written, style, *block);
  dim.textRotation = textAngle;
  if (!addToDrawing(s, db::Boxed<db::Dimension>(std::move(dim)))) return false;
  const bool angular = type == Type::angular || type == Type::angular3Point;
  s.console().print("\n标注文字 = " + measuredText(parts, style, angular));
  return true;
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
  const Status st = prompts.getPickPoint("\n选择圆弧、圆、直线或 <指定顶点>: ", pick);
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
      return;
    }
  } else {
    return;
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

// The last linear (rotated or aligned) dimension of model space.
std::optional<db::Dimension> lastLinear(const db::Database& d) {
  std::optional<db::Dimension> last;
  d.forEachEntity(d.modelSpace(), [&](db::ObjectId, const db::Entity& e) {
    const auto* dim = e.isErased() ? nullptr : e.as<db::Dimension>();
    if (dim && (dim->type() == Type::rotated || dim->type() == Type::aligned)) last = *dim;
  });
  return last;
}

void continueOrBaseline(Session& s, bool baseline) {
  db::Database& d = s.database();
  auto previous = lastLinear(d);
  if (!previous) {
    s.console().print("\n图形中没有可以接着标注的线性标注。");
    return;
  }
  const DimensionStyle style = styleForNew(s);
  const double spacing =
      core::headerNumber(d.header, "$DIMDLI").value_or(kBaselineSpacing) * style.scale;
  for (;;) {
    const db::Dimension& prev = *previous;
    const Vec2 p13{prev.point13.x, prev.point13.y}, p14{prev.point14.x, prev.point14.y};
    const Vec2 line{prev.definitionPoint.x, prev.definitionPoint.y};
    const double rotation = prev.type() == Type::rotated ? prev.rotation : core::degreesOf(p14 - p13);
    const Vec2 u = core::unitAtDegrees(rotation), n = core::perp(u);
    const Vec2 first = baseline ? p13 : p14;
    const double side = core::dot(line - p13, n) >= 0 ? 1.0 : -1.0;
    const Vec2 through = baseline ? line + side * spacing * n : line;
    auto layout = [&](Vec2 at) -> std::optional<DimensionParts> {
      if (at == first) return std::nullopt;
      return core::linearDimension(first, at, through, rotation, style);
    };
    Session::PreviewScope preview(s, [&](const Point3& cursor) { return previewOf(s, layout(xy(cursor)), style); });
    s.prompts().initGet(0, "");
    Point3 at;
    if (s.prompts().getPoint("\n指定第二个尺寸界线原点或 <结束>: ", std::nullopt, at) != Status::Normal) return;
    const auto parts = layout(xy(at));
    if (!parts) {
      s.console().print("\n两个原点不能重合。");
      continue;
    }
    if (!makeDimension(s, *parts, Type::rotated, rotation, "", 0, style)) return;
    previous = lastLinear(d);
    if (!previous) return;
  }
}

void dimcontinue(Session& s) { continueOrBaseline(s, false); }
void dimbaseline(Session& s) { continueOrBaseline(s, true); }

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
      {.name = "DIMCONTINUE", .description = "连续标注：从上一个线性标注的第二个原点接着标注，回车结束",
       .run = dimcontinue, .undoable = true, .aliases = {"DCO"},
       .help = "从图形中最后一个线性标注的第二个尺寸界线原点开始，逐个指定下一个第二个原点，"
               "每个标注的尺寸线与前一个在同一直线上；回车结束。整个命令是一步放弃。",
       .menu = {"标注", "连续", true}},
      {.name = "DIMBASELINE", .description = "基线标注：从上一个线性标注的第一个原点起标注，回车结束",
       .run = dimbaseline, .undoable = true, .aliases = {"DBA"},
       .help = "以图形中最后一个线性标注的第一个尺寸界线原点为基线，逐个指定第二个原点，"
               "每个新标注的尺寸线比前一个远离一个基线间距（DIMDLI，缺省 3.75，乘以全局比例）；回车结束。",
       .menu = {"标注", "基线", true}},
  };
}

}  // namespace orv::app
