// The drawing commands: CIRCLE, ARC, PLINE, RECTANG and POLYGON, each asking its points
// with the shape following the cursor and making one entity on the current layer.
//
// Sections: circles; arcs; polylines; rectangles and polygons; the table.
#include <cmath>
#include <vector>

#include "draw_commands.h"
#include "orv/prompt/reply_parser.h"

namespace orv::app {

namespace {

using namespace drafting;
using shapes::Vec2;

db::Point3 at(Vec2 p, double z) { return {p.x, p.y, z}; }
db::Geometry circleOf(const shapes::CircleShape& c, double z) { return db::Circle{at(c.center, z), c.radius}; }
db::Geometry arcOf(const shapes::ArcShape& a, double z) {
  return db::Arc{at(a.center, z), a.radius, a.startAngle, a.endAngle};
}

db::Polyline polylineOf(const std::vector<shapes::BulgeVertex>& vertices, bool closed, double z) {
  db::Polyline pl;
  pl.reserve(vertices.size());
  for (const auto& v : vertices) pl.addVertex({v.point.x, v.point.y}, v.bulge);
  pl.setClosed(closed);
  pl.setElevation(z);
  return pl;
}

std::vector<shapes::BulgeVertex> corners(const std::vector<Vec2>& points) {
  std::vector<shapes::BulgeVertex> out;
  for (Vec2 p : points) out.push_back({p});
  return out;
}

// A preview of one entity on the current layer, or none.
std::vector<db::Entity> showing(Session& s, std::optional<db::Geometry> g) {
  if (!g) return {};
  return {onCurrentLayer(s.database(), std::move(*g))};
}

// ---- circles

std::string radiusDefault(Session& s, double factor) {
  return s.memory().circleRadius > 0 ? " <" + lengthText(s, s.memory().circleRadius * factor) + ">" : "";
}

std::optional<shapes::CircleShape> circleByRadius(Session& s, const Point3& c) {
  bool diameter = false;
  Session::PreviewScope preview(s, [&](const Point3& cursor) {
    const double d = core::distance(xy(cursor), xy(c)) / (diameter ? 2 : 1);
    return showing(s, d > 0 ? std::optional(circleOf({xy(c), d}, c.z)) : std::nullopt);
  });
  for (;;) {
    double value = 0;
    const std::string prompt = diameter ? "\n指定圆的直径" + radiusDefault(s, 2) + ": "
                                        : "\n指定圆的半径或 [直径(D)]" + radiusDefault(s, 1) + ": ";
    const Status st = askDistance(s, prompt, c, diameter ? "" : "Diameter", prompt::kNoZero | prompt::kNoNegative, value);
    if (st == Status::Keyword) {
      diameter = true;
      continue;
    }
    if (st == Status::None && s.memory().circleRadius > 0) return shapes::CircleShape{xy(c), s.memory().circleRadius};
    if (st == Status::None) continue;
    if (st != Status::Normal) return std::nullopt;
    return shapes::CircleShape{xy(c), diameter ? value / 2 : value};
  }
}

std::optional<shapes::CircleShape> circleByThreePoints(Session& s, double& z) {
  auto& prompts = s.prompts();
  Point3 a, b, c;
  if (prompts.getPoint("\n指定圆上的第一个点: ", std::nullopt, a) != Status::Normal) return std::nullopt;
  if (prompts.getPoint("\n指定圆上的第二个点: ", a, b) != Status::Normal) return std::nullopt;
  z = a.z;
  Session::PreviewScope preview(s, [&](const Point3& cursor) {
    const auto k = shapes::circleThrough(xy(a), xy(b), xy(cursor));
    return showing(s, k ? std::optional(circleOf(*k, z)) : std::nullopt);
  });
  for (;;) {
    if (prompts.getPoint("\n指定圆上的第三个点: ", b, c) != Status::Normal) return std::nullopt;
    if (auto k = shapes::circleThrough(xy(a), xy(b), xy(c))) return k;
    s.console().print("\n三点在一条直线上，无法画圆。");
  }
}

std::optional<shapes::CircleShape> circleByTwoPoints(Session& s, double& z) {
  auto& prompts = s.prompts();
  Point3 a, b;
  if (prompts.getPoint("\n指定圆直径的第一个端点: ", std::nullopt, a) != Status::Normal) return std::nullopt;
  z = a.z;
  Session::PreviewScope preview(s, [&](const Point3& cursor) {
    const auto k = shapes::circleOnDiameter(xy(a), xy(cursor));
    return showing(s, k.radius > 0 ? std::optional(circleOf(k, z)) : std::nullopt);
  });
  for (;;) {
    if (prompts.getPoint("\n指定圆直径的第二个端点: ", a, b) != Status::Normal) return std::nullopt;
    if (xy(a) != xy(b)) return shapes::circleOnDiameter(xy(a), xy(b));
    s.console().print("\n两点重合，无法画圆。");
  }
}

// The line or circle of a polyline's segment nearest to p.
shapes::TangentTo nearestSegment(const db::Polyline& pl, Vec2 p) {
  const std::size_t n = pl.size();
  std::optional<core::Piece> best;
  double bestDistance = 0;
  for (std::size_t i = 0; i < (pl.closed() ? n : n - 1); ++i) {
    const db::Point2 a = pl.point(i), b = pl.point((i + 1) % n);
    if (a == b) continue;
    const core::Piece piece = core::bulgePiece({a.x, a.y}, {b.x, b.y}, pl.bulge(i));
    const double d = core::distanceTo(piece, p);
    if (!best || d < bestDistance) {
      best = piece;
      bestDistance = d;
    }
  }
  if (best) {
    if (const auto* arc = std::get_if<core::CircularArc>(&*best)) return shapes::CircleShape{arc->center, arc->radius};
    if (const auto* segment = std::get_if<core::Segment>(&*best)) return shapes::TangentLine{segment->a, segment->b};
  }
  return shapes::TangentLine{{pl.point(0).x, pl.point(0).y}, {pl.point(1).x, pl.point(1).y}};
}

// A line, circle or arc (or a polyline's segment) picked for a tangent; nullopt on a cancel.
std::optional<shapes::TangentTo> pickTangent(Session& s, std::string_view prompt, Vec2& picked) {
  for (;;) {
    Point3 p;
    if (s.prompts().getPickPoint(prompt, p) != Status::Normal) return std::nullopt;
    picked = xy(p);
    const db::ObjectId id = s.index().pick(picked, s.pickDistance());
    const db::Entity* e = id.isNull() ? nullptr : s.database().entity(id);
    if (!e) {
      s.console().print("\n未找到对象。");
      continue;
    }
    if (const auto* l = e->as<db::Line>()) return shapes::TangentLine{{l->start.x, l->start.y}, {l->end.x, l->end.y}};
    if (const auto* c = e->as<db::Circle>()) return shapes::CircleShape{{c->center.x, c->center.y}, c->radius};
    if (const auto* a = e->as<db::Arc>()) return shapes::CircleShape{{a->center.x, a->center.y}, a->radius};
    if (const auto* pl = e->as<db::Polyline>(); pl && pl->size() >= 2) return nearestSegment(*pl, picked);
    s.console().print("\n需要直线、圆、圆弧或多段线。");
  }
}

std::optional<shapes::CircleShape> circleByTangents(Session& s) {
  Vec2 firstPick, secondPick;
  const auto first = pickTangent(s, "\n指定对象与圆的第一个切点: ", firstPick);
  if (!first) return std::nullopt;
  const auto second = pickTangent(s, "\n指定对象与圆的第二个切点: ", secondPick);
  if (!second) return std::nullopt;
  double r = 0;
  for (;;) {
    const Status st = askDistance(s, "\n指定圆的半径" + radiusDefault(s, 1) + ": ", std::nullopt, "",
                                  prompt::kNoZero | prompt::kNoNegative, r);
    if (st == Status::None && s.memory().circleRadius > 0) r = s.memory().circleRadius;
    else if (st == Status::None) continue;
    else if (st != Status::Normal) return std::nullopt;
    break;
  }
  auto k = shapes::tangentCircle(*first, firstPick, *second, secondPick, r);
  if (!k) s.console().print("\n圆不存在。");
  return k;
}

void circle(Session& s) {
  auto& prompts = s.prompts();
  prompts.initGet(0, "3P 2P Ttr");
  Point3 c;
  const Status st = prompts.getPoint("\n指定圆的圆心或 [三点(3P)/两点(2P)/切点、切点、半径(T)]: ", std::nullopt, c);
  std::optional<shapes::CircleShape> made;
  double z = c.z;
  if (st == Status::Keyword) {
    const std::string keyword = prompts.lastKeyword().value_or("");
    z = 0;
    made = keyword == "3P" ? circleByThreePoints(s, z) : keyword == "2P" ? circleByTwoPoints(s, z) : circleByTangents(s);
  } else if (st == Status::Normal) {
    made = circleByRadius(s, c);
  }
  if (!made) return;
  if (addToDrawing(s, circleOf(*made, z))) s.memory().circleRadius = made->radius;
}

// ---- arcs

// The end of an arc about `center` from `start`: a point, or "A" and the included angle.
std::optional<shapes::ArcShape> arcEnd(Session& s, const Point3& center, const Point3& start) {
  auto& prompts = s.prompts();
  bool byAngle = false;
  Session::PreviewScope preview(s, [&](const Point3& cursor) {
    const auto a = byAngle ? shapes::arcFromCentreAngle(xy(center), xy(start), core::degreesOf(xy(cursor) - xy(start)))
                           : shapes::arcFromCentre(xy(center), xy(start), xy(cursor));
    return showing(s, arcOf(a, center.z));
  });
  for (;;) {
    if (byAngle) {
      double angle = 0;
      const Status st = askAngle(s, "\n指定包含角: ", start, "", prompt::kNoZero, angle);
      if (st == Status::None) continue;
      if (st != Status::Normal) return std::nullopt;
      if (std::abs(angle) >= 360) {
        s.console().print("\n包含角必须在 -360 和 360 度之间。");
        continue;
      }
      return shapes::arcFromCentreAngle(xy(center), xy(start), angle);
    }
    prompts.initGet(0, "Angle");
    Point3 end;
    const Status st = prompts.getPoint("\n指定圆弧的端点或 [角度(A)]: ", center, end);
    if (st == Status::Keyword) {
      byAngle = true;
      continue;
    }
    if (st != Status::Normal) return std::nullopt;
    const auto a = shapes::arcFromCentre(xy(center), xy(start), xy(end));
    if (xy(end) != xy(center) && a.startAngle != a.endAngle) return a;
    s.console().print("\n端点不能在起点的方向上。");
  }
}

std::optional<Point3> arcCentre(Session& s, std::string_view prompt, const std::optional<Point3>& base) {
  Point3 c;
  if (s.prompts().getPoint(prompt, base, c) != Status::Normal) return std::nullopt;
  return c;
}

void arc(Session& s) {
  auto& prompts = s.prompts();
  prompts.initGet(0, "Center");
  Point3 start;
  Status st = prompts.getPoint("\n指定圆弧的起点或 [圆心(C)]: ", std::nullopt, start);
  std::optional<shapes::ArcShape> made;
  double z = start.z;
  if (st == Status::Keyword) {  // centre, start, end
    const auto c = arcCentre(s, "\n指定圆弧的圆心: ", std::nullopt);
    if (!c) return;
    for (;;) {
      if (prompts.getPoint("\n指定圆弧的起点: ", *c, start) != Status::Normal) return;
      if (xy(start) != xy(*c)) break;
      s.console().print("\n起点不能与圆心重合。");
    }
    z = c->z;
    made = arcEnd(s, *c, start);
  } else if (st == Status::Normal) {
    prompts.initGet(0, "Center");
    Point3 second;
    st = prompts.getPoint("\n指定圆弧的第二个点或 [圆心(C)]: ", start, second);
    if (st == Status::Keyword) {  // start, centre, end
      std::optional<Point3> c;
      for (;;) {
        c = arcCentre(s, "\n指定圆弧的圆心: ", start);
        if (!c) return;
        if (xy(start) != xy(*c)) break;
        s.console().print("\n圆心不能与起点重合。");
      }
      made = arcEnd(s, *c, start);
    } else if (st == Status::Normal) {  // three points
      Session::PreviewScope preview(s, [&](const Point3& cursor) {
        const auto a = shapes::arcThrough(xy(start), xy(second), xy(cursor));
        return showing(s, a ? std::optional(arcOf(*a, z)) : std::nullopt);
      });
      for (;;) {
        Point3 end;
        if (prompts.getPoint("\n指定圆弧的端点: ", second, end) != Status::Normal) return;
        if ((made = shapes::arcThrough(xy(start), xy(second), xy(end)))) break;
        s.console().print("\n三点在一条直线上，无法画圆弧。");
      }
    }
  }
  if (made) addToDrawing(s, arcOf(*made, z));
}

// ---- polylines

struct PlineVertex {
  Vec2 point;
  double bulge = 0, startWidth = 0, endWidth = 0;
  Vec2 arriving{1, 0};  // the direction the segment ending here arrives in
};

db::Polyline polylineOf(const std::vector<PlineVertex>& vertices, bool closed, double z) {
  db::Polyline pl;
  pl.reserve(vertices.size());
  for (const auto& v : vertices) pl.addVertex({v.point.x, v.point.y}, v.bulge, v.startWidth, v.endWidth);
  pl.setClosed(closed);
  pl.setElevation(z);
  return pl;
}

// The segment from the last vertex to `to` in the mode given: its bulge; nullopt when an
// arc cannot reach there.
std::optional<double> nextBulge(const PlineVertex& last, Vec2 to, bool arcMode) {
  if (to == last.point) return std::nullopt;
  if (!arcMode) return 0.0;
  return shapes::tangentArcBulge(last.arriving, last.point, to);
}

// Asks a pair of widths (or half widths); false on a cancel.
bool askWidths(Session& s, const Point3& from, bool half, double& startWidth, double& endWidth) {
  const double factor = half ? 0.5 : 1;
  const std::string what = half ? "半宽" : "宽度";
  double w = startWidth * factor;
  Status st = askDistance(s, "\n指定起点" + what + " <" + lengthText(s, w) + ">: ", from, "", prompt::kNoNegative, w);
  if (st == Status::Cancel) return false;
  double e = w;
  st = askDistance(s, "\n指定端点" + what + " <" + lengthText(s, w) + ">: ", from, "", prompt::kNoNegative, e);
  if (st == Status::Cancel) return false;
  startWidth = w / factor;
  endWidth = e / factor;
  return true;
}

void pline(Session& s) {
  auto& prompts = s.prompts();
  Point3 start;
  if (prompts.getPoint("\n指定起点: ", std::nullopt, start) != Status::Normal) return;
  double startWidth = s.memory().polylineWidth, endWidth = s.memory().polylineWidth;
  s.console().print("\n当前线宽为 " + lengthText(s, s.memory().polylineWidth));
  std::vector<PlineVertex> vertices{{xy(start)}};
  bool arcMode = false, closed = false;
  Session::PreviewScope preview(s, [&](const Point3& cursor) {
    std::vector<PlineVertex> shown = vertices;
    if (const auto b = nextBulge(shown.back(), xy(cursor), arcMode)) {
      shown.back().bulge = *b;
      shown.back().startWidth = startWidth;
      shown.back().endWidth = endWidth;
      shown.push_back({xy(cursor)});
    }
    return shown.size() < 2 ? std::vector<db::Entity>{} : showing(s, polylineOf(shown, false, start.z));
  });
  for (;;) {
    const std::size_t segments = vertices.size() - 1;
    const bool canClose = segments >= (arcMode ? 1u : 2u);
    std::string prompt, keywords;
    if (arcMode) {
      prompt = canClose ? "\n指定圆弧的端点或 [闭合(C)/半宽(H)/直线(L)/放弃(U)/宽度(W)]: "
                        : "\n指定圆弧的端点或 [半宽(H)/直线(L)/放弃(U)/宽度(W)]: ";
      keywords = canClose ? "Close Halfwidth Line Undo Width" : "Halfwidth Line Undo Width";
    } else {
      prompt = canClose ? "\n指定下一个点或 [圆弧(A)/闭合(C)/半宽(H)/放弃(U)/宽度(W)]: "
                        : "\n指定下一个点或 [圆弧(A)/半宽(H)/放弃(U)/宽度(W)]: ";
      keywords = canClose ? "Arc Close Halfwidth Undo Width" : "Arc Halfwidth Undo Width";
    }
    prompts.initGet(0, keywords);
    Point3 p;
    const Point3 last{vertices.back().point.x, vertices.back().point.y, start.z};
    const Status st = prompts.getPoint(prompt, last, p);
    if (st == Status::Normal) {
      const auto bulge = nextBulge(vertices.back(), xy(p), arcMode);
      if (!bulge) {
        s.console().print(xy(p) == vertices.back().point ? "\n该点与上一点重合。" : "\n无法画到该点的相切圆弧。");
        continue;
      }
      PlineVertex& from = vertices.back();
      from.bulge = *bulge;
      from.startWidth = startWidth;
      from.endWidth = endWidth;
      vertices.push_back({xy(p), 0, 0, 0, shapes::endDirection(from.point, xy(p), *bulge)});
      startWidth = endWidth;  // the next segment goes on at the width this one ends with
      continue;
    }
    if (st != Status::Keyword) break;  // Enter ends; a cancel keeps what was drawn
    const std::string keyword = prompts.lastKeyword().value_or("");
    if (keyword == "Arc" || keyword == "Line") {
      arcMode = keyword == "Arc";
    } else if (keyword == "Width" || keyword == "Halfwidth") {
      if (!askWidths(s, last, keyword == "Halfwidth", startWidth, endWidth)) break;
    } else if (keyword == "Undo") {
      if (segments == 0) {
        s.console().print("\n所有线段已被放弃。");
        continue;
      }
      vertices.pop_back();
      vertices.back().bulge = vertices.back().startWidth = vertices.back().endWidth = 0;
      prompts.setLastPoint({vertices.back().point.x, vertices.back().point.y, start.z});
    } else {  // Close
      PlineVertex& from = vertices.back();
      const auto bulge = nextBulge(from, vertices.front().point, arcMode);
      if (arcMode && !bulge) {
        s.console().print("\n无法画到起点的相切圆弧。");
        continue;
      }
      from.bulge = bulge.value_or(0.0);
      from.startWidth = startWidth;
      from.endWidth = endWidth;
      closed = true;
      break;
    }
  }
  s.memory().polylineWidth = endWidth;
  if (vertices.size() < 2) return;
  addToDrawing(s, polylineOf(vertices, closed, start.z));
}

// ---- rectangles and polygons

void rectang(Session& s) {
  auto& prompts = s.prompts();
  Point3 first;
  for (;;) {
    prompts.initGet(0, "Fillet Width");
    const Status st = prompts.getPoint("\n指定第一个角点或 [圆角(F)/宽度(W)]: ", std::nullopt, first);
    if (st == Status::Normal) break;
    if (st != Status::Keyword) return;
    const bool fillet = prompts.lastKeyword() == "Fillet";
    double& value = fillet ? s.memory().rectangleFillet : s.memory().rectangleWidth;
    double v = value;
    const Status vs = askDistance(s, std::string(fillet ? "\n指定矩形的圆角半径 <" : "\n指定矩形的线宽 <") +
                                         lengthText(s, value) + ">: ",
                                  std::nullopt, "", prompt::kNoNegative, v);
    if (vs == Status::Cancel) return;
    value = v;
  }
  auto outline = [&](Vec2 other) -> std::optional<db::Polyline> {
    auto v = shapes::rectangleVertices(xy(first), other, s.memory().rectangleFillet);
    if (!v) v = shapes::rectangleVertices(xy(first), other, 0);
    if (!v) return std::nullopt;
    db::Polyline pl = polylineOf(*v, true, first.z);
    pl.setConstantWidth(s.memory().rectangleWidth);
    return pl;
  };
  Session::PreviewScope preview(s, [&](const Point3& cursor) {
    const auto pl = outline(xy(cursor));
    return showing(s, pl ? std::optional<db::Geometry>(*pl) : std::nullopt);
  });
  for (;;) {
    Point3 other;
    if (prompts.getPoint("\n指定另一个角点: ", first, other) != Status::Normal) return;
    const auto pl = outline(xy(other));
    if (!pl) {
      s.console().print("\n两个角点必须在不同的水平线和竖直线上。");
      continue;
    }
    if (s.memory().rectangleFillet > 0 && !shapes::rectangleVertices(xy(first), xy(other), s.memory().rectangleFillet))
      s.console().print("\n矩形太小，不能按圆角半径 " + lengthText(s, s.memory().rectangleFillet) + " 圆角，画成直角。");
    addToDrawing(s, *pl);
    return;
  }
}

std::optional<int> askSides(Session& s) {
  for (;;) {
    int n = s.memory().polygonSides;
    const Status st = s.prompts().getInt("\n输入侧面数 <" + std::to_string(s.memory().polygonSides) + ">: ", n);
    if (st == Status::Cancel) return std::nullopt;
    if (n >= 3 && n <= 1024) return s.memory().polygonSides = n;
    s.console().print("\n需要 3 和 1024 之间的整数。");
  }
}

void polygon(Session& s) {
  auto& prompts = s.prompts();
  const auto sides = askSides(s);
  if (!sides) return;
  const int n = *sides;
  auto closedOf = [&](const std::vector<Vec2>& points, double z) -> db::Geometry {
    return polylineOf(corners(points), true, z);
  };
  prompts.initGet(0, "Edge");
  Point3 c;
  const Status st = prompts.getPoint("\n指定正多边形的中心点或 [边(E)]: ", std::nullopt, c);
  if (st == Status::Keyword) {
    Point3 p, q;
    if (prompts.getPoint("\n指定边的第一个端点: ", std::nullopt, p) != Status::Normal) return;
    Session::PreviewScope preview(s, [&](const Point3& cursor) {
      return showing(s, xy(cursor) != xy(p) ? std::optional(closedOf(shapes::polygonOnEdge(n, xy(p), xy(cursor)), p.z))
                                            : std::nullopt);
    });
    for (;;) {
      if (prompts.getPoint("\n指定边的第二个端点: ", p, q) != Status::Normal) return;
      if (xy(q) != xy(p)) break;
      s.console().print("\n边的两个端点不能重合。");
    }
    addToDrawing(s, closedOf(shapes::polygonOnEdge(n, xy(p), xy(q)), p.z));
    return;
  }
  if (st != Status::Normal) return;
  prompts.initGet(0, "Inscribed Circumscribed");
  const Status kind = prompts.getKeyword(s.memory().polygonInscribed ? "\n输入选项 [内接于圆(I)/外切于圆(C)] <I>: "
                                                          : "\n输入选项 [内接于圆(I)/外切于圆(C)] <C>: ");
  if (kind == Status::Cancel) return;
  if (kind == Status::Keyword) s.memory().polygonInscribed = prompts.lastKeyword() == "Inscribed";
  const bool inscribed = s.memory().polygonInscribed;
  auto vertices = [&](double radius, std::optional<Vec2> through) {
    return shapes::polygonAbout(n, xy(c), shapes::polygonFirstVertex(n, xy(c), radius, inscribed, through));
  };
  Session::PreviewScope preview(s, [&](const Point3& cursor) {
    const double r = core::distance(xy(cursor), xy(c));
    return showing(s, r > 0 ? std::optional(closedOf(vertices(r, xy(cursor)), c.z)) : std::nullopt);
  });
  double r = 0;
  std::optional<Point3> through;
  Status rs;
  while ((rs = askDistance(s, "\n指定圆的半径: ", c, "", prompt::kNoZero | prompt::kNoNegative, r, &through)) ==
         Status::None) {
  }
  if (rs != Status::Normal) return;
  addToDrawing(s, closedOf(vertices(r, through ? std::optional(xy(*through)) : std::nullopt), c.z));
}

}  // namespace

std::vector<Session::HostCommand> shapeCommands() {
  return {
      {.name = "CIRCLE", .description = "画圆：圆心和半径（或直径），三点，两点，或与两个对象相切", .run = circle,
       .undoable = true, .aliases = {"C"},
       .help = "指定圆心，再指定半径（数值，或点取一点取它到圆心的距离；回车沿用上次的半径），或 D 和直径。"
               "在第一个提示下 3P 过三点画圆，2P 以两点为直径的两端画圆，T 点取两个相切的直线、圆、圆弧或多段线的一段"
               "再指定半径。",
       .menu = {"绘图", "圆", true}},
      {.name = "ARC", .description = "画圆弧：三点，或圆心、起点、端点（逆时针）", .run = arc, .undoable = true,
       .aliases = {"A"},
       .help = "依次指定起点、圆弧上的第二点和端点画圆弧；或在第一个提示下 C 先指定圆心，再指定起点和端点（逆时针）；"
               "或起点之后 C 再指定圆心和端点。端点提示下 A 改为输入包含角（度，负值顺时针）。",
       .menu = {"绘图", "圆弧", true}},
      {.name = "PLINE", .description = "画多段线：直线段和相切圆弧段，可设宽度", .run = pline, .undoable = true,
       .aliases = {"PL"},
       .help = "指定起点，再逐点指定下一点，回车结束，结果是一条多段线。A 切换到圆弧（每段圆弧与上一段相切），"
               "L 回到直线；W 指定起点和端点宽度，H 指定半宽；C 闭合（直线模式从第三点起）；U 放弃最后一段。",
       .menu = {"绘图", "多段线", true}},
      {.name = "RECTANG", .description = "画矩形：两个对角点，可圆角，可设线宽", .run = rectang, .undoable = true,
       .aliases = {"REC", "RECTANGLE"},
       .help = "指定两个对角点，画成四个顶点的闭合多段线。第一个提示下 F 指定圆角半径（四个角画成四分之一圆弧），"
               "W 指定线宽；这两个值在下次 RECTANG 中沿用。矩形太小不能圆角时画成直角。",
       .menu = {"绘图", "矩形", true}},
      {.name = "POLYGON", .description = "画正多边形：边数、中心和半径（内接或外切），或一条边", .run = polygon,
       .undoable = true, .aliases = {"POL"},
       .help = "输入边数（3 到 1024），指定中心点，选择内接于圆（I，缺省）或外切于圆（C），再指定圆的半径："
               "点取一点时内接多边形的一个顶点、外切多边形一条边的中点落在该点，输入数值时底边水平。"
               "或在中心点提示下 E 指定一条边的两个端点，多边形在这条边的左侧。",
       .menu = {"绘图", "正多边形", true}},
  };
}

}  // namespace orv::app
