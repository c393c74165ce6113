// The entity kinds modules create and read: lines, circles, arcs and block references.
#pragma once

#include "dbmain.h"

class ORV_SDK_API AcDbLine : public AcDbCurve {
 public:
  AcDbLine();
  AcDbLine(const AcGePoint3d& start, const AcGePoint3d& end);
  AcGePoint3d startPoint() const;
  AcGePoint3d endPoint() const;
  Acad::ErrorStatus setStartPoint(const AcGePoint3d& p);
  Acad::ErrorStatus setEndPoint(const AcGePoint3d& p);
  Acad::ErrorStatus getStartPoint(AcGePoint3d& p) const override;
  Acad::ErrorStatus getEndPoint(AcGePoint3d& p) const override;
  static AcDbLine* cast(AcDbObject* o) { return dynamic_cast<AcDbLine*>(o); }
};

class ORV_SDK_API AcDbCircle : public AcDbCurve {
 public:
  AcDbCircle();
  AcDbCircle(const AcGePoint3d& center, const AcGeVector3d& normal, double radius);
  AcGePoint3d center() const;
  double radius() const;
  Acad::ErrorStatus getStartPoint(AcGePoint3d& p) const override;
  Acad::ErrorStatus getEndPoint(AcGePoint3d& p) const override;
  static AcDbCircle* cast(AcDbObject* o) { return dynamic_cast<AcDbCircle*>(o); }
};

// An arc counter-clockwise from startAngle to endAngle (radians, from +x) around
// center; the normal must be +z.
class ORV_SDK_API AcDbArc : public AcDbCurve {
 public:
  AcDbArc();
  AcDbArc(const AcGePoint3d& center, const AcGeVector3d& normal, double radius, double startAngle,
          double endAngle);
  AcDbArc(const AcGePoint3d& center, double radius, double startAngle, double endAngle);
  AcGePoint3d center() const;
  double radius() const;
  double startAngle() const;
  double endAngle() const;
  Acad::ErrorStatus getStartPoint(AcGePoint3d& p) const override;
  Acad::ErrorStatus getEndPoint(AcGePoint3d& p) const override;
  static AcDbArc* cast(AcDbObject* o) { return dynamic_cast<AcDbArc*>(o); }
};

// A reference to a block table record, placed, scaled and rotated (radians).
class ORV_SDK_API AcDbBlockReference : public AcDbEntity {
 public:
  AcDbBlockReference();
  AcDbBlockReference(const AcGePoint3d& position, AcDbObjectId blockTableRecord);
  AcDbObjectId blockTableRecord() const;
  AcGePoint3d position() const;
  AcGeScale3d scaleFactors() const;
  double rotation() const;
  Acad::ErrorStatus setPosition(const AcGePoint3d& p);
  Acad::ErrorStatus setScaleFactors(const AcGeScale3d& scale);
  Acad::ErrorStatus setRotation(double radians);
  static AcDbBlockReference* cast(AcDbObject* o) { return dynamic_cast<AcDbBlockReference*>(o); }
};
