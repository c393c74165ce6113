// CHGEOM: one number or point of one entity's geometry changed, as the window's
// properties panel gives it ("CHGEOM RADIUS 5", "CHGEOM VERTEX 2 10,20"), one step of
// UNDO; a value that does not fit the entity is refused in Chinese and nothing changes.
#include <cmath>
#include <initializer_list>
#include <string>
#include <string_view>

#include "window_commands.h"
#include "hatch_command.h"
#include "orv/prompt/reply_parser.h"
#include "session.h"

namespace orv::app {

namespace {

using prompt::Status;

double normalDegrees(double a) {
  a = std::fmod(a, 360.0);
  return a < 0 ? a + 360.0 : a;
}

// One change: what the key names, checked against the entity.
class GeometryChange {
 public:
  GeometryChange(Session& s, db::Entity& e) : s_(s), e_(e) {}

  // False (with the message said) when the change cannot be made.
  bool apply(std::string_view line) {
    auto [keyword, value] = prompt::splitFirstWord(prompt::asciiForms(line));
    key_ = prompt::upperAscii(keyword);
    if (key_.empty()) return refuse("\n没有给出要修改的几何数据。");
    if (auto* l = e_.as<db::Line>()) {
      if (key_ == "START") return point(value, l->start);
      if (key_ == "END") return point(value, l->end);
    } else if (auto* c = e_.as<db::Circle>()) {
      if (key_ == "CENTER") return point(value, c->center);
      if (key_ == "RADIUS") return positive(value, c->radius, "半径");
    } else if (auto* a = e_.as<db::Arc>()) {
      if (key_ == "CENTER") return point(value, a->center);
      if (key_ == "RADIUS") return positive(value, a->radius, "半径");
      if (key_ == "STARTANGLE") return angle(value, a->startAngle);
      if (key_ == "ENDANGLE") return angle(value, a->endAngle);
    } else if (auto* p = e_.as<db::Polyline>()) {
      if (key_ == "VERTEX") return vertex(*p, value);
      if (key_ == "CLOSED") return closed(*p, value);
    } else if (auto* r = e_.as<db::BlockReference>()) {
      if (key_ == "POSITION") return point(value, r->position);
      if (key_ == "XSCALE") return scale(value, r->xScale);
      if (key_ == "YSCALE") return scale(value, r->yScale);
      if (key_ == "ROTATION") return angle(value, r->rotation);
    } else if (auto* pt = e_.as<db::Point>()) {
      if (key_ == "POSITION") return point(value, pt->position);
    } else if (auto* el = e_.as<db::Ellipse>()) {
      if (key_ == "CENTER") return point(value, el->center);
      if (key_ == "RATIO") {
        const auto v = number(value);
        if (!v) return false;
        if (!(*v > 0.0 && *v <= 1.0)) return refuse("\n短轴与长轴之比须大于 0 且不大于 1。");
        el->ratio = *v;
        return true;
      }
    } else if (auto* h = e_.as<db::Hatch>()) {
      if (key_ == "PATTERN" || key_ == "SCALE" || key_ == "ANGLE") return hatchPattern(*h, value);
    } else if (auto* t = e_.as<db::Text>()) {
      if (key_ == "CONTENTS") {
        if (t->type != db::Text::Type::attdef) return oneLine(value, t->value);
        std::string tag;
        if (!oneLine(value, tag)) return false;
        t->tag = tag;
        return true;
      }
      if (key_ == "HEIGHT") return positive(value, t->height, "文字高度");
      if (key_ == "ROTATION") return angle(value, t->rotation);
      if (key_ == "POSITION") {
        db::Point3 at = t->anchor();
        if (!point(value, at)) return false;
        t->moveAnchorTo(at);
        return true;
      }
    } else if (auto* leader = e_.as<db::Leader>()) {
      if (key_ == "ARROW") return leaderChoice(value, leader->arrow, {"Y", "YES", "是", "有"}, {"N", "NO", "否", "无"},
                                               "\n箭头须答 Y（有）或 N（无）。");
      if (key_ == "PATH")
        return leaderChoice(value, leader->pathType, {"SPLINE", "S", "样条曲线"}, {"STRAIGHT", "L", "直线"},
                            "\n路径类型须答 STRAIGHT（直线）或 SPLINE（样条曲线）。");
    } else if (auto* k = e_.as<db::UnknownEntity>()) {
      const std::string type(s_.database().name(k->type));
      if (type == "TEXT" && (key_ == "CONTENTS" || key_ == "HEIGHT")) return text(*k, value);
    } else if (auto* mt = e_.as<db::MText>()) {
      if (key_ == "CONTENTS") {
        for (unsigned char c : value)
          if (c < 0x20) return refuse("\n文字内容不能含有控制字符。");
        if (value.empty()) return refuse("\n文字内容不能为空。");
        mt->content = value;
        return true;
      }
      if (key_ == "HEIGHT") return positive(value, mt->height, "文字高度");
      if (key_ == "POSITION") return point(value, mt->position);
      if (key_ == "ROTATION") {
        double a = 0.0;
        if (!angle(value, a)) return false;
        mt->setAngle(a);
        return true;
      }
    }
    return refuse("\n这个对象没有可修改的几何数据“" + std::string(keyword) + "”。");
  }

 private:
  bool refuse(const std::string& text) {
    s_.console().print(text);
    return false;
  }

  std::optional<double> number(const std::string& value) {
    const auto v = prompt::parseReal(value);
    if (!v || !std::isfinite(*v)) s_.console().print("\n“" + value + "”不是数。");
    return v && std::isfinite(*v) ? v : std::nullopt;
  }

  bool point(const std::string& value, db::Point3& out) {
    const auto p = prompt::parsePoint(value, prompt::Point3{out.x, out.y, out.z});
    if (!p || !std::isfinite(p->x) || !std::isfinite(p->y) || !std::isfinite(p->z))
      return refuse("\n“" + value + "”不是点：应为 x,y 或 x,y,z。");
    out = {p->x, p->y, value.find(',') != value.rfind(',') ? p->z : out.z};
    return true;
  }

  bool positive(const std::string& value, double& out, const char* what) {
    const auto v = number(value);
    if (!v) return false;
    if (!(*v > 0.0)) return refuse(std::string("\n") + what + "须是正数。");
    out = *v;
    return true;
  }

  bool angle(const std::string& value, double& out) {
    const auto v = number(value);
    if (!v) return false;
    out = normalDegrees(*v);
    return true;
  }

  bool scale(const std::string& value, double& out) {
    const auto v = number(value);
    if (!v) return false;
    if (*v == 0.0) return refuse("\n比例不能为 0。");
    out = *v;
    return true;
  }

  // A hatch's pattern, scale or angle: its pattern lines made anew from the pattern file.
  bool hatchPattern(db::Hatch& h, const std::string& value) {
    const core::PatternFile* patterns = programPatterns(s_);
    if (!patterns) return false;
    const std::string name = key_ == "PATTERN" ? value : h.pattern;
    const core::HatchPattern* pattern = patterns->find(name);
    if (!pattern) return refuse("\n图案“" + name + "”不在图案文件中。");
    double scale = h.scale > 0 && std::isfinite(h.scale) ? h.scale : 1.0, angle = h.angle;
    if (key_ == "SCALE" && !positive(value, scale, "图案比例")) return false;
    if (key_ == "ANGLE" && !this->angle(value, angle)) return false;
    applyPattern(h, *pattern, scale, angle);
    return true;
  }

  bool vertex(db::Polyline& p, const std::string& value) {
    auto [which, at] = prompt::splitFirstWord(value);
    int n = 0;
    if (prompt::parseInt(which, n) != prompt::IntParse::Ok || n < 1 || static_cast<std::size_t>(n) > p.size())
      return refuse("\n顶点编号须在 1 到 " + std::to_string(p.size()) + " 之间。");
    const db::Point2 old = p.point(static_cast<std::size_t>(n - 1));
    db::Point3 moved{old.x, old.y, p.elevation()};
    if (!point(at, moved)) return false;
    return p.setPoint(static_cast<std::size_t>(n - 1), {moved.x, moved.y}) == db::Status::ok ||
           refuse("\n无法移动顶点 " + std::to_string(n) + "。");
  }

  // A leader's flag: 1 for a word of `on`, 0 for one of `off`.
  bool leaderChoice(const std::string& value, std::int16_t& flag, std::initializer_list<std::string_view> on,
                    std::initializer_list<std::string_view> off, const char* refusal) {
    const std::string v = prompt::upperAscii(value);
    for (std::string_view w : on)
      if (v == w) return flag = 1, true;
    for (std::string_view w : off)
      if (v == w) return flag = 0, true;
    return refuse(refusal);
  }

  bool closed(db::Polyline& p, const std::string& value) {
    const std::string v = prompt::upperAscii(value);
    if (v == "Y" || v == "YES" || v == "是") p.setClosed(true);
    else if (v == "N" || v == "NO" || v == "否") p.setClosed(false);
    else return refuse("\n闭合须答 Y（闭合）或 N（打开）。");
    return true;
  }

  // One-line text's contents (or an attribute definition's tag).
  bool oneLine(const std::string& value, std::string& out) {
    for (unsigned char c : value)
      if (c < 0x20) return refuse("\n文字内容不能含有控制字符。");
    if (value.empty()) return refuse("\n文字内容不能为空。");
    if (value.size() > 250) return refuse("\n单行文字不能超过 250 个字节。");
    out = value;
    return true;
  }

  // A kept text's contents (code 1) or height (code 40) in its kept tags; every other tag
  // stays where it was.
  bool text(db::UnknownEntity& k, const std::string& value) {
    std::string contents;
    std::string height;
    if (key_ == "HEIGHT") {
      double h = 0.0;
      if (!positive(value, h, "文字高度")) return false;
      char buffer[40];
      std::snprintf(buffer, sizeof buffer, "%.17g", h);
      height = buffer;
    } else {
      for (unsigned char c : value)
        if (c < 0x20) return refuse("\n文字内容不能含有控制字符。");
      if (value.empty()) return refuse("\n文字内容不能为空。");
      if (value.size() > 250) return refuse("\n单行文字不能超过 250 个字节。");
      contents = value;
    }
    db::RawTags out;
    bool placed = false;
    bool inGroup = false, inXdata = false;
    for (db::RawTag t : k.tags) {
      // The text's own codes: neither application data (102 groups) nor extended data.
      if (t.code == 102) inGroup = !t.value.empty() && t.value.front() == '{';
      inXdata = inXdata || t.code >= 1000;
      const bool own = !inGroup && !inXdata && t.code != 102;
      if (own && !contents.empty() && t.code == 1) {
        if (!placed) out.add(1, contents, t.slot);
        placed = true;
        continue;
      }
      if (own && !height.empty() && t.code == 40 && !placed) {
        out.add(40, height, t.slot);
        placed = true;
        continue;
      }
      out.add(t.code, t.value, t.slot);
    }
    if (!placed) return refuse("\n这个文字对象没有可修改的" + std::string(key_ == "HEIGHT" ? "高度" : "内容") + "。");
    k.tags = std::move(out);
    return true;
  }

  Session& s_;
  db::Entity& e_;
  std::string key_;
};

void chgeom(Session& s) {
  std::string line = s.commandArgument();
  const bool chosenBefore = !s.selector().current().empty();
  auto set = s.selectObjects();
  if (!set || set->empty()) return;
  if (set->size() != 1) {
    s.console().print("\n只能修改一个对象的几何数据（选中了 " + std::to_string(set->size()) + " 个）。");
    if (chosenBefore) s.selector().setCurrent(*set);
    return;
  }
  if (line.empty() &&
      s.prompts().getString("\n输入要修改的几何数据及其新值（如 RADIUS 5）: ", true, 4096, line) != Status::Normal) {
    if (chosenBefore) s.selector().setCurrent(*set);
    return;
  }
  const db::ObjectId id = set->ids().front();
  db::Database& d = s.database();
  if (const db::Entity* now = d.entity(id); now && !now->isErased()) {
    db::Entity changed = *now;
    if (GeometryChange(s, changed).apply(line)) {
      if (db::validate(changed.geometry) != db::Status::ok || d.replace(id, std::move(changed)) != db::Status::ok)
        s.console().print("\n无法修改这个对象：新值使它无效。");
    }
  }
  if (chosenBefore) s.selector().setCurrent(*set);  // the panel goes on showing it
}

}  // namespace

std::vector<Session::HostCommand> geometryCommands() {
  return {
      {.name = "CHGEOM", .description = "修改一个对象的几何数据（点、半径、角度、比例、文字）", .run = chgeom,
       .undoable = true, .takesArgument = true,
       .help = "选择一个对象（已选中的不再询问），再输入一项几何数据及其新值，或写在命令后，如 CHGEOM RADIUS 5："
               "直线 START、END（点）；圆 CENTER、RADIUS；圆弧 CENTER、RADIUS、STARTANGLE、ENDANGLE（度）；"
               "多段线 VERTEX 编号 点、CLOSED Y 或 N；块参照 POSITION、XSCALE、YSCALE、ROTATION；"
               "点 POSITION；椭圆 CENTER、RATIO（短轴与长轴之比）；图案填充 PATTERN 图案名称、SCALE 图案比例、ANGLE 图案角度；"
               "文字 CONTENTS 内容、HEIGHT 高度；引线 ARROW Y 或 N（箭头有无）、PATH STRAIGHT 或 SPLINE（直线或样条曲线）。点写作 x,y（z 不变）或 x,y,z。半径和高度须是正数，比例不能为 0。"
               "窗口的特性面板（Ctrl+1）就这样修改选中的一个对象。"},
  };
}

}  // namespace orv::app
