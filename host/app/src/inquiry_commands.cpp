// The asking commands: LIST (what the selected entities are), ID (a point's
// coordinates) and DIST (between two points), in the drawing's units.
#include <cmath>
#include <vector>

#include "orv/core/shapes.h"
#include "orv/core/units.h"
#include "session.h"

namespace orv::app {

namespace {

using prompt::Point3;
using prompt::Status;

// Reading a kept entity's tags by code (outside application data).
struct KeptTags {
  const db::RawTags& tags;
  std::string_view text(int code) const {
    bool inGroup = false;
    for (db::RawTag t : tags) {
      if (t.code == 102) inGroup = !t.value.empty() && t.value.front() == '{';
      if (!inGroup && t.code == code) return t.value;
    }
    return {};
  }
  std::optional<double> number(int code) const {
    const std::string_view v = text(code);
    if (v.empty()) return std::nullopt;
    try {
      std::size_t used = 0;
      const double d = std::stod(std::string(v), &used);
      return std::isfinite(d) ? std::optional<double>(d) : std::nullopt;
    } catch (...) {
      return std::nullopt;
    }
  }
};

class Lister {
 public:
  Lister(Session& s) : s_(s), d_(s.database()), u_(core::unitsOf(d_)) {}

  std::string len(double v) const { return core::formatLength(u_, v); }
  std::string ang(double degrees) const { return core::formatAngle(u_, degrees); }
  std::string point(double x, double y, double z) const {
    return "X = " + len(x) + "  Y = " + len(y) + "  Z = " + len(z);
  }
  void line(const std::string& text) { s_.console().print("\n" + text); }

  static std::string colour(std::int16_t c) {
    static const char* kNames[] = {"随块", "红", "黄", "绿", "青", "蓝", "洋红", "白"};
    if (c == db::color::byLayer) return "随层";
    if (c >= 0 && c <= 7) return std::string(kNames[c]) + (c ? " (" + std::to_string(c) + ")" : "");
    return std::to_string(c);
  }
  std::string linetype(std::string_view name) const {
    if (db::foldName(name) == "BYLAYER") return "随层";
    if (db::foldName(name) == "BYBLOCK") return "随块";
    return std::string(name);
  }

  void header(const db::Entity& e, const std::string& kind) {
    char handle[24];
    std::snprintf(handle, sizeof handle, "%llX", static_cast<unsigned long long>(e.handle()));
    std::string layer(core::layerOf(d_, e));
    std::string colourText = colour(e.color), linetypeText = linetype(d_.name(e.linetype));
    if (const auto* u = e.as<db::UnknownEntity>()) {
      const KeptTags t{u->tags};
      colourText = colour(static_cast<std::int16_t>(t.number(62).value_or(256)));
      linetypeText = linetype(t.text(6).empty() ? "ByLayer" : t.text(6));
    }
    line(kind + "  图层: \"" + layer + "\"  颜色: " + colourText + "  线型: " + linetypeText + "  句柄 = " + handle);
  }

  void list(db::ObjectId owner) {
    const std::vector<db::ObjectId> group = s_.index().group(owner);
    const db::Entity& e = *d_.entity(owner);
    header(e, core::kindName(d_, e));
    auto p3 = [&](const db::Point3& p) { return point(p.x, p.y, p.z); };
    if (const auto* l = e.as<db::Line>()) {
      const double dx = l->end.x - l->start.x, dy = l->end.y - l->start.y, dz = l->end.z - l->start.z;
      line("  起点: " + p3(l->start));
      line("  端点: " + p3(l->end));
      line("  长度 = " + len(std::sqrt(dx * dx + dy * dy + dz * dz)) + "，XY 平面中的角度 = " +
           ang(core::degreesOf({dx, dy})));
      line("  X 增量 = " + len(dx) + "，Y 增量 = " + len(dy) + "，Z 增量 = " + len(dz));
    } else if (const auto* c = e.as<db::Circle>()) {
      line("  圆心: " + p3(c->center));
      line("  半径 = " + len(c->radius));
      line("  周长 = " + len(2 * core::kPi * c->radius) + "，面积 = " + len(core::kPi * c->radius * c->radius));
    } else if (const auto* a = e.as<db::Arc>()) {
      double sweep = core::normalizeDegrees(a->endAngle - a->startAngle);
      if (sweep == 0) sweep = 360;
      line("  圆心: " + p3(a->center));
      line("  半径 = " + len(a->radius));
      line("  起点角度 = " + ang(a->startAngle) + "，端点角度 = " + ang(a->endAngle));
      line("  长度 = " + len(a->radius * sweep * core::kDegree));
    } else if (const auto* pl = e.as<db::Polyline>()) {
      listPolyline(*pl);
    } else if (const auto* r = e.as<db::BlockReference>()) {
      line("  块名: \"" + d_.block(r->block).name + "\"");
      line("  插入点: " + p3(r->position));
      line("  X 比例 = " + len(r->xScale) + "，Y 比例 = " + len(r->yScale) + "，Z 比例 = " + len(r->zScale));
      line("  旋转角度 = " + ang(r->rotation));
    } else if (const auto* pt = e.as<db::Point>()) {
      line("  位置: " + p3(pt->position));
    } else if (const auto* el = e.as<db::Ellipse>()) {
      line("  圆心: " + p3(el->center));
      line("  长轴: " + p3(el->majorAxis) + "，短轴与长轴之比 = " + len(el->ratio));
      if (el->sweep() < 2 * core::kPi)
        line("  起点参数 = " + ang(el->startParam / core::kDegree) + "，端点参数 = " + ang(el->endParam / core::kDegree));
      listRange(owner);
    } else if (const auto* so = e.as<db::Solid>()) {
      for (int i = 0; i < so->cornerCount(); ++i)
        line("  角点 " + std::to_string(i + 1) + ": " + p3(so->corners[static_cast<std::size_t>(i)]));
      listRange(owner);
    } else if (const auto* h = e.as<db::Hatch>()) {
      line("  图案: " + (h->solid ? std::string("SOLID（实体填充）") : h->pattern));
      if (!h->solid) line("  比例 = " + len(h->scale) + "，角度 = " + ang(h->angle));
      line("  边界: " + std::to_string(h->paths.size()) + " 条" + (h->associative ? "（关联）" : ""));
    } else if (const auto* t = e.as<db::Text>()) {
      listText(*t);
      listRange(owner);
    } else if (const auto* u = e.as<db::UnknownEntity>()) {
      listKept(owner, *u);
    } else if (const auto* dim = e.as<db::Dimension>()) {
      static const char* const kTypes[] = {"转角", "对齐", "角度", "直径", "半径", "三点角度", "坐标", "未知"};
      line("  类型: " + std::string(kTypes[static_cast<int>(dim->type())]));
      line("  测量值 = " + (dim->angular() ? ang(dim->measured()) : len(dim->measured())));
      if (!dim->text.empty()) line("  文字: \"" + dim->text + "\"");
      line("  标注样式: \"" + dim->style + "\"");
      line("  文字位置: " + p3(dim->textMidpoint));
    } else if (const auto* sp = e.as<db::Spline>()) {
      line(std::string("  阶数 = ") + std::to_string(sp->degree) + (sp->closed() ? "，闭合" : "，不闭合"));
      line("  控制点数 = " + std::to_string(sp->controlPoints.size()) + "，拟合点数 = " + std::to_string(sp->fitPoints.size()));
      const std::vector<db::Point3>& frame = sp->framePoints();
      const char* name = sp->controlPoints.empty() ? "  拟合点 " : "  控制点 ";
      for (std::size_t i = 0; i < frame.size(); ++i) line(name + std::to_string(i + 1) + ": " + p3(frame[i]));
      listRange(owner);
    } else if (const auto* mt = e.as<db::MText>()) {
      listMText(*mt);
      listRange(owner);
    } else if (const auto* leader = e.as<db::Leader>()) {
      line(std::string("  路径: ") + (leader->spline() ? "样条曲线" : "直线") + "，箭头: " + (leader->hasArrow() ? "有" : "无"));
      line("  标注样式: \"" + leader->style + "\"");
      for (std::size_t i = 0; i < leader->vertices.size(); ++i)
        line("  顶点 " + std::to_string(i + 1) + ": " + p3(leader->vertices[i]));
      listRange(owner);
    } else if (const auto* hp = e.as<db::HeavyPolyline>()) {
      listHeavyPolyline(*hp);
      listRange(owner);
    }
    for (std::size_t i = 1; i < group.size(); ++i) {
      const db::Entity* member = d_.entity(group[i]);
      if (!member || member->isErased()) continue;
      if (const auto* a = member->as<db::Text>(); a && a->type == db::Text::Type::attrib) {
        line("  属性: 标记 \"" + a->tag + "\"，值 \"" + a->value + "\"");
        continue;
      }
      const auto* u = member->as<db::UnknownEntity>();
      if (!u || d_.name(u->type) != "ATTRIB") continue;
      const KeptTags t{u->tags};
      line("  属性: 标记 \"" + std::string(t.text(2)) + "\"，值 \"" + std::string(t.text(1)) + "\"");
    }
  }

 private:
  // An old-style polyline: its kind, then each vertex as the file holds it (a 2D one's in
  // its plane), a polyface's faces by the vertex numbers they join.
  void listHeavyPolyline(const db::HeavyPolyline& p) {
    std::string head = p.isPolyface()      ? "  多面网格，" + std::to_string(db::polyfacePoints(p).size()) + " 个顶点"
                       : p.isPolygonMesh() ? "  多边形网格，M = " + std::to_string(p.meshM()) + "，N = " + std::to_string(p.meshN())
                                           : std::string("  ") + (p.isClosed() ? "闭合" : "打开") + "，" +
                                                 std::to_string(db::drawnVertices(p).size()) + " 个顶点";
    if (p.isPlanar()) head += "，标高 = " + len(p.origin.z);
    line(head);
    std::size_t number = 0, face = 0;
    for (const db::HeavyVertex& v : p.vertices) {
      if (v.isFaceRecord()) {
        std::string text = "  面 " + std::to_string(++face) + ":";
        for (std::int16_t k : v.face)
          if (k != 0) text += " " + std::to_string(k);
        line(text);
        continue;
      }
      if (v.isFramePoint()) continue;
      std::string text = "  顶点 " + std::to_string(++number) + ": " + point(v.point.x, v.point.y, v.point.z);
      if (v.bulge != 0) text += "，凸度 = " + len(v.bulge);
      line(text);
    }
  }

  void listPolyline(const db::Polyline& pl) {
    line(std::string("  ") + (pl.closed() ? "闭合" : "打开") + "，" + std::to_string(pl.size()) + " 个顶点" +
         (pl.constantWidth() != 0 ? "，全局宽度 = " + len(pl.constantWidth()) : ""));
    double total = 0;
    const std::size_t n = pl.size();
    for (std::size_t i = 0; i < n; ++i) {
      const db::Vertex v = pl.vertex(i);
      std::string text = "  顶点 " + std::to_string(i + 1) + ": " + point(v.point.x, v.point.y, pl.elevation());
      if (v.bulge != 0) text += "，凸度 = " + len(v.bulge);
      if (v.startWidth != 0 || v.endWidth != 0)
        text += "，起点宽度 = " + len(v.startWidth) + "，端点宽度 = " + len(v.endWidth);
      line(text);
      if (i + 1 < n || pl.closed()) {
        const db::Point2 b = pl.point((i + 1) % n);
        const auto piece = core::bulgePiece({v.point.x, v.point.y}, {b.x, b.y}, v.bulge);
        if (const auto* arc = std::get_if<core::CircularArc>(&piece))
          total += arc->radius * arc->sweep;
        else
          total += core::distance({v.point.x, v.point.y}, {b.x, b.y});
      }
    }
    line("  长度 = " + len(total));
  }

  void listText(const db::Text& t) {
    if (t.isAttribute()) line("  标记: \"" + t.tag + "\"");
    if (t.type == db::Text::Type::attdef) line("  提示: \"" + t.prompt + "\"，默认值: \"" + t.value + "\"");
    else line("  文字: \"" + t.value + "\"");
    line("  样式: \"" + t.style + "\"");
    line("  高度 = " + len(t.height) + "，旋转 = " + ang(t.rotation) +
         (t.widthFactor != 1.0 ? "，宽度因子 = " + len(t.widthFactor) : ""));
    line("  插入点: " + point(t.position.x, t.position.y, t.position.z));
    if (t.placedByAlignPoint() && t.hasAlignPoint)
      line("  对齐点: " + point(t.alignPoint.x, t.alignPoint.y, t.alignPoint.z));
    if (t.invisible()) line("  （不可见）");
  }

  void listMText(const db::MText& t) {
    static const char* const kAttachments[] = {"左上", "中上", "右上", "左中", "正中", "右中", "左下", "中下", "右下"};
    line("  文字: \"" + t.content + "\"");
    line("  样式: \"" + t.style + "\"");
    line("  高度 = " + len(t.height) + "，旋转 = " + ang(core::normalizeDegrees(t.angle())) + "，宽度 = " + len(t.width));
    line("  插入点: " + point(t.position.x, t.position.y, t.position.z) + "，附着点: " +
         kAttachments[static_cast<int>(t.attachment) - 1]);
  }

  void listKept(db::ObjectId id, const db::UnknownEntity& u) {
    const KeptTags t{u.tags};
    const std::string_view type = d_.name(u.type);
    if (type == "TEXT" || type == "MTEXT" || type == "ATTRIB" || type == "ATTDEF") {
      std::string text;
      bool inGroup = false;
      for (db::RawTag tag : u.tags) {
        if (tag.code == 102) inGroup = !tag.value.empty() && tag.value.front() == '{';
        if (!inGroup && (tag.code == 3 || tag.code == 1) && (type == "MTEXT" || tag.code == 1)) text += tag.value;
      }
      line("  文字: \"" + text + "\"");
      if (auto h = t.number(40)) line("  高度 = " + len(*h));
    }
    if (auto x = t.number(10)) line("  位置: " + point(*x, t.number(20).value_or(0), t.number(30).value_or(0)));
    listRange(id);
    line("  （" + std::string(type) + " 按读入时保留）");
  }

  void listRange(db::ObjectId id) {
    const core::Box2 box = core::entityBox(d_, id);
    if (!box.empty())
      line("  范围: 从 " + point(box.minX, box.minY, 0) + " 到 " + point(box.maxX, box.maxY, 0));
  }

  Session& s_;
  const db::Database& d_;
  core::Units u_;
};

void list(Session& s) {
  auto set = s.selectObjects();
  if (!set) return;
  Lister lister(s);
  for (db::ObjectId id : set->ids()) lister.list(id);
}

void id(Session& s) {
  Point3 p;
  if (s.prompts().getPoint("\n指定点: ", std::nullopt, p) != Status::Normal) return;
  s.console().print("\n" + Lister(s).point(p.x, p.y, p.z));
}

void dist(Session& s) {
  Point3 a, b;
  auto& prompts = s.prompts();
  if (prompts.getPoint("\n指定第一个点: ", std::nullopt, a) != Status::Normal) return;
  if (prompts.getPoint("\n指定第二个点: ", a, b) != Status::Normal) return;
  const Lister l(s);
  const double dx = b.x - a.x, dy = b.y - a.y, dz = b.z - a.z;
  const double flat = std::hypot(dx, dy);
  const double elevation = flat == 0 && dz == 0 ? 0 : std::atan2(dz, flat) / core::kDegree;
  s.console().print("\n距离 = " + l.len(std::sqrt(dx * dx + dy * dy + dz * dz)) + "，XY 平面中的倾角 = " +
                    l.ang(core::degreesOf({dx, dy})) + "，与 XY 平面的夹角 = " + l.ang(elevation));
  s.console().print("\nX 增量 = " + l.len(dx) + "，Y 增量 = " + l.len(dy) + "，Z 增量 = " + l.len(dz));
}

}  // namespace

std::vector<Session::HostCommand> inquiryCommands() {
  return {
      {.name = "LIST", .description = "列出选中对象的类型、图层、颜色、线型和几何数据", .run = list,
       .aliases = {"LI"},
       .help = "选择对象，列出每个对象的类型、图层、颜色、线型、句柄和几何数据：点的坐标、半径、角度、长度、块名、比例和旋转角度，以及块参照的属性。",
       .menu = {"修改", "列表", true}},
      {.name = "ID", .description = "显示一个点的坐标", .run = id,
       .help = "指定一个点，显示它的 X、Y、Z 坐标；这个点成为下一个相对坐标（@）的参照点。"},
      {.name = "DIST", .description = "测量两点之间的距离和角度", .run = dist, .aliases = {"DI"},
       .help = "指定两点，显示它们之间的距离、在 XY 平面中的倾角、与 XY 平面的夹角以及 X、Y、Z 增量，数值按图形的单位格式显示。"},
  };
}

}  // namespace orv::app
