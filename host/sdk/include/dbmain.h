// The drawing database as modules see it: object ids, objects opened for read
// or write, entities and their common properties, and the working database.
//
// Life of an object: a new entity is created with new, given its values and
// appended to a block table record (which makes it database-resident and
// leaves it open for write); close() then ends the opening and frees the C++
// object, the entity living on in the database. An object opened by id
// (acdbOpenAcDbObject, a table's getAt) is likewise closed with close(). close()
// on an object that was never appended discards it. Changes made through an
// object opened for write reach the database when it is closed.
#pragma once

#include <memory>

#include "acadstrc.h"
#include "acarray.h"
#include "adsdef.h"
#include "gept.h"

class AcDbDatabase;
class AcDbBlockTable;
class AcDbBlockTableRecord;
class AcDbObjectId;
typedef AcArray<AcDbObjectId> AcDbObjectIdArray;

// Share modes of readDwgFile.
#define _SH_DENYRW 0x10
#define _SH_DENYWR 0x20
#define _SH_DENYRD 0x30
#define _SH_DENYNO 0x40

namespace AcDb {
enum OpenMode { kForRead = 0, kForWrite = 1, kForNotify = 2 };
}  // namespace AcDb

class AcDbObject;

// The run-time description of an SDK class: its name and its parent. Every
// class of objects has one (Class::desc()); obj->isKindOf(AcDbText::desc())
// tells whether obj is of that class or one derived from it.
class ORV_SDK_API AcRxClass {
 public:
  const ACHAR* name() const { return m_name; }
  AcRxClass* myParent() const { return m_parent; }
  bool isDerivedFrom(const AcRxClass* other) const;

  // The host's side; not for modules.
  AcRxClass(const ACHAR* name, AcRxClass* parent, bool (*isInstance)(const AcDbObject*))
      : m_name(name), m_parent(parent), m_isInstance(isInstance) {}
  AcRxClass(const AcRxClass&) = delete;
  AcRxClass& operator=(const AcRxClass&) = delete;
  bool orvIsInstance(const AcDbObject* o) const { return o && m_isInstance(o); }

 private:
  const ACHAR* m_name;
  AcRxClass* m_parent;
  bool (*m_isInstance)(const AcDbObject*);
};

// The id of an object of a database: stays valid while the database exists.
class ORV_SDK_API AcDbObjectId {
 public:
  // What kind of object an id names.
  enum class Kind : Adesk::UInt8 { kNone = 0, kEntity, kBlockTable, kBlockTableRecord };

  AcDbObjectId() = default;
  AcDbObjectId(AcDbDatabase* db, Kind kind, Adesk::UInt32 index) : m_db(db), m_index(index), m_kind(kind) {}

  bool isNull() const { return m_db == nullptr || m_kind == Kind::kNone; }
  bool isValid() const { return !isNull(); }
  AcDbDatabase* database() const { return m_db; }
  Kind kind() const { return m_kind; }
  Adesk::UInt32 index() const { return m_index; }

  bool operator==(const AcDbObjectId& o) const {
    return m_db == o.m_db && m_index == o.m_index && m_kind == o.m_kind;
  }
  bool operator!=(const AcDbObjectId& o) const { return !(*this == o); }
  bool operator<(const AcDbObjectId& o) const;

  static const AcDbObjectId kNull;

 private:
  AcDbDatabase* m_db = nullptr;
  Adesk::UInt32 m_index = 0;
  Kind m_kind = Kind::kNone;
};

class ORV_SDK_API AcDbObject {
 public:
  virtual ~AcDbObject();
  AcDbObject(const AcDbObject&) = delete;
  AcDbObject& operator=(const AcDbObject&) = delete;

  AcDbObjectId objectId() const { return m_id; }
  AcDbDatabase* database() const { return m_id.database(); }
  bool isDatabaseResident() const { return !m_id.isNull(); }
  bool isWriteEnabled() const { return m_openMode == AcDb::kForWrite; }
  bool isReadEnabled() const { return true; }
  virtual bool isErased() const;

  static AcRxClass* desc();
  // The class of this object (the most derived one), and whether it is of the class
  // given or of one derived from it (false for null).
  AcRxClass* isA() const;
  bool isKindOf(const AcRxClass* aClass) const { return aClass && aClass->orvIsInstance(this); }
  static AcDbObject* cast(AcDbObject* o) { return o; }

  // Ends the opening and frees this C++ object (see the header comment).
  virtual Acad::ErrorStatus close();
  // Erases (or with false restores) the object; needs it open for write.
  virtual Acad::ErrorStatus erase(bool erasing = true);

 protected:
  AcDbObject() = default;

 public:
  // The host's side of an opened object; not for modules.
  void orvAttach(const AcDbObjectId& id, AcDb::OpenMode mode) {
    m_id = id;
    m_openMode = mode;
  }
  AcDb::OpenMode orvOpenMode() const { return m_openMode; }

 private:
  AcDbObjectId m_id;
  AcDb::OpenMode m_openMode = AcDb::kForWrite;
};

namespace orv::sdk {
struct EntityData;
}

// An entity: geometry with a colour index, a linetype and a layer.
class ORV_SDK_API AcDbEntity : public AcDbObject {
 public:
  ~AcDbEntity() override;

  // 0 BYBLOCK, 1-255 colours, 256 BYLAYER; eOutOfRange otherwise.
  Acad::ErrorStatus setColorIndex(Adesk::UInt16 colorIndex, bool doSubents = true);
  Adesk::UInt16 colorIndex() const;
  // The name of a linetype the drawing holds (or ByLayer, ByBlock); a name the
  // drawing lacks gives eKeyNotFound and leaves the linetype as it was.
  Acad::ErrorStatus setLinetype(const ACHAR* name, bool doSubents = true);
  // The linetype's name, valid until the entity is changed or closed.
  const ACHAR* linetype() const;
  // The name of a layer the drawing holds; eKeyNotFound otherwise.
  Acad::ErrorStatus setLayer(const ACHAR* name, bool doSubents = true);
  const ACHAR* layer() const;

  bool isErased() const override;
  Acad::ErrorStatus close() override;
  Acad::ErrorStatus erase(bool erasing = true) override;

  static AcDbEntity* cast(AcDbObject* o) { return dynamic_cast<AcDbEntity*>(o); }
  static AcRxClass* desc();

  // The host's side; not for modules.
  orv::sdk::EntityData& orvData() { return *m_data; }
  const orv::sdk::EntityData& orvData() const { return *m_data; }
  void orvMarkChanged();
  Acad::ErrorStatus orvCheckWritable() const;

 protected:
  AcDbEntity();

 private:
  std::unique_ptr<orv::sdk::EntityData> m_data;
};

// An entity with a start and an end.
class ORV_SDK_API AcDbCurve : public AcDbEntity {
 public:
  virtual Acad::ErrorStatus getStartPoint(AcGePoint3d& point) const = 0;
  virtual Acad::ErrorStatus getEndPoint(AcGePoint3d& point) const = 0;
  static AcDbCurve* cast(AcDbObject* o) { return dynamic_cast<AcDbCurve*>(o); }
  static AcRxClass* desc();
};

// A drawing database: the current drawing's, or a side database a module creates.
class ORV_SDK_API AcDbDatabase {
 public:
  // A side database: with buildDefaultDrawing the content of a new drawing,
  // without it bare tables (a file is read into it).
  explicit AcDbDatabase(bool buildDefaultDrawing = true, bool noDocument = false);
  virtual ~AcDbDatabase();
  AcDbDatabase(const AcDbDatabase&) = delete;
  AcDbDatabase& operator=(const AcDbDatabase&) = delete;

  // Reads a drawing file (DXF) into this database, which should be bare
  // (made with buildDefaultDrawing false). eFileNotFound for a missing or
  // empty name, eFileAccessErr when it cannot be read, eBadDxfFile when it is
  // not a drawing the host can read.
  Acad::ErrorStatus readDwgFile(const ACHAR* fileName, int shareMode = _SH_DENYWR,
                                bool allowCPConversion = false, const wchar_t* password = nullptr);
  // A new database (owned by the caller) holding the given entities of this
  // database's model space, with everything they depend on (block
  // definitions, layers, linetypes), relative to basePoint.
  Acad::ErrorStatus wblock(AcDbDatabase*& output, const AcDbObjectIdArray& ids, const AcGePoint3d& basePoint);
  // Brings the model-space entities and the block definitions of source into
  // this database (transformed by xform, the identity only). A block name this
  // database already holds keeps its own definition.
  Acad::ErrorStatus insert(const AcGeMatrix3d& xform, AcDbDatabase* source, bool preserveSourceDatabase = true);

  Acad::ErrorStatus getSymbolTable(AcDbBlockTable*& table, AcDb::OpenMode mode);
  Acad::ErrorStatus getBlockTable(AcDbBlockTable*& table, AcDb::OpenMode mode) {
    return getSymbolTable(table, mode);
  }
  AcDbObjectId blockTableId();

  // The host's side; not for modules.
  struct Impl;
  Impl& orvImpl() { return *m_impl; }
  explicit AcDbDatabase(std::unique_ptr<Impl> impl);

 private:
  std::unique_ptr<Impl> m_impl;
};

class ORV_SDK_API AcDbHostApplicationServices {
 public:
  // The database of the current drawing.
  AcDbDatabase* workingDatabase() const;
};
ORV_SDK_API AcDbHostApplicationServices* acdbHostApplicationServices();

// Opens an object by id; eWasErased for an erased one unless openErased.
ORV_SDK_API Acad::ErrorStatus acdbOpenAcDbObject(AcDbObject*& object, AcDbObjectId id,
                                                 AcDb::OpenMode mode, bool openErased = false);
ORV_SDK_API Acad::ErrorStatus acdbOpenAcDbEntity(AcDbEntity*& entity, AcDbObjectId id,
                                                 AcDb::OpenMode mode, bool openErased = false);
ORV_SDK_API Acad::ErrorStatus acdbOpenObject(AcDbEntity*& entity, AcDbObjectId id,
                                             AcDb::OpenMode mode, bool openErased = false);

// Entity names of the command-line functions and object ids.
ORV_SDK_API Acad::ErrorStatus acdbGetObjectId(AcDbObjectId& id, const ads_name name);
ORV_SDK_API Acad::ErrorStatus acdbGetAdsName(ads_name name, AcDbObjectId id);
// The newest entity of the current drawing's model space: RTNORM, or RTERROR when there is none.
ORV_SDK_API int acdbEntLast(ads_name result);
