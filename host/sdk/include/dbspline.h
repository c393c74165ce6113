// Splines (SPLINE): a B-spline by control points, or a curve through fit points.
#pragma once

#include "dbmain.h"

class ORV_SDK_API AcDbSpline : public AcDbCurve {
 public:
  AcDbSpline();
  // The cubic curve through the fit points (order is degree + 1; only 4 is made).
  explicit AcDbSpline(const AcGePoint3dArray& fitPoints, int order = 4, double fitTolerance = 0.0);
  // A B-spline of the degree by its control points; without knots a clamped uniform
  // vector, without weights all 1. Values that do not fit are refused on appending.
  AcDbSpline(int degree, bool rational, bool closed, bool periodic, const AcGePoint3dArray& controlPoints,
             const AcGeDoubleArray& knots, const AcGeDoubleArray& weights, double controlPtTol = 0.0,
             double knotTol = 0.0);

  int degree() const;
  bool isRational() const;
  bool isClosed() const;
  bool isPeriodic() const;
  bool hasFitData() const;
  int numControlPoints() const;
  // eOutOfRange for an index outside [0, numControlPoints()).
  Acad::ErrorStatus getControlPointAt(int index, AcGePoint3d& point) const;
  Acad::ErrorStatus setControlPointAt(int index, const AcGePoint3d& point);
  int numFitPoints() const;
  Acad::ErrorStatus getFitPointAt(int index, AcGePoint3d& point) const;
  Acad::ErrorStatus setFitPointAt(int index, const AcGePoint3d& point);

  // The ends of the curve as the host draws it; eInvalidInput for a spline with no points.
  Acad::ErrorStatus getStartPoint(AcGePoint3d& p) const override;
  Acad::ErrorStatus getEndPoint(AcGePoint3d& p) const override;
  static AcDbSpline* cast(AcDbObject* o) { return dynamic_cast<AcDbSpline*>(o); }
  static AcRxClass* desc();
};
