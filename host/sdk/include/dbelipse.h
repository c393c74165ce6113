// Ellipses and elliptical arcs (ELLIPSE).
#pragma once

#include "dbmain.h"

// The arc runs counter-clockwise about the normal from startAngle to endAngle: angles
// in radians from the major axis (0 and 2*pi for a whole ellipse).
class ORV_SDK_API AcDbEllipse : public AcDbCurve {
 public:
  AcDbEllipse();
  // radiusRatio: minor to major axis, in (0, 1]. Invalid values are refused when the
  // ellipse is appended.
  AcDbEllipse(const AcGePoint3d& center, const AcGeVector3d& unitNormal, const AcGeVector3d& majorAxis,
              double radiusRatio, double startAngle = 0.0, double endAngle = 6.28318530717958647692);

  AcGePoint3d center() const;
  Acad::ErrorStatus setCenter(const AcGePoint3d& center);
  AcGeVector3d normal() const;
  AcGeVector3d majorAxis() const;
  AcGeVector3d minorAxis() const;
  double radiusRatio() const;
  // In (0, 1] (eInvalidInput otherwise).
  Acad::ErrorStatus setRadiusRatio(double ratio);
  double startAngle() const;
  double endAngle() const;
  Acad::ErrorStatus setStartAngle(double radians);
  Acad::ErrorStatus setEndAngle(double radians);
  bool isClosed() const;

  Acad::ErrorStatus getStartPoint(AcGePoint3d& p) const override;
  Acad::ErrorStatus getEndPoint(AcGePoint3d& p) const override;
  static AcDbEllipse* cast(AcDbObject* o) { return dynamic_cast<AcDbEllipse*>(o); }
  static AcRxClass* desc();
};
