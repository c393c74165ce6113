// ELLIPSE and POINT: an ellipse from its axes, with the shape following the cursor while
// the second half axis is asked, and points one after another until Enter.
#include <optional>
#include <string_view>

#include "draw_commands.h"

namespace orv::app {

namespace {

using namespace drafting;
using shapes::Vec2;

db::Geometry ellipseOf(const shapes::EllipseShape& e, double z) {
  db::Ellipse el;
  el.center = {e.center.x, e.center.y, z};
  el.majorAxis = {e.majorAxis.x, e.majorAxis.y, 0};
  el.ratio = e.ratio;  // a full ellipse: the parameters keep their 0 to 2π
  return db::Boxed<db::Ellipse>(std::move(el));
}

// A point that must not fall on `from`: asked again, with `refusal`, until it does not.
std::optional<Point3> pointAwayFrom(Session& s, std::string_view prompt, const Point3& from,
                                    std::string_view refusal) {
  for (;;) {
    Point3 p;
    if (s.prompts().getPoint(prompt, from, p) != Status::Normal) return std::nullopt;
    if (xy(p) != xy(from)) return p;
    s.console().print(refusal);
  }
}

void ellipse(Session& s) {
  auto& prompts = s.prompts();
  prompts.initGet(0, "Center");
  Point3 first;
  const Status st = prompts.getPoint("\n指定椭圆的轴端点或 [中心点(C)]: ", std::nullopt, first);
  Point3 center;
  std::optional<Point3> axisEnd;
  if (st == Status::Keyword) {  // centre, one end of an axis
    if (prompts.getPoint("\n指定椭圆的中心点: ", std::nullopt, center) != Status::Normal) return;
    axisEnd = pointAwayFrom(s, "\n指定轴的端点: ", center, "\n轴的端点不能与中心点重合。");
  } else if (st == Status::Normal) {  // both ends of an axis
    axisEnd = pointAwayFrom(s, "\n指定轴的另一个端点: ", first, "\n轴的两个端点不能重合。");
  }
  if (!axisEnd) return;
  if (st == Status::Normal) {
    const Vec2 c = shapes::halfway(xy(first), xy(*axisEnd));
    center = {c.x, c.y, first.z};
  }
  const double z = center.z;
  Session::PreviewScope preview(s, [&](const Point3& cursor) {
    const auto e = shapes::ellipseOnAxis(xy(center), xy(*axisEnd), core::distance(xy(cursor), xy(center)));
    return e ? std::vector<db::Entity>{onCurrentLayer(s.database(), ellipseOf(*e, z))} : std::vector<db::Entity>{};
  });
  for (;;) {
    double half = 0;
    const Status hs =
        askDistance(s, "\n指定另一条半轴长度: ", center, "", prompt::kNoZero | prompt::kNoNegative, half);
    if (hs == Status::None) continue;
    if (hs != Status::Normal) return;
    if (const auto e = shapes::ellipseOnAxis(xy(center), xy(*axisEnd), half)) {
      addToDrawing(s, ellipseOf(*e, z));
      return;
    }
    s.console().print("\n两条半轴的长度相差太大，无法画椭圆。");
  }
}

void point(Session& s) {
  for (;;) {
    Point3 p;
    if (s.prompts().getPoint("\n指定点: ", std::nullopt, p) != Status::Normal) return;
    db::Point made;
    made.position = {p.x, p.y, p.z};
    addToDrawing(s, made);  // a point the drawing refuses is said so; the next is asked
  }
}

}  // namespace

std::vector<Session::HostCommand> ellipseAndPointCommands() {
  return {
      {.name = "ELLIPSE", .description = "画椭圆：一条轴的两个端点和另一条半轴长度，或中心点、轴端点和另一条半轴长度",
       .run = ellipse, .undoable = true, .aliases = {"EL"},
       .help = "指定一条轴的两个端点，再指定另一条半轴长度（数值，或点取一点取它到椭圆中心的距离）；"
               "或在第一个提示下 C 先指定中心点，再指定一条轴的端点和另一条半轴长度。"
               "另一条半轴较长时它就是长轴。结果是一个完整的椭圆。",
       .menu = {"绘图", "椭圆", true}},
      {.name = "POINT", .description = "画点：逐个指定点，回车结束", .run = point, .undoable = true,
       .aliases = {"PO"},
       .help = "逐个指定点，每个点是一个点对象，放在当前图层上，回车结束。整个命令是一步放弃。",
       .menu = {"绘图", "点", true}},
  };
}

}  // namespace orv::app
