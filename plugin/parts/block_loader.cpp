// The block loader: a library drawing read into a side database, its block merged into the current drawing and referenced.
#include "parts/block_loader.h"

#include "acedads.h"
#include "app/drawing_primitives.h"
#include "dbents.h"
#include "dbsymtb.h"

using namespace loader_messages;

namespace {

// The newest entity of the current drawing's model space; null when there is none.
AcDbObjectId lastEntity() {
  ads_name name = {0, 0};
  AcDbObjectId id;
  if (acdbEntLast(name) != RTNORM || acdbGetObjectId(id, name) != Acad::eOk) return AcDbObjectId();
  return id;
}

// The id of the current drawing's block of a name; null when it has none.
AcDbObjectId blockOfCurrentDrawing(AcDbDatabase* current, const std::wstring& blockName) {
  AcDbObjectId id;
  AcDbBlockTable* table = nullptr;
  if (current->getSymbolTable(table, AcDb::kForRead) != Acad::eOk || table == nullptr) return id;
  if (table->getAt(blockName.c_str(), id, false) != Acad::eOk) id = AcDbObjectId();
  table->close();
  return id;
}

}  // namespace

LibraryRead readLibraryDrawing(const std::wstring& drawingFile, const std::wstring& blockName,
                               LibraryDrawing& drawing) {
  drawing = LibraryDrawing();
  // Bare tables and no document: the file is all it will hold.
  auto database = std::make_unique<AcDbDatabase>(false, true);
  if (database->readDwgFile(drawingFile.c_str(), _SH_DENYWR, false, nullptr) != Acad::eOk) {
    acutPrintf(L"%ls", kLoadFailed);
    return LibraryRead::loadFailed;
  }

  AcDbBlockTable* table = nullptr;
  if (database->getSymbolTable(table, AcDb::kForRead) != Acad::eOk || table == nullptr) {
    acedAlert(kNoBlockTable);
    return LibraryRead::noBlockTable;
  }
  AcDbBlockTableRecord* record = nullptr;
  if (table->getAt(blockName.c_str(), record, AcDb::kForRead, false) != Acad::eOk || record == nullptr) {
    acedAlert(kNoBlockRecord);
    table->close();
    return LibraryRead::noBlockRecord;
  }
  AcDbBlockReferenceIdIterator* iterator = nullptr;
  if (record->newBlockReferenceIdIterator(iterator) != Acad::eOk || iterator == nullptr) {
    acedAlert(kNoIterator);
    record->close();
    table->close();
    return LibraryRead::noIterator;
  }

  // Only the first reference is wanted; a position that yields no id is
  // stepped over.
  for (iterator->start(); !iterator->done(); iterator->step()) {
    AcDbObjectId id;
    if (iterator->getBlockReferenceId(id) == Acad::eOk && !id.isNull()) {
      drawing.firstReference = id;
      break;
    }
  }
  delete iterator;
  drawing.blockRecord = record->objectId();
  record->close();
  table->close();
  drawing.database = std::move(database);
  return drawing.firstReference.isNull() ? LibraryRead::noReference : LibraryRead::ok;
}

int placeLibraryBlock(const std::wstring& drawingFile, const std::wstring& blockName,
                      const BlockPlacement& placement) {
  LibraryDrawing library;
  switch (readLibraryDrawing(drawingFile, blockName, library)) {
    case LibraryRead::ok:
      break;
    case LibraryRead::noReference:
      acedAlert(kNoReference);
      return 0;
    default:  // already reported
      return 0;
  }
  if (placement.xScale == 0 || placement.yScale == 0) {
    acutPrintf(L"%ls", placement.noSizeMessage);
    return 0;
  }

  // The carried reference alone; wblock adds the definition and what it
  // depends on.
  AcDbObjectIdArray ids(0, 8);
  ids.append(library.firstReference);
  AcDbDatabase* output = nullptr;
  if (library.database->wblock(output, ids, AcGePoint3d::kOrigin) != Acad::eOk || output == nullptr) {
    delete output;
    acedAlert(kWblockFailed);
    return 0;
  }
  std::unique_ptr<AcDbDatabase> carrier(output);

  AcDbHostApplicationServices* services = acdbHostApplicationServices();
  AcDbDatabase* current = services != nullptr ? services->workingDatabase() : nullptr;
  // The merge appends the carried reference to model space, after whatever
  // is newest now.
  const AcDbObjectId newestBefore = lastEntity();
  if (current == nullptr || current->insert(AcGeMatrix3d::kIdentity, carrier.get(), true) != Acad::eOk) {
    acedAlert(kInsertFailed);
    return 0;
  }
  carrier.reset();

  // The newest entity is now the carried reference. Should the merge have
  // added none, the newest entity is the user's own: it must not be erased.
  const AcDbObjectId carried = lastEntity();
  if (carried.isNull() || carried == newestBefore) {
    acedAlert(kNoLastEntity);
    return 0;
  }
  AcDbEntity* entity = nullptr;
  if (acdbOpenAcDbEntity(entity, carried, AcDb::kForWrite) == Acad::eOk && entity != nullptr) {
    entity->erase();
    entity->close();
  }

  // The definition that the drawing now holds under that name (its own, if
  // it had one already). After a merge it is there; a reference to no block
  // would break the drawing, so none is made without it.
  const AcDbObjectId record = blockOfCurrentDrawing(current, blockName);
  if (record.isNull()) return 0;
  auto* reference =
      new AcDbBlockReference(AcGePoint3d(placement.position.x, placement.position.y, 0.0), record);
  reference->setScaleFactors(AcGeScale3d(placement.xScale, placement.yScale, 1.0));
  if (placement.rotation) reference->setRotation(*placement.rotation);
  return appendToModelSpace(reference).isNull() ? 0 : 1;
}
