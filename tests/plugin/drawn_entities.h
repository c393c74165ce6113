// Reading back what a command drew: the entities of a drawing's model space
// in creation order, each opened through the SDK and described by value, and
// matchers that compare them with a tolerance.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <ostream>
#include <string>
#include <vector>

#include "db_impl.h"
#include "dbents.h"
#include "dbmain.h"
#include "dbpl.h"
#include "orv/text/encoding.h"

// One entity as a test sees it.
struct Drawn {
  enum class Kind { polyline, arc, line, other };
  Kind kind = Kind::other;
  std::vector<AcGePoint2d> vertices;  // a polyline's vertices; a line's two ends
  bool straight = true;               // polyline: every bulge 0, no widths, open
  AcGePoint3d centre;                 // arc
  double radius = 0, startAngle = 0, endAngle = 0;
  int color = -1;
  std::string linetype;
};

inline std::ostream& operator<<(std::ostream& os, const Drawn& d) {
  static const char* names[] = {"polyline", "arc", "line", "other"};
  os << names[static_cast<int>(d.kind)] << " colour " << d.color << " linetype " << d.linetype;
  if (d.kind == Drawn::Kind::arc) {
    os << " centre (" << d.centre.x << ", " << d.centre.y << ", " << d.centre.z << ") radius " << d.radius
       << " from " << d.startAngle << " to " << d.endAngle;
  }
  for (const AcGePoint2d& p : d.vertices) os << " (" << p.x << ", " << p.y << ")";
  if (!d.straight) os << " with bulges, widths or closed";
  return os;
}

// The entities of model space that are not erased, oldest first.
inline std::vector<Drawn> drawnEntities(AcDbDatabase* drawing) {
  std::vector<Drawn> result;
  std::vector<AcDbObjectId> ids;
  const orv::db::Database& model = orv::sdk::databaseOf(drawing);
  model.forEachEntity(model.modelSpace(), [&](orv::db::ObjectId id, const orv::db::Entity&) {
    ids.push_back(orv::sdk::entityId(drawing, id));
  });
  for (const AcDbObjectId& id : ids) {
    AcDbEntity* entity = nullptr;
    EXPECT_EQ(acdbOpenAcDbEntity(entity, id, AcDb::kForRead), Acad::eOk);
    if (entity == nullptr) continue;
    Drawn d;
    d.color = entity->colorIndex();
    d.linetype = orv::text::narrow(entity->linetype());
    if (auto* pl = AcDbPolyline::cast(entity)) {
      d.kind = Drawn::Kind::polyline;
      d.straight = !pl->isClosed();
      for (unsigned i = 0; i < pl->numVerts(); ++i) {
        AcGePoint2d p;
        double bulge = 1, start = 0, end = 0;
        pl->getPointAt(i, p);
        pl->getBulgeAt(i, bulge);
        pl->getWidthsAt(i, start, end);
        d.vertices.push_back(p);
        // Widths of -1 (the default) may read back as 0: neither draws a width.
        if (bulge != 0 || start > 0 || end > 0) d.straight = false;
      }
    } else if (auto* arc = AcDbArc::cast(entity)) {
      d.kind = Drawn::Kind::arc;
      d.centre = arc->center();
      d.radius = arc->radius();
      d.startAngle = arc->startAngle();
      d.endAngle = arc->endAngle();
    } else if (auto* line = AcDbLine::cast(entity)) {
      d.kind = Drawn::Kind::line;
      d.vertices = {line->startPoint().convert2d(), line->endPoint().convert2d()};
    }
    entity->close();
    result.push_back(d);
  }
  return result;
}

inline constexpr double kTolerance = 1e-9;

inline bool near(double a, double b) { return std::fabs(a - b) <= kTolerance * std::max(1.0, std::fabs(b)); }
inline bool near(const AcGePoint2d& a, const AcGePoint2d& b) { return near(a.x, b.x) && near(a.y, b.y); }

// Two angles of the same direction (0 and 2 pi are one).
inline bool sameAngle(double a, double b) {
  double d = std::fmod(std::fabs(a - b), 2 * std::numbers::pi);
  return d <= kTolerance || 2 * std::numbers::pi - d <= kTolerance;
}

// Angles in degrees, to read like the drawings they describe.
inline double degrees(double d) { return d * std::numbers::pi / 180; }

// A straight two-vertex polyline from a to b in a colour and linetype.
MATCHER_P4(PieceIs, a, b, color, linetype, "") {
  return arg.kind == Drawn::Kind::polyline && arg.straight && arg.vertices.size() == 2 &&
         near(arg.vertices[0], a) && near(arg.vertices[1], b) && arg.color == color &&
         arg.linetype == linetype;
}

// An arc around centre (at z 0) from start to end, counter-clockwise.
MATCHER_P6(ArcIs, centre, radius, start, end, color, linetype, "") {
  return arg.kind == Drawn::Kind::arc && near(arg.centre.convert2d(), centre) && arg.centre.z == 0 &&
         near(arg.radius, radius) && sameAngle(arg.startAngle, start) && sameAngle(arg.endAngle, end) &&
         arg.color == color && arg.linetype == linetype;
}
