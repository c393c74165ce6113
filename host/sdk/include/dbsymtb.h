// Symbol tables: the block table and its records (model space, block definitions).
#pragma once

#include <string>

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

  // The host's side; not for modules.
  AcDbBlockTable() = default;
};

class ORV_SDK_API AcDbBlockTableRecord : public AcDbObject {
 public:
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

  // The host's side; not for modules.
  AcDbBlockTableRecord() = default;

 private:
  mutable std::wstring m_name;
};
