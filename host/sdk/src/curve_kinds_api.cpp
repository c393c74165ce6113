// Ellipses, splines and leaders over their db kinds, with the ends of each as a curve.
#include "dbelipse.h"
#include "dblead.h"
#include "dbspline.h"
#include "entity_access.h"
#include "orv/geom/curves.h"

namespace db = orv::db;
using namespace orv::sdk;

// ---- AcDbEllipse

namespace {

constexpr double kTurn = 2.0 * std::numbers::pi;

db::Ellipse& ellipse(AcDbEntity& e) { return kindOf<db::Ellipse>(e); }
const db::Ellipse& ellipse(const AcDbEntity& e) { return kindOf<db::Ellipse>(e); }

// The parameter t of a point is not its angle from the major axis: the point at angle a
// has tan a = ratio * tan t. Both lie in the same quarter, so the nearest whole turn
// carries over.
double angleOfParam(double t, double ratio) {
  double a = std::atan2(ratio * std::sin(t), std::cos(t));
  return a + kTurn * std::round((t - a) / kTurn);
}
double paramOfAngle(double a, double ratio) {
  double t = std::atan2(std::sin(a) / ratio, std::cos(a));
  return t + kTurn * std::round((a - t) / kTurn);
}

AcGePoint3d pointAt(const db::Ellipse& e, double t) {
  const db::Point3 minor = e.minorAxis();
  const double c = std::cos(t), s = std::sin(t);
  return {e.center.x + c * e.majorAxis.x + s * minor.x, e.center.y + c * e.majorAxis.y + s * minor.y,
          e.center.z + c * e.majorAxis.z + s * minor.z};
}

}  // namespace

AcDbEllipse::AcDbEllipse() { orvData().entity = db::Entity(db::Ellipse{}); }
AcDbEllipse::AcDbEllipse(const AcGePoint3d& center, const AcGeVector3d& unitNormal, const AcGeVector3d& majorAxis,
                         double radiusRatio, double startAngle, double endAngle) {
  db::Ellipse e;
  e.center = toDb(center);
  e.extrusion = toDb(unitNormal);
  e.majorAxis = toDb(majorAxis);
  e.ratio = radiusRatio;
  const double ratio = radiusRatio > 0.0 ? radiusRatio : 1.0;
  e.startParam = paramOfAngle(startAngle, ratio);
  e.endParam = paramOfAngle(endAngle, ratio);
  orvData().entity = db::Entity(std::move(e));
}
AcGePoint3d AcDbEllipse::center() const { return fromDb(ellipse(*this).center); }
Acad::ErrorStatus AcDbEllipse::setCenter(const AcGePoint3d& p) {
  if (!finite(p)) return Acad::eInvalidInput;
  if (auto es = beginChange(*this); es != Acad::eOk) return es;
  ellipse(*this).center = toDb(p);
  return Acad::eOk;
}
AcGeVector3d AcDbEllipse::normal() const { return vectorOf(ellipse(*this).extrusion); }
AcGeVector3d AcDbEllipse::majorAxis() const { return vectorOf(ellipse(*this).majorAxis); }
AcGeVector3d AcDbEllipse::minorAxis() const { return vectorOf(ellipse(*this).minorAxis()); }
double AcDbEllipse::radiusRatio() const { return ellipse(*this).ratio; }
Acad::ErrorStatus AcDbEllipse::setRadiusRatio(double ratio) {
  if (!std::isfinite(ratio) || ratio <= 0.0 || ratio > 1.0) return Acad::eInvalidInput;
  if (auto es = beginChange(*this); es != Acad::eOk) return es;
  // The ends stay at their angles.
  db::Ellipse& e = ellipse(*this);
  const double start = angleOfParam(e.startParam, e.ratio), end = angleOfParam(e.endParam, e.ratio);
  e.ratio = ratio;
  e.startParam = paramOfAngle(start, ratio);
  e.endParam = paramOfAngle(end, ratio);
  return Acad::eOk;
}
double AcDbEllipse::startAngle() const { return angleOfParam(ellipse(*this).startParam, ellipse(*this).ratio); }
double AcDbEllipse::endAngle() const { return angleOfParam(ellipse(*this).endParam, ellipse(*this).ratio); }
Acad::ErrorStatus AcDbEllipse::setStartAngle(double radians) {
  if (!std::isfinite(radians)) return Acad::eInvalidInput;
  if (auto es = beginChange(*this); es != Acad::eOk) return es;
  ellipse(*this).startParam = paramOfAngle(radians, ellipse(*this).ratio);
  return Acad::eOk;
}
Acad::ErrorStatus AcDbEllipse::setEndAngle(double radians) {
  if (!std::isfinite(radians)) return Acad::eInvalidInput;
  if (auto es = beginChange(*this); es != Acad::eOk) return es;
  ellipse(*this).endParam = paramOfAngle(radians, ellipse(*this).ratio);
  return Acad::eOk;
}
bool AcDbEllipse::isClosed() const { return ellipse(*this).sweep() >= kTurn - 1e-9; }
Acad::ErrorStatus AcDbEllipse::getStartPoint(AcGePoint3d& p) const {
  p = pointAt(ellipse(*this), ellipse(*this).startParam);
  return Acad::eOk;
}
Acad::ErrorStatus AcDbEllipse::getEndPoint(AcGePoint3d& p) const {
  const db::Ellipse& e = ellipse(*this);
  p = pointAt(e, e.startParam + e.sweep());
  return Acad::eOk;
}

// ---- AcDbSpline

namespace {

db::Spline& spline(AcDbEntity& e) { return kindOf<db::Spline>(e); }
const db::Spline& spline(const AcDbEntity& e) { return kindOf<db::Spline>(e); }

std::vector<db::Point3> pointsOf(const AcGePoint3dArray& points) {
  std::vector<db::Point3> out;
  out.reserve(static_cast<std::size_t>(points.length()));
  for (int i = 0; i < points.length(); ++i) out.push_back(toDb(points[i]));
  return out;
}

// The planar flag when every point lies at one height.
std::int16_t planarFlag(const std::vector<db::Point3>& points) {
  for (const db::Point3& p : points)
    if (p.z != points.front().z) return 0;
  return 8;
}

Acad::ErrorStatus pointAt(const std::vector<db::Point3>& list, int index, AcGePoint3d& point) {
  if (index < 0 || static_cast<std::size_t>(index) >= list.size()) return Acad::eOutOfRange;
  point = fromDb(list[static_cast<std::size_t>(index)]);
  return Acad::eOk;
}

Acad::ErrorStatus setPointAt(AcDbEntity& e, std::vector<db::Point3>& list, int index, const AcGePoint3d& point) {
  if (index < 0 || static_cast<std::size_t>(index) >= list.size()) return Acad::eOutOfRange;
  if (!finite(point)) return Acad::eInvalidInput;
  if (auto es = beginChange(e); es != Acad::eOk) return es;
  list[static_cast<std::size_t>(index)] = toDb(point);
  return Acad::eOk;
}

}  // namespace

AcDbSpline::AcDbSpline() { orvData().entity = db::Entity(db::Spline{}); }
AcDbSpline::AcDbSpline(const AcGePoint3dArray& fitPoints, int, double fitTolerance) {
  db::Spline s;
  s.fitPoints = pointsOf(fitPoints);
  s.degree = 3;
  if (!s.fitPoints.empty()) s.flags = planarFlag(s.fitPoints);
  if (fitTolerance > 0.0) s.fitTolerance = fitTolerance;
  orvData().entity = db::Entity(std::move(s));
}
AcDbSpline::AcDbSpline(int degree, bool rational, bool closed, bool periodic, const AcGePoint3dArray& controlPoints,
                       const AcGeDoubleArray& knots, const AcGeDoubleArray& weights, double controlPtTol,
                       double knotTol) {
  std::vector<db::Point3> points = pointsOf(controlPoints);
  db::Spline s;
  if (knots.isEmpty()) {
    s = db::Spline::byControlPoints(std::move(points), degree);
  } else {
    s.degree = degree;
    s.controlPoints = std::move(points);
    s.knots.assign(knots.asArrayPtr(), knots.asArrayPtr() + knots.length());
    if (!s.controlPoints.empty()) s.flags = planarFlag(s.controlPoints);
  }
  if (rational && !weights.isEmpty()) {
    s.weights.assign(weights.asArrayPtr(), weights.asArrayPtr() + weights.length());
    s.flags |= 4;
  }
  if (closed) s.flags |= 1;
  if (periodic) s.flags |= 2;
  if (controlPtTol > 0.0) s.controlTolerance = controlPtTol;
  if (knotTol > 0.0) s.knotTolerance = knotTol;
  orvData().entity = db::Entity(std::move(s));
}
int AcDbSpline::degree() const { return spline(*this).degree; }
bool AcDbSpline::isRational() const { return (spline(*this).flags & 4) != 0; }
bool AcDbSpline::isClosed() const { return spline(*this).closed(); }
bool AcDbSpline::isPeriodic() const { return (spline(*this).flags & 2) != 0; }
bool AcDbSpline::hasFitData() const { return !spline(*this).fitPoints.empty(); }
int AcDbSpline::numControlPoints() const { return static_cast<int>(spline(*this).controlPoints.size()); }
Acad::ErrorStatus AcDbSpline::getControlPointAt(int index, AcGePoint3d& point) const {
  return pointAt(spline(*this).controlPoints, index, point);
}
Acad::ErrorStatus AcDbSpline::setControlPointAt(int index, const AcGePoint3d& point) {
  return setPointAt(*this, spline(*this).controlPoints, index, point);
}
int AcDbSpline::numFitPoints() const { return static_cast<int>(spline(*this).fitPoints.size()); }
Acad::ErrorStatus AcDbSpline::getFitPointAt(int index, AcGePoint3d& point) const {
  return pointAt(spline(*this).fitPoints, index, point);
}
Acad::ErrorStatus AcDbSpline::setFitPointAt(int index, const AcGePoint3d& point) {
  return setPointAt(*this, spline(*this).fitPoints, index, point);
}
Acad::ErrorStatus AcDbSpline::getStartPoint(AcGePoint3d& p) const {
  const db::Spline& s = spline(*this);
  if (s.framePoints().empty()) return Acad::eInvalidInput;
  const std::vector<db::Point3> curve = orv::geom::splinePoints(s, 1);
  p = fromDb(curve.empty() ? s.framePoints().front() : curve.front());
  return Acad::eOk;
}
Acad::ErrorStatus AcDbSpline::getEndPoint(AcGePoint3d& p) const {
  const db::Spline& s = spline(*this);
  if (s.framePoints().empty()) return Acad::eInvalidInput;
  const std::vector<db::Point3> curve = orv::geom::splinePoints(s, 1);
  p = fromDb(curve.empty() ? s.framePoints().back() : curve.back());
  return Acad::eOk;
}

// ---- AcDbLeader

namespace {
db::Leader& leader(AcDbEntity& e) { return kindOf<db::Leader>(e); }
const db::Leader& leader(const AcDbEntity& e) { return kindOf<db::Leader>(e); }
}  // namespace

AcDbLeader::AcDbLeader() { orvData().entity = db::Entity(db::Leader{}); }
int AcDbLeader::numVertices() const { return static_cast<int>(leader(*this).vertices.size()); }
AcGePoint3d AcDbLeader::vertexAt(int index) const {
  AcGePoint3d p;
  return pointAt(leader(*this).vertices, index, p) == Acad::eOk ? p : AcGePoint3d();
}
bool AcDbLeader::setVertexAt(int index, const AcGePoint3d& point) {
  return setPointAt(*this, leader(*this).vertices, index, point) == Acad::eOk;
}
bool AcDbLeader::appendVertex(const AcGePoint3d& point) {
  if (!finite(point) || beginChange(*this) != Acad::eOk) return false;
  leader(*this).vertices.push_back(toDb(point));
  return true;
}
void AcDbLeader::removeLastVertex() {
  if (leader(*this).vertices.size() <= 2 || beginChange(*this) != Acad::eOk) return;
  leader(*this).vertices.pop_back();
}
bool AcDbLeader::hasArrowHead() const { return leader(*this).hasArrow(); }
void AcDbLeader::enableArrowHead() {
  if (beginChange(*this) == Acad::eOk) leader(*this).arrow = 1;
}
void AcDbLeader::disableArrowHead() {
  if (beginChange(*this) == Acad::eOk) leader(*this).arrow = 0;
}
bool AcDbLeader::isSplined() const { return leader(*this).spline(); }
AcDbObjectId AcDbLeader::annotationObjId() const {
  const db::Handle h = leader(*this).annotation;
  if (h == 0 || !isDatabaseResident()) return AcDbObjectId();
  const db::Database& d = databaseOf(database());
  for (std::size_t i = 0; i < d.entitySlotCount(); ++i) {
    const db::ObjectId id{static_cast<std::uint32_t>(i)};
    const db::Entity* e = d.entity(id);
    if (e && e->handle() == h) return e->isErased() ? AcDbObjectId() : entityId(database(), id);
  }
  return AcDbObjectId();
}
AcGeVector3d AcDbLeader::normal() const { return vectorOf(leader(*this).normal); }
Acad::ErrorStatus AcDbLeader::getStartPoint(AcGePoint3d& p) const {
  if (leader(*this).vertices.empty()) return Acad::eInvalidInput;
  p = fromDb(leader(*this).vertices.front());
  return Acad::eOk;
}
Acad::ErrorStatus AcDbLeader::getEndPoint(AcGePoint3d& p) const {
  if (leader(*this).vertices.empty()) return Acad::eInvalidInput;
  p = fromDb(leader(*this).vertices.back());
  return Acad::eOk;
}
