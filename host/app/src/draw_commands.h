// What the drawing, block and measuring commands share: their tables, how they put a new
// entity on the drawing, and the distance and angle questions they ask.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "draw_geometry.h"
#include "session.h"

namespace orv::app {

// CIRCLE, ARC, PLINE, RECTANG, POLYGON.
std::vector<Session::HostCommand> shapeCommands();
// ELLIPSE, POINT.
std::vector<Session::HostCommand> ellipseAndPointCommands();
// BLOCK, INSERT, EXPLODE.
std::vector<Session::HostCommand> blockCommands();
// AREA, DIVIDE, MEASURE.
std::vector<Session::HostCommand> measureCommands();
// DIMLINEAR, DIMALIGNED, DIMRADIUS, DIMDIAMETER, DIMANGULAR, DIMCONTINUE, DIMBASELINE.
std::vector<Session::HostCommand> dimensionCommands();
// TEXT, MTEXT, DDEDIT.
std::vector<Session::HostCommand> textCommands();
// All of them, in the order the 绘图 menu lists them.
std::vector<Session::HostCommand> draftingCommands();

namespace drafting {

using prompt::Point3;
using prompt::Status;

inline core::Vec2 xy(const Point3& p) { return {p.x, p.y}; }

// An entity on the current layer with the current colour and linetype (also for previews).
db::Entity onCurrentLayer(db::Database& d, db::Geometry geometry);
// Adds it to model space on the current layer; says why not when the drawing refuses it.
std::optional<db::ObjectId> addToDrawing(Session& s, db::Geometry geometry);

// A length as the drawing writes it ("10.0000"), for the defaults shown in prompts.
std::string lengthText(Session& s, double value);

// A distance (a number, or a point: its distance from `base`; without a base a second
// point is asked) or an angle in degrees (a number, or a point: the direction from `base`
// to it). Keywords armed as for initGet; flags kNoZero and kNoNegative refuse such
// numbers with the engine's messages. Normal with the value, Keyword, None or Cancel;
// `picked` (if given) is set to the point when the reply was one. Asked through the
// engine's getDist and getAngle, so that a presentation shows the rubber band from
// `base` and still takes a number typed there as the reply itself.
Status askDistance(Session& s, std::string_view prompt, const std::optional<Point3>& base,
                   std::string_view keywords, int flags, double& out, std::optional<Point3>* picked = nullptr);
Status askAngle(Session& s, std::string_view prompt, const Point3& base, std::string_view keywords, int flags,
                double& out);

// An entity picked at a point (copied); nullopt on Enter or a cancel. Asked again, with
// "未找到对象。" or `refusal`, until `accept(entity, point)` takes one; `pickedAt` gets the point.
template <class Accept>
std::optional<db::Entity> pickEntity(Session& s, std::string_view prompt, std::string_view refusal, Accept accept,
                                     core::Vec2* pickedAt = nullptr) {
  for (;;) {
    Point3 p;
    if (s.prompts().getPickPoint(prompt, p) != Status::Normal) return std::nullopt;
    const db::ObjectId id = s.index().pick(xy(p), s.pickDistance());
    const db::Entity* e = id.isNull() ? nullptr : s.database().entity(id);
    if (!e) {
      s.console().print("\n未找到对象。");
      continue;
    }
    if (accept(*e, xy(p))) {
      if (pickedAt) *pickedAt = xy(p);
      return *e;
    }
    s.console().print(refusal);
  }
}

}  // namespace drafting

}  // namespace orv::app
