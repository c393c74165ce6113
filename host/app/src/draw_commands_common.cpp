// The drawing, block and measuring commands' shared questions and the way they add what
// they make to the drawing.
#include "draw_commands.h"

#include <algorithm>

#include "messages.h"
#include "orv/core/units.h"
#include "orv/prompt/reply_parser.h"

namespace orv::app {

std::vector<Session::HostCommand> draftingCommands() {
  std::vector<Session::HostCommand> all;
  for (auto* table : {shapeCommands, blockCommands, measureCommands})
    for (auto& c : table()) all.push_back(std::move(c));
  return all;
}

namespace drafting {

namespace {

bool armed(std::string_view keywords, const std::string& word) {
  std::size_t i = 0;
  while (i < keywords.size()) {
    while (i < keywords.size() && keywords[i] == ' ') ++i;
    const std::size_t start = i;
    while (i < keywords.size() && keywords[i] != ' ') ++i;
    if (i > start && keywords.substr(start, i - start) == word) return true;
  }
  return false;
}

enum class Measure { distance, angle };

// The one place that asks for a distance or an angle, until the prompt engine does.
Status askMeasure(Session& s, std::string_view prompt, const std::optional<Point3>& base,
                  std::string_view keywords, int flags, Measure what, double& out,
                  std::optional<Point3>* picked = nullptr) {
  auto& prompts = s.prompts();
  // An angle's prompt shows no base: a presentation with a cursor would read a number
  // typed at a point prompt with a base as a distance towards the cursor.
  const std::optional<Point3> shownBase = what == Measure::angle ? std::nullopt : base;
  for (;;) {
    prompts.initGet(prompt::kOther, keywords);
    Point3 p;
    const Status st = prompts.getPoint(prompt, shownBase, p);
    double value = 0;
    if (picked) picked->reset();
    if (st == Status::Normal) {
      Point3 from = base.value_or(p);
      if (!base) {
        Point3 second;
        const Status nd = prompts.getPoint("\n指定第二点: ", p, second);
        if (nd != Status::Normal) return nd == Status::None ? Status::None : Status::Cancel;
        from = p;
        p = second;
      }
      const core::Vec2 d = xy(p) - xy(from);
      value = what == Measure::angle ? core::degreesOf(d) : core::length(d);
      if (picked) *picked = p;
    } else if (st == Status::Keyword) {
      const std::string word = prompts.lastKeyword().value_or("");
      if (armed(keywords, word)) return Status::Keyword;
      const auto number = prompt::parseReal(prompt::asciiForms(word));
      if (!number) {
        s.console().print(keywords.empty() ? "\n需要数值或点。" : "\n需要数值、点或选项关键字。");
        continue;
      }
      value = *number + 0.0;
    } else {
      return st;
    }
    if ((flags & prompt::kNoZero) && value == 0) {
      s.console().print(prompt::refusal::kZero);
      continue;
    }
    if ((flags & prompt::kNoNegative) && value < 0) {
      s.console().print(prompt::refusal::kNegative);
      continue;
    }
    out = value;
    return Status::Normal;
  }
}

}  // namespace

db::Entity onCurrentLayer(db::Database& d, db::Geometry geometry) {
  db::Entity e(std::move(geometry));
  if (d.layers().find(d.header.currentLayer)) e.layer = d.intern(d.header.currentLayer);
  return e;
}

std::optional<db::ObjectId> addToDrawing(Session& s, db::Geometry geometry) {
  db::Database& d = s.database();
  auto added = d.append(onCurrentLayer(d, std::move(geometry)));
  if (!added) {
    s.console().print("\n无法添加这个对象：" + messages::databaseStatus(added.error().status) + "。");
    return std::nullopt;
  }
  return *added;
}

std::string lengthText(Session& s, double value) {
  return core::formatLength(core::unitsOf(s.database()), value);
}

Status askDistance(Session& s, std::string_view prompt, const std::optional<Point3>& base,
                   std::string_view keywords, int flags, double& out, std::optional<Point3>* picked) {
  return askMeasure(s, prompt, base, keywords, flags, Measure::distance, out, picked);
}

Status askAngle(Session& s, std::string_view prompt, const Point3& base, std::string_view keywords, int flags,
                double& out) {
  return askMeasure(s, prompt, base, keywords, flags, Measure::angle, out);
}

}  // namespace drafting

}  // namespace orv::app
