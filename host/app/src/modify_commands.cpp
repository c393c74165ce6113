// The commands that reshape what is drawn: OFFSET, TRIM, EXTEND, FILLET and CHAMFER on
// lines, arcs, circles and light polylines, each one step of UNDO.
//
// Sections: OFFSET; TRIM and EXTEND; FILLET and CHAMFER; the table (the helpers the
// reshaping commands share are in modify_commands_shared.cpp).
#include "modify_commands.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "lineweights.h"
#include "orv/core/edges.h"
#include "orv/core/fillet.h"
#include "orv/core/intersections.h"
#include "orv/core/offset.h"
#include "orv/core/shapes.h"
#include "property_commands.h"

namespace orv::app {

namespace {

using namespace modify;
using core::Path;
using core::Piece;
using core::Span;

Vec2 xy(const Point3& p) { return {p.x, p.y}; }

std::vector<Piece> edgePieces(Session& s, const core::Box2& area, const core::SelectionSet& edges,
                              db::ObjectId self) {
  return core::edgePieces(s.index(), area, edges, self);
}

// ---- OFFSET

void offset(Session& s) {
  std::optional<double>& remembered = s.memory().offsetDistance;  // nullopt: through a point
  auto& prompts = s.prompts();
  std::optional<double> distance = remembered;
  for (;;) {
    const std::string prompt = "\n指定偏移距离或 [通过(T)] <" + (distance ? fixed4(*distance) : std::string("通过")) + ">: ";
    double d = 0;
    const Status st = askDistance(s, prompt, "Through", d);
    if (st == Status::Cancel) return;
    if (st == Status::Keyword) distance.reset();
    if (st == Status::Normal) {
      if (d == 0) {
        s.console().print(prompt::refusal::kZero);
        continue;
      }
      distance = d;
    }
    break;
  }
  remembered = distance;
  db::Database& d = s.database();
  for (;;) {
    prompts.initGet(0, "Exit");
    Point3 p;
    if (prompts.getPickPoint("\n选择要偏移的对象，或 [退出(E)] <退出>: ", p) != Status::Normal) return;
    const db::ObjectId id = entityAt(s, p);
    if (!id) continue;
    const auto path = pathOfEntity(s, id, "偏移");
    if (!path) continue;
    const db::Entity source = *d.entity(id);
    auto offsetTo = [&](Vec2 side, std::string& why) -> std::optional<db::Geometry> {
      const double by = distance ? *distance : core::distance(side, core::pointAt(*path, core::positionOf(*path, side)));
      if (by == 0) {
        why = "通过点在对象上";
        return std::nullopt;
      }
      return core::offsetGeometry(source.geometry, by, side, why);
    };
    Session::PreviewScope preview(s, [&](const Point3& cursor) {
      std::string why;
      std::vector<db::Entity> shown;
      if (auto g = offsetTo(xy(cursor), why)) {
        db::Entity e = source;
        e.geometry = std::move(*g);
        shown.push_back(std::move(e));
      }
      return shown;
    });
    prompts.initGet(0, "Exit");
    Point3 side;
    const Status st = prompts.getPoint(distance ? "\n指定要偏移的那一侧上的点，或 [退出(E)] <退出>: "
                                                : "\n指定通过点或 [退出(E)] <退出>: ",
                                       std::nullopt, side);
    if (st != Status::Normal) return;
    std::string why;
    auto g = offsetTo(xy(side), why);
    if (!g) {
      s.console().print("\n无法偏移该对象：" + why + "。");
      continue;
    }
    Change change;
    add(s, std::move(*g), id, change);
  }
}

// ---- TRIM and EXTEND

enum class Shaping { trim, extend };

// Trims or extends one entity picked at `pick`; false (and said) when nothing changed.
bool shapeOne(Session& s, Shaping how, db::ObjectId id, Vec2 pick, const core::SelectionSet& edges,
              Change& change) {
  db::Database& d = s.database();
  const auto path = pathOfEntity(s, id, how == Shaping::trim ? "修剪" : "延伸");
  if (!path) return false;
  const db::Geometry original = d.entity(id)->geometry;
  if (how == Shaping::trim) {
    const core::Box2 box = core::entityBox(d, id);
    const auto result = core::trim(*path, pick, edgePieces(s, box.inflated(1e-9 * (1 + box.maxX - box.minX)), edges, id));
    if (!result.refusal.empty()) {
      s.console().print("\n" + result.refusal + "。");
      return false;
    }
    if (!reshape(s, id, core::geometryOf(result.kept.front(), original), change)) return false;
    for (std::size_t i = 1; i < result.kept.size(); ++i) add(s, core::geometryOf(result.kept[i], original), id, change);
    return true;
  }
  if (path->closed) {
    s.console().print("\n闭合的对象不能延伸。");
    return false;
  }
  // Ever longer stretches beyond the end, each looked up in the index, until one meets
  // a boundary or reaches past everything drawn.
  const core::Box2 all = s.index().extents();
  const bool atEnd = core::pickedNearEnd(*path, pick);
  const Vec2 end = atEnd ? path->spans.back().b : path->spans.front().a;
  const core::Box2 own = core::entityBox(d, id);
  double reach = std::max({own.maxX - own.minX, own.maxY - own.minY, 1.0});
  const double farthest = all.empty() ? 0 : core::distance(end, all.center()) + core::distance(all.center(), {all.maxX, all.maxY});
  for (;;) {
    const auto beyond = core::extensionOf(*path, atEnd, reach);
    if (!beyond) break;
    const core::Box2 area = core::boxOf(*beyond).inflated(1e-9 * reach);
    if (auto longer = core::extend(*path, pick, reach, edgePieces(s, area, edges, id)))
      return reshape(s, id, core::geometryOf(*longer, original), change);
    if (std::holds_alternative<core::CircularArc>(*beyond) || reach > farthest) break;
    reach *= 4;
  }
  s.console().print("\n对象未与边界边相交。");
  return false;
}

// The points where a fence crosses the entities it meets, one per entity, in the order met.
std::vector<std::pair<db::ObjectId, Vec2>> fenceCrossings(Session& s, const std::vector<Vec2>& fence) {
  std::vector<std::pair<db::ObjectId, Vec2>> out;
  for (std::size_t i = 0; i + 1 < fence.size(); ++i) {
    const core::Segment leg{fence[i], fence[i + 1]};
    for (db::ObjectId id : s.index().query(core::boxOf(leg))) {
      bool seen = false;
      for (const auto& o : out) seen = seen || o.first == id;
      if (seen) continue;
      std::vector<Vec2> points;
      for (const Piece& p : core::piecesOf(s.database(), id)) core::intersections(leg, p, points);
      if (!points.empty()) out.emplace_back(id, points.front());
    }
  }
  return out;
}

void trimOrExtend(Session& s, Shaping how) {
  auto& prompts = s.prompts();
  const bool trimming = how == Shaping::trim;
  s.console().print(trimming ? "\n当前设置:投影=UCS，边=无\n选择剪切边..." : "\n当前设置:投影=UCS，边=无\n选择边界的边...");
  auto edges = s.selectObjects();  // Enter at once: every entity
  if (!edges) return;
  const std::string prompt = trimming
      ? "\n选择要修剪的对象，或按住 Shift 键选择要延伸的对象，或 [栏选(F)/窗交(C)/放弃(U)]: "
      : "\n选择要延伸的对象，或按住 Shift 键选择要修剪的对象，或 [栏选(F)/窗交(C)/放弃(U)]: ";
  std::vector<Change> done;
  for (;;) {
    prompts.initGet(0, "Fence Crossing Undo");
    Point3 p;
    const Status st = prompts.getPickPoint(prompt, p);
    if (st == Status::None || st == Status::Cancel || st == Status::Error) return;
    Change change;
    if (st == Status::Normal) {
      // A pick with Shift held (in the window) does the other command's work.
      const Shaping act = !prompts.lastPointShifted() ? how : trimming ? Shaping::extend : Shaping::trim;
      const db::ObjectId id = entityAt(s, p);
      if (id) shapeOne(s, act, id, xy(p), *edges, change);
    } else if (prompts.lastKeyword() == "Undo") {
      if (done.empty()) {
        s.console().print("\n没有可以放弃的修改。");
        continue;
      }
      takeBack(s.database(), done.back());
      done.pop_back();
      continue;
    } else if (prompts.lastKeyword() == "Fence") {
      std::vector<Vec2> fence;
      Point3 q;
      if (prompts.getPoint("\n指定第一个栏选点: ", std::nullopt, q) != Status::Normal) return;
      fence.push_back(xy(q));
      for (;;) {
        const Status next = prompts.getPoint("\n指定下一个栏选点: ", q, q);
        if (next == Status::Cancel) return;
        if (next != Status::Normal) break;
        fence.push_back(xy(q));
      }
      for (const auto& [id, at] : fenceCrossings(s, fence)) shapeOne(s, how, id, at, *edges, change);
    } else {  // Crossing
      Point3 a, b;
      if (prompts.getSelectionPoint("\n指定第一个角点: ", a) != Status::Normal ||
          prompts.getCorner("\n指定对角点: ", a, b) != Status::Normal)
        return;
      const core::Box2 box = core::Box2::of(xy(a), xy(b));
      for (db::ObjectId id : s.index().crossing(box)) {
        for (const Piece& piece : core::piecesOf(s.database(), id)) {
          if (!core::meets(piece, box)) continue;
          shapeOne(s, how, id, core::nearestOn(piece, box.center()), *edges, change);
          break;
        }
      }
    }
    if (!change.before.empty() || !change.added.empty()) done.push_back(std::move(change));
  }
}

// ---- FILLET and CHAMFER

// The span of an entity picked at `pick` that a fillet or chamfer may move the end of: a
// line, an arc, a circle (left whole) or the first or last segment of an open polyline.
struct Picked {
  db::ObjectId id;
  Vec2 pick;
  Path path;
  std::size_t span = 0;  // of path
};

std::optional<Picked> pickForCorner(Session& s, std::string_view prompt) {
  Point3 p;
  if (s.prompts().getPickPoint(prompt, p) != Status::Normal) return std::nullopt;
  Picked picked{entityAt(s, p), xy(p), {}, 0};
  if (!picked.id) return pickForCorner(s, prompt);
  auto path = pathOfEntity(s, picked.id, "圆角");
  if (!path) return pickForCorner(s, prompt);
  picked.path = std::move(*path);
  const double at = core::positionOf(picked.path, picked.pick);
  picked.span = std::min(static_cast<std::size_t>(at), picked.path.spans.size() - 1);
  return picked;
}

// The entity's geometry with its picked span trimmed or extended to `to`.
db::Geometry movedTo(const db::Database& d, const Picked& p, Vec2 to) {
  const db::Geometry& original = d.entity(p.id)->geometry;
  Path path = p.path;
  const std::size_t last = path.spans.size() - 1;
  if (last == 0) {
    path.spans[0] = core::keptTo(path.spans[0], to, p.pick);
  } else {
    path = core::withEndAt(path, p.span == last, to);
  }
  return core::geometryOf(path, original);
}

// Why two picks cannot make a corner; empty when they can.
std::string cornerRefusal(const db::Database& d, const Picked& a, const Picked& b) {
  for (const Picked* p : {&a, &b}) {
    if (!std::holds_alternative<db::Polyline>(d.entity(p->id)->geometry)) continue;
    const std::size_t last = p->path.spans.size() - 1;
    if (p->path.closed || (p->span != 0 && p->span != last)) return "多段线只能在首末线段上与其他对象相接";
  }
  return {};
}

// Fillets two segments of one polyline that meet at a vertex.
void filletOwnCorner(Session& s, const Picked& a, const Picked& b, double radius) {
  const std::size_t n = a.path.spans.size();
  const std::size_t i = std::min(a.span, b.span), j = std::max(a.span, b.span);
  std::optional<std::size_t> vertex;
  if (j == i + 1) vertex = j;
  else if (a.path.closed && i == 0 && j == n - 1) vertex = 0;
  if (!vertex) {
    s.console().print("\n只能对多段线相邻的两段圆角。");
    return;
  }
  db::Polyline poly = std::get<db::Polyline>(s.database().entity(a.id)->geometry);
  if (radius == 0) return;  // already a sharp corner
  if (core::filletCorners(poly, radius, vertex) == 0) {
    s.console().print("\n圆角半径太大，或这两段不都是直线。");
    return;
  }
  Change change;
  reshape(s, a.id, std::move(poly), change);
}

void fillet(Session& s) {
  double& filletRadius = s.memory().filletRadius;
  auto& prompts = s.prompts();
  db::Database& d = s.database();
  s.console().print("\n当前设置: 模式 = 修剪，半径 = " + fixed4(filletRadius));
  std::optional<Picked> first;
  while (!first) {
    prompts.initGet(0, "Polyline Radius");
    Point3 p;
    const Status st = prompts.getPickPoint("\n选择第一个对象或 [多段线(P)/半径(R)]: ", p);
    if (st == Status::Keyword && prompts.lastKeyword() == "Radius") {
      double r = 0;
      const Status rs = askDistance(s, "\n指定圆角半径 <" + fixed4(filletRadius) + ">: ", "", r);
      if (rs == Status::Cancel) return;
      if (rs == Status::Normal) filletRadius = r;
      continue;
    }
    if (st == Status::Keyword) {  // Polyline
      Point3 q;
      if (prompts.getPickPoint("\n选择二维多段线: ", q) != Status::Normal) return;
      const db::ObjectId id = entityAt(s, q);
      if (!id) continue;
      const auto* poly = std::get_if<db::Polyline>(&d.entity(id)->geometry);
      if (!poly) {
        s.console().print("\n所选对象不是多段线。");
        continue;
      }
      db::Polyline rounded = *poly;
      const std::size_t count = core::filletCorners(rounded, filletRadius);
      Change change;
      if (count > 0) reshape(s, id, std::move(rounded), change);
      s.console().print("\n" + std::to_string(count) + " 条直线已被圆角");
      return;
    }
    if (st != Status::Normal) return;
    const db::ObjectId id = entityAt(s, p);
    if (!id) continue;
    auto path = pathOfEntity(s, id, "圆角");
    if (!path) continue;
    first = Picked{id, xy(p), std::move(*path), 0};
    first->span = std::min(static_cast<std::size_t>(core::positionOf(first->path, first->pick)), first->path.spans.size() - 1);
  }
  const auto second = pickForCorner(s, "\n选择第二个对象: ");
  if (!second) return;
  if (second->id == first->id) {
    if (std::holds_alternative<db::Polyline>(d.entity(first->id)->geometry)) filletOwnCorner(s, *first, *second, filletRadius);
    else s.console().print("\n不能对一个对象自身圆角。");
    return;
  }
  if (const std::string why = cornerRefusal(d, *first, *second); !why.empty()) {
    s.console().print("\n无法圆角：" + why + "。");
    return;
  }
  const Span& a = first->path.spans[first->span];
  const Span& b = second->path.spans[second->span];
  const auto f = core::filletBetween(a, first->pick, b, second->pick, filletRadius);
  if (!f) {
    s.console().print(filletRadius == 0 ? "\n无法圆角：两个对象不相交，延伸后也不相交。"
                                        : "\n无法圆角：半径太大，或两个对象平行。");
    return;
  }
  Change change;
  const bool isCircle1 = std::holds_alternative<db::Circle>(d.entity(first->id)->geometry);
  const bool isCircle2 = std::holds_alternative<db::Circle>(d.entity(second->id)->geometry);
  if (!isCircle1 && !reshape(s, first->id, movedTo(d, *first, f->first), change)) return;
  if (!isCircle2 && !reshape(s, second->id, movedTo(d, *second, f->second), change)) return;
  if (f->radius > 0) add(s, core::filletArc(*f, 0), db::ObjectId{}, change);
}

void chamfer(Session& s) {
  double& first = s.memory().chamferFirst;
  double& second = s.memory().chamferSecond;
  auto& prompts = s.prompts();
  db::Database& d = s.database();
  s.console().print("\n(\"修剪\"模式) 当前倒角距离 1 = " + fixed4(first) + "，距离 2 = " + fixed4(second));
  std::optional<Picked> one;
  while (!one) {
    prompts.initGet(0, "Distance");
    Point3 p;
    const Status st = prompts.getPickPoint("\n选择第一条直线或 [距离(D)]: ", p);
    if (st == Status::Keyword) {
      double d1 = 0, d2 = 0;
      Status ds = askDistance(s, "\n指定第一个倒角距离 <" + fixed4(first) + ">: ", "", d1);
      if (ds == Status::Cancel) return;
      if (ds == Status::None) d1 = first;
      ds = askDistance(s, "\n指定第二个倒角距离 <" + fixed4(d1) + ">: ", "", d2);
      if (ds == Status::Cancel) return;
      if (ds == Status::None) d2 = d1;
      first = d1;
      second = d2;
      continue;
    }
    if (st != Status::Normal) return;
    const db::ObjectId id = entityAt(s, p);
    if (!id) continue;
    if (!std::holds_alternative<db::Line>(d.entity(id)->geometry)) {
      s.console().print("\n只能对直线倒角。");
      continue;
    }
    one = Picked{id, xy(p), *core::pathOf(d.entity(id)->geometry), 0};
  }
  std::optional<Picked> two;
  while (!two) {
    Point3 p;
    if (prompts.getPickPoint("\n选择第二条直线: ", p) != Status::Normal) return;
    const db::ObjectId id = entityAt(s, p);
    if (!id) continue;
    if (!std::holds_alternative<db::Line>(d.entity(id)->geometry) || id == one->id) {
      s.console().print(id == one->id ? "\n不能对一条直线自身倒角。" : "\n只能对直线倒角。");
      continue;
    }
    two = Picked{id, xy(p), *core::pathOf(d.entity(id)->geometry), 0};
  }
  const auto points = core::chamferBetween(one->path.spans[0], one->pick, two->path.spans[0], two->pick, first, second);
  if (!points) {
    s.console().print("\n直线平行，无法倒角。");
    return;
  }
  Change change;
  if (!reshape(s, one->id, movedTo(d, *one, points->first), change) ||
      !reshape(s, two->id, movedTo(d, *two, points->second), change))
    return;
  if (points->first != points->second) {
    const double z = std::get<db::Line>(d.entity(one->id)->geometry).start.z;
    add(s, db::Line{{points->first.x, points->first.y, z}, {points->second.x, points->second.y, z}}, db::ObjectId{}, change);
  }
}

}  // namespace

std::vector<Session::HostCommand> modifyCommands() {
  std::vector<Session::HostCommand> commands = {
      {.name = "OFFSET", .description = "按距离或通过一点生成直线、圆弧、圆或多段线的平行副本", .run = offset,
       .undoable = true, .aliases = {"O"},
       .help = "指定偏移距离（数值，或两点之间的距离；T 为通过一点），然后反复选择对象并指定要偏移的一侧，直到回车。"
               "圆弧和圆同心偏移；多段线整条偏移，保留凸度，相邻线段在交点处相接。副本保留源对象的图层、颜色和线型。",
       .menu = {"修改", "偏移", true}},
      {.name = "TRIM", .description = "以剪切边修剪对象的一部分", .run = [](Session& s) { trimOrExtend(s, Shaping::trim); },
       .undoable = true, .aliases = {"TR"},
       .help = "选择剪切边（直接回车：全部对象都是剪切边），然后逐个点取对象上要剪去的部分，直到回车。"
               "F 以栏选线、C 以窗交框一次修剪多个对象，U 放弃上一次修剪。圆弧修剪后圆心和半径不变；圆修剪后成为圆弧。"
               "在窗口中按住 Shift 点取对象则把它延伸到这些边。",
       .menu = {"修改", "修剪", true}},
      {.name = "EXTEND", .description = "把对象延伸到边界边", .run = [](Session& s) { trimOrExtend(s, Shaping::extend); },
       .undoable = true, .aliases = {"EX"},
       .help = "选择边界的边（直接回车：全部对象），然后在要延伸的一端附近点取直线、圆弧或开放多段线，"
               "该端延伸到最近的边界上，直到回车。F 栏选、C 窗交一次延伸多个对象，U 放弃上一次延伸。"
               "在窗口中按住 Shift 点取对象则以这些边修剪它。",
       .menu = {"修改", "延伸", true}},
      {.name = "FILLET", .description = "用与两个对象相切的圆弧连接它们", .run = fillet, .undoable = true,
       .aliases = {"F"},
       .help = "R 指定圆角半径；然后选择两条直线、圆弧或多段线线段，它们被修剪或延伸到与之相切的圆弧，"
               "半径为 0 时相交成尖角。P 对一条多段线的每个直线角圆角。",
       .menu = {"修改", "圆角", true}},
      {.name = "CHAMFER", .description = "在两条直线之间倒一条斜角", .run = chamfer, .undoable = true,
       .aliases = {"CHA"},
       .help = "D 指定两个倒角距离；然后选择两条直线，它们在距交点各自距离处被修剪或延伸，并用一条直线连接。距离都为 0 时相交成尖角。",
       .menu = {"修改", "倒角", true}},
  };
  for (auto* more : {modifyMoreCommands, propertyCommands, lineweightCommands})
    for (auto& c : more()) commands.push_back(std::move(c));
  return commands;
}

}  // namespace orv::app
