// GRIPEDIT: a selection edited by one of its grips, as the window does it when a grip
// is clicked (the grip's point, then where it goes, Enter cycling 拉伸, 移动, 旋转,
// 缩放 and 镜像), one step of UNDO; the selection keeps its grips afterwards.
#include <array>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "orv/core/dimension_block.h"
#include "orv/core/editor.h"
#include "orv/core/grips.h"
#include "orv/prompt/reply_parser.h"
#include "session.h"

namespace orv::app {

namespace {

using prompt::Point3;
using prompt::Status;

core::Vec2 xy(const Point3& p) { return {p.x, p.y}; }

struct HeldGrip {
  db::ObjectId owner;
  core::Grip grip;
};

// The grip of the selection nearest to `at` within `within`, looked for among the
// entities near it first.
std::optional<HeldGrip> gripAt(Session& s, const core::SelectionSet& set, core::Vec2 at, double within) {
  std::optional<HeldGrip> best;
  double bestDistance = std::numeric_limits<double>::infinity();
  auto consider = [&](db::ObjectId id) {
    const db::Entity* e = s.database().entity(id);
    if (!e || e->isErased() || !set.contains(id)) return;
    for (const core::Grip& g : core::gripPoints(s.database(), *e)) {
      const double d = core::distance(g.point, at);
      if (d <= within && d < bestDistance) {
        bestDistance = d;
        best = HeldGrip{id, g};
      }
    }
  };
  for (db::ObjectId id : s.index().query(core::Box2::of(at, at).inflated(within))) consider(id);
  if (!best)
    for (db::ObjectId id : set.ids()) consider(id);
  return best;
}

enum Mode { kStretch, kMove, kRotate, kScale, kMirror, kModes };
constexpr std::array<const char*, kModes> kPrompts = {
    "\n** 拉伸 **\n指定拉伸点: ", "\n** 移动 **\n指定移动点: ", "\n** 旋转 **\n指定旋转角度: ",
    "\n** 缩放 **\n指定比例因子: ", "\n** 镜像 **\n指定第二点: "};

// The map a mode makes of the grip's point and the point (or number) given.
std::optional<core::Affine2> mapFor(Mode mode, core::Vec2 base, core::Vec2 to, std::optional<double> number) {
  switch (mode) {
    case kMove: return core::Affine2::translation(to - base);
    case kRotate: {
      if (!number && to == base) return std::nullopt;
      return core::Affine2::rotation(base, number ? *number : core::degreesOf(to - base));
    }
    case kScale: {
      const double factor = number ? *number : core::distance(base, to);
      if (!(factor > 0.0) || !std::isfinite(factor)) return std::nullopt;
      return core::Affine2::scaling(base, factor);
    }
    case kMirror:
      if (to == base) return std::nullopt;
      return core::Affine2::mirror(base, to);
    default: return std::nullopt;
  }
}

// What stretching the held grip to `to` makes of its entity: the entity changed, or its
// group moved (a centre, a middle, an insertion point).
struct Stretched {
  std::optional<db::Entity> changed;
  std::optional<core::Affine2> moved;
};
Stretched stretch(Session& s, const HeldGrip& held, core::Vec2 to) {
  Stretched out;
  const db::Entity* e = s.database().entity(held.owner);
  if (!e) return out;
  auto result = core::moveGrip(*e, held.grip, to);
  if (auto* changed = std::get_if<db::Entity>(&result)) out.changed = std::move(*changed);
  if (auto* whole = std::get_if<core::MoveWhole>(&result)) out.moved = core::Affine2::translation(whole->by);
  return out;
}

void gripEdit(Session& s) {
  // Chosen before the command (the window's selection): it keeps its grips afterwards.
  const bool chosenBefore = !s.selector().current().empty();
  auto set = s.selectObjects();
  if (!set || set->empty()) return;
  auto keep = [&s, chosenBefore](const core::SelectionSet& chosen) {
    if (chosenBefore) s.selector().setCurrent(chosen);
  };
  auto& prompts = s.prompts();
  // The grip's point on the command's line ("GRIPEDIT 40,0", as the window gives it), or asked.
  Point3 at;
  if (!s.commandArgument().empty()) {
    const auto given = prompt::parsePoint(s.commandArgument(), Point3{});
    if (!given) {
      s.console().print("\n需要一个点。");
      keep(*set);
      return;
    }
    at = *given;
  } else if (prompts.getPoint("\n指定夹点: ", std::nullopt, at) != Status::Normal) {
    keep(*set);
    return;
  }
  const auto held = gripAt(s, *set, xy(at), s.pickDistance());
  if (!held) {
    s.console().print("\n那里没有夹点。");
    keep(*set);
    return;
  }
  const core::Vec2 base = held->grip.point;
  const Point3 base3{base.x, base.y, at.z};
  core::SelectionSet one;
  one.add(held->owner);
  for (int m = kStretch;; m = (m + 1) % kModes) {
    const Mode mode = static_cast<Mode>(m);
    const Session::PreviewScope preview(s, [&s, &set, &one, &held, mode, base](const Point3& c) {
      core::Editor editor(s.database(), s.index());
      if (mode != kStretch) {
        const auto map = mapFor(mode, base, xy(c), std::nullopt);
        return map ? editor.preview(*set, *map) : std::vector<db::Entity>{};
      }
      Stretched st = stretch(s, *held, xy(c));
      if (st.moved) return editor.preview(one, *st.moved);
      return st.changed ? std::vector<db::Entity>{std::move(*st.changed)} : std::vector<db::Entity>{};
    });
    // Rotation and scale also take a number.
    prompts.initGet(mode == kRotate || mode == kScale ? prompt::kOther : 0, "");
    Point3 to;
    const Status st = prompts.getPoint(kPrompts[m], base3, to);
    if (st == Status::None) continue;  // Enter or Space: the next mode
    if (st != Status::Normal && st != Status::Keyword) break;
    std::optional<double> number;
    if (st == Status::Keyword) {
      number = prompt::parseReal(prompts.lastKeyword().value_or(""));
      if (!number) {
        s.console().print("\n需要数值或点。");
        --m;
        continue;
      }
    }
    core::Editor editor(s.database(), s.index());
    core::EditReport report;
    if (mode == kStretch) {
      Stretched done = stretch(s, *held, xy(to));
      if (done.changed) {
        if (s.database().replace(held->owner, std::move(*done.changed)) != db::Status::ok)
          s.console().print("\n夹点不能移到那里。");
        else
          core::renewPicture(s.database(), held->owner);  // a dimension's measurement follows
      } else if (done.moved) {
        report = editor.transform(one, *done.moved);
      } else {
        s.console().print("\n夹点不能移到那里。");
      }
    } else if (const auto map = mapFor(mode, base, xy(to), number)) {
      report = editor.transform(*set, *map);
    } else {
      s.console().print("\n那样不能改变选择集。");
    }
    if (const std::string message = report.refusalMessage("编辑"); !message.empty())
      s.console().print(message);
    break;
  }
  // The selection keeps its grips.
  core::SelectionSet still;
  for (db::ObjectId id : set->ids())
    if (s.index().selectable(id)) still.add(id);
  keep(still);
}

}  // namespace

std::vector<Session::HostCommand> gripCommands() {
  return {
      {.name = "GRIPEDIT", .description = "用夹点编辑选中的对象（窗口中点取夹点时运行）", .run = gripEdit,
       .undoable = true, .takesArgument = true,
       .help = "选择对象（已选中的对象不再询问），指定一个夹点（也可以写在命令后，如 GRIPEDIT 40,0），再指定它移到的点：拉伸移动该点（直线端点、多段线顶点、"
               "圆的象限点改变半径、圆弧端点）；圆心、中点、插入点和文字位置移动整个对象。在点的提示下回车或空格依次切换"
               "拉伸、移动、旋转、缩放、镜像，后四种以夹点为基点作用于整个选择集。编辑完成后对象仍保持选中。"},
  };
}

}  // namespace orv::app
