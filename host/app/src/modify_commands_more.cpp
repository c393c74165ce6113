// The reshaping commands that break, stretch, repeat, join and lengthen: BREAK, STRETCH,
// ARRAY, JOIN and LENGTHEN, each one step of UNDO.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "modify_commands.h"
#include "orv/core/dimension_block.h"
#include "orv/core/editor.h"
#include "orv/core/path_edits.h"
#include "orv/core/shapes.h"

namespace orv::app {

namespace {

using namespace modify;
using core::Path;

Vec2 xy(const Point3& p) { return {p.x, p.y}; }

// An entity picked at a point prompt, asked again after a miss; null on Enter or a cancel.
db::ObjectId pickEntity(Session& s, std::string_view prompt, Point3& at) {
  for (;;) {
    if (s.prompts().getPickPoint(prompt, at) != Status::Normal) return {};
    if (const db::ObjectId id = entityAt(s, at)) return id;
  }
}

// Gives an entity the first of `parts` and adds the rest beside it with its properties;
// no parts erases it.
void replaceWithParts(Session& s, db::ObjectId id, const std::vector<Path>& parts, Change& change) {
  db::Database& d = s.database();
  const db::Entity original = *d.entity(id);
  if (parts.empty()) {
    change.before.emplace_back(id, original);
    d.erase(id);
    return;
  }
  if (!reshape(s, id, core::geometryOf(parts.front(), original.geometry), change)) return;
  for (std::size_t i = 1; i < parts.size(); ++i) add(s, core::geometryOf(parts[i], original.geometry), id, change);
}

// ---- BREAK

void breakAt(Session& s) {
  auto& prompts = s.prompts();
  Point3 first;
  const db::ObjectId id = pickEntity(s, "\n选择对象: ", first);
  if (!id) return;
  const auto path = pathOfEntity(s, id, "打断");
  if (!path) return;
  prompts.setLastPoint(first);  // "@": the second point where the first is
  const db::Entity original = *s.database().entity(id);
  Point3 second;
  Status st;
  {
    Session::PreviewScope preview(s, [&](const Point3& cursor) {
      std::vector<db::Entity> shown;
      for (const Path& part : core::breakPath(*path, core::positionOf(*path, xy(first)), core::positionOf(*path, xy(cursor)))) {
        db::Entity e = original;
        e.geometry = core::geometryOf(part, original.geometry);
        shown.push_back(std::move(e));
      }
      return shown;
    });
    prompts.initGet(0, "First");
    st = prompts.getPoint("\n指定第二个打断点 或 [第一点(F)]: ", std::nullopt, second);
    if (st == Status::Keyword) {
      if (prompts.getPoint("\n指定第一个打断点: ", std::nullopt, first) != Status::Normal) return;
      st = prompts.getPoint("\n指定第二个打断点: ", std::nullopt, second);
    }
  }
  if (st != Status::Normal) return;
  const double a = core::positionOf(*path, xy(first)), b = core::positionOf(*path, xy(second));
  if (path->closed && a == b) {
    s.console().print("\n闭合的对象不能在一点打断。");
    return;
  }
  Change change;
  replaceWithParts(s, id, core::breakPath(*path, a, b), change);
}

// ---- STRETCH

void stretch(Session& s) {
  auto& prompts = s.prompts();
  s.console().print("\n以交叉窗口选择要拉伸的对象...");
  Point3 a, b;
  if (prompts.getSelectionPoint("\n指定第一个角点: ", a) != Status::Normal ||
      prompts.getCorner("\n指定对角点: ", a, b) != Status::Normal)
    return;
  const core::Box2 box = core::Box2::of(xy(a), xy(b));
  const std::vector<db::ObjectId> found = s.index().crossing(box);
  s.console().print("\n找到 " + std::to_string(found.size()) + " 个");
  if (found.empty()) return;
  db::Database& d = s.database();
  // What each entity becomes: moved whole when wholly inside, else its vertices inside moved.
  auto stretchedBy = [&](db::ObjectId id, Vec2 by) -> std::optional<db::Geometry> {
    const db::Entity& e = *d.entity(id);
    if (const auto* c = std::get_if<db::Circle>(&e.geometry)) {
      if (!box.contains(Vec2{c->center.x, c->center.y})) return std::nullopt;
      db::Circle moved = *c;
      moved.center.x += by.x;
      moved.center.y += by.y;
      return moved;
    }
    if (const auto* dim = e.as<db::Dimension>()) {
      auto moved = core::stretchedDimension(*dim, box, by);
      return moved ? std::optional<db::Geometry>(db::Boxed<db::Dimension>(std::move(*moved))) : std::nullopt;
    }
    const auto path = core::pathOf(e.geometry);
    if (!path) return std::nullopt;
    return core::geometryOf(core::stretched(*path, box, by), e.geometry);
  };
  Point3 base, to;
  if (prompts.getPoint("\n指定基点: ", std::nullopt, base) != Status::Normal) return;
  {
    Session::PreviewScope preview(s, [&](const Point3& cursor) {
      std::vector<db::Entity> shown;
      for (db::ObjectId id : found) {
        if (auto g = stretchedBy(id, xy(cursor) - xy(base))) {
          db::Entity e = *d.entity(id);
          e.geometry = std::move(*g);
          shown.push_back(std::move(e));
        }
      }
      return shown;
    });
    if (prompts.getPoint("\n指定第二个点: ", base, to) != Status::Normal) return;
  }
  const Vec2 by = xy(to) - xy(base);
  core::SelectionSet whole;
  Change change;
  for (db::ObjectId id : found) {
    if (box.contains(s.index().groupBox(id))) {
      whole.add(id);
      continue;
    }
    if (auto g = stretchedBy(id, by)) {
      reshape(s, id, std::move(*g), change);
      core::renewPicture(d, id);  // a dimension's measurement follows
    }
  }
  if (!whole.empty()) {
    const auto report = core::Editor(d, s.index()).transform(whole, core::Affine2::translation(by, to.z - base.z));
    if (const std::string m = report.refusalMessage("拉伸"); !m.empty()) s.console().print(m);
  }
}

// ---- ARRAY

constexpr int kMostItems = 100000;

core::Box2 selectionBox(Session& s, const core::SelectionSet& set) {
  core::Box2 box;
  for (db::ObjectId id : set.ids()) box.add(s.index().groupBox(id));
  return box;
}

void copyUnder(Session& s, const core::SelectionSet& set, const core::Affine2& map) {
  const auto report = core::Editor(s.database(), s.index()).copy(set, map);
  if (const std::string m = report.refusalMessage("阵列"); !m.empty()) s.console().print(m);
}

// A whole number of at least `least`; Enter gives `otherwise`.
std::optional<int> askCount(Session& s, const std::string& prompt, int least, std::optional<int> otherwise) {
  for (;;) {
    s.prompts().initGet(prompt::kNoZero | prompt::kNoNegative | (otherwise ? 0 : prompt::kNoNull), "");
    int n = 0;
    const Status st = s.prompts().getInt(prompt, n);
    if (st == Status::None && otherwise) return otherwise;
    if (st != Status::Normal) return std::nullopt;
    if (n >= least) return n;
    s.console().print("\n需要至少 " + std::to_string(least) + " 的整数。");
  }
}

std::optional<double> askSpacing(Session& s, const std::string& prompt) {
  s.prompts().initGet(prompt::kNoZero | prompt::kNoNull, "");
  double v = 0;
  if (s.prompts().getReal(prompt, v) != Status::Normal) return std::nullopt;
  return v;
}

void array(Session& s) {
  auto& prompts = s.prompts();
  auto set = s.selectObjects();
  if (!set || set->empty()) return;
  prompts.initGet(0, "Rectangular POlar");
  const Status kind = prompts.getKeyword("\n输入阵列类型 [矩形(R)/环形(PO)] <R>: ");
  if (kind == Status::Cancel) return;
  if (kind != Status::Keyword || prompts.lastKeyword() == "Rectangular") {
    const auto rows = askCount(s, "\n输入行数 (---) <1>: ", 1, 1);
    if (!rows) return;
    const auto columns = askCount(s, "\n输入列数 (|||) <1>: ", 1, 1);
    if (!columns) return;
    if (*rows * *columns == 1) {
      s.console().print("\n只有一个项目，没有可阵列的。");
      return;
    }
    if (static_cast<long>(*rows) * *columns > kMostItems) {
      s.console().print("\n阵列的项目太多（最多 " + std::to_string(kMostItems) + " 个）。");
      return;
    }
    double dy = 0, dx = 0;
    if (*rows > 1) {
      const auto v = askSpacing(s, "\n输入行间距 (---): ");
      if (!v) return;
      dy = *v;
    }
    if (*columns > 1) {
      const auto v = askSpacing(s, "\n指定列间距 (|||): ");
      if (!v) return;
      dx = *v;
    }
    for (int r = 0; r < *rows; ++r)
      for (int c = 0; c < *columns; ++c)
        if (r != 0 || c != 0) copyUnder(s, *set, core::Affine2::translation({c * dx, r * dy}));
    return;
  }
  Point3 center;
  if (prompts.getPoint("\n指定阵列的中心点: ", std::nullopt, center) != Status::Normal) return;
  const auto items = askCount(s, "\n输入阵列中项目的数目: ", 2, std::nullopt);
  if (!items) return;
  if (*items > kMostItems) {
    s.console().print("\n阵列的项目太多（最多 " + std::to_string(kMostItems) + " 个）。");
    return;
  }
  double fill = 360;
  prompts.initGet(prompt::kNoZero, "");
  const Status st = prompts.getReal("\n指定填充角度 (+=逆时针, -=顺时针) <360>: ", fill);
  if (st == Status::Cancel) return;
  if (st != Status::Normal) fill = 360;
  prompts.initGet(0, "Yes No");
  const Status turn = prompts.getKeyword("\n是否旋转阵列中的对象？[是(Y)/否(N)] <Y>: ");
  if (turn == Status::Cancel) return;
  const bool rotate = !(turn == Status::Keyword && prompts.lastKeyword() == "No");
  const double step = std::abs(fill) >= 360 ? fill / *items : fill / (*items - 1);
  const Vec2 c = xy(center), reference = selectionBox(s, *set).center();
  for (int k = 1; k < *items; ++k) {
    const auto turned = core::Affine2::rotation(c, k * step);
    copyUnder(s, *set, rotate ? turned : core::Affine2::translation(turned.apply(reference) - reference));
  }
}

// ---- JOIN

void join(Session& s) {
  auto set = s.selectObjects();
  if (!set || set->empty()) return;
  db::Database& d = s.database();
  struct Piece {
    db::ObjectId id;
    Path path;
    bool used = false;
  };
  std::vector<Piece> pieces;
  double scale = 1;
  for (db::ObjectId id : set->ids()) {
    auto path = core::pathOf(d.entity(id)->geometry);
    if (!path || path->closed) continue;
    for (const auto& span : path->spans) scale = std::max({scale, std::abs(span.a.x), std::abs(span.a.y)});
    pieces.push_back({id, std::move(*path)});
  }
  const double tolerance = 1e-9 * scale;
  Change change;
  std::size_t joined = 0, made = 0;
  for (std::size_t first = 0; first < pieces.size(); ++first) {
    if (pieces[first].used) continue;
    Path chain = pieces[first].path;
    std::vector<std::size_t> members = {first};
    for (bool grew = true; grew && !chain.closed;) {
      grew = false;
      for (std::size_t i = first + 1; i < pieces.size(); ++i) {
        if (pieces[i].used || std::find(members.begin(), members.end(), i) != members.end()) continue;
        if (core::joinPath(chain, pieces[i].path, tolerance)) {
          members.push_back(i);
          grew = true;
        }
      }
    }
    if (members.size() < 2) continue;
    for (std::size_t m : members) pieces[m].used = true;
    if (!reshape(s, pieces[first].id, core::geometryOf(chain, db::Polyline{}), change)) continue;
    for (std::size_t k = 1; k < members.size(); ++k) {
      const db::ObjectId id = pieces[members[k]].id;
      change.before.emplace_back(id, *d.entity(id));
      d.erase(id);
    }
    joined += members.size();
    ++made;
  }
  if (made == 0) {
    s.console().print("\n没有首尾相接的直线、圆弧或多段线可以合并。");
    return;
  }
  s.console().print("\n已将 " + std::to_string(joined) + " 个对象合并为 " + std::to_string(made) + " 条多段线。");
  if (set->size() > joined) s.console().print("\n" + std::to_string(set->size() - joined) + " 个对象未合并。");
}

// ---- LENGTHEN

void lengthen(Session& s) {
  bool& total = s.memory().lengthenTotal;
  double& delta = s.memory().lengthenDelta;
  double& totalLength = s.memory().lengthenTotalLength;
  auto& prompts = s.prompts();
  db::Database& d = s.database();
  for (bool chosen = false; !chosen;) {
    prompts.initGet(0, "DElta Total");
    Point3 p;
    const Status st = prompts.getPickPoint("\n选择要测量的对象或 [增量(DE)/全部(T)]: ", p);
    if (st == Status::Normal) {
      if (const db::ObjectId id = entityAt(s, p))
        if (const auto path = pathOfEntity(s, id, "测量")) s.console().print("\n当前长度: " + fixed4(core::pathLength(*path)));
      continue;
    }
    if (st != Status::Keyword) return;
    if (prompts.lastKeyword() == "DElta") {
      double v = delta;
      const Status vs = prompts.getReal("\n输入长度增量 <" + fixed4(delta) + ">: ", v);
      if (vs == Status::Cancel) return;
      if (vs == Status::Normal) delta = v;
      total = false;
    } else {
      double v = totalLength;
      const Status vs = askDistance(s, "\n指定总长度 <" + fixed4(totalLength) + ">: ", "", v);
      if (vs == Status::Cancel) return;
      if (vs == Status::Normal) {
        if (v == 0) {
          s.console().print(prompt::refusal::kZero);
          continue;
        }
        totalLength = v;
      }
      total = true;
    }
    chosen = true;
  }
  std::vector<Change> done;
  for (;;) {
    prompts.initGet(0, "Undo");
    Point3 p;
    const Status st = prompts.getPickPoint("\n选择要修改的对象或 [放弃(U)]: ", p);
    if (st == Status::Keyword) {
      if (done.empty()) s.console().print("\n没有可以放弃的修改。");
      else {
        takeBack(d, done.back());
        done.pop_back();
      }
      continue;
    }
    if (st != Status::Normal) return;
    const db::ObjectId id = entityAt(s, p);
    if (!id) continue;
    const auto path = pathOfEntity(s, id, "拉长");
    if (!path) continue;
    if (path->closed) {
      s.console().print("\n闭合的对象不能拉长。");
      continue;
    }
    const double by = total ? totalLength - core::pathLength(*path) : delta;
    const auto longer = core::lengthened(*path, core::pickedNearEnd(*path, xy(p)), by);
    if (!longer) {
      s.console().print("\n无法按此长度修改该对象：端部线段会消失或圆弧会闭合。");
      continue;
    }
    Change change;
    if (reshape(s, id, core::geometryOf(*longer, d.entity(id)->geometry), change)) done.push_back(std::move(change));
  }
}

}  // namespace

std::vector<Session::HostCommand> modifyMoreCommands() {
  return {
      {.name = "BREAK", .description = "在两点之间打断对象，或在一点把它分成两段", .run = breakAt, .undoable = true,
       .aliases = {"BR"},
       .help = "点取直线、圆弧、圆或多段线（点取处就是第一个打断点；F 另外指定第一点），再指定第二个打断点："
               "两点之间的部分被删去。第二点回答 @ 则在第一点处分成两段。圆和闭合多段线删去从第一点沿逆时针（沿其方向）到第二点的部分。",
       .menu = {"修改", "打断", true}},
      {.name = "STRETCH", .description = "移动窗交框内的顶点，拉伸与框相交的对象", .run = stretch, .undoable = true,
       .aliases = {"S"},
       .help = "以窗交框的两个角点选择对象，再指定基点和第二点：框内的直线端点、圆弧端点和多段线顶点按两点之差移动，"
               "框外的部分不动；全在框内的对象和圆心在框内的圆整个移动。",
       .menu = {"修改", "拉伸", true}},
      {.name = "ARRAY", .description = "按行列或绕中心复制选中的对象", .run = array, .undoable = true,
       .aliases = {"AR"},
       .help = "选择对象，再选阵列类型：R 矩形阵列依次询问行数、列数、行间距和列间距（负值向下或向左）；"
               "PO 环形阵列询问中心点、项目数、填充角度（默认 360，负值顺时针）以及复制时是否旋转对象。",
       .menu = {"修改", "阵列", true}},
      {.name = "JOIN", .description = "把首尾相接的直线、圆弧和多段线合并为一条多段线", .run = join, .undoable = true,
       .aliases = {"J"},
       .help = "选择对象后回车：首尾相接的直线、圆弧和开放多段线合并为一条多段线（首尾闭合时成为闭合多段线），保留圆弧的凸度；"
               "不相接的对象保持不变。",
       .menu = {"修改", "合并", true}},
      {.name = "LENGTHEN", .description = "按增量或总长度改变直线、圆弧和开放多段线的长度", .run = lengthen,
       .undoable = true, .aliases = {"LEN"},
       .help = "点取对象显示其当前长度；DE 指定长度增量（负值缩短），T 指定总长度，然后逐个点取要修改的对象，"
               "靠近点取处的一端被拉长或缩短，直到回车。U 放弃上一次修改。",
       .menu = {"修改", "拉长", false}},
  };
}

}  // namespace orv::app
