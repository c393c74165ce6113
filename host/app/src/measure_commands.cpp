// The measuring commands: AREA (the area and perimeter of a polygon of points, or of a
// circle or closed polyline, in the drawing's units), DIVIDE and MEASURE (points or a
// block placed at equal steps along a line, arc, circle or polyline).
#include <cmath>

#include "draw_commands.h"
#include "orv/core/units.h"

namespace orv::app {

namespace {

using namespace drafting;
using shapes::BulgeVertex;
using shapes::Vec2;

// An area in the drawing's format for numbers: decimal (or scientific) with its
// precision; feet and inches or fractions say nothing sensible of an area.
std::string areaText(core::Units u, double area) {
  if (u.linear != 1 && u.linear != 2) {
    u.linear = 2;
    u.linearPrecision = std::min(u.linearPrecision, 8);
  }
  return core::formatLength(u, area);
}

void say(Session& s, const shapes::AreaAndLength& m) {
  const core::Units u = core::unitsOf(s.database());
  s.console().print("\n面积 = " + areaText(u, m.area) + "，周长 = " + core::formatLength(u, m.length));
}

// The circle or closed polyline picked; nullopt on a cancel.
std::optional<shapes::AreaAndLength> pickClosed(Session& s) {
  for (;;) {
    Point3 p;
    if (s.prompts().getPickPoint("\n选择对象: ", p) != Status::Normal) return std::nullopt;
    const db::ObjectId id = s.index().pick(xy(p), s.pickDistance());
    const db::Entity* e = id.isNull() ? nullptr : s.database().entity(id);
    if (!e) {
      s.console().print("\n未找到对象。");
      continue;
    }
    if (const auto* c = e->as<db::Circle>()) return shapes::AreaAndLength{core::kPi * c->radius * c->radius,
                                                                         core::kTwoPi * c->radius};
    if (const auto* pl = e->as<db::Polyline>(); pl && pl->closed() && pl->size() >= 2) {
      std::vector<BulgeVertex> vertices;
      for (std::size_t i = 0; i < pl->size(); ++i) vertices.push_back({{pl->point(i).x, pl->point(i).y}, pl->bulge(i)});
      return shapes::closedOutline(vertices);
    }
    s.console().print("\n需要圆或闭合的多段线。");
  }
}

void area(Session& s) {
  auto& prompts = s.prompts();
  prompts.initGet(0, "Object");
  Point3 first;
  const Status st = prompts.getPoint("\n指定第一个角点或 [对象(O)]: ", std::nullopt, first);
  if (st == Status::Keyword) {
    if (const auto m = pickClosed(s)) say(s, *m);
    return;
  }
  if (st != Status::Normal) return;
  std::vector<BulgeVertex> points{{xy(first)}};
  Session::PreviewScope preview(s, [&](const Point3& cursor) {
    db::Polyline outline;
    for (const auto& v : points) outline.addVertex({v.point.x, v.point.y});
    outline.addVertex({cursor.x, cursor.y});
    outline.setClosed(true);
    return std::vector<db::Entity>{onCurrentLayer(s.database(), std::move(outline))};
  });
  for (;;) {
    prompts.initGet(0, "Undo");
    Point3 p;
    const Point3 last{points.back().point.x, points.back().point.y, first.z};
    const Status next = prompts.getPoint("\n指定下一个点或 [放弃(U)] <总计>: ", last, p);
    if (next == Status::None) break;
    if (next == Status::Keyword) {
      if (points.size() > 1) points.pop_back();
      continue;
    }
    if (next != Status::Normal) return;
    points.push_back({xy(p)});
  }
  if (points.size() < 3) {
    s.console().print("\n至少需要三个点才能围成面积。");
    return;
  }
  say(s, shapes::closedOutline(points));
}

// ---- DIVIDE and MEASURE

// An entity as a path of polyline segments; nullopt for kinds that have no length here.
struct Path {
  std::vector<BulgeVertex> vertices;
  bool closed = false;
};

std::optional<Path> pathOf(const db::Entity& e) {
  if (const auto* l = e.as<db::Line>()) return Path{{{{l->start.x, l->start.y}}, {{l->end.x, l->end.y}}}, false};
  if (const auto* c = e.as<db::Circle>()) {
    const Vec2 o{c->center.x, c->center.y};
    return Path{{{o + Vec2{c->radius, 0}, 1}, {o - Vec2{c->radius, 0}, 1}}, true};
  }
  if (const auto* a = e.as<db::Arc>()) {
    const Vec2 o{a->center.x, a->center.y};
    double sweep = core::normalizeDegrees(a->endAngle - a->startAngle);
    if (sweep == 0) sweep = 360;
    const double half = sweep / 2;  // two halves: a bulge stays finite up to a whole turn
    const auto on = [&](double deg) { return o + a->radius * core::unitAtDegrees(deg); };
    const double bulge = std::tan(half * core::kDegree / 4);
    return Path{{{on(a->startAngle), bulge}, {on(a->startAngle + half), bulge}, {on(a->startAngle + sweep)}}, false};
  }
  if (const auto* pl = e.as<db::Polyline>(); pl && pl->size() >= 2) {
    Path p{{}, pl->closed()};
    for (std::size_t i = 0; i < pl->size(); ++i) p.vertices.push_back({{pl->point(i).x, pl->point(i).y}, pl->bulge(i)});
    return p;
  }
  return std::nullopt;
}

// The entity picked and where; nullopt on a cancel.
std::optional<std::pair<Path, Vec2>> pickPath(Session& s, std::string_view prompt) {
  Vec2 at;
  const auto e = drafting::pickEntity(
      s, prompt, "\n需要直线、圆弧、圆或多段线。", [](const db::Entity& e, Vec2) { return pathOf(e).has_value(); },
      &at);
  if (!e) return std::nullopt;
  return std::pair{*pathOf(*e), at};
}

// "B": the block to place and whether it turns with the path; nullopt on a cancel.
std::optional<std::pair<db::BlockId, bool>> askBlock(Session& s) {
  auto& prompts = s.prompts();
  db::Database& d = s.database();
  std::optional<db::BlockId> block;
  while (!block) {
    std::string name;
    if (prompts.getString("\n输入要插入的块名: ", true, 255, name) != Status::Normal || name.empty()) return std::nullopt;
    block = d.findBlock(name);
    if (block && (*block == d.modelSpace() || *block == d.paperSpace())) block.reset();
    if (!block) s.console().print("\n图形中没有块“" + name + "”。");
  }
  prompts.initGet(0, "Yes No");
  const Status st = prompts.getKeyword("\n是否对齐块和对象？[是(Y)/否(N)] <Y>: ");
  if (st == Status::Cancel) return std::nullopt;
  return std::pair{*block, !(st == Status::Keyword && prompts.lastKeyword() == "No")};
}

// Marks the points at these distances along the path: point entities, or references to
// a block (turned with the path when `align`).
void placeMarks(Session& s, const Path& path, const std::vector<double>& distances,
                std::optional<std::pair<db::BlockId, bool>> block) {
  for (double at : distances) {
    const shapes::PathPoint p = shapes::pointAlong(path.vertices, path.closed, at);
    const db::Point3 where{p.point.x, p.point.y, 0};
    const bool added = block ? !!addToDrawing(s, db::BlockReference{block->first, where, 1, 1, 1,
                                                                   block->second ? p.direction : 0})
                             : !!addToDrawing(s, db::Point{where});
    if (!added) return;
  }
}

// The count or length asked first, or "B" and a block: then the block and the number
// asked again. nullopt on a cancel.
template <class Ask>
std::optional<std::optional<std::pair<db::BlockId, bool>>> askMarks(Session& s, Ask ask) {
  const Status st = ask(true);
  if (st == Status::Normal) return std::optional<std::pair<db::BlockId, bool>>{};
  if (st != Status::Keyword) return std::nullopt;
  auto block = askBlock(s);
  if (!block || ask(false) != Status::Normal) return std::nullopt;
  return block;
}

void divide(Session& s) {
  const auto picked = pickPath(s, "\n选择要定数等分的对象: ");
  if (!picked) return;
  const Path& path = picked->first;
  auto& prompts = s.prompts();
  int n = 0;
  const auto marks = askMarks(s, [&](bool first) {
    for (;;) {
      prompts.initGet(prompt::kNoNull, first ? "Block" : "");
      const Status st = prompts.getInt(first ? "\n输入线段数目或 [块(B)]: " : "\n输入线段数目: ", n);
      if (st != Status::Normal || (n >= 2 && n <= 32767)) return st;
      s.console().print("\n需要 2 和 32767 之间的整数。");
    }
  });
  if (!marks) return;
  const double length = shapes::lengthOf(path.vertices, path.closed);
  std::vector<double> distances;
  for (int k = path.closed ? 0 : 1; k < n; ++k) distances.push_back(length * k / n);
  placeMarks(s, path, distances, *marks);
}

void measure(Session& s) {
  const auto picked = pickPath(s, "\n选择要定距等分的对象: ");
  if (!picked) return;
  const auto& [path, pick] = *picked;
  double step = 0;
  const auto marks = askMarks(s, [&](bool first) {
    Status st;
    while ((st = askDistance(s, first ? "\n指定线段长度或 [块(B)]: " : "\n指定线段长度: ", std::nullopt,
                             first ? "Block" : "", prompt::kNoZero | prompt::kNoNegative, step)) == Status::None) {
    }
    return st;
  });
  if (!marks) return;
  // From the end nearer to where the entity was picked, as CAD programs measure.
  const double length = shapes::lengthOf(path.vertices, path.closed);
  const bool fromEnd = !path.closed && core::distance(pick, path.vertices.back().point) <
                                           core::distance(pick, path.vertices.front().point);
  std::vector<double> distances;
  for (double at = step; at < length - 1e-9 * length && distances.size() < 32767; at += step)
    distances.push_back(fromEnd ? length - at : at);
  placeMarks(s, path, distances, *marks);
}

}  // namespace

std::vector<Session::HostCommand> measureCommands() {
  return {
      {.name = "AREA", .description = "计算多边形、圆或闭合多段线的面积和周长", .run = area, .aliases = {"AA"},
       .help = "逐点指定多边形的顶点（U 放弃上一点），回车后显示它围成的面积和周长；或在第一个提示下 O，"
               "再选择一个圆或闭合的多段线（圆弧段按弧计算）。数值按图形的单位格式显示。",
       .menu = {"绘图", "面积", false}},
      {.name = "DIVIDE", .description = "沿直线、圆弧、圆或多段线等分，在等分点放置点对象或插入块", .run = divide,
       .undoable = true, .aliases = {"DIV"},
       .help = "选择直线、圆弧、圆或多段线，再输入线段数目（2 以上）：在把对象等分的各点放置点对象"
               "（闭合的对象从起点起每段一个）；或先输入 B 和块名、是否让块与对象对齐（缺省是），"
               "再输入线段数目：在这些点插入这个块。",
       .menu = {"绘图", "定数等分", false}},
      {.name = "MEASURE", .description = "沿直线、圆弧、圆或多段线每隔一段长度放置点对象或插入块", .run = measure,
       .undoable = true, .aliases = {"ME"},
       .help = "选择直线、圆弧、圆或多段线，再指定线段长度：从离选择点较近的一端起每隔这个长度放置一个"
               "点对象；或先输入 B 和块名、是否让块与对象对齐（缺省是），再指定线段长度：在这些点插入这个块。",
       .menu = {"绘图", "定距等分", false}},
  };
}

}  // namespace orv::app
