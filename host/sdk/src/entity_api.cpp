// Objects and entities of the SDK: opening, closing, erasing, the common
// properties, and the geometry of each entity kind.
#include "dbents.h"

#include <cmath>
#include <numbers>

#include "db_impl.h"
#include "dbdim.h"
#include "dbelipse.h"
#include "dbhatch.h"
#include "dblead.h"
#include "dbmtext.h"
#include "dbpl.h"
#include "dbspline.h"
#include "orv/core/dimension_block.h"
#include "orv/db/header_values.h"
#include "orv/text/encoding.h"

using orv::sdk::EntityData;
namespace db = orv::db;

namespace {

constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;

db::Point3 toDb(const AcGePoint3d& p) { return {p.x, p.y, p.z}; }
AcGePoint3d fromDb(const db::Point3& p) { return {p.x, p.y, p.z}; }

bool finite(const AcGePoint3d& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

// An entity of a kind the SDK has no class for (read from a file the host does not
// interpret, a solid, trace or face, or an old-style polyline).
class UnknownEntity final : public AcDbEntity {};

// The class of a dimension's type.
AcDbEntity* newDimension(const db::Dimension& d) {
  switch (d.type()) {
    case db::Dimension::Type::rotated: return new AcDbRotatedDimension();
    case db::Dimension::Type::aligned: return new AcDbAlignedDimension();
    case db::Dimension::Type::angular: return new AcDb2LineAngularDimension();
    case db::Dimension::Type::diameter: return new AcDbDiametricDimension();
    case db::Dimension::Type::radius: return new AcDbRadialDimension();
    case db::Dimension::Type::angular3Point: return new AcDb3PointAngularDimension();
    case db::Dimension::Type::ordinate: return new AcDbOrdinateDimension();
  }
  return new AcDbRotatedDimension();  // types 7 and above are read as rotated ones
}

}  // namespace

namespace orv::sdk {

Acad::ErrorStatus toErrorStatus(db::Status status) {
  switch (status) {
    case db::Status::ok: return Acad::eOk;
    case db::Status::invalidInput: return Acad::eInvalidInput;
    case db::Status::notFound: return Acad::eKeyNotFound;
    case db::Status::duplicateName: return Acad::eDuplicateKey;
    case db::Status::wasErased: return Acad::eWasErased;
    case db::Status::selfReference: return Acad::eInvalidInput;
    case db::Status::nothingToUndo: return Acad::eNotApplicable;
  }
  return Acad::eInvalidInput;
}

db::Database& databaseOf(AcDbDatabase* d) { return *d->orvImpl().db; }

AcDbEntity* wrapEntity(AcDbDatabase* d, db::ObjectId id, AcDb::OpenMode mode) {
  const db::Entity* e = databaseOf(d).entity(id);
  if (!e) return nullptr;
  AcDbEntity* w = nullptr;
  switch (e->kind()) {
    case db::EntityKind::line: w = new AcDbLine(); break;
    case db::EntityKind::arc: w = new AcDbArc(); break;
    case db::EntityKind::circle: w = new AcDbCircle(); break;
    case db::EntityKind::polyline: w = new AcDbPolyline(); break;
    case db::EntityKind::blockReference: w = new AcDbBlockReference(); break;
    case db::EntityKind::point: w = new AcDbPoint(); break;
    case db::EntityKind::ellipse: w = new AcDbEllipse(); break;
    case db::EntityKind::hatch: w = new AcDbHatch(); break;
    case db::EntityKind::dimension: w = newDimension(*e->as<db::Dimension>()); break;
    case db::EntityKind::text:
      switch (e->as<db::Text>()->type) {
        case db::Text::Type::text: w = new AcDbText(); break;
        case db::Text::Type::attrib: w = new AcDbAttribute(); break;
        case db::Text::Type::attdef: w = new AcDbAttributeDefinition(); break;
      }
      break;
    case db::EntityKind::spline: w = new AcDbSpline(); break;
    case db::EntityKind::mtext: w = new AcDbMText(); break;
    case db::EntityKind::leader: w = new AcDbLeader(); break;
    case db::EntityKind::unknown:
    case db::EntityKind::solid:
    case db::EntityKind::heavyPolyline: w = new UnknownEntity(); break;
  }
  EntityData& data = w->orvData();
  data.entity = *e;
  data.linetype = std::string(databaseOf(d).name(e->linetype));
  data.layer = std::string(databaseOf(d).name(e->layer));
  data.layerSet = data.colorSet = data.linetypeSet = true;
  w->orvAttach(entityId(d, id), mode);
  return w;
}

namespace {
void internNames(EntityData& data, db::Database& target) {
  data.entity.linetype = target.intern(data.linetype);
  data.entity.layer = target.intern(data.layer);
}
}  // namespace

const ACHAR* handOut(const EntityData& data, int slot, std::string_view utf8) {
  data.texts[slot] = orv::text::widen(utf8);
  return data.texts[slot].c_str();
}

Acad::ErrorStatus storeNew(AcDbEntity& entity, AcDbDatabase* d, db::BlockId owner, db::ObjectId& out) {
  EntityData& data = entity.orvData();
  db::Database& target = databaseOf(d);
  // An attribute belongs in the sequence after its block reference (marked as followed by
  // attributes, ended by a SEQEND): alone it would make a file other programs misread.
  if (const auto* text = data.entity.as<db::Text>(); text && text->type == db::Text::Type::attrib)
    return Acad::eInvalidContext;
  // What was not given takes the drawing's current values, as a CAD program's database
  // gives an entity added to any block.
  // A new dimension gets its picture block (one read from a file already has it).
  if (auto* dim = data.entity.as<db::Dimension>(); dim && dim->block.empty())
    if (Acad::ErrorStatus es = layOutNewDimension(target, data.entity); es != Acad::eOk) return es;
  if (!data.layerSet)
    if (const db::Layer* current = target.layers().get(target.header.currentLayer)) data.layer = current->name;
  if (!data.colorSet) data.entity.color = db::currentColor(target);
  if (!data.linetypeSet) data.linetype = db::currentLinetype(target);
  internNames(data, target);
  auto result = target.append(data.entity, owner);
  if (!result) return toErrorStatus(result.status());
  out = *result;
  db::giveCurrentLineweight(target, out);
  data.changed = false;
  entity.orvAttach(entityId(d, out), AcDb::kForWrite);
  return Acad::eOk;
}

Acad::ErrorStatus storeChanges(AcDbEntity& entity) {
  EntityData& data = entity.orvData();
  if (!data.changed || !entity.isDatabaseResident()) return Acad::eOk;
  db::Database& target = databaseOf(entity.database());
  internNames(data, target);
  data.changed = false;
  const db::ObjectId id = modelEntity(entity.objectId());
  // A dimension's picture follows its text and points (one whose picture cannot be made
  // again here keeps it, with the new measurement); a change of layer or colour leaves it.
  const db::Entity* before = target.entity(id);
  const auto* was = before ? before->as<db::Dimension>() : nullptr;
  const auto* now = data.entity.as<db::Dimension>();
  const bool renew = was && now && !(*was == *now);
  if (db::Status st = target.replace(id, data.entity); st != db::Status::ok) return toErrorStatus(st);
  if (renew) orv::core::renewPicture(target, id);
  return Acad::eOk;
}

}  // namespace orv::sdk

// ---- AcDbObject

AcDbObject::~AcDbObject() = default;

bool AcDbObject::isErased() const { return false; }

Acad::ErrorStatus AcDbObject::close() {
  delete this;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbObject::erase(bool) { return Acad::eNotApplicable; }

// ---- AcDbEntity

AcDbEntity::AcDbEntity() : m_data(std::make_unique<EntityData>()) {}
AcDbEntity::~AcDbEntity() = default;

void AcDbEntity::orvMarkChanged() { m_data->changed = true; }

Acad::ErrorStatus AcDbEntity::orvCheckWritable() const {
  if (isDatabaseResident() && orvOpenMode() != AcDb::kForWrite) return Acad::eNotOpenForWrite;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbEntity::setColorIndex(Adesk::UInt16 colorIndex, bool) {
  if (auto es = orvCheckWritable(); es != Acad::eOk) return es;
  if (colorIndex > 256) return Acad::eOutOfRange;
  m_data->entity.color = static_cast<std::int16_t>(colorIndex);
  m_data->colorSet = true;
  orvMarkChanged();
  return Acad::eOk;
}

Adesk::UInt16 AcDbEntity::colorIndex() const { return static_cast<Adesk::UInt16>(m_data->entity.color); }

Acad::ErrorStatus AcDbEntity::setLinetype(const ACHAR* name, bool) {
  if (auto es = orvCheckWritable(); es != Acad::eOk) return es;
  if (!name || !*name) return Acad::eNullObjectPointer;
  AcDbDatabase* d = isDatabaseResident() ? database() : orv::sdk::workingDatabase();
  std::string utf8 = orv::text::narrow(name);
  if (!d || !orv::sdk::databaseOf(d).hasLinetype(utf8)) return Acad::eKeyNotFound;
  // The table's own spelling of the name.
  const db::Database& target = orv::sdk::databaseOf(d);
  if (const db::Linetype* lt = target.linetypes().get(utf8)) utf8 = lt->name;
  m_data->linetype = utf8;
  m_data->linetypeSet = true;
  orvMarkChanged();
  return Acad::eOk;
}

const ACHAR* AcDbEntity::linetype() const {
  m_data->linetypeText = orv::text::widen(m_data->linetype);
  return m_data->linetypeText.c_str();
}

Acad::ErrorStatus AcDbEntity::setLayer(const ACHAR* name, bool) {
  if (auto es = orvCheckWritable(); es != Acad::eOk) return es;
  if (!name || !*name) return Acad::eNullObjectPointer;
  AcDbDatabase* d = isDatabaseResident() ? database() : orv::sdk::workingDatabase();
  std::string utf8 = orv::text::narrow(name);
  const db::Layer* layer = d ? orv::sdk::databaseOf(d).layers().get(utf8) : nullptr;
  if (!layer) return Acad::eKeyNotFound;
  m_data->layer = layer->name;
  m_data->layerSet = true;
  orvMarkChanged();
  return Acad::eOk;
}

const ACHAR* AcDbEntity::layer() const {
  // A new entity given no layer goes on the drawing's current layer when it is added.
  std::string name = m_data->layer;
  if (!m_data->layerSet)
    if (AcDbDatabase* d = orv::sdk::workingDatabase())
      if (const db::Layer* current = orv::sdk::databaseOf(d).layers().get(orv::sdk::databaseOf(d).header.currentLayer))
        name = current->name;
  m_data->layerText = orv::text::widen(name);
  return m_data->layerText.c_str();
}

bool AcDbEntity::isErased() const {
  if (!isDatabaseResident()) return false;
  const db::Entity* e = orv::sdk::databaseOf(database()).entity(orv::sdk::modelEntity(objectId()));
  return e && e->isErased();
}

Acad::ErrorStatus AcDbEntity::close() {
  Acad::ErrorStatus es = Acad::eOk;
  if (isDatabaseResident() && orvOpenMode() == AcDb::kForWrite) es = orv::sdk::storeChanges(*this);
  delete this;
  return es;
}

Acad::ErrorStatus AcDbEntity::erase(bool erasing) {
  if (!isDatabaseResident()) return Acad::eNotApplicable;
  if (orvOpenMode() != AcDb::kForWrite) return Acad::eNotOpenForWrite;
  if (!erasing) return Acad::eNotImplementedYet;
  return orv::sdk::toErrorStatus(orv::sdk::databaseOf(database()).erase(orv::sdk::modelEntity(objectId())));
}

// ---- geometry of each kind

#define ORV_GEOMETRY(Type) (*orvData().entity.as<db::Type>())
#define ORV_CHANGE()                                              \
  if (auto es = orvCheckWritable(); es != Acad::eOk) return es; \
  orvMarkChanged()

AcDbLine::AcDbLine() { orvData().entity.geometry = db::Line{}; }
AcDbLine::AcDbLine(const AcGePoint3d& start, const AcGePoint3d& end) {
  orvData().entity.geometry = db::Line{toDb(start), toDb(end)};
}
AcGePoint3d AcDbLine::startPoint() const { return fromDb(ORV_GEOMETRY(Line).start); }
AcGePoint3d AcDbLine::endPoint() const { return fromDb(ORV_GEOMETRY(Line).end); }
Acad::ErrorStatus AcDbLine::setStartPoint(const AcGePoint3d& p) {
  if (!finite(p)) return Acad::eInvalidInput;
  ORV_CHANGE();
  ORV_GEOMETRY(Line).start = toDb(p);
  return Acad::eOk;
}
Acad::ErrorStatus AcDbLine::setEndPoint(const AcGePoint3d& p) {
  if (!finite(p)) return Acad::eInvalidInput;
  ORV_CHANGE();
  ORV_GEOMETRY(Line).end = toDb(p);
  return Acad::eOk;
}
Acad::ErrorStatus AcDbLine::getStartPoint(AcGePoint3d& p) const { p = startPoint(); return Acad::eOk; }
Acad::ErrorStatus AcDbLine::getEndPoint(AcGePoint3d& p) const { p = endPoint(); return Acad::eOk; }

AcDbCircle::AcDbCircle() { orvData().entity.geometry = db::Circle{}; }
AcDbCircle::AcDbCircle(const AcGePoint3d& center, const AcGeVector3d&, double radius) {
  orvData().entity.geometry = db::Circle{toDb(center), radius};
}
AcGePoint3d AcDbCircle::center() const { return fromDb(ORV_GEOMETRY(Circle).center); }
double AcDbCircle::radius() const { return ORV_GEOMETRY(Circle).radius; }
Acad::ErrorStatus AcDbCircle::getStartPoint(AcGePoint3d& p) const {
  const auto& c = ORV_GEOMETRY(Circle);
  p = AcGePoint3d(c.center.x + c.radius, c.center.y, c.center.z);
  return Acad::eOk;
}
Acad::ErrorStatus AcDbCircle::getEndPoint(AcGePoint3d& p) const { return getStartPoint(p); }

AcDbArc::AcDbArc() { orvData().entity.geometry = db::Arc{}; }
AcDbArc::AcDbArc(const AcGePoint3d& center, const AcGeVector3d&, double radius, double startAngle,
                 double endAngle)
    : AcDbArc(center, radius, startAngle, endAngle) {}
AcDbArc::AcDbArc(const AcGePoint3d& center, double radius, double startAngle, double endAngle) {
  orvData().entity.geometry =
      db::Arc{toDb(center), radius, startAngle * kDegreesPerRadian, endAngle * kDegreesPerRadian};
}
AcGePoint3d AcDbArc::center() const { return fromDb(ORV_GEOMETRY(Arc).center); }
double AcDbArc::radius() const { return ORV_GEOMETRY(Arc).radius; }
double AcDbArc::startAngle() const { return ORV_GEOMETRY(Arc).startAngle / kDegreesPerRadian; }
double AcDbArc::endAngle() const { return ORV_GEOMETRY(Arc).endAngle / kDegreesPerRadian; }
Acad::ErrorStatus AcDbArc::getStartPoint(AcGePoint3d& p) const {
  AcGePoint3d c = center();
  p = AcGePoint3d(c.x + radius() * std::cos(startAngle()), c.y + radius() * std::sin(startAngle()), c.z);
  return Acad::eOk;
}
Acad::ErrorStatus AcDbArc::getEndPoint(AcGePoint3d& p) const {
  AcGePoint3d c = center();
  p = AcGePoint3d(c.x + radius() * std::cos(endAngle()), c.y + radius() * std::sin(endAngle()), c.z);
  return Acad::eOk;
}

AcDbBlockReference::AcDbBlockReference() { orvData().entity.geometry = db::BlockReference{}; }
AcDbBlockReference::AcDbBlockReference(const AcGePoint3d& position, AcDbObjectId record) {
  db::BlockReference r;
  r.position = toDb(position);
  if (record.kind() == AcDbObjectId::Kind::kBlockTableRecord) r.block = orv::sdk::modelBlock(record);
  orvData().entity.geometry = r;
}
AcDbObjectId AcDbBlockReference::blockTableRecord() const {
  AcDbDatabase* d = isDatabaseResident() ? database() : orv::sdk::workingDatabase();
  return orv::sdk::blockRecordId(d, ORV_GEOMETRY(BlockReference).block);
}
AcGePoint3d AcDbBlockReference::position() const { return fromDb(ORV_GEOMETRY(BlockReference).position); }
AcGeScale3d AcDbBlockReference::scaleFactors() const {
  const auto& r = ORV_GEOMETRY(BlockReference);
  return {r.xScale, r.yScale, r.zScale};
}
double AcDbBlockReference::rotation() const { return ORV_GEOMETRY(BlockReference).rotation / kDegreesPerRadian; }
Acad::ErrorStatus AcDbBlockReference::setPosition(const AcGePoint3d& p) {
  if (!finite(p)) return Acad::eInvalidInput;
  ORV_CHANGE();
  ORV_GEOMETRY(BlockReference).position = toDb(p);
  return Acad::eOk;
}
Acad::ErrorStatus AcDbBlockReference::setScaleFactors(const AcGeScale3d& s) {
  if (!std::isfinite(s.sx) || !std::isfinite(s.sy) || !std::isfinite(s.sz)) return Acad::eInvalidInput;
  ORV_CHANGE();
  auto& r = ORV_GEOMETRY(BlockReference);
  r.xScale = s.sx;
  r.yScale = s.sy;
  r.zScale = s.sz;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbBlockReference::setRotation(double radians) {
  if (!std::isfinite(radians)) return Acad::eInvalidInput;
  ORV_CHANGE();
  ORV_GEOMETRY(BlockReference).rotation = radians * kDegreesPerRadian;
  return Acad::eOk;
}

AcDbPolyline::AcDbPolyline(unsigned int numVerts) {
  db::Polyline p;
  p.reserve(numVerts);
  orvData().entity.geometry = std::move(p);
}
Acad::ErrorStatus AcDbPolyline::addVertexAt(unsigned int index, const AcGePoint2d& point, double bulge,
                                            double startWidth, double endWidth) {
  ORV_CHANGE();
  auto& p = ORV_GEOMETRY(Polyline);
  if (index > p.size()) return Acad::eOutOfRange;
  return orv::sdk::toErrorStatus(p.addVertexAt(index, {point.x, point.y}, bulge, startWidth, endWidth));
}
unsigned int AcDbPolyline::numVerts() const { return static_cast<unsigned>(ORV_GEOMETRY(Polyline).size()); }
Acad::ErrorStatus AcDbPolyline::getPointAt(unsigned int i, AcGePoint2d& point) const {
  const auto& p = ORV_GEOMETRY(Polyline);
  if (i >= p.size()) return Acad::eOutOfRange;
  point = AcGePoint2d(p.point(i).x, p.point(i).y);
  return Acad::eOk;
}
Acad::ErrorStatus AcDbPolyline::getBulgeAt(unsigned int i, double& bulge) const {
  const auto& p = ORV_GEOMETRY(Polyline);
  if (i >= p.size()) return Acad::eOutOfRange;
  bulge = p.bulge(i);
  return Acad::eOk;
}
Acad::ErrorStatus AcDbPolyline::getWidthsAt(unsigned int i, double& startWidth, double& endWidth) const {
  const auto& p = ORV_GEOMETRY(Polyline);
  if (i >= p.size()) return Acad::eOutOfRange;
  startWidth = p.startWidth(i);
  endWidth = p.endWidth(i);
  return Acad::eOk;
}
bool AcDbPolyline::isClosed() const { return ORV_GEOMETRY(Polyline).closed(); }
void AcDbPolyline::setClosed(bool closed) {
  if (orvCheckWritable() != Acad::eOk) return;
  orvMarkChanged();
  ORV_GEOMETRY(Polyline).setClosed(closed);
}
Acad::ErrorStatus AcDbPolyline::getStartPoint(AcGePoint3d& p) const {
  const auto& pl = ORV_GEOMETRY(Polyline);
  if (pl.empty()) return Acad::eInvalidInput;
  p = AcGePoint3d(pl.point(0).x, pl.point(0).y, pl.elevation());
  return Acad::eOk;
}
Acad::ErrorStatus AcDbPolyline::getEndPoint(AcGePoint3d& p) const {
  const auto& pl = ORV_GEOMETRY(Polyline);
  if (pl.empty()) return Acad::eInvalidInput;
  std::size_t last = pl.closed() ? 0 : pl.size() - 1;
  p = AcGePoint3d(pl.point(last).x, pl.point(last).y, pl.elevation());
  return Acad::eOk;
}
