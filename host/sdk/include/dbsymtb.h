// Symbol tables: the block table and its records (model space, block definitions).
#pragma once

#include <string>
#include <vector>

#include "dbmain.h"

#define ACDB_MODEL_SPACE L"*Model_Space"
#define ACDB_PAPER_SPACE L"*Paper_Space"

class ORV_SDK_API AcDbBlockTable : public AcDbObject {
 public:
  // Opens the record of a name (case-insensitive): eKeyNotFound when absent.
  Acad::ErrorStatus getAt(const ACHAR* name, AcDbBlockTableRecord*& record, AcDb::OpenMode mode,
                          bool openErasedRecord = false) const;
  Acad::ErrorStatus getAt(const ACHAR* name, AcDbObjectId& id, bool getErasedRecord = false) const;
  bool has(const ACHAR* name) const;
  static AcDbBlockTable* cast(AcDbObject* o) { return dynamic_cast<AcDbBlockTable*>(o); }
  static AcRxClass* desc();

  // The host's side; not for modules.
  AcDbBlockTable() = default;
};

class AcDbBlockReferenceIdIterator;

// The bytes of a preview icon: a device-independent bitmap without file header
// (a BITMAPINFOHEADER, the colour table, the rows bottom-up).
typedef AcArray<Adesk::UInt8> PreviewIcon;

class ORV_SDK_API AcDbBlockTableRecord : public AcDbObject {
 public:
  // An iterator over the block references to this record, anywhere in its database.
  Acad::ErrorStatus newBlockReferenceIdIterator(AcDbBlockReferenceIdIterator*& iterator) const;
  bool hasPreviewIcon() const;
  Acad::ErrorStatus getPreviewIcon(PreviewIcon& icon) const;
  Acad::ErrorStatus setPreviewIcon(const PreviewIcon& icon);

  // Appends a new entity (made with new, not yet in a database) and makes it
  // resident and open for write; the record must be open for write.
  Acad::ErrorStatus appendAcDbEntity(AcDbObjectId& id, AcDbEntity* entity);
  Acad::ErrorStatus appendAcDbEntity(AcDbEntity* entity) {
    AcDbObjectId id;
    return appendAcDbEntity(id, entity);
  }
  // The record's name; valid until the record is closed.
  const ACHAR* getName() const;
  AcGePoint3d origin() const;
  static AcDbBlockTableRecord* cast(AcDbObject* o) { return dynamic_cast<AcDbBlockTableRecord*>(o); }
  static AcRxClass* desc();

  // The host's side; not for modules.
  AcDbBlockTableRecord() = default;

 private:
  mutable std::wstring m_name;
};

// Walks the references to one block; made by newBlockReferenceIdIterator and
// deleted by the caller.
class ORV_SDK_API AcDbBlockReferenceIdIterator {
 public:
  ~AcDbBlockReferenceIdIterator();
  void start();
  bool done() const;
  void step();
  Acad::ErrorStatus getBlockReferenceId(AcDbObjectId& id) const;
  Acad::ErrorStatus getDatabase(AcDbDatabase*& db) const;

  // The host's side; not for modules.
  AcDbBlockReferenceIdIterator(AcDbDatabase* db, std::vector<AcDbObjectId> ids)
      : m_db(db), m_ids(std::move(ids)) {}

 private:
  AcDbDatabase* m_db;
  std::vector<AcDbObjectId> m_ids;
  size_t m_pos = 0;
};
