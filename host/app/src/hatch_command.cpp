// HATCH: areas picked inside closed boundaries (islands left out) or closed entities
// selected, filled with a pattern of the program's pattern file as one HATCH entity.
//
// Contents: the pattern file and a hatch's pattern; paths from found boundaries and from
// closed entities; the dialogue.
#include "hatch_command.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "draw_commands.h"
#include "orv/core/drafting_styles.h"
#include "orv/core/hatch_boundary.h"
#include "orv/db/header_values.h"
#include "orv/geom/curves.h"
#include "orv/geom/hatch.h"
#include "pattern_file.h"

namespace orv::app {

// ---- the pattern file and a hatch's pattern

const core::PatternFile* programPatterns(Session& s) {
  static std::optional<core::PatternFile> file;
  static std::string problem;
  if (!file) file = readPatternFile(patternFilePath(), problem);
  if (!problem.empty() || file->patterns.empty()) {
    s.console().print("\n" + (problem.empty() ? std::string("图案文件中没有可用的图案。") : problem));
    return nullptr;
  }
  return &*file;
}

void applyPattern(db::Hatch& h, const core::HatchPattern& pattern, double scale, double angle) {
  h.pattern = pattern.name;
  h.solid = pattern.solid();
  h.patternType = db::Hatch::PatternType::predefined;
  h.angle = angle;
  h.scale = scale;
  h.hasPatternValues = h.hasPatternLines = !h.solid;
  h.lines.clear();
  if (h.solid) return;
  for (const core::HatchPatternLine& l : core::patternLines(pattern, scale, angle))
    h.lines.push_back(db::PatternLine{l.angle, {l.base.x, l.base.y}, {l.offset.x, l.offset.y}, l.dashes});
}

// ---- exploded

std::vector<db::Entity> hatchBoundaryParts(const db::Entity& e, const db::Hatch& h) {
  std::vector<db::Entity> out;
  const db::Point3 n = h.extrusion;
  if (n.x != 0 || n.y != 0 || !(n.z > 0)) return out;
  const double z = h.elevation.z;
  auto add = [&](db::Geometry g) {
    db::Entity part = e;
    part.geometry = std::move(g);
    out.push_back(std::move(part));
  };
  for (const db::HatchPath& p : h.paths) {
    const std::size_t count = p.vertices.size();
    const std::size_t segments = p.closed ? count : count - 1;
    for (std::size_t i = 0; count >= 2 && i < segments; ++i) {
      const db::Point2 a = p.vertices[i], b = p.vertices[(i + 1) % count];
      if (a == b) continue;
      const core::Piece piece = core::bulgePiece({a.x, a.y}, {b.x, b.y}, p.bulges.empty() ? 0.0 : p.bulges[i]);
      if (const auto* arc = std::get_if<core::CircularArc>(&piece))
        add(db::Arc{{arc->center.x, arc->center.y, z}, arc->radius, core::normalizeDegrees(arc->start / core::kDegree),
                    core::normalizeDegrees((arc->start + arc->sweep) / core::kDegree)});
      else
        add(db::Line{{a.x, a.y, z}, {b.x, b.y, z}});
    }
    for (const db::HatchEdge& edge : p.edges) {
      using T = db::HatchEdge::Type;
      const double a0 = edge.ccwStart(), a1 = edge.ccwEnd();
      const bool full = std::abs(a1 - a0) >= 360 || core::normalizeDegrees(a1 - a0) == 0;
      switch (edge.type) {
        case T::line: add(db::Line{{edge.start.x, edge.start.y, z}, {edge.end.x, edge.end.y, z}}); break;
        case T::arc:
          if (full) add(db::Circle{{edge.center.x, edge.center.y, z}, edge.radius});
          else add(db::Arc{{edge.center.x, edge.center.y, z}, edge.radius, core::normalizeDegrees(a0), core::normalizeDegrees(a1)});
          break;
        case T::ellipse: {
          db::Ellipse el;
          el.center = {edge.center.x, edge.center.y, z};
          el.majorAxis = {edge.majorAxis.x, edge.majorAxis.y, 0};
          el.ratio = std::min(edge.ratio, 1.0);
          if (!full) {
            el.startParam = a0 * core::kDegree;
            el.endParam = a1 * core::kDegree;
          }
          add(db::Boxed<db::Ellipse>(el));
          break;
        }
        case T::spline: {
          db::Polyline along;
          for (geom::Point3 q : geom::splinePoints(geom::splineOf(edge), 16, 4096)) along.addVertex({q.x, q.y});
          along.setElevation(z);
          if (along.size() >= 2) add(std::move(along));
          break;
        }
      }
    }
  }
  return out;
}

namespace {

using namespace drafting;

// ---- paths

db::HatchPath pathOf(const core::BoundaryLoop& loop, std::uint32_t flags) {
  db::HatchPath p;
  p.flags = flags | db::HatchPath::polyline;
  bool bulged = false;
  for (const core::BoundaryEdge& e : loop.edges) {
    p.vertices.push_back({e.start.x, e.start.y});
    p.bulges.push_back(e.bulge);
    bulged = bulged || e.bulge != 0;
  }
  if (!bulged) p.bulges.clear();
  return p;
}

// The path of a closed entity in the drawing plane; nullopt for any other.
std::optional<db::HatchPath> pathOfEntity(const db::Entity& e) {
  constexpr std::uint32_t kFlags = db::HatchPath::external;
  if (const auto* c = e.as<db::Circle>(); c && c->radius > 0) {
    db::HatchPath p;
    p.flags = kFlags | db::HatchPath::polyline;
    p.vertices = {{c->center.x + c->radius, c->center.y}, {c->center.x - c->radius, c->center.y}};
    p.bulges = {1.0, 1.0};
    return p;
  }
  if (const auto* pl = e.as<db::Polyline>(); pl && pl->closed() && pl->size() >= 2) {
    db::HatchPath p;
    p.flags = kFlags | db::HatchPath::polyline;
    for (std::size_t i = 0; i < pl->size(); ++i) {
      p.vertices.push_back(pl->point(i));
      p.bulges.push_back(pl->bulge(i));
    }
    if (!pl->hasVertexExtras()) p.bulges.clear();
    if (pl->size() < 3 && p.bulges.empty()) return std::nullopt;  // no area
    return p;
  }
  if (const auto* el = e.as<db::Ellipse>(); el && el->sweep() >= 2 * core::kPi - 1e-9 &&
                                             el->extrusion.x == 0 && el->extrusion.y == 0 && el->extrusion.z > 0) {
    db::HatchEdge edge;
    edge.type = db::HatchEdge::Type::ellipse;
    edge.center = {el->center.x, el->center.y};
    edge.majorAxis = {el->majorAxis.x, el->majorAxis.y};
    edge.ratio = el->ratio;
    edge.startAngle = 0, edge.endAngle = 360;
    db::HatchPath p;
    p.flags = kFlags;
    p.edges = {edge};
    return p;
  }
  if (const auto* s = e.as<db::Spline>()) {
    if (s->controlPoints.size() < 3 || s->extrusion.x != 0 || s->extrusion.y != 0) return std::nullopt;
    const bool closed = s->closed() || (s->controlPoints.front().x == s->controlPoints.back().x &&
                                        s->controlPoints.front().y == s->controlPoints.back().y);
    if (!closed) return std::nullopt;
    db::HatchEdge edge;
    edge.type = db::HatchEdge::Type::spline;
    edge.degree = s->degree;
    edge.rational = !s->weights.empty();
    edge.periodic = (s->flags & 2) != 0;
    edge.knots = s->knots;
    for (db::Point3 q : s->controlPoints) edge.controlPoints.push_back({q.x, q.y});
    edge.weights = s->weights;
    db::HatchPath p;
    p.flags = kFlags;
    p.edges = {edge};
    return p;
  }
  return std::nullopt;
}

std::string number(double v) {
  char buffer[32];
  const auto r = std::to_chars(buffer, buffer + sizeof buffer, v);
  return std::string(buffer, r.ptr);
}

// ---- the dialogue

struct Choices {
  std::string pattern = "ANSI31";
  double scale = 1;
  double angle = 0;
};

// The drawing's last choices ($HPNAME, $HPSCALE, $HPANG), else CAD programs' defaults.
Choices lastChoices(const db::Database& d) {
  Choices c;
  if (auto name = db::headerValue(d.header, "$HPNAME"); name && !name->empty()) c.pattern = *name;
  double v = 0;
  if (auto t = db::headerValue(d.header, "$HPSCALE"))
    if (std::from_chars(t->data(), t->data() + t->size(), v).ec == std::errc() && v > 0 && std::isfinite(v)) c.scale = v;
  if (auto t = db::headerValue(d.header, "$HPANG"))
    if (std::from_chars(t->data(), t->data() + t->size(), v).ec == std::errc() && std::isfinite(v)) c.angle = v;
  return c;
}

void keepChoices(Session& s, const Choices& c) {
  core::changeSettings(s.document(), "HATCH", {"$HPNAME", "$HPSCALE", "$HPANG"}, [&](db::Database& d) {
    db::setHeaderValue(d.header, "$HPNAME", 2, c.pattern);
    db::setHeaderValue(d.header, "$HPSCALE", 40, number(c.scale));
    db::setHeaderValue(d.header, "$HPANG", 50, number(c.angle));
    return true;
  });
}

class HatchDialogue {
 public:
  HatchDialogue(Session& s, const core::PatternFile& patterns) : s_(s), patterns_(patterns), c_(lastChoices(s.database())) {
    if (!patterns_.find(c_.pattern)) c_.pattern = patterns_.find("ANSI31") ? "ANSI31" : patterns_.patterns.front().name;
  }

  void run() {
    auto& prompts = s_.prompts();
    Session::PreviewScope preview(s_, [&](const Point3&) {
      std::vector<db::Entity> shown;
      if (!paths_.empty()) shown.push_back(onCurrentLayer(s_.database(), db::Boxed<db::Hatch>(made())));
      return shown;
    });
    for (;;) {
      prompts.initGet(0, "Select Pattern SCale Angle");
      Point3 p;
      const Status st = prompts.getPoint("\n拾取内部点或 [选择对象(S)/图案(P)/比例(SC)/角度(A)]: ", std::nullopt, p);
      if (st == Status::Cancel) return;
      if (st == Status::None) break;
      if (st == Status::Normal) {
        pick(p);
        continue;
      }
      const std::string keyword = prompts.lastKeyword().value_or("");
      if (keyword == "Select") select();
      else if (keyword == "Pattern") { if (!askPattern()) return; }
      else if (keyword == "SCale") { if (!askScale()) return; }
      else if (keyword == "Angle") { if (!askAngle()) return; }
    }
    if (paths_.empty()) return;
    if (addToDrawing(s_, db::Boxed<db::Hatch>(made()))) keepChoices(s_, c_);
  }

 private:
  db::Hatch made() const {
    db::Hatch h;
    applyPattern(h, *patterns_.find(c_.pattern), c_.scale, c_.angle);
    h.paths = paths_;
    h.seeds = seeds_;
    return h;
  }

  void pick(const Point3& p) {
    const core::Vec2 at = xy(p);
    for (const auto& area : areas_)
      if (core::encloses(area.outer, at) && std::none_of(area.islands.begin(), area.islands.end(),
                                                         [&](const core::BoundaryLoop& l) { return core::encloses(l, at); }))
        return;  // that area is already picked
    std::optional<core::Box2> within;
    core::Vec2 lowerLeft, upperRight;
    if (s_.view() && s_.view()->shownArea(lowerLeft, upperRight)) within = core::Box2::of(lowerLeft, upperRight);
    auto found = core::findHatchBoundary(s_.index(), at, within);
    if (!found) {
      s_.console().print("\n未找到有效的图案填充边界。");
      return;
    }
    paths_.push_back(pathOf(found->outer, db::HatchPath::external | db::HatchPath::derived | db::HatchPath::outermost));
    for (const core::BoundaryLoop& island : found->islands) paths_.push_back(pathOf(island, db::HatchPath::derived));
    seeds_.push_back({at.x, at.y});
    areas_.push_back(std::move(*found));
  }

  void select() {
    auto set = s_.selectObjects();
    if (!set) return;
    const db::Database& d = s_.database();
    std::size_t left = 0;
    for (db::ObjectId id : set->ids()) {
      const db::Entity* e = d.entity(id);
      auto path = e ? pathOfEntity(*e) : std::nullopt;
      if (path) paths_.push_back(std::move(*path));
      else ++left;
    }
    if (left > 0) s_.console().print("\n有 " + std::to_string(left) + " 个对象不是闭合的图形，已忽略。");
  }

  bool askPattern() {
    for (;;) {
      std::string name;
      if (s_.prompts().getString("\n输入图案名称 <" + c_.pattern + ">: ", false, 64, name) != Status::Normal) return false;
      if (name.empty()) return true;
      if (const core::HatchPattern* found = patterns_.find(name)) {
        c_.pattern = found->name;
        return true;
      }
      s_.console().print("\n图案“" + name + "”不在图案文件中。");
    }
  }

  bool askScale() {
    double v = 0;
    s_.prompts().initGet(prompt::kNoZero | prompt::kNoNegative, "");
    const Status st = s_.prompts().getReal("\n指定图案比例 <" + lengthText(s_, c_.scale) + ">: ", v);
    if (st == Status::Normal) c_.scale = v;
    return st == Status::Normal || st == Status::None;
  }

  bool askAngle() {
    double v = 0;
    const Status st = s_.prompts().getAngle("\n指定图案角度 <" + number(c_.angle) + ">: ", std::nullopt, v);
    if (st == Status::Normal) c_.angle = v;
    return st == Status::Normal || st == Status::None;
  }

  Session& s_;
  const core::PatternFile& patterns_;
  Choices c_;
  std::vector<db::HatchPath> paths_;
  std::vector<db::Point2> seeds_;
  std::vector<core::HatchBoundary> areas_;
};

void hatch(Session& s) {
  const core::PatternFile* patterns = programPatterns(s);
  if (!patterns) return;
  HatchDialogue(s, *patterns).run();
}

}  // namespace

std::vector<Session::HostCommand> hatchCommands() {
  return {
      {.name = "HATCH", .description = "图案填充：拾取闭合区域内部的点，或选择闭合对象，用图案或实体填充",
       .run = hatch, .undoable = true, .aliases = {"H", "BH"},
       .help = "在闭合区域内部拾取点：边界由周围的直线、圆弧、圆、多段线和椭圆围成，区域内的闭合图形作为孤岛留空；"
               "可拾取多个区域。或 S 选择闭合对象（圆、闭合多段线、椭圆、闭合样条曲线）作为边界。回车结束，"
               "所有区域成为一个图案填充对象，放在当前图层上。P 输入图案名称（SOLID 实体填充，ANSI31 至 ANSI38、"
               "AR-CONC、AR-SAND、NET、DOTS 等图案文件中的图案），SC 图案比例，A 图案角度；这些选择存入图形，"
               "作为下次的默认值。拾取点周围没有闭合区域时提示“未找到有效的图案填充边界。”并再次询问。",
       .menu = {"绘图", "图案填充", true}},
  };
}

}  // namespace orv::app
