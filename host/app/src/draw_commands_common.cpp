// The drawing, block and measuring commands' shared questions and the way they add what
// they make to the drawing.
#include "draw_commands.h"

#include <algorithm>

#include "hatch_command.h"
#include "lineweights.h"
#include "messages.h"
#include "orv/core/units.h"
#include "orv/db/header_values.h"
#include "property_commands.h"

namespace orv::app {

std::vector<Session::HostCommand> draftingCommands() {
  std::vector<Session::HostCommand> all;
  for (auto* table : {shapeCommands, ellipseAndPointCommands, blockCommands, measureCommands, hatchCommands,
                      textCommands, dimensionCommands})
    for (auto& c : table()) all.push_back(std::move(c));
  return all;
}

namespace drafting {

db::Entity onCurrentLayer(db::Database& d, db::Geometry geometry) {
  db::Entity e(std::move(geometry));
  if (d.layers().find(d.header.currentLayer)) e.layer = d.intern(d.header.currentLayer);
  db::giveCurrentColorAndLinetype(d, e);
  return e;
}

std::optional<db::ObjectId> addToDrawing(Session& s, db::Geometry geometry) {
  db::Database& d = s.database();
  auto added = d.append(onCurrentLayer(d, std::move(geometry)));
  if (!added) {
    s.console().print("\n无法添加这个对象：" + messages::databaseStatus(added.error().status) + "。");
    return std::nullopt;
  }
  db::giveCurrentLineweight(d, *added);
  return *added;
}

std::string lengthText(Session& s, double value) {
  return core::formatLength(core::unitsOf(s.database()), value);
}

Status askDistance(Session& s, std::string_view prompt, const std::optional<Point3>& base,
                   std::string_view keywords, int flags, double& out, std::optional<Point3>* picked) {
  auto& prompts = s.prompts();
  // A point given sets the last point; a number typed leaves it as it was.
  const Point3 lastBefore = prompts.lastPoint();
  prompts.initGet(flags, keywords);
  const Status st = prompts.getDist(prompt, base, out);
  if (picked) {
    picked->reset();
    const Point3 last = prompts.lastPoint();
    if (st == Status::Normal && (last.x != lastBefore.x || last.y != lastBefore.y || last.z != lastBefore.z))
      *picked = last;
  }
  return st;
}

Status askAngle(Session& s, std::string_view prompt, const Point3& base, std::string_view keywords, int flags,
                double& out) {
  auto& prompts = s.prompts();
  prompts.initGet(flags, keywords);
  return prompts.getAngle(prompt, base, out);
}

}  // namespace drafting

}  // namespace orv::app
