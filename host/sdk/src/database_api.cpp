// Databases, object ids and opening objects by id; entity names of the
// command-line functions.
#include "dbmain.h"

#include <tuple>

#include "db_impl.h"
#include "dbsymtb.h"
#include "host_bindings.h"

namespace db = orv::db;
using orv::sdk::databaseOf;

const AcDbObjectId AcDbObjectId::kNull;

bool AcDbObjectId::operator<(const AcDbObjectId& o) const {
  return std::tie(m_db, m_kind, m_index) < std::tie(o.m_db, o.m_kind, o.m_index);
}

AcDbDatabase::AcDbDatabase(bool buildDefaultDrawing, bool)
    : m_impl(std::make_unique<Impl>(std::make_unique<db::Database>(
          buildDefaultDrawing ? db::Database::newDrawing() : db::Database()))) {}

AcDbDatabase::AcDbDatabase(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}

AcDbDatabase::~AcDbDatabase() = default;

AcDbObjectId AcDbDatabase::blockTableId() { return AcDbObjectId(this, AcDbObjectId::Kind::kBlockTable, 0); }

Acad::ErrorStatus AcDbDatabase::getSymbolTable(AcDbBlockTable*& table, AcDb::OpenMode mode) {
  table = new AcDbBlockTable();
  table->orvAttach(blockTableId(), mode);
  return Acad::eOk;
}

AcDbDatabase* AcDbHostApplicationServices::workingDatabase() const { return orv::sdk::workingDatabase(); }

AcDbHostApplicationServices* acdbHostApplicationServices() {
  static AcDbHostApplicationServices services;
  return &services;
}

namespace orv::sdk {
AcDbDatabase* workingDatabase() { return bound().drawing; }
}  // namespace orv::sdk

Acad::ErrorStatus acdbOpenAcDbObject(AcDbObject*& object, AcDbObjectId id, AcDb::OpenMode mode,
                                     bool openErased) {
  object = nullptr;
  if (id.isNull()) return Acad::eNullObjectId;
  db::Database& d = databaseOf(id.database());
  switch (id.kind()) {
    case AcDbObjectId::Kind::kEntity: {
      const db::Entity* e = d.entity(orv::sdk::modelEntity(id));
      if (!e) return Acad::eKeyNotFound;
      if (e->isErased() && !openErased) return Acad::eWasErased;
      object = orv::sdk::wrapEntity(id.database(), orv::sdk::modelEntity(id), mode);
      return object ? Acad::eOk : Acad::eKeyNotFound;
    }
    case AcDbObjectId::Kind::kBlockTable: {
      auto* table = new AcDbBlockTable();
      table->orvAttach(id, mode);
      object = table;
      return Acad::eOk;
    }
    case AcDbObjectId::Kind::kBlockTableRecord: {
      if (id.index() >= d.blockCount() || d.block(orv::sdk::modelBlock(id)).removed)
        return Acad::eKeyNotFound;
      auto* record = new AcDbBlockTableRecord();
      record->orvAttach(id, mode);
      object = record;
      return Acad::eOk;
    }
    case AcDbObjectId::Kind::kNone: break;
  }
  return Acad::eNullObjectId;
}

Acad::ErrorStatus acdbOpenAcDbEntity(AcDbEntity*& entity, AcDbObjectId id, AcDb::OpenMode mode,
                                     bool openErased) {
  entity = nullptr;
  if (id.kind() != AcDbObjectId::Kind::kEntity) return id.isNull() ? Acad::eNullObjectId : Acad::eNotAnEntity;
  AcDbObject* object = nullptr;
  Acad::ErrorStatus es = acdbOpenAcDbObject(object, id, mode, openErased);
  if (es == Acad::eOk) entity = AcDbEntity::cast(object);
  return es;
}

Acad::ErrorStatus acdbOpenObject(AcDbEntity*& entity, AcDbObjectId id, AcDb::OpenMode mode, bool openErased) {
  return acdbOpenAcDbEntity(entity, id, mode, openErased);
}

// An entity name holds the database and the entity's index.
Acad::ErrorStatus acdbGetObjectId(AcDbObjectId& id, const ads_name name) {
  id = AcDbObjectId();
  auto* d = reinterpret_cast<AcDbDatabase*>(name[0]);
  if (!d || name[1] < 0 || name[1] > static_cast<Adesk::LongPtr>(UINT32_MAX)) return Acad::eInvalidInput;
  id = orv::sdk::entityId(d, db::ObjectId{static_cast<std::uint32_t>(name[1])});
  return Acad::eOk;
}

Acad::ErrorStatus acdbGetAdsName(ads_name name, AcDbObjectId id) {
  if (id.kind() != AcDbObjectId::Kind::kEntity) return Acad::eNotAnEntity;
  name[0] = reinterpret_cast<Adesk::LongPtr>(id.database());
  name[1] = static_cast<Adesk::LongPtr>(id.index());
  return Acad::eOk;
}

int acdbEntLast(ads_name result) {
  AcDbDatabase* d = orv::sdk::workingDatabase();
  if (!d || !result) return RTERROR;
  db::ObjectId last = databaseOf(d).lastEntity();
  if (last.isNull()) return RTERROR;
  return acdbGetAdsName(result, orv::sdk::entityId(d, last)) == Acad::eOk ? RTNORM : RTERROR;
}
