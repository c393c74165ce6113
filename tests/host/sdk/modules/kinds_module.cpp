// A module that reads and writes entities of the typed kinds through the SDK's classes,
// as a module built apart from the host does: its own copies of the inline casts, the
// host's classes and their run-time descriptions.
#include <string>

#include "dbdim.h"
#include "dbents.h"
#include "dbhatch.h"
#include "dbmtext.h"
#include "dbsymtb.h"
#include "rxdefs.h"

namespace {
std::wstring described;
}  // namespace

ORV_MODULE_EXPORT AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode, void*) { return AcRx::kRetOK; }
ORV_MODULE_EXPORT int acrxGetApiVersion() { return ACRX_API_VERSION; }

// Opens an entity for write and tells its class ("?" after it when the module's casts and
// the host's isKindOf disagree) and its text; a text's value is changed.
ORV_MODULE_EXPORT const wchar_t* orvtestDescribe(const AcDbObjectId* id) {
  AcDbEntity* e = nullptr;
  if (acdbOpenAcDbEntity(e, *id, AcDb::kForWrite) != Acad::eOk) return L"";
  described = e->isA()->name();
  const bool agree = (AcDbText::cast(e) != nullptr) == e->isKindOf(AcDbText::desc()) &&
                     (AcDbCurve::cast(e) != nullptr) == e->isKindOf(AcDbCurve::desc()) &&
                     (AcDbMText::cast(e) != nullptr) == e->isKindOf(AcDbMText::desc()) &&
                     (AcDbDimension::cast(e) != nullptr) == e->isKindOf(AcDbDimension::desc()) &&
                     (AcDbHatch::cast(e) != nullptr) == e->isKindOf(AcDbHatch::desc());
  if (!agree) described += L"?";
  if (AcDbText* t = AcDbText::cast(e)) {
    described += std::wstring(L" ") + t->textString();
    t->setTextString(L"模块改过");
  }
  if (AcDbMText* m = AcDbMText::cast(e)) described += std::wstring(L" ") + m->contents();
  e->close();
  return described.c_str();
}

// Appends a multi-line text to the model space of a database; its id, or null.
ORV_MODULE_EXPORT void orvtestAppendNote(AcDbDatabase* db, AcDbObjectId* id) {
  AcDbBlockTable* table = nullptr;
  AcDbBlockTableRecord* space = nullptr;
  *id = AcDbObjectId();
  if (db->getBlockTable(table, AcDb::kForRead) != Acad::eOk) return;
  if (table->getAt(ACDB_MODEL_SPACE, space, AcDb::kForWrite) == Acad::eOk) {
    auto* note = new AcDbMText();
    note->setContents(L"模块写的说明");
    note->setTextHeight(3.0);
    if (space->appendAcDbEntity(*id, note) == Acad::eOk) note->close();
    else delete note;
    space->close();
  }
  table->close();
}
