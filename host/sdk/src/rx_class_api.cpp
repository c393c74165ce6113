// The run-time classes of the SDK's objects: desc() of each class, isA and isKindOf.
#include "dbdim.h"
#include "dbelipse.h"
#include "dbents.h"
#include "dbhatch.h"
#include "dblead.h"
#include "dbmtext.h"
#include "dbpl.h"
#include "dbspline.h"
#include "dbsymtb.h"

bool AcRxClass::isDerivedFrom(const AcRxClass* other) const {
  for (const AcRxClass* c = this; c; c = c->myParent())
    if (c == other) return true;
  return false;
}

AcRxClass* AcDbObject::desc() {
  static AcRxClass c(L"AcDbObject", nullptr, [](const AcDbObject*) { return true; });
  return &c;
}

#define ORV_RX_CLASS(Type, Parent)                                                                     \
  AcRxClass* Type::desc() {                                                                          \
    static AcRxClass c(L"" #Type, Parent::desc(),                                                    \
                       [](const AcDbObject* o) { return dynamic_cast<const Type*>(o) != nullptr; }); \
    return &c;                                                                                       \
  }

ORV_RX_CLASS(AcDbEntity, AcDbObject)
ORV_RX_CLASS(AcDbCurve, AcDbEntity)
ORV_RX_CLASS(AcDbLine, AcDbCurve)
ORV_RX_CLASS(AcDbCircle, AcDbCurve)
ORV_RX_CLASS(AcDbArc, AcDbCurve)
ORV_RX_CLASS(AcDbPolyline, AcDbCurve)
ORV_RX_CLASS(AcDbEllipse, AcDbCurve)
ORV_RX_CLASS(AcDbSpline, AcDbCurve)
ORV_RX_CLASS(AcDbLeader, AcDbCurve)
ORV_RX_CLASS(AcDbBlockReference, AcDbEntity)
ORV_RX_CLASS(AcDbText, AcDbEntity)
ORV_RX_CLASS(AcDbAttribute, AcDbText)
ORV_RX_CLASS(AcDbAttributeDefinition, AcDbText)
ORV_RX_CLASS(AcDbMText, AcDbEntity)
ORV_RX_CLASS(AcDbPoint, AcDbEntity)
ORV_RX_CLASS(AcDbHatch, AcDbEntity)
ORV_RX_CLASS(AcDbDimension, AcDbEntity)
ORV_RX_CLASS(AcDbRotatedDimension, AcDbDimension)
ORV_RX_CLASS(AcDbAlignedDimension, AcDbDimension)
ORV_RX_CLASS(AcDbRadialDimension, AcDbDimension)
ORV_RX_CLASS(AcDbDiametricDimension, AcDbDimension)
ORV_RX_CLASS(AcDb2LineAngularDimension, AcDbDimension)
ORV_RX_CLASS(AcDb3PointAngularDimension, AcDbDimension)
ORV_RX_CLASS(AcDbOrdinateDimension, AcDbDimension)
ORV_RX_CLASS(AcDbBlockTable, AcDbObject)
ORV_RX_CLASS(AcDbBlockTableRecord, AcDbObject)

AcRxClass* AcDbObject::isA() const {
  // The deepest class the object is of.
  static AcRxClass* (*const all[])() = {
      &AcDbEntity::desc, &AcDbCurve::desc, &AcDbLine::desc, &AcDbCircle::desc, &AcDbArc::desc,
      &AcDbPolyline::desc, &AcDbEllipse::desc, &AcDbSpline::desc, &AcDbLeader::desc,
      &AcDbBlockReference::desc, &AcDbText::desc, &AcDbAttribute::desc, &AcDbAttributeDefinition::desc,
      &AcDbMText::desc, &AcDbPoint::desc, &AcDbHatch::desc, &AcDbDimension::desc,
      &AcDbRotatedDimension::desc, &AcDbAlignedDimension::desc, &AcDbRadialDimension::desc,
      &AcDbDiametricDimension::desc, &AcDb2LineAngularDimension::desc, &AcDb3PointAngularDimension::desc,
      &AcDbOrdinateDimension::desc, &AcDbBlockTable::desc, &AcDbBlockTableRecord::desc,
  };
  AcRxClass* best = AcDbObject::desc();
  for (auto desc : all) {
    AcRxClass* c = desc();
    if (c->orvIsInstance(this) && c->isDerivedFrom(best)) best = c;
  }
  return best;
}
