// The editing commands: ERASE, MOVE, COPY, ROTATE, SCALE and MIRROR on a selection,
// each one step of UNDO.
#include <cmath>
#include <vector>

#include "orv/core/editor.h"
#include "session.h"

namespace orv::app {

namespace {

using prompt::Point3;
using prompt::Status;

core::Vec2 xy(const Point3& p) { return {p.x, p.y}; }

// The selection of an editing command; nullopt when there is nothing to work on.
std::optional<core::SelectionSet> selection(Session& s) {
  auto set = s.selectObjects();
  if (!set || set->empty()) return std::nullopt;
  return set;
}

bool askPoint(Session& s, std::string_view prompt, const std::optional<Point3>& base, Point3& out) {
  return s.prompts().getPoint(prompt, base, out) == Status::Normal;
}

void report(Session& s, const core::EditReport& r, std::string_view verb) {
  if (const std::string message = r.refusalMessage(verb); !message.empty()) s.console().print(message);
}

// The selection following the cursor: where the map for the cursor's point would put it
// (no map: nowhere yet).
template <class MapFor>
Session::DragPreview following(Session& s, const core::SelectionSet& set, MapFor mapFor) {
  return [&s, &set, mapFor](const Point3& cursor) -> std::vector<db::Entity> {
    const std::optional<core::Affine2> map = mapFor(cursor);
    if (!map) return {};
    return core::Editor(s.database(), s.index()).preview(set, *map);
  };
}

void erase(Session& s) {
  auto set = selection(s);
  if (!set) return;
  core::Editor(s.database(), s.index()).erase(*set);
}

void move(Session& s) {
  auto set = selection(s);
  if (!set) return;
  Point3 base, to;
  if (!askPoint(s, "\n指定基点: ", std::nullopt, base)) return;
  const Session::PreviewScope preview(s, following(s, *set, [&base](const Point3& c) {
    return std::optional(core::Affine2::translation(xy(c) - xy(base), c.z - base.z));
  }));
  if (!askPoint(s, "\n指定第二个点: ", base, to)) return;
  const auto map = core::Affine2::translation(xy(to) - xy(base), to.z - base.z);
  report(s, core::Editor(s.database(), s.index()).transform(*set, map), "移动");
}

void copy(Session& s) {
  auto set = selection(s);
  if (!set) return;
  Point3 base;
  if (!askPoint(s, "\n指定基点: ", std::nullopt, base)) return;
  const Session::PreviewScope preview(s, following(s, *set, [&base](const Point3& c) {
    return std::optional(core::Affine2::translation(xy(c) - xy(base), c.z - base.z));
  }));
  Point3 to;
  while (askPoint(s, "\n指定第二个点或 <退出>: ", base, to)) {
    const auto map = core::Affine2::translation(xy(to) - xy(base), to.z - base.z);
    report(s, core::Editor(s.database(), s.index()).copy(*set, map), "复制");
  }
}

void rotate(Session& s) {
  auto set = selection(s);
  if (!set) return;
  Point3 base;
  if (!askPoint(s, "\n指定基点: ", std::nullopt, base)) return;
  const Session::PreviewScope preview(s, following(s, *set, [&base](const Point3& c) -> std::optional<core::Affine2> {
    if (xy(c) == xy(base)) return std::nullopt;
    return core::Affine2::rotation(xy(base), core::degreesOf(xy(c) - xy(base)));
  }));
  double angle = 0;
  if (s.prompts().getAngle("\n指定旋转角度: ", base, angle) != Status::Normal) return;
  report(s, core::Editor(s.database(), s.index()).transform(*set, core::Affine2::rotation(xy(base), angle)),
         "旋转");
}

void scale(Session& s) {
  auto set = selection(s);
  if (!set) return;
  Point3 base;
  if (!askPoint(s, "\n指定基点: ", std::nullopt, base)) return;
  const Session::PreviewScope preview(s, following(s, *set, [&base](const Point3& c) -> std::optional<core::Affine2> {
    const double factor = core::length(xy(c) - xy(base));
    if (!(factor > 0.0)) return std::nullopt;
    return core::Affine2::scaling(xy(base), factor);
  }));
  double factor = 0;
  s.prompts().initGet(prompt::kNoZero | prompt::kNoNegative, "");
  if (s.prompts().getDist("\n指定比例因子: ", base, factor) != Status::Normal) return;
  auto map = core::Affine2::scaling(xy(base), factor);
  map.zs = factor;
  map.zt = base.z - factor * base.z;
  report(s, core::Editor(s.database(), s.index()).transform(*set, map), "缩放");
}

void mirror(Session& s) {
  auto set = selection(s);
  if (!set) return;
  Point3 first, second;
  if (!askPoint(s, "\n指定镜像线的第一点: ", std::nullopt, first)) return;
  const Session::PreviewScope preview(s, following(s, *set, [&first](const Point3& c) -> std::optional<core::Affine2> {
    if (xy(c) == xy(first)) return std::nullopt;
    return core::Affine2::mirror(xy(first), xy(c));
  }));
  for (;;) {
    if (!askPoint(s, "\n指定镜像线的第二点: ", first, second)) return;
    if (second.x != first.x || second.y != first.y) break;
    s.console().print("\n镜像线的两点不能重合。");
  }
  auto& prompts = s.prompts();
  prompts.initGet(0, "Yes No");
  const Status st = prompts.getKeyword("\n要删除源对象吗？[是(Y)/否(N)] <否>:");
  if (st == Status::Cancel) return;
  const bool eraseSource = st == Status::Keyword && prompts.lastKeyword() == "Yes";
  const auto map = core::Affine2::mirror(xy(first), xy(second));
  core::Editor editor(s.database(), s.index());
  report(s, eraseSource ? editor.transform(*set, map) : editor.copy(*set, map), "镜像");
}

}  // namespace

std::vector<Session::HostCommand> editCommands() {
  return {
      {.name = "ERASE", .description = "删除选中的对象", .run = erase, .undoable = true, .aliases = {"E"},
       .help = "选择对象后回车，删除选中的对象；块参照连同其属性一起删除。UNDO 或 U 可以恢复。",
       .menu = {"修改", "删除", true}},
      {.name = "MOVE", .description = "把选中的对象从基点移到第二点", .run = move, .undoable = true, .aliases = {"M"},
       .help = "选择对象，指定基点和第二点，按两点之差移动选中的对象。",
       .menu = {"修改", "移动", true}},
      {.name = "COPY", .description = "把选中的对象复制到一个或多个位置", .run = copy, .undoable = true, .aliases = {"CO", "CP"},
       .help = "选择对象，指定基点，然后逐个指定第二点：每个第二点按它与基点之差复制一份选中的对象，直到回车。块参照连同其属性一起复制。",
       .menu = {"修改", "复制", true}},
      {.name = "ROTATE", .description = "把选中的对象绕基点旋转", .run = rotate, .undoable = true, .aliases = {"RO"},
       .help = "选择对象，指定基点和旋转角度（度，逆时针为正；也可以点取一点，取基点到它的方向），绕基点旋转选中的对象。",
       .menu = {"修改", "旋转", true}},
      {.name = "SCALE", .description = "把选中的对象以基点为中心按比例缩放", .run = scale, .undoable = true, .aliases = {"SC"},
       .help = "选择对象，指定基点和比例因子（也可以点取一点，取它到基点的距离），以基点为中心缩放选中的对象。",
       .menu = {"修改", "缩放", true}},
      {.name = "MIRROR", .description = "以一条直线为镜像线镜像选中的对象，文字保持可读", .run = mirror, .undoable = true, .aliases = {"MI"},
       .help = "选择对象，指定镜像线上的两点，再回答是否删除源对象：否则保留源对象并生成镜像副本。文字和属性镜像后仍然可读。",
       .menu = {"修改", "镜像", true}},
  };
}

}  // namespace orv::app
