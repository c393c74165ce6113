// The block table and its records.
#include "dbsymtb.h"

#include "db_impl.h"
#include "orv/text/encoding.h"

namespace db = orv::db;
using orv::sdk::databaseOf;

namespace {

std::optional<db::BlockId> findRecord(AcDbDatabase* d, const ACHAR* name) {
  if (!d || !name) return std::nullopt;
  auto block = databaseOf(d).findBlock(orv::text::narrow(name));
  if (!block || databaseOf(d).block(*block).removed) return std::nullopt;
  return block;
}

}  // namespace

Acad::ErrorStatus AcDbBlockTable::getAt(const ACHAR* name, AcDbBlockTableRecord*& record, AcDb::OpenMode mode,
                                        bool) const {
  record = nullptr;
  auto block = findRecord(database(), name);
  if (!block) return Acad::eKeyNotFound;
  record = new AcDbBlockTableRecord();
  record->orvAttach(orv::sdk::blockRecordId(database(), *block), mode);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockTable::getAt(const ACHAR* name, AcDbObjectId& id, bool) const {
  id = AcDbObjectId();
  auto block = findRecord(database(), name);
  if (!block) return Acad::eKeyNotFound;
  id = orv::sdk::blockRecordId(database(), *block);
  return Acad::eOk;
}

bool AcDbBlockTable::has(const ACHAR* name) const { return findRecord(database(), name).has_value(); }

Acad::ErrorStatus AcDbBlockTableRecord::appendAcDbEntity(AcDbObjectId& id, AcDbEntity* entity) {
  id = AcDbObjectId();
  if (!entity) return Acad::eNullEntityPointer;
  if (entity->isDatabaseResident()) return Acad::eAlreadyInDb;
  if (orvOpenMode() != AcDb::kForWrite) return Acad::eNotOpenForWrite;
  db::ObjectId stored;
  Acad::ErrorStatus es = orv::sdk::storeNew(*entity, database(), orv::sdk::modelBlock(objectId()), stored);
  if (es == Acad::eOk) id = entity->objectId();
  return es;
}

const ACHAR* AcDbBlockTableRecord::getName() const {
  m_name = orv::text::widen(databaseOf(database()).block(orv::sdk::modelBlock(objectId())).name);
  return m_name.c_str();
}

AcGePoint3d AcDbBlockTableRecord::origin() const {
  const db::Point3& p = databaseOf(database()).block(orv::sdk::modelBlock(objectId())).base;
  return {p.x, p.y, p.z};
}
