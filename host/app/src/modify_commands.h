// What the reshaping commands share: picks, distances and changes that U inside a
// command takes back.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "orv/core/intersections.h"
#include "session.h"

namespace orv::app::modify {

using core::Vec2;
using prompt::Point3;
using prompt::Status;

inline constexpr std::string_view kNothingPicked = "\n未选择对象。";
inline constexpr std::string_view kOnlyCurves = "只能是直线、圆弧、圆或多段线";

// A number with four decimals, as defaults in prompts show it.
std::string fixed4(double v);

// The entity under a picked point; null (and said) when there is none.
db::ObjectId entityAt(Session& s, const Point3& p);

// A distance: a number, or a point and a second point whose distance it is. `keywords`
// are armed besides; Keyword leaves the keyword in the engine's lastKeyword().
Status askDistance(Session& s, std::string_view prompt, std::string_view keywords, double& out);

// One change of a command that U inside it takes back: entities as they were, and the
// entities it added.
struct Change {
  std::vector<std::pair<db::ObjectId, db::Entity>> before;
  std::vector<db::ObjectId> added;
};
void takeBack(db::Database& d, const Change& c);

// Gives entity `id` new geometry; false (and said) when the drawing refuses it.
bool reshape(Session& s, db::ObjectId id, db::Geometry g, Change& change);
// Adds an entity with the properties of entity `like` (its layer, colour, linetype,
// lineweight and linetype scale) or, for a null id, the current ones.
bool add(Session& s, db::Geometry g, db::ObjectId like, Change& change);

// The path of a reshapeable entity; nullopt (and said, with `verb`) for other kinds.
std::optional<core::Path> pathOfEntity(Session& s, db::ObjectId id, std::string_view verb);

}  // namespace orv::app::modify

namespace orv::app {
// BREAK, STRETCH, ARRAY, JOIN, LENGTHEN (modifyCommands() gives them after its own).
std::vector<Session::HostCommand> modifyMoreCommands();
}  // namespace orv::app
