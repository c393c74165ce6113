// Hatches and dimensions over their db kinds, and the attributes of block references.
#include <algorithm>

#include "dbdim.h"
#include "dbents.h"
#include "dbhatch.h"
#include "entity_access.h"
#include "orv/core/dimension_block.h"
#include "orv/core/drafting_styles.h"
#include "orv/text/case_fold.h"
#include "orv/text/encoding.h"

namespace db = orv::db;
using namespace orv::sdk;

// ---- AcDbHatch

namespace {

db::Hatch& hatch(AcDbEntity& e) { return kindOf<db::Hatch>(e); }
const db::Hatch& hatch(const AcDbEntity& e) { return kindOf<db::Hatch>(e); }

db::Point2 turned(db::Point2 p, double radians) {
  const double c = std::cos(radians), s = std::sin(radians);
  return {p.x * c - p.y * s, p.x * s + p.y * c};
}

// An edge path of lines and arcs as vertices and bulges: each edge gives its start and,
// for an arc, the bulge of its sweep (negative when it runs clockwise).
Acad::ErrorStatus edgesAsVertices(const db::HatchPath& path, AcGePoint2dArray& vertices, AcGeDoubleArray& bulges) {
  for (const db::HatchEdge& edge : path.edges) {
    if (edge.type == db::HatchEdge::Type::line) {
      vertices.append(AcGePoint2d(edge.start.x, edge.start.y));
      bulges.append(0.0);
    } else if (edge.type == db::HatchEdge::Type::arc) {
      // A clockwise edge stores 360 minus each angle: its start lies at -startAngle.
      const double start = (edge.counterClockwise ? edge.startAngle : -edge.startAngle) / kDegreesPerRadian;
      double sweep = std::fmod(edge.endAngle - edge.startAngle, 360.0);
      if (sweep <= 0.0) sweep += 360.0;
      const double bulge = std::tan(sweep / kDegreesPerRadian / 4.0);
      vertices.append(AcGePoint2d(edge.center.x + edge.radius * std::cos(start),
                                  edge.center.y + edge.radius * std::sin(start)));
      bulges.append(edge.counterClockwise ? bulge : -bulge);
    } else {
      return Acad::eNotApplicable;
    }
  }
  return Acad::eOk;
}

}  // namespace

AcDbHatch::AcDbHatch() { orvData().entity = db::Entity(db::Hatch::make("SOLID")); }
const ACHAR* AcDbHatch::patternName() const { return handOut(orvData(), kValueText, hatch(*this).pattern); }
AcDbHatch::HatchPatternType AcDbHatch::patternType() const {
  return static_cast<HatchPatternType>(hatch(*this).patternType);
}
Acad::ErrorStatus AcDbHatch::setPattern(HatchPatternType type, const ACHAR* name) {
  if (!name || type != kPreDefined || !orv::text::equalsFolded(orv::text::narrow(name), "SOLID"))
    return Acad::eInvalidInput;
  if (auto es = beginChange(*this); es != Acad::eOk) return es;
  db::Hatch& h = hatch(*this);
  h.pattern = "SOLID";
  h.patternType = db::Hatch::PatternType::predefined;
  h.solid = true;
  h.lines.clear();
  h.hasPatternLines = h.hasPatternValues = false;
  return Acad::eOk;
}
bool AcDbHatch::isSolidFill() const { return hatch(*this).solid; }
double AcDbHatch::patternScale() const { return hatch(*this).scale; }
Acad::ErrorStatus AcDbHatch::setPatternScale(double scale) {
  if (!std::isfinite(scale) || scale <= 0.0) return Acad::eInvalidInput;
  if (auto es = beginChange(*this); es != Acad::eOk) return es;
  db::Hatch& h = hatch(*this);
  // The lines are stored at the old scale: they grow by the ratio.
  const double by = h.scale > 0.0 ? scale / h.scale : 1.0;
  for (db::PatternLine& l : h.lines) {
    l.base = {l.base.x * by, l.base.y * by};
    l.offset = {l.offset.x * by, l.offset.y * by};
    for (double& dash : l.dashes) dash *= by;
  }
  h.scale = scale;
  return Acad::eOk;
}
double AcDbHatch::patternAngle() const { return hatch(*this).angle / kDegreesPerRadian; }
Acad::ErrorStatus AcDbHatch::setPatternAngle(double radians) {
  if (!std::isfinite(radians)) return Acad::eInvalidInput;
  if (auto es = beginChange(*this); es != Acad::eOk) return es;
  db::Hatch& h = hatch(*this);
  // The lines are stored turned by the old angle: they turn by the difference.
  const double by = radians * kDegreesPerRadian - h.angle;
  for (db::PatternLine& l : h.lines) {
    l.angle += by;
    l.base = turned(l.base, by / kDegreesPerRadian);
    l.offset = turned(l.offset, by / kDegreesPerRadian);
  }
  h.angle = radians * kDegreesPerRadian;
  return Acad::eOk;
}
bool AcDbHatch::associative() const { return hatch(*this).associative; }
AcGeVector3d AcDbHatch::normal() const { return vectorOf(hatch(*this).extrusion); }
double AcDbHatch::elevation() const { return hatch(*this).elevation.z; }
int AcDbHatch::numLoops() const { return static_cast<int>(hatch(*this).paths.size()); }
Adesk::Int32 AcDbHatch::loopTypeAt(int loopIndex) const {
  const auto& paths = hatch(*this).paths;
  if (loopIndex < 0 || static_cast<std::size_t>(loopIndex) >= paths.size()) return 0;
  return static_cast<Adesk::Int32>(paths[static_cast<std::size_t>(loopIndex)].flags);
}
Acad::ErrorStatus AcDbHatch::getLoopAt(int loopIndex, Adesk::Int32& loopType, AcGePoint2dArray& vertices,
                                       AcGeDoubleArray& bulges) const {
  vertices.removeAll();
  bulges.removeAll();
  const auto& paths = hatch(*this).paths;
  if (loopIndex < 0 || static_cast<std::size_t>(loopIndex) >= paths.size()) return Acad::eOutOfRange;
  const db::HatchPath& path = paths[static_cast<std::size_t>(loopIndex)];
  loopType = static_cast<Adesk::Int32>(path.flags);
  if (!path.isPolyline()) {
    Acad::ErrorStatus es = edgesAsVertices(path, vertices, bulges);
    if (es != Acad::eOk) {
      vertices.removeAll();
      bulges.removeAll();
    }
    return es;
  }
  for (db::Point2 v : path.vertices) vertices.append(AcGePoint2d(v.x, v.y));
  for (double b : path.bulges) bulges.append(b);
  return Acad::eOk;
}
Acad::ErrorStatus AcDbHatch::appendLoop(Adesk::Int32 loopType, const AcGePoint2dArray& vertices,
                                        const AcGeDoubleArray& bulges) {
  if (vertices.length() < 2 || (!bulges.isEmpty() && bulges.length() != vertices.length()))
    return Acad::eInvalidInput;
  db::HatchPath path;
  path.flags = static_cast<std::uint32_t>(loopType) | db::HatchPath::polyline;
  path.closed = true;
  for (int i = 0; i < vertices.length(); ++i) {
    if (!std::isfinite(vertices[i].x) || !std::isfinite(vertices[i].y)) return Acad::eInvalidInput;
    path.vertices.push_back({vertices[i].x, vertices[i].y});
  }
  for (int i = 0; i < bulges.length(); ++i) {
    if (!std::isfinite(bulges[i])) return Acad::eInvalidInput;
    path.bulges.push_back(bulges[i]);
  }
  if (auto es = beginChange(*this); es != Acad::eOk) return es;
  hatch(*this).paths.push_back(std::move(path));
  return Acad::eOk;
}

// ---- AcDbDimension

namespace {
db::Dimension& dimension(AcDbEntity& e) { return kindOf<db::Dimension>(e); }
const db::Dimension& dimension(const AcDbEntity& e) { return kindOf<db::Dimension>(e); }

Acad::ErrorStatus setDimensionPoint(AcDbEntity& e, db::Point3 db::Dimension::*member, const AcGePoint3d& p) {
  if (!finite(p)) return Acad::eInvalidInput;
  if (auto es = beginChange(e); es != Acad::eOk) return es;
  dimension(e).*member = toDb(p);
  return Acad::eOk;
}
}  // namespace

namespace {

db::Point3 beyond(const AcGePoint3d& from, const AcGePoint3d& away, double by) {
  const double dx = away.x - from.x, dy = away.y - from.y, dz = away.z - from.z;
  const double length = std::sqrt(dx * dx + dy * dy + dz * dz);
  if (!(length > 0.0) || !std::isfinite(by)) return toDb(away);
  return {away.x + dx / length * by, away.y + dy / length * by, away.z + dz / length * by};
}

}  // namespace

AcDbDimension::AcDbDimension(int type, const ACHAR* dimText) {
  db::Dimension d;
  d.flags = static_cast<std::int16_t>(type);
  if (dimText) d.text = orv::text::narrow(dimText);
  orvData().entity = db::Entity(std::move(d));
}

AcDbRotatedDimension::AcDbRotatedDimension() : AcDbDimension(0) {}
AcDbRotatedDimension::AcDbRotatedDimension(double rotation, const AcGePoint3d& xLine1Point,
                                           const AcGePoint3d& xLine2Point, const AcGePoint3d& dimLinePoint,
                                           const ACHAR* dimText, AcDbObjectId)
    : AcDbDimension(0, dimText) {
  db::Dimension& d = dimension(*this);
  d.rotation = rotation * kDegreesPerRadian;
  d.point13 = toDb(xLine1Point);
  d.point14 = toDb(xLine2Point);
  d.definitionPoint = toDb(dimLinePoint);
}
AcDbAlignedDimension::AcDbAlignedDimension() : AcDbDimension(1) {}
AcDbAlignedDimension::AcDbAlignedDimension(const AcGePoint3d& xLine1Point, const AcGePoint3d& xLine2Point,
                                           const AcGePoint3d& dimLinePoint, const ACHAR* dimText, AcDbObjectId)
    : AcDbDimension(1, dimText) {
  db::Dimension& d = dimension(*this);
  d.point13 = toDb(xLine1Point);
  d.point14 = toDb(xLine2Point);
  d.definitionPoint = toDb(dimLinePoint);
}
AcDbRadialDimension::AcDbRadialDimension() : AcDbDimension(4) {}
AcDbRadialDimension::AcDbRadialDimension(const AcGePoint3d& center, const AcGePoint3d& chordPoint, double leaderLength,
                                         const ACHAR* dimText, AcDbObjectId)
    : AcDbDimension(4, dimText) {
  db::Dimension& d = dimension(*this);
  d.definitionPoint = toDb(center);
  d.point15 = toDb(chordPoint);
  d.leaderLength = leaderLength;
  d.textMidpoint = beyond(center, chordPoint, leaderLength);
}
AcDbDiametricDimension::AcDbDiametricDimension() : AcDbDimension(3) {}
AcDbDiametricDimension::AcDbDiametricDimension(const AcGePoint3d& chordPoint, const AcGePoint3d& farChordPoint,
                                               double leaderLength, const ACHAR* dimText, AcDbObjectId)
    : AcDbDimension(3, dimText) {
  db::Dimension& d = dimension(*this);
  d.point15 = toDb(chordPoint);
  d.definitionPoint = toDb(farChordPoint);
  d.leaderLength = leaderLength;
  d.textMidpoint = beyond(farChordPoint, chordPoint, leaderLength);
}
AcDb2LineAngularDimension::AcDb2LineAngularDimension() : AcDbDimension(2) {}
AcDb2LineAngularDimension::AcDb2LineAngularDimension(const AcGePoint3d& xLine1Start, const AcGePoint3d& xLine1End,
                                                     const AcGePoint3d& xLine2Start, const AcGePoint3d& xLine2End,
                                                     const AcGePoint3d& arcPoint, const ACHAR* dimText, AcDbObjectId)
    : AcDbDimension(2, dimText) {
  db::Dimension& d = dimension(*this);
  d.point13 = toDb(xLine1Start);
  d.point14 = toDb(xLine1End);
  d.definitionPoint = toDb(xLine2Start);
  d.point15 = toDb(xLine2End);
  d.point16 = toDb(arcPoint);
}
AcDb3PointAngularDimension::AcDb3PointAngularDimension() : AcDbDimension(5) {}
AcDb3PointAngularDimension::AcDb3PointAngularDimension(const AcGePoint3d& centerPoint, const AcGePoint3d& xLine1Point,
                                                       const AcGePoint3d& xLine2Point, const AcGePoint3d& arcPoint,
                                                       const ACHAR* dimText, AcDbObjectId)
    : AcDbDimension(5, dimText) {
  db::Dimension& d = dimension(*this);
  d.point15 = toDb(centerPoint);
  d.point13 = toDb(xLine1Point);
  d.point14 = toDb(xLine2Point);
  d.definitionPoint = toDb(arcPoint);
}
AcDbOrdinateDimension::AcDbOrdinateDimension() : AcDbDimension(6) {}

namespace orv::sdk {

Acad::ErrorStatus layOutNewDimension(db::Database& target, db::Entity& entity) {
  db::Dimension& dim = *entity.as<db::Dimension>();
  if (db::validate(entity.geometry) != db::Status::ok) return Acad::eInvalidInput;
  const bool linear = dim.type() == db::Dimension::Type::rotated || dim.type() == db::Dimension::Type::aligned;
  if (linear && dim.point13 == dim.point14) return Acad::eInvalidInput;
  // The current style, its record made when the drawing lacks it (so that every reader
  // finds the style the dimension names).
  const orv::core::DimensionStyle style = orv::core::currentDimensionStyle(target);
  if (!target.keptTable(db::KeptTable::dimstyle).find(style.name) && !orv::core::storeDimensionStyle(target, style))
    return Acad::eInvalidInput;
  const auto parts = orv::core::layoutOfDimension(dim, style);
  if (!parts || !std::isfinite(parts->measurement)) return Acad::eInvalidInput;
  const auto block = orv::core::addPictureBlock(target, *parts, style);
  if (!block) return Acad::eInvalidInput;
  db::Dimension made = orv::core::dimensionEntity(*parts, dim.type(), dim.rotation, dim.text, style, *block);
  made.textRotation = dim.textRotation;
  made.leaderLength = dim.leaderLength;
  dim = std::move(made);
  return Acad::eOk;
}

}  // namespace orv::sdk

const ACHAR* AcDbDimension::dimensionText() const { return handOut(orvData(), kValueText, dimension(*this).text); }
Acad::ErrorStatus AcDbDimension::setDimensionText(const ACHAR* text) {
  if (!text) return Acad::eInvalidInput;
  if (auto es = beginChange(*this); es != Acad::eOk) return es;
  dimension(*this).text = orv::text::narrow(text);
  return Acad::eOk;
}
Acad::ErrorStatus AcDbDimension::measurement(double& value) const {
  const db::Dimension& d = dimension(*this);
  const double measured = d.measured();
  if (!std::isfinite(measured)) return Acad::eInvalidInput;
  value = d.angular() ? measured / kDegreesPerRadian : measured;
  return Acad::eOk;
}
AcDbObjectId AcDbDimension::dimBlockId() const {
  AcDbDatabase* d = databaseFor(*this);
  if (!d) return AcDbObjectId();
  const auto block = databaseOf(d).findBlock(dimension(*this).block);
  if (!block || databaseOf(d).block(*block).removed) return AcDbObjectId();
  return blockRecordId(d, *block);
}
const ACHAR* AcDbDimension::dimBlockName() const { return handOut(orvData(), kTagText, dimension(*this).block); }
AcGePoint3d AcDbDimension::dimBlockPosition() const { return fromDb(dimension(*this).insertion); }
AcGePoint3d AcDbDimension::textPosition() const { return fromDb(dimension(*this).textMidpoint); }
Acad::ErrorStatus AcDbDimension::setTextPosition(const AcGePoint3d& p) {
  if (auto es = setDimensionPoint(*this, &db::Dimension::textMidpoint, p); es != Acad::eOk) return es;
  dimension(*this).flags |= db::Dimension::kUserText;
  return Acad::eOk;
}
bool AcDbDimension::isUsingDefaultTextPosition() const {
  return (dimension(*this).flags & db::Dimension::kUserText) == 0;
}
double AcDbDimension::textRotation() const { return dimension(*this).textRotation / kDegreesPerRadian; }
Acad::ErrorStatus AcDbDimension::setTextRotation(double radians) {
  if (!std::isfinite(radians)) return Acad::eInvalidInput;
  if (auto es = beginChange(*this); es != Acad::eOk) return es;
  dimension(*this).textRotation = radians * kDegreesPerRadian;
  return Acad::eOk;
}
const ACHAR* AcDbDimension::dimensionStyleName() const {
  return handOut(orvData(), kStyleText, dimension(*this).style);
}
AcGeVector3d AcDbDimension::normal() const { return vectorOf(dimension(*this).extrusion); }

// Where each type keeps its points (DXF group codes 10, 13 to 16).
AcGePoint3d AcDbRotatedDimension::xLine1Point() const { return fromDb(dimension(*this).point13); }
AcGePoint3d AcDbRotatedDimension::xLine2Point() const { return fromDb(dimension(*this).point14); }
AcGePoint3d AcDbRotatedDimension::dimLinePoint() const { return fromDb(dimension(*this).definitionPoint); }
Acad::ErrorStatus AcDbRotatedDimension::setXLine1Point(const AcGePoint3d& p) {
  return setDimensionPoint(*this, &db::Dimension::point13, p);
}
Acad::ErrorStatus AcDbRotatedDimension::setXLine2Point(const AcGePoint3d& p) {
  return setDimensionPoint(*this, &db::Dimension::point14, p);
}
Acad::ErrorStatus AcDbRotatedDimension::setDimLinePoint(const AcGePoint3d& p) {
  return setDimensionPoint(*this, &db::Dimension::definitionPoint, p);
}
double AcDbRotatedDimension::rotation() const { return dimension(*this).rotation / kDegreesPerRadian; }
double AcDbRotatedDimension::oblique() const { return dimension(*this).oblique / kDegreesPerRadian; }

AcGePoint3d AcDbAlignedDimension::xLine1Point() const { return fromDb(dimension(*this).point13); }
AcGePoint3d AcDbAlignedDimension::xLine2Point() const { return fromDb(dimension(*this).point14); }
AcGePoint3d AcDbAlignedDimension::dimLinePoint() const { return fromDb(dimension(*this).definitionPoint); }
Acad::ErrorStatus AcDbAlignedDimension::setXLine1Point(const AcGePoint3d& p) {
  return setDimensionPoint(*this, &db::Dimension::point13, p);
}
Acad::ErrorStatus AcDbAlignedDimension::setXLine2Point(const AcGePoint3d& p) {
  return setDimensionPoint(*this, &db::Dimension::point14, p);
}
Acad::ErrorStatus AcDbAlignedDimension::setDimLinePoint(const AcGePoint3d& p) {
  return setDimensionPoint(*this, &db::Dimension::definitionPoint, p);
}
double AcDbAlignedDimension::oblique() const { return dimension(*this).oblique / kDegreesPerRadian; }

AcGePoint3d AcDbRadialDimension::center() const { return fromDb(dimension(*this).definitionPoint); }
AcGePoint3d AcDbRadialDimension::chordPoint() const { return fromDb(dimension(*this).point15); }
double AcDbRadialDimension::leaderLength() const { return dimension(*this).leaderLength; }

AcGePoint3d AcDbDiametricDimension::chordPoint() const { return fromDb(dimension(*this).point15); }
AcGePoint3d AcDbDiametricDimension::farChordPoint() const { return fromDb(dimension(*this).definitionPoint); }
double AcDbDiametricDimension::leaderLength() const { return dimension(*this).leaderLength; }

AcGePoint3d AcDb2LineAngularDimension::xLine1Start() const { return fromDb(dimension(*this).point13); }
AcGePoint3d AcDb2LineAngularDimension::xLine1End() const { return fromDb(dimension(*this).point14); }
AcGePoint3d AcDb2LineAngularDimension::xLine2Start() const { return fromDb(dimension(*this).definitionPoint); }
AcGePoint3d AcDb2LineAngularDimension::xLine2End() const { return fromDb(dimension(*this).point15); }
AcGePoint3d AcDb2LineAngularDimension::arcPoint() const { return fromDb(dimension(*this).point16); }

AcGePoint3d AcDb3PointAngularDimension::centerPoint() const { return fromDb(dimension(*this).point15); }
AcGePoint3d AcDb3PointAngularDimension::xLine1Point() const { return fromDb(dimension(*this).point13); }
AcGePoint3d AcDb3PointAngularDimension::xLine2Point() const { return fromDb(dimension(*this).point14); }
AcGePoint3d AcDb3PointAngularDimension::arcPoint() const { return fromDb(dimension(*this).definitionPoint); }

bool AcDbOrdinateDimension::isUsingXAxis() const {
  return (dimension(*this).flags & db::Dimension::kOrdinateX) != 0;
}
AcGePoint3d AcDbOrdinateDimension::origin() const { return fromDb(dimension(*this).definitionPoint); }
AcGePoint3d AcDbOrdinateDimension::definingPoint() const { return fromDb(dimension(*this).point13); }
AcGePoint3d AcDbOrdinateDimension::leaderEndPoint() const { return fromDb(dimension(*this).point14); }

// ---- the attributes of a block reference

namespace {

// The entities after a reference in its block that are its attributes (those erased left
// out), up to the end of the sequence (a SEQEND) or any other entity.
std::vector<db::ObjectId> attributesAfter(const db::Database& d, db::ObjectId reference) {
  std::vector<db::ObjectId> out;
  const db::Entity* ref = d.entity(reference);
  if (!ref) return out;
  const std::vector<db::ObjectId>& list = d.block(ref->owner()).entities;
  auto at = std::find(list.begin(), list.end(), reference);
  if (at == list.end()) return out;
  for (++at; at != list.end(); ++at) {
    const db::Entity* e = d.entity(*at);
    if (!e || e->isErased()) continue;
    const db::Text* t = e->as<db::Text>();
    if (!t || t->type != db::Text::Type::attrib) break;
    out.push_back(*at);
  }
  return out;
}

}  // namespace

AcDbObjectIterator* AcDbBlockReference::attributeIterator() const {
  std::vector<AcDbObjectId> ids;
  if (isDatabaseResident()) {
    for (db::ObjectId id : attributesAfter(databaseOf(database()), modelEntity(objectId())))
      ids.push_back(entityId(database(), id));
  }
  return new AcDbObjectIterator(std::move(ids));
}

AcDbObjectIterator::~AcDbObjectIterator() = default;
void AcDbObjectIterator::start(bool atEnd) { m_pos = atEnd && !m_ids.empty() ? m_ids.size() - 1 : 0; }
bool AcDbObjectIterator::done() const { return m_pos >= m_ids.size(); }
void AcDbObjectIterator::step(bool backwards, bool) {
  if (done()) return;
  // Stepping back from the first ends the walk as stepping on from the last does.
  m_pos = backwards ? (m_pos == 0 ? m_ids.size() : m_pos - 1) : m_pos + 1;
}
AcDbObjectId AcDbObjectIterator::objectId() const { return done() ? AcDbObjectId() : m_ids[m_pos]; }
