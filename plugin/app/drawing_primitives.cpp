// Line styles, the straight piece, the model-space append and plane geometry.
#include "app/drawing_primitives.h"

#include <cmath>

#include "app/conversions.h"
#include "dbpl.h"
#include "dbsymtb.h"
#include "winapi.h"

LineStyle readLineStyle(const wchar_t* section, const std::wstring& iniPath) {
  LineStyle style;
  // The profile functions hand back an unsigned value; the file holds a signed one.
  style.colorIndex = static_cast<int>(GetPrivateProfileIntW(section, L"LINECOLOR", 0, iniPath.c_str()));
  wchar_t buffer[20];
  GetPrivateProfileStringW(section, L"LINETYPE", L"", buffer, 20, iniPath.c_str());
  style.linetype = buffer;
  return style;
}

double readSettingReal(const wchar_t* section, const wchar_t* key, const std::wstring& iniPath) {
  wchar_t buffer[20];
  GetPrivateProfileStringW(section, key, L"", buffer, 20, iniPath.c_str());
  return wtof(buffer);
}

void applyLineStyle(AcDbEntity& entity, const LineStyle& style) {
  // The host takes a 16-bit index: a stored 65537 must not turn into colour 1.
  // Out of range the setter would refuse the value anyway.
  if (style.colorIndex >= 0 && style.colorIndex <= 256) {
    entity.setColorIndex(static_cast<Adesk::UInt16>(style.colorIndex), true);
  }
  // Fails for a linetype the drawing lacks; the entity keeps its own then.
  entity.setLinetype(style.linetype.c_str(), true);
}

AcDbObjectId appendToModelSpace(AcDbEntity* entity) {
  AcDbObjectId id;
  if (entity == nullptr) return id;
  AcDbHostApplicationServices* services = acdbHostApplicationServices();
  AcDbDatabase* database = services ? services->workingDatabase() : nullptr;
  AcDbBlockTable* table = nullptr;
  if (database == nullptr || database->getSymbolTable(table, AcDb::kForRead) != Acad::eOk ||
      table == nullptr) {
    // No drawing to add to: closing an entity that was never appended discards it.
    entity->close();
    return id;
  }
  AcDbBlockTableRecord* modelSpace = nullptr;
  if (table->getAt(ACDB_MODEL_SPACE, modelSpace, AcDb::kForWrite, false) != Acad::eOk) {
    modelSpace = nullptr;
  }
  if (modelSpace == nullptr || modelSpace->appendAcDbEntity(id, entity) != Acad::eOk) {
    id = AcDbObjectId();
  }
  table->close();
  if (modelSpace != nullptr) modelSpace->close();
  entity->close();
  return id;
}

void drawStraightPiece(const AcGePoint2d& start, const AcGePoint2d& end, const LineStyle& style) {
  auto* piece = new AcDbPolyline(2);
  // The host refuses a vertex it cannot store (a coordinate that is not
  // finite); a piece that lost a vertex is not a piece and is not added.
  if (piece->addVertexAt(0, start, 0.0, -1.0, -1.0) != Acad::eOk ||
      piece->addVertexAt(1, end, 0.0, -1.0, -1.0) != Acad::eOk) {
    piece->close();
    return;
  }
  applyLineStyle(*piece, style);
  appendToModelSpace(piece);
}

double pi() { return 4 * std::atan(1.0); }

double power(double x, int n) {
  // The magnitude of n as unsigned, so that the most negative int is safe.
  unsigned int m = n < 0 ? 0u - static_cast<unsigned int>(n) : static_cast<unsigned int>(n);
  double result = 1;
  double square = x;
  while (m != 0) {
    if (m & 1u) result *= square;
    square *= square;
    m >>= 1;
  }
  return n < 0 ? 1 / result : result;
}

double distance(const AcGePoint2d& a, const AcGePoint2d& b) {
  return std::sqrt(power(b.x - a.x, 2) + power(b.y - a.y, 2));
}
