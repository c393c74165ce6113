// What the reshaping commands share: picks, distances, and changes to the drawing that
// U inside a command takes back.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "lineweights.h"
#include "messages.h"
#include "modify_commands.h"
#include "orv/core/shapes.h"
#include "orv/db/header_values.h"
#include "property_commands.h"

namespace orv::app {

namespace modify {

namespace {
Vec2 xy(const Point3& p) { return {p.x, p.y}; }
}  // namespace

std::string fixed4(double v) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.4f", v);
  return buffer;
}

db::ObjectId entityAt(Session& s, const Point3& p) {
  const db::ObjectId id = s.index().pick(xy(p), s.pickDistance());
  if (!id) s.console().print(kNothingPicked);
  return id;
}

Status askDistance(Session& s, std::string_view prompt, std::string_view keywords, double& out) {
  auto& prompts = s.prompts();
  prompts.initGet(prompt::kNoNegative, keywords);
  return prompts.getDist(prompt, std::nullopt, out);
}

void takeBack(db::Database& d, const Change& c) {
  for (auto it = c.added.rbegin(); it != c.added.rend(); ++it) d.erase(*it);
  for (auto it = c.before.rbegin(); it != c.before.rend(); ++it) d.replace(it->first, it->second);
}

bool reshape(Session& s, db::ObjectId id, db::Geometry g, Change& change) {
  db::Database& d = s.database();
  const db::Entity* e = d.entity(id);
  db::Entity changed = *e;
  changed.geometry = std::move(g);
  const db::Entity before = *e;
  if (const db::Status st = d.replace(id, std::move(changed)); st != db::Status::ok) {
    s.console().print("\n无法修改该对象：" + messages::databaseStatus(st) + "。");
    return false;
  }
  change.before.emplace_back(id, before);
  return true;
}

bool add(Session& s, db::Geometry g, db::ObjectId like, Change& change) {
  db::Database& d = s.database();
  db::Entity e(std::move(g));
  if (like) {
    const db::Entity& source = *d.entity(like);
    e.layer = source.layer;
    e.linetype = source.linetype;
    e.color = source.color;
  } else {
    if (d.layers().find(d.header.currentLayer)) e.layer = d.intern(d.header.currentLayer);
    db::giveCurrentColorAndLinetype(d, e);
  }
  auto added = d.append(std::move(e));
  if (!added) {
    s.console().print("\n无法添加对象：" + messages::databaseStatus(added.error().status) + "。");
    return false;
  }
  change.added.push_back(*added);
  if (!like) return db::giveCurrentLineweight(d, *added);
  // What a drawing read from a file holds but cannot be given (a lineweight that is not
  // a standard one) is left out, as it is when typed.
  const geom::CommonProps p = propertiesOf(d, like);
  d.setLineweight(*added, p.lineweight);
  d.setLinetypeScale(*added, p.linetypeScale);
  return true;
}

std::optional<core::Path> pathOfEntity(Session& s, db::ObjectId id, std::string_view verb) {
  const db::Entity* e = s.database().entity(id);
  auto path = core::pathOf(e->geometry);
  if (!path) s.console().print("\n无法" + std::string(verb) + core::kindName(s.database(), *e) + "：" + std::string(kOnlyCurves) + "。");
  return path;
}

}  // namespace modify

}  // namespace orv::app
