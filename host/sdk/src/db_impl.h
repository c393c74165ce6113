// The host's side of the SDK's database classes: what an AcDbDatabase wraps
// and what an opened entity holds until it is closed.
#pragma once

#include <memory>
#include <string>

#include "dbmain.h"
#include "orv/db/database.h"

struct AcDbDatabase::Impl {
  explicit Impl(std::unique_ptr<orv::db::Database> own) : owned(std::move(own)), db(owned.get()) {}
  // Over a database the host keeps (the session's drawing).
  explicit Impl(orv::db::Database* borrowed) : db(borrowed) {}
  std::unique_ptr<orv::db::Database> owned;
  orv::db::Database* db;
};

namespace orv::sdk {

// An entity's values while it is open: geometry, colour and the names of its
// linetype and layer (interned into the database only when stored, so that an
// entity can be made before it is known which database it goes to).
struct EntityData {
  db::Entity entity;
  std::string linetype = "ByLayer";
  std::string layer = "0";
  // False until a layer is given (setLayer, or read from the drawing): a new entity then
  // goes on the drawing's current layer.
  bool layerSet = false;
  // Likewise for the colour and the linetype: unset, a new entity gets the drawing's
  // current ones (and always its current lineweight, which a module cannot set).
  bool colorSet = false;
  bool linetypeSet = false;
  bool changed = false;
  mutable std::wstring linetypeText, layerText;  // what linetype() and layer() hand out
  // What the typed kinds' text getters hand out, one slot each (see TextSlot).
  mutable std::wstring texts[4];
};

// The slots of EntityData::texts.
enum TextSlot { kValueText = 0, kStyleText = 1, kTagText = 2, kPromptText = 3 };

// The text a getter hands out: `utf8` widened into slot `slot` of the entity's own
// strings, valid until the entity is changed or closed.
const ACHAR* handOut(const EntityData& data, int slot, std::string_view utf8);

orv::db::Database& databaseOf(AcDbDatabase* db);
// The working database, or null when the host has no drawing.
AcDbDatabase* workingDatabase();

// Ids of the host model and of the SDK.
inline AcDbObjectId entityId(AcDbDatabase* db, db::ObjectId id) {
  return id.isNull() ? AcDbObjectId() : AcDbObjectId(db, AcDbObjectId::Kind::kEntity, id.index);
}
inline AcDbObjectId blockRecordId(AcDbDatabase* db, db::BlockId id) {
  return id.isNull() ? AcDbObjectId() : AcDbObjectId(db, AcDbObjectId::Kind::kBlockTableRecord, id.index);
}
inline db::ObjectId modelEntity(const AcDbObjectId& id) { return db::ObjectId{id.index()}; }
inline db::BlockId modelBlock(const AcDbObjectId& id) { return db::BlockId{id.index()}; }

// A new SDK object of the right class for an entity of the database, open in mode.
AcDbEntity* wrapEntity(AcDbDatabase* db, db::ObjectId id, AcDb::OpenMode mode);

// Stores an open entity's values into its database: a new entity (append) or
// a changed one (replace). Names are interned into that database here.
// An attribute is refused (eInvalidContext): it belongs in the sequence after a block
// reference, which only the host's INSERT makes.
Acad::ErrorStatus storeNew(AcDbEntity& entity, AcDbDatabase* db, db::BlockId owner, db::ObjectId& out);
Acad::ErrorStatus storeChanges(AcDbEntity& entity);

// Lays out a new dimension (no picture block yet) in the drawing's current dimension
// style: makes its picture block and fills in what the layout gives. eInvalidInput when
// its points measure nothing.
Acad::ErrorStatus layOutNewDimension(db::Database& target, db::Entity& entity);

Acad::ErrorStatus toErrorStatus(db::Status status);

}  // namespace orv::sdk
